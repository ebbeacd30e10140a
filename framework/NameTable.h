// A long list of short texts (the names of a folder's files) packed into blocks of
// characters with one 4-byte index entry each: a million names cost their characters and
// four bytes, not a heap string of their own. The blocks never move once written, so a
// growing table never holds its characters twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tmb {

class NameTable {
public:
    NameTable() = default;
    NameTable(const std::vector<std::wstring>& texts);

    std::size_t Size() const { return starts_.size(); }
    bool Empty() const { return starts_.empty(); }
    // The text at `index` (0 <= index < Size()); it stays valid as long as the table does.
    std::wstring_view operator[](std::size_t index) const;
    std::vector<std::wstring> ToVector() const;

    // Appends a text (without NULs) at the end.
    void Add(std::wstring_view text);
    // Puts the texts in a new order: the text at i becomes the one that was at order[i].
    // `order` must be a permutation of 0 .. Size()-1.
    void Reorder(const std::vector<std::uint32_t>& order);
    // Lets go of the room reserved for more texts.
    void Shrink();

    // The bytes the table holds, for measuring.
    std::size_t Bytes() const;

private:
    // Characters of a block; a text never crosses a block's end.
    static constexpr std::size_t kBlockChars = std::size_t{1} << 16;

    std::vector<std::unique_ptr<wchar_t[]>> blocks_;
    std::size_t used_ = kBlockChars;  // characters used in the last block
    std::size_t blockChars_ = 0;      // characters of all blocks, for Bytes()
    // Where each text starts: block number times kBlockChars plus the offset; texts end with
    // a NUL. A text longer than a block has a block of its own, of its own length.
    std::vector<std::uint32_t> starts_;
};

using SharedNames = std::shared_ptr<const NameTable>;

} // namespace tmb
