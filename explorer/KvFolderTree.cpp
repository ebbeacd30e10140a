// The folder tree: the computer's and the drives' nodes, the lazy folder loading, the
// folder icons given when drawn, and a node's path.
#include "explorer/KvFolderTree.h"

#include <shlobj.h>

#include <unordered_set>

#include "explorer/KvFileExplorer28.h"
#include "framework/Handles.h"
#include "framework/ScopedHourglass.h"

namespace kv {

DWORD DriveMask = 0;

namespace {

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
        return;  // a folder that cannot be read simply has no children
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDots(data.cFileName) &&
            !visit(data.cFileName))
            return;
    } while (FindNextFileW(search.get(), &data));
}

} // namespace

std::wstring NodeKey(const std::wstring& caption, bool drive) {
    if (drive)
        return caption.size() >= 4 ? caption.substr(2, 2) + L"\\" : std::wstring();
    return caption + L"\\";
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

TKvFolderTree::TKvFolderTree(tmb::Component* owner, const FolderTreeRules& rules)
    : tmb::TreeView(owner), rules_(rules) {
    SetImages(SystemIcons());
}

bool TKvFolderTree::CanExpand(HTREEITEM node) {
    // Loading is the tree's own: a form that listens to OnExpanding does not turn it off.
    LoadFolders(node);
    return tmb::TreeView::CanExpand(node);
}

// ---- nodes --------------------------------------------------------------------------------

HTREEITEM TKvFolderTree::RootNode() { return hasRoot_ ? TopNode() : nullptr; }

bool TKvFolderTree::IsDriveNode(HTREEITEM node) {
    return node && Level(node) == (hasRoot_ ? 1 : 0);
}

bool TKvFolderTree::IsNetworkDrive(wchar_t letter) const {
    const wchar_t upper = static_cast<wchar_t>(towupper(letter));
    return upper >= L'A' && upper <= L'Z' && networkDrives_[upper - L'A'];
}

HTREEITEM TKvFolderTree::AddComputerNode() {
    tmb::UpdateBracket bracket(*this);
    Clear();
    hasRoot_ = false;
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(Handle(), CSIDL_DRIVES, &raw)) || !raw)
        return nullptr;
    const tmb::PidlHandle drives(raw);
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(reinterpret_cast<const wchar_t*>(drives.get()), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return nullptr;
    HTREEITEM root = AddChild(nullptr, info.szDisplayName, info.iIcon, info.iIcon, false);
    hasRoot_ = root != nullptr;
    return root;
}

int TKvFolderTree::AddDriveNodes() {
    tmb::UpdateBracket bracket(*this);
    DriveMask = GetLogicalDrives();
    HTREEITEM root = RootNode();
    const bool placed = root || !rules_.rootRequired;
    int added = 0;
    CriticalErrorsSilenced silenced;  // an empty drive is named and given icons quietly
    for (int i = 0; i < 26; ++i) {
        networkDrives_[i] = false;
        if (!(DriveMask & (1u << i)) || !placed)
            continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring drive{letter, L':', L'\\'};
        // Drives are not looked into before they are opened: an empty floppy would answer
        // slowly, a network drive slower still.
        AddChild(root, DriveCaption(letter), GetIconIndex(drive), GetOpenIconIndex(drive), true);
        networkDrives_[i] = GetDriveTypeW(drive.c_str()) == DRIVE_REMOTE;
        ++added;
    }
    return added;
}

void TKvFolderTree::LoadDriveNodes() {
    if (AddDriveNodes() > 0)
        SetShowButtons(true);
}

std::wstring TKvFolderTree::GetNodePath(HTREEITEM node) {
    if (!node || !HandleAllocated())
        return std::wstring();
    return FolderNodePath(*this, node, hasRoot_);
}

// ---- locating and picking -----------------------------------------------------------------

HTREEITEM TKvFolderTree::Locate(const std::wstring& path, std::wstring& target) {
    if (path.size() <= 1 || !DirectoryExists(path))
        return nullptr;
    target = AddSlash(path);
    tmb::UpdateBracket bracket(*this);
    HTREEITEM root = RootNode();
    if (rules_.locateLoadsDrives && root && !FirstChild(root))
        LoadDriveNodes();
    for (HTREEITEM n = TopNode(); n; n = NextSibling(n))
        Collapse(n, true);
    return WalkToFolder(*this, root, target);
}

std::wstring TKvFolderTree::PickPath(HTREEITEM node) {
    if (!node)
        return std::wstring();
    return node == RootNode() ? std::wstring(kDrivesPath) : GetNodePath(node);
}

bool TKvFolderTree::MediumReady(HTREEITEM node, const std::wstring& path) {
    if (!IsDriveNode(node) || path.empty())
        return true;
    const UINT type = GetDriveTypeW(path.c_str());
    if (type != DRIVE_REMOVABLE && !(rules_.cdromNeedsMedium && type == DRIVE_CDROM))
        return true;
    return DriveReady(path[0], true);
}

// ---- folders ------------------------------------------------------------------------------

void TKvFolderTree::LoadFolders(HTREEITEM node) {
    if (!node || FirstChild(node))
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

void TKvFolderTree::AddSubFolders(const std::wstring& path, HTREEITEM node) {
    const std::wstring dir = AddSlash(path);
    if (dir.empty() || !node)
        return;
    // Unless probed, on a network drive every folder gets an expand button without a look
    // inside: one enumeration of the network folder instead of one more per child.
    const bool network = !rules_.probeNetwork && IsNetworkDrive(dir[0]);
    tmb::UpdateBracket bracket(*this);
    CriticalErrorsSilenced silenced;
    ForEachFolder(dir, [&](const wchar_t* name) {
        // The icons are asked for when the node is first shown (TVN_GETDISPINFO): the shell
        // takes milliseconds per folder, which would freeze the opening of a large folder.
        AddChild(node, name, I_IMAGECALLBACK, I_IMAGECALLBACK,
                 network || HasSubFolders(dir + name));
        return true;
    });
}

void TKvFolderTree::FolderChanged(const std::wstring& folder) {
    const std::wstring target = AddSlash(folder);
    if (target.size() < 3 || !HandleAllocated())
        return;
    // Down the loaded nodes only: a folder the tree has not reached needs nothing.
    HTREEITEM node = RootNode();
    bool drives = true;
    std::size_t from = 0;
    for (std::size_t slash = target.find(L'\\'); slash != std::wstring::npos;
         from = slash + 1, slash = target.find(L'\\', from)) {
        const std::wstring component = target.substr(from, slash + 1 - from);
        HTREEITEM match = nullptr;
        for (HTREEITEM n = node ? FirstChild(node) : TopNode(); n && !match; n = NextSibling(n))
            if (tmb::SameText(NodeKey(NodeText(n), drives), component))
                match = n;
        if (!match)
            return;
        node = match;
        drives = false;
    }
    if (!FirstChild(node)) {
        SetHasChildren(node, HasSubFolders(target));  // read when it is opened
        return;
    }
    tmb::UpdateBracket bracket(*this);
    // Names compared in capitals, as the file system compares them.
    std::vector<std::wstring> onDisk;
    std::unordered_set<std::wstring> onDiskKeys;
    {
        CriticalErrorsSilenced silenced;
        ForEachFolder(target, [&](const wchar_t* name) {
            onDisk.emplace_back(name);
            onDiskKeys.insert(tmb::UpperCase(name));
            return true;
        });
    }
    std::unordered_set<std::wstring> shown;
    for (HTREEITEM child : Children(node)) {
        std::wstring key = tmb::UpperCase(NodeText(child));
        if (onDiskKeys.count(key))
            shown.insert(std::move(key));
        else
            Delete(child);
    }
    const bool network = !rules_.probeNetwork && IsNetworkDrive(target[0]);
    for (const std::wstring& name : onDisk)
        if (!shown.count(tmb::UpperCase(name)))
            AddChild(node, name, I_IMAGECALLBACK, I_IMAGECALLBACK,
                     network || HasSubFolders(target + name));
    SetHasChildren(node, !onDisk.empty());
    SortChildrenByCaption(node);
}

bool TKvFolderTree::HasSubFolders(const std::wstring& path) {
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

bool TKvFolderTree::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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

} // namespace kv
