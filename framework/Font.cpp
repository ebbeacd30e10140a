// Font descriptions and their GDI fonts.
#include "framework/Font.h"

#include "framework/Handles.h"

namespace tmb {

Font::Font() = default;

Font::Font(const Font& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_),
      charset_(other.charset_) {}

Font& Font::operator=(const Font& other) {
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        color_ = other.color_;
        charset_ = other.charset_;
        Changed();
    }
    return *this;
}

void Font::SetName(const std::wstring& name) { name_ = name; Changed(); }
void Font::SetHeight(int height) { height_ = height; Changed(); }
void Font::SetStyle(unsigned style) { style_ = style; Changed(); }
void Font::SetColor(TColor color) { color_ = color; Changed(); }

int Font::Size() const { return -MulDiv(height_, 72, ScreenPixelsPerInch()); }
void Font::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

int Font::ScreenPixelsPerInch() {
    const WindowDC screen(nullptr);
    const int ppi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return ppi > 0 ? ppi : 96;
}

HFONT Font::Handle() const {
    if (!handle_) {
        LOGFONTW lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        lf.lfCharSet = charset_;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectW(&lf));
    }
    return handle_.get();
}

void Font::Changed() {
    handle_.reset();
    if (OnChange)
        OnChange(*this);
}

} // namespace tmb
