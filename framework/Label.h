// A windowless text label painted on its parent's surface. With AutoSize it takes the size
// of its text; a disabled label draws its text etched, as the platform draws grey text.
#pragma once

#include "framework/Control.h"

namespace tmb {

class Label : public GraphicControl {
public:
    explicit Label(Component* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    void Paint(HDC dc) override;

protected:
    void TextChanged() override;
    void FontChanged() override;
    // DrawText flags for the caption.
    virtual UINT TextFlags() const { return DT_LEFT | DT_TOP | DT_EXPANDTABS; }
    void AdjustSize();

private:
    bool autoSize_ = true;
    bool transparent_ = false;
};

} // namespace tmb
