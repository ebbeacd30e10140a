// The main window built in-process: its controls where the layout puts them, its start
// and end with the registry value "lastdir", and its ways out.
#include <gtest/gtest.h>

#include "app/tombarel.h"
#include "framework/Application.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WineDrives.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using app::Tfmtextdir;

void DeleteStoredFolder() { tmb::Registry().DeleteKey(app::kRegistryKey); }

std::wstring StoredFolder() {
    return tmbtest::StoredRegistryString(app::kRegistryKey, app::kRegistryValue);
}

// The window with nothing stored, unless a test stores a folder before it opens it.
class MainWindow : public tmbtest::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        DeleteStoredFolder();
    }
    void Close() {
        tmb::Destroy(form_);
        form_ = nullptr;
    }
};

TEST_F(MainWindow, WindowIsAToolWindowWithoutTitleBarButtonsCentredOnTheScreen) {
    Tfmtextdir* f = Open();
    f->Show();
    HWND h = f->Handle();
    EXPECT_EQ(f->Text(), L"Tombarel 1.5");
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 692);
    EXPECT_EQ(client.bottom, 449);
    RECT frame;
    GetWindowRect(h, &frame);
    const int cx = (frame.left + frame.right) / 2, cy = (frame.top + frame.bottom) / 2;
    EXPECT_NEAR(cx, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(cy, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(f->Color(), tmb::clBtnFace);
    EXPECT_EQ(f->GetFont().Name(), L"MS Sans Serif");
    EXPECT_EQ(f->GetFont().Size(), 8);
}

TEST_F(MainWindow, EveryControlStandsWhereTheLayoutPutsIt) {
    Tfmtextdir* f = Open();
    struct Expected {
        tmb::WinControl* control;
        RECT rect;
    };
    const Expected windowed[] = {
        {f->files, {192, 68, 192 + 245, 0}},  // height trimmed to whole rows: checked below
        {f->dirs, {8, 68, 8 + 180, 68 + 261}},
        {f->result, {444, 68, 444 + 241, 68 + 261}},
        {f->ToolBar1, {0, 0, 692, 40}},
        {f->btgerahtm, {0, 2, 105, 32}},
        {f->btsalvar, {125, 2, 230, 32}},
        {f->btsobre, {250, 2, 355, 32}},
        {f->btsair, {375, 2, 480, 32}},
        {f->texto, {192, 336, 192 + 37, 336 + 25}},
        {f->tfXPButton1, {536, 340, 536 + 105, 340 + 22}},
        {f->tfXPButton2, {268, 340, 268 + 105, 340 + 22}},
        {f->StatusBar1, {0, 429, 692, 449}},
        {f->Edit1, {12, 388, 12 + 129, 388 + 21}},
        {f->btabrir, {144, 380, 144 + 45, 380 + 21}},
        {f->btdeletar, {144, 404, 144 + 45, 404 + 21}},
    };
    for (const Expected& e : windowed) {
        SCOPED_TRACE(testing::Message() << "control " << std::string(e.control->Name().begin(), e.control->Name().end()));
        const RECT r = tmbtest::RectInParent(e.control->Handle());
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        if (e.control != f->files) {
            EXPECT_EQ(r.bottom, e.rect.bottom);
        }
    }
    // The file list keeps whole 16-pixel rows inside its 260 pixels.
    RECT inner;
    GetClientRect(f->files->Handle(), &inner);
    EXPECT_EQ(inner.bottom % 16, 0);
    EXPECT_LE(tmbtest::RectInParent(f->files->Handle()).bottom, 68 + 260);
    EXPECT_GT(tmbtest::RectInParent(f->files->Handle()).bottom, 68 + 260 - 16);

    // The toolbar's separators are 20 pixels wide between the buttons' rooms.
    const std::vector<RECT> items = f->ToolBar1->ItemRects();
    ASSERT_EQ(items.size(), 7u);
    for (int i : {1, 3, 5}) {
        EXPECT_EQ(items[i].right - items[i].left, 20);
    }
    EXPECT_EQ(items[1].left, 105);
    EXPECT_EQ(items[3].left, 230);
    EXPECT_EQ(items[5].left, 355);

    struct ExpectedLabel {
        tmb::Control* control;
        int left, top;
        const wchar_t* text;
    };
    const ExpectedLabel labels[] = {
        {f->Label1, 52, 48, L"Selecione o diret\u00f3rio"},
        {f->Label2, 272, 48, L"Lista de arquivos"},
        {f->Label3, 524, 48, L"C\u00f3digo fonte"},
        {f->Label6, 12, 412, L""},
        {f->Label7, 60, 372, L"Arquivo:"},
        {f->myaSuperLabel1, 516, 416, app::kMakerSite},
    };
    for (const ExpectedLabel& l : labels) {
        EXPECT_EQ(l.control->Left(), l.left);
        EXPECT_EQ(l.control->Top(), l.top);
        EXPECT_EQ(l.control->Text(), l.text);
        EXPECT_EQ(l.control->Parent(), f);
    }
    // Start-up's folder change has replaced the totals' layout captions already.
    EXPECT_EQ(std::make_pair(f->Label4->Left(), f->Label4->Top()), std::make_pair(12, 337));
    EXPECT_EQ(std::make_pair(f->Label5->Left(), f->Label5->Top()), std::make_pair(12, 355));
    EXPECT_EQ(f->myaSuperLabel1->Width(), 177);
    EXPECT_EQ(f->myaSuperLabel1->Height(), 15);
    EXPECT_EQ(f->Label1->GetFont().Color(), tmb::clBlack);
}

TEST_F(MainWindow, InitialTextsStatesFontsAndTabOrder) {
    Tfmtextdir* f = Open();
    const std::pair<tmb::Control*, const wchar_t*> captions[] = {
        {f->btgerahtm, L"Gerar html"}, {f->btsalvar, L"Salvar"}, {f->btsobre, L"Sobre"},
        {f->btsair, L"Sair"}, {f->tfXPButton1, L"Limpar"}, {f->tfXPButton2, L"Salvar em texto"},
        {f->btabrir, L"Abrir"}, {f->btdeletar, L"Deletar"}};
    for (const auto& [control, caption] : captions)
        EXPECT_EQ(control->Text(), caption) << tmb::WideToUtf8(control->Name());

    // Layout states; start-up's folder change then disables the selected-file controls.
    EXPECT_FALSE(f->btsalvar->Enabled());
    EXPECT_FALSE(f->btdeletar->Enabled());
    EXPECT_TRUE(f->btgerahtm->Enabled());
    EXPECT_TRUE(f->tfXPButton2->Enabled());
    EXPECT_FALSE(IsWindowVisible(f->texto->Handle()));
    EXPECT_FALSE(f->texto->Visible());

    EXPECT_TRUE(f->result->ReadOnly());
    EXPECT_TRUE(GetWindowLongPtrW(f->result->Handle(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(GetWindowLongPtrW(f->result->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(GetWindowLongPtrW(f->Edit1->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(f->Edit1->Color(), tmb::clWhite);

    EXPECT_EQ(f->files->GetFont().Name(), L"Times New Roman");
    EXPECT_EQ(f->files->GetFont().Height(), -13);
    EXPECT_EQ(SendMessageW(f->files->Handle(), LB_GETITEMHEIGHT, 0, 0), 16);

    EXPECT_EQ(f->dirs->Language(), kv::lnPortuguese);
    EXPECT_FALSE(f->dirs->HideSelection());
    EXPECT_TRUE(f->dirs->ReadOnly());
    EXPECT_EQ(f->dirs->Indent(), 19);
    EXPECT_EQ(f->dirs->GetPopupMenu(), f->PopupMenu1);
    EXPECT_TRUE(f->PopupMenu1->Items().empty());
    EXPECT_TRUE(f->dirs->TabStop());

    EXPECT_EQ((std::vector<int>{f->files->TabOrder(), f->dirs->TabOrder(), f->result->TabOrder(),
                                f->Edit1->TabOrder(), f->btabrir->TabOrder(), f->btdeletar->TabOrder()}),
              (std::vector<int>{0, 1, 2, 8, 9, 10}));
    // The dialog manager's Tab walk follows the same order.
    HWND h = f->Handle();
    EXPECT_EQ(GetNextDlgTabItem(h, f->files->Handle(), FALSE), f->dirs->Handle());
    EXPECT_EQ(GetNextDlgTabItem(h, f->dirs->Handle(), FALSE), f->result->Handle());
    f->btabrir->SetEnabled(true);  // start-up left it disabled
    EXPECT_EQ(GetNextDlgTabItem(h, f->Edit1->Handle(), FALSE), f->btabrir->Handle());

    ASSERT_EQ(SendMessageW(f->StatusBar1->Handle(), SB_GETPARTS, 0, 0), 2);
    int rights[2] = {};
    SendMessageW(f->StatusBar1->Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    EXPECT_EQ(rights[0], 60);
    EXPECT_EQ(rights[1], -1);

    EXPECT_EQ(f->salvar->DefaultExt, L"txt");
    EXPECT_EQ(f->salvar->Filter, L"Arquivo de texto|*.txt");
    EXPECT_TRUE(f->salvar->Options & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(f->salvar->Options & OFN_HIDEREADONLY);
    EXPECT_TRUE(f->salvar->Options & OFN_ENABLESIZING);
    EXPECT_NE(f->WinXP1, nullptr);
}

TEST_F(MainWindow, FirstRunOpensDriveCAndExitStoresTheFolder) {
    Tfmtextdir* f = Open();
    EXPECT_EQ(f->dirs->SelectedPath(), L"c:\\");
    EXPECT_TRUE(tmb::SameText(f->files->Directory(), L"C:\\"));
    EXPECT_TRUE(script_.Calls().empty());
    Close();
    EXPECT_EQ(StoredFolder(), L"c:\\");
}

TEST_F(MainWindow, StoredFolderIsOpenedAgainAndRewrittenUnchanged) {
    StoreFolder(folder_.Path());
    Tfmtextdir* f = Open();
    EXPECT_EQ(f->dirs->SelectedPath(), folder_.Path() + L"\\");
    EXPECT_TRUE(tmb::SameText(f->files->Directory(), folder_.Path()));
    Close();
    EXPECT_EQ(StoredFolder(), folder_.Path() + L"\\");
    EXPECT_TRUE(script_.Calls().empty());
}

TEST_F(MainWindow, MissingStoredFolderOrDrivesOrEmptyFallsBackToDriveC) {
    for (const std::wstring& stored : {std::wstring(L"C:\\no such folder here"),
                                      std::wstring(L"Drives"), std::wstring()}) {
        StoreFolder(stored);
        Tfmtextdir* f = Open();
        EXPECT_EQ(f->dirs->SelectedPath(), L"c:\\");
        EXPECT_TRUE(tmb::SameText(f->files->Directory(), L"C:\\"));
        Close();
    }
    EXPECT_TRUE(script_.Calls().empty());
}

TEST_F(MainWindow, NoStoredValueKeepsTheWindowFromOpeningInTheStateOfAFolderChange) {
    const std::wstring file = folder_.AddFile(L"not a folder.txt", 3);
    tmbtest::WineDrive empty(L'R', DRIVE_REMOVABLE, false);
    ASSERT_TRUE(empty.Defined());
    const std::wstring absurd = L"C:\\" + std::wstring(40000, L'x');
    for (const std::wstring& stored : {file, absurd, empty.Root(), std::wstring(L"R:"),
                                      std::wstring(L"\\\\no-such-server\\share"),
                                      std::wstring(L"..")}) {
        StoreFolder(stored);
        Tfmtextdir* f = Open();
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(IsWindow(f->HandleIfAllocated()));
        EXPECT_EQ(f->dirs->SelectedPath(), L"c:\\") << tmb::WideToUtf8(stored.substr(0, 40));
        EXPECT_TRUE(tmb::SameText(f->files->Directory(), L"C:\\"));
        EXPECT_TRUE(f->files->Enabled());
        ExpectEnabled(false, {f->Edit1, f->Label7, f->btabrir, f->btdeletar, f->btsalvar});
        Close();
        EXPECT_EQ(StoredFolder(), L"c:\\");
    }
    EXPECT_TRUE(script_.Calls().empty());
}

TEST_F(MainWindow, StoredValueOfTheWrongTypeIsReportedAndTheWindowStillOpens) {
    const DWORD number = 7;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, app::kRegistryKey, app::kRegistryValue, REG_DWORD,
                              &number, sizeof(number)),
              ERROR_SUCCESS);
    Tfmtextdir* f = Open();
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].kind, tmbtest::ModalCall::Kind::Error);
    EXPECT_EQ(script_.Calls()[0].text, L"Invalid data type for 'lastdir'");
    EXPECT_EQ(script_.Calls()[0].caption, L"Tombarel");
    EXPECT_EQ(f->dirs->SelectedPath(), L"c:\\");
    Close();
    EXPECT_EQ(StoredFolder(), L"c:\\");  // rewritten as a string
}

TEST_F(MainWindow, ExitAfterTheRootWasPickedStoresDrives) {
    Tfmtextdir* f = Open();
    tmbtest::ClickNode(*f->dirs, f->dirs->TopNode());
    EXPECT_EQ(f->dirs->SelectedPath(), L"Drives");
    EXPECT_FALSE(f->files->Enabled());
    Close();
    EXPECT_EQ(StoredFolder(), L"Drives");
}

TEST_F(MainWindow, AKeyThatCannotBeCreatedAtExitReportsThePlatformText) {
    // A volatile parent cannot hold the lasting key the window creates.
    const wchar_t parent[] = L"SOFTWARE\\Quorvantix";
    tmb::Registry().DeleteKey(parent);
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, parent, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    Open();
    script_.Clear();
    Close();
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].kind, tmbtest::ModalCall::Kind::Error);
    EXPECT_EQ(script_.Calls()[0].text, L"Failed to set data for 'lastdir'");
    tmb::Registry().DeleteKey(parent);
}

TEST_F(MainWindow, SairEndsTheMessageLoop) {
    Tfmtextdir* f = Open();
    tmb::App().SetMainForm(f);
    f->Show();
    SendMessageW(f->btsair->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(f->btsair->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    tmb::App().Run();  // returns only because "Sair" asked it to
    EXPECT_TRUE(tmb::App().Terminated());
    tmb::App().SetMainForm(nullptr);
}

TEST_F(MainWindow, EndOfSessionStoresTheFolderOnce) {
    StoreFolder(folder_.Path());
    Tfmtextdir* f = Open();
    DeleteStoredFolder();
    SendMessageW(f->Handle(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(f->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StoredFolder(), folder_.Path() + L"\\");
    DeleteStoredFolder();
    Close();  // the destroy handler already ran
    EXPECT_EQ(StoredFolder(), L"<no key>");
}

} // namespace
