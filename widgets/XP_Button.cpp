// The XP-style button: layout, glyph with its shadow, the off-screen paint and the
// hot/pressed state machine driven by the mouse.
#include "widgets/XP_Button.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"

namespace xp {

using tmb::MouseButton;

TtfXPButton::TtfXPButton(tmb::Component* owner) : tmb::WinControl(owner) {
    SetBounds(0, 0, 23, 22);
    SetColor(tmb::clBtnFace);
}

TtfXPButton::~TtfXPButton() {
    if (HandleAllocated() && GetCapture() == HandleIfAllocated())
        ReleaseCapture();
}

void TtfXPButton::CreateParams(tmb::CreateArgs& args) {
    tmb::WinControl::CreateParams(args);
    // No CS_DBLCLKS: two quick clicks are two presses and two clicks, as on any push button.
    args.classStyle = 0;
}

// ---- properties -------------------------------------------------------------------------

void TtfXPButton::SetDropDownMenu(tmb::PopupMenu* menu) {
    dropDownMenu_ = menu;
    if (menu)
        menu->FreeNotification(this);
}

void TtfXPButton::SetGlyph(const tmb::Picture& picture) {
    glyph_ = picture;
    glyphMask_.reset();
    PaintNow();
    Invalidate();
}

void TtfXPButton::SetImages(tmb::ImageListComponent* images) {
    images_ = images;
    if (images)
        images->FreeNotification(this);
    glyphMask_.reset();
    PaintNow();
    Invalidate();
}

void TtfXPButton::SetImageIndex(int index) {
    imageIndex_ = index;
    PaintNow();
    Invalidate();
}

void TtfXPButton::SetGlyphLayout(AlignPos layout) {
    glyphLayout_ = layout;
    PaintNow();
}

void TtfXPButton::SetGlyphTextGap(int gap) {
    glyphTextGap_ = gap;
    PaintNow();
}

void TtfXPButton::SetShadowSize(int size) {
    shadowSize_ = size;
    PaintNow();
}

void TtfXPButton::TextChanged() {
    tmb::WinControl::TextChanged();
    Invalidate();
}

void TtfXPButton::EnabledChanged() {
    tmb::WinControl::EnabledChanged();
    // A disabled button gets no mouse input and looks idle until it is enabled again.
    if (!Enabled()) {
        if (HandleAllocated() && GetCapture() == HandleIfAllocated())
            ReleaseCapture();
        hot_ = pressed_ = clickArmed_ = pointerInside_ = false;
        Invalidate();
    }
}

void TtfXPButton::ChangeScale(int to, int from) {
    tmb::WinControl::ChangeScale(to, from);
    canvasFont_.SetHeight(tmb::ScaleLength(tmb::Font().Height(), to));
    glyphMask_.reset();
    Invalidate();
}

void TtfXPButton::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::WinControl::Notification(component, operation);
    if (operation != tmb::Operation::opRemove)
        return;
    if (component == dropDownMenu_)
        dropDownMenu_ = nullptr;
    if (component == images_) {
        images_ = nullptr;
        glyphMask_.reset();
    }
}

// ---- mouse ------------------------------------------------------------------------------

LRESULT TtfXPButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEMOVE:
        // The layer tracks the window's leave; the first move after it is the enter.
        if (!pointerInside_) {
            pointerInside_ = true;
            MouseEnter();
        }
        break;
    case WM_MOUSELEAVE: {
        const LRESULT r = tmb::WinControl::WndProc(msg, wParam, lParam);
        if (pointerInside_) {
            pointerInside_ = false;
            MouseLeave();
        }
        return r;
    }
    case WM_CAPTURECHANGED:
        // Another window took the mouse during a press (a menu, a modal box): no click.
        if (reinterpret_cast<HWND>(lParam) != HandleIfAllocated())
            clickArmed_ = false;
        break;
    default:
        break;
    }
    return tmb::WinControl::WndProc(msg, wParam, lParam);
}

bool TtfXPButton::MouseIsOver() const {
    if (!Parent())
        return false;
    POINT p;
    if (!GetCursorPos(&p))
        return false;
    p = Parent()->ScreenToClient(p);
    return p.x >= Left() && p.x < Left() + Width() && p.y > Top() && p.y < Top() + Height();
}

void TtfXPButton::MouseEnter() {
    hot_ = true;
    PaintNow();
}

void TtfXPButton::MouseLeave() {
    hot_ = false;
    PaintNow();
}

void TtfXPButton::MouseMove(unsigned shift, int x, int y) {
    hot_ = MouseIsOver();
    PaintNow();
    tmb::WinControl::MouseMove(shift, x, y);
}

void TtfXPButton::MouseDown(MouseButton button, unsigned shift, int x, int y) {
    pressed_ = true;
    hot_ = true;
    PaintNow();
    if (button == MouseButton::mbLeft) {
        clickArmed_ = true;
        SetCapture(Handle());
    }
    tmb::WinControl::MouseDown(button, shift, x, y);
    if (dropDownMenu_ && button == MouseButton::mbLeft) {
        const POINT at = ClientToScreen(POINT{0, Height()});
        // The menu takes the mouse until it closes; the release that ends it is the menu's.
        clickArmed_ = false;
        if (GetCapture() == HandleIfAllocated())
            ReleaseCapture();
        dropDownMenu_->Popup(at.x, at.y, HandleIfAllocated());
        pressed_ = false;
        hot_ = MouseIsOver();
        PaintNow();
    }
}

void TtfXPButton::MouseUp(MouseButton button, unsigned shift, int x, int y) {
    if (button == MouseButton::mbLeft) {
        const bool armed = clickArmed_;
        clickArmed_ = false;
        if (GetCapture() == HandleIfAllocated())
            ReleaseCapture();
        // A press and a release inside make a click, and the click comes before the
        // release's own processing.
        if (armed && x >= 0 && y >= 0 && x < Width() && y < Height())
            Click();
    }
    pressed_ = false;
    Invalidate();
    tmb::WinControl::MouseUp(button, shift, x, y);
}

void TtfXPButton::Click() {
    tmb::WinControl::Click();
    pressed_ = false;
    hot_ = MouseIsOver();
    PaintNow();
}

// ---- painting ---------------------------------------------------------------------------

tmb::Picture TtfXPButton::SourcePicture() const {
    // An image list is made at the display's icon size; a glyph is drawn for 96 DPI and
    // the button shows it at its own.
    if (UsesImageList())
        return images_->GetBitmap(imageIndex_);
    return glyph_.ScaledTo(Scaled(glyph_.Width()), Scaled(glyph_.Height()));
}

void TtfXPButton::UpdateLayout(HDC canvas, const tmb::Picture& source) {
    const int w = Width(), h = Height();
    const int gw = source.Width(), gh = source.Height();
    const int gap = Scaled(glyphTextGap_);
    const int nudge = Scaled(1);
    const std::wstring caption = Caption();
    SIZE textSize{0, 0}, hSize{0, 0};
    GetTextExtentPoint32W(canvas, caption.c_str(), static_cast<int>(caption.size()), &textSize);
    GetTextExtentPoint32W(canvas, L"H", 1, &hSize);
    const int tw = textSize.cx, th = hSize.cy;

    // C++ division truncates toward zero, as the layout's halvings require.
    glyphPos_.y = (h - gh) / 2 + nudge;
    if (caption.empty()) {
        // Only the left layout nudges a lone glyph one pixel right.
        glyphPos_.x = glyphLayout_ == glLeft ? (w - gw) / 2 + nudge : (w - gw) / 2;
        return;
    }
    switch (glyphLayout_) {
    case glLeft:
        glyphPos_.x = (w - (tw + gap + gw)) / 2;
        textPos_.x = glyphPos_.x + gap + gw;
        textPos_.y = (h - th) / 2;
        break;
    case glRight:
        textPos_.x = (w - (tw + gw + gap)) / 2;
        glyphPos_.x = textPos_.x + gap + tw;
        textPos_.y = (h - th) / 2;
        break;
    case glTop: {
        const int top = (h - (th + gh + gap)) / 2;
        glyphPos_.y = top + nudge;
        glyphPos_.x = (w - gw) / 2;
        textPos_.y = top + nudge + gh + gap;
        textPos_.x = (w - tw) / 2;
        break;
    }
    case glBottom:
        textPos_.y = (h - (th + gh + gap)) / 2;
        glyphPos_.x = (w - gw) / 2;
        glyphPos_.y = textPos_.y + th + gap;
        textPos_.x = (w - tw) / 2;
        break;
    }
}

void TtfXPButton::DrawGlyph(HDC canvas, const tmb::Picture& source) {
    glyphMask_ = source.BuildMask();
    if (source.Empty() || !glyphMask_)
        return;
    const int lift = hot_ && !pressed_ ? -Scaled(shadowSize_) : 0;
    const int gw = source.Width(), gh = source.Height();

    // The shadow: the silhouette in ShadowColor at the resting place, the surface around
    // it untouched. AND clears the silhouette to black, OR then paints it.
    {
        tmb::MemoryDC mem(CreateCompatibleDC(canvas));
        tmb::SelectGuard sel(mem.get(), glyphMask_.get());
        const COLORREF oldText = SetTextColor(canvas, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(canvas, RGB(255, 255, 255));
        BitBlt(canvas, glyphPos_.x, glyphPos_.y, gw, gh, mem.get(), 0, 0, SRCAND);
        SetTextColor(canvas, tmb::ColorToRGB(colors_.ShadowColor()));
        SetBkColor(canvas, RGB(0, 0, 0));
        BitBlt(canvas, glyphPos_.x, glyphPos_.y, gw, gh, mem.get(), 0, 0, SRCPAINT);
        SetTextColor(canvas, oldText);
        SetBkColor(canvas, oldBack);
    }
    source.Draw(canvas, glyphPos_.x + lift, glyphPos_.y + lift);
}

void TtfXPButton::PaintTo(HDC target) {
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    {
        // Everything but the outline is composed off screen and reaches the window in one
        // copy, so hovering (a paint per pointer move) does not flicker.
        tmb::MemoryDC mem(CreateCompatibleDC(target));
        tmb::BitmapHandle bitmap(CreateCompatibleBitmap(target, w, h));
        tmb::SelectGuard selBitmap(mem.get(), bitmap.get());
        tmb::SelectGuard selFont(mem.get(), canvasFont_.Handle());
        const RECT all{0, 0, w, h};
        tmb::BrushHandle back(CreateSolidBrush(
            tmb::ColorToRGB(hot_ ? colors_.BackHiColor() : colors_.BackColor())));
        FillRect(mem.get(), &all, back.get());

        const tmb::Picture source = SourcePicture();
        UpdateLayout(mem.get(), source);
        DrawGlyph(mem.get(), source);

        const std::wstring caption = Caption();
        if (!caption.empty()) {
            SetBkMode(mem.get(), TRANSPARENT);
            SetTextColor(mem.get(), tmb::ColorToRGB(canvasFont_.Color()));
            TextOutW(mem.get(), textPos_.x, textPos_.y, caption.c_str(),
                     static_cast<int>(caption.size()));
        }
        BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
    }
    if (hot_ && borderWidth_ > 0) {
        tmb::BrushHandle border(CreateSolidBrush(tmb::ColorToRGB(colors_.BorderColor())));
        const int rings = Scaled(borderWidth_);
        for (int i = 0; i < rings && 2 * i < w && 2 * i < h; ++i) {
            const RECT ring{i, i, w - i, h - i};
            FrameRect(target, &ring, border.get());
        }
    }
}

void TtfXPButton::PaintNow() {
    if (!HandleAllocated())
        return;
    tmb::WindowDC dc(HandleIfAllocated());
    PaintTo(dc.get());
}

void TtfXPButton::PaintWindow(HDC dc, const RECT&) { PaintTo(dc); }

} // namespace xp
