// The directory tree's context menu: its entries, their captions and enabling.
#include "explorer/KvDirTree21PopUp.h"

#include "explorer/KvConsts.h"
#include "explorer/KvDirTree21.h"

namespace kv {
namespace {

// When an entry is enabled, by the selected node.
enum class Enabling { Separator, DriveOrFolder, Folder, FolderWithPaste, Always };

struct Entry {
    const wchar_t* name;  // null for a separator
    long tag;
    KvText caption;
    Enabling enabling;
};

constexpr Entry kEntries[TKvDirTree21PopUp::kItemCount] = {
    {L"AddNode", 1, KvText::CapNewFolder, Enabling::DriveOrFolder},
    {L"EditNode", 2, KvText::CapRenameFolder, Enabling::Folder},
    {L"DelNode", 3, KvText::CapDeleteFolder, Enabling::Folder},
    {nullptr, 0, KvText::Count, Enabling::Separator},
    {L"CutNode", 4, KvText::CapCut, Enabling::Folder},
    {L"CopyNode", 5, KvText::CapCopy, Enabling::Folder},
    {L"PasteNode", 6, KvText::CapPaste, Enabling::FolderWithPaste},
    {nullptr, 0, KvText::Count, Enabling::Separator},
    {L"GetTreeSize", 7, KvText::CapTreeSize, Enabling::DriveOrFolder},
    {L"ShowFolderContents", 8, KvText::CapContents, Enabling::DriveOrFolder},
    {nullptr, 0, KvText::Count, Enabling::Separator},
    {L"ConnectNetResource", 9, KvText::CapConnect, Enabling::Always},
    {L"DisConnectNetResource", 10, KvText::CapDisconnect, Enabling::Always},
    {nullptr, 0, KvText::Count, Enabling::Separator},
    {L"ItemProperty", 11, KvText::CapProperty, Enabling::DriveOrFolder},
};

} // namespace

TKvDirTree21PopUp::TKvDirTree21PopUp(tmb::Component* owner) : tmb::PopupMenu(owner) {}

void TKvDirTree21PopUp::BuildItems() {
    Clear();
    for (const Entry& e : kEntries) {
        tmb::MenuItem item;
        // The folder commands are operations of the tree that come with their own change;
        // until then the entries have no click handler and choosing one does nothing.
        item.caption = e.name ? KvTextOf(e.caption, TreeLanguage) : std::wstring(L"-");
        Add(std::move(item));
    }
}

const wchar_t* TKvDirTree21PopUp::ItemName(int position) {
    if (position < 0 || position >= kItemCount || !kEntries[position].name)
        return L"";
    return kEntries[position].name;
}

long TKvDirTree21PopUp::ItemTag(int position) {
    return (position < 0 || position >= kItemCount) ? 0 : kEntries[position].tag;
}

void TKvDirTree21PopUp::UpdateItems() {
    HTREEITEM selected = nullptr;
    int level = -1;
    if (tree_ && tree_->HandleAllocated()) {
        selected = tree_->Selected();
        if (selected)
            level = tree_->Level(selected);
    }
    const bool paste = tree_ && tree_->PastePending();
    auto& items = Items();
    for (std::size_t i = 0; i < items.size() && i < std::size(kEntries); ++i) {
        bool enabled = false;
        switch (kEntries[i].enabling) {
        case Enabling::Separator: enabled = true; break;
        case Enabling::Always: enabled = true; break;
        case Enabling::DriveOrFolder: enabled = selected && level >= 1; break;
        case Enabling::Folder: enabled = selected && level >= 2; break;
        case Enabling::FolderWithPaste: enabled = selected && level >= 2 && paste; break;
        }
        items[i].enabled = enabled;
    }
}

int TKvDirTree21PopUp::PopupAt(int x, int y, HWND owner) {
    UpdateItems();
    return Popup(x + 10, y + 10, owner);
}

void TKvDirTree21PopUp::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::PopupMenu::Notification(component, operation);
    if (operation == tmb::Operation::opRemove && component == tree_)
        tree_ = nullptr;
}

} // namespace kv
