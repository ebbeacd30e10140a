// Process-wide set-up shared by all test executables.
#include "tests/support/TestEnvironment.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

namespace tmbtest {

void InitTestProcess() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // No "insert a disk" boxes from the system while drives without medium are probed.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

void DoneTestProcess() { CoUninitialize(); }

std::string ExpectedLocale() {
    const char* value = std::getenv("TOMBAREL_EXPECT_LOCALE");
    return value && *value ? value : "en-US";
}

} // namespace tmbtest
