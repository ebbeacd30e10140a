// The glyphs of the main window's six flat buttons, drawn as pixel art in the source so
// that the program and its tests carry them alike, and the look those buttons share.
#pragma once

#include "framework/Picture.h"
#include "widgets/XP_Button.h"

namespace app {

enum class ButtonGlyph {
    GerarHtml,    // a page with "</>"
    Salvar,       // a floppy disk
    Sobre,        // a blue disc with an "i"
    Sair,         // a door with an arrow going out
    Limpar,       // an eraser
    SalvarTexto,  // a page of text with a small floppy disk
};

// A 16 × 16 bitmap; its transparent colour is the colour of its bottom-left pixel.
tmb::Picture ButtonGlyphPicture(ButtonGlyph glyph);

// The look of every flat button of the main window: `glyph` to the left of the caption
// and the scroll-bar colour as the hover background.
void DressXPButton(xp::TtfXPButton& button, ButtonGlyph glyph);

} // namespace app
