// Conversions between the UTF-16 text used inside the program and the 8-bit encodings that
// files and the console need (the system ANSI code page, UTF-8).
#pragma once

#include <string>

namespace tmb {

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

// Text in the system ANSI code page (CP_ACP). `lossless`, when given, is set to false if some
// character has no form in the code page (it is then written as the code page's default).
std::string WideToAnsi(const std::wstring& text, bool* lossless = nullptr);
std::wstring AnsiToWide(const std::string& text);

// Case conversion as the user's locale does it (LCMapString with LCMAP_UPPERCASE/LOWERCASE).
std::wstring UpperCase(const std::wstring& text);
std::wstring LowerCase(const std::wstring& text);

// The user locale's sort key of `text` (LCMapString with LCMAP_SORTKEY). Keys compared with
// std::string's operator< (bytes as unsigned) order texts as CompareString does, at the cost
// of one mapping per text instead of one comparison per pair.
std::string SortKey(const std::wstring& text, bool ignoreCase);
// The same key written into `out` (room for `capacity` bytes) with one call into the
// platform: its length, or 0 when it needs more room (or the text has no key).
int SortKeyInto(const wchar_t* text, int length, bool ignoreCase, unsigned char* out, int capacity);

// Equal ignoring case, as the system compares file names.
bool SameText(const std::wstring& a, const std::wstring& b);

} // namespace tmb
