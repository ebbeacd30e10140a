// Menus made from tables: the rules reach the item of their own row through submenus, extra
// entries and submenus whose items are missing; a menu bar carries the tags as commands; and
// a menu whose owner goes away while it is open runs nothing.
#include "framework/MenuTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/WinControl.h"
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

// While the menu is up: its first entry is highlighted, then its owner is destroyed and
// Enter pressed; a menu still open after that is closed.
tmb::WinControl* g_owner = nullptr;
int g_ticks = 0;
void CALLBACK DestroyOwner(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    ++g_ticks;
    if (g_ticks == 1) {
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    } else if (g_ticks == 2) {
        tmb::Destroy(g_owner);
        g_owner = nullptr;
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        EndMenu();
    }
}

TEST(MenuTable, AMenuWhoseOwnerWentAwayWhileOpenRunsNothing) {
    tmbtest::TestForm form(300, 200);
    SetForegroundWindow(form.Handle());
    auto* owner = new tmb::WinControl(&form.Form());
    owner->SetBounds(0, 0, 200, 100);
    owner->SetParent(&form.Form());
    auto* menu = new tmb::PopupMenu(owner);  // goes with its owner
    bool ran = false;
    tmb::MenuItem first;
    first.caption = L"&First";
    first.onClick = [&ran](tmb::Component*) { ran = true; };
    menu->Add(first);
    owner->SetPopupMenu(menu);
    g_owner = owner;
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &DestroyOwner);
    const POINT at = tmbtest::ToScreen(owner->Handle(), 20, 20);
    SendMessageW(owner->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(owner->Handle()),
                 MAKELPARAM(at.x, at.y));
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_owner, nullptr) << "the menu was not seen";
    EXPECT_FALSE(ran);
}

} // namespace
