// The file actions of the main window: opening the selected file through the shell (web
// pages silently, anything else with a report), sending it to the recycle bin after asking,
// and the about box.
#include <gtest/gtest.h>

#include "tests/app/WindowFixture.h"

#include <algorithm>
#include <cstdlib>

#include "app/tombarel.h"
#include "framework/Application.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/DialogScript.h"
#include "tests/support/OpenHandler.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using app::Tfmtextdir;

class FileActions : public tmbtest::WindowFixture {
protected:
    void Select(const std::wstring& name) {
        const auto& items = form_->files->Items();
        const int index = static_cast<int>(std::find(items.begin(), items.end(), name) - items.begin());
        ASSERT_LT(index, form_->files->Count());
        ClickRow(index);
        ASSERT_EQ(form_->Edit1->Text(), name);
    }
};

TEST_F(FileActions, AbrirOpensTheSelectedFileWithItsProgram) {
    const std::wstring marker = folder_ / L"opened.marker";
    tmbtest::OpenHandler handler(L".tmbopen", marker);
    folder_.AddFile(L"report.v2.tmbopen", 3);
    Tfmtextdir* f = Open();
    Select(L"report.v2.tmbopen");
    tmbtest::Click(f->btabrir->Handle(), 10, 10);
    EXPECT_TRUE(tmbtest::WaitForFile(marker));
    EXPECT_TRUE(script_.Calls().empty());
}

TEST_F(FileActions, ADoubleClickSelectsAndOpens) {
    const std::wstring marker = folder_ / L"double.marker";
    tmbtest::OpenHandler handler(L".tmbopen", marker);
    folder_.AddFile(L"x.tmbopen", 3);
    Tfmtextdir* f = Open();
    RECT r;
    SendMessageW(f->files->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    tmbtest::DoubleClick(f->files->Handle(), 30, (r.top + r.bottom) / 2);
    EXPECT_EQ(f->Edit1->Text(), L"x.tmbopen");
    EXPECT_TRUE(tmbtest::WaitForFile(marker));
}

TEST_F(FileActions, WebPagesOpenSilentlyByTheirLowerCaseExtensionOnly) {
    // No program is registered for these: the reporting way names the failure.
    folder_.AddFile(L"page.mht", 1);
    folder_.AddFile(L"PAGE2.MHT", 1);
    folder_.AddFile(L"notes.tmbunknown", 1);
    Tfmtextdir* f = Open();

    Select(L"page.mht");
    f->btabrirClick(f->btabrir);
    EXPECT_TRUE(script_.Calls().empty());

    Select(L"PAGE2.MHT");
    f->btabrirClick(f->btabrir);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].kind, tmbtest::ModalCall::Kind::MessageBox);
    EXPECT_EQ(script_.Calls()[0].text, L"N\u00e3o h\u00e1 aplicativo associado ao arquivo.");
    EXPECT_EQ(script_.Calls()[0].caption, L"Tombarel");
    EXPECT_EQ(script_.Calls()[0].flags, UINT(MB_OK));

    script_.Clear();
    Select(L"notes.tmbunknown");
    f->btabrirClick(f->btabrir);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].text, L"N\u00e3o h\u00e1 aplicativo associado ao arquivo.");
}

TEST(ShellOpenMessages, EachNamedResultHasItsTextAndOthersNone) {
    EXPECT_EQ(app::ShellOpenMessage(2), L"Arquivo n\u00e3o encontrado.");
    EXPECT_EQ(app::ShellOpenMessage(3), L"Diret\u00f3rio n\u00e3o encontrado.");
    EXPECT_EQ(app::ShellOpenMessage(8),
              L"N\u00e3o h\u00e1 mem\u00f3ria sufici\u00eante para completar a "
              L"opera\u00e7\u00e3o.\rSe voc\u00ea estiver usando Windows 95, 98 ou NT tente "
              L"abrir o arquivo manualmente pelo Windows Explorer.");
    EXPECT_EQ(app::ShellOpenMessage(26), L"Erro de viola\u00e7\u00e3o.");
    EXPECT_EQ(app::ShellOpenMessage(32),
              L"Windows 95 only: The specified dynamic-link library was not found.");
    for (INT_PTR quiet : {0, 1, 4, 6, 7, 9, 10, 12, 25, 33, 42})
        EXPECT_EQ(app::ShellOpenMessage(quiet), L"") << quiet;
}

TEST_F(FileActions, DeletarAnsweredNoKeepsTheFileAndResetsTheSelection) {
    const std::wstring path = folder_.AddFile(L"keep.txt", 10);
    folder_.AddFile(L"other.txt", 10);
    Tfmtextdir* f = Open();
    Select(L"keep.txt");
    script_.Answer(tmb::mrNo);
    tmbtest::Click(f->btdeletar->Handle(), 10, 10);
    ASSERT_EQ(script_.Calls().size(), 1u);
    const tmbtest::ModalCall& ask = script_.Calls()[0];
    EXPECT_EQ(ask.kind, tmbtest::ModalCall::Kind::MessageDlg);
    EXPECT_EQ(ask.text, L"Deseja Excluir o arquivo Selecionado?");
    EXPECT_EQ(ask.caption, L"Confirm");
    EXPECT_EQ(ask.type, tmb::MsgDlgType::Confirmation);
    EXPECT_EQ(ask.flags, unsigned(tmb::mbYes | tmb::mbNo));
    EXPECT_TRUE(tmbtest::FileExists(path));
    EXPECT_EQ(f->files->ItemIndex(), -1);
    EXPECT_EQ(f->Edit1->Text(), L"");
    EXPECT_FALSE(f->btabrir->Enabled());
    EXPECT_FALSE(f->btdeletar->Enabled());
}

TEST_F(FileActions, DeletarAnsweredYesMovesTheFileToTheRecycleBinWhereItCanBeRestored) {
    const std::wstring trash = tmbtest::TrashFilesFolder();
    ASSERT_FALSE(trash.empty()) << "the tests run with a private XDG_DATA_HOME";
    const std::wstring name = L"recycle me \u00e7.txt";
    const std::wstring path = folder_.AddFile(name, 77);
    Tfmtextdir* f = Open();
    Select(name);
    script_.Answer(tmb::mrYes);
    tmbtest::Click(f->btdeletar->Handle(), 10, 10);
    EXPECT_FALSE(tmbtest::FileExists(path));
    EXPECT_EQ(f->files->Count(), 0);
    EXPECT_EQ(f->Label4->Text(), L"Total: 0 arquivo(s)");
    const std::wstring inTrash = trash + L"\\" + name;
    ASSERT_TRUE(tmbtest::FileExists(inTrash));
    ASSERT_TRUE(MoveFileW(inTrash.c_str(), path.c_str()));  // restored
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 77u);
}

TEST_F(FileActions, DeletarOnAFileThatVanishedAsksNothingAndRereads) {
    const std::wstring path = folder_.AddFile(L"soon gone.txt", 1);
    Tfmtextdir* f = Open();
    Select(L"soon gone.txt");
    DeleteFileW(path.c_str());
    tmbtest::Click(f->btdeletar->Handle(), 10, 10);
    EXPECT_TRUE(script_.Calls().empty());
    EXPECT_EQ(f->files->Count(), 0);
    EXPECT_FALSE(f->btdeletar->Enabled());
}

TEST(RecycleFileCalls, AMissingFileOrAFolderIsNotAFile) {
    tmbtest::TempFolder folder;
    EXPECT_FALSE(app::RecycleFile(folder / L"missing.txt"));
    EXPECT_FALSE(app::RecycleFile(folder.AddFolder(L"sub")));
    EXPECT_TRUE(tmbtest::FolderExists(folder / L"sub"));
}

TEST_F(FileActions, SobreShowsTheVersionAndTheMakersContacts) {
    Tfmtextdir* f = Open();
    tmbtest::Click(f->btsobre->Handle(), 10, 10);
    ASSERT_EQ(script_.Calls().size(), 1u);
    const tmbtest::ModalCall& box = script_.Calls()[0];
    EXPECT_EQ(box.kind, tmbtest::ModalCall::Kind::MessageBox);
    EXPECT_EQ(box.caption, L"Tombarel");
    EXPECT_EQ(box.flags, UINT(MB_OK));
    // Lines split at CR: the version with its trailing blank, the author, an empty line,
    // the e-mail address, an empty line, the home page.
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t cr; (cr = box.text.find(L'\r', start)) != std::wstring::npos; start = cr + 1)
        lines.push_back(box.text.substr(start, cr - start));
    lines.push_back(box.text.substr(start));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"Tombarel - 1.5 ");
    EXPECT_EQ(lines[1].substr(0, 9), L"      By ");
    EXPECT_EQ(lines[2], L"");
    EXPECT_EQ(lines[3].substr(0, 7), L"       ");
    EXPECT_NE(lines[3].find(L'@'), std::wstring::npos);
    EXPECT_EQ(lines[4], L"");
    EXPECT_EQ(lines[5], std::wstring(L"http://") + app::kMakerSite);
}

} // namespace
