// A flat push button that draws itself: the window's interim button with the caption and
// the click the main window needs. The full XP-style drawing (glyphs, hot and pressed
// looks, colours, drop-down menu) replaces the painting behind the same interface.
#pragma once

#include "framework/WinControl.h"

namespace xp {

class TtfXPButton : public tmb::WinControl {
public:
    explicit TtfXPButton(tmb::Component* owner);

    bool Pressed() const { return pressed_; }

    void MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) override;
    void MouseUp(tmb::MouseButton button, unsigned shift, int x, int y) override;

protected:
    bool EraseBackground(HDC) override { return true; }  // PaintWindow covers every pixel
    void PaintWindow(HDC dc, const RECT& area) override;
    void EnabledChanged() override;
    void TextChanged() override;

private:
    bool pressed_ = false;
};

} // namespace xp
