// Owner-data list boxes.
#include "framework/ListBox.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/TextConv.h"

namespace tmb {

ListBox::ListBox(Component* owner) : WinControl(owner), items_(std::make_shared<NameTable>()) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

void ListBox::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = L"LISTBOX";
    args.style |= LBS_NOTIFY | LBS_NODATA | LBS_OWNERDRAWFIXED | WS_VSCROLL;
    if (!integralHeight_)
        args.style |= LBS_NOINTEGRALHEIGHT;
    args.exStyle |= WS_EX_CLIENTEDGE;
}

void ListBox::HandleCreated() {
    WinControl::HandleCreated();
    HWND h = HandleIfAllocated();
    SendMessageW(h, LB_SETITEMHEIGHT, 0, itemHeight_);
    SendMessageW(h, LB_SETCOUNT, items_->Size(), 0);
    if (savedIndex_ >= 0)
        SendMessageW(h, LB_SETCURSEL, savedIndex_, 0);
}

void ListBox::HandleDestroying() { savedIndex_ = ItemIndex(); }

void ListBox::ChangeScale(int to, int from) {
    SetItemHeight(ScaleLength(itemHeight_, to, from));
    WinControl::ChangeScale(to, from);
}

void ListBox::SetItemHeight(int height) {
    itemHeight_ = height;
    if (HandleAllocated())
        SendMessageW(HandleIfAllocated(), LB_SETITEMHEIGHT, 0, height);
}

std::wstring_view ListBox::ItemView(int index) const {
    return index >= 0 && index < Count() ? (*items_)[static_cast<size_t>(index)] : std::wstring_view();
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
    SetItems(std::make_shared<const NameTable>(items));
}

void ListBox::SetItems(SharedNames items) {
    items_ = items ? std::move(items) : std::make_shared<const NameTable>();
    savedIndex_ = -1;
    if (!HandleAllocated())
        return;
    HWND h = HandleIfAllocated();
    UpdateBracket bracket(*this);
    // LB_SETCOUNT keeps no selection and scrolls back to the top.
    SendMessageW(h, LB_RESETCONTENT, 0, 0);
    SendMessageW(h, LB_SETCOUNT, items_->Size(), 0);
}

LRESULT ListBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR && wParam >= L' ') {
        // A list box without strings cannot search by itself.
        SelectByFirstLetter(static_cast<wchar_t>(wParam));
        return 0;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

void ListBox::SelectByFirstLetter(wchar_t ch) {
    const int n = Count();
    if (n == 0)
        return;
    const std::wstring key(1, ch);
    const int start = ItemIndex();
    for (int step = 1; step <= n; ++step) {
        const int i = (start + step + n) % n;
        const std::wstring_view item = ItemView(i);
        if (!item.empty() && SameText(std::wstring(1, item[0]), key)) {
            if (i != start) {
                SetItemIndex(i);
                SelectionChanged();
            }
            return;
        }
    }
}

bool ListBox::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(itemHeight_);
        result = TRUE;
        return true;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        const int index = static_cast<int>(dis->itemID);
        if (index >= 0 && index < Count()) {
            DrawItem(dis->hDC, index, dis->rcItem, dis->itemState);
        } else {
            FillRect(dis->hDC, &dis->rcItem, BackgroundBrush().get());
        }
        if ((dis->itemState & ODS_FOCUS) && !(dis->itemState & ODS_NOFOCUSRECT))
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
            // The double click already ran DblClick when the list's own WM_LBUTTONDBLCLK
            // passed through the control's mouse handling; a second call would run it twice.
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

COLORREF ListBox::FillRow(HDC dc, const RECT& rect, UINT state) {
    if (state & ODS_SELECTED) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT));
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    FillRect(dc, &rect, BackgroundBrush().get());
    return Enabled() ? ColorToRGB(GetFont().Color()) : GetSysColor(COLOR_GRAYTEXT);
}

void ListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state) {
    const COLORREF textColor = FillRow(dc, rect, state);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    SelectGuard font(dc, GetFont().Handle());
    const std::wstring_view text = ItemView(index);
    RECT r = rect;
    r.left += 2;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace tmb
