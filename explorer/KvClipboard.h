// The system clipboard as the explorer components use it: files offered to other programs
// the way the shell offers them (and taken from them), lines of text, and a file's contents.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kv {

// Puts `paths` (full paths) on the clipboard the way the shell puts files there, so other
// programs can paste them: CF_HDROP, and the "Preferred DropEffect" saying copy or (with
// `move`) move. False if the clipboard cannot be had.
bool PutFilesOnClipboard(HWND owner, const std::vector<std::wstring>& paths, bool move);
// The files on the clipboard (CF_HDROP) in their order, empty when it holds none; `move` says
// whether they were cut there (the "Preferred DropEffect" asks for a move).
std::vector<std::wstring> ClipboardFiles(HWND owner, bool& move);

// PutFilesOnClipboard for a cut or copy of this program's own: the files on the clipboard
// are then not taken for another program's.
bool OfferFiles(HWND owner, const std::vector<std::wstring>& paths, bool move);
// Files another program put on the clipboard after this program last offered (or took) any.
bool ForeignFilesOnClipboard();
// Another program's cut files were moved by a paste: they are not pasted again.
void ForeignFilesTaken();

// Puts `lines` on the clipboard as Unicode text, CR LF between the lines and none after the
// last (the system offers the 8-bit forms from it). False if the clipboard cannot be had.
bool CopyLinesToClipboard(HWND owner, const std::vector<std::wstring>& lines);

// Puts the contents of the file on the clipboard: a ".BMP" as a device-independent bitmap,
// a ".WMF" as a metafile picture, a rich-text file through a hidden rich-text control that is
// a child of `parent` (as rich text and as its text), anything else as its text, decoded by
// its byte-order mark or else from the ANSI code page. Throws
// tmb::EFOpenError when the file cannot be read; false for a picture file that holds no
// valid picture, or when the clipboard cannot be had.
bool CopyFileContentsToClipboard(HWND parent, const std::wstring& path);

} // namespace kv
