// A pop-up menu component: items with captions and click events, optionally with a picture,
// a name and a tag, and submenus of their own; shown at a screen point. A menu without items
// shows nothing.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/Component.h"
#include "framework/Handles.h"

namespace tmb {

struct MenuItem {
    std::wstring caption;          // "-" is a separator
    std::function<void(Component* sender)> onClick;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool radio = false;            // a ticked item shows a bullet instead of a check mark
    std::wstring name{};           // identifies the item to a shared click handler
    long tag = 0;
    HBITMAP bitmap = nullptr;      // shown beside the caption; owned by whoever set it
    std::vector<MenuItem> items{}; // a non-empty list makes the item open a submenu
};

// A window's menu bar of `items`, each entry's command id its tag.
MenuHandle BuildMenuBar(const std::vector<MenuItem>& items);

// The pictures of a menu's entries, each made once and owned here so items can point at
// them: bitmap resources with their grey shades mapped to the current 3-D colours, and
// image-list icons drawn on the menu's colour.
class MenuPictures {
public:
    // The picture of bitmap resource `name`; null for a null name.
    HBITMAP Get(const wchar_t* name);
    // A new picture of icon `index` of `images`; null when it cannot be made.
    HBITMAP FromIcon(HIMAGELIST images, int index);
    void ClearIcons() { icons_.clear(); }

private:
    std::vector<std::pair<std::wstring, BitmapHandle>> loaded_;
    std::vector<BitmapHandle> icons_;
};

class PopupMenu : public Component {
public:
    explicit PopupMenu(Component* owner);
    ~PopupMenu() override { *alive_ = false; }

    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

    std::vector<MenuItem>& Items() { return items_; }
    int Add(MenuItem item);
    void Clear() { items_.clear(); }

    // Shows the menu and runs the chosen item's click; returns the chosen item's place in
    // the depth-first order of Item (its index in a menu without submenus) or -1. Nothing
    // runs when the menu or the owner window went away while the menu was open.
    virtual int Popup(int screenX, int screenY, HWND owner);

    // The platform menu of the visible items as they stand, command i + 1 for the i-th item
    // in the order Item(i) walks them (depth first); what Popup tracks.
    MenuHandle BuildHandle() const;
    // The item of a command of BuildHandle's menu, or null.
    MenuItem* Item(int command);

    std::function<void(Component* sender)> OnPopup;

protected:
    // Runs when the user chooses `item`; the default runs its onClick.
    virtual void ItemClicked(MenuItem& item);

private:
    std::vector<MenuItem> items_;
    // Cleared when the menu goes; the menu's loop runs any message, its destruction too.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool autoPopup_ = true;
};

} // namespace tmb
