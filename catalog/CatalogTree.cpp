// The compact tree's storage and the one encoding of its names.
#include "catalog/CatalogTree.h"

#include <cstring>

#include "framework/TextConv.h"

namespace catalog {

NameRef NameArena::Add(std::string_view utf8) {
    if (used_ + utf8.size() > kBlock) {
        // A name is at most 32,767 UTF-16 units (a whole path, the root's), 6 bytes each when
        // escaped: it always fits.
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

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The four hex digits at `text[at]`, or -1.
int Hex4(std::string_view text, std::size_t at) {
    if (at + 4 > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

constexpr unsigned kReplacement = 0xFFFD;

} // namespace

void AppendUnescapedUtf8(std::string& out, std::string_view escaped) {
    std::size_t i = 0;
    while (i < escaped.size()) {
        const std::size_t slash = escaped.find('\\', i);
        if (slash == std::string_view::npos) {
            out.append(escaped.data() + i, escaped.size() - i);
            return;
        }
        out.append(escaped.data() + i, slash - i);
        i = slash + 1;
        if (i == escaped.size())
            return;
        const char e = escaped[i++];
        if (e != 'u') {
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == 'b' ? '\b' : e == 'f' ? '\f' : e;
            continue;
        }
        const int unit = Hex4(escaped, i);
        if (unit < 0) {
            AppendUtf8(out, kReplacement);
            continue;
        }
        i += 4;
        unsigned cp = static_cast<unsigned>(unit);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 6 <= escaped.size() && escaped[i] == '\\' &&
            escaped[i + 1] == 'u') {
            const int low = Hex4(escaped, i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<unsigned>(low) - 0xDC00);
                i += 6;
            }
        }
        AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? kReplacement : cp);
    }
}

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
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            const unsigned next = i + 1 < name.size() ? name[i + 1] : 0;
            if (c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00));
                ++i;
            } else {
                // A file system may hold a surrogate without its pair; UTF-8 cannot.
                AppendUnicodeEscape(out, c);
            }
        } else {
            AppendUtf8(out, c);
        }
    }
}

std::wstring UnescapedName(std::string_view escaped) {
    std::string utf8;
    AppendUnescapedUtf8(utf8, escaped);
    return tmb::Utf8ToWide(utf8);
}

std::int64_t UnixSeconds(std::uint64_t filetime) {
    constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;
    const std::int64_t ticks = static_cast<std::int64_t>(filetime) - kTicksTo1970;
    // Rounded down, so a time before 1970 keeps its second.
    return ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000);
}

} // namespace catalog
