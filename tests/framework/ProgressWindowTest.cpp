// The progress window, run for real: the task on its own thread looks at the window from
// outside, as another program would, and presses its keys and buttons.
#include "framework/ProgressWindow.h"

#include <gtest/gtest.h>

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

// The window's controls in creation order: the lines, then the Cancel button.
std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::wstring TextOf(HWND h) {
    wchar_t text[512] = {};
    GetWindowTextW(h, text, 512);
    return text;
}

template <class Condition>
bool WaitFor(Condition condition, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(5);
    }
    return true;
}

tmb::ProgressRequest Request(HWND owner, std::function<void(tmb::ProgressTask&)> task) {
    tmb::ProgressRequest request;
    request.owner = owner;
    request.caption = kCaption;
    request.lines = {L"Pastas: 0  Arquivos: 0", L""};
    request.cancelCaption = L"Cancelar";
    request.task = std::move(task);
    return request;
}

TEST(ProgressWindow, RunsTheTaskOnItsOwnThreadShowsItsReportsAndKeepsAnswering) {
    tmbtest::TestForm owner;
    const DWORD ui = GetCurrentThreadId();
    DWORD taskThread = 0;
    bool ownerDisabled = false, shown = false, answered = false;
    std::vector<std::wstring> before;
    auto request = Request(owner.Handle(), [&](tmb::ProgressTask& progress) {
        taskThread = GetCurrentThreadId();
        ownerDisabled = !IsWindowEnabled(owner.Handle());
        HWND window = FindWindowW(nullptr, kCaption);
        const std::vector<HWND> children = Children(window);
        for (HWND child : children)
            before.push_back(TextOf(child));
        const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\pasta final";
        progress.SetLines({L"Pastas: 1.234  Arquivos: 56.789", deep});
        shown = children.size() == 3 &&
                WaitFor([&] { return TextOf(children[0]) == L"Pastas: 1.234  Arquivos: 56.789"; }) &&
                TextOf(children[1]) == deep;
        // The window's thread answers at once while the task is busy.
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    });
    tmb::ProgressWindow::Run(request);

    EXPECT_NE(taskThread, ui);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(before, (std::vector<std::wstring>{L"Pastas: 0  Arquivos: 0", L"", L"Cancelar"}));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(request.cancelled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(FindWindowW(nullptr, kCaption), nullptr);
}

TEST(ProgressWindow, EscEnterTheButtonAndTheCloseBoxAskTheTaskToStop) {
    tmbtest::TestForm owner;
    enum Way { Esc, Enter, Click, CloseBox };
    for (Way way : {Esc, Enter, Click, CloseBox}) {
        bool stopped = false;
        auto request = Request(owner.Handle(), [&](tmb::ProgressTask& progress) {
            HWND window = FindWindowW(nullptr, kCaption);
            const std::vector<HWND> children = Children(window);
            HWND button = children.empty() ? nullptr : children.back();
            // The focus starts on the button: keys go to it, as the user's would.
            if (way == Esc || way == Enter) {
                const WPARAM key = way == Esc ? VK_ESCAPE : VK_RETURN;
                PostMessageW(button, WM_KEYDOWN, key, 1);
                PostMessageW(button, WM_KEYUP, key, 0xC0000001);
            } else if (way == Click) {
                PostMessageW(button, BM_CLICK, 0, 0);
            } else {
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            stopped = WaitFor([&] { return progress.Cancelled(); });
        });
        tmb::ProgressWindow::Run(request);
        EXPECT_TRUE(stopped) << way;
        EXPECT_TRUE(request.cancelled) << way;
        EXPECT_EQ(FindWindowW(nullptr, kCaption), nullptr) << way;
    }
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(ProgressWindow, AnErrorOfTheTaskIsRaisedAgainOnTheCallersThreadAfterTheWindowWent) {
    tmbtest::TestForm owner;
    auto request = Request(owner.Handle(), [](tmb::ProgressTask&) {
        throw tmb::EFCreateError(L"C:\\cheio\\Catalogo.htm", ERROR_DISK_FULL);
    });
    try {
        tmb::ProgressWindow::Run(request);
        ADD_FAILURE() << "no error";
    } catch (const tmb::EFCreateError& e) {
        EXPECT_NE(e.Message().find(L"C:\\cheio\\Catalogo.htm"), std::wstring::npos);
    }
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(FindWindowW(nullptr, kCaption), nullptr);
}

} // namespace
