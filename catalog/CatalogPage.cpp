// Writing the page: the template's text copied piece by piece, its markers replaced by the
// header and the data block. The data block is written straight from the tree's records
// into the job's output.
#include "catalog/CatalogPage.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "catalog/PageText.h"
#include "catalog/Volume.h"
#include "framework/Exception.h"
#include "framework/Locale.h"
#include "framework/TextConv.h"

namespace catalog {

// The page's files, embedded at build time.
extern const unsigned char kCatalogTemplate[];
extern const std::size_t kCatalogTemplateSize;
extern const unsigned char kCatalogStyle[];
extern const std::size_t kCatalogStyleSize;
extern const unsigned char kCatalogScript[];
extern const std::size_t kCatalogScriptSize;

namespace {

std::string_view Asset(const unsigned char* bytes, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(bytes), size);
}

// A number in base 36; 0 is written as nothing.
void AppendBase36(std::string& out, std::int64_t value) {
    if (value == 0)
        return;
    char digits[16];
    int n = 0;
    std::uint64_t v = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    while (v) {
        digits[n++] = "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36];
        v /= 36;
    }
    if (value < 0)
        out += '-';
    while (n)
        out += digits[--n];
}

// A line of numbers, separated by tabs.
void AddNumbers(Output& out, std::initializer_list<std::int64_t> values) {
    std::string& text = out.Text();
    bool first = true;
    for (std::int64_t value : values) {
        if (!first)
            text += '\t';
        first = false;
        AppendBase36(text, value);
    }
    out.Add('\n');
}

std::string Utf8(const std::wstring& text) { return tmb::WideToUtf8(text); }

} // namespace

// Text for the page's markup: "&", "<", ">" and quotes as entities.
std::string HtmlText(const std::wstring& text) {
    std::string out;
    for (char c : Utf8(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A whole number as the page's Portuguese texts write it: "1.234.567".
std::string Grouped(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += '.';
        grouped += digits[i];
    }
    return grouped;
}

std::string Plural(std::uint64_t n, const char* one, const char* many) {
    return Grouped(n) + " " + (n == 1 ? one : many);
}

// "2026-12-07T21:05:09Z" as the header writes a date; as it is when it is not such a time.
std::string IsoDateText(const std::string& iso) {
    SYSTEMTIME utc{};
    unsigned y, mo, d, h, mi, se;
    if (std::sscanf(iso.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u", &y, &mo, &d, &h, &mi, &se) != 6)
        return iso;
    utc.wYear = static_cast<WORD>(y);
    utc.wMonth = static_cast<WORD>(mo);
    utc.wDay = static_cast<WORD>(d);
    utc.wHour = static_cast<WORD>(h);
    utc.wMinute = static_cast<WORD>(mi);
    utc.wSecond = static_cast<WORD>(se);
    FILETIME valid;  // an earlier page's date may be anything (a 13th month)
    if (!SystemTimeToFileTime(&utc, &valid))
        return iso;
    return DateText(utc);
}

std::string IsoTime(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::string Escaped(const std::wstring& text) {
    std::string out;
    AppendEscapedUtf8(out, text);
    return out;
}

namespace {

// The header is static, but reads like the rows the viewer writes below it: the same date
// form (in the local time of the machine that wrote it) and the same sizes.
std::string Header(const Facts& facts) {
    const Totals& t = facts.totals;
    std::string html = "<header id=\"cabecalho\"><h1>Cat\xC3\xA1logo de <span class=\"caminho\">" +
                       HtmlText(facts.root) + "</span></h1><p class=\"resumo\">Gerado em " +
                       DateText(facts.started) + " \xC2\xB7 " +
                       Plural(t.files, "arquivo", "arquivos") + " \xC2\xB7 " +
                       Plural(t.folders, "pasta", "pastas") + " \xC2\xB7 " + SizeText(t.bytes);
    if (t.bytes >= 1024)
        html += " (" + Plural(t.bytes, "byte", "bytes") + ")";
    html += "</p>";
    if (t.unreadable)
        html += "<p class=\"ilegiveis\">" +
                (t.unreadable == 1 ? std::string("1 pasta n\xC3\xA3o p\xC3\xB4" "de ser lida")
                                   : Grouped(t.unreadable) + " pastas n\xC3\xA3o puderam ser lidas") +
                " (ou lidas s\xC3\xB3 em parte).</p>";
    if (facts.changes) {
        html += "<p class=\"comparacao\">Comparado com o cat\xC3\xA1logo <span class=\"caminho\">" +
                HtmlText(facts.comparedWith) + "</span>";
        if (!facts.comparedDate.empty())
            html += " de <time datetime=\"" + HtmlText(tmb::Utf8ToWide(facts.comparedDate)) + "\">" +
                    HtmlText(tmb::Utf8ToWide(IsoDateText(facts.comparedDate))) + "</time>";
        html += ": " + Plural(t.added, "arquivo adicionado", "arquivos adicionados") + " \xC2\xB7 " +
                Plural(t.removed, "removido", "removidos") + " \xC2\xB7 " +
                Plural(t.changed, "alterado", "alterados") + " \xC2\xB7 " + SizeText(t.gained) +
                " ganhos \xC2\xB7 " + SizeText(t.lost) + " perdidos";
        if (!facts.changes->notCompared.empty())
            html += " \xC2\xB7 " + Plural(facts.changes->notCompared.size(), "pasta n\xC3\xA3o comparada",
                                          "pastas n\xC3\xA3o comparadas");
        html += "</p>";
        if (facts.comparedIncludeHidden != facts.includeHidden)
            html += facts.includeHidden
                        ? "<p class=\"comparacao-ocultos\">Este cat\xC3\xA1logo inclui os arquivos ocultos e o anterior n\xC3\xA3o: "
                          "os que s\xC3\xB3 este tem n\xC3\xA3o contam como adicionados.</p>"
                        : "<p class=\"comparacao-ocultos\">O cat\xC3\xA1logo anterior inclu\xC3\xAD" "a os arquivos ocultos e este n\xC3\xA3o: "
                          "os que s\xC3\xB3 o anterior tem n\xC3\xA3o contam como removidos.</p>";
    }
    if (!facts.includeHidden)
        html += "<p class=\"ocultos\">Arquivos e pastas ocultos e de sistema foram deixados de fora.</p>";
    if (!facts.exclude.empty()) {
        // Said so that a folder left out is never taken for one that is missing.
        std::string patterns;
        for (const std::wstring& pattern : facts.exclude)
            patterns += (patterns.empty() ? "" : ", ") + std::string("<code>") + HtmlText(pattern) + "</code>";
        html += "<p class=\"excluidos\">Deixados de fora pelo nome: " + patterns + " (" +
                Plural(t.leftOut, "item", "itens") + ", com tudo o que havia dentro das pastas).</p>";
    }
    html += "</header>";
    return html;
}

std::string HtmlAttributes(const Facts& facts) {
    const Totals& t = facts.totals;
    std::string attributes = "data-files=\"" + std::to_string(t.files) + "\" data-folders=\"" +
                             std::to_string(t.folders) + "\" data-bytes=\"" + std::to_string(t.bytes) +
                             "\" data-unreadable=\"" + std::to_string(t.unreadable) + "\"";
    if (facts.changes)
        attributes += " data-added=\"" + std::to_string(t.added) + "\" data-removed=\"" +
                      std::to_string(t.removed) + "\" data-changed=\"" + std::to_string(t.changed) + "\"";
    return attributes;
}

class DataWriter {
public:
    DataWriter(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate)
        : tree_(tree), facts_(facts), out_(out), gate_(gate) {}

    void Write() {
        out_.Add("tombarel-catalogo\t1\nH\n");
        HeaderLine("raiz", Escaped(facts_.root));
        HeaderLine("base", Escaped(facts_.linkBase));
        HeaderLine("data", IsoTime(facts_.started));
        HeaderLine("ocultos", facts_.includeHidden ? "1" : "0");
        NumberLine("pastas", facts_.totals.folders);
        NumberLine("arquivos", facts_.totals.files);
        NumberLine("bytes", facts_.totals.bytes);
        NumberLine("ilegiveis", facts_.totals.unreadable);
        VolumeLines();
        for (const std::wstring& pattern : facts_.exclude)
            HeaderLine("excluir", Escaped(pattern));
        if (!facts_.exclude.empty())
            NumberLine("excluidos", facts_.totals.leftOut);
        if (facts_.changes) {
            HeaderLine("comparado", Escaped(facts_.comparedWith));
            HeaderLine("anterior", facts_.comparedDate);
            HeaderLine("ocultos-anterior", facts_.comparedIncludeHidden ? "1" : "0");
            NumberLine("adicionados", facts_.totals.added);
            NumberLine("removidos", facts_.totals.removed);
            NumberLine("alterados", facts_.totals.changed);
            NumberLine("ganhos", facts_.totals.gained);
            NumberLine("perdidos", facts_.totals.lost);
        }
        out_.Add("N\n");
        for (std::size_t i = 0; i < tree_.folders.Size(); ++i) {
            out_.Add(tree_.names[tree_.folders[i].name]);
            out_.Add('\n');
            gate_.Wrote();
        }
        for (std::size_t i = 0; i < tree_.files.Size(); ++i) {
            out_.Add(tree_.names[tree_.files[i].name]);
            out_.Add('\n');
            gate_.Wrote();
        }
        out_.Add("P\n");
        for (std::size_t i = 0; i < tree_.folders.Size(); ++i) {
            const FolderRecord& f = tree_.folders[i];
            AddNumbers(out_, {static_cast<std::int64_t>(i - f.parent), f.fileCount, f.attributes, f.modified, f.flags});
        }
        out_.Add("F\n");
        for (std::size_t i = 0; i < tree_.files.Size(); ++i) {
            const FileRecord& f = tree_.files[i];
            AddNumbers(out_, {static_cast<std::int64_t>(f.size), f.modified, f.attributes});
        }
        out_.Add("E\n");
        for (const FolderError& e : tree_.errors) {
            AppendBase36(out_.Text(), e.folder);
            out_.Add('\t');
            AppendBase36(out_.Text(), e.code);
            out_.Add('\t');
            out_.Add(Escaped(tmb::SysErrorMessage(e.code)));
            out_.Add('\n');
        }
        if (facts_.changes)
            WriteChanges(*facts_.changes);
        out_.Add(".\n");
    }

private:
    void WriteChanges(const Changes& changes) {
        out_.Add("A\n");
        for (std::uint32_t file : changes.added)
            AddNumbers(out_, {file});
        out_.Add("C\n");
        for (const ChangedFile& c : changes.changed)
            AddNumbers(out_, {c.file, static_cast<std::int64_t>(c.oldSize), c.oldModified});
        out_.Add("R\n");
        for (const RemovedFile& r : changes.removed) {
            const FileRecord& old = changes.Old(r);
            AppendBase36(out_.Text(), r.folder);
            out_.Add('\t');
            changes.AppendPath(out_.Text(), r);  // made here, one at a time
            out_.Add('\t');
            AddNumbers(out_, {static_cast<std::int64_t>(old.size), old.modified, old.attributes});
        }
        out_.Add("X\n");
        for (std::uint32_t folder : changes.notCompared)
            AddNumbers(out_, {folder});
    }

    // The volume the folder lies on, which a collection knows a disc again by.
    void VolumeLines() {
        const VolumeFacts& v = facts_.volume;
        HeaderLine("volume", Escaped(facts_.volumeName));
        HeaderLine("rotulo", Escaped(v.label));
        HeaderLine("serie", v.hasSerial ? SerialDigits(v.serial) : std::string());
        HeaderLine("sistema", Escaped(v.fileSystem));
        HeaderLine("abaixo", Escaped(v.below));
        HeaderLine("unidade", DriveKindWord(v.driveType));
        NumberLine("capacidade", v.capacity);
        NumberLine("livre", v.free);
    }

    void HeaderLine(const char* key, const std::string& value) {
        out_.Add(key);
        out_.Add('\t');
        out_.Add(value);
        out_.Add('\n');
    }
    void NumberLine(const char* key, std::uint64_t value) {
        out_.Add(key);
        out_.Add('\t');
        AppendBase36(out_.Text(), static_cast<std::int64_t>(value));
        out_.Add('\n');
    }

    const CatalogTree& tree_;
    const Facts& facts_;
    Output& out_;
    ProgressGate& gate_;
};

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
    // `folder` is given without a final backslash ("C:" for a drive root).
    if (path.size() < folder.size() ||
        CompareStringOrdinal(path.data(), static_cast<int>(folder.size()), folder.data(),
                             static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

} // namespace

std::string DateText(const SYSTEMTIME& utc) {
    SYSTEMTIME t{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &t))
        t = utc;
    char text[40];
    std::snprintf(text, sizeof(text), "%02u/%02u/%u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour,
                  t.wMinute, t.wSecond);
    return text;
}

std::string SizeText(std::uint64_t bytes) {
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    if (bytes < 1024)
        return Grouped(bytes) + (bytes == 1 ? " byte" : " bytes");
    // The value in the unit is bytes / 2^shift, exact in integers where the viewer's double
    // is exact (below 2^53 bytes); its halves round up, as Math.round rounds them.
    int unit = 0;
    while (unit < 4 && bytes >> (10 * (unit + 1)) >= 1024)
        ++unit;
    const int shift = 10 * (unit + 1);
    const std::uint64_t whole = bytes >> shift;
    const std::uint64_t rest = bytes & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    std::string text;
    if (whole < 100) {
        const std::uint64_t tenths = whole * 10 + (rest * 10 + half) / (std::uint64_t{1} << shift);
        text = Grouped(tenths / 10) + "," + std::to_string(tenths % 10);
    } else {
        text = Grouped(whole + (rest >= half ? 1 : 0));
    }
    return text + " " + units[unit];
}

std::wstring PercentEncoded(const std::wstring& text) {
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : tmb::WideToUtf8(text)) {
        if (IsUnreserved(c)) {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::wstring LinkBase(const std::wstring& root, const std::wstring& pageFile) {
    const std::size_t slash = pageFile.find_last_of(L'\\');
    const std::wstring pageFolder = slash == std::wstring::npos ? std::wstring() : pageFile.substr(0, slash);
    const std::wstring rootFolder = root.back() == L'\\' ? root.substr(0, root.size() - 1) : root;
    if (!pageFolder.empty() && StartsWithFolder(pageFolder, rootFolder)) {
        // One "../" for every folder between the catalogued folder and the page.
        const std::wstring below = pageFolder.substr(rootFolder.size());
        std::wstring base;
        for (wchar_t c : below)
            if (c == L'\\')
                base += L"../";
        return base.empty() ? L"./" : base;
    }
    // file:///C:/a%20b/ for a drive, file://server/share/a/ for a network folder.
    const bool network = rootFolder.compare(0, 2, L"\\\\") == 0;
    std::wstring url = network ? L"file:/" : L"file:///" + rootFolder.substr(0, 2);
    const std::wstring rest = rootFolder.substr(network ? 1 : 2);
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos)
            end = rest.size();
        if (end > start)
            url += L'/' + PercentEncoded(rest.substr(start, end - start));
        start = end + 1;
    }
    return url + L'/';
}

void WriteDataBlock(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate) {
    DataWriter(tree, facts, out, gate).Write();
}

void WriteShell(Output& out, const std::function<void(std::string_view marker)>& fill) {
    std::string_view page = Asset(kCatalogTemplate, kCatalogTemplateSize);
    while (!page.empty()) {
        const std::size_t at = page.find("@@");
        if (at == std::string_view::npos) {
            out.Add(page);
            break;
        }
        out.Add(page.substr(0, at));
        page.remove_prefix(at + 2);
        const std::size_t end = page.find("@@");
        const std::string_view marker = page.substr(0, end);
        page.remove_prefix(end == std::string_view::npos ? page.size() : end + 2);
        if (marker == "STYLE")
            out.Add(Asset(kCatalogStyle, kCatalogStyleSize));
        else if (marker == "SCRIPT")
            out.Add(Asset(kCatalogScript, kCatalogScriptSize));
        else
            fill(marker);
    }
}

void WritePage(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate) {
    WriteShell(out, [&](std::string_view marker) {
        if (marker == "ATTRS")
            out.Add(HtmlAttributes(facts));
        else if (marker == "FORMAT")
            out.Add("tombarel-catalogo");
        else if (marker == "TITLE")
            out.Add("Cat\xC3\xA1logo de " + HtmlText(facts.root));
        else if (marker == "HEADER")
            out.Add(Header(facts));
        else if (marker == "DATA")
            WriteDataBlock(tree, facts, out, gate);
    });
}

} // namespace catalog
