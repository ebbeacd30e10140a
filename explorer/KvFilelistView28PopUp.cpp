// The file list view's context menu: its entries, pictures, Send To shortcuts, enabling and
// the dispatch of a click to the list's operations.
#include "explorer/KvFilelistView28PopUp.h"

#include <commctrl.h>
#include <shellapi.h>

#include "explorer/KvConsts.h"
#include "explorer/KvFilelistView28.h"

namespace kv {
namespace {

// When an entry is enabled. Entries that act on files and folders (Files...) are never on
// for drives: a drive root is no entry to cut, copy, delete, rename or send anywhere.
enum class Enabling { Separator, Selected, FilesSelected, Viewable, Paste, OneFileSelected, NotDrives };

struct Entry {
    const wchar_t* name;  // null for a separator
    long tag;
    KvText caption;
    int bitmap;           // index into kBitmapNames
    Enabling enabling;
};

constexpr Entry kEntries[TKvFilelistView28PopUp::kItemCount] = {
    {L"ItemOpen", 1, KvText::CapOpen, 0, Enabling::Selected},
    {L"ItemView", 2, KvText::CapView, 1, Enabling::Viewable},
    {nullptr, 0, KvText::Count, -1, Enabling::Separator},
    {L"SubMenuSend", 3, KvText::CapSendTo, 2, Enabling::FilesSelected},
    {nullptr, 0, KvText::Count, -1, Enabling::Separator},
    {L"ItemOpCut", 4, KvText::CapFileCut, 3, Enabling::FilesSelected},
    {L"ItemOpCopy", 5, KvText::CapFileCopy, 4, Enabling::FilesSelected},
    {L"ItemOpPaste", 6, KvText::CapFilePaste, 5, Enabling::Paste},
    {nullptr, 0, KvText::Count, -1, Enabling::Separator},
    {L"ItemRename", 7, KvText::CapRename, 6, Enabling::OneFileSelected},
    {L"ItemDelete", 8, KvText::CapDelete, 7, Enabling::FilesSelected},
    {nullptr, 0, KvText::Count, -1, Enabling::Separator},
    {L"ItemProperty", 9, KvText::CapProperties, 8, Enabling::Selected},
    {nullptr, 0, KvText::Count, -1, Enabling::Separator},
    {L"ItemFolder", 10, KvText::CapNewFolderDots, 9, Enabling::NotDrives},
};

struct SendToEntry {
    KvText caption;
    int bitmap;
};
constexpr SendToEntry kSendToEntries[TKvFilelistView28PopUp::kFixedSendTo] = {
    {KvText::CapAnyFolder, 10},
    {KvText::CapClipContents, 11},
    {KvText::CapClipName, 11},
    {KvText::CapDesktopShortcut, 12},
};

constexpr wchar_t kSendToPrefix[] = L"Send_To";
constexpr std::size_t kSendToPrefixLength = 7;

HIMAGELIST SystemSmallImages() {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}


// The number after "Send_To" in an item's name, or -1 when the rest is no decimal number.
int SendToNumber(const std::wstring& name) {
    if (name.compare(0, kSendToPrefixLength, kSendToPrefix) != 0 ||
        name.size() == kSendToPrefixLength || name.size() > kSendToPrefixLength + 6)
        return -1;
    int n = 0;
    for (std::size_t i = kSendToPrefixLength; i < name.size(); ++i) {
        if (name[i] < L'0' || name[i] > L'9')
            return -1;
        n = n * 10 + (name[i] - L'0');
    }
    return n;
}

} // namespace

const wchar_t* const TKvFilelistView28PopUp::kBitmapNames[13] = {
    L"Open28",       L"View28",       L"SendTo28",    L"Cut28",       L"Copy28",
    L"Paste28",      L"ReName28",     L"Delete28",    L"Attributes28", L"NewFolder28",
    L"AnyFolder28",  L"ClipBoard28",  L"DeskTop28",
};

TKvFilelistView28PopUp::TKvFilelistView28PopUp(tmb::Component* owner) : tmb::PopupMenu(owner) {
    for (std::size_t i = 0; i < bitmaps_.size(); ++i)
        bitmaps_[i].reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                          kBitmapNames[i], IMAGE_BITMAP, 0, 0,
                                                          LR_LOADMAP3DCOLORS)));
}

HBITMAP TKvFilelistView28PopUp::IconPicture(int iconIndex) {
    HIMAGELIST images = SystemSmallImages();
    int cx = 16, cy = 16;
    if (!images || !ImageList_GetIconSize(images, &cx, &cy))
        return nullptr;
    tmb::WindowDC screen(nullptr);
    tmb::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
    tmb::MemoryDC dc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc)
        return nullptr;
    {
        tmb::SelectGuard select(dc.get(), bitmap.get());
        RECT all{0, 0, cx, cy};
        FillRect(dc.get(), &all, GetSysColorBrush(COLOR_MENU));
        ImageList_Draw(images, iconIndex, dc.get(), 0, 0, ILD_TRANSPARENT);
    }
    iconPictures_.push_back(std::move(bitmap));
    return iconPictures_.back().get();
}

void TKvFilelistView28PopUp::BuildMenu() { BuildMenuFrom(ReadSendToFolder()); }

void TKvFilelistView28PopUp::BuildMenuFrom(const std::vector<SendToShortcut>& shortcuts) {
    Clear();
    sendToPaths_.clear();
    iconPictures_.clear();
    const TLanguage language = ViewLanguage;
    for (const Entry& e : kEntries) {
        tmb::MenuItem item;
        if (!e.name) {
            item.caption = L"-";
        } else {
            item.caption = KvTextOf(e.caption, language);
            item.name = e.name;
            item.tag = e.tag;
            item.bitmap = bitmaps_[static_cast<std::size_t>(e.bitmap)].get();
        }
        Add(std::move(item));
    }
    std::vector<tmb::MenuItem>& send = Items()[SubMenuSend].items;
    for (int i = 0; i < kFixedSendTo; ++i) {
        tmb::MenuItem item;
        item.caption = KvTextOf(kSendToEntries[i].caption, language);
        item.name = kSendToPrefix + std::to_wstring(i);
        item.tag = kSendToTagBase + i;
        item.bitmap = bitmaps_[static_cast<std::size_t>(kSendToEntries[i].bitmap)].get();
        send.push_back(std::move(item));
    }
    iconPictures_.reserve(shortcuts.size());
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        tmb::MenuItem item;
        item.caption = shortcuts[i].displayName;
        item.name = kSendToPrefix + std::to_wstring(i + kFixedSendTo);
        item.tag = kSendToTagBase + kFixedSendTo + static_cast<long>(i);
        item.group = 1;
        item.bitmap = IconPicture(shortcuts[i].iconIndex);
        send.push_back(std::move(item));
        sendToPaths_.push_back(shortcuts[i].path);
    }
}

void TKvFilelistView28PopUp::UpdateItems(const ListMenuState& state) {
    const bool selected = state.selectedCount > 0;
    const bool one = state.selectedCount == 1;
    auto& items = Items();
    for (std::size_t i = 0; i < items.size() && i < std::size(kEntries); ++i) {
        bool enabled = true;
        switch (kEntries[i].enabling) {
        case Enabling::Separator: break;
        case Enabling::Selected: enabled = selected; break;
        case Enabling::FilesSelected: enabled = selected && !state.drivesView; break;
        case Enabling::Viewable:
            enabled = selected && ViewerIndex(state.firstSelectedPath) >= 0;
            break;
        case Enabling::Paste: enabled = state.clipboardFilled && !state.drivesView; break;
        case Enabling::OneFileSelected: enabled = one && !state.drivesView; break;
        case Enabling::NotDrives: enabled = !state.drivesView; break;
        }
        items[i].enabled = enabled;
    }
    if (items.size() <= SubMenuSend)
        return;
    auto& send = items[SubMenuSend].items;
    for (std::size_t i = 0; i < send.size(); ++i) {
        if (state.drivesView)
            send[i].enabled = false;
        else if (i == 1)
            send[i].enabled = one && CanCopyContents(state.firstSelectedPath);
        else if (i < kFixedSendTo)
            send[i].enabled = selected;
        else
            send[i].enabled = true;  // the shortcuts
    }
}

ListMenuState TKvFilelistView28PopUp::ListState() const {
    ListMenuState state;
    if (!list_)
        return state;
    state.selectedCount = list_->SelectedCount();
    const int first = list_->SelectedIndex();
    if (first >= 0)
        state.firstSelectedPath = list_->ItemPath(first);
    // The list's own copy list, or files another program put on the clipboard.
    state.clipboardFilled = list_->CanPaste();
    state.drivesView = list_->IsDrivesView();
    return state;
}

int TKvFilelistView28PopUp::Popup(int screenX, int screenY, HWND owner) {
    UpdateItems(ListState());
    return tmb::PopupMenu::Popup(screenX + 10, screenY + 10, owner);
}

void TKvFilelistView28PopUp::MenuItemClick(const tmb::MenuItem& item) {
    if (item.name.empty() || item.tag == 0 || !list_)
        return;
    TKvFilelistView28& list = *list_;
    switch (item.tag) {
    case 1: list.OpenItem(); return;
    case 2: list.ViewFile(); return;
    case 4: list.CutOrCopy(foMove); return;
    case 5: list.CutOrCopy(foCopy); return;
    case 6: list.Paste(); return;
    case 7: list.RenameSelected(); return;
    case 8: list.DeleteSelected(); return;
    case 9: list.ShowItemProperties(); return;
    case 10: list.AddNewFolder(); return;
    default: break;
    }
    const int number = SendToNumber(item.name);
    if (number >= 0 && number < kFixedSendTo) {
        list.SendToSpecial(number);
    } else if (number >= kFixedSendTo) {
        const auto entry = static_cast<std::size_t>(number - kFixedSendTo);
        if (entry < sendToPaths_.size())
            list.SendToTarget(sendToPaths_[entry]);
    }
}

void TKvFilelistView28PopUp::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::PopupMenu::Notification(component, operation);
    if (operation == tmb::Operation::opRemove &&
        component == static_cast<tmb::Component*>(list_))
        list_ = nullptr;
}

} // namespace kv
