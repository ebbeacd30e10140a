// The application object: title, the message loop, termination, pending-message processing
// and the default error report every window-procedure entry falls back on.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace tmb {

class Form;

class Application {
public:
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The title names the taskbar button and captions every plain message box.
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    // The hidden top-level window that owns the main window and shell dialogs.
    HWND Handle();

    Form* MainForm() const { return mainForm_; }
    void SetMainForm(Form* form) { mainForm_ = form; }

    // Runs the message loop until Terminate is called (or WM_QUIT arrives).
    void Run();
    // Ends the message loop at its next turn.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Dispatches every message waiting in the queue, then returns.
    void ProcessMessages();

    // The default error report: a message box with the error icon, one OK button, the
    // title as caption and the error's text, with a period added when the text's last
    // character sorts after ".". The window that was running keeps running. An error raised
    // while a report is open is not reported on top of it.
    void HandleException(const std::exception& error);
    void HandleException(std::exception_ptr error);
    // Replaces the report (a test observes errors this way); an empty function restores it.
    std::function<void(const std::wstring& message)> OnException;

    // The text the default error report shows for `message`.
    static std::wstring ErrorReportText(std::wstring message);

private:
    friend Application& App();
    Application();
    bool ProcessMessage(MSG& msg);

    std::wstring title_;
    HWND handle_ = nullptr;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    bool reporting_ = false;
};

// The one application object of the process.
Application& App();

// Runs `body`; an error escaping from it goes to the default error report. Every callback
// from Windows into C++ (window procedures, hooks, enumerations) is wrapped in this.
template <class F>
void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (...) {
        // The report itself must not throw past this point either (out of memory).
        try {
            App().HandleException(std::current_exception());
        } catch (...) {
        }
    }
}

} // namespace tmb
