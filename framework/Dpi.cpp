// DPI awareness and the display's resolution, with the per-monitor functions looked up at
// run time: older systems lack them and the program still starts there.
#include "framework/Dpi.h"

#include "framework/Handles.h"

namespace tmb {
namespace {

template <class F>
F UserFunction(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace

void DeclareDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2; Wine 8 refuses it, and a system that
    // does not know it returns an error: system awareness is the fallback.
    const auto setContext = UserFunction<SetContext>("SetProcessDpiAwarenessContext");
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
        return;
    SetProcessDPIAware();
}

int SystemDpi() {
    using GetForSystem = UINT(WINAPI*)();
    if (const auto forSystem = UserFunction<GetForSystem>("GetDpiForSystem"))
        if (const UINT dpi = forSystem())
            return static_cast<int>(dpi);
    const WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
    using GetForWindow = UINT(WINAPI*)(HWND);
    if (window)
        if (const auto forWindow = UserFunction<GetForWindow>("GetDpiForWindow"))
            if (const UINT dpi = forWindow(window))
                return static_cast<int>(dpi);
    return SystemDpi();
}

} // namespace tmb
