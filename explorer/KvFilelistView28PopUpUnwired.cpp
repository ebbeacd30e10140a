// Until the menu is wired to the file list view: shown without enabling, clicks do nothing.
#include "explorer/KvFilelistView28PopUp.h"

namespace kv {

int TKvFilelistView28PopUp::Popup(int x, int y, HWND owner) {
    return tmb::PopupMenu::Popup(x + 10, y + 10, owner);
}

void TKvFilelistView28PopUp::MenuItemClick(const tmb::MenuItem&) {}

} // namespace kv
