// Building and writing the listings.
#include "app/Listings.h"

#include <shlobj.h>

#include <algorithm>
#include <utility>

#include "app/FileActions.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Locale.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/ReplacingFile.h"
#include "framework/TextConv.h"

namespace app {
namespace {

const wchar_t kStyleLine[] =
    L"<STYLE>BODY {SCROLLBAR-FACE-COLOR: #ffffff;SCROLLBAR-HIGHLIGHT-COLOR:666699;"
    L"SCROLLBAR-SHADOW-COLOR: #006600;SCROLLBAR-3DLIGHT-COLOR: #000000;";
const wchar_t kLinkStyleLine[] =
    L"</STYLE> <STYLE> .linkmenu {COLOR: #666699; TEXT-DECORATION: none} .linkmenu:hover { "
    L"\tCOLOR: #999999; TEXT-DECORATION: none } A {COLOR: #666699; TEXT-DECORATION: none} "
    L"A:hover {COLOR: #000000} </STYLE>";

void AddLine(std::wstring& out, const std::wstring& line) {
    out += line;
    out += L"\r\n";
}

// One code point starting at text[i]; `length` receives 1 or 2 (a surrogate pair).
char32_t CodePointAt(std::wstring_view text, size_t i, size_t& length) {
    const wchar_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        length = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    length = 1;
    return c;
}

bool UnitsFit(const wchar_t* units, int count) {
    BOOL usedDefault = FALSE;
    char bytes[8];
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, count, bytes,
                                      sizeof(bytes), nullptr, &usedDefault);
    return n > 0 && !usedDefault;
}

void AppendPercentUtf8(std::wstring& out, char32_t cp) {
    const std::string utf8 = tmb::WideToUtf8(
        cp >= 0x10000 ? std::wstring{static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)),
                                     static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))}
                      : std::wstring(1, static_cast<wchar_t>(cp)));
    static const wchar_t hex[] = L"0123456789ABCDEF";
    for (unsigned char b : utf8) {
        out += L'%';
        out += hex[b >> 4];
        out += hex[b & 15];
    }
}

} // namespace

std::wstring MakerHomePage() { return std::wstring(L"http://") + kMakerSite; }

bool FitsAnsiCodePage(std::wstring_view text) {
    if (text.empty())
        return true;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    return n > 0 && !usedDefault;
}

namespace {

enum class HtmlPart { Href, Text };

// In an href "%" and "#" would start an escape or a fragment; in both parts "&", "<", ">"
// and '"' are markup. A character the code page cannot hold becomes percent-encoded UTF-8
// in an href (as a browser encodes a path) and a numeric character reference in text.
void AppendEscaped(std::wstring& out, std::wstring_view s, HtmlPart part, bool fits) {
    const bool href = part == HtmlPart::Href;
    if (fits && s.find_first_of(href ? L"%#&<>\"" : L"&<>\"") == std::wstring_view::npos) {
        out += s;  // the common case: as it is
        return;
    }
    for (size_t i = 0; i < s.size();) {
        size_t length = 1;
        const char32_t cp = CodePointAt(s, i, length);
        if (href && cp == U'%') {
            out += L"%25";
        } else if (href && cp == U'#') {
            out += L"%23";
        } else if (cp == U'&') {
            out += L"&amp;";
        } else if (cp == U'<') {
            out += L"&lt;";
        } else if (cp == U'>') {
            out += L"&gt;";
        } else if (cp == U'"') {
            out += L"&quot;";
        } else if (UnitsFit(s.data() + i, static_cast<int>(length))) {
            out.append(s.substr(i, length));
        } else if (href) {
            AppendPercentUtf8(out, cp);
        } else {
            out += L"&#" + std::to_wstring(static_cast<unsigned long>(cp)) + L";";
        }
        i += length;
    }
}

std::wstring EscapeForHtml(const std::wstring& s, HtmlPart part) {
    std::wstring out;
    AppendEscaped(out, s, part, FitsAnsiCodePage(s));
    return out;
}

// Collects a listing's pieces into one text.
std::wstring Collect(const ListingSource& source, size_t estimate) {
    std::wstring text;
    text.reserve(estimate);
    source([&text](std::wstring_view piece) { text += piece; });
    return text;
}

size_t NamesLength(const tmb::NameTable& names) {
    size_t total = 0;
    for (size_t i = 0; i < names.Size(); ++i)
        total += names[i].size();
    return total;
}

} // namespace

std::wstring HtmlHref(const std::wstring& name) { return EscapeForHtml(name, HtmlPart::Href); }

std::wstring HtmlText(const std::wstring& text) { return EscapeForHtml(text, HtmlPart::Text); }

void EmitHtmlPage(const ListingInput& input, const TextSink& sink) {
    const tmb::NameTable& names = *input.names;
    std::wstring head;
    AddLine(head, L"<html>");
    AddLine(head, L"<head><title>Tombarel</title></head>");
    AddLine(head, L"<body>");
    AddLine(head, kStyleLine);
    AddLine(head, kStyleLine);
    AddLine(head, kLinkStyleLine);
    AddLine(head, L"<h3><p align=\"center\"><a href=\"" + MakerHomePage() +
                      L"\"> Tombarel - 1.0</a></h3></p>");
    AddLine(head, L"<strong>Data: </strong>" + input.dateTime + L"<br>");
    AddLine(head, L"<strong>Diret\u00f3rio: </strong>" + HtmlText(input.folder));
    AddLine(head, L"<p>");
    AddLine(head, L"Lista de arquivos:<br><br>");
    sink(head);
    // One line of links per name, in one buffer that is used again for every line.
    std::wstring line;
    for (size_t i = 0; i < names.Size(); ++i) {
        const std::wstring_view name = names[i];
        const bool fits = FitsAnsiCodePage(name);
        line.assign(L"<a href=\"");
        AppendEscaped(line, name, HtmlPart::Href, fits);
        line += L"\">";
        AppendEscaped(line, name, HtmlPart::Text, fits);
        line += L"<br>\r\n";
        sink(line);
    }
    std::wstring tail;
    AddLine(tail, L"</a><p>");
    AddLine(tail, L"<strong>Total: </strong>" + std::to_wstring(names.Size()) + L" arquivos<br>");
    AddLine(tail, input.totalSizeText + L"<br>");
    AddLine(tail, L"</body>");
    AddLine(tail, L"</html>");
    sink(tail);
}

std::wstring BuildHtmlPage(const ListingInput& input) {
    return Collect([&input](const TextSink& sink) { EmitHtmlPage(input, sink); },
                   1024 + 2 * NamesLength(*input.names) + 22 * input.names->Size());
}

void EmitTextListing(const ListingInput& input, const TextSink& sink) {
    const tmb::NameTable& names = *input.names;
    std::wstring head;
    AddLine(head, L"Tombarel - 1.0");
    AddLine(head, L"Data: " + input.dateTime);
    AddLine(head, L"Diret\u00f3rio: " + input.folder);
    AddLine(head, L"");
    AddLine(head, L"Lista de arquivos:");
    AddLine(head, L"");
    sink(head);
    std::wstring line;
    for (size_t i = 0; i < names.Size(); ++i) {
        line.assign(names[i]);
        line += L"\r\n";
        sink(line);
    }
    std::wstring tail;
    AddLine(tail, L"");
    AddLine(tail, L"Total: " + std::to_wstring(names.Size()) + L" arquivo(s)");
    AddLine(tail, input.totalSizeText);
    sink(tail);
}

std::wstring BuildTextListing(const ListingInput& input) {
    return Collect([&input](const TextSink& sink) { EmitTextListing(input, sink); },
                   256 + NamesLength(*input.names) + 2 * input.names->Size());
}

std::string ListingBytes(const std::wstring& text) {
    if (FitsAnsiCodePage(text))
        return tmb::WideToAnsi(text);
    return "\xEF\xBB\xBF" + tmb::WideToUtf8(text);
}

namespace {

// Gives the bytes of a file, in order, to `write`.
using ByteSource = std::function<void(const std::function<void(const char*, size_t)>& write)>;

void WriteReplacing(const std::wstring& path, const ByteSource& source) {
    tmb::ReplacingFile file(path);
    source([&file](const char* bytes, size_t size) { file.Write(bytes, size); });
    file.Commit();
}

// Gathers a text's pieces into chunks of a fixed number of characters and hands each full
// chunk (and the rest at the end) to `flush`. A surrogate pair is never cut in two: a high
// surrogate at a chunk's end waits for the next chunk.
class ChunkBuffer {
public:
    ChunkBuffer(size_t chunkChars, std::function<void(std::wstring_view)> flush)
        : chunkChars_(std::max<size_t>(chunkChars, 2)), flush_(std::move(flush)) {
        buffer_.reserve(chunkChars_);
    }
    void Add(std::wstring_view piece) {
        while (!piece.empty()) {
            if (buffer_.empty() && piece.size() >= chunkChars_) {
                // A long piece is handed on where it lies, a chunk at a time.
                const size_t n = IS_HIGH_SURROGATE(piece[chunkChars_ - 1]) ? chunkChars_ - 1 : chunkChars_;
                flush_(piece.substr(0, n));
                piece.remove_prefix(n);
                continue;
            }
            const size_t take = std::min(piece.size(), chunkChars_ - buffer_.size());
            buffer_.append(piece.data(), take);
            piece.remove_prefix(take);
            if (buffer_.size() == chunkChars_)
                Flush(false);
        }
    }
    void Finish() { Flush(true); }

private:
    void Flush(bool last) {
        wchar_t carried = 0;
        if (!last && !buffer_.empty() && IS_HIGH_SURROGATE(buffer_.back())) {
            carried = buffer_.back();
            buffer_.pop_back();
        }
        if (!buffer_.empty())
            flush_(buffer_);
        buffer_.clear();
        if (carried)
            buffer_.push_back(carried);
    }
    size_t chunkChars_;
    std::function<void(std::wstring_view)> flush_;
    std::wstring buffer_;
};

// Converts `text` into `out` (whose room is used again from chunk to chunk).
void Encode(UINT codePage, std::wstring_view text, std::string& out) {
    out.clear();
    if (text.empty())
        return;
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
}

} // namespace

void WriteFileReplacing(const std::wstring& path, const std::string& bytes) {
    WriteReplacing(path, [&bytes](const std::function<void(const char*, size_t)>& write) {
        write(bytes.data(), bytes.size());
    });
}

void WriteListingReplacing(const std::wstring& path, const ListingSource& source,
                           size_t chunkChars) {
    // The code page holds the whole text when it holds every chunk: a pair of surrogates,
    // whole or cut, never fits it.
    bool fits = true;
    {
        ChunkBuffer check(chunkChars, [&fits](std::wstring_view chunk) {
            fits = fits && FitsAnsiCodePage(chunk);
        });
        source([&check, &fits](std::wstring_view piece) {
            if (fits)
                check.Add(piece);
        });
        check.Finish();
    }
    WriteReplacing(path, [&](const std::function<void(const char*, size_t)>& write) {
        const UINT codePage = fits ? CP_ACP : CP_UTF8;
        if (!fits)
            write("\xEF\xBB\xBF", 3);
        std::string bytes;
        ChunkBuffer chunks(chunkChars, [&](std::wstring_view chunk) {
            Encode(codePage, chunk, bytes);
            write(bytes.data(), bytes.size());
        });
        source([&chunks](std::wstring_view piece) { chunks.Add(piece); });
        chunks.Finish();
    });
}

void WriteListingReplacing(const std::wstring& path, const std::wstring& text) {
    WriteListingReplacing(path, [&text](const TextSink& sink) { sink(text); });
}

// ---- sizes and where the HTML page goes

using namespace tmb;

std::wstring SizeText(double x) {
    if (x < 1024)
        return FloatToStrGeneral(x) + L" bytes";
    if (x <= 1048576)
        return FormatFloat(L"0.###", x / 1024) + L" KB";
    if (x < 1073741824)
        return FormatFloat(L"0.###", x / 1048576) + L" MB";
    if (x == 1073741824)
        return FormatFloat(L"0.###", x / 1024) + L" KB";
    return FormatFloat(L"0.###", x / 1073741824) + L" GB";
}

std::wstring TotalSizeCaption(double bytes) { return L"Tamanho total: " + SizeText(bytes); }

bool OnCdRom(const std::wstring& folder) {
    if (folder.empty())
        return false;
    const std::wstring root = folder.substr(0, 1) + L":\\";
    return GetDriveTypeW(root.c_str()) == DRIVE_CDROM;
}

CdRomListing WriteCdRomListing(const PageWriter& writePage, bool replace) {
    const std::wstring preferred = L"c:\\Lista_cdrom.htm";
    if (!replace && IsFile(preferred))
        return {preferred, false};
    try {
        writePage(preferred);
        return {preferred, true};
    } catch (const EFCreateError& refused) {
        wchar_t documents[MAX_PATH];
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)))
            throw;
        const std::wstring fallback = JoinPath(documents, L"Lista_cdrom.htm");
        if (!replace && IsFile(fallback))
            return {fallback, false};
        try {
            writePage(fallback);
        } catch (const EFCreateError&) {
            throw refused;  // the first place, and why it was refused, is what the user asked
        }
        return {fallback, true};
    }
}

bool SaveHtmlListing(const std::wstring& folder, const PageWriter& writePage,
                     const std::function<void()>& respond) {
    if (OnCdRom(folder)) {
        const std::wstring written = WriteCdRomListing(writePage, true).path;
        if (MessageDlg(L"A lista n\u00e3o pode ser criada em uma unidade de CD-ROM\re foi salva em " +
                           written +
                           L"\r\rDeseja visualiza-la?\r\rAten\u00e7\u00e3o: Antes de criar uma nova "
                           L"lista \rdeste CD, troque o nome da lista atual.",
                       MsgDlgType::Confirmation, mbYes | mbNo) == mrYes)
            ShellOpen(written);
        return true;
    }
    const std::wstring d = IncludeTrailingBackslash(folder);
    // Only a file is a listing already there: a folder of that name is not asked about, and
    // the write then fails with the platform's report.
    if (!IsFile(JoinPath(d, L"Lista.htm"))) {
        respond();
        return true;
    }
    const int answer = MessageDlg(
        L"J\u00e1 existe um arquivo 'Lista.htm' neste diret\u00f3rio clique em: \r\nYes Para "
        L"sobrescreve-lo;\r\nNo  Para cancelar;\r\nOK Para abrir a pasta e verificar o arquivo.",
        MsgDlgType::Confirmation, mbYes | mbNo | mbOK);
    if (answer == mrYes) {
        respond();
        return true;
    }
    if (answer == mrOk) {
        // The file manager on the folder, so the user can look at the existing page; the
        // command line is the folder unquoted, as the file manager takes it.
        std::wstring command = L"explorer " + d;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &si, &pi)) {
            // The file manager runs on its own: its handles are not kept.
            KernelHandle thread(pi.hThread);
            KernelHandle process(pi.hProcess);
        }
    }
    return false;
}

void WriteListaHtmAndOffer(const std::wstring& folder, const PageWriter& writePage,
                           const std::function<void()>& written) {
    const std::wstring d = IncludeTrailingBackslash(folder);
    writePage(JoinPath(d, L"Lista.htm"));
    if (written)
        written();
    if (MessageDlg(L"Lista de arquivos criada em:\r" + d + L"\r" + L"Deseja visualiza-la?",
                   MsgDlgType::Confirmation, mbYes | mbNo) == mrYes)
        ShellOpen(JoinPath(d, L"Lista.htm"));
}

} // namespace app
