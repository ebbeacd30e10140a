// Pop-up menus built afresh from their items each time they are shown.
#include "framework/PopupMenu.h"

#include "framework/Control.h"

namespace tmb {
namespace {

// Numbers every item depth first, visible or not, so a command names one item for good.
template <class Visit>
bool Walk(std::vector<MenuItem>& items, int& number, Visit&& visit) {
    for (MenuItem& item : items) {
        if (visit(item, ++number))
            return true;
        if (Walk(item.items, number, visit))
            return true;
    }
    return false;
}

int Fill(HMENU menu, const std::vector<MenuItem>& items, int number) {
    for (const MenuItem& item : items) {
        const int command = ++number;
        HMENU sub = nullptr;
        if (!item.items.empty()) {
            sub = CreatePopupMenu();
            number = Fill(sub, item.items, number);
        }
        if (!item.visible) {
            if (sub)
                DestroyMenu(sub);
            continue;
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        if (item.caption == L"-") {
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | (sub ? MIIM_SUBMENU : 0u) |
                         (item.bitmap ? MIIM_BITMAP : 0u);
            info.dwTypeData = const_cast<wchar_t*>(item.caption.c_str());
            info.wID = static_cast<UINT>(command);
            info.fState = item.enabled ? MFS_ENABLED : MFS_DISABLED;
            info.hSubMenu = sub;
            info.hbmpItem = item.bitmap;
        }
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    }
    return number;
}

// Fill numbers nested items right after their parent, as Walk does.
int CountAll(const std::vector<MenuItem>& items) {
    int n = 0;
    for (const MenuItem& item : items)
        n += 1 + CountAll(item.items);
    return n;
}

} // namespace

PopupMenu::PopupMenu(Component* owner) : Component(owner) {}

int PopupMenu::Add(MenuItem item) {
    items_.push_back(std::move(item));
    return static_cast<int>(items_.size()) - 1;
}

void PopupMenu::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::opRemove && component == popupComponent_)
        popupComponent_ = nullptr;
}

MenuHandle PopupMenu::BuildHandle() const {
    MenuHandle menu(CreatePopupMenu());
    Fill(menu.get(), items_, 0);
    return menu;
}

MenuItem* PopupMenu::Item(int command) {
    if (command <= 0 || command > CountAll(items_))
        return nullptr;
    MenuItem* found = nullptr;
    int number = 0;
    Walk(items_, number, [&](MenuItem& item, int n) {
        if (n != command)
            return false;
        found = &item;
        return true;
    });
    return found;
}

void PopupMenu::ItemClicked(MenuItem& item) {
    if (item.onClick)
        item.onClick(this);
}

int PopupMenu::Popup(int screenX, int screenY, HWND owner) {
    if (OnPopup)
        OnPopup(this);
    MenuHandle menu = BuildHandle();
    if (GetMenuItemCount(menu.get()) <= 0)
        return -1;
    const int cmd = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                   screenX, screenY, 0, owner, nullptr);
    MenuItem* item = Item(cmd);
    if (!item)
        return -1;
    ItemClicked(*item);
    return cmd - 1;
}

} // namespace tmb
