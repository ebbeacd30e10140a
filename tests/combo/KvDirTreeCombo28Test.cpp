// The directory tree combo on a shown window, driven by real mouse and keyboard input: the
// box and its icon, the drop-down's place, size, capture and focus, picking with the mouse
// and with keys, locating and reloading, clicks outside, right clicks and empty drives.
#include "explorer/KvDirTreeCombo28.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/StdControls.h"
#include "framework/TextConv.h"
#include "tests/combo/RealInput.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"
#include "tests/support/WineDrives.h"

namespace {

using combotest::ClickAt;
using combotest::MoveTo;
using combotest::PressKey;
using combotest::ScreenCentre;
using kv::TKvDirTreeCombo28;
using tmbtest::TempFolder;

struct PathChange {
    tmb::Component* sender;
    std::wstring path;
};

class DirTreeCombo : public testing::Test {
protected:
    void SetUp() override {
        // The combo has no language of its own: it shows the texts the tree loaded.
        kv::TreeLanguage = kv::lnEnglish;
        kv::LoadTreeTexts();
        other_ = tmbtest::PlaceOn<tmb::Button>(form_.Form(), 300, 60, 75, 25);
        other_->OnClick = [this](tmb::Component*) { ++otherClicks_; };
        combo_ = tmbtest::PlaceOn<TKvDirTreeCombo28>(form_.Form(), 20, 20, 216, 21);
        combo_->OnPathChange = [this](tmb::Component* sender, const std::wstring& path) {
            changes_.push_back(PathChange{sender, path});
        };
        SetForegroundWindow(form_.Handle());
        combo_->SetFocus();
        tmbtest::Pump();
    }
    void TearDown() override { combo_->DropDownWindow()->CloseUp(); }

    HWND Box() { return combo_->Handle(); }
    HWND TreeWnd() { return combo_->Tree()->Handle(); }
    kv::TKvDirTreeView& Tree() { return *combo_->Tree(); }
    bool PopupShown() { return IsWindowVisible(combo_->DropDownWindow()->Handle()) != FALSE; }

    // The screen centre of the arrow button.
    POINT ArrowButton() {
        const RECT r = combo_->Btn()->BoundsRect();
        return ScreenCentre(Box(), r);
    }
    // The screen centre of a node's caption in the open drop-down.
    POINT NodeCaption(HTREEITEM node) {
        TreeView_EnsureVisible(TreeWnd(), node);
        return ScreenCentre(TreeWnd(), Tree().NodeRect(node, true));
    }
    HTREEITEM ChildNamed(HTREEITEM parent, const std::wstring& caption) {
        return tmbtest::ChildNode(Tree(), parent, caption);
    }
    HTREEITEM DriveNode(wchar_t letter) { return tmbtest::DriveNode(Tree(), Tree().RootNode(), letter); }
    // Opens the drop-down with the arrow button and brings the pointer into it.
    void OpenWithMouse() {
        ClickAt(ArrowButton());
        ASSERT_TRUE(combo_->DroppedDown());
    }
    void PickWithMouse(HTREEITEM node) { combotest::PickWithMouse(*combo_, node); }
    // The screen centre of the other control, a button outside the drop-down.
    POINT OtherButton() { return ScreenCentre(other_->Handle(), RECT{0, 0, 75, 25}); }

    tmbtest::TestForm form_{400, 300};
    tmbtest::DialogScript script_;
    TKvDirTreeCombo28* combo_ = nullptr;
    tmb::Button* other_ = nullptr;
    int otherClicks_ = 0;
    std::vector<PathChange> changes_;
};

TEST_F(DirTreeCombo, ANewComboShowsTheComputersCaptionAndIconAndItsArrow) {
    EXPECT_EQ(216, combo_->Width());
    EXPECT_EQ(21, combo_->Height());
    EXPECT_EQ(0, combo_->TabOrder()) << "placed after the button, still first in the Tab order";
    EXPECT_TRUE(combo_->ReadOnly());
    EXPECT_EQ("Version 2.8.7.3", U8(combo_->About()));
    EXPECT_EQ(240, combo_->TreeHeight());
    EXPECT_TRUE(combo_->SelectedPath().empty());

    EXPECT_EQ(U8(tmbtest::ComputerName()), U8(combo_->Text()));
    HTREEITEM root = Tree().RootNode();
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(Tree().ImageIndex(root), combo_->IconIndex());
    EXPECT_TRUE(Tree().Expanded(root)) << "the drives show when it first drops down";
    EXPECT_EQ(nullptr, Tree().Selected());

    // The icon at x = 5 and the raised arrow button at the right end, over the white box.
    const COLORREF white = GetSysColor(COLOR_WINDOW);
    int iconPixels = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 5; x < 21; ++x)
            iconPixels += tmbtest::PixelAt(Box(), x, y) != white;
    EXPECT_GT(iconPixels, 20) << "the computer's icon is drawn";
    const RECT button = combo_->Btn()->BoundsRect();
    EXPECT_EQ(combo_->ClientWidth(), button.right) << "the button ends at the box's right edge";
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), tmbtest::PixelAt(Box(), button.left + 3, 3));
    int arrowPixels = 0;
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left + 4; x < button.right - 4; ++x)
            arrowPixels += tmbtest::PixelAt(Box(), x, y) == GetSysColor(COLOR_BTNTEXT);
    EXPECT_GT(arrowPixels, 3) << "the system's combo arrow on the button";

    // Sized before it is placed, a wider box has its button and text end at its right end.
    auto* wide = tmbtest::PlaceOn<TKvDirTreeCombo28>(form_.Form(), 20, 60, 300, 21);
    EXPECT_EQ(wide->ClientWidth(), wide->Btn()->BoundsRect().right);
    RECT text{};
    SendMessageW(wide->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    // (the edit keeps a pixel of margin inside the rectangle it is given)
    EXPECT_NEAR(23, text.left, 1) << "room for the icon";
    EXPECT_NEAR(wide->Btn()->Left() - 2, text.right, 1);
}

TEST_F(DirTreeCombo, TheArrowDropsTheTreeDownUnderTheBoxOrAboveItNearTheScreensBottom) {
    RECT box;
    GetWindowRect(Box(), &box);
    OpenWithMouse();
    RECT drop;
    GetWindowRect(combo_->DropDownWindow()->Handle(), &drop);
    EXPECT_EQ(box.left, drop.left);
    EXPECT_EQ(box.bottom, drop.top);
    EXPECT_EQ(216, drop.right - drop.left);
    EXPECT_EQ(240, drop.bottom - drop.top);
    EXPECT_TRUE(PopupShown());
    EXPECT_TRUE(GetWindowLongPtrW(combo_->DropDownWindow()->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // On the screen, over the window: its frame shows where the window's white would be.
    tmbtest::PumpFor(100);
    HDC screen = GetDC(nullptr);
    const COLORREF corner = GetPixel(screen, drop.left, drop.bottom - 1);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), corner) << std::hex << corner;
    // The keys stay with the box, the window stays active, and the drop-down holds the mouse
    // while the pointer is outside it.
    EXPECT_EQ(Box(), GetFocus());
    EXPECT_EQ(form_.Handle(), GetActiveWindow());
    EXPECT_EQ(combo_->DropDownWindow()->Handle(), GetCapture());
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_FALSE(PopupShown());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(IsWindow(form_.Handle()) && IsWindowVisible(form_.Handle()))
        << "Esc in the box never closes the window";

    // Near the bottom of the screen it opens upwards, its bottom on the box's top.
    const int screenBottom = GetSystemMetrics(SM_CYSCREEN);
    form_->SetBounds(form_->Left(), screenBottom - 150, form_->Width(), form_->Height());
    tmbtest::Pump();
    GetWindowRect(Box(), &box);
    ASSERT_LT(screenBottom, box.bottom + 240);
    PressKey(VK_F4);
    ASSERT_TRUE(combo_->DroppedDown());
    GetWindowRect(combo_->DropDownWindow()->Handle(), &drop);
    EXPECT_EQ(box.top, drop.bottom);
    EXPECT_EQ(box.left, drop.left);
    PressKey(VK_F4);
    EXPECT_FALSE(combo_->DroppedDown()) << "a second F4 closes it";
}

TEST_F(DirTreeCombo, AClickOutsideOnlyClosesTheDropDown) {
    const POINT button = OtherButton();
    OpenWithMouse();
    ClickAt(button);
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_EQ(0, otherClicks_) << "the click did not reach the control under the pointer";
    EXPECT_EQ(Box(), GetFocus());
    ClickAt(button);
    EXPECT_EQ(1, otherClicks_) << "with the drop-down closed the button works";

    // The arrow of an open drop-down closes it too, without opening it again.
    combo_->SetFocus();
    OpenWithMouse();
    ClickAt(ArrowButton());
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_TRUE(changes_.empty());
}

TEST_F(DirTreeCombo, MousePicksReportTheRootAsDrivesDrivesWithABackslashFoldersWithout) {
    TempFolder temp;
    tmbtest::AddFolders(temp, {L"Alpha", L"Alpha\\Inner", L"Beta"});

    PickWithMouse(Tree().RootNode());
    ASSERT_EQ(1u, changes_.size());
    EXPECT_EQ(combo_->Tree(), changes_[0].sender) << "a mouse pick is reported by the drop-down";
    EXPECT_EQ("Drives", U8(changes_[0].path));
    EXPECT_EQ("Drives", U8(combo_->SelectedPath()));
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(U8(tmbtest::ComputerName()), U8(combo_->Text()));

    HTREEITEM c = DriveNode(L'C');
    ASSERT_NE(nullptr, c);
    PickWithMouse(c);
    ASSERT_EQ(2u, changes_.size());
    EXPECT_EQ("C:\\", U8(changes_[1].path));
    EXPECT_EQ(U8(Tree().NodeText(c)), U8(combo_->Text()));
    EXPECT_EQ(Tree().ImageIndex(c), combo_->IconIndex());

    // Located, the same folder comes with a backslash; picked, without.
    combo_->LocatePath(temp.Path());
    ASSERT_EQ(3u, changes_.size());
    EXPECT_EQ(combo_, changes_[2].sender);
    EXPECT_EQ(U8(temp.Path() + L"\\"), U8(changes_[2].path));
    HTREEITEM located = Tree().Selected();
    EXPECT_EQ(U8(temp.Path().substr(temp.Path().rfind(L'\\') + 1)), U8(combo_->Text()));
    EXPECT_TRUE(Tree().Expanded(located));
    EXPECT_FALSE(combo_->DroppedDown()) << "locating does not drop it down";

    HTREEITEM alpha = ChildNamed(located, L"Alpha");
    ASSERT_NE(nullptr, alpha);
    EXPECT_EQ("Alpha", U8(Tree().NodeText(Tree().FirstChild(located)))) << "sorted by caption";
    PickWithMouse(alpha);
    ASSERT_EQ(4u, changes_.size());
    EXPECT_EQ(U8(temp / L"Alpha"), U8(changes_[3].path));
    EXPECT_EQ("Alpha", U8(combo_->Text()));
    EXPECT_EQ(Tree().NodeImage(alpha), combo_->IconIndex());
    EXPECT_GE(combo_->IconIndex(), 0);
}

TEST_F(DirTreeCombo, InsideTheDropDownTheSelectionFollowsThePointerAndButtonsOnlyExpand) {
    TempFolder temp;
    tmbtest::AddFolders(temp, {L"Alpha", L"Alpha\\Inner", L"Beta"});
    combo_->LocatePath(temp.Path());
    changes_.clear();
    HTREEITEM alpha = ChildNamed(Tree().Selected(), L"Alpha");
    HTREEITEM beta = ChildNamed(Tree().Selected(), L"Beta");
    ASSERT_TRUE(alpha && beta);

    OpenWithMouse();
    MoveTo(NodeCaption(beta));
    EXPECT_TRUE(combo_->Tree()->MouseInside());
    EXPECT_EQ(nullptr, GetCapture()) << "inside, the tree gets the mouse as any window";
    EXPECT_EQ(beta, Tree().Selected());
    MoveTo(NodeCaption(alpha));
    EXPECT_EQ(alpha, Tree().Selected());
    // Drawn as the current row of a focused list, though the focus is in the box.
    const RECT drawn = Tree().NodeRect(alpha, true);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), tmbtest::PixelAt(TreeWnd(), drawn.left + 1, drawn.top + 1));
    const RECT other = Tree().NodeRect(beta, true);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), tmbtest::PixelAt(TreeWnd(), other.left + 1, other.top + 1));

    // The expand button opens the node and picks nothing; the pointer leaving takes the
    // capture back, so the next click anywhere still reaches the drop-down first.
    const RECT row = Tree().NodeRect(alpha, false);
    const RECT caption = Tree().NodeRect(alpha, true);
    const POINT expander{caption.left - 27, (row.top + row.bottom) / 2};
    UINT where = 0;
    Tree().NodeAt(expander.x, expander.y, &where);
    ASSERT_TRUE(where & TVHT_ONITEMBUTTON);
    ClickAt(tmbtest::ToScreen(TreeWnd(), expander.x, expander.y));
    EXPECT_TRUE(Tree().Expanded(alpha));
    EXPECT_NE(nullptr, ChildNamed(alpha, L"Inner"));
    EXPECT_TRUE(combo_->DroppedDown());
    EXPECT_TRUE(changes_.empty());
    EXPECT_EQ(Box(), GetFocus()) << "the tree never takes the focus";
    EXPECT_EQ(form_.Handle(), GetActiveWindow());

    MoveTo(OtherButton());
    EXPECT_FALSE(combo_->Tree()->MouseInside());
    EXPECT_EQ(combo_->DropDownWindow()->Handle(), GetCapture());
    EXPECT_TRUE(combo_->DroppedDown());
}

TEST_F(DirTreeCombo, AScrollBarDragThatEndsOutsideLeavesTheDropDownHoldingTheMouse) {
    TempFolder temp;
    for (int i = 0; i < 40; ++i)
        temp.AddFolder(L"Folder " + std::to_wstring(100 + i));
    combo_->LocatePath(temp.Path());
    OpenWithMouse();
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(TreeWnd(), OBJID_VSCROLL, &bar));
    const int before = GetScrollPos(TreeWnd(), SB_VERT);
    const POINT thumb{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                      bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
    const POINT outside = OtherButton();
    MoveTo(thumb);
    combotest::DragFromTo(thumb, POINT{outside.x, thumb.y - 60});
    EXPECT_NE(before, GetScrollPos(TreeWnd(), SB_VERT)) << "the thumb was dragged";
    EXPECT_TRUE(combo_->DroppedDown());
    EXPECT_EQ(combo_->DropDownWindow()->Handle(), GetCapture());
    ClickAt(outside);
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_EQ(0, otherClicks_);
}

TEST_F(DirTreeCombo, KeysActOnTheDropDownsSelectionWhetherItIsOpenOrNot) {
    TempFolder temp;
    tmbtest::AddFolders(temp, {L"Alpha", L"Beta"});
    const std::wstring shown = combo_->Text();

    // Before anything was selected the arrows and Enter do nothing.
    for (WORD key : {VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT, VK_RETURN})
        PressKey(key);
    EXPECT_TRUE(changes_.empty());
    EXPECT_EQ(nullptr, Tree().Selected());
    EXPECT_EQ(U8(shown), U8(combo_->Text()));

    // Down then Enter, closed: the node under the current one is picked, nothing opens.
    combo_->LocatePath(temp.Path());
    changes_.clear();
    PressKey(VK_DOWN);
    EXPECT_EQ("Alpha", U8(Tree().NodeText(Tree().Selected())));
    EXPECT_TRUE(changes_.empty()) << "moving the selection picks nothing";
    PressKey(VK_RETURN);
    ASSERT_EQ(1u, changes_.size());
    EXPECT_EQ(combo_, changes_[0].sender);
    EXPECT_EQ(U8(temp / L"Alpha"), U8(changes_[0].path));
    EXPECT_EQ("Alpha", U8(combo_->Text()));
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_FALSE(PopupShown());
    PressKey(VK_DOWN);
    EXPECT_EQ("Beta", U8(Tree().NodeText(Tree().Selected())));
    PressKey(VK_UP);
    EXPECT_EQ("Alpha", U8(Tree().NodeText(Tree().Selected())));

    // At the top: Up on the root and Left next to it change nothing; Right opens a node.
    HTREEITEM root = Tree().RootNode();
    HTREEITEM first = Tree().FirstChild(root);
    Tree().Select(first);
    PressKey(VK_LEFT);
    EXPECT_EQ(first, Tree().Selected());
    Tree().Select(root);
    PressKey(VK_UP);
    EXPECT_EQ(root, Tree().Selected());
    PressKey(VK_LEFT);
    EXPECT_EQ(root, Tree().Selected());
    EXPECT_FALSE(Tree().Expanded(root)) << "Left closed the root";
    PressKey(VK_RIGHT);
    EXPECT_TRUE(Tree().Expanded(root));
    PressKey(VK_RETURN);
    EXPECT_EQ("Drives", U8(changes_.back().path));
    EXPECT_EQ(U8(tmbtest::ComputerName()), U8(combo_->Text()));

    // Open, the same keys move the shown selection, Enter picks and closes.
    PressKey(VK_F4);
    ASSERT_TRUE(combo_->DroppedDown());
    PressKey(VK_DOWN);
    EXPECT_EQ(first, Tree().Selected());
    PressKey(VK_RETURN);
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_EQ(U8(Tree().GetNodePath(first)), U8(changes_.back().path));
}

TEST_F(DirTreeCombo, F5RebuildsTheDropDownAndLocatesThePickedPathAgain) {
    TempFolder temp;
    temp.AddFolder(L"Alpha");
    combo_->LocatePath(temp.Path());
    HTREEITEM before = Tree().Selected();
    EXPECT_EQ(nullptr, ChildNamed(before, L"Later"));
    temp.AddFolder(L"Later");
    changes_.clear();
    PressKey(VK_F5);
    ASSERT_EQ(1u, changes_.size());
    EXPECT_EQ(U8(temp.Path() + L"\\"), U8(changes_[0].path));
    HTREEITEM after = Tree().Selected();
    ASSERT_NE(nullptr, after);
    EXPECT_EQ(U8(temp.Path()), U8(Tree().GetNodePath(after)));
    EXPECT_NE(nullptr, ChildNamed(after, L"Later")) << "the folders were read again";
}

TEST_F(DirTreeCombo, LocatePathIgnoresWhatIsNoFolderAndStopsWhereTheDropDownLacksOne) {
    TempFolder temp;
    tmbtest::AddFolders(temp, {L"A", L"A\\Y", L"B", L"B\\X"});
    temp.AddFile(L"file.txt");
    combo_->LocatePath(temp / L"B\\X");  // B and its X are read
    combo_->LocatePath(temp / L"A");     // A and its Y are read
    HTREEITEM a = Tree().Selected();
    changes_.clear();
    const std::wstring shown = combo_->Text();

    for (const std::wstring& path : {std::wstring(), std::wstring(L"C"), temp / L"file.txt",
                                     temp / L"missing"})
        combo_->LocatePath(path);
    EXPECT_TRUE(changes_.empty());

    // A folder made after A was read is not in the drop-down; the X under B has the same
    // name but is another folder, and is not taken for it.
    temp.AddFolder(L"A\\X");
    combo_->LocatePath(temp / L"A\\X");
    EXPECT_TRUE(changes_.empty());
    EXPECT_EQ(a, Tree().Selected());
    EXPECT_EQ(U8(shown), U8(combo_->Text()));
    EXPECT_EQ(U8(temp / L"A\\"), U8(combo_->SelectedPath()));
}

TEST_F(DirTreeCombo, SelectedPathSetInCodeMovesNeitherTheTextNorTheSelection) {
    TempFolder temp;
    temp.AddFolder(L"Alpha");
    combo_->LocatePath(temp.Path());
    HTREEITEM selected = Tree().Selected();
    const std::wstring shown = combo_->Text();
    changes_.clear();
    combo_->SetSelectedPath(temp / L"Alpha");
    EXPECT_EQ(U8(temp / L"Alpha"), U8(combo_->SelectedPath()));
    combo_->SetSelectedPath(tmb::UpperCase(temp / L"Alpha"));
    EXPECT_EQ(U8(temp / L"Alpha"), U8(combo_->SelectedPath())) << "same path in other letters";
    EXPECT_EQ(selected, Tree().Selected());
    EXPECT_EQ(U8(shown), U8(combo_->Text()));
    EXPECT_TRUE(changes_.empty());
}

TEST_F(DirTreeCombo, ARightClickOnTheBoxOrTheArrowOpensNoMenu) {
    // Counts the context menus that open, closing each at once (a menu's loop would
    // otherwise hold the test).
    int menus = 0;
    tmbtest::OpenMenuWatch watch([&](HWND) {
        ++menus;
        EndMenu();
        return false;
    }, 20);
    ClickAt(tmbtest::ToScreen(Box(), 100, 8), true);
    ClickAt(ArrowButton(), true);
    PressKey(VK_APPS);
    tmbtest::PumpFor(100);
    EXPECT_EQ(0, menus);
    EXPECT_FALSE(combo_->DroppedDown());
    // The watch does see a menu: the edit's own one, on a plain edit box.
    auto* plain = tmbtest::PlaceOn<tmb::Edit>(form_.Form(), 20, 100, 100, 21);
    ClickAt(tmbtest::ToScreen(plain->Handle(), 30, 8), true);
    tmbtest::PumpFor(100);
    EXPECT_EQ(1, menus);
}

TEST_F(DirTreeCombo, LosingTheFocusClosesItButTheFocusItBringsAlongDoesNot) {
    other_->SetFocus();
    tmbtest::Pump();
    combo_->DropDown();  // as F4 in a linked list does
    tmbtest::PumpFor(60);
    EXPECT_TRUE(combo_->DroppedDown());
    EXPECT_EQ(Box(), GetFocus());
    PressKey(VK_TAB);
    EXPECT_NE(Box(), GetFocus()) << "Tab leaves the box";
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(DirTreeCombo, AnEmptyRemovableDriveShowsTheMessageTheMouseStillShowsItEnterDoesNot) {
    tmbtest::WineDrive removable(L'Q', DRIVE_REMOVABLE, false);
    ASSERT_TRUE(removable.Defined()) << "Wine's mount manager is needed to define drives";
    TempFolder temp;
    combo_->Reload();
    HTREEITEM q = DriveNode(L'Q');
    ASSERT_NE(nullptr, q);
    const std::wstring caption = Tree().NodeText(q);

    PickWithMouse(q);
    ASSERT_EQ(1u, script_.Calls().size());
    EXPECT_EQ(U8(kv::KvMessages.StrNoDisk), U8(script_.Calls()[0].text));
    EXPECT_EQ(tmb::MsgDlgType::Warning, script_.Calls()[0].type);
    EXPECT_EQ(U8(caption), U8(combo_->Text()));
    EXPECT_EQ("Q:\\", U8(combo_->SelectedPath()));
    EXPECT_EQ(nullptr, GetCapture()) << "the mouse is free after the message";

    combo_->LocatePath(temp.Path());
    const std::wstring shown = combo_->Text();
    Tree().Select(DriveNode(L'Q'));
    PressKey(VK_RETURN);
    ASSERT_EQ(2u, script_.Calls().size());
    EXPECT_EQ(U8(shown), U8(combo_->Text())) << "with Enter the box keeps its text";
    EXPECT_EQ("Q:\\", U8(changes_.back().path));
}

} // namespace
