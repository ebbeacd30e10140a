// The tree view control: its styles, its nodes, and its notifications turned into the
// expanding, collapsing and editing hooks.
#include "framework/TreeView.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "framework/Dpi.h"
#include "framework/InPlaceEdit.h"
#include "framework/TextConv.h"

namespace tmb {
namespace {

// TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE, without the flags that may come with them.
constexpr UINT kExpandActionMask = 0x0003;

int CALLBACK ByRank(LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : (a > b ? 1 : 0); }

} // namespace

TreeView::TreeView(Component* owner) : WinControl(owner) {
    SetColor(clWindow);
    SetTabStop(true);
}

// ---- the window ---------------------------------------------------------------------------

void TreeView::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = WC_TREEVIEWW;
    if (showButtons_)
        args.style |= TVS_HASBUTTONS;
    if (showLines_)
        args.style |= TVS_HASLINES;
    if (showRoot_)
        args.style |= TVS_LINESATROOT;
    if (!hideSelection_)
        args.style |= TVS_SHOWSELALWAYS;
    if (!readOnly_)
        args.style |= TVS_EDITLABELS;
    args.exStyle |= WS_EX_CLIENTEDGE;
}

void TreeView::HandleCreated() {
    WinControl::HandleCreated();
    HWND h = HandleIfAllocated();
    // The notifications this object reads are the UTF-16 ones, whatever the parent answers
    // to WM_NOTIFYFORMAT.
    SendMessageW(h, CCM_SETUNICODEFORMAT, TRUE, 0);
    if (images_)
        TreeView_SetImageList(h, images_, TVSIL_NORMAL);
    TreeView_SetIndent(h, indent_);  // after the list, which Wine lets widen the indent
    ColorChanged();
}

void TreeView::ColorChanged() {
    if (HWND h = HandleIfAllocated())
        TreeView_SetBkColor(h, Color() == clWindow ? static_cast<COLORREF>(-1) : ColorToRGB(Color()));
}

void TreeView::SetHideSelection(bool value) {
    hideSelection_ = value;
    SetStyleBit(TVS_SHOWSELALWAYS, !value);
}

void TreeView::SetReadOnly(bool value) {
    readOnly_ = value;
    SetStyleBit(TVS_EDITLABELS, !value);
}

void TreeView::SetShowButtons(bool value) {
    showButtons_ = value;
    SetStyleBit(TVS_HASBUTTONS, value);
}

void TreeView::SetShowLines(bool value) {
    showLines_ = value;
    SetStyleBit(TVS_HASLINES, value);
}

void TreeView::SetShowRoot(bool value) {
    showRoot_ = value;
    SetStyleBit(TVS_LINESATROOT, value);
}

void TreeView::SetIndent(int value) {
    indent_ = value;
    if (HWND h = HandleIfAllocated())
        TreeView_SetIndent(h, value);
}

void TreeView::ChangeScale(int to, int from) {
    WinControl::ChangeScale(to, from);
    SetIndent(ScaleLength(indent_, to, from));
}

void TreeView::SetImages(HIMAGELIST list) {
    images_ = list;
    if (HWND h = HandleIfAllocated()) {
        TreeView_SetImageList(h, list, TVSIL_NORMAL);
        // Wine widens the indent to the icons' width with a new list: the own one holds.
        TreeView_SetIndent(h, indent_);
    }
}

// ---- nodes --------------------------------------------------------------------------------

HTREEITEM TreeView::AddChild(HTREEITEM parent, const std::wstring& text, int image,
                             int selectedImage, bool hasChildren) {
    HWND h = Handle();
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent ? parent : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    ins.item.pszText = const_cast<wchar_t*>(text.c_str());
    ins.item.iImage = image;
    ins.item.iSelectedImage = selectedImage;
    ins.item.cChildren = hasChildren ? 1 : 0;
    HTREEITEM node = TreeView_InsertItem(h, &ins);
    if (node && parent && !HasChildren(parent))
        SetHasChildren(parent, true);
    return node;
}

void TreeView::Delete(HTREEITEM node) {
    if (node)
        TreeView_DeleteItem(Handle(), node);
}

void TreeView::Clear() { TreeView_DeleteAllItems(Handle()); }

int TreeView::Count() { return static_cast<int>(TreeView_GetCount(Handle())); }

HTREEITEM TreeView::TopNode() { return TreeView_GetRoot(Handle()); }

HTREEITEM TreeView::ParentOf(HTREEITEM node) {
    return node ? TreeView_GetParent(Handle(), node) : nullptr;
}

HTREEITEM TreeView::FirstChild(HTREEITEM node) {
    return node ? TreeView_GetChild(Handle(), node) : nullptr;
}

HTREEITEM TreeView::NextSibling(HTREEITEM node) {
    return node ? TreeView_GetNextSibling(Handle(), node) : nullptr;
}

std::vector<HTREEITEM> TreeView::Children(HTREEITEM node) {
    std::vector<HTREEITEM> children;
    for (HTREEITEM c = FirstChild(node); c; c = NextSibling(c))
        children.push_back(c);
    return children;
}

int TreeView::Level(HTREEITEM node) {
    int level = -1;
    for (HTREEITEM n = node; n; n = ParentOf(n))
        ++level;
    return level;
}

bool TreeView::ItemFlags(HTREEITEM node, UINT mask, TVITEMW& item) {
    item = TVITEMW{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = node;
    item.stateMask = TVIS_EXPANDED;
    return node && TreeView_GetItem(Handle(), &item);
}

std::wstring TreeView::NodeText(HTREEITEM node) {
    if (!node)
        return std::wstring();
    std::wstring buffer(256, L'\0');
    for (;;) {
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = node;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        if (!TreeView_GetItem(Handle(), &item))
            return std::wstring();
        const std::size_t length = wcsnlen(item.pszText, buffer.size());
        // A caption that fills the buffer may have been cut: ask again with more room.
        if (length + 1 < buffer.size() || buffer.size() >= 32768)
            return std::wstring(item.pszText, length);
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

void TreeView::SetNodeText(HTREEITEM node, const std::wstring& text) {
    if (!node)
        return;
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    TreeView_SetItem(Handle(), &item);
}

bool TreeView::HasChildren(HTREEITEM node) {
    TVITEMW item;
    return ItemFlags(node, TVIF_CHILDREN, item) && item.cChildren != 0;
}

void TreeView::SetHasChildren(HTREEITEM node, bool value) {
    if (!node)
        return;
    TVITEMW item{};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = node;
    item.cChildren = value ? 1 : 0;
    TreeView_SetItem(Handle(), &item);
}

int TreeView::ImageIndex(HTREEITEM node) {
    TVITEMW item;
    return ItemFlags(node, TVIF_IMAGE, item) ? item.iImage : -1;
}

int TreeView::SelectedIndex(HTREEITEM node) {
    TVITEMW item;
    return ItemFlags(node, TVIF_SELECTEDIMAGE, item) ? item.iSelectedImage : -1;
}

bool TreeView::Expanded(HTREEITEM node) {
    TVITEMW item;
    return ItemFlags(node, TVIF_STATE, item) && (item.state & TVIS_EXPANDED);
}

void TreeView::Expand(HTREEITEM node, bool recursive) {
    if (!node)
        return;
    TreeView_Expand(Handle(), node, TVE_EXPAND);
    if (recursive)
        for (HTREEITEM c : Children(node))
            Expand(c, true);
}

void TreeView::Collapse(HTREEITEM node, bool recursive) {
    if (!node)
        return;
    if (recursive)
        for (HTREEITEM c : Children(node))
            Collapse(c, true);
    if (Expanded(node))
        TreeView_Expand(Handle(), node, TVE_COLLAPSE);
}

HTREEITEM TreeView::Selected() { return TreeView_GetSelection(Handle()); }

void TreeView::Select(HTREEITEM node) { TreeView_SelectItem(Handle(), node); }

HTREEITEM TreeView::NodeAt(int x, int y, UINT* where) {
    TVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    HTREEITEM node = TreeView_HitTest(Handle(), &hit);
    if (where)
        *where = hit.flags;
    return node;
}

RECT TreeView::NodeRect(HTREEITEM node, bool captionOnly) {
    RECT r{};
    if (node)
        TreeView_GetItemRect(Handle(), node, &r, captionOnly ? TRUE : FALSE);
    return r;
}

HWND TreeView::EditCaption(HTREEITEM node) {
    HWND h = Handle();
    SetFocus();
    return TreeView_EditLabel(h, node);
}

bool TreeView::IsEditing() {
    return HandleAllocated() && TreeView_GetEditControl(HandleIfAllocated()) != nullptr;
}

void TreeView::ArrangeChildren(HTREEITEM parent, const std::vector<HTREEITEM>& order) {
    if (!parent || order.size() < 2)
        return;
    HWND h = Handle();
    LPARAM rank = 0;
    for (HTREEITEM node : order) {
        TVITEMW item{};
        item.mask = TVIF_PARAM | TVIF_HANDLE;
        item.hItem = node;
        item.lParam = rank++;
        TreeView_SetItem(h, &item);
    }
    TVSORTCB sort{};
    sort.hParent = parent;
    sort.lpfnCompare = &ByRank;
    TreeView_SortChildrenCB(h, &sort, FALSE);
}

// ---- messages -----------------------------------------------------------------------------

bool TreeView::SelectedItemRect(RECT& item) {
    HTREEITEM node = Selected();
    return node && TreeView_GetItemRect(Handle(), node, &item, TRUE);
}

LRESULT TreeView::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    MouseButton button;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: button = MouseButton::mbLeft; break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: button = MouseButton::mbRight; break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: button = MouseButton::mbMiddle; break;
    default: return WinControl::WndProc(msg, wParam, lParam);
    }
    // The control handles a press first: it selects the node (or toggles it at its button),
    // runs its drag detection, which takes the release out of the queue, and for the right
    // button asks NM_RCLICK. Only then does MouseDown see the press, with the node already
    // selected, and the context menu opens after MouseDown, from the state it left. The
    // other order would also make a first click on a caption start in-place editing, since
    // the control edits a caption clicked while its node is already selected.
    const bool right = button == MouseButton::mbRight;
    rightClicked_ = false;
    {
        FlagScope pressing(inRightPress_, right);
        DefaultHandler(msg, wParam, lParam);
    }
    HWND h = HandleIfAllocated();
    if (!h)
        return 0;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    unsigned shift = ShiftStateFromWParam(wParam);
    const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    if (dbl) {
        shift |= ssDouble;
        if (button == MouseButton::mbLeft)
            DblClick();
    }
    MouseDown(button, shift, x, y);
    // MouseDown may have re-created the window.
    h = HandleIfAllocated();
    if (right && rightClicked_ && h) {
        rightClicked_ = false;
        POINT p{x, y};
        ::ClientToScreen(h, &p);
        SendMessageW(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h),
                     MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
    }
    return 0;
}

bool TreeView::Reflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_NOTIFY)
        return false;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    switch (hdr->code) {
    case TVN_ITEMEXPANDINGW: {
        const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        const UINT action = tv->action & kExpandActionMask;
        bool allow = true;
        if (action == TVE_EXPAND)
            allow = CanExpand(tv->itemNew.hItem);
        else if (action == TVE_COLLAPSE)
            allow = CanCollapse(tv->itemNew.hItem);
        result = allow ? FALSE : TRUE;
        return true;
    }
    case TVN_ITEMEXPANDEDW: {
        const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        const UINT action = tv->action & kExpandActionMask;
        if (action == TVE_EXPAND)
            NodeExpanded(tv->itemNew.hItem);
        else if (action == TVE_COLLAPSE)
            NodeCollapsed(tv->itemNew.hItem);
        result = 0;
        return true;
    }
    case TVN_BEGINLABELEDITW:
    case TVN_ENDLABELEDITW: {
        const TVITEMW& item = reinterpret_cast<const NMTVDISPINFOW*>(lParam)->item;
        result = LabelEditNotice(hdr->code == TVN_BEGINLABELEDITW, endingEdit_, item.pszText,
                                 [&] { return CanEdit(item.hItem); },
                                 [&](const std::wstring* text) { Edit(item.hItem, text); });
        return true;
    }
    case NM_RCLICK:
        if (!inRightPress_)
            return false;
        // The menu opens after MouseDown (see WndProc), not from inside the press.
        rightClicked_ = true;
        result = TRUE;
        return true;
    default:
        return false;
    }
}

bool TreeView::CanExpand(HTREEITEM node) {
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, node, allow);
    return allow;
}

bool TreeView::CanCollapse(HTREEITEM node) {
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, node, allow);
    return allow;
}

bool TreeView::CanEdit(HTREEITEM node) {
    bool allow = !readOnly_;
    if (allow && OnEditing)
        OnEditing(this, node, allow);
    return allow;
}

void TreeView::NodeExpanded(HTREEITEM node) {
    if (OnExpanded)
        OnExpanded(this, node);
}

void TreeView::NodeCollapsed(HTREEITEM node) {
    if (OnCollapsed)
        OnCollapsed(this, node);
}

void TreeView::Edit(HTREEITEM node, const std::wstring* text) {
    if (!text || !node)
        return;
    std::wstring caption = *text;
    if (OnEdited)
        OnEdited(this, node, caption);
    SetNodeText(node, caption);
}

void TreeView::SortChildrenByCaption(HTREEITEM parent) {
    struct Keyed {
        std::string key;
        HTREEITEM node;
    };
    std::vector<Keyed> children;
    for (HTREEITEM c : Children(parent))
        children.push_back(Keyed{SortKey(NodeText(c), false), c});
    if (children.size() < 2)
        return;
    // Keys made once per caption: comparing with the locale n log n times is what makes a
    // large folder slow to open.
    std::stable_sort(children.begin(), children.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    std::vector<HTREEITEM> order;
    order.reserve(children.size());
    for (const Keyed& k : children)
        order.push_back(k.node);
    UpdateBracket bracket(*this);
    ArrangeChildren(parent, order);
}

} // namespace tmb
