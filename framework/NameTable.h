// A long list of short texts (the names of a folder's files) packed into blocks of
// characters with one 4-byte index entry each: a million names cost their characters and
// four bytes, not a heap string of their own. The blocks never move once full, so a growing
// table never holds its characters twice; they are large enough that the system takes them
// back when the table goes, instead of the heap keeping them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tmb {

// Append-only storage of runs of T, each run within one block. A run is found by the
// number Append gave it: block times kBlock plus the offset in the block.
template <typename T>
class PackedBlocks {
public:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    // Copies `count` elements in (count may exceed a block: such a run has a block of its own)
    // and gives the run's number.
    std::uint32_t Append(const T* data, std::size_t count) {
        if (blocks_.empty() || count > room_ - used_) {
            if (blocks_.size() == 1 && room_ < kBlock && used_ + count <= kBlock) {
                // The first block grows until it is whole, so a small table stays small.
                std::size_t room = room_;
                while (room < used_ + count)
                    room *= 2;
                std::unique_ptr<T[]> bigger(new T[room]);
                std::memcpy(bigger.get(), blocks_[0].get(), used_ * sizeof(T));
                blocks_[0] = std::move(bigger);
                bytes_ += (room - room_) * sizeof(T);
                room_ = room;
            } else {
                room_ = blocks_.empty() ? kFirst : kBlock;
                while (room_ < count)
                    room_ *= 2;
                blocks_.emplace_back(new T[room_]);
                bytes_ += room_ * sizeof(T);
                used_ = 0;
            }
        }
        std::memcpy(blocks_.back().get() + used_, data, count * sizeof(T));
        const std::uint32_t at = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlock + used_);
        used_ += count;
        // A run longer than a block fills its own: the next starts a new block.
        if (room_ > kBlock)
            used_ = room_;
        return at;
    }
    const T* At(std::uint32_t run) const { return blocks_[run / kBlock].get() + run % kBlock; }
    std::size_t Bytes() const { return bytes_ + blocks_.capacity() * sizeof(blocks_[0]); }

private:
    static constexpr std::size_t kFirst = 1024;
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t room_ = 0;  // size of the last block
    std::size_t used_ = 0;  // elements used in the last block
    std::size_t bytes_ = 0;
};

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
    PackedBlocks<wchar_t> chars_;       // each text followed by a NUL
    std::vector<std::uint32_t> starts_; // where each text starts in chars_
};

using SharedNames = std::shared_ptr<const NameTable>;

} // namespace tmb
