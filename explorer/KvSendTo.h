// The shell chores behind the file list view's Send To: the viewer table, the user's SendTo
// folder, shortcuts read and written through the Unicode shell-link interfaces, copying a
// set of entries into a folder and the "send to any folder" prompt. The clipboard's part is
// KvClipboard.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "explorer/KvClipboard.h"
#include "explorer/KvFileExplorer28.h"

namespace kv {

// --- Viewer table ---------------------------------------------------------------------------

// Extensions the menu's View opens in a program of the system, in table order: 0-9 Notepad,
// 10-12 WordPad (Write), 13-15 Paint.
struct ViewerEntry {
    const wchar_t* extension;  // upper case, with the dot
    const wchar_t* program;
};
inline constexpr int kViewerCount = 16;
extern const ViewerEntry kViewerTable[kViewerCount];

// Index into kViewerTable of the upper-cased extension of `path`, or -1.
int ViewerIndex(const std::wstring& path);

// True when "Clipboard as Contents" can copy the file: an extension of the viewer table from
// ".C" up to ".BMP" (entries 0 to 13), or ".RTF" or ".WMF".
bool CanCopyContents(const std::wstring& path);

// The full path of a viewer program: in the Windows folder, or else in the system folder
// (where current Windows keeps WordPad's "Write.exe"). When neither holds it, the Windows
// folder's path, so the failure names the place looked at first.
std::wstring ViewerProgramPath(const std::wstring& program);

// --- The SendTo folder and shortcuts --------------------------------------------------------

// The path of a special folder (CSIDL_*), without a trailing backslash; false when the
// system has none.
bool GetSpecialFolderPath(int csidl, std::wstring& path);

// A shortcut of the user's SendTo folder as the menu lists it.
struct SendToShortcut {
    std::wstring path;         // the full path of the .lnk file
    std::wstring displayName;  // the shell's display name
    int iconIndex = 0;         // index in the system's small image list
};
// The ".LNK" files of the user's SendTo folder, in the order the folder lists them; empty
// when the system has no SendTo folder.
std::vector<SendToShortcut> ReadSendToFolder();
// The same for any folder (what ReadSendToFolder reads after finding the SendTo folder).
std::vector<SendToShortcut> ReadShortcutFolder(const std::wstring& folder);

// The target path of the shortcut file `linkFile`; empty if it cannot be read or resolved.
// Nothing is shown: a shortcut whose target is gone resolves to nothing rather than to a
// search box of the shell.
std::wstring ResolveShortcut(HWND owner, const std::wstring& linkFile);

// Writes the shortcut file `linkFile` to `target`, working in `workingDir`, described as
// `description`. False when the link cannot be made or saved.
bool CreateShortcut(const std::wstring& linkFile, const std::wstring& target,
                    const std::wstring& workingDir, const std::wstring& description);

// The folder of the user's desktop (the one the shell shows), without a trailing backslash;
// empty if the system has none.
std::wstring DesktopFolder();

// --- Copying --------------------------------------------------------------------------------

// Copies every entry of `sources` (full paths) into `folder` under its own name, one shell
// copy per entry so a refusal of one does not stop the others. True when all succeeded.
bool CopyEntriesToFolder(const std::vector<std::wstring>& sources, const std::wstring& folder);

// --- The "send to any folder" prompt --------------------------------------------------------

// Asks for a destination folder: the prompt with `initialText`, whose Browse button opens
// the shell's folder picker and then the prompt again with the chosen folder. Returns the
// text confirmed with OK, or empty for Cancel, an empty text or a cancelled browse. Texts
// in the file list view's language.
std::wstring AskForFolder(const std::wstring& initialText);

} // namespace kv
