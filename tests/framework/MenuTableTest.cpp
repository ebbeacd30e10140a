// Menus made from tables: the rules reach the item of their own row through submenus, extra
// entries and submenus whose items are missing; a menu bar carries the tags as commands; a
// menu whose owner goes away while it is open runs nothing; and a menu asked for from the
// keyboard opens at the selected item.
#include "framework/MenuTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ListView.h"
#include "framework/TreeView.h"
#include "framework/WinControl.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

struct State {
    int level = 0;
};
struct Target {
    std::vector<long> ran;
};
using Row = tmb::MenuRow<const wchar_t*, State, Target>;

bool Above(const State& s, long tag) { return s.level > tag % 10; }
bool Exactly(const State& s, long tag) { return s.level == tag % 10; }
void Record(Target& t, long tag) { t.ran.push_back(tag); }

const Row kRows[] = {
    {L"a", 1, L"A", nullptr, Above, Record},
    {nullptr, 0, L"", nullptr, nullptr, nullptr},
    {L"sub", 2, L"Sub", nullptr, Above, nullptr},
    {L"b", 12, L"B", nullptr, Above, Record, Exactly, 1, true},
    {L"deep", 13, L"Deep", nullptr, nullptr, nullptr, nullptr, 1},
    {L"c", 23, L"C", nullptr, Exactly, Record, nullptr, 2},
    {L"d", 4, L"D", nullptr, nullptr, Record, Exactly},
};

// Each item as "caption:enabled checked" depth first, submenus in brackets.
std::string Shape(const std::vector<tmb::MenuItem>& items) {
    std::string s;
    for (const tmb::MenuItem& item : items) {
        s += std::string(item.caption.begin(), item.caption.end()) + ':' +
             (item.enabled ? 'e' : 'd') + (item.checked ? 'c' : '-') + ' ';
        if (!item.items.empty())
            s += "[ " + Shape(item.items) + "] ";
    }
    return s;
}

TEST(MenuTable, EachRuleReachesTheItemOfItsOwnRow) {
    struct Case {
        int level;
        bool extraItem;    // an entry added to the submenu after the table's own
        bool dropDeep;     // the deep submenu's items are missing
        const char* shape;
    };
    const Case cases[] = {
        {0, false, false, "A:d- -:e- Sub:d- [ B:d- Deep:e- [ C:d- ] ] D:e- "},
        {2, false, false, "A:e- -:e- Sub:d- [ B:dc Deep:e- [ C:d- ] ] D:e- "},
        {3, true, false, "A:e- -:e- Sub:e- [ B:e- Deep:e- [ C:e- ] X:d- ] D:e- "},
        {4, false, true, "A:e- -:e- Sub:e- [ B:e- Deep:e- ] D:ec "},
    };
    for (const Case& c : cases) {
        std::vector<tmb::MenuItem> items;
        tmb::BuildMenuItems(items, kRows, [](const wchar_t* caption) { return caption; });
        ASSERT_EQ(items.size(), 4u);
        tmb::MenuItem& sub = items[2];
        if (c.extraItem) {
            tmb::MenuItem extra;
            extra.caption = L"X";
            extra.enabled = false;
            sub.items.push_back(extra);
        }
        if (c.dropDeep)
            sub.items[1].items.clear();
        tmb::ApplyMenuRules(items, kRows, State{c.level});
        EXPECT_EQ(Shape(items), c.shape) << "level " << c.level;
    }
}

TEST(MenuTable, AMenuBarSendsTheTagsAndARowRunsByItsTag) {
    std::vector<tmb::MenuItem> items;
    tmb::BuildMenuItems(items, kRows, [](const wchar_t* caption) { return caption; });
    tmb::ApplyMenuRules(items, kRows, State{2});
    const tmb::MenuHandle bar = tmb::BuildMenuBar(items);
    EXPECT_TRUE(GetMenuState(bar.get(), 12, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(bar.get(), 23, MF_BYCOMMAND) & MF_GRAYED);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(bar.get(), 12, FALSE, &info));
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);

    Target target;
    EXPECT_TRUE(tmb::RunMenuAction(kRows, 23, target));
    EXPECT_FALSE(tmb::RunMenuAction(kRows, 2, target)) << "a submenu runs nothing";
    EXPECT_FALSE(tmb::RunMenuAction(kRows, 0, target)) << "nor does a separator";
    EXPECT_EQ(target.ran, std::vector<long>{23});
}

TEST(MenuTable, AMenuWhoseOwnerWentAwayWhileOpenRunsNothing) {
    tmbtest::TestForm form(300, 200);
    SetForegroundWindow(form.Handle());
    auto* owner = tmbtest::PlaceOn<tmb::WinControl>(form.Form(), 0, 0, 200, 100);
    auto* menu = new tmb::PopupMenu(owner);  // goes with its owner
    bool ran = false;
    tmb::MenuItem first;
    first.caption = L"&First";
    first.onClick = [&ran](tmb::Component*) { ran = true; };
    menu->Add(first);
    owner->SetPopupMenu(menu);
    const HWND ownerWindow = owner->Handle();
    // While the menu is up: its first entry is highlighted, then its owner is destroyed and
    // Enter pressed; a menu still open after that is closed.
    int ticks = 0;
    tmbtest::OpenMenuWatch watch([&](HWND menuWindow) {
        if (++ticks == 1) {
            PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        } else if (ticks == 2) {
            tmb::Destroy(owner);
            owner = nullptr;
            PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
        } else {
            EndMenu();
        }
        return false;
    });
    const POINT at = tmbtest::ToScreen(ownerWindow, 20, 20);
    SendMessageW(ownerWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ownerWindow),
                 MAKELPARAM(at.x, at.y));
    EXPECT_EQ(owner, nullptr) << "the menu was not seen";
    EXPECT_FALSE(ran);
}

// Shift+F10 pressed in `control`, as the system hands it over.
void ShiftF10(HWND control) {
    tmbtest::HeldKeys shift{VK_SHIFT};
    PostMessageW(control, WM_SYSKEYDOWN, VK_F10, 1);
    PostMessageW(control, WM_SYSKEYUP, VK_F10, static_cast<LPARAM>(0xC0000001u));
    tmbtest::PumpFor(100);
}

// A menu asked for from the keyboard (the menu key: the system sends the request with the
// point (-1, -1); Shift+F10, whichever control has the focus) opens below the selected row or node, as Windows places
// it, and at the control's top-left corner while nothing is selected or the selected item is
// scrolled out of sight; a right-click opens it at the pointer.
TEST(MenuTable, AMenuFromTheKeyboardOpensAtTheSelectedItem) {
    tmbtest::TestForm form(420, 300);
    auto* list = new tmb::ListView(&form.Form());
    list->SetViewStyle(tmb::ViewStyle::vsReport);
    list->SetBounds(10, 10, 190, 200);
    list->SetParent(&form.Form());
    list->AddColumn(tmb::ListColumn{L"Name", 150});
    for (int i = 0; i < 40; ++i) {
        tmb::ListItem row;
        row.caption = L"row " + std::to_wstring(i);
        list->AddItem(row);
    }
    auto* tree = tmbtest::PlaceOn<tmb::TreeView>(form.Form(), 210, 10, 190, 200);
    const HTREEITEM top = tree->AddChild(nullptr, L"top");
    HTREEITEM deep = top;
    for (int i = 0; i < 3; ++i)
        deep = tree->AddChild(deep, L"child " + std::to_wstring(i));
    tree->Expand(top, true);
    tmb::PopupMenu menu(&form.Form());
    tmb::MenuItem entry;
    entry.caption = L"Entry";
    menu.Add(entry);
    list->SetPopupMenu(&menu);
    tree->SetPopupMenu(&menu);
    SetForegroundWindow(form.Handle());

    struct Case {
        tmb::WinControl* control;
        std::function<void()> select;
        std::function<RECT()> item;  // in client coordinates; empty: none is shown
        enum { menuKey, shiftF10, rightClick } how;
    };
    const auto none = [] { return RECT{}; };
    const Case cases[] = {
        {list, [&] { list->SetSelected(5, true); list->SetFocusedIndex(5); },
         [&] { return list->ItemRect(5, true); }, Case::menuKey},
        {list, [&] { list->SetSelected(2, true); }, [&] { return list->ItemRect(2, true); },
         Case::shiftF10},
        {list, [&] { list->ClearSelection(); }, none, Case::menuKey},
        {list, [&] { list->SetSelected(39, true); list->SetFocusedIndex(39); list->MakeVisible(0); },
         none, Case::shiftF10},
        {list, [&] { list->SetSelected(3, true); }, none, Case::rightClick},
        {tree, [&] { tree->Select(deep); }, [&] { return tree->NodeRect(deep, true); },
         Case::menuKey},
        {tree, [&] { tree->Select(top); }, [&] { return tree->NodeRect(top, true); },
         Case::shiftF10},
        {tree, [&] { tree->Select(top); }, none, Case::rightClick},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        c.select();
        tmbtest::PumpFor(30);
        const RECT item = c.item();
        const bool shown = item.bottom > item.top;
        POINT expected = tmbtest::ToScreen(c.control->Handle(), shown ? item.left : 0,
                                           shown ? item.bottom : 0);
        POINT sent{-1, -1};
        if (c.how == Case::rightClick)
            sent = expected = tmbtest::ToScreen(c.control->Handle(), 40, 150);
        // Where the menu window showed its top-left corner; it is closed at once, and menu
        // mode is ended after a while also when no menu window showed.
        POINT menuAt{-1, -1};
        tmbtest::OpenMenuWatch watch([&](HWND menuWindow) {
            menuAt = tmbtest::TopLeftOf(menuWindow);
            EndMenu();
            return true;
        }, 30, 10);
        if (c.how == Case::shiftF10)
            ShiftF10(c.control->Handle());
        else
            SendMessageW(c.control->Handle(), WM_CONTEXTMENU,
                         reinterpret_cast<WPARAM>(c.control->Handle()),
                         MAKELPARAM(sent.x, sent.y));
        EXPECT_EQ(menuAt.x, expected.x) << "case " << n;
        EXPECT_EQ(menuAt.y, expected.y) << "case " << n;
    }
    list->SetPopupMenu(nullptr);
    tree->SetPopupMenu(nullptr);
}

} // namespace
