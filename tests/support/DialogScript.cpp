// The scripted modal host.
#include "tests/support/DialogScript.h"

#include "framework/Application.h"

namespace tmbtest {
namespace {

// Takes the next scripted path into `into`; false (a cancel) when none is left or it is empty.
bool NextPath(std::deque<std::wstring>& answers, std::wstring& into) {
    if (answers.empty())
        return false;
    const std::wstring path = answers.front();
    answers.pop_front();
    if (!path.empty())
        into = path;
    return !path.empty();
}

// The task as the script's user sees it: Cancel pressed once it has reported so many times.
class CancellingTask final : public tmb::ProgressTask {
public:
    CancellingTask(tmb::ProgressTask& real, int reports) : real_(real), left_(reports) {}
    bool Cancelled() const override { return left_ <= 0 || real_.Cancelled(); }
    void SetLines(std::vector<std::wstring> lines) override {
        real_.SetLines(std::move(lines));
        --left_;
    }

private:
    tmb::ProgressTask& real_;
    int left_;
};

} // namespace

DialogScript::DialogScript() : previous_(tmb::SetModalHost(this)) {
    tmb::App().OnException = [this](const std::wstring& message) {
        calls_.push_back(ModalCall{ModalCall::Kind::Error,
                                   tmb::Application::ErrorReportText(message),
                                   tmb::App().Title(), MB_OK | MB_ICONERROR, {}, {}, nullptr});
    };
}

DialogScript::~DialogScript() {
    tmb::App().OnException = nullptr;
    tmb::SetModalHost(previous_ == &tmb::PlatformModalHost() ? nullptr : previous_);
}

std::vector<std::wstring> DialogScript::Texts() const {
    std::vector<std::wstring> texts;
    for (const ModalCall& c : calls_)
        texts.push_back(c.text);
    return texts;
}

std::vector<ModalCall> DialogScript::CallsOf(ModalCall::Kind kind) const {
    std::vector<ModalCall> calls;
    for (const ModalCall& c : calls_)
        if (c.kind == kind) calls.push_back(c);
    return calls;
}

int DialogScript::NextAnswer(int fallback) {
    if (answers_.empty())
        return fallback;
    const int a = answers_.front();
    answers_.pop_front();
    return a;
}

int DialogScript::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                             UINT flags) {
    calls_.push_back(ModalCall{ModalCall::Kind::MessageBox, text, caption, flags, {}, {}, owner});
    const UINT buttons = flags & MB_TYPEMASK;
    const int first = (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    return NextAnswer(first);
}

int DialogScript::MessageDlg(HWND owner, const std::wstring& text, tmb::MsgDlgType type,
                             tmb::MsgDlgButtons buttons) {
    calls_.push_back(ModalCall{ModalCall::Kind::MessageDlg, text, tmb::MsgDlgCaption(type),
                               buttons, type, {}, owner});
    const int first = (buttons & tmb::mbYes) ? tmb::mrYes : tmb::mrOk;
    return NextAnswer(first);
}

bool DialogScript::OpenDialog(tmb::SaveDialogRequest& request) {
    calls_.push_back(ModalCall{ModalCall::Kind::OpenDialog, request.fileName, request.title,
                               request.flags, {}, request, request.owner});
    return NextPath(saveAnswers_, request.fileName);
}

bool DialogScript::SaveDialog(tmb::SaveDialogRequest& request) {
    calls_.push_back(ModalCall{ModalCall::Kind::SaveDialog, request.fileName, request.title,
                               request.flags, {}, request, request.owner});
    return NextPath(saveAnswers_, request.fileName);
}

bool DialogScript::BrowseForFolder(tmb::FolderPickerRequest& request) {
    if (systemDialogs_)
        return tmb::PlatformModalHost().BrowseForFolder(request);
    calls_.push_back(ModalCall{ModalCall::Kind::FolderPicker, request.initialDir, request.title,
                               request.flags, {}, {}, request.owner});
    return NextPath(folderAnswers_, request.path);
}

DWORD DialogScript::NetworkDriveDialog(tmb::NetworkDialog which, HWND owner,
                                       DWORD resourceType) {
    if (systemDialogs_)
        return tmb::PlatformModalHost().NetworkDriveDialog(which, owner, resourceType);
    calls_.push_back(ModalCall{which == tmb::NetworkDialog::Connect ? ModalCall::Kind::NetConnect
                                                                    : ModalCall::Kind::NetDisconnect,
                               {}, {}, resourceType, {}, {}, owner});
    if (networkAnswers_.empty())
        return ERROR_CANCELLED;
    NetworkAnswer answer = std::move(networkAnswers_.front());
    networkAnswers_.pop_front();
    if (answer.effect)
        answer.effect();
    return answer.result;
}

DWORD DialogScript::PropertiesSheet(HWND owner, const std::wstring& path) {
    if (systemDialogs_)
        return tmb::PlatformModalHost().PropertiesSheet(owner, path);
    calls_.push_back(ModalCall{ModalCall::Kind::Properties, path, {}, 0, {}, {}, owner});
    if (propertiesAnswers_.empty())
        return NO_ERROR;
    const DWORD result = propertiesAnswers_.front();
    propertiesAnswers_.pop_front();
    return result;
}

int DialogScript::FolderPrompt(tmb::FolderPromptRequest& request) {
    calls_.push_back(ModalCall{ModalCall::Kind::FolderPrompt, request.text, request.caption, 0,
                               {}, {}, request.owner});
    if (promptAnswers_.empty())
        return tmb::mrCancel;
    auto [result, text] = promptAnswers_.front();
    promptAnswers_.pop_front();
    if (result == tmb::mrOk)
        request.text = text;
    return result;
}

void DialogScript::RunProgress(tmb::ProgressRequest& request) {
    calls_.push_back(ModalCall{ModalCall::Kind::Progress, {}, request.caption, 0, {}, {},
                               request.owner});
    if (!progressCancels_.empty()) {
        const int reports = progressCancels_.front();
        progressCancels_.pop_front();
        auto task = std::move(request.task);
        request.task = [task, reports](tmb::ProgressTask& real) {
            CancellingTask scripted(real, reports);
            task(scripted);
        };
    }
    tmb::ModalHost::RunProgress(request);
}

} // namespace tmbtest
