// "Catalogar pasta...": the window's command writes the catalogue of the folder shown behind
// the real progress window, with the save dialog and the boxes answered by the script.
#include "explorador/explorador.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalog/Collection.h"
#include "framework/Handles.h"
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
    const std::wstring pattern = folder + L"\\~tombarel*.tmp";
    return static_cast<bool>(tmb::FindHandle(FindFirstFileW(pattern.c_str(), &data)));
}

class CatalogFolder : public testing::Test {
protected:
    CatalogFolder() {
        tree_.AddFolder(L"sub");
        tree_.AddFolder(L"sub\\fundo");
        for (const wchar_t* name : {L"a.txt", L"b & c.txt", L"sub\\c.txt", L"sub\\fundo\\d.txt"})
            tree_.AddFile(name, 10);
        form_ = tmb::CreateForm<Tfmexplorador>(nullptr, tree_.Path());
        form_->Show();
        tmbtest::Pump();
    }
    ~CatalogFolder() override { tmb::Destroy(form_); }
    void Catalog() { SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmCatalog, 0); }

    TempFolder tree_;
    tmbtest::DialogScript script_;
    Tfmexplorador* form_ = nullptr;
};

TEST_F(CatalogFolder, WritesTheFolderShownInTheWindowsLanguageRefreshesTheListAndOpensThePage) {
    form_->files->SetDirectory(L"Drives");
    HMENU file = GetSubMenu(form_->MenuBar(), 0);
    SendMessageW(form_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    for (UINT command : {explorador::cmCatalog, explorador::cmCompare})
        EXPECT_TRUE(GetMenuState(file, command, MF_BYCOMMAND) & MF_GRAYED) << command;
    Catalog();
    EXPECT_EQ(script_.Texts(), std::vector<std::wstring>{L"Choose a folder to catalogue."});
    script_.Clear();

    SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmLanguage + kv::lnPortuguese, 0);
    form_->files->SetDirectory(tree_.Path());
    const int listed = form_->files->ItemCount();
    file = GetSubMenu(form_->MenuBar(), 0);
    SendMessageW(form_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    for (UINT command : {explorador::cmCatalog, explorador::cmCompare})
        EXPECT_FALSE(GetMenuState(file, command, MF_BYCOMMAND) & MF_GRAYED) << command;

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

TEST_F(CatalogFolder, AddsTheFolderShownToACollectionAndProposesItTheNextTime) {
    catalog::RememberCollection(L"");  // none used yet: the folder shown is proposed
    TempFolder elsewhere;
    const std::wstring collection = elsewhere / L"Discos.htm";
    for (const std::wstring& folder : {tree_.Path(), tree_ / L"sub"}) {
        form_->files->SetDirectory(folder);
        script_.Clear();
        script_.AnswerSave(collection);
        script_.Answer(tmb::mrNo);
        SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmAddToCollection, 0);
        ASSERT_EQ(script_.Calls().size(), 3u);  // the file, the progress, the offer
        EXPECT_EQ(script_.Calls()[0].save.fileName,
                  folder == tree_.Path() ? tree_ / L"Colecao.htm" : collection);
        EXPECT_NE(script_.Calls()[2].text.find(collection), std::wstring::npos);
    }
    EXPECT_EQ(catalog::LastCollection(), collection);
    const std::string html = Bytes(collection);
    EXPECT_NE(html.find("data-volumes=\"2\""), std::string::npos);
    EXPECT_NE(html.find("data-files=\"6\""), std::string::npos);  // 4 files, then the 2 below sub
}

TEST_F(CatalogFolder, CancelOrAFailedWriteLeavesTheOldPageAndNoTemporaryFile) {
    const std::wstring page = tree_ / L"Catalogo.htm";
    std::ofstream(tmb::WideToUtf8(page), std::ios::binary) << "old page\r\n";
    script_.AnswerSave(page);
    script_.CancelProgress(1);
    Catalog();
    EXPECT_EQ(script_.Calls().back().kind, ModalCall::Kind::Progress);  // no box after it
    script_.Clear();
    SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_READONLY);
    script_.AnswerSave(page);
    Catalog();
    SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(script_.Calls().back().kind, ModalCall::Kind::Error);  // and no offer
    EXPECT_NE(script_.Calls().back().text.find(L"\"" + page + L"\""), std::wstring::npos);

    EXPECT_EQ(Bytes(page), "old page\r\n");
    EXPECT_FALSE(TemporaryFileLeft(tree_.Path()));
}

} // namespace

namespace {

TEST_F(CatalogFolder, ComparedWithTheEarlierCatalogueItOffersWhatChangedAndRefusesAPageThatIsNone) {
    const std::wstring page = tree_ / L"Catalogo.htm";
    script_.AnswerSave(page);
    script_.Answer(tmb::mrNo);
    Catalog();
    DeleteFileW((tree_ / L"a.txt").c_str());
    tree_.AddFile(L"novo.txt", 5);
    script_.Clear();
    // The earlier catalogue is proposed where a catalogue of the folder is written; the new
    // one replaces it, having read it first.
    script_.AnswerSave(page);  // the open dialog
    script_.AnswerSave(page);  // the save dialog
    script_.Answer(tmb::mrNo);
    SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmCompare, 0);
    ASSERT_EQ(script_.Calls().size(), 4u);
    EXPECT_EQ(script_.Calls()[0].kind, ModalCall::Kind::OpenDialog);
    EXPECT_EQ(script_.Calls()[0].save.fileName, page);
    const std::wstring offer = script_.Calls()[3].text;
    EXPECT_NE(offer.find(L"Added: 1   Removed: 1   Changed: 0"), std::wstring::npos) << tmb::WideToUtf8(offer);
    EXPECT_NE(Bytes(page).find("data-added=\"1\" data-removed=\"1\" data-changed=\"0\""), std::string::npos);

    // A page that is not a catalogue: said so, and nothing written.
    const std::wstring other = tree_ / L"outra.htm", target = tree_ / L"novo.htm";
    std::ofstream(tmb::WideToUtf8(other), std::ios::binary) << "<html>nada</html>";
    script_.Clear();
    script_.AnswerSave(other);
    script_.AnswerSave(target);
    SendMessageW(form_->Handle(), WM_COMMAND, explorador::cmCompare, 0);
    EXPECT_EQ(script_.Calls().back().kind, ModalCall::Kind::Error);
    EXPECT_NE(script_.Calls().back().text.find(L"n\u00e3o \u00e9 um cat\u00e1logo"), std::wstring::npos);
    EXPECT_FALSE(tmbtest::FileExists(target));
    EXPECT_FALSE(TemporaryFileLeft(tree_.Path()));
}

} // namespace
