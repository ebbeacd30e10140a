// Packed lists of names.
#include "framework/NameTable.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace tmb {

NameTable::NameTable(const std::vector<std::wstring>& texts) {
    starts_.reserve(texts.size());
    for (const std::wstring& text : texts)
        Add(text);
}

std::wstring_view NameTable::operator[](std::size_t index) const {
    const std::uint32_t start = starts_[index];
    const wchar_t* text = blocks_[start / kBlockChars].get() + start % kBlockChars;
    return std::wstring_view(text, std::wcslen(text));
}

std::vector<std::wstring> NameTable::ToVector() const {
    std::vector<std::wstring> out;
    out.reserve(Size());
    for (std::size_t i = 0; i < Size(); ++i)
        out.emplace_back((*this)[i]);
    return out;
}

void NameTable::Add(std::wstring_view text) {
    const std::size_t need = text.size() + 1;
    if (need > kBlockChars - used_) {
        const std::size_t size = std::max(need, kBlockChars);
        blocks_.emplace_back(new wchar_t[size]);
        blockChars_ += size;
        used_ = 0;
    }
    wchar_t* at = blocks_.back().get() + used_;
    std::memcpy(at, text.data(), text.size() * sizeof(wchar_t));
    at[text.size()] = L'\0';
    starts_.push_back(static_cast<std::uint32_t>((blocks_.size() - 1) * kBlockChars + used_));
    // A long text fills its own block: the next one starts a new block.
    used_ = std::min(kBlockChars, used_ + need);
}

void NameTable::Reorder(const std::vector<std::uint32_t>& order) {
    std::vector<std::uint32_t> starts(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        starts[i] = starts_[order[i]];
    starts_.swap(starts);
}

void NameTable::Shrink() { starts_.shrink_to_fit(); }

std::size_t NameTable::Bytes() const {
    return blockChars_ * sizeof(wchar_t) + starts_.capacity() * sizeof(std::uint32_t) +
           blocks_.capacity() * sizeof(blocks_[0]);
}

} // namespace tmb
