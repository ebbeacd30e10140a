// The window a long task runs behind: a few lines of text the task keeps up to date and a
// Cancel button. The task runs on a thread of its own and never touches a window; the window
// keeps pumping messages, so neither it nor its disabled owner ever stops answering.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Dialogs.h"
#include "framework/Form.h"
#include "framework/StdControls.h"

namespace tmb {

// Geometry at 96 DPI, client coordinates.
namespace progress_window {
inline constexpr int kClientWidth = 440;
inline constexpr int kMargin = 12;
inline constexpr int kLineHeight = 16, kLineGap = 4;
inline constexpr int kButtonWidth = 75, kButtonHeight = 25;
inline constexpr UINT kRefreshMs = 100;
} // namespace progress_window

class ProgressWindow : public Form {
public:
    // Shows the window, runs request.task and returns once the task has ended (what
    // ModalHost::RunProgress does in production).
    static void Run(ProgressRequest& request);

    // One static text a line, shortened in the middle when too long ("C:\...\folder").
    std::vector<WinControl*> Lines;
    Button* CancelButton = nullptr;

    class State;
    ProgressWindow(Component* owner, HWND ownerWindow, const ProgressRequest& request,
                   State& state);

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Cancel();
    // Shows the lines the task reported last, if they changed.
    void Refresh();
    // Runs the message loop until `finished` is signalled.
    void PumpUntil(HANDLE finished);
    void CentreOnOwner();

    HWND ownerWindow_;
    State& state_;
    unsigned shownVersion_ = 0;
};

} // namespace tmb
