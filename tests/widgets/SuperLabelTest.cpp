// The link label painted on a real window and driven through its parent's mouse: gradient
// colours, frame and rules, 3D text, disabled text, sub- and superscript placement, font
// fitting, hover, and the addresses a click hands to the shell.
#include "widgets/SuperLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/Font.h"
#include "framework/Registry.h"
#include "tests/support/DialogScript.h"
#include "tests/support/OpenHandler.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmbtest::TestForm;
using xp::TmyaSuperLabel;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The label's pixels as the form shows them, once every pending paint has run (a fit that
// changes the font asks for one more).
class Snapshot {
public:
    Snapshot(HWND form, const tmb::Control& label) : left_(label.Left()), top_(label.Top()),
        width_(label.Width()), height_(label.Height()) {
        tmbtest::PixelAt(form, 0, 0);
        tmbtest::PixelAt(form, 0, 0);
        HDC dc = GetDC(form);
        pixels_.resize(static_cast<size_t>(width_ * height_));
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                pixels_[static_cast<size_t>(y * width_ + x)] = GetPixel(dc, left_ + x, top_ + y);
        ReleaseDC(form, dc);
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The pixels that differ from `background`, keyed by position.
    std::map<std::pair<int, int>, COLORREF> Ink(COLORREF background = kWhite) const {
        std::map<std::pair<int, int>, COLORREF> ink;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) != background)
                    ink[{x, y}] = At(x, y);
        return ink;
    }
    // Bounding box of the pixels of exactly `colour`; right/bottom -1 when there are none.
    RECT Box(COLORREF colour) const {
        RECT r{1 << 20, 1 << 20, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) == colour) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    }
    int Count(COLORREF colour) const {
        return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), colour));
    }
    // Expects each pixel to have its colour; a miss names its place.
    void Expect(std::initializer_list<tmbtest::Pixel> pixels) const {
        for (const tmbtest::Pixel& p : pixels)
            EXPECT_EQ(p.colour, At(p.x, p.y)) << "at " << p.x << "," << p.y;
    }

private:
    int left_, top_, width_, height_;
    std::vector<COLORREF> pixels_;
};

class SuperLabelTest : public testing::Test {
protected:
    SuperLabelTest() : form(460, 460) {}
    void SetUp() override { SetCursorPos(1270, 1010); }

    TmyaSuperLabel* MakeLabel(int left, int top, int width, int height,
                              const std::wstring& caption) {
        auto* label = new TmyaSuperLabel(&form.Form());
        label->SetParent(&form.Form());
        label->SetBounds(left, top, width, height);
        label->GetFont().SetName(L"MS Sans Serif");
        label->GetFont().SetHeight(-11);
        label->GetFont().SetColor(tmb::clBlack);
        label->SetAFitType(xp::ftNormalFit);
        label->SetText(caption);
        return label;
    }
    Snapshot Shot(const TmyaSuperLabel* label) { return Snapshot(form.Handle(), *label); }

    TestForm form;
};

int TextWidth(const std::wstring& text, int height, const wchar_t* face = L"MS Sans Serif") {
    tmb::Font font;
    font.SetName(face);
    font.SetHeight(height);
    return tmbtest::TextExtent(font.Handle(), text).cx;
}

// ---- background, frame and rules --------------------------------------------------------

TEST_F(SuperLabelTest, GradientsStepWithMulDivOverTheStoredColourBytes) {
    auto* label = MakeLabel(10, 10, 256, 21, L"");
    label->SetGradientStyle(xp::gsHorizontal);
    label->SetBeginColor(0x000000);
    label->SetEndColor(0x0000FF);  // red
    {
        Snapshot shot = Shot(label);
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(RGB(i, 0, 0), shot.At(i, 10)) << "strip " << i;
            ASSERT_EQ(RGB(i, 0, 0), shot.At(i, 0)) << "strip " << i;
        }
    }

    // Centred: begin colour at the top and bottom rows, end colour in the middle; row i
    // and row H - 1 - i share step i of H div 2.
    label->SetGradientStyle(xp::gsVertCenter);
    {
        Snapshot shot = Shot(label);
        for (int i = 0; i <= 10; ++i) {
            const int red = MulDiv(i, 255, 10);
            EXPECT_EQ(RGB(red, 0, 0), shot.At(100, i)) << i;
            EXPECT_EQ(RGB(red, 0, 0), shot.At(100, 20 - i)) << i;
        }
        EXPECT_EQ(RGB(77, 0, 0), shot.At(5, 3));  // 76.5 rounds away from zero
    }

    // A system colour is not resolved: its index byte counts as red.
    label->SetGradientStyle(xp::gsVertical);
    label->SetBeginColor(tmb::clGradientActiveCaption);
    label->SetEndColor(tmb::clGradientActiveCaption);
    {
        Shot(label).Expect({{RGB(0x1B, 0, 0), 0, 0}, {RGB(0x1B, 0, 0), 255, 20}});
    }

    // Any gradient paints even a transparent label; without one it stays see-through.
    label->SetGradientStyle(xp::gsNone);
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(256 * 21, Shot(label).Count(kWhite));
}

TEST_F(SuperLabelTest, EtchedFrameAndFadingRule) {
    const COLORREF back = RGB(200, 200, 0);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(light, back);
    auto* label = MakeLabel(10, 10, 100, 30, L"");
    label->SetTransparent(false);
    label->SetColor(0x00C8C8);
    label->SetFrame(true);
    label->SetLineStyle(xp::lsTop);
    Snapshot shot = Shot(label);

    // Shadow lines one pixel in from the edges, highlight lines over them.
    shot.Expect({{light, 0, 0}, {light, 0, 15}, {light, 50, 0}, {shadow, 1, 1}, {shadow, 99, 15},
                 {light, 98, 15}, {shadow, 50, 29}, {light, 50, 28}, {back, 50, 20}});

    // lsTop on the text box (0, 0, 100, 28): halves of w = 48 from x = 2, rows 2 and 3,
    // fading in over the first 16 pixels and out over the last 16.
    auto blend = [&](COLORREF q, COLORREF e, int k) {
        auto mix = [&](int qc, int ec) { return qc + ((ec - qc) * k) / 16; };
        return RGB(mix(GetRValue(q), GetRValue(e)), mix(GetGValue(q), GetGValue(e)),
                   mix(GetBValue(q), GetBValue(e)));
    };
    // k = 0 keeps what was there at (2, 2); (1, 2) is the frame.
    shot.Expect({{back, 2, 2}, {blend(back, shadow, 8), 10, 2}, {blend(back, light, 8), 10, 3},
                 {shadow, 18, 2}, {light, 18, 3}, {shadow, 50, 2}, {shadow, 82, 2},
                 {blend(back, shadow, 8), 90, 2}, {shadow, 1, 2}, {back, 50, 4}});
}

// ---- text -------------------------------------------------------------------------------

TEST_F(SuperLabelTest, DropShadowOffsetAndDisabledText) {
    const COLORREF red = RGB(255, 0, 0);
    auto* label = MakeLabel(10, 10, 80, 60, L"H");
    label->GetFont().SetHeight(-30);
    label->SetAStyle3D(xp::Shadowed3d);
    label->SetAShadeRightBottom(0x0000FF);
    Snapshot shot = Shot(label);
    const RECT text = shot.Box(RGB(0, 0, 0));
    const RECT drop = shot.Box(red);
    ASSERT_GE(text.right, 0);
    ASSERT_GE(drop.right, 0);
    // 5 pixels right and 5 up; its top is cut off by the label's top edge.
    EXPECT_EQ(text.left + 5, drop.left);
    EXPECT_EQ(text.right + 5, drop.right);
    EXPECT_EQ(text.bottom - 5, drop.bottom);

    // Disabled: the main text in the grey-text colour, the 3D pass as before.
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    label->SetEnabled(false);
    Snapshot off = Shot(label);
    EXPECT_EQ(0, off.Count(RGB(0, 0, 0)));
    const RECT greyBox = off.Box(grey);
    EXPECT_EQ(text.left, greyBox.left);
    EXPECT_EQ(text.bottom, greyBox.bottom);
    EXPECT_EQ(drop.right, off.Box(red).right);
}

// A subscript is written 8/10 as high and |8 h1 - 10 h| div 10 lower; a superscript as high
// and that div 20 higher, clipped at the top of the text box. For height -11 that is
// height -8, 4 pixels down and 2 up.
TEST_F(SuperLabelTest, SubAndSuperscriptPlacementAtHeightMinus11) {
    auto* marked = MakeLabel(10, 10, 80, 24, L"H_2O");
    marked->SetLabelType(xp::ltSubSuperScript);
    auto* sup = MakeLabel(10, 40, 80, 24, L"H^2");
    sup->SetLabelType(xp::ltSubSuperScript);
    auto* h = MakeLabel(10, 70, 80, 24, L"H");
    auto* two = MakeLabel(10, 100, 80, 24, L"2");
    two->GetFont().SetHeight(-8);
    auto* o = MakeLabel(10, 130, 80, 24, L"O");

    const int wH = TextWidth(L"H", -11);
    const int w2 = TextWidth(L"2", -8);
    auto shifted = [](const std::map<std::pair<int, int>, COLORREF>& ink, int dx, int dy,
                      auto& into) {
        for (const auto& [p, c] : ink)
            if (p.second + dy >= 0)
                into[{p.first + dx, p.second + dy}] = c;
    };
    const auto inkH = Shot(h).Ink(), ink2 = Shot(two).Ink(), inkO = Shot(o).Ink();
    ASSERT_FALSE(inkH.empty());
    ASSERT_FALSE(ink2.empty());

    std::map<std::pair<int, int>, COLORREF> expected;
    shifted(inkH, 0, 0, expected);
    shifted(ink2, wH, 4, expected);
    shifted(inkO, wH + w2, 0, expected);
    EXPECT_EQ(expected, Shot(marked).Ink());  // and no underscore anywhere

    expected.clear();
    shifted(inkH, 0, 0, expected);
    shifted(ink2, wH, -2, expected);
    EXPECT_EQ(expected, Shot(sup).Ink());
}

TEST_F(SuperLabelTest, CaptionsOfAnyLengthDrawWhole) {
    std::wstring caption;
    while (caption.size() < 600)
        caption += L"x ";
    auto* label = MakeLabel(10, 10, 200, 420, caption);
    RECT calc{0, 0, 200, 0};
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, label->GetFont().Handle());
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &calc,
                  DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    ASSERT_LT(calc.bottom, 418);
    ASSERT_GT(calc.bottom, 100);  // many lines, well past what 254 characters fill
    const auto ink = Shot(label).Ink();
    int lowest = -1;
    for (const auto& [p, c] : ink)
        lowest = std::max(lowest, p.second);
    EXPECT_GT(lowest, calc.bottom - 14);
    EXPECT_LT(lowest, calc.bottom);
}

// ---- fitting ----------------------------------------------------------------------------

TEST_F(SuperLabelTest, FittingTheFontToTheBox) {
    // The window's link: 177 × 15 fits until the height reaches 13 - 6 = 7 pixels
    // (5 points), then steps back one.
    auto* label = MakeLabel(10, 10, 177, 15, L"www.quorvantix.com.br");
    label->SetAFitType(xp::ftBestFitBoth);
    Shot(label);
    EXPECT_EQ(4, label->GetFont().Size());

    // Changing the fit type refits at once, though the size did not change: the
    // horizontal fit grows the font while the caption is narrower than the box.
    label->SetAFitType(xp::ftBestFithorz);
    Shot(label);
    const int size = label->GetFont().Size();
    EXPECT_GT(size, 4);
    tmb::Font probe = label->GetFont();
    auto width = [&](int points) {
        probe.SetSize(points);
        return tmbtest::TextExtent(probe.Handle(), L"www.quorvantix.com.br").cx;
    };
    EXPECT_LT(width(size), 177);
    EXPECT_GE(width(size + 1), 177);

    // The vertical fit sets a positive height, the cell height: bottom of the text box - 2.
    label->SetAFitType(xp::ftBestFitVert);
    Shot(label);
    EXPECT_EQ(15 - 2 - 2, label->GetFont().Height());

    // Already too wide at size 0: the loop stops at once and still steps back, to -1.
    for (const auto& [left, fit] : {std::pair{10, xp::ftBestFitBoth}, {30, xp::ftBestFithorz}}) {
        auto* narrow = MakeLabel(left, 40, 10, 40, L"Wide caption");
        narrow->SetAFitType(fit);
        Shot(narrow);
        EXPECT_EQ(-1, narrow->GetFont().Size()) << fit;
    }

    // Nothing to widen: the horizontal fit ends at its limit instead of never.
    auto* empty = MakeLabel(10, 90, 100, 20, L"");
    empty->SetAFitType(xp::ftBestFithorz);
    Shot(empty);
    EXPECT_GT(empty->GetFont().Size(), 100);
    EXPECT_LT(empty->GetFont().Size(), 1000);

    // No fitting at all with AutoSize.
    auto* sized = MakeLabel(10, 120, 177, 15, L"abc");
    sized->SetAutoSize(true);
    sized->SetAFitType(xp::ftBestFitBoth);
    Shot(sized);
    EXPECT_EQ(-11, sized->GetFont().Height());
}

// ---- hover ------------------------------------------------------------------------------

TEST_F(SuperLabelTest, HoverShowsTheSelectedColourAndLeavingDropsTheUnderline) {
    auto* link = MakeLabel(10, 10, 177, 15, L"www.quorvantix.com.br");
    link->SetLabelType(xp::ltHttp);
    link->GetFont().SetColor(tmb::clNavy);
    link->GetFont().SetStyle(tmb::fsUnderline);
    link->SetColorSelected(tmb::clGreen);
    EXPECT_EQ(tmb::CursorKind::crHandPoint, link->Cursor());
    std::vector<std::string> events;
    link->OnMouseEnter = [&](tmb::Component* s) { EXPECT_EQ(link, s); events.push_back("enter"); };
    link->OnMouseLeave = [&](tmb::Component* s) { EXPECT_EQ(link, s); events.push_back("leave"); };

    tmbtest::MouseMove(form.Handle(), 20, 15);
    EXPECT_EQ(tmb::clGreen, link->GetFont().Color());
    EXPECT_TRUE(link->GetFont().Style() & tmb::fsUnderline);
    EXPECT_GT(Shot(link).Count(RGB(0, 128, 0)), 0);
    EXPECT_EQ(0, Shot(link).Count(RGB(0, 0, 128)));

    tmbtest::MouseMove(form.Handle(), 300, 300);
    EXPECT_EQ(tmb::clNavy, link->GetFont().Color());
    EXPECT_FALSE(link->GetFont().Style() & tmb::fsUnderline);
    EXPECT_GT(Shot(link).Count(RGB(0, 0, 128)), 0);
    EXPECT_EQ((std::vector<std::string>{"enter", "leave"}), events);

    // Not a link, or Effect98 off: the events only.
    events.clear();
    link->SetEffect98(false);
    tmbtest::MouseMove(form.Handle(), 20, 15);
    EXPECT_EQ(tmb::clNavy, link->GetFont().Color());
    tmbtest::MouseMove(form.Handle(), 300, 300);
    link->SetEffect98(true);
    link->SetLabelType(xp::ltNormal);
    EXPECT_EQ(tmb::CursorKind::crDefault, link->Cursor());
    tmbtest::MouseMove(form.Handle(), 20, 15);
    EXPECT_EQ(tmb::clNavy, link->GetFont().Color());
    tmbtest::MouseMove(form.Handle(), 300, 300);
    EXPECT_EQ((std::vector<std::string>{"enter", "leave", "enter", "leave"}), events);
}

// ---- click ------------------------------------------------------------------------------

struct ShellCall {
    HWND owner;
    std::wstring operation, file, parameters;  // "(null)" for a null pointer
    int show;
    bool operator==(const ShellCall&) const = default;
};

void PrintTo(const ShellCall& c, std::ostream* os) {
    *os << "{" << c.owner << ", " << testing::PrintToString(c.operation) << ", "
        << testing::PrintToString(c.file) << ", " << testing::PrintToString(c.parameters) << ", "
        << c.show << "}";
}

// Records the label's shell calls and answers them from a list (then with success).
class ShellRecorder {
public:
    ShellRecorder() {
        TmyaSuperLabel::ShellExecuteHook = [this](HWND owner, const wchar_t* op,
                                                  const wchar_t* file, const wchar_t* params,
                                                  int show) {
            auto text = [](const wchar_t* s) { return s ? std::wstring(s) : L"(null)"; };
            calls.push_back(ShellCall{owner, text(op), text(file), text(params), show});
            INT_PTR r = 42;
            if (!results.empty()) {
                r = results.front();
                results.erase(results.begin());
            }
            return reinterpret_cast<HINSTANCE>(r);
        };
    }
    ~ShellRecorder() { TmyaSuperLabel::ShellExecuteHook = nullptr; }
    std::vector<ShellCall> calls;
    std::vector<INT_PTR> results;
};

// A click on the label at form point (20, 15), the shell answering from `results`: the calls
// it made.
std::vector<ShellCall> ClickAndTake(HWND form, ShellRecorder& shell, std::vector<INT_PTR> results = {}) {
    shell.calls.clear();
    shell.results = std::move(results);
    tmbtest::Click(form, 20, 15);
    return shell.calls;
}

TEST_F(SuperLabelTest, ClickOpensTheAddressOfEachLinkType) {
    tmbtest::DialogScript script;
    ShellRecorder shell;
    auto* label = MakeLabel(10, 10, 177, 15, L"www.quorvantix.com.br");
    int clicks = 0;
    label->OnClick = [&](tmb::Component*) { ++clicks; };
    const HWND app = tmb::App().Handle();
    auto clickAndTake = [&](std::vector<INT_PTR> results = {}) {
        return ClickAndTake(form.Handle(), shell, std::move(results));
    };
    using Calls = std::vector<ShellCall>;

    label->SetLabelType(xp::ltHttp);
    EXPECT_EQ((Calls{{app, L"open", L"http://www.quorvantix.com.br", L"", SW_SHOWNORMAL}}),
              clickAndTake());
    label->SetUrl(L"example.org/a b");
    EXPECT_EQ((Calls{{app, L"open", L"http://example.org/a b", L"", SW_SHOWNORMAL}}),
              clickAndTake());
    label->SetUrl(L"");

    label->SetText(L"someone@example.org");
    label->SetLabelType(xp::ltMail);
    EXPECT_EQ((Calls{{nullptr, L"(null)", L"mailto:someone@example.org?subject=", L"(null)",
                      SW_SHOWNORMAL}}),
              clickAndTake());
    label->SetMailSubject(L"Ol\u00e1");
    EXPECT_EQ(L"mailto:someone@example.org?subject=Ol\u00e1", clickAndTake().at(0).file);

    label->SetText(L"ftp.example.org/pub");
    label->SetLabelType(xp::ltFtp);
    EXPECT_EQ((Calls{{nullptr, L"(null)", L"ftp://ftp.example.org/pub", L"(null)", SW_SHOWNORMAL}}),
              clickAndTake());
    label->SetText(L"news.example.org");
    label->SetLabelType(xp::ltNews);
    // Failures of the other types are not reported.
    EXPECT_EQ(L"news://news.example.org", clickAndTake({2}).at(0).file);

    label->SetLabelType(xp::ltNormal);
    EXPECT_TRUE(clickAndTake().empty());
    label->SetLabelType(xp::ltSubSuperScript);
    EXPECT_TRUE(clickAndTake().empty());
    EXPECT_EQ(8, clicks);  // OnClick runs for every type, before the shell

    // An address of any length goes whole.
    const std::wstring longTarget = L"example.org/" + std::wstring(300, L'p');
    label->SetText(longTarget);
    label->SetLabelType(xp::ltHttp);
    EXPECT_EQ(L"http://" + longTarget, clickAndTake().at(0).file);
    EXPECT_TRUE(script.Calls().empty());
}

TEST_F(SuperLabelTest, BrowserSearchTriesTheAddressThenTwoBrowsers) {
    tmbtest::DialogScript script;
    ShellRecorder shell;
    auto* label = MakeLabel(10, 10, 177, 15, L"x.org");
    label->SetLabelType(xp::ltHttp);
    const HWND app = tmb::App().Handle();
    using Calls = std::vector<ShellCall>;
    const Calls all = {{app, L"open", L"http://x.org", L"", SW_SHOWNORMAL},
                       {app, L"open", L"netscape.exe", L"http://x.org", SW_SHOWNORMAL},
                       {app, L"open", L"iexplore.exe", L"http://x.org", SW_SHOWNORMAL}};

    // 32 and below are failures; the third attempt succeeds.
    EXPECT_EQ(all, ClickAndTake(form.Handle(), shell, {32, 2}));
    EXPECT_TRUE(script.Calls().empty());
    EXPECT_EQ(Calls(all.begin(), all.begin() + 2), ClickAndTake(form.Handle(), shell, {31, 33}));
    EXPECT_EQ(all, ClickAndTake(form.Handle(), shell, {2, 2, 0}));
    ASSERT_EQ(1u, script.Calls().size());
    EXPECT_EQ(L"Sorry your browser could not be found", script.Calls()[0].text);
    EXPECT_EQ(tmb::App().Title(), script.Calls()[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OK), script.Calls()[0].flags & MB_TYPEMASK);
}

// Without the hook the label goes to the shell itself: a handler registered for the news
// scheme receives the address.
TEST_F(SuperLabelTest, ShellReceivesTheAddressThroughARegisteredHandler) {
    tmbtest::TempFolder folder;
    const std::wstring out = folder.Path() + L"\\opened.txt";
    const std::wstring key = L"Software\\Classes\\news";
    tmb::Registry reg(HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS);
    ASSERT_FALSE(reg.KeyExists(key)) << "the prefix already has a news handler";
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    reg.OpenKey(key, true);
    reg.WriteString(L"URL Protocol", L"");
    reg.CloseKey();
    reg.OpenKey(key + L"\\shell\\open\\command", true);
    reg.WriteString(L"", L"\"" + std::wstring(system) + L"\\cmd.exe\" /c echo %1>\"" + out + L"\"");
    reg.CloseKey();

    auto* label = MakeLabel(10, 10, 177, 15, L"news.example.org/group");
    label->SetLabelType(xp::ltNews);
    tmbtest::Click(form.Handle(), 20, 15);
    tmbtest::WaitForFile(out, 5000);
    const std::string text = tmbtest::ReadFileBytes(out, "");
    reg.DeleteKey(key);
    EXPECT_NE(std::string::npos, text.find("news://news.example.org/group")) << text;
}

TEST(SuperLabel, PropertyDefaultsAndTheSavedLeftTopShade) {
    TmyaSuperLabel label(nullptr);
    EXPECT_TRUE(label.Transparent());
    EXPECT_FALSE(label.AutoSize());
    EXPECT_EQ(xp::ftBestFitBoth, label.AFitType());
    EXPECT_EQ(xp::Normal3d, label.AStyle3D());
    EXPECT_EQ(tmb::clGray, label.AShadeRightBottom());
    EXPECT_EQ(tmb::clWhite, label.AShadeLeftTop());
    EXPECT_EQ(5, label.AHShadeOffSet());
    EXPECT_EQ(-5, label.AVShadeOffSet());
    EXPECT_TRUE(label.AShadeLTSet());
    EXPECT_EQ(xp::gsNone, label.GradientStyle());
    EXPECT_EQ(tmb::clNavy, label.BeginColor());
    EXPECT_EQ(tmb::clAqua, label.EndColor());
    EXPECT_EQ(xp::ltNormal, label.LabelType());
    EXPECT_TRUE(label.Effect98());
    EXPECT_EQ(tmb::clGreen, label.ColorSelected());

    label.SetAShadeLeftTop(tmb::clBlack);  // locked while AShadeLTSet
    EXPECT_EQ(tmb::clWhite, label.AShadeLeftTop());
    label.SetAShadeLTSet(false);
    label.SetAShadeLeftTop(0x0000FF);
    EXPECT_EQ(0x0000FFu, label.AShadeLeftTop());
    label.SetAShadeLTSet(true);  // saved, and white again
    EXPECT_EQ(tmb::clWhite, label.AShadeLeftTop());
    label.SetAShadeLeftTop(tmb::clBlack);
    label.SetAShadeLTSet(false);  // the saved colour comes back
    EXPECT_EQ(0x0000FFu, label.AShadeLeftTop());

    for (xp::TLabelType t : {xp::ltHttp, xp::ltMail, xp::ltFtp, xp::ltNews}) {
        label.SetLabelType(t);
        EXPECT_EQ(tmb::CursorKind::crHandPoint, label.Cursor()) << t;
    }
    label.SetLabelType(xp::ltSubSuperScript);
    EXPECT_EQ(tmb::CursorKind::crDefault, label.Cursor());
}

} // namespace
