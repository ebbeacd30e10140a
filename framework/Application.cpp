// The application object and the default error report.
#include "framework/Application.h"

#include "framework/Dialogs.h"
#include "framework/Dpi.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/TextConv.h"

namespace tmb {
namespace {

LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATE:
    case WM_SETFOCUS:
        // The application window only carries the taskbar button: hand activation to the
        // main window.
        if (msg == WM_SETFOCUS || LOWORD(wParam) != WA_INACTIVE) {
            if (Form* f = App().MainForm();
                f && f->HandleAllocated() && IsWindowVisible(f->HandleIfAllocated()))
                SetActiveWindow(f->HandleIfAllocated());
            return 0;
        }
        break;
    case WM_CLOSE:
        Guarded([] {
            if (Form* f = App().MainForm())
                f->Close();
            else
                App().Terminate();
        });
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

// The process says it draws for the display's DPI before its first window exists.
Application::Application() { DeclareDpiAwareness(); }

Application& App() {
    static Application app;
    return app;
}

void Application::SetTitle(const std::wstring& title) {
    title_ = title;
    if (handle_)
        SetWindowTextW(handle_, title_.c_str());
}

HWND Application::Handle() {
    if (!handle_) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &AppWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        wc.lpszClassName = L"TombarelApplication";
        RegisterClassExW(&wc);
        handle_ = CreateWindowExW(0, wc.lpszClassName, title_.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU |
                                      WS_MINIMIZEBOX,
                                  GetSystemMetrics(SM_CXSCREEN) / 2,
                                  GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    return handle_;
}

bool Application::ProcessMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    // Tab, arrows and the default button work the way the dialog manager does them.
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && dynamic_cast<Form*>(WinControl::FromHandle(top)) && IsDialogMessageW(top, &msg))
        return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void Application::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void Application::Run() {
    terminated_ = false;
    while (!terminated_) {
        MSG msg;
        if (!ProcessMessage(msg)) {
            if (terminated_)
                break;
            WaitMessage();
        }
    }
}

void Application::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

std::wstring Application::ErrorReportText(std::wstring message) {
    // A text ending in a letter, digit or other character after "." gets a period.
    if (!message.empty() && message.back() > L'.')
        message += L'.';
    return message;
}

void Application::HandleException(const std::exception& error) {
    std::wstring message;
    if (auto* e = dynamic_cast<const Exception*>(&error))
        message = e->Message();
    else
        message = Utf8ToWide(error.what());
    if (OnException) {
        OnException(message);
        return;
    }
    // One report at a time: an error raised while the box runs its message loop (a paint, a
    // timer, a second failure of the same action) is not shown on top of it.
    if (reporting_)
        return;
    struct Reporting {
        bool& flag;
        explicit Reporting(bool& f) : flag(f) { flag = true; }
        ~Reporting() { flag = false; }
    } reporting(reporting_);
    HWND owner = GetActiveWindow();
    CurrentModalHost().MessageBox(owner, ErrorReportText(message), title_,
                                  MB_OK | MB_ICONERROR);
}

void Application::HandleException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception(L"Unknown error"));
    }
}

} // namespace tmb
