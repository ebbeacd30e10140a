// What a file holds, decoded for the clipboard: the whole file's bytes, a bitmap file as a
// packed device-independent bitmap, a metafile file as an enhanced metafile, a rich-text file
// through a hidden rich-text control, and a plain text by its byte-order mark.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace kv {

// The bytes of the file; throws tmb::EFOpenError when it cannot be read.
std::string ReadWholeFile(const std::wstring& path);

// A ".BMP" file's bitmap as the clipboard's packed device-independent bitmap: the header and
// colour table, then the pixels, which the file may keep further on (its bfOffBits). Empty
// when the file is no bitmap or its pixels are cut short.
std::string PackedDibOfBitmapFile(const std::string& bytes);

// A ".WMF" file's picture as an enhanced metafile; null when it holds no valid picture.
tmb::EnhMetafileHandle MetafileOfFile(const std::string& bytes);

// A plain text file's text: UTF-16 and UTF-8 files announce themselves with a byte-order
// mark; anything else is in the ANSI code page.
std::wstring DecodeText(const std::string& bytes);

// A rich-text file read by a hidden rich-text control (a child of `parent`), given back as
// the Unicode text it shows and as rich text; false when the control cannot be made.
bool RichTextOfFile(HWND parent, std::string bytes, std::wstring& text, std::string& rtf);

} // namespace kv
