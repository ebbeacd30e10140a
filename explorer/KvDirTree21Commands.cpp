// The directory tree's folder commands: a new folder, delete, cut or copy and paste, the
// tree size, the folder-contents window, network drives and the properties dialog.
#include "explorer/KvDirTree21.h"

#include <winnetwk.h>

#include "explorer/KvClipboard.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "explorer/KvFolderContents.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Locale.h"
#include "framework/ScopedHourglass.h"
#include "framework/TextConv.h"

namespace kv {

std::wstring ContentsPath;

std::wstring TKvDirTree21::SelectedNodePath() {
    return HandleAllocated() ? GetNodePath(Selected()) : std::wstring();
}

bool TKvDirTree21::AddNewFolder(HTREEITEM node, const std::wstring& name) {
    if (!node && HandleAllocated())
        node = Selected();
    if (!node)
        return false;
    if (Level(node) == 0) {
        tmb::MessageDlg(KvMessages.StrError + KvMessages.StrNoAddDrives, tmb::MsgDlgType::Error,
                        tmb::mbOK);
        return false;
    }
    const bool byDefault = name.empty();
    const std::wstring folderName = byDefault ? KvMessages.StrNewFolder : name;
    if (HasAnyChar(kTreeBadNameChars, folderName)) {
        MessageBeep(MB_ICONHAND);
        tmb::MessageDlg(KvMessages.StrBadChars, tmb::MsgDlgType::Error, tmb::mbOK);
        return false;
    }
    const std::wstring parentPath = GetNodePath(node);  // the node itself goes with Reload
    const std::wstring newPath = AddSlash(parentPath) + folderName;
    {
        tmb::UpdateBracket bracket(*this);
        if (!CreateDirectoryW(newPath.c_str(), nullptr))
            return false;  // it exists, or no access: no message
        // The combo's tree learns of the folder before it is asked to show it.
        if (fileList_)
            fileList_->TellLinksChanged(parentPath);
        Reload();
        LocatePath(AddSlash(newPath));
    }
    // Only a folder that was made waits for its name: a failed attempt must not let the
    // next rename of another folder skip its question.
    if (byDefault) {
        namingNewFolder_ = true;
        if (HTREEITEM made = Selected())
            EditCaption(made);
    }
    return true;
}

void TKvDirTree21::EditSelected() {
    if (HandleAllocated() && Selected() && !ReadOnly())
        EditCaption(Selected());
}

bool TKvDirTree21::DeleteFolder(HTREEITEM node) {
    if (!node && HandleAllocated())
        node = Selected();
    if (!node || Level(node) < 2)
        return false;
    tmb::ScopedHourglass hourglass;
    const std::wstring path = GetNodePath(node);
    if (!DirectoryExists(path)) {
        MessageBeep(MB_ICONHAND);
        tmb::MessageDlg(path + KvMessages.StrNotFound, tmb::MsgDlgType::Error, tmb::mbOK);
        return false;
    }
    // The shell asks, and moves the folder to the recycle bin.
    if (!DoFileOperation(FileOpCode[foDelete], DelSlash(path), std::wstring()))
        return false;
    Select(ParentOf(node));
    Delete(node);
    if (fileList_) {
        TellFileList(GetNodePath(Selected()));
        fileList_->FollowTreeChange(GetNodePath(Selected()));
    }
    return true;
}

void TKvDirTree21::ClearPendingPaste() {
    pastePending_ = false;
    pendingOperation_ = -1;
}

void TKvDirTree21::CutOrCopy(FileOpKind kind) {
    // The highlighted folder, given to the shell as the delete gives it, without a trailing
    // backslash. SelectedPath is not used: it may still name a folder renamed or deleted
    // since, and after LocatePath it ends in a backslash.
    const std::wstring path = HandleAllocated() && Selected() && Level(Selected()) >= 2
                                  ? DelSlash(SelectedNodePath())
                                  : std::wstring();
    if (path.empty()) {
        ClearPendingPaste();
        return;
    }
    pasteSource_ = path;
    pendingOperation_ = kind;
    pastePending_ = true;
    // Offered to other programs too, as the shell offers a folder: Explorer can paste it.
    // The tree's own Paste still goes by the pending cut or copy alone.
    if (HandleAllocated())
        OfferFiles(HandleIfAllocated(), {path}, kind == foMove);
}

void TKvDirTree21::PasteFolder() {
    const std::wstring target = SelectedNodePath();
    if (!pastePending_ || pendingOperation_ < 0 || target.empty() || pasteSource_.empty()) {
        ClearPendingPaste();
        return;
    }
    pasteTarget_ = AddSlash(target);
    const FileOpKind kind = static_cast<FileOpKind>(pendingOperation_);
    // One cut or copy allows one paste, whatever comes of it.
    ClearPendingPaste();
    // Refused before the shell is asked: it would copy the folder into its own copy until
    // the disk is full.
    if (RefusedIntoItself(pasteSource_, pasteTarget_, language_))
        return;
    const bool done = DoFileOperation(FileOpCode[kind], pasteSource_, pasteTarget_);
    if (done) {
        Reload();
        LocatePath(pasteTarget_);
    }
    // The linked list may show the folder that received the paste or the one a cut left.
    if (fileList_)
        fileList_->UpdateFileList();
    if (!done)
        tmb::MessageDlg(KvMessages.StrOpFailed, tmb::MsgDlgType::Error, tmb::mbOK);
}

double TKvDirTree21::GetFolderSize(const std::wstring& path) {
    return FolderSizeWalk(false).Run(path);
}

void TKvDirTree21::ShowTreeSize() {
    HTREEITEM node = HandleAllocated() ? Selected() : nullptr;
    if (!node || Level(node) < 1)
        return;
    const std::wstring path = GetNodePath(node);
    double total;
    bool cancelled;
    {
        tmb::ScopedHourglass hourglass;
        FolderSizeWalk walk(true);
        total = walk.Run(path);
        cancelled = walk.Cancelled();
    }
    const std::wstring title = Level(node) == 1
                                   ? KvMessages.StrDrive + path
                                   : KvMessages.StrFolder + LastComponent(DelSlash(path)) + L"\"";
    const tmb::FormatSettings settings = tmb::FormatSettings::User();
    const std::wstring bytes = tmb::FormatNumber(total, 0, settings) + L" Bytes";
    const double kilobytes = (total > 0 && total < 1024) ? 1 : total / 1024;
    const std::wstring size = kilobytes > 99999
                                  ? tmb::FormatNumber(kilobytes / 1024, 2, settings) + L" MB"
                                  : tmb::FormatNumber(kilobytes, 2, settings) + L" KB";
    std::wstring text = L"===== " + KvMessages.StrTreeSize + L" =====\r\r" + title + L"\r" +
                        KvMessages.StrSubFolders + L"\r =  " + bytes + L"\r     (i.e. " + size +
                        L" )";
    if (cancelled)
        text += L"\r\r" + KvTextOf(KvText::StrSizeCancelled, language_);
    tmb::MessageDlg(text, tmb::MsgDlgType::Information, tmb::mbOK);
}

void TKvDirTree21::ShowFolderContents() {
    HTREEITEM node = HandleAllocated() ? Selected() : nullptr;
    if (!node || Level(node) < 1)
        return;
    ContentsPath = GetNodePath(node);
    std::wstring part;
    if (Level(node) == 1)
        part = std::wstring(L"\" ") + ContentsPath.substr(0, 1) + L":\\ \"";
    else
        part = L"\" ..\\" + LastComponent(DelSlash(ContentsPath)) + L" \"";
    Collapse(TopNode(), true);
    // Each call makes a new window; the one of the last call goes.
    if (contents_)
        tmb::Destroy(contents_);
    contents_ = new TKvFolderContents(this);
    contents_->SetText(KvMessages.StrFilesIn + part);
    contents_->Open(ContentsPath);
}

void TKvDirTree21::ContentsChosen(const std::wstring& file, const std::wstring& folder) {
    SetSelectedFile(std::wstring());
    if (!file.empty()) {
        SetSelectedFile(file);
        if (OnFileChange)
            OnFileChange(this, selectedFile_);
    }
    // The window's own folder: another tree's window may have changed ContentsPath since.
    LocatePath(folder);
}

void TKvDirTree21::ConnectNetDrive() {
    // The new drive is the letter that was not there before the dialog: the user may map
    // any free letter, not only the one after the highest drive.
    const DWORD before = GetLogicalDrives();
    const DWORD result = tmb::CurrentModalHost().NetworkDriveDialog(
        tmb::NetworkDialog::Connect, tmb::App().Handle(), RESOURCETYPE_DISK);
    if (result != NO_ERROR)
        return;
    const DWORD added = GetLogicalDrives() & ~before;
    if (!added)
        return;  // nothing was mapped: as for a cancel
    int index = 0;
    while (!(added & (1u << index)))
        ++index;
    const std::wstring root{static_cast<wchar_t>(L'A' + index), L':', L'\\'};
    Reload();
    HTREEITEM top = TopNode();
    Expand(top, false);
    for (HTREEITEM drive = FirstChild(top); drive; drive = NextSibling(drive)) {
        if (tmb::SameText(NodeKey(NodeText(drive), true), root)) {
            Select(drive);
            break;
        }
    }
    SetSelectedPath(root);
    if (fileList_)
        TellFileList(root);
}

void TKvDirTree21::DisconnectNetDrive() {
    tmb::CurrentModalHost().NetworkDriveDialog(tmb::NetworkDialog::Disconnect,
                                               tmb::App().Handle(), RESOURCETYPE_DISK);
    Reload();
    HTREEITEM top = TopNode();
    Expand(top, false);
    Select(top);
    SetSelectedPath(kDrivesPath);
    // The view is pointed at the computer's drives and reads them again: if it showed them
    // already, the same Directory is ignored, yet a drive has gone.
    if (fileList_) {
        TellFileList(selectedPath_);
        fileList_->UpdateFileList();
    }
}

void TKvDirTree21::ShowItemProperties() {
    const std::wstring path = SelectedNodePath();
    if (!path.empty())
        ShowPropertiesDialog(path);
}

} // namespace kv
