// The progress window: the task's thread, the state it shares with the window, and the
// message loop that runs until the task has ended.
#include "framework/ProgressWindow.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Handles.h"

namespace tmb {

using namespace progress_window;

// What the task's thread and the window share: the lines last reported, numbered so the
// window copies them only when they changed, and the request to stop.
class ProgressWindow::State final : public ProgressTask {
public:
    bool Cancelled() const override { return cancelled_.load(); }
    void SetLines(std::vector<std::wstring> lines) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        lines_ = std::move(lines);
        ++version_;
    }
    void Cancel() { cancelled_.store(true); }
    // The lines, when they changed since `version`.
    bool LinesSince(unsigned& version, std::vector<std::wstring>& lines) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (version == version_)
            return false;
        version = version_;
        lines = lines_;
        return true;
    }

private:
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::vector<std::wstring> lines_;
    unsigned version_ = 0;
};

namespace {

constexpr UINT_PTR kRefreshTimer = 1;

// A line of text: a static control of the platform, so the line is drawn on its own when it
// changes (not the whole window ten times a second) and screen readers can read it.
class StaticText : public WinControl {
public:
    explicit StaticText(Component* owner) : WinControl(owner) {}

protected:
    void CreateParams(CreateArgs& args) override {
        WinControl::CreateParams(args);
        args.className = L"STATIC";
        args.style |= SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS;
    }
};

} // namespace

ProgressWindow::ProgressWindow(Component* owner, HWND ownerWindow,
                               const ProgressRequest& request, State& state)
    : Form(owner), ownerWindow_(ownerWindow), state_(state) {
    SetName(L"ProgressWindow");
    SetBorderStyle(BorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    GetFont().SetName(L"Tahoma");
    GetFont().SetHeight(-11);
    SetText(request.caption);

    const int count = request.lines.empty() ? 1 : static_cast<int>(request.lines.size());
    int top = kMargin;
    for (int i = 0; i < count; ++i) {
        auto* line = new StaticText(this);
        line->SetBounds(kMargin, top, kClientWidth - 2 * kMargin, kLineHeight);
        if (i < static_cast<int>(request.lines.size()))
            line->SetText(request.lines[i]);
        line->SetParent(this);
        Lines.push_back(line);
        top += kLineHeight + kLineGap;
    }
    top += 2 * kLineGap;

    CancelButton = new Button(this);
    CancelButton->SetName(L"CancelButton");
    CancelButton->SetText(request.cancelCaption);
    CancelButton->SetBounds(kClientWidth - kMargin - kButtonWidth, top, kButtonWidth,
                            kButtonHeight);
    CancelButton->SetParent(this);
    CancelButton->OnClick = [this](Component*) { Cancel(); };
    SetClientSize(kClientWidth, top + kButtonHeight + kMargin);
}

void ProgressWindow::CreateParams(CreateArgs& args) {
    Form::CreateParams(args);
    if (ownerWindow_)
        args.parent = ownerWindow_;
}

void ProgressWindow::HandleCreated() {
    Form::HandleCreated();
    SetTimer(HandleIfAllocated(), kRefreshTimer, kRefreshMs, nullptr);
}

LRESULT ProgressWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            Refresh();
            return 0;
        }
        break;
    case WM_COMMAND:
        // Esc and Enter come from the dialog manager as IDCANCEL and IDOK: both stop, as
        // the window's only button does.
        if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            Cancel();
            return 0;
        }
        break;
    case WM_CLOSE:
        // The window goes when the task has ended, not before: the close box asks it to stop.
        Cancel();
        return 0;
    default:
        break;
    }
    return Form::WndProc(msg, wParam, lParam);
}

void ProgressWindow::Cancel() {
    state_.Cancel();
    CancelButton->SetEnabled(false);
}

void ProgressWindow::Refresh() {
    std::vector<std::wstring> lines;
    if (!state_.LinesSince(shownVersion_, lines))
        return;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const std::wstring text = i < lines.size() ? lines[i] : std::wstring();
        if (Lines[i]->Text() != text)
            Lines[i]->SetText(text);
    }
}

void ProgressWindow::CentreOnOwner() {
    RECT area;
    if (ownerWindow_ && IsWindowVisible(ownerWindow_) && !IsIconic(ownerWindow_))
        GetWindowRect(ownerWindow_, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetBounds(area.left + (area.right - area.left - Width()) / 2,
              area.top + (area.bottom - area.top - Height()) / 2, Width(), Height());
}

void ProgressWindow::PumpUntil(HANDLE finished) {
    // A quit asked for while the task runs (the session ends, the program is told to
    // close) stops the task; the quit itself stays recorded for the program's own loop.
    const bool quitBefore = App().Terminated();
    while (WaitForSingleObject(finished, 0) != WAIT_OBJECT_0) {
        App().ProcessMessages();
        if (!quitBefore && App().Terminated())
            Cancel();
        MsgWaitForMultipleObjectsEx(1, &finished, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void ProgressWindow::Run(ProgressRequest& request) {
    if (!request.task)
        return;
    HWND owner = request.owner ? GetAncestor(request.owner, GA_ROOT) : nullptr;
    KernelHandle finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!finished)
        throw Exception(SysErrorMessage(GetLastError()));
    State state;
    ProgressWindow* window = CreateForm<ProgressWindow>(nullptr, owner, request, state);

    // Whatever happens from here on, the owner works again and the window goes. The owner
    // is enabled first, so activation goes back to it and not to another program.
    const bool disableOwner = owner && IsWindowEnabled(owner);
    struct Restore {
        HWND owner;
        bool enable;
        ProgressWindow* window;
        ~Restore() {
            if (enable)
                EnableWindow(owner, TRUE);
            Destroy(window);
        }
    } restore{owner, disableOwner, window};
    if (disableOwner)
        EnableWindow(owner, FALSE);
    window->CentreOnOwner();
    window->Show();
    window->CancelButton->SetFocus();

    std::exception_ptr error;
    // The thread uses what lives in this frame: the frame is left only once it has ended
    // (asked to stop first if the loop itself should fail).
    struct Worker {
        State& state;
        std::thread thread;
        ~Worker() {
            if (thread.joinable()) {
                state.Cancel();
                thread.join();
            }
        }
    } worker{state, std::thread([&request, &state, &error, event = finished.get()] {
                 try {
                     request.task(state);
                 } catch (...) {
                     error = std::current_exception();
                 }
                 SetEvent(event);
             })};
    window->PumpUntil(finished.get());
    worker.thread.join();
    request.cancelled = state.Cancelled();
    if (error)
        std::rethrow_exception(error);
}

} // namespace tmb
