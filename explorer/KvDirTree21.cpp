// The directory tree: its root and drives, picking and reporting, opening a folder by path,
// renaming in place, its language and its own context menu. The nodes and their loading are
// the folder tree's (KvFolderTree); the folder commands are in KvDirTree21Commands.
#include "explorer/KvDirTree21.h"

#include "explorer/KvDirTree21PopUp.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Handles.h"
#include "framework/ScopedHourglass.h"
#include "framework/TextConv.h"

namespace kv {

TKvDirTree21::TKvDirTree21(tmb::Component* owner)
    : TKvFolderTree(owner, FolderTreeRules{true, false, true, true}) {
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
    if (TakeLanguage(ResolveTreeLanguage(language), language_, TreeLanguage, &LoadTreeTexts))
        tmb::RebuildForLanguage<TKvDirTree21PopUp>(*this, ownMenu_, popUpMenuEnabled_);
}

void TKvDirTree21::Notification(tmb::Component* component, tmb::Operation operation) {
    TKvFolderTree::Notification(component, operation);
    if (operation == tmb::Operation::opRemove && component == ownMenu_)
        ownMenu_ = nullptr;
    if (operation == tmb::Operation::opRemove && component == fileList_)
        fileList_ = nullptr;
}

// ---- window and loading ---------------------------------------------------------------------

void TKvDirTree21::CreateParams(tmb::CreateArgs& args) {
    TKvFolderTree::CreateParams(args);
    // The folder-contents window lives inside the tree: the tree must not paint over it.
    args.style |= WS_CLIPCHILDREN;
}

void TKvDirTree21::HandleCreated() {
    TKvFolderTree::HandleCreated();
    // The control is told it has the focus once, straight to its own window procedure: it
    // then draws its selection as the focused one from the start.
    DefaultHandler(WM_SETFOCUS, 0, 0);
    // A tree read from a stored layout builds its nodes when the layout is done (Loaded).
    if (!Loading())
        AddRootNode();
}

void TKvDirTree21::Loaded() {
    TKvFolderTree::Loaded();
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

void TKvDirTree21::AddDrives() { LoadDriveNodes(); }

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
    std::wstring target;
    if (!Locate(path, target))
        return;  // not in the tree (made on disk after its parent was read)
    SetSelectedPath(target);
    if (OnDirChange)
        OnDirChange(this, selectedPath_);
}

// ---- picking --------------------------------------------------------------------------------

void TKvDirTree21::MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) {
    TKvFolderTree::MouseDown(button, shift, x, y);
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
        TKvFolderTree::KeyUp(key, shift);
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
    if (node == RootNode() && !FirstChild(node))
        AddDrives();  // the first pick of the root brings the drives
    SetSelectedPath(PickPath(node));
    // An empty drive has been announced to the user; the pick is not reported, though
    // SelectedPath already names the drive.
    if (!MediumReady(node, selectedPath_))
        return;
    if (OnDirChange)
        OnDirChange(this, selectedPath_);
    if (fileList_ && !selectedPath_.empty())
        TellFileList(selectedPath_);
}

// ---- renaming in place ----------------------------------------------------------------------

bool TKvDirTree21::CanEdit(HTREEITEM node) {
    // Folders only: never a drive or the root.
    return node && ParentOf(node) && Level(node) >= 2 && !ReadOnly() &&
           TKvFolderTree::CanEdit(node);
}

void TKvDirTree21::Edit(HTREEITEM node, const std::wstring* text) {
    if (!node || Level(node) < 2)
        return;
    // Whatever happens, this was the rename a new folder's default name waited for.
    struct EndNaming {
        bool& flag;
        ~EndNaming() { flag = false; }
    } endNaming{namingNewFolder_};

    if (!text || text->empty() || HasAnyChar(kTreeBadNameChars, *text)) {
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
    TKvFolderTree::Edit(node, text);
    Select(ParentOf(node));
    if (fileList_) {
        TellFileList(GetNodePath(Selected()));
        fileList_->FollowTreeChange(GetNodePath(Selected()));
    }
}

} // namespace kv
