// The directory tree on a shown window, driven by mouse presses on its nodes and by keys:
// the root and the drives, lazy folder loading, picking and reporting, opening by path,
// renaming in place, the language and the tree's own context menu.
#include "explorer/KvDirTree21.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "explorer/KvDirTree21PopUp.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/PopupMenu.h"
#include "framework/TextConv.h"
#include "tests/combo/RealInput.h"
#include "tests/explorer/DirTreeFixture.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WineDrives.h"

namespace {

using kv::TKvDirTree21;
using kv::TKvDirTree21PopUp;
using tmb::MsgDlgType;
using tmbtest::IsMessage;
using tmbtest::ModalCall;
using tmbtest::TempFolder;

HIMAGELIST SystemSmallIcons() {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

class DirTree : public treetest::TreeOnForm {
protected:
    HWND H() { return tree_->Handle(); }
    HTREEITEM Root() { return tree_->TopNode(); }
    // The node of an absolute folder path, through the loaded nodes.
    HTREEITEM NodeOf(const std::wstring& path) {
        HTREEITEM node = Drive(path[0]);
        std::size_t start = 3;
        while (node && start < path.size()) {
            std::size_t end = path.find(L'\\', start);
            if (end == std::wstring::npos)
                end = path.size();
            node = Child(node, path.substr(start, end - start));
            start = end + 1;
        }
        return node;
    }
    std::vector<std::wstring> Captions(HTREEITEM parent) {
        std::vector<std::wstring> captions;
        for (HTREEITEM c : tree_->Children(parent))
            captions.push_back(tree_->NodeText(c));
        return captions;
    }

    // A point on the node's expand button, found by asking the control where it is.
    POINT ButtonPoint(HTREEITEM node) {
        const POINT caption = CaptionPoint(node);
        for (int x = 0; x < caption.x; ++x) {
            TVHITTESTINFO hit{};
            hit.pt = POINT{x, caption.y};
            if (TreeView_HitTest(H(), &hit) == node && (hit.flags & TVHT_ONITEMBUTTON))
                return hit.pt;
        }
        ADD_FAILURE() << "the node shows no expand button";
        return caption;
    }
    void ClickCaption(HTREEITEM node) { tmbtest::ClickNode(*tree_, node); }
    void ClickButton(HTREEITEM node) {
        const POINT p = ButtonPoint(node);
        tmbtest::Click(H(), p.x, p.y);
    }

    // Starts editing a node's caption, types `text` and presses Enter (or Escape).
    void Rename(HTREEITEM node, const std::wstring& text, bool cancel = false) {
        HWND edit = tree_->EditCaption(node);
        ASSERT_NE(edit, nullptr) << "editing refused";
        tmbtest::TypeAndPress(edit, text, cancel ? VK_ESCAPE : VK_RETURN);
        EXPECT_FALSE(tree_->IsEditing());
    }

    const std::vector<ModalCall>& Shown() { return script_->Calls(); }
};

// --- construction, root and drives -----------------------------------------------------------

TEST_F(DirTree, ANewTreeHasItsDefaultsAndTheSharedSystemIcons) {
    auto* fresh = new TKvDirTree21(&form_.Form());
    EXPECT_EQ(fresh->Width(), 180);
    EXPECT_EQ(fresh->Height(), 120);
    EXPECT_EQ(fresh->Language(), kv::lnEnglish);
    EXPECT_EQ(kv::TreeLanguage, kv::lnEnglish);
    EXPECT_EQ(kv::KvMessages.StrAskRename, L"Do you want to rename the selected folder");
    EXPECT_FALSE(fresh->ReadOnly());
    EXPECT_FALSE(fresh->HideSelection());
    EXPECT_TRUE(fresh->PopUpMenuEnabled());
    ASSERT_NE(fresh->OwnMenu(), nullptr);
    EXPECT_EQ(fresh->GetPopupMenu(), fresh->OwnMenu());
    EXPECT_TRUE(fresh->OwnMenu()->AutoPopup());
    EXPECT_EQ(fresh->OwnMenu()->Served(), fresh);
    EXPECT_EQ(fresh->About(), L"Version 2.1.7.3");
    fresh->SetAbout(L"Version 9");
    EXPECT_EQ(fresh->About(), L"Version 2.1.7.3");

    fresh->SetParent(&form_.Form());
    const HIMAGELIST system = SystemSmallIcons();
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(TreeView_GetImageList(fresh->Handle(), TVSIL_NORMAL), system);
    const int icons = ImageList_GetImageCount(system);
    EXPECT_GT(icons, 0);
    tmb::Destroy(fresh);
    // The list belongs to the shell: a tree that goes leaves it alive.
    EXPECT_EQ(ImageList_GetImageCount(system), icons);
    EXPECT_EQ(TreeView_GetImageList(H(), TVSIL_NORMAL), system);
}

TEST_F(DirTree, MadeInCodeItShowsTheRootAloneAndTheFirstPressOnItAddsTheDrives) {
    ASSERT_EQ(tree_->Count(), 1);
    EXPECT_EQ(tree_->NodeText(Root()), tmbtest::ComputerName());
    EXPECT_FALSE(tree_->HasChildren(Root()));

    ClickCaption(Root());
    EXPECT_EQ(events_, std::vector<std::wstring>{L"Drives"});
    EXPECT_EQ(tree_->SelectedPath(), L"Drives");
    EXPECT_EQ(tree_->Selected(), Root());
    EXPECT_FALSE(tree_->Expanded(Root())) << "the drives come, the root stays closed";

    // One node per drive in letter order, captioned " (X:)  " + the shell's label.
    const DWORD mask = GetLogicalDrives();
    EXPECT_EQ(kv::DriveMask, mask);
    std::vector<std::wstring> expected;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        SHFILEINFOW info{};
        SHGetFileInfoW(root, 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
        const std::wstring display = info.szDisplayName;
        expected.push_back(std::wstring(L" (") + root[0] + L":)  " +
                           display.substr(0, display.find(L'(')));
    }
    EXPECT_EQ(Captions(Root()), expected);
    for (HTREEITEM drive : tree_->Children(Root())) {
        EXPECT_TRUE(tree_->HasChildren(drive));
        const std::wstring path = tree_->GetNodePath(drive);
        EXPECT_EQ(path.size(), 3u);
        EXPECT_EQ(tree_->ImageIndex(drive), kv::GetIconIndex(path));
        EXPECT_EQ(tree_->SelectedIndex(drive), kv::GetOpenIconIndex(path));
    }

    // The drives come once; the root is reported again.
    ClickCaption(Root());
    EXPECT_EQ(Captions(Root()).size(), expected.size());
    EXPECT_EQ(events_.size(), 2u);
    EXPECT_EQ(tree_->GetNodePath(Root()), L"");
    EXPECT_EQ(tree_->GetNodePath(nullptr), L"");
}

// A tree built by a window's layout: its nodes come when the layout is done.
class LayoutForm : public tmb::Form {
public:
    explicit LayoutForm(tmb::Component* owner) : tmb::Form(owner) {
        SetClientSize(300, 300);
        menu = new tmb::PopupMenu(this);
        tree = new TKvDirTree21(this);
        tree->SetLanguage(kv::lnPortuguese);
        tree->SetBounds(0, 0, 300, 300);
        tree->SetParent(this);
        tree->SetPopupMenu(menu);
    }
    TKvDirTree21* tree;
    tmb::PopupMenu* menu;
};

TEST_F(DirTree, ReadFromALayoutItShowsTheDrivesUnderTheOpenRootAndKeepsTheLayoutsMenu) {
    LayoutForm* form = tmb::CreateForm<LayoutForm>(nullptr);
    TKvDirTree21* tree = form->tree;
    const HTREEITEM root = tree->TopNode();
    EXPECT_TRUE(tree->Expanded(root));
    int drives = 0;
    for (DWORD mask = GetLogicalDrives(); mask; mask &= mask - 1)
        ++drives;
    EXPECT_EQ(static_cast<int>(tree->Children(root).size()), drives);
    EXPECT_EQ(tree->GetPopupMenu(), form->menu);
    EXPECT_EQ(tree->Language(), kv::lnPortuguese);
    tmb::Destroy(form);
}

// --- picking --------------------------------------------------------------------------------

TEST_F(DirTree, PressesOnCaptionsPickDrivesAndFoldersButExpandButtonsPickNothing) {
    ClickCaption(Root());
    events_.clear();

    ClickButton(Root());
    EXPECT_TRUE(tree_->Expanded(Root()));
    EXPECT_EQ(tree_->Selected(), Root());
    EXPECT_TRUE(events_.empty());

    const HTREEITEM c = Drive(L'C');
    ASSERT_NE(c, nullptr);
    ClickCaption(c);
    EXPECT_EQ(events_, std::vector<std::wstring>{L"C:\\"});
    EXPECT_EQ(tree_->SelectedPath(), L"C:\\");
    EXPECT_EQ(tree_->Selected(), c);
    EXPECT_EQ(tree_->FirstChild(c), nullptr) << "folders are read when the node opens";

    ClickButton(c);
    EXPECT_TRUE(tree_->Expanded(c));
    EXPECT_EQ(tree_->Selected(), c);
    EXPECT_EQ(events_.size(), 1u);

    const HTREEITEM windows = Child(c, L"windows");
    ASSERT_NE(windows, nullptr);
    ClickCaption(windows);
    // A folder picked by a press has no trailing backslash; the caption is the name as the
    // file system gives it.
    const std::wstring expected = L"C:\\" + tree_->NodeText(windows);
    EXPECT_EQ(tree_->SelectedPath(), expected);
    EXPECT_EQ(events_.back(), expected);
    EXPECT_TRUE(tmb::SameText(expected, L"C:\\windows"));
    EXPECT_EQ(tree_->ImageIndex(windows), kv::GetIconIndex(expected));
    EXPECT_EQ(tree_->SelectedIndex(windows), kv::GetOpenIconIndex(expected));

    // A press beside the caption, in the row's blank right of it, picks nothing.
    const RECT r = tree_->NodeRect(c, true);
    tmbtest::Click(H(), r.right + 40, (r.top + r.bottom) / 2);
    EXPECT_EQ(tree_->Selected(), windows);
    EXPECT_EQ(events_.size(), 2u);
}

TEST_F(DirTree, ALinkedListDestroyedBeforeTheTreeIsForgottenAndPressesStillPick) {
    auto* view = tmbtest::PlaceOn<kv::TKvFilelistView28>(form_.Form(), 0, 0, 10, 10);
    tree_->SetFileList(view);
    ClickCaption(Root());
    ClickButton(Root());
    const HTREEITEM c = Drive(L'C');
    ASSERT_NE(c, nullptr);
    ClickCaption(c);
    ASSERT_TRUE(tmb::SameText(view->Directory(), L"C:\\")) << tmb::WideToUtf8(view->Directory());

    tmb::Destroy(view);
    EXPECT_EQ(tree_->FileList(), nullptr);
    ClickButton(c);
    const HTREEITEM windows = Child(c, L"windows");
    ASSERT_NE(windows, nullptr);
    ClickCaption(windows);
    EXPECT_TRUE(tmb::SameText(tree_->SelectedPath(), L"C:\\windows"));
    EXPECT_TRUE(tmb::SameText(events_.back(), L"C:\\windows"));
}

TEST_F(DirTree, ArrowKeysPickTheNodeTheyMovedToAndOtherKeysPickNothing) {
    TempFolder dir;
    tmbtest::AddFolders(dir, {L"a", L"b"});
    int keyUps = 0;
    tree_->OnKeyUp = [&](tmb::Component*, WORD&, unsigned) { ++keyUps; };
    tree_->OpenFolder(dir.Path());
    ASSERT_EQ(events_.size(), 1u);
    tree_->SetFocus();

    tmbtest::PressKey(H(), VK_DOWN);
    EXPECT_EQ(tree_->SelectedPath(), dir / L"a");
    EXPECT_EQ(events_.back(), dir / L"a");
    tmbtest::PressKey(H(), VK_DOWN);
    EXPECT_EQ(events_.back(), dir / L"b");
    tmbtest::PressKey(H(), VK_UP);
    tmbtest::PressKey(H(), VK_LEFT);  // to the parent
    EXPECT_EQ(events_.back(), dir.Path());
    EXPECT_EQ(events_.size(), 5u);
    EXPECT_EQ(keyUps, 4);

    // Home moves the selection to the root, but only the arrows report.
    tmbtest::PressKey(H(), VK_HOME);
    EXPECT_EQ(tree_->Selected(), Root());
    EXPECT_EQ(events_.size(), 5u);
    EXPECT_EQ(keyUps, 4);
    EXPECT_EQ(tree_->SelectedPath(), dir.Path());
    tmbtest::PressKey(H(), VK_RIGHT);  // into the open root: its first drive
    EXPECT_EQ(events_.size(), 6u);
    EXPECT_EQ(tree_->Level(tree_->Selected()), 1);
    EXPECT_EQ(events_.back(), tree_->GetNodePath(tree_->Selected()));
}

TEST_F(DirTree, EmptyCdRomAndRemovableDrivesAreAnnouncedNotReported) {
    tmbtest::WineDrive cdrom(L'P', DRIVE_CDROM, false);
    tmbtest::WineDrive removable(L'Q', DRIVE_REMOVABLE, false);
    ASSERT_TRUE(cdrom.Defined() && removable.Defined())
        << "Wine's mount manager is needed to define drives";
    ClickCaption(Root());
    ClickButton(Root());
    events_.clear();

    ClickCaption(Drive(L'P'));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(Shown()[0], L"There is no disk in Drive or Drive is not ready",
                          MsgDlgType::Warning));
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(tree_->SelectedPath(), L"P:\\") << "changed though not reported";

    tree_->SetFocus();
    tmbtest::PressKey(H(), VK_DOWN);
    EXPECT_EQ(tree_->Selected(), Drive(L'Q'));
    EXPECT_EQ(Shown().size(), 2u);
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(tree_->SelectedPath(), L"Q:\\");

    ASSERT_TRUE(cdrom.InsertMedium());
    ClickCaption(Drive(L'P'));
    EXPECT_EQ(events_, std::vector<std::wstring>{L"P:\\"});
    EXPECT_EQ(Shown().size(), 2u);
}

// --- lazy loading ---------------------------------------------------------------------------

TEST_F(DirTree, FoldersAreReadOncePerNodeAndSortedAsTheUsersLocaleCompares) {
    TempFolder dir;
    const std::vector<std::wstring> names = {L"zeta", L"Alpha", L"beta", L"\u00c4rger", L"alpha2",
                                             L"10", L"9", L"_under", L"Beta two",
                                             L"\u0430\u0431\u0432"};
    for (const std::wstring& n : names)
        dir.AddFolder(n);
    dir.AddFile(L"a file.txt");
    tmbtest::AddFolders(dir, {L"beta\\inner", L"zeta\\.hidden"});
    SetFileAttributesW((dir / L"_under").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    tree_->OpenFolder(dir.Path());
    const HTREEITEM node = tree_->Selected();
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(tree_->Expanded(node));
    const std::vector<std::wstring> captions = Captions(node);
    ASSERT_EQ(captions.size(), names.size()) << "folders only, hidden and system ones too";
    for (std::size_t i = 1; i < captions.size(); ++i)
        EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, captions[i - 1].c_str(), -1,
                                 captions[i].c_str(), -1),
                  CSTR_GREATER_THAN)
            << U8(captions[i - 1]) << " before " << U8(captions[i]);
    // Only folders with folders inside show an expand button.
    EXPECT_TRUE(tree_->HasChildren(Child(node, L"beta")));
    EXPECT_TRUE(tree_->HasChildren(Child(node, L"zeta")));
    EXPECT_FALSE(tree_->HasChildren(Child(node, L"Alpha")));

    // Read once: a folder made later is not seen by opening the node again...
    dir.AddFolder(L"later");
    tree_->Collapse(node, false);
    tree_->Expand(node, false);
    EXPECT_EQ(Child(node, L"later"), nullptr);
    // ... and a node whose folder turns out to have none inside loses its button.
    const HTREEITEM beta = Child(node, L"beta");
    ASSERT_TRUE(RemoveDirectoryW((dir / L"beta\\inner").c_str()));
    tree_->Expand(beta, false);
    EXPECT_FALSE(tree_->HasChildren(beta));
    EXPECT_EQ(tree_->FirstChild(beta), nullptr);

    // A form's own OnExpanding handler is called, and the loading still runs before it.
    int heard = 0;
    tree_->OnExpanding = [&](tmb::Component*, HTREEITEM, bool&) { ++heard; };
    const HTREEITEM zeta = Child(node, L"zeta");
    tree_->Expand(zeta, false);
    EXPECT_EQ(heard, 1);
    EXPECT_NE(tree_->FirstChild(zeta), nullptr);
}

TEST_F(DirTree, OnANetworkDriveEveryFolderShowsAButtonUntilItIsOpened) {
    tmbtest::WineDrive network(L'R', DRIVE_REMOTE, true);
    ASSERT_TRUE(network.Defined()) << "Wine's mount manager is needed to define drives";
    TempFolder local;
    for (const wchar_t* folder : {L"leaf", L"branch", L"branch\\inner"}) {
        ASSERT_TRUE(CreateDirectoryW((network.MediumDir() + L"\\" + folder).c_str(), nullptr));
        local.AddFolder(folder);
    }

    tree_->OpenFolder(L"R:\\");
    EXPECT_TRUE(tree_->IsNetworkDrive(L'r'));
    const HTREEITEM r = Drive(L'R');
    ASSERT_NE(r, nullptr);
    const HTREEITEM leaf = Child(r, L"leaf");
    const HTREEITEM branch = Child(r, L"branch");
    ASSERT_TRUE(leaf && branch);
    EXPECT_TRUE(tree_->HasChildren(leaf));
    EXPECT_TRUE(tree_->HasChildren(branch));
    ClickButton(leaf);
    EXPECT_FALSE(tree_->HasChildren(leaf));
    EXPECT_EQ(tree_->FirstChild(leaf), nullptr);
    ClickButton(branch);
    EXPECT_EQ(Captions(branch), std::vector<std::wstring>{L"inner"});
    EXPECT_TRUE(tree_->HasChildren(Child(branch, L"inner"))) << "not looked into either";

    tree_->OpenFolder(local.Path());
    EXPECT_FALSE(tree_->IsNetworkDrive(L'C'));
    const HTREEITEM here = tree_->Selected();
    EXPECT_FALSE(tree_->HasChildren(Child(here, L"leaf")));
    EXPECT_TRUE(tree_->HasChildren(Child(here, L"branch")));
}

// --- opening by path ------------------------------------------------------------------------

TEST_F(DirTree, OpenFolderComparesTheGivenTextWithTheLastOpenedBeforeAddingTheBackslash) {
    tree_->OpenFolder(L"c:");
    EXPECT_EQ(events_, std::vector<std::wstring>{L"c:\\"});
    EXPECT_EQ(tree_->SelectedPath(), L"c:\\");
    const HTREEITEM c = Drive(L'C');
    EXPECT_EQ(tree_->Selected(), c);
    EXPECT_TRUE(tree_->Expanded(c));

    tree_->OpenFolder(L"C:\\");  // the last opened, ignoring case
    EXPECT_EQ(events_.size(), 1u);
    tree_->OpenFolder(L"c:");    // "c:" is not "c:\"
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"c:\\", L"c:\\"}));

    TempFolder dir;
    tree_->OpenFolder(L"");
    tree_->OpenFolder(dir / L"missing");
    EXPECT_EQ(events_.size(), 2u);

    const std::wstring deep = dir.AddFolder(L"Sub dir & #1") + L"\\a\u00e7\u00e3o %20";
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    tree_->OpenFolder(deep);
    EXPECT_EQ(tree_->SelectedPath(), deep + L"\\");
    EXPECT_EQ(events_.back(), deep + L"\\");
    EXPECT_EQ(tree_->NodeText(tree_->Selected()), L"a\u00e7\u00e3o %20");
    EXPECT_EQ(tree_->GetNodePath(tree_->Selected()), deep);
    EXPECT_EQ(tree_->Selected(), NodeOf(deep));
}

TEST_F(DirTree, LocatePathStopsQuietlyWhereTheLoadedTreeLacksAFolderAndStillRepaints) {
    TempFolder dir;
    tmbtest::AddFolders(dir, {L"one", L"one\\first", L"two", L"two\\late"});
    tree_->LocatePath(dir / L"two\\late");
    tree_->LocatePath(dir / L"one");
    ASSERT_EQ(events_.size(), 2u);
    const HTREEITEM one = NodeOf(dir / L"one");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(tree_->FirstChild(one), nullptr);

    // "late" appears under "one" after "one" was read; another "late" is in the tree.
    dir.AddFolder(L"one\\late");
    tmbtest::MessageLog redraws(H(), WM_SETREDRAW);
    tree_->LocatePath(dir / L"one\\late");
    EXPECT_EQ(events_.size(), 2u);
    EXPECT_EQ(tree_->SelectedPath(), dir / L"one\\");
    EXPECT_NE(tree_->Selected(), NodeOf(dir / L"two\\late")) << "another folder of that name";
    EXPECT_EQ(tree_->Selected(), one);
    ASSERT_FALSE(redraws.wParams.empty());
    EXPECT_EQ(redraws.wParams.front(), WPARAM(FALSE));
    EXPECT_EQ(redraws.wParams.back(), WPARAM(TRUE)) << "the tree must repaint again";

    // The same when a matched folder has no loaded folders while the path goes on.
    dir.AddFolder(L"one\\first\\new");
    redraws.wParams.clear();
    tree_->LocatePath(dir / L"one\\first\\new");
    EXPECT_EQ(events_.size(), 2u);
    ASSERT_FALSE(redraws.wParams.empty());
    EXPECT_EQ(redraws.wParams.back(), WPARAM(TRUE));

    // Paths that are no folder, or too short, are ignored.
    tree_->LocatePath(L"c");
    tree_->LocatePath(dir / L"none");
    tree_->LocatePath(dir.AddFile(L"file.txt"));
    EXPECT_EQ(events_.size(), 2u);

    // Found: reported with the caller's text and a backslash, also when nothing changed.
    tree_->LocatePath(dir / L"ONE");
    EXPECT_EQ(events_.back(), dir / L"one\\") << "differs only in case: kept";
    tree_->LocatePath(dir / L"two");
    EXPECT_EQ(events_.back(), dir / L"two\\");
    EXPECT_EQ(events_.size(), 4u);
}

TEST_F(DirTree, F5RebuildsTheTreeAndOpensTheCurrentFolderAgain) {
    TempFolder dir;
    dir.AddFolder(L"a");
    tree_->OpenFolder(dir.Path());
    ClickCaption(Child(tree_->Selected(), L"a"));
    ASSERT_EQ(tree_->SelectedPath(), dir / L"a");
    ASSERT_EQ(tree_->FirstChild(NodeOf(dir / L"a")), nullptr);
    dir.AddFolder(L"a\\fresh");

    tree_->SetFocus();
    tmbtest::PressKey(H(), VK_F5);
    EXPECT_EQ(events_.back(), dir / L"a\\");
    EXPECT_EQ(events_.size(), 3u);
    EXPECT_EQ(Captions(NodeOf(dir / L"a")), std::vector<std::wstring>{L"fresh"});

    // With the root picked, the rebuilt tree stays closed and nothing is reported.
    ClickCaption(Root());
    ASSERT_EQ(events_.back(), L"Drives");
    tmbtest::PressKey(H(), VK_F5);
    EXPECT_EQ(events_.size(), 4u);
    EXPECT_FALSE(tree_->Expanded(Root()));
    EXPECT_EQ(tree_->Count(), 1 + static_cast<int>(tree_->Children(Root()).size()));
}

// --- renaming in place ----------------------------------------------------------------------

class DirTreeRename : public DirTree {
protected:
    void SetUp() override {
        DirTree::SetUp();
        old_ = dir_.AddFolder(L"old name");
        dir_.AddFolder(L"other");
        tree_->OpenFolder(dir_.Path());
        parent_ = tree_->Selected();
        node_ = Child(parent_, L"old name");
        ASSERT_NE(node_, nullptr);
        events_.clear();
    }
    TempFolder dir_;
    std::wstring old_;
    HTREEITEM parent_ = nullptr;
    HTREEITEM node_ = nullptr;
};

TEST_F(DirTreeRename, OnlyFolderCaptionsCanBeEditedAndOnlyWhileNotReadOnly) {
    EXPECT_EQ(tree_->EditCaption(Root()), nullptr);
    EXPECT_EQ(tree_->EditCaption(Drive(L'C')), nullptr);
    Rename(node_, L"typed", true);

    bool asked = false;
    tree_->OnEditing = [&](tmb::Component*, HTREEITEM node, bool& allow) {
        asked = node == node_;
        allow = false;
    };
    EXPECT_EQ(tree_->EditCaption(node_), nullptr);
    EXPECT_TRUE(asked);
    tree_->OnEditing = nullptr;

    tree_->SetReadOnly(true);
    EXPECT_EQ(tree_->EditCaption(node_), nullptr);
    tree_->SetReadOnly(false);
    Rename(node_, L"typed", true);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(DirTreeRename, OnlyAPressOnTheAlreadySelectedFolderStartsEditing) {
    // The control starts editing a caption pressed while its node is selected, after the
    // double-click time; a press that selects the node must not.
    const UINT doubleClick = GetDoubleClickTime();
    SetDoubleClickTime(60);
    ClickCaption(node_);
    ASSERT_EQ(tree_->Selected(), node_);
    tmbtest::PumpFor(200);
    EXPECT_FALSE(tree_->IsEditing());
    ClickCaption(node_);
    tmbtest::PumpFor(200);
    EXPECT_TRUE(tree_->IsEditing());
    SetDoubleClickTime(doubleClick);
    if (HWND edit = TreeView_GetEditControl(H()))
        tmbtest::PressKey(edit, VK_ESCAPE);
    EXPECT_EQ(events_.size(), 2u);
}

TEST_F(DirTreeRename, EmptyCancelledAndInvalidNamesLeaveTheFolderAsItWas) {
    Rename(node_, L"", false);
    Rename(node_, L"typed", true);
    EXPECT_TRUE(Shown().empty()) << "an empty or cancelled name only beeps";

    Rename(node_, L"a:b");
    Rename(node_, L"x*y");
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_TRUE(IsMessage(Shown()[0], L"Error - Invalid Directory Name\ra:b", MsgDlgType::Error));
    EXPECT_EQ(Shown()[1].text, L"Error - Invalid Directory Name\rx*y");

    EXPECT_EQ(tree_->NodeText(node_), L"old name");
    EXPECT_TRUE(tmbtest::FolderExists(old_));
}

TEST_F(DirTreeRename, ARenameIsConfirmedWithFromAndToAndDoneByTheShell) {
    std::vector<std::wstring> edited;
    tree_->OnEdited = [&](tmb::Component*, HTREEITEM, std::wstring& text) { edited.push_back(text); };

    script_->Answer(tmb::mrNo);
    Rename(node_, L"new name");
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(
        Shown()[0],
        L"Do you want to rename the selected folder\r\r    From  : old name\r    To     : new name",
        MsgDlgType::Confirmation, tmb::mbYes | tmb::mbNo));
    EXPECT_EQ(tree_->NodeText(node_), L"old name");
    EXPECT_TRUE(tmbtest::FolderExists(old_));
    EXPECT_TRUE(edited.empty());

    script_->Answer(tmb::mrYes);
    {
        tmbtest::ModalAutoAnswer guard(IDCANCEL);  // the shell shows nothing for a rename
        Rename(node_, L"new name");
        EXPECT_EQ(guard.Count(), 0);
    }
    EXPECT_EQ(Shown().size(), 2u);
    EXPECT_FALSE(tmbtest::FolderExists(old_));
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"new name"));
    EXPECT_EQ(tree_->NodeText(node_), L"new name");
    EXPECT_EQ(edited, std::vector<std::wstring>{L"new name"});
    EXPECT_EQ(tree_->Selected(), parent_) << "the parent is selected after a rename";
    EXPECT_TRUE(events_.empty());
}

TEST_F(DirTreeRename, AFailedShellRenameKeepsTheCaption) {
    script_->Answer(tmb::mrYes);
    {
        tmbtest::ModalAutoAnswer answer(IDOK);  // whatever the shell says about it
        Rename(node_, L"other");
    }
    EXPECT_EQ(tree_->NodeText(node_), L"old name");
    EXPECT_TRUE(tmbtest::FolderExists(old_));
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"other"));
}

TEST_F(DirTreeRename, AFolderJustNamedByDefaultIsRenamedWithoutQuestionOnce) {
    tree_->SetNamingNewFolder(true);
    Rename(node_, L"chosen");
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"chosen"));
    EXPECT_FALSE(tree_->NamingNewFolder());

    // Also a refused name ends the default naming.
    tree_->SetNamingNewFolder(true);
    Rename(node_, L"", false);
    EXPECT_FALSE(tree_->NamingNewFolder());
}

class DirTreeRealBoxes : public DirTreeRename {
protected:
    void SetUp() override {
        script_.reset();
        DirTreeRename::SetUp();
    }
};

TEST_F(DirTreeRealBoxes, TheConfirmationBoxTakingTheFocusFromTheEditAsksOnce) {
    tmbtest::ModalAutoAnswer answer(IDYES);
    // Ended by the program while the edit box has the focus: the box that opens takes it,
    // and the control ends the same edit again from inside the first end.
    HWND edit = tree_->EditCaption(node_);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"renamed");
    ASSERT_EQ(GetFocus(), edit);
    TreeView_EndEditLabelNow(H(), FALSE);
    tmbtest::Pump();
    ASSERT_EQ(answer.Count(), 1);
    EXPECT_EQ(answer.Boxes()[0].caption, L"Confirm");
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"renamed"));
    EXPECT_FALSE(tmbtest::FolderExists(old_));
    EXPECT_EQ(tree_->NodeText(node_), L"renamed");
}

// --- language and menu ----------------------------------------------------------------------

TEST_F(DirTree, TheMenuHasFifteenEntriesCaptionedInTheTreesLanguage) {
    treetest::ExpectMenuEntries(tree_->OwnMenu()->Items(), kv::lnEnglish);  // a new tree's language
    tree_->SetLanguage(kv::lnPortuguese);
    treetest::ExpectMenuEntries(tree_->OwnMenu()->Items(), kv::lnPortuguese);
    EXPECT_EQ(kv::KvMessages.StrAskRename, L"Deseja renomear a pasta selecionada");
}

TEST_F(DirTree, AnotherLanguageRebuildsTheMenuAndTheWindowTheSameOneChangesNothing) {
    tree_->OpenFolder(L"c:");
    ASSERT_GT(tree_->Count(), 1);
    tmb::PopupMenu* external = new tmb::PopupMenu(&form_.Form());
    tree_->SetPopupMenu(external);
    TKvDirTree21PopUp* own = tree_->OwnMenu();

    tree_->SetLanguage(kv::lnEnglish);
    tree_->SetLanguage(kv::TLanguage(tree_->Language()));
    EXPECT_EQ(tree_->GetPopupMenu(), external);
    EXPECT_EQ(tree_->OwnMenu(), own);
    EXPECT_GT(tree_->Count(), 1) << "the window was not re-created";

    tree_->SetLanguage(kv::lnGerman);
    EXPECT_EQ(tree_->Language(), kv::lnGerman);
    ASSERT_NE(tree_->OwnMenu(), nullptr);
    EXPECT_EQ(tree_->GetPopupMenu(), tree_->OwnMenu()) << "the outside menu is replaced";
    EXPECT_TRUE(tree_->PopUpMenuEnabled());
    EXPECT_EQ(tree_->OwnMenu()->Items()[0].caption, L"&Neuer Ordner");
    EXPECT_EQ(tree_->Count(), 1) << "the re-created window shows the root alone";
    EXPECT_EQ(tree_->OwnMenu()->Served(), tree_);

    tree_->SetPopUpMenuEnabled(false);
    EXPECT_EQ(tree_->GetPopupMenu(), nullptr);
    tree_->SetPopUpMenuEnabled(true);
    EXPECT_EQ(tree_->GetPopupMenu(), tree_->OwnMenu());
    tmb::Destroy(external);
}

TEST_F(DirTree, TwoTreesHaveMenusInTheirOwnLanguagesButShareTheMessagesSetLast) {
    TKvDirTree21* second = MakeTree();
    tree_->SetLanguage(kv::lnGerman);
    second->SetLanguage(kv::lnFrench);
    EXPECT_EQ(tree_->OwnMenu()->Items()[0].caption, L"&Neuer Ordner");
    EXPECT_EQ(second->OwnMenu()->Items()[0].caption, L"&Nouveau Dossier");
    EXPECT_EQ(kv::TreeLanguage, kv::lnFrench);
    EXPECT_EQ(kv::KvMessages.StrAskRename, L"Voulez-vous renommer le dossier s\u00e9lectionn\u00e9");
    tmb::Destroy(second);
}

TEST_F(DirTree, LanguageSysDefaultFollowsTheUsersLocale) {
    const kv::TLanguage expected =
        tmbtest::ExpectedLocale() == "pt-BR" ? kv::lnPortuguese : kv::lnEnglish;
    tree_->SetLanguage(kv::lnSpanish);
    tree_->SetLanguage(kv::lnSysDefault);
    EXPECT_EQ(tree_->Language(), expected);
    EXPECT_EQ(kv::TreeLanguage, expected);
    EXPECT_EQ(tree_->OwnMenu()->Items()[0].caption,
              expected == kv::lnPortuguese ? L"&Nova pasta" : L"&New Folder");
}

// The open menu, seen from a timer running inside the menu's own loop.
struct OpenMenu {
    bool seen = false;
    POINT at{};
    std::string states;
    std::size_t eventsBefore = 0;
};

TEST_F(DirTree, ARightPressPicksTheNodeThenOpensTheMenuBesideThePointerForIt) {
    tree_->OpenFolder(L"c:");
    events_.clear();
    const HTREEITEM windows = Child(Drive(L'C'), L"windows");
    ASSERT_NE(windows, nullptr);

    const auto rightClick = [&](HTREEITEM node) {
        OpenMenu seen;
        tmbtest::OpenMenuWatch watch([&](HWND menuWindow) {
            seen = {true, tmbtest::TopLeftOf(menuWindow),
                    tmbtest::MenuStates(tmbtest::MenuOfWindow(menuWindow)), events_.size()};
            EndMenu();
            return true;
        });
        const POINT p = PostRightClick(node);
        // The menu's loop runs inside the pump and has ended when the pump returns.
        for (int i = 0; i < 15 && !seen.seen; ++i)
            tmbtest::PumpFor(10);
        const POINT screen = tmbtest::ToScreen(H(), p.x, p.y);
        if (seen.seen) {
            EXPECT_EQ(seen.at.x, screen.x + 10);
            EXPECT_EQ(seen.at.y, screen.y + 10);
        }
        return seen;
    };

    const OpenMenu onDrive = rightClick(Drive(L'C'));
    ASSERT_TRUE(onDrive.seen);
    EXPECT_EQ(onDrive.eventsBefore, 1u) << "the node is picked before the menu opens";
    EXPECT_EQ(tree_->Selected(), Drive(L'C'));
    EXPECT_EQ(onDrive.states, "100-000-11-11-1");

    const OpenMenu onFolder = rightClick(windows);
    ASSERT_TRUE(onFolder.seen);
    EXPECT_EQ(onFolder.states, "111-110-11-11-1") << "nothing to paste yet";

    const OpenMenu onRoot = rightClick(Root());
    ASSERT_TRUE(onRoot.seen);
    EXPECT_EQ(onRoot.states, "000-000-00-11-0");
    EXPECT_EQ(events_.size(), 3u);

    // Another menu, or none: the tree's own does not show.
    tree_->SetPopUpMenuEnabled(false);
    EXPECT_FALSE(rightClick(windows).seen);
    EXPECT_EQ(events_.size(), 4u) << "the press still picks";
}

// Closes each menu that opens with an Escape through the input queue, sent from a timer
// running inside the menu's own loop; the menus it watches count their openings.
class EscapeEachMenu {
public:
    void Watch(tmb::PopupMenu* menu, int& opened) {
        menu->OnPopup = [this, &opened](tmb::Component*) { ++opened; pending_ = true; };
    }

private:
    bool pending_ = false;
    tmbtest::OpenMenuWatch watch_{[this](HWND) {
        if (pending_) {
            pending_ = false;
            // Queued only: pumping here would take the key from the menu's loop.
            keybd_event(VK_ESCAPE, 0, 0, 0);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
        }
        return false;
    }};
};

TEST_F(DirTree, ARealRightClickOpensTheTreesMenuOnceAndAfterItTheListsOwnOpens) {
    tree_->SetBounds(0, 0, 190, 480);
    auto* view = tmbtest::PlaceOn<kv::TKvFilelistView28>(form_.Form(), 200, 0, 200, 480);
    tree_->SetFileList(view);
    tree_->OpenFolder(L"c:");
    const HTREEITEM windows = Child(Drive(L'C'), L"windows");
    ASSERT_NE(windows, nullptr);
    SetForegroundWindow(form_.Handle());
    int treeMenus = 0;
    int listMenus = 0;
    EscapeEachMenu escape;
    escape.Watch(tree_->OwnMenu(), treeMenus);
    escape.Watch(view->OwnMenu(), listMenus);

    const POINT caption = CaptionPoint(windows);
    combotest::ClickAt(tmbtest::ToScreen(H(), caption.x, caption.y), true);
    tmbtest::PumpFor(300);
    EXPECT_EQ(treeMenus, 1) << "one right-click, one menu: one Escape closes it";
    EXPECT_EQ(tree_->Selected(), windows);
    ASSERT_TRUE(tmb::SameText(kv::AddSlash(view->Directory()), L"C:\\windows\\"))
        << U8(view->Directory());
    combotest::PressKey(VK_ESCAPE);  // a second Escape has no menu left to close
    tmbtest::PumpFor(300);

    const RECT row = view->ItemRect(1, true);
    combotest::ClickAt(combotest::ScreenCentre(view->Handle(), row), true);
    tmbtest::PumpFor(300);
    EXPECT_EQ(listMenus, 1);
    EXPECT_EQ(treeMenus, 1) << "the list's right-click opens the list's menu, not the tree's";
    tmb::Destroy(view);
}

} // namespace
