// A pop-up menu component: items with captions and click events, shown at a screen point.
// A menu without items shows nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Handles.h"

namespace tmb {

class Control;

struct MenuItem {
    std::wstring caption;          // "-" is a separator
    std::function<void(Component* sender)> onClick;
    bool enabled = true;
    bool visible = true;
    std::wstring name{};           // the item's name, for a handler shared by several items
    long tag = 0;                  // a number for the same purpose
    HBITMAP bitmap = nullptr;      // shown left of the caption; whoever made it keeps it alive
};

class PopupMenu : public Component {
public:
    explicit PopupMenu(Component* owner);

    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

    std::vector<MenuItem>& Items() { return items_; }
    int Add(MenuItem item);
    void Clear() { items_.clear(); }

    // The control the menu was last shown for.
    Control* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(Control* control) { popupComponent_ = control; }

    // Shows the menu and runs the chosen item's event; returns the item index or -1.
    int Popup(int screenX, int screenY, HWND owner);

    std::function<void(Component* sender)> OnPopup;

    void Notification(Component* component, Operation operation) override;

private:
    std::vector<MenuItem> items_;
    bool autoPopup_ = true;
    Control* popupComponent_ = nullptr;
};

} // namespace tmb
