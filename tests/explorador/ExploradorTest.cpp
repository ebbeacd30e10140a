// The explorer window: built in-process and driven through its menu, tree and list; and the
// built program started as a process of its own and driven from outside.
#include "explorador/explorador.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/TextConv.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using explorador::Tfmexplorador;
using tmbtest::ChildOfClass;
using tmbtest::TempFolder;
using tmbtest::WaitFor;

void StoreFolder(const std::wstring& folder) {
    ASSERT_TRUE(tmbtest::StoreRegistryString(explorador::kRegistryKey, explorador::kRegistryValue, folder));
}

std::wstring StoredFolder() {
    return tmbtest::StoredRegistryString(explorador::kRegistryKey, explorador::kRegistryValue);
}

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

bool Checked(HMENU bar, UINT command) {
    return (GetMenuState(bar, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class ExplorerWindow : public testing::Test {
protected:
    void Open(const std::wstring& startFolder = {}) {
        form_ = tmb::CreateForm<Tfmexplorador>(nullptr, startFolder);
        form_->Show();
        tmbtest::Pump();
    }
    void Close() {
        tmb::Destroy(form_);
        form_ = nullptr;
    }
    void Command(UINT id) { SendMessageW(form_->Handle(), WM_COMMAND, id, 0); }
    void TearDown() override {
        if (form_)
            tmb::Destroy(form_);
        tmbtest::Pump();
    }
    Tfmexplorador* form_ = nullptr;
};

TEST_F(ExplorerWindow, OpensAtTheStoredFolderAndStoresTheListsFolderWhenClosed) {
    TempFolder dir;
    dir.AddFile(L"one.txt", 3000);
    dir.AddFile(L"two.txt", 10);
    dir.AddFolder(L"sub");
    StoreFolder(dir.Path());
    Open();
    EXPECT_EQ(form_->files->Directory(), dir.Path() + L"\\");
    EXPECT_EQ(form_->dirs->FileList(), form_->files);
    EXPECT_EQ(form_->files->DirTree(), form_->dirs);
    EXPECT_EQ(form_->files->ItemCount(), 4);  // the parent, sub, one.txt, two.txt
    EXPECT_EQ(form_->StatusBar1->PanelText(0), L"4 object(s)");

    // Selecting files shows their count and size; the free space of the drive is there.
    form_->files->SetSelected(2, true);
    form_->files->SetSelected(3, true);
    tmbtest::Pump();
    EXPECT_EQ(form_->StatusBar1->PanelText(0), L"2 object(s)");
    EXPECT_EQ(form_->StatusBar1->PanelText(1), L"Selected: 3 KB");
    EXPECT_NE(form_->StatusBar1->PanelText(2).find(L"Free space: "), std::wstring::npos);

    // A folder opened in the tree: the count is the new folder's, once the list shows it
    // (the tree reports the pick before it tells the list).
    form_->dirs->OpenFolder(dir / L"sub");
    tmbtest::Pump();
    EXPECT_EQ(form_->files->ItemCount(), 1);  // the parent
    EXPECT_EQ(form_->StatusBar1->PanelText(0), L"1 object(s)");
    form_->files->SetDirectory(dir.Path());

    // Going into the folder from the list moves the tree along; closing remembers it.
    form_->files->SetDirectory(dir / L"sub");
    Close();
    EXPECT_EQ(StoredFolder(), dir / L"sub\\");
}

TEST_F(ExplorerWindow, AFolderItIsStartedWithWinsOverTheStoredOneAndABadOneIsReportedOnce) {
    TempFolder stored;
    TempFolder given;
    given.AddFile(L"x.txt");
    StoreFolder(stored.Path());
    std::vector<std::wstring> reports;
    tmb::App().OnException = [&](const std::wstring& message) { reports.push_back(message); };
    for (const std::wstring& start : {given / L"sumiu", given.Path()}) {
        Open(start);
        const std::wstring shown = form_->files->Directory();
        Close();
        EXPECT_EQ(shown, (start == given.Path() ? given.Path() : stored.Path()) + L"\\");
        EXPECT_EQ(StoredFolder(), shown);
    }
    tmb::App().OnException = nullptr;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(L"sumiu"), std::wstring::npos) << tmb::WideToUtf8(reports[0]);
}

TEST_F(ExplorerWindow, TheMenuSwitchesViewOptionsAndTheFamilysLanguage) {
    TempFolder dir;
    dir.AddFile(L"report.pdf");
    dir.AddFolder(L"inner");
    StoreFolder(dir.Path());
    Open();
    HMENU bar = form_->MenuBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(GetMenu(form_->Handle()), bar);
    EXPECT_TRUE(Checked(bar, explorador::cmShowFolders));

    Command(explorador::cmShowFolders);
    bar = form_->MenuBar();
    EXPECT_FALSE(form_->files->ShowFolders());
    EXPECT_FALSE(Checked(bar, explorador::cmShowFolders));
    EXPECT_EQ(form_->files->ItemCount(), 1);

    Command(explorador::cmHideFileExt);
    EXPECT_EQ(form_->files->Item(0).caption, L"report");
    EXPECT_TRUE(Checked(form_->MenuBar(), explorador::cmHideFileExt));

    Command(explorador::cmDateFormat + kv::df_yyyyMMdd);
    EXPECT_EQ(form_->files->DateFormat(), kv::df_yyyyMMdd);
    EXPECT_EQ(form_->files->Item(0).SubItem(2)[4], L'-');

    // The mask box applies its text on Enter.
    form_->MaskEdit->SetText(L"*.txt");
    form_->MaskEdit->SetFocus();
    tmbtest::PressKey(form_->MaskEdit->Handle(), VK_RETURN);
    tmbtest::Pump();
    EXPECT_EQ(form_->files->Mask(), L"*.txt");
    EXPECT_EQ(form_->files->ItemCount(), 0);

    Command(explorador::cmLanguage + kv::lnPortuguese);
    EXPECT_EQ(form_->files->Language(), kv::lnPortuguese);
    EXPECT_EQ(form_->dirs->Language(), kv::lnPortuguese);
    EXPECT_EQ(form_->Text(), L"Explorador Tombarel");
    EXPECT_EQ(MenuText(form_->MenuBar(), 0), L"&Arquivo");
    EXPECT_EQ(form_->files->Column(0).caption, kv::KvTextOf(kv::KvText::ColName, kv::lnPortuguese));
    EXPECT_EQ(form_->StatusBar1->PanelText(0), L"0 objeto(s)");
    EXPECT_TRUE(Checked(form_->MenuBar(), explorador::cmLanguage + kv::lnPortuguese));
}

// Every loaded caption of a tree from `first` and its siblings on, depth first.
void CollectCaptions(tmb::TreeView& tree, HTREEITEM first, std::vector<std::wstring>& out) {
    for (HTREEITEM n = first; n; n = tree.NextSibling(n)) {
        out.push_back(tree.NodeText(n));
        CollectCaptions(tree, tree.FirstChild(n), out);
    }
}

TEST_F(ExplorerWindow, AFolderRenamedInTheTreeIsRenamedInTheCombosTreeToo) {
    TempFolder dir;
    dir.AddFolder(L"velho");
    dir.AddFile(L"velho\\a.txt");
    dir.AddFolder(L"velho\\dentro");
    Open(dir.Path());
    form_->dirs->OpenFolder(dir / L"velho");
    tmbtest::Pump();
    ASSERT_EQ(form_->DirTreeCombo1->Text(), L"velho");
    {
        tmbtest::ModalAutoAnswer answer(IDYES);
        HWND edit = form_->dirs->EditCaption(form_->dirs->Selected());
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, L"novo");
        TreeView_EndEditLabelNow(form_->dirs->Handle(), FALSE);
        tmbtest::Pump();
        ASSERT_EQ(answer.Count(), 1);
    }
    ASSERT_TRUE(tmbtest::FolderExists(dir / L"novo"));
    // The combo shows the folder the tree and the list moved to, and its own tree knows the
    // new name, not the old one.
    EXPECT_TRUE(tmb::SameText(kv::AddSlash(form_->DirTreeCombo1->SelectedPath()), form_->files->Directory()))
        << tmb::WideToUtf8(form_->DirTreeCombo1->SelectedPath());
    std::vector<std::wstring> captions;
    CollectCaptions(*form_->DirTreeCombo1->Tree(), form_->DirTreeCombo1->Tree()->TopNode(), captions);
    EXPECT_EQ(std::count(captions.begin(), captions.end(), L"velho"), 0);
    EXPECT_EQ(std::count(captions.begin(), captions.end(), L"novo"), 1);
}

// ---- the program as a process of its own ---------------------------------------------------

// A status bar panel's text, read from the other process through a buffer placed in it.
std::wstring RemotePanelText(HANDLE process, HWND status, int panel) {
    const SIZE_T bytes = 512 * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return L"<no buffer>";
    std::wstring text;
    const LRESULT r = SendMessageW(status, SB_GETTEXTLENGTHW, panel, 0);
    if (LOWORD(r) < 511) {
        SendMessageW(status, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote));
        wchar_t local[512] = {};
        SIZE_T read = 0;
        if (ReadProcessMemory(process, remote, local, bytes, &read))
            text = local;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

TEST(ExplorerProgram, StartsAtTheStoredFolderGoesUpWithBackspaceAndRemembersItOnExit) {
    const std::wstring exe = tmbtest::BuiltProgramPath("TOMBAREL_EXPLORER_EXE");
    ASSERT_FALSE(exe.empty()) << "TOMBAREL_EXPLORER_EXE is not set";
    TempFolder dir;
    dir.AddFile(L"a.txt");
    dir.AddFile(L"b.txt");
    const std::wstring inner = dir.AddFolder(L"inner");
    for (const wchar_t* name : {L"inner\\x.txt", L"inner\\y.txt", L"inner\\z.txt"})
        dir.AddFile(name);
    StoreFolder(inner);

    tmbtest::ProgramProcess program(exe, L"Tombarel Explorer");
    HWND window = program.StartedWindow();
    EXPECT_TRUE(window);
    HWND list = window ? ChildOfClass(window, WC_LISTVIEWW) : nullptr;
    HWND status = window ? ChildOfClass(window, STATUSCLASSNAMEW) : nullptr;
    EXPECT_TRUE(list);
    EXPECT_TRUE(status);
    if (list && status) {
        // The parent entry and the three files; the header has the five file columns.
        EXPECT_TRUE(WaitFor([&] { return ListView_GetItemCount(list) == 4; }));
        EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 5);
        EXPECT_EQ(RemotePanelText(program.Process(), status, 0), L"4 object(s)");

        // Backspace lists the parent folder with "inner" selected.
        PostMessageW(list, WM_KEYDOWN, VK_BACK, 1);
        PostMessageW(list, WM_KEYUP, VK_BACK, 0xC0000001);
        EXPECT_TRUE(WaitFor([&] { return ListView_GetItemCount(list) == 4 &&
                                         ListView_GetSelectedCount(list) == 1; }));
        EXPECT_TRUE(WaitFor([&] { return RemotePanelText(program.Process(), status, 0) == L"1 object(s)"; }))
            << tmb::WideToUtf8(RemotePanelText(program.Process(), status, 0));
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(program.WaitForExit(15000));
    EXPECT_EQ(StoredFolder(), dir.Path() + L"\\");
}

} // namespace
