// The window's interim directory tree: the root, the drives, and the chain of folders down
// to each opened folder.
#include "explorer/KvDirTree21.h"

#include "framework/TextConv.h"

namespace kv {
namespace {

std::wstring WithSlash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TKvDirTree21::TKvDirTree21(tmb::Component* owner) : tmb::WinControl(owner) {
    SetTabStop(true);
    SetColor(tmb::clWindow);
    SetBounds(0, 0, 180, 260);
}

void TKvDirTree21::SetLanguage(TLanguage language) {
    const TLanguage resolved = ResolveTreeLanguage(language);
    if (resolved == language_)
        return;
    language_ = resolved;
    TreeLanguage = resolved;
    LoadTreeTexts();
}

void TKvDirTree21::SetIndent(int value) {
    indent_ = value;
    if (HandleAllocated())
        TreeView_SetIndent(HandleIfAllocated(), value);
}

void TKvDirTree21::CreateParams(tmb::CreateArgs& args) {
    tmb::WinControl::CreateParams(args);
    args.className = WC_TREEVIEWW;
    args.style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
    if (!hideSelection_)
        args.style |= TVS_SHOWSELALWAYS;
    if (!readOnly_)
        args.style |= TVS_EDITLABELS;
    args.exStyle |= WS_EX_CLIENTEDGE;
}

void TKvDirTree21::HandleCreated() {
    tmb::WinControl::HandleCreated();
    TreeView_SetIndent(HandleIfAllocated(), indent_);
    BuildRoot();
}

HTREEITEM TKvDirTree21::AddNode(HTREEITEM parent, const std::wstring& caption) {
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent ? parent : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<wchar_t*>(caption.c_str());
    return TreeView_InsertItem(HandleIfAllocated(), &ins);
}

void TKvDirTree21::BuildRoot() {
    HWND h = HandleIfAllocated();
    TreeView_DeleteAllItems(h);
    root_ = AddNode(nullptr, L"Drives");
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (drives & (1u << i))
            AddNode(root_, std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L":");
    TreeView_Expand(h, root_, TVE_EXPAND);
}

HTREEITEM TKvDirTree21::FindChild(HTREEITEM parent, const std::wstring& caption) const {
    HWND h = HandleIfAllocated();
    wchar_t text[MAX_PATH];
    for (HTREEITEM c = TreeView_GetChild(h, parent); c; c = TreeView_GetNextSibling(h, c)) {
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = c;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        TreeView_GetItem(h, &item);
        if (tmb::SameText(text, caption))
            return c;
    }
    return nullptr;
}

std::wstring TKvDirTree21::NodePath(HTREEITEM node) const {
    HWND h = HandleIfAllocated();
    if (!node || node == root_)
        return L"Drives";
    std::wstring path;
    wchar_t text[MAX_PATH];
    for (HTREEITEM n = node; n && n != root_; n = TreeView_GetParent(h, n)) {
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = n;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        TreeView_GetItem(h, &item);
        path = path.empty() ? std::wstring(text) : std::wstring(text) + L"\\" + path;
    }
    return path;
}

void TKvDirTree21::Pick(HTREEITEM node, bool trailingSlash) {
    std::wstring path = NodePath(node);
    if (path != L"Drives") {
        if (trailingSlash || path.size() == 2)  // a drive is always reported as its root
            path = WithSlash(path);
    }
    selectedPath_ = path;
    if (OnDirChange)
        OnDirChange(this, selectedPath_);
}

void TKvDirTree21::OpenFolder(const std::wstring& path) {
    // Compared before the backslash is added: "c:" after "c:" runs again, "C:\" does not.
    if (path.empty() || tmb::SameText(path, lastOpened_))
        return;
    const std::wstring target = WithSlash(path);
    if (!IsFolder(target))
        return;
    lastOpened_ = target;
    wchar_t full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameW(target.c_str(), MAX_PATH * 2, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 2)
        return;
    const std::wstring folder(full, n);
    HWND h = Handle();
    HTREEITEM node = root_;
    size_t start = 0;
    while (start < folder.size()) {
        size_t end = folder.find(L'\\', start);
        if (end == std::wstring::npos)
            end = folder.size();
        std::wstring part = folder.substr(start, end - start);
        if (!part.empty()) {
            if (node == root_ && part.size() == 2 && part[1] == L':')
                part[0] = static_cast<wchar_t>(towupper(part[0]));
            HTREEITEM child = FindChild(node, part);
            node = child ? child : AddNode(node, part);
            TreeView_Expand(h, TreeView_GetParent(h, node), TVE_EXPAND);
        }
        start = end + 1;
    }
    picking_ = true;
    TreeView_SelectItem(h, node);
    TreeView_EnsureVisible(h, node);
    picking_ = false;
    // Reported as the caller wrote it, with its backslash.
    if (!tmb::SameText(selectedPath_, target))
        selectedPath_ = target;
    if (OnDirChange)
        OnDirChange(this, selectedPath_);
}

bool TKvDirTree21::Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_NOTIFY)
        return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->code == TVN_SELCHANGEDW && !picking_) {
        auto* tv = reinterpret_cast<NMTREEVIEWW*>(lParam);
        Pick(tv->itemNew.hItem, false);
        result = 0;
        return true;
    }
    if (hdr->code == TVN_BEGINLABELEDITW) {
        result = readOnly_ ? TRUE : FALSE;
        return true;
    }
    return false;
}

} // namespace kv
