// Windowed controls: creation, re-creation, the routing of messages to objects, reflection
// of notifications to the child that sent them; the windowless children's mouse is in
// WinControlMouse.cpp.
#include "framework/WinControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/PopupMenu.h"
#include "framework/ScopedHourglass.h"

namespace tmb {
namespace {

constexpr UINT_PTR kSubclassId = 0x746D62;  // "tmb"

// The common controls hooked here, by window. Asking the control library instead
// (GetWindowSubclass) reads a window property, which under Wine is a round trip to the
// server: for every notification a parent reflects, five times a row when a report list
// draws (a quarter of a scrolled page's time).
std::unordered_map<HWND, WinControl*>& HookedControls() {
    static std::unordered_map<HWND, WinControl*> controls;
    return controls;
}

const wchar_t kOwnClassName[] = L"TombarelControl";

// The control whose common-control window CreateWindowEx is making right now: messages sent
// during creation (WM_MEASUREITEM to the parent) arrive before the subclass is installed.
thread_local WinControl* g_creating = nullptr;
thread_local UINT g_creatingId = 0;

UINT NextControlId() {
    static UINT next = 1000;
    return next++;
}

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
           msg != WM_MOUSEHWHEEL;
}

} // namespace

WinControl::WinControl(Component* owner) : Control(owner), id_(NextControlId()) {}

WinControl::~WinControl() {
    // Children outlive nothing here: detach them so none points at a dead parent.
    for (Control* c : std::vector<Control*>(controls_))
        c->SetParent(nullptr);
    if (hwnd_) {
        HWND h = hwnd_;
        DestroyWindow(h);  // WM_NCDESTROY clears hwnd_; derived handlers are gone already
        hwnd_ = nullptr;
    }
}

// ---- creation -------------------------------------------------------------------------

const wchar_t* WinControl::RegisterOwnClass(UINT classStyle) {
    // One class per class style, so a control can ask for CS_HREDRAW etc.
    static wchar_t names[8][40];
    static UINT styles[8];
    static int count = 0;
    for (int i = 0; i < count; ++i)
        if (styles[i] == classStyle)
            return names[i];
    wsprintfW(names[count], L"%s%X", kOwnClassName, classStyle);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &WinControl::StaticWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = nullptr;  // WM_SETCURSOR chooses
    wc.lpszClassName = names[count];
    RegisterClassExW(&wc);
    styles[count] = classStyle;
    return names[count++];
}

void WinControl::CreateParams(CreateArgs& args) {
    args.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (Visible())
        args.style |= WS_VISIBLE;
    if (!Enabled())
        args.style |= WS_DISABLED;
    if (tabStop_)
        args.style |= WS_TABSTOP;
    if (Parent())
        args.parent = Parent()->Handle();
}

HWND WinControl::Handle() {
    if (!hwnd_)
        CreateHandle();
    return hwnd_;
}

void WinControl::CreateHandle() {
    CreateArgs args;
    CreateParams(args);
    const bool child = (args.style & WS_CHILD) != 0;
    if (child && !args.parent)
        throw Exception(L"Control '" + Name() + L"' has no parent window");
    const HMENU menuOrId = child ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)) : nullptr;
    const std::wstring text = Control::Text();
    if (args.className) {
        WinControl* outer = g_creating;
        const UINT outerId = g_creatingId;
        g_creating = this;
        g_creatingId = id_;
        HWND h = CreateWindowExW(args.exStyle, args.className, text.c_str(), args.style, Left(),
                                 Top(), Width(), Height(), args.parent, menuOrId,
                                 GetModuleHandleW(nullptr), nullptr);
        g_creating = outer;
        g_creatingId = outerId;
        if (!h)
            throw Exception(L"Cannot create window for '" + Name() + L"'");
        hwnd_ = h;
        subclassed_ = true;
        SetWindowSubclass(h, &WinControl::SubclassProc, kSubclassId,
                          reinterpret_cast<DWORD_PTR>(this));
        HookedControls()[h] = this;
    } else {
        subclassed_ = false;
        HWND h = CreateWindowExW(args.exStyle, RegisterOwnClass(args.classStyle), text.c_str(),
                                 args.style, Left(), Top(), Width(), Height(), args.parent,
                                 menuOrId, GetModuleHandleW(nullptr), this);
        if (!h)
            throw Exception(L"Cannot create window for '" + Name() + L"'");
        hwnd_ = h;
    }
    HandleCreated();
    for (Control* c : controls_)
        if (auto* w = dynamic_cast<WinControl*>(c); w && !w->hwnd_)
            w->CreateHandle();
    ApplyTabOrder();
    AlignControls();
}

void WinControl::HandleCreated() {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont().Handle()), FALSE);
}

void WinControl::DestroyHandle() {
    if (!hwnd_)
        return;
    KeepWindowState();
    DestroyWindow(hwnd_);
}

void WinControl::KeepWindowState() {
    // The whole tree of windows goes with this one. Text the user typed is the control's
    // text from now on; the rest is kept by each control's HandleDestroying.
    StoreText(WinControl::Text());
    HandleDestroying();
    for (Control* c : controls_)
        if (auto* w = dynamic_cast<WinControl*>(c); w && w->hwnd_)
            w->KeepWindowState();
}

void WinControl::RecreateWnd() {
    if (!hwnd_)
        return;
    DestroyHandle();
    CreateHandle();
}

// ---- routing ----------------------------------------------------------------------------

WinControl* WinControl::FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    const auto& hooked = HookedControls();
    if (const auto found = hooked.find(hwnd); found != hooked.end())
        return found->second;
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)) == &WinControl::StaticWndProc)
        return reinterpret_cast<WinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return nullptr;
}

LRESULT CALLBACK WinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<WinControl*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->hwnd_ = hwnd;
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(msg, wParam, lParam);
}

LRESULT CALLBACK WinControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<WinControl*>(ref);
    const LRESULT result = self && self->hwnd_ == hwnd ? self->Dispatch(msg, wParam, lParam)
                                                       : DefSubclassProc(hwnd, msg, wParam, lParam);
    // Whoever handled the window's last message, its handle may be given to another window.
    if (msg == WM_NCDESTROY)
        HookedControls().erase(hwnd);
    return result;
}

LRESULT WinControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        HWND h = hwnd_;
        LRESULT r = DefaultHandler(msg, wParam, lParam);
        if (subclassed_)
            RemoveWindowSubclass(h, &WinControl::SubclassProc, kSubclassId);
        else
            SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        mouseControl_ = captureControl_ = nullptr;
        mouseTracked_ = false;
        clickPending_ = false;
        return r;
    }
    // A message sent while ~WinControl destroys the window reaches WinControl::WndProc
    // only: the derived parts, and their overrides, are already gone.
    LRESULT result = 0;
    Guarded([&] { result = WndProc(msg, wParam, lParam); });
    return result;
}

LRESULT WinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd_)
        return 0;
    if (subclassed_)
        return DefSubclassProc(hwnd_, msg, wParam, lParam);
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

bool WinControl::ContextMenu(POINT screen, bool) {
    PopupMenu* menu = GetPopupMenu();
    if (!menu || !menu->AutoPopup())
        return !!menu;
    menu->Popup(screen.x, screen.y, hwnd_);
    return true;
}

POINT WinControl::KeyboardMenuPoint() {
    POINT p{0, 0};
    RECT item{}, client{};
    if (SelectedItemRect(item) && GetClientRect(hwnd_, &client) &&
        IntersectRect(&item, &item, &client))
        p = POINT{item.left, item.bottom};
    ::ClientToScreen(hwnd_, &p);
    return p;
}

bool WinControl::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis->CtlType != ODT_MENU)
            child = dis->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mis->CtlType == ODT_MENU)
            break;
        if (g_creating && g_creatingId == mis->CtlID)
            return g_creating->Reflected(msg, wParam, lParam, result);
        child = GetDlgItem(hwnd_, static_cast<int>(mis->CtlID));
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    if (!child || child == hwnd_)
        return false;
    WinControl* target = FromHandle(child);
    return target && target->Reflected(msg, wParam, lParam, result);
}

bool WinControl::Reflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT WinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (ReflectToChild(msg, wParam, lParam, reflected))
        return reflected;

    if (IsMouseMessage(msg) || msg == WM_MOUSELEAVE) {
        if (HandleMouse(msg, wParam, lParam))
            return 0;
    }

    switch (msg) {
    case WM_ERASEBKGND:
        // Also asked by transparent children (a flat toolbar) for the part behind them.
        if (!subclassed_)
            return EraseBackground(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
        break;
    case WM_PAINT:
        if (!subclassed_) {
            PaintDC dc(hwnd_);
            PaintWindow(dc.get(), dc.PaintRect());
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (!subclassed_) {
            RECT r;
            GetClientRect(hwnd_, &r);
            if (lParam & PRF_ERASEBKGND)
                EraseBackground(reinterpret_cast<HDC>(wParam));
            PaintWindow(reinterpret_cast<HDC>(wParam), r);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_) {
            if (ScopedHourglass::Active()) {
                ::SetCursor(LoadCursorKind(CursorKind::crHourGlass));
                return TRUE;
            }
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(hwnd_, &p);
            CursorKind kind = Cursor();
            if (GraphicControl* g = GraphicControlAt(p.x, p.y))
                kind = g->Cursor();
            if (kind != CursorKind::crDefault || !subclassed_) {
                ::SetCursor(LoadCursorKind(kind));
                return TRUE;
            }
        }
        break;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == hwnd_) {
            // (-1, -1) comes from the keyboard: Shift+F10 or the menu key.
            const bool keyboard = GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1;
            if (ContextMenu(keyboard ? KeyboardMenuPoint()
                                     : POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                            keyboard))
                return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        const unsigned shift = KeyboardShiftState();
        KeyDown(key, shift);
        if (key == 0)
            return 0;
        // Shift+F10 asks for the context menu, as the menu key does. Not every control
        // passes the key on to the system for that (Wine's tree view does not), and passed
        // on, F10's release would then open the window's menu bar.
        if (key == VK_F10 && (shift & (ssShift | ssCtrl | ssAlt)) == ssShift) {
            SendMessageW(hwnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), -1);
            return 0;
        }
        wParam = key;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        KeyUp(key, KeyboardShiftState());
        if (key == 0)
            return 0;
        wParam = key;
        break;
    }
    case WM_SIZE:
        AlignControls();
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a modal box, say) during a press on a windowless
        // child: the press is cancelled, and the pointer's child is tracked again.
        if (captureControl_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
            captureControl_ = nullptr;
            clickPending_ = false;
        }
        break;
    default:
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

// ---- painting ---------------------------------------------------------------------------

BrushHandle& WinControl::BackgroundBrush() {
    if (!brush_ || brushColor_ != Color()) {
        brush_.reset(CreateSolidBrush(ColorToRGB(Color())));
        brushColor_ = Color();
    }
    return brush_;
}

bool WinControl::EraseBackground(HDC dc) {
    RECT r;
    GetClipBox(dc, &r);
    FillRect(dc, &r, BackgroundBrush().get());
    return true;
}

void WinControl::PaintWindow(HDC dc, const RECT& area) { PaintGraphicControls(dc, area); }

void WinControl::PaintGraphicControls(HDC dc, const RECT& area) {
    for (Control* c : controls_) {
        auto* g = dynamic_cast<GraphicControl*>(c);
        if (!g || !g->Visible())
            continue;
        RECT r = g->BoundsRect(), hit;
        if (!IntersectRect(&hit, &r, &area))
            continue;
        SavedDC saved(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        SetViewportOrgEx(dc, r.left, r.top, nullptr);
        g->Paint(dc);
    }
}

// ---- properties -------------------------------------------------------------------------

void WinControl::SetBounds(int left, int top, int width, int height) {
    Control::SetBounds(left, top, width, height);
}

void WinControl::ChangeScale(int to, int from) {
    Control::ChangeScale(to, from);
    for (Control* child : std::vector<Control*>(controls_))
        child->ChangeScale(to, from);
    // Aligned children were placed while the others still had their old sizes.
    if (hwnd_)
        AlignControls();
}

void WinControl::BoundsChanged() {
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, Left(), Top(), Width(), Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

int WinControl::ClientWidth() const {
    if (!hwnd_)
        return Width();
    RECT r;
    GetClientRect(hwnd_, &r);
    return r.right;
}

int WinControl::ClientHeight() const {
    if (!hwnd_)
        return Height();
    RECT r;
    GetClientRect(hwnd_, &r);
    return r.bottom;
}

std::wstring WinControl::Text() const {
    if (!hwnd_)
        return Control::Text();
    const int n = GetWindowTextLengthW(hwnd_);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd_, s.data(), n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

void WinControl::SetText(const std::wstring& text) {
    // The window's text may have changed under the stored one (typing): compare with it.
    if (Text() == text)
        return;
    StoreText(text);
    TextChanged();
}

void WinControl::TextChanged() {
    if (hwnd_)
        SetWindowTextW(hwnd_, Control::Text().c_str());
}

void WinControl::VisibleChanged() {
    if (hwnd_)
        ShowWindow(hwnd_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void WinControl::EnabledChanged() {
    if (hwnd_)
        EnableWindow(hwnd_, Enabled());
}

void WinControl::FontChanged() {
    if (hwnd_) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont().Handle()), TRUE);
    }
}

void WinControl::ColorChanged() {
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void WinControl::Invalidate() {
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void WinControl::Repaint() {
    if (hwnd_) {
        InvalidateRect(hwnd_, nullptr, TRUE);
        UpdateWindow(hwnd_);
    }
}

LRESULT WinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(Handle(), msg, wParam, lParam);
}

void WinControl::SetTabStop(bool value) {
    tabStop_ = value;
    if (hwnd_) {
        LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    }
}

int WinControl::TabOrder() const {
    if (!Parent())
        return -1;
    int i = 0;
    for (Control* c : Parent()->controls_) {
        if (c == this)
            return i;
        if (dynamic_cast<WinControl*>(c))
            ++i;
    }
    return -1;
}

void WinControl::SetTabOrder(int order) {
    WinControl* parent = Parent();
    if (!parent)
        return;
    // The windowed siblings keep their relative order; this one moves to `order`.
    std::vector<Control*>& list = parent->controls_;
    std::erase(list, static_cast<Control*>(this));
    int seen = 0;
    auto it = list.begin();
    for (; it != list.end(); ++it) {
        if (dynamic_cast<WinControl*>(*it)) {
            if (seen == order)
                break;
            ++seen;
        }
    }
    list.insert(it, this);
    parent->ApplyTabOrder();
}

void WinControl::ApplyTabOrder() {
    // The dialog manager walks the Tab sequence in z-order: put the windows in list order.
    HWND after = HWND_TOP;
    for (Control* c : controls_) {
        auto* w = dynamic_cast<WinControl*>(c);
        if (!w || !w->hwnd_)
            continue;
        SetWindowPos(w->hwnd_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w->hwnd_;
    }
}

bool WinControl::Focused() const { return hwnd_ && GetFocus() == hwnd_; }

bool WinControl::CanFocus() const {
    for (const Control* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void WinControl::SetFocus() { ::SetFocus(Handle()); }

void WinControl::BeginUpdate() {
    if (updateCount_++ == 0 && hwnd_)
        SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void WinControl::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && hwnd_) {
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(hwnd_, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

void WinControl::InsertControl(Control* control) {
    controls_.push_back(control);
    if (auto* w = dynamic_cast<WinControl*>(control)) {
        if (hwnd_ && !w->hwnd_)
            w->CreateHandle();
        else if (hwnd_ && w->hwnd_)
            ::SetParent(w->hwnd_, hwnd_);
    } else {
        control->Invalidate();
    }
    if (control->GetAlign() != Align::alNone)
        AlignControls();
}

void WinControl::RemoveControl(Control* control) {
    if (control == mouseControl_)
        mouseControl_ = nullptr;
    if (control == captureControl_) {
        captureControl_ = nullptr;
        clickPending_ = false;
        if (hwnd_ && GetCapture() == hwnd_)
            ReleaseCapture();
    }
    if (!dynamic_cast<WinControl*>(control))
        control->Invalidate();
    std::erase(controls_, control);
}

void WinControl::AlignControls() {
    RECT area{0, 0, ClientWidth(), ClientHeight()};
    for (Control* c : controls_) {
        if (!c->Visible())
            continue;
        switch (c->GetAlign()) {
        case Align::alTop:
            c->SetBounds(area.left, area.top, area.right - area.left, c->Height());
            area.top += c->Height();
            break;
        case Align::alBottom:
            c->SetBounds(area.left, area.bottom - c->Height(), area.right - area.left, c->Height());
            area.bottom -= c->Height();
            break;
        case Align::alLeft:
            c->SetBounds(area.left, area.top, c->Width(), area.bottom - area.top);
            area.left += c->Width();
            break;
        case Align::alRight:
            c->SetBounds(area.right - c->Width(), area.top, c->Width(), area.bottom - area.top);
            area.right -= c->Width();
            break;
        default:
            break;
        }
    }
    for (Control* c : controls_)
        if (c->Visible() && c->GetAlign() == Align::alClient)
            c->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void WinControl::SetStyleBit(DWORD bit, bool on) {
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    const LONG_PTR changed = on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit));
    if (changed != style) {
        SetWindowLongPtrW(h, GWL_STYLE, changed);
        InvalidateRect(h, nullptr, TRUE);
    }
}

} // namespace tmb
