// The directory tree: its root and drives, picking and reporting, opening a folder by path,
// renaming in place, its language, its own context menu and the folder commands. The nodes
// and their loading are the folder tree's (KvFolderTree).
#include "explorer/KvDirTree21.h"

#include <winnetwk.h>

#include "explorer/KvDirTree21PopUp.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "explorer/KvFolderContents.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Handles.h"
#include "framework/Locale.h"
#include "framework/ScopedHourglass.h"
#include "framework/TextConv.h"

namespace kv {

std::wstring ContentsPath;

namespace {

// The characters no folder name of the tree may hold.
const wchar_t kBadNameChars[] = L"\\*?/=\"<>|:,;+^";

} // namespace

TKvDirTree21::TKvDirTree21(tmb::Component* owner) : TKvFolderTree(owner, true, false) {
    SetBounds(0, 0, 180, 120);
    SetLanguage(lnEnglish);
    SetReadOnly(false);
    SetHideSelection(false);
}

TKvDirTree21::~TKvDirTree21() = default;

// ---- properties ---------------------------------------------------------------------------

void TKvDirTree21::SetFileList(TKvFilelistView28* view) {
    fileList_ = view;
    // The list may be destroyed before the tree: its removal notice clears the link.
    FreeNotification(view);
    if (fileList_ && !selectedPath_.empty())
        TellFileList(selectedPath_);
}

void TKvDirTree21::TellFileList(const std::wstring& directory) {
    fileList_->SetDirectory(directory);
}

void TKvDirTree21::SetPopUpMenuEnabled(bool value) {
    if (value == popUpMenuEnabled_)
        return;
    popUpMenuEnabled_ = value;
    SetPopupMenu(value ? ownMenu_ : nullptr);
}

void TKvDirTree21::SetSelectedPath(const std::wstring& path) {
    if (!tmb::SameText(path, selectedPath_))
        selectedPath_ = path;
}

void TKvDirTree21::SetSelectedFile(const std::wstring& path) {
    if (!tmb::SameText(path, selectedFile_))
        selectedFile_ = path;
}

void TKvDirTree21::SetLanguage(TLanguage language) {
    const TLanguage resolved = ResolveTreeLanguage(language);
    if (resolved == language_)
        return;
    language_ = resolved;
    TreeLanguage = resolved;
    LoadTreeTexts();
    // The old menu goes at once and leaves nothing in the message queue, so no messages
    // need to run before the new one is built (running them here would let input in).
    BuildOwnMenu();
    if (HandleAllocated())
        RecreateWnd();
}

void TKvDirTree21::BuildOwnMenu() {
    if (ownMenu_)
        tmb::Destroy(ownMenu_);  // Notification clears ownMenu_ and the pop-up menu
    ownMenu_ = nullptr;
    auto* menu = new TKvDirTree21PopUp(this);
    menu->BuildItems();
    menu->SetAutoPopup(true);
    menu->SetTree(this);
    ownMenu_ = menu;
    // Whatever menu had been assigned from outside is replaced.
    SetPopupMenu(menu);
    popUpMenuEnabled_ = true;
}

void TKvDirTree21::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::TreeView::Notification(component, operation);
    if (operation == tmb::Operation::opRemove && component == ownMenu_)
        ownMenu_ = nullptr;
    if (operation == tmb::Operation::opRemove && component == fileList_)
        fileList_ = nullptr;
}

// ---- window and loading ---------------------------------------------------------------------

void TKvDirTree21::CreateParams(tmb::CreateArgs& args) {
    tmb::TreeView::CreateParams(args);
    // The folder-contents window lives inside the tree: the tree must not paint over it.
    args.style |= WS_CLIPCHILDREN;
}

void TKvDirTree21::HandleCreated() {
    tmb::TreeView::HandleCreated();
    // The control is told it has the focus once, straight to its own window procedure: it
    // then draws its selection as the focused one from the start.
    DefaultHandler(WM_SETFOCUS, 0, 0);
    // A tree read from a stored layout builds its nodes when the layout is done (Loaded).
    if (!Loading())
        AddRootNode();
}

void TKvDirTree21::Loaded() {
    tmb::TreeView::Loaded();
    if (!Parent())
        return;  // no window can exist yet
    Reload();
    Expand(TopNode(), false);
}

// ---- building the nodes ---------------------------------------------------------------------

void TKvDirTree21::Reload() {
    tmb::UpdateBracket bracket(*this);
    AddRootNode();
    AddDrives();
}

void TKvDirTree21::AddRootNode() { AddComputerNode(); }

void TKvDirTree21::AddDrives() {
    if (AddDriveNodes() > 0)
        SetShowButtons(true);
}

// ---- opening a folder -----------------------------------------------------------------------

void TKvDirTree21::OpenFolder(const std::wstring& path) {
    // Compared as given: "c:" after "c:" opens again (the last opened is "c:\"), "C:\" not.
    if (path.empty() || tmb::SameText(path, lastOpened_))
        return;
    const std::wstring folder = AddSlash(path);
    if (!DirectoryExists(folder))
        return;
    lastOpened_ = folder;
    LocatePath(lastOpened_);
    if (fileList_)
        TellFileList(lastOpened_);
}

void TKvDirTree21::LocatePath(const std::wstring& path) {
    if (path.size() <= 1 || !DirectoryExists(path))
        return;
    const std::wstring target = AddSlash(path);
    {
        tmb::UpdateBracket bracket(*this);
        HTREEITEM root = TopNode();
        if (!root)
            return;
        if (!FirstChild(root))
            AddDrives();
        if (Expanded(root))
            Collapse(root, true);
        if (!WalkTo(target))
            return;  // not in the tree (made on disk after its parent was read)
    }
    SetSelectedPath(target);
    if (OnDirChange)
        OnDirChange(this, selectedPath_);
}

// ---- picking --------------------------------------------------------------------------------

void TKvDirTree21::MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) {
    tmb::TreeView::MouseDown(button, shift, x, y);
    if (!HandleAllocated())
        return;
    UINT where = 0;
    HTREEITEM node = NodeAt(x, y, &where);
    // Only the icon or the caption: not the expand button, the indent or the row's blank.
    if (!node || !(where & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)))
        return;
    Select(node);
    PickSelected();
}

void TKvDirTree21::KeyUp(WORD& key, unsigned shift) {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        tmb::TreeView::KeyUp(key, shift);
        if (HandleAllocated() && Selected())
            PickSelected();
        break;
    case VK_F5:
        Reload();
        LocatePath(selectedPath_);
        break;
    default:
        break;
    }
}

void TKvDirTree21::PickSelected() {
    HTREEITEM node = Selected();
    if (!node)
        return;
    const int level = Level(node);
    if (level == 0 && !FirstChild(node))
        AddDrives();  // the first pick of the root brings the drives
    SetSelectedPath(level == 0 ? std::wstring(L"Drives") : GetNodePath(node));
    if (level == 1 && !selectedPath_.empty()) {
        const UINT type = GetDriveTypeW(selectedPath_.c_str());
        // An empty drive has been announced to the user by DriveReady; the pick is not
        // reported, though SelectedPath already names the drive.
        if ((type == DRIVE_REMOVABLE || type == DRIVE_CDROM) && !DriveReady(selectedPath_[0], true))
            return;
    }
    if (OnDirChange)
        OnDirChange(this, selectedPath_);
    if (fileList_ && !selectedPath_.empty())
        TellFileList(selectedPath_);
}

// ---- renaming in place ----------------------------------------------------------------------

bool TKvDirTree21::CanEdit(HTREEITEM node) {
    // Folders only: never a drive or the root.
    return node && ParentOf(node) && Level(node) >= 2 && !ReadOnly() &&
           tmb::TreeView::CanEdit(node);
}

void TKvDirTree21::Edit(HTREEITEM node, const std::wstring* text) {
    if (!node || Level(node) < 2)
        return;
    // Whatever happens, this was the rename a new folder's default name waited for.
    struct EndNaming {
        bool& flag;
        ~EndNaming() { flag = false; }
    } endNaming{namingNewFolder_};

    if (!text || text->empty() || HasAnyChar(kBadNameChars, *text)) {
        MessageBeep(MB_ICONHAND);
        if (text && !text->empty())
            tmb::MessageDlg(KvMessages.StrBadDirName + L"\r" + *text, tmb::MsgDlgType::Error,
                            tmb::mbOK);
        return;
    }
    const std::wstring path = GetNodePath(node);
    if (path.empty())
        return;
    tmb::ScopedHourglass hourglass;
    const std::wstring oldPath = DelSlash(path);
    const std::wstring newPath = oldPath.substr(0, oldPath.rfind(L'\\') + 1) + *text;
    if (!namingNewFolder_) {
        const std::wstring question = KvMessages.StrAskRename + L"\r\r    " + KvMessages.StrFrom +
                                      LastComponent(oldPath) + L"\r    " + KvMessages.StrTo +
                                      LastComponent(newPath);
        if (tmb::MessageDlg(question, tmb::MsgDlgType::Confirmation, tmb::mbYes | tmb::mbNo) !=
            tmb::mrYes)
            return;
    }
    // The shell renames and reports its own failures; the caption then stays.
    if (!DoFileOperation(FileOpCode[foRename], oldPath, newPath))
        return;
    tmb::TreeView::Edit(node, text);
    Select(ParentOf(node));
    if (fileList_)
        TellFileList(GetNodePath(Selected()));
}

// ---- the folder commands --------------------------------------------------------------------

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
    if (HasAnyChar(kBadNameChars, folderName)) {
        MessageBeep(MB_ICONHAND);
        tmb::MessageDlg(KvMessages.StrBadChars, tmb::MsgDlgType::Error, tmb::mbOK);
        return false;
    }
    const std::wstring newPath = AddSlash(GetNodePath(node)) + folderName;
    {
        tmb::UpdateBracket bracket(*this);
        if (!CreateDirectoryW(newPath.c_str(), nullptr))
            return false;  // it exists, or no access: no message
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
    if (fileList_)
        TellFileList(GetNodePath(Selected()));
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
    if (IntoItself(pasteSource_, pasteTarget_)) {
        tmb::MessageDlg(KvTextOf(KvText::StrIntoItself, language_) + L"\r\r" + pasteSource_,
                        tmb::MsgDlgType::Error, tmb::mbOK);
        return;
    }
    if (DoFileOperation(FileOpCode[kind], pasteSource_, pasteTarget_)) {
        Reload();
        LocatePath(pasteTarget_);
    } else {
        tmb::MessageDlg(KvMessages.StrOpFailed, tmb::MsgDlgType::Error, tmb::mbOK);
    }
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
    SetSelectedPath(L"Drives");
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
