// Packed lists of names.
#include "framework/NameTable.h"

#include <cwchar>

namespace tmb {

NameTable::NameTable(const std::vector<std::wstring>& texts) {
    starts_.reserve(texts.size());
    for (const std::wstring& text : texts)
        Add(text);
}

std::wstring_view NameTable::operator[](std::size_t index) const {
    const wchar_t* text = chars_.At(starts_[index]);
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
    // With its NUL: names are short, and a length of their own would cost as much.
    wchar_t small[264];
    std::unique_ptr<wchar_t[]> large;
    wchar_t* copy = small;
    if (text.size() + 1 > sizeof(small) / sizeof(small[0])) {
        large.reset(new wchar_t[text.size() + 1]);
        copy = large.get();
    }
    std::memcpy(copy, text.data(), text.size() * sizeof(wchar_t));
    copy[text.size()] = L'\0';
    starts_.push_back(chars_.Append(copy, text.size() + 1));
}

void NameTable::Reorder(const std::vector<std::uint32_t>& order) {
    std::vector<std::uint32_t> starts(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        starts[i] = starts_[order[i]];
    starts_.swap(starts);
}

void NameTable::Shrink() { starts_.shrink_to_fit(); }

std::size_t NameTable::Bytes() const {
    return chars_.Bytes() + starts_.capacity() * sizeof(std::uint32_t);
}

} // namespace tmb
