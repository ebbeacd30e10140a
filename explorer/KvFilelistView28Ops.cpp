// The file operations of the file list view that its context menu shares with the keys: cut,
// copy and paste through the list's own clipboard list and the system clipboard (where other
// programs' files come from and this list's go to), delete to the recycle bin, a new
// folder straight into editing, renaming in place, view, find, properties and the Send To
// targets. Every change
// on disk goes through the shell's file operation, which shows its own confirmations.
#include "explorer/KvFilelistView28.h"

#include <unordered_set>

#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
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
// itself. So are drives: a drive root has no name to be copied under, and as a source the
// shell would take the whole drive.
std::vector<std::wstring> SelectedPaths(const TKvFilelistView28& list) {
    std::vector<std::wstring> paths;
    // A mask that matches an entry twice lists it twice: it is still one entry, and the
    // shell stops a whole delete at the second copy of a path it has already removed.
    std::unordered_set<std::wstring> seen;
    for (int i : list.SelectedIndices())
        if (!list.IsParentItem(i) && !list.IsDriveItem(i) && seen.insert(list.ItemPath(i)).second)
            paths.push_back(list.ItemPath(i));
    return paths;
}

} // namespace

void TKvFilelistView28::CutOrCopy(FileOpKind mode) {
    if (IsDrivesView())
        return;
    ClearPendingOperation();
    clipboardList_.clear();
    const std::vector<std::wstring> paths = SelectedPaths(*this);
    for (const std::wstring& path : paths)
        clipboardList_.push_back(AddNullChar(path));
    SetPendingOperation(mode);
    // The system clipboard too, as the shell does it: other programs can paste the files.
    if (HandleAllocated())
        OfferFiles(HandleIfAllocated(), paths, mode == foMove);
}

bool TKvFilelistView28::CanPaste() const {
    return !IsDrivesView() && (!clipboardList_.empty() || ForeignFilesOnClipboard());
}

void TKvFilelistView28::Paste() {
    tmb::ScopedHourglass hourglass;
    if (IsDrivesView() || !DirectoryExists(directory_))
        return;
    // Files another program put on the clipboard after this list's own Cut or Copy come
    // first: they are what the user copied last.
    std::vector<std::wstring> sources;
    FileOpKind kind = hasPendingOp_ ? pendingOp_ : foCopy;
    bool foreign = false;
    if (ForeignFilesOnClipboard()) {
        bool move = false;
        sources = ClipboardFiles(HandleIfAllocated(), move);
        foreign = !sources.empty();
        kind = move ? foMove : foCopy;
        // Cut files are moved once; copied ones stay on the clipboard for another paste.
        if (foreign && move)
            ForeignFilesTaken();
    }
    if (!foreign) {
        if (clipboardList_.empty()) {
            tmb::MessageDlg(KvMessages.StrNoSelection, tmb::MsgDlgType::Warning, tmb::mbOK);
            return;
        }
        for (const std::wstring& source : clipboardList_)
            sources.push_back(WithoutNul(source));
    }
    const UINT operation = FileOpCode[kind];
    const std::wstring folder = directory_;
    ThenAlways(
        [&] {
            // One shell operation per entry: a refusal of one leaves the others to go.
            bool refused = false;
            std::wstring failed;
            for (const std::wstring& source : sources) {
                // An entry with no name of its own (a drive root) has nothing to be pasted
                // as: the shell would be asked for the whole drive.
                const std::wstring name = ExtractFileName(DelSlash(source));
                if (name.empty() || IsDriveRoot(source))
                    continue;
                const std::wstring target = ConcatPath(folder, name);
                if (RefusedIntoItself(source, target, language_, !refused)) {
                    refused = true;
                    continue;
                }
                if (!DoFileOperation(operation, source, AddNullChar(target)))
                    failed += L"\r" + source;
            }
            // What was not pasted is named: gone since it was cut or copied, refused by the
            // shell, or stopped by the user at the shell's question.
            if (!failed.empty())
                tmb::MessageDlg(KvMessages.StrOpFailed + L"\r" + failed, tmb::MsgDlgType::Error,
                                tmb::mbOK);
        },
        [&] {
            UpdateFileList();
            clipboardList_.clear();  // a copied set is pasted once
            ClearPendingOperation();
            TellLinks(folder, true);
        });
}

void TKvFilelistView28::DeleteSelected() {
    tmb::ScopedHourglass hourglass;
    if (IsDrivesView() || !DirectoryExists(directory_))
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
            TellLinks(folder, true);
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
    TellLinks(name, true);
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
    // Drives are never sent anywhere (see SelectedPaths).
    if (IsDrivesView())
        return;
    const int index = SelectedIndex();
    switch (number) {
    case 0: {
        // A relative folder is taken from the listed folder, where the user is, never
        // from wherever the process's current directory happens to be.
        const std::wstring folder = AskForFolder(std::wstring());
        if (!folder.empty())
            CopyToFolder(FullPathOf(folder, directory_));
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
    if (index < 0 || IsDrivesView())
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
    if (IsDrivesView() || !DirectoryExists(directory_))
        return;
    tmb::ScopedHourglass hourglass;
    ClearPendingOperation();
    clipboardList_.clear();
    std::vector<std::wstring> sources;
    for (const std::wstring& path : SelectedPaths(*this)) {
        if (RefusedIntoItself(path, AddSlash(folder), language_))
            continue;
        sources.push_back(path);
    }
    for (const std::wstring& path : sources)
        clipboardList_.push_back(AddNullChar(path));
    ThenAlways([&] { CopyEntriesToFolder(sources, folder); },
               [&] {
                   clipboardList_.clear();
                   // Sent to the folder shown: the list shows the copies; a tree that has
                   // read the folder shows the folders among them.
                   if (tmb::SameText(AddSlash(folder), directory_))
                       UpdateFileList();
                   TellLinksChanged(folder);
               });
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
    if (IsParentItem(index) || IsDriveItem(index))
        return;
    const std::wstring path = ItemPath(index);
    const std::wstring name = FileNameOnly(ExtractFileName(path));
    // A shortcut already there keeps its place and its target (the selected item may be
    // that very shortcut): the new one takes the first free "name (n).lnk".
    std::wstring link = AddSlash(desktop) + name + L".lnk";
    for (int n = 2; GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        link = AddSlash(desktop) + name + L" (" + std::to_wstring(n) + L").lnk";
    const bool made = !desktop.empty() && !name.empty() &&
                      CreateShortcut(link, path, ExtractFilePath(path), name);
    if (!made)
        tmb::MessageDlg(KvMessages.StrShortcutFailed, tmb::MsgDlgType::Error, tmb::mbOK);
}

// ---- renaming -----------------------------------------------------------------------------

bool TKvFilelistView28::CanEdit(int index) {
    if (ReadOnly() || index < 0 || index >= ItemCount())
        return false;
    // The parent entry and the drives name no entry of this folder that could be renamed
    // (renaming "..\" would move the parent folder itself).
    if (IsParentItem(index) || IsDriveItem(index))
        return false;
    renameSource_ = ItemPath(index);
    return tmb::ListView::CanEdit(index);
}

void TKvFilelistView28::RenameSelected() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    if (ReadOnly() || tmb::UpperCase(Item(index).SubItem(siAttributes)) == L"R") {
        tmb::MessageDlg(KvMessages.StrIsReadOnly, tmb::MsgDlgType::Warning, tmb::mbOK);
        return;
    }
    if (CanEdit(index))
        EditCaption(index);
}

void TKvFilelistView28::Edit(int index, const std::wstring* text) {
    if (!text)
        return;
    tmb::ListView::Edit(index, text);
    tmb::ScopedHourglass hourglass;
    bool folderRenamed = false;
    std::wstring folder;
    std::wstring focusPath;  // the entry that keeps the focus mark once the list is re-read
    {
        tmb::ItemsUpdate bracket(*this);
        // The edited row, which need not be the first selected one.
        if (index < 0 || index >= ItemCount() || renameSource_.empty())
            return;
        folder = ExtractFilePath(renameSource_);
        const std::wstring kind = ItemKind(index);
        const std::wstring& caption = Item(index).caption;
        focusPath = renameSource_;
        // A name is one component: a path in the caption ("..\\x") would move the entry
        // out of its folder.
        if (caption.empty() || HasAnyChar(kListBadNameChars, caption)) {
            MessageBeep(MB_ICONHAND);
            tmb::MessageDlg(KvTextOf(KvText::StrBadChars, language_), tmb::MsgDlgType::Error,
                            tmb::mbOK);
            UpdateFileList();
        } else {
            std::wstring target = folder + caption;
            // A caption shown without its extension is edited without it: the name keeps it.
            if (hideFileExt_)
                target += ExtractFileExt(ExtractFileName(renameSource_));
            if (tmb::SameText(target, renameSource_)) {
                UpdateFileList();  // the row shows the name on disk, not the one typed
                return;
            }
            if (!NameExists(target) && DoFileOperation(FileOpCode[foRename], renameSource_, AddNullChar(target)))
                focusPath = target;
            UpdateFileList();
            folderRenamed = tmb::SameText(kind, L"DIR");
        }
    }
    // Only now does the control know the new rows: a focus mark given inside the bracket
    // would have fallen on a list of no rows.
    for (int i = 0; i < ItemCount(); ++i) {
        if (tmb::SameText(ItemPath(i), focusPath)) {
            ClearSelection();
            SetSelected(i, true);
            SetFocusedIndex(i);
            MakeVisible(i);
            break;
        }
    }
    if (folderRenamed)
        TellLinks(folder, true);
}

} // namespace kv
