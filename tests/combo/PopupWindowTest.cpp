// The drop-down pop-up with another control inside: a list box under an edit box, driven
// by real mouse input. Where it opens, who keeps the keys, and what a click inside and
// outside does.
#include "framework/PopupWindow.h"

#include <gtest/gtest.h>

#include "framework/ListBox.h"
#include "framework/StdControls.h"
#include "tests/combo/RealInput.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using combotest::ClickAt;
using combotest::MoveTo;
using tmb::PopupWindow;

TEST(PopupWindowPlace, UnderTheAnchorUnlessTheMonitorEndsFirstThenAboveIt) {
    const RECT anchor{100, 500, 300, 521};
    const RECT monitor{0, 0, 1280, 1024};
    struct Case {
        int height;
        RECT expected;
    } cases[] = {
        {240, {100, 521, 250, 761}},
        {503, {100, 521, 250, 1024}},  // ends exactly at the monitor's edge: still below
        {504, {100, -4, 250, 500}},    // one pixel more: above the anchor
    };
    for (const Case& c : cases) {
        const RECT r = PopupWindow::DropDownBounds(anchor, 150, c.height, monitor);
        EXPECT_TRUE(EqualRect(&r, &c.expected))
            << c.height << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(PopupWindowHost, AListBoxInsideGetsItsClicksTheAnchorKeepsTheKeysAClickOutsideCloses) {
    tmbtest::TestForm form(400, 300);
    auto* edit = tmbtest::PlaceOn<tmb::Edit>(form.Form(), 20, 20, 150, 21);
    auto* popup = new PopupWindow(&form.Form());
    auto* list = new tmb::ListBox(&form.Form());
    list->SetItems({L"one", L"two", L"three", L"four"});
    popup->SetAnchor(edit);
    popup->SetContent(list);
    int closed = 0;
    popup->OnCloseUp = [&](tmb::Component*) { ++closed; };
    SetForegroundWindow(form.Handle());
    edit->SetFocus();
    // The pointer starts where an earlier program on this display left it: away from the
    // drop-down's place, so the pop-up opens with the pointer outside.
    MoveTo(tmbtest::ToScreen(form.Handle(), 300, 250));

    popup->DropDown(150, 100);
    tmbtest::Pump();
    ASSERT_TRUE(popup->IsOpen());
    RECT anchor, drop;
    GetWindowRect(edit->Handle(), &anchor);
    GetWindowRect(popup->Handle(), &drop);
    EXPECT_EQ(anchor.bottom, drop.top);
    EXPECT_EQ(popup->Handle(), GetCapture());
    EXPECT_FALSE(popup->PointerInside());

    // A click on the third row selects it; the list box took the focus and gave it back.
    const POINT third = tmbtest::ToScreen(list->Handle(), 20, list->ItemHeight() * 2 + 4);
    MoveTo(third);
    EXPECT_TRUE(popup->PointerInside());
    ClickAt(third);
    EXPECT_EQ(2, list->ItemIndex());
    EXPECT_TRUE(popup->IsOpen());
    EXPECT_EQ(edit->Handle(), GetFocus());
    EXPECT_EQ(0, closed);

    // Out again: the pop-up holds the mouse, and the press on the form closes it.
    MoveTo(tmbtest::ToScreen(form.Handle(), 300, 250));
    EXPECT_FALSE(popup->PointerInside());
    EXPECT_EQ(popup->Handle(), GetCapture());
    ClickAt(tmbtest::ToScreen(form.Handle(), 300, 250));
    EXPECT_FALSE(popup->IsOpen());
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(1, closed);
    EXPECT_EQ(nullptr, GetCapture());
}

} // namespace
