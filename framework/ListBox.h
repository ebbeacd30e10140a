// A list box of strings with single selection, owner-drawn rows of a fixed height, and the
// click/double-click notifications of the platform's list box.
#pragma once

#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace tmb {

class ListBox : public WinControl {
public:
    explicit ListBox(Component* owner);

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // True: the height is trimmed to whole rows (the platform's integral height).
    void SetIntegralHeight(bool value) { integralHeight_ = value; }

    int Count() const;
    std::wstring Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Replaces all items at once, redraw off, in the given order.
    void SetItems(const std::vector<std::wstring>& items);
    void ClearItems();

protected:
    void CreateParams(CreateArgs& args) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void HandleCreated() override;
    void HandleDestroying() override;
    // Draws one row; the default draws the item text at the left.
    virtual void DrawItem(HDC dc, int index, const RECT& rect, UINT state);
    // The platform reported a selection change by the user.
    virtual void SelectionChanged() { Click(); }

private:
    int itemHeight_ = 16;
    bool integralHeight_ = true;
    std::vector<std::wstring> saved_;
    int savedIndex_ = -1;
};

} // namespace tmb
