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

std::string U8(const std::wstring& s) { return tmb::WideToUtf8(s); }

std::wstring ComputerName() {
    ITEMIDLIST* pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl)) || !pidl)
        return std::wstring();
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<const wchar_t*>(pidl), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(pidl);
    return info.szDisplayName;
}

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
        other_ = new tmb::Button(&form_.Form());
        other_->SetBounds(300, 60, 75, 25);
        other_->SetParent(&form_.Form());
        other_->OnClick = [this](tmb::Component*) { ++otherClicks_; };
        combo_ = new TKvDirTreeCombo28(&form_.Form());
        combo_->SetBounds(20, 20, 216, 21);
        combo_->SetParent(&form_.Form());
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
        for (HTREEITEM n : Tree().Children(parent))
            if (tmb::SameText(Tree().NodeText(n), caption))
                return n;
        return nullptr;
    }
    HTREEITEM DriveNode(wchar_t letter) {
        for (HTREEITEM n : Tree().Children(Tree().RootNode()))
            if (Tree().NodeText(n).substr(2, 1) == std::wstring(1, letter))
                return n;
        return nullptr;
    }
    // Opens the drop-down with the arrow button and brings the pointer into it.
    void OpenWithMouse() {
        ClickAt(ArrowButton());
        ASSERT_TRUE(combo_->DroppedDown());
    }
    // Opens the drop-down and clicks on a node's caption.
    void PickWithMouse(HTREEITEM node) {
        OpenWithMouse();
        const POINT p = NodeCaption(node);
        MoveTo(p);
        ClickAt(p);
    }

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

    EXPECT_EQ(U8(ComputerName()), U8(combo_->Text()));
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
    const POINT button = ScreenCentre(other_->Handle(), RECT{0, 0, 75, 25});
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

} // namespace
