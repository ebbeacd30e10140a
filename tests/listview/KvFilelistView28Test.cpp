// The file list view on a shown window with real folders: what a folder and the drives view
// list, the mask and attribute filters, the parent entry, sizes beyond 4 GiB, the selection
// queries, the keys, renaming in place, the link with the tree and the language. Sorting is
// checked in KvFilelistSortTest, the parent picture in KvFileIconsTest.
#include "explorer/KvFilelistView28.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/listview/FileListFixture.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/OpenHandler.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"
#include "tests/support/WineDrives.h"

namespace {

using kv::TKvFilelistView28;
using listtest::FileList;
using listtest::SetTime;
using tmbtest::TempFolder;

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
    EXPECT_EQ(Paths(*list_), roots);
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
    // The drive's size in thousands of KB, grouped by threes as en-US writes numbers.
    ULARGE_INTEGER total{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", nullptr, &total, nullptr));
    std::string thousands = std::to_string(total.QuadPart / 1024 / 1000);
    for (int at = static_cast<int>(thousands.size()) - 3; at > 0; at -= 3)
        thousands.insert(static_cast<std::size_t>(at), ",");
    EXPECT_EQ(U8(list_->Item(c).SubItem(1)),
              total.QuadPart < 1024 ? "0 Mb" : (thousands == "0" ? "" : thousands) + " Mb");
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
    for (const wchar_t* name : {L"a.txt", L"b.log", L"c.doc"})
        dir.AddFile(name);
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
    {
        tmbtest::HeldKeys ctrl({VK_CONTROL});
        Key('A');
    }
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
    tmbtest::TypeAndPress(edit, L"summary", VK_RETURN, 100);
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
    const auto names = {L"a.txt", L"b.txt", L"c.txt"};
    for (const wchar_t* name : names)
        dir.AddFile(name);
    list_->SetDirectory(dir.Path());
    list_->ClearSelection();
    for (const wchar_t* name : names)
        list_->SetSelected(IndexOf(name), true);
    const int second = IndexOf(L"b.txt");
    list_->SetFocusedIndex(second);
    HWND edit = list_->EditCaption(second);
    ASSERT_TRUE(edit);
    tmbtest::TypeAndPress(edit, L"middle.txt", VK_RETURN, 100);
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
    auto* tree = tmbtest::PlaceOn<kv::TKvDirTree21>(form_.Form(), 0, 0, 10, 10);
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
    auto* tree = tmbtest::PlaceOn<kv::TKvDirTree21>(form_.Form(), 0, 0, 10, 10);
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
    auto* combo = tmbtest::PlaceOn<kv::TKvDirTreeCombo28>(form_.Form(), 0, 0, 216, 21);
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
    // The user's formats of this run, en-US.
    ASSERT_EQ(tmbtest::ExpectedLocale(), "en-US");
    EXPECT_EQ(U8(list_->TimePatternText()), "h:mm tt");
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
    EXPECT_EQ(U8(list_->DatePatternText()), "M/d/yyyy");
    // The time format "h:mm:ss tt" cut before its "t", then the markers.
    list_->SetTimeFormat(kv::tfCustomize);
    EXPECT_EQ(U8(list_->TimePatternText()), "h:mm:ss  AM/PM");

    // The patterns reach the listing.
    TempFolder dir;
    SetTime(dir.AddFile(L"dated.txt"), 9);
    list_->SetDateFormat(kv::df_yyyyMMdd);
    list_->SetDirectory(dir.Path());
    EXPECT_EQ(ItemNamed(L"dated.txt").SubItem(2).substr(0, 10), L"2024-03-09");
}

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

// The last-write time of `path` set to a given moment of the local clock.
void SetLocalTime(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME local{year, month, 0, day, hour, minute, 0, 0}, utc{};
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    SetTime(path, utc);
}

// The seven texts an entry of the folder should show, worked out from the file system alone.
std::vector<std::wstring> ExpectedTexts(const std::wstring& folder, const WIN32_FIND_DATAW& data,
                                        const std::wstring& datePattern, const std::wstring& timePattern) {
    const bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::int64_t size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    SHFILEINFOW info{};
    SHGetFileInfoW(dir ? L"folder" : data.cFileName, dir ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                   &info, sizeof(info), SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME);
    const std::uint64_t time = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                               data.ftLastWriteTime.dwLowDateTime;
    return {dir ? std::wstring(L" ") : std::to_wstring(size > 0 && size < 1024 ? 1 : size / 1024) + L" KB",
            std::wstring(info.szTypeName).substr(0, 79),
            kv::FileTimeToText(data.ftLastWriteTime, datePattern, timePattern),
            kv::AttributesText(data.dwFileAttributes),
            folder + L"\\" + data.cFileName,
            dir ? L"dir" : L"file",
            tmb::FloatToStrGeneral(static_cast<double>(time), tmb::FormatSettings::User())};
}

TEST_F(FileList, TextsMadeWhenFirstAskedForAreTheEntrysOwnInTheFormatsOfTheListing) {
    TempFolder dir;
    // More entries than rows shown, so some texts are made only when read here.
    for (int i = 0; i < 30; ++i)
        dir.AddFile(L"n\u00famero " + std::to_wstring(i) + (i % 3 ? L".txt" : L".Txt"), 100u * i * i);
    dir.AddFile(L"huge.bin", 5ull << 30);
    dir.AddFile(L"no extension", 2048, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    dir.AddFile(L".profile", 1);
    dir.AddFile(L"two.dots.tar.gz", 1023, FILE_ATTRIBUTE_ARCHIVE);
    SetLocalTime(dir.AddFile(L"millennium.log", 7), 1999, 12, 31, 23, 59);
    SetLocalTime(dir.AddFile(L"leap.log", 7), 2040, 2, 29, 0, 5);
    SetLocalTime(dir.AddFolder(L"Sub folder"), 1980, 1, 1, 0, 0);
    dir.AddFolder(L"z.last");
    list_->SetHideFileExt(true);
    list_->SetDirectory(dir.Path());
    const std::wstring datePattern = list_->DatePatternText(), timePattern = list_->TimePatternText();
    // Now formats change without a reload: the rows go on showing the listing's.
    list_->SetDateFormat(kv::df_yyyyMMdd);
    list_->SetTimeFormat(kv::tfLongFormat);

    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir / L"*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int checked = 0;
    std::map<std::wstring, std::wstring> typeByExt;
    std::set<std::wstring> spellings;
    do {
        const std::wstring name = data.cFileName;
        if (name == L".")
            continue;
        // The path a listed entry reports before and after its texts are made.
        const int i = IndexOfPath(dir / name);
        ASSERT_GE(i, 0) << U8(name);
        EXPECT_EQ(list_->ItemKind(i), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? L"dir" : L"file");
        // The type name is asked once per extension whatever its letter case (under Wine
        // the name of an unknown type repeats the extension as the first file spelled it):
        // one name for each extension, one of the shell's names for its spellings.
        std::vector<std::wstring> texts = list_->Item(i).subItems;
        std::vector<std::wstring> expected = ExpectedTexts(dir.Path(), data, datePattern, timePattern);
        ASSERT_EQ(texts.size(), 7u);
        const std::wstring ext = tmb::UpperCase(kv::ExtractFileExt(name));
        const std::wstring type = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? L"\\" : ext;
        typeByExt.emplace(type, texts[1]);
        EXPECT_EQ(texts[1], typeByExt[type]) << U8(name);
        if (texts[1] != expected[1])
            spellings.insert(type);
        texts[1] = expected[1];
        EXPECT_EQ(texts, expected) << U8(name);
        EXPECT_EQ(list_->ItemPath(i), dir / name);
        // Captions without their extension; the parent entry under its own.
        const std::size_t dot = name.rfind(L'.');
        EXPECT_EQ(list_->Item(i).caption,
                  name == L".." ? list_->ParentDirCaption() : name.substr(0, dot)) << U8(name);
        ++checked;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(checked, list_->ItemCount());
    // Only the extension spelled two ways may show a name asked with its other spelling.
    EXPECT_LE(spellings.size(), 1u);
    EXPECT_EQ(spellings.count(L".TXT"), spellings.size());
    ASSERT_EQ(U8(datePattern + L" " + timePattern), "M/d/yyyy h:mm tt");
    EXPECT_EQ(ItemNamed(L"leap").SubItem(2), L"2/29/2040 12:05 AM");
    EXPECT_EQ(ItemNamed(L"millennium").SubItem(2), L"12/31/1999 11:59 PM");

    list_->UpdateFileList();  // the next listing takes the new formats
    EXPECT_EQ(ItemNamed(L"leap").SubItem(2).substr(0, 10), L"2040-02-29");
}

} // namespace
