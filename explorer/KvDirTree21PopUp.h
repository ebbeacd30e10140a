// The directory tree's own context menu: fifteen entries (eleven folder commands and four
// separators) with captions in the tree's language, enabled from the node selected when the
// menu opens, shown ten pixels right of and below the point of the right click.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/PopupMenu.h"

namespace kv {

class TKvDirTree21;

class TKvDirTree21PopUp : public tmb::PopupMenu {
public:
    // Positions of the entries; 3, 7, 10 and 13 are separators.
    enum Position : int {
        AddNode = 0,
        EditNode = 1,
        DelNode = 2,
        CutNode = 4,
        CopyNode = 5,
        PasteNode = 6,
        GetTreeSize = 8,
        ShowFolderContents = 9,
        ConnectNetResource = 11,
        DisConnectNetResource = 12,
        ItemProperty = 14,
    };
    static constexpr int kItemCount = 15;

    // Loads the eleven pictures of the entries; the entries come with BuildItems.
    explicit TKvDirTree21PopUp(tmb::Component* owner);
    // The pictures go first, then the entries that show them.
    ~TKvDirTree21PopUp() override;

    // Replaces the entries by the fifteen of the menu, captioned in the language the trees
    // applied last (TreeLanguage), each with its picture and the click dispatcher.
    void BuildItems();

    // The click dispatcher: an entry with a name and a non-zero tag runs the tree's command
    // its tag stands for; anything else (a separator, an entry of another menu) does nothing.
    void MenuItemClick(const tmb::MenuItem& item);

    // The picture of the entry at `position`, or null for a separator.
    HBITMAP ItemBitmap(int position) const;
    // The resource name of the picture at `position` ("NewFolder28", ...); empty for a
    // separator.
    static const wchar_t* BitmapName(int position);

    // The tree the menu serves; the tree sets itself right after building the menu.
    TKvDirTree21* Tree() const { return tree_; }
    void SetTree(TKvDirTree21* tree) { tree_ = tree; }

    // The entry's name ("AddNode", ...) and tag (1 to 11); empty and 0 for a separator.
    static const wchar_t* ItemName(int position);
    static long ItemTag(int position);

    // Enables the entries for the tree's selected node: with none selected only the two
    // network entries stay enabled.
    void UpdateItems();

    // Shows the menu for a right click at screen point (x, y), ten pixels right of and
    // below it, with the entries enabled for the selected node.
    int PopupAt(int x, int y, HWND owner);

    void Notification(tmb::Component* component, tmb::Operation operation) override;

private:
    TKvDirTree21* tree_ = nullptr;
    tmb::BitmapHandle bitmaps_[kItemCount];
};

} // namespace kv
