// The scripted modal host.
#include "tests/support/DialogScript.h"

#include "framework/Application.h"

namespace tmbtest {

DialogScript::DialogScript() : previous_(tmb::SetModalHost(this)) {
    tmb::App().OnException = [this](const std::wstring& message) {
        calls_.push_back(ModalCall{ModalCall::Kind::Error,
                                   tmb::Application::ErrorReportText(message),
                                   tmb::App().Title(), MB_OK | MB_ICONERROR, {}, {}});
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

int DialogScript::NextAnswer(int fallback) {
    if (answers_.empty())
        return fallback;
    const int a = answers_.front();
    answers_.pop_front();
    return a;
}

int DialogScript::MessageBox(HWND, const std::wstring& text, const std::wstring& caption,
                             UINT flags) {
    calls_.push_back(ModalCall{ModalCall::Kind::MessageBox, text, caption, flags, {}, {}});
    const UINT buttons = flags & MB_TYPEMASK;
    const int first = (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    return NextAnswer(first);
}

int DialogScript::MessageDlg(HWND, const std::wstring& text, tmb::MsgDlgType type,
                             tmb::MsgDlgButtons buttons) {
    calls_.push_back(ModalCall{ModalCall::Kind::MessageDlg, text, tmb::MsgDlgCaption(type),
                               buttons, type, {}});
    const int first = (buttons & tmb::mbYes) ? tmb::mrYes : tmb::mrOk;
    return NextAnswer(first);
}

bool DialogScript::SaveDialog(tmb::SaveDialogRequest& request) {
    calls_.push_back(ModalCall{ModalCall::Kind::SaveDialog, request.fileName, request.title,
                               request.flags, {}, request});
    if (saveAnswers_.empty())
        return false;
    const std::wstring path = saveAnswers_.front();
    saveAnswers_.pop_front();
    if (path.empty())
        return false;
    request.fileName = path;
    return true;
}

} // namespace tmbtest
