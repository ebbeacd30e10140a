// The combo's drop-down tree: its frame, its selection drawn as focused, and the pointer
// rules inside the pop-up.
#include "explorer/KvDirTreeView.h"

#include <windowsx.h>

namespace kv {

TKvDirTreeView::TKvDirTreeView(tmb::Component* owner, tmb::PopupWindow* popup)
    : TKvFolderTree(owner, FolderTreeRules{false, true, false, false}), popup_(popup) {
    SetReadOnly(true);
    SetTabStop(false);
    popup_->SetContent(this);
}

TKvDirTreeView::~TKvDirTreeView() = default;

void TKvDirTreeView::CreateParams(tmb::CreateArgs& args) {
    TKvFolderTree::CreateParams(args);
    // A thin flat frame: the pop-up has none of its own.
    args.style |= WS_BORDER;
    args.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TKvDirTreeView::HandleCreated() {
    TKvFolderTree::HandleCreated();
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

void TKvDirTreeView::AddDrives() {
    tmb::UpdateBracket bracket(*this);
    AddComputerNode();
    AddDriveNodes();
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
    return TKvFolderTree::Reflected(msg, wParam, lParam, result);
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
        return TKvFolderTree::WndProc(msg, wParam, lParam);
    }
}

void TKvDirTreeView::MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) {
    TKvFolderTree::MouseDown(button, shift, x, y);
    if (button != tmb::MouseButton::mbLeft || !HandleAllocated())
        return;
    if (!MouseInside()) {
        popup_->CloseUp();  // a press outside the drop-down only closes it
        return;
    }
    UINT where = 0;
    HTREEITEM node = NodeAt(x, y, &where);
    if (node && (where & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) && OnPick)
        OnPick(this, node);
}

void TKvDirTreeView::MouseMove(unsigned shift, int x, int y) {
    TKvFolderTree::MouseMove(shift, x, y);
    if (!MouseInside() || !popup_->IsOpen() || !HandleAllocated())
        return;
    UINT where = 0;
    HTREEITEM node = NodeAt(x, y, &where);
    if (node && (where & TVHT_ONITEMLABEL) && node != Selected())
        Select(node);
}

} // namespace kv
