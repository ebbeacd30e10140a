// The combo's drop-down tree: its nodes, lazy folder loading and sorting, and the pointer
// rules inside the pop-up.
#include "explorer/KvDirTreeView.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Handles.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

TKvDirTreeView::TKvDirTreeView(TKvDirTreeCombo28* combo, tmb::PopupWindow* popup)
    : tmb::TreeView(combo), combo_(combo), popup_(popup) {
    SetReadOnly(true);
    SetTabStop(false);
    OnExpanding = [this](tmb::Component*, HTREEITEM node, bool& allow) {
        NodeExpanding(node);
        allow = true;
    };
    popup_->SetContent(this);
}

TKvDirTreeView::~TKvDirTreeView() = default;

void TKvDirTreeView::CreateParams(tmb::CreateArgs& args) {
    tmb::TreeView::CreateParams(args);
    // A thin flat frame: the pop-up has none of its own.
    args.style |= WS_BORDER;
    args.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TKvDirTreeView::HandleCreated() {
    tmb::TreeView::HandleCreated();
    // The control never gets the focus (the combo keeps it); told once that it has it, it
    // behaves as the focused tree it stands for.
    DefaultHandler(WM_SETFOCUS, 0, 0);
}

void TKvDirTreeView::SetExpandRoot(bool value) {
    expandRoot_ = value;
    if (value && HandleAllocated())
        if (HTREEITEM root = RootNode())
            Expand(root, false);
}

// ---- nodes ------------------------------------------------------------------------------

HTREEITEM TKvDirTreeView::RootNode() { return hasRoot_ ? TopNode() : nullptr; }

bool TKvDirTreeView::IsDriveNode(HTREEITEM node) {
    return node && Level(node) == (hasRoot_ ? 1 : 0);
}

void TKvDirTreeView::AddDrives() {
    tmb::UpdateBracket bracket(*this);
    Clear();
    hasRoot_ = false;
    HTREEITEM root = nullptr;
    ITEMIDLIST* raw = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(Handle(), CSIDL_DRIVES, &raw)) && raw) {
        const tmb::PidlHandle drives(raw);
        SHFILEINFOW info{};
        if (SHGetFileInfoW(reinterpret_cast<const wchar_t*>(drives.get()), 0, &info,
                           sizeof(info),
                           SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
            root = AddChild(nullptr, info.szDisplayName, info.iIcon, info.iIcon, false);
    }
    hasRoot_ = root != nullptr;
    DriveMask = GetLogicalDrives();
    CriticalErrorsSilenced silenced;  // an empty drive is named and given icons quietly
    for (int i = 0; i < 26; ++i) {
        if (!(DriveMask & (1u << i)))
            continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring drive{letter, L':', L'\\'};
        // Drives are not looked into before they are opened: an empty floppy would answer
        // slowly, a network drive slower still.
        AddChild(root, DriveCaption(letter), GetIconIndex(drive), GetOpenIconIndex(drive), true);
    }
}

std::wstring TKvDirTreeView::GetNodePath(HTREEITEM node) {
    if (!node || !HandleAllocated())
        return std::wstring();
    // From the node up to its drive; the root above the drive adds nothing.
    std::vector<HTREEITEM> chain;
    for (HTREEITEM n = node; n; n = ParentOf(n))
        chain.push_back(n);
    const std::size_t above = hasRoot_ ? 2 : 1;
    if (chain.size() < above)
        return std::wstring();  // the root
    const std::size_t driveAt = chain.size() - above;
    const std::wstring drive = NodeText(chain[driveAt]);
    std::wstring path = drive.size() >= 4 ? drive.substr(2, 2) + L"\\" : std::wstring();
    for (std::size_t i = driveAt; i-- > 0;) {
        path += NodeText(chain[i]);
        if (i > 0)
            path += L'\\';
    }
    return path;
}

void TKvDirTreeView::AddSubFolders(const std::wstring& path, HTREEITEM node) {
    const std::wstring dir = AddSlash(path);
    if (dir.empty() || !node)
        return;
    tmb::UpdateBracket bracket(*this);
    WIN32_FIND_DATAW data;
    CriticalErrorsSilenced silenced;
    tmb::FindHandle search(FindFirstFileExW((dir + L"*.*").c_str(), FindExInfoBasic, &data,
                                            FindExSearchLimitToDirectories, nullptr,
                                            FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return;  // a folder that cannot be read simply has no children
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDots(data.cFileName))
            continue;
        // The icons are asked for when a node is first drawn (TVN_GETDISPINFO): the shell
        // takes milliseconds per folder.
        AddChild(node, data.cFileName, I_IMAGECALLBACK, I_IMAGECALLBACK,
                 TKvDirTree21::HasSubFolders(dir + data.cFileName));
    } while (FindNextFileW(search.get(), &data));
}

void TKvDirTreeView::NodeExpanding(HTREEITEM node) {
    if (!node || FirstChild(node))
        return;  // read before: a node keeps its folders until the next Reload
    tmb::ScopedHourglass hourglass;
    const std::wstring path = GetNodePath(node);
    // Without sub-folders the node loses its expand button.
    SetHasChildren(node, false);
    if (path.empty())
        return;
    AddSubFolders(path, node);
    SortChildrenByCaption(node);
}

int TKvDirTreeView::NodeImage(HTREEITEM node) {
    const int image = ImageIndex(node);
    if (image != I_IMAGECALLBACK || !node)
        return image;
    const int index = FolderIconIndex(GetNodePath(node), false);
    TVITEMW item{};
    item.mask = TVIF_IMAGE | TVIF_HANDLE;
    item.hItem = node;
    item.iImage = index;
    TreeView_SetItem(Handle(), &item);
    return index;
}

HTREEITEM TKvDirTreeView::PrevVisible(HTREEITEM node) {
    return node ? TreeView_GetPrevVisible(Handle(), node) : nullptr;
}

HTREEITEM TKvDirTreeView::NextVisible(HTREEITEM node) {
    return node ? TreeView_GetNextVisible(Handle(), node) : nullptr;
}

bool TKvDirTreeView::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == TVN_GETDISPINFOW) {
        // A folder node's icons, given once and kept by the control.
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
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == NM_CUSTOMDRAW) {
        // The control draws its selection in the focused colours only while it has the
        // focus, which it never has: the drop-down shows its selected node as a focused
        // list shows its current row.
        auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(lParam);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else {
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
                reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec) == Selected()) {
                draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
                draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            }
            result = CDRF_DODEFAULT;
        }
        return true;
    }
    return tmb::TreeView::Reflected(msg, wParam, lParam, result);
}

// ---- the pointer --------------------------------------------------------------------------

LRESULT TKvDirTreeView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The control's own handling of a press would take the focus from the combo and
        // hold the mouse waiting for a drag. The two things a press does in a drop-down
        // are done here: the expand button opens or closes its node, and a press on an
        // icon or caption selects it.
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        UINT where = 0;
        HTREEITEM node = NodeAt(x, y, &where);
        if (node && (where & TVHT_ONITEMBUTTON)) {
            if (Expanded(node))
                Collapse(node, false);
            else
                Expand(node, false);
        } else if (node && (where & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) {
            Select(node);
        }
        MouseDown(tmb::MouseButton::mbLeft, tmb::ShiftStateFromWParam(wParam), x, y);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
    case WM_CONTEXTMENU:
        return 0;  // no other button does anything in the drop-down
    default:
        return tmb::TreeView::WndProc(msg, wParam, lParam);
    }
}

void TKvDirTreeView::MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) {
    tmb::TreeView::MouseDown(button, shift, x, y);
    if (button != tmb::MouseButton::mbLeft || !HandleAllocated())
        return;
    if (!MouseInside()) {
        popup_->CloseUp();  // a press outside the drop-down only closes it
        return;
    }
    UINT where = 0;
    HTREEITEM node = NodeAt(x, y, &where);
    if (node && (where & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)))
        combo_->PickNode(node, this, true);
}

void TKvDirTreeView::MouseMove(unsigned shift, int x, int y) {
    tmb::TreeView::MouseMove(shift, x, y);
    if (!MouseInside() || !popup_->IsOpen() || !HandleAllocated())
        return;
    UINT where = 0;
    HTREEITEM node = NodeAt(x, y, &where);
    if (node && (where & TVHT_ONITEMLABEL) && node != Selected())
        Select(node);
}

} // namespace kv
