// The mouse of a windowed control and of its windowless children: which child is under the
// pointer, entering and leaving, the press a child holds, and clicks.
#include "framework/WinControl.h"

#include <windowsx.h>

namespace tmb {

// ---- mouse, own and windowless children's ----------------------------------------------

GraphicControl* WinControl::GraphicControlAt(int x, int y) const {
    // The last one added lies on top.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        auto* g = dynamic_cast<GraphicControl*>(*it);
        if (g && g->Visible() && g->HitTest(x - g->Left(), y - g->Top()))
            return g;
    }
    return nullptr;
}

void WinControl::SetMouseControl(GraphicControl* control) {
    if (control == mouseControl_)
        return;
    GraphicControl* old = mouseControl_;
    mouseControl_ = control;
    if (old)
        old->MouseLeave();
    if (control)
        control->MouseEnter();
}

bool WinControl::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSELEAVE) {
        mouseTracked_ = false;
        SetMouseControl(nullptr);
        return false;
    }
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const unsigned shift = ShiftStateFromWParam(wParam);

    if (!mouseTracked_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        mouseTracked_ = TrackMouseEvent(&tme) != FALSE;
    }
    GraphicControl* target = captureControl_ ? captureControl_ : GraphicControlAt(x, y);
    if (!captureControl_)
        SetMouseControl(target);
    if (target && target->Enabled()) {
        const int cx = x - target->Left();
        const int cy = y - target->Top();
        switch (msg) {
        case WM_MOUSEMOVE:
            target->MouseMove(shift, cx, cy);
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            captureControl_ = target;
            // The second press of a double click makes no second click on its release.
            clickPending_ = msg == WM_LBUTTONDOWN;
            SetCapture(hwnd_);
            if (msg == WM_LBUTTONDBLCLK)
                target->DblClick();
            target->MouseDown(MouseButton::mbLeft, shift | (msg == WM_LBUTTONDBLCLK ? unsigned{ssDouble} : 0u), cx, cy);
            return true;
        case WM_LBUTTONUP: {
            captureControl_ = nullptr;
            ReleaseCapture();
            // A click is a press and a release on the same control.
            const bool clicked = clickPending_ && target->HitTest(cx, cy);
            clickPending_ = false;
            if (clicked)
                target->Click();
            target->MouseUp(MouseButton::mbLeft, shift, cx, cy);
            SetMouseControl(GraphicControlAt(x, y));
            return true;
        }
        case WM_RBUTTONDOWN:
            target->MouseDown(MouseButton::mbRight, shift, cx, cy);
            return true;
        case WM_RBUTTONUP:
            target->MouseUp(MouseButton::mbRight, shift, cx, cy);
            return false;  // WM_CONTEXTMENU follows from the default handling
        default:
            return false;
        }
    }
    if (target) {  // a disabled windowless control takes the mouse and does nothing
        // Disabled while pressed: the release still ends the press.
        if (msg == WM_LBUTTONUP && target == captureControl_) {
            captureControl_ = nullptr;
            clickPending_ = false;
            ReleaseCapture();
        }
        return msg != WM_RBUTTONUP;
    }

    // The control's own mouse events.
    switch (msg) {
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    case WM_LBUTTONDOWN: MouseDown(MouseButton::mbLeft, shift, x, y); break;
    case WM_RBUTTONDOWN: MouseDown(MouseButton::mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(MouseButton::mbMiddle, shift, x, y); break;
    case WM_LBUTTONUP: MouseUp(MouseButton::mbLeft, shift, x, y); break;
    case WM_RBUTTONUP: MouseUp(MouseButton::mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(MouseButton::mbMiddle, shift, x, y); break;
    case WM_LBUTTONDBLCLK:
        DblClick();
        MouseDown(MouseButton::mbLeft, shift | ssDouble, x, y);
        break;
    default: break;
    }
    return false;
}

} // namespace tmb
