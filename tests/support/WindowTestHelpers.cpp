// Test forms, the pump, synthetic input and pixel reads.
#include "tests/support/WindowTestHelpers.h"

#include <shellapi.h>
#include <shlobj.h>

#include "framework/Application.h"
#include "framework/Handles.h"

namespace tmbtest {
namespace {

class HostForm : public tmb::Form {
public:
    explicit HostForm(tmb::Component* owner) : tmb::Form(owner) {
        SetColor(tmb::clWhite);
        SetBounds(40, 40, 0, 0);
    }
};

LPARAM PointParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

} // namespace

TestForm::TestForm(int clientWidth, int clientHeight) {
    form_ = tmb::CreateForm<HostForm>(nullptr);
    form_->SetClientSize(clientWidth, clientHeight);
    form_->Show();
    Pump();
}

TestForm::~TestForm() {
    tmb::Destroy(form_);
    Pump();
}

void Pump() { tmb::App().ProcessMessages(); }

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        Pump();
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

POINT ToScreen(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

void MouseMove(HWND hwnd, int x, int y, WPARAM keys) {
    const POINT s = ToScreen(hwnd, x, y);
    SetCursorPos(s.x, s.y);
    SendMessageW(hwnd, WM_MOUSEMOVE, keys, PointParam(x, y));
}

void Click(HWND hwnd, int x, int y) {
    MouseMove(hwnd, x, y);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, PointParam(x, y));
    Pump();
}

void DoubleClick(HWND hwnd, int x, int y) {
    MouseMove(hwnd, x, y);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, PointParam(x, y));
    PostMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, PointParam(x, y));
    Pump();
}

void PressKey(HWND hwnd, WORD vk) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(hwnd, WM_KEYDOWN, vk, 1 | (static_cast<LPARAM>(scan) << 16));
    PostMessageW(hwnd, WM_KEYUP, vk, 1 | (static_cast<LPARAM>(scan) << 16) | 0xC0000000);
    Pump();
}

COLORREF PixelAt(HWND hwnd, int x, int y) {
    Pump();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

std::wstring ComputerName() {
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw)) || !raw)
        return std::wstring();
    const tmb::PidlHandle pidl(raw);
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<const wchar_t*>(pidl.get()), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

ScopedFaceColour::ScopedFaceColour(COLORREF colour) : old_(GetSysColor(COLOR_3DFACE)) {
    const int element = COLOR_3DFACE;
    SetSysColors(1, &element, &colour);
}

ScopedFaceColour::~ScopedFaceColour() {
    const int element = COLOR_3DFACE;
    SetSysColors(1, &element, &old_);
}

} // namespace tmbtest
