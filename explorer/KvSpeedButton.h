// The arrow button of the directory tree combo: a speed button on which the right button
// does nothing at all (no event, and the combo it sits in opens no context menu for it).
#pragma once

#include "framework/SpeedButton.h"

namespace kv {

class TKvSpeedButton : public tmb::SpeedButton {
public:
    explicit TKvSpeedButton(tmb::Component* owner) : tmb::SpeedButton(owner) {}

    void MouseUp(tmb::MouseButton button, unsigned shift, int x, int y) override {
        if (button == tmb::MouseButton::mbRight)
            return;  // handled: nothing follows a right-button release
        tmb::SpeedButton::MouseUp(button, shift, x, y);
    }
};

} // namespace kv
