// The folder-contents window: panels, the OK button with its check mark, and a list view in
// list style that asks for each icon only when its row is drawn, so a folder of 100,000
// files opens about as fast as it can be read.
#include "explorer/KvFolderContents.h"

#include <commctrl.h>

#include <algorithm>

#include "explorer/KvDirTree21.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFileIcons.h"
#include "framework/Exception.h"
#include "framework/FileListBox.h"
#include "framework/ListView.h"
#include "framework/StdControls.h"

namespace kv {

namespace {

// A plain panel: a face-coloured area other controls are aligned in.
class Panel : public tmb::WinControl {
public:
    explicit Panel(tmb::Component* owner) : tmb::WinControl(owner) { SetColor(tmb::clBtnFace); }
};

const wchar_t kListHint[] = L"LeftClick - Select\r\nDblClick  - Open";

} // namespace

// The list of files: list style, one selection shown also when unfocused, the shell's small
// icons (shared, never destroyed here); each file shows its type's icon, or its own.
class TKvFolderContents::FileListView : public tmb::ListView {
public:
    explicit FileListView(TKvFolderContents* window) : tmb::ListView(window), window_(window) {
        SetViewStyle(tmb::ViewStyle::vsList);
        SetReadOnly(true);
        SetHideSelection(false);
        SetSmallImages(tmb::ImageList::Shared(SystemIcons()));
    }

    // Lists `names` (the files of the window's folder) in this order, the first focused.
    void Fill(const std::vector<std::wstring>& names) {
        ClearItems();
        // The control measures every label to find the column width of its list style when
        // it first paints with items (Wine does; for 100,000 names that takes seconds). So
        // its first paint sees one item, and it is then given the width of the longest names.
        std::size_t next = 0;
        if (!names.empty()) {
            AddItem(Entry(names[next++]));
            UpdateWindow(Handle());
        }
        ListView_SetColumnWidth(Handle(), 0, ColumnWidth(names));
        {
            tmb::ItemsUpdate bracket(*this);
            for (; next < names.size(); ++next)
                AddItem(Entry(names[next]));
        }
        if (!names.empty())
            SetFocusedIndex(0);
    }

protected:
    void HandleCreated() override {
        tmb::ListView::HandleCreated();
        HWND h = HandleIfAllocated();
        // The two-line hint; the tip window is owned by the list and goes with it.
        HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, h,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        if (tip) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = h;
            tool.uId = reinterpret_cast<UINT_PTR>(h);
            tool.lpszText = const_cast<wchar_t*>(kListHint);
            SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);  // lets the hint break at its CR LF
        }
    }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        // Enter belongs to this window's OK, not to the default button of the form around
        // the tree: the dialog navigation of the form's message loop must pass it on. Esc
        // stays the form's (the list view's own answer would keep it for the list).
        if (msg == WM_GETDLGCODE) {
            LRESULT code = tmb::WinControl::WndProc(msg, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                code |= DLGC_WANTALLKEYS;
            return code;
        }
        if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
            // Pressed later, not from here: OK frees this very list. (The control itself
            // reports Enter only while it holds items.)
            PostMessageW(window_->ok_->Handle(), BM_CLICK, 0, 0);
            return 0;
        }
        return tmb::ListView::WndProc(msg, wParam, lParam);
    }

    void DblClick() override { window_->OpenSelected(); }

    // Most files show their type's icon, asked for once per extension; the kinds that carry
    // an icon of their own are asked for one by one.
    int ItemImage(int index) override {
        const std::wstring path = window_->FullPath(index);
        const std::wstring extension = TypeIcons::ExtensionOf(path);
        return TypeIcons::HasOwnIcon(extension) ? GetIconIndex(path) : icons_.IconOf(extension);
    }

private:
    static tmb::ListItem Entry(const std::wstring& name) {
        tmb::ListItem item;
        item.caption = name;
        item.imageIndex = tmb::ListItem::kImageWhenDrawn;
        return item;
    }

    // Wide enough for the widest of the longest names (by character count), with the icon
    // and the control's margins.
    int ColumnWidth(const std::vector<std::wstring>& names) {
        std::vector<const std::wstring*> longest;
        longest.reserve(names.size());
        for (const std::wstring& n : names)
            longest.push_back(&n);
        const std::size_t measured = std::min<std::size_t>(longest.size(), 64);
        std::partial_sort(longest.begin(), longest.begin() + measured, longest.end(),
                          [](const std::wstring* a, const std::wstring* b) { return a->size() > b->size(); });
        HWND h = Handle();
        tmb::WindowDC dc(h);
        tmb::SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
        int widest = 48;
        for (std::size_t i = 0; i < measured; ++i) {
            SIZE size{};
            GetTextExtentPoint32W(dc.get(), longest[i]->c_str(), static_cast<int>(longest[i]->size()), &size);
            widest = std::max<int>(widest, size.cx);
        }
        return widest + GetSystemMetrics(SM_CXSMICON) + 16;
    }

    TKvFolderContents* window_;
    TypeIcons icons_;
};

TKvFolderContents::TKvFolderContents(TKvDirTree21* tree) : tmb::WinControl(tree), tree_(tree) {
    SetColor(tmb::clBtnFace);
    SetVisible(false);
    SetAlign(tmb::Align::alClient);
    SetParent(tree);

    auto* bottom = new Panel(this);
    bottom->SetHeight(22);
    bottom->SetParent(this);
    bottom->SetAlign(tmb::Align::alBottom);
    auto* right = new Panel(this);
    right->SetBounds(0, 0, 80, 22);
    right->SetParent(bottom);
    right->SetAlign(tmb::Align::alRight);

    ok_ = new tmb::Button(this);
    ok_->SetText(L"&OK");
    ok_->SetBounds(1, 1, 60, 22);
    ok_->SetParent(right);
    ok_->OnClick = [this](tmb::Component*) { OkClick(); };
    okGlyph_.reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"ContentsOk28",
                                                   IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));

    list_ = new FileListView(this);
    list_->SetParent(this);
    list_->SetAlign(tmb::Align::alClient);
}

TKvFolderContents::~TKvFolderContents() = default;

void TKvFolderContents::CreateParams(tmb::CreateArgs& args) {
    tmb::WinControl::CreateParams(args);
    // A sizeable tool window without system menu (so without a close box): only OK ends it.
    args.style |= WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN;
    args.exStyle |= WS_EX_TOOLWINDOW;
}

LRESULT TKvFolderContents::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A window inside another is never the active one, so its caption would always look
    // inactive, as if disabled: it is drawn as the caption of the window the user works in.
    if (msg == WM_NCACTIVATE)
        wParam = TRUE;
    return tmb::WinControl::WndProc(msg, wParam, lParam);
}

void TKvFolderContents::Open(const std::wstring& folder) {
    folder_ = AddSlash(folder);
    // The names as the main window's list shows a folder's files: by name as the user's
    // locale orders them, ignoring case. A folder that cannot be read shows no files.
    std::vector<std::wstring> names;
    try {
        names = tmb::ReadFolderFiles(folder_).names->ToVector();
    } catch (const tmb::Exception&) {
    }
    SetVisible(true);
    SetBounds(0, 0, tree_->ClientWidth(), tree_->ClientHeight());
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(Handle(), WM_NCACTIVATE, TRUE, 0);
    if (okGlyph_)
        SendMessageW(ok_->Handle(), BM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(okGlyph_.get()));
    SendMessageW(ok_->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    list_->Fill(names);
    if (!names.empty())
        list_->SetFocus();
}

std::vector<std::wstring> TKvFolderContents::Names() const {
    std::vector<std::wstring> names;
    if (list_) {
        names.reserve(static_cast<std::size_t>(list_->ItemCount()));
        for (int i = 0; i < list_->ItemCount(); ++i)
            names.push_back(list_->Item(i).caption);
    }
    return names;
}

std::wstring TKvFolderContents::FullPath(int index) const {
    if (!list_ || index < 0 || index >= list_->ItemCount())
        return std::wstring();
    return folder_ + list_->Item(index).caption;
}

HWND TKvFolderContents::ListHandle() const { return list_ ? list_->HandleIfAllocated() : nullptr; }

int TKvFolderContents::SelectedIndex() const { return list_ ? list_->SelectedIndex() : -1; }

void TKvFolderContents::OpenSelected() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    SetVisible(false);
    ExecuteFile(L"Open", FullPath(index), std::wstring(), folder_, SW_SHOW);
    SetVisible(true);
}

void TKvFolderContents::OkClick() {
    if (!list_)
        return;  // already ended
    const std::wstring file = FullPath(SelectedIndex());
    // The list goes now (the window itself stays hidden until the next one replaces it): a
    // folder of many files should not be held on to.
    tmb::Destroy(list_);
    list_ = nullptr;
    SetVisible(false);
    tree_->ContentsChosen(file, folder_);
}

} // namespace kv
