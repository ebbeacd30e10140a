// Windowed and windowless controls on a real window: routing of messages to objects,
// reflection of notifications to the child that sent them, windowless children painted and
// given the mouse by their parent, re-creation, Tab order, redraw brackets, fonts, layout,
// and errors raised inside window messages.
#include "framework/WinControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/ListBox.h"
#include "framework/StdControls.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmb::Component;
using tmb::WinControl;
using tmbtest::ModalCall;
using tmbtest::RectInParent;
using tmbtest::TestForm;

constexpr UINT kRaise = WM_APP + 1;
constexpr UINT kPing = WM_APP + 2;

// A plain window of the layer's own class that keeps the messages it gets. kRaise runs
// `raise` (to throw from inside the window procedure); kPing answers 77.
class Panel : public WinControl {
public:
    Panel(Component* owner, WinControl* parent, int left, int top, int width, int height)
        : WinControl(owner) {
        SetBounds(left, top, width, height);
        SetParent(parent);
    }
    std::vector<UINT> messages;
    std::vector<WPARAM> redraws;  // wParam of each WM_SETREDRAW
    std::function<void()> raise;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(msg);
        if (msg == WM_SETREDRAW)
            redraws.push_back(wParam);
        if (msg == kRaise && raise)
            raise();
        if (msg == kPing)
            return 77;
        return WinControl::WndProc(msg, wParam, lParam);
    }
};

// An owner-drawn push button: its drawing, clicks and notifications come back to it from
// its parent.
class OwnerDrawButton : public WinControl {
public:
    OwnerDrawButton(Component* owner, WinControl* parent) : WinControl(owner) {
        SetBounds(10, 10, 60, 30);
        SetParent(parent);
    }
    std::vector<UINT> reflected;
    int clicks = 0;
    COLORREF paint = RGB(200, 0, 0);

protected:
    void CreateParams(tmb::CreateArgs& args) override {
        WinControl::CreateParams(args);
        args.className = L"BUTTON";
        args.style |= BS_OWNERDRAW;
    }
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        reflected.push_back(msg);
        switch (msg) {
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            tmb::BrushHandle brush(CreateSolidBrush(paint));
            FillRect(dis->hDC, &dis->rcItem, brush.get());
            result = TRUE;
            return true;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED)
                ++clicks;
            return true;
        case WM_NOTIFY:
            result = 1234;
            return true;
        default:
            return false;
        }
    }
};

// An owner-drawn list box whose rows are measured while CreateWindowEx runs, before the
// window could be hooked.
class MeasuredList : public WinControl {
public:
    MeasuredList(Component* owner, WinControl* parent) : WinControl(owner) {
        SetBounds(10, 10, 100, 100);
        SetParent(parent);
    }
    int measured = 0;

protected:
    void CreateParams(tmb::CreateArgs& args) override {
        WinControl::CreateParams(args);
        args.className = L"LISTBOX";
        args.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    }
    bool Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (msg != WM_MEASUREITEM)
            return false;
        ++measured;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 27;
        result = TRUE;
        return true;
    }
};

// A windowless control filling its area with one colour; it paints far beyond its bounds
// on purpose, so only the parent's clipping keeps the drawing inside. It keeps the mouse
// events it gets, moves apart.
class Swatch : public tmb::GraphicControl {
public:
    Swatch(Component* owner, WinControl* parent, RECT r, COLORREF color)
        : GraphicControl(owner), color_(color) {
        SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        SetParent(parent);
        OnClick = [this](Component*) { events.push_back(L"click"); };
        OnDblClick = [this](Component*) { events.push_back(L"dblclick"); };
        OnMouseDown = [this](Component*, tmb::MouseButton b, unsigned, int x, int y) {
            events.push_back(std::wstring(b == tmb::MouseButton::mbLeft ? L"down " : L"rdown ") +
                             std::to_wstring(x) + L"," + std::to_wstring(y));
        };
        OnMouseUp = [this](Component*, tmb::MouseButton b, unsigned, int x, int y) {
            events.push_back(std::wstring(b == tmb::MouseButton::mbLeft ? L"up " : L"rup ") +
                             std::to_wstring(x) + L"," + std::to_wstring(y));
        };
        OnMouseMove = [this](Component*, unsigned, int x, int y) { lastMove = POINT{x, y}; };
    }
    void Paint(HDC dc) override {
        tmb::BrushHandle brush(CreateSolidBrush(color_));
        RECT all{-1000, -1000, 1000, 1000};
        FillRect(dc, &all, brush.get());
    }
    void MouseEnter() override { events.push_back(L"enter"); }
    void MouseLeave() override { events.push_back(L"leave"); }

    std::vector<std::wstring> events;
    POINT lastMove{-1, -1};

private:
    COLORREF color_;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> out;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        out.push_back(h);
    return out;
}

class WinControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousTitle_ = tmb::App().Title();
        tmb::App().SetTitle(L"Tombarel under test");
    }
    void TearDown() override { tmb::App().SetTitle(previousTitle_); }

    std::vector<ModalCall> Errors() const { return script.CallsOf(ModalCall::Kind::Error); }

    tmbtest::DialogScript script;
    TestForm form;

private:
    std::wstring previousTitle_;
};

// ---- routing -------------------------------------------------------------------------

TEST_F(WinControlTest, EveryWindowLeadsBackToItsObject) {
    Panel panel(&form.Form(), &form.Form(), 0, 0, 100, 100);
    tmb::Button button(&form.Form());
    button.SetParent(&panel);

    EXPECT_EQ(&form.Form(), WinControl::FromHandle(form.Handle()));
    EXPECT_EQ(&panel, WinControl::FromHandle(panel.Handle()));
    EXPECT_EQ(&button, WinControl::FromHandle(button.Handle()));
    // The own class gets its messages from the first one on: creation included.
    ASSERT_FALSE(panel.messages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), panel.messages.front());
    EXPECT_EQ(77, SendMessageW(panel.Handle(), kPing, 0, 0));

    HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, panel.Handle(),
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(nullptr, WinControl::FromHandle(foreign));
    DestroyWindow(foreign);

    HWND old = button.Handle();
    button.DestroyHandle();
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(nullptr, WinControl::FromHandle(old));
    EXPECT_FALSE(button.HandleAllocated());
}

TEST_F(WinControlTest, ParentsReflectNotificationsToTheChildThatSentThem) {
    // Nested below a panel of the layer's own class, so the form is not the one reflecting.
    Panel panel(&form.Form(), &form.Form(), 20, 20, 200, 150);
    panel.SetColor(tmb::clWhite);
    OwnerDrawButton button(&form.Form(), &panel);

    // Its own drawing: WM_DRAWITEM went to the panel and came back to the button.
    EXPECT_EQ(RGB(200, 0, 0), tmbtest::PixelAt(button.Handle(), 30, 15));

    button.Perform(BM_CLICK);
    EXPECT_EQ(1, button.clicks);

    NMHDR hdr{button.Handle(), 0, 42};
    EXPECT_EQ(1234, SendMessageW(panel.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr)));
    // From a window the layer does not know: the parent handles it as any window would.
    HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, panel.Handle(),
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    NMHDR other{foreign, 0, 42};
    EXPECT_EQ(0, SendMessageW(panel.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other)));
    DestroyWindow(foreign);
}

TEST_F(WinControlTest, RowsMeasuredDuringCreationReachTheNewControl) {
    MeasuredList list(&form.Form(), &form.Form());
    list.Handle();
    EXPECT_GE(list.measured, 1);
    EXPECT_EQ(27, list.Perform(LB_GETITEMHEIGHT, 0, 0));
}

// ---- errors inside window messages ---------------------------------------------------

TEST_F(WinControlTest, AnErrorInAClickHandlerIsReportedAndTheMessageReturns) {
    tmb::Button button(&form.Form());
    button.SetParent(&form.Form());
    int clicks = 0;
    bool fail = true;
    button.OnClick = [&](Component*) {
        ++clicks;
        if (fail)
            throw tmb::EFCreateError(L"C:\\nowhere\\x.txt", ERROR_PATH_NOT_FOUND);
    };

    button.Perform(BM_CLICK);

    const auto errors = Errors();
    ASSERT_EQ(1u, errors.size());
    const std::wstring expected =
        L"Cannot create file \"C:\\nowhere\\x.txt\". " + tmb::SysErrorMessage(ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(tmb::Application::ErrorReportText(expected), errors[0].text);
    EXPECT_EQ(L"Tombarel under test", errors[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONERROR), errors[0].flags);

    // The window keeps running.
    fail = false;
    button.Perform(BM_CLICK);
    EXPECT_EQ(2, clicks);
    EXPECT_EQ(1u, Errors().size());
}

TEST_F(WinControlTest, AnyErrorThrownInsideAWindowProcedureIsReported) {
    Panel panel(&form.Form(), &form.Form(), 0, 0, 50, 50);
    panel.raise = [] { throw std::runtime_error("Caf\xC3\xA9 closed"); };
    EXPECT_EQ(0, SendMessageW(panel.Handle(), kRaise, 0, 0));
    panel.raise = [] { throw tmb::Exception(L"Quoted 'name'"); };
    PostMessageW(panel.Handle(), kRaise, 0, 0);  // through the message loop as well
    tmbtest::Pump();
    panel.raise = [] { throw 42; };
    SendMessageW(panel.Handle(), kRaise, 0, 0);

    EXPECT_EQ((std::vector<std::wstring>{L"Caf\u00E9 closed.", L"Quoted 'name'", L"Unknown error."}),
              script.Texts());
    EXPECT_EQ(77, SendMessageW(panel.Handle(), kPing, 0, 0));
}

TEST_F(WinControlTest, AnErrorInAWindowlessControlsClickIsReported) {
    Swatch swatch(&form.Form(), &form.Form(), RECT{20, 20, 60, 50}, kRed);
    swatch.OnClick = [](Component*) { throw tmb::Exception(L"No link"); };
    tmbtest::Click(form.Handle(), 30, 30);
    EXPECT_EQ((std::vector<std::wstring>{L"No link."}), script.Texts());
    // The press captured the mouse; the error did not leave it captured.
    EXPECT_NE(form.Handle(), GetCapture());
}

// ---- windowless children -----------------------------------------------------------------

TEST_F(WinControlTest, WindowlessChildrenArePaintedInsideTheirBoundsOnly) {
    Swatch red(&form.Form(), &form.Form(), RECT{20, 20, 60, 50}, kRed);
    HWND h = form.Handle();
    tmbtest::ExpectPixels(h, {{kRed, 20, 20}, {kRed, 59, 49}, {kWhite, 19, 30}, {kWhite, 60, 30},
                              {kWhite, 30, 50}});

    // The one added last lies on top.
    Swatch blue(&form.Form(), &form.Form(), RECT{40, 30, 80, 60}, kBlue);
    tmbtest::ExpectPixels(h, {{kBlue, 45, 35}, {kRed, 30, 25}});

    blue.SetVisible(false);
    tmbtest::ExpectPixels(h, {{kRed, 45, 35}, {kWhite, 70, 55}});

    // Moved: the old place shows the parent again.
    red.SetBounds(200, 100, 40, 30);
    tmbtest::ExpectPixels(h, {{kWhite, 30, 25}, {kRed, 210, 110}});

    // Gone with its object.
    blue.SetVisible(true);
    EXPECT_EQ(kBlue, tmbtest::PixelAt(h, 45, 35));
    {
        Swatch temporary(&form.Form(), &form.Form(), RECT{300, 200, 340, 240}, kBlue);
        EXPECT_EQ(kBlue, tmbtest::PixelAt(h, 310, 210));
    }
    EXPECT_EQ(kWhite, tmbtest::PixelAt(h, 310, 210));
}

TEST_F(WinControlTest, TheParentHandsTheMouseToTheWindowlessChildUnderIt) {
    Swatch swatch(&form.Form(), &form.Form(), RECT{20, 20, 60, 50}, kRed);
    std::vector<std::wstring> formEvents;
    form->OnMouseDown = [&](Component*, tmb::MouseButton, unsigned, int x, int y) {
        formEvents.push_back(L"down " + std::to_wstring(x) + L"," + std::to_wstring(y));
    };
    form->OnMouseUp = [&](Component*, tmb::MouseButton, unsigned, int x, int y) {
        formEvents.push_back(L"up " + std::to_wstring(x) + L"," + std::to_wstring(y));
    };
    HWND h = form.Handle();
    auto post = [h](UINT msg, WPARAM keys, int x, int y) {
        PostMessageW(h, msg, keys, MAKELPARAM(x, y));
        tmbtest::Pump();
    };

    tmbtest::Click(h, 30, 25);
    EXPECT_EQ((std::vector<std::wstring>{L"enter", L"down 10,5", L"click", L"up 10,5"}),
              swatch.events);
    EXPECT_TRUE(formEvents.empty());

    // Pressed on the child and released outside: the release still goes to the child, in
    // its own coordinates, and is no click.
    swatch.events.clear();
    tmbtest::MouseMove(h, 30, 25);
    post(WM_LBUTTONDOWN, MK_LBUTTON, 30, 25);
    EXPECT_EQ(h, GetCapture());
    post(WM_LBUTTONUP, 0, 150, 120);
    EXPECT_EQ((std::vector<std::wstring>{L"down 10,5", L"up 130,100", L"leave"}), swatch.events);
    EXPECT_TRUE(formEvents.empty());
    EXPECT_NE(h, GetCapture());

    // Pressed on the parent and released on the child: no click either.
    swatch.events.clear();
    tmbtest::MouseMove(h, 150, 120);
    post(WM_LBUTTONDOWN, MK_LBUTTON, 150, 120);
    tmbtest::MouseMove(h, 30, 25);
    post(WM_LBUTTONUP, 0, 30, 25);
    EXPECT_EQ(std::vector<std::wstring>{L"down 150,120"}, formEvents);
    EXPECT_EQ(0, std::count(swatch.events.begin(), swatch.events.end(), L"click"));

    // A double click is one click and one double click.
    swatch.events.clear();
    tmbtest::DoubleClick(h, 30, 25);
    EXPECT_EQ(1, std::count(swatch.events.begin(), swatch.events.end(), L"click"));
    EXPECT_EQ(1, std::count(swatch.events.begin(), swatch.events.end(), L"dblclick"));

    // Disabled, it swallows the mouse and does nothing.
    swatch.SetEnabled(false);
    swatch.events.clear();
    formEvents.clear();
    tmbtest::Click(h, 30, 25);
    EXPECT_TRUE(swatch.events.empty());
    EXPECT_TRUE(formEvents.empty());
}

TEST_F(WinControlTest, APressThatLosesTheMouseMidwayEndsWithoutAClick) {
    Swatch pressed(&form.Form(), &form.Form(), RECT{20, 20, 60, 50}, kRed);
    Swatch other(&form.Form(), &form.Form(), RECT{100, 20, 140, 50}, kBlue);
    HWND h = form.Handle();

    // Disabled by its own press.
    pressed.OnMouseDown = [&](Component*, tmb::MouseButton, unsigned, int, int) {
        pressed.SetEnabled(false);
    };
    tmbtest::Click(h, 30, 25);
    EXPECT_NE(h, GetCapture());
    tmbtest::MouseMove(h, 110, 30);
    EXPECT_EQ(std::vector<std::wstring>{L"enter"}, other.events);

    // Another window takes the mouse while the button is down.
    pressed.SetEnabled(true);
    HWND thief = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, h, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    pressed.OnMouseDown = [&](Component*, tmb::MouseButton, unsigned, int, int) {
        SetCapture(thief);
    };
    pressed.events.clear();
    tmbtest::Click(h, 30, 25);
    EXPECT_EQ(0, std::count(pressed.events.begin(), pressed.events.end(), L"click"));
    ReleaseCapture();
    other.events.clear();
    tmbtest::MouseMove(h, 110, 30);
    EXPECT_EQ(std::vector<std::wstring>{L"enter"}, other.events);
    DestroyWindow(thief);
}

TEST_F(WinControlTest, WindowlessChildrenHearThePointerComeAndGo) {
    Swatch left(&form.Form(), &form.Form(), RECT{20, 20, 60, 50}, kRed);
    Swatch right(&form.Form(), &form.Form(), RECT{60, 20, 100, 50}, kBlue);
    POINT formMove{-1, -1};
    form->OnMouseMove = [&](Component*, unsigned, int x, int y) { formMove = POINT{x, y}; };
    HWND h = form.Handle();

    tmbtest::MouseMove(h, 35, 30);
    EXPECT_EQ(std::vector<std::wstring>{L"enter"}, left.events);
    EXPECT_EQ(15, left.lastMove.x);
    EXPECT_EQ(10, left.lastMove.y);

    tmbtest::MouseMove(h, 70, 30);  // straight from one to the other
    EXPECT_EQ((std::vector<std::wstring>{L"enter", L"leave"}), left.events);
    EXPECT_EQ(std::vector<std::wstring>{L"enter"}, right.events);

    tmbtest::MouseMove(h, 200, 150);
    EXPECT_EQ((std::vector<std::wstring>{L"enter", L"leave"}), right.events);
    EXPECT_EQ(200, formMove.x);
    EXPECT_EQ(150, formMove.y);

    // The pointer leaving the parent window leaves the child too.
    tmbtest::MouseMove(h, 35, 30);
    left.events.clear();
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(std::vector<std::wstring>{L"leave"}, left.events);
}

TEST_F(WinControlTest, ThePointerTakesTheShapeOfTheControlUnderIt) {
    Swatch link(&form.Form(), &form.Form(), RECT{20, 20, 60, 50}, kRed);
    link.SetCursor(tmb::CursorKind::crHandPoint);
    HWND h = form.Handle();
    auto shapeAt = [&](int x, int y) {
        const POINT s = tmbtest::ToScreen(h, x, y);
        SetCursorPos(s.x, s.y);
        SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    EXPECT_EQ(hand, shapeAt(30, 30));
    EXPECT_EQ(arrow, shapeAt(150, 150));
    {
        tmb::ScopedHourglass busy;
        {
            tmb::ScopedHourglass nested;
        }
        EXPECT_TRUE(tmb::ScopedHourglass::Active());
        EXPECT_EQ(wait, shapeAt(30, 30));
    }
    EXPECT_FALSE(tmb::ScopedHourglass::Active());
    EXPECT_EQ(hand, shapeAt(30, 30));
}

// ---- keys ------------------------------------------------------------------------------

TEST_F(WinControlTest, AKeyHandlerCanSwallowAKey) {
    tmb::Edit edit(&form.Form());
    edit.SetParent(&form.Form());
    edit.SetText(L"abc");
    bool swallow = true;
    std::vector<WORD> seen;
    edit.OnKeyDown = [&](Component*, WORD& key, unsigned) {
        seen.push_back(key);
        if (swallow)
            key = 0;
    };
    edit.SetFocus();
    edit.Perform(EM_SETSEL, 0, 0);
    tmbtest::PressKey(edit.Handle(), VK_DELETE);
    EXPECT_EQ(L"abc", edit.Text());
    swallow = false;
    tmbtest::PressKey(edit.Handle(), VK_DELETE);
    EXPECT_EQ(L"bc", edit.Text());
    EXPECT_EQ((std::vector<WORD>{VK_DELETE, VK_DELETE}), seen);
}

// ---- re-creation -----------------------------------------------------------------------

TEST_F(WinControlTest, ReCreationKeepsChildrenTextsItemsAndRouting) {
    Panel outer(&form.Form(), &form.Form(), 10, 10, 360, 260);
    tmb::Edit edit(&form.Form());
    edit.SetParent(&outer);
    Panel inner(&form.Form(), &outer, 10, 40, 200, 150);
    tmb::ListBox list(&form.Form());
    list.SetParent(&inner);
    tmb::Button button(&form.Form());
    button.SetBounds(250, 40, 75, 25);
    button.SetParent(&outer);
    int clicks = 0;
    button.OnClick = [&](Component*) { ++clicks; };

    edit.SetText(L"abc");
    edit.Perform(EM_SETSEL, 3, 3);
    edit.Perform(WM_CHAR, L'd', 1);  // typed by the user
    list.SetItems({L"one", L"two", L"three"});
    list.SetItemIndex(1);

    const HWND oldOuter = outer.Handle();
    const std::vector<HWND> oldChildren = ChildWindows(oldOuter);
    ASSERT_EQ(3u, oldChildren.size());

    outer.RecreateWnd();

    EXPECT_FALSE(IsWindow(oldOuter));
    ASSERT_TRUE(outer.HandleAllocated());
    EXPECT_NE(oldOuter, outer.HandleIfAllocated());
    EXPECT_EQ(&outer, WinControl::FromHandle(outer.Handle()));
    EXPECT_EQ(form.Handle(), GetParent(outer.Handle()));
    // The children are windows of the new one, in the same order.
    EXPECT_EQ((std::vector<HWND>{edit.Handle(), inner.Handle(), button.Handle()}),
              ChildWindows(outer.Handle()));
    EXPECT_EQ(inner.Handle(), GetParent(list.Handle()));
    for (HWND old : oldChildren) {
        EXPECT_FALSE(IsWindow(old));
        EXPECT_EQ(nullptr, WinControl::FromHandle(old));
    }

    EXPECT_EQ(L"abcd", edit.Text());
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ(L"three", list.Item(2));
    EXPECT_EQ(1, list.ItemIndex());
    EXPECT_EQ(10, RectInParent(inner.Handle()).left);
    EXPECT_EQ(40, RectInParent(inner.Handle()).top);

    button.Perform(BM_CLICK);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(&button, WinControl::FromHandle(button.Handle()));
}

// ---- Tab order ---------------------------------------------------------------------------

TEST_F(WinControlTest, TabOrderIsTheOrderTheTabKeyWalks) {
    tmb::Edit& first = *tmbtest::PlaceOn<tmb::Edit>(form.Form(), 10, 10, 100, 21);
    Swatch between(&form.Form(), &form.Form(), RECT{10, 40, 20, 50}, kRed);  // not counted
    tmb::Edit& second = *tmbtest::PlaceOn<tmb::Edit>(form.Form(), 10, 60, 100, 21);
    tmb::Edit& third = *tmbtest::PlaceOn<tmb::Edit>(form.Form(), 10, 90, 100, 21);
    auto orders = [&] { return std::vector<int>{first.TabOrder(), second.TabOrder(), third.TabOrder()}; };
    EXPECT_EQ((std::vector<int>{0, 1, 2}), orders());

    third.SetTabOrder(0);
    EXPECT_EQ((std::vector<int>{1, 2, 0}), orders());
    EXPECT_EQ((std::vector<HWND>{third.Handle(), first.Handle(), second.Handle()}),
              ChildWindows(form.Handle()));

    third.SetFocus();
    for (tmb::Edit* next : {&first, &second, &third}) {
        tmbtest::PressKey(GetFocus(), VK_TAB);
        EXPECT_TRUE(next->Focused()) << next->Top();
    }

    // Past the end: last.
    first.SetTabOrder(10);
    EXPECT_EQ(2, first.TabOrder());
    EXPECT_EQ((std::vector<HWND>{third.Handle(), second.Handle(), first.Handle()}),
              ChildWindows(form.Handle()));
}

TEST_F(WinControlTest, TabOrderSetBeforeTheWindowsExistIsAppliedWhenTheyAreMade) {
    Panel panel(&form.Form(), nullptr, 0, 0, 200, 200);  // no parent yet: no windows
    tmb::Edit a(&form.Form());
    a.SetParent(&panel);
    tmb::Edit b(&form.Form());
    b.SetParent(&panel);
    b.SetTabOrder(0);
    EXPECT_FALSE(a.HandleAllocated());
    panel.SetParent(&form.Form());
    ASSERT_TRUE(a.HandleAllocated());
    EXPECT_EQ((std::vector<HWND>{b.Handle(), a.Handle()}), ChildWindows(panel.Handle()));
}

// ---- redraw brackets ---------------------------------------------------------------------

TEST_F(WinControlTest, UpdateBracketsNestAndRedrawOnceWhenTheOutermostCloses) {
    Panel panel(&form.Form(), &form.Form(), 0, 0, 100, 100);
    panel.Handle();
    panel.redraws.clear();
    panel.BeginUpdate();
    panel.BeginUpdate();
    EXPECT_EQ(std::vector<WPARAM>{FALSE}, panel.redraws);
    panel.EndUpdate();
    EXPECT_EQ(std::vector<WPARAM>{FALSE}, panel.redraws);
    panel.EndUpdate();
    EXPECT_EQ((std::vector<WPARAM>{FALSE, TRUE}), panel.redraws);
    panel.EndUpdate();  // one too many changes nothing
    panel.BeginUpdate();
    EXPECT_EQ((std::vector<WPARAM>{FALSE, TRUE, FALSE}), panel.redraws);
    panel.EndUpdate();

    // The scoped bracket closes also when an error leaves the scope.
    panel.redraws.clear();
    try {
        tmb::UpdateBracket bracket(panel);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ((std::vector<WPARAM>{FALSE, TRUE}), panel.redraws);
    EXPECT_TRUE(IsWindowVisible(panel.Handle()));
}

// ---- properties, fonts, layout -----------------------------------------------------------

TEST_F(WinControlTest, PropertiesSetBeforeTheWindowExistsAreAppliedWhenItIsMade) {
    Panel panel(&form.Form(), nullptr, 15, 25, 120, 80);
    panel.SetVisible(false);
    panel.SetEnabled(false);
    panel.SetText(L"caption");
    panel.SetParent(&form.Form());
    HWND h = panel.Handle();
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_FALSE(IsWindowEnabled(h));
    wchar_t text[32] = {};
    GetWindowTextW(h, text, 32);
    EXPECT_STREQ(L"caption", text);
    const RECT r = RectInParent(h), expected{15, 25, 135, 105};
    EXPECT_TRUE(EqualRect(&r, &expected));

    panel.SetVisible(true);
    panel.SetEnabled(true);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_TRUE(IsWindowEnabled(h));
    EXPECT_TRUE(panel.Showing());
    form->SetVisible(false);
    EXPECT_FALSE(panel.Showing());
    form->SetVisible(true);
}

TEST_F(WinControlTest, ChildrenFollowTheParentsFontUntilTheyHaveTheirOwn) {
    Panel panel(&form.Form(), &form.Form(), 0, 0, 200, 200);
    tmb::Edit edit(&form.Form());
    edit.SetParent(&panel);
    panel.GetFont().SetName(L"Arial");
    panel.GetFont().SetHeight(-15);
    EXPECT_EQ(L"Arial", edit.GetFont().Name());
    EXPECT_EQ(-15, edit.GetFont().Height());
    EXPECT_TRUE(edit.ParentFont());
    // The window draws with it.
    EXPECT_EQ(reinterpret_cast<LRESULT>(edit.GetFont().Handle()), edit.Perform(WM_GETFONT));

    edit.GetFont().SetStyle(tmb::fsBold);
    EXPECT_FALSE(edit.ParentFont());
    panel.GetFont().SetName(L"Tahoma");
    EXPECT_EQ(L"Arial", edit.GetFont().Name());

    edit.SetParentFont(true);
    EXPECT_EQ(L"Tahoma", edit.GetFont().Name());
    EXPECT_EQ(0u, edit.GetFont().Style());
    EXPECT_EQ(reinterpret_cast<LRESULT>(edit.GetFont().Handle()), edit.Perform(WM_GETFONT));
}

TEST_F(WinControlTest, AlignedChildrenShareTheClientAreaAndFollowItsSize) {
    Panel top(&form.Form(), &form.Form(), 0, 0, 10, 30);
    Panel bottom(&form.Form(), &form.Form(), 0, 0, 10, 20);
    Panel left(&form.Form(), &form.Form(), 0, 0, 50, 10);
    Panel client(&form.Form(), &form.Form(), 0, 0, 10, 10);
    client.SetAlign(tmb::Align::alClient);  // set first: still laid out after the others
    top.SetAlign(tmb::Align::alTop);
    bottom.SetAlign(tmb::Align::alBottom);
    left.SetAlign(tmb::Align::alLeft);

    auto rectOf = [](Panel& p) { return RectInParent(p.Handle()); };
    auto same = [](RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; };
    EXPECT_TRUE(same(RECT{0, 0, 400, 30}, rectOf(top)));
    EXPECT_TRUE(same(RECT{0, 280, 400, 300}, rectOf(bottom)));
    EXPECT_TRUE(same(RECT{0, 30, 50, 280}, rectOf(left)));
    EXPECT_TRUE(same(RECT{50, 30, 400, 280}, rectOf(client)));

    form->SetClientSize(300, 200);
    EXPECT_TRUE(same(RECT{0, 0, 300, 30}, rectOf(top)));
    EXPECT_TRUE(same(RECT{0, 180, 300, 200}, rectOf(bottom)));
    EXPECT_TRUE(same(RECT{50, 30, 300, 180}, rectOf(client)));
    EXPECT_EQ(250, client.ClientWidth());
}

// ---- forms ending ------------------------------------------------------------------------

TEST(FormLifetime, DestroyRunsTheDestroyHandlerOnceThenRemovesWindowsAndComponents) {
    tmbtest::DialogScript script;
    struct Host : tmb::Form {
        explicit Host(Component* owner) : Form(owner) {
            panel = new Panel(this, this, 0, 0, 100, 100);
            edit = new tmb::Edit(this);
            edit->SetParent(panel);
        }
        Panel* panel;
        tmb::Edit* edit;
    };
    Host* form = tmb::CreateForm<Host>(nullptr);
    int destroyed = 0;
    bool editAliveInHandler = false;
    form->OnDestroy = [&](Component*) {
        ++destroyed;
        editAliveInHandler = IsWindow(form->edit->HandleIfAllocated()) != FALSE;
        throw tmb::Exception(L"state not stored");
    };
    HWND formWindow = form->Handle();
    HWND editWindow = form->edit->Handle();
    tmb::Destroy(form);

    EXPECT_EQ(1, destroyed);
    EXPECT_TRUE(editAliveInHandler);
    EXPECT_FALSE(IsWindow(formWindow));
    EXPECT_FALSE(IsWindow(editWindow));
    EXPECT_EQ(std::vector<std::wstring>{L"state not stored."}, script.Texts());
}

} // namespace
