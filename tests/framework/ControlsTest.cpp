// The standard controls as components: edit box, memo, button, list box and file list box,
// on a real window, set from code and driven by the user's keys and mouse.
#include "framework/StdControls.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "framework/FileListBox.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/TextConv.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmb::Component;
using tmbtest::TestForm;
using Strings = std::vector<std::wstring>;

// ---- edit boxes --------------------------------------------------------------------------

// Counts OnChange and notes the text each time.
struct ChangeLog {
    explicit ChangeLog(tmb::Edit& edit) {
        edit.OnChange = [this, &edit](Component* sender) {
            texts.push_back(edit.Text());
            EXPECT_EQ(&edit, sender);
        };
    }
    Strings texts;
};

TEST(EditBox, OnChangeRunsOnceForEachNewTextFromCodeOrFromTheKeyboard) {
    TestForm form;
    tmb::Edit edit(&form.Form());
    ChangeLog log(edit);
    edit.SetText(L"before the window");  // not yet a window: still a change
    edit.SetParent(&form.Form());
    edit.SetText(L"one");
    edit.SetText(L"one");  // the same text: no change
    edit.SetText(L"");
    EXPECT_EQ((Strings{L"before the window", L"one", L""}), log.texts);
    EXPECT_TRUE(edit.HandleAllocated());

    log.texts.clear();
    edit.SetFocus();
    edit.Perform(WM_CHAR, L'h', 1);
    edit.Perform(WM_CHAR, L'i', 1);
    EXPECT_EQ((Strings{L"h", L"hi"}), log.texts);
    // The text the user typed is what a later SetText compares with.
    edit.SetText(L"hi");
    EXPECT_EQ(2u, log.texts.size());
}

TEST(EditBox, ReadOnlyStopsTypingButNotTheProgram) {
    TestForm form;
    tmb::Edit edit(&form.Form());
    edit.SetParent(&form.Form());
    edit.SetText(L"fixed");
    edit.SetReadOnly(true);
    edit.Perform(EM_SETSEL, 5, 5);
    edit.Perform(WM_CHAR, L'x', 1);
    EXPECT_EQ(L"fixed", edit.Text());
    edit.SetText(L"changed");
    EXPECT_EQ(L"changed", edit.Text());
    EXPECT_NE(0, GetWindowLongW(edit.Handle(), GWL_STYLE) & ES_READONLY);
}

TEST(EditBox, PaintsWithItsOwnColours) {
    TestForm form;
    tmb::Edit& edit = *tmbtest::PlaceOn<tmb::Edit>(form.Form(), 10, 10, 150, 24);
    edit.SetColor(0x00FFFF);  // yellow
    edit.Invalidate();
    EXPECT_EQ(RGB(255, 255, 0), tmbtest::PixelAt(edit.Handle(), 140, 10));
    // Read-only edits ask with another message; the colour stays.
    edit.SetReadOnly(true);
    edit.Invalidate();
    EXPECT_EQ(RGB(255, 255, 0), tmbtest::PixelAt(edit.Handle(), 140, 10));
}

TEST(Memo, OnChangeRunsOnceForEachNewTextToo) {
    TestForm form;
    tmb::Memo memo(&form.Form());
    memo.SetParent(&form.Form());
    ChangeLog log(memo);
    memo.SetText(L"first line\r\nsecond line");
    memo.SetText(L"other");
    memo.Clear();
    EXPECT_EQ((Strings{L"first line\r\nsecond line", L"other", L""}), log.texts);
    memo.Perform(WM_CHAR, L'z', 1);
    EXPECT_EQ(4u, log.texts.size());
    EXPECT_EQ(L"z", memo.Text());
}

TEST(Memo, HoldsAndTakesMoreThanThirtyThousandCharacters) {
    TestForm form;
    tmb::Memo memo(&form.Form());
    memo.SetParent(&form.Form());
    const std::wstring text = tmbtest::NumberedLines(3738);  // 40,008 characters
    memo.SetText(text);
    ASSERT_TRUE(tmbtest::SameLongText(text, memo.Text()));

    // The user can still type at its end.
    const auto end = static_cast<WPARAM>(text.size());
    memo.Perform(EM_SETSEL, end, static_cast<LPARAM>(end));
    memo.Perform(WM_CHAR, L'!', 1);
    EXPECT_TRUE(tmbtest::SameLongText(text + L"!", memo.Text()));

    // Re-made with scroll bars: the same text, typed part included, and no limit either.
    memo.SetScrollBars(false, true);
    EXPECT_NE(0, GetWindowLongW(memo.Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(tmbtest::SameLongText(text + L"!", memo.Text()));
    memo.Perform(EM_SETSEL, end + 1, static_cast<LPARAM>(end + 1));
    memo.Perform(WM_CHAR, L'?', 1);
    EXPECT_TRUE(tmbtest::SameLongText(text + L"!?", memo.Text()));
}

// ---- labels ----------------------------------------------------------------------------

TEST(TextLabel, TakesTheSizeOfItsTextAndPaintsIt) {
    TestForm form;
    tmb::Label& label = *tmbtest::PlaceOn<tmb::Label>(form.Form(), 20, 20, 5, 5);
    label.SetColor(0xFFFFFF);
    label.GetFont().SetName(L"Tahoma");  // scalable: the bitmap "MS Sans Serif" stops at 24 pt
    label.SetText(L"Tombarel");
    const int width = label.Width();
    const int height = label.Height();
    EXPECT_GT(width, 20);
    EXPECT_GT(height, 5);
    const RECT area{20, 20, 20 + width, 20 + height};
    EXPECT_GT(tmbtest::PixelsOf(form.Handle(), area, RGB(255, 255, 255), true), 20);

    label.SetText(L"Tombarel Tombarel");
    EXPECT_GT(label.Width(), width + 20);
    label.GetFont().SetHeight(-30);
    EXPECT_GT(label.Height(), height + 10);

    label.SetText(L"");
    EXPECT_EQ(0, label.Width());
    EXPECT_EQ(0, tmbtest::PixelsOf(form.Handle(), RECT{20, 20, 200, 60}, RGB(255, 255, 255), true));

    label.SetAutoSize(false);
    label.SetBounds(20, 20, 50, 20);
    label.SetText(L"A much longer caption than fits");
    EXPECT_EQ(50, label.Width());
    EXPECT_EQ(20, label.Height());
}

// ---- buttons -----------------------------------------------------------------------------

TEST(PushButton, ClicksByMouseKeyboardAndMessageRunOnClickOnce) {
    TestForm form;
    tmb::Button& button = *tmbtest::PlaceOn<tmb::Button>(form.Form(), 20, 20, 80, 30);
    button.SetText(L"&Salvar");
    int clicks = 0;
    button.OnClick = [&](Component* sender) {
        EXPECT_EQ(&button, sender);
        ++clicks;
    };
    button.Perform(BM_CLICK);
    EXPECT_EQ(1, clicks);
    tmbtest::Click(button.Handle(), 40, 15);
    EXPECT_EQ(2, clicks);
    button.SetFocus();
    tmbtest::PressKey(button.Handle(), VK_SPACE);
    EXPECT_EQ(3, clicks);
}

// ---- list boxes --------------------------------------------------------------------------

TEST(ListBox, KeepsItemsInTheGivenOrderAndAcrossANewWindow) {
    TestForm form;
    tmb::ListBox list(&form.Form());
    list.SetParent(&form.Form());
    list.SetItems({L"zeta", L"Alpha", L"beta"});
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ(L"zeta", list.Item(0));
    EXPECT_EQ(L"beta", list.Item(2));
    EXPECT_EQ(-1, list.ItemIndex());
    list.SetItemIndex(2);

    list.RecreateWnd();
    EXPECT_EQ(3, list.Count());
    EXPECT_EQ(L"Alpha", list.Item(1));
    EXPECT_EQ(2, list.ItemIndex());

    // Without a window the items are still there, and come back with it.
    list.DestroyHandle();
    EXPECT_EQ(3, list.Count());
    EXPECT_EQ(L"zeta", list.Item(0));
    list.Handle();
    EXPECT_EQ(3, list.Perform(LB_GETCOUNT));
    EXPECT_EQ(2, list.ItemIndex());

    list.SetItems({L"only"});
    EXPECT_EQ(1, list.Count());
    list.ClearItems();
    EXPECT_EQ(0, list.Count());
}

TEST(ListBox, DrawsItsRowsWithTheRowHeightAndTheSelection) {
    TestForm form;
    tmb::ListBox list(&form.Form());
    list.SetBounds(10, 10, 150, 120);
    list.SetItemHeight(20);
    list.SetParent(&form.Form());
    list.SetColor(0xC0FFC0);  // pale green: neither the window colour nor the highlight
    list.SetItems({L"one", L"two", L"three"});
    EXPECT_EQ(20, list.Perform(LB_GETITEMHEIGHT));
    list.SetItemIndex(1);

    RECT row{};
    list.Perform(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(20, row.top);
    EXPECT_EQ(40, row.bottom);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    tmbtest::ExpectPixels(list.Handle(), {{highlight, row.right - 3, 30},
                                          {RGB(0xC0, 0xFF, 0xC0), row.right - 3, 10}});
    // Below the last row: the list's own background.
    EXPECT_EQ(RGB(0xC0, 0xFF, 0xC0), tmbtest::PixelAt(list.Handle(), row.right - 3, 90));
}

TEST(ListBox, ADoubleClickOnARowRunsOnDblClick) {
    TestForm form;
    tmb::ListBox list(&form.Form());
    list.SetParent(&form.Form());
    list.SetItems({L"one", L"two"});
    int doubles = 0;
    list.OnDblClick = [&](Component*) { ++doubles; };
    tmbtest::DoubleClick(list.Handle(), 20, 24);
    EXPECT_EQ(1, doubles);
    EXPECT_EQ(1, list.ItemIndex());
}

// ---- file list boxes -----------------------------------------------------------------------

class FileListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.SetBounds(10, 10, 200, 200);
        list.SetParent(&form.Form());
        list.OnClick = [this](Component*) { events.push_back(L"click"); };
        list.OnChange = [this](Component*) {
            events.push_back(L"change " + std::to_wstring(list.ItemIndex()));
        };
    }
    Strings Items() const {
        Strings out;
        for (int i = 0; i < list.Count(); ++i)
            out.push_back(list.Item(i));
        return out;
    }
    POINT RowCentre(int index) {
        RECT r{};
        list.Perform(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void ClickRow(int index) {
        const POINT p = RowCentre(index);
        tmbtest::Click(list.Handle(), p.x, p.y);
    }

    TestForm form;
    tmb::FileListBox list{&form.Form()};
    tmbtest::TempFolder folder;
    Strings events;
};

TEST_F(FileListBoxTest, ListsEveryFileButNoFolderSortedIgnoringCase) {
    folder.AddFile(L"banana");
    folder.AddFile(L"Apple");
    folder.AddFile(L"cherry.txt");
    folder.AddFile(L"apricot", 10);
    folder.AddFile(L"Blueberry");
    folder.AddFile(L"hidden.dat", 0, FILE_ATTRIBUTE_HIDDEN);
    folder.AddFile(L"system.dat", 0, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    folder.AddFolder(L"Avocado folder");
    folder.AddFolder(L"zz folder");

    list.SetDirectory(folder.Path());
    EXPECT_EQ((Strings{L"Apple", L"apricot", L"banana", L"Blueberry", L"cherry.txt", L"hidden.dat",
                       L"system.dat"}),
              Items());
    EXPECT_EQ(folder.Path(), list.Directory());
    EXPECT_EQ(-1, list.ItemIndex());
    EXPECT_EQ(L"", list.FileName());
    EXPECT_EQ(Strings{L"change -1"}, events);
}

// The list's order is the order of the platform's keys, made one by one here, over names
// that a cheaper order would get wrong; the names are added in a scrambled order.
TEST_F(FileListBoxTest, TheOrderIsThatOfThePlatformsSortKeys) {
    const Strings names = {L"coop", L"co-op", L"Coop2", L"ab", L"a-b", L"a b", L"a_b", L"x'y", L"xy",
                           L"\u00e9t\u00e9", L"ete2", L"\u00c9TA", L"\u65e5\u672c.txt", L"\u03a9mega",
                           L"omega", L"file10", L"file2", L"Zeta-1", L"zeta", L"~tilde", L"1st"};
    for (size_t i = 0; i < names.size(); ++i)
        folder.AddFile(names[(i * 5) % names.size()]);  // 5 shares no factor with 21
    list.SetDirectory(folder.Path());
    const Strings listed = Items();
    ASSERT_EQ(listed.size(), names.size());
    for (size_t i = 1; i < listed.size(); ++i)
        EXPECT_LT(tmb::SortKey(listed[i - 1], true), tmb::SortKey(listed[i], true))
            << tmb::WideToUtf8(listed[i - 1]) << " before " << tmb::WideToUtf8(listed[i]);
    EXPECT_EQ(std::set<std::wstring>(listed.begin(), listed.end()),
              std::set<std::wstring>(names.begin(), names.end()));
}

TEST_F(FileListBoxTest, TheSameFolderIsNotReadAgainButUpdateReadsIt) {
    folder.AddFile(L"a.txt");
    list.SetDirectory(folder.Path() + L"\\");
    EXPECT_EQ(folder.Path(), list.Directory());
    folder.AddFile(L"b.txt");
    events.clear();

    std::wstring upper = folder.Path();
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    list.SetDirectory(upper);
    list.SetDirectory(folder.Path());
    EXPECT_EQ(Strings{L"a.txt"}, Items());
    EXPECT_TRUE(events.empty());

    list.SetItemIndex(0);
    list.Update();
    EXPECT_EQ((Strings{L"a.txt", L"b.txt"}), Items());
    EXPECT_EQ(-1, list.ItemIndex());
    EXPECT_EQ(Strings{L"change -1"}, events);
}

TEST_F(FileListBoxTest, AFolderThatCannotBeReadLeavesTheListAsItWas) {
    folder.AddFile(L"kept.txt");
    list.SetDirectory(folder.Path());
    events.clear();
    EXPECT_THROW(list.SetDirectory(folder / L"no such folder"), tmb::EInOutError);
    EXPECT_EQ(folder.Path(), list.Directory());
    EXPECT_EQ(Strings{L"kept.txt"}, Items());
    EXPECT_TRUE(events.empty());

    // An empty folder is no error.
    const std::wstring empty = folder.AddFolder(L"empty");
    list.SetDirectory(empty);
    EXPECT_EQ(0, list.Count());
}

TEST_F(FileListBoxTest, AUserSelectionRunsOnClickThenOnChangeOnlyWhenTheFileDiffers) {
    folder.AddFile(L"one.txt");
    folder.AddFile(L"two.txt");
    folder.AddFile(L"three.txt");  // one, three, two
    list.SetDirectory(folder.Path());
    events.clear();

    ClickRow(1);
    EXPECT_EQ((Strings{L"click", L"change 1"}), events);
    EXPECT_EQ(folder / L"three.txt", list.FileName());

    events.clear();
    ClickRow(1);  // the same one again
    for (const std::wstring& e : events)
        EXPECT_EQ(L"click", e);

    events.clear();
    list.SetFocus();
    tmbtest::PressKey(list.Handle(), VK_DOWN);
    EXPECT_EQ((Strings{L"click", L"change 2"}), events);
    EXPECT_EQ(folder / L"two.txt", list.FileName());

    events.clear();
    ClickRow(0);
    EXPECT_EQ((Strings{L"click", L"change 0"}), events);
    EXPECT_EQ(folder / L"one.txt", list.FileName());
}

TEST_F(FileListBoxTest, TheFileNameOfADriveRootHasOneBackslash) {
    // The test run's own drive C: is a private one.
    const std::wstring name = L"tombarel-root-test-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring path = L"C:\\" + name;
    ASSERT_TRUE(tmbtest::WriteFileBytes(path, ""));
    struct Remove {
        const std::wstring& path;
        ~Remove() { DeleteFileW(path.c_str()); }
    } remove{path};

    list.SetDirectory(L"c:");
    EXPECT_EQ(L"C:\\", list.Directory());  // the drive letter as the system writes it
    int index = -1;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Item(i) == name)
            index = i;
    ASSERT_NE(-1, index);
    list.SetItemIndex(index);
    EXPECT_EQ(L"C:\\" + name, list.FileName());
}

TEST(FileListBoxPaths, FoldersAreReportedWithoutATrailingBackslashExceptARoot) {
    EXPECT_EQ(L"C:\\", tmb::NormalizeFolder(L"C:"));
    EXPECT_EQ(L"C:\\", tmb::NormalizeFolder(L"C:\\"));
    EXPECT_EQ(L"C:\\windows", tmb::NormalizeFolder(L"C:\\windows\\"));
    EXPECT_EQ(L"C:\\windows\\system32", tmb::NormalizeFolder(L"C:\\windows\\.\\system32\\"));
    EXPECT_EQ(L"C:\\windows", tmb::NormalizeFolder(L"C:\\windows\\system32\\.."));
}

// A packed table gives back every text as it was added, across the ends of its blocks and
// for a text longer than a block, and keeps them valid through a new order.
TEST(NameTable, KeepsEveryTextAcrossBlocksAndThroughANewOrder) {
    Strings texts;
    for (int i = 0; i < 100000; ++i)
        texts.push_back(std::wstring(static_cast<size_t>(i % 23), static_cast<wchar_t>(L'a' + i % 26)) +
                        std::to_wstring(i));
    const std::wstring huge(tmb::PackedBlocks<wchar_t>::kBlock + 10, L'x');
    texts.insert(texts.begin() + 70000, huge);
    texts.insert(texts.begin() + 10, L"");
    texts.insert(texts.begin() + 5, std::wstring(3000, L'y'));  // more than the first block
    tmb::NameTable table(texts);
    ASSERT_EQ(table.Size(), texts.size());
    EXPECT_EQ(table.ToVector(), texts);
    EXPECT_EQ(table[70002], huge);

    std::vector<std::uint32_t> order(texts.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint32_t>((i * 7919) % order.size());  // 7919 is prime
    table.Reorder(order);
    for (size_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(table[i], texts[order[i]]) << i;
}

} // namespace
