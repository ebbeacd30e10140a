// The combo linked to a file list view on one window, with real input: picks show folders
// and the drives in the list, moves inside the list show in the box, the list's F4 and Esc
// work the drop-down, and either side may go first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explorer/KvConsts.h"
#include "explorer/KvDirTreeCombo28.h"
#include "explorer/KvFilelistView28.h"
#include "framework/TextConv.h"
#include "tests/combo/RealInput.h"
#include "tests/listview/FileListFixture.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using combotest::PickWithMouse;
using combotest::PressKey;
using kv::TKvDirTreeCombo28;
using kv::TKvFilelistView28;
using tmbtest::TempFolder;

class ComboAndList : public testing::Test {
protected:
    void SetUp() override {
        kv::TreeLanguage = kv::lnEnglish;
        kv::LoadTreeTexts();
        combo_ = tmbtest::PlaceOn<TKvDirTreeCombo28>(form_.Form(), 10, 10, 216, 21);
        list_ = tmbtest::PlaceOn<TKvFilelistView28>(form_.Form(), 250, 10, 330, 330);
        combo_->OnPathChange = [this](tmb::Component* sender, const std::wstring& path) {
            senders_.push_back(sender);
            paths_.push_back(path);
        };
        SetForegroundWindow(form_.Handle());
        list_->SetFocus();
        tmbtest::Pump();
    }
    void TearDown() override { combo_->DropDownWindow()->CloseUp(); }

    int IndexOf(const std::wstring& caption) const { return listtest::IndexOf(*list_, caption); }
    void SelectOnly(const std::wstring& caption) { listtest::SelectOnly(*list_, caption); }

    tmbtest::TestForm form_{600, 360};
    tmbtest::DialogScript script_;
    TKvDirTreeCombo28* combo_ = nullptr;
    TKvFilelistView28* list_ = nullptr;
    std::vector<tmb::Component*> senders_;
    std::vector<std::wstring> paths_;
};

TEST_F(ComboAndList, LinkingAListListsThePickedFolderOnce) {
    TempFolder temp;
    temp.AddFile(L"inside.txt");
    combo_->Tree()->SetPickedPath(temp.Path());
    // Each listing starts by emptying the control.
    tmbtest::MessageLog listings(list_->Handle(), LVM_DELETEALLITEMS);
    combo_->SetFileList(list_);
    EXPECT_EQ(listings.wParams.size(), 1u);
    EXPECT_GE(IndexOf(L"inside.txt"), 0);

    // A list already showing the folder is read again, once: files made since appear.
    temp.AddFile(L"later.txt");
    combo_->SetFileList(list_);
    EXPECT_EQ(listings.wParams.size(), 2u);
    EXPECT_GE(IndexOf(L"later.txt"), 0);
}

TEST_F(ComboAndList, PicksInTheComboShowTheirFolderOrTheDrivesInTheList) {
    TempFolder temp;
    temp.AddFolder(L"Alpha");
    temp.AddFile(L"inside.txt");
    temp.AddFile(L"Alpha\\deeper.txt");
    list_->SetDirTreeCombo(combo_);
    EXPECT_EQ(list_, combo_->FileList());

    combo_->LocatePath(temp.Path());
    EXPECT_EQ(0, list_->ItemCount()) << "locating is what the list asks; it is not told";
    HTREEITEM alpha = combo_->Tree()->FirstChild(combo_->Tree()->Selected());
    PickWithMouse(*combo_, alpha);
    EXPECT_EQ(U8(temp / L"Alpha\\"), U8(list_->Directory()));
    EXPECT_GE(IndexOf(L"deeper.txt"), 0);

    PickWithMouse(*combo_, combo_->Tree()->RootNode());
    EXPECT_EQ("Drives", U8(list_->Directory()));
    ASSERT_GT(list_->ItemCount(), 0);
    for (int i = 0; i < list_->ItemCount(); ++i)
        EXPECT_EQ("drv", U8(list_->Item(i).SubItem(5))) << U8(list_->Item(i).caption);

    // Set from code, the path moves the list, not the box.
    const std::wstring shown = combo_->Text();
    combo_->SetSelectedPath(temp.Path());
    EXPECT_EQ(U8(temp.Path() + L"\\"), U8(list_->Directory()));
    EXPECT_GE(IndexOf(L"inside.txt"), 0);
    EXPECT_EQ(U8(shown), U8(combo_->Text()));
}

TEST_F(ComboAndList, GoingIntoAndOutOfFoldersInTheListMovesTheBox) {
    TempFolder temp;
    tmbtest::AddFolders(temp, {L"Alpha", L"Alpha\\Inner"});
    list_->SetDirTreeCombo(combo_);
    list_->SetDirectory(temp.Path());
    SelectOnly(L"Alpha");
    PressKey(VK_RETURN);
    EXPECT_EQ(U8(temp / L"Alpha\\"), U8(list_->Directory()));
    EXPECT_EQ("Alpha", U8(combo_->Text()));
    ASSERT_FALSE(paths_.empty());
    EXPECT_EQ(combo_, senders_.back());
    EXPECT_EQ(U8(temp / L"Alpha\\"), U8(paths_.back()));
    EXPECT_EQ(U8(temp / L"Alpha\\"), U8(combo_->SelectedPath()));

    PressKey(VK_BACK);
    EXPECT_EQ(U8(temp.Path() + L"\\"), U8(list_->Directory()));
    EXPECT_EQ(U8(temp.Path().substr(temp.Path().rfind(L'\\') + 1)), U8(combo_->Text()));
    EXPECT_EQ(U8(combo_->Tree()->GetNodePath(combo_->Tree()->Selected())), U8(temp.Path()));
}

TEST_F(ComboAndList, TheListsF4DropsTheComboDownWithTheKeysAndTheLinkEndsWithEitherSide) {
    list_->SetDirTreeCombo(combo_);
    PressKey(VK_F4);
    ASSERT_TRUE(combo_->DroppedDown());
    EXPECT_EQ(combo_->Handle(), GetFocus()) << "the keys go to the box that works the tree";
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_TRUE(IsWindowVisible(form_.Handle()));

    // A list linked when a path is picked shows it at once; relinking unlinks the old one.
    TempFolder temp;
    temp.AddFile(L"seen.txt");
    list_->SetDirTreeCombo(nullptr);
    EXPECT_EQ(nullptr, combo_->FileList());
    combo_->SetSelectedPath(temp.Path());
    list_->SetDirTreeCombo(combo_);
    EXPECT_GE(IndexOf(L"seen.txt"), 0);

    tmb::Destroy(list_);
    list_ = nullptr;
    EXPECT_EQ(nullptr, combo_->FileList());
    // With no list to tell, picking a path still records it and the combo goes on working.
    TempFolder other;
    combo_->SetSelectedPath(other.Path());
    EXPECT_EQ(U8(combo_->SelectedPath()), U8(other.Path()));
    combo_->LocatePath(temp.Path());
    EXPECT_TRUE(tmb::SameText(kv::AddSlash(combo_->SelectedPath()), kv::AddSlash(temp.Path())))
        << U8(combo_->SelectedPath());
}

} // namespace
