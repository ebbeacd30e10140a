// The read-only source view on a real window: the text kept exactly with its lines, change
// notifications, a page of 100,000 lines taken in one piece, painting of the lines in view,
// scrolling by keys, wheel and scroll bar, selection by keys and mouse, the clipboard, and
// focus moving on with Tab.
#include "framework/SourceView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "framework/StdControls.h"
#include "framework/TextConv.h"
#include "tests/support/ClipboardData.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmb::Component;
using tmb::SourceView;
using tmbtest::ClipboardText;
using tmbtest::HeldKeys;
using tmbtest::NumberedLines;
using tmbtest::SameLongText;
using tmbtest::TestForm;
using Strings = std::vector<std::wstring>;

LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

void PressKeys(HWND hwnd, std::initializer_list<WORD> keys) {
    for (WORD k : keys)
        tmbtest::PressKey(hwnd, k);
}

// `keys` pressed in `hwnd` one after the other while the keys `held` are down.
void PressWith(HWND hwnd, std::initializer_list<BYTE> held, std::initializer_list<WORD> keys) {
    HeldKeys holding(held);
    PressKeys(hwnd, keys);
}

void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
}

// A view the size of the main window's source pane, with both scroll bars, on a shown form.
class SourceViewTest : public ::testing::Test {
protected:
    SourceViewTest() : view(&form.Form()) {
        view.SetBounds(10, 10, 241, 261);
        view.SetScrollBars(true, true);
        view.SetParent(&form.Form());
        tmbtest::Pump();
    }

    HWND Hwnd() { return view.Handle(); }

    // The size of `s` in the view's font; its height is the font's, a line's.
    SIZE Extent(const std::wstring& s) {
        return tmbtest::TextExtent(reinterpret_cast<HFONT>(view.Perform(WM_GETFONT)), s);
    }
    int LineHeight() { return Extent(L"M").cy; }
    int TextWidth(const std::wstring& s) { return Extent(s).cx; }
    RECT Client() {
        RECT r;
        GetClientRect(Hwnd(), &r);
        return r;
    }
    int FullLinesInView() { return Client().bottom / LineHeight(); }

    SCROLLINFO ScrollInfo(int bar) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(Hwnd(), bar, &si);
        return si;
    }

    // Pixels of `rect` (client coordinates) that are `colour` (or, with `other`, that are
    // not), once every paint has run.
    int PixelsOf(RECT rect, COLORREF colour, bool other = false) {
        return tmbtest::PixelsOf(Hwnd(), rect, colour, other);
    }
    int InkIn(RECT rect) { return PixelsOf(rect, GetSysColor(COLOR_WINDOW), true); }
    // The band of client row `row` (0 is the top line in view), across the whole width.
    RECT Row(int row) {
        const int h = LineHeight();
        return RECT{0, row * h, Client().right, (row + 1) * h};
    }

    void Press(int x, int y, WPARAM keys = MK_LBUTTON) {
        tmbtest::MouseMove(Hwnd(), x, y);
        PostMessageW(Hwnd(), WM_LBUTTONDOWN, keys, PointParam(x, y));
        tmbtest::Pump();
    }
    void Drag(int x, int y) { tmbtest::MouseMove(Hwnd(), x, y, MK_LBUTTON); }
    void Release(int x, int y) {
        PostMessageW(Hwnd(), WM_LBUTTONUP, 0, PointParam(x, y));
        tmbtest::Pump();
    }

    TestForm form{400, 300};
    SourceView view;
};

// ---- text and lines ----------------------------------------------------------------------

TEST_F(SourceViewTest, KeepsEveryTextExactlyAndSplitsItIntoLinesAtEachKindOfBreak) {
    struct Case {
        std::wstring text;
        Strings lines;
    };
    const std::vector<Case> cases = {
        {L"", {L""}},
        {L"one line", {L"one line"}},
        {L"a\r\nb", {L"a", L"b"}},
        {L"a\r\n", {L"a", L""}},
        {L"a\rb\nc\r\n\r\nd", {L"a", L"b", L"c", L"", L"d"}},
        // A CR before a CR LF is a break of its own; LF then CR are two breaks.
        {L"\r\r\n\n\r", {L"", L"", L"", L"", L""}},
        {L"\n", {L"", L""}},
        {L"tab\there \u00e9\U0001F600 end\r", {L"tab\there \u00e9\U0001F600 end", L""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tmb::WideToUtf8(c.text));
        view.SetText(c.text);
        EXPECT_EQ(c.text, view.Text());
        EXPECT_EQ(c.text.size(), view.TextLength());
        ASSERT_EQ(static_cast<int>(c.lines.size()), view.LineCount());
        for (int i = 0; i < view.LineCount(); ++i)
            EXPECT_EQ(c.lines[static_cast<std::size_t>(i)], view.Line(i)) << "line " << i;
        // Other programs read the window's text.
        EXPECT_EQ(static_cast<LRESULT>(c.text.size()), view.Perform(WM_GETTEXTLENGTH));
        std::wstring read(c.text.size() + 1, L'?');
        EXPECT_EQ(static_cast<int>(c.text.size()),
                  GetWindowTextW(Hwnd(), read.data(), static_cast<int>(read.size())));
        EXPECT_EQ(c.text, read.c_str());
    }
    EXPECT_THROW(view.Line(view.LineCount()), tmb::Exception);
    EXPECT_THROW(view.Line(-1), tmb::Exception);

    // A short buffer gets the beginning, terminated.
    view.SetText(L"abcdef");
    wchar_t small[4];
    EXPECT_EQ(3, view.Perform(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)));
    EXPECT_STREQ(L"abc", small);

    // A new window keeps the text.
    view.SetText(L"kept\r\nacross");
    view.RecreateWnd();
    EXPECT_EQ(L"kept\r\nacross", view.Text());
    EXPECT_EQ(2, view.LineCount());
    EXPECT_EQ(12, view.Perform(WM_GETTEXTLENGTH));
}

TEST_F(SourceViewTest, OnChangeRunsOnceForEachNewTextWithOrWithoutAWindow) {
    Strings log;
    auto record = [&log](SourceView& v) {
        v.OnChange = [&log, &v](Component* sender) {
            EXPECT_EQ(&v, sender);
            log.push_back(v.Text());
        };
    };

    SourceView early(&form.Form());
    record(early);
    early.SetText(L"before the window");
    early.SetText(L"before the window");
    EXPECT_FALSE(early.HandleAllocated());
    early.SetParent(&form.Form());
    EXPECT_EQ(L"before the window", early.Text());
    EXPECT_EQ(L"before the window", early.Line(0));
    EXPECT_EQ((Strings{L"before the window"}), log);

    log.clear();
    record(view);
    view.SetText(L"one\r\ntwo");
    view.SetText(L"one\r\ntwo");
    view.SetText(L"one\ntwo");  // another break is another text
    view.Clear();
    view.Clear();
    SetWindowTextW(Hwnd(), L"from outside");
    EXPECT_EQ((Strings{L"one\r\ntwo", L"one\ntwo", L"", L"from outside"}), log);
    EXPECT_EQ(L"from outside", view.Text());
}

TEST_F(SourceViewTest, TakesAHundredThousandLinesInOnePieceAndReachesTheirEnd) {
    std::wstring text;
    text.reserve(7'200'000);
    for (int i = 0; i < 100'000; ++i) {
        const std::wstring name = L"arquivo n\u00famero " + std::to_wstring(i) + L" do diret\u00f3rio.txt";
        text += L"<a href=\"" + name + L"\">" + name + L"<br>\r\n";
    }
    LARGE_INTEGER freq, t0, t1, t2;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    view.SetText(text);
    QueryPerformanceCounter(&t1);
    tmbtest::PixelAt(Hwnd(), 0, 0);  // the first paint of the lines in view
    QueryPerformanceCounter(&t2);
    auto ms = [&](LARGE_INTEGER a, LARGE_INTEGER b) {
        return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart);
    };
    std::printf("[ timing   ] SetText of 100,000 lines (%.1f million characters): %.1f ms; "
                "first paint %.1f ms\n",
                static_cast<double>(text.size()) / 1e6, ms(t0, t1), ms(t1, t2));
    std::fflush(stdout);

    ASSERT_EQ(100'001, view.LineCount());
    EXPECT_TRUE(SameLongText(text, view.Text()));
    EXPECT_EQ(L"<a href=\"arquivo n\u00famero 99999 do diret\u00f3rio.txt\">arquivo n\u00famero 99999 do diret\u00f3rio.txt<br>",
              view.Line(99'999));
    EXPECT_EQ(L"", view.Line(100'000));
    EXPECT_EQ(static_cast<LRESULT>(text.size()), view.Perform(WM_GETTEXTLENGTH));

    const SCROLLINFO v = ScrollInfo(SB_VERT);
    EXPECT_EQ(100'000, v.nMax);
    EXPECT_EQ(static_cast<UINT>(FullLinesInView()), v.nPage);
    // The horizontal range covers the longest line without measuring every line.
    EXPECT_GE(ScrollInfo(SB_HORZ).nMax, TextWidth(view.Line(99'999)));

    // Ctrl+End goes to the very end, Ctrl+Home back.
    view.SetFocus();
    PressWith(Hwnd(), {VK_CONTROL}, {VK_END});
    EXPECT_EQ(text.size(), view.SelStart());
    EXPECT_EQ(100'001 - FullLinesInView(), view.TopLine());
    EXPECT_EQ(view.TopLine(), GetScrollPos(Hwnd(), SB_VERT));
    PressWith(Hwnd(), {VK_CONTROL}, {VK_HOME});
    EXPECT_EQ(0u, view.SelStart());
    EXPECT_EQ(0, view.TopLine());

    // Emptied, the view has one empty line and nothing to scroll.
    view.Clear();
    EXPECT_EQ(1, view.LineCount());
    EXPECT_EQ(0, ScrollInfo(SB_VERT).nMax);
}

// A text whose characters are all below 256 is held in one byte each, any other in UTF-16.
// Each text is set into one view as it is and into another with every 'a' made U+0101 (a
// letter too, so words stay words): with offsets alike in both forms, every query must give
// the same answers, through a random walk of selections and caret moves.
TEST_F(SourceViewTest, TextsBelowAndAbove256AnswerEveryQueryAlike) {
    SourceView& wide = *tmbtest::PlaceOn<SourceView>(form.Form(), 10, 10, 241, 261);
    auto swapped = [](std::wstring s, wchar_t from, wchar_t to) {
        std::replace(s.begin(), s.end(), from, to);
        return s;
    };
    auto widened = [&](const std::wstring& s) { return swapped(s, L'a', L'\u0101'); };
    auto back = [&](const std::wstring& s) { return swapped(s, L'\u0101', L'a'); };
    auto pieces = [](const SourceView& v) {
        std::wstring joined;
        v.ReadText([&joined](std::wstring_view piece) { joined.append(piece); });
        return joined;
    };
    const Strings texts = {
        L"",
        L"alpha, beta\tgamma\r\n\r\nsa\u00eddas \u00e0 la carte;\u00ff\u00a0fim\r",
        L"a\rb\nc\r\n  (par\u00eanteses) _sub_linha 12,5%\n\u0080\u009f\u00c0\u00ff a",
        std::wstring(600, L'a') + L" longa\r\n\tfinal a\r\n",
    };
    std::mt19937 random(19);
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(tmb::WideToUtf8(text.substr(0, 40)));
        view.SetText(text);
        wide.SetText(widened(text));
        ASSERT_EQ(text, view.Text());
        ASSERT_EQ(text, back(wide.Text()));
        EXPECT_EQ(text, pieces(view));
        EXPECT_EQ(wide.Text(), pieces(wide));
        if (!text.empty()) {  // one byte a character against two
            EXPECT_LT(view.Bytes() + text.size() / 2, wide.Bytes());
        }
        ASSERT_EQ(wide.LineCount(), view.LineCount());
        for (int i = 0; i < view.LineCount(); ++i)
            EXPECT_EQ(back(wide.Line(i)), view.Line(i)) << "line " << i;
        for (std::size_t room : {std::size_t{1}, std::size_t{6}, text.size() + 1}) {
            std::wstring a(room, L'?'), b(room, L'?');
            EXPECT_EQ(view.Perform(WM_GETTEXT, room, reinterpret_cast<LPARAM>(a.data())),
                      wide.Perform(WM_GETTEXT, room, reinterpret_cast<LPARAM>(b.data())));
            EXPECT_EQ(a.c_str(), back(b.c_str()));
        }
        EXPECT_EQ(static_cast<LRESULT>(text.size()), wide.Perform(WM_GETTEXTLENGTH));

        const WORD keys[] = {VK_LEFT, VK_RIGHT, VK_HOME, VK_END};
        for (int step = 0; step < 300; ++step) {
            const unsigned r = random();
            const std::size_t at = random() % (text.size() + 3);
            std::string what;
            if (r % 8 == 0) {
                for (SourceView* v : {&view, &wide})
                    v->SetSelStart(at);
                what = "start " + std::to_string(at);
            } else if (r % 8 == 1) {
                for (SourceView* v : {&view, &wide})
                    v->SetSelLength(at);
                what = "length " + std::to_string(at);
            } else {
                const WORD key = keys[r / 8 % 4];
                const bool ctrl = r / 32 % 2 != 0, shift = r / 64 % 2 != 0;
                HeldKeys held{static_cast<BYTE>(ctrl ? VK_CONTROL : 0),
                              static_cast<BYTE>(shift ? VK_SHIFT : 0)};
                for (SourceView* v : {&view, &wide})
                    v->Perform(WM_KEYDOWN, key, 0);
                what = "key " + std::to_string(key) + (ctrl ? " ctrl" : "") + (shift ? " shift" : "");
            }
            ASSERT_EQ(wide.SelStart(), view.SelStart()) << "step " << step << ": " << what;
            ASSERT_EQ(wide.SelLength(), view.SelLength()) << "step " << step << ": " << what;
            ASSERT_EQ(text.substr(view.SelStart(), view.SelLength()), view.SelText());
            ASSERT_EQ(view.SelText(), back(wide.SelText()));
        }
    }

    // A surrogate pair is one character to the caret and the selection, and never cut in
    // two where the text is handed out in pieces.
    const std::wstring pair = L"\U0001F600";
    view.SetText(L"ab" + pair + L"c\r\nd");
    EXPECT_EQ(L"ab" + pair + L"c", view.Line(0));
    view.SetSelStart(3);
    EXPECT_EQ(2u, view.SelStart());
    view.SetSelLength(1);
    EXPECT_EQ(0u, view.SelLength());
    view.SetSelLength(2);
    EXPECT_EQ(pair, view.SelText());
    view.Perform(WM_KEYDOWN, VK_RIGHT, 0);
    view.Perform(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(2u, view.SelStart());
    const std::wstring longText = std::wstring(65535, L'x') + pair + std::wstring(70000, L'\u00e9');
    view.SetText(longText);
    std::wstring joined;
    view.ReadText([&joined](std::wstring_view piece) {
        EXPECT_FALSE(IS_HIGH_SURROGATE(piece.back())) << "a piece ends at " << joined.size() + piece.size();
        joined.append(piece);
    });
    EXPECT_TRUE(SameLongText(longText, joined));
}

// ---- painting ----------------------------------------------------------------------------

TEST_F(SourceViewTest, PaintsTheLinesInViewFromTheTopLineAndTheLeftEdgeInView) {
    ::SetFocus(form.Handle());  // no caret over the pixels
    const std::wstring headline = L"HEADLINE OF THE PAGE, LONGER THAN THE PANE IS WIDE";
    std::wstring text = headline + L"\r\n\r\n";
    for (int i = 0; i < 60; ++i)
        text += L"MMMM " + std::to_wstring(i) + L"\r\n";
    view.SetText(text);
    ASSERT_GT(TextWidth(headline), Client().right);

    EXPECT_GT(InkIn(Row(0)), 20);
    EXPECT_EQ(0, InkIn(Row(1)));  // the empty second line
    // Right of a short line's text, only background.
    const int shortWidth = TextWidth(L"MMMM 0");
    RECT left = Row(2), right = Row(2);
    left.right = shortWidth + 4;
    right.left = shortWidth + 8;
    EXPECT_GT(InkIn(left), 10);
    EXPECT_EQ(0, InkIn(right));

    // One line down, the empty line is at the top.
    view.SetTopLine(1);
    EXPECT_EQ(1, GetScrollPos(Hwnd(), SB_VERT));
    EXPECT_EQ(0, InkIn(Row(0)));
    EXPECT_GT(InkIn(Row(1)), 10);

    // Scrolled right as far as the headline goes, the short lines are out of view.
    view.SetTopLine(0);
    view.Perform(WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(GetScrollPos(Hwnd(), SB_HORZ), shortWidth);
    EXPECT_GT(InkIn(Row(0)), 20);
    EXPECT_EQ(0, InkIn(Row(2)));
}

// ---- scrolling ---------------------------------------------------------------------------

TEST_F(SourceViewTest, KeysWheelAndScrollBarMoveTheTopLineAndTheBarTogether) {
    view.SetText(NumberedLines(200));  // 201 lines, the last one empty
    view.SetFocus();
    const int page = FullLinesInView();
    ASSERT_GT(page, 5);
    const SCROLLINFO v = ScrollInfo(SB_VERT);
    EXPECT_EQ(200, v.nMax);
    EXPECT_EQ(static_cast<UINT>(page), v.nPage);
    EXPECT_NE(0, GetWindowLongW(Hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_NE(0, GetWindowLongW(Hwnd(), GWL_STYLE) & WS_HSCROLL);

    auto expectTop = [&](int top, const char* what) {
        EXPECT_EQ(top, view.TopLine()) << what;
        EXPECT_EQ(top, GetScrollPos(Hwnd(), SB_VERT)) << what;
    };
    auto caretLine = [&] {
        const std::wstring before = view.Text().substr(0, view.SelStart());
        int line = 0;
        for (wchar_t c : before)
            line += c == L'\n';
        return line;
    };

    // The caret walks down; the view follows only when it leaves the page.
    for (int i = 0; i < page - 1; ++i)
        tmbtest::PressKey(Hwnd(), VK_DOWN);
    expectTop(0, "caret on the last full line");
    EXPECT_EQ(page - 1, caretLine());
    EXPECT_TRUE(view.Focused());  // the arrows stayed with the view
    tmbtest::PressKey(Hwnd(), VK_DOWN);
    expectTop(1, "caret one past the page");

    tmbtest::PressKey(Hwnd(), VK_NEXT);
    expectTop(1 + page, "page down");
    EXPECT_EQ(2 * page, caretLine());
    tmbtest::PressKey(Hwnd(), VK_PRIOR);
    expectTop(1, "page up");
    EXPECT_EQ(page, caretLine());
    tmbtest::PressKey(Hwnd(), VK_UP);
    expectTop(1, "up within the page");

    // The wheel scrolls without moving the caret: notches of the system's line count, and
    // half notches add up.
    UINT wheelLines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &wheelLines, 0);
    ASSERT_NE(WHEEL_PAGESCROLL, wheelLines);
    const int step = static_cast<int>(wheelLines);
    view.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    expectTop(1 + step, "one notch down");
    view.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    expectTop(1 + step, "half a notch");
    view.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    expectTop(1 + 2 * step, "the other half");
    view.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(3 * WHEEL_DELTA)), 0);
    expectTop(std::max(0, 1 + 2 * step - 3 * step), "three notches up");
    EXPECT_EQ(page - 1, caretLine());

    // The scroll bar's own requests, kept within the text.
    view.Perform(WM_VSCROLL, SB_BOTTOM, 0);
    expectTop(201 - page, "bar to the bottom");
    view.Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    expectTop(201 - page, "no further than the last page");
    view.Perform(WM_VSCROLL, SB_PAGEUP, 0);
    expectTop(201 - 2 * page, "bar page up");
    view.Perform(WM_VSCROLL, SB_TOP, 0);
    view.Perform(WM_VSCROLL, SB_LINEUP, 0);
    expectTop(0, "no further than the first line");

    // A keyboard move brings the caret back into view.
    view.Perform(WM_VSCROLL, SB_BOTTOM, 0);
    tmbtest::PressKey(Hwnd(), VK_RIGHT);
    expectTop(page - 1, "caret back in view");
}

TEST_F(SourceViewTest, ALongLineScrollsSidewaysWithTheCaretAndTheRangeCoversIt) {
    const std::wstring longLine(300, L'W');
    view.SetText(L"short\r\n" + longLine + L"\r\nend");
    view.SetFocus();
    const int width = TextWidth(longLine);
    ASSERT_GT(width, Client().right);
    EXPECT_GE(ScrollInfo(SB_HORZ).nMax, width);
    EXPECT_EQ(static_cast<UINT>(Client().right), ScrollInfo(SB_HORZ).nPage);

    tmbtest::PressKey(Hwnd(), VK_DOWN);
    tmbtest::PressKey(Hwnd(), VK_END);
    const int atEnd = GetScrollPos(Hwnd(), SB_HORZ);
    EXPECT_GT(atEnd, width - Client().right - 20);
    EXPECT_EQ(L"short\r\n" + longLine, view.Text().substr(0, view.SelStart()));
    tmbtest::PressKey(Hwnd(), VK_HOME);
    EXPECT_EQ(0, GetScrollPos(Hwnd(), SB_HORZ));

    view.Perform(WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_GT(GetScrollPos(Hwnd(), SB_HORZ), 0);
    view.Perform(WM_HSCROLL, SB_BOTTOM, 0);
    const SCROLLINFO h = ScrollInfo(SB_HORZ);
    EXPECT_EQ(h.nMax - static_cast<int>(h.nPage) + 1, h.nPos);

    // Without scroll bars the bars go; the text stays.
    view.SetScrollBars(false, false);
    EXPECT_EQ(0, GetWindowLongW(Hwnd(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(3, view.LineCount());
}

// ---- selection and clipboard -------------------------------------------------------------

TEST_F(SourceViewTest, ShiftWithArrowsHomeAndEndExtendsTheSelection) {
    view.SetText(L"alpha beta\r\nalpha two\ndelta");
    view.SetFocus();
    {
        HeldKeys shift{VK_SHIFT};
        PressKeys(Hwnd(), {VK_RIGHT, VK_RIGHT, VK_RIGHT});
        EXPECT_EQ(L"alp", view.SelText());
        tmbtest::PressKey(Hwnd(), VK_DOWN);  // same column on the next line
        EXPECT_EQ(L"alpha beta\r\nalp", view.SelText());
        tmbtest::PressKey(Hwnd(), VK_END);
        EXPECT_EQ(L"alpha beta\r\nalpha two", view.SelText());
        tmbtest::PressKey(Hwnd(), VK_RIGHT);  // over the lone LF in one step
        EXPECT_EQ(L"alpha beta\r\nalpha two\n", view.SelText());
        tmbtest::PressKey(Hwnd(), VK_LEFT);
        tmbtest::PressKey(Hwnd(), VK_LEFT);
        EXPECT_EQ(L"alpha beta\r\nalpha tw", view.SelText());
    }
    EXPECT_EQ(0u, view.SelStart());

    // A plain arrow drops the selection at that side of it.
    tmbtest::PressKey(Hwnd(), VK_RIGHT);
    EXPECT_EQ(0u, view.SelLength());
    EXPECT_EQ(20u, view.SelStart());
    tmbtest::PressKey(Hwnd(), VK_RIGHT);
    EXPECT_EQ(21u, view.SelStart());

    // Backwards by words with Ctrl, then Ctrl+Shift+End to the end of the text.
    PressWith(Hwnd(), {VK_CONTROL}, {VK_HOME});
    tmbtest::PressKey(Hwnd(), VK_END);
    {
        HeldKeys keys{VK_SHIFT, VK_CONTROL};
        tmbtest::PressKey(Hwnd(), VK_LEFT);
        EXPECT_EQ(L"beta", view.SelText());
        tmbtest::PressKey(Hwnd(), VK_LEFT);
        EXPECT_EQ(L"alpha beta", view.SelText());
        tmbtest::PressKey(Hwnd(), VK_END);
        EXPECT_EQ(L"\r\nalpha two\ndelta", view.SelText());
    }
    EXPECT_TRUE(view.Focused());
}

TEST_F(SourceViewTest, TheMouseSelectsByDraggingExtendsWithShiftAndTakesAWordOnDoubleClick) {
    view.SetText(L"alpha beta\r\nsecond line\r\n" + NumberedLines(100));
    const int h = LineHeight();

    // Press on the start of the first line, drag beyond the end of the second.
    Press(1, h / 2);
    EXPECT_TRUE(view.Focused());
    EXPECT_EQ(Hwnd(), GetCapture());
    Drag(Client().right - 5, h + h / 2);
    Release(Client().right - 5, h + h / 2);
    EXPECT_EQ(L"alpha beta\r\nsecond line", view.SelText());
    EXPECT_NE(Hwnd(), GetCapture());

    // Shift+click moves only the moving end.
    const int x = TextWidth(L"alph") + 1;
    Press(x, h / 2, MK_LBUTTON | MK_SHIFT);
    Release(x, h / 2);
    EXPECT_EQ(L"alph", view.SelText());

    // A double click on "beta" selects the word.
    tmbtest::DoubleClick(Hwnd(), TextWidth(L"alpha be"), h / 2);
    EXPECT_EQ(L"beta", view.SelText());

    // Held below the view, the selection scrolls on by itself, again and again, with no
    // further mouse move.
    Press(1, h / 2);
    Drag(20, Client().bottom + 3 * h);  // the pointer stays there
    const int afterMove = view.TopLine();
    EXPECT_GT(afterMove, 0);
    tmbtest::PumpFor(600);
    EXPECT_GT(view.TopLine(), afterMove + 3 * afterMove);
    Release(20, Client().bottom + 3 * h);
    const int stopped = view.TopLine();
    tmbtest::PumpFor(200);
    EXPECT_EQ(stopped, view.TopLine());
    EXPECT_EQ(0u, view.SelStart());
    EXPECT_GT(view.SelLength(), view.Line(0).size() + view.Line(1).size());
}

TEST_F(SourceViewTest, CtrlAThenCtrlCPutsTheWholeTextOnTheClipboardAndCtrlInsertThePart) {
    const std::wstring text = L"first\r\nsecond\rthird\nfourth \u00e9\t\U0001F600\r\n";
    view.SetText(text);
    view.SetFocus();
    PutOnClipboard(L"before");

    // Nothing selected: the clipboard keeps what it had.
    PressWith(Hwnd(), {VK_CONTROL}, {'C'});
    EXPECT_EQ(L"before", ClipboardText());

    {
        HeldKeys ctrl{VK_CONTROL};
        tmbtest::PressKey(Hwnd(), 'A');
        EXPECT_EQ(text, view.SelText());
        tmbtest::PressKey(Hwnd(), 'C');
    }
    EXPECT_EQ(text, ClipboardText());
    // Selected while focused: highlighted.
    EXPECT_GT(PixelsOf(Row(0), GetSysColor(COLOR_HIGHLIGHT)), 20);

    tmbtest::PressKey(Hwnd(), VK_DOWN);  // the caret was at the end; now nothing selected
    PressWith(Hwnd(), {VK_CONTROL}, {VK_HOME});
    PressWith(Hwnd(), {VK_SHIFT}, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RIGHT});
    PressWith(Hwnd(), {VK_CONTROL}, {VK_INSERT});
    EXPECT_EQ(L"first\r\nsecond\rth", ClipboardText());
}

TEST_F(SourceViewTest, TabMovesTheFocusOnAndTheSelectionShowsOnlyWhileFocused) {
    tmb::Edit& next = *tmbtest::PlaceOn<tmb::Edit>(form.Form(), 260, 10, 100, 21);
    EXPECT_EQ(static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS),
              view.Perform(WM_GETDLGCODE) & (DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB |
                                             DLGC_WANTALLKEYS));
    view.SetText(L"some text\r\nmore text");
    view.SetFocus();
    view.SelectAll();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GT(PixelsOf(Row(0), highlight), 20);

    tmbtest::PressKey(Hwnd(), VK_TAB);
    EXPECT_TRUE(next.Focused());
    EXPECT_EQ(0, PixelsOf(Row(0), highlight));
    EXPECT_EQ(L"some text\r\nmore text", view.SelText());  // kept, only not shown
}

} // namespace
