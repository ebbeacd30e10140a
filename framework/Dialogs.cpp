// The modal seam and the platform's own message dialog: an icon, the text and a row of
// buttons, built from an empty in-memory template so every box looks and answers alike.
#include "framework/Dialogs.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "framework/Application.h"
#include "framework/FolderPrompt.h"
#include "framework/Handles.h"
#include "framework/ProgressWindow.h"

namespace tmb {
namespace {

struct DialogButton {
    unsigned flag;
    int id;
    const wchar_t* caption;
};
// Shown left to right in this order as far as present.
constexpr DialogButton kButtons[] = {
    {mbYes, IDYES, L"&Yes"},
    {mbNo, IDNO, L"&No"},
    {mbOK, IDOK, L"OK"},
    {mbCancel, IDCANCEL, L"Cancel"},
};

struct DialogState {
    std::wstring text;
    std::wstring caption;
    MsgDlgType type;
    MsgDlgButtons buttons;
    int defaultId;
    int escapeId;
    FontHandle font;
};

int DefaultButtonId(MsgDlgButtons buttons) {
    if (buttons & mbOK) return IDOK;
    if (buttons & mbYes) return IDYES;
    for (const auto& b : kButtons)
        if (buttons & b.flag) return b.id;
    return IDOK;
}

int EscapeButtonId(MsgDlgButtons buttons) {
    if (buttons & mbCancel) return IDCANCEL;
    if (buttons & mbNo) return IDNO;
    if (buttons & mbOK) return IDOK;
    return IDCANCEL;
}

const wchar_t* IconOf(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Warning: return IDI_WARNING;
    case MsgDlgType::Error: return IDI_ERROR;
    case MsgDlgType::Information: return IDI_INFORMATION;
    case MsgDlgType::Confirmation: return IDI_QUESTION;
    }
    return IDI_INFORMATION;
}

// A lone carriage return starts a new line in these texts; the static control wants CR LF.
std::wstring DisplayText(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && (i + 1 >= text.size() || text[i + 1] != L'\n')) {
            out += L"\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

void LayOut(HWND dlg, DialogState& st) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    st.font.reset(CreateFontIndirectW(&ncm.lfMessageFont));
    HINSTANCE inst = GetModuleHandleW(nullptr);

    const int margin = 12, iconSize = 32, gap = 10, buttonW = 75, buttonH = 25, buttonGap = 6;
    const std::wstring text = DisplayText(st.text);

    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    {
        WindowDC dc(dlg);
        SelectGuard sel(dc.get(), st.font.get());
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }
    int count = 0;
    for (const auto& b : kButtons)
        if (st.buttons & b.flag) ++count;
    const int rowW = count * buttonW + (count - 1) * buttonGap;
    const int textLeft = margin + iconSize + gap;
    const int contentW = std::max<int>(textLeft + textRect.right, rowW) + margin;
    const int textH = std::max<int>(textRect.bottom, iconSize);
    const int buttonsTop = margin + textH + 16;
    const int clientH = buttonsTop + buttonH + margin;

    HWND icon = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, margin,
                                margin, iconSize, iconSize, dlg, nullptr, inst, nullptr);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IconOf(st.type))), 0);
    HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 textLeft, margin + (textH - textRect.bottom) / 2, textRect.right,
                                 textRect.bottom, dlg, nullptr, inst, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(st.font.get()), FALSE);

    int x = (contentW - rowW) / 2;
    HWND defaultButton = nullptr;
    for (const auto& b : kButtons) {
        if (!(st.buttons & b.flag)) continue;
        const bool isDefault = b.id == st.defaultId;
        HWND h = CreateWindowExW(0, L"BUTTON", b.caption,
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                                     (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                 x, buttonsTop, buttonW, buttonH, dlg,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), inst, nullptr);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(st.font.get()), FALSE);
        if (isDefault) defaultButton = h;
        x += buttonW + buttonGap;
    }
    SendMessageW(dlg, DM_SETDEFID, static_cast<WPARAM>(st.defaultId), 0);

    RECT frame{0, 0, contentW, clientH};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT area;
    HWND owner = GetWindow(dlg, GW_OWNER);
    if (owner && IsWindowVisible(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(dlg, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, w, h, SWP_NOZORDER);
    SetWindowTextW(dlg, st.caption.c_str());
    if (defaultButton)
        SetFocus(defaultButton);
}

INT_PTR CALLBACK MessageDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        Guarded([&] { LayOut(dlg, *reinterpret_cast<DialogState*>(lParam)); });
        return FALSE;  // focus was set on the default button
    case WM_COMMAND: {
        if (!st || HIWORD(wParam) != BN_CLICKED) break;
        int id = LOWORD(wParam);
        // Escape and the close box arrive as IDCANCEL.
        if (id == IDCANCEL && !(st->buttons & mbCancel))
            id = st->escapeId;
        if (id == IDYES || id == IDNO || id == IDOK || id == IDCANCEL) {
            EndDialog(dlg, id);
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        if (st) EndDialog(dlg, st->escapeId);
        return TRUE;
    default:
        break;
    }
    return FALSE;
}

int ShowMessageDialog(HWND owner, const std::wstring& text, MsgDlgType type,
                      MsgDlgButtons buttons) {
    if ((buttons & (mbYes | mbNo | mbOK | mbCancel)) == 0)
        buttons = mbOK;
    DialogState st{text, MsgDlgCaption(type), type, buttons, DefaultButtonId(buttons),
                   EscapeButtonId(buttons), {}};
    // An empty template: the controls are made in WM_INITDIALOG, sized to the text.
    alignas(4) WORD tmpl[32] = {};
    auto* dt = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    dt->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND;
    dt->cdit = 0;
    dt->cx = 100;
    dt->cy = 50;
    // menu, class and title follow the header as empty strings (already zero).
    const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dt, owner,
                                              &MessageDialogProc, reinterpret_cast<LPARAM>(&st));
    return r > 0 ? static_cast<int>(r) : st.escapeId;
}

std::wstring FilterToPlatform(const std::wstring& filter) {
    std::wstring out = filter;
    std::replace(out.begin(), out.end(), L'|', L'\0');
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

// The picker opens at the request's folder: it can only be told so once its window exists.
int CALLBACK FolderPickerCallback(HWND picker, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data != 0)
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

class RealModalHost final : public ModalHost {
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT flags) override {
        // Qualified: <windows.h> turns this member's name into MessageBoxW as well, and the
        // unqualified call would find the member itself and recurse.
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }
    int MessageDlg(HWND owner, const std::wstring& text, MsgDlgType type,
                   MsgDlgButtons buttons) override {
        return ShowMessageDialog(owner, text, type, buttons);
    }
    bool SaveDialog(SaveDialogRequest& request) override { return FileDialog(request, GetSaveFileNameW); }
    bool OpenDialog(SaveDialogRequest& request) override { return FileDialog(request, GetOpenFileNameW); }
    static bool FileDialog(SaveDialogRequest& request, BOOL(WINAPI* show)(OPENFILENAMEW*)) {
        std::vector<wchar_t> buffer(32768, L'\0');
        request.fileName.copy(buffer.data(), std::min(request.fileName.size(), buffer.size() - 1));
        const std::wstring filter = FilterToPlatform(request.filter);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = request.owner;
        ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrInitialDir = request.initialDir.empty() ? nullptr : request.initialDir.c_str();
        ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
        ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
        ofn.Flags = request.flags | OFN_EXPLORER;
        if (!show(&ofn))
            return false;
        request.fileName = buffer.data();
        return true;
    }
    bool BrowseForFolder(FolderPickerRequest& request) override {
        wchar_t displayName[MAX_PATH] = {};
        BROWSEINFOW info{};
        info.hwndOwner = request.owner;
        info.pszDisplayName = displayName;
        info.lpszTitle = request.title.empty() ? nullptr : request.title.c_str();
        info.ulFlags = request.flags;
        if (!request.initialDir.empty()) {
            info.lpfn = &FolderPickerCallback;
            info.lParam = reinterpret_cast<LPARAM>(request.initialDir.c_str());
        }
        const PidlHandle picked(SHBrowseForFolderW(&info));
        if (!picked)
            return false;
        // A folder may lie deeper than MAX_PATH characters.
        std::wstring chosen(32768, L'\0');
        if (!SHGetPathFromIDListEx(picked.get(), chosen.data(), static_cast<DWORD>(chosen.size()),
                                   GPFIDL_DEFAULT))
            return false;  // a virtual item such as the printers folder
        chosen.resize(std::wcslen(chosen.c_str()));
        request.path = chosen;
        return true;
    }
    DWORD NetworkDriveDialog(NetworkDialog which, HWND owner, DWORD resourceType) override {
        return which == NetworkDialog::Connect ? WNetConnectionDialog(owner, resourceType)
                                               : WNetDisconnectDialog(owner, resourceType);
    }
    DWORD PropertiesSheet(HWND owner, const std::wstring& path) override {
        SHELLEXECUTEINFOW request{};
        request.cbSize = sizeof(request);
        request.fMask = SEE_MASK_INVOKEIDLIST;
        request.hwnd = owner;
        request.lpVerb = L"properties";
        request.lpFile = path.c_str();
        request.nShow = 0;  // the sheet shows itself
        if (ShellExecuteExW(&request))
            return NO_ERROR;
        const DWORD error = GetLastError();
        return error != NO_ERROR ? error : ERROR_GEN_FAILURE;
    }
    int FolderPrompt(FolderPromptRequest& request) override { return ShowFolderPrompt(request); }
};

ModalHost* g_host = nullptr;

} // namespace

bool ModalHost::OpenDialog(SaveDialogRequest&) { return false; }

bool ModalHost::BrowseForFolder(FolderPickerRequest&) { return false; }

DWORD ModalHost::NetworkDriveDialog(NetworkDialog, HWND, DWORD) { return ERROR_CANCELLED; }

DWORD ModalHost::PropertiesSheet(HWND, const std::wstring&) { return NO_ERROR; }

int ModalHost::FolderPrompt(FolderPromptRequest&) { return mrCancel; }

void ModalHost::RunProgress(ProgressRequest& request) { ProgressWindow::Run(request); }

ModalHost& PlatformModalHost() {
    static RealModalHost host;
    return host;
}

ModalHost* SetModalHost(ModalHost* host) {
    ModalHost* previous = g_host ? g_host : &PlatformModalHost();
    g_host = host;
    return previous;
}

ModalHost& CurrentModalHost() { return g_host ? *g_host : PlatformModalHost(); }

const wchar_t* MsgDlgCaption(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Warning: return L"Warning";
    case MsgDlgType::Error: return L"Error";
    case MsgDlgType::Information: return L"Information";
    case MsgDlgType::Confirmation: return L"Confirm";
    }
    return L"";
}

int MessageDlg(const std::wstring& text, MsgDlgType type, MsgDlgButtons buttons) {
    return CurrentModalHost().MessageDlg(GetActiveWindow(), text, type, buttons);
}

void ShowMessage(const std::wstring& text) { AppMessageBox(text, MB_OK); }

int AppMessageBox(const std::wstring& text, UINT flags) {
    return CurrentModalHost().MessageBox(GetActiveWindow(), text, App().Title(), flags);
}

} // namespace tmb
