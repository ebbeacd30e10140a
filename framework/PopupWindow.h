// A window that drops down from a control and hosts another control: the list of a combo
// box, a calendar under a date box, a tree under a folder box.
//
// It is a borderless top-most tool window owned by the anchor control's top-level window,
// with the hosted control filling it. It is never activated and never takes the keyboard
// focus: the keys stay with the anchor, which acts on the hosted control, so the anchor's
// focus loss is a sure sign that the user went elsewhere and closes the pop-up (the anchor
// calls CloseUp unless the focus went into the pop-up). A hosted control that takes the
// focus on a click, as a list box does, hands it straight back to the anchor. While it is open and the pointer is outside it, it holds the mouse
// capture: the next press anywhere closes it and goes no further, so a click beside an open
// drop-down never reaches the control under the pointer. Once the pointer enters, the
// capture is let go and the hosted control gets the mouse like any window (its scroll bar
// works); when the pointer leaves, the capture is taken again.
#pragma once

#include <windows.h>

#include "framework/WinControl.h"

namespace tmb {

class PopupWindow : public WinControl {
public:
    explicit PopupWindow(Component* owner);
    ~PopupWindow() override;

    // The control the pop-up drops down from and that keeps the keyboard while it is open.
    WinControl* Anchor() const { return anchor_; }
    void SetAnchor(WinControl* anchor);

    // The hosted control: it becomes the pop-up's child and fills it.
    WinControl* Content() const { return content_; }
    void SetContent(WinControl* content);

    // Where DropDown puts a pop-up of `width` × `height` for an anchor at `anchor` (screen
    // coordinates) on a monitor whose bounds are `monitor`: under the anchor, left edges
    // aligned, or above it when the monitor ends before the pop-up would.
    static RECT DropDownBounds(const RECT& anchor, int width, int height, const RECT& monitor);

    // Opens the pop-up under (or above) the anchor; the anchor gets the keyboard focus if it
    // does not have it. Opening an open pop-up moves it.
    void DropDown(int width, int height);
    // Opens the pop-up at `bounds` (screen coordinates).
    void Popup(const RECT& bounds);
    // Hides the pop-up and lets go of the mouse; nothing when it is closed.
    void CloseUp();

    bool IsOpen() const { return open_; }
    // `hwnd` is the pop-up or a window inside it: an anchor losing the focus to it keeps
    // the pop-up open.
    bool Contains(HWND hwnd) const;
    // The pointer is over the open pop-up (and the hosted control gets the mouse).
    bool PointerInside() const { return inside_; }

    // After the pop-up closed, whoever closed it.
    NotifyEvent OnCloseUp;

    void Notification(Component* component, Operation operation) override;

protected:
    void CreateParams(CreateArgs& args) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool EraseBackground(HDC dc) override;

private:
    void PointerEntered();
    // The hosted control saw the pointer go: capture again if it left the pop-up.
    void CheckPointerLeft();
    void TrackLeave();
    void ShowOnTop();
    void WatchContent();
    void UnwatchContent();
    bool ContainsScreenPoint(POINT p) const;
    void TakeCapture();
    void ReleaseOwnCapture();

    static LRESULT CALLBACK ContentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR ref);

    WinControl* anchor_ = nullptr;
    WinControl* content_ = nullptr;
    HWND watched_ = nullptr;
    bool open_ = false;
    bool inside_ = false;
    bool releasing_ = false;
};

} // namespace tmb
