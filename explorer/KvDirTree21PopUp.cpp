// The directory tree's context menu: its table of entries (captions, pictures, enabling and
// the tree's command each runs) and the dispatch of a chosen entry.
#include "explorer/KvDirTree21PopUp.h"

#include "explorer/KvConsts.h"
#include "explorer/KvDirTree21.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/MenuTable.h"

namespace kv {
namespace {

// The selected node as the enabling sees it: level -1 when none, 0 the root, 1 a drive.
struct TreeMenuState {
    int level = -1;
    bool paste = false;
};
using Row = tmb::MenuRow<KvText, TreeMenuState, TKvDirTree21>;

bool DriveOrFolder(const TreeMenuState& s, long) { return s.level >= 1; }
bool Folder(const TreeMenuState& s, long) { return s.level >= 2; }
bool FolderWithPaste(const TreeMenuState& s, long) { return s.level >= 2 && s.paste; }

constexpr Row kSeparator{nullptr, 0, KvText::Count, nullptr, nullptr, nullptr};

const Row kRows[TKvDirTree21PopUp::kItemCount] = {
    {L"AddNode", 1, KvText::CapNewFolder, L"NewFolder28", DriveOrFolder,
     [](TKvDirTree21& t, long) { t.AddNewFolder(nullptr, std::wstring()); }},
    {L"EditNode", 2, KvText::CapRenameFolder, L"EditFolder28", Folder,
     [](TKvDirTree21& t, long) { t.EditSelected(); }},
    {L"DelNode", 3, KvText::CapDeleteFolder, L"DelFolder28", Folder,
     [](TKvDirTree21& t, long) { t.DeleteFolder(nullptr); }},
    kSeparator,
    {L"CutNode", 4, KvText::CapCut, L"Cut28", Folder,
     [](TKvDirTree21& t, long) { t.CutOrCopy(foMove); }},
    {L"CopyNode", 5, KvText::CapCopy, L"Copy28", Folder,
     [](TKvDirTree21& t, long) { t.CutOrCopy(foCopy); }},
    {L"PasteNode", 6, KvText::CapPaste, L"Paste28", FolderWithPaste,
     [](TKvDirTree21& t, long) { t.PasteFolder(); }},
    kSeparator,
    {L"GetTreeSize", 7, KvText::CapTreeSize, L"TreeSize28", DriveOrFolder,
     [](TKvDirTree21& t, long) { t.ShowTreeSize(); }},
    {L"ShowFolderContents", 8, KvText::CapContents, L"DirContents28", DriveOrFolder,
     [](TKvDirTree21& t, long) { t.ShowFolderContents(); }},
    kSeparator,
    {L"ConnectNetResource", 9, KvText::CapConnect, L"NetConnect28", nullptr,
     [](TKvDirTree21& t, long) { t.ConnectNetDrive(); }},
    {L"DisConnectNetResource", 10, KvText::CapDisconnect, L"NetDisConnect28", nullptr,
     [](TKvDirTree21& t, long) { t.DisconnectNetDrive(); }},
    kSeparator,
    {L"ItemProperty", 11, KvText::CapProperty, L"Attributes28", DriveOrFolder,
     [](TKvDirTree21& t, long) { t.ShowItemProperties(); }},
};

const Row* RowAt(int position) {
    return position < 0 || position >= TKvDirTree21PopUp::kItemCount ? nullptr
                                                                       : &kRows[position];
}

} // namespace

TKvDirTree21PopUp::TKvDirTree21PopUp(tmb::Component* owner) : tmb::PopupMenu(owner) {}

void TKvDirTree21PopUp::BuildItems() {
    Clear();
    tmb::BuildMenuItems(
        Items(), kRows, [](KvText caption) { return KvTextOf(caption, TreeLanguage); },
        &pictures_);
}

void TKvDirTree21PopUp::MenuItemClick(const tmb::MenuItem& item) {
    if (tree_ && !item.name.empty() && item.tag != 0)
        tmb::RunMenuAction(kRows, item.tag, *tree_);
}

const wchar_t* TKvDirTree21PopUp::ItemName(int position) {
    const Row* row = RowAt(position);
    return row && row->name ? row->name : L"";
}

long TKvDirTree21PopUp::ItemTag(int position) {
    const Row* row = RowAt(position);
    return row ? row->tag : 0;
}

void TKvDirTree21PopUp::UpdateItems() {
    TreeMenuState state;
    HTREEITEM selected = tree_ && tree_->HandleAllocated() ? tree_->Selected() : nullptr;
    state.level = selected ? tree_->Level(selected) : -1;
    state.paste = tree_ && tree_->PastePending();
    tmb::ApplyMenuRules(Items(), kRows, state);
}

int TKvDirTree21PopUp::Popup(int screenX, int screenY, HWND owner) {
    UpdateItems();
    return tmb::PopupMenu::Popup(screenX + 10, screenY + 10, owner);
}

void TKvDirTree21PopUp::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::PopupMenu::Notification(component, operation);
    if (operation == tmb::Operation::opRemove && component == tree_)
        tree_ = nullptr;
}

} // namespace kv
