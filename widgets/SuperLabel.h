// A decorated label with link behaviour: background gradients, an etched frame, 3D text,
// fading rules, font fitting to its box, sub- and superscript markup ("H_2O", "x^2"), and
// for link types a hover colour and underline and a click that hands an address built from
// the caption to the shell. Windowless: it paints on its parent and gets its mouse from it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Font.h"
#include "framework/Label.h"

namespace xp {

enum TLabelType { ltNormal, ltSubSuperScript, ltHttp, ltMail, ltFtp, ltNews };
enum TFitType { ftNormalFit, ftBestFitVert, ftBestFithorz, ftBestFitBoth };
enum T3DEffect { Normal3d, Resit3d, Raised3d, Shadowed3d };
enum TGradientStyle {
    gsNone, gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter
};
enum TLineStyle { lsNone, lsTop, lsBottom, lsMiddle };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TmyaSuperLabel : public tmb::Label {
public:
    explicit TmyaSuperLabel(tmb::Component* owner);

    TFitType AFitType() const { return fitType_; }
    void SetAFitType(TFitType value);
    T3DEffect AStyle3D() const { return style3D_; }
    void SetAStyle3D(T3DEffect value);
    tmb::TColor AShadeRightBottom() const { return shadeRightBottom_; }
    void SetAShadeRightBottom(tmb::TColor value);
    // Ignored while AShadeLTSet is True.
    tmb::TColor AShadeLeftTop() const { return shadeLeftTop_; }
    void SetAShadeLeftTop(tmb::TColor value);
    int AHShadeOffSet() const { return hShadeOffset_; }
    void SetAHShadeOffSet(int value);
    int AVShadeOffSet() const { return vShadeOffset_; }
    void SetAVShadeOffSet(int value);
    // True keeps the left-top shade white and saves the colour it had; False brings the
    // saved colour back.
    bool AShadeLTSet() const { return shadeLTSet_; }
    void SetAShadeLTSet(bool value);
    TGradientStyle GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(TGradientStyle value);
    tmb::TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(tmb::TColor value);
    tmb::TColor EndColor() const { return endColor_; }
    void SetEndColor(tmb::TColor value);
    bool Frame() const { return frame_; }
    void SetFrame(bool value);
    TLineStyle LineStyle() const { return lineStyle_; }
    void SetLineStyle(TLineStyle value);
    // Link types (ltHttp to ltNews) get the hand cursor.
    TLabelType LabelType() const { return labelType_; }
    void SetLabelType(TLabelType value);
    bool Effect98() const { return effect98_; }
    void SetEffect98(bool value) { effect98_ = value; }
    tmb::TColor ColorSelected() const { return colorSelected_; }
    void SetColorSelected(tmb::TColor value) { colorSelected_ = value; }
    const std::wstring& MailSubject() const { return mailSubject_; }
    void SetMailSubject(const std::wstring& value) { mailSubject_ = value; }
    // The link target when not empty; otherwise the caption is.
    const std::wstring& Url() const { return url_; }
    void SetUrl(const std::wstring& value) { url_ = value; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);

    tmb::NotifyEvent OnMouseEnter;
    tmb::NotifyEvent OnMouseLeave;

    // The address a click opens: the target with the scheme of the label type in front
    // ("mailto:" also gets "?subject=" and MailSubject); empty for the non-link types.
    std::wstring Address() const;

    // The shell call a click makes. Empty means ShellExecuteW itself; a test installs a
    // function here to see the calls and choose their results.
    using ShellExecuteFunction = std::function<HINSTANCE(
        HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
        int show)>;
    static inline ShellExecuteFunction ShellExecuteHook;

    void Paint(HDC dc) override;
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    // Draws the caption into `rect`: the 3D passes, the fitting of the font to the box,
    // then the text itself.
    void DrawLabelText(HDC dc, RECT rect, UINT flags);

private:
    void DrawTextPass(HDC dc, const std::wstring& text, RECT rect, UINT flags);
    void DrawScriptText(HDC dc, const std::wstring& text, const RECT& rect);
    void FitFont(HDC dc, const RECT& rect, const std::wstring& caption);
    int CanvasTextWidth(HDC dc, const std::wstring& text) const;
    void PaintGradient(HDC dc);
    void DrawFrame(HDC dc);
    void DrawRules(HDC dc, const RECT& textRect);
    void OpenTarget(const std::wstring& address);
    bool IsLinkType() const { return labelType_ >= ltHttp && labelType_ <= ltNews; }

    TFitType fitType_ = ftBestFitBoth;
    T3DEffect style3D_ = Normal3d;
    tmb::TColor shadeRightBottom_ = tmb::clGray;
    tmb::TColor shadeLeftTop_ = tmb::clWhite;
    int hShadeOffset_ = 5;
    int vShadeOffset_ = -5;
    bool shadeLTSet_ = true;
    TGradientStyle gradientStyle_ = gsNone;
    tmb::TColor beginColor_ = tmb::clNavy;
    tmb::TColor endColor_ = tmb::clAqua;
    bool frame_ = false;
    TLineStyle lineStyle_ = lsNone;
    TLabelType labelType_ = ltNormal;
    bool effect98_ = true;
    tmb::TColor colorSelected_ = tmb::clGreen;
    std::wstring mailSubject_;
    std::wstring url_;
    TAlignment alignment_ = taLeftJustify;
    bool showAccelChar_ = true;

    tmb::TColor colorBeforeHover_ = tmb::clWindowText;
    tmb::TColor savedShadeLeftTop_ = tmb::clWhite;
    // The font the drawing uses; it keeps its size between paints, and the fit memo
    // compares with it.
    tmb::Font canvasFont_;
    int lastFontSize_;
    int lastWidth_;
    int lastHeight_;
};

} // namespace xp
