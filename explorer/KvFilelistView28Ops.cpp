// The file operations of the file list view that its context menu shares with the keys: cut,
// copy and paste through the list's own clipboard list, delete to the recycle bin, a new
// folder straight into editing, view, find, properties and the Send To targets. Every change
// on disk goes through the shell's file operation, which shows its own confirmations.
#include "explorer/KvFilelistView28.h"

#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
#include "explorer/KvFilelistView28PopUp.h"
#include "explorer/KvSendTo.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

std::wstring WithoutNul(const std::wstring& s) {
    return (!s.empty() && s.back() == L'\0') ? s.substr(0, s.size() - 1) : s;
}

// A file name handed to a program as its parameter: quoted when it holds a blank, so the
// program receives one name and not its pieces.
std::wstring NameParameter(const std::wstring& name) {
    return name.find(L' ') == std::wstring::npos ? name : L"\"" + name + L"\"";
}

// Runs `body`; `after` runs when it ends, also when it ends in an error (which then goes on
// to the caller).
template <class Body, class After>
void ThenAlways(Body&& body, After&& after) {
    try {
        body();
    } catch (...) {
        after();
        throw;
    }
    after();
}

// The full paths of the selected entries in list order. The parent entry is left out: its
// path ends in "..", and copying, moving or deleting it would act on the parent folder
// itself.
std::vector<std::wstring> SelectedPaths(const TKvFilelistView28& list) {
    std::vector<std::wstring> paths;
    for (int i : list.SelectedIndices())
        if (!list.IsParentItem(i))
            paths.push_back(list.ItemPath(i));
    return paths;
}

// The linked combo, or else the linked tree, rebuilt and shown at `folder`.
void RefreshLinks(TKvFilelistView28& list, const std::wstring& folder) {
    if (TKvDirTreeCombo28* combo = list.DirTreeCombo()) {
        combo->Reload();
        combo->LocatePath(folder);
    } else if (TKvDirTree21* tree = list.DirTree()) {
        tree->Reload();
        tree->LocatePath(folder);
    }
}

} // namespace

void TKvFilelistView28::CutOrCopy(FileOpKind mode) {
    ClearPendingOperation();
    clipboardList_.clear();
    for (const std::wstring& path : SelectedPaths(*this))
        clipboardList_.push_back(AddNullChar(path));
    SetPendingOperation(mode);
}

void TKvFilelistView28::Paste() {
    tmb::ScopedHourglass hourglass;
    if (!DirectoryExists(directory_))
        return;
    if (clipboardList_.empty()) {
        tmb::MessageDlg(KvMessages.StrNoSelection, tmb::MsgDlgType::Warning, tmb::mbOK);
        return;
    }
    const UINT operation = FileOpCode[hasPendingOp_ ? pendingOp_ : foCopy];
    const std::vector<std::wstring> sources = clipboardList_;
    const std::wstring folder = directory_;
    ThenAlways(
        [&] {
            // One shell operation per entry: a refusal of one leaves the others to go.
            for (const std::wstring& source : sources) {
                const std::wstring target =
                    AddNullChar(ConcatPath(folder, ExtractFileName(WithoutNul(source))));
                DoFileOperation(operation, source, target);
            }
        },
        [&] {
            UpdateFileList();
            clipboardList_.clear();  // a copied set is pasted once
            ClearPendingOperation();
            RefreshLinks(*this, folder);
        });
}

void TKvFilelistView28::DeleteSelected() {
    tmb::ScopedHourglass hourglass;
    if (!DirectoryExists(directory_))
        return;
    clipboardList_.clear();
    ClearPendingOperation();
    std::wstring source;
    for (const std::wstring& path : SelectedPaths(*this))
        source += AddNullChar(path);
    const std::wstring folder = directory_;
    ThenAlways(
        [&] {
            // One operation for the whole selection: the shell asks once and moves it all to
            // the recycle bin.
            if (!source.empty())
                DoFileOperation(FO_DELETE, source, std::wstring());
        },
        [&] {
            UpdateFileList();
            clipboardList_.clear();
            RefreshLinks(*this, folder);
        });
}

void TKvFilelistView28::AddNewFolder() {
    if (IsDrivesView())
        return;
    const std::wstring base = ConcatPath(directory_, KvMessages.StrNewFolder);
    if (base.empty())
        return;
    std::wstring name = base;
    for (int n = 2; GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        name = base + L"(" + std::to_wstring(n) + L")";
    CreateDirectoryW(name.c_str(), nullptr);  // a refusal shows as no new entry below

    UpdateFileList();
    ClearSelection();
    for (int i = 0; i < ItemCount(); ++i)
        if (ItemPath(i) == name)
            SetSelected(i, true);
    const int index = SelectedIndex();
    if (index < 0)
        return;
    SetFocusedIndex(index);
    MakeVisible(index);
    EditCaption(index);  // asks CanEdit, which records the folder as the rename source
    RefreshLinks(*this, name);
}

void TKvFilelistView28::ViewFile() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    const std::wstring path = ItemPath(index);
    const int viewer = ViewerIndex(path);
    if (viewer < 0)
        return;
    ExecuteFile(L"Open", ViewerProgramPath(kViewerTable[viewer].program),
                NameParameter(ExtractFileName(path)), ExtractFilePath(path), SW_SHOW);
}

void TKvFilelistView28::FindFiles() {
    if (!Focused())
        return;
    ExecuteFile(L"Find", directory_, std::wstring(), std::wstring(), SW_SHOWNORMAL);
}

void TKvFilelistView28::ShowItemProperties() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    const std::wstring path = ItemPath(index);
    if (!path.empty())
        ShowPropertiesDialog(path);
}

void TKvFilelistView28::SendToSpecial(int number) {
    const int index = SelectedIndex();
    switch (number) {
    case 0: {
        const std::wstring folder = AskForFolder(std::wstring());
        if (!folder.empty())
            CopyToFolder(folder);
        break;
    }
    case 1: {
        if (index < 0)
            return;
        const std::wstring path = ItemPath(index);
        tmb::ScopedHourglass hourglass;
        if (!CopyFileContentsToClipboard(Handle(), path))
            throw tmb::Exception(L"Cannot copy the contents of \"" + ExtractFileName(path) +
                                 L"\" to the clipboard");
        break;
    }
    case 2:
        CopyLinesToClipboard(Handle(), SelectedPaths(*this));
        break;
    case 3:
        if (index >= 0)
            CreateDesktopShortcut();
        break;
    default:
        break;
    }
}

void TKvFilelistView28::SendToTarget(const std::wstring& target) {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    if (tmb::UpperCase(ExtractFileExt(target)) != L".LNK") {
        if (DirectoryExists(target))
            CopyToFolder(target);
        return;
    }
    const std::wstring resolved = ResolveShortcut(tmb::App().Handle(), target);
    if (resolved.empty())
        return;
    if (GetDriveTypeW(resolved.substr(0, 3).c_str()) == DRIVE_REMOVABLE) {
        CopyToDrive(resolved);
    } else if (DirectoryExists(resolved)) {
        CopyToFolder(resolved);
    } else {
        // A program: it gets the first selected file's name and works in its folder.
        const std::wstring path = ItemPath(index);
        ExecuteFile(L"Open", resolved, NameParameter(ExtractFileName(path)),
                    ExtractFilePath(path), SW_SHOW);
    }
}

void TKvFilelistView28::CopyToFolder(const std::wstring& folder) {
    if (!DirectoryExists(directory_))
        return;
    tmb::ScopedHourglass hourglass;
    ClearPendingOperation();
    clipboardList_.clear();
    const std::vector<std::wstring> sources = SelectedPaths(*this);
    for (const std::wstring& path : sources)
        clipboardList_.push_back(AddNullChar(path));
    ThenAlways([&] { CopyEntriesToFolder(sources, folder); }, [&] { clipboardList_.clear(); });
}

void TKvFilelistView28::CopyToDrive(const std::wstring& folder) {
    tmb::ScopedHourglass hourglass;
    if (!folder.empty() && DriveReady(folder[0], true))
        CopyToFolder(folder);
}

void TKvFilelistView28::CreateDesktopShortcut() {
    // The user's own desktop folder, where the shell shows it (not a "DESKTOP" folder inside
    // the Windows folder, which no current system shows).
    const std::wstring desktop = DesktopFolder();
    const int index = SelectedIndex();
    if (index < 0) {
        tmb::MessageDlg(KvMessages.StrNoSelection, tmb::MsgDlgType::Error, tmb::mbOK);
        return;
    }
    const std::wstring path = ItemPath(index);
    std::wstring name = FileNameOnly(ExtractFileName(path));
    if (name.empty() && !path.empty())
        name = path.substr(0, 1);  // a drive root: named by its letter
    const bool made = !desktop.empty() &&
                      CreateShortcut(AddSlash(desktop) + name + L".lnk", path,
                                     ExtractFilePath(path), name);
    if (!made)
        tmb::MessageDlg(KvMessages.StrShortcutFailed, tmb::MsgDlgType::Error, tmb::mbOK);
}

void TKvFilelistView28::BuildOwnMenu() {
    if (ownMenu_)
        tmb::Destroy(ownMenu_);  // Notification clears ownMenu_
    ownMenu_ = nullptr;
    auto* menu = new TKvFilelistView28PopUp(this);
    menu->BuildMenu();
    menu->SetListView(this);
    menu->SetAutoPopup(true);
    ownMenu_ = menu;
    // Whatever menu had been assigned from outside is replaced.
    SetPopupMenu(menu);
    popUpMenuEnabled_ = true;
}

} // namespace kv
