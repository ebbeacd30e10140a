// Colours as the components store them: $00BBGGRR for RGB, $FF0000nn for the system colour
// with index nn; drawing resolves system colours through the current system colours.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tmb {

using TColor = std::uint32_t;

constexpr TColor clScrollBar = 0xFF000000;
constexpr TColor clBackground = 0xFF000001;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor clBtnText = 0xFF000012;
constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor clGradientActiveCaption = 0xFF00001B;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

inline bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == 0xFF000000u; }

// The RGB value a colour draws with now.
inline COLORREF ColorToRGB(TColor c) {
    if (IsSystemColor(c))
        return GetSysColor(static_cast<int>(c & 0xFFu));
    return static_cast<COLORREF>(c & 0x00FFFFFFu);
}

} // namespace tmb
