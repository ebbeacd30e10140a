#include "tests/support/ProgramProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/TextConv.h"

namespace tmbtest {

std::wstring BuiltProgramPath(const char* variable) {
    const char* exe = std::getenv(variable);
    if (!exe || !*exe)
        return {};
    std::wstring path = tmb::Utf8ToWide(exe);
    const bool unixPath = path[0] == L'/';
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return unixPath ? L"Z:" + path : path;  // Z: is Wine's drive for the Unix root
}

namespace {

struct ChildSearch {
    const wchar_t* wanted;
    bool byClass;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t text[256] = {};
    (search->byClass ? GetClassNameW : GetWindowTextW)(hwnd, text, 256);
    if ((search->byClass ? lstrcmpiW : lstrcmpW)(text, search->wanted) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, const wchar_t* wanted, bool byClass) {
    ChildSearch search{wanted, byClass, nullptr};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

HWND ChildWithText(HWND parent, const wchar_t* text) { return FindChild(parent, text, false); }
HWND ChildOfClass(HWND parent, const wchar_t* className) { return FindChild(parent, className, true); }

ProgramProcess::ProgramProcess(const std::wstring& path, const wchar_t* windowTitle,
                               const std::wstring& arguments, HANDLE output)
    : title_(windowTitle) {
    std::wstring cmd = L"\"" + path + L"\"";
    if (!arguments.empty())
        cmd += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = output;
    started_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, output ? TRUE : FALSE, 0,
                              nullptr, nullptr, &si, &pi_) != FALSE;
}

ProgramProcess::~ProgramProcess() {
    if (!started_)
        return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

HWND ProgramProcess::WaitForWindow(DWORD ms) const {
    HWND found = nullptr;
    WaitFor([&] {
        HWND window = FindWindowW(nullptr, title_);
        DWORD pid = 0;
        if (window)
            GetWindowThreadProcessId(window, &pid);
        if (pid == pi_.dwProcessId && IsWindowVisible(window))
            found = window;
        return found != nullptr;
    }, ms);
    return found;
}

bool ProgramProcess::WaitForExit(DWORD ms, DWORD* code) const {
    if (!started_ || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0)
        return false;
    if (code)
        GetExitCodeProcess(pi_.hProcess, code);
    return true;
}

HWND ProgramProcess::StartedWindow(DWORD ms) const {
    EXPECT_TRUE(started_) << "the program did not start";
    return started_ ? WaitForWindow(ms) : nullptr;
}

namespace {

struct DialogSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

} // namespace

HWND VisibleDialogOf(DWORD pid) {
    DialogSearch search{pid, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace tmbtest
