// A link label: the window's interim label showing an address in the link colour with an
// underline and a hand cursor, opening it on a click. The decorated label (gradients, 3D
// text, fitting, hover colours) replaces the painting behind the same interface.
#pragma once

#include "framework/Label.h"

namespace xp {

enum TLabelType { ltNormal, ltSubSuperScript, ltHttp, ltMail, ltFtp, ltNews };
enum TFitType { ftNormalFit, ftBestFitVert, ftBestFithorz, ftBestFitBoth };

class TmyaSuperLabel : public tmb::Label {
public:
    explicit TmyaSuperLabel(tmb::Component* owner);

    TLabelType LabelType() const { return labelType_; }
    void SetLabelType(TLabelType value) {
        labelType_ = value;
        SetCursor(value >= ltHttp ? tmb::CursorKind::crHandPoint : tmb::CursorKind::crDefault);
    }
    TFitType AFitType() const { return fitType_; }
    void SetAFitType(TFitType value) { fitType_ = value; Invalidate(); }
    bool AShadeLTSet() const { return shadeLTSet_; }
    void SetAShadeLTSet(bool value) { shadeLTSet_ = value; Invalidate(); }
    tmb::TColor EndColor() const { return endColor_; }
    void SetEndColor(tmb::TColor value) { endColor_ = value; Invalidate(); }
    tmb::TColor ColorSelected() const { return colorSelected_; }
    void SetColorSelected(tmb::TColor value) { colorSelected_ = value; }

    // The address a click opens: the caption, with the scheme of the label type in front.
    std::wstring Address() const;

    void Click() override;

private:
    TLabelType labelType_ = ltNormal;
    TFitType fitType_ = ftBestFitBoth;
    bool shadeLTSet_ = true;
    tmb::TColor endColor_ = tmb::clWhite;
    tmb::TColor colorSelected_ = tmb::clNavy;
};

} // namespace xp
