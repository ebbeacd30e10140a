// Top-level windows: styles from the border settings, the client size, centring, and the
// create/destroy events, which also run when the session ends or the window is closed.
#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/Dpi.h"

namespace tmb {

Form::Form(Component* owner) : WinControl(owner) {
    SetLoading(true);
    SetVisible(false);
    SetColor(clBtnFace);
    GetFont().SetName(L"MS Sans Serif");
    GetFont().SetHeight(-11);
}

Form::~Form() {
    if (App().MainForm() == this)
        App().SetMainForm(nullptr);
}

void Form::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP;
    args.exStyle = WS_EX_CONTROLPARENT;
    switch (borderStyle_) {
    case BorderStyle::bsNone: break;
    case BorderStyle::bsSingle: args.style |= WS_CAPTION | WS_BORDER; break;
    case BorderStyle::bsSizeable: args.style |= WS_CAPTION | WS_THICKFRAME; break;
    case BorderStyle::bsDialog:
        args.style |= WS_CAPTION | DS_MODALFRAME;
        args.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    case BorderStyle::bsToolWindow:
        args.style |= WS_CAPTION;
        args.exStyle |= WS_EX_TOOLWINDOW;
        break;
    case BorderStyle::bsSizeToolWin:
        args.style |= WS_CAPTION | WS_THICKFRAME;
        args.exStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != BorderStyle::bsNone && (borderIcons_ & biSystemMenu)) {
        args.style |= WS_SYSMENU;
        if (borderIcons_ & biMinimize) args.style |= WS_MINIMIZEBOX;
        if (borderIcons_ & biMaximize) args.style |= WS_MAXIMIZEBOX;
    }
    args.parent = App().MainForm() && App().MainForm() != this
                      ? App().MainForm()->Handle()
                      : App().Handle();
}

void Form::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    CreateArgs args;
    CreateParams(args);
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, args.style, FALSE, args.exStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
    if (HandleAllocated()) {
        // The frame Windows draws may differ from the estimate: correct it once.
        RECT c;
        GetClientRect(HandleIfAllocated(), &c);
        const int dw = width - c.right, dh = height - c.bottom;
        if (dw || dh)
            SetBounds(Left(), Top(), Width() + dw, Height() + dh);
    }
}

int Form::ClientWidth() const {
    return HandleAllocated() ? WinControl::ClientWidth() : clientWidth_;
}

int Form::ClientHeight() const {
    return HandleAllocated() ? WinControl::ClientHeight() : clientHeight_;
}

void Form::Center() {
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    if (position_ == FormPosition::poDesktopCenter || position_ == FormPosition::poScreenCenter) {
        if (position_ == FormPosition::poScreenCenter)
            area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SetBounds(area.left + (area.right - area.left - Width()) / 2,
                  area.top + (area.bottom - area.top - Height()) / 2, Width(), Height());
    }
}

void Form::Show() {
    if (!centred_) {
        centred_ = true;
        Center();
    }
    SetVisible(true);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void Form::Close() {
    if (App().MainForm() == this)
        App().Terminate();
    else
        SetVisible(false);
}

void Form::ChangeScale(int to, int from) {
    const int left = Left(), top = Top();
    const int width = ScaleLength(clientWidth_, to, from);
    const int height = ScaleLength(clientHeight_, to, from);
    WinControl::ChangeScale(to, from);
    SetBounds(left, top, Width(), Height());
    if (width > 0)
        SetClientSize(width, height);
}

void Form::AfterConstruction() {
    // The layout the constructor wrote for 96 DPI is scaled once, before any window exists,
    // and again if the window turns out to be on a monitor of another scale.
    ScaleTo(SystemDpi());
    ScaleTo(WindowDpi(Handle()));
    if (clientWidth_ > 0)
        SetClientSize(clientWidth_, clientHeight_);
    EndLoading();
    // An error the create handler does not catch is reported like any other, and the form
    // is made all the same: a window that never opens would leave the user no way in.
    Guarded([this] {
        if (OnCreate)
            OnCreate(this);
    });
}

void Form::DoDestroy() {
    if (destroyDone_)
        return;
    destroyDone_ = true;
    if (OnDestroy)
        OnDestroy(this);
}

void Form::BeforeDestruction() {
    // An error of the destroy handler is reported; the windows go all the same.
    Guarded([this] { DoDestroy(); });
    DestroyHandle();
}

LRESULT Form::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the layout follows, and the window takes the
        // place and size Windows suggests for it there.
        ScaleTo(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        if (suggested)
            SetBounds(suggested->left, suggested->top, suggested->right - suggested->left,
                      suggested->bottom - suggested->top);
        return 0;
    }
    case WM_ENDSESSION:
        // The process ends right after this message: the destroy handler stores its state
        // now.
        if (wParam) {
            DoDestroy();
            App().Terminate();
        }
        return 0;
    case WM_COMMAND:
        // The dialog manager turns Enter and Escape into IDOK/IDCANCEL with no control:
        // a form without default buttons ignores them.
        if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            return 0;
        break;
    default:
        break;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

} // namespace tmb
