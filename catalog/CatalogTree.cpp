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

std::wstring UnescapedName(std::string_view escaped) {
    std::wstring out;
    out.reserve(escaped.size());
    auto hex = [](char c) -> unsigned {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
    };
    for (std::size_t i = 0; i < escaped.size();) {
        const unsigned char c = static_cast<unsigned char>(escaped[i]);
        if (c == '\\' && i + 1 < escaped.size()) {
            const char e = escaped[i + 1];
            if (e == 'u' && i + 5 < escaped.size()) {
                out += static_cast<wchar_t>((hex(escaped[i + 2]) << 12) | (hex(escaped[i + 3]) << 8) |
                                            (hex(escaped[i + 4]) << 4) | hex(escaped[i + 5]));
                i += 6;
            } else {
                out += static_cast<wchar_t>(e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e);
                i += 2;
            }
            continue;
        }
        // UTF-8 as AppendEscapedUtf8 writes it: well formed.
        unsigned cp = c;
        std::size_t length = 1;
        if (c >= 0xF0 && i + 3 < escaped.size()) {
            cp = ((c & 7u) << 18) | ((escaped[i + 1] & 0x3Fu) << 12) | ((escaped[i + 2] & 0x3Fu) << 6) | (escaped[i + 3] & 0x3Fu);
            length = 4;
        } else if (c >= 0xE0 && i + 2 < escaped.size()) {
            cp = ((c & 15u) << 12) | ((escaped[i + 1] & 0x3Fu) << 6) | (escaped[i + 2] & 0x3Fu);
            length = 3;
        } else if (c >= 0xC0 && i + 1 < escaped.size()) {
            cp = ((c & 31u) << 6) | (escaped[i + 1] & 0x3Fu);
            length = 2;
        }
        if (cp >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
        i += length;
    }
    return out;
}

std::int64_t UnixSeconds(std::uint64_t filetime) {
    constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;
    const std::int64_t ticks = static_cast<std::int64_t>(filetime) - kTicksTo1970;
    // Rounded down, so a time before 1970 keeps its second.
    return ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000);
}

} // namespace catalog
