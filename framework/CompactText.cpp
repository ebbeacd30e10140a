// The text in one byte per character or in UTF-16, and its conversions to wide text.
#include "framework/CompactText.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace tmb {
namespace {

bool FitsOneByte(const wchar_t* p, std::size_t n) {
    // One pass that the compiler can vectorise: no character has a bit above the low eight.
    unsigned bits = 0;
    for (std::size_t i = 0; i < n; ++i)
        bits |= static_cast<unsigned>(p[i]);
    return bits < 256;
}

std::string Narrowed(const wchar_t* p, std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(p[i]));
    return bytes;
}

} // namespace

void CompactText::Assign(const std::wstring& text) {
    CompactText made;
    if (FitsOneByte(text.data(), text.size())) {
        made.bytes_ = Narrowed(text.data(), text.size());
    } else {
        made.wide_ = text;
        made.narrow_ = false;
    }
    *this = std::move(made);
}

void CompactText::Assign(std::wstring&& text) {
    CompactText made;
    std::wstring taken = std::move(text);
    if (FitsOneByte(taken.data(), taken.size())) {
        made.bytes_ = Narrowed(taken.data(), taken.size());
        std::wstring().swap(taken);  // the wide form goes before the old text is let go
    } else {
        made.wide_ = std::move(taken);
        made.narrow_ = false;
    }
    *this = std::move(made);
}

std::size_t CompactText::Bytes() const {
    return narrow_ ? bytes_.capacity() : wide_.capacity() * sizeof(wchar_t);
}

bool CompactText::Equals(std::wstring_view text) const {
    if (text.size() != size())
        return false;
    if (!narrow_)
        return text == std::wstring_view(wide_);
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i)
        if (text[i] != static_cast<wchar_t>(static_cast<unsigned char>(bytes_[i])))
            return false;
    return true;
}

std::wstring CompactText::Substr(std::size_t pos, std::size_t n) const {
    n = std::min(n, size() - pos);
    std::wstring out(n, L'\0');
    CopyTo(pos, n, out.data());
    return out;
}

void CompactText::CopyTo(std::size_t pos, std::size_t n, wchar_t* out) const {
    if (n == 0)
        return;
    if (!narrow_) {
        std::memcpy(out, wide_.data() + pos, n * sizeof(wchar_t));
        return;
    }
    const char* p = bytes_.data() + pos;
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(p[i]));
}

const wchar_t* CompactText::Range(std::size_t pos, std::size_t n, std::wstring& scratch) const {
    if (!narrow_)
        return wide_.data() + pos;
    scratch.resize(n);
    CopyTo(pos, n, scratch.data());
    return scratch.data();
}

void CompactText::ForEachChunk(const std::function<void(std::wstring_view)>& sink,
                               std::size_t chunk) const {
    chunk = std::max<std::size_t>(chunk, 2);
    const std::size_t n = size();
    std::wstring buffer;
    for (std::size_t pos = 0; pos < n;) {
        std::size_t k = std::min(chunk, n - pos);
        if (!narrow_ && pos + k < n && IS_HIGH_SURROGATE(wide_[pos + k - 1]))
            --k;
        sink(std::wstring_view(Range(pos, k, buffer), k));
        pos += k;
    }
}

} // namespace tmb
