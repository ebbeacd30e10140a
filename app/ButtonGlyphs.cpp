// Pixel art of the button glyphs. Each character is one pixel; '.' is the transparent
// colour, and every picture keeps it in its bottom-left pixel.
#include "app/ButtonGlyphs.h"

namespace app {
namespace {

const std::initializer_list<std::pair<char, COLORREF>> kPalette = {
    {'.', RGB(255, 0, 255)},   // transparent
    {'K', RGB(40, 40, 40)},    // outline
    {'W', RGB(255, 255, 255)},
    {'G', RGB(192, 192, 192)},
    {'D', RGB(128, 128, 128)},
    {'S', RGB(220, 220, 230)}, // metal
    {'N', RGB(0, 0, 128)},     // navy
    {'B', RGB(0, 70, 200)},    // blue
    {'C', RGB(70, 130, 220)},  // light blue
    {'O', RGB(230, 120, 0)},   // orange
    {'Y', RGB(255, 215, 0)},   // yellow
    {'g', RGB(0, 150, 0)},     // green
    {'b', RGB(150, 90, 30)},   // wood
    {'P', RGB(250, 150, 170)}, // rubber
};

tmb::Picture Art(std::initializer_list<const char*> rows) {
    return tmb::Picture::FromArt(rows, kPalette);
}

} // namespace

tmb::Picture ButtonGlyphPicture(ButtonGlyph glyph) {
    switch (glyph) {
    case ButtonGlyph::GerarHtml:
        return Art({
            ".KKKKKKKKKK.....",
            ".KWWWWWWWWKK....",
            ".KWGGGGGGWKGK...",
            ".KWWWWWWWWKGGK..",
            ".KWGGGGGWWKKKKK.",
            ".KWWWWWWWWWWWWK.",
            ".KWWWWWWWWWWWWK.",
            ".KWWWBWWWWOWWWK.",
            ".KWWBBWWWWOBWWK.",
            ".KWBBWWWWOWBBWK.",
            ".KBBWWWWWOWWBBK.",
            ".KWBBWWWOWWBBWK.",
            ".KWWBBWWOWWBWWK.",
            ".KWWWBWWWWWWWWK.",
            ".KKKKKKKKKKKKKK.",
            "................",
        });
    case ButtonGlyph::Salvar:
        return Art({
            "................",
            ".KKKKKKKKKKKKKK.",
            ".KNDSSSSSSSSDNK.",
            ".KNDSSSSKKSSDNK.",
            ".KNDSSSSKKSSDNK.",
            ".KNDSSSSKKSSDNK.",
            ".KNNDDDDDDDDNNK.",
            ".KNNNNNNNNNNNNK.",
            ".KNWWWWWWWWWWNK.",
            ".KNWGGGGGGGGWNK.",
            ".KNWWWWWWWWWWNK.",
            ".KNWGGGGGGGGWNK.",
            ".KNWWWWWWWWWWNK.",
            ".KNWWWWWWWWWWNK.",
            ".KKKKKKKKKKKKKK.",
            "................",
        });
    case ButtonGlyph::Sobre:
        return Art({
            "................",
            ".....NNNNNN.....",
            "...NNBBBBBBNN...",
            "..NBBBBWWBBBBN..",
            "..NBBBBWWBBBBN..",
            ".NBBBBBBBBBBBBN.",
            ".NBBBBWWWBBBBBN.",
            ".NBBBBBWWBBBBBN.",
            ".NBBBBBWWBBBBBN.",
            ".NBBBBBWWBBBBBN.",
            ".NBBBBBWWBBBBBN.",
            "..NBBBWWWWBBBN..",
            "..NBBBBBBBBBBN..",
            "...NNBBBBBBNN...",
            ".....NNNNNN.....",
            "................",
        });
    case ButtonGlyph::Sair:
        return Art({
            "................",
            ".KKKKKKKK.......",
            ".KbbbbbbK.......",
            ".KbbbbbbK.......",
            ".KbbbbbbK...g...",
            ".KbbbbbbK...gg..",
            ".Kbbbgggggggggg.",
            ".Kbbbggggggggggg",
            ".Kbbbgggggggggg.",
            ".KbbbbbbK...gg..",
            ".KbbbbYbK...g...",
            ".KbbbbbbK.......",
            ".KbbbbbbK.......",
            ".KbbbbbbK.......",
            ".KKKKKKKK.......",
            "................",
        });
    case ButtonGlyph::Limpar:
        return Art({
            "................",
            "................",
            ".........KK.....",
            "........KCCK....",
            ".......KCCCCK...",
            "......KCCCCCCK..",
            ".....KCCCCCCK...",
            "....KPPCCCCK....",
            "...KPPPPCCK.....",
            "..KPPPPPPK......",
            ".KPPPPPPK.......",
            "..KPPPPK........",
            "...KPPK.........",
            "....KK..........",
            "................",
            "................",
        });
    case ButtonGlyph::SalvarTexto:
        return Art({
            "KKKKKKKKK.......",
            "KWWWWWWWKK......",
            "KWDDDDDWKWK.....",
            "KWWWWWWWKKKK....",
            "KWDDDDDDDDWK....",
            "KWWWWWWWWWWK....",
            "KWDDDDDDDDWK....",
            "KWWWWWWWWWWK....",
            "KWDDDDDKKKKKKKKK",
            "KWWWWWWKNSSSSSNK",
            "KWDDDDDKNSSKSSNK",
            "KWWWWWWKNNNNNNNK",
            "KKKKKKKKNWWWWWNK",
            "........NWGGGWNK",
            "........NWWWWWNK",
            ".......KKKKKKKKK",
        });
    }
    return tmb::Picture();
}

void DressXPButton(xp::TtfXPButton& button, ButtonGlyph glyph) {
    button.SetGlyph(ButtonGlyphPicture(glyph));
    button.SetGlyphLayout(xp::glLeft);
    button.Colors().SetBackHiColor(tmb::clScrollBar);
}

} // namespace app
