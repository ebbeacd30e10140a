// A pattern a name is left out of a catalogue by ("node_modules", "*.tmp", "$RECYCLE.BIN"):
// "*" stands for any run of characters, "?" for one, every other character for itself,
// letter case ignored as the file system ignores it. It matches the whole name.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace catalog {

class NamePattern {
public:
    explicit NamePattern(const std::wstring& text);

    const std::wstring& Text() const { return text_; }
    // Time grows with the name's length times the pattern's at worst, whatever both hold.
    bool Matches(const wchar_t* name, std::size_t length) const;
    bool Matches(const std::wstring& name) const { return Matches(name.data(), name.size()); }

    // The same for a name already in capitals (FoldName): a name tried against several
    // patterns is folded once.
    bool MatchesFolded(const std::wstring& folded) const;

private:
    std::wstring text_;    // as given
    std::wstring folded_;  // in capitals, runs of "*" made one
};

// `name` in capitals as the file system compares names.
std::wstring FoldName(const wchar_t* name, std::size_t length);

// Whether any of `patterns` matches the name.
bool AnyMatches(const std::vector<NamePattern>& patterns, const wchar_t* name, std::size_t length);

} // namespace catalog
