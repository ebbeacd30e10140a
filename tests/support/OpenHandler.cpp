// The test's own file association and the wait for what it writes.
#include "tests/support/OpenHandler.h"

#include "framework/Registry.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace tmbtest {

OpenHandler::OpenHandler(const std::wstring& extension, const std::wstring& marker)
    : ext_(extension), progId_(L"TombarelTest" + extension) {
    tmb::Registry classes(HKEY_CLASSES_ROOT);
    classes.OpenKey(ext_, true);
    classes.WriteString(L"", progId_);
    classes.OpenKey(progId_ + L"\\shell\\open\\command", true);
    classes.WriteString(L"", L"C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"" + marker + L"\"");
}

OpenHandler::~OpenHandler() {
    tmb::Registry classes(HKEY_CLASSES_ROOT);
    classes.DeleteKey(ext_);
    classes.DeleteKey(progId_);
}

bool WaitForFile(const std::wstring& path, DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        // Only once the program writing it has closed it: a caller may delete it next.
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        PumpFor(50);
    }
    return false;
}

} // namespace tmbtest
