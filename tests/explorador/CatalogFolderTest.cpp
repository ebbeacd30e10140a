// "Catalogar pasta...": the window's command writes the catalogue of the folder shown behind
// the real progress window, with the save dialog and the boxes answered by the script.
#include "explorador/explorador.h"

#include <commdlg.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "explorer/KvFileExplorer28.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/DialogScript.h"
#include "tests/support/OpenHandler.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using explorador::Tfmexplorador;
using tmbtest::ModalCall;
using tmbtest::TempFolder;

std::string Bytes(const std::wstring& path) {
    std::ifstream in(tmb::WideToUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TemporaryFileLeft(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\~tombarel*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

class CatalogFolder : public testing::Test {
protected:
    // A window showing `folder` ("Drives" for the drives view).
    void Open(const std::wstring& folder) {
        tmb::Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(explorador::kRegistryKey, true));
        registry.WriteString(explorador::kRegistryValue, folder);
        form_ = tmb::CreateForm<Tfmexplorador>(nullptr);
        form_->Show();
        tmbtest::Pump();
    }
    void Catalog() { SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmCatalog, 0); }
    CatalogFolder() {
        for (const wchar_t* name : {L"a.txt", L"b & c.txt", L"sub\\c.txt", L"sub\\fundo\\d.txt"}) {
            if (name[0] == L's')
                tree_.AddFolder(kv::ExtractFilePath(name));
            tree_.AddFile(name, 10);
        }
    }
    void TearDown() override {
        if (form_)
            tmb::Destroy(form_);
        tmbtest::Pump();
    }
    TempFolder tree_;
    tmbtest::DialogScript script_;
    Tfmexplorador* form_ = nullptr;
};

TEST_F(CatalogFolder, WritesTheFolderShownInTheWindowsLanguageRefreshesTheListAndOpensThePage) {
    Open(L"Drives");
    HMENU file = GetSubMenu(form_->MenuBar(), 0);
    SendMessageW(form_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_TRUE(GetMenuState(file, explorador::cmCatalog, MF_BYCOMMAND) & MF_GRAYED);
    Catalog();
    EXPECT_EQ(script_.Texts(), std::vector<std::wstring>{L"Choose a folder to catalogue."});
    script_.Clear();

    SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmLanguage + kv::lnPortuguese, 0);
    form_->files->SetDirectory(tree_.Path());
    const int listed = form_->files->ItemCount();
    file = GetSubMenu(form_->MenuBar(), 0);
    SendMessageW(form_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_FALSE(GetMenuState(file, explorador::cmCatalog, MF_BYCOMMAND) & MF_GRAYED);
    wchar_t caption[64] = {};
    GetMenuStringW(file, explorador::cmCatalog, caption, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(caption), L"&Catalogar pasta\u2026");

    // Any name the user gives: an extension of the test's own shows the shell opening it.
    const std::wstring page = tree_ / L"Catalogo.tmbcat", opened = tree_ / L"opened.htm";
    tmbtest::OpenHandler handler(L".tmbcat", opened);
    script_.AnswerSave(page);
    script_.Answer(tmb::mrYes);
    Catalog();
    ASSERT_EQ(script_.Calls().size(), 3u);
    const tmb::SaveDialogRequest& save = script_.Calls()[0].save;
    EXPECT_EQ(save.fileName, tree_ / L"Catalogo.htm");
    EXPECT_EQ(save.initialDir, tree_.Path() + L"\\");
    EXPECT_EQ(save.defaultExt, L"htm");
    EXPECT_NE(save.filter.find(L"|*.htm;*.html|"), std::wstring::npos);
    EXPECT_TRUE(save.flags & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(script_.Calls()[1].caption, L"Catalogando pasta");
    const std::wstring offer = script_.Calls()[2].text;
    EXPECT_NE(offer.find(page), std::wstring::npos);
    EXPECT_NE(offer.find(L"Pastas: 3   Arquivos: 4"), std::wstring::npos) << tmb::WideToUtf8(offer);

    const std::string html = Bytes(page);
    EXPECT_NE(html.find("data-files=\"4\""), std::string::npos);
    EXPECT_FALSE(TemporaryFileLeft(tree_.Path()));
    EXPECT_EQ(form_->files->ItemCount(), listed + 1);
    ASSERT_TRUE(tmbtest::WaitForFile(opened));
    EXPECT_EQ(Bytes(opened), html);
}

TEST_F(CatalogFolder, CancelOrAFailedWriteLeavesTheOldPageAndNoTemporaryFile) {
    const std::wstring page = tree_ / L"Catalogo.htm";
    {
        std::ofstream(tmb::WideToUtf8(page), std::ios::binary) << "old page\r\n";
    }
    Open(tree_.Path());
    for (int reports : {0, 1}) {
        script_.AnswerSave(page);
        script_.CancelProgress(reports);
        Catalog();
        EXPECT_EQ(script_.Calls().back().kind, ModalCall::Kind::Progress) << reports;
        script_.Clear();
    }
    // A target the system refuses: the reason is shown, and nothing is offered.
    SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_READONLY);
    script_.AnswerSave(page);
    Catalog();
    SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(script_.Calls().size(), 3u);  // the dialog, the progress, the error
    EXPECT_EQ(script_.Calls()[2].kind, ModalCall::Kind::Error);
    EXPECT_NE(script_.Calls()[2].text.find(page), std::wstring::npos);

    EXPECT_EQ(Bytes(page), "old page\r\n");
    EXPECT_FALSE(TemporaryFileLeft(tree_.Path()));
    EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
}

} // namespace
