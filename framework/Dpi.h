// The display's resolution. Every layout is written for 96 DPI; a form scales it once, as
// it is applied, to the DPI its window shows at, and again when Windows moves the window to
// a monitor of another scale (WM_DPICHANGED). Controls never ask for the DPI themselves:
// they are told through Control::ChangeScale.
#pragma once

#include <windows.h>

namespace tmb {

// The resolution every stored layout, font height and picture is written for.
inline constexpr int kDesignDpi = 96;

// Declares the process DPI-aware, at run time so the manifest stays as it is: per-monitor
// (version 2) where the system has it, system-aware otherwise. Windows that cannot tell
// stretch an unaware program as a bitmap and blur every letter.
void DeclareDpiAwareness();

// The DPI of the primary display (what a window starts at).
int SystemDpi();
// The DPI a window is shown at: its monitor's under per-monitor awareness, else the system's.
int WindowDpi(HWND window);

// A length written for `from` DPI at `to` DPI, rounded to the nearest pixel.
inline int ScaleLength(int value, int to, int from = kDesignDpi) {
    return from == to ? value : MulDiv(value, to, from);
}

} // namespace tmb
