// The owner-data list view on a shown window: texts and images asked for when rows are
// drawn, sorting that keeps the selection with its items, header clicks and in-place
// editing driven with real input.
#include "framework/ListView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/WindowTestHelpers.h"

namespace {

using tmb::ListItem;
using tmb::ListView;

class CountingList : public ListView {
public:
    using ListView::ListView;
    std::vector<int> imagesAsked;

protected:
    int ItemImage(int index) override {
        imagesAsked.push_back(index);
        return index % 3;
    }
};

class ListViewFixture : public testing::Test {
protected:
    void SetUp() override {
        list_ = new CountingList(&form_.Form());
        list_->SetBounds(0, 0, 380, 280);
        list_->SetViewStyle(tmb::ViewStyle::vsReport);
        list_->SetMultiSelect(true);
        list_->SetParent(&form_.Form());
        list_->AddColumn({L"Name", 120, tmb::ColumnAlign::taLeftJustify});
        list_->AddColumn({L"Size", 80, tmb::ColumnAlign::taRightJustify});
    }
    void TearDown() override { tmb::Destroy(list_); }

    // The text the control shows in a cell (asked through the control, so through the
    // owner-data display notification).
    std::wstring Cell(int row, int column) {
        wchar_t buffer[260] = {};
        ListView_GetItemText(list_->Handle(), row, column, buffer, 260);
        return buffer;
    }
    void AddNamed(const std::vector<std::wstring>& names) {
        tmb::ItemsUpdate bracket(*list_);
        for (const std::wstring& n : names)
            list_->AddItem(ListItem{n, ListItem::kImageWhenDrawn, {L"size of " + n, L"hidden"}, 0, {}});
    }
    // A left click on the middle of a column's header.
    void ClickHeader(int column) {
        RECT r{};
        ASSERT_TRUE(Header_GetItemRect(list_->HeaderHandle(), column, &r));
        tmbtest::Click(list_->HeaderHandle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        tmbtest::PumpFor(50);
    }

    tmbtest::TestForm form_{400, 300};
    CountingList* list_ = nullptr;
};

TEST_F(ListViewFixture, RowsShowTheirTextsAndAskForImagesOnlyWhenDrawn) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 2000; ++i)
        names.push_back(L"item " + std::to_wstring(i));
    AddNamed(names);
    UpdateWindow(list_->Handle());
    tmbtest::Pump();

    EXPECT_EQ(ListView_GetItemCount(list_->Handle()), 2000);
    EXPECT_EQ(Cell(1500, 0), L"item 1500");
    EXPECT_EQ(Cell(1500, 1), L"size of item 1500");
    // Only the visible page was drawn, and each image is asked once.
    ASSERT_FALSE(list_->imagesAsked.empty());
    EXPECT_LT(list_->imagesAsked.size(), 100u);
    const std::vector<int> first = list_->imagesAsked;
    InvalidateRect(list_->Handle(), nullptr, TRUE);
    UpdateWindow(list_->Handle());
    EXPECT_EQ(list_->imagesAsked, first);
    EXPECT_EQ(list_->Item(0).imageIndex, 0);
    EXPECT_EQ(list_->Item(2).imageIndex, 2);
}

TEST_F(ListViewFixture, SortingIsStableAndCarriesSelectionAndFocusWithTheItems) {
    AddNamed({L"d", L"b", L"a", L"c", L"b"});
    list_->SetSelected(0, true);  // "d"
    list_->SetSelected(4, true);  // the second "b"
    list_->SetFocusedIndex(3);    // "c"
    list_->OnCompare = [](tmb::Component*, const ListItem& a, const ListItem& b, int& c) {
        c = a.caption.compare(b.caption);
    };
    list_->Sort();

    std::vector<std::wstring> order;
    for (int i = 0; i < list_->ItemCount(); ++i)
        order.push_back(Cell(i, 0));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"a", L"b", L"b", L"c", L"d"}));
    // Stable: the "b" that was second stays before the one that was fifth.
    EXPECT_EQ(list_->SelectedIndices(), (std::vector<int>{2, 4}));
    EXPECT_EQ(list_->FocusedIndex(), 3);
}

TEST_F(ListViewFixture, WithoutAComparisonCaptionsAreSortedAsTheUsersLocaleOrdersThem) {
    // Accents, case, hyphens, digits and characters beyond 0x7F: the order must agree with
    // the locale's comparison of every neighbouring pair.
    const std::vector<std::wstring> names{L"zeta", L"\u00c9t\u00e9", L"co-op", L"Alpha", L"coop",
                                          L"alpha", L"\u00e9t\u00e9", L"10", L"9", L"\u00fcber",
                                          L"Zulu", L"ete", L"\u00c5ngstr\u00f6m", L"b"};
    AddNamed(names);
    list_->Sort();
    ASSERT_EQ(list_->ItemCount(), static_cast<int>(names.size()));
    for (int i = 1; i < list_->ItemCount(); ++i) {
        const std::wstring& a = list_->Item(i - 1).caption;
        const std::wstring& b = list_->Item(i).caption;
        EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1),
                  CSTR_GREATER_THAN)
            << i;
        EXPECT_EQ(Cell(i, 0), b);
    }
}

TEST_F(ListViewFixture, AHeaderClickSortingAWholeSelectionReportsTheChangeOnce) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 20000; ++i)
        names.push_back(L"item " + std::to_wstring(i));
    AddNamed(names);
    ListView_SetItemState(list_->Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    list_->SetSelected(9999, false);  // "item 9999", the one row left out, must stay out
    list_->OnCompare = [](tmb::Component*, const ListItem& a, const ListItem& b, int& c) {
        c = b.caption.compare(a.caption);
    };
    list_->OnColumnClick = [this](tmb::Component*, int) { list_->Sort(); };
    int changes = 0;
    list_->OnSelectionChange = [&](tmb::Component*) { ++changes; };

    ClickHeader(0);

    EXPECT_LE(changes, 1);
    EXPECT_EQ(list_->SelectedCount(), 20000 - 1);
    EXPECT_EQ(Cell(0, 0), L"item 9999");
    ASSERT_EQ(list_->Item(0).caption, L"item 9999");
    // "item 9999" was the row left out: after the sort it is the first row, still unselected.
    EXPECT_FALSE(list_->IsSelected(0));
    EXPECT_TRUE(list_->IsSelected(1));
    EXPECT_TRUE(list_->IsSelected(20000 - 1));
}

TEST_F(ListViewFixture, AClickOnAHeaderReportsItsColumn) {
    std::vector<int> clicked;
    list_->OnColumnClick = [&](tmb::Component* sender, int column) {
        EXPECT_EQ(sender, list_);
        clicked.push_back(column);
    };
    ClickHeader(1);
    EXPECT_EQ(clicked, std::vector<int>{1});
}

TEST_F(ListViewFixture, InPlaceEditingTakesAConfirmedCaptionAndDropsACancelledOne) {
    AddNamed({L"alpha", L"beta"});
    std::vector<std::wstring> edited;
    list_->OnEdited = [&](tmb::Component*, int index, std::wstring& text) {
        EXPECT_EQ(index, 1);
        edited.push_back(text);
        text += L"!";  // the handler may change what is taken
    };
    HWND edit = list_->EditCaption(1);
    ASSERT_TRUE(edit);
    EXPECT_TRUE(list_->IsEditing());
    tmbtest::TypeAndPress(edit, L"gamma", VK_RETURN, 1);
    EXPECT_FALSE(list_->IsEditing());
    EXPECT_EQ(edited, std::vector<std::wstring>{L"gamma"});
    EXPECT_EQ(Cell(1, 0), L"gamma!");

    edit = list_->EditCaption(0);
    ASSERT_TRUE(edit);
    tmbtest::TypeAndPress(edit, L"never", VK_ESCAPE, 1);
    EXPECT_EQ(Cell(0, 0), L"alpha");
    EXPECT_EQ(edited.size(), 1u);

    // A read-only list edits nothing.
    list_->SetReadOnly(true);
    EXPECT_EQ(list_->EditCaption(0), nullptr);
}

TEST_F(ListViewFixture, ItemsSurviveARecreationOfTheWindowAndDeletingMovesTheRest) {
    AddNamed({L"one", L"two", L"three"});
    list_->RecreateWnd();
    EXPECT_EQ(ListView_GetItemCount(list_->Handle()), 3);
    EXPECT_EQ(list_->ColumnCount(), 2);
    EXPECT_EQ(Cell(2, 1), L"size of three");
    list_->SetSelected(2, true);
    list_->DeleteItem(0);
    EXPECT_EQ(ListView_GetItemCount(list_->Handle()), 2);
    EXPECT_EQ(Cell(0, 0), L"two");
    EXPECT_EQ(list_->SelectedIndices(), std::vector<int>{1});
}

} // namespace
