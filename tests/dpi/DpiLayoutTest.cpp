// Both windows at the display's DPI. CTest runs this program at 96, 144 and 192 DPI (Wine
// reads the display's "LogPixels" as a process starts) and TOMBAREL_EXPECT_DPI says which.
// Each window is compared with the same layout made without scaling: every control at
// DPI/96 times its written bounds, fonts scaled, nothing overlapping or cut off.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/tombarel.h"
#include "explorador/explorador.h"
#include "framework/Application.h"
#include "framework/Dpi.h"
#include "framework/Picture.h"
#include "framework/Registry.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmb::Control;
using tmb::WinControl;
using tmbtest::Pump;
using tmbtest::TempFolder;

int ExpectedDpi() {
    const char* value = std::getenv("TOMBAREL_EXPECT_DPI");
    return value ? std::atoi(value) : tmb::kDesignDpi;
}

// Every control under `parent`, depth first in the order the layout made them.
void Collect(const WinControl& parent, std::vector<Control*>& out) {
    for (Control* c : parent.Controls()) {
        out.push_back(c);
        if (auto* w = dynamic_cast<WinControl*>(c))
            Collect(*w, out);
    }
}

std::vector<Control*> ControlsOf(const WinControl& form) {
    std::vector<Control*> all;
    Collect(form, all);
    return all;
}

std::string Describe(const Control* c) {
    return c->Name().empty() ? "(unnamed)" : U8(c->Name());
}

// The client pixels of a shown window as the screen has them once every paint has run.
class Capture {
public:
    explicit Capture(HWND hwnd) {
        Pump();
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT r;
        GetClientRect(hwnd, &r);
        width_ = r.right;
        height_ = r.bottom;
        void* bits = nullptr;
        tmb::BitmapHandle bitmap(tmb::CreateDib32(width_, height_, &bits));
        HDC window = GetDC(hwnd);
        HDC mem = CreateCompatibleDC(window);
        HGDIOBJ old = SelectObject(mem, bitmap.get());
        BitBlt(mem, 0, 0, width_, height_, window, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const DWORD*>(bits);
        pixels_.assign(px, px + width_ * height_);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(hwnd, window);
    }
    COLORREF At(int x, int y) const {
        const DWORD p = pixels_[static_cast<std::size_t>(y * width_ + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The smallest rectangle of `area` holding every pixel for which `ink` holds.
    template <class Ink>
    RECT Bounds(const RECT& area, Ink ink) const {
        RECT b{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (ink(At(x, y))) {
                    b.left = std::min<LONG>(b.left, x);
                    b.top = std::min<LONG>(b.top, y);
                    b.right = std::max<LONG>(b.right, x + 1);
                    b.bottom = std::max<LONG>(b.bottom, y + 1);
                }
        return b;
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;
};

// Written layout vs shown layout of one window, control by control.
void ExpectScaled(const std::vector<Control*>& before, const std::vector<Control*>& after,
                  int dpi) {
    auto scale = [dpi](int v) { return tmb::ScaleLength(v, dpi); };
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Control* w = before[i];
        const Control* s = after[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " " << Describe(s));
        EXPECT_EQ(s->Dpi(), dpi);
        const auto* label = dynamic_cast<const tmb::Label*>(s);
        const bool fitted = dynamic_cast<const xp::TmyaSuperLabel*>(s) != nullptr;
        if (!fitted) {
            EXPECT_EQ(s->GetFont().Height(), scale(w->GetFont().Height()));
        }
        EXPECT_NEAR(s->Left(), scale(w->Left()), 1);
        EXPECT_NEAR(s->Top(), scale(w->Top()), 1);
        if (label && label->AutoSize())
            continue;  // sized to its caption, checked below
        EXPECT_NEAR(s->Width(), scale(w->Width()), 1);
        EXPECT_NEAR(s->Height(), scale(w->Height()), 1);
    }
}

// No two visible siblings overlap, none sticks out of its parent further than the written
// layout already did, and every caption fits its control.
void ExpectNothingOverlapsOrClips(const std::vector<Control*>& before,
                                  const std::vector<Control*>& after, WinControl& shown, int dpi) {
    for (std::size_t i = 0; i < after.size(); ++i) {
        Control* s = after[i];
        if (!s->Showing())
            continue;
        SCOPED_TRACE(testing::Message() << "control " << i << " " << Describe(s));
        const RECT r = s->BoundsRect();
        const RECT wr = before[i]->BoundsRect();
        // Beyond the parent's client area: right and bottom overhang.
        const WinControl* parent = s->Parent();
        const int overhang =
            std::max(r.right - parent->ClientWidth(), r.bottom - parent->ClientHeight());
        const int writtenOverhang = std::max<int>(
            {0, static_cast<int>(wr.right - before[i]->Parent()->ClientWidth()),
             static_cast<int>(wr.bottom - before[i]->Parent()->ClientHeight())});
        EXPECT_LE(overhang, tmb::ScaleLength(writtenOverhang, dpi) + 1);
        const std::vector<Control*>& siblings = parent->Controls();
        const std::vector<Control*>& writtenSiblings = before[i]->Parent()->Controls();
        for (std::size_t j = 0; j < siblings.size(); ++j) {
            Control* other = siblings[j];
            if (other == s || !other->Showing() || s->GetAlign() == tmb::Align::alClient)
                continue;
            const RECT o = other->BoundsRect(), wo = writtenSiblings[j]->BoundsRect();
            RECT common;
            if (IntersectRect(&common, &wr, &wo))
                continue;  // already so in the written layout
            EXPECT_FALSE(IntersectRect(&common, &r, &o)) << "overlaps " << Describe(other);
        }
        const std::wstring caption = s->Text();
        if (caption.empty())
            continue;
        if (dynamic_cast<tmb::Label*>(s) && !dynamic_cast<xp::TmyaSuperLabel*>(s)) {
            const SIZE t = tmbtest::TextExtent(s->GetFont().Handle(), caption);
            EXPECT_LE(t.cx, s->Width());
            EXPECT_LE(t.cy, s->Height());
        } else if (auto* button = dynamic_cast<tmb::Button*>(s)) {
            const SIZE t = tmbtest::TextExtent(button->GetFont().Handle(), caption);
            EXPECT_LE(t.cx + tmb::ScaleLength(6, dpi), s->Width());
            EXPECT_LE(t.cy + tmb::ScaleLength(4, dpi), s->Height());
        } else if (auto* xpButton = dynamic_cast<xp::TtfXPButton*>(s)) {
            // The flat buttons draw in the default font, which the form's is here.
            const SIZE t = tmbtest::TextExtent(shown.GetFont().Handle(), caption);
            const POINT at = xpButton->TextPos();
            EXPECT_GE(xpButton->GlyphPos().x, 0);
            EXPECT_GE(at.x, 0);
            EXPECT_LE(at.x + t.cx, s->Width());
        }
    }
}

// The written layout: the window made without the scaling its creation applies.
template <class F>
F* WrittenLayout() {
    F* form = new F(nullptr);
    form->OnCreate = nullptr;
    form->OnDestroy = nullptr;
    const int width = form->ClientWidth(), height = form->ClientHeight();
    form->Handle();
    form->SetClientSize(width, height);  // corrected for the frame, as creation does
    Pump();
    return form;
}

// A window of class F made and shown as the program shows it, beside its written layout;
// both are destroyed with the object.
template <class F>
struct ShownWindow {
    F* written = WrittenLayout<F>();
    F* form = tmb::CreateForm<F>(nullptr);
    ShownWindow() { form->Show(); Pump(); }
    ~ShownWindow() { tmb::Destroy(written); tmb::Destroy(form); }
};

// The shown window has its written client size times the scale, and each of its controls is
// scaled, overlaps nothing and is not cut off.
void ExpectScaledWindow(WinControl& written, WinControl& shown, int width, int height, int dpi) {
    EXPECT_NEAR(shown.ClientWidth(), tmb::ScaleLength(width, dpi), 1);
    EXPECT_NEAR(shown.ClientHeight(), tmb::ScaleLength(height, dpi), 1);
    const std::vector<Control*> before = ControlsOf(written), after = ControlsOf(shown);
    ASSERT_EQ(before.size(), after.size());
    ExpectScaled(before, after, dpi);
    ExpectNothingOverlapsOrClips(before, after, shown, dpi);
}

class DisplayDpi : public testing::Test {
protected:
    void SetUp() override {
        tmb::App().SetTitle(L"Tombarel");
        // The run says which DPI it set up; a display left at 96 would pass every check.
        ASSERT_EQ(tmb::SystemDpi(), ExpectedDpi());
        file_ = folder_.AddFile(L"Relat\u00f3rio anual.txt", 1234);
        for (const wchar_t* value : {app::kRegistryValue, explorador::kRegistryValue})
            ASSERT_TRUE(tmbtest::StoreRegistryString(app::kRegistryKey, value, folder_.Path()));
    }
    void TearDown() override { tmb::Registry().DeleteKey(app::kRegistryKey); }
    int Scaled(int length) const { return tmb::ScaleLength(length, dpi_); }

    const int dpi_ = tmb::SystemDpi();

    TempFolder folder_;
    std::wstring file_;
};

TEST_F(DisplayDpi, MainWindowScalesEveryControlAndFont) {
    ShownWindow<app::Tfmtextdir> shown;
    auto* form = shown.form;
    ExpectScaledWindow(*shown.written, *form, 692, 449, dpi_);

    // What the controls keep in pixels of their own.
    EXPECT_NEAR(TreeView_GetIndent(form->dirs->Handle()), Scaled(19), 1);
    int rights[2] = {};
    SendMessageW(form->StatusBar1->Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    EXPECT_EQ(rights[0], Scaled(60));
    // The list's rows are as high as its scaled font.
    const int row = static_cast<int>(SendMessageW(form->files->Handle(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(row, -form->files->GetFont().Height());
    EXPECT_GE(row, Scaled(16));
}

TEST_F(DisplayDpi, ExplorerWindowScalesEveryControlColumnAndTheDropDown) {
    ShownWindow<explorador::Tfmexplorador> shown;
    auto* form = shown.form;
    ExpectScaledWindow(*shown.written, *form, 820, 540, dpi_);
    for (int i = 0; i < form->files->ColumnCount(); ++i)
        EXPECT_EQ(form->files->ColumnWidth(i), Scaled(form->files->Column(i).width)) << "column " << i;

    // The drop-down opens as wide as the box and as tall as its scaled tree height.
    form->DirTreeCombo1->DropDown();
    Pump();
    RECT popup{};
    HWND drop = form->DirTreeCombo1->DropDownWindow()->Handle();
    GetWindowRect(drop, &popup);
    EXPECT_EQ(popup.right - popup.left, form->DirTreeCombo1->Width());
    EXPECT_NEAR(popup.bottom - popup.top, Scaled(320), 1);
    EXPECT_EQ(form->DirTreeCombo1->Tree()->GetFont().Height(), Scaled(-11));
    form->DirTreeCombo1->DropDownWindow()->CloseUp();
    Pump();
}

// Moved to a monitor of another scale, a window takes the suggested rectangle and lays
// itself out again for the new DPI; back on the first monitor it is as it was.
TEST_F(DisplayDpi, DpiChangedMessageLaysTheWindowOutAgain) {
    ShownWindow<app::Tfmtextdir> shown;
    auto* form = shown.form;
    const int target = dpi_ == 192 ? 144 : 192;
    RECT suggested{10, 20, 10 + tmb::ScaleLength(700, target), 20 + tmb::ScaleLength(480, target)};
    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(target, target),
                 reinterpret_cast<LPARAM>(&suggested));
    Pump();
    RECT now;
    GetWindowRect(form->Handle(), &now);
    EXPECT_EQ(now.left, 10);
    EXPECT_EQ(now.top, 20);
    EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);
    // Against the written layout with a tolerance of one pixel per step of rounding.
    const std::vector<Control*> before = ControlsOf(*shown.written);
    const std::vector<Control*> after = ControlsOf(*form);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (dynamic_cast<tmb::Label*>(after[i]) || after[i]->GetAlign() != tmb::Align::alNone)
            continue;  // sized to the caption, or to the window Windows suggested
        SCOPED_TRACE(i);
        EXPECT_EQ(after[i]->Dpi(), target);
        EXPECT_NEAR(after[i]->Left(), tmb::ScaleLength(before[i]->Left(), target), 2);
        EXPECT_NEAR(after[i]->Width(), tmb::ScaleLength(before[i]->Width(), target), 2);
        EXPECT_NEAR(after[i]->Height(), tmb::ScaleLength(before[i]->Height(), target), 2);
    }
    EXPECT_EQ(form->files->GetFont().Height(), tmb::ScaleLength(-13, target));
    EXPECT_NEAR(TreeView_GetIndent(form->dirs->Handle()), tmb::ScaleLength(19, target), 1);

    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi_, dpi_),
                 reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(form->files->GetFont().Height(), Scaled(-13));
    EXPECT_EQ(form->GetFont().Height(), Scaled(-11));
}

// The flat button's glyph (16 x 16 pixel art with one transparent column each side and a
// transparent bottom row), its place and its hot outline, at the display's size.
TEST_F(DisplayDpi, FlatButtonDrawsItsGlyphAndOutlineAtTheDisplaysSize) {
    ShownWindow<app::Tfmtextdir> shown;
    xp::TtfXPButton* button = shown.form->btgerahtm;
    const COLORREF face = tmb::ColorToRGB(button->Colors().BackColor());
    {
        const Capture shot(button->Handle());
        const POINT glyph = button->GlyphPos();
        const RECT ink = shot.Bounds(RECT{0, 0, button->TextPos().x, button->Height()},
                                     [face](COLORREF c) { return c != face; });
        EXPECT_NEAR(ink.right - ink.left, Scaled(14), 1);
        EXPECT_NEAR(ink.bottom - ink.top, Scaled(15), 1);
        EXPECT_NEAR(ink.left - glyph.x, Scaled(1), 1);
        EXPECT_NEAR(ink.top, glyph.y, 1);
        // The caption in the scaled default font, whose capitals are 8 pixels at 96 DPI.
        // "MS Sans Serif" is a bitmap font of a few sizes: Wine takes the nearest, up to a
        // quarter smaller.
        const RECT text = shot.Bounds(RECT{button->TextPos().x, 0, button->Width(), button->Height()},
                                      [face](COLORREF c) { return c != face; });
        EXPECT_GE(text.bottom - text.top, Scaled(8) * 3 / 4);
    }
    // Under the pointer: an outline one 96-DPI pixel wide, the glyph lifted off its shadow.
    tmbtest::MouseMove(button->Handle(), button->Width() / 2, button->Height() / 2);
    ASSERT_TRUE(button->Hot());
    const Capture hot(button->Handle());
    const COLORREF border = tmb::ColorToRGB(button->Colors().BorderColor());
    const int ring = Scaled(1), middle = button->Height() / 2;
    for (int x = 0; x < ring; ++x)
        EXPECT_EQ(hot.At(x, middle), border) << x;
    EXPECT_NE(hot.At(ring, middle), border);
    const COLORREF hotFace = tmb::ColorToRGB(button->Colors().BackHiColor());
    const RECT lifted = hot.Bounds(RECT{ring, ring, button->TextPos().x, button->Height() - ring},
                                   [hotFace](COLORREF c) { return c != hotFace; });
    EXPECT_NEAR(lifted.right - lifted.left, Scaled(15), 1);
}

// The link label's etched frame and gradient are as large as at 96 DPI times the
// scale, and the hover underlines the whole caption.
TEST_F(DisplayDpi, LinkLabelDrawsFrameGradientAndUnderlineAtTheDisplaysSize) {
    tmbtest::TestForm host(Scaled(300), Scaled(100));
    auto* link = new xp::TmyaSuperLabel(&host.Form());
    link->SetBounds(10, 10, 240, 40);
    link->SetText(L"www.tombarel.com.br");  // no descender below the underline
    link->SetAFitType(xp::ftNormalFit);
    link->GetFont().SetName(L"Tahoma");
    link->GetFont().SetHeight(-11);
    link->GetFont().SetColor(tmb::clNavy);
    link->SetGradientStyle(xp::gsHorizontal);
    link->SetBeginColor(tmb::clWhite);
    link->SetEndColor(tmb::clAqua);
    link->SetFrame(true);
    link->SetLabelType(xp::ltHttp);
    link->SetParent(&host.Form());  // made after the form was scaled: scaled as it is placed
    EXPECT_EQ(link->BoundsRect().right, Scaled(250));
    EXPECT_EQ(link->GetFont().Height(), Scaled(-11));

    const int s = Scaled(1);
    const int x = link->Left() + link->Width() / 2, top = link->Top();
    {
        const Capture shot(host.Handle());
        const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        for (int i = 0; i < s; ++i) {
            EXPECT_EQ(shot.At(x, top + i), highlight) << i;
            EXPECT_EQ(shot.At(x, top + s + i), shadow) << i;
        }
        EXPECT_NE(shot.At(x, top + 2 * s), shadow);
        // The gradient runs across the whole scaled width: white at the left, aqua right.
        const int y = link->Top() + link->Height() / 2 + Scaled(8);
        auto similar = [](COLORREF a, COLORREF b) {
            return std::abs(GetRValue(a) - GetRValue(b)) < 8 &&
                   std::abs(GetGValue(a) - GetGValue(b)) < 8 &&
                   std::abs(GetBValue(a) - GetBValue(b)) < 8;
        };
        EXPECT_TRUE(similar(shot.At(link->Left() + 2 * s + 1, y), RGB(255, 255, 255)));
        EXPECT_TRUE(similar(shot.At(link->BoundsRect().right - 2 * s - 2, y), RGB(0, 255, 255)));
    }
    tmbtest::MouseMove(host.Handle(), link->Left() + Scaled(20), link->Top() + Scaled(8));
    const Capture hover(host.Handle());
    const COLORREF ink = RGB(0, 128, 0);  // the hover colour, green unless set
    const RECT text = hover.Bounds(link->BoundsRect(), [ink](COLORREF c) { return c == ink; });
    ASSERT_LT(text.left, text.right);
    EXPECT_GE(text.bottom - text.top, Scaled(9) - 1);
    // The lowest row of the caption's ink is the underline, under all of it.
    int run = 0;
    for (int px = text.left; px < text.right; ++px)
        run += hover.At(px, text.bottom - 1) == ink ? 1 : 0;
    EXPECT_GE(run, (text.right - text.left) * 9 / 10);
}

} // namespace
