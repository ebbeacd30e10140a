// Pictures with a transparent colour.
#include "framework/Glyph.h"

#include <cstring>
#include <vector>

namespace tmb {
namespace {

// A 32-bit top-down DIB section holding `pixels` (COLORREF order is converted to BGRA).
HBITMAP MakeColorBitmap(const COLORREF* pixels, int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp)
        return nullptr;
    auto* out = static_cast<DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const COLORREF c = pixels[i];
        out[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    return bmp;
}

} // namespace

Glyph Glyph::FromArt(std::initializer_list<const char*> rows,
                     std::initializer_list<std::pair<char, COLORREF>> palette) {
    const int height = static_cast<int>(rows.size());
    const int width = height ? static_cast<int>(std::strlen(*rows.begin())) : 0;
    std::vector<COLORREF> pixels(static_cast<size_t>(width * height), 0);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width && row[x]; ++x) {
            for (const auto& [key, colour] : palette)
                if (key == row[x])
                    pixels[static_cast<size_t>(y * width + x)] = colour;
        }
        ++y;
    }
    Glyph g;
    g.Build(pixels.data(), width, height);
    return g;
}

Glyph Glyph::FromBitmap(HBITMAP bitmap) {
    Glyph g;
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return g;
    const int width = info.bmWidth, height = info.bmHeight;
    std::vector<COLORREF> pixels(static_cast<size_t>(width * height));
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectGuard sel(dc.get(), bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * width + x)] = GetPixel(dc.get(), x, y);
    g.Build(pixels.data(), width, height);
    return g;
}

void Glyph::Build(const COLORREF* pixels, int width, int height) {
    width_ = width;
    height_ = height;
    pixels_.assign(pixels, pixels + width * height);
    if (width == 0 || height == 0)
        return;
    transparent_ = pixels[(height - 1) * width];
    std::vector<COLORREF> opaque(pixels_);
    // Monochrome rows are padded to 16 bits.
    const int stride = ((width + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(stride * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF& c = opaque[static_cast<size_t>(y * width + x)];
            if (c == transparent_) {
                c = 0;
                maskBits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
    }
    image_.reset(MakeColorBitmap(opaque.data(), width, height));
    mask_.reset(CreateBitmap(width, height, 1, 1, maskBits.data()));
}

COLORREF Glyph::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    return pixels_[static_cast<size_t>(y * width_ + x)];
}

void Glyph::Draw(HDC dc, int x, int y) const {
    if (Empty())
        return;
    MemoryDC mem(CreateCompatibleDC(dc));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    {
        SelectGuard sel(mem.get(), mask_.get());
        BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCAND);
    }
    {
        SelectGuard sel(mem.get(), image_.get());
        BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCPAINT);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

} // namespace tmb
