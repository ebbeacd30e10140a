// A picture of one of three kinds — a bitmap, an icon or an enhanced metafile — that owns
// its handle and is copied deeply. A bitmap is drawn with one transparent colour, the colour
// of its bottom-left pixel; an icon with its own mask; a metafile as it is.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <utility>

#include "framework/Handles.h"

namespace tmb {

enum class PictureKind { pkNone, pkBitmap, pkIcon, pkMetafile };

class Picture {
public:
    Picture() = default;
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    Picture(Picture&& other) noexcept = default;
    Picture& operator=(Picture&& other) noexcept = default;
    ~Picture() = default;

    // A bitmap from rows of characters, each mapped to a colour by `palette`; a character
    // missing from the palette is black.
    static Picture FromArt(std::initializer_list<const char*> rows,
                           std::initializer_list<std::pair<char, COLORREF>> palette);
    // Copies of the given handles; the caller keeps (and frees) its own.
    static Picture FromBitmap(HBITMAP bitmap);
    static Picture FromIcon(HICON icon);
    // A metafile is shown stretched to `width` × `height`.
    static Picture FromMetafile(HENHMETAFILE metafile, int width, int height);

    PictureKind Kind() const { return kind_; }
    bool Empty() const { return kind_ == PictureKind::pkNone; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Clear();

    // The handles, still owned by the picture (null when the picture is of another kind).
    HBITMAP Bitmap() const { return bitmap_.get(); }
    HICON Icon() const { return icon_.get(); }
    HENHMETAFILE Metafile() const { return metafile_.get(); }

    // A bitmap's transparent colour: the colour of its bottom-left pixel.
    COLORREF TransparentColor() const;

    // A monochrome bitmap of the picture's size: black where the picture is opaque, white
    // where it is transparent. Null for an empty picture.
    BitmapHandle BuildMask() const;

    // The picture at another size, for a display of another DPI: a bitmap is filtered (each
    // new pixel averages the opaque source pixels it covers, and stays transparent where
    // mostly transparent ones lie, so no fringe of the transparent colour appears), an icon
    // is drawn at that size, a metafile is stretched. The same size gives a plain copy.
    Picture ScaledTo(int width, int height) const;

    // Draws the picture with its top-left corner at (x, y): a bitmap without its
    // transparent colour, an icon through its mask, a metafile as it is.
    void Draw(HDC dc, int x, int y) const;

private:
    // A picture holding `bitmap` (a 32-bit DIB it now owns).
    static Picture AdoptBitmap(HBITMAP bitmap, int width, int height);

    PictureKind kind_ = PictureKind::pkNone;
    int width_ = 0;
    int height_ = 0;
    BitmapHandle bitmap_;
    IconHandle icon_;
    EnhMetafileHandle metafile_;
};

// A 32-bit top-down bitmap of `width` × `height` whose pixels the caller may fill; `bits`
// receives the pixel memory (BGRA order) when not null.
HBITMAP CreateDib32(int width, int height, void** bits = nullptr);

} // namespace tmb
