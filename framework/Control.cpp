// Properties and mouse/key events common to windowed and windowless controls.
#include "framework/Control.h"

#include <algorithm>

#include "framework/Dpi.h"
#include "framework/PopupMenu.h"
#include "framework/WinControl.h"

namespace tmb {

HCURSOR LoadCursorKind(CursorKind kind) {
    switch (kind) {
    case CursorKind::crHandPoint: return LoadCursorW(nullptr, IDC_HAND);
    case CursorKind::crHourGlass: return LoadCursorW(nullptr, IDC_WAIT);
    case CursorKind::crIBeam: return LoadCursorW(nullptr, IDC_IBEAM);
    case CursorKind::crArrow:
    case CursorKind::crDefault: break;
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

Control::Control(Component* owner) : Component(owner) {
    font_.OnChange = [this](Font&) { FontChangedInternal(); };
}

Control::~Control() {
    if (parent_)
        parent_->RemoveControl(this);
}

void Control::SetParent(WinControl* parent) {
    if (parent == parent_)
        return;
    if (parent_)
        parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_) {
        if (parentFont_) {
            applyingParentFont_ = true;
            font_ = parent_->GetFont();
            applyingParentFont_ = false;
        }
        // A control made after its form was scaled is still written for 96 DPI.
        if (dpi_ != parent_->dpi_)
            ChangeScale(parent_->dpi_, dpi_);
        parent_->InsertControl(this);
    }
}

void Control::ScaleTo(int dpi) {
    if (dpi > 0 && dpi != dpi_)
        ChangeScale(dpi, dpi_);
}

int Control::Scaled(int length) const { return ScaleLength(length, dpi_); }

void Control::ChangeScale(int to, int from) {
    dpi_ = to;
    const int left = ScaleLength(left_, to, from), top = ScaleLength(top_, to, from);
    SetBounds(left, top, ScaleLength(left_ + width_, to, from) - left,
              ScaleLength(top_ + height_, to, from) - top);
    if (!parentFont_ || !parent_) {
        // From the height written for 96 DPI, unless the font was changed since the last
        // scaling: moving between monitors then never drifts by rounding.
        if (scaledFontHeight_ == 0 || font_.Height() != scaledFontHeight_)
            designFontHeight_ = ScaleLength(font_.Height(), kDesignDpi, from);
        scaledFontHeight_ = ScaleLength(designFontHeight_, to);
        font_.SetHeight(scaledFontHeight_);
    }
}

void Control::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const RECT old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (!dynamic_cast<WinControl*>(this) && parent_ && parent_->HandleAllocated())
        InvalidateRect(parent_->HandleIfAllocated(), &old, TRUE);
    BoundsChanged();
}

void Control::SetAlign(Align align) {
    align_ = align;
    if (parent_)
        parent_->AlignControls();
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    VisibleChanged();
}

bool Control::Showing() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (!c->visible_)
            return false;
    }
    return true;
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    EnabledChanged();
}

void Control::SetText(const std::wstring& text) {
    if (text_ == text)
        return;
    text_ = text;
    TextChanged();
}

void Control::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && parent_) {
        applyingParentFont_ = true;
        font_ = parent_->GetFont();
        applyingParentFont_ = false;
    }
}

void Control::FontChangedInternal() {
    if (!applyingParentFont_)
        parentFont_ = false;
    FontChanged();
    // Children that follow this control's font follow the change.
    if (auto* self = dynamic_cast<WinControl*>(this)) {
        for (Control* child : self->Controls()) {
            if (child->parentFont_) {
                child->applyingParentFont_ = true;
                child->font_ = font_;
                child->applyingParentFont_ = false;
            }
        }
    }
}

void Control::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    ColorChanged();
}

void Control::SetPopupMenu(PopupMenu* menu) {
    popupMenu_ = menu;
    if (menu)
        menu->FreeNotification(this);
}

void Control::Invalidate() {
    if (parent_ && parent_->HandleAllocated()) {
        const RECT r = BoundsRect();
        InvalidateRect(parent_->HandleIfAllocated(), &r, TRUE);
    }
}

void Control::Repaint() {
    Invalidate();
    if (parent_ && parent_->HandleAllocated())
        UpdateWindow(parent_->HandleIfAllocated());
}

POINT Control::ClientToScreen(POINT p) const {
    if (auto* self = dynamic_cast<const WinControl*>(this); self && self->HandleAllocated()) {
        ::ClientToScreen(self->HandleIfAllocated(), &p);
        return p;
    }
    if (parent_) {
        p.x += left_;
        p.y += top_;
        return parent_->ClientToScreen(p);
    }
    return p;
}

POINT Control::ScreenToClient(POINT p) const {
    if (auto* self = dynamic_cast<const WinControl*>(this); self && self->HandleAllocated()) {
        ::ScreenToClient(self->HandleIfAllocated(), &p);
        return p;
    }
    if (parent_) {
        p = parent_->ScreenToClient(p);
        p.x -= left_;
        p.y -= top_;
    }
    return p;
}

void Control::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::opRemove && component == popupMenu_)
        popupMenu_ = nullptr;
}

void Control::MouseDown(MouseButton button, unsigned shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void Control::MouseMove(unsigned shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void Control::MouseUp(MouseButton button, unsigned shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void Control::Click() {
    if (OnClick)
        OnClick(this);
}

void Control::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void Control::KeyDown(WORD& key, unsigned shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void Control::KeyUp(WORD& key, unsigned shift) {
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

GraphicControl::GraphicControl(Component* owner) : Control(owner) {}

bool GraphicControl::HitTest(int x, int y) const {
    return x >= 0 && y >= 0 && x < Width() && y < Height();
}

void GraphicControl::BoundsChanged() { Invalidate(); }

void GraphicControl::VisibleChanged() {
    if (Parent() && Parent()->HandleAllocated()) {
        const RECT r = BoundsRect();
        InvalidateRect(Parent()->HandleIfAllocated(), &r, TRUE);
    }
}

unsigned KeyboardShiftState() {
    unsigned s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

unsigned ShiftStateFromWParam(WPARAM wParam) {
    unsigned s = 0;
    if (wParam & MK_SHIFT) s |= ssShift;
    if (wParam & MK_CONTROL) s |= ssCtrl;
    if (wParam & MK_LBUTTON) s |= ssLeft;
    if (wParam & MK_RBUTTON) s |= ssRight;
    if (wParam & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

} // namespace tmb
