// The main window's button glyphs: small bitmaps whose bottom-left colour is transparent,
// each showing a picture of its own, and the shared look of the buttons that carry them.
#include "app/ButtonGlyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "tests/support/WindowTestHelpers.h"

namespace {

using app::ButtonGlyph;

std::vector<COLORREF> Pixels(const tmb::Picture& p) {
    std::vector<COLORREF> px;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, p.Bitmap());
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            px.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return px;
}

TEST(ButtonGlyphs, SixDistinctSmallBitmapsWithATransparentCorner) {
    std::set<std::vector<COLORREF>> seen;
    for (ButtonGlyph g : {ButtonGlyph::GerarHtml, ButtonGlyph::Salvar, ButtonGlyph::Sobre,
                          ButtonGlyph::Sair, ButtonGlyph::Limpar, ButtonGlyph::SalvarTexto}) {
        const tmb::Picture p = app::ButtonGlyphPicture(g);
        ASSERT_EQ(tmb::PictureKind::pkBitmap, p.Kind());
        EXPECT_TRUE((p.Width() == 16 && p.Height() == 16) || (p.Width() == 19 && p.Height() == 19));
        const std::vector<COLORREF> px = Pixels(p);
        const COLORREF key = p.TransparentColor();
        const auto opaque = std::count_if(px.begin(), px.end(), [&](COLORREF c) { return c != key; });
        // A picture, not a speck and not a filled square.
        EXPECT_GT(opaque, 40) << static_cast<int>(g);
        EXPECT_LT(opaque, 16 * 16 - 16) << static_cast<int>(g);
        EXPECT_TRUE(seen.insert(px).second) << static_cast<int>(g);
    }
}

TEST(ButtonGlyphs, DressedButtonShowsItsGlyphLeftOfTheCaption) {
    SetCursorPos(1270, 1010);
    tmbtest::TestForm form;
    auto* button = new xp::TtfXPButton(&form.Form());
    button->SetBounds(10, 10, 105, 30);
    button->SetText(L"Salvar");
    app::DressXPButton(*button, ButtonGlyph::Salvar);
    button->SetParent(&form.Form());
    EXPECT_EQ(xp::glLeft, button->GlyphLayout());
    EXPECT_EQ(tmb::clScrollBar, button->Colors().BackHiColor());

    // The floppy's outline starts one pixel in from the glyph's corner.
    tmbtest::PixelAt(button->Handle(), 0, 0);
    const POINT g = button->GlyphPos();
    EXPECT_EQ(8, g.y);
    tmbtest::ExpectPixels(button->Handle(), {{RGB(40, 40, 40), g.x + 1, g.y + 1},
                                             {GetSysColor(COLOR_BTNFACE), g.x, g.y + 15}});
    EXPECT_LT(g.x + 16, button->TextPos().x);

    // Lit with the scroll-bar colour under the pointer.
    tmbtest::MouseMove(button->Handle(), 50, 15);
    EXPECT_EQ(GetSysColor(COLOR_SCROLLBAR), tmbtest::PixelAt(button->Handle(), 50, 2));
}

} // namespace
