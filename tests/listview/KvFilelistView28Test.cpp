// The file list view on a shown window with real folders: what a folder and the drives view
// list, the mask and attribute filters, the parent entry, sizes beyond 4 GiB, the selection
// queries, sorting by every column, the keys, renaming in place, the link with the tree and
// the language.
#include "explorer/KvFilelistView28.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/DialogScript.h"
#include "tests/support/OpenHandler.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"
#include "tests/support/WineDrives.h"

namespace {

using kv::TKvFilelistView28;
using tmbtest::TempFolder;

std::string U8(const std::wstring& s) { return tmb::WideToUtf8(s); }

class FileList : public testing::Test {
protected:
    void SetUp() override {
        list_ = new TKvFilelistView28(&form_.Form());
        list_->SetBounds(0, 0, 580, 380);
        list_->SetParent(&form_.Form());
    }
    void TearDown() override { tmb::Destroy(list_); }

    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> result;
        for (int i = 0; i < list_->ItemCount(); ++i)
            result.push_back(list_->Item(i).caption);
        return result;
    }
    int IndexOfPath(const std::wstring& path) const {
        for (int i = 0; i < list_->ItemCount(); ++i)
            if (list_->ItemPath(i) == path)
                return i;
        return -1;
    }
    int IndexOf(const std::wstring& caption) const {
        for (int i = 0; i < list_->ItemCount(); ++i)
            if (list_->Item(i).caption == caption)
                return i;
        return -1;
    }
    const tmb::ListItem& ItemNamed(const std::wstring& caption) {
        const int i = IndexOf(caption);
        if (i < 0) {
            ADD_FAILURE() << "no item " << U8(caption);
            static const tmb::ListItem none;
            return none;
        }
        return list_->Item(i);
    }
    std::vector<std::wstring> ColumnCaptions() {
        std::vector<std::wstring> result;
        HWND header = list_->HeaderHandle();
        const int n = Header_GetItemCount(header);
        for (int i = 0; i < n; ++i) {
            wchar_t text[64] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            Header_GetItem(header, i, &item);
            result.push_back(text);
        }
        return result;
    }
    // The header columns showing a sort arrow, and whether it is the down one.
    std::vector<int> ArrowColumns(bool* down = nullptr) {
        std::vector<int> result;
        HWND header = list_->HeaderHandle();
        for (int i = 0; i < Header_GetItemCount(header); ++i) {
            HDITEMW item{};
            item.mask = HDI_FORMAT | HDI_BITMAP;
            Header_GetItem(header, i, &item);
            if (item.fmt & HDF_BITMAP) {
                result.push_back(i);
                if (down)
                    *down = list_->SortDescending();
            }
        }
        return result;
    }
    void ClickHeader(int column) {
        HWND header = list_->HeaderHandle();
        RECT r{};
        Header_GetItemRect(header, column, &r);
        tmbtest::Click(header, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        tmbtest::PumpFor(30);
    }
    void SelectOnly(const std::wstring& caption) {
        list_->ClearSelection();
        const int i = IndexOf(caption);
        ASSERT_GE(i, 0) << U8(caption);
        list_->SetSelected(i, true);
        list_->SetFocusedIndex(i);
    }
    // Selects an entry, edits its caption in place to `typed` and confirms with Enter.
    void RenameInPlace(const std::wstring& caption, const std::wstring& typed) {
        SelectOnly(caption);
        HWND edit = list_->EditCaption(IndexOf(caption));
        ASSERT_TRUE(edit) << U8(caption);
        SetWindowTextW(edit, typed.c_str());
        tmbtest::PressKey(edit, VK_RETURN);
        tmbtest::PumpFor(100);
    }
    void Key(WORD vk) {
        list_->SetFocus();
        tmbtest::PressKey(list_->Handle(), vk);
        tmbtest::Pump();
    }

    tmbtest::TestForm form_{600, 400};
    TKvFilelistView28* list_ = nullptr;
};

TEST_F(FileList, ANewListShowsTheFileColumnsAndNoItemsAndTheDrivesViewIsNeverSorted) {
    EXPECT_EQ(list_->Directory(), L"Drives");
    EXPECT_EQ(ColumnCaptions(),
              (std::vector<std::wstring>{L"Name", L"Size", L"Type", L"Modified", L"Attr"}));
    EXPECT_EQ(list_->ItemCount(), 0);
    list_->SetDirectory(L"DRIVES");  // the same, ignoring case: nothing happens
    EXPECT_EQ(list_->ItemCount(), 0);

    list_->UpdateFileList();
    EXPECT_EQ(ColumnCaptions(), (std::vector<std::wstring>{L"Name", L"Type", L"Disk Size",
                                                          L"Free Space", L"Attr"}));
    ASSERT_GT(list_->ItemCount(), 0);
    std::vector<std::wstring> roots;
    for (int i = 0; i < list_->ItemCount(); ++i) {
        EXPECT_EQ(list_->ItemKind(i), L"drv");
        roots.push_back(list_->ItemPath(i));
    }
    std::vector<std::wstring> sorted = roots;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(roots, sorted);
    const tmb::ListItem& c = list_->Item(static_cast<int>(
        std::find(roots.begin(), roots.end(), L"C:\\") - roots.begin()));
    EXPECT_EQ(c.caption.substr(0, 7), L" (C:)  ");
    EXPECT_EQ(c.SubItem(0), L"Fixed Disk");
    EXPECT_EQ(c.SubItem(1).substr(c.SubItem(1).size() - 3), L" Mb");

    ClickHeader(1);
    ClickHeader(0);
    std::vector<std::wstring> after;
    for (int i = 0; i < list_->ItemCount(); ++i)
        after.push_back(list_->ItemPath(i));
    EXPECT_EQ(after, roots);
    EXPECT_TRUE(ArrowColumns().empty());
}

TEST_F(FileList, DriveSizesAreShownInThousandsOfKilobytesAndARemovableDriveIsNeverAsked) {
    tmbtest::WineDrive removable(L'R', DRIVE_REMOVABLE, false);
    if (!removable.Defined())
        GTEST_SKIP() << "no Wine mount manager";
    list_->UpdateFileList();
    const int ri = IndexOfPath(L"R:\\");
    ASSERT_GE(ri, 0);
    const tmb::ListItem& r = list_->Item(ri);
    EXPECT_EQ(r.caption.substr(0, 7), L" (R:)  ");
    EXPECT_EQ(r.SubItem(0), L"Removable Disk");
    EXPECT_EQ(r.SubItem(1), L"0 Mb");
    EXPECT_EQ(r.SubItem(2), L"0 Mb");
    EXPECT_EQ(r.SubItem(4), L"R:\\");

    const int c = IndexOfPath(L"C:\\");
    ASSERT_GE(c, 0);
    const std::int64_t kb = kv::GetDiskSizeKB(L"C");
    const std::wstring expected =
        kb < 1 ? L"0 Mb" : tmb::FormatFloat(L"###,###,### Mb", static_cast<double>(kb / 1000));
    EXPECT_EQ(list_->Item(c).SubItem(1), expected);
    // One million KB shows as "1,000 Mb"; under 1000 KB there are no digits at all.
    EXPECT_EQ(tmb::FormatFloat(L"###,###,### Mb", 1000000 / 1000), L"1,000 Mb");
    EXPECT_EQ(tmb::FormatFloat(L"###,###,### Mb", 999 / 1000), L" Mb");
}

TEST_F(FileList, AFolderListsItsEntriesWithTheSevenSubItems) {
    TempFolder dir;
    dir.AddFile(L"zero.txt", 0);
    dir.AddFile(L"one.txt", 1);
    dir.AddFile(L"edge.txt", 2047);
    dir.AddFile(L"two.txt", 2048);
    dir.AddFile(L"huge.bin", 5ull << 30);  // 5 GiB, sparse
    dir.AddFile(L"locked.txt", 10, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    dir.AddFolder(L"sub");
    list_->SetDirectory(dir.Path());
    EXPECT_EQ(list_->Directory(), dir.Path() + L"\\");

    EXPECT_EQ(ItemNamed(L"zero.txt").SubItem(0), L"0 KB");
    EXPECT_EQ(ItemNamed(L"one.txt").SubItem(0), L"1 KB");
    EXPECT_EQ(ItemNamed(L"edge.txt").SubItem(0), L"1 KB");
    EXPECT_EQ(ItemNamed(L"two.txt").SubItem(0), L"2 KB");
    EXPECT_EQ(ItemNamed(L"huge.bin").SubItem(0), L"5242880 KB");
    EXPECT_EQ(ItemNamed(L"locked.txt").SubItem(3), L"AR");

    const tmb::ListItem& sub = ItemNamed(L"sub");
    EXPECT_EQ(sub.SubItem(0), L" ");
    EXPECT_FALSE(sub.SubItem(1).empty());
    EXPECT_EQ(sub.SubItem(4), dir / L"sub");
    EXPECT_EQ(sub.SubItem(5), L"dir");
    const tmb::ListItem& two = ItemNamed(L"two.txt");
    EXPECT_EQ(two.SubItem(5), L"file");
    EXPECT_EQ(two.subItems.size(), 7u);
    // Modified: the file's time in the patterns; the sort key in 15 significant digits.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW((dir / L"two.txt").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(two.SubItem(2), kv::FileTimeToText(data.ftLastWriteTime, list_->DatePatternText(),
                                                 list_->TimePatternText()));
    const std::wstring key = two.SubItem(6);
    EXPECT_NE(key.find(L"E17"), std::wstring::npos) << U8(key);

    // The parent entry: first, its caption, its image, a full path ending in "..".
    ASSERT_GT(list_->ItemCount(), 0);
    EXPECT_EQ(list_->Item(0).caption, L" Parent");
    EXPECT_EQ(list_->Item(0).imageIndex, list_->ParentImageIndex());
    EXPECT_GE(list_->ParentImageIndex(), 0);
    EXPECT_EQ(list_->ItemPath(0), dir / L"..");
    // Nothing selected: the focus mark sits on the first item.
    EXPECT_EQ(list_->SelectedIndex(), -1);
    EXPECT_EQ(list_->FocusedIndex(), 0);
}

TEST_F(FileList, MaskPartsAttributeFilterAndParentEntryRules) {
    TempFolder dir;
    dir.AddFile(L"a.txt");
    dir.AddFile(L"b.log");
    dir.AddFile(L"c.doc");
    dir.AddFile(L"secret.txt", 0, FILE_ATTRIBUTE_HIDDEN);
    dir.AddFolder(L"shown");
    const std::wstring hidden = dir.AddFolder(L"covert");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    list_->SetDirectory(dir.Path());

    list_->SetMask(L"*.txt;a.*");  // a.txt matches both patterns: listed twice
    const std::vector<std::wstring> both = Captions();
    EXPECT_EQ(std::count(both.begin(), both.end(), L"a.txt"), 2);
    EXPECT_EQ(IndexOf(L"b.log"), -1);
    EXPECT_GE(IndexOf(L"shown"), 0);  // folders come from their own pass

    list_->SetMask(L"   ");
    EXPECT_GE(IndexOf(L"b.log"), 0);
    EXPECT_GE(IndexOf(L"c.doc"), 0);

    list_->SetMask(L"*.txt; *.log");  // the blank belongs to the second pattern
    EXPECT_GE(IndexOf(L"a.txt"), 0);
    EXPECT_EQ(IndexOf(L"b.log"), -1);

    list_->SetMask(L"*.*");
    list_->SetFileType(kv::FileTypeOf(kv::ftReadOnly) | kv::FileTypeOf(kv::ftSystem));
    EXPECT_EQ(IndexOf(L"secret.txt"), -1);
    EXPECT_EQ(IndexOf(L"covert"), -1);
    EXPECT_GE(IndexOf(L"a.txt"), 0);  // archive and normal take no part in the filter

    list_->SetShowFolders(false);
    EXPECT_EQ(IndexOf(L"shown"), -1);
    EXPECT_EQ(IndexOf(L" Parent"), -1);

    list_->SetShowFolders(true);
    list_->SetParentDirEnabled(false);
    list_->UpdateFileList();
    EXPECT_EQ(IndexOf(L" Parent"), -1);

    list_->SetParentDirEnabled(true);
    list_->SetParentDirCaption(L"  Up  ");
    EXPECT_EQ(list_->ParentDirCaption(), L" Up");
    list_->SetParentDirCaption(L"UP");  // the same word in other letter case: unchanged
    EXPECT_EQ(list_->ParentDirCaption(), L" Up");
    list_->UpdateFileList();
    EXPECT_EQ(list_->Item(0).caption, L" Up");

    // A drive root lists no parent entry.
    list_->SetDirectory(L"C:\\");
    EXPECT_EQ(IndexOf(L" Up"), -1);
    EXPECT_GT(list_->ItemCount(), 0);
}

TEST_F(FileList, SelectionQueriesCountAndSizeWithSixtyFourBitSizes) {
    TempFolder dir;
    dir.AddFile(L"small.txt", 1000);
    dir.AddFile(L"big.bin", 3ull << 30);
    dir.AddFile(L"bigger.bin", 5ull << 30);
    dir.AddFolder(L"sub");
    list_->SetDirectory(dir.Path());
    EXPECT_EQ(list_->SelectedSize(), 0);
    EXPECT_EQ(list_->SelectedNumber(), list_->ItemCount());  // the parent entry included
    EXPECT_EQ(list_->ItemCount(), 5);

    for (const wchar_t* name : {L"small.txt", L"big.bin", L"bigger.bin", L"sub"})
        list_->SetSelected(IndexOf(name), true);
    EXPECT_EQ(list_->SelectedNumber(), 4);
    EXPECT_EQ(list_->SelectedSize(), 1000 + (3ll << 30) + (5ll << 30));
    EXPECT_GT(list_->DriveFreeSpace(), 0);

    // A file deleted since it was listed adds nothing.
    DeleteFileW((dir / L"small.txt").c_str());
    EXPECT_EQ(list_->SelectedSize(), (3ll << 30) + (5ll << 30));

    // A large selection is summed in one pass over the folder, with the same rules.
    std::int64_t expected = (3ll << 30) + (5ll << 30);
    for (int i = 0; i < 40; ++i) {
        dir.AddFile(L"part" + std::to_wstring(i) + L".dat", 100 + i);
        expected += 100 + i;
    }
    dir.AddFile(L"unpicked.dat", 7777);
    list_->UpdateFileList();
    for (int i = 0; i < list_->ItemCount(); ++i)
        list_->SetSelected(i, list_->Item(i).caption != L"unpicked.dat");
    ASSERT_EQ(list_->SelectedCount(), list_->ItemCount() - 1);
    EXPECT_EQ(list_->SelectedSize(), expected);
    DeleteFileW((dir / L"part7.dat").c_str());
    EXPECT_EQ(list_->SelectedSize(), expected - 107);
}

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
        if (descending)
            EXPECT_FALSE(aDir && !bDir) << U8(a.caption) << " before " << U8(b.caption);
        else
            EXPECT_FALSE(!aDir && bDir) << U8(a.caption) << " before " << U8(b.caption);
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
        if (descending)
            EXPECT_GE(c, 0) << U8(a.caption) << " before " << U8(b.caption);
        else
            EXPECT_LE(c, 0) << U8(a.caption) << " before " << U8(b.caption);
    }
}

void SetTime(const std::wstring& path, int day) {
    SYSTEMTIME st{2024, 3, 0, static_cast<WORD>(day), 12, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
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
    EXPECT_EQ(ArrowColumns(), std::vector<int>{0});
    EXPECT_FALSE(list_->SortDescending());

    ClickHeader(0);  // Name again: down, the files now before the folders
    ExpectOrdered(*list_, 0, true);
    EXPECT_EQ(list_->Item(1).caption, L"gamma.bin");
    EXPECT_EQ(list_->Item(list_->ItemCount() - 1).caption, L"Eta");
    EXPECT_TRUE(list_->SortDescending());
    for (int column = 1; column <= 4; ++column) {
        ClickHeader(column);  // another column: descending first
        ExpectOrdered(*list_, column, true);
        EXPECT_EQ(ArrowColumns(), std::vector<int>{column});
        ClickHeader(column);
        ExpectOrdered(*list_, column, false);
    }
    // Under Size, 100 and 900 bytes are both 1 KB: equal, so the stable sort keeps them as
    // they stood.
    ClickHeader(1);
    ClickHeader(1);
    const int alpha = IndexOf(L"Alpha.doc"), gamma = IndexOf(L"gamma.bin");
    EXPECT_EQ(std::abs(alpha - gamma), 1);

    list_->UpdateFileList();  // a reload returns to Name ascending
    EXPECT_EQ(list_->SortColumn(), 0);
    ExpectOrdered(*list_, 0, false);
    EXPECT_EQ(ArrowColumns(), std::vector<int>{0});

    // A handler of the user's replaces the built-in sorting.
    int clicks = 0;
    list_->OnColumnClick = [&](tmb::Component*, int) { ++clicks; };
    const auto before = Captions();
    ClickHeader(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Captions(), before);
}

TEST_F(FileList, NamesDifferingInCaseCompareEqualAndTheParentStaysOnTopInEveryColumn) {
    tmb::ListItem parent{L" Parent", 0, {L" ", L"Folder", L"", L"", L"x\\..", L"dir", L"9E17"}, 0};
    tmb::ListItem a{L"readme", 0, {L"1 KB", L"Text", L"", L"A", L"x\\readme", L"file", L"1E17"}, 0};
    tmb::ListItem b{L"README", 0, {L"3 KB", L"Text", L"", L"A", L"x\\README", L"file", L"2E17"}, 0};
    tmb::ListItem folder{L"a", 0, {L" ", L"Folder", L"", L"H", L"x\\a", L"dir", L"3E17"}, 0};
    list_->ColumnClick(0);  // a new list sorts by Name descending: this makes it ascending
    ASSERT_FALSE(list_->SortDescending());
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

TEST_F(FileList, BackspaceGoesUpAndSelectsTheFolderLeftEnterOpens) {
    TempFolder dir;
    dir.AddFolder(L"inner");
    dir.AddFile(L"x.txt");
    list_->SetDirectory(dir / L"inner");
    Key(VK_BACK);
    EXPECT_EQ(list_->Directory(), dir.Path() + L"\\");
    ASSERT_EQ(list_->SelectedIndices().size(), 1u);
    EXPECT_EQ(list_->Item(list_->SelectedIndex()).caption, L"inner");

    // Enter on the selected folder goes in again; on the parent entry it goes up.
    Key(VK_RETURN);
    EXPECT_EQ(list_->Directory(), dir / L"inner\\");
    SelectOnly(L" Parent");
    Key(VK_RETURN);
    EXPECT_EQ(list_->Directory(), dir.Path() + L"\\");

    // Backspace in a drive root shows the drives; Enter on a drive opens it.
    list_->SetDirectory(L"C:\\");
    Key(VK_BACK);
    EXPECT_EQ(list_->Directory(), L"Drives");
    const int c = IndexOfPath(L"C:\\");
    ASSERT_GE(c, 0);
    list_->ClearSelection();
    list_->SetSelected(c, true);
    Key(VK_RETURN);
    EXPECT_EQ(list_->Directory(), L"C:\\");
    // Backspace in the drives view does nothing.
    list_->SetDirectory(L"Drives");
    Key(VK_BACK);
    EXPECT_EQ(list_->Directory(), L"Drives");
}

TEST_F(FileList, CtrlASelectsEverythingAndTypingMovesToTheFirstMatchingName) {
    TempFolder dir;
    for (const wchar_t* name : {L"apple.txt", L"Banana.txt", L"berry.txt", L"cherry.txt"})
        dir.AddFile(name);
    list_->SetDirectory(dir.Path());
    // Ctrl held while A goes down, as the keyboard state reports it.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key('A');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(list_->SelectedCount(), list_->ItemCount());
    EXPECT_EQ(list_->SelectedNumber(), 5);

    list_->ClearSelection();
    list_->SetFocus();
    PostMessageW(list_->Handle(), WM_CHAR, L'b', 1);
    tmbtest::Pump();
    ASSERT_GE(list_->FocusedIndex(), 0);
    EXPECT_EQ(list_->Item(list_->FocusedIndex()).caption, L"Banana.txt");
}

TEST_F(FileList, EnterAndADoubleClickOpenAFileWithItsProgram) {
    TempFolder dir;
    dir.AddFile(L"doc.tmblist", 10);
    const std::wstring marker = dir / L"opened.out";
    tmbtest::OpenHandler handler(L".tmblist", marker);
    list_->SetDirectory(dir.Path());
    SelectOnly(L"doc.tmblist");
    Key(VK_RETURN);
    EXPECT_TRUE(tmbtest::WaitForFile(marker));

    // Without DblClickToOpen a double click on a file is the user's OnDblClick.
    DeleteFileW(marker.c_str());
    int dbl = 0;
    list_->OnDblClick = [&](tmb::Component*) { ++dbl; };
    list_->SetDblClickToOpen(false);
    const RECT r = list_->ItemRect(IndexOf(L"doc.tmblist"), true);
    tmbtest::DoubleClick(list_->Handle(), r.left + 5, (r.top + r.bottom) / 2);
    tmbtest::PumpFor(300);
    EXPECT_EQ(dbl, 1);
    EXPECT_FALSE(tmbtest::FileExists(marker));
}

TEST_F(FileList, F2WarnsOnReadOnlyEntriesAndRenamesOthersKeepingAHiddenExtension) {
    tmbtest::DialogScript script;
    TempFolder dir;
    dir.AddFile(L"ro.txt", 1, FILE_ATTRIBUTE_READONLY);
    dir.AddFile(L"report.pdf", 1, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    list_->SetDirectory(dir.Path());
    // Wine reports every file with the archive bit: the entry is given the letters a file
    // of read-only alone shows on Windows.
    const int ro = IndexOf(L"ro.txt");
    ASSERT_GE(ro, 0);
    tmb::ListItem readOnly = list_->Item(ro);
    readOnly.subItems[3] = L"R";
    list_->SetItem(ro, readOnly);
    SelectOnly(L"ro.txt");
    Key(VK_F2);
    ASSERT_EQ(script.Calls().size(), 1u);
    EXPECT_EQ(script.Calls()[0].text, kv::KvMessages.StrIsReadOnly);
    EXPECT_FALSE(list_->IsEditing());

    list_->SetHideFileExt(true);
    list_->UpdateFileList();
    SelectOnly(L"report");
    Key(VK_F2);
    HWND edit = ListView_GetEditControl(list_->Handle());
    ASSERT_TRUE(edit);
    SetWindowTextW(edit, L"summary");
    tmbtest::PressKey(edit, VK_RETURN);
    tmbtest::PumpFor(100);
    EXPECT_TRUE(tmbtest::FileExists(dir / L"summary.pdf"));
    EXPECT_FALSE(tmbtest::FileExists(dir / L"report.pdf"));
    EXPECT_GE(IndexOf(L"summary"), 0);
    EXPECT_EQ(script.Calls().size(), 1u);
}

TEST_F(FileList, ListingAndALanguageChangeLeaveQueuedMessagesQueued) {
    // Input that arrives while a folder is listed runs after the caller's work, never inside
    // it (a tree pick run in the middle of an open would leave tree and list apart).
    TempFolder dir;
    dir.AddFile(L"a.txt");
    const HWND form = form_.Form().Handle();
    constexpr UINT kQueued = WM_APP + 0x123;
    MSG msg;
    PostMessageW(form, kQueued, 1, 0);
    list_->SetDirectory(dir.Path());
    ASSERT_GE(IndexOf(L"a.txt"), 0);
    EXPECT_TRUE(PeekMessageW(&msg, form, kQueued, kQueued, PM_REMOVE));

    PostMessageW(form, kQueued, 2, 0);
    list_->SetLanguage(list_->Language() == kv::lnFrench ? kv::lnGerman : kv::lnFrench);
    EXPECT_TRUE(PeekMessageW(&msg, form, kQueued, kQueued, PM_REMOVE));
}

TEST_F(FileList, AnInPlaceRenameAmongSeveralSelectedRenamesTheEditedRow) {
    TempFolder dir;
    dir.AddFile(L"a.txt");
    dir.AddFile(L"b.txt");
    dir.AddFile(L"c.txt");
    list_->SetDirectory(dir.Path());
    list_->ClearSelection();
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
        list_->SetSelected(IndexOf(name), true);
    const int second = IndexOf(L"b.txt");
    list_->SetFocusedIndex(second);
    HWND edit = list_->EditCaption(second);
    ASSERT_TRUE(edit);
    SetWindowTextW(edit, L"middle.txt");
    tmbtest::PressKey(edit, VK_RETURN);
    tmbtest::PumpFor(100);
    EXPECT_TRUE(tmbtest::FileExists(dir / L"middle.txt"));
    EXPECT_FALSE(tmbtest::FileExists(dir / L"b.txt"));
    EXPECT_TRUE(tmbtest::FileExists(dir / L"a.txt"));
    EXPECT_TRUE(tmbtest::FileExists(dir / L"c.txt"));
    EXPECT_GE(IndexOf(L"middle.txt"), 0);
    EXPECT_EQ(list_->FocusedIndex(), IndexOf(L"middle.txt"));
}

TEST_F(FileList, RenamingToTheSameNameInOtherCaseDoesNothingAndAFolderRenameMovesTheTree) {
    TempFolder dir;
    dir.AddFile(L"Keep.txt");
    dir.AddFolder(L"old");
    auto* tree = new kv::TKvDirTree21(&form_.Form());
    tree->SetBounds(0, 0, 10, 10);
    tree->SetParent(&form_.Form());
    list_->SetDirTree(tree);
    EXPECT_EQ(tree->FileList(), list_);
    list_->SetDirectory(dir.Path());

    RenameInPlace(L"Keep.txt", L"KEEP.TXT");
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((dir / L"keep.txt").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_STREQ(data.cFileName, L"Keep.txt");

    std::vector<std::wstring> picked;
    tree->OnDirChange = [&](tmb::Component*, const std::wstring& p) { picked.push_back(p); };
    RenameInPlace(L"old", L"new");
    EXPECT_TRUE(tmbtest::FolderExists(dir / L"new"));
    EXPECT_GE(IndexOf(L"new"), 0);
    // The tree was rebuilt and opened at the folder holding the renamed one.
    ASSERT_FALSE(picked.empty());
    EXPECT_TRUE(tmb::SameText(picked.back(), dir.Path() + L"\\")) << U8(picked.back());

    // A caption holding a path moves nothing out of the folder.
    tmbtest::DialogScript script;
    RenameInPlace(L"Keep.txt", L"..\\moved.txt");
    EXPECT_TRUE(tmbtest::FileExists(dir / L"Keep.txt"));
    EXPECT_FALSE(tmbtest::FileExists(dir.Path() + L"\\..\\moved.txt"));
    EXPECT_GE(IndexOf(L"Keep.txt"), 0);
    EXPECT_EQ(script.Calls().size(), 1u);

    // The parent entry is never edited (renaming ".." would move the parent folder).
    EXPECT_EQ(list_->EditCaption(0), nullptr);

    // A list destroyed while linked unlinks itself from the tree.
    tmb::Destroy(list_);
    list_ = nullptr;
    EXPECT_EQ(tree->FileList(), nullptr);
    list_ = new TKvFilelistView28(&form_.Form());
    tmb::Destroy(tree);
}

TEST_F(FileList, TheTreePointsTheListAtThePickedFolder) {
    TempFolder dir;
    dir.AddFile(L"in-tree.txt");
    auto* tree = new kv::TKvDirTree21(&form_.Form());
    tree->SetBounds(0, 0, 10, 10);
    tree->SetParent(&form_.Form());
    list_->SetDirTree(tree);
    tree->OpenFolder(dir.Path());
    EXPECT_EQ(list_->Directory(), dir.Path() + L"\\");
    EXPECT_GE(IndexOf(L"in-tree.txt"), 0);
    // Unlinking by destroying the tree clears the list's reference.
    tmb::Destroy(tree);
    EXPECT_EQ(list_->DirTree(), nullptr);
}

TEST_F(FileList, TheLinkedComboFollowsTheListAndOpensAndClosesWithF4AndEsc) {
    TempFolder dir;
    dir.AddFolder(L"inner");
    auto* combo = new kv::TKvDirTreeCombo28(&form_.Form());
    combo->SetParent(&form_.Form());
    list_->SetDirTreeCombo(combo);
    EXPECT_EQ(combo->FileList(), list_);
    list_->SetDirectory(dir.Path());
    SelectOnly(L"inner");
    Key(VK_RETURN);
    EXPECT_EQ(list_->Directory(), dir / L"inner\\");
    EXPECT_TRUE(tmb::SameText(combo->SelectedPath(), dir / L"inner\\")) << U8(combo->SelectedPath());

    Key(VK_F4);
    EXPECT_TRUE(combo->DroppedDown());
    tmbtest::PressKey(list_->Handle(), VK_ESCAPE);
    tmbtest::Pump();
    EXPECT_FALSE(combo->DroppedDown());

    // A combo picking a folder shows it in the list; destroying it clears the link.
    combo->SetSelectedPath(dir.Path());
    EXPECT_EQ(list_->Directory(), dir.Path() + L"\\");
    tmb::Destroy(combo);
    EXPECT_EQ(list_->DirTreeCombo(), nullptr);
}

TEST_F(FileList, ALanguageChangeRecreatesTheWindowWithTranslatedColumns) {
    TempFolder dir;
    dir.AddFile(L"kept.txt");
    list_->SetDirectory(dir.Path());
    const int count = list_->ItemCount();
    list_->SetLanguage(kv::lnPortuguese);
    EXPECT_EQ(list_->Language(), kv::lnPortuguese);
    EXPECT_EQ(kv::ViewLanguage, kv::lnPortuguese);
    std::vector<std::wstring> expected;
    for (kv::KvText key : {kv::KvText::ColName, kv::KvText::ColSize, kv::KvText::ColType,
                           kv::KvText::ColModified, kv::KvText::ColAttr})
        expected.push_back(kv::KvTextOf(key, kv::lnPortuguese));
    EXPECT_EQ(ColumnCaptions(), expected);
    EXPECT_NE(expected[0], L"Name");
    EXPECT_EQ(list_->ItemCount(), count);
    EXPECT_EQ(ListView_GetItemCount(list_->Handle()), count);

    // The drives view keeps its own columns across the change.
    list_->SetDirectory(L"Drives");
    list_->SetLanguage(kv::lnGerman);
    EXPECT_EQ(ColumnCaptions()[2], kv::KvTextOf(kv::KvText::ColDiskSize, kv::lnGerman));
    list_->SetLanguage(kv::lnEnglish);
}

TEST_F(FileList, DateAndTimePatternsFollowTheirFormats) {
    // A new list shows the short time format.
    EXPECT_EQ(list_->TimeFormat(), kv::tfShortFormat);
    EXPECT_EQ(list_->TimePatternText(), tmb::FormatSettings::User().shortTimeFormat);
    const struct {
        kv::TDtFormat format;
        const wchar_t* pattern;
    } dates[] = {{kv::df_MMddyyyy, L"MM/dd/yyyy"}, {kv::df_MMddyy, L"MM/dd/yy"},
                 {kv::df_ddMMyyyy, L"dd/MM/yyyy"}, {kv::df_ddMMyy_GB, L"dd/MM/yy"},
                 {kv::df_ddMMyy_DE, L"dd.MM.yy"},  {kv::df_ddMMyy_IT, L"dd-MM-yy"},
                 {kv::df_yyyyMMdd, L"yyyy-MM-dd"}, {kv::df_yyMMdd, L"yy-MM-dd"}};
    for (const auto& d : dates) {
        list_->SetDateFormat(d.format);
        EXPECT_EQ(list_->DatePatternText(), d.pattern);
    }
    list_->SetDateFormat(kv::df_Customize);
    EXPECT_EQ(list_->DatePatternText(), tmb::FormatSettings::User().shortDateFormat);
    list_->SetTimeFormat(kv::tfCustomize);
    const std::wstring custom = list_->TimePatternText();
    EXPECT_EQ(custom.substr(custom.size() - 6), L" AM/PM");
    EXPECT_EQ(custom.find(L't'), std::wstring::npos);

    // The patterns reach the listing.
    TempFolder dir;
    SetTime(dir.AddFile(L"dated.txt"), 9);
    list_->SetDateFormat(kv::df_yyyyMMdd);
    list_->SetDirectory(dir.Path());
    EXPECT_EQ(ItemNamed(L"dated.txt").SubItem(2).substr(0, 10), L"2024-03-09");
}

} // namespace

namespace {

TEST_F(FileList, TheListKeepsItsOwnMarksOutOfItemDataAndKnowsTheParentEntryByWhatItIs) {
    TempFolder dir;
    dir.AddFile(L"a.txt", 1000);
    dir.AddFile(L"b.txt", 3000);
    dir.AddFolder(L" Up");  // a real folder bearing the caption the parent entry will get
    list_->SetMask(L"*.txt;a*");  // a.txt is listed twice
    list_->SetDirectory(dir.Path());
    const int parent = IndexOfPath(dir / L"..");
    ASSERT_GE(parent, 0);
    list_->SetParentDirCaption(L"Up");  // no reload: the row keeps its old caption
    EXPECT_TRUE(list_->IsParentItem(parent));
    list_->UpdateFileList();
    const std::vector<std::wstring> captions = Captions();
    EXPECT_EQ(std::count(captions.begin(), captions.end(), L" Up"), 2);
    for (int i = 0; i < list_->ItemCount(); ++i) {
        EXPECT_EQ(list_->IsParentItem(i), list_->ItemPath(i) == dir / L"..") << U8(list_->ItemPath(i));
        EXPECT_EQ(list_->Item(i).data, 0u);
        tmb::ListItem item = list_->Item(i);
        item.data = item.caption == L"b.txt" ? 77u : 500u + static_cast<unsigned>(i);  // the user's own
        list_->SetItem(i, item);
    }
    // Sorting neither reads nor changes the user's data.
    list_->ColumnClick(TKvFilelistView28::fcSize);
    list_->ColumnClick(TKvFilelistView28::fcSize);  // ascending
    EXPECT_EQ(Captions().back(), L"b.txt");
    EXPECT_EQ(list_->Item(IndexOf(L"b.txt")).data, 77u);
    // Every selected file counts once, however often it is listed.
    list_->SelectAll();
    EXPECT_EQ(list_->SelectedSize(), 4000);
}

TEST_F(FileList, TheParentPictureIsFoundAgainInAListOfAnyIconSize) {
    for (const int size : {24, 32, 48}) {
        HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, 4, 4);
        HBITMAP black = CreateBitmap(size, size, 1, 32, nullptr);
        const int other = ImageList_Add(images, black, nullptr);
        DeleteObject(black);
        const int parent = kv::AddParentPicture(images, 0);
        ASSERT_GE(parent, 0) << size;
        EXPECT_TRUE(kv::HoldsParentPicture(images, parent)) << size;
        EXPECT_FALSE(kv::HoldsParentPicture(images, other)) << size;
        EXPECT_EQ(ImageList_GetImageCount(images), parent + 1) << "the probe is taken out again";
        ImageList_Destroy(images);
    }
}

TEST_F(FileList, TheParentImageKeepsTheShellsIconListsInStepAndIsFoundAgainByItsPixels) {
    // Every list of the shell holds as many images as the others, so the next icon the
    // shell adds gets one index in all of them, never the parent's.
    const GUID imageList = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    std::vector<int> counts;
    for (int kind = SHIL_LARGE; kind <= SHIL_JUMBO; ++kind) {
        void* list = nullptr;
        if (SUCCEEDED(SHGetImageList(kind, imageList, &list)) && list)
            counts.push_back(ImageList_GetImageCount(static_cast<HIMAGELIST>(list)));
    }
    ASSERT_GE(counts.size(), 2u);
    EXPECT_EQ(std::count(counts.begin(), counts.end(), counts[0]),
              static_cast<std::ptrdiff_t>(counts.size()));
    const int parent = list_->ParentImageIndex();
    ASSERT_GE(parent, 0);
    SHFILEINFOW info{};
    SHGetFileInfoW(L"C:\\windows\\notepad.exe", 0, &info, sizeof(info),
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    EXPECT_NE(info.iIcon, parent);

    // The index is stored, and a second list finds the picture there instead of adding it.
    tmb::Registry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(L"Software\\Vemrald\\KvFileExplorer", false));
    EXPECT_EQ(registry.ReadInteger(L"ParentImgIdx"), parent);
    auto* second = new TKvFilelistView28(&form_.Form());
    EXPECT_EQ(second->ParentImageIndex(), parent);
    tmb::Destroy(second);

    // A stored index whose image is another one is replaced.
    registry.WriteInteger(L"ParentImgIdx", 0);
    auto* third = new TKvFilelistView28(&form_.Form());
    EXPECT_GT(third->ParentImageIndex(), parent);
    EXPECT_EQ(registry.ReadInteger(L"ParentImgIdx"), third->ParentImageIndex());
    tmb::Destroy(third);
}

} // namespace
