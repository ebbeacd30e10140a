// The file list view's context menu: its entries, pictures, Send To shortcuts, enabling and
// the dispatch of a click to the list's operations.
#include "explorer/KvFilelistView28PopUp.h"

#include <algorithm>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFilelistView28.h"

namespace kv {
namespace {

using Row = tmb::MenuRow<KvText, ListMenuState, TKvFilelistView28>;

// Entries that act on files and folders are never on for drives: a drive root is no entry
// to cut, copy, delete, rename or send anywhere.
bool Selected(const ListMenuState& s, long) { return s.selectedCount > 0; }
bool FilesSelected(const ListMenuState& s, long) { return s.selectedCount > 0 && !s.drivesView; }
bool Viewable(const ListMenuState& s, long) {
    return s.selectedCount > 0 && ViewerIndex(s.firstSelectedPath) >= 0;
}
bool Paste(const ListMenuState& s, long) { return s.clipboardFilled && !s.drivesView; }
bool OneFileSelected(const ListMenuState& s, long) {
    return s.selectedCount == 1 && !s.drivesView;
}
bool NotDrives(const ListMenuState& s, long) { return !s.drivesView; }
bool ContentsCopyable(const ListMenuState& s, long) {
    return OneFileSelected(s, 0) && CanCopyContents(s.firstSelectedPath);
}

constexpr Row kSeparator{nullptr, 0, KvText::Count, nullptr, nullptr, nullptr};

// Every entry is found by its tag; the SendTo folder's shortcuts, added after the table's own
// entries, by their tags too (see MenuItemClick).
using L = TKvFilelistView28;
using tmb::Call;

const Row kRows[] = {
    {L"ItemOpen",    1,  KvText::CapOpen,            L"Open28",       Selected,         Call<&L::OpenItem>},
    {L"ItemView",    2,  KvText::CapView,            L"View28",       Viewable,         Call<&L::ViewFile>},
    kSeparator,
    {L"SubMenuSend", 3,  KvText::CapSendTo,          L"SendTo28",     FilesSelected,    nullptr},
    {L"Send_To0",    30, KvText::CapAnyFolder,       L"AnyFolder28",  FilesSelected,    Call<&L::SendToSpecial, 0>, nullptr, 1},
    {L"Send_To1",    31, KvText::CapClipContents,    L"ClipBoard28",  ContentsCopyable, Call<&L::SendToSpecial, 1>, nullptr, 1},
    {L"Send_To2",    32, KvText::CapClipName,        L"ClipBoard28",  FilesSelected,    Call<&L::SendToSpecial, 2>, nullptr, 1},
    {L"Send_To3",    33, KvText::CapDesktopShortcut, L"DeskTop28",    FilesSelected,    Call<&L::SendToSpecial, 3>, nullptr, 1},
    kSeparator,
    {L"ItemOpCut",   4,  KvText::CapFileCut,         L"Cut28",        FilesSelected,    Call<&L::CutOrCopy, foMove>},
    {L"ItemOpCopy",  5,  KvText::CapFileCopy,        L"Copy28",       FilesSelected,    Call<&L::CutOrCopy, foCopy>},
    {L"ItemOpPaste", 6,  KvText::CapFilePaste,       L"Paste28",      Paste,            Call<&L::Paste>},
    kSeparator,
    {L"ItemRename",  7,  KvText::CapRename,          L"ReName28",     OneFileSelected,  Call<&L::RenameSelected>},
    {L"ItemDelete",  8,  KvText::CapDelete,          L"Delete28",     FilesSelected,    Call<&L::DeleteSelected>},
    kSeparator,
    {L"ItemProperty", 9, KvText::CapProperties,      L"Attributes28", Selected,         Call<&L::ShowItemProperties>},
    kSeparator,
    {L"ItemFolder",  10, KvText::CapNewFolderDots,   L"NewFolder28",  NotDrives,        Call<&L::AddNewFolder>},
};

constexpr wchar_t kSendToPrefix[] = L"Send_To";

} // namespace

TKvFilelistView28PopUp::TKvFilelistView28PopUp(tmb::Component* owner)
    : tmb::OwnPopupMenu<TKvFilelistView28>(owner) {}

void TKvFilelistView28PopUp::BuildMenu() { BuildMenuFrom(ReadSendToFolder()); }

void TKvFilelistView28PopUp::BuildMenuFrom(const std::vector<SendToShortcut>& shortcuts) {
    sendToPaths_.clear();
    pictures_.ClearIcons();
    const TLanguage language = ViewLanguage;
    Clear();
    tmb::BuildMenuItems(
        Items(), kRows, [language](KvText caption) { return KvTextOf(caption, language); },
        &pictures_);
    std::vector<tmb::MenuItem>& send = Items()[SubMenuSend].items;
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        tmb::MenuItem item;
        item.caption = shortcuts[i].displayName;
        item.name = kSendToPrefix + std::to_wstring(i + kFixedSendTo);
        item.tag = kSendToTagBase + kFixedSendTo + static_cast<long>(i);
        item.bitmap = pictures_.FromIcon(SystemIcons(), shortcuts[i].iconIndex);
        send.push_back(std::move(item));
        sendToPaths_.push_back(shortcuts[i].path);
    }
}

void TKvFilelistView28PopUp::UpdateItems(const ListMenuState& state) {
    tmb::ApplyMenuRules(Items(), kRows, state);
    if (Items().size() > SubMenuSend) {
        auto& send = Items()[SubMenuSend].items;
        for (std::size_t i = kFixedSendTo; i < send.size(); ++i)
            send[i].enabled = !state.drivesView;  // the shortcuts
    }
}

ListMenuState TKvFilelistView28PopUp::ListState() const {
    ListMenuState state;
    const TKvFilelistView28* list = Served();
    if (!list)
        return state;
    state.selectedCount = list->SelectedCount();
    const int first = list->SelectedIndex();
    if (first >= 0)
        state.firstSelectedPath = list->ItemPath(first);
    // The list's own copy list, or files another program put on the clipboard.
    state.clipboardFilled = list->CanPaste();
    state.drivesView = list->IsDrivesView();
    return state;
}

void TKvFilelistView28PopUp::MenuItemClick(const tmb::MenuItem& item) {
    if (RunRow(kRows, item) || !Served() || item.name.empty())
        return;
    // A shortcut's tag is its place among the SendTo folder's shortcuts.
    const long entry = item.tag - kSendToTagBase - kFixedSendTo;
    if (entry >= 0 && static_cast<std::size_t>(entry) < sendToPaths_.size())
        Served()->SendToTarget(sendToPaths_[static_cast<std::size_t>(entry)]);
}

} // namespace kv
