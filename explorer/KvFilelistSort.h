// The file list view's sorting, kept beside the list the way WTL keeps its sortable list
// view: the sort column and direction, one key per item made once when a sort starts (so
// that a re-sort of 100,000 entries compares numbers and one block of folded texts, not the
// items' texts), the one comparison of two keys, and the arrow in the header.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/ListView.h"

namespace kv {

class TKvFilelistView28;

class TKvFilelistSort {
public:
    // What the list knows of an entry it listed, kept from the listing on: all sorting needs,
    // and all the entry's texts are made from when they are first asked for.
    struct EntryKeys {
        bool parent = false;
        bool folder = false;
        DWORD attributes = 0;
        int type = 0;                // the type name's place in the list's table of them
        std::int64_t size = 0;       // bytes
        std::uint64_t written = 0;   // the last-write time, 100-nanosecond units since 1601
        // 1 + the place in the names kept aside when the caption is not the entry's name (the
        // parent entry, a hidden extension); 0 when it is.
        std::uint32_t name = 0;
    };
    explicit TKvFilelistSort(TKvFilelistView28& list);

    // Off in the drives view.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }

    // A new listing: no entry has keys yet.
    void Clear();
    // The keys of an entry being listed, and its name when its caption is not it; the mark
    // the list gives its item.
    std::uint32_t AddEntry(EntryKeys keys, const std::wstring* name = nullptr);
    // The name of a listed entry, whose caption may not be it.
    const std::wstring& NameOf(const tmb::ListItem& item, const EntryKeys& keys) const {
        return keys.name ? names_[keys.name - 1] : item.caption;
    }
    bool HasEntries() const { return !keys_.empty(); }
    // The keys of an item the list listed itself; null for one listed by someone else.
    const EntryKeys* KeysOf(const tmb::ListItem& item) const;

    // After a listing: by Name ascending, with the header's arrow.
    void SortByName();
    // A header click: the same column turns round, another one starts descending.
    void ColumnClick(int column);
    // Two items of any origin in the sort order: their keys made on the spot.
    int Compare(const tmb::ListItem& a, const tmb::ListItem& b) const;
    // What sorting by Size compares: the whole kilobytes shown (1 to 1023 bytes count as
    // one), 0 for a folder, which shows none.
    static std::int64_t SizeKey(const EntryKeys& keys) {
        return keys.folder ? 0 : keys.size > 0 && keys.size < 1024 ? 1 : keys.size / 1024;
    }

    // How the columns compare: the Name in capitals by character code, the Size in whole
    // kilobytes, Modified by the last-write time, Type and Attributes by their texts with
    // ASCII letters folded.
    //
    // A sort of the list's rows (see ListView::StartSort): a key for every held item made
    // at the start, the rows compared by them, the keys dropped at the end.
    void MakeRowKeys();
    bool HasRowKeys() const { return !rows_.keys.empty(); }
    int CompareRows(int a, int b) const {
        return CompareKeys(rows_.keys[static_cast<std::size_t>(a)],
                           rows_.keys[static_cast<std::size_t>(b)], rows_.text.data());
    }
    void DropRowKeys();

    // The arrow on the sort column's header, none on the others (the list's UpdateSortMarks).
    void ShowMarks() const;

private:
    // An item's place in the order: its group (0 the parent entry, then 1 and 2: folders
    // first, files first when descending), then a number (the kilobytes, the time, or the
    // first four characters of the folded text), the next four characters, then the rest of
    // the folded text, which lies in the key block's text.
    struct Key {
        std::uint64_t number = 0;
        std::uint64_t next = 0;
        std::uint32_t group = 0;
        std::uint32_t textAt = 0;
        std::uint32_t textLength = 0;
    };
    // The keys of a sort, their folded texts one after the other in one block; a text that
    // repeats (a type name, attribute letters) is folded once and shared by its id.
    struct KeyBlock {
        std::vector<Key> keys;
        std::wstring text;
        std::vector<Key> shared;  // by id; `group` is 1 once the text is made
    };
    // The one key maker: appends the key of `item` to `block`, from the keys kept at
    // listing time for an own entry, from the texts for an item listed by someone else.
    void AddKey(const tmb::ListItem& item, KeyBlock& block) const;
    // The one comparison: negative when `a` goes first.
    int CompareKeys(const Key& a, const Key& b, const wchar_t* text) const {
        if (a.group != b.group)
            return a.group < b.group ? -1 : 1;
        int result = a.number != b.number ? (a.number < b.number ? -1 : 1)
                     : a.next != b.next   ? (a.next < b.next ? -1 : 1)
                                          : CompareFolded(text + a.textAt, a.textLength,
                                                          text + b.textAt, b.textLength);
        // Turned round within the groups; the parent entry stays on top.
        return descending_ && a.group != 0 ? -result : result;
    }
    // -1, 0 or 1 by the character codes: a loop of its own, since the runtime's wmemcmp is
    // a call into a system library for every pair of a sort.
    static int CompareFolded(const wchar_t* x, std::uint32_t xn, const wchar_t* y, std::uint32_t yn) {
        const std::uint32_t n = xn < yn ? xn : yn;
        for (std::uint32_t i = 0; i < n; ++i)
            if (x[i] != y[i])
                return x[i] < y[i] ? -1 : 1;
        return xn < yn ? -1 : (xn > yn ? 1 : 0);
    }

    TKvFilelistView28& list_;
    int column_ = 0;
    bool descending_ = true;
    bool enabled_ = true;
    tmb::BitmapHandle upBitmap_;
    tmb::BitmapHandle downBitmap_;
    std::vector<EntryKeys> keys_;
    std::vector<std::wstring> names_;
    KeyBlock rows_;  // while a sort runs: a key per row
};

} // namespace kv
