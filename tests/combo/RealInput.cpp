// SendInput for the mouse and the keyboard, each event given time to reach the windows.
#include "tests/combo/RealInput.h"

#include <gtest/gtest.h>

#include "explorer/KvDirTreeCombo28.h"
#include "tests/support/WindowTestHelpers.h"

namespace combotest {
namespace {

// Absolute coordinates run from 0 to 65535 over the screen; rounded up, a pixel maps back
// onto itself.
LONG Normalized(LONG pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

void SendMouse(DWORD flags, POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = Normalized(p.x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = Normalized(p.y, GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof(in));
}

void Settle() { tmbtest::PumpFor(60); }

} // namespace

void MoveTo(POINT p) {
    SendMouse(0, p);
    Settle();
}

void ClickAt(POINT p, bool right) {
    MoveTo(p);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, p);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, p);
    Settle();
}

void DragFromTo(POINT from, POINT to) {
    MoveTo(from);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from);
    SendMouse(0, POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    SendMouse(0, to);
    SendMouse(MOUSEEVENTF_LEFTUP, to);
    Settle();
}

void PressKey(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    Settle();
}

POINT ScreenCentre(HWND hwnd, const RECT& client) {
    return tmbtest::ToScreen(hwnd, (client.left + client.right) / 2, (client.top + client.bottom) / 2);
}

void PickWithMouse(kv::TKvDirTreeCombo28& combo, HTREEITEM node) {
    ClickAt(ScreenCentre(combo.Handle(), combo.Btn()->BoundsRect()));
    ASSERT_TRUE(combo.DroppedDown());
    kv::TKvDirTreeView& tree = *combo.Tree();
    TreeView_EnsureVisible(tree.Handle(), node);
    const POINT p = ScreenCentre(tree.Handle(), tree.NodeRect(node, true));
    MoveTo(p);
    ClickAt(p);
}

} // namespace combotest
