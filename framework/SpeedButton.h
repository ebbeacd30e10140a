// A small button without a window of its own, drawn by its parent: a raised face with a
// glyph that sinks while the button is held down. It never takes the focus, so it can sit
// inside another control (the arrow of a drop-down box) without disturbing the keyboard.
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/Picture.h"

namespace tmb {

class SpeedButton : public GraphicControl {
public:
    explicit SpeedButton(Component* owner);

    // The picture on the face; the button keeps its own copy.
    const Picture& Glyph() const { return glyph_; }
    void SetGlyph(const Picture& glyph);
    // How many images side by side the glyph holds (up, disabled, down, ...); the first is
    // drawn.
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);

    // Drawn pressed (the user holds it down with the pointer over it).
    bool Down() const { return pressed_ && pointerOver_; }

    void Paint(HDC dc) override;
    void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
    void MouseMove(unsigned shift, int x, int y) override;
    void MouseUp(MouseButton button, unsigned shift, int x, int y) override;

private:
    Picture glyph_;
    int numGlyphs_ = 1;
    bool pressed_ = false;
    bool pointerOver_ = false;
};

} // namespace tmb
