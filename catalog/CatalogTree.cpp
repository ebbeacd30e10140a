// The compact tree's storage and the one encoding of its names.
#include "catalog/CatalogTree.h"

#include <cstring>

namespace catalog {

NameRef NameArena::Add(std::string_view utf8) {
    if (used_ + utf8.size() > kBlock) {
        // A name is at most 255 UTF-16 units, 6 bytes each when escaped: it always fits.
        blocks_.push_back(std::make_unique<char[]>(kBlock));
        used_ = 0;
    }
    std::memcpy(blocks_.back().get() + used_, utf8.data(), utf8.size());
    const NameRef ref{static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(used_),
                      static_cast<std::uint32_t>(utf8.size())};
    used_ += utf8.size();
    bytes_ += utf8.size();
    return ref;
}

namespace {

void AppendUnicodeEscape(std::string& out, unsigned unit) {
    static const char hex[] = "0123456789abcdef";
    const char escape[6] = {'\\', 'u', hex[(unit >> 12) & 15], hex[(unit >> 8) & 15],
                            hex[(unit >> 4) & 15], hex[unit & 15]};
    out.append(escape, 6);
}

} // namespace

void AppendEscapedUtf8(std::string& out, std::wstring_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned c = name[i];
        if (c < 0x80) {
            if (c == '\\' || c == '"') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c == '<') {
                AppendUnicodeEscape(out, c);
            } else {
                out += static_cast<char>(c);
            }
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            const unsigned next = i + 1 < name.size() ? name[i + 1] : 0;
            if (c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                const unsigned cp = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                out += static_cast<char>(0xF0 | (cp >> 18));
                out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (cp & 0x3F));
                ++i;
            } else {
                // A file system may hold a surrogate without its pair; UTF-8 cannot.
                AppendUnicodeEscape(out, c);
            }
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::int64_t UnixSeconds(std::uint64_t filetime) {
    constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;
    const std::int64_t ticks = static_cast<std::int64_t>(filetime) - kTicksTo1970;
    // Rounded down, so a time before 1970 keeps its second.
    return ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000);
}

} // namespace catalog
