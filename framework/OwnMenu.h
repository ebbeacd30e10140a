// A control's own pop-up menu, made anew when its language changes.
#pragma once

#include "framework/PopupMenu.h"

namespace tmb {

// Gives a control a new own menu, built by `make`: the old one goes first (the owner's
// Notification clears `own`), the new one pops up by itself and takes the place of whatever
// menu had been assigned from outside, and the own menu counts as enabled again.
template <class Owner, class Menu, class Make>
void ReplaceOwnMenu(Owner& owner, Menu*& own, bool& enabled, Make make) {
    if (own)
        Destroy(own);
    own = nullptr;
    auto* menu = make();
    menu->SetAutoPopup(true);
    own = menu;
    owner.SetPopupMenu(menu);
    enabled = true;
}

} // namespace tmb
