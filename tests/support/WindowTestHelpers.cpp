// Test forms, the pump, synthetic input and pixel reads.
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/TextConv.h"

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

namespace {
OpenMenuWatch* g_watch = nullptr;  // the one a timer without a window can reach
}

OpenMenuWatch::OpenMenuWatch(std::function<bool(HWND)> onMenu, UINT ms, int endAfterIdleTicks)
    : onMenu_(std::move(onMenu)), idleTicksLeft_(endAfterIdleTicks),
      timer_(SetTimer(nullptr, 0, ms, &Tick)) {
    g_watch = this;
}

OpenMenuWatch::~OpenMenuWatch() {
    KillTimer(nullptr, timer_);
    g_watch = nullptr;
}

void CALLBACK OpenMenuWatch::Tick(HWND, UINT, UINT_PTR, DWORD) {
    OpenMenuWatch* self = g_watch;
    if (!self || self->done_)
        return;
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu && IsWindowVisible(menu))
        self->done_ = self->onMenu_(menu);
    else if (self->idleTicksLeft_ > 0 && --self->idleTicksLeft_ == 0)
        EndMenu();
}

HMENU MenuOfWindow(HWND menuWindow) {
    return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

std::string MenuStates(HMENU menu) {
    std::string states;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        states += (state & MF_SEPARATOR) ? '-' : (state & (MF_GRAYED | MF_DISABLED)) ? '0' : '1';
    }
    return states;
}

POINT TopLeftOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{r.left, r.top};
}

HTREEITEM ChildNode(tmb::TreeView& tree, HTREEITEM parent, const std::wstring& caption) {
    for (HTREEITEM node : tree.Children(parent))
        if (tmb::SameText(tree.NodeText(node), caption))
            return node;
    return nullptr;
}

HTREEITEM DriveNode(tmb::TreeView& tree, HTREEITEM drives, wchar_t letter) {
    for (HTREEITEM node : tree.Children(drives)) {
        const std::wstring caption = tree.NodeText(node);
        if (caption.size() >= 4 && towupper(caption[2]) == towupper(letter))
            return node;
    }
    return nullptr;
}

SIZE TextExtent(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

void TypeAndPress(HWND edit, const std::wstring& text, WORD key, DWORD ms) {
    SetWindowTextW(edit, text.c_str());
    PressKey(edit, key);
    if (ms > 0)
        PumpFor(ms);
}

POINT NodeCentre(tmb::TreeView& tree, HTREEITEM node) {
    TreeView_EnsureVisible(tree.Handle(), node);
    const RECT r = tree.NodeRect(node, true);
    EXPECT_FALSE(IsRectEmpty(&r)) << "the node's caption is not shown";
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickNode(tmb::TreeView& tree, HTREEITEM node) {
    const POINT p = NodeCentre(tree, node);
    Click(tree.Handle(), p.x, p.y);
}

void ExpectPixels(HWND hwnd, std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels)
        EXPECT_EQ(p.colour, PixelAt(hwnd, p.x, p.y)) << "at " << p.x << "," << p.y;
}

MessageLog::MessageLog(HWND hwnd, UINT message) : hwnd_(hwnd), message_(message) {
    SetWindowSubclass(hwnd_, &Proc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
}

MessageLog::~MessageLog() { RemoveWindowSubclass(hwnd_, &Proc, reinterpret_cast<UINT_PTR>(this)); }

LRESULT CALLBACK MessageLog::Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR ref) {
    auto* self = reinterpret_cast<MessageLog*>(ref);
    if (msg == self->message_)
        self->wParams.push_back(wParam);
    return DefSubclassProc(h, msg, wParam, lParam);
}

int PixelsOf(HWND hwnd, RECT rect, COLORREF colour, bool other) {
    PixelAt(hwnd, 0, 0);
    HDC dc = GetDC(hwnd);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            count += (GetPixel(dc, x, y) == colour) != other;
    ReleaseDC(hwnd, dc);
    return count;
}

} // namespace tmbtest
