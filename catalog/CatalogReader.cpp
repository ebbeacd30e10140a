// Reading a catalogue page back: the data block found as a browser ends it, its bytes checked
// once, then its sections read line by line straight into the compact tree, every field checked
// against the format and every count against the others. The page may come from anywhere:
// whatever of it reaches a new page has been checked here or is escaped by the writers.
#include "catalog/CatalogReader.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

// A catalogue of several million files is far below this; a page above it could not be read
// into a 32-bit process beside the tree it holds.
constexpr std::int64_t kMaxPage = std::int64_t{256} << 20;
constexpr std::int64_t kMax32 = 0xFFFFFFFFLL;
constexpr std::int64_t kMaxExact = std::int64_t{1} << 53;   // a page's script reads numbers as doubles
constexpr std::int64_t kMaxTime = 8'640'000'000'000LL;      // seconds either side of 1970 a Date holds
constexpr std::size_t kMaxName = 255;                       // UTF-16 units of a Windows name
constexpr std::size_t kMaxPath = 32767;                     // and of a Windows path
constexpr std::size_t kUnitBytes = 6;                       // "\u0000": the longest a unit is written
constexpr std::uint32_t kAllFlags = ffUnreadable | ffLink | ffPartial;

std::string ReadWholeFile(const std::wstring& path) {
    tmb::FileHandle file(CreateFileW(tmb::LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel abrir o cat\u00e1logo \"" + path + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o cat\u00e1logo \"" + path + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    if (size.QuadPart > kMaxPage)
        throw tmb::Exception(L"O arquivo \"" + path + L"\" \u00e9 grande demais para ser um cat\u00e1logo.");
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr))
            throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o cat\u00e1logo \"" + path + L"\". " +
                                 tmb::SysErrorMessage(GetLastError()));
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool IsSectionLine(std::string_view line) { return line.size() == 1 && line[0] >= 'A' && line[0] <= 'Z'; }

// Whether `rest` (which begins with "<") ends a script element for a browser: "</script" in any
// letter case, then white space, "/" or ">". A page cut inside the end tag ends there too: its
// data then tells whether it is whole.
bool IsScriptEnd(std::string_view rest) {
    static constexpr std::string_view kEnd = "</script";
    for (std::size_t i = 0; i < kEnd.size(); ++i) {
        if (i == rest.size())
            return true;
        const char c = rest[i];
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != kEnd[i])
            return false;
    }
    return rest.size() == kEnd.size() || std::string_view("\t\n\f\r />").find(rest[kEnd.size()]) != std::string_view::npos;
}

// The length of the UTF-8 sequence at `text[i]` when it is well formed (no overlong form, no
// surrogate, nothing past U+10FFFF), else 0.
std::size_t Utf8Sequence(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    const unsigned c = at(i);
    const auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) { return at(k) >= lo && at(k) <= hi; };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF)
        return cont(i + 1, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF) && cont(i + 2) ? 3 : 0;
    if (c >= 0xF0 && c <= 0xF4)
        return cont(i + 1, c == 0xF0 ? 0x90 : 0x80, c == 0xF4 ? 0x8F : 0xBF) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    return 0;
}

int Hex(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// The UTF-16 text of `text`, the inside of a JSON string in well-formed UTF-8; false when it
// holds an escape JSON does not have, or a control character or quote of its own.
bool DecodeJsonText(std::string_view text, std::wstring& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == '"')
            return false;
        if (c >= 0x80) {
            const std::size_t n = Utf8Sequence(text, i);
            unsigned cp = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
            for (std::size_t k = 1; k < n; ++k)
                cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            if (cp >= 0x10000) {
                out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
                out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            } else {
                out += static_cast<wchar_t>(cp);
            }
            i += n - 1;
            continue;
        }
        if (c != '\\') {
            out += static_cast<wchar_t>(c);
            continue;
        }
        if (++i == text.size())
            return false;
        static constexpr std::string_view kShort = "\"\\/bfnrt", kMeant = "\"\\/\b\f\n\r\t";
        const std::size_t e = kShort.find(text[i]);
        if (e != std::string_view::npos) {
            out += static_cast<wchar_t>(kMeant[e]);
            continue;
        }
        if (text[i] != 'u' || i + 4 >= text.size())
            return false;
        unsigned unit = 0;
        for (std::size_t k = i + 1; k <= i + 4; ++k) {
            const int digit = Hex(text[k]);
            if (digit < 0)
                return false;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        out += static_cast<wchar_t>(unit);
        i += 4;
    }
    return true;
}

// A line-by-line reader of the data block; every fault is reported as the page's.
class Block {
public:
    // `closed`: the block ends at its element's end tag, not at the file's end.
    Block(std::string_view text, bool closed, std::wstring path)
        : text_(text), closed_(closed), path_(std::move(path)) {}

    std::size_t Size() const { return text_.size(); }

    // The block's bytes, once: well-formed UTF-8, and no control character but the tab and
    // the line's end (a browser reads a CR alone as a line's end, so it is refused).
    void CheckBytes() {
        for (std::size_t i = 0; i < text_.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text_[i]);
            if (c >= 0x80) {
                const std::size_t n = Utf8Sequence(text_, i);
                if (n == 0)
                    Bad(L"os dados n\u00e3o est\u00e3o em UTF-8");
                i += n - 1;
            } else if (c < 0x20 && c != '\t' && c != '\n' &&
                       !(c == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n')) {
                Bad(L"os dados t\u00eam um caractere de controle");
            }
        }
    }

    std::string_view Line() {
        const std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos)
            Cut();
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

    void Expect(std::string_view section) {
        if (Line() != section)
            Bad(L"falta a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(section)));
    }

    // What follows the last line: nothing but white space.
    void ExpectEnd() {
        if (text_.find_first_not_of(" \t\r\n", at_) != std::string_view::npos)
            Bad(L"h\u00e1 dados depois do fim");
    }

    // A number in base 36 (empty is 0) within [low, high].
    std::int64_t Number(std::string_view field, std::int64_t low, std::int64_t high, const wchar_t* section) {
        bool negative = false;
        if (!field.empty() && field[0] == '-') {
            negative = true;
            field.remove_prefix(1);
            if (field.empty())
                Bad(L"um n\u00famero n\u00e3o se entende");
        }
        std::int64_t value = 0;
        for (char c : field) {
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'z')
                digit = c - 'a' + 10;
            else
                Bad(L"um n\u00famero n\u00e3o se entende");
            if (value > (INT64_MAX - digit) / 36)
                Bad(L"um n\u00famero \u00e9 grande demais");
            value = value * 36 + digit;
        }
        if (negative)
            value = -value;
        if (value < low || value > high)
            Bad(std::wstring(L"um n\u00famero ") + section + L" est\u00e1 fora dos limites do formato");
        return value;
    }

    // The first `count` fields of a line, separated by tabs (a later version's extra fields
    // are left alone).
    void Fields(std::string_view line, std::string_view* out, int count, const wchar_t* section) {
        for (int i = 0; i < count; ++i) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos && i + 1 < count)
                Bad(std::wstring(L"uma linha da se\u00e7\u00e3o ") + section + L" tem campos de menos");
            out[i] = line.substr(0, tab);
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        }
    }

    // A name's line in the form the writer gives it (the inside of a JSON string, escaping
    // only what the writer escapes), and its length in UTF-16 units. A name written with
    // other escapes stands for the same name and is put in that form: names are compared and
    // written again as they stand. `root`: the catalogued folder, a whole path.
    std::string_view Name(std::string_view text, bool root, std::size_t& units) {
        const std::size_t limit = root ? kMaxPath : kMaxName;
        if (text.empty())
            Bad(L"um nome est\u00e1 vazio");
        if (text.size() > limit * kUnitBytes)
            Bad(L"um nome \u00e9 comprido demais");
        if (text.find('\\') == std::string_view::npos) {
            units = 0;
            for (const char ch : text) {
                const unsigned char c = static_cast<unsigned char>(ch);
                if (c < 0x20 || c == '"')
                    Bad(L"um nome n\u00e3o est\u00e1 escrito como o Tombarel escreve os nomes");
                if ((c & 0xC0) != 0x80)
                    units += c >= 0xF0 ? 2 : 1;
            }
            if (units > limit)
                Bad(L"um nome \u00e9 comprido demais");
            if (!root && (text == "." || text == ".."))
                Bad(L"um nome n\u00e3o \u00e9 nome de arquivo");
            return text;
        }
        if (!DecodeJsonText(text, wide_))
            Bad(L"um nome n\u00e3o est\u00e1 escrito como o Tombarel escreve os nomes");
        units = wide_.size();
        if (units > limit)
            Bad(L"um nome \u00e9 comprido demais");
        // A backslash would make a removed file's path ambiguous; no name holds one, nor NUL.
        if (wide_.find(L'\0') != std::wstring::npos || (!root && (wide_.find(L'\\') != std::wstring::npos ||
                                                                  wide_ == L"." || wide_ == L"..")))
            Bad(L"um nome n\u00e3o \u00e9 nome de arquivo");
        canonical_.clear();
        AppendEscapedUtf8(canonical_, wide_);
        return canonical_;
    }

    [[noreturn]] void Bad(const std::wstring& what) {
        throw tmb::Exception(L"O cat\u00e1logo \"" + path_ + L"\" n\u00e3o pode ser lido: " + what +
                             L". Foi alterado \u00e0 m\u00e3o?");
    }
    [[noreturn]] void Cut() {
        if (closed_)
            Bad(L"os dados acabam num \"</script\" antes do fim");
        throw tmb::Exception(L"O cat\u00e1logo \"" + path_ +
                             L"\" est\u00e1 incompleto: o arquivo termina no meio dos dados.");
    }

private:
    std::string_view text_;
    bool closed_ = false;
    std::size_t at_ = 0;
    std::wstring path_;
    std::wstring wide_;
    std::string canonical_;
};

// "2026-12-07T21:05:09Z", as the writer writes the time a catalogue was made.
bool IsIsoTime(std::string_view t) {
    static constexpr std::string_view kForm = "dddd-dd-ddTdd:dd:ddZ";
    if (t.size() != kForm.size())
        return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (kForm[i] == 'd' ? t[i] < '0' || t[i] > '9' : t[i] != kForm[i])
            return false;
    const auto two = [&](std::size_t at) { return (t[at] - '0') * 10 + (t[at + 1] - '0'); };
    return two(5) >= 1 && two(5) <= 12 && two(8) >= 1 && two(8) <= 31 && two(11) <= 23 && two(14) <= 59 &&
           two(17) <= 59;
}

// The data block of the page: the text of the script element the writer makes, up to the end
// a browser gives that element. The writer never puts a "<" inside it, so any other "<" there
// means the page was made otherwise.
Block DataBlock(std::string_view page, const std::wstring& path, const std::wstring& notCatalogue) {
    Block faults({}, false, path);
    static constexpr std::string_view kOpen = "<script type=\"text/plain\" id=\"tombarel-dados\"";
    const std::size_t open = page.find(kOpen);
    if (open == std::string_view::npos || page.find("id=\"tombarel-dados\"", open + kOpen.size()) != std::string_view::npos ||
        page.substr(0, open).find("id=\"tombarel-dados\"") != std::string_view::npos)
        throw tmb::Exception(notCatalogue);
    const std::size_t tagEnd = page.find('>', open);
    if (tagEnd == std::string_view::npos)
        faults.Cut();
    const std::string_view tag = page.substr(open, tagEnd - open);
    if (tag.find('<', 1) != std::string_view::npos ||
        tag.find(" data-formato=\"tombarel-catalogo\"") == std::string_view::npos)
        throw tmb::Exception(notCatalogue);
    const std::size_t end = page.find('<', tagEnd);
    if (end != std::string_view::npos && !IsScriptEnd(page.substr(end)))
        faults.Bad(L"os dados t\u00eam um \"<\", que o Tombarel nunca escreve neles");
    // Cut short, the block has no end: the reader says so at its last line.
    if (end == std::string_view::npos)
        return Block(page.substr(tagEnd + 1), false, path);
    return Block(page.substr(tagEnd + 1, end - tagEnd - 1), true, path);
}

} // namespace

ReadBack ReadCatalogPage(const std::wstring& path) {
    const std::string page = ReadWholeFile(path);
    const std::wstring notCatalogue = L"O arquivo \"" + path + L"\" n\u00e3o \u00e9 um cat\u00e1logo do Tombarel.";
    Block block = DataBlock(page, path, notCatalogue);
    block.CheckBytes();

    ReadBack result;
    std::string_view first = block.Line();
    while (first.empty())
        first = block.Line();
    const std::size_t tab = first.find('\t');
    if (first.substr(0, tab) != "tombarel-catalogo" || tab == std::string_view::npos)
        throw tmb::Exception(notCatalogue);
    const std::string_view version = first.substr(tab + 1);
    if (version != "1")
        throw tmb::Exception(L"O cat\u00e1logo \"" + path +
                             L"\" foi feito por uma vers\u00e3o mais nova do Tombarel (formato " +
                             tmb::Utf8ToWide(std::string(version.substr(0, 16))) +
                             L"): atualize o Tombarel para l\u00ea-lo.");

    // The header: the keys this reader uses, each once; others are a later version's.
    block.Expect("H");
    std::int64_t folders = -1, files = -1, unreadable = -1;
    std::uint64_t totalBytes = 0;
    unsigned seen = 0;
    for (std::string_view line = block.Line(); line != "N"; line = block.Line()) {
        if (IsSectionLine(line))
            block.Bad(L"a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(line)) + L" est\u00e1 fora do lugar");
        const std::size_t t = line.find('\t');
        if (t == std::string_view::npos || t == 0)
            block.Bad(L"uma linha do cabe\u00e7alho n\u00e3o se entende");
        const std::string_view key = line.substr(0, t), value = line.substr(t + 1);
        static constexpr std::string_view kKeys[] = {"raiz", "data", "ocultos", "pastas", "arquivos", "bytes",
                                                     "ilegiveis"};
        unsigned which = 0;
        while (which < std::size(kKeys) && kKeys[which] != key)
            ++which;
        if (which == std::size(kKeys))
            continue;
        if (seen & (1u << which))
            block.Bad(L"o cabe\u00e7alho repete \"" + tmb::Utf8ToWide(std::string(key)) + L"\"");
        seen |= 1u << which;
        std::size_t units = 0;
        switch (which) {
        case 0: result.root = UnescapedName(block.Name(value, true, units)); break;
        case 1:
            if (!IsIsoTime(value))
                block.Bad(L"a data n\u00e3o est\u00e1 escrita como o Tombarel a escreve");
            result.date = std::string(value);
            break;
        case 2:
            if (value != "0" && value != "1")
                block.Bad(L"o cabe\u00e7alho \"ocultos\" n\u00e3o \u00e9 0 nem 1");
            result.includeHidden = value == "1";
            break;
        case 3: folders = block.Number(value, 1, kMax32, L"do cabe\u00e7alho"); break;
        case 4: files = block.Number(value, 0, kMax32, L"do cabe\u00e7alho"); break;
        case 5: totalBytes = static_cast<std::uint64_t>(block.Number(value, 0, kMaxExact, L"do cabe\u00e7alho")); break;
        case 6: unreadable = block.Number(value, 0, kMax32, L"do cabe\u00e7alho"); break;
        }
    }
    if (folders < 1 || files < 0)
        block.Bad(L"faltam os totais de pastas e arquivos");
    // A folder takes seven bytes at least (its name's line and its line in P), a file five:
    // totals beyond that were edited, and nothing is set aside for them before it is read.
    if (static_cast<std::uint64_t>(folders) * 7 + static_cast<std::uint64_t>(files) * 5 > block.Size() + 1)
        block.Bad(L"os totais passam do que o arquivo pode conter");

    // Names, straight into the records they name.
    CatalogTree& tree = result.tree;
    for (std::int64_t i = 0; i < folders + files; ++i) {
        std::size_t units = 0;
        const NameRef name = tree.names.Add(block.Name(block.Line(), i == 0, units));
        if (i < folders) {
            FolderRecord f;
            f.name = name;
            tree.folders.Append(f);
        } else {
            FileRecord f;
            f.name = name;
            tree.files.Append(f);
        }
    }

    // Folders: each after its parent, in pre-order; every path within a Windows path's length.
    block.Expect("P");
    std::string_view fields[5];
    std::vector<std::pair<std::uint32_t, std::size_t>> way;  // the folders from the root, and their paths' lengths
    std::vector<std::uint16_t> pathUnits;                     // each folder's
    std::uint64_t fileSum = 0;
    std::int64_t flagged = 0;
    for (std::int64_t i = 0; i < folders; ++i) {
        block.Fields(block.Line(), fields, 5, L"P");
        FolderRecord& f = tree.folders[static_cast<std::size_t>(i)];
        const std::int64_t delta = block.Number(fields[0], i > 0 ? 1 : 0, i, L"da se\u00e7\u00e3o P");
        f.parent = static_cast<std::uint32_t>(i - delta);
        f.fileCount = static_cast<std::uint32_t>(block.Number(fields[1], 0, kMax32, L"da se\u00e7\u00e3o P"));
        f.attributes = static_cast<std::uint32_t>(block.Number(fields[2], 0, kMax32, L"da se\u00e7\u00e3o P"));
        f.modified = block.Number(fields[3], -kMaxTime, kMaxTime, L"da se\u00e7\u00e3o P");
        f.flags = static_cast<std::uint32_t>(block.Number(fields[4], 0, kAllFlags, L"da se\u00e7\u00e3o P"));
        flagged += (f.flags & (ffUnreadable | ffPartial)) != 0;
        fileSum += f.fileCount;
        std::size_t units = 0;
        block.Name(tree.names[f.name], i == 0, units);
        if (i > 0) {
            while (!way.empty() && way.back().first != f.parent)
                way.pop_back();
            if (way.empty())
                block.Bad(L"as pastas n\u00e3o est\u00e3o na ordem em que o Tombarel as escreve");
            units += way.back().second + 1;
        }
        if (units > kMaxPath)
            block.Bad(L"um caminho passa de 32.767 caracteres");
        way.emplace_back(static_cast<std::uint32_t>(i), units);
        pathUnits.push_back(static_cast<std::uint16_t>(units));
    }
    if (fileSum != static_cast<std::uint64_t>(files))
        block.Bad(L"as pastas somam outro n\u00famero de arquivos que o total");

    block.Expect("F");
    std::uint64_t bytes = 0;
    std::size_t folder = 0, folderEnd = 0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(files); ++j) {
        block.Fields(block.Line(), fields, 3, L"F");
        FileRecord& f = tree.files[j];
        f.size = static_cast<std::uint64_t>(block.Number(fields[0], 0, kMaxExact, L"da se\u00e7\u00e3o F"));
        f.modified = block.Number(fields[1], -kMaxTime, kMaxTime, L"da se\u00e7\u00e3o F");
        f.attributes = static_cast<std::uint32_t>(block.Number(fields[2], 0, kMax32, L"da se\u00e7\u00e3o F"));
        // Each size is below 2^53: the sum cannot wrap before it passes the largest total.
        bytes += f.size;
        if (bytes > static_cast<std::uint64_t>(kMaxExact))
            block.Bad(L"os tamanhos dos arquivos somam outro total");
        while (j >= folderEnd && folder < tree.folders.Size())
            folderEnd += tree.folders[folder++].fileCount;
        std::size_t units = 0;
        block.Name(tree.names[f.name], false, units);
        if (pathUnits[folder - 1] + 1 + units > kMaxPath)
            block.Bad(L"um caminho passa de 32.767 caracteres");
    }
    tree.bytes = bytes;
    if (bytes != totalBytes)
        block.Bad(L"os tamanhos dos arquivos somam outro total");

    // Errors: one for every folder not read, or read in part.
    block.Expect("E");
    std::vector<bool> hasError(static_cast<std::size_t>(folders), false);
    std::string_view line = block.Line();
    for (; line != "." && !IsSectionLine(line); line = block.Line()) {
        block.Fields(line, fields, 3, L"E");
        const auto at = static_cast<std::uint32_t>(block.Number(fields[0], 0, folders - 1, L"da se\u00e7\u00e3o E"));
        const auto code = static_cast<std::uint32_t>(block.Number(fields[1], 0, kMax32, L"da se\u00e7\u00e3o E"));
        if (!(tree.folders[at].flags & (ffUnreadable | ffPartial)) || hasError[at])
            block.Bad(L"um erro fala de uma pasta que n\u00e3o existe ou que foi lida");
        hasError[at] = true;
        std::size_t units = 0;
        if (!fields[2].empty())
            block.Name(fields[2], true, units);
        tree.errors.push_back({at, code});
    }
    if (static_cast<std::int64_t>(tree.errors.size()) != flagged || (unreadable >= 0 && unreadable != flagged))
        block.Bad(L"as pastas n\u00e3o lidas n\u00e3o conferem com os erros e o total");
    // The sections of a comparison, and any a later version adds, are not the tree: skipped,
    // each at most once and none of the tree's again.
    unsigned sections = 0;
    while (line != ".") {
        const unsigned letter = 1u << (line[0] - 'A');
        if ((sections & letter) || std::string_view("HNPFE").find(line[0]) != std::string_view::npos)
            block.Bad(L"a se\u00e7\u00e3o " + tmb::Utf8ToWide(std::string(line)) + L" est\u00e1 fora do lugar");
        sections |= letter;
        do
            line = block.Line();
        while (line != "." && !IsSectionLine(line));
    }
    block.ExpectEnd();
    result.totals.folders = static_cast<std::uint64_t>(folders);
    result.totals.files = static_cast<std::uint64_t>(files);
    result.totals.bytes = bytes;
    result.totals.unreadable = static_cast<std::uint64_t>(flagged);
    return result;
}

} // namespace catalog
