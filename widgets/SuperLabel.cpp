// The decorated link label: background, frame, text with its 3D passes and fitting, the
// rules, hover and the click that opens the address.
#include "widgets/SuperLabel.h"

#include <shellapi.h>

#include <cstdlib>
#include <utility>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Handles.h"

namespace xp {
namespace {

// The horizontal fit grows the font while the caption is narrower than the box; an empty
// caption, or a face that stops growing, would never get there. The growth ends here.
constexpr int kMaxFitSize = 1000;

std::wstring StripScriptMarks(const std::wstring& text) {
    std::wstring s;
    s.reserve(text.size());
    for (wchar_t c : text)
        if (c != L'_' && c != L'^')
            s += c;
    return s;
}

void FillSolid(HDC dc, RECT r, COLORREF colour) {
    // A rectangle given bottom-up (the mirrored half of a centred gradient) covers the same
    // rows as its normalised form.
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    if (r.left > r.right)
        std::swap(r.left, r.right);
    tmb::BrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

BYTE Channel(tmb::TColor c, int shift) { return static_cast<BYTE>((c >> shift) & 0xFF); }

// Writes pixels x0 … x0 + len of row y in `colour`, blending the first `fade` of them from
// what is already there (FadeIn) or the last `fade` (FadeOut).
void FadeLine(HDC dc, int x0, int y, int len, tmb::TColor colour, int fade, bool fadeOut) {
    const COLORREF e = tmb::ColorToRGB(colour);
    for (int x = x0; x <= x0 + len; ++x) {
        const int k = fadeOut ? x0 + len - x : x - x0;
        if (k < fade) {
            const COLORREF q = GetPixel(dc, x, y);
            auto mix = [&](int qc, int ec) { return qc + ((ec - qc) * k) / fade; };
            SetPixel(dc, x, y,
                     RGB(mix(GetRValue(q), GetRValue(e)), mix(GetGValue(q), GetGValue(e)),
                         mix(GetBValue(q), GetBValue(e))));
        } else {
            SetPixel(dc, x, y, e);
        }
    }
}

// A rule: the shadow rows and the highlight rows under them, `thickness` of each.
void FadeRule(HDC dc, int x0, int y, int len, bool fadeOut, int thickness) {
    const int fade = len / 3;
    for (int i = 0; i < thickness; ++i) {
        FadeLine(dc, x0, y + i, len, tmb::clBtnShadow, fade, fadeOut);
        FadeLine(dc, x0, y + thickness + i, len, tmb::clBtnHighlight, fade, fadeOut);
    }
}

void EdgeRect(HDC dc, const RECT& r, tmb::TColor c1, tmb::TColor c2) {
    {
        tmb::PenHandle pen(CreatePen(PS_SOLID, 1, tmb::ColorToRGB(c1)));
        tmb::SelectGuard sel(dc, pen.get());
        const POINT p[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
        Polyline(dc, p, 3);
    }
    {
        tmb::PenHandle pen(CreatePen(PS_SOLID, 1, tmb::ColorToRGB(c2)));
        tmb::SelectGuard sel(dc, pen.get());
        const POINT p[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        Polyline(dc, p, 3);
    }
}

} // namespace

TmyaSuperLabel::TmyaSuperLabel(tmb::Component* owner) : tmb::Label(owner) {
    SetTransparent(true);
    SetAutoSize(false);
    lastFontSize_ = canvasFont_.Size();
    lastWidth_ = Width();
    lastHeight_ = Height();
}

// ---- properties -------------------------------------------------------------------------

void TmyaSuperLabel::SetAFitType(TFitType value) {
    if (value == fitType_)
        return;
    fitType_ = value;
    ++lastFontSize_;  // the memo no longer matches: the next paint fits again
    Invalidate();
}

void TmyaSuperLabel::SetAStyle3D(T3DEffect value) {
    if (value == style3D_)
        return;
    style3D_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetAShadeRightBottom(tmb::TColor value) {
    if (value == shadeRightBottom_)
        return;
    shadeRightBottom_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetAShadeLeftTop(tmb::TColor value) {
    if (shadeLTSet_ || value == shadeLeftTop_)
        return;
    shadeLeftTop_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetAHShadeOffSet(int value) {
    if (value == hShadeOffset_)
        return;
    hShadeOffset_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetAVShadeOffSet(int value) {
    if (value == vShadeOffset_)
        return;
    vShadeOffset_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetAShadeLTSet(bool value) {
    if (value == shadeLTSet_)
        return;
    shadeLTSet_ = value;
    if (value) {
        savedShadeLeftTop_ = shadeLeftTop_;
        shadeLeftTop_ = tmb::clWhite;
    } else {
        shadeLeftTop_ = savedShadeLeftTop_;
    }
    Invalidate();
}

void TmyaSuperLabel::SetGradientStyle(TGradientStyle value) {
    if (value == gradientStyle_)
        return;
    gradientStyle_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetBeginColor(tmb::TColor value) {
    if (value == beginColor_)
        return;
    beginColor_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetEndColor(tmb::TColor value) {
    if (value == endColor_)
        return;
    endColor_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetFrame(bool value) {
    if (value == frame_)
        return;
    frame_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetLineStyle(TLineStyle value) {
    if (value == lineStyle_)
        return;
    lineStyle_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetLabelType(TLabelType value) {
    if (value == labelType_)
        return;
    labelType_ = value;
    SetCursor(IsLinkType() ? tmb::CursorKind::crHandPoint : tmb::CursorKind::crDefault);
    Invalidate();
}

void TmyaSuperLabel::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    Invalidate();
}

void TmyaSuperLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_)
        return;
    showAccelChar_ = value;
    Invalidate();
}

// ---- painting ---------------------------------------------------------------------------

void TmyaSuperLabel::Paint(HDC dc) {
    tmb::SavedDC saved(dc);
    const RECT client{0, 0, Width(), Height()};
    if (gradientStyle_ != gsNone) {
        PaintGradient(dc);
    } else if (!Transparent()) {
        FillSolid(dc, client, tmb::ColorToRGB(Color()));
    }
    SetBkMode(dc, TRANSPARENT);
    if (frame_)
        DrawFrame(dc);
    RECT textRect = client;
    textRect.bottom -= Scaled(2);
    UINT flags = DT_EXPANDTABS | DT_WORDBREAK;
    switch (alignment_) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    DrawLabelText(dc, textRect, flags);
    DrawRules(dc, textRect);
}

void TmyaSuperLabel::PaintGradient(HDC dc) {
    const int w = Width(), h = Height();
    // The stored low three bytes: a system colour's index byte counts as red, unresolved.
    const int br = Channel(beginColor_, 0), bg = Channel(beginColor_, 8), bb = Channel(beginColor_, 16);
    const int er = Channel(endColor_, 0), eg = Channel(endColor_, 8), eb = Channel(endColor_, 16);
    auto colourAt = [&](int i, int n) {
        return RGB((br + MulDiv(i, er - br, n)) & 0xFF, (bg + MulDiv(i, eg - bg, n)) & 0xFF,
                   (bb + MulDiv(i, eb - bb, n)) & 0xFF);
    };
    switch (gradientStyle_) {
    case gsHorizontal:
        for (int i = 0; i <= 255; ++i)
            FillSolid(dc, RECT{MulDiv(i, w, 256), 0, MulDiv(i + 1, w, 256), h}, colourAt(i, 255));
        break;
    case gsVertical:
        for (int i = 0; i <= 255; ++i)
            FillSolid(dc, RECT{0, MulDiv(i, h, 256), w, MulDiv(i + 1, h, 256)}, colourAt(i, 255));
        break;
    case gsElliptic:
    case gsRectangle: {
        const bool elliptic = gradientStyle_ == gsElliptic;
        const int steps = elliptic ? 155 : 255;
        double x1, y1, x2, y2, sx, sy;
        if (elliptic) {
            x1 = -w / 4.0;
            y1 = -h / 4.0;
            x2 = w + w / 4.0 + Scaled(4);
            y2 = h + h / 4.0 + Scaled(4);
            sx = (w / 4.0 + w / 2.0) / 155;
            sy = (h / 4.0 + h / 2.0) / 155;
        } else {
            x1 = 0;
            y1 = 0;
            x2 = w + Scaled(2);
            y2 = h + Scaled(2);
            sx = w / 2.0 / 255;
            sy = h / 2.0 / 255;
        }
        tmb::SelectGuard pen(dc, GetStockObject(NULL_PEN));
        for (int i = 0; i <= steps; ++i) {
            x1 += sx;
            y1 += sy;
            x2 -= sx;
            y2 -= sy;
            tmb::BrushHandle brush(CreateSolidBrush(colourAt(i, steps)));
            tmb::SelectGuard sel(dc, brush.get());
            const int l = static_cast<int>(x1), t = static_cast<int>(y1);
            const int r = static_cast<int>(x2), b = static_cast<int>(y2);
            if (elliptic)
                Ellipse(dc, l, t, r, b);
            else
                Rectangle(dc, l, t, r, b);
        }
        break;
    }
    case gsVertCenter: {
        const int half = h / 2;
        for (int i = 0; i <= half; ++i) {
            const COLORREF c = colourAt(i, half);
            const int a = MulDiv(i, half, half), b = MulDiv(i + 1, half, half);
            FillSolid(dc, RECT{0, a, w, b}, c);
            FillSolid(dc, RECT{0, h - a, w, h - b}, c);
        }
        break;
    }
    case gsHorizCenter: {
        const int half = w / 2;
        for (int i = 0; i <= half; ++i) {
            const COLORREF c = colourAt(i, half);
            const int a = MulDiv(i, half, half), b = MulDiv(i + 1, half, half);
            FillSolid(dc, RECT{a, 0, b, h}, c);
            FillSolid(dc, RECT{w - a, 0, w - b, h}, c);
        }
        break;
    }
    case gsNone:
        break;
    }
}

void TmyaSuperLabel::DrawFrame(HDC dc) {
    const int w = Width(), h = Height(), s = Scaled(1);
    // Each line of the etched frame is one pixel at 96 DPI, thicker above.
    for (int i = 0; i < s; ++i) {
        EdgeRect(dc, RECT{s + i, s + i, w - s - i, h - s - i}, tmb::clBtnShadow, tmb::clBtnShadow);
        EdgeRect(dc, RECT{i, i, w - 2 * s - i, h - 2 * s - i}, tmb::clBtnHighlight,
                 tmb::clBtnHighlight);
    }
}

int TmyaSuperLabel::CanvasTextWidth(HDC dc, const std::wstring& text) const {
    tmb::SelectGuard sel(dc, canvasFont_.Handle());
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void TmyaSuperLabel::DrawLabelText(HDC dc, RECT rect, UINT flags) {
    // The whole caption, however long.
    const std::wstring caption = Text();
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    canvasFont_ = GetFont();

    auto pass = [&](int dx, int dy, tmb::TColor colour) {
        RECT moved = rect;
        OffsetRect(&moved, dx, dy);
        SetTextColor(dc, tmb::ColorToRGB(colour));
        DrawTextPass(dc, caption, moved, flags);
    };
    switch (style3D_) {
    case Resit3d:
        pass(Scaled(1), Scaled(1), shadeLeftTop_);
        pass(-Scaled(1), -Scaled(1), shadeRightBottom_);
        break;
    case Raised3d:
        pass(Scaled(1), Scaled(1), shadeRightBottom_);
        pass(-Scaled(1), -Scaled(1), shadeLeftTop_);
        break;
    case Shadowed3d:
        pass(Scaled(hShadeOffset_), Scaled(vShadeOffset_), shadeRightBottom_);
        break;
    case Normal3d:
        break;
    }
    tmb::TColor textColour = canvasFont_.Color();

    if (!AutoSize() && (canvasFont_.Size() != lastFontSize_ || Width() != lastWidth_ ||
                        Height() != lastHeight_)) {
        FitFont(dc, rect, caption);
        lastFontSize_ = canvasFont_.Size();
        lastWidth_ = Width();
        lastHeight_ = Height();
    }
    if (!Enabled())
        textColour = tmb::clGrayText;
    SetTextColor(dc, tmb::ColorToRGB(textColour));
    DrawTextPass(dc, caption, rect, flags);
}

void TmyaSuperLabel::FitFont(HDC dc, const RECT& rect, const std::wstring& caption) {
    int size = 0;
    switch (fitType_) {
    case ftNormalFit:
        return;
    case ftBestFitVert:
        // A positive height: the cell height. The canvas keeps its font for this paint;
        // the change of Font brings the next one.
        if (GetFont().Height() != rect.bottom - Scaled(2))
            GetFont().SetHeight(rect.bottom - Scaled(2));
        return;
    case ftBestFithorz:
        canvasFont_.SetSize(size);
        while (CanvasTextWidth(dc, caption) < rect.right && size < kMaxFitSize)
            canvasFont_.SetSize(++size);
        break;
    case ftBestFitBoth:
        canvasFont_.SetSize(size);
        for (;;) {
            if (std::abs(canvasFont_.Height()) >= rect.bottom - Scaled(6))
                break;
            if (CanvasTextWidth(dc, caption) >= rect.right)
                break;
            canvasFont_.SetSize(++size);
        }
        break;
    }
    // One step back from the size that no longer fitted, also when the first one did not.
    canvasFont_.SetSize(--size);
    if (GetFont().Height() != canvasFont_.Height())
        GetFont().SetSize(size);
}

void TmyaSuperLabel::DrawTextPass(HDC dc, const std::wstring& text, RECT rect, UINT flags) {
    if (labelType_ == ltSubSuperScript) {
        DrawScriptText(dc, text, rect);
        return;
    }
    tmb::SelectGuard sel(dc, canvasFont_.Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TmyaSuperLabel::DrawScriptText(HDC dc, const std::wstring& text, const RECT& rect) {
    const tmb::Font& full = canvasFont_;
    tmb::Font small(full);
    small.SetHeight(full.Height() * 8 / 10);
    const int shift = std::abs(8 * small.Height() - 10 * full.Height());

    const int sw = CanvasTextWidth(dc, StripScriptMarks(text));
    int x = rect.left;
    if (alignment_ == taRightJustify)
        x = rect.right - sw;
    else if (alignment_ == taCenter)
        x = rect.left + (rect.right - sw) / 2;

    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const wchar_t c = text[i];
        if (c == L'_' || c == L'^')
            continue;
        // A surrogate pair is one character.
        const int units = (IS_HIGH_SURROGATE(c) && i + 1 < n && IS_LOW_SURROGATE(text[i + 1])) ? 2 : 1;
        const wchar_t before = i > 0 ? text[i - 1] : L'\0';
        const tmb::Font& font = (before == L'_' || before == L'^') ? small : full;
        int y = rect.top;
        if (before == L'_')
            y = rect.top + shift / 10;
        else if (before == L'^')
            y = rect.top - shift / 20;
        tmb::SelectGuard sel(dc, font.Handle());
        SIZE size{0, 0};
        GetTextExtentPoint32W(dc, &text[i], units, &size);
        const RECT clip{x, rect.top, x + size.cx, rect.bottom};
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, &text[i], static_cast<UINT>(units), nullptr);
        x += size.cx;
        i += static_cast<size_t>(units - 1);
    }
}

void TmyaSuperLabel::DrawRules(HDC dc, const RECT& tr) {
    // The rules' margins and rows are written for 96 DPI.
    const int s = Scaled(1), m2 = Scaled(2), m6 = Scaled(6);
    switch (lineStyle_) {
    case lsTop:
    case lsBottom: {
        const int w = (tr.right - tr.left - 2 * m2) / 2;
        const int y = lineStyle_ == lsTop ? tr.top + m2 : tr.bottom - Scaled(3);
        FadeRule(dc, tr.left + m2, y, w, false, s);
        FadeRule(dc, tr.left + m2 + w, y, w, true, s);
        break;
    }
    case lsMiddle: {
        const int y = tr.top + (tr.bottom - tr.top) / 2;
        const std::wstring caption = Text();
        const int tw = CanvasTextWidth(
            dc, labelType_ == ltSubSuperScript ? StripScriptMarks(caption) : caption);
        switch (alignment_) {
        case taLeftJustify: {
            const int x = tr.left + tw + m6;
            FadeRule(dc, x, y, tr.right - x - m2, true, s);
            break;
        }
        case taRightJustify: {
            const int x = tr.left + m2;
            FadeRule(dc, x, y, tr.right - tw - m6 - x, false, s);
            break;
        }
        case taCenter: {
            const int x = tr.left + m2;
            const int n = (tr.right - m2 - x - tw - 2 * m6) / 2;
            FadeRule(dc, x, y, n, false, s);
            FadeRule(dc, tr.right - m2 - n, y, n, true, s);
            break;
        }
        }
        break;
    }
    case lsNone:
        break;
    }
}

// ---- hover and click --------------------------------------------------------------------

void TmyaSuperLabel::MouseEnter() {
    if (IsLinkType() && effect98_) {
        colorBeforeHover_ = GetFont().Color();
        GetFont().SetColor(colorSelected_);
        GetFont().SetStyle(GetFont().Style() | tmb::fsUnderline);
        Invalidate();
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TmyaSuperLabel::MouseLeave() {
    if (IsLinkType() && effect98_) {
        GetFont().SetColor(colorBeforeHover_);
        // Off whatever it was before the hover.
        GetFont().SetStyle(GetFont().Style() & ~static_cast<unsigned>(tmb::fsUnderline));
        Invalidate();
    }
    if (OnMouseLeave)
        OnMouseLeave(this);
}

std::wstring TmyaSuperLabel::Address() const {
    const std::wstring target = url_.empty() ? Text() : url_;
    switch (labelType_) {
    case ltHttp: return L"http://" + target;
    case ltMail: return L"mailto:" + target + L"?subject=" + mailSubject_;
    case ltFtp: return L"ftp://" + target;
    case ltNews: return L"news://" + target;
    case ltNormal:
    case ltSubSuperScript: break;
    }
    return std::wstring();
}

void TmyaSuperLabel::Click() {
    tmb::Label::Click();
    if (IsLinkType())
        OpenTarget(Address());
}

void TmyaSuperLabel::OpenTarget(const std::wstring& address) {
    auto execute = [](HWND owner, const wchar_t* operation, const wchar_t* file,
                      const wchar_t* parameters) {
        if (ShellExecuteHook)
            return ShellExecuteHook(owner, operation, file, parameters, SW_SHOWNORMAL);
        return ShellExecuteW(owner, operation, file, parameters, nullptr, SW_SHOWNORMAL);
    };
    auto succeeded = [](HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; };
    if (labelType_ != ltHttp) {
        execute(nullptr, nullptr, address.c_str(), nullptr);
        return;
    }
    // The address itself, then the two browsers by name.
    const HWND owner = tmb::App().Handle();
    if (succeeded(execute(owner, L"open", address.c_str(), L"")))
        return;
    if (succeeded(execute(owner, L"open", L"netscape.exe", address.c_str())))
        return;
    if (succeeded(execute(owner, L"open", L"iexplore.exe", address.c_str())))
        return;
    tmb::ShowMessage(L"Sorry your browser could not be found");
}

} // namespace xp
