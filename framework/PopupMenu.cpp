// Pop-up menus built afresh from their items each time they are shown.
#include "framework/PopupMenu.h"

#include "framework/Control.h"

namespace tmb {

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

int PopupMenu::Popup(int screenX, int screenY, HWND owner) {
    if (OnPopup)
        OnPopup(this);
    MenuHandle menu(CreatePopupMenu());
    int shown = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        const MenuItem& item = items_[i];
        if (!item.visible)
            continue;
        if (item.caption == L"-") {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            const UINT id = static_cast<UINT>(i + 1);
            AppendMenuW(menu.get(), MF_STRING | (item.enabled ? 0 : MF_GRAYED), id,
                        item.caption.c_str());
            if (item.bitmap) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_BITMAP;
                info.hbmpItem = item.bitmap;
                SetMenuItemInfoW(menu.get(), id, FALSE, &info);
            }
        }
        ++shown;
    }
    if (shown == 0)
        return -1;
    const int cmd = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                   screenX, screenY, 0, owner, nullptr);
    if (cmd <= 0)
        return -1;
    const int index = cmd - 1;
    if (items_[index].onClick)
        items_[index].onClick(this);
    return index;
}

} // namespace tmb
