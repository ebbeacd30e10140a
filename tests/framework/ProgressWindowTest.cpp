// The progress window, run for real: its task, on a thread of its own, looks at the window
// from outside as another program would and presses its keys.
#include "framework/ProgressWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

constexpr wchar_t kCaption[] = L"Catalogando (teste)";

BOOL CALLBACK CollectChild(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

std::wstring TextOf(HWND h) {
    wchar_t text[512] = {};
    return std::wstring(text, GetWindowTextW(h, text, 512));
}

bool WaitFor(const std::function<bool()>& condition) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(5))
        if (GetTickCount() - start > 10000)
            return false;
    return true;
}

// Every way a run ends: the task's own end after it reported, Esc, Enter, the close box, and
// an error of the task.
TEST(ProgressWindow, RunsItsTaskOnAThreadOfItsOwnAndEndsWithItHoweverItStops) {
    tmbtest::TestForm owner;
    enum Way { Done, Esc, Enter, CloseBox, Error };
    for (Way way : {Done, Esc, Enter, CloseBox, Error}) {
        DWORD thread = GetCurrentThreadId();
        bool ownerDisabled = false, seen = false;
        tmb::ProgressRequest request;
        request.owner = owner.Handle();
        request.caption = kCaption;
        request.lines = {L"Pastas: 0", L""};
        request.task = [&](tmb::ProgressTask& progress) {
            thread = GetCurrentThreadId();
            ownerDisabled = !IsWindowEnabled(owner.Handle());
            HWND window = FindWindowW(nullptr, kCaption);
            std::vector<HWND> controls;  // the lines, then the button (with the focus)
            EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&controls));
            HWND button = controls.size() == 3 ? controls[2] : nullptr;
            if (way == Error)
                throw tmb::EFCreateError(L"C:\\cheio\\Catalogo.htm", ERROR_DISK_FULL);
            if (way == Done) {
                const std::wstring counts = L"Pastas: 1.234  Arquivos: 56.789";
                const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\fim";
                progress.SetLines({counts, deep});
                // Shown at a refresh: the window's thread runs while the task works.
                seen = button && TextOf(button) == L"Cancel" &&
                       WaitFor([&] { return TextOf(controls[0]) == counts; }) &&
                       TextOf(controls[1]) == deep;
                return;
            }
            const WPARAM key = way == Esc ? VK_ESCAPE : VK_RETURN;
            if (way == CloseBox)
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                PostMessageW(button, WM_KEYDOWN, key, 1);
            seen = WaitFor([&] { return progress.Cancelled(); });
        };
        if (way == Error)
            EXPECT_THROW(tmb::ProgressWindow::Run(request), tmb::EFCreateError);
        else
            tmb::ProgressWindow::Run(request);
        EXPECT_NE(thread, GetCurrentThreadId()) << way;
        EXPECT_TRUE(ownerDisabled) << way;
        EXPECT_EQ(seen, way != Error) << way;
        EXPECT_EQ(request.cancelled, way == Esc || way == Enter || way == CloseBox) << way;
        EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << way;
        EXPECT_EQ(FindWindowW(nullptr, kCaption), nullptr) << way;
    }
}

} // namespace
