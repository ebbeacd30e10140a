// The file list view: choosing the folder, listing its entries or the drives, the columns,
// the selection queries, opening, going up, the keys and the language. Its pictures are in
// KvFileIcons, its sorting in KvFilelistSort, renaming in place with the other operations in
// KvFilelistView28Ops.
#include "explorer/KvFilelistView28.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <unordered_set>

#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
#include "explorer/KvFilelistView28PopUp.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Locale.h"
#include "framework/Picture.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

const wchar_t kKindDir[] = L"dir";
const wchar_t kKindFile[] = L"file";
const wchar_t kKindDrive[] = L"drv";
constexpr int kTypeNameMax = 79;
// The largest listing whose programs, shortcuts and icon files show their own icons.
constexpr int kOwnIconsUpTo = 2000;
// Posted to the list to fetch one file's own icon.
constexpr UINT kRefineIconMessage = WM_APP + 0x28;

std::wstring Trimmed(const std::wstring& s, bool blanksOnly) {
    auto isBlank = [blanksOnly](wchar_t c) { return blanksOnly ? c == L' ' : c <= L' '; };
    std::size_t first = 0, last = s.size();
    while (first < last && isBlank(s[first]))
        ++first;
    while (last > first && isBlank(s[last - 1]))
        --last;
    return s.substr(first, last - first);
}

std::uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The comparison the list installs in OnCompare: a type of its own, so the list can tell
// whether OnCompare still holds it.
struct BuiltInCompare {
    TKvFilelistView28* list;
    void operator()(tmb::Component*, const tmb::ListItem& a, const tmb::ListItem& b,
                    int& compare) const {
        compare = list->CompareItems(a, b);
    }
};

} // namespace

// ---- creation -----------------------------------------------------------------------------

TKvFilelistView28::TKvFilelistView28(tmb::Component* owner) : tmb::ListView(owner) {
    SetBounds(0, 0, 250, 150);
    SetMultiSelect(true);
    SetReadOnly(false);
    SetHideSelection(false);
    SetViewStyle(tmb::ViewStyle::vsReport);
    SetShowColumnHeaders(true);
    // A user who assigns either event replaces the built-in sorting.
    OnColumnClick = [this](tmb::Component*, int column) { ColumnClick(column); };
    OnCompare = BuiltInCompare{this};
    datePattern_ = DatePattern(dateFormat_);
    timePattern_ = TimePattern(timeFormat_);
    InitImageLists();
    SetLanguage(lnEnglish);
    if (parentDirCaption_.empty())
        parentDirCaption_ = L" Parent";
}

TKvFilelistView28::~TKvFilelistView28() {
    // The tree keeps a plain pointer to its list: it must not outlive this one.
    if (dirTree_ && dirTree_->FileList() == this)
        dirTree_->SetFileList(nullptr);
    if (dirTreeCombo_ && dirTreeCombo_->FileList() == this)
        dirTreeCombo_->SetFileList(nullptr);
}

void TKvFilelistView28::HandleCreated() {
    tmb::ListView::HandleCreated();
    if (Loading())
        return;
    // The columns of what is shown: drive items keep the drive columns across a
    // re-creation (a language change), everything else gets the file columns.
    if (driveColumnsBuilt_ && IsDrivesView() && ItemCount() > 0)
        CreateDriveColumns();
    else
        CreateFileColumns();
}

void TKvFilelistView28::Loaded() {
    tmb::ListView::Loaded();
    // A window made while its form was still being built waited for the layout.
    if (HandleAllocated() && ColumnCount() == 0)
        CreateFileColumns();
}

void TKvFilelistView28::InitImageLists() {
    parentImageIndex_ = ParentPictureInSystemLists(SystemIcons(true), SystemIcons());
    SetLargeImages(tmb::ImageList::Shared(SystemIcons(true)));
    SetSmallImages(tmb::ImageList::Shared(SystemIcons()));
}

// ---- properties -----------------------------------------------------------------------------

bool TKvFilelistView28::IsDrivesView() const { return drivesView_; }

void TKvFilelistView28::SetDirectory(const std::wstring& value) {
    if (tmb::SameText(value, directory_))
        return;
    if (tmb::SameText(value, kDrivesPath)) {
        directory_ = value;
        drivesView_ = true;
        UpdateFileList();
        return;
    }
    if (value.empty() || !DirectoryExists(value))
        return;
    // The list works from its own folder; the process's current directory is left alone,
    // so the folder shown can still be renamed or deleted elsewhere. A relative path is
    // made full once here: later it would name a folder relative to wherever the process
    // then stands.
    directory_ = AddSlash(FullPathOf(AddSlash(value)));
    drivesView_ = false;
    UpdateFileList();
}

void TKvFilelistView28::SetMask(const std::wstring& value) {
    if (value == mask_)
        return;
    mask_ = value;
    UpdateFileList();
}

void TKvFilelistView28::SetFileType(TFileType value) {
    if (value == fileType_)
        return;
    fileType_ = value;
    UpdateFileList();
}

void TKvFilelistView28::SetShowFolders(bool value) {
    if (value == showFolders_)
        return;
    showFolders_ = value;
    UpdateFileList();
}

void TKvFilelistView28::SetParentDirCaption(const std::wstring& value) {
    const std::wstring trimmed = Trimmed(value, false);
    if (!tmb::SameText(trimmed, Trimmed(parentDirCaption_, false)))
        parentDirCaption_ = L" " + trimmed;
}

void TKvFilelistView28::SetDateFormat(TDtFormat value) {
    dateFormat_ = value;
    datePattern_ = DatePattern(value);
}

void TKvFilelistView28::SetTimeFormat(TTmFormat value) {
    timeFormat_ = value;
    timePattern_ = TimePattern(value);
}

void TKvFilelistView28::SetPopUpMenuEnabled(bool value) {
    if (value == popUpMenuEnabled_)
        return;
    popUpMenuEnabled_ = value;
    SetPopupMenu(value ? ownMenu_ : nullptr);
    if (!value && HandleAllocated() && GetCapture() == HandleIfAllocated())
        ReleaseCapture();
}

template <class Linked>
void TKvFilelistView28::Link(Linked*& mine, Linked* other) {
    if (other == mine)
        return;
    if (mine && mine->FileList() == this)
        mine->SetFileList(nullptr);
    mine = other;
    if (other) {
        FreeNotification(other);
        other->SetFileList(this);
    }
}

void TKvFilelistView28::SetDirTree(TKvDirTree21* tree) { Link(dirTree_, tree); }

void TKvFilelistView28::SetDirTreeCombo(TKvDirTreeCombo28* combo) { Link(dirTreeCombo_, combo); }

void TKvFilelistView28::Notification(tmb::Component* component, tmb::Operation operation) {
    tmb::ListView::Notification(component, operation);
    if (operation != tmb::Operation::opRemove)
        return;
    if (component == dirTree_)
        dirTree_ = nullptr;
    if (component == dirTreeCombo_)
        dirTreeCombo_ = nullptr;
    if (component == ownMenu_)
        ownMenu_ = nullptr;
}

void TKvFilelistView28::SetLanguage(TLanguage language) {
    if (TakeLanguage(ResolveViewLanguage(language), language_, ViewLanguage, &LoadViewTexts))
        tmb::RebuildForLanguage<TKvFilelistView28PopUp>(*this, ownMenu_, popUpMenuEnabled_);
}

// ---- columns ------------------------------------------------------------------------------

void TKvFilelistView28::CreateFileColumns() {
    tmb::UpdateBracket bracket(*this);
    ClearColumns();
    const KvText keys[5] = {KvText::ColName, KvText::ColSize, KvText::ColType,
                            KvText::ColModified, KvText::ColAttr};
    for (int i = 0; i < 5; ++i)
        AddColumn(tmb::ListColumn{KvTextOf(keys[i], language_), colWidth_[i],
                                  i == fcSize ? tmb::ColumnAlign::taRightJustify
                                              : tmb::ColumnAlign::taLeftJustify});
    fileColumnsBuilt_ = true;
    driveColumnsBuilt_ = false;
}

void TKvFilelistView28::CreateDriveColumns() {
    tmb::UpdateBracket bracket(*this);
    ClearColumns();
    const KvText keys[5] = {KvText::ColName, KvText::ColType, KvText::ColDiskSize,
                            KvText::ColFreeSpace, KvText::ColAttr};
    const int widths[5] = {160, 110, 90, 90, 40};
    for (int i = 0; i < 5; ++i)
        AddColumn(tmb::ListColumn{KvTextOf(keys[i], language_), widths[i],
                                  i == 2 || i == 3 ? tmb::ColumnAlign::taRightJustify
                                                   : tmb::ColumnAlign::taLeftJustify});
    fileColumnsBuilt_ = false;
    driveColumnsBuilt_ = true;
}

// ---- listing ------------------------------------------------------------------------------

void TKvFilelistView28::UpdateFileList() {
    std::exception_ptr error;
    {
        tmb::ItemsUpdate bracket(*this);
        tmb::ScopedHourglass hourglass;
        ClearItems();
        sort_.Clear();
        ownIconsWaiting_.clear();
        listError_ = ERROR_SUCCESS;
        try {
            if (IsDrivesView()) {
                CreateDriveColumns();
                AddDrives();
            } else {
                if (!fileColumnsBuilt_)
                    CreateFileColumns();
                const DWORD filter = AttributeFilter(fileType_);
                const std::wstring folder = AddSlash(directory_);
                std::wstring rest = Trimmed(mask_, true);
                if (rest.empty())
                    rest = L"*.*";
                if (showFolders_) {
                    // The folders' pass and a first mask part of "*.*" read the same
                    // entries: one reading serves both, and the stable sort after the
                    // listing puts them in the order two readings would have.
                    const bool allFirst = rest.compare(0, rest.find(L';'), L"*.*") == 0;
                    AddEntries(folder + L"*.*", filter | FILE_ATTRIBUTE_DIRECTORY, allFirst);
                    if (allFirst)
                        NextMaskPart(rest);
                }
                while (!rest.empty())
                    AddFiles(folder + NextMaskPart(rest), filter);
                if (listError_ != ERROR_SUCCESS)
                    AddParentOfUnreadable(folder);
            }
        } catch (...) {
            error = std::current_exception();
        }
        // Also after an error: what was listed is shown in order.
        sort_.SortByName();
    }
    if (ItemCount() > 0 && SelectedIndex() < 0)
        SetFocusedIndex(0);
    if (error)
        std::rethrow_exception(error);
    // A folder the user may not read says why, once for this listing; the parent entry
    // leads back out of it.
    if (listError_ != ERROR_SUCCESS) {
        const DWORD reason = listError_;
        listError_ = ERROR_SUCCESS;
        tmb::MessageDlg(KvTextOf(KvText::StrFolder, language_) + DelSlash(directory_) + L"\"\r" +
                            tmb::SysErrorMessage(reason),
                        tmb::MsgDlgType::Error, tmb::mbOK);
    }
    // The new listing is painted now, but no queued input runs: a caller (a rename, an
    // opened folder) may still be in the middle of its work.
    if (HWND h = HandleIfAllocated())
        UpdateWindow(h);
}

int TKvFilelistView28::TypeIndexOf(const wchar_t* name, bool folder) {
    // The type name follows the extension (or folderhood), so it is asked once per kind:
    // one shell call per file would make a large folder slow to list. The extension as
    // spelled is looked up first: most files of a folder spell theirs alike, and mapping
    // it to capitals is a call into the system for each.
    const wchar_t* dot = folder ? nullptr : std::wcsrchr(name, L'.');
    const std::wstring ext = folder ? std::wstring(L"\\") : std::wstring(dot ? dot : L"");
    auto spelled = typeOfExt_.find(ext);
    if (spelled != typeOfExt_.end())
        return spelled->second;
    const std::wstring key = folder ? ext : tmb::UpperCase(ext);
    auto found = typeOfUpperExt_.find(key);
    int index = 0;
    if (found != typeOfUpperExt_.end()) {
        index = found->second;
    } else {
        SHFILEINFOW info{};
        const DWORD attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        SHGetFileInfoW(folder ? L"folder" : name, attributes, &info, sizeof(info),
                       SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME);
        std::wstring type = info.szTypeName;
        if (type.size() > kTypeNameMax)
            type.resize(kTypeNameMax);
        index = static_cast<int>(typeNames_.size());
        typeNames_.push_back(std::move(type));
        typeOfUpperExt_.emplace(key, index);
    }
    typeOfExt_.emplace(ext, index);
    return index;
}

void TKvFilelistView28::AddFiles(const std::wstring& pattern, DWORD filter) {
    AddEntries(pattern, filter, false);
}

void TKvFilelistView28::AddEntries(const std::wstring& pattern, DWORD filter, bool filesToo) {
    sort_.SetEnabled(true);
    listing_.folder = AddSlash(directory_);
    listing_.datePattern = datePattern_;
    listing_.timePattern = timePattern_;
    listing_.settings = tmb::FormatSettings::User();
    listing_.zoneKnown = GetTimeZoneInformation(&listing_.zone) != TIME_ZONE_ID_INVALID;
    WIN32_FIND_DATAW data;
    tmb::FindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                            FindExSearchNameMatch, nullptr,
                                            FIND_FIRST_EX_LARGE_FETCH));
    if (!search) {
        // No match is no error; anything else (no right to list the folder) is reported.
        const DWORD reason = GetLastError();
        if (reason != ERROR_FILE_NOT_FOUND && reason != ERROR_NO_MORE_FILES &&
            listError_ == ERROR_SUCCESS)
            listError_ = reason;
        return;
    }
    const DWORD guarded = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        const DWORD a = data.dwFileAttributes;
        if ((a & FILE_ATTRIBUTE_DIRECTORY) != (filter & FILE_ATTRIBUTE_DIRECTORY) && !filesToo)
            continue;
        if ((a & guarded) & ~filter)
            continue;
        const bool parent = std::wcscmp(data.cFileName, L"..") == 0;
        if (std::wcscmp(data.cFileName, L".") == 0 || (parent && !parentDirEnabled_))
            continue;
        // An entry is its caption and what it is; its texts are made from that when its row
        // is drawn or they are read (MakeItemTexts).
        TKvFilelistSort::EntryKeys keys;
        keys.parent = parent;
        keys.folder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
        keys.attributes = a;
        keys.type = TypeIndexOf(data.cFileName, keys.folder);
        keys.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        keys.written = FileTimeValue(data.ftLastWriteTime);
        tmb::ListItem item;
        std::wstring name;  // kept aside only when the caption is not the name
        if (parent) {
            item.caption = parentDirCaption_;
            item.imageIndex = parentImageIndex_;
            name = data.cFileName;
        } else {
            item.caption = data.cFileName;
            if (hideFileExt_) {
                const wchar_t* dot = std::wcsrchr(data.cFileName, L'.');
                if (dot) {
                    name = item.caption;
                    item.caption.erase(static_cast<std::size_t>(dot - data.cFileName));
                }
            }
            // The shell's icon is asked for when the row is first drawn.
            item.imageIndex = tmb::ListItem::kImageWhenDrawn;
        }
        SetTextsLater(item);
        SetMark(item, sort_.AddEntry(keys, name.empty() ? nullptr : &name));
        AddItem(std::move(item));
    } while (FindNextFileW(search.get(), &data));
}

void TKvFilelistView28::MakeItemTexts(int index, std::vector<std::wstring>& texts) {
    const tmb::ListItem& item = HeldItem(index);
    const TKvFilelistSort::EntryKeys* keys = sort_.KeysOf(item);
    if (!keys)
        return;
    const wchar_t* kind = keys->folder ? kKindDir : kKindFile;
    FILETIME written;
    written.dwLowDateTime = static_cast<DWORD>(keys->written);
    written.dwHighDateTime = static_cast<DWORD>(keys->written >> 32);
    const ListingTexts& l = listing_;
    texts.reserve(7);
    texts.push_back(SizeToText(keys->size, kind));
    texts.push_back(TypeNameAt(keys->type));
    texts.push_back(FileTimeToText(written, l.datePattern, l.timePattern, l.settings,
                                   l.zoneKnown ? &l.zone : nullptr));
    texts.push_back(AttributesText(keys->attributes));
    texts.push_back(l.folder + sort_.NameOf(item, *keys));
    texts.emplace_back(kind);
    // The modification sort key: the time as a number, in 15 significant digits.
    texts.push_back(tmb::FloatToStrGeneral(static_cast<double>(keys->written), l.settings));
}

bool TKvFilelistView28::BuiltInSorting() const {
    return OnCompare && OnCompare.target<BuiltInCompare>();
}

void TKvFilelistView28::StartSort() {
    if (BuiltInSorting())
        sort_.MakeRowKeys();
    else
        tmb::ListView::StartSort();
}

int TKvFilelistView28::Compare(int a, int b) {
    return sort_.HasRowKeys() ? sort_.CompareRows(a, b) : tmb::ListView::Compare(a, b);
}

void TKvFilelistView28::EndSort() {
    sort_.DropRowKeys();
    tmb::ListView::EndSort();
}

void TKvFilelistView28::AddParentOfUnreadable(const std::wstring& folder) {
    // A drive root has no parent entry; any other folder gets the one its listing would
    // have held.
    if (!parentDirEnabled_ || DelSlash(folder).size() <= 2 || sort_.HasEntries())
        return;
    TKvFilelistSort::EntryKeys keys;
    keys.parent = true;
    keys.folder = true;
    keys.type = TypeIndexOf(L"..", true);
    const std::wstring name = L"..";
    tmb::ListItem item;
    item.caption = parentDirCaption_;
    item.imageIndex = parentImageIndex_;
    // No date or attributes are known of it.
    item.subItems = {SizeToText(0, kKindDir), TypeNameAt(keys.type), std::wstring(),
                     std::wstring(), folder + L"..", kKindDir, L"0"};
    SetMark(item, sort_.AddEntry(keys, &name));
    AddItem(std::move(item));
}

void TKvFilelistView28::AddDrives() {
    sort_.SetEnabled(false);
    const DWORD mask = GetLogicalDrives();
    const tmb::FormatSettings settings = tmb::FormatSettings::User();
    auto megabytes = [&settings](std::int64_t kb) {
        if (kb < 1)
            return std::wstring(L"0 Mb");
        return tmb::FormatFloat(L"###,###,### Mb", static_cast<double>(kb / 1000), settings);
    };
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring root{letter, L':', L'\\'};
        try {
            CriticalErrorsSilenced silenced;
            tmb::ListItem item;
            if (SmallImages())
                item.imageIndex = GetIconIndex(root);
            item.caption = DriveCaption(letter);
            const UINT type = GetDriveTypeW(root.c_str());
            std::int64_t total = 0, free = 0;
            if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) {
                total = GetDiskSizeKB(root);
                free = GetDiskFreeKB(root);
            }
            const int typeIndex = type <= DRIVE_RAMDISK ? static_cast<int>(type) : 0;
            item.subItems = {
                KvTextOf(static_cast<KvText>(static_cast<int>(KvText::DrvUnknown) + typeIndex),
                         language_),
                megabytes(total), megabytes(free), std::wstring(), root, kKindDrive};
            AddItem(std::move(item));
        } catch (const std::exception&) {
            // A drive whose data cannot be read is left out.
        }
    }
}

int TKvFilelistView28::ItemImage(int index) {
    const std::wstring path = ItemPath(index);
    if (ItemKind(index) == kKindDir)
        return FolderIconIndex(path, false);
    // Asking the shell about a file makes it look through the file's folder: milliseconds
    // in a small folder, a third of a second in one of 100,000 files. So a row shows its
    // type's icon at once; the few kinds of file that carry an icon of their own get it a
    // moment later, one per turn of the message loop, and only in folders small enough
    // for that to go unnoticed.
    const std::wstring ext = TypeIcons::ExtensionOf(path);
    if (ItemCount() <= kOwnIconsUpTo && TypeIcons::HasOwnIcon(ext)) {
        if (ownIconsWaiting_.empty() && HandleAllocated())
            PostMessageW(HandleIfAllocated(), kRefineIconMessage, 0, 0);
        ownIconsWaiting_.push_back(path);
    }
    return typeIcons_.IconOf(ext);
}

void TKvFilelistView28::RefineNextIcon() {
    if (ownIconsWaiting_.empty())
        return;
    const std::wstring path = ownIconsWaiting_.front();
    ownIconsWaiting_.erase(ownIconsWaiting_.begin());
    // The entry may have moved (a sort) or gone (a reload) since it was drawn.
    for (int i = 0; i < ItemCount(); ++i) {
        if (ItemPath(i) == path) {
            SetItemImage(i, GetIconIndex(path));
            break;
        }
    }
    if (!ownIconsWaiting_.empty() && HandleAllocated())
        PostMessageW(HandleIfAllocated(), kRefineIconMessage, 0, 0);
}

LRESULT TKvFilelistView28::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kRefineIconMessage) {
        RefineNextIcon();
        return 0;
    }
    return tmb::ListView::WndProc(msg, wParam, lParam);
}

// ---- selection queries --------------------------------------------------------------------

// The path and the kind of an entry whose texts are not made yet come from what the listing
// kept: a walk over all entries (going up, refocusing after a rename) makes no texts.
std::wstring TKvFilelistView28::ItemPath(int index) const {
    if (index < 0 || index >= ItemCount())
        return std::wstring();
    if (TextsLater(index))
        if (const TKvFilelistSort::EntryKeys* keys = sort_.KeysOf(HeldItem(index)))
            return listing_.folder + sort_.NameOf(HeldItem(index), *keys);
    return Item(index).SubItem(siPath);
}

std::wstring TKvFilelistView28::ItemKind(int index) const {
    if (index < 0 || index >= ItemCount())
        return std::wstring();
    if (TextsLater(index))
        if (const TKvFilelistSort::EntryKeys* keys = sort_.KeysOf(HeldItem(index)))
            return keys->folder ? kKindDir : kKindFile;
    return Item(index).SubItem(siKind);
}

bool TKvFilelistView28::IsDriveItem(int index) const { return ItemKind(index) == kKindDrive; }

bool TKvFilelistView28::IsParentItem(int index) const {
    // Known by the flag set when the entry was listed: the caption may have been changed
    // since (SetParentDirCaption does not reload), and a real folder may bear it.
    if (index < 0 || index >= ItemCount())
        return false;
    const TKvFilelistSort::EntryKeys* keys = sort_.KeysOf(HeldItem(index));
    return keys && keys->parent;
}

int TKvFilelistView28::SelectedNumber() const {
    const int selected = SelectedCount();
    return selected > 0 ? selected : ItemCount();
}

std::int64_t TKvFilelistView28::SelectedSize() const {
    std::int64_t total = 0;
    if (IsDrivesView())
        return total;
    // Sizes are looked up again in the listed folder: the size each file has now.
    const std::wstring folder = AddSlash(directory_);
    const std::vector<int> selected = SelectedIndices();
    const auto sizeOf = [](const WIN32_FIND_DATAW& data) {
        return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    };
    // Each selected entry counts once, by its own name (the parent entry names no entry
    // of the folder). A few are asked for one by one; a large selection (all of a big
    // folder) is summed in one pass over the folder instead of one search per file.
    std::unordered_set<std::wstring> names;
    names.reserve(selected.size());
    for (int i : selected) {
        std::wstring name = ExtractFileName(ItemPath(i));
        if (!name.empty() && !IsParentItem(i))
            names.insert(tmb::UpperCase(name));
    }
    constexpr std::size_t kLookUpEach = 32;
    if (names.size() <= kLookUpEach) {
        for (const std::wstring& name : names) {
            WIN32_FIND_DATAW data;
            // A pattern character in a name would match other entries: the exact name only.
            tmb::FindHandle search(FindFirstFileW((folder + name).c_str(), &data));
            if (search && tmb::UpperCase(data.cFileName) == name)
                total += sizeOf(data);
        }
        return total;
    }
    WIN32_FIND_DATAW data;
    tmb::FindHandle search(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data,
                                            FindExSearchNameMatch, nullptr,
                                            FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return total;
    do {
        if (names.count(tmb::UpperCase(data.cFileName)))
            total += sizeOf(data);
    } while (FindNextFileW(search.get(), &data));
    return total;
}

std::int64_t TKvFilelistView28::DriveFreeSpace() const {
    if (IsDrivesView()) {
        // "Drives" names no drive: the free space of the Windows drive is the useful answer.
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        return GetDiskFreeKB(windows);
    }
    return directory_.empty() ? 0 : GetDiskFreeKB(std::wstring(1, directory_[0]) + L":\\");
}

// ---- clicks and commands ------------------------------------------------------------------

void TKvFilelistView28::Click() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    selectedItem_ = ItemPath(index);
    if (OnItemChange)
        OnItemChange(this, selectedItem_);
    tmb::ListView::Click();
}

void TKvFilelistView28::DblClick() {
    const int index = SelectedIndex();
    if (index < 0 || Item(index).caption.empty())
        return;
    if (dblClickToOpen_)
        OpenItem();
    else if (IsParentItem(index))
        OneLevelUp();
    else
        tmb::ListView::DblClick();
}

void TKvFilelistView28::OpenItem() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    tmb::ScopedHourglass hourglass;
    if (IsParentItem(index)) {
        OneLevelUp();
        return;
    }
    const std::wstring kind = ItemKind(index);
    const std::wstring path = ItemPath(index);
    if (kind == kKindFile) {
        ExecuteFile(L"Open", ExtractFileName(path), std::wstring(), ExtractFilePath(path), SW_SHOW);
    } else if (kind == kKindDir || kind == kKindDrive) {
        const std::wstring folder = AddSlash(path);
        if (kind == kKindDrive && GetDriveTypeW(folder.c_str()) == DRIVE_REMOVABLE &&
            !DriveReady(folder[0], true))
            return;
        SetDirectory(folder);
        TellLinks(folder, false);
    }
}

void TKvFilelistView28::TellLinks(const std::wstring& folder, bool reload) {
    if (dirTree_) {
        if (reload)
            dirTree_->Reload();
        dirTree_->LocatePath(folder);
    }
    if (dirTreeCombo_) {
        if (reload)
            dirTreeCombo_->Reload();
        dirTreeCombo_->LocatePath(folder);
    }
}

void TKvFilelistView28::TellLinksChanged(const std::wstring& folder) {
    if (dirTree_)
        dirTree_->FolderChanged(folder);
    if (dirTreeCombo_ && dirTreeCombo_->Tree())
        dirTreeCombo_->Tree()->FolderChanged(folder);
}

void TKvFilelistView28::FollowTreeChange(const std::wstring& folder) {
    TellLinksChanged(folder);
    if (dirTreeCombo_)
        dirTreeCombo_->LocatePath(folder);
}

void TKvFilelistView28::OneLevelUp() {
    if (IsDrivesView())
        return;
    const std::wstring from = AddSlash(directory_);
    directory_ = from;
    if (from.size() >= 2 && from[from.size() - 2] == L':') {
        SetDirectory(kDrivesPath);
        return;
    }
    const std::wstring parent = ExtractFilePath(DelSlash(from));
    SetDirectory(parent);
    TellLinks(parent, false);
    for (int i = 0; i < ItemCount(); ++i) {
        if (tmb::SameText(AddSlash(ItemPath(i)), from)) {
            SetSelected(i, true);
            SetFocusedIndex(i);
            MakeVisible(i);
        }
    }
}

// ---- keys ---------------------------------------------------------------------------------

// The file operations refuse the drives view themselves, whoever calls them.
void TKvFilelistView28::KeyDown(WORD& key, unsigned shift) {
    const unsigned modifiers = shift & (tmb::ssShift | tmb::ssAlt | tmb::ssCtrl);
    const bool selected = SelectedIndex() >= 0;
    if (modifiers == tmb::ssCtrl) {
        switch (key) {
        case 'A': if (ItemCount() > 0) SelectAll(); break;
        case 'C': if (selected) CutOrCopy(foCopy); break;
        case 'F': if (selected) ViewFile(); break;
        case 'N': AddNewFolder(); break;
        case 'O': if (selected) OpenItem(); break;
        case 'V': if (CanPaste()) Paste(); break;
        case 'X': if (selected) CutOrCopy(foMove); break;
        default: break;
        }
    } else if (modifiers == 0 && !IsEditing()) {
        switch (key) {
        case VK_BACK: OneLevelUp(); break;
        case VK_RETURN: if (selected) OpenItem(); break;
        case VK_ESCAPE:
            if (dirTreeCombo_ && dirTreeCombo_->DroppedDown())
                dirTreeCombo_->DropDownWindow()->CloseUp();
            break;
        case VK_DELETE: if (selected) DeleteSelected(); break;
        case VK_F2: if (selected) RenameSelected(); break;
        case VK_F3: FindFiles(); break;
        case VK_F4:
            // The combo's drop-down takes the keys through the combo, which gets the focus.
            if (dirTreeCombo_)
                dirTreeCombo_->DropDown();
            break;
        case VK_F5: UpdateFileList(); break;
        default: break;
        }
    }
    tmb::ListView::KeyDown(key, shift);
}

void TKvFilelistView28::KeyUp(WORD& key, unsigned shift) {
    const WORD original = key;
    tmb::ListView::KeyUp(key, shift);
    if (original == VK_UP || original == VK_DOWN)
        Click();
}

} // namespace kv
