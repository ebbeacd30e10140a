// A scripted stand-in for everything modal: installed for a scope, it answers message
// boxes, message dialogs, save dialogs, the folder picker, the network-drive dialogs and the
// properties sheet from queues and records what was asked. Progress windows are the real
// ones, recorded; the script can have their task see Cancel pressed. The default error report is
// captured too, so an error shows up as a recorded box.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/Dialogs.h"

namespace tmbtest {

struct ModalCall {
    enum class Kind {
        MessageBox,
        MessageDlg,
        SaveDialog,
        OpenDialog,
        Error,
        FolderPicker,
        NetConnect,
        NetDisconnect,
        Properties,
        FolderPrompt,
        Progress,
    } kind;
    // The message; the save dialog's proposed file name; the picker's initial folder; the
    // properties sheet's path.
    std::wstring text;
    // Message boxes: their caption; dialogs: the type's caption; save dialog and picker: the
    // title; a progress window: its caption.
    std::wstring caption;
    // MB_* flags, the MsgDlgButtons, OFN_* or BIF_* flags, or the network resource type.
    unsigned flags = 0;
    tmb::MsgDlgType type = tmb::MsgDlgType::Information;
    tmb::SaveDialogRequest save;  // for save dialogs: the request as shown
    HWND owner = nullptr;
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
    // Queues the file name the next save or open dialog returns (an empty name cancels).
    void AnswerSave(const std::wstring& path) { saveAnswers_.push_back(path); }
    // Queues the folder the next folder picker returns (an empty path cancels). Without one
    // the picker is cancelled.
    void AnswerFolder(const std::wstring& path) { folderAnswers_.push_back(path); }
    // Queues the result of the next network-drive dialog; `effect` runs first, as the user's
    // doing inside the dialog (a drive mapped or removed). Without one the dialog returns
    // ERROR_CANCELLED.
    void AnswerNetwork(DWORD result, std::function<void()> effect = {}) {
        networkAnswers_.push_back({result, std::move(effect)});
    }
    // Queues the result of the next properties sheet (NO_ERROR: it was shown). Without one
    // the sheet is shown.
    void AnswerProperties(DWORD result) { propertiesAnswers_.push_back(result); }
    // Queues the answer to the next folder prompt: mrOk with the text typed, mrCancel or
    // mrBrowse. Without one the prompt is cancelled.
    void AnswerPrompt(int result, const std::wstring& text = {}) {
        promptAnswers_.push_back({result, text});
    }

    // Queues Cancel for the next progress window: its task sees it pressed once it has
    // reported `reports` times (0: from the start).
    void CancelProgress(int reports = 0) { progressCancels_.push_back(reports); }

    const std::vector<ModalCall>& Calls() const { return calls_; }
    // Texts of the recorded calls, in order (errors as the report would show them).
    std::vector<std::wstring> Texts() const;
    // The recorded calls of one kind.
    std::vector<ModalCall> CallsOf(ModalCall::Kind kind) const;
    void Clear() { calls_.clear(); }
    // From now on the folder picker, the network-drive dialogs and the properties sheet are
    // the system's own, shown for real (a test answers them with ModalAutoAnswer), unrecorded.
    void ShowSystemDialogs() { systemDialogs_ = true; }

    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT flags) override;
    int MessageDlg(HWND owner, const std::wstring& text, tmb::MsgDlgType type,
                   tmb::MsgDlgButtons buttons) override;
    bool SaveDialog(tmb::SaveDialogRequest& request) override;
    bool OpenDialog(tmb::SaveDialogRequest& request) override;
    // The next queued file name into `request`; false when none or empty (cancelled).
    bool BrowseForFolder(tmb::FolderPickerRequest& request) override;
    DWORD NetworkDriveDialog(tmb::NetworkDialog which, HWND owner, DWORD resourceType) override;
    DWORD PropertiesSheet(HWND owner, const std::wstring& path) override;
    int FolderPrompt(tmb::FolderPromptRequest& request) override;
    void RunProgress(tmb::ProgressRequest& request) override;

private:
    struct NetworkAnswer {
        DWORD result;
        std::function<void()> effect;
    };
    int NextAnswer(int fallback);

    std::deque<int> answers_;
    std::deque<std::wstring> saveAnswers_;
    std::deque<std::wstring> folderAnswers_;
    std::deque<NetworkAnswer> networkAnswers_;
    std::deque<DWORD> propertiesAnswers_;
    std::deque<std::pair<int, std::wstring>> promptAnswers_;
    std::deque<int> progressCancels_;
    std::vector<ModalCall> calls_;
    tmb::ModalHost* previous_;
    bool systemDialogs_ = false;
};

} // namespace tmbtest
