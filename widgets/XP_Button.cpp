// The interim flat button: a face, an outline and the centred caption.
#include "widgets/XP_Button.h"

#include "framework/Handles.h"

namespace xp {

TtfXPButton::TtfXPButton(tmb::Component* owner) : tmb::WinControl(owner) {
    SetBounds(0, 0, 23, 22);
    SetColor(tmb::clBtnFace);
}

void TtfXPButton::EnabledChanged() {
    tmb::WinControl::EnabledChanged();
    Invalidate();
}

void TtfXPButton::TextChanged() {
    tmb::WinControl::TextChanged();
    Invalidate();
}

void TtfXPButton::MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) {
    if (button == tmb::MouseButton::mbLeft) {
        pressed_ = true;
        SetCapture(Handle());
        Invalidate();
    }
    tmb::WinControl::MouseDown(button, shift, x, y);
}

void TtfXPButton::MouseUp(tmb::MouseButton button, unsigned shift, int x, int y) {
    const bool wasPressed = pressed_;
    if (button == tmb::MouseButton::mbLeft) {
        pressed_ = false;
        if (GetCapture() == HandleIfAllocated())
            ReleaseCapture();
        Invalidate();
    }
    // A click needs the press and the release on the button.
    if (wasPressed && x >= 0 && y >= 0 && x < Width() && y < Height())
        Click();
    tmb::WinControl::MouseUp(button, shift, x, y);
}

void TtfXPButton::PaintWindow(HDC dc, const RECT&) {
    RECT r{0, 0, Width(), Height()};
    tmb::BrushHandle face(CreateSolidBrush(tmb::ColorToRGB(Color())));
    FillRect(dc, &r, face.get());
    if (pressed_) {
        tmb::BrushHandle frame(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
        FrameRect(dc, &r, frame.get());
    }
    const std::wstring text = Text();
    tmb::SelectGuard font(dc, GetFont().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? tmb::ColorToRGB(GetFont().Color()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace xp
