// The XP-style button on a real window, driven with mouse messages and checked by its
// pixels: the idle, hot, pressed and dragged-out looks, outline and shadow sizes, the glyph
// and caption layout, the hover rule at its edges, clicks, the drop-down menu, image lists
// and its colour set.
#include "widgets/XP_Button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Font.h"
#include "framework/ImageListComponent.h"
#include "framework/Picture.h"
#include "framework/PopupMenu.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using tmbtest::TestForm;
using xp::TtfXPButton;

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBack = RGB(255, 255, 0);     // BackColor in the tests
constexpr COLORREF kBackHi = RGB(0, 255, 0);     // BackHiColor
constexpr COLORREF kBorder = RGB(255, 0, 0);     // BorderColor
constexpr COLORREF kShadow = RGB(132, 130, 132); // the default ShadowColor

tmb::TColor AsTColor(COLORREF c) { return static_cast<tmb::TColor>(c); }

// 12 × 12: opaque blue over x 1..11, y 0..10; the left column and the bottom row carry the
// transparent colour (the bottom-left pixel's).
tmb::Picture SquareGlyph(COLORREF colour = kBlue) {
    const char* opaque = ".BBBBBBBBBBB";
    return tmb::Picture::FromArt({opaque, opaque, opaque, opaque, opaque, opaque, opaque, opaque,
                                  opaque, opaque, opaque, "............"},
                                 {{'.', kKey}, {'B', colour}});
}

// w × h, all opaque except the bottom-left pixel, which alone is transparent.
tmb::Picture SolidGlyph(int w, int h) {
    void* bits = nullptr;
    tmb::BitmapHandle dib(tmb::CreateDib32(w, h, &bits));
    auto* px = static_cast<DWORD*>(bits);
    for (int i = 0; i < w * h; ++i)
        px[i] = 0x0000FF;             // blue
    px[(h - 1) * w] = 0xFF00FF;       // the key colour, bottom left
    GdiFlush();
    return tmb::Picture::FromBitmap(dib.get());
}

// The text size the button's caption font gives, measured the way a paint measures it.
SIZE DefaultFontExtent(const std::wstring& text) {
    tmb::Font font;
    return tmbtest::TextExtent(font.Handle(), text);
}

// Pointer far away from every test window, so nothing starts out hot.
void ParkPointer() { SetCursorPos(1270, 1010); }

class XPButtonTest : public testing::Test {
protected:
    void SetUp() override {
        ParkPointer();
        button = new TtfXPButton(&form.Form());
        button->SetBounds(20, 20, 60, 40);
        button->Colors().SetBackColor(AsTColor(kBack));
        button->Colors().SetBackHiColor(AsTColor(kBackHi));
        button->Colors().SetBorderColor(AsTColor(kBorder));
        button->SetGlyph(SquareGlyph());
        button->SetParent(&form.Form());
        tmbtest::Pump();
    }
    COLORREF At(int x, int y) { return tmbtest::PixelAt(button->Handle(), x, y); }
    void ExpectPixels(std::initializer_list<tmbtest::Pixel> pixels) {
        tmbtest::ExpectPixels(button->Handle(), pixels);
    }
    void Move(int x, int y, WPARAM keys = 0) { tmbtest::MouseMove(button->Handle(), x, y, keys); }
    void Down(int x, int y) {
        SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Up(int x, int y) {
        SendMessageW(button->Handle(), WM_LBUTTONUP, 0,
                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }

    TestForm form;
    TtfXPButton* button = nullptr;
};

// Without a caption, glLeft puts the 12-pixel glyph at ((60 - 12) / 2 + 1, (40 - 12) / 2 + 1)
// = (25, 15); its opaque part covers x 26..36, y 15..25.
TEST_F(XPButtonTest, IdleHotPressedAndDraggedOutLooks) {
    int clicks = 0;
    button->OnClick = [&](tmb::Component*) { ++clicks; };
    ASSERT_EQ(60, button->Width());

    // Idle: a flat face, no outline, the glyph covering its shadow exactly.
    // Then the glyph's transparent column, its transparent bottom row, and beside the shadow.
    ExpectPixels({{kBack, 0, 0}, {kBack, 59, 39}, {kBlue, 26, 15}, {kBlue, 36, 25},
                  {kBack, 25, 20}, {kBack, 30, 26}, {kBack, 37, 26}});
    EXPECT_EQ(25, button->GlyphPos().x);
    EXPECT_EQ(15, button->GlyphPos().y);

    // Hot: highlight face, one ring of outline, the glyph one pixel up and left with a
    // one-pixel rim of shadow at its lower right.
    Move(30, 20);
    EXPECT_TRUE(button->Hot());
    ExpectPixels({{kBorder, 0, 0}, {kBorder, 59, 39}, {kBorder, 30, 0}, {kBackHi, 1, 1},
                  {kBlue, 25, 14}, {kBlue, 35, 24}, {kShadow, 36, 25}, {kShadow, 36, 15},
                  {kShadow, 26, 25}, {kBackHi, 24, 20}, {kBackHi, 37, 25}});

    // Pressed: still lit and outlined, the glyph back on its shadow.
    Down(30, 20);
    EXPECT_TRUE(button->Pressed());
    ExpectPixels({{kBorder, 0, 0}, {kBackHi, 1, 1}, {kBlue, 36, 25}, {kBlue, 26, 15},
                  {kBackHi, 25, 14}, {kBackHi, 37, 26}});

    // Dragged outside while held: the resting face, no outline, the glyph at rest.
    Move(30, 70, MK_LBUTTON);
    EXPECT_TRUE(button->Pressed());
    EXPECT_FALSE(button->Hot());
    ExpectPixels({{kBack, 0, 0}, {kBack, 1, 1}, {kBlue, 36, 25}, {kBack, 25, 14}});

    // Released outside: no click.
    Up(30, 70);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(0, clicks);
    EXPECT_EQ(kBack, At(0, 0));

    // A disabled button looks idle, even when it was lit.
    Move(30, 20);
    EXPECT_EQ(kBorder, At(0, 0));
    button->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(button->Handle()));
    ExpectPixels({{kBack, 0, 0}, {kBlue, 36, 25}});
}

TEST_F(XPButtonTest, OutlineHasBorderWidthRings) {
    Move(30, 20);
    button->SetBorderWidth(0);
    button->Invalidate();
    ExpectPixels({{kBackHi, 0, 0}, {kBackHi, 59, 39}});

    button->SetBorderWidth(2);
    button->Invalidate();
    for (int i : {0, 1}) {
        EXPECT_EQ(kBorder, At(i, i)) << i;
        EXPECT_EQ(kBorder, At(59 - i, 39 - i)) << i;
        EXPECT_EQ(kBorder, At(30, i)) << i;
        EXPECT_EQ(kBorder, At(i, 20)) << i;
        EXPECT_EQ(kBorder, At(59 - i, 20)) << i;
        EXPECT_EQ(kBorder, At(30, 39 - i)) << i;
    }
    ExpectPixels({{kBackHi, 2, 2}, {kBackHi, 57, 37}, {kBackHi, 30, 2}});
}

TEST_F(XPButtonTest, ShadowRimIsShadowSizeWide) {
    Move(30, 20);
    // 0: the glyph stays put and hides its shadow.
    button->SetShadowSize(0);
    ExpectPixels({{kBlue, 26, 15}, {kBlue, 36, 25}, {kBackHi, 25, 14}, {kBackHi, 37, 26}});

    // 3: the glyph covers x 23..33, y 12..22; the shadow shows at x 34..36 and y 23..25.
    button->SetShadowSize(3);
    ExpectPixels({{kBlue, 23, 12}, {kBlue, 33, 22}, {kBackHi, 22, 12}, {kBackHi, 23, 11}});
    for (int x : {34, 35, 36})
        EXPECT_EQ(kShadow, At(x, 15)) << x;
    for (int y : {23, 24, 25})
        EXPECT_EQ(kShadow, At(26, y)) << y;
    ExpectPixels({{kShadow, 36, 25}, {kBackHi, 37, 25}, {kBackHi, 36, 26}});
    EXPECT_EQ(kBackHi, At(34, 14));  // above the shadow's top edge
}

TEST_F(XPButtonTest, TopRowCountsAsOutsideAndLeftColumnAsInside) {
    Move(0, 20);
    EXPECT_TRUE(button->Hot());
    EXPECT_EQ(kBorder, At(0, 0));
    Move(30, 0);
    EXPECT_FALSE(button->Hot());
    ExpectPixels({{kBack, 0, 0}, {kBack, 5, 5}});
    Move(59, 39);  // the right column and the bottom row are inside
    EXPECT_TRUE(button->Hot());
    Move(30, 1);
    EXPECT_TRUE(button->Hot());
}

TEST_F(XPButtonTest, ClickComesBetweenPressAndReleaseAndOnlyForAReleaseInside) {
    std::vector<std::string> events;
    button->OnMouseDown = [&](tmb::Component*, tmb::MouseButton, unsigned, int, int) {
        events.push_back("down");
    };
    button->OnClick = [&](tmb::Component* sender) {
        EXPECT_EQ(button, sender);
        // The look is still the pressed one while the click runs.
        EXPECT_TRUE(button->Pressed());
        events.push_back("click");
    };
    button->OnMouseUp = [&](tmb::Component*, tmb::MouseButton, unsigned, int, int) {
        events.push_back("up");
    };
    tmbtest::Click(button->Handle(), 10, 10);
    EXPECT_EQ((std::vector<std::string>{"down", "click", "up"}), events);
    EXPECT_FALSE(button->Pressed());
    EXPECT_TRUE(button->Hot());  // the pointer is still over it
    EXPECT_EQ(GetCapture(), nullptr);

    // Pressed inside, released on the top row (outside by the hover rule, but inside the
    // window): the release position decides, so it is a click.
    events.clear();
    Down(10, 10);
    Up(10, 0);
    EXPECT_EQ((std::vector<std::string>{"down", "click", "up"}), events);

    // A right press and release make no click.
    events.clear();
    SendMessageW(button->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(button->Pressed());
    SendMessageW(button->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ((std::vector<std::string>{"down", "up"}), events);
}

TEST_F(XPButtonTest, WindowTextIsTheCaption) {
    button->SetText(L"Sair");
    EXPECT_EQ(L"Sair", button->Caption());
    wchar_t text[16] = {};
    for (const wchar_t* caption : {L"Sair", L"Sobre"}) {
        button->SetCaption(caption);
        GetWindowTextW(button->Handle(), text, 16);
        EXPECT_STREQ(caption, text);
    }
}

// The layouts of a 105 × 30 toolbar button, measured in the default font whatever the
// control's own font is.
TEST(XPButtonLayout, ToolbarButtonWithAndWithoutCaption) {
    ParkPointer();
    TestForm form;
    auto* button = new TtfXPButton(&form.Form());
    button->SetBounds(10, 10, 105, 30);
    button->Colors().SetBackColor(AsTColor(kBack));
    button->SetGlyph(SolidGlyph(16, 16));
    button->GetFont().SetHeight(-40);  // not used for the caption
    button->GetFont().SetStyle(tmb::fsBold);
    button->SetText(L"Sair");
    button->SetParent(&form.Form());
    HWND h = button->Handle();

    const SIZE text = DefaultFontExtent(L"Sair");
    const int th = DefaultFontExtent(L"H").cy;
    EXPECT_EQ(13, th);  // 8-point "MS Sans Serif" as this system maps it

    const int gx = (105 - (text.cx + 20)) / 2;
    tmbtest::ExpectPixels(h, {{kBlue, gx, 8}, {kBlue, gx + 15, 8 + 15}});
    EXPECT_EQ(kBack, tmbtest::PixelAt(h, gx, 8 + 15));  // the transparent bottom-left pixel
    tmbtest::ExpectPixels(h, {{kBack, gx - 1, 8}, {kBack, gx, 7}, {kBack, gx + 16, 8}});
    EXPECT_EQ(gx, button->GlyphPos().x);
    EXPECT_EQ(8, button->GlyphPos().y);
    EXPECT_EQ(gx + 20, button->TextPos().x);
    EXPECT_EQ((30 - th) / 2, button->TextPos().y);

    // The caption's ink lies in the default font's box at the text position, in the
    // window-text colour.
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = gx + 16; x < 105; ++x)
            if (tmbtest::PixelAt(h, x, y) == ink) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "no caption drawn";
    EXPECT_GE(left, gx + 20);
    EXPECT_LE(left, gx + 22);
    EXPECT_LT(right, gx + 20 + text.cx);
    EXPECT_GE(top, (30 - th) / 2);
    EXPECT_LT(bottom, (30 - th) / 2 + th);

    // Without a caption the glyph is centred, one pixel further right for glLeft only.
    button->SetText(L"");
    tmbtest::ExpectPixels(h, {{kBlue, 45, 8}, {kBack, 44, 8}});
    EXPECT_EQ(45, button->GlyphPos().x);
    for (xp::AlignPos layout : {xp::glRight, xp::glTop, xp::glBottom}) {
        button->SetGlyphLayout(layout);
        EXPECT_EQ(kBlue, tmbtest::PixelAt(h, 44, 8)) << layout;
        EXPECT_EQ(kBack, tmbtest::PixelAt(h, 43, 8)) << layout;
        EXPECT_EQ(44, button->GlyphPos().x) << layout;
    }

    // A caption with no glyph: the gap still counts.
    button->SetGlyph(tmb::Picture());
    button->SetGlyphLayout(xp::glLeft);
    button->SetText(L"Sair");
    tmbtest::PixelAt(h, 0, 0);
    EXPECT_EQ((105 - (text.cx + 4)) / 2 + 4, button->TextPos().x);
    EXPECT_FALSE(button->HasGlyphMask());
}

TEST(XPButtonLayout, GlyphAboveCaptionInATallButton) {
    ParkPointer();
    TestForm form;
    auto* button = new TtfXPButton(&form.Form());
    button->SetBounds(10, 10, 80, 60);
    button->Colors().SetBackColor(AsTColor(kBack));
    button->SetGlyph(SolidGlyph(32, 32));
    button->SetGlyphLayout(xp::glTop);
    button->SetText(L"Abc");
    button->SetParent(&form.Form());
    HWND h = button->Handle();

    const int th = DefaultFontExtent(L"H").cy;
    ASSERT_EQ(13, th);
    // top = (60 - (13 + 32 + 4)) div 2 = 5: glyph at y 6, caption at y 6 + 32 + 4 = 42.
    tmbtest::ExpectPixels(h, {{kBlue, 24, 6}, {kBack, 24, 5}, {kBack, 23, 6}, {kBlue, 55, 37},
                              {kBack, 55, 38}});
    EXPECT_EQ(6, button->GlyphPos().y);
    EXPECT_EQ(42, button->TextPos().y);
    EXPECT_EQ((80 - DefaultFontExtent(L"Abc").cx) / 2, button->TextPos().x);

    // Bigger than the button: negative positions, clipped, nothing else happens.
    button->SetGlyph(SolidGlyph(100, 100));
    EXPECT_EQ(kBlue, tmbtest::PixelAt(h, 0, 0));
    EXPECT_LT(button->GlyphPos().x, 0);
}

// Icons are masked by their own mask, other pictures by what they paint; the hot shadow
// follows that silhouette.
TEST_F(XPButtonTest, ShadowFollowsTheSilhouetteOfIconsAndMetafiles) {
    // An icon with the same silhouette as the square glyph.
    // Monochrome rows padded to 16 bits: the left column and the bottom row transparent.
    std::vector<BYTE> andBits;
    for (int y = 0; y < 12; ++y)
        andBits.insert(andBits.end(), {BYTE(y == 11 ? 0xFF : 0x80), BYTE(y == 11 ? 0xF0 : 0)});
    tmb::BitmapHandle mask(CreateBitmap(12, 12, 1, 1, andBits.data()));
    void* bits = nullptr;
    tmb::BitmapHandle colour(tmb::CreateDib32(12, 12, &bits));
    // Blue where opaque, black where the mask lets the surface through.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            static_cast<DWORD*>(bits)[y * 12 + x] = (x == 0 || y == 11) ? 0 : 0x0000FF;
    ICONINFO ii{TRUE, 0, 0, mask.get(), colour.get()};
    tmb::IconHandle icon(CreateIconIndirect(&ii));
    ASSERT_TRUE(icon);
    button->SetGlyph(tmb::Picture::FromIcon(icon.get()));
    EXPECT_EQ(tmb::PictureKind::pkIcon, button->Glyph().Kind());
    ExpectPixels({{kBlue, 26, 15}, {kBack, 25, 20}, {kBack, 30, 26}});
    Move(30, 20);
    ExpectPixels({{kBlue, 25, 14}, {kShadow, 36, 25}, {kShadow, 26, 25}});
    EXPECT_EQ(kBackHi, At(25, 25));  // under the transparent column: no shadow
    EXPECT_EQ(kBackHi, At(37, 25));

    // A metafile that paints a blue square in the top-left part of its frame and one white
    // pixel at the far corner; white counts as see-through in its silhouette.
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    tmb::BrushHandle blue(CreateSolidBrush(kBlue));
    const RECT r{0, 0, 11, 11};
    FillRect(rec, &r, blue.get());
    SetPixel(rec, 15, 15, RGB(255, 255, 255));
    tmb::EnhMetafileHandle metafile(CloseEnhMetaFile(rec));
    ASSERT_TRUE(metafile);
    ParkPointer();
    SendMessageW(button->Handle(), WM_MOUSELEAVE, 0, 0);
    button->SetGlyph(tmb::Picture::FromMetafile(metafile.get(), 16, 16));
    EXPECT_EQ(tmb::PictureKind::pkMetafile, button->Glyph().Kind());
    // 16 × 16 at (23, 13). How a metafile's frame maps onto pixels is the platform's
    // business; the square lies around (30, 20) either way, and its shadow shows only when
    // the picture is lifted.
    auto shadowPixels = [&] { return tmbtest::PixelsOf(button->Handle(), RECT{0, 0, 60, 40}, kShadow); };
    // Where the metafile paints nothing, the face shows.
    ExpectPixels({{kBlue, 30, 20}, {kBack, 22, 12}, {kBack, 36, 26}});
    EXPECT_EQ(0, shadowPixels());
    Move(30, 20);
    EXPECT_EQ(kBlue, At(30, 20));
    EXPECT_GE(shadowPixels(), 2 * 10);
    EXPECT_EQ(kBlue, At(22, 12));   // lifted one pixel up and left
    EXPECT_EQ(kBackHi, At(21, 11));
}

TEST_F(XPButtonTest, ImagesAndImageIndexChooseTheGlyph) {
    // A list with one green square, transparent where the key colour is.
    auto* images = new tmb::ImageListComponent(&form.Form());
    HIMAGELIST list = ImageList_Create(12, 12, ILC_COLOR32 | ILC_MASK, 1, 1);
    tmb::Picture green = SquareGlyph(kGreen);
    ImageList_AddMasked(list, green.Bitmap(), kKey);
    images->SetList(tmb::ImageList::Owned(list));
    ASSERT_EQ(1, images->Count());

    button->SetImages(images);  // ImageIndex -1: still the glyph
    EXPECT_EQ(kBlue, At(30, 20));
    button->SetImageIndex(0);
    EXPECT_EQ(kGreen, At(30, 20));
    EXPECT_EQ(kBack, At(25, 20));  // the list's transparent part stays transparent
    Move(30, 20);
    EXPECT_EQ(kShadow, At(36, 25));

    button->SetImages(nullptr);  // index 0 without a list: the glyph
    EXPECT_EQ(kBlue, At(30, 20));

    // A list that goes away is forgotten, and its mask with it.
    button->SetImages(images);
    EXPECT_EQ(kGreen, At(30, 20));
    EXPECT_TRUE(button->HasGlyphMask());
    delete images;
    EXPECT_EQ(nullptr, button->Images());
    EXPECT_FALSE(button->HasGlyphMask());
    button->Invalidate();
    EXPECT_EQ(kBlue, At(30, 20));
}

// The drop-down menu opens under the button's lower-left corner when the left button goes
// down; the press ends with the menu.
TEST_F(XPButtonTest, DropDownMenuOpensUnderTheLowerLeftCorner) {
    auto* menu = new tmb::PopupMenu(&form.Form());
    int chosen = 0;
    menu->Add(tmb::MenuItem{L"One", [&](tmb::Component*) { ++chosen; }});
    button->SetDropDownMenu(menu);
    int clicks = 0;
    button->OnClick = [&](tmb::Component*) { ++clicks; };

    POINT menuAt{-1, -1};
    {
        tmbtest::OpenMenuWatch closeMenu([&](HWND menuWindow) {
            menuAt = tmbtest::TopLeftOf(menuWindow);
            EndMenu();
            return true;
        }, 50);
        tmbtest::MouseMove(button->Handle(), 10, 10);
        Down(10, 10);  // returns when the menu has closed
    }
    const POINT corner = tmbtest::ToScreen(button->Handle(), 0, 40);
    EXPECT_EQ(corner.x, menuAt.x);
    EXPECT_EQ(corner.y, menuAt.y);
    EXPECT_FALSE(button->Pressed());
    EXPECT_TRUE(button->Hot());
    Up(10, 10);  // the release after the menu is no click
    EXPECT_EQ(0, clicks);
    EXPECT_EQ(0, chosen);

    delete menu;
    EXPECT_EQ(nullptr, button->DropDownMenu());
    Down(10, 10);  // no menu any more: a plain press
    Up(10, 10);
    EXPECT_EQ(1, clicks);
}

TEST(XPColor, DefaultsChangeEventAndCopying) {
    xp::TtfXPColor colors;
    EXPECT_EQ(0x6B2408u, colors.BorderColor());
    EXPECT_EQ(0xD6BEB5u, colors.BackHiColor());
    EXPECT_EQ(tmb::clBtnFace, colors.BackColor());
    EXPECT_EQ(0x848284u, colors.ShadowColor());

    int changes = 0;
    colors.OnChange = [&](xp::TtfXPColor* sender) {
        EXPECT_EQ(&colors, sender);
        ++changes;
    };
    colors.SetBorderColor(colors.BorderColor());  // unchanged still counts
    colors.SetBackColor(tmb::clWhite);
    colors.SetBackHiColor(tmb::clScrollBar);
    colors.SetShadowColor(tmb::clGray);
    EXPECT_EQ(4, changes);

    // A button's set is replaced by copying: the button keeps its own object.
    ParkPointer();
    TestForm form;
    auto* button = new TtfXPButton(&form.Form());
    EXPECT_EQ(23, button->Width());
    EXPECT_EQ(22, button->Height());
    EXPECT_EQ(1, button->BorderWidth());
    EXPECT_EQ(-1, button->ImageIndex());
    EXPECT_EQ(4, button->GlyphTextGap());
    EXPECT_EQ(1, button->ShadowSize());
    EXPECT_EQ(xp::glLeft, button->GlyphLayout());
    xp::TtfXPColor* own = &button->Colors();
    button->SetColors(colors);
    EXPECT_EQ(own, &button->Colors());
    EXPECT_EQ(tmb::clWhite, button->Colors().BackColor());
    EXPECT_EQ(tmb::clScrollBar, button->Colors().BackHiColor());
    EXPECT_FALSE(button->Colors().OnChange);
    colors.SetBackColor(tmb::clBlack);
    EXPECT_EQ(tmb::clWhite, button->Colors().BackColor());
}

} // namespace
