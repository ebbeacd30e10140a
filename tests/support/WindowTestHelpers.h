// Real windows for component tests: a shown form to put controls on, the message pump,
// mouse and keys delivered the way the user's input reaches a window, and pixels read back
// from what was painted.
#pragma once

#include <windows.h>

#include "framework/Form.h"

namespace tmbtest {

// A visible top-level form with a plain white client area, destroyed with the object.
// Controls made with Form() as owner and parent go with it.
class TestForm {
public:
    explicit TestForm(int clientWidth = 400, int clientHeight = 300);
    ~TestForm();
    TestForm(const TestForm&) = delete;
    TestForm& operator=(const TestForm&) = delete;

    tmb::Form& Form() { return *form_; }
    tmb::Form* operator->() { return form_; }
    HWND Handle() { return form_->Handle(); }

private:
    tmb::Form* form_;
};

// Runs what is waiting in the queue through the application's own loop step.
void Pump();
// Keeps pumping for `ms` milliseconds (timers, posted notifications, repaints).
void PumpFor(DWORD ms);

POINT ToScreen(HWND hwnd, int x, int y);
// Puts the pointer over client point (x, y) of `hwnd` and sends it WM_MOUSEMOVE there.
void MouseMove(HWND hwnd, int x, int y, WPARAM keys = 0);
// A left click at a client point: the pointer moves there, then button down and up are
// posted and run through the message loop.
void Click(HWND hwnd, int x, int y);
// Two clicks in a row as the system reports them: down, up, double-click, up.
void DoubleClick(HWND hwnd, int x, int y);
// Posts key down and key up to `hwnd` and runs them through the message loop.
void PressKey(HWND hwnd, WORD vk);

// The colour of client pixel (x, y) of `hwnd` once every pending paint has run.
COLORREF PixelAt(HWND hwnd, int x, int y);

// Gives the 3-D face colour another value for the object's life. Pictures loaded with the
// 3-D colour mapping then show whether they were mapped, which the usual face grey (#C0C0C0,
// the grey they are drawn with) cannot tell.
class ScopedFaceColour {
public:
    explicit ScopedFaceColour(COLORREF colour);
    ~ScopedFaceColour();
    ScopedFaceColour(const ScopedFaceColour&) = delete;
    ScopedFaceColour& operator=(const ScopedFaceColour&) = delete;

private:
    COLORREF old_;
};

// The shell's display name of the computer ("My Computer" under Wine), the caption trees give
// their root.
std::wstring ComputerName();

} // namespace tmbtest
