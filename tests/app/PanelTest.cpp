// The folder and file panel of the main window: what a folder change and a file click put
// into the labels, the status bar and the selected-file controls, and which controls they
// enable; and the size texts under the user's regional settings.
#include <gtest/gtest.h>

#include "tests/app/WindowFixture.h"

#include "app/tombarel.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using app::SizeText;
using app::Tfmtextdir;

TEST(SizeTextLocale, BoundariesAndDecimalsFollowTheUserSettings) {
    const bool br = tmbtest::ExpectedLocale() == "pt-BR";
    const std::wstring sep = br ? L"," : L".";
    const std::pair<double, std::wstring> rows[] = {
        {0, L"0 bytes"}, {1023, L"1023 bytes"}, {1024, L"1 KB"},
        {1088, L"1" + sep + L"063 KB"},  // 1.0625 rounds half away from zero
        {1536, L"1" + sep + L"5 KB"}, {1048576, L"1024 KB"}, {1048577, L"1 MB"},
        {1073741823, L"1024 MB"}, {1073741824, L"1048576 KB"}, {1073741825, L"1 GB"},
        {3.0 * 1073741824, L"3 GB"}, {5.0 * 1073741824 + 536870912, L"5" + sep + L"5 GB"},
    };
    for (const auto& [size, text] : rows)
        EXPECT_EQ(SizeText(size), text) << size;
}

class Panel : public tmbtest::WindowFixture {
protected:
    std::vector<std::wstring> Names() const { return form_->files->Items(); }
};

TEST_F(Panel, AnEmptyFolderShowsZeroFilesAndZeroBytes) {
    folder_.AddFolder(L"only a folder");
    Tfmtextdir* f = Open();
    EXPECT_EQ(f->files->Count(), 0);
    EXPECT_EQ(f->Label4->Text(), L"Total: 0 arquivo(s)");
    EXPECT_EQ(f->Label5->Text(), L"Tamanho total: 0 bytes");
    EXPECT_EQ(f->StatusBar1->PanelText(0), L"Diret\u00f3rio:");
    EXPECT_EQ(f->StatusBar1->PanelText(1), folder_.Path());
    EXPECT_TRUE(script_.Calls().empty());
}

TEST_F(Panel, FilesOnlyHiddenAndSystemIncludedSortedIgnoringCaseAndCountedInFull) {
    folder_.AddFile(L"beta.txt", 1000);
    folder_.AddFile(L"Alpha.txt", 24);
    folder_.AddFile(L"hidden.dat", 1024, FILE_ATTRIBUTE_HIDDEN);
    folder_.AddFile(L"system.sys", 2048, FILE_ATTRIBUTE_SYSTEM);
    folder_.AddFile(L"\u00e9t\u00e9.doc", 0);
    folder_.AddFile(L"zeta.EXE", 0);
    folder_.AddFolder(L"a folder");
    const std::uint64_t huge = (std::uint64_t(5) << 30) + 1;  // over 4 GiB, sparse
    folder_.AddFile(L"huge.img", huge);

    Tfmtextdir* f = Open();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Alpha.txt", L"beta.txt", L"\u00e9t\u00e9.doc",
                                                   L"hidden.dat", L"huge.img", L"system.sys",
                                                   L"zeta.EXE"}));
    EXPECT_EQ(f->Label4->Text(), L"Total: 7 arquivo(s)");
    const double total = 1000.0 + 24 + 1024 + 2048 + static_cast<double>(huge);
    EXPECT_EQ(f->Label5->Text(), L"Tamanho total: " + SizeText(total));
    EXPECT_EQ(f->Label5->Text().substr(0, 16), L"Tamanho total: 5");  // not wrapped at 4 GiB
}

TEST_F(Panel, AClickShowsTheFileAndEnablesItsControlsThenAFolderChangeResetsThem) {
    folder_.AddFile(L"a.txt", 1536);
    folder_.AddFile(L"b.txt", 10);
    // Made before the window: the tree reads a folder's sub-folders once.
    tmbtest::TempFolder other;
    Tfmtextdir* f = Open();

    // Right after start: a folder change has just happened.
    EXPECT_TRUE(f->files->Enabled());
    ExpectEnabled(false, {f->Edit1, f->Label7, f->btabrir, f->btdeletar, f->btsalvar});

    std::vector<std::string> order;
    f->files->OnClick = [&](tmb::Component* s) { order.push_back("click"); f->filesClick(s); };
    f->files->OnChange = [&](tmb::Component* s) { order.push_back("change"); f->filesChange(s); };
    ClickRow(0);
    EXPECT_EQ(order, (std::vector<std::string>{"click", "change"}));
    EXPECT_EQ(f->Edit1->Text(), L"a.txt");
    EXPECT_EQ(f->Label6->Text(), L"Tamanho: " + SizeText(1536));
    ExpectEnabled(true, {f->Edit1, f->Label7, f->btabrir, f->btdeletar});

    // The same row again: a click, no change.
    order.clear();
    ClickRow(0);
    EXPECT_EQ(order, (std::vector<std::string>{"click"}));
    // The keyboard moves the selection the same way.
    order.clear();
    tmbtest::PressKey(f->files->Handle(), VK_DOWN);
    EXPECT_EQ(order, (std::vector<std::string>{"click", "change"}));
    EXPECT_EQ(f->Edit1->Text(), L"b.txt");
    EXPECT_EQ(f->Label6->Text(), L"Tamanho: 10 bytes");

    // A folder change: the selected-file controls are emptied and disabled.
    f->result->SetText(L"page");
    EXPECT_TRUE(f->btsalvar->Enabled());
    f->dirs->OpenFolder(other.Path());
    EXPECT_EQ(f->Edit1->Text(), L"");
    EXPECT_EQ(f->Label6->Text(), L"");
    EXPECT_EQ(f->result->Text(), L"");
    ExpectEnabled(false, {f->Edit1, f->Label7, f->btabrir, f->btdeletar, f->btsalvar});
    EXPECT_EQ(f->Label4->Text(), L"Total: 0 arquivo(s)");
}

TEST_F(Panel, AFileHeldOpenWithoutSharingCanBeSelected) {
    const std::wstring path = folder_.AddFile(L"locked.log", 4096);
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Tfmtextdir* f = Open();
    ClickRow(0);
    EXPECT_EQ(f->Edit1->Text(), L"locked.log");
    EXPECT_EQ(f->Label6->Text(), L"Tamanho: 4 KB");
    EXPECT_TRUE(f->btdeletar->Enabled());
    EXPECT_TRUE(script_.Calls().empty());
    CloseHandle(held);
}

TEST_F(Panel, AFileThatVanishedBeforeTheClickDoesNothing) {
    const std::wstring path = folder_.AddFile(L"gone.txt", 5);
    Tfmtextdir* f = Open();
    DeleteFileW(path.c_str());
    ClickRow(0);
    EXPECT_EQ(f->Edit1->Text(), L"");
    ExpectEnabled(false, {f->Edit1, f->btabrir});
    EXPECT_TRUE(script_.Calls().empty());
}

TEST_F(Panel, TheClickedFileIsMeasuredAgainSoTheTotalFollowsTheDisk) {
    const std::wstring path = folder_.AddFile(L"growing.log", 100);
    Tfmtextdir* f = Open();
    EXPECT_EQ(f->Label5->Text(), L"Tamanho total: 100 bytes");
    ASSERT_TRUE(tmbtest::ResizeFile(path, 2048));
    ClickRow(0);
    EXPECT_EQ(f->Label6->Text(), L"Tamanho: 2 KB");
    EXPECT_EQ(f->Label5->Text(), L"Tamanho total: 2 KB");
}

TEST_F(Panel, TotalsFollowFilesThatOtherProgramsDeletedOrGrewAndCostNothingWhenNoneDid) {
    folder_.AddFile(L"a.txt", 100);
    const std::wstring grown = folder_.AddFile(L"b.txt", 200);
    const std::wstring deleted = folder_.AddFile(L"c.txt", 300);
    Tfmtextdir* f = Open();
    EXPECT_EQ(f->Label5->Text(), L"Tamanho total: 600 bytes");
    // Nothing changed: the sizes read with the names stand, no second look at the disk.
    EXPECT_FALSE(f->files->RefreshSizes());

    ASSERT_TRUE(tmbtest::ResizeFile(grown, 5000));
    ASSERT_TRUE(DeleteFileW(deleted.c_str()));
    tmbtest::PumpFor(200);  // the system tells of the change on its own time

    // A click on the file nobody touched: the other two count as they are now.
    ClickRow(0);
    EXPECT_EQ(f->Edit1->Text(), L"a.txt");
    EXPECT_EQ(f->Label5->Text(), L"Tamanho total: " + SizeText(100 + 5000));
    // The list itself is not read again by itself.
    EXPECT_EQ(f->Label4->Text(), L"Total: 3 arquivo(s)");
    EXPECT_EQ(f->files->Count(), 3);
    EXPECT_FALSE(f->files->RefreshSizes());
}

// Sizes taken again match every listed name to its own file, ignoring case, among many:
// a file renamed only in case by another program keeps its place, a grown one counts anew.
TEST_F(Panel, SizesTakenAgainFindEachNameItsOwnFile) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < 300; ++i)
        paths.push_back(folder_.AddFile(L"file " + std::to_wstring(i) + L".dat", static_cast<std::uint64_t>(i)));
    Tfmtextdir* f = Open();
    ASSERT_EQ(f->files->Count(), 300);
    double expected = 0;
    for (int i = 0; i < 300; ++i) {
        std::uint64_t size = static_cast<std::uint64_t>(i);
        if (i % 7 == 0) {
            size = 10000 + static_cast<std::uint64_t>(i);
            ASSERT_TRUE(tmbtest::ResizeFile(paths[static_cast<size_t>(i)], size));
        }
        expected += static_cast<double>(size);
    }
    ASSERT_TRUE(MoveFileW(paths[5].c_str(), (folder_ / L"FILE 5.DAT").c_str()));
    tmbtest::PumpFor(200);
    EXPECT_TRUE(f->files->RefreshSizes());
    EXPECT_EQ(f->files->TotalSize(), expected);
    for (int i = 0; i < f->files->Count(); ++i) {
        const std::wstring name = f->files->Item(i);
        const int number = std::stoi(name.substr(5));
        EXPECT_EQ(f->files->ItemSize(i), number % 7 ? number : 10000 + number) << tmb::WideToUtf8(name);
    }
}

TEST_F(Panel, TheDrivesRootGreysTheListAndKeepsItsFiles) {
    folder_.AddFile(L"kept.txt", 1);
    Tfmtextdir* f = Open();
    f->result->SetText(L"page");
    tmbtest::ClickNode(*f->dirs, f->dirs->TopNode());
    ASSERT_EQ(f->dirs->SelectedPath(), L"Drives");
    EXPECT_FALSE(f->files->Enabled());
    EXPECT_EQ(f->files->Count(), 1);
    EXPECT_EQ(f->Label4->Text(), L"Total: 1 arquivo(s)");
    EXPECT_EQ(f->result->Text(), L"");
    EXPECT_FALSE(f->btsalvar->Enabled());
}

TEST_F(Panel, AFolderThatCannotBeReadIsReportedAndTheListKeepsItsContents) {
    folder_.AddFile(L"kept.txt", 1);
    Tfmtextdir* f = Open();
    EXPECT_THROW(f->files->SetDirectory(folder_.Path() + L"\\missing"), tmb::EInOutError);
    EXPECT_EQ(f->files->Count(), 1);
    EXPECT_TRUE(tmb::SameText(f->files->Directory(), folder_.Path()));
}

TEST_F(Panel, APickedFolderThatCannotBeReadIsReportedOnceAndChangesNothingElse) {
    folder_.AddFile(L"kept.txt", 1536);
    const std::wstring gone = folder_.AddFolder(L"gone");
    Tfmtextdir* f = Open();
    // The tree shows the folder; it is removed on disk before it is picked.
    HTREEITEM goneNode = f->dirs->FirstChild(f->dirs->Selected());
    ASSERT_NE(goneNode, nullptr);
    ASSERT_TRUE(RemoveDirectoryW(gone.c_str()));
    ClickRow(0);
    f->result->SetText(L"page");

    tmbtest::ClickNode(*f->dirs, goneNode);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].kind, tmbtest::ModalCall::Kind::Error);
    EXPECT_TRUE(tmb::SameText(f->files->Directory(), folder_.Path()));
    EXPECT_EQ(f->files->Count(), 1);
    EXPECT_EQ(f->Label4->Text(), L"Total: 1 arquivo(s)");
    EXPECT_EQ(f->Edit1->Text(), L"kept.txt");
    EXPECT_EQ(f->Label6->Text(), L"Tamanho: " + SizeText(1536));
    EXPECT_EQ(f->result->Text(), L"page");
    ExpectEnabled(true, {f->files, f->btabrir, f->btsalvar});

    // A list greyed out by the drives root stays greyed when the next pick fails.
    tmbtest::ClickNode(*f->dirs, f->dirs->TopNode());
    ASSERT_FALSE(f->files->Enabled());
    script_.Clear();
    tmbtest::ClickNode(*f->dirs, goneNode);
    EXPECT_EQ(script_.Calls().size(), 1u);
    EXPECT_FALSE(f->files->Enabled());
}

TEST_F(Panel, TypingALetterSelectsTheNextFileStartingWithIt) {
    folder_.AddFile(L"apple.txt");
    folder_.AddFile(L"banana.txt");
    folder_.AddFile(L"blueberry.txt");
    Tfmtextdir* f = Open();
    f->files->SetFocus();
    for (const auto& [letter, selected] : {std::pair{L'b', L"banana.txt"}, {L'B', L"blueberry.txt"}}) {
        PostMessageW(f->files->Handle(), WM_CHAR, letter, 0);
        tmbtest::Pump();
        EXPECT_EQ(f->Edit1->Text(), selected);
    }
}

} // namespace
