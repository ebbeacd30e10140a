// The drop-down pop-up: placement under its anchor, the mouse capture while the pointer is
// outside, and no activation.
#include "framework/PopupWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/Application.h"

namespace tmb {
namespace {

constexpr UINT_PTR kWatchId = 0x706F70;  // "pop"

bool IsPress(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool IsRelease(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP ||
           msg == WM_XBUTTONUP;
}

} // namespace

PopupWindow::PopupWindow(Component* owner) : WinControl(owner) {
    SetVisible(false);
}

PopupWindow::~PopupWindow() { UnwatchContent(); }

void PopupWindow::SetAnchor(WinControl* anchor) {
    if (anchor == anchor_)
        return;
    CloseUp();
    anchor_ = anchor;
    if (anchor_)
        FreeNotification(anchor_);
    // The owner of a top-level window is fixed when the window is made.
    if (HandleAllocated())
        DestroyHandle();
}

void PopupWindow::SetContent(WinControl* content) {
    if (content == content_)
        return;
    UnwatchContent();
    content_ = content;
    if (content_) {
        FreeNotification(content_);
        content_->SetParent(this);
        content_->SetAlign(Align::alClient);
    }
}

void PopupWindow::Notification(Component* component, Operation operation) {
    WinControl::Notification(component, operation);
    if (operation != Operation::opRemove)
        return;
    if (component == anchor_) {
        anchor_ = nullptr;
        CloseUp();
    }
    if (component == content_) {
        // Its window is gone or going: the watch goes with it.
        watched_ = nullptr;
        content_ = nullptr;
    }
}

void PopupWindow::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    // No border of its own: the hosted control draws the frame, so the pointer is inside
    // the pop-up exactly when it is over the hosted control.
    args.style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    // The pixels under the pop-up are kept while it is shown, so closing it repaints nothing.
    args.classStyle = CS_SAVEBITS;
    args.parent = anchor_ ? GetAncestor(anchor_->Handle(), GA_ROOT) : nullptr;
}

bool PopupWindow::EraseBackground(HDC) {
    return true;  // the hosted control covers every pixel
}

// ---- opening and closing --------------------------------------------------------------------

RECT PopupWindow::DropDownBounds(const RECT& anchor, int width, int height, const RECT& monitor) {
    int top = anchor.bottom;
    if (monitor.bottom < top + height)
        top = anchor.top - height;
    return RECT{anchor.left, top, anchor.left + width, top + height};
}

void PopupWindow::DropDown(int width, int height) {
    if (!anchor_)
        return;
    RECT anchor;
    GetWindowRect(anchor_->Handle(), &anchor);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
    Popup(DropDownBounds(anchor, width, height, monitor.rcMonitor));
}

void PopupWindow::Popup(const RECT& bounds) {
    // The pop-up belongs to no form: it shows its content at the anchor's DPI.
    if (anchor_)
        ScaleTo(anchor_->Dpi());
    Handle();
    // The keys go to the anchor, which acts on the hosted control: a drop-down opened from
    // elsewhere (a key in a linked list) brings the focus to it. That comes first: under
    // Wine the window that gets the focus is raised over everything, its pop-ups included.
    if (anchor_ && !anchor_->Focused() && anchor_->CanFocus())
        anchor_->SetFocus();
    SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    ShowOnTop();
    SetVisible(true);
    open_ = true;
    inside_ = false;
    WatchContent();
    TakeCapture();
}

void PopupWindow::ShowOnTop() {
    HWND h = HandleIfAllocated();
    // Showing a window is what puts it over the others on the screen (a change of place in
    // the z-order alone is not always carried out there).
    SetWindowPos(h, HWND_TOPMOST, Left(), Top(), Width(), Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void PopupWindow::CloseUp() {
    if (!open_)
        return;
    open_ = false;
    inside_ = false;
    ReleaseOwnCapture();
    SetVisible(false);
    if (OnCloseUp)
        OnCloseUp(this);
}

// ---- the mouse --------------------------------------------------------------------------------

bool PopupWindow::Contains(HWND hwnd) const {
    HWND h = HandleIfAllocated();
    return h && hwnd && (hwnd == h || IsChild(h, hwnd));
}

bool PopupWindow::ContainsScreenPoint(POINT p) const {
    HWND h = HandleIfAllocated();
    RECT r;
    return h && GetWindowRect(h, &r) && PtInRect(&r, p);
}

void PopupWindow::TakeCapture() {
    if (HWND h = HandleIfAllocated())
        SetCapture(h);
}

void PopupWindow::ReleaseOwnCapture() {
    HWND h = HandleIfAllocated();
    if (!h || GetCapture() != h)
        return;
    releasing_ = true;
    ReleaseCapture();
    releasing_ = false;
}

void PopupWindow::PointerEntered() {
    inside_ = true;
    ReleaseOwnCapture();
    // Tracking asked for while the pointer is already elsewhere reports the leave at once,
    // so a pointer that passes straight through is caught too.
    TrackLeave();
}

void PopupWindow::TrackLeave() {
    if (!watched_)
        return;
    POINT p;
    GetCursorPos(&p);
    // The client area and the frame with its scroll bar are tracked apart.
    const bool client = SendMessageW(watched_, WM_NCHITTEST, 0,
                                     MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y))) ==
                        HTCLIENT;
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | (client ? 0u : TME_NONCLIENT), watched_, 0};
    TrackMouseEvent(&tme);
}

void PopupWindow::CheckPointerLeft() {
    if (!open_ || !inside_)
        return;
    POINT p;
    GetCursorPos(&p);
    if (ContainsScreenPoint(p)) {
        // From the client area onto the scroll bar or back, or a tracking the control's own
        // capture ended: still inside, watched again.
        if (WindowFromPoint(p) == watched_)
            TrackLeave();
        return;
    }
    inside_ = false;
    TakeCapture();
}

void PopupWindow::WatchContent() {
    HWND h = content_ ? content_->Handle() : nullptr;
    if (h == watched_)
        return;
    UnwatchContent();
    if (h && SetWindowSubclass(h, &PopupWindow::ContentProc, kWatchId,
                               reinterpret_cast<DWORD_PTR>(this)))
        watched_ = h;
}

void PopupWindow::UnwatchContent() {
    if (watched_ && IsWindow(watched_))
        RemoveWindowSubclass(watched_, &PopupWindow::ContentProc, kWatchId);
    watched_ = nullptr;
}

LRESULT CALLBACK PopupWindow::ContentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<PopupWindow*>(ref);
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
        // The leave of the client area and of the frame and scroll bar are separate.
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
        if (msg == WM_NCMOUSEMOVE)
            tme.dwFlags |= TME_NONCLIENT;
        TrackMouseEvent(&tme);
        break;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        Guarded([&] { self->CheckPointerLeft(); });
        break;
    case WM_CAPTURECHANGED: {
        // The control held the mouse itself (a press in a list box, a drag of the scroll
        // bar's thumb) and saw no leave meanwhile: where is the pointer now?
        const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        Guarded([&] { self->CheckPointerLeft(); });
        return result;
    }
    case WM_SETFOCUS: {
        // The keys belong to the anchor: a control that takes the focus when clicked gets
        // the click, not the keyboard.
        const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        if (self->open_ && self->anchor_ && self->anchor_->HandleAllocated()) {
            Guarded([&] {
                ::SetFocus(self->anchor_->HandleIfAllocated());
                // The focus raised the anchor's window over the pop-up: shown again, it is
                // back on top.
                SetWindowPos(self->HandleIfAllocated(), nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                                 SWP_NOACTIVATE);
                self->ShowOnTop();
            });
        }
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &PopupWindow::ContentProc, kWatchId);
        if (self->watched_ == hwnd)
            self->watched_ = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT PopupWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The pop-up itself only sees the mouse while it holds the capture, that is while the
    // pointer is outside it (or has just come in and not moved yet).
    if (msg == WM_MOUSEMOVE || IsPress(msg) || IsRelease(msg)) {
        if (!open_)
            return 0;
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(HandleIfAllocated(), &p);
        const bool over = ContainsScreenPoint(p);
        if (over && !inside_)
            PointerEntered();
        if (IsPress(msg) && !over) {
            CloseUp();  // the press ends here: nothing else sees it
            return 0;
        }
        // The pointer came in (or was pressed inside before it moved): the hosted control
        // gets this move or press too, as it gets the ones after it.
        if (over && watched_ && !IsRelease(msg)) {
            POINT c = p;
            ::ScreenToClient(watched_, &c);
            SendMessageW(watched_, msg, wParam,
                         MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y)));
        }
        return 0;
    }
    switch (msg) {
    case WM_MOUSEACTIVATE:
        // Clicks in the pop-up (they come here from the hosted control too) leave the
        // anchor's window active and the focus where it is.
        return MA_NOACTIVATE;
    case WM_CAPTURECHANGED:
        // Someone else took the mouse (a move of the owner window, a modal box): the
        // drop-down has lost its hold on the screen and closes.
        if (open_ && !inside_ && !releasing_ &&
            reinterpret_cast<HWND>(lParam) != HandleIfAllocated())
            CloseUp();
        return 0;
    default:
        break;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

} // namespace tmb
