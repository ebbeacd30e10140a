// Controls: the visual components. A Control has bounds in its parent's client area, a
// parent, visibility, enabling, a font, a colour, a cursor, a pop-up menu and mouse and key
// events. WinControl (its own window) and GraphicControl (painted by its parent) derive.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Component.h"
#include "framework/Font.h"
#include "framework/Graphics.h"

namespace tmb {

class WinControl;
class PopupMenu;

enum class MouseButton { mbLeft, mbRight, mbMiddle };
enum ShiftState : unsigned {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
enum class Align { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Cursors as the components name them; the values are the platform's IDC_* resources.
enum class CursorKind { crDefault, crArrow, crHandPoint, crHourGlass, crIBeam };
HCURSOR LoadCursorKind(CursorKind kind);

using NotifyEvent = std::function<void(Component* sender)>;
using MouseEvent =
    std::function<void(Component* sender, MouseButton button, unsigned shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Component* sender, unsigned shift, int x, int y)>;
using KeyEvent = std::function<void(Component* sender, WORD& key, unsigned shift)>;

class Control : public Component {
public:
    explicit Control(Component* owner);
    ~Control() override;

    WinControl* Parent() const { return parent_; }
    virtual void SetParent(WinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }

    Align GetAlign() const { return align_; }
    void SetAlign(Align align);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    // Visible, and every parent up to the top-level window visible too.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // The caption or text of the control.
    virtual std::wstring Text() const { return text_; }
    virtual void SetText(const std::wstring& text);

    Font& GetFont() { return font_; }
    const Font& GetFont() const { return font_; }
    // True while the control follows its parent's font (cleared by any change of its own).
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);

    CursorKind Cursor() const { return cursor_; }
    void SetCursor(CursorKind cursor) { cursor_ = cursor; }

    PopupMenu* GetPopupMenu() const { return popupMenu_; }
    virtual void SetPopupMenu(PopupMenu* menu);

    // Repaints the control's area (for a windowless control, that part of the parent).
    virtual void Invalidate();
    virtual void Repaint();

    // Client point to screen and back.
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;
    KeyEvent OnKeyDown;
    KeyEvent OnKeyUp;

    void Notification(Component* component, Operation operation) override;

    // Mouse and key entry points; windowed controls call them from their messages,
    // windowless ones are called by their parent. Overrides call the base to fire events.
    virtual void MouseDown(MouseButton button, unsigned shift, int x, int y);
    virtual void MouseMove(unsigned shift, int x, int y);
    virtual void MouseUp(MouseButton button, unsigned shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void KeyDown(WORD& key, unsigned shift);
    virtual void KeyUp(WORD& key, unsigned shift);

    // The DPI the control's bounds and font are laid out for (96 until a form scales it).
    int Dpi() const { return dpi_; }
    // Re-lays the control (and a windowed control's children) out for `dpi`.
    void ScaleTo(int dpi);
    // A length written for 96 DPI at the control's DPI: what drawing code uses for its
    // margins, offsets and pictures.
    int Scaled(int length) const;

protected:
    // Scales what the control keeps in pixels from `from` DPI to `to` DPI: the bounds (by
    // their edges, so neighbours stay neighbours), the font unless it follows a parent's,
    // and in overrides whatever else a control stores in pixels. Overrides call the base.
    virtual void ChangeScale(int to, int from);

    void StoreText(const std::wstring& text) { text_ = text; }
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void TextChanged() {}
    virtual void FontChanged() {}
    virtual void ColorChanged() {}

    // The parent that gets this control's mouse events when the control has no window.
    friend class WinControl;

private:
    void FontChangedInternal();

    WinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    Align align_ = Align::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool parentFont_ = true;
    bool applyingParentFont_ = false;
    std::wstring text_;
    Font font_;
    TColor color_ = clBtnFace;
    CursorKind cursor_ = CursorKind::crDefault;
    PopupMenu* popupMenu_ = nullptr;
    int dpi_ = 96;
    int designFontHeight_ = 0;  // the own font's height at 96 DPI, once scaled
    int scaledFontHeight_ = 0;  // and the height the scaling gave it
};

// A control without a window of its own: its parent paints it (after its own background,
// clipped to the control) and hands it the mouse messages that fall on it.
class GraphicControl : public Control {
public:
    explicit GraphicControl(Component* owner);

    // Paints onto the parent's DC; the origin is moved to the control's top-left corner.
    virtual void Paint(HDC dc) = 0;
    // True when the mouse at client point (x, y) of the control should go to it.
    virtual bool HitTest(int x, int y) const;

protected:
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }
    void ColorChanged() override { Invalidate(); }
};

// The control's current Shift state from the keyboard and mouse buttons.
unsigned KeyboardShiftState();
unsigned ShiftStateFromWParam(WPARAM wParam);

} // namespace tmb
