// The directory tree's own context menu: fifteen entries (eleven folder commands and four
// separators) with captions in the tree's language, enabled from the node selected when the
// menu opens, shown ten pixels right of and below the point of the right click.
#pragma once

#include <windows.h>

#include "framework/OwnMenu.h"

namespace kv {

class TKvDirTree21;

class TKvDirTree21PopUp : public tmb::OwnPopupMenu<TKvDirTree21> {
public:
    // Entries 3, 7, 10 and 13 are separators.
    static constexpr int kItemCount = 15;

    // The entries come with BuildMenu.
    explicit TKvDirTree21PopUp(tmb::Component* owner);

    // Replaces the entries by the fifteen of the menu, captioned in the language the trees
    // applied last (TreeLanguage), each with its picture and the click dispatcher.
    void BuildMenu() override;

    // An entry with a name and a non-zero tag runs the tree's command its tag stands for;
    // anything else (a separator, an entry of another menu) does nothing.
    void MenuItemClick(const tmb::MenuItem& item) override;

    // Enables the entries for the tree's selected node: with none selected only the two
    // network entries stay enabled.
    void UpdateItems() override;
};

} // namespace kv
