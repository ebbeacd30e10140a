// The button's colour set.
#include "widgets/XP_Color.h"

namespace xp {

TtfXPColor::TtfXPColor(const TtfXPColor& other)
    : borderColor_(other.borderColor_), backHiColor_(other.backHiColor_),
      backColor_(other.backColor_), shadowColor_(other.shadowColor_) {}

TtfXPColor& TtfXPColor::operator=(const TtfXPColor& other) {
    if (this != &other) {
        SetBorderColor(other.borderColor_);
        SetBackColor(other.backColor_);
        SetBackHiColor(other.backHiColor_);
        SetShadowColor(other.shadowColor_);
    }
    return *this;
}

void TtfXPColor::SetBorderColor(tmb::TColor value) {
    borderColor_ = value;
    Changed();
}

void TtfXPColor::SetBackColor(tmb::TColor value) {
    backColor_ = value;
    Changed();
}

void TtfXPColor::SetBackHiColor(tmb::TColor value) {
    backHiColor_ = value;
    Changed();
}

void TtfXPColor::SetShadowColor(tmb::TColor value) {
    shadowColor_ = value;
    Changed();
}

void TtfXPColor::Changed() {
    if (OnChange)
        OnChange(this);
}

} // namespace xp
