// The system clipboard: files in the shell's form, text lines and a file's contents.
#include "explorer/KvClipboard.h"

#include <shlobj.h>

#include <cstring>

#include "explorer/KvFileDecoding.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Clipboard.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

// The clipboard's change count when this program last put files there (or took another
// program's cut files from it): files on the clipboard under any other count were put there
// by someone else, and a paste takes them.
DWORD ownClipboardSequence = 0;

} // namespace

bool OfferFiles(HWND owner, const std::vector<std::wstring>& paths, bool move) {
    if (paths.empty() || !PutFilesOnClipboard(owner, paths, move))
        return false;
    ownClipboardSequence = GetClipboardSequenceNumber();
    return true;
}

bool ForeignFilesOnClipboard() {
    return IsClipboardFormatAvailable(CF_HDROP) &&
           GetClipboardSequenceNumber() != ownClipboardSequence;
}

void ForeignFilesTaken() { ownClipboardSequence = GetClipboardSequenceNumber(); }

bool CopyLinesToClipboard(HWND owner, const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += L"\r\n";
        text += lines[i];
    }
    tmb::Clipboard clipboard(owner, tmb::Clipboard::toWrite);
    return clipboard.Open() && clipboard.PutText(text);
}

static UINT PreferredDropEffectFormat() {
    static const UINT format = RegisterClipboardFormatW(L"Preferred DropEffect");
    return format;
}

bool PutFilesOnClipboard(HWND owner, const std::vector<std::wstring>& paths, bool move) {
    // DROPFILES, then the paths each ending in a NUL, and one NUL more to end the list.
    std::wstring list;
    for (const std::wstring& path : paths)
        list += path + L'\0';
    list += L'\0';
    std::string block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t), '\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof(header));
    std::memcpy(block.data() + sizeof(header), list.data(), list.size() * sizeof(wchar_t));
    const DWORD effect = move ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    tmb::Clipboard clipboard(owner, tmb::Clipboard::toWrite);
    return clipboard.Open() && clipboard.Put(CF_HDROP, block.data(), block.size()) &&
           clipboard.Put(PreferredDropEffectFormat(), &effect, sizeof(effect));
}

std::vector<std::wstring> ClipboardFiles(HWND owner, bool& move) {
    move = false;
    std::vector<std::wstring> paths;
    if (!IsClipboardFormatAvailable(CF_HDROP))
        return paths;
    tmb::Clipboard clipboard(owner, tmb::Clipboard::toRead);
    if (!clipboard.Open())
        return paths;
    if (HANDLE drop = GetClipboardData(CF_HDROP)) {
        const auto files = static_cast<HDROP>(drop);
        const UINT count = DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(files, i, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(files, i, path.data(), static_cast<UINT>(path.size())));
            if (!path.empty())
                paths.push_back(path);
        }
    }
    if (HANDLE effect = GetClipboardData(PreferredDropEffectFormat())) {
        if (GlobalSize(effect) >= sizeof(DWORD)) {
            if (const auto* value = static_cast<const DWORD*>(GlobalLock(effect))) {
                move = (*value & DROPEFFECT_MOVE) != 0 && !(*value & DROPEFFECT_COPY);
                GlobalUnlock(effect);
            }
        }
    }
    return paths;
}

bool CopyFileContentsToClipboard(HWND parent, const std::wstring& path) {
    const std::wstring ext = tmb::UpperCase(ExtractFileExt(path));
    std::string bytes = ReadWholeFile(path);
    // What goes on the clipboard is made first; only then is the clipboard emptied for it.
    if (ext == L".BMP") {
        const std::string dib = PackedDibOfBitmapFile(bytes);
        if (dib.empty())
            return false;
        tmb::Clipboard clipboard(parent, tmb::Clipboard::toWrite);
        return clipboard.Open() && clipboard.Put(CF_DIB, dib.data(), dib.size());
    }
    if (ext == L".WMF") {
        tmb::EnhMetafileHandle metafile = MetafileOfFile(bytes);
        if (!metafile)
            return false;
        tmb::Clipboard clipboard(parent, tmb::Clipboard::toWrite);
        if (!clipboard.Open() || !clipboard.PutHandle(CF_ENHMETAFILE, metafile.get()))
            return false;
        metafile.release();  // the clipboard owns it now
        return true;
    }
    if (bytes.compare(0, 5, "{\\rtf") == 0) {
        std::wstring text;
        std::string rtf;
        if (!RichTextOfFile(parent, std::move(bytes), text, rtf))
            return false;
        static const UINT rtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
        tmb::Clipboard clipboard(parent, tmb::Clipboard::toWrite);
        if (!clipboard.Open())
            return false;
        const bool textPut = clipboard.PutText(text);
        return clipboard.Put(rtfFormat, rtf.c_str(), rtf.size() + 1) && textPut;
    }
    const std::wstring text = DecodeText(bytes);
    tmb::Clipboard clipboard(parent, tmb::Clipboard::toWrite);
    return clipboard.Open() && clipboard.PutText(text);
}

} // namespace kv
