// The one seam for everything modal: plain message boxes, the platform's message dialogs
// ("Confirm" with "&Yes"/"&No"/"OK", "Error", "Warning", "Information"), the save dialog, the
// folder picker, the network-drive dialogs, the shell's properties sheet and the progress
// window of a long task. Production shows
// the real thing; a test installs a ModalHost that answers and records.
//
// A new modal window joins the same way: a request struct (what it is asked, and its answer
// as an out field), one pure virtual member here, the real window in the platform host and a
// scripted answer in the tests' host.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tmb {

enum class MsgDlgType { Warning, Error, Information, Confirmation };

// Buttons of a message dialog; they are shown in this order as far as present.
enum MsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
};
using MsgDlgButtons = unsigned;

// Results of a modal box; the values are those of the platform's IDOK, IDYES, ...
enum ModalResult : int {
    mrNone = 0,
    mrOk = IDOK,
    mrCancel = IDCANCEL,
    mrYes = IDYES,
    mrNo = IDNO,
};

// What a save dialog is asked and what it answers.
struct SaveDialogRequest {
    HWND owner = nullptr;
    std::wstring title;
    std::wstring filter;       // "Description|*.ext|..." pairs
    std::wstring defaultExt;   // without the dot
    std::wstring initialDir;
    std::wstring fileName;     // in: the proposed name; out: the chosen path
    DWORD flags = 0;           // OFN_* flags
};

// What the folder picker is asked and what it answers.
struct FolderPickerRequest {
    HWND owner = nullptr;
    std::wstring title;        // the text above the folder tree
    UINT flags = 0;            // BIF_* flags
    std::wstring initialDir;   // the folder selected when the picker opens; empty: its root
    std::wstring path;         // out: the picked folder's file-system path, without a final "\"
                               // except at a drive root
};

// The prompt for a destination folder: a caption, a line of prompt, an edit box and the
// buttons OK, Cancel and Browse (built in code by ShowFolderPrompt).
struct FolderPromptRequest {
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring prompt;
    std::wstring text;          // in: the edit box's text; out: the text when closed with OK
    std::wstring cancelCaption;
    std::wstring browseCaption;
};
// What the prompt answers when its Browse button is pressed.
inline constexpr int mrBrowse = 10;

// The system's two network-drive dialogs.
enum class NetworkDialog { Connect, Disconnect };

// What a task run behind a progress window sees of it. Called on the task's own thread.
class ProgressTask {
public:
    virtual ~ProgressTask() = default;
    // True once the user asked to stop (Cancel, Esc, Enter, the close box): the task should
    // then end soon, the way it ends when stopped.
    virtual bool Cancelled() const = 0;
    // The texts to show, one a line. The window shows the latest ones at its next refresh
    // (every tenth of a second), so a task may report as often as it likes.
    virtual void SetLines(std::vector<std::wstring> lines) = 0;
};

// A long task and the window it runs behind: the task runs on a thread of its own while the
// window shows the lines it reports and a Cancel button, its owner disabled meanwhile.
struct ProgressRequest {
    HWND owner = nullptr;
    std::wstring caption;
    std::vector<std::wstring> lines;  // shown until the task reports; so many lines it has
    std::wstring cancelCaption = L"Cancel";
    std::function<void(ProgressTask&)> task;
    bool cancelled = false;  // out: the user asked to stop
};

// Everything modal passes through the installed host.
class ModalHost {
public:
    virtual ~ModalHost() = default;
    // A plain platform message box; returns IDOK, IDYES, ...
    virtual int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                           UINT flags) = 0;
    // A message dialog; returns an ModalResult.
    virtual int MessageDlg(HWND owner, const std::wstring& text, MsgDlgType type,
                           MsgDlgButtons buttons) = 0;
    // The save dialog; false when cancelled (request.fileName is then unchanged).
    virtual bool SaveDialog(SaveDialogRequest& request) = 0;
    // The dialogs below have answers of their own unless a host overrides them (cancelled;
    // the properties sheet as if shown), so a stand-in that cares only about the boxes never
    // shows a real window by omission. The platform host overrides them all.

    // The open dialog, asked as the save dialog is (OFN_FILEMUSTEXIST and the like in
    // `flags`); false when cancelled.
    virtual bool OpenDialog(SaveDialogRequest& request);
    // The shell's folder picker; false when cancelled or when the pick is no file-system
    // folder (the printers, the network neighbourhood), request.path is then unchanged.
    virtual bool BrowseForFolder(FolderPickerRequest& request);
    // WNetConnectionDialog / WNetDisconnectDialog for `resourceType` (RESOURCETYPE_DISK);
    // returns the system's result: NO_ERROR, ERROR_CANCELLED, ERROR_NO_NETWORK, ...
    virtual DWORD NetworkDriveDialog(NetworkDialog which, HWND owner, DWORD resourceType);
    // The shell's properties sheet of a file, folder or drive (it runs modeless in the shell;
    // the call returns once it is up). Returns NO_ERROR, or the system's error code.
    virtual DWORD PropertiesSheet(HWND owner, const std::wstring& path);
    // The destination-folder prompt; returns mrOk (request.text holds the edit box's text),
    // mrCancel or mrBrowse.
    virtual int FolderPrompt(FolderPromptRequest& request);
    // Runs request.task behind the progress window and returns once the task has ended; an
    // error the task raised is raised again here, on the caller's thread. The window waits
    // for nobody, so the real one is also what a host that does not override this shows.
    virtual void RunProgress(ProgressRequest& request);
};

// The host that shows real windows.
ModalHost& PlatformModalHost();

// Installs `host` (nullptr restores the platform host); returns the previous one.
ModalHost* SetModalHost(ModalHost* host);
ModalHost& CurrentModalHost();

// The caption a message dialog of this type carries ("Warning", "Error", "Information",
// "Confirm").
const wchar_t* MsgDlgCaption(MsgDlgType type);

// A message dialog owned by the active window: icon of its type, buttons in the order Yes,
// No, OK, Cancel as far as present. Enter takes OK when present, else Yes, else the first
// button; Escape takes Cancel when present, else No, else OK.
int MessageDlg(const std::wstring& text, MsgDlgType type, MsgDlgButtons buttons);

// A plain message box with the application title and one OK button.
void ShowMessage(const std::wstring& text);

// A platform message box with the application title as caption.
int AppMessageBox(const std::wstring& text, UINT flags);

} // namespace tmb
