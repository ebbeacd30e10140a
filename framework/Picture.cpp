// Pictures: deep copies of bitmaps, icons and metafiles, their masks and their drawing.
#include "framework/Picture.h"

#include <algorithm>
#include <cstring>

namespace tmb {
namespace {

// A 32-bit copy of any bitmap, so every bitmap picture has the same pixel format. The
// alpha bytes are cleared: colour-to-monochrome copies compare whole pixels, so a pixel
// with alpha set would never match the transparent colour.
HBITMAP CopyToDib(HBITMAP source, int width, int height) {
    void* bits = nullptr;
    HBITMAP copy = CreateDib32(width, height, &bits);
    if (!copy)
        return nullptr;
    {
        MemoryDC src(CreateCompatibleDC(nullptr));
        MemoryDC dst(CreateCompatibleDC(nullptr));
        SelectGuard s1(src.get(), source);
        SelectGuard s2(dst.get(), copy);
        BitBlt(dst.get(), 0, 0, width, height, src.get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    auto* px = static_cast<DWORD*>(bits);
    for (int i = 0; i < width * height; ++i)
        px[i] &= 0x00FFFFFFu;
    return copy;
}

// A monochrome bitmap whose pixels are white where `source` has the colour `white`.
HBITMAP MonochromeOf(HBITMAP source, int width, int height, COLORREF white) {
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!mask)
        return nullptr;
    MemoryDC src(CreateCompatibleDC(nullptr));
    MemoryDC dst(CreateCompatibleDC(nullptr));
    SelectGuard s1(src.get(), source);
    SelectGuard s2(dst.get(), mask);
    // A colour-to-monochrome copy turns the source's background colour white, the rest black.
    SetBkColor(src.get(), white);
    BitBlt(dst.get(), 0, 0, width, height, src.get(), 0, 0, SRCCOPY);
    return mask;
}

} // namespace

HBITMAP CreateDib32(int width, int height, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bits)
        *bits = memory;
    return bmp;
}

Picture::Picture(const Picture& other) { *this = other; }

Picture& Picture::operator=(const Picture& other) {
    if (this == &other)
        return *this;
    Clear();
    switch (other.kind_) {
    case PictureKind::pkBitmap:
        bitmap_.reset(CopyToDib(other.bitmap_.get(), other.width_, other.height_));
        break;
    case PictureKind::pkIcon:
        icon_.reset(CopyIcon(other.icon_.get()));
        break;
    case PictureKind::pkMetafile:
        metafile_.reset(CopyEnhMetaFile(other.metafile_.get(), nullptr));
        break;
    case PictureKind::pkNone:
        return *this;
    }
    kind_ = other.kind_;
    width_ = other.width_;
    height_ = other.height_;
    return *this;
}

void Picture::Clear() {
    bitmap_.reset();
    icon_.reset();
    metafile_.reset();
    kind_ = PictureKind::pkNone;
    width_ = height_ = 0;
}

Picture Picture::FromArt(std::initializer_list<const char*> rows,
                         std::initializer_list<std::pair<char, COLORREF>> palette) {
    Picture p;
    const int height = static_cast<int>(rows.size());
    const int width = height ? static_cast<int>(std::strlen(*rows.begin())) : 0;
    if (width == 0)
        return p;
    void* bits = nullptr;
    HBITMAP bmp = CreateDib32(width, height, &bits);
    if (!bmp)
        return p;
    auto* out = static_cast<DWORD*>(bits);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = RGB(0, 0, 0);
            if (row[x] == '\0')
                break;
            for (const auto& [key, colour] : palette)
                if (key == row[x])
                    c = colour;
            out[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
        ++y;
    }
    GdiFlush();
    return AdoptBitmap(bmp, width, height);
}

Picture Picture::AdoptBitmap(HBITMAP bitmap, int width, int height) {
    Picture p;
    p.bitmap_.reset(bitmap);
    p.kind_ = PictureKind::pkBitmap;
    p.width_ = width;
    p.height_ = height;
    return p;
}

Picture Picture::FromBitmap(HBITMAP bitmap) {
    Picture p;
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 ||
        info.bmHeight == 0)
        return p;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    p.bitmap_.reset(CopyToDib(bitmap, info.bmWidth, height));
    if (p.bitmap_) {
        p.kind_ = PictureKind::pkBitmap;
        p.width_ = info.bmWidth;
        p.height_ = height;
    }
    return p;
}

Picture Picture::FromIcon(HICON icon) {
    Picture p;
    ICONINFO ii{};
    if (!icon || !GetIconInfo(icon, &ii))
        return p;
    BITMAP info{};
    int width = 0, height = 0;
    if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof(info), &info)) {
        width = info.bmWidth;
        height = info.bmHeight;
    } else if (ii.hbmMask && GetObjectW(ii.hbmMask, sizeof(info), &info)) {
        // A monochrome icon keeps its AND and XOR masks one above the other.
        width = info.bmWidth;
        height = info.bmHeight / 2;
    }
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);
    if (ii.hbmMask)
        DeleteObject(ii.hbmMask);
    if (width <= 0 || height <= 0)
        return p;
    p.icon_.reset(CopyIcon(icon));
    if (p.icon_) {
        p.kind_ = PictureKind::pkIcon;
        p.width_ = width;
        p.height_ = height;
    }
    return p;
}

Picture Picture::FromMetafile(HENHMETAFILE metafile, int width, int height) {
    Picture p;
    if (!metafile || width <= 0 || height <= 0)
        return p;
    p.metafile_.reset(CopyEnhMetaFile(metafile, nullptr));
    if (p.metafile_) {
        p.kind_ = PictureKind::pkMetafile;
        p.width_ = width;
        p.height_ = height;
    }
    return p;
}

Picture Picture::ScaledTo(int width, int height) const {
    if (Empty() || width <= 0 || height <= 0 || (width == width_ && height == height_))
        return *this;
    if (kind_ == PictureKind::pkMetafile)
        return FromMetafile(metafile_.get(), width, height);
    if (kind_ == PictureKind::pkIcon) {
        const HICON icon = static_cast<HICON>(
            CopyImage(icon_.get(), IMAGE_ICON, width, height, LR_COPYFROMRESOURCE));
        Picture p = FromIcon(icon ? icon : icon_.get());
        if (icon)
            DestroyIcon(icon);
        return p;
    }
    // The source's pixels, read through a DIB of its own so the layout is known.
    BitmapHandle source(CopyToDib(bitmap_.get(), width_, height_));
    void* outBits = nullptr;
    HBITMAP scaled = CreateDib32(width, height, &outBits);
    if (!source || !scaled)
        return *this;
    BITMAP info{};
    GetObjectW(source.get(), sizeof(info), &info);
    const auto* in = static_cast<const DWORD*>(info.bmBits);
    auto* out = static_cast<DWORD*>(outBits);
    const COLORREF key = TransparentColor();
    const DWORD keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    // Box filter in source units: the new pixel (x, y) covers [x*sw/w, (x+1)*sw/w).
    for (int y = 0; y < height; ++y) {
        const double y0 = static_cast<double>(y) * height_ / height;
        const double y1 = static_cast<double>(y + 1) * height_ / height;
        for (int x = 0; x < width; ++x) {
            const double x0 = static_cast<double>(x) * width_ / width;
            const double x1 = static_cast<double>(x + 1) * width_ / width;
            double r = 0, g = 0, b = 0, opaque = 0, all = 0;
            for (int sy = static_cast<int>(y0); sy < height_ && sy < y1; ++sy) {
                const double hy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                for (int sx = static_cast<int>(x0); sx < width_ && sx < x1; ++sx) {
                    const double area = hy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
                    const DWORD pixel = in[sy * width_ + sx] & 0x00FFFFFFu;
                    all += area;
                    if (pixel == keyPixel)
                        continue;
                    opaque += area;
                    r += area * ((pixel >> 16) & 0xFF);
                    g += area * ((pixel >> 8) & 0xFF);
                    b += area * (pixel & 0xFF);
                }
            }
            DWORD value = keyPixel;
            if (opaque * 2 >= all && opaque > 0) {
                value = (static_cast<DWORD>(r / opaque + 0.5) << 16) |
                        (static_cast<DWORD>(g / opaque + 0.5) << 8) |
                        static_cast<DWORD>(b / opaque + 0.5);
                // An averaged colour that happens to equal the key would vanish.
                if (value == keyPixel)
                    value ^= 1;
            }
            out[y * width + x] = value;
        }
    }
    // The transparent colour stays in the bottom-left pixel, where drawing looks for it.
    out[(height - 1) * width] = keyPixel;
    GdiFlush();
    return AdoptBitmap(scaled, width, height);
}

COLORREF Picture::TransparentColor() const {
    if (kind_ != PictureKind::pkBitmap)
        return CLR_INVALID;
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectGuard sel(dc.get(), bitmap_.get());
    return GetPixel(dc.get(), 0, height_ - 1);
}

BitmapHandle Picture::BuildMask() const {
    switch (kind_) {
    case PictureKind::pkBitmap:
        return BitmapHandle(MonochromeOf(bitmap_.get(), width_, height_, TransparentColor()));
    case PictureKind::pkIcon: {
        BitmapHandle mask(CreateBitmap(width_, height_, 1, 1, nullptr));
        MemoryDC dc(CreateCompatibleDC(nullptr));
        SelectGuard sel(dc.get(), mask.get());
        PatBlt(dc.get(), 0, 0, width_, height_, WHITENESS);
        DrawIconEx(dc.get(), 0, 0, icon_.get(), width_, height_, 0, nullptr, DI_MASK);
        return mask;
    }
    case PictureKind::pkMetafile: {
        BitmapHandle canvas(CreateDib32(width_, height_));
        {
            MemoryDC dc(CreateCompatibleDC(nullptr));
            SelectGuard sel(dc.get(), canvas.get());
            // White through a brush: WHITENESS would also set the alpha byte of the 32-bit
            // pixels, and the monochrome conversion would then not take them for white.
            const RECT r{0, 0, width_, height_};
            FillRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            PlayEnhMetaFile(dc.get(), metafile_.get(), &r);
        }
        return BitmapHandle(MonochromeOf(canvas.get(), width_, height_, RGB(255, 255, 255)));
    }
    case PictureKind::pkNone:
        break;
    }
    return BitmapHandle();
}

void Picture::Draw(HDC dc, int x, int y) const {
    switch (kind_) {
    case PictureKind::pkBitmap: {
        BitmapHandle mask = BuildMask();
        MemoryDC mem(CreateCompatibleDC(dc));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        // dest ^ image, then cleared where opaque, then ^ image again: the image where the
        // mask is black, the surface untouched where it is white.
        {
            SelectGuard sel(mem.get(), bitmap_.get());
            BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCINVERT);
        }
        {
            SelectGuard sel(mem.get(), mask.get());
            BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCAND);
        }
        {
            SelectGuard sel(mem.get(), bitmap_.get());
            BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCINVERT);
        }
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        break;
    }
    case PictureKind::pkIcon:
        DrawIconEx(dc, x, y, icon_.get(), width_, height_, 0, nullptr, DI_NORMAL);
        break;
    case PictureKind::pkMetafile: {
        const RECT r{x, y, x + width_, y + height_};
        PlayEnhMetaFile(dc, metafile_.get(), &r);
        break;
    }
    case PictureKind::pkNone:
        break;
    }
}

} // namespace tmb
