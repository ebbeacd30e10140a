// A small picture drawn with one transparent colour: the colour of its bottom-left pixel.
// The mask is made once, so drawing is two blits (AND the mask, OR the picture).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "framework/Handles.h"

namespace tmb {

class Glyph {
public:
    Glyph() = default;
    // A picture from rows of characters, each mapped to a colour by `palette`.
    static Glyph FromArt(std::initializer_list<const char*> rows,
                         std::initializer_list<std::pair<char, COLORREF>> palette);
    // A copy of a bitmap; the bitmap itself is not kept.
    static Glyph FromBitmap(HBITMAP bitmap);

    bool Empty() const { return width_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF TransparentColor() const { return transparent_; }
    // The colour of a pixel as given (the transparent colour included).
    COLORREF Pixel(int x, int y) const;

    void Draw(HDC dc, int x, int y) const;

private:
    void Build(const COLORREF* pixels, int width, int height);

    BitmapHandle image_;  // transparent pixels black
    BitmapHandle mask_;   // monochrome: 1 where transparent
    std::vector<COLORREF> pixels_;
    int width_ = 0;
    int height_ = 0;
    COLORREF transparent_ = 0;
};

} // namespace tmb
