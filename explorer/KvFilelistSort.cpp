// The file list view's sorting: the key maker, the comparison and the header's arrow.
#include "explorer/KvFilelistSort.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

#include "explorer/KvFilelistView28.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

// A signed number as an unsigned one of the same order.
std::uint64_t Ordered(std::int64_t value) {
    return static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << 63);
}

// A floating-point number as an unsigned one of the same order (both zeros alike).
std::uint64_t Ordered(double value) {
    if (value == 0)
        value = 0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits & (std::uint64_t{1} << 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The whole kilobytes of a size text ("12 KB"), 0 for a folder's " ". (The number's own
// leading blanks are skipped by the conversion.)
std::int64_t KilobytesOfText(const std::wstring& text) {
    const std::size_t k = text.find(L'K');
    if (text == L" " || k == std::wstring::npos || k < 1)
        return 0;
    return _wtoi64(text.substr(0, k - 1).c_str());
}

double NumberOfText(const std::wstring& text) {
    std::wstring s = text;
    for (wchar_t& c : s)
        if (c == L',')
            c = L'.';
    return _wtof(s.c_str());
}

HBITMAP LoadArrow(const wchar_t* name) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0,
                                           LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
}

} // namespace

TKvFilelistSort::TKvFilelistSort(TKvFilelistView28& list)
    : list_(list), upBitmap_(LoadArrow(L"Bmp_Up28")), downBitmap_(LoadArrow(L"Bmp_Down28")) {}

void TKvFilelistSort::Clear() {
    keys_.clear();
    names_.clear();
}

std::uint32_t TKvFilelistSort::AddEntry(EntryKeys keys, const std::wstring* name) {
    if (name) {
        names_.push_back(*name);
        keys.name = static_cast<std::uint32_t>(names_.size());
    }
    keys_.push_back(keys);
    // 1-based: 0 marks an item listed by someone else.
    return static_cast<std::uint32_t>(keys_.size());
}

const TKvFilelistSort::EntryKeys* TKvFilelistSort::KeysOf(const tmb::ListItem& item) const {
    const std::uint32_t mark = TKvFilelistView28::MarkOf(item);
    return mark >= 1 && mark <= keys_.size() ? &keys_[mark - 1] : nullptr;
}

void TKvFilelistSort::AddKey(const tmb::ListItem& item, KeyBlock& block) const {
    const EntryKeys* keys = KeysOf(item);
    Key key;
    const bool parent = keys ? keys->parent : item.caption == list_.ParentDirCaption();
    const bool folder = keys ? keys->folder : item.SubItem(TKvFilelistView28::siKind) == L"dir";
    key.group = parent ? 0 : folder != descending_ ? 1 : 2;
    // The text of the key, folded into the block: the Name in capitals as the user's locale
    // maps them, the other texts with ASCII letters folded; its first eight characters make
    // the two numbers, so most comparisons end there.
    auto addText = [&block, &key](const std::wstring& text, bool upper) {
        key.textAt = static_cast<std::uint32_t>(block.text.size());
        block.text.append(text);
        wchar_t* out = &block.text[key.textAt];
        int length = static_cast<int>(text.size());
        // ASCII letters (and for the Name the Latin-1 ones, à to þ, which have their
        // capitals 32 places below in every case table) are folded here; a name with any
        // other letter is mapped by the system, so most names take no call.
        bool own = true;
        for (int i = 0; i < length; ++i) {
            const wchar_t c = out[i];
            if (c >= L'a' && c <= L'z')
                out[i] = static_cast<wchar_t>(c - 32);
            else if (!upper || c < 0x80 || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
                continue;  // no letter, or a capital already
            else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
                out[i] = static_cast<wchar_t>(c - 32);
            else
                own = false;
        }
        if (upper && !own) {
            length = std::max(0, LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text.data(),
                                              length, out, length));
            block.text.resize(key.textAt + static_cast<std::size_t>(length));
        }
        key.textLength = static_cast<std::uint32_t>(length);
        key.number = key.next = 0;
        for (int i = 0; i < 4; ++i) {
            key.number = key.number << 16 | (i < length ? static_cast<std::uint16_t>(out[i]) : 0);
            key.next = key.next << 16 | (i + 4 < length ? static_cast<std::uint16_t>(out[i + 4]) : 0);
        }
    };
    switch (column_) {
    case TKvFilelistView28::fcName:
        addText(item.caption, true);
        break;
    case TKvFilelistView28::fcSize:
        key.number = Ordered(keys ? SizeKey(*keys) : KilobytesOfText(item.SubItem(TKvFilelistView28::siSize)));
        break;
    case TKvFilelistView28::fcModified:
        // The time as a floating-point number, as its text shows it.
        key.number = Ordered(keys ? static_cast<double>(keys->written)
                                  : NumberOfText(item.SubItem(TKvFilelistView28::siSortKey)));
        break;
    case TKvFilelistView28::fcType:
    case TKvFilelistView28::fcAttributes: {
        const bool byType = column_ == TKvFilelistView28::fcType;
        if (!keys) {
            addText(item.SubItem(byType ? TKvFilelistView28::siType : TKvFilelistView28::siAttributes), false);
            break;
        }
        // Type names and attribute letters repeat: each is folded once, found by what it is
        // made from.
        const DWORD shown = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY |
                            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        const std::size_t id = byType ? static_cast<std::size_t>(keys->type) : keys->attributes & shown;
        if (id >= block.shared.size())
            block.shared.resize(id + 1);
        Key& made = block.shared[id];
        if (made.group == 0) {
            addText(byType ? list_.TypeNameAt(keys->type) : AttributesText(keys->attributes), false);
            made = key;
            made.group = 1;
        }
        key.number = made.number;
        key.next = made.next;
        key.textAt = made.textAt;
        key.textLength = made.textLength;
        break;
    }
    default:
        break;  // no column: only the groups order
    }
    block.keys.push_back(key);
}

void TKvFilelistSort::MakeRowKeys() {
    const int count = list_.ItemCount();
    rows_.keys.clear();
    rows_.text.clear();
    rows_.shared.clear();
    rows_.keys.reserve(static_cast<std::size_t>(count));
    if (column_ == TKvFilelistView28::fcName) {
        std::size_t total = 0;
        for (int i = 0; i < count; ++i)
            total += list_.HeldItem(i).caption.size();
        rows_.text.reserve(total);
    }
    for (int i = 0; i < count; ++i)
        AddKey(list_.HeldItem(i), rows_);
}

void TKvFilelistSort::DropRowKeys() {
    // Swapped out and freed: a string assigned an empty one would keep its block.
    KeyBlock dropped;
    std::swap(rows_, dropped);
}

void TKvFilelistSort::SortByName() {
    if (!enabled_)
        return;
    column_ = TKvFilelistView28::fcName;
    descending_ = false;
    list_.Sort();
    list_.UpdateSortMarks();
}

void TKvFilelistSort::ColumnClick(int column) {
    if (!enabled_)
        return;
    if (column == column_) {
        descending_ = !descending_;
    } else {
        column_ = column;
        descending_ = true;
    }
    list_.Sort();
    list_.UpdateSortMarks();
}

int TKvFilelistSort::Compare(const tmb::ListItem& a, const tmb::ListItem& b) const {
    KeyBlock two;
    AddKey(a, two);
    AddKey(b, two);
    return CompareKeys(two.keys[0], two.keys[1], two.text.data());
}

void TKvFilelistSort::ShowMarks() const {
    HWND header = list_.HeaderHandle();
    if (!header)
        return;
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, i, &item))
            continue;
        if (i == column_) {
            item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
            item.hbm = descending_ ? downBitmap_.get() : upBitmap_.get();
            item.mask |= HDI_BITMAP;
        } else {
            item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
        }
        Header_SetItem(header, i, &item);
    }
}

} // namespace kv
