// A control's own pop-up menu: a menu that serves one control, forgets it when the control
// goes, opens beside the click with its entries enabled for the moment, and is made anew
// when the control's language changes.
#pragma once

#include "framework/MenuTable.h"
#include "framework/PopupMenu.h"

namespace tmb {

// The own menu of a `Control`, whose entries come from a menu table (see MenuTable.h).
template <class Control>
class OwnPopupMenu : public PopupMenu {
public:
    explicit OwnPopupMenu(Component* owner) : PopupMenu(owner) {}

    // Replaces the entries by the menu's, captioned in the control's language.
    virtual void BuildMenu() = 0;
    // Enables the entries for the control as it stands.
    virtual void UpdateItems() = 0;
    // The click handler of every entry: the entry's name and tag choose the action.
    virtual void MenuItemClick(const MenuItem& item) = 0;

    // The control the menu serves; the control sets itself right after building the menu.
    Control* Served() const { return control_; }
    void Serve(Control* control) {
        control_ = control;
        served_ = control;
    }

    // Shows the menu ten pixels right of and below the point asked for, with the entries
    // enabled for the control.
    int Popup(int screenX, int screenY, HWND owner) override {
        UpdateItems();
        return PopupMenu::Popup(screenX + 10, screenY + 10, owner);
    }

    void Notification(Component* component, Operation operation) override {
        PopupMenu::Notification(component, operation);
        if (operation == Operation::opRemove && component == served_) {
            control_ = nullptr;
            served_ = nullptr;
        }
    }

protected:
    void ItemClicked(MenuItem& item) override { MenuItemClick(item); }
    // Runs the action of the row of `rows` the entry stands for on the control; false when
    // there is none: no control, a separator, an entry of another menu.
    template <class Rows>
    bool RunRow(const Rows& rows, const MenuItem& item) {
        return control_ && !item.name.empty() && item.tag != 0 &&
               RunMenuAction(rows, item.tag, *control_);
    }

    MenuPictures pictures_;

private:
    Control* control_ = nullptr;
    Component* served_ = nullptr;  // the same control, known as a component
};

// A control took a new language: it gets a new own menu of type `Menu`, built and serving
// it, and a control whose window exists makes it again, for its texts. The old menu goes
// first (the owner's Notification clears `own`; it leaves nothing in the message queue, so
// no messages need to run before the new one is built), the new one pops up by itself and
// takes the place of whatever menu had been assigned from outside, and the own menu counts
// as enabled again.
template <class Menu, class Owner, class Held>
void RebuildForLanguage(Owner& owner, Held*& own, bool& enabled) {
    if (own)
        Destroy(own);
    own = nullptr;
    auto* menu = new Menu(&owner);
    menu->BuildMenu();
    menu->Serve(&owner);
    menu->SetAutoPopup(true);
    own = menu;
    owner.SetPopupMenu(menu);
    enabled = true;
    if (owner.HandleAllocated())
        owner.RecreateWnd();
}

} // namespace tmb
