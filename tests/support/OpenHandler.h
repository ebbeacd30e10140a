// An "open" command for an extension of the test's own, registered under HKCR (Wine reads file
// associations from there, not from HKCU): opening a file of that extension copies it to a
// marker path, so a test sees that the shell opened it and with which file.
#pragma once

#include <windows.h>

#include <string>

namespace tmbtest {

class OpenHandler {
public:
    OpenHandler(const std::wstring& extension, const std::wstring& marker);
    ~OpenHandler();
    OpenHandler(const OpenHandler&) = delete;
    OpenHandler& operator=(const OpenHandler&) = delete;

private:
    std::wstring ext_;
    std::wstring progId_;
};

// Waits, pumping messages, until `path` exists and its writer has closed it; false after
// `ms` milliseconds without it.
bool WaitForFile(const std::wstring& path, DWORD ms = 10000);

} // namespace tmbtest
