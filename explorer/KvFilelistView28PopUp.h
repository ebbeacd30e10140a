// The file list view's own context menu: Open, View, a Send To submenu (any folder, the
// clipboard, the desktop and the shortcuts of the user's SendTo folder), Cut, Copy, Paste,
// Rename, Delete, Properties and New Folder, captioned in the list's language, enabled from
// the list's selection when it opens ten pixels right of and below the click.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "explorer/KvSendTo.h"
#include "framework/OwnMenu.h"

namespace kv {

class TKvFilelistView28;

// What the enabling of the menu looks at, as the list stands when the menu opens.
struct ListMenuState {
    int selectedCount = 0;
    std::wstring firstSelectedPath;  // full path of the first selected item
    bool clipboardFilled = false;    // a cut or copy waits to be pasted
    bool drivesView = false;
};

class TKvFilelistView28PopUp : public tmb::OwnPopupMenu<TKvFilelistView28> {
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
    void BuildMenu() override;
    // As BuildMenu, with the given shortcuts in the Send To submenu.
    void BuildMenuFrom(const std::vector<SendToShortcut>& shortcuts);

    // The full paths of the Send To shortcut entries, in entry order.
    const std::vector<std::wstring>& SendToPaths() const { return sendToPaths_; }

    // Enables the entries for the given state of the list, or for the list's selection.
    void UpdateItems(const ListMenuState& state);
    void UpdateItems() override { UpdateItems(ListState()); }
    // The state of the list the menu serves (nothing selected without one).
    ListMenuState ListState() const;

    // A table entry runs its operation on the list, a shortcut sends the selection to it.
    void MenuItemClick(const tmb::MenuItem& item) override;

private:
    std::vector<std::wstring> sendToPaths_;
};

} // namespace kv
