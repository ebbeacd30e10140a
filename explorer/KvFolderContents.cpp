// The folder-contents window: panels, the OK button with its check mark, and an owner-data
// list view that keeps the names in C++ and asks for each icon only when its row is drawn,
// so a folder of 100,000 files opens about as fast as it can be read.
#include "explorer/KvFolderContents.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "explorer/KvDirTree21.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/StdControls.h"
#include "framework/TextConv.h"

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
// icons (shared, never destroyed here).
class TKvFolderContents::FileListView : public tmb::WinControl {
public:
    explicit FileListView(TKvFolderContents* window) : tmb::WinControl(window), window_(window) {
        SetTabStop(true);
    }

    void SetCount(int count) {
        // The control measures every label to find the column width of its list style when
        // it first paints with items (Wine does; for 100,000 names that takes seconds). So
        // its first paint sees one item, and it is then given the width of the longest names.
        if (count > 0) {
            ListView_SetItemCountEx(Handle(), 1, 0);
            UpdateWindow(Handle());
        }
        ListView_SetColumnWidth(Handle(), 0, ColumnWidth());
        ListView_SetItemCountEx(Handle(), count, 0);
        if (count > 0) {
            ListView_SetItemState(Handle(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
        }
    }

private:
    // The small system icon of a listed file. Most files show their type's icon, asked for
    // once per extension without opening the file (the shell takes a long time per file);
    // the kinds that carry an icon of their own are asked for one by one.
    int IconOf(int index) {
        const std::wstring& name = window_->names_[index];
        const std::size_t dot = name.rfind(L'.');
        std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
        for (wchar_t& c : extension)
            c = static_cast<wchar_t>(towlower(c));
        static const wchar_t* const kOwnIcons[] = {L".exe", L".lnk", L".ico", L".cur",
                                                   L".ani", L".scr", L".pif", L".url"};
        for (const wchar_t* own : kOwnIcons)
            if (extension == own)
                return GetIconIndex(window_->FullPath(index));
        const auto known = byExtension_.find(extension);
        if (known != byExtension_.end())
            return known->second;
        SHFILEINFOW info{};
        const bool found = SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                                          SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX |
                                              SHGFI_SMALLICON) != 0;
        const int icon = found && info.iIcon >= 0 ? info.iIcon : 0;
        byExtension_.emplace(extension, icon);
        return icon;
    }

    // Wide enough for the widest of the longest names (by character count), with the icon
    // and the control's margins.
    int ColumnWidth() {
        const std::vector<std::wstring>& names = window_->names_;
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

protected:
    void CreateParams(tmb::CreateArgs& args) override {
        tmb::WinControl::CreateParams(args);
        args.className = WC_LISTVIEWW;
        args.style |= LVS_LIST | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                      LVS_SINGLESEL | WS_TABSTOP;
        args.exStyle |= WS_EX_CLIENTEDGE;
    }

    void HandleCreated() override {
        tmb::WinControl::HandleCreated();
        HWND h = HandleIfAllocated();
        SHFILEINFOW info{};
        const auto system = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        ListView_SetImageList(h, system, LVSIL_SMALL);
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
        // the tree: the dialog navigation of the form's message loop must pass it on.
        if (msg == WM_GETDLGCODE && lParam) {
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                return tmb::WinControl::WndProc(msg, wParam, lParam) | DLGC_WANTALLKEYS;
        }
        if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
            // Pressed later, not from here: OK frees this very list. (The control itself
            // reports Enter only while it holds items.)
            PostMessageW(window_->ok_->Handle(), BM_CLICK, 0, 0);
            return 0;
        }
        return tmb::WinControl::WndProc(msg, wParam, lParam);
    }

    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg != WM_NOTIFY)
            return tmb::WinControl::Reflected(msg, wParam, lParam, result);
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        switch (header->code) {
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
            const int i = info->item.iItem;
            if (i < 0 || i >= static_cast<int>(window_->names_.size()))
                break;
            // A buffer of no room takes nothing (one less than its size would wrap around).
            if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
                const std::wstring& name = window_->names_[i];
                const std::size_t n = std::min<std::size_t>(
                    name.size(), static_cast<std::size_t>(info->item.cchTextMax - 1));
                name.copy(info->item.pszText, n);
                info->item.pszText[n] = L'\0';
            }
            if (info->item.mask & LVIF_IMAGE) {
                int& icon = window_->icons_[i];
                if (icon < 0)
                    icon = IconOf(i);
                info->item.iImage = icon;
            }
            break;
        }
        case LVN_ODFINDITEMW: {
            // Typing a name's first letters finds it, as in a list that holds its items.
            const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(lParam);
            result = -1;
            if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz)
                return true;
            const std::wstring typed = find->lvfi.psz;
            const int count = static_cast<int>(window_->names_.size());
            for (int k = 0; k < count; ++k) {
                const int i = (find->iStart + k) % count;
                const std::wstring& name = window_->names_[i];
                if (name.size() >= typed.size() &&
                    tmb::SameText(name.substr(0, typed.size()), typed)) {
                    result = i;
                    break;
                }
            }
            return true;
        }
        case NM_DBLCLK:
            window_->OpenSelected();
            break;
        default:
            break;
        }
        result = 0;
        return true;
    }

private:
    TKvFolderContents* window_;
    std::unordered_map<std::wstring, int> byExtension_;
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
    names_.clear();
    {
        tmb::ScopedHourglass hourglass;
        WIN32_FIND_DATAW data;
        tmb::FindHandle search(FindFirstFileExW((folder_ + L"*.*").c_str(), FindExInfoBasic,
                                                &data, FindExSearchNameMatch, nullptr,
                                                FIND_FIRST_EX_LARGE_FETCH));
        if (search) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    names_.emplace_back(data.cFileName);
            } while (FindNextFileW(search.get(), &data));
        }
        // By name as the user's locale orders it, ignoring case; the keys are made once per
        // name, not once per comparison.
        std::vector<std::string> keys;
        keys.reserve(names_.size());
        for (const std::wstring& n : names_)
            keys.push_back(tmb::SortKey(n, true));
        std::vector<int> order(names_.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[a] < keys[b]; });
        std::vector<std::wstring> sorted;
        sorted.reserve(names_.size());
        for (int i : order)
            sorted.push_back(std::move(names_[i]));
        names_ = std::move(sorted);
        icons_.assign(names_.size(), -1);
    }
    SetVisible(true);
    SetBounds(0, 0, tree_->ClientWidth(), tree_->ClientHeight());
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(Handle(), WM_NCACTIVATE, TRUE, 0);
    if (okGlyph_)
        SendMessageW(ok_->Handle(), BM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(okGlyph_.get()));
    SendMessageW(ok_->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    list_->SetCount(static_cast<int>(names_.size()));
    if (!names_.empty())
        list_->SetFocus();
}

std::wstring TKvFolderContents::FullPath(int index) const {
    if (index < 0 || index >= static_cast<int>(names_.size()))
        return std::wstring();
    return folder_ + names_[index];
}

HWND TKvFolderContents::ListHandle() const { return list_ ? list_->HandleIfAllocated() : nullptr; }

int TKvFolderContents::SelectedIndex() const {
    HWND h = ListHandle();
    return h ? ListView_GetNextItem(h, -1, LVNI_SELECTED) : -1;
}

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
    names_.clear();
    names_.shrink_to_fit();
    icons_.clear();
    SetVisible(false);
    tree_->ContentsChosen(file, folder_);
}

} // namespace kv
