// The directory tree's context menu: its entries, their captions, pictures and enabling, and
// the dispatch of a chosen entry to the tree's command.
#include "explorer/KvDirTree21PopUp.h"

#include "explorer/KvConsts.h"
#include "explorer/KvDirTree21.h"
#include "explorer/KvFileExplorer28.h"

namespace kv {
namespace {

// When an entry is enabled, by the selected node.
enum class Enabling { Separator, DriveOrFolder, Folder, FolderWithPaste, Always };

struct Entry {
    const wchar_t* name;  // null for a separator
    long tag;
    KvText caption;
    Enabling enabling;
    const wchar_t* bitmap;
};

constexpr Entry kEntries[TKvDirTree21PopUp::kItemCount] = {
    {L"AddNode", 1, KvText::CapNewFolder, Enabling::DriveOrFolder, L"NewFolder28"},
    {L"EditNode", 2, KvText::CapRenameFolder, Enabling::Folder, L"EditFolder28"},
    {L"DelNode", 3, KvText::CapDeleteFolder, Enabling::Folder, L"DelFolder28"},
    {nullptr, 0, KvText::Count, Enabling::Separator, nullptr},
    {L"CutNode", 4, KvText::CapCut, Enabling::Folder, L"Cut28"},
    {L"CopyNode", 5, KvText::CapCopy, Enabling::Folder, L"Copy28"},
    {L"PasteNode", 6, KvText::CapPaste, Enabling::FolderWithPaste, L"Paste28"},
    {nullptr, 0, KvText::Count, Enabling::Separator, nullptr},
    {L"GetTreeSize", 7, KvText::CapTreeSize, Enabling::DriveOrFolder, L"TreeSize28"},
    {L"ShowFolderContents", 8, KvText::CapContents, Enabling::DriveOrFolder, L"DirContents28"},
    {nullptr, 0, KvText::Count, Enabling::Separator, nullptr},
    {L"ConnectNetResource", 9, KvText::CapConnect, Enabling::Always, L"NetConnect28"},
    {L"DisConnectNetResource", 10, KvText::CapDisconnect, Enabling::Always, L"NetDisConnect28"},
    {nullptr, 0, KvText::Count, Enabling::Separator, nullptr},
    {L"ItemProperty", 11, KvText::CapProperty, Enabling::DriveOrFolder, L"Attributes28"},
};

} // namespace

TKvDirTree21PopUp::TKvDirTree21PopUp(tmb::Component* owner) : tmb::PopupMenu(owner) {
    // The grey shades of the pictures become the current 3-D colours, so the pictures sit
    // on the menu's face whatever the colour scheme.
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int i = 0; i < kItemCount; ++i) {
        if (kEntries[i].bitmap)
            bitmaps_[i].reset(static_cast<HBITMAP>(LoadImageW(
                instance, kEntries[i].bitmap, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    }
}

TKvDirTree21PopUp::~TKvDirTree21PopUp() = default;

void TKvDirTree21PopUp::BuildItems() {
    Clear();
    for (int i = 0; i < kItemCount; ++i) {
        const Entry& e = kEntries[i];
        tmb::MenuItem item;
        if (e.name) {
            item.caption = KvTextOf(e.caption, TreeLanguage);
            item.name = e.name;
            item.tag = e.tag;
            item.bitmap = bitmaps_[i].get();
            item.onClick = [this, i](tmb::Component*) { MenuItemClick(Items()[i]); };
        } else {
            item.caption = L"-";
        }
        Add(std::move(item));
    }
}

HBITMAP TKvDirTree21PopUp::ItemBitmap(int position) const {
    return (position < 0 || position >= kItemCount) ? nullptr : bitmaps_[position].get();
}

const wchar_t* TKvDirTree21PopUp::BitmapName(int position) {
    if (position < 0 || position >= kItemCount || !kEntries[position].bitmap)
        return L"";
    return kEntries[position].bitmap;
}

void TKvDirTree21PopUp::MenuItemClick(const tmb::MenuItem& item) {
    if (!tree_ || item.name.empty() || item.tag == 0)
        return;
    switch (item.tag) {
    case 1: tree_->AddNewFolder(nullptr, std::wstring()); break;
    case 2: tree_->EditSelected(); break;
    case 3: tree_->DeleteFolder(nullptr); break;
    case 4: tree_->CutOrCopy(foMove); break;
    case 5: tree_->CutOrCopy(foCopy); break;
    case 6: tree_->PasteFolder(); break;
    case 7: tree_->ShowTreeSize(); break;
    case 8: tree_->ShowFolderContents(); break;
    case 9: tree_->ConnectNetDrive(); break;
    case 10: tree_->DisconnectNetDrive(); break;
    case 11: tree_->ShowItemProperties(); break;
    default: break;
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
