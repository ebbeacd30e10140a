// The speed button: its face, its glyph and the pressed look that follows the pointer.
#include "framework/SpeedButton.h"

#include <algorithm>

#include "framework/Handles.h"

namespace tmb {

SpeedButton::SpeedButton(Component* owner) : GraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
}

void SpeedButton::SetGlyph(const Picture& glyph) {
    glyph_ = glyph;
    Invalidate();
}

void SpeedButton::SetNumGlyphs(int count) {
    numGlyphs_ = std::max(1, count);
    Invalidate();
}

void SpeedButton::Paint(HDC dc) {
    RECT face{0, 0, Width(), Height()};
    const bool down = Down();
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    if (glyph_.Empty())
        return;
    // The first of the side-by-side images, centred; it sinks by a pixel while held. The
    // glyph is drawn for 96 DPI and shown at the button's.
    const Picture glyph = glyph_.ScaledTo(Scaled(glyph_.Width()), Scaled(glyph_.Height()));
    const int w = glyph.Width() / numGlyphs_;
    const int h = glyph.Height();
    const int sink = down ? Scaled(1) : 0;
    const int x = (Width() - w) / 2 + sink;
    const int y = (Height() - h) / 2 + sink;
    SavedDC saved(dc);
    IntersectClipRect(dc, x, y, x + w, y + h);
    glyph.Draw(dc, x, y);
}

void SpeedButton::MouseDown(MouseButton button, unsigned shift, int x, int y) {
    if (button == MouseButton::mbLeft) {
        pressed_ = true;
        pointerOver_ = true;
        Invalidate();
    }
    GraphicControl::MouseDown(button, shift, x, y);
}

void SpeedButton::MouseMove(unsigned shift, int x, int y) {
    if (pressed_) {
        const bool over = HitTest(x, y);
        if (over != pointerOver_) {
            pointerOver_ = over;
            Invalidate();
        }
    }
    GraphicControl::MouseMove(shift, x, y);
}

void SpeedButton::MouseUp(MouseButton button, unsigned shift, int x, int y) {
    if (button == MouseButton::mbLeft && pressed_) {
        pressed_ = false;
        pointerOver_ = false;
        Invalidate();
    }
    GraphicControl::MouseUp(button, shift, x, y);
}

} // namespace tmb
