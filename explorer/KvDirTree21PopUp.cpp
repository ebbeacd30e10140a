// The directory tree's context menu: its table of entries (captions, pictures, enabling and
// the tree's command each runs) and the dispatch of a chosen entry.
#include "explorer/KvDirTree21PopUp.h"

#include "explorer/KvConsts.h"
#include "explorer/KvDirTree21.h"
#include "explorer/KvFileExplorer28.h"

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

using T = TKvDirTree21;
using tmb::Call;

const Row kRows[TKvDirTree21PopUp::kItemCount] = {
    {L"AddNode",               1,  KvText::CapNewFolder,    L"NewFolder28",     DriveOrFolder,   [](T& t, long) { t.AddNewFolder(nullptr, std::wstring()); }},
    {L"EditNode",              2,  KvText::CapRenameFolder, L"EditFolder28",    Folder,          Call<&T::EditSelected>},
    {L"DelNode",               3,  KvText::CapDeleteFolder, L"DelFolder28",     Folder,          Call<&T::DeleteFolder, nullptr>},
    kSeparator,
    {L"CutNode",               4,  KvText::CapCut,          L"Cut28",           Folder,          Call<&T::CutOrCopy, foMove>},
    {L"CopyNode",              5,  KvText::CapCopy,         L"Copy28",          Folder,          Call<&T::CutOrCopy, foCopy>},
    {L"PasteNode",             6,  KvText::CapPaste,        L"Paste28",         FolderWithPaste, Call<&T::PasteFolder>},
    kSeparator,
    {L"GetTreeSize",           7,  KvText::CapTreeSize,     L"TreeSize28",      DriveOrFolder,   Call<&T::ShowTreeSize>},
    {L"ShowFolderContents",    8,  KvText::CapContents,     L"DirContents28",   DriveOrFolder,   Call<&T::ShowFolderContents>},
    kSeparator,
    {L"ConnectNetResource",    9,  KvText::CapConnect,      L"NetConnect28",    nullptr,         Call<&T::ConnectNetDrive>},
    {L"DisConnectNetResource", 10, KvText::CapDisconnect,   L"NetDisConnect28", nullptr,         Call<&T::DisconnectNetDrive>},
    kSeparator,
    {L"ItemProperty",          11, KvText::CapProperty,     L"Attributes28",    DriveOrFolder,   Call<&T::ShowItemProperties>},
};

} // namespace

TKvDirTree21PopUp::TKvDirTree21PopUp(tmb::Component* owner)
    : tmb::OwnPopupMenu<TKvDirTree21>(owner) {}

void TKvDirTree21PopUp::BuildMenu() {
    Clear();
    tmb::BuildMenuItems(
        Items(), kRows, [](KvText caption) { return KvTextOf(caption, TreeLanguage); },
        &pictures_);
}

void TKvDirTree21PopUp::MenuItemClick(const tmb::MenuItem& item) { RunRow(kRows, item); }

void TKvDirTree21PopUp::UpdateItems() {
    TKvDirTree21* tree = Served();
    TreeMenuState state;
    HTREEITEM selected = tree && tree->HandleAllocated() ? tree->Selected() : nullptr;
    state.level = selected ? tree->Level(selected) : -1;
    state.paste = tree && tree->PastePending();
    tmb::ApplyMenuRules(Items(), kRows, state);
}

} // namespace kv
