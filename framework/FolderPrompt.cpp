// The destination-folder prompt: an empty in-memory dialog template whose controls are made
// at their fixed pixel places when the dialog starts.
#include "framework/FolderPrompt.h"

#include "framework/Application.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"

namespace tmb {
namespace {

using namespace folder_prompt;

struct PromptState {
    FolderPromptRequest* request;
    FontHandle font;
};

HWND AddControl(HWND dlg, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
                int x, int y, int w, int h, HFONT font, DWORD exStyle = 0) {
    HWND h_ = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                              w, h, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h_;
}

void LayOut(HWND dlg, PromptState& st) {
    const FolderPromptRequest& r = *st.request;
    {
        WindowDC screen(nullptr);
        const int height = -MulDiv(8, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
        st.font.reset(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  L"MS Sans Serif"));
    }
    HFONT font = st.font.get();
    SendMessageW(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    // The label sizes itself to its text.
    RECT textRect{0, 0, 0, 0};
    {
        WindowDC dc(dlg);
        SelectGuard sel(dc.get(), font);
        DrawTextW(dc.get(), r.prompt.c_str(), static_cast<int>(r.prompt.size()), &textRect,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    // The places are written for 96 DPI (the font is already made for the dialog's).
    const int dpi = WindowDpi(dlg);
    auto px = [dpi](int length) { return ScaleLength(length, dpi); };
    AddControl(dlg, L"STATIC", r.prompt, SS_LEFT | SS_NOPREFIX, kLabelId, px(kLabelLeft),
               px(kLabelTop), textRect.right, textRect.bottom, font);
    HWND edit = AddControl(dlg, L"EDIT", r.text, WS_TABSTOP | ES_AUTOHSCROLL, kEditId,
                           px(kEditLeft), px(kEditTop), px(kEditWidth), px(kEditHeight), font,
                           WS_EX_CLIENTEDGE);
    SendMessageW(edit, EM_LIMITTEXT, kEditLimit, 0);
    AddControl(dlg, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, px(kOkLeft),
               px(kButtonTop), px(kButtonWidth), px(kButtonHeight), font);
    AddControl(dlg, L"BUTTON", r.cancelCaption, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL,
               px(kCancelLeft), px(kButtonTop), px(kButtonWidth), px(kButtonHeight), font);
    AddControl(dlg, L"BUTTON", r.browseCaption, WS_TABSTOP | BS_PUSHBUTTON, mrBrowse,
               px(kBrowseLeft), px(kButtonTop), px(kButtonWidth), px(kButtonHeight), font);
    SendMessageW(dlg, DM_SETDEFID, IDOK, 0);

    RECT frame{0, 0, px(kClientWidth), px(kClientHeight)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(dlg, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(dlg, r.caption.c_str());
    // The whole initial text selected, so typing replaces it. Last, because focusing a child
    // activates the dialog, and a hook watching activation should see it complete.
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

std::wstring EditText(HWND dlg) {
    HWND edit = GetDlgItem(dlg, kEditId);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(),
                                                        static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK PromptProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        Guarded([&] { LayOut(dlg, *reinterpret_cast<PromptState*>(lParam)); });
        return FALSE;  // the focus is on the edit box
    case WM_COMMAND: {
        if (!st || HIWORD(wParam) != BN_CLICKED)
            break;
        const int id = LOWORD(wParam);
        if (id == IDOK)
            Guarded([&] { st->request->text = EditText(dlg); });
        if (id == IDOK || id == IDCANCEL || id == mrBrowse) {
            EndDialog(dlg, id);
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    default:
        break;
    }
    return FALSE;
}

} // namespace

int ShowFolderPrompt(FolderPromptRequest& request) {
    PromptState st{&request, {}};
    alignas(4) WORD tmpl[32] = {};
    auto* dt = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    dt->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND;
    dt->cx = 100;
    dt->cy = 50;
    const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dt, request.owner,
                                              &PromptProc, reinterpret_cast<LPARAM>(&st));
    return (r == IDOK || r == mrBrowse) ? static_cast<int>(r) : static_cast<int>(mrCancel);
}

} // namespace tmb
