// Wildcard names matched the way a shell matches them, without its quirks (no "*.*" rules,
// no 8.3 names): one pass with a single step back to the last "*", so no pattern can make a
// name take long.
#include "catalog/NamePattern.h"

#include <windows.h>

namespace catalog {
namespace {

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The units one character takes at `at`: a surrogate pair is one character.
std::size_t CharUnits(const std::wstring& s, std::size_t at) {
    return at + 1 < s.size() && IsHigh(s[at]) && IsLow(s[at + 1]) ? 2 : 1;
}

} // namespace

std::wstring FoldName(const wchar_t* name, std::size_t length) {
    std::wstring folded(name, length);
    if (!folded.empty())
        CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

NamePattern::NamePattern(const std::wstring& text) : text_(text) {
    std::wstring merged;
    for (wchar_t c : text)
        if (c != L'*' || merged.empty() || merged.back() != L'*')
            merged += c;
    folded_ = FoldName(merged.data(), merged.size());
}

bool NamePattern::Matches(const wchar_t* name, std::size_t length) const {
    return MatchesFolded(FoldName(name, length));
}

bool NamePattern::MatchesFolded(const std::wstring& n) const {
    const std::wstring& p = folded_;
    // The classic greedy match: on a mismatch, go back to the last "*" and let it take one
    // character more. Each step back moves the name's restart forward, so the work is at
    // most the name's length times the pattern's.
    std::size_t i = 0, j = 0;
    std::size_t star = std::wstring::npos, restart = 0;
    while (i < n.size()) {
        if (j < p.size() && p[j] == L'*') {
            star = j++;
            restart = i;
        } else if (j < p.size() && p[j] == L'?') {
            i += CharUnits(n, i);
            ++j;
        } else if (j < p.size() && p[j] == n[i]) {
            ++i;
            ++j;
        } else if (star != std::wstring::npos) {
            j = star + 1;
            restart += CharUnits(n, restart);
            i = restart;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == L'*')
        ++j;
    return j == p.size();
}

bool AnyMatches(const std::vector<NamePattern>& patterns, const wchar_t* name, std::size_t length) {
    const std::wstring folded = FoldName(name, length);
    for (const NamePattern& pattern : patterns)
        if (pattern.MatchesFolded(folded))
            return true;
    return false;
}

} // namespace catalog
