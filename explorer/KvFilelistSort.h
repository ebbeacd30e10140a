// The file list view's sorting, kept beside the list the way WTL keeps its sortable list
// view: the sort column and direction, how each column compares, the keys worked out once
// per listed entry (so that a re-sort of 100,000 entries compares numbers, not texts), and
// the arrow in the header.
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
    // How a column compares: the name in capitals by character code, a size in whole
    // kilobytes, the last-write time, or a text with ASCII letters folded.
    enum class ColumnKind { ckName, ckSize, ckModified, ckText };

    // What the list knows of an entry it listed, kept from the listing on: all sorting needs,
    // and all the entry's texts are made from when they are first asked for.
    struct EntryKeys {
        bool parent = false;
        bool folder = false;
        DWORD attributes = 0;
        int type = 0;                // the type name's place in the list's table of them
        std::int64_t size = 0;       // bytes
        std::uint64_t written = 0;   // the last-write time, 100-nanosecond units since 1601
        // Places in the order of the Name, Type and Attributes columns (see Rank).
        int rank[5] = {};
        // 1 + the place in the names kept aside when the caption is not the entry's name (the
        // parent entry, a hidden extension); 0 when it is.
        std::uint32_t name = 0;
    };
    explicit TKvFilelistSort(TKvFilelistView28& list);

    int Column() const { return column_; }
    bool Descending() const { return descending_; }
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
    int Compare(const tmb::ListItem& a, const tmb::ListItem& b) const;
    // What sorting by Size compares: the whole kilobytes shown (1 to 1023 bytes count as
    // one), 0 for a folder, which shows none.
    static std::int64_t SizeKey(const EntryKeys& keys) {
        return keys.folder ? 0 : keys.size > 0 && keys.size < 1024 ? 1 : keys.size / 1024;
    }
    // Each item's place in the order Compare gives, as numbers (see ListView::SortPairs);
    // false when some item has no keys or the column is not ranked.
    bool Pairs(std::vector<tmb::ListView::SortPair>& pairs) const;
    // The arrow on the sort column's header, none on the others.
    void UpdateMarks() const;

private:
    void SortNow();
    // Orders the listed entries once by the text of a column and keeps each one's place, so
    // that every later sort by that column compares two integers.
    void Rank(int column);
    // The text an entry shows in the Type or the Attributes column.
    std::wstring TextOf(const EntryKeys& keys, int column) const;

    TKvFilelistView28& list_;
    int column_ = 0;
    bool descending_ = true;
    bool enabled_ = true;
    tmb::BitmapHandle upBitmap_;
    tmb::BitmapHandle downBitmap_;
    std::vector<EntryKeys> keys_;
    std::vector<std::wstring> names_;
    unsigned rankedColumns_ = 0;  // bit per column whose ranks are worked out
};

} // namespace kv
