// The four colours of the XP-style button: outline, hover background, resting background
// and glyph shadow. A plain value object with a change event; the button owns one.
#pragma once

#include <functional>

#include "framework/Graphics.h"

namespace xp {

class TtfXPColor {
public:
    static constexpr tmb::TColor kDefaultBorderColor = 0x6B2408;   // RGB(8, 36, 107)
    static constexpr tmb::TColor kDefaultBackHiColor = 0xD6BEB5;   // RGB(181, 190, 214)
    static constexpr tmb::TColor kDefaultBackColor = tmb::clBtnFace;
    static constexpr tmb::TColor kDefaultShadowColor = 0x848284;   // RGB(132, 130, 132)

    TtfXPColor() = default;
    // Copies the four colours; the change event stays this object's own.
    TtfXPColor(const TtfXPColor& other);
    TtfXPColor& operator=(const TtfXPColor& other);

    tmb::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(tmb::TColor value);
    tmb::TColor BackColor() const { return backColor_; }
    void SetBackColor(tmb::TColor value);
    tmb::TColor BackHiColor() const { return backHiColor_; }
    void SetBackHiColor(tmb::TColor value);
    tmb::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(tmb::TColor value);

    // Raised after every colour set, also when the value does not change.
    std::function<void(TtfXPColor* sender)> OnChange;

private:
    void Changed();

    tmb::TColor borderColor_ = kDefaultBorderColor;
    tmb::TColor backHiColor_ = kDefaultBackHiColor;
    tmb::TColor backColor_ = kDefaultBackColor;
    tmb::TColor shadowColor_ = kDefaultShadowColor;
};

} // namespace xp
