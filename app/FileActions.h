// The file actions the window and the command line share: opening a document with its
// associated program, and moving a file to the recycle bin.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// True when `path` names a file (not a folder), whatever its length.
bool IsFile(const std::wstring& path);

// Opens a document or program with its default action, owned by the main window; the
// result is not examined.
void ShellOpen(const std::wstring& path);
// Opens it without an owner window and reports a failure the shell names, in Portuguese.
void ShellOpenReporting(const std::wstring& path);
// The text shown for a shell-open result, or empty when that result shows nothing.
std::wstring ShellOpenMessage(INT_PTR result);
// Moves a file to the recycle bin, silently and without asking; false when there is no
// such file or the shell fails.
bool RecycleFile(const std::wstring& path);

} // namespace app
