// Building and writing the listings.
#include "app/Listings.h"

#include <algorithm>

#include "app/tombarel.h"
#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
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
char32_t CodePointAt(const std::wstring& text, size_t i, size_t& length) {
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

bool FitsAnsiCodePage(const std::wstring& text) {
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
std::wstring EscapeForHtml(const std::wstring& s, HtmlPart part) {
    const bool href = part == HtmlPart::Href;
    if (FitsAnsiCodePage(s) && s.find_first_of(href ? L"%#&<>\"" : L"&<>\"") == std::wstring::npos)
        return s;  // the common case: as it is
    std::wstring out;
    out.reserve(s.size() + 16);
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
            out.append(s, i, length);
        } else if (href) {
            AppendPercentUtf8(out, cp);
        } else {
            out += L"&#" + std::to_wstring(static_cast<unsigned long>(cp)) + L";";
        }
        i += length;
    }
    return out;
}

} // namespace

std::wstring HtmlHref(const std::wstring& name) { return EscapeForHtml(name, HtmlPart::Href); }

std::wstring HtmlText(const std::wstring& text) { return EscapeForHtml(text, HtmlPart::Text); }

std::wstring BuildHtmlPage(const ListingInput& input) {
    const std::vector<std::wstring>& names = *input.names;
    std::wstring page;
    size_t estimate = 1024;
    for (const std::wstring& n : names)
        estimate += 2 * n.size() + 22;
    page.reserve(estimate);
    AddLine(page, L"<html>");
    AddLine(page, L"<head><title>Tombarel</title></head>");
    AddLine(page, L"<body>");
    AddLine(page, kStyleLine);
    AddLine(page, kStyleLine);
    AddLine(page, kLinkStyleLine);
    AddLine(page, L"<h3><p align=\"center\"><a href=\"" + MakerHomePage() +
                      L"\"> Tombarel - 1.0</a></h3></p>");
    AddLine(page, L"<strong>Data: </strong>" + input.dateTime + L"<br>");
    AddLine(page, L"<strong>Diret\u00f3rio: </strong>" + HtmlText(input.folder));
    AddLine(page, L"<p>");
    AddLine(page, L"Lista de arquivos:<br><br>");
    for (const std::wstring& name : names) {
        page += L"<a href=\"";
        page += HtmlHref(name);
        page += L"\">";
        page += HtmlText(name);
        page += L"<br>\r\n";
    }
    AddLine(page, L"</a><p>");
    AddLine(page, L"<strong>Total: </strong>" + std::to_wstring(names.size()) + L" arquivos<br>");
    AddLine(page, input.totalSizeText + L"<br>");
    AddLine(page, L"</body>");
    AddLine(page, L"</html>");
    return page;
}

std::wstring BuildTextListing(const ListingInput& input) {
    const std::vector<std::wstring>& names = *input.names;
    std::wstring text;
    size_t estimate = 256;
    for (const std::wstring& n : names)
        estimate += n.size() + 2;
    text.reserve(estimate);
    AddLine(text, L"Tombarel - 1.0");
    AddLine(text, L"Data: " + input.dateTime);
    AddLine(text, L"Diret\u00f3rio: " + input.folder);
    AddLine(text, L"");
    AddLine(text, L"Lista de arquivos:");
    AddLine(text, L"");
    for (const std::wstring& name : names)
        AddLine(text, name);
    AddLine(text, L"");
    AddLine(text, L"Total: " + std::to_wstring(names.size()) + L" arquivo(s)");
    AddLine(text, input.totalSizeText);
    return text;
}

std::string ListingBytes(const std::wstring& text) {
    if (FitsAnsiCodePage(text))
        return tmb::WideToAnsi(text);
    return "\xEF\xBB\xBF" + tmb::WideToUtf8(text);
}

void WriteFileReplacing(const std::wstring& path, const std::string& bytes) {
    // What creating the file over the old one would refuse, replacing it must refuse too
    // (Wine's rename replaces even a read-only file).
    const std::wstring target = tmb::LongPathForm(path);
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        throw tmb::EFCreateError(path, ERROR_ACCESS_DENIED);
    // The temporary file lies next to the target, so the final rename stays on one volume.
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : target.substr(0, slash);
    std::wstring temp;
    tmb::FileHandle file;
    for (unsigned attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = tmb::LongPathForm(tmb::JoinPath(
            folder, L"~tombarel" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(GetTickCount() + attempt) + L".tmp"));
        file.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (!file)
        throw tmb::EFCreateError(path, GetLastError());
    auto fail = [&](DWORD error) {
        file.reset();
        DeleteFileW(temp.c_str());
        throw tmb::EFCreateError(path, error);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            fail(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
        done += written;
    }
    if (!FlushFileBuffers(file.get()))
        fail(GetLastError());
    file.reset();
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        throw tmb::EFCreateError(path, error);
    }
}

} // namespace app
