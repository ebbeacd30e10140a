// The folder commands of the directory tree's own menu on a shown tree, with real folders and
// the real shell: new folder, delete to the recycle bin, cut/copy and paste, the tree size
// report, the folder-contents window, the network dialogs and the properties sheet.
#include "explorer/KvClipboard.h"
#include "explorer/KvDirTree21.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <winnetwk.h>

#include <memory>
#include <string>
#include <vector>

#include "explorer/KvDirTree21PopUp.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "explorer/KvFolderContents.h"
#include "framework/StdControls.h"
#include "framework/TextConv.h"
#include "tests/explorer/DirTreeFixture.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/OpenHandler.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WineDrives.h"

namespace {

using kv::TKvDirTree21;
using kv::TKvDirTree21PopUp;
using tmb::MsgDlgType;
using tmbtest::IsMessage;
using tmbtest::ModalCall;
using tmbtest::TempFolder;

// The tree opened at a fresh folder, reported paths forgotten.
class TreeCommands : public treetest::TreeOnForm {
protected:
    void SetUp() override {
        TreeOnForm::SetUp();
        tree_->OpenFolder(dir_.Path());
        events_.clear();
    }

    // Rebuilds the tree (folders made since are read) and opens it at a folder.
    void Pick(const std::wstring& folder) {
        tree_->Reload();
        tree_->LocatePath(folder);
        ASSERT_TRUE(tmb::SameText(tree_->GetNodePath(tree_->Selected()), folder)) << U8(folder);
    }
    // The entries' enabled states as the menu would show them: E, D, or S for a separator.
    std::string States() {
        tree_->OwnMenu()->UpdateItems();
        std::string s;
        for (const tmb::MenuItem& item : tree_->OwnMenu()->Items())
            s += item.caption == L"-" ? 'S' : item.enabled ? 'E' : 'D';
        return s;
    }
    std::vector<ModalCall> Boxes() { return script_->CallsOf(ModalCall::Kind::MessageDlg); }
    // The tree size report of the selected node, made afresh: the one box it shows.
    ModalCall TreeSizeBox() {
        script_->Clear();
        tree_->ShowTreeSize();
        const std::vector<ModalCall> boxes = Boxes();
        EXPECT_EQ(boxes.size(), 1u) << "boxes shown by one report";
        return boxes.empty() ? ModalCall{} : boxes[0];
    }

    TempFolder dir_;
};

// --- the menu ---------------------------------------------------------------------------------

TEST_F(TreeCommands, EveryCommandShowsItsOwnPictureInEachLanguage) {
    const kv::TLanguage languages[] = {kv::lnEnglish, kv::lnFrench, kv::lnGerman, kv::lnSpanish,
                                       kv::lnPortuguese};
    const auto& entries = treetest::kMenuEntries;
    // The pictures are loaded with the 3-D colour mapping: their grey background becomes the
    // menu face colour of the system, here one that differs from the grey they are drawn in.
    const COLORREF face = RGB(0xD4, 0xD0, 0xC8);
    tmbtest::ScopedFaceColour faceColour(face);
    for (kv::TLanguage language : languages) {
        tree_->SetLanguage(language);
        TKvDirTree21PopUp* menu = tree_->OwnMenu();
        treetest::ExpectMenuEntries(menu->Items(), language);
        ASSERT_EQ(menu->Items().size(), 15u);
        std::vector<HBITMAP> seen;
        for (int i = 0; i < TKvDirTree21PopUp::kItemCount; ++i) {
            const tmb::MenuItem& item = menu->Items()[i];
            if (!*entries[i].name) {
                EXPECT_EQ(item.bitmap, nullptr);
                continue;
            }
            ASSERT_NE(item.bitmap, nullptr) << entries[i].name;
            BITMAP info{};
            ASSERT_TRUE(GetObjectW(item.bitmap, sizeof(info), &info));
            EXPECT_EQ(info.bmWidth, 16);
            EXPECT_EQ(info.bmHeight, 16);
            for (HBITMAP other : seen)
                EXPECT_NE(other, item.bitmap);
            seen.push_back(item.bitmap);
        }
        EXPECT_EQ(seen.size(), 11u);
    }
    const HBITMAP picture = tree_->OwnMenu()->Items()[0].bitmap;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    EXPECT_EQ(GetPixel(dc, 0, 0), face);
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST_F(TreeCommands, PasteIsEnabledOnAFolderOnlyWhileACutOrCopyWaits) {
    const std::wstring a = dir_.AddFolder(L"a");
    Pick(a);
    EXPECT_EQ(States(), "EEESEEDSEESEESE");
    tree_->CutOrCopy(kv::foCopy);
    EXPECT_EQ(States(), "EEESEEESEESEESE");
    tree_->LocatePath(L"C:\\");
    EXPECT_EQ(States(), "EDDSDDDSEESEESE") << "a drive takes no paste";

    // Only a named entry with a tag acts: a separator or a stranger's entry does nothing.
    tmb::MenuItem stranger;
    stranger.caption = L"Tree &Size";
    stranger.tag = 7;
    tree_->OwnMenu()->MenuItemClick(stranger);
    tree_->OwnMenu()->MenuItemClick(tree_->OwnMenu()->Items()[3]);
    EXPECT_TRUE(script_->Calls().empty());
}

TEST_F(TreeCommands, ARightClickAndAnAcceleratorRunTheCommandOfTheEntry) {
    dir_.AddFile(L"data.bin", 1536);
    Pick(dir_.Path());
    // Typed inside the menu's own loop: Tree &Size.
    tmbtest::OpenMenuWatch typeAccelerator([](HWND menu) {
        PostMessageW(menu, WM_KEYDOWN, 's', 0);
        PostMessageW(menu, WM_CHAR, 's', 0);
        return true;
    });
    PostRightClick(tree_->Selected());
    for (int i = 0; i < 30 && Boxes().empty(); ++i)
        tmbtest::PumpFor(10);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find(L"1,536 Bytes"), std::wstring::npos) << U8(Boxes()[0].text);
}

// --- new folder -------------------------------------------------------------------------------

TEST_F(TreeCommands, ANewFolderWithoutANameTakesTheDefaultAndGoesStraightIntoEditing) {
    ASSERT_TRUE(tree_->AddNewFolder(nullptr, L""));
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"New Folder"));
    ASSERT_TRUE(tree_->IsEditing());
    EXPECT_EQ(tree_->NodeText(tree_->Selected()), L"New Folder");
    EXPECT_EQ(events_, std::vector<std::wstring>{dir_ / L"New Folder\\"});
    EXPECT_TRUE(tree_->NamingNewFolder());
    // Cancelled: the folder keeps the default name, and nothing was asked.
    tmbtest::PressKey(TreeView_GetEditControl(tree_->Handle()), VK_ESCAPE);
    EXPECT_FALSE(tree_->IsEditing());
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"New Folder"));
    EXPECT_FALSE(tree_->NamingNewFolder());

    // Once more: the name exists now, so nothing is made, nothing said, and no edit starts.
    Pick(dir_.Path());
    EXPECT_FALSE(tree_->AddNewFolder(nullptr, L""));
    EXPECT_FALSE(tree_->IsEditing());
    EXPECT_FALSE(tree_->NamingNewFolder()) << "the next rename must still ask";
    EXPECT_TRUE(script_->Calls().empty());

    // A name given is made, selected and reported, with no edit.
    EXPECT_TRUE(tree_->AddNewFolder(nullptr, L"given & #1"));
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"given & #1"));
    EXPECT_EQ(tree_->NodeText(tree_->Selected()), L"given & #1");
    EXPECT_FALSE(tree_->IsEditing());
}

TEST_F(TreeCommands, ANewFolderIsRefusedOnTheRootAndForAForbiddenCharacter) {
    tree_->SetLanguage(kv::lnPortuguese);
    tree_->OpenFolder(dir_.Path());
    EXPECT_FALSE(tree_->AddNewFolder(tree_->TopNode(), L"x"));
    EXPECT_FALSE(tree_->AddNewFolder(nullptr, L"a;b"));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_TRUE(IsMessage(Boxes()[0], L"ERRO - N\u00e3o \u00e9 poss\u00edvel adicionar unidades",
                          MsgDlgType::Error));
    EXPECT_EQ(Boxes()[1].text, L"o nome da pasta cont\u00e9m caracteres inv\u00e1lidos.");
    EXPECT_FALSE(tmbtest::FolderExists(dir_ / L"a;b"));
    // In Portuguese the default name is Portuguese.
    EXPECT_TRUE(tree_->AddNewFolder(nullptr, L""));
    EXPECT_TRUE(tmbtest::FolderExists(dir_ / L"Nova pasta"));
    tmbtest::PressKey(TreeView_GetEditControl(tree_->Handle()), VK_ESCAPE);
}

// --- delete -----------------------------------------------------------------------------------

TEST_F(TreeCommands, DeleteAsksThroughTheShellAndYesSendsTheFolderToTheRecycleBin) {
    const std::wstring trash = tmbtest::TrashFilesFolder();
    ASSERT_FALSE(trash.empty()) << "the tests need a private HOME with a recycle bin";
    const std::wstring name = L"to bin " + std::to_wstring(GetTickCount());
    const std::wstring folder = dir_.AddFolder(name);
    dir_.AddFile(name + L"\\inside.txt", 10);
    Pick(folder);
    const HTREEITEM parent = tree_->ParentOf(tree_->Selected());
    {
        tmbtest::ModalAutoAnswer answer(IDNO);
        EXPECT_FALSE(tree_->DeleteFolder(nullptr));
        EXPECT_EQ(answer.Count(), 1);
    }
    EXPECT_TRUE(tmbtest::FolderExists(folder));
    EXPECT_TRUE(Child(parent, name));
    {
        tmbtest::ModalAutoAnswer answer(IDYES);
        EXPECT_TRUE(tree_->DeleteFolder(nullptr));
        EXPECT_EQ(answer.Count(), 1);
    }
    EXPECT_FALSE(tmbtest::FolderExists(folder));
    EXPECT_TRUE(tmbtest::FileExists(trash + L"\\" + name + L"\\inside.txt")) << "restorable";
    EXPECT_EQ(tree_->Selected(), parent);
    EXPECT_EQ(Child(parent, name), nullptr);
    EXPECT_TRUE(script_->Calls().empty());
}

TEST_F(TreeCommands, AFolderRemovedBehindTheTreesBackIsNamedWithTheNotFoundText) {
    const std::wstring folder = dir_.AddFolder(L"gone");
    Pick(folder);
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));
    tmbtest::ModalAutoAnswer none(IDCANCEL);
    EXPECT_FALSE(tree_->DeleteFolder(nullptr));
    EXPECT_EQ(none.Count(), 0) << "the shell is not asked";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(IsMessage(Boxes()[0], folder + L"not found", MsgDlgType::Error));
    // The root and drives are never deleted.
    tree_->LocatePath(L"C:\\");
    EXPECT_FALSE(tree_->DeleteFolder(nullptr));
    EXPECT_FALSE(tree_->DeleteFolder(tree_->TopNode()));
    EXPECT_EQ(Boxes().size(), 1u);
}

// --- cut, copy, paste ---------------------------------------------------------------------------

TEST_F(TreeCommands, ACutFolderIsMovedByThePasteAndTheTreeOpensAtTheTarget) {
    const std::wstring from = dir_.AddFolder(L"from");
    const std::wstring to = dir_.AddFolder(L"to");
    dir_.AddFile(L"from\\moving.txt", 5);
    Pick(from);
    tree_->CutOrCopy(kv::foCopy);
    bool move = true;  // offered to other programs as the shell offers a folder
    EXPECT_EQ(kv::ClipboardFiles(nullptr, move), std::vector<std::wstring>{from});
    EXPECT_FALSE(move);
    tree_->CutOrCopy(kv::foMove);
    EXPECT_EQ(kv::ClipboardFiles(nullptr, move), std::vector<std::wstring>{from});
    EXPECT_TRUE(move);
    EXPECT_TRUE(tree_->PastePending());
    EXPECT_EQ(tree_->PasteSource(), from);
    EXPECT_TRUE(tmbtest::FolderExists(from)) << "nothing happens before the paste";
    Pick(to);
    events_.clear();
    tree_->PasteFolder();
    EXPECT_FALSE(tmbtest::FolderExists(from));
    EXPECT_TRUE(tmbtest::FileExists(to + L"\\from\\moving.txt"));
    EXPECT_FALSE(tree_->PastePending());
    EXPECT_EQ(tree_->PasteTarget(), to + L"\\");
    EXPECT_EQ(tree_->SelectedPath(), to + L"\\");
    EXPECT_EQ(events_, std::vector<std::wstring>{to + L"\\"});
    EXPECT_NE(Child(tree_->Selected(), L"from"), nullptr) << "the rebuilt tree shows it";
    EXPECT_TRUE(script_->Calls().empty());
}

TEST_F(TreeCommands, ACopyAllowsOnePasteAndACancelInTheShellSaysTheOperationFailed) {
    const std::wstring from = dir_.AddFolder(L"original");
    dir_.AddFile(L"original\\a.txt", 5);
    const std::wstring to = dir_.AddFolder(L"copies");
    Pick(from);
    tree_->CutOrCopy(kv::foCopy);
    Pick(to);
    tree_->PasteFolder();
    EXPECT_TRUE(tmbtest::FileExists(to + L"\\original\\a.txt"));
    EXPECT_TRUE(tmbtest::FileExists(from + L"\\a.txt"));
    EXPECT_FALSE(tree_->PastePending());
    tree_->PasteFolder();  // nothing waits: nothing happens
    EXPECT_TRUE(script_->Calls().empty());

    // Copied again onto itself: the shell asks about the existing folder, the user cancels.
    Pick(from);
    tree_->CutOrCopy(kv::foCopy);
    Pick(to);
    {
        tmbtest::ModalAutoAnswer answer(IDCANCEL);
        tree_->PasteFolder();
        EXPECT_GE(answer.Count(), 1);
    }
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, L"File operation failed");
    EXPECT_FALSE(tree_->PastePending());

    // A cut of no folder (the root) leaves nothing to paste.
    tree_->CutOrCopy(kv::foCopy);
    ASSERT_TRUE(tree_->PastePending());
    tree_->LocatePath(L"C:\\");
    tree_->CutOrCopy(kv::foMove);
    EXPECT_FALSE(tree_->PastePending());
    EXPECT_EQ(tree_->PendingOperation(), -1);
}

// --- tree size ----------------------------------------------------------------------------------

TEST_F(TreeCommands, TheTreeSizeReportCountsEveryFileWithItsFullSize) {
    struct Case {
        std::vector<std::uint64_t> files;
        const wchar_t* bytes;
        const wchar_t* size;
    };
    const Case cases[] = {
        {{}, L"0 Bytes", L"0.00 KB"},
        {{500}, L"500 Bytes", L"1.00 KB"},
        {{1000, 536}, L"1,536 Bytes", L"1.50 KB"},
        {{200000000}, L"200,000,000 Bytes", L"190.73 MB"},
        {{5368709120ull, 1}, L"5,368,709,121 Bytes", L"5,120.00 MB"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring name = L"size " + std::to_wstring(++n);
        const std::wstring folder = dir_.AddFolder(name);
        dir_.AddFolder(name + L"\\deeper");
        for (std::size_t i = 0; i < c.files.size(); ++i)
            dir_.AddFile(name + (i % 2 ? L"\\deeper\\f" : L"\\f") + std::to_wstring(i),
                         c.files[i], i ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL);
        Pick(folder);
        EXPECT_TRUE(IsMessage(TreeSizeBox(),
                              L"===== TREE SIZE =====\r\rFolder \"" + name +
                                  L"\"\rand all its Sub-Folders \r =  " + c.bytes +
                                  L"\r     (i.e. " + c.size + L" )",
                              MsgDlgType::Information));
    }
    EXPECT_EQ(TKvDirTree21::GetFolderSize(L""), 0.0);
    EXPECT_EQ(TKvDirTree21::GetFolderSize(dir_ / L"missing"), 0.0);

    // A drive is titled by its root.
    tmbtest::WineDrive drive(L'Q', DRIVE_FIXED, true);
    ASSERT_TRUE(drive.Defined());
    tmbtest::TempFolder unused;
    ASSERT_TRUE(CreateDirectoryW((drive.MediumDir() + L"\\x").c_str(), nullptr));
    tree_->Reload();
    tree_->LocatePath(L"Q:\\");
    EXPECT_EQ(TreeSizeBox().text.find(L"===== TREE SIZE =====\r\rDrive Q:\\\r"), 0u);
}

TEST_F(TreeCommands, TheSizeWalkEndsOnALinkLoopAndCountsNoFolderTwice) {
    // Made by the test script from the Unix side (Wine cannot make a link itself): a file of
    // 500 bytes, a link to the folder's parent and one to the folder itself.
    const std::wstring loop = L"C:\\tombarel-fixtures\\linkloop";
    ASSERT_TRUE(tmbtest::FolderExists(loop + L"\\sub\\up")) << "scripts/test.sh makes it";
    EXPECT_EQ(TKvDirTree21::GetFolderSize(loop), 500.0);
    EXPECT_EQ(TKvDirTree21::GetFolderSize(loop + L"\\sub"), 500.0);
}

TEST_F(TreeCommands, EscapeStopsTheCountAndTheReportSaysSo) {
    dir_.AddFile(L"one", 700);
    Pick(dir_.Path());
    PostMessageW(tree_->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    const std::wstring text = TreeSizeBox().text;
    const std::wstring tail = L"\r\rCancelled: only what was counted until then";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << U8(text);
    // Without Escape the same report has no such line.
    const std::wstring again = TreeSizeBox().text;
    EXPECT_EQ(again.find(L"Cancelled"), std::wstring::npos);
    EXPECT_NE(again.find(L"700 Bytes"), std::wstring::npos);
}

// --- folder contents ------------------------------------------------------------------------------

TEST_F(TreeCommands, TheContentsWindowListsTheFilesSortedOpensOneAndOKHandsItBack) {
    const std::wstring folder = dir_.AddFolder(L"listed");
    dir_.AddFile(L"listed\\b.tmbtree", 3);
    dir_.AddFile(L"listed\\A.txt", 1);
    dir_.AddFile(L"listed\\c.TXT", 2, FILE_ATTRIBUTE_HIDDEN);
    dir_.AddFolder(L"listed\\sub folder");
    Pick(folder);
    std::vector<std::wstring> chosen;
    tree_->OnFileChange = [&](tmb::Component* sender, const std::wstring& file) {
        EXPECT_EQ(sender, tree_);
        chosen.push_back(file);
    };
    tree_->ShowFolderContents();
    kv::TKvFolderContents* window = tree_->ContentsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Names(), (std::vector<std::wstring>{L"A.txt", L"b.tmbtree", L"c.TXT"}));
    EXPECT_EQ(kv::ContentsPath, folder);
    EXPECT_EQ(window->Text(), L"Files in \" ..\\listed \"");
    EXPECT_FALSE(tree_->Expanded(tree_->TopNode())) << "the tree is collapsed under it";
    HWND h = window->Handle();
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(GetParent(h), tree_->Handle());
    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & WS_SYSMENU) << "no close box";
    RECT inTree{}, frame{};
    GetClientRect(tree_->Handle(), &inTree);
    GetWindowRect(h, &frame);
    EXPECT_EQ(frame.right - frame.left, inTree.right);
    EXPECT_EQ(frame.bottom - frame.top, inTree.bottom);
    HWND list = window->ListHandle();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListView_GetItemCount(list), 3);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 0);
    wchar_t text[64] = {};
    ListView_GetItemText(list, 1, 0, text, 64);
    EXPECT_STREQ(text, L"b.tmbtree");
    // A request with no room for the text gets nothing written.
    std::wstring guard(16, L'#');
    NMLVDISPINFOW ask{};
    ask.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_GETDISPINFOW};
    ask.item.mask = LVIF_TEXT;
    ask.item.iItem = 1;
    ask.item.pszText = guard.data();
    ask.item.cchTextMax = 0;
    SendMessageW(GetParent(list), WM_NOTIFY, ask.hdr.idFrom, reinterpret_cast<LPARAM>(&ask));
    EXPECT_EQ(guard, std::wstring(16, L'#'));

    // A double click opens the file with its program.
    const std::wstring marker = dir_ / L"opened.marker";
    tmbtest::OpenHandler handler(L".tmbtree", marker);
    RECT item{};
    ASSERT_TRUE(ListView_GetItemRect(list, 1, &item, LVIR_LABEL));
    tmbtest::DoubleClick(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_TRUE(tmbtest::WaitForFile(marker));
    EXPECT_TRUE(IsWindowVisible(h)) << "shown again after the open";
    EXPECT_EQ(window->SelectedIndex(), 1);

    // OK hands the selected file to the tree and opens it at the folder shown, even when
    // another tree's contents window has been opened since.
    kv::ContentsPath = L"C:\\";
    events_.clear();
    tmbtest::Click(window->OkButton()->Handle(), 5, 5);
    EXPECT_EQ(chosen, std::vector<std::wstring>{folder + L"\\b.tmbtree"});
    EXPECT_EQ(tree_->SelectedFile(), folder + L"\\b.tmbtree");
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(window->ListHandle(), nullptr) << "the list is freed";
    EXPECT_EQ(tree_->SelectedPath(), folder + L"\\");
    EXPECT_EQ(events_, std::vector<std::wstring>{folder + L"\\"});
}

TEST_F(TreeCommands, TheContentsWindowOfAnEmptyFolderOrADriveAndOKWithNothingChosen) {
    const std::wstring empty = dir_.AddFolder(L"empty");
    dir_.AddFolder(L"empty\\only a folder");
    Pick(empty);
    tree_->SetSelectedFile(L"C:\\before.txt");
    int fired = 0;
    tree_->OnFileChange = [&](tmb::Component*, const std::wstring&) { ++fired; };
    tree_->ShowFolderContents();
    kv::TKvFolderContents* first = tree_->ContentsWindow();
    EXPECT_TRUE(first->Names().empty());
    EXPECT_EQ(ListView_GetItemCount(first->ListHandle()), 0);
    // Enter in the list is the default button's.
    tmbtest::PressKey(first->ListHandle(), VK_RETURN);
    tmbtest::PumpFor(50);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(tree_->SelectedFile(), L"");
    EXPECT_EQ(tree_->SelectedPath(), empty + L"\\");

    tree_->LocatePath(L"C:\\");
    tree_->ShowFolderContents();
    EXPECT_EQ(tree_->ContentsWindow()->Text(), L"Files in \" C:\\ \"");
}

// --- the linked file list ---------------------------------------------------------------------

TEST_F(TreeCommands, TheLinkedFileListFollowsADeleteAMappedDriveAndADisconnect) {
    auto* view = tmbtest::PlaceOn<kv::TKvFilelistView28>(form_.Form(), 0, 0, 10, 10);
    const std::wstring folder = dir_.AddFolder(L"doomed");
    Pick(folder);
    tree_->SetFileList(view);
    ASSERT_TRUE(tmb::SameText(kv::DelSlash(view->Directory()), folder));
    {
        tmbtest::ModalAutoAnswer answer(IDYES);
        ASSERT_TRUE(tree_->DeleteFolder(nullptr));
    }
    EXPECT_TRUE(tmb::SameText(kv::DelSlash(view->Directory()), dir_.Path()))
        << "the list shows the parent: " << U8(view->Directory());

    std::unique_ptr<tmbtest::WineDrive> mapped;
    script_->AnswerNetwork(NO_ERROR, [&] {
        mapped = std::make_unique<tmbtest::WineDrive>(L'K', DRIVE_REMOTE, true);
    });
    tree_->ConnectNetDrive();
    EXPECT_TRUE(tmb::SameText(view->Directory(), L"K:\\")) << U8(view->Directory());

    mapped.reset();
    tree_->DisconnectNetDrive();
    EXPECT_TRUE(view->IsDrivesView()) << U8(view->Directory());
    tmb::Destroy(view);
}

// --- network drives and properties -----------------------------------------------------------

TEST_F(TreeCommands, AMappedDriveIsFoundByItsNewLetterAndACancelChangesNothing) {
    const std::wstring before = tree_->SelectedPath();
    const HTREEITEM selected = tree_->Selected();
    tree_->ConnectNetDrive();  // the script cancels
    ASSERT_EQ(script_->CallsOf(ModalCall::Kind::NetConnect).size(), 1u);
    EXPECT_EQ(script_->CallsOf(ModalCall::Kind::NetConnect)[0].flags, unsigned(RESOURCETYPE_DISK));
    EXPECT_EQ(tree_->SelectedPath(), before);
    EXPECT_EQ(tree_->Selected(), selected);

    // Success without a new drive is treated as a cancel.
    script_->AnswerNetwork(NO_ERROR);
    tree_->ConnectNetDrive();
    EXPECT_EQ(tree_->SelectedPath(), before);

    // The user maps K:, below drives already present (Z: is Wine's root): K: is selected.
    std::unique_ptr<tmbtest::WineDrive> mapped;
    script_->AnswerNetwork(NO_ERROR, [&] {
        mapped = std::make_unique<tmbtest::WineDrive>(L'K', DRIVE_REMOTE, true);
    });
    tree_->ConnectNetDrive();
    ASSERT_TRUE(mapped && mapped->Defined());
    EXPECT_EQ(tree_->SelectedPath(), L"K:\\");
    ASSERT_NE(tree_->Selected(), nullptr);
    EXPECT_EQ(tree_->GetNodePath(tree_->Selected()), L"K:\\");
    EXPECT_TRUE(tree_->Expanded(tree_->TopNode()));
    EXPECT_TRUE(events_.empty()) << "no OnDirChange for a mapped drive";

    // Disconnecting rebuilds the tree at its root, whatever the dialog answered.
    mapped.reset();
    tree_->DisconnectNetDrive();
    ASSERT_EQ(script_->CallsOf(ModalCall::Kind::NetDisconnect).size(), 1u);
    EXPECT_EQ(tree_->SelectedPath(), L"Drives");
    EXPECT_EQ(tree_->Selected(), tree_->TopNode());
    EXPECT_EQ(Drive(L'K'), nullptr);
}

TEST_F(TreeCommands, PropertiesAreShownForTheSelectedFolderOrDrive) {
    const std::wstring folder = dir_.AddFolder(L"props");
    Pick(folder);
    tree_->ShowItemProperties();
    tree_->LocatePath(L"C:\\");
    tree_->ShowItemProperties();
    tree_->LocatePath(L"C:\\");
    tree_->Select(tree_->TopNode());
    tree_->ShowItemProperties();  // the root has no path: nothing
    const auto sheets = script_->CallsOf(ModalCall::Kind::Properties);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].text, folder);
    EXPECT_EQ(sheets[1].text, L"C:\\");
}

} // namespace
