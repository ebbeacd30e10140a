// A list box with single selection and owner-drawn rows of a fixed height. The items live
// in C++ (the platform's list box only knows their number, LBS_NODATA), so filling it with
// 100,000 names is one message, not 100,000; they are kept packed in one shared table, which
// a listing may go on reading after the list has moved on. Typing a letter selects the next
// item that starts with it, as in the platform's own list box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/NameTable.h"
#include "framework/WinControl.h"

namespace tmb {

class ListBox : public WinControl {
public:
    explicit ListBox(Component* owner);

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // True: the height is trimmed to whole rows (the platform's integral height).
    void SetIntegralHeight(bool value) { integralHeight_ = value; }

    int Count() const { return static_cast<int>(items_->Size()); }
    // An item's text; empty for an index out of range.
    std::wstring Item(int index) const { return std::wstring(ItemView(index)); }
    std::wstring_view ItemView(int index) const;
    // A copy of all items, in list order.
    std::vector<std::wstring> Items() const { return items_->ToVector(); }
    // The items themselves, never null.
    const SharedNames& Names() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Replaces all items at once, in the given order; nothing is selected afterwards.
    void SetItems(const std::vector<std::wstring>& items);
    void SetItems(SharedNames items);
    void ClearItems() { SetItems(SharedNames()); }

protected:
    void CreateParams(CreateArgs& args) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void HandleCreated() override;
    void HandleDestroying() override;
    void ChangeScale(int to, int from) override;
    // Draws one row; the default draws the item text at the left.
    virtual void DrawItem(HDC dc, int index, const RECT& rect, UINT state);
    // Fills a row's background for its state and returns the colour its text takes.
    COLORREF FillRow(HDC dc, const RECT& rect, UINT state);
    // The platform reported a selection change by the user.
    virtual void SelectionChanged() { Click(); }

private:
    void SelectByFirstLetter(wchar_t ch);

    SharedNames items_;
    int itemHeight_ = 16;
    bool integralHeight_ = true;
    int savedIndex_ = -1;
};

} // namespace tmb
