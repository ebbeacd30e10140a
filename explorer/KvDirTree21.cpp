// The directory tree: root, drives and lazily read folders, picking and reporting, opening
// a folder by path, renaming in place, its language and its own context menu.
#include "explorer/KvDirTree21.h"

#include <shlobj.h>
#include <windowsx.h>
#include <winnetwk.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "explorer/KvDirTree21PopUp.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "explorer/KvFolderContents.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Handles.h"
#include "framework/Locale.h"
#include "framework/TextConv.h"

namespace kv {

DWORD DriveMask = 0;
std::wstring ContentsPath;

namespace {

// The characters no folder name of the tree may hold.
const wchar_t kBadNameChars[] = L"\\*?/=\"<>|:,;+^";

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Enumerates the folders of `dir` (ending in "\"); `visit` returns false to stop.
template <class Visit>
void ForEachFolder(const std::wstring& dir, Visit visit) {
    WIN32_FIND_DATAW data;
    // The search may leave out files where the file system can (a hint only, so every
    // entry is still checked).
    tmb::FindHandle search(FindFirstFileExW((dir + L"*.*").c_str(), FindExInfoBasic, &data,
                                            FindExSearchLimitToDirectories, nullptr,
                                            FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDots(data.cFileName) &&
            !visit(data.cFileName))
            return;
    } while (FindNextFileW(search.get(), &data));
}

// The key LocatePath matches a path component ("C:\", "Windows\") against.
std::wstring NodeKey(const std::wstring& caption, bool drive) {
    if (drive)
        return caption.size() >= 4 ? caption.substr(2, 2) + L"\\" : std::wstring();
    return caption + L"\\";
}

// Adds up the sizes of the files under a folder. A link to a folder (a reparse point: a
// junction, a symbolic link, and under Wine a Unix symbolic link) is not entered and counts
// 0 bytes: a link to a parent would make the walk endless, and any other would count a
// folder twice.
class FolderSizeWalk {
public:
    // With `responsive`, a long walk lets the windows repaint about ten times a second and
    // Escape cancels it.
    explicit FolderSizeWalk(bool responsive) : responsive_(responsive) {}

    double Run(const std::wstring& path) {
        if (path.empty())
            return 0;
        std::wstring dir = AddSlash(path);
        dir.reserve(MAX_PATH * 2);
        lastLook_ = GetTickCount() - kLookEveryMs;
        return Walk(dir);
    }
    bool Cancelled() const { return cancelled_; }

private:
    static constexpr DWORD kLookEveryMs = 100;

    // `dir` ends in a backslash and is restored before returning.
    double Walk(std::wstring& dir) {
        const std::size_t length = dir.size();
        dir += L"*.*";
        WIN32_FIND_DATAW data;
        tmb::FindHandle search(FindFirstFileW(dir.c_str(), &data));
        dir.resize(length);
        if (!search)
            return 0;
        double total = 0;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (IsDots(data.cFileName) || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    continue;
                dir += data.cFileName;
                dir += L'\\';
                total += Walk(dir);
                dir.resize(length);
            } else {
                total += static_cast<double>(data.nFileSizeHigh) * 4294967296.0 +
                         static_cast<double>(data.nFileSizeLow);
            }
            if (responsive_ && (sinceLook_++ & 0xFF) == 0)
                LookAround();
        } while (!cancelled_ && FindNextFileW(search.get(), &data));
        return total;
    }

    // Lets the windows repaint and takes an Escape as the cancel. Other keys pressed during
    // the count are dropped: the report box comes next and would take them (an Enter typed
    // ahead would close it unread). Mouse input waits: the hourglass says the program is
    // busy, and running clicks here would re-enter the tree.
    void LookAround() {
        const DWORD now = GetTickCount();
        if (now - lastLook_ < kLookEveryMs)
            return;
        lastLook_ = now;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
            if (msg.wParam == VK_ESCAPE)
                cancelled_ = true;
        }
        while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    bool responsive_;
    bool cancelled_ = false;
    unsigned sinceLook_ = 0;
    DWORD lastLook_ = 0;
};

} // namespace

TKvDirTree21::TKvDirTree21(tmb::Component* owner) : tmb::TreeView(owner) {
    SetBounds(0, 0, 180, 120);
    // The system's small icons, shown but never destroyed: the list belongs to the shell.
    SHFILEINFOW info{};
    systemImages_ = tmb::ImageList::Shared(reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)));
    SetImages(systemImages_.get());
    SetLanguage(lnEnglish);
    OnExpanding = [this](tmb::Component*, HTREEITEM node, bool&) { LoadFolders(node); };
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

bool TKvDirTree21::IsNetworkDrive(wchar_t letter) const {
    const wchar_t upper = static_cast<wchar_t>(towupper(letter));
    return upper >= L'A' && upper <= L'Z' && networkDrives_[upper - L'A'];
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

LRESULT TKvDirTree21::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND h = HandleIfAllocated();
    if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == h && ownMenu_ &&
        GetPopupMenu() == ownMenu_ && ownMenu_->AutoPopup()) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (p.x == -1 && p.y == -1) {  // from the keyboard: the control's corner
            p = POINT{0, 0};
            ::ClientToScreen(h, &p);
        }
        ownMenu_->SetPopupComponent(this);
        ownMenu_->PopupAt(p.x, p.y, h);
        return 0;
    }
    return tmb::TreeView::WndProc(msg, wParam, lParam);
}

// ---- building the nodes ---------------------------------------------------------------------

void TKvDirTree21::Reload() {
    tmb::UpdateBracket bracket(*this);
    AddRootNode();
    AddDrives();
}

void TKvDirTree21::AddRootNode() {
    tmb::UpdateBracket bracket(*this);
    Clear();
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(Handle(), CSIDL_DRIVES, &raw)) || !raw)
        return;
    const tmb::PidlHandle drives(raw);
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(reinterpret_cast<const wchar_t*>(drives.get()), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return;
    AddChild(nullptr, info.szDisplayName, info.iIcon, info.iIcon, false);
}

void TKvDirTree21::AddDrives() {
    tmb::UpdateBracket bracket(*this);
    DriveMask = GetLogicalDrives();
    HTREEITEM root = TopNode();
    CriticalErrorsSilenced silenced;  // an empty drive is named and given icons quietly
    for (int i = 0; i < 26; ++i) {
        const bool present = (DriveMask & (1u << i)) != 0;
        networkDrives_[i] = false;
        if (!present || !root)
            continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring drive{letter, L':', L'\\'};
        AddChild(root, DriveCaption(letter), GetIconIndex(drive), GetOpenIconIndex(drive), true);
        SetShowButtons(true);
        networkDrives_[i] = GetDriveTypeW(drive.c_str()) == DRIVE_REMOTE;
    }
}

void TKvDirTree21::LoadFolders(HTREEITEM node) {
    if (FirstChild(node))
        return;  // read before: a node keeps its folders until the tree is rebuilt
    const std::wstring path = GetNodePath(node);
    if (path.empty())
        return;  // the root: its children are the drives, never the current folder's
    tmb::ScopedHourglass hourglass;
    tmb::UpdateBracket bracket(*this);
    // Without sub-folders the node loses its expand button.
    SetHasChildren(node, false);
    AddSubFolders(path, node);
    SortChildrenByCaption(node);
}

int FolderIconIndex(const std::wstring& path, bool open) {
    // Every plain folder shows the same icon, and asking the shell about a folder makes it
    // look inside: a folder of 100,000 files then takes as long to draw as to list. So the
    // shell is asked once, for the first plain folder, and its answer serves them all. Only
    // a folder marked read-only or system can carry an icon of its own (desktop.ini).
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool plain = attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                       !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    if (!plain)
        return open ? GetOpenIconIndex(path) : GetIconIndex(path);
    static int known[2] = {-1, -1};
    int& index = known[open ? 1 : 0];
    if (index < 0)
        index = open ? GetOpenIconIndex(path) : GetIconIndex(path);
    return index;
}

void TKvDirTree21::AddSubFolders(const std::wstring& path, HTREEITEM node) {
    const std::wstring dir = AddSlash(path);
    if (dir.empty() || !node)
        return;
    // On a network drive every folder gets an expand button without a look inside: one
    // enumeration of the network folder instead of one more per child.
    const bool network = IsNetworkDrive(dir[0]);
    tmb::UpdateBracket bracket(*this);
    ForEachFolder(dir, [&](const wchar_t* name) {
        // The icons are asked for when the node is first shown (TVN_GETDISPINFO): the shell
        // takes milliseconds per folder, which would freeze the opening of a large folder.
        AddChild(node, name, I_IMAGECALLBACK, I_IMAGECALLBACK,
                 network || HasSubFolders(dir + name));
        return true;
    });
}

bool TKvDirTree21::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == TVN_GETDISPINFOW) {
        // A folder node's icons: GetIconIndex and GetOpenIconIndex of its path, kept by the
        // control once given (only what was asked for is answered, so nothing is stored
        // that was not computed).
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(lParam);
        const UINT asked = info->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE);
        if (asked) {
            const std::wstring path = GetNodePath(info->item.hItem);
            if (asked & TVIF_IMAGE)
                info->item.iImage = FolderIconIndex(path, false);
            if (asked & TVIF_SELECTEDIMAGE)
                info->item.iSelectedImage = FolderIconIndex(path, true);
            info->item.mask |= TVIF_DI_SETITEM;
        }
        result = 0;
        return true;
    }
    return tmb::TreeView::Reflected(msg, wParam, lParam, result);
}

bool TKvDirTree21::HasSubFolders(const std::wstring& path) {
    const std::wstring dir = AddSlash(path);
    if (dir.empty())
        return false;
    bool found = false;
    ForEachFolder(dir, [&](const wchar_t*) {
        found = true;
        return false;
    });
    return found;
}

std::wstring TKvDirTree21::GetNodePath(HTREEITEM node) {
    if (!node || !HandleAllocated())
        return std::wstring();
    // From the node up: the last one is the root, the one before it the drive.
    std::vector<HTREEITEM> chain;
    for (HTREEITEM n = node; n; n = ParentOf(n))
        chain.push_back(n);
    if (chain.size() < 2)
        return std::wstring();
    const std::wstring drive = NodeText(chain[chain.size() - 2]);
    std::wstring path = drive.size() >= 4 ? drive.substr(2, 2) + L"\\" : std::wstring();
    for (std::size_t i = chain.size() - 2; i-- > 0;) {
        path += NodeText(chain[i]);
        if (i > 0)
            path += L'\\';
    }
    return path;
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
        HTREEITEM current = root;
        std::wstring rest = target;
        for (std::size_t slash = rest.find(L'\\'); slash != std::wstring::npos;
             slash = rest.find(L'\\')) {
            const std::wstring component = rest.substr(0, slash + 1);
            rest.erase(0, slash + 1);
            // Only the current node's own children can hold the next component: a folder
            // of the same name elsewhere in the loaded tree is another folder.
            const bool drives = current == root;
            HTREEITEM match = nullptr;
            for (HTREEITEM n = FirstChild(current); n && !match; n = NextSibling(n))
                if (tmb::SameText(NodeKey(NodeText(n), drives), component))
                    match = n;
            if (!match)
                return;  // not in the tree (made on disk after its parent was read)
            Select(match);
            Expand(match, false);
            current = match;
        }
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
