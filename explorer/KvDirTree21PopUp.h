// The directory tree's own context menu: fifteen entries (eleven folder commands and four
// separators) with captions in the tree's language, enabled from the node selected when the
// menu opens, shown ten pixels right of and below the point of the right click.
#pragma once

#include <windows.h>

#include <string>

#include "framework/PopupMenu.h"

namespace kv {

class TKvDirTree21;

class TKvDirTree21PopUp : public tmb::PopupMenu {
public:
    // Entries 3, 7, 10 and 13 are separators.
    static constexpr int kItemCount = 15;

    // The entries come with BuildItems.
    explicit TKvDirTree21PopUp(tmb::Component* owner);

    // Replaces the entries by the fifteen of the menu, captioned in the language the trees
    // applied last (TreeLanguage), each with its picture and the click dispatcher.
    void BuildItems();

    // The click dispatcher: an entry with a name and a non-zero tag runs the tree's command
    // its tag stands for; anything else (a separator, an entry of another menu) does nothing.
    void MenuItemClick(const tmb::MenuItem& item);

    // The tree the menu serves; the tree sets itself right after building the menu.
    TKvDirTree21* Tree() const { return tree_; }
    void SetTree(TKvDirTree21* tree) { tree_ = tree; }

    // The entry's name ("AddNode", ...) and tag (1 to 11); empty and 0 for a separator.
    static const wchar_t* ItemName(int position);
    static long ItemTag(int position);

    // Enables the entries for the tree's selected node: with none selected only the two
    // network entries stay enabled.
    void UpdateItems();

    // Shows the menu ten pixels right of and below the point asked for, with the entries
    // enabled for the selected node.
    int Popup(int screenX, int screenY, HWND owner) override;

    void Notification(tmb::Component* component, tmb::Operation operation) override;

protected:
    void ItemClicked(tmb::MenuItem& item) override { MenuItemClick(item); }

private:
    TKvDirTree21* tree_ = nullptr;
    tmb::MenuPictures pictures_;
};

} // namespace kv
