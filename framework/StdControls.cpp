// Edit boxes, memos and push buttons on the platform's classes.
#include "framework/StdControls.h"

namespace tmb {

Edit::Edit(Component* owner) : WinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void Edit::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = L"EDIT";
    args.style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
    args.exStyle |= WS_EX_CLIENTEDGE;
}

void Edit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated())
        SendMessageW(HandleIfAllocated(), EM_SETREADONLY, value, 0);
}

void Edit::TextChanged() {
    // A multi-line edit sends no EN_CHANGE for WM_SETTEXT (a single-line one does): the
    // change is reported here, once, for both.
    settingText_ = true;
    WinControl::TextChanged();
    settingText_ = false;
    Change();
}

bool Edit::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        if (!settingText_)
            Change();
        result = 0;
        return true;
    }
    // Read-only edits ask with WM_CTLCOLORSTATIC, editable ones with WM_CTLCOLOREDIT.
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ColorToRGB(GetFont().Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        result = reinterpret_cast<LRESULT>(BackgroundBrush().get());
        return true;
    }
    return false;
}

void Edit::Change() {
    if (OnChange)
        OnChange(this);
}

Memo::Memo(Component* owner) : Edit(owner) { SetBounds(0, 0, 185, 89); }

void Memo::SetScrollBars(bool horizontal, bool vertical) {
    hScroll_ = horizontal;
    vScroll_ = vertical;
    if (HandleAllocated())
        RecreateWnd();
}

void Memo::CreateParams(CreateArgs& args) {
    Edit::CreateParams(args);
    args.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (!hScroll_)
        args.style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (hScroll_)
        args.style |= WS_HSCROLL;
    if (vScroll_)
        args.style |= WS_VSCROLL;
}

void Memo::HandleCreated() {
    Edit::HandleCreated();
    // Lift the default limit (30,000 characters) that stops appends and typing.
    SendMessageW(HandleIfAllocated(), EM_LIMITTEXT, 0, 0);
}

Button::Button(Component* owner) : WinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void Button::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = L"BUTTON";
    args.style |= BS_PUSHBUTTON;
}

bool Button::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        Click();
        result = 0;
        return true;
    }
    return false;
}

} // namespace tmb
