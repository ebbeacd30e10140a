// The list's context menu on a real list of real folders: the menu opened by a right click
// and driven by keys, and every entry's operation with its effect on disk, on the clipboard,
// in the recycle bin, in the list and in the linked tree.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "explorer/KvDirTree21.h"
#include "explorer/KvFilelistView28.h"
#include "explorer/KvFilelistView28PopUp.h"
#include "explorer/KvSendTo.h"
#include "framework/TextConv.h"
#include "tests/support/ClipboardData.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"
#include "tests/support/WineDrives.h"

namespace {

using kv::TKvFilelistView28;
using kv::TKvFilelistView28PopUp;
using tmbtest::ClipboardText;
using tmbtest::FileExists;
using tmbtest::FolderExists;
using tmbtest::ModalCall;
using tmbtest::TempFolder;

// Opens the list's context menu at screen point `at` as a right click does; while it is up,
// remembers where it opened and what it enabled, then types the keys (the menu takes real
// keyboard input).
struct MenuDriver {
    bool seen = false;
    POINT shownAt{};
    std::string enabling;

    MenuDriver(HWND list, POINT at, std::vector<WORD> keys) {
        tmbtest::OpenMenuWatch watch([&](HWND menuWindow) {
            seen = true;
            shownAt = tmbtest::TopLeftOf(menuWindow);
            enabling = tmbtest::MenuStates(tmbtest::MenuOfWindow(menuWindow));
            for (WORD key : keys) {
                keybd_event(static_cast<BYTE>(key), 0, 0, 0);
                keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
            }
            return true;
        }, 50);
        SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    }
};

class ListOperations : public testing::Test {
protected:
    void SetUp() override {
        kv::ViewLanguage = kv::lnEnglish;
        list_ = new TKvFilelistView28(&form_.Form());
        list_->SetBounds(0, 0, 580, 380);
        list_->SetParent(&form_.Form());
        list_->SetParentDirEnabled(true);
    }
    void TearDown() override {
        tmb::Destroy(list_);
        if (tree_)
            tmb::Destroy(tree_);
    }

    TKvFilelistView28PopUp& Menu() {
        auto* menu = dynamic_cast<TKvFilelistView28PopUp*>(list_->OwnMenu());
        if (!menu)
            throw std::runtime_error("the list has no context menu");
        return *menu;
    }
    // Runs the entry named `name` (top level or in the Send To submenu) as a click does.
    void Choose(const std::wstring& name) {
        auto& items = Menu().Items();
        for (const tmb::MenuItem& item : items) {
            if (item.name == name)
                return Menu().MenuItemClick(item);
            for (const tmb::MenuItem& sub : item.items)
                if (sub.name == name)
                    return Menu().MenuItemClick(sub);
        }
        ADD_FAILURE() << "no entry " << U8(name);
    }
    void Show(const std::wstring& folder) {
        list_->SetDirectory(folder);
        tmbtest::Pump();
    }
    int IndexOfName(const std::wstring& name) const {
        for (int i = 0; i < list_->ItemCount(); ++i)
            if (kv::ExtractFileName(list_->ItemPath(i)) == name)
                return i;
        return -1;
    }
    void Select(std::initializer_list<const wchar_t*> names) {
        list_->ClearSelection();
        for (const wchar_t* name : names) {
            const int i = IndexOfName(name);
            ASSERT_GE(i, 0) << U8(name);
            list_->SetSelected(i, true);
        }
    }
    bool Listed(const std::wstring& name) const { return IndexOfName(name) >= 0; }
    // A small folder tree in the form's corner, linked to the list.
    void AddTree() {
        tree_ = new kv::TKvDirTree21(&form_.Form());
        tree_->SetBounds(0, 0, 10, 10);
        tree_->SetParent(&form_.Form());
        list_->SetDirTree(tree_);
    }

    tmbtest::TestForm form_{600, 400};
    TKvFilelistView28* list_ = nullptr;
    kv::TKvDirTree21* tree_ = nullptr;
};

TEST_F(ListOperations, RightClickOpensTheMenuBesideThePointerEnabledForTheSelection) {
    TempFolder folder;
    folder.AddFile(L"notes.txt", 3);
    folder.AddFile(L"tool.exe", 3);
    Show(folder.Path());
    Select({L"notes.txt"});
    list_->SetFocus();

    // Down five times from the top is Copy (Open, View, Send To, Cut, Copy).
    const POINT at = tmbtest::ToScreen(list_->Handle(), 60, 40);
    {
        MenuDriver driver(list_->Handle(), at, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
        ASSERT_TRUE(driver.seen);
        EXPECT_EQ(driver.shownAt.x, at.x + 10);
        EXPECT_EQ(driver.shownAt.y, at.y + 10);
        EXPECT_EQ(driver.enabling, "11-1-110-11-1-1");
    }
    ASSERT_EQ(list_->ClipboardList().size(), 1u);
    EXPECT_EQ(U8(list_->ClipboardList()[0]), U8(folder / L"notes.txt" + L'\0'));
    EXPECT_EQ(list_->PendingOperation(), kv::foCopy);

    // Two selected, one of them no text: View follows the first, Rename is off; Paste is on.
    Select({L"tool.exe", L"notes.txt"});
    EXPECT_EQ(MenuDriver(list_->Handle(), at, {VK_ESCAPE}).enabling, "11-1-111-01-1-1");
    // Nothing selected: only Paste and New Folder.
    list_->ClearSelection();
    EXPECT_EQ(MenuDriver(list_->Handle(), at, {VK_ESCAPE}).enabling, "00-0-001-00-0-1");
}

TEST_F(ListOperations, CopyThenPasteTwiceThenTheSecondPasteIsOff) {
    TempFolder from, to;
    from.AddFile(L"a.txt", 10);
    from.AddFile(L"b ção.txt", 20);
    Show(from.Path());
    Select({L"a.txt", L"b ção.txt"});
    Choose(L"ItemOpCopy");
    Show(to.Path());
    EXPECT_TRUE(Menu().ListState().clipboardFilled);
    Choose(L"ItemOpPaste");
    EXPECT_TRUE(FileExists(to / L"a.txt"));
    EXPECT_TRUE(FileExists(to / L"b ção.txt"));
    EXPECT_TRUE(FileExists(from / L"a.txt"));
    EXPECT_TRUE(Listed(L"a.txt") && Listed(L"b ção.txt"));
    EXPECT_FALSE(Menu().ListState().clipboardFilled);

    // Pasting with nothing to paste (as Ctrl+V cannot, but a caller may) only warns.
    tmbtest::DialogScript script;
    list_->Paste();
    EXPECT_EQ(script.Texts(), std::vector<std::wstring>{L"No file(s) selected"});
}

// A key as the user types it, with Ctrl held when asked, into the focused list.
void Type(WORD key, bool ctrl = false) {
    if (ctrl)
        keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    if (ctrl)
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    tmbtest::PumpFor(50);
}

TEST_F(ListOperations, TheKeysReachTheSameOperations) {
    TempFolder from, to;
    from.AddFile(L"typed.txt", 3);
    Show(from.Path());
    Select({L"typed.txt"});
    SetForegroundWindow(form_.Handle());
    list_->SetFocus();
    Type('C', true);
    ASSERT_EQ(list_->ClipboardList().size(), 1u);
    Show(to.Path());
    list_->SetFocus();
    Type('V', true);
    EXPECT_TRUE(FileExists(to / L"typed.txt"));
    EXPECT_TRUE(list_->ClipboardList().empty());

    Select({L"typed.txt"});
    {
        tmbtest::ModalAutoAnswer yes(IDYES);
        Type(VK_DELETE);
        EXPECT_EQ(yes.Count(), 1);
    }
    EXPECT_FALSE(FileExists(to / L"typed.txt"));
    EXPECT_TRUE(FileExists(from / L"typed.txt"));
}

TEST_F(ListOperations, CutInOneFolderPasteInAnotherMovesAndTheTreeFollows) {
    AddTree();
    list_->SetBounds(10, 0, 570, 380);
    TempFolder from, to;
    from.AddFile(L"moved.txt", 5);
    ASSERT_TRUE(tmbtest::WriteFileBytes(from.AddFolder(L"Sub folder") + L"\\inside.txt", "inside"));
    Show(from.Path());
    Select({L"moved.txt", L"Sub folder"});
    Choose(L"ItemOpCut");
    Show(to.Path());
    Choose(L"ItemOpPaste");
    EXPECT_FALSE(FileExists(from / L"moved.txt"));
    EXPECT_FALSE(FolderExists(from / L"Sub folder"));
    EXPECT_TRUE(FileExists(to / L"moved.txt"));
    EXPECT_EQ(tmbtest::ReadFileBytes(to / L"Sub folder\\inside.txt"), "inside");
    EXPECT_TRUE(Listed(L"moved.txt") && Listed(L"Sub folder"));
    EXPECT_TRUE(tmb::SameText(tree_->SelectedPath(), to.Path() + L"\\"))
        << U8(tree_->SelectedPath());
}

TEST_F(ListOperations, DeleteMovesTheWholeSelectionToTheRecycleBinButNeverTheParent) {
    TempFolder parent;
    const std::wstring folder = parent.AddFolder(L"work");
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder + L"\\gone one.txt", "first"));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder + L"\\gone two.txt", "second"));
    ASSERT_TRUE(tmbtest::WriteFileBytes(folder + L"\\kept.txt", "kept"));
    Show(folder);
    Select({L"gone one.txt", L"gone two.txt", L".."});
    list_->CutOrCopy(kv::foCopy);
    {
        tmbtest::ModalAutoAnswer yes(IDYES);
        Choose(L"ItemDelete");
        EXPECT_EQ(yes.Count(), 1);  // one confirmation for the whole selection
    }
    EXPECT_FALSE(FileExists(folder + L"\\gone one.txt"));
    EXPECT_FALSE(FileExists(folder + L"\\gone two.txt"));
    EXPECT_TRUE(FileExists(folder + L"\\kept.txt"));
    EXPECT_TRUE(FolderExists(parent.Path()));
    EXPECT_FALSE(Listed(L"gone one.txt"));
    EXPECT_TRUE(Listed(L"kept.txt"));
    EXPECT_TRUE(list_->ClipboardList().empty());
    // Restorable: the recycle bin holds them whole.
    EXPECT_EQ(tmbtest::ReadFileBytes(tmbtest::TrashFilesFolder() + L"\\gone one.txt"), "first");
    EXPECT_EQ(tmbtest::ReadFileBytes(tmbtest::TrashFilesFolder() + L"\\gone two.txt"), "second");
}

TEST_F(ListOperations, NewFolderTakesTheFirstFreeNumberAndStartsEditingIt) {
    TempFolder folder;
    folder.AddFolder(L"New Folder");
    folder.AddFolder(L"New Folder(2)");
    Show(folder.Path());
    Choose(L"ItemFolder");
    EXPECT_TRUE(FolderExists(folder / L"New Folder(3)"));
    ASSERT_TRUE(list_->IsEditing());
    const int selected = list_->SelectedIndex();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(U8(list_->ItemPath(selected)), U8(folder / L"New Folder(3)"));
    EXPECT_EQ(list_->SelectedCount(), 1);

    // Confirming a name renames the new folder.
    HWND edit = ListView_GetEditControl(list_->Handle());
    SetWindowTextW(edit, L"Reports");
    tmbtest::PressKey(edit, VK_RETURN);
    tmbtest::PumpFor(50);
    EXPECT_TRUE(FolderExists(folder / L"Reports"));
    EXPECT_FALSE(FolderExists(folder / L"New Folder(3)"));
}

TEST_F(ListOperations, SendToShortcutsCopyToTheirFolderOrStartTheirProgramWithTheName) {
    std::wstring sendTo;
    ASSERT_TRUE(kv::GetSpecialFolderPath(CSIDL_SENDTO, sendTo));
    TempFolder files, target, tools;
    files.AddFile(L"first file.txt", 4);
    files.AddFile(L"second.txt", 4);
    // A program that writes down the parameter it got and the folder it works in.
    const std::wstring recorder = tools / L"record.bat";
    ASSERT_TRUE(tmbtest::WriteFileBytes(recorder, "@echo %~1>\"%~dp0seen.txt\"\r\n@cd>>\"%~dp0seen.txt\"\r\n"));
    const std::wstring toFolder = sendTo + L"\\A folder.lnk";
    const std::wstring toProgram = sendTo + L"\\B program.lnk";
    ASSERT_TRUE(kv::CreateShortcut(toFolder, target.Path(), target.Path(), L""));
    ASSERT_TRUE(kv::CreateShortcut(toProgram, recorder, tools.Path(), L""));

    // The SendTo folder is read when the menu is built: the next language change shows them.
    list_->SetLanguage(kv::lnGerman);
    list_->SetLanguage(kv::lnEnglish);
    struct Remove {
        std::wstring a, b;
        ~Remove() {
            DeleteFileW(a.c_str());
            DeleteFileW(b.c_str());
        }
    } remove{toFolder, toProgram};
    const auto& paths = Menu().SendToPaths();
    ASSERT_EQ(paths.size(), 2u);
    const int folderEntry = paths[0] == toFolder ? 4 : 5;

    Show(files.Path());
    Select({L"first file.txt", L"second.txt"});
    Choose(L"Send_To" + std::to_wstring(folderEntry));
    EXPECT_TRUE(FileExists(target / L"first file.txt"));
    EXPECT_TRUE(FileExists(target / L"second.txt"));
    EXPECT_TRUE(FileExists(files / L"second.txt"));

    Choose(L"Send_To" + std::to_wstring(9 - folderEntry));
    // The program writes its two lines one after the other: both are waited for.
    std::string seen;
    for (int i = 0; i < 100 && std::count(seen.begin(), seen.end(), '\n') < 2; ++i) {
        tmbtest::PumpFor(50);
        seen = tmbtest::ReadFileBytes(tools / L"seen.txt");
    }
    // The first selected file's name, whole, and its folder as the working folder.
    EXPECT_EQ(seen, "first file.txt\r\n" + U8(files.Path()) + "\r\n");
}

TEST_F(ListOperations, SendToARemovableDriveWaitsForItsMedium) {
    tmbtest::WineDrive drive(L'R', DRIVE_REMOVABLE, true);
    ASSERT_TRUE(drive.Defined());
    TempFolder files, links;
    files.AddFile(L"copy me.txt", 4);
    const std::wstring link = links / L"Stick.lnk";
    ASSERT_TRUE(kv::CreateShortcut(link, drive.Root(), drive.Root(), L""));
    Show(files.Path());
    Select({L"copy me.txt"});

    ASSERT_TRUE(drive.EjectMedium());
    tmbtest::DialogScript script;
    list_->SendToTarget(link);
    EXPECT_EQ(script.Texts(),
              std::vector<std::wstring>{L"There is no disk in Drive or Drive is not ready"});

    ASSERT_TRUE(drive.InsertMedium());
    list_->SendToTarget(link);
    EXPECT_TRUE(FileExists(drive.MediumDir() + L"\\copy me.txt"));
    EXPECT_EQ(script.Texts().size(), 1u);
}

TEST_F(ListOperations, AnyFolderCopiesToTheTypedFolderAndCancelDoesNothing) {
    TempFolder files, target;
    files.AddFile(L"doc.txt", 4);
    Show(files.Path());
    Select({L"doc.txt"});
    tmbtest::DialogScript script;
    script.AnswerPrompt(tmb::mrCancel);
    Choose(L"Send_To0");
    EXPECT_FALSE(FileExists(target / L"doc.txt"));
    script.AnswerPrompt(tmb::mrOk, target.Path());
    Choose(L"Send_To0");
    EXPECT_TRUE(FileExists(target / L"doc.txt"));
    // A relative folder is read from the listed folder.
    files.AddFolder(L"near");
    script.AnswerPrompt(tmb::mrOk, L"near");
    Choose(L"Send_To0");
    EXPECT_TRUE(FileExists(files / L"near\\doc.txt"));
    EXPECT_EQ(script.CallsOf(ModalCall::Kind::FolderPrompt).size(), 3u);
}

TEST_F(ListOperations, ClipboardEntriesTakeNamesAndContents) {
    TempFolder files;
    files.AddFile(L"one.txt");
    ASSERT_TRUE(tmbtest::WriteFileBytes(files / L"two ção.txt", "Ol\xE1\r\nmundo"));  // in the ANSI code page
    files.AddFile(L"three.doc");
    Show(files.Path());
    Select({L"one.txt", L"two ção.txt", L"three.doc", L".."});
    Choose(L"Send_To2");
    std::vector<std::wstring> expected;
    for (int i : list_->SelectedIndices())
        if (!list_->IsParentItem(i))
            expected.push_back(list_->ItemPath(i));
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(U8(ClipboardText()),
              U8(expected[0] + L"\r\n" + expected[1] + L"\r\n" + expected[2]));

    Select({L"two ção.txt"});
    Choose(L"Send_To1");
    EXPECT_EQ(U8(ClipboardText()), "Olá\r\nmundo");
}

TEST_F(ListOperations, DesktopShortcutLandsOnTheUsersDesktopAndResolvesToTheFile) {
    TempFolder files;
    const std::wstring file = files.AddFile(L"Relatório final.txt", 4);
    Show(files.Path());
    tmbtest::DialogScript script;
    list_->CreateDesktopShortcut();  // nothing selected
    Select({L"Relatório final.txt"});
    Choose(L"Send_To3");
    const std::wstring link = kv::DesktopFolder() + L"\\Relatório final.lnk";
    EXPECT_EQ(U8(kv::ResolveShortcut(nullptr, link)), U8(file));
    DeleteFileW(link.c_str());
    EXPECT_EQ(script.Texts(), std::vector<std::wstring>{L"No file(s) selected"});

    // A shortcut already there is kept, also when it is the selected item itself: the new
    // one takes the next free name.
    Choose(L"Send_To3");
    Show(kv::DesktopFolder());
    Select({L"Relatório final.lnk"});
    Choose(L"Send_To3");
    const std::wstring second = kv::DesktopFolder() + L"\\Relatório final (2).lnk";
    EXPECT_EQ(U8(kv::ResolveShortcut(nullptr, link)), U8(file));
    EXPECT_EQ(U8(kv::ResolveShortcut(nullptr, second)), U8(link));
    DeleteFileW(link.c_str());
    DeleteFileW(second.c_str());

    // A drive gets no shortcut: the Send To entries are never offered for drives.
    list_->SetDirectory(L"Drives");
    list_->ClearSelection();
    for (int i = 0; i < list_->ItemCount(); ++i)
        if (list_->ItemPath(i) == L"C:\\")
            list_->SetSelected(i, true);
    ASSERT_EQ(list_->SelectedCount(), 1);
    Choose(L"Send_To3");
    EXPECT_FALSE(FileExists(kv::DesktopFolder() + L"\\C.lnk"));
    EXPECT_EQ(script.Texts().size(), 1u);
}

TEST_F(ListOperations, CutAndCopyReachTheSystemClipboardAndPasteTakesAnotherProgramsFiles) {
    TempFolder from, to;
    from.AddFile(L"mine.txt", 3);
    ASSERT_TRUE(tmbtest::WriteFileBytes(from / L"theirs ção.txt", "theirs"));
    Show(from.Path());
    Select({L"mine.txt", L".."});
    Choose(L"ItemOpCopy");
    bool move = true;  // read back as the shell's DragQueryFile reads them
    EXPECT_EQ(kv::ClipboardFiles(nullptr, move), std::vector<std::wstring>{from / L"mine.txt"});
    EXPECT_FALSE(move);
    Choose(L"ItemOpCut");
    EXPECT_EQ(kv::ClipboardFiles(nullptr, move).size(), 1u);
    EXPECT_TRUE(move);

    // Another program cuts a file after the list's own Cut: Paste moves that one.
    ASSERT_TRUE(kv::PutFilesOnClipboard(nullptr, {from / L"theirs ção.txt"}, true));
    Show(to.Path());
    EXPECT_TRUE(Menu().ListState().clipboardFilled);
    Choose(L"ItemOpPaste");
    EXPECT_EQ(tmbtest::ReadFileBytes(to / L"theirs ção.txt"), "theirs");
    EXPECT_FALSE(FileExists(from / L"theirs ção.txt"));
    EXPECT_TRUE(FileExists(from / L"mine.txt"));
    EXPECT_TRUE(Listed(L"theirs ção.txt"));

    // Another program's files of which one is gone since: the rest is pasted, and the
    // user is told which one could not be.
    // A drive among them has no name to be pasted as, and is passed over.
    tmbtest::DialogScript script;
    ASSERT_TRUE(kv::PutFilesOnClipboard(nullptr, {from / L"gone.txt", L"C:\\", from / L"mine.txt"}, false));
    Choose(L"ItemOpPaste");
    EXPECT_TRUE(FileExists(to / L"mine.txt"));
    EXPECT_EQ(script.Texts(), std::vector<std::wstring>{L"File operation failed\r\r" + from / L"gone.txt"});
}

TEST_F(ListOperations, AmongTheDrivesNothingIsSentAndNothingWaitsToBePasted) {
    // A copy waits from a folder; the clipboard holds another program's text.
    TempFolder files;
    files.AddFile(L"waiting.txt", 3);
    const std::wstring program = files / L"program.lnk";
    ASSERT_TRUE(kv::CreateShortcut(program, files / L"no such program.exe", files.Path(), L""));
    Show(files.Path());
    Select({L"waiting.txt"});
    Choose(L"ItemOpCopy");
    ASSERT_TRUE(kv::CopyLinesToClipboard(nullptr, {L"kept"}));
    Show(L"Drives");
    for (int i = 0; i < list_->ItemCount(); ++i)
        list_->SetSelected(i, list_->ItemPath(i) == L"C:\\");
    ASSERT_EQ(list_->SelectedCount(), 1);
    // Called as a program's own menu would call them, past the menu's rules.
    tmbtest::DialogScript script;
    for (int special = 0; special < 4; ++special)
        list_->SendToSpecial(special);
    list_->SendToTarget(program);
    EXPECT_EQ(script.Calls().size(), 0u) << (script.Texts().empty() ? "" : U8(script.Texts()[0]));
    EXPECT_EQ(ClipboardText(), L"kept");
    EXPECT_FALSE(Menu().ListState().clipboardFilled);
    EXPECT_EQ(list_->ClipboardList().size(), 1u) << "the copy still waits for a folder";
}

TEST_F(ListOperations, ACopySentToAFolderTheTreeHasReadShowsThereWhileTheListStaysPut) {
    TempFolder files;
    const std::wstring target = files.AddFolder(L"target");
    files.AddFolder(L"target\\old");
    files.AddFolder(L"sent");
    AddTree();
    tree_->OpenFolder(target);  // the tree reads the target's node
    Show(files.Path());
    Select({L"sent"});
    list_->CopyToFolder(target);
    EXPECT_TRUE(FolderExists(target + L"\\sent"));
    EXPECT_TRUE(tmb::SameText(kv::DelSlash(list_->Directory()), files.Path()));
    tree_->LocatePath(target);
    std::vector<std::wstring> shown;
    for (HTREEITEM c = tree_->FirstChild(tree_->Selected()); c; c = tree_->NextSibling(c))
        shown.push_back(tree_->NodeText(c));
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"old", L"sent"}));
}

TEST_F(ListOperations, ViewWithoutItsProgramReportsWhereItLooked) {
    TempFolder files;
    files.AddFile(L"picture.bmp", 4);
    Show(files.Path());
    Select({L"picture.bmp"});
    tmbtest::DialogScript script;
    Choose(L"ItemView");
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_EQ(script.Texts().size(), 1u);
    EXPECT_TRUE(tmb::SameText(script.Texts()[0], L"ERROR - Can't Open file " +
                                                     kv::AddSlash(windows) + L"PBrush.exe"))
        << U8(script.Texts()[0]);
}

TEST_F(ListOperations, PropertiesShowTheFirstSelectedEntrysSheet) {
    TempFolder files;
    files.AddFile(L"a.txt");
    files.AddFile(L"b.txt");
    Show(files.Path());
    Select({L"b.txt", L"a.txt"});
    tmbtest::DialogScript script;
    Choose(L"ItemProperty");
    const auto sheets = script.CallsOf(ModalCall::Kind::Properties);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(U8(sheets[0].text), U8(list_->ItemPath(list_->SelectedIndex())));
}

TEST_F(ListOperations, TheMenuIsRebuiltInTheListsLanguage) {
    list_->SetLanguage(kv::lnPortuguese);
    ASSERT_NE(list_->OwnMenu(), nullptr);
    EXPECT_EQ(list_->GetPopupMenu(), list_->OwnMenu());
    EXPECT_EQ(Menu().Served(), list_);
    EXPECT_EQ(U8(Menu().Items()[TKvFilelistView28PopUp::ItemFolder].caption), "&Nova pasta ...");
    EXPECT_EQ(U8(Menu().Items()[TKvFilelistView28PopUp::SubMenuSend].items[0].caption),
              "Para a pasta ...");
}

} // namespace
