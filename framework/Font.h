// A font description (name, height, style, colour) with a lazily created GDI font and a
// change event. Height follows the usual rule: negative is the character height in pixels,
// positive the cell height; Size is in points at the screen's resolution.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Graphics.h"
#include "framework/Handles.h"

namespace tmb {

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class Font {
public:
    Font();
    Font(const Font& other);
    Font& operator=(const Font& other);  // copies the description, fires OnChange

    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Size() const;
    void SetSize(int points);
    unsigned Style() const { return style_; }
    void SetStyle(unsigned style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    BYTE Charset() const { return charset_; }

    // The GDI font for this description, created on first use and after each change.
    HFONT Handle() const;

    std::function<void(Font& sender)> OnChange;

    static int ScreenPixelsPerInch();

private:
    void Changed();

    std::wstring name_ = L"MS Sans Serif";
    int height_ = -11;
    unsigned style_ = 0;
    TColor color_ = clWindowText;
    BYTE charset_ = DEFAULT_CHARSET;
    mutable FontHandle handle_;
};

} // namespace tmb
