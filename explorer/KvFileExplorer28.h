// The free functions the explorer components share: path text helpers, drive questions, the
// shell calls (start a file, file operations, folder picker, properties sheet, icon indexes)
// and two text formatters. They keep no state; their messages use the unit-wide texts.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "explorer/KvConsts.h"
#include "framework/Locale.h"

namespace kv {

// What the tree, the combo and the list name the computer's own level by: the root node's
// pick and the list's drives view. It names no folder on disk.
inline constexpr wchar_t kDrivesPath[] = L"Drives";

// The characters refused in a new name: a folder named or renamed in the tree refuses more
// than an entry renamed in the list, which refuses only what would make the name a path or
// a pattern.
inline constexpr wchar_t kTreeBadNameChars[] = L"\\*?/=\"<>|:,;+^";
inline constexpr wchar_t kListBadNameChars[] = L"\\/:*?\"<>|";

// A pending file operation as the tree and the file list view store it (a cut is foMove, a
// copy foCopy); FileOpCode translates it to the shell's operation code when pasting.
enum FileOpKind : int { foCopy, foDelete, foMove, foRename };

inline constexpr UINT FileOpCode[] = {FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME};

// Probing a drive without medium must not raise the system's "insert a disk" box; the error
// mode is process-wide, so it is switched only for the scope of one query.
class CriticalErrorsSilenced {
public:
    CriticalErrorsSilenced() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsSilenced() { SetErrorMode(previous_); }
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    UINT previous_;
};

// --- Path texts -----------------------------------------------------------------------------

// `path` ending in "\"; an empty path stays empty.
std::wstring AddSlash(const std::wstring& path);
// `path` without one final "\" (so the root C:\ becomes C:).
std::wstring DelSlash(const std::wstring& path);
// AddSlash(dir) + name, or the empty text when either is empty.
std::wstring ConcatPath(const std::wstring& dir, const std::wstring& name);
// `s` ending in one NUL: with the terminator of c_str() it is a double-NUL-ended path list of
// the shell. An empty text stays empty; a text already ending in NUL is unchanged.
std::wstring AddNullChar(const std::wstring& s);
// True when some character of `chars` occurs in `s`; false for an empty `chars`.
bool HasAnyChar(const std::wstring& chars, const std::wstring& s);
// `path` made full, with "." and ".." resolved: a relative path is read from the folder
// `base`, or from the process's current directory when `base` is empty.
std::wstring FullPathOf(const std::wstring& path, const std::wstring& base = std::wstring());
// A drive or share root ("C:\", "C:", "\\server\share"), or a path naming nothing.
bool IsDriveRoot(const std::wstring& path);
// True when the shell, given `source` and `target` for a copy or move, would put the
// folder `source` into itself or into one of its own subfolders: an existing folder
// `target` receives the entry, any other `target` is its new name.
bool IntoItself(const std::wstring& source, const std::wstring& target);
// IntoItself, and when it is so, with `tell`, the user is told in `language` that `source`
// cannot go into itself. True when the copy or move must not be made.
bool RefusedIntoItself(const std::wstring& source, const std::wstring& target,
                       TLanguage language, bool tell = true);
// The text after the last "\", "/" or ":" of `path`: empty for "C:\" or "dir\".
std::wstring LastComponent(const std::wstring& path);
// The last component of `path`, without its extension (the text from its last "." on).
std::wstring FileNameOnly(const std::wstring& path);
// The folder part of `path` up to and including its last "\" (or ":"); empty if none.
std::wstring ExtractFilePath(const std::wstring& path);
// The part after the folder part.
std::wstring ExtractFileName(const std::wstring& path);
// The extension of the last component, from its last "." on ("" when it has none).
std::wstring ExtractFileExt(const std::wstring& path);
// True when `path` names an existing folder; a drive without medium answers false without
// the system's "insert a disk" box.
bool DirectoryExists(const std::wstring& path);

// --- Shell calls ----------------------------------------------------------------------------

// Runs the shell's file operation `operation` (FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME) on the
// NUL-separated path lists `source` and `target`, owned by the active window and allowing
// undo: deletions go to the recycle bin and the shell shows its own confirmations, progress
// and errors. True only when the shell succeeded and the user aborted nothing.
bool DoFileOperation(UINT operation, const std::wstring& source, const std::wstring& target);

// Starts the shell verb `operation` (empty: the default verb) on `fileName`. A failure shows
// "ERROR - Can't <verb> file <name>" in the loaded language. Returns the shell's result code
// (greater than 32 on success).
INT_PTR ExecuteFile(const std::wstring& operation, const std::wstring& fileName,
                    const std::wstring& params, const std::wstring& dir, int showCmd);

// Opens the shell's properties sheet of a file, folder or drive; a failure the system names
// is reported in a plain message box (always in English).
void ShowPropertiesDialog(const std::wstring& path);
// The text ShowPropertiesDialog shows for the system's reason `code`, or empty for a reason
// it does not name.
std::wstring PropertiesErrorText(DWORD code);

// The shell's folder picker over the whole namespace. On a pick that has a file-system path,
// `path` receives it ending in "\" and the result is true; otherwise `path` is unchanged.
bool BrowseForFolder(HWND owner, std::wstring& path);

// Index of the item's small icon in the system image list, and of its open form (folders).
// An item the shell cannot describe gives 0, the image list's first icon, never a negative
// index (which list and tree controls would take for "ask me later").
int GetIconIndex(const std::wstring& path);
int GetOpenIconIndex(const std::wstring& path);
// The system's image list of small (or large) icons, which those indexes refer to. It belongs
// to the shell: shown, never destroyed.
HIMAGELIST SystemIcons(bool large = false);

// True when an item of that name exists at `path` (a trailing "\" is allowed). If so, an error
// box says "<name>" already exists.
bool NameExists(const std::wstring& path);

// --- Drives ---------------------------------------------------------------------------------

// True when drive `letter` (either case) has a medium and answers. A character that is no
// drive letter shows StrBadDrive; with `showError`, a drive that is not ready beeps and shows
// StrNoDisk. The system's own "insert a disk" box is suppressed during the query.
bool DriveReady(wchar_t letter, bool showError);

// Total size and free space in KB of the drive named by the first character of `drive`
// ("C", "c:\\...", ...); 0 for a drive without medium, no drive, or an empty text.
std::int64_t GetDiskSizeKB(const std::wstring& drive);
std::int64_t GetDiskFreeKB(const std::wstring& drive);

// " (C:)  Local Disk ": the letter first, then the label the shell shows before "(C:)" (none
// when the shell's name has no "("). Trees and lists read a drive node's path back from its
// third and fourth characters. A drive without medium is asked without the system's box.
std::wstring DriveCaption(wchar_t letter);

// --- Folders --------------------------------------------------------------------------------

// True for the entries "." and ".." a folder search also returns.
bool IsDots(const wchar_t* name);

// Adds up the sizes of the files under a folder, hidden and system ones included, each with
// its full 64-bit size; a folder that cannot be read counts 0. A link to a folder (a
// reparse point: a junction, a symbolic link, and under Wine a Unix symbolic link) is not
// entered and counts 0 bytes: a link to a parent would make the walk endless, and any other
// would count a folder twice.
class FolderSizeWalk {
public:
    // With `responsive`, a long walk lets the windows repaint about ten times a second and
    // Escape cancels it.
    explicit FolderSizeWalk(bool responsive) : responsive_(responsive) {}

    double Run(const std::wstring& path);
    bool Cancelled() const { return cancelled_; }

private:
    static constexpr DWORD kLookEveryMs = 100;

    // `dir` ends in a backslash and is restored before returning.
    double Walk(std::wstring& dir);
    void LookAround();

    bool responsive_;
    bool cancelled_ = false;
    unsigned sinceLook_ = 0;
    DWORD lastLook_ = 0;
};

// --- Formatting -----------------------------------------------------------------------------

// "<size div 1024> KB", where anything from 1 byte up counts at least 1 KB; a single blank
// when `kind` is "DIR" in any case (folders show no size).
std::wstring SizeToText(std::int64_t size, const std::wstring& kind);

// The UTC `fileTime` as local date and time, formatted with dateFormat + " " + timeFormat in
// the framework's date-time pattern language. Empty for a time the system cannot convert.
// A listing of many files passes one snapshot of the regional settings and of the time zone
// (asking the system for the zone costs more than all the rest of one conversion).
std::wstring FileTimeToText(const FILETIME& fileTime, const std::wstring& dateFormat,
                            const std::wstring& timeFormat,
                            const tmb::FormatSettings& settings = tmb::FormatSettings::User(),
                            const TIME_ZONE_INFORMATION* zone = nullptr);

} // namespace kv
