// List boxes with owner-drawn rows.
#include "framework/ListBox.h"

#include "framework/Handles.h"

namespace tmb {

ListBox::ListBox(Component* owner) : WinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

void ListBox::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = L"LISTBOX";
    args.style |= LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL;
    if (!integralHeight_)
        args.style |= LBS_NOINTEGRALHEIGHT;
    args.exStyle |= WS_EX_CLIENTEDGE;
}

void ListBox::HandleCreated() {
    WinControl::HandleCreated();
    SendMessageW(HandleIfAllocated(), LB_SETITEMHEIGHT, 0, itemHeight_);
    if (!saved_.empty()) {
        SetItems(saved_);
        saved_.clear();
        SetItemIndex(savedIndex_);
    }
}

void ListBox::HandleDestroying() {
    // The items live in the window: keep them across a re-creation.
    saved_.clear();
    for (int i = 0, n = Count(); i < n; ++i)
        saved_.push_back(Item(i));
    savedIndex_ = ItemIndex();
}

void ListBox::SetItemHeight(int height) {
    itemHeight_ = height;
    if (HandleAllocated())
        SendMessageW(HandleIfAllocated(), LB_SETITEMHEIGHT, 0, height);
}

int ListBox::Count() const {
    return HandleAllocated() ? static_cast<int>(SendMessageW(HandleIfAllocated(), LB_GETCOUNT, 0, 0))
                             : static_cast<int>(saved_.size());
}

std::wstring ListBox::Item(int index) const {
    if (!HandleAllocated())
        return index >= 0 && index < static_cast<int>(saved_.size()) ? saved_[index] : L"";
    const LRESULT n = SendMessageW(HandleIfAllocated(), LB_GETTEXTLEN, index, 0);
    if (n == LB_ERR)
        return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(HandleIfAllocated(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

int ListBox::ItemIndex() const {
    if (!HandleAllocated())
        return savedIndex_;
    const LRESULT i = SendMessageW(HandleIfAllocated(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void ListBox::SetItemIndex(int index) {
    if (HandleAllocated())
        SendMessageW(HandleIfAllocated(), LB_SETCURSEL, index, 0);
    else
        savedIndex_ = index;
}

void ListBox::SetItems(const std::vector<std::wstring>& items) {
    HWND h = Handle();
    UpdateBracket bracket(*this);
    SendMessageW(h, LB_RESETCONTENT, 0, 0);
    SendMessageW(h, LB_INITSTORAGE, items.size(), items.size() * 32);
    for (const std::wstring& item : items)
        SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ListBox::ClearItems() {
    if (HandleAllocated())
        SendMessageW(HandleIfAllocated(), LB_RESETCONTENT, 0, 0);
    saved_.clear();
}

bool ListBox::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(itemHeight_);
        result = TRUE;
        return true;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (static_cast<int>(dis->itemID) >= 0)
            DrawItem(dis->hDC, static_cast<int>(dis->itemID), dis->rcItem, dis->itemState);
        else {
            BrushHandle brush(CreateSolidBrush(ColorToRGB(Color())));
            FillRect(dis->hDC, &dis->rcItem, brush.get());
        }
        if (dis->itemState & ODS_FOCUS)
            DrawFocusRect(dis->hDC, &dis->rcItem);
        result = TRUE;
        return true;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            SelectionChanged();
            result = 0;
            return true;
        }
        if (HIWORD(wParam) == LBN_DBLCLK) {
            DblClick();
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORLISTBOX:
        result = reinterpret_cast<LRESULT>(BackgroundBrush().get());
        return true;
    default:
        return false;
    }
}

void ListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state) {
    const bool selected = (state & ODS_SELECTED) != 0;
    BrushHandle brush(CreateSolidBrush(selected ? GetSysColor(COLOR_HIGHLIGHT) : ColorToRGB(Color())));
    FillRect(dc, &rect, brush.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(GetFont().Color()));
    SelectGuard font(dc, GetFont().Handle());
    const std::wstring text = Item(index);
    RECT r = rect;
    r.left += 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace tmb
