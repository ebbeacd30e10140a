// The file list view of the explorer components: the entries of one folder, or the machine's
// drives, in five columns with the shell's icons and type names, sorted by any column with
// folders first, with keyboard commands, in-place renaming and its own context menu. A
// linked directory tree (and combo) tells it which folder to show, and it tells them when
// the user moves to another folder from inside the list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFileIcons.h"
#include "explorer/KvFilelistSort.h"
#include "framework/Handles.h"
#include "framework/ListView.h"
#include "framework/Locale.h"
#include "framework/PopupMenu.h"

namespace kv {

class TKvDirTree21;
class TKvDirTreeCombo28;

// The attribute filter of the list: a set of TFileAttr, each member a bit (1 << member).
enum TFileAttr : unsigned { ftReadOnly, ftHidden, ftSystem, ftArchive, ftNormal };
using TFileType = unsigned;
constexpr TFileType FileTypeOf(TFileAttr attr) { return 1u << attr; }
inline constexpr TFileType kAllFileTypes = FileTypeOf(ftReadOnly) | FileTypeOf(ftHidden) |
                                           FileTypeOf(ftSystem) | FileTypeOf(ftArchive);
// The file attribute bits of a set (ftReadOnly 0x01, ftHidden 0x02, ftSystem 0x04,
// ftArchive 0x20, ftNormal 0x80).
DWORD AttributeFilter(TFileType type);

enum TDtFormat : int {
    df_MMddyyyy, df_MMddyy, df_ddMMyyyy, df_ddMMyy_GB, df_ddMMyy_DE, df_ddMMyy_IT,
    df_yyyyMMdd, df_yyMMdd, df_Customize
};
enum TTmFormat : int { tfLongFormat, tfShortFormat, tfCustomize };

// The date and time patterns of the Modified column.
std::wstring DatePattern(TDtFormat format);
std::wstring TimePattern(TTmFormat format);

// "A", "R", "H", "S" for the archive, read-only, hidden and system bits, in that order.
std::wstring AttributesText(DWORD attributes);

// The part of `mask` before its first ";" (all of it without one), removed from `mask`
// together with that ";". Parts are not trimmed.
std::wstring NextMaskPart(std::wstring& mask);

using TSelItemChangeEvent =
    std::function<void(tmb::Component* sender, const std::wstring& selectedItem)>;

class TKvFilelistView28 : public tmb::ListView {
public:
    // The sub-items every entry carries, in this order.
    enum SubItem : int { siSize, siType, siModified, siAttributes, siPath, siKind, siSortKey };
    // The file columns.
    enum FileColumn : int { fcName, fcSize, fcType, fcModified, fcAttributes };

    explicit TKvFilelistView28(tmb::Component* owner);
    ~TKvFilelistView28() override;

    // --- what is listed -------------------------------------------------------------------
    // "Drives" for the drives view, else the listed folder with a trailing backslash. A
    // value equal ignoring case to the current one, or a path that is no existing folder,
    // is ignored.
    const std::wstring& Directory() const { return directory_; }
    void SetDirectory(const std::wstring& value);
    bool IsDrivesView() const;
    // Patterns separated by ";"; "*.*" when only blanks.
    const std::wstring& Mask() const { return mask_; }
    void SetMask(const std::wstring& value);
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType value);
    bool ShowFolders() const { return showFolders_; }
    void SetShowFolders(bool value);
    // Captions without their extension from the next load on.
    bool HideFileExt() const { return hideFileExt_; }
    void SetHideFileExt(bool value) { hideFileExt_ = value; }
    // The ".." entry from the next load on.
    bool ParentDirEnabled() const { return parentDirEnabled_; }
    void SetParentDirEnabled(bool value) { parentDirEnabled_ = value; }
    // The caption of the ".." entry: one blank and the trimmed text.
    const std::wstring& ParentDirCaption() const { return parentDirCaption_; }
    void SetParentDirCaption(const std::wstring& value);
    TDtFormat DateFormat() const { return dateFormat_; }
    void SetDateFormat(TDtFormat value);
    TTmFormat TimeFormat() const { return timeFormat_; }
    void SetTimeFormat(TTmFormat value);
    const std::wstring& DatePatternText() const { return datePattern_; }
    const std::wstring& TimePatternText() const { return timePattern_; }

    // Widths of the file columns, used when they are next built.
    int ColWidth_Name() const { return colWidth_[fcName]; }
    void SetColWidth_Name(int v) { colWidth_[fcName] = v; }
    int ColWidth_Size() const { return colWidth_[fcSize]; }
    void SetColWidth_Size(int v) { colWidth_[fcSize] = v; }
    int ColWidth_Type() const { return colWidth_[fcType]; }
    void SetColWidth_Type(int v) { colWidth_[fcType] = v; }
    int ColWidth_Mod() const { return colWidth_[fcModified]; }
    void SetColWidth_Mod(int v) { colWidth_[fcModified] = v; }
    int ColWidth_Attr() const { return colWidth_[fcAttributes]; }
    void SetColWidth_Attr(int v) { colWidth_[fcAttributes] = v; }

    bool DblClickToOpen() const { return dblClickToOpen_; }
    void SetDblClickToOpen(bool value) { dblClickToOpen_ = value; }

    // Whether the list's own context menu is its pop-up menu.
    bool PopUpMenuEnabled() const { return popUpMenuEnabled_; }
    void SetPopUpMenuEnabled(bool value);
    // The list's own context menu (null until the menu's unit builds one).
    tmb::PopupMenu* OwnMenu() const { return ownMenu_; }

    // --- links --------------------------------------------------------------------------
    TKvDirTree21* DirTree() const { return dirTree_; }
    void SetDirTree(TKvDirTree21* tree);
    TKvDirTreeCombo28* DirTreeCombo() const { return dirTreeCombo_; }
    void SetDirTreeCombo(TKvDirTreeCombo28* combo);

    TLanguage Language() const { return language_; }
    void SetLanguage(TLanguage language);

    // The full path of the item last clicked.
    const std::wstring& SelectedItem() const { return selectedItem_; }
    void SetSelectedItem(const std::wstring& value) { selectedItem_ = value; }
    // The selected items, or all of them when none is selected.
    int SelectedNumber() const;
    // Bytes of the selected entries as the file system has them now; 0 with no selection.
    std::int64_t SelectedSize() const;
    // KB free on the drive of the listed folder (the system drive in the drives view).
    std::int64_t DriveFreeSpace() const;

    std::wstring About() const { return L"Version 2.8.7.3"; }
    void SetAbout(const std::wstring&) {}

    TSelItemChangeEvent OnItemChange;

    // --- loading --------------------------------------------------------------------------
    // Lists the folder (or the drives) again.
    void UpdateFileList();
    // One listing pass over `pattern` (a full search path) with an attribute filter.
    void AddFiles(const std::wstring& pattern, DWORD filter);
    void AddDrives();
    void CreateFileColumns();
    void CreateDriveColumns();
    bool FileColumnsBuilt() const { return fileColumnsBuilt_; }
    // The index of the parent-folder image in the system image lists.
    int ParentImageIndex() const { return parentImageIndex_; }

    // --- commands -------------------------------------------------------------------------
    void OpenItem();
    void OneLevelUp();
    void RenameSelected();
    // The full path of item `index` (sub-item siPath).
    std::wstring ItemPath(int index) const;
    std::wstring ItemKind(int index) const;
    bool IsParentItem(int index) const;
    bool IsDriveItem(int index) const;

    // --- sorting (see TKvFilelistSort) ----------------------------------------------------
    // Tells the linked tree and combo that the sub-folders of `folder` changed on disk,
    // wherever the list stands (see TKvFolderTree::FolderChanged): the list's own folder
    // operations say so, and so does the tree for a folder it made, so that the combo's tree
    // never offers a folder by a name it no longer has.
    void TellLinksChanged(const std::wstring& folder);
    // The tree renamed or deleted a folder of `folder` and moved the list there: the trees
    // re-read its sub-folders and the combo shows it, as it would the list's own move.
    void FollowTreeChange(const std::wstring& folder);
    // The header click handler installed in OnColumnClick.
    void ColumnClick(int column) { sort_.ColumnClick(column); }
    // The comparison installed in OnCompare.
    int CompareItems(const tmb::ListItem& a, const tmb::ListItem& b) const { return sort_.Compare(a, b); }
    // Shows the arrow in the sort column's header (down when descending) and none in the
    // others; every sort ends with it.
    void UpdateSortMarks() const { sort_.ShowMarks(); }
    bool SortingEnabled() const { return sort_.Enabled(); }

    // --- the file operations the context menu shares with the keys ------------------------
    // The clipboard list: full paths each ending in a NUL, and the operation pending on it.
    std::vector<std::wstring>& ClipboardList() { return clipboardList_; }
    FileOpKind PendingOperation() const { return pendingOp_; }
    bool HasPendingOperation() const { return hasPendingOp_; }
    void SetPendingOperation(FileOpKind op) { pendingOp_ = op, hasPendingOp_ = true; }
    void ClearPendingOperation() { hasPendingOp_ = false; }
    void CutOrCopy(FileOpKind mode);
    // Whether Paste has anything to paste here: the list's own copy list, or files another
    // program put on the system clipboard; never in the drives view.
    bool CanPaste() const;
    void Paste();
    void DeleteSelected();
    void AddNewFolder();
    void ViewFile();
    void FindFiles();
    // The context menu's own operations (Properties and the Send To submenu).
    void ShowItemProperties();
    // 0: copy the selection to a folder asked for; 1: the selected file's contents to the
    // clipboard; 2: the selected entries' full paths to the clipboard; 3: a desktop shortcut.
    void SendToSpecial(int number);
    // Sends the selection to a shortcut of the SendTo folder (or to a folder).
    void SendToTarget(const std::wstring& target);
    void CopyToFolder(const std::wstring& folder);
    void CopyToDrive(const std::wstring& folder);
    void CreateDesktopShortcut();

    // --- the base's entries -----------------------------------------------------------------
    void Click() override;
    void DblClick() override;
    void KeyDown(WORD& key, unsigned shift) override;
    void KeyUp(WORD& key, unsigned shift) override;
    void Notification(tmb::Component* component, tmb::Operation operation) override;

protected:
    void HandleCreated() override;
    void Loaded() override;
    bool CanEdit(int index) override;
    void Edit(int index, const std::wstring* text) override;
    int ItemImage(int index) override;
    // The texts of a listed entry, made from what the listing kept of it.
    void MakeItemTexts(int index, std::vector<std::wstring>& subItems) override;
    // The built-in sorting makes a key per row when a sort starts, from the keys kept at
    // listing time (never the texts), and compares rows by them; a comparison of the
    // user's gets the items with all their texts.
    void StartSort() override;
    int Compare(int a, int b) override;
    void EndSort() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TKvFilelistSort;  // finds its keys by the items' marks

    void InitImageLists();
    // True while OnCompare holds the list's own comparison, which reads the kept keys.
    bool BuiltInSorting() const;
    // AddFiles, and with `filesToo` the files as well as the folders of a folders' pass.
    void AddEntries(const std::wstring& pattern, DWORD filter, bool filesToo);
    // The parent entry of a folder that could not be listed, so the user can go back.
    void AddParentOfUnreadable(const std::wstring& folder);
    // Links a tree or a combo both ways, undoing the link of the one it replaces.
    template <class Linked>
    void Link(Linked*& mine, Linked* other);
    // The place of a file's (or a folder's) type name in typeNames_, asked of the shell once
    // per extension.
    int TypeIndexOf(const wchar_t* name, bool folder);
    const std::wstring& TypeNameAt(int index) const { return typeNames_[static_cast<std::size_t>(index)]; }

    // Gives the next file waiting for an icon of its own the shell's answer.
    void RefineNextIcon();
    // Tells the linked tree and combo that the list moved to `folder`: each opens there,
    // rebuilt first from the drives when the list changed folders on disk (`reload`).
    void TellLinks(const std::wstring& folder, bool reload);

    std::wstring directory_ = kDrivesPath;
    bool drivesView_ = true;
    std::wstring mask_ = L"*.*";
    TFileType fileType_ = kAllFileTypes;
    bool showFolders_ = true;
    bool hideFileExt_ = false;
    bool parentDirEnabled_ = true;
    std::wstring parentDirCaption_;
    TDtFormat dateFormat_ = df_Customize;
    TTmFormat timeFormat_ = tfShortFormat;
    std::wstring datePattern_;
    std::wstring timePattern_;
    int colWidth_[5] = {165, 75, 95, 125, 40};
    bool dblClickToOpen_ = true;
    bool popUpMenuEnabled_ = true;
    TKvDirTree21* dirTree_ = nullptr;
    TKvDirTreeCombo28* dirTreeCombo_ = nullptr;
    TLanguage language_ = lnSysDefault;
    std::wstring selectedItem_;
    tmb::PopupMenu* ownMenu_ = nullptr;

    bool fileColumnsBuilt_ = false;
    bool driveColumnsBuilt_ = false;
    int parentImageIndex_ = -1;
    std::wstring renameSource_;
    std::vector<std::wstring> clipboardList_;
    FileOpKind pendingOp_ = foCopy;
    bool hasPendingOp_ = false;

    TKvFilelistSort sort_{*this};
    // The shell's type names, each once; found by the extension in capitals ("\\" for a
    // folder) and, without a case mapping, by the extension as the last files spelled it.
    std::vector<std::wstring> typeNames_;
    std::unordered_map<std::wstring, int> typeOfUpperExt_;
    std::unordered_map<std::wstring, int> typeOfExt_;
    // What the texts of the entries listed are made with when they are first asked for: as
    // they stood at the listing, whatever formats change until the next one.
    struct ListingTexts {
        std::wstring folder;  // with a trailing backslash
        std::wstring datePattern, timePattern;
        tmb::FormatSettings settings;
        TIME_ZONE_INFORMATION zone{};
        bool zoneKnown = false;
    };
    ListingTexts listing_;
    TypeIcons typeIcons_;
    std::vector<std::wstring> ownIconsWaiting_;
    // Why the folder being listed could not be read (ERROR_SUCCESS when it could).
    DWORD listError_ = ERROR_SUCCESS;
};

} // namespace kv
