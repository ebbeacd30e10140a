// The toolbar and the status bar of the common controls.
#pragma once

#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace tmb {

// A flat toolbar whose items are laid out left to right: separators, and the room a child
// control occupies (the control itself is a child window placed on that room).
class ToolBar : public WinControl {
public:
    explicit ToolBar(Component* owner);

    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int height);
    // Adds a separator `width` pixels wide; returns its left edge.
    int AddSeparator(int width);
    // Reserves `width` pixels for a child control and returns its left edge.
    int AddControlRoom(int width);
    // Left edge and width of each item, in order.
    std::vector<RECT> ItemRects() const;

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;
    void ChangeScale(int to, int from) override;

private:
    struct Item {
        int width;
        bool separator;
    };
    void AddButton(const Item& item);
    std::vector<Item> items_;
    int buttonHeight_ = 22;
};

// A status bar with fixed-width panels; the last runs to the right end.
class StatusBar : public WinControl {
public:
    explicit StatusBar(Component* owner);

    // Panel widths; the last one is stretched to the bar's right end.
    void SetPanels(const std::vector<int>& widths);
    std::wstring PanelText(int index) const;
    void SetPanelText(int index, const std::wstring& text);

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;
    void BoundsChanged() override;
    void ChangeScale(int to, int from) override;

private:
    void ApplyParts();
    std::vector<int> widths_;
    std::vector<std::wstring> texts_;
};

} // namespace tmb
