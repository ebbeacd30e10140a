// Windowless labels.
#include "framework/Label.h"

#include "framework/Handles.h"
#include "framework/WinControl.h"

namespace tmb {

Label::Label(Component* owner) : GraphicControl(owner) {
    GetFont().SetColor(clWindowText);
}

void Label::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

void Label::SetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void Label::TextChanged() {
    AdjustSize();
    Invalidate();
}

void Label::FontChanged() {
    AdjustSize();
    Invalidate();
}

void Label::AdjustSize() {
    if (!autoSize_)
        return;
    RECT r{0, 0, 0, 0};
    {
        const WindowDC screen(nullptr);
        SelectGuard sel(screen.get(), GetFont().Handle());
        const std::wstring text = Text().empty() ? std::wstring(L" ") : Text();
        DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  TextFlags() | DT_CALCRECT);
        if (Text().empty())
            r.right = 0;
    }
    SetBounds(Left(), Top(), r.right, r.bottom);
}

void Label::Paint(HDC dc) {
    RECT r{0, 0, Width(), Height()};
    if (!transparent_) {
        BrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &r, brush.get());
    }
    const std::wstring text = Text();
    if (text.empty())
        return;
    SelectGuard sel(dc, GetFont().Handle());
    SetBkMode(dc, TRANSPARENT);
    if (Enabled()) {
        SetTextColor(dc, ColorToRGB(GetFont().Color()));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFlags());
    } else {
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shifted, TextFlags());
        SetTextColor(dc, ColorToRGB(clBtnShadow));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFlags());
    }
}

} // namespace tmb
