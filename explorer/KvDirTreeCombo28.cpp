// The directory tree combo: the box with its icon and arrow button, the drop-down's
// opening and closing, picking and locating folders, and the keys.
#include "explorer/KvDirTreeCombo28.h"

#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

// The system's combo-box arrow (OBM_COMBO), named here so that OEMRESOURCE need not be
// defined before every include of <windows.h>.
constexpr int kComboArrowBitmap = 32738;

// The arrow is a monochrome bitmap, black on white. Made into an icon with the white as
// its transparent part, it is drawn in the button text colour on any face (as a bitmap its
// bottom row, part of the arrow, would be taken for the transparent colour).
tmb::Picture ComboArrow() {
    const tmb::BitmapHandle mask(LoadBitmapW(nullptr, MAKEINTRESOURCEW(kComboArrowBitmap)));
    BITMAP bm{};
    if (!mask || !GetObjectW(mask.get(), sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return tmb::Picture();
    void* bits = nullptr;
    const tmb::BitmapHandle colour(tmb::CreateDib32(bm.bmWidth, bm.bmHeight, &bits));
    if (!colour || !bits)
        return tmb::Picture();
    {
        const tmb::MemoryDC dc(CreateCompatibleDC(nullptr));
        const tmb::SelectGuard select(dc.get(), mask.get());
        const COLORREF text = GetSysColor(COLOR_BTNTEXT);
        const DWORD pixel = (GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text);
        auto* out = static_cast<DWORD*>(bits);
        // An icon's colour is added to the screen where its mask is white: black there.
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x)
                out[y * bm.bmWidth + x] = GetPixel(dc.get(), x, y) == RGB(0, 0, 0) ? pixel : 0;
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    const tmb::IconHandle icon(CreateIconIndirect(&info));
    return icon ? tmb::Picture::FromIcon(icon.get()) : tmb::Picture();
}

} // namespace

TKvDirTreeCombo28::TKvDirTreeCombo28(tmb::Component* owner) : tmb::Edit(owner) {
    SetBounds(0, 0, 216, 21);
    SetReadOnly(true);

    btn_ = new TKvSpeedButton(this);
    btn_->SetBounds(Width() - 21, 0, 17, 17);
    btn_->SetCursor(tmb::CursorKind::crArrow);
    btn_->SetGlyph(ComboArrow());
    btn_->SetNumGlyphs(1);
    btn_->SetParent(this);
    btn_->OnClick = [this](tmb::Component*) { DropDown(); };

    popup_ = new tmb::PopupWindow(this);
    popup_->SetAnchor(this);
    tree_ = new TKvDirTreeView(this, popup_);
    tree_->OnPick = [this](tmb::Component* sender, HTREEITEM node) { PickNode(node, sender, true); };
}

TKvDirTreeCombo28::~TKvDirTreeCombo28() = default;

// ---- properties -----------------------------------------------------------------------------

void TKvDirTreeCombo28::SetSelectedPath(const std::wstring& path) {
    if (!tmb::SameText(path, tree_->PickedPath()))
        tree_->SetPickedPath(path);
    if (fileList_)
        TellFileList(tree_->PickedPath(), false);
}

void TKvDirTreeCombo28::SetFileList(TKvFilelistView28* view) {
    fileList_ = view;
    if (!fileList_)
        return;
    FreeNotification(fileList_);
    if (!tree_->PickedPath().empty())
        TellFileList(tree_->PickedPath(), true);
}

void TKvDirTreeCombo28::TellFileList(const std::wstring& directory, bool reload) {
    // A list moved to another folder lists it there and then: only a list already showing
    // the folder ("C:\x" or "C:\x\") is read again.
    if (reload && tmb::SameText(AddSlash(fileList_->Directory()), AddSlash(directory)))
        fileList_->UpdateFileList();
    else
        fileList_->SetDirectory(directory);
}

void TKvDirTreeCombo28::SetGlyph(const tmb::Picture& glyph) {
    if (!glyph.Empty())
        btn_->SetGlyph(glyph);
}

void TKvDirTreeCombo28::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::Edit::Notification(component, operation);
    if (operation == tmb::Operation::opRemove && component == fileList_)
        fileList_ = nullptr;
}

// ---- the box ----------------------------------------------------------------------------------

void TKvDirTreeCombo28::CreateParams(tmb::CreateArgs& args) {
    tmb::Edit::CreateParams(args);
    // Only a multi-line edit keeps to the text rectangle it is given, which leaves room for
    // the icon and the button.
    args.style |= WS_CLIPCHILDREN | ES_MULTILINE;
}

void TKvDirTreeCombo28::HandleCreated() {
    tmb::Edit::HandleCreated();
    // Sized before it was placed, the box has its button where it was made: at the right
    // end now.
    LayOutButton();
    BuildDropDown();
    if (!tree_->Selected()) {
        if (HTREEITEM root = tree_->TopNode()) {
            SetIconIndex(tree_->NodeImage(root));
            SetText(tree_->NodeText(root));
        }
    }
}

void TKvDirTreeCombo28::BuildDropDown() {
    // The drop-down outlives a re-creation of the box's window: its nodes stay.
    if (tree_->HandleAllocated() && tree_->TopNode())
        return;
    popup_->Handle();  // the tree's window is made with the pop-up's
    tree_->AddDrives();
    tree_->SetExpandRoot(true);
}

void TKvDirTreeCombo28::SetParent(tmb::WinControl* parent) {
    tmb::Edit::SetParent(parent);
    // The box comes first in the Tab order of the window it is first placed on.
    if (parent && !placed_) {
        placed_ = true;
        SetTabOrder(0);
    }
}

void TKvDirTreeCombo28::SetBounds(int left, int top, int width, int height) {
    tmb::Edit::SetBounds(left, top, width, height);
    if (btn_ && Parent())
        LayOutButton();
}

void TKvDirTreeCombo28::ChangeScale(int to, int from) {
    tmb::Edit::ChangeScale(to, from);
    treeHeight_ = tmb::ScaleLength(treeHeight_, to, from);
    LayOutButton();
}

void TKvDirTreeCombo28::LayOutButton() {
    btn_->SetBounds(Width() - btn_->Width() - Scaled(4), btn_->Top(), btn_->Width(),
                    Height() - Scaled(4));
    SetEditRect();
}

int TKvDirTreeCombo28::IconSize() const {
    // The shell's small icons, as large as the display's DPI makes them.
    int width = 16, height = 16;
    ImageList_GetIconSize(tree_->Images(), &width, &height);
    return height;
}

bool TKvDirTreeCombo28::IconValid() const {
    return iconIndex_ >= 0 && iconIndex_ < ImageList_GetImageCount(tree_->Images());
}

void TKvDirTreeCombo28::SetIconIndex(int index) {
    if (index == iconIndex_)
        return;
    iconIndex_ = index;
    SetEditRect();
    Invalidate();
}

void TKvDirTreeCombo28::SetEditRect() {
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    RECT r{IconValid() ? IconSize() + Scaled(7) : 0, 0, ClientWidth() - btn_->Width() - Scaled(2),
           ClientHeight() + 1};
    SendMessageW(h, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TKvDirTreeCombo28::PaintOverlay() {
    HWND h = HandleIfAllocated();
    if (!h)
        return;
    tmb::WindowDC dc(h);
    if (IconValid())
        ImageList_Draw(tree_->Images(), iconIndex_, dc.get(), Scaled(5),
                       ClientHeight() / 2 - IconSize() / 2, ILD_TRANSPARENT);
    PaintGraphicControls(dc.get(), RECT{0, 0, ClientWidth(), ClientHeight()});
}

void TKvDirTreeCombo28::ShowNode(HTREEITEM node) {
    SetIconIndex(tree_->NodeImage(node));
    SetText(tree_->NodeText(node));
}

LRESULT TKvDirTreeCombo28::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        // The edit paints its text; the icon and the button go over what it left.
        const LRESULT result = tmb::Edit::WndProc(msg, wParam, lParam);
        PaintOverlay();
        return result;
    }
    case WM_GETDLGCODE: {
        // Arrows, Enter and Esc are the box's own. Without this answer a multi-line edit
        // takes every key, Tab included, and treats Esc as a request to close the window.
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        const auto* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_CONTEXTMENU:
        return 0;  // no context menu on the box or its button
    case WM_KILLFOCUS:
        // The keys stay with the box while the drop-down is open: losing them means the
        // user went elsewhere.
        if (!popup_->Contains(reinterpret_cast<HWND>(wParam)))
            popup_->CloseUp();
        break;
    case WM_MOUSEWHEEL:
        if (popup_->IsOpen() && tree_->HandleAllocated())
            return SendMessageW(tree_->HandleIfAllocated(), msg, wParam, lParam);
        break;
    default:
        break;
    }
    return tmb::Edit::WndProc(msg, wParam, lParam);
}

// ---- the drop-down ------------------------------------------------------------------------------

void TKvDirTreeCombo28::DropDown() {
    if (popup_->IsOpen()) {
        popup_->CloseUp();
        return;
    }
    if (!Parent())
        return;  // a box that is not placed has nowhere to drop down from
    Handle();
    BuildDropDown();
    popup_->DropDown(Width(), treeHeight_);
}

void TKvDirTreeCombo28::PickNode(HTREEITEM node, tmb::Component* sender, bool byMouse) {
    if (!node)
        return;
    const std::wstring path = tree_->PickPath(node);
    tree_->SetPickedPath(path);
    SetSelectedPath(path);
    // A pick with the mouse shows the folder even when its drive turns out to be empty.
    if (byMouse)
        ShowNode(node);
    if (OnPathChange)
        OnPathChange(sender, path);
    popup_->CloseUp();
    if (!tree_->MediumReady(node, path))
        return;
    if (!byMouse)
        ShowNode(node);
}

void TKvDirTreeCombo28::Reload() {
    if (!tree_->HandleAllocated())
        return;  // built with the box's window
    tmb::UpdateBracket bracket(*tree_);
    tree_->AddDrives();
}

void TKvDirTreeCombo28::LocatePath(const std::wstring& path) {
    if (!tree_->HandleAllocated())
        return;
    std::wstring target;
    HTREEITEM last = tree_->Locate(path, target);
    if (!last)
        return;
    SetIconIndex(tree_->NodeImage(tree_->Selected()));
    SetText(tree_->NodeText(last));
    if (!tmb::SameText(tree_->PickedPath(), target))
        tree_->SetPickedPath(target);
    if (OnPathChange)
        OnPathChange(this, tree_->PickedPath());
}

// ---- keys ---------------------------------------------------------------------------------------

void TKvDirTreeCombo28::KeyDown(WORD& key, unsigned shift) {
    HTREEITEM selected = tree_->HandleAllocated() ? tree_->Selected() : nullptr;
    HTREEITEM root = selected ? tree_->RootNode() : nullptr;
    // With Alt the keys are the system's (Alt+F4 closes the window).
    switch ((shift & tmb::ssAlt) ? 0 : key) {
    case VK_RETURN:
        if (selected)
            PickNode(selected, this, false);
        break;
    case VK_ESCAPE:
        popup_->CloseUp();
        break;
    case VK_LEFT:
        if (!selected)
            break;
        if (tree_->Expanded(selected))
            tree_->Collapse(selected, true);
        if (selected == root || !tree_->PrevVisible(selected) ||
            tree_->PrevVisible(selected) == root)
            return;
        tree_->Select(tree_->PrevVisible(selected));
        break;
    case VK_UP:
        if (!selected)
            break;
        if (selected == root || !tree_->PrevVisible(selected))
            return;
        tree_->Select(tree_->PrevVisible(selected));
        break;
    case VK_RIGHT:
        if (selected)
            tree_->Expand(selected, false);
        break;
    case VK_DOWN:
        if (!selected)
            break;
        // An open node's next visible node is its first child.
        if (!tree_->NextVisible(selected))
            return;
        tree_->Select(tree_->NextVisible(selected));
        break;
    case VK_F4:
        DropDown();
        break;
    case VK_F5:
        Reload();
        LocatePath(tree_->PickedPath());
        break;
    default:
        break;
    }
    tmb::Edit::KeyDown(key, shift);
    // The edit itself does nothing useful with them, and in a window run by the dialog
    // manager it would pass them on as "close" and "default button".
    if (key == VK_RETURN || key == VK_ESCAPE)
        key = 0;
}

} // namespace kv
