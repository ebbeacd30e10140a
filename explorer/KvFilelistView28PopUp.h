// The file list view's own context menu: Open, View, a Send To submenu (any folder, the
// clipboard, the desktop and the shortcuts of the user's SendTo folder), Cut, Copy, Paste,
// Rename, Delete, Properties and New Folder, captioned in the list's language, enabled from
// the list's selection when it opens ten pixels right of and below the click.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "explorer/KvSendTo.h"
#include "framework/PopupMenu.h"

namespace kv {

class TKvFilelistView28;

// What the enabling of the menu looks at, as the list stands when the menu opens.
struct ListMenuState {
    int selectedCount = 0;
    std::wstring firstSelectedPath;  // full path of the first selected item
    bool clipboardFilled = false;    // a cut or copy waits to be pasted
    bool drivesView = false;
};

class TKvFilelistView28PopUp : public tmb::PopupMenu {
public:
    // Positions of top-level entries: Send To is the fourth, New Folder the last of fifteen.
    enum Position : int { SubMenuSend = 3, ItemFolder = 14 };
    static constexpr int kItemCount = 15;
    // The fixed entries of the Send To submenu come first; the shortcuts follow from 4 on.
    static constexpr int kFixedSendTo = 4;
    static constexpr long kSendToTagBase = 30;

    explicit TKvFilelistView28PopUp(tmb::Component* owner);

    // Creates every entry, captioned in ViewLanguage, and the Send To submenu with the
    // shortcuts the user's SendTo folder holds now.
    void BuildMenu();
    // As BuildMenu, with the given shortcuts in the Send To submenu.
    void BuildMenuFrom(const std::vector<SendToShortcut>& shortcuts);

    // The list the menu serves; the list sets itself right after building the menu.
    TKvFilelistView28* ListView() const { return list_; }
    void SetListView(TKvFilelistView28* list) { list_ = list; }

    // The full paths of the Send To shortcut entries, in entry order.
    const std::vector<std::wstring>& SendToPaths() const { return sendToPaths_; }

    // Enables the entries for the given state of the list.
    void UpdateItems(const ListMenuState& state);
    // The state of the list the menu serves (nothing selected without one).
    ListMenuState ListState() const;

    // Enables the entries from the list's selection, then shows the menu at (x + 10, y + 10).
    int Popup(int screenX, int screenY, HWND owner) override;

    // The shared click handler: the item's name and tag choose the action.
    void MenuItemClick(const tmb::MenuItem& item);

    void Notification(tmb::Component* component, tmb::Operation operation) override;

protected:
    void ItemClicked(tmb::MenuItem& item) override { MenuItemClick(item); }

private:
    TKvFilelistView28* list_ = nullptr;
    std::vector<std::wstring> sendToPaths_;
    tmb::MenuPictures pictures_;
};

} // namespace kv
