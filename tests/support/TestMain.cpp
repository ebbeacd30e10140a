// The entry of every test executable: the process is set up as the program sets itself up
// (common controls, COM on this thread, the application title), then GoogleTest runs.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "tests/support/TestEnvironment.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    tmbtest::InitTestProcess();
    // The display is shared by the test executables one after another: the pointer starts
    // in a corner, not over whatever the executable before left under it.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    // Nor does the clipboard carry over: files left there by the executable before would be
    // another program's files, which a file list offers to paste.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    const int result = RUN_ALL_TESTS();
    tmbtest::DoneTestProcess();
    return result;
}
