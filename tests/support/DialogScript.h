// A scripted stand-in for everything modal: installed for a scope, it answers message
// boxes, message dialogs and save dialogs from a queue and records what was asked. The
// default error report is captured too, so an error shows up as a recorded box.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/Dialogs.h"

namespace tmbtest {

struct ModalCall {
    enum class Kind { MessageBox, MessageDlg, SaveDialog, Error } kind;
    std::wstring text;         // the message, or the save dialog's proposed file name
    std::wstring caption;      // message boxes: their caption; dialogs: the type's caption
    unsigned flags = 0;        // MB_* flags, or the MsgDlgButtons
    tmb::MsgDlgType type = tmb::MsgDlgType::Information;
    tmb::SaveDialogRequest save;  // for save dialogs: the request as shown
};

class DialogScript final : public tmb::ModalHost {
public:
    DialogScript();
    ~DialogScript() override;
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Queues the answer to the next box (IDOK, IDYES, mrNo, ...). Without a queued answer a
    // box is answered with its first button (OK, Yes) and a dialog is cancelled.
    void Answer(int result) { answers_.push_back(result); }
    // Queues the file name the next save dialog returns (an empty name cancels).
    void AnswerSave(const std::wstring& path) { saveAnswers_.push_back(path); }

    const std::vector<ModalCall>& Calls() const { return calls_; }
    // Texts of the recorded calls, in order (errors as the report would show them).
    std::vector<std::wstring> Texts() const;
    void Clear() { calls_.clear(); }

    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT flags) override;
    int MessageDlg(HWND owner, const std::wstring& text, tmb::MsgDlgType type,
                   tmb::MsgDlgButtons buttons) override;
    bool SaveDialog(tmb::SaveDialogRequest& request) override;

private:
    int NextAnswer(int fallback);

    std::deque<int> answers_;
    std::deque<std::wstring> saveAnswers_;
    std::vector<ModalCall> calls_;
    tmb::ModalHost* previous_;
};

} // namespace tmbtest
