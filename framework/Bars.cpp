// Toolbar and status bar.
#include "framework/Bars.h"

#include <commctrl.h>

#include "framework/Dpi.h"

namespace tmb {

ToolBar::ToolBar(Component* owner) : WinControl(owner) {}

void ToolBar::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = TOOLBARCLASSNAMEW;
    // The form places the bar; the bar must not move or size itself to its parent.
    args.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_FLAT |
                  WS_CLIPCHILDREN;
}

void ToolBar::HandleCreated() {
    WinControl::HandleCreated();
    HWND h = HandleIfAllocated();
    SendMessageW(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(h, TB_SETINDENT, 0, 0);
    const std::vector<Item> items = std::move(items_);
    items_.clear();
    for (const Item& item : items)
        AddButton(item);
}

void ToolBar::SetButtonHeight(int height) { buttonHeight_ = height; }

void ToolBar::ChangeScale(int to, int from) {
    // The items scale by their edges, as the controls standing on them do, so each control
    // still covers its room exactly.
    int left = 0, scaledLeft = 0;
    for (Item& item : items_) {
        const int right = ScaleLength(left + item.width, to, from);
        left += item.width;
        item.width = right - scaledLeft;
        scaledLeft = right;
    }
    buttonHeight_ = ScaleLength(buttonHeight_, to, from);
    if (HWND h = HandleIfAllocated()) {
        while (SendMessageW(h, TB_DELETEBUTTON, 0, 0)) {
        }
        const std::vector<Item> items = std::move(items_);
        items_.clear();
        for (const Item& item : items)
            AddButton(item);
    }
    WinControl::ChangeScale(to, from);
}

void ToolBar::AddButton(const Item& item) {
    items_.push_back(item);
    if (!HandleAllocated())
        return;
    TBBUTTON b{};
    b.iBitmap = item.width;  // a separator's width
    b.idCommand = 0;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_SEP;
    SendMessageW(HandleIfAllocated(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
}

int ToolBar::AddSeparator(int width) {
    int left = 0;
    for (const Item& i : items_) left += i.width;
    AddButton(Item{width, true});
    return left;
}

int ToolBar::AddControlRoom(int width) {
    int left = 0;
    for (const Item& i : items_) left += i.width;
    AddButton(Item{width, false});
    return left;
}

std::vector<RECT> ToolBar::ItemRects() const {
    std::vector<RECT> rects;
    for (size_t i = 0; i < items_.size(); ++i) {
        RECT r{};
        if (HandleAllocated())
            SendMessageW(HandleIfAllocated(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        rects.push_back(r);
    }
    return rects;
}

StatusBar::StatusBar(Component* owner) : WinControl(owner) {}

void StatusBar::CreateParams(CreateArgs& args) {
    WinControl::CreateParams(args);
    args.className = STATUSCLASSNAMEW;
    args.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void StatusBar::HandleCreated() {
    WinControl::HandleCreated();
    ApplyParts();
}

void StatusBar::BoundsChanged() {
    WinControl::BoundsChanged();
    ApplyParts();
}

void StatusBar::ChangeScale(int to, int from) {
    for (int& width : widths_)
        width = ScaleLength(width, to, from);
    WinControl::ChangeScale(to, from);
    ApplyParts();
}

void StatusBar::SetPanels(const std::vector<int>& widths) {
    widths_ = widths;
    texts_.resize(widths.size());
    ApplyParts();
}

void StatusBar::ApplyParts() {
    if (!HandleAllocated() || widths_.empty())
        return;
    std::vector<int> rights;
    int x = 0;
    for (size_t i = 0; i < widths_.size(); ++i) {
        x += widths_[i];
        rights.push_back(i + 1 == widths_.size() ? -1 : x);
    }
    HWND h = HandleIfAllocated();
    SendMessageW(h, SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    for (size_t i = 0; i < texts_.size(); ++i)
        SendMessageW(h, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(texts_[i].c_str()));
}

std::wstring StatusBar::PanelText(int index) const {
    return index >= 0 && index < static_cast<int>(texts_.size()) ? texts_[index] : L"";
}

void StatusBar::SetPanelText(int index, const std::wstring& text) {
    if (index < 0 || index >= static_cast<int>(texts_.size()))
        return;
    texts_[index] = text;
    if (HandleAllocated())
        SendMessageW(HandleIfAllocated(), SB_SETTEXTW, index,
                     reinterpret_cast<LPARAM>(texts_[index].c_str()));
}

} // namespace tmb
