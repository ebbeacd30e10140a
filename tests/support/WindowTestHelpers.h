// Real windows for component tests: a shown form to put controls on, the message pump,
// mouse and keys delivered the way the user's input reaches a window, and pixels read back
// from what was painted.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/TreeView.h"

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

// While it lives, a timer looks every `ms` for a shown pop-up menu and hands its window to
// `onMenu`, which runs inside the menu's own loop and returns true when it wants no further
// menus, false to be handed the next one (or the same one at the next tick). With
// `endAfterIdleTicks`, menu mode is ended after that many ticks that found no menu window.
class OpenMenuWatch {
public:
    explicit OpenMenuWatch(std::function<bool(HWND menuWindow)> onMenu, UINT ms = 30,
                           int endAfterIdleTicks = 0);
    ~OpenMenuWatch();
    OpenMenuWatch(const OpenMenuWatch&) = delete;
    OpenMenuWatch& operator=(const OpenMenuWatch&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<bool(HWND)> onMenu_;
    int idleTicksLeft_;
    bool done_ = false;
    UINT_PTR timer_;
};

// The menu a pop-up menu window shows.
HMENU MenuOfWindow(HWND menuWindow);
// One character an entry of `menu`: 1 enabled, 0 disabled, - a separator.
std::string MenuStates(HMENU menu);
// The top-left corner of a window on the screen.
POINT TopLeftOf(HWND hwnd);

// The size `text` takes on the screen in `font`.
SIZE TextExtent(HFONT font, const std::wstring& text);

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

// In a folder tree: the child of `parent` with that caption (in any case), and the node below
// `drives` whose caption names that drive letter ("C:" or "(C:)" and the like).
HTREEITEM ChildNode(tmb::TreeView& tree, HTREEITEM parent, const std::wstring& caption);
HTREEITEM DriveNode(tmb::TreeView& tree, HTREEITEM drives, wchar_t letter);

// The shell's display name of the computer ("My Computer" under Wine), the caption trees give
// their root.
std::wstring ComputerName();

// Replaces the text of an in-place edit box with `text` and presses `key` in it (Enter takes
// the text, Escape drops it); with `ms`, keeps pumping that long afterwards.
void TypeAndPress(HWND edit, const std::wstring& text, WORD key = VK_RETURN, DWORD ms = 0);
// The centre of a node's caption in the tree's client area, scrolled into view first, and a
// left click there.
POINT NodeCentre(tmb::TreeView& tree, HTREEITEM node);
void ClickNode(tmb::TreeView& tree, HTREEITEM node);

// A pixel a test expects: its colour at client point (x, y).
struct Pixel {
    COLORREF colour;
    int x, y;
};
// Expects each pixel of `hwnd` (read with PixelAt) to have its colour; a miss names its place.
void ExpectPixels(HWND hwnd, std::initializer_list<Pixel> pixels);

// While it lives, records the wParam of every `message` that reaches `hwnd` (a subclass).
class MessageLog {
public:
    MessageLog(HWND hwnd, UINT message);
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<WPARAM> wParams;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    HWND hwnd_;
    UINT message_;
};


// Keys held down for a scope (VK_SHIFT, VK_CONTROL, ...), as the thread's key state reports
// them to GetKeyState; a key code 0 holds nothing.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<BYTE> keys) {
        GetKeyboardState(saved_);
        BYTE state[256];
        for (int i = 0; i < 256; ++i)
            state[i] = saved_[i];
        for (BYTE k : keys)
            state[k] |= k ? 0x80 : 0;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256];
};


// How many pixels of `rect` (client coordinates of `hwnd`) are `colour` (or, with `other`,
// are not), once every pending paint has run.
int PixelsOf(HWND hwnd, RECT rect, COLORREF colour, bool other = false);

} // namespace tmbtest
