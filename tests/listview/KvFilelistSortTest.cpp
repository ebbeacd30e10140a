// The file list view's sorting: header clicks order every column both ways with folders
// first and the parent entry on top, and the comparison itself on items of any origin.
#include "explorer/KvFilelistSort.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/listview/FileListFixture.h"
#include "tests/support/TestFolders.h"

namespace {

using kv::TKvFilelistView28;
using listtest::FileList;
using listtest::SetTime;
using tmbtest::TempFolder;

// Checks the rules of the order for the list as it stands: the parent entry first, then
// folders before files (files before folders when descending), and within each group the
// keys of the sort column in the direction.
void ExpectOrdered(TKvFilelistView28& list, int column, bool descending) {
    SCOPED_TRACE("column " + std::to_string(column) + (descending ? " down" : " up"));
    ASSERT_GT(list.ItemCount(), 2);
    EXPECT_EQ(list.Item(0).caption, list.ParentDirCaption());
    for (int i = 2; i < list.ItemCount(); ++i) {
        const tmb::ListItem& a = list.Item(i - 1);
        const tmb::ListItem& b = list.Item(i);
        const bool aDir = a.SubItem(5) == L"dir", bDir = b.SubItem(5) == L"dir";
        EXPECT_FALSE(descending ? aDir && !bDir : !aDir && bDir) << U8(a.caption) << " before " << U8(b.caption);
        if (aDir != bDir)
            continue;
        int c = 0;
        switch (column) {
        case 0: c = tmb::UpperCase(a.caption).compare(tmb::UpperCase(b.caption)); break;
        case 1: c = _wtoi(a.SubItem(0).c_str()) - _wtoi(b.SubItem(0).c_str()); break;
        case 2: c = _wcsicmp(a.SubItem(1).c_str(), b.SubItem(1).c_str()); break;
        case 3: c = _wtof(a.SubItem(6).c_str()) < _wtof(b.SubItem(6).c_str()) ? -1 : (_wtof(a.SubItem(6).c_str()) > _wtof(b.SubItem(6).c_str()) ? 1 : 0); break;
        case 4: c = _wcsicmp(a.SubItem(3).c_str(), b.SubItem(3).c_str()); break;
        }
        EXPECT_LE(descending ? -c : c, 0) << U8(a.caption) << " before " << U8(b.caption);
    }
}

TEST_F(FileList, HeaderClicksSortEveryColumnBothWaysWithFoldersFirstAndTheParentOnTop) {
    TempFolder dir;
    SetTime(dir.AddFile(L"beta.txt", 5000), 3);
    SetTime(dir.AddFile(L"Alpha.doc", 100, FILE_ATTRIBUTE_READONLY), 9);
    SetTime(dir.AddFile(L"gamma.bin", 900), 1);
    SetTime(dir.AddFile(L"delta.txt", 70000, FILE_ATTRIBUTE_ARCHIVE), 5);
    SetTime(dir.AddFolder(L"zeta"), 2);
    SetTime(dir.AddFolder(L"Eta"), 7);
    list_->SetDirectory(dir.Path());
    ExpectOrdered(*list_, 0, false);
    bool down = true;
    EXPECT_EQ(ArrowColumns(&down), std::vector<int>{0});
    EXPECT_FALSE(down);

    ClickHeader(0);  // Name again: down, the files now before the folders
    ExpectOrdered(*list_, 0, true);
    EXPECT_EQ(list_->Item(1).caption, L"gamma.bin");
    EXPECT_EQ(list_->Item(list_->ItemCount() - 1).caption, L"Eta");
    EXPECT_EQ(ArrowColumns(&down), std::vector<int>{0});
    EXPECT_TRUE(down);
    for (int column = 1; column <= 4; ++column) {
        ClickHeader(column);  // another column: descending first
        ExpectOrdered(*list_, column, true);
        EXPECT_EQ(ArrowColumns(&down), std::vector<int>{column});
        EXPECT_TRUE(down) << column;
        ClickHeader(column);
        ExpectOrdered(*list_, column, false);
        ArrowColumns(&down);
        EXPECT_FALSE(down) << column;
    }
    // The arrow taken off the header is shown again by UpdateSortMarks, where it was.
    HWND header = list_->HeaderHandle();
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        item.fmt = HDF_STRING;
        Header_SetItem(header, i, &item);
    }
    ASSERT_TRUE(ArrowColumns().empty());
    list_->UpdateSortMarks();
    EXPECT_EQ(ArrowColumns(&down), std::vector<int>{4});
    EXPECT_FALSE(down);

    // Under Size, 100 and 900 bytes are both 1 KB: equal, so the stable sort keeps them in
    // the name order they stood in, also going down, where a count of bytes would put the
    // 900 bytes of gamma.bin first.
    list_->UpdateFileList();
    ClickHeader(1);
    ArrowColumns(&down);
    ASSERT_TRUE(down);
    EXPECT_EQ(IndexOf(L"gamma.bin"), IndexOf(L"Alpha.doc") + 1);

    list_->UpdateFileList();  // a reload returns to Name ascending
    ExpectOrdered(*list_, 0, false);
    EXPECT_EQ(ArrowColumns(&down), std::vector<int>{0});
    EXPECT_FALSE(down);

    // A handler of the user's replaces the built-in sorting.
    int clicks = 0;
    list_->OnColumnClick = [&](tmb::Component*, int) { ++clicks; };
    const auto before = Captions();
    ClickHeader(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Captions(), before);
}

TEST_F(FileList, NamesDifferingInCaseCompareEqualAndTheParentStaysOnTopInEveryColumn) {
    tmb::ListItem parent{L" Parent", 0, {L" ", L"Folder", L"", L"", L"x\\..", L"dir", L"9E17"}, 0, {}};
    tmb::ListItem a{L"readme", 0, {L"1 KB", L"Text", L"", L"A", L"x\\readme", L"file", L"1E17"}, 0, {}};
    tmb::ListItem b{L"README", 0, {L"3 KB", L"Text", L"", L"A", L"x\\README", L"file", L"2E17"}, 0, {}};
    tmb::ListItem folder{L"a", 0, {L" ", L"Folder", L"", L"H", L"x\\a", L"dir", L"3E17"}, 0, {}};
    list_->ColumnClick(0);  // a new list sorts by Name descending: this makes it ascending
    bool down = true;
    ASSERT_EQ(ArrowColumns(&down), std::vector<int>{0});
    ASSERT_FALSE(down);
    EXPECT_EQ(list_->CompareItems(a, b), 0);
    EXPECT_LT(list_->CompareItems(folder, a), 0);
    EXPECT_LT(list_->CompareItems(parent, folder), 0);

    list_->ColumnClick(1);  // Size, descending
    EXPECT_LT(list_->CompareItems(b, a), 0);       // 3 KB before 1 KB
    EXPECT_GT(list_->CompareItems(folder, a), 0);  // descending puts the files first
    EXPECT_LT(list_->CompareItems(parent, a), 0);
    for (int column : {3, 4}) {  // the parent is newer than the folder and has no "H"
        list_->ColumnClick(column);
        for (int twice = 0; twice < 2; ++twice) {
            EXPECT_LT(list_->CompareItems(parent, folder), 0) << column;
            EXPECT_GT(list_->CompareItems(folder, parent), 0) << column;
            list_->ColumnClick(column);
        }
    }
}

// The list sorts its own entries by numbers made once per entry, and reads a folder once for
// its folders and its files: a second list, reading the folder in two passes (mask "*") and
// sorting with a comparison of the user's (the same comparison, called pair by pair), must
// show every column in both directions in the very same order, ties included.
TEST_F(FileList, SortingByKeptKeysOrdersAsTheComparisonDoesAndOneReadingAsTwo) {
    TempFolder dir;
    // Letters the list folds itself (ASCII, Latin-1) and ones it leaves to the system (\u00b5, \u00ff, \u00df).
    const wchar_t* stems[] = {L"data", L"Data", L"DATA", L"\u00e9t\u00e9", L"\u00c9T\u00c9", L"co-op", L"coop", L"a b",
                              L"\u00b5m \u00e9", L"\u00ffA\u00df"};
    const wchar_t* exts[] = {L".txt", L".TXT", L".doc", L"", L".zip", L".Doc"};
    const std::uint64_t sizes[] = {0, 1, 1023, 1024, 2047, 2048, 5000, 5ull << 30};
    const DWORD attributes[] = {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_ARCHIVE,
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_SYSTEM};
    unsigned seed = 19;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int i = 0; i < 70; ++i) {
        const std::wstring name = std::wstring(stems[next(10)]) + L" " + std::to_wstring(next(12)) + exts[next(6)];
        if (tmbtest::FileExists(dir / name) || tmbtest::FolderExists(dir / name))
            continue;
        const bool folder = next(5) == 0;
        const std::wstring path = folder ? dir.AddFolder(name) : dir.AddFile(name, sizes[next(8)], attributes[next(5)]);
        SetTime(path, 1 + static_cast<int>(next(4)));  // many equal times
    }
    auto* other = tmbtest::PlaceOn<TKvFilelistView28>(form_.Form(), 0, 0, 300, 200);
    other->SetMask(L"*");
    other->OnCompare = [other](tmb::Component*, const tmb::ListItem& a, const tmb::ListItem& b, int& c) {
        c = other->CompareItems(a, b);
    };
    list_->SetDirectory(dir.Path());
    other->SetDirectory(dir.Path());
    ASSERT_GT(list_->ItemCount(), 40);
    EXPECT_EQ(Paths(*list_), Paths(*other));
    bool down = false, otherDown = true;
    for (int column : {1, 1, 2, 2, 3, 3, 4, 4, 0, 0, 2, 4, 1}) {
        list_->ColumnClick(column);
        other->ColumnClick(column);
        ASSERT_EQ(ArrowColumns(&down), ArrowColumns(&otherDown, other));
        ASSERT_EQ(down, otherDown);
        EXPECT_EQ(Paths(*list_), Paths(*other)) << "column " << column << (down ? " down" : " up");
    }
    ExpectOrdered(*list_, 1, down);
    tmb::Destroy(other);
}

} // namespace
