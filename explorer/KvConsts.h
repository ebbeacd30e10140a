// The language texts of the explorer components (tree, file list view, combo, their menus and
// the shared helpers): every caption and message in English, French, German, Spanish and
// Portuguese, how a language is chosen, and the unit-wide message texts the components share.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

// lnSysDefault is only an input: a component's language setter resolves it first, so a
// component's Language never reads back as lnSysDefault.
enum TLanguage : int { lnSysDefault = 0, lnEnglish, lnFrench, lnGerman, lnSpanish, lnPortuguese };

// The keys of all texts, in table order: the message texts loaded by the tree, the message
// texts loaded only by the file list view, the tree menu captions, the view menu captions,
// the column captions and the drive type names (indexed by the system's drive type code).
enum class KvText : int {
    // Message texts of the tree (21); the view loads the 8 marked "also view" as well.
    StrDrive,
    StrFolder,
    StrError,       // also view
    StrFile,        // also view
    StrFrom,
    StrTo,
    StrCant,        // also view
    StrSpecifyDir,  // also view
    StrBadDrive,    // also view
    StrNoDisk,      // also view
    StrExists,      // also view
    StrBadDirName,
    StrAskRename,
    StrNoAddDrives,
    StrNewFolder,   // also view
    StrBadChars,
    StrNotFound,
    StrFilesIn,
    StrOpFailed,
    StrTreeSize,
    StrSubFolders,
    // Message texts of the file list view only (12).
    StrCancel,
    StrBrowse,
    StrReadOnly,
    StrArchive,
    StrHidden,
    StrSystem,
    StrIsReadOnly,
    StrNoSelection,
    StrSendToFolder,
    StrEnterSendTo,
    StrShortcutFailed,
    StrSetAttributes,
    // Tree context menu captions (11).
    CapNewFolder,
    CapRenameFolder,
    CapDeleteFolder,
    CapCut,
    CapCopy,
    CapPaste,
    CapTreeSize,
    CapContents,
    CapConnect,
    CapDisconnect,
    CapProperty,
    // File list view context menu captions (14), in the order the view loads them.
    CapOpen,
    CapView,
    CapSendTo,
    CapFileCut,
    CapFileCopy,
    CapFilePaste,
    CapRename,
    CapDelete,
    CapProperties,
    CapNewFolderDots,
    CapAnyFolder,
    CapClipContents,
    CapClipName,
    CapDesktopShortcut,
    // File list view column captions (7).
    ColName,
    ColSize,
    ColType,
    ColModified,
    ColAttr,
    ColDiskSize,
    ColFreeSpace,
    // Drive type names (7), DrvUnknown + the system's drive type code (0..6).
    DrvUnknown,
    DrvNotExist,
    DrvRemovable,
    DrvFixed,
    DrvNetwork,
    DrvCDROM,
    DrvRAM,
    // The tree size report's last line when the user stopped the count with Escape.
    StrSizeCancelled,
    // A folder pasted or sent into itself or into one of its own subfolders (the folder's
    // path follows on a line of its own).
    StrIntoItself,

    Count
};

// The stored text of `key` in `language` (lnEnglish..lnPortuguese), exactly as stored: blanks
// at either end and double quotes belong to it, "&" marks a menu accelerator. An empty string
// for any other language value (and for a key outside the table).
const std::wstring& KvTextOf(KvText key, TLanguage language);

// The message texts all trees and views share. A loader fills the ones it owns in its
// language; texts loaded by both follow whichever loader ran last.
struct KvMessageTexts {
    // Loaded by the tree.
    std::wstring StrDrive;
    std::wstring StrFolder;
    std::wstring StrError;       // also the view
    std::wstring StrFile;        // also the view
    std::wstring StrFrom;
    std::wstring StrTo;
    std::wstring StrCant;        // also the view
    std::wstring StrSpecifyDir;  // also the view
    std::wstring StrBadDrive;    // also the view
    std::wstring StrNoDisk;      // also the view
    std::wstring StrExists;      // also the view
    std::wstring StrBadDirName;
    std::wstring StrAskRename;
    std::wstring StrNoAddDrives;
    std::wstring StrNewFolder;   // also the view
    std::wstring StrBadChars;
    std::wstring StrNotFound;
    std::wstring StrFilesIn;
    std::wstring StrOpFailed;
    std::wstring StrTreeSize;
    std::wstring StrSubFolders;
    // Loaded by the view only.
    std::wstring StrCancel;
    std::wstring StrBrowse;
    std::wstring StrReadOnly;
    std::wstring StrArchive;
    std::wstring StrHidden;
    std::wstring StrSystem;
    std::wstring StrIsReadOnly;
    std::wstring StrNoSelection;
    std::wstring StrSendToFolder;
    std::wstring StrEnterSendTo;
    std::wstring StrShortcutFailed;
    std::wstring StrSetAttributes;

    bool operator==(const KvMessageTexts&) const = default;
};

// Empty until a loader runs.
extern KvMessageTexts KvMessages;

// The language last applied by any tree / by any file list view; lnSysDefault (0) until then.
extern TLanguage TreeLanguage;
extern TLanguage ViewLanguage;

// Load the 21 tree texts into KvMessages for TreeLanguage. With a TreeLanguage outside
// lnEnglish..lnPortuguese nothing is loaded and the texts stay as they were.
void LoadTreeTexts();
// Load the 20 view texts (the 8 shared with the tree and the 12 of the view) for
// ViewLanguage; the same rule for a language outside lnEnglish..lnPortuguese.
void LoadViewTexts();

// A tree's or a list's language taken: `resolved` becomes its own and the family's language
// of its kind (TreeLanguage or ViewLanguage) and `loadTexts` loads that kind's texts. False,
// and nothing done, when it had that language already.
bool TakeLanguage(TLanguage resolved, TLanguage& own, TLanguage& family, void (*loadTexts)());

// The language for a language identifier, by its primary language (the low 10 bits):
// German, English, Spanish, French and Portuguese (any country) give their own language,
// every other language gives lnEnglish.
TLanguage LanguageFromLangId(LANGID id);

// lnSysDefault resolved from the current user's default language (tree) or the system's
// default language (view); any other value is returned unchanged.
TLanguage ResolveTreeLanguage(TLanguage value);
TLanguage ResolveViewLanguage(TLanguage value);

} // namespace kv
