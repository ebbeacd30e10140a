// A long text held in one byte per character when every character of it is below 256
// (Latin-1: the page of a Western folder nearly always is), in UTF-16 otherwise, decided
// each time it is set. Offsets are characters in both forms, the same as in the UTF-16 text,
// so callers index it exactly as they would the std::wstring it was made from.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tmb {

class CompactText {
public:
    CompactText() = default;
    explicit CompactText(const std::wstring& text) { Assign(text); }
    // Takes the text over: in the narrow form the wide one is let go as soon as it has been
    // converted, so the two are held together only for the conversion.
    explicit CompactText(std::wstring&& text) { Assign(std::move(text)); }

    void Assign(const std::wstring& text);
    void Assign(std::wstring&& text);

    std::size_t size() const { return narrow_ ? bytes_.size() : wide_.size(); }
    bool empty() const { return size() == 0; }
    wchar_t operator[](std::size_t i) const {
        return narrow_ ? static_cast<wchar_t>(static_cast<unsigned char>(bytes_[i])) : wide_[i];
    }
    // True when the text is held one byte per character (an empty text is).
    bool Narrow() const { return narrow_; }
    // The bytes the characters take in memory.
    std::size_t Bytes() const;

    bool Equals(std::wstring_view text) const;
    std::wstring Wide() const { return Substr(0, size()); }
    // Up to `n` characters from `pos` (pos <= size()).
    std::wstring Substr(std::size_t pos, std::size_t n) const;
    // Copies the characters [pos, pos + n) to `out`, which has room for n.
    void CopyTo(std::size_t pos, std::size_t n, wchar_t* out) const;
    // The characters [pos, pos + n) as UTF-16: in place when the text is held so, else
    // widened into `scratch`. Valid until the text or `scratch` changes.
    const wchar_t* Range(std::size_t pos, std::size_t n, std::wstring& scratch) const;
    // Hands the whole text to `sink` in order, in pieces of at most `chunk` characters (at
    // least 2) that never cut a surrogate pair in two; never holds a whole wide copy.
    void ForEachChunk(const std::function<void(std::wstring_view)>& sink,
                      std::size_t chunk = std::size_t{1} << 16) const;

private:
    // Exactly one of the two holds the text, as narrow_ says; the other is empty.
    std::string bytes_;
    std::wstring wide_;
    bool narrow_ = true;
};

} // namespace tmb
