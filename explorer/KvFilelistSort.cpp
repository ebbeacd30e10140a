// The file list view's sorting: the keys, the comparison by column kind, the ranks and the
// header's arrow.
#include "explorer/KvFilelistSort.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <unordered_map>

#include "explorer/KvFilelistView28.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

using Kind = TKvFilelistSort::ColumnKind;

// How each file column compares, and the sub-item it compares by.
struct ColumnRule {
    Kind kind;
    int subItem;
};
const ColumnRule kColumnRules[] = {
    {Kind::ckName, -1},                                   // Name: the caption
    {Kind::ckSize, TKvFilelistView28::siSize},            // Size
    {Kind::ckText, TKvFilelistView28::siType},            // Type
    {Kind::ckModified, TKvFilelistView28::siSortKey},     // Modified
    {Kind::ckText, TKvFilelistView28::siAttributes},      // Attributes
};
constexpr int kRuledColumns = static_cast<int>(sizeof(kColumnRules) / sizeof(kColumnRules[0]));

// Case-insensitive with ASCII letters folded; the signed difference of the first unequal
// characters (or of the lengths).
int CompareAsciiNoCase(const std::wstring& a, const std::wstring& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'a' && x <= L'z')
            x = static_cast<wchar_t>(x - 32);
        if (y >= L'a' && y <= L'z')
            y = static_cast<wchar_t>(y - 32);
        if (x != y)
            return static_cast<int>(x) - static_cast<int>(y);
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

template <class T>
int Sign(T a, T b) { return a > b ? 1 : (a < b ? -1 : 0); }

// -1, 0 or 1 by the character codes: a loop of its own, since the runtime's wmemcmp is a
// call into a system library for every pair of a sort.
int CompareOrdinal(const wchar_t* x, std::size_t xn, const wchar_t* y, std::size_t yn) {
    const std::size_t n = std::min(xn, yn);
    for (std::size_t i = 0; i < n; ++i)
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    return Sign(xn, yn);
}

int CompareOrdinal(const std::wstring& a, const std::wstring& b) {
    return CompareOrdinal(a.data(), a.size(), b.data(), b.size());
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
    rankedColumns_ = 0;
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

void TKvFilelistSort::SortNow() {
    Rank(column_);
    list_.Sort();
}

void TKvFilelistSort::Rank(int column) {
    if (column < 0 || column >= kRuledColumns || kColumnRules[column].kind == Kind::ckSize ||
        kColumnRules[column].kind == Kind::ckModified)
        return;
    if (rankedColumns_ & (1u << column))
        return;
    rankedColumns_ |= 1u << column;
    if (kColumnRules[column].kind == Kind::ckName) {
        // The captions in capitals, one after the other in one block: one mapping each and
        // no string of its own per entry.
        std::wstring upper;
        std::vector<std::size_t> start(keys_.size() + 1, 0), length(keys_.size(), 0);
        std::vector<const std::wstring*> caption(keys_.size(), nullptr);
        std::size_t total = 0;
        for (int i = 0; i < list_.ItemCount(); ++i) {
            const tmb::ListItem& item = list_.HeldItem(i);
            if (KeysOf(item)) {
                caption[TKvFilelistView28::MarkOf(item) - 1] = &item.caption;
                total += item.caption.size();
            }
        }
        upper.resize(total);
        std::size_t at = 0;
        for (std::size_t k = 0; k < keys_.size(); ++k) {
            start[k] = at;
            const std::wstring* text = caption[k];
            if (!text || text->empty())
                continue;
            const int n = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text->data(),
                                       static_cast<int>(text->size()), &upper[at],
                                       static_cast<int>(text->size()));
            length[k] = n > 0 ? static_cast<std::size_t>(n) : 0;
            at += text->size();
        }
        auto compare = [&](int a, int b) {
            const auto x = static_cast<std::size_t>(a), y = static_cast<std::size_t>(b);
            return CompareOrdinal(upper.data() + start[x], length[x], upper.data() + start[y], length[y]);
        };
        std::vector<int> order(keys_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
        int rank = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && compare(order[i - 1], order[i]) != 0)
                ++rank;
            keys_[static_cast<std::size_t>(order[i])].rank[column] = rank;
        }
        return;
    }
    // Type names and attribute letters repeat: the few distinct texts are ordered, and
    // every entry takes its text's place, found by what the text is made from.
    const bool byType = column == TKvFilelistView28::fcType;
    const DWORD shown = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                        FILE_ATTRIBUTE_SYSTEM;
    auto idOf = [byType, shown](const EntryKeys& keys) {
        return byType ? static_cast<std::uint32_t>(keys.type) : static_cast<std::uint32_t>(keys.attributes & shown);
    };
    std::unordered_map<std::uint32_t, int> places;
    for (const EntryKeys& keys : keys_)
        places.emplace(idOf(keys), 0);
    std::vector<std::pair<std::wstring, std::uint32_t>> distinct;
    distinct.reserve(places.size());
    for (const auto& p : places) {
        EntryKeys probe;
        probe.type = static_cast<int>(p.first);
        probe.attributes = p.first;
        distinct.emplace_back(TextOf(probe, column), p.first);
    }
    std::sort(distinct.begin(), distinct.end(), [](const auto& a, const auto& b) {
        return CompareAsciiNoCase(a.first, b.first) < 0;
    });
    int rank = 0;
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        if (i > 0 && CompareAsciiNoCase(distinct[i - 1].first, distinct[i].first) != 0)
            ++rank;
        places[distinct[i].second] = rank;
    }
    for (EntryKeys& keys : keys_)
        keys.rank[column] = places[idOf(keys)];
}

std::wstring TKvFilelistSort::TextOf(const EntryKeys& keys, int column) const {
    return column == TKvFilelistView28::fcType ? list_.TypeNameAt(keys.type)
                                               : AttributesText(keys.attributes);
}

void TKvFilelistSort::SortByName() {
    if (!enabled_)
        return;
    column_ = TKvFilelistView28::fcName;
    descending_ = false;
    SortNow();
    UpdateMarks();
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
    SortNow();
    UpdateMarks();
}

int TKvFilelistSort::Compare(const tmb::ListItem& a, const tmb::ListItem& b) const {
    // The keys worked out at listing time stand for the texts they were made from; an item
    // listed by someone else is compared by its texts.
    const EntryKeys* ka = KeysOf(a);
    const EntryKeys* kb = KeysOf(b);
    const std::wstring& parentCaption = list_.ParentDirCaption();
    const bool aParent = ka ? ka->parent : a.caption == parentCaption;
    const bool bParent = kb ? kb->parent : b.caption == parentCaption;
    // The parent entry keeps its place at the top in every column, also where its own
    // date or attributes would move it down among the folders.
    if (aParent != bParent)
        return aParent ? -1 : 1;
    const bool parentInvolved = aParent || bParent;
    const std::size_t kindSub = TKvFilelistView28::siKind;
    const bool aDir = ka ? ka->folder : a.SubItem(kindSub) == L"dir";
    const bool bDir = kb ? kb->folder : b.SubItem(kindSub) == L"dir";
    int result = 0;
    if (aDir && !bDir) {
        result = -1;
    } else if (bDir && !aDir) {
        result = 1;
    } else if (column_ >= 0 && column_ < kRuledColumns) {
        const ColumnRule& rule = kColumnRules[column_];
        const auto sub = static_cast<std::size_t>(rule.subItem);
        if (ka && kb && (rankedColumns_ & (1u << column_)) != 0) {
            result = Sign(ka->rank[column_], kb->rank[column_]);
        } else {
            switch (rule.kind) {
            case Kind::ckName:
                result = CompareOrdinal(tmb::UpperCase(a.caption), tmb::UpperCase(b.caption));
                break;
            case Kind::ckSize:
                result = Sign(ka ? SizeKey(*ka) : KilobytesOfText(a.SubItem(sub)),
                              kb ? SizeKey(*kb) : KilobytesOfText(b.SubItem(sub)));
                break;
            case Kind::ckModified:
                // The key is the time as a floating-point number, as its text shows it.
                if (&a != &b)
                    result = Sign(ka ? static_cast<double>(ka->written) : NumberOfText(a.SubItem(sub)),
                                  kb ? static_cast<double>(kb->written) : NumberOfText(b.SubItem(sub)));
                break;
            case Kind::ckText:
                result = CompareAsciiNoCase(ka ? TextOf(*ka, column_) : a.SubItem(sub),
                                            kb ? TextOf(*kb, column_) : b.SubItem(sub));
                break;
            }
        }
    }
    // The parent entry stays on top whatever the direction.
    if (descending_ && !parentInvolved)
        result = -result;
    return result;
}

bool TKvFilelistSort::Pairs(std::vector<tmb::ListView::SortPair>& pairs) const {
    if (column_ < 0 || column_ >= kRuledColumns)
        return false;
    const Kind kind = kColumnRules[column_].kind;
    if ((kind == Kind::ckName || kind == Kind::ckText) && !(rankedColumns_ & (1u << column_)))
        return false;
    const int count = list_.ItemCount();
    pairs.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const EntryKeys* keys = KeysOf(list_.HeldItem(i));
        if (!keys)
            return false;  // an item of someone else's: only Compare knows its place
        std::uint64_t value = 0;
        switch (kind) {
        case Kind::ckName:
        case Kind::ckText:
            value = static_cast<std::uint64_t>(keys->rank[column_]);
            break;
        case Kind::ckSize:
            value = static_cast<std::uint64_t>(SizeKey(*keys));
            break;
        case Kind::ckModified: {
            // The bits of a non-negative double order as its values do.
            const double time = static_cast<double>(keys->written);
            std::memcpy(&value, &time, sizeof(value));
            break;
        }
        }
        tmb::ListView::SortPair& pair = pairs[static_cast<std::size_t>(i)];
        if (keys->parent) {
            pair.group = 0;  // on top, never turned round
            pair.value = value;
        } else {
            // Folders first; turned round, files first and every value the other way.
            pair.group = keys->folder != descending_ ? 1 : 2;
            pair.value = descending_ ? ~value : value;
        }
    }
    return true;
}

void TKvFilelistSort::UpdateMarks() const {
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
