// Input the way the user gives it: mouse and keys through the system's input queue
// (SendInput), so the capture, the focus and the window under the pointer decide where they
// go, as they do for a person at the machine.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace kv {
class TKvDirTreeCombo28;
}

namespace combotest {

// Moves the pointer to screen point `p`.
void MoveTo(POINT p);
// A press and release of the left (or right) button at screen point `p`.
void ClickAt(POINT p, bool right = false);
// A left-button drag: pressed at `from`, moved to `to`, released there, all queued before
// any of it is handled (a control that runs its own loop while the button is down, as a
// scroll bar does, then reads them from the queue).
void DragFromTo(POINT from, POINT to);
// A press and release of a key on whatever window has the focus.
void PressKey(WORD vk);

// The centre of a client rectangle of `hwnd`, on the screen.
POINT ScreenCentre(HWND hwnd, const RECT& client);

// Opens `combo`'s drop-down with a click on its arrow button (it must open), then moves the
// pointer onto the caption of `node` in it and clicks there.
void PickWithMouse(kv::TKvDirTreeCombo28& combo, HTREEITEM node);

} // namespace combotest
