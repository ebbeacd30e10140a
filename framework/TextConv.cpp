// Text conversions through the platform's code page functions.
#include "framework/TextConv.h"

#include <windows.h>

namespace tmb {
namespace {

std::string FromWide(UINT codePage, const std::wstring& text, bool* lossless) {
    if (lossless)
        *lossless = true;
    if (text.empty())
        return {};
    BOOL usedDefault = FALSE;
    // UTF-8 does not accept the default-character arguments.
    BOOL* used = (codePage == CP_UTF8 || !lossless) ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, used);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, used);
    if (lossless && used)
        *lossless = !usedDefault;
    return out;
}

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring MapCase(const std::wstring& text, DWORD flag) {
    if (text.empty())
        return {};
    std::wstring out(text.size(), L'\0');
    const int n = LCMapStringW(LOCALE_USER_DEFAULT, flag, text.data(),
                               static_cast<int>(text.size()), out.data(),
                               static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return out;
}

} // namespace

std::string WideToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text, nullptr); }
std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }
std::string WideToAnsi(const std::wstring& text, bool* lossless) {
    return FromWide(CP_ACP, text, lossless);
}
std::wstring AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text); }
std::wstring UpperCase(const std::wstring& text) { return MapCase(text, LCMAP_UPPERCASE); }
std::wstring LowerCase(const std::wstring& text) { return MapCase(text, LCMAP_LOWERCASE); }

namespace {

DWORD SortKeyFlags(bool ignoreCase) { return LCMAP_SORTKEY | (ignoreCase ? NORM_IGNORECASE : 0); }

} // namespace

int SortKeyInto(const wchar_t* text, int length, bool ignoreCase, unsigned char* out, int capacity) {
    const int n = LCMapStringW(LOCALE_USER_DEFAULT, SortKeyFlags(ignoreCase), text, length,
                               reinterpret_cast<wchar_t*>(out), capacity);
    return n > 0 ? n : 0;
}

std::string SortKey(const std::wstring& text, bool ignoreCase) {
    // Most keys fit a small buffer: one call instead of one to measure and one to write.
    unsigned char buffer[512];
    const int fitted = SortKeyInto(text.c_str(), static_cast<int>(text.size()), ignoreCase,
                                   buffer, sizeof(buffer));
    if (fitted > 0)
        return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(fitted));
    const DWORD flags = SortKeyFlags(ignoreCase);
    const int n = LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(),
                               static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::string key(static_cast<size_t>(n), '\0');
    LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), static_cast<int>(text.size()),
                 reinterpret_cast<wchar_t*>(key.data()), n);
    return key;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace tmb
