// A built program run as a process of its own for one test and driven from outside: started,
// its main window awaited, its child windows found, ended by force if the test leaves it.
#pragma once

#include <windows.h>

#include <string>

namespace tmbtest {

// True once `condition()` holds, polled every 50 ms; false after `ms`.
template <class Condition>
bool WaitFor(Condition condition, DWORD ms = 15000) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50))
        if (condition())
            return true;
    return condition();
}

// The path in the environment variable `variable` (CTest passes the build's) as Windows
// sees it; empty when it is not set.
std::wstring BuiltProgramPath(const char* variable);

// The first window below `parent`, at any depth, with that caption or class name.
HWND ChildWithText(HWND parent, const wchar_t* text);
HWND ChildOfClass(HWND parent, const wchar_t* className);

class ProgramProcess {
public:
    // With `output` the standard output and error streams go there; without, the program has
    // none, as when Explorer starts it.
    ProgramProcess(const std::wstring& path, const wchar_t* windowTitle,
                   const std::wstring& arguments = {}, HANDLE output = nullptr);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    // The main window once it is visible, or null after `ms`.
    HWND WaitForWindow(DWORD ms = 15000) const;
    // True when the process ended within `ms`; its exit code goes to `code`.
    bool WaitForExit(DWORD ms, DWORD* code = nullptr) const;
    // WaitForWindow for a test: a process that did not start fails the test and has none.
    HWND StartedWindow(DWORD ms = 15000) const;

private:
    const wchar_t* title_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};


// A shown dialog-class window ("#32770": a message box, a common dialog) of process `pid`,
// or null.
HWND VisibleDialogOf(DWORD pid);

} // namespace tmbtest
