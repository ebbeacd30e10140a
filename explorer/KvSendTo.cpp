// The shell and clipboard chores behind the file list view's context menu.
#include "explorer/KvSendTo.h"

#include <objbase.h>
#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/TextConv.h"

namespace kv {

const ViewerEntry kViewerTable[kViewerCount] = {
    {L".C", L"NotePad.exe"},   {L".CPP", L"NotePad.exe"}, {L".DPK", L"NotePad.exe"},
    {L".DPR", L"NotePad.exe"}, {L".H", L"NotePad.exe"},   {L".INF", L"NotePad.exe"},
    {L".INI", L"NotePad.exe"}, {L".PAS", L"NotePad.exe"}, {L".PRG", L"NotePad.exe"},
    {L".TXT", L"NotePad.exe"}, {L".DOC", L"Write.exe"},   {L".RTF", L"Write.exe"},
    {L".WRI", L"Write.exe"},   {L".BMP", L"PBrush.exe"},  {L".GIF", L"PBrush.exe"},
    {L".JPG", L"PBrush.exe"},
};

namespace {

// A COM interface pointer released when it goes out of scope.
template <class T>
struct ComRelease {
    void operator()(T* p) const { p->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

template <class T>
ComPtr<T> QueryInterface(IUnknown* from, REFIID iid) {
    void* out = nullptr;
    if (!from || FAILED(from->QueryInterface(iid, &out)))
        return nullptr;
    return ComPtr<T>(static_cast<T*>(out));
}

ComPtr<IShellLinkW> NewShellLink() {
    void* out = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                &out)))
        return nullptr;
    return ComPtr<IShellLinkW>(static_cast<IShellLinkW*>(out));
}

std::string ReadWholeFile(const std::wstring& path) {
    tmb::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw tmb::EFOpenError(path, GetLastError());
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (size.QuadPart > 0x7FFFFFFF)
        throw tmb::EFOpenError(path, ERROR_NOT_ENOUGH_MEMORY);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
         done != bytes.size()))
        throw tmb::EFOpenError(path, GetLastError());
    return bytes;
}

// A ".BMP" file's bitmap as the clipboard's packed device-independent bitmap: the header and
// colour table, then the pixels, which the file may keep further on (its bfOffBits). Empty
// when the file is no bitmap or its pixels are cut short.
std::string PackedDibOfBitmapFile(const std::string& bytes) {
    constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    if (bytes.size() < kFileHeader + sizeof(BITMAPCOREHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        return std::string();
    BITMAPFILEHEADER file;
    std::memcpy(&file, bytes.data(), kFileHeader);
    DWORD headerSize = 0;
    std::memcpy(&headerSize, bytes.data() + kFileHeader, sizeof(headerSize));
    LONG width = 0, height = 0;
    WORD planes = 0, bits = 0;
    DWORD compression = BI_RGB, imageSize = 0, colorsUsed = 0;
    std::size_t colorSize = 4;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, bytes.data() + kFileHeader, sizeof(core));
        width = core.bcWidth, height = core.bcHeight, planes = core.bcPlanes, bits = core.bcBitCount;
        colorSize = 3;
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= 1024 &&
               bytes.size() >= kFileHeader + headerSize) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, bytes.data() + kFileHeader, sizeof(info));
        width = info.biWidth, height = info.biHeight, planes = info.biPlanes, bits = info.biBitCount;
        compression = info.biCompression, imageSize = info.biSizeImage, colorsUsed = info.biClrUsed;
    } else {
        return std::string();
    }
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (width <= 0 || height == 0 || width > 0x10000 || height > 0x10000 || height < -0x10000 ||
        planes != 1 || !knownDepth)
        return std::string();
    std::size_t colors = colorsUsed;
    if (colors == 0 && bits <= 8)
        colors = std::size_t{1} << bits;
    if (colors > 256 && bits <= 8)
        return std::string();
    // Three masks follow a plain information header when the pixels are bit fields.
    const std::size_t masks = headerSize == sizeof(BITMAPINFOHEADER) && compression == BI_BITFIELDS ? 12 : 0;
    const std::size_t tableEnd = kFileHeader + headerSize + masks + colors * colorSize;
    // In 64 bits: a 65,536-pixel-square 32-bit header asks for 2^34 bytes, which would wrap
    // in this 32-bit program and let a short pixel block pass for a whole one.
    std::uint64_t pixelSize = imageSize;
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
        pixelSize = stride * static_cast<std::uint64_t>(height < 0 ? -height : height);
    }
    const std::size_t pixels = file.bfOffBits;
    if (pixelSize == 0 || tableEnd > bytes.size() || pixels < tableEnd || pixels > bytes.size() ||
        bytes.size() - pixels < pixelSize)
        return std::string();
    std::string dib = bytes.substr(kFileHeader, tableEnd - kFileHeader);
    dib.append(bytes, pixels, static_cast<std::size_t>(pixelSize));
    return dib;
}

// A ".WMF" file's picture, with or without the placeable header that gives its size, as an
// enhanced metafile (the clipboard offers the old metafile form from it); null when the file
// is no metafile.
tmb::EnhMetafileHandle MetafileOfFile(const std::string& bytes) {
    constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
    constexpr std::size_t kPlaceableSize = 22;
    std::size_t offset = 0;
    METAFILEPICT pict{MM_ANISOTROPIC, 0, 0, nullptr};
    DWORD key = 0;
    if (bytes.size() >= kPlaceableSize)
        std::memcpy(&key, bytes.data(), sizeof(key));
    if (key == kPlaceableKey) {
        // Bounds in logical units and their units per inch; the picture size in 0.01 mm.
        SHORT left, top, right, bottom;
        WORD inch;
        std::memcpy(&left, bytes.data() + 6, 2);
        std::memcpy(&top, bytes.data() + 8, 2);
        std::memcpy(&right, bytes.data() + 10, 2);
        std::memcpy(&bottom, bytes.data() + 12, 2);
        std::memcpy(&inch, bytes.data() + 14, 2);
        if (inch != 0) {
            pict.xExt = MulDiv(right - left, 2540, inch);
            pict.yExt = MulDiv(bottom - top, 2540, inch);
        }
        offset = kPlaceableSize;
    }
    if (bytes.size() <= offset + sizeof(METAHEADER))
        return tmb::EnhMetafileHandle();
    // The header must describe the records that follow it (sizes in 16-bit words).
    METAHEADER header;
    std::memcpy(&header, bytes.data() + offset, sizeof(header));
    const std::size_t available = bytes.size() - offset;
    if ((header.mtType != 1 && header.mtType != 2) || header.mtHeaderSize != sizeof(METAHEADER) / 2 ||
        static_cast<std::size_t>(header.mtSize) * 2 > available ||
        static_cast<std::size_t>(header.mtSize) * 2 <= sizeof(METAHEADER))
        return tmb::EnhMetafileHandle();
    return tmb::EnhMetafileHandle(
        SetWinMetaFileBits(static_cast<UINT>(header.mtSize * 2),
                           reinterpret_cast<const BYTE*>(bytes.data() + offset), nullptr,
                           pict.xExt != 0 ? &pict : nullptr));
}

// Feeds a string to the rich-text control's stream-in, and collects its stream-out.
struct StreamBuffer {
    std::string bytes;
    std::size_t position = 0;
    bool failed = false;  // the callback could not take the bytes (out of memory)
};

// The callbacks run inside riched20: no exception may leave them. A non-zero return ends
// the stream.
DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) noexcept {
    auto* s = reinterpret_cast<StreamBuffer*>(cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted),
                                                s->bytes.size() - s->position);
    std::memcpy(buffer, s->bytes.data() + s->position, n);
    s->position += n;
    *given = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) noexcept {
    auto* s = reinterpret_cast<StreamBuffer*>(cookie);
    try {
        s->bytes.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(count));
    } catch (...) {
        s->failed = true;
        *taken = 0;
        return 1;
    }
    *taken = count;
    return 0;
}

std::string StreamOutOf(HWND edit, WPARAM format) {
    StreamBuffer out;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&out), 0, &StreamOut};
    SendMessageW(edit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    if (out.failed)
        throw std::bad_alloc();  // here, outside the control, it reaches the caller safely
    return out.bytes;
}

// A plain text file's text: UTF-16 and UTF-8 files announce themselves with a byte-order
// mark; anything else is in the ANSI code page.
std::wstring DecodeText(const std::string& b) {
    if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') {
        std::wstring text((b.size() - 2) / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), b.data() + 2, text.size() * sizeof(wchar_t));
        return text;
    }
    if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return tmb::Utf8ToWide(b.substr(3));
    return tmb::AnsiToWide(b);
}

// A rich-text file goes through a hidden rich-text control, which gives it back as rich text
// and as the Unicode text it shows, both for the clipboard.
bool RichTextOfFile(HWND parent, std::string bytes, std::wstring& text, std::string& rtf) {
    static const HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    if (!richEdit)
        return false;
    HWND edit = CreateWindowExW(0, RICHEDIT_CLASSW, L"", (parent ? WS_CHILD : WS_POPUP) | ES_MULTILINE,
                                0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit)
        return false;
    struct Destroyer {
        HWND h;
        ~Destroyer() { DestroyWindow(h); }
    } destroyer{edit};
    // The control holds 32,767 characters unless told otherwise: a longer text would come
    // out cut short.
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    StreamBuffer in;
    in.bytes.swap(bytes);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, &StreamIn};
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));

    // The text with CR LF line ends, without the paragraph mark the control always adds.
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_USECRLF | GTL_PRECISE, 1200};
    const auto count = static_cast<std::size_t>(
        SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    text.assign(count + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr,
                  nullptr};
    text.resize(static_cast<std::size_t>(SendMessageW(
        edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
    rtf = StreamOutOf(edit, SF_RTF);
    return true;
}

// The file-system path an item list names, however deep; empty for a virtual item.
std::wstring PathOfIdList(const tmb::PidlHandle& pidl) {
    std::wstring path(32768, L'\0');
    if (!SHGetPathFromIDListEx(pidl.get(), path.data(), static_cast<DWORD>(path.size()),
                               GPFIDL_DEFAULT))
        return std::wstring();
    path.resize(std::wcslen(path.c_str()));
    return path;
}

} // namespace

int ViewerIndex(const std::wstring& path) {
    const std::wstring ext = tmb::UpperCase(ExtractFileExt(path));
    if (ext.empty())
        return -1;
    for (int i = 0; i < kViewerCount; ++i)
        if (ext == kViewerTable[i].extension)
            return i;
    return -1;
}

bool CanCopyContents(const std::wstring& path) {
    const int index = ViewerIndex(path);
    if (index >= 0 && index <= 13)
        return true;
    const std::wstring ext = tmb::UpperCase(ExtractFileExt(path));
    return ext == L".RTF" || ext == L".WMF";
}

std::wstring ViewerProgramPath(const std::wstring& program) {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    const std::wstring inWindows = AddSlash(folder) + program;
    if (GetFileAttributesW(inWindows.c_str()) != INVALID_FILE_ATTRIBUTES)
        return inWindows;
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring inSystem = AddSlash(system) + program;
    if (GetFileAttributesW(inSystem.c_str()) != INVALID_FILE_ATTRIBUTES)
        return inSystem;
    return inWindows;
}

bool GetSpecialFolderPath(int csidl, std::wstring& path) {
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw)
        return false;
    const std::wstring found = PathOfIdList(tmb::PidlHandle(raw));
    if (!found.empty())
        path = DelSlash(found);
    return !found.empty();
}

std::vector<SendToShortcut> ReadShortcutFolder(const std::wstring& folder) {
    std::vector<SendToShortcut> shortcuts;
    WIN32_FIND_DATAW data;
    tmb::FindHandle search(FindFirstFileW(ConcatPath(folder, L"*.LNK").c_str(), &data));
    if (!search)
        return shortcuts;
    do {
        const std::wstring name = data.cFileName;
        // The pattern also matches through short names ("notes.lnkold" is "NOTES~1.LNK").
        if (name == L"." || name == L".." || tmb::UpperCase(ExtractFileExt(name)) != L".LNK")
            continue;
        SendToShortcut s;
        s.path = ConcatPath(folder, name);
        SHFILEINFOW info{};
        SHGetFileInfoW(s.path.c_str(), 0, &info, sizeof(info),
                       SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        s.displayName = info.szDisplayName[0] ? info.szDisplayName : FileNameOnly(name);
        s.iconIndex = info.iIcon;
        shortcuts.push_back(std::move(s));
    } while (FindNextFileW(search.get(), &data));
    return shortcuts;
}

std::vector<SendToShortcut> ReadSendToFolder() {
    std::wstring folder;
    if (!GetSpecialFolderPath(CSIDL_SENDTO, folder))
        return {};
    return ReadShortcutFolder(folder);
}

std::wstring ResolveShortcut(HWND owner, const std::wstring& linkFile) {
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistFile> file = QueryInterface<IPersistFile>(link.get(), IID_IPersistFile);
    if (!file || FAILED(file->Load(linkFile.c_str(), STGM_READ)))
        return std::wstring();
    if (FAILED(link->Resolve(owner, SLR_ANY_MATCH | SLR_NO_UI)))
        return std::wstring();
    // The target's item list names it in full; the path the link also stores may have been
    // kept in the 8-bit code page by whoever wrote it.
    ITEMIDLIST* raw = nullptr;
    if (SUCCEEDED(link->GetIDList(&raw)) && raw) {
        std::wstring path = PathOfIdList(tmb::PidlHandle(raw));
        if (!path.empty())
            return path;
    }
    // Long paths: a buffer beyond MAX_PATH, so a deep target is not cut.
    std::wstring target(32768, L'\0');
    if (FAILED(link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0)))
        return std::wstring();
    target.resize(std::wcslen(target.c_str()));
    return target;
}

bool CreateShortcut(const std::wstring& linkFile, const std::wstring& target,
                    const std::wstring& workingDir, const std::wstring& description) {
    ComPtr<IShellLinkW> link = NewShellLink();
    if (!link || FAILED(link->SetPath(target.c_str())) ||
        FAILED(link->SetWorkingDirectory(workingDir.c_str())))
        return false;
    link->SetDescription(description.c_str());  // a missing description spoils nothing
    ComPtr<IPersistFile> file = QueryInterface<IPersistFile>(link.get(), IID_IPersistFile);
    return file && SUCCEEDED(file->Save(linkFile.c_str(), FALSE));
}

std::wstring DesktopFolder() {
    std::wstring path;
    return GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY, path) ? path : std::wstring();
}

bool CopyEntriesToFolder(const std::vector<std::wstring>& sources, const std::wstring& folder) {
    bool all = true;
    for (const std::wstring& source : sources) {
        const std::wstring target = AddSlash(folder) + ExtractFileName(source);
        all = DoFileOperation(FO_COPY, source, target) && all;
    }
    return all;
}

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

UINT PreferredDropEffectFormat() {
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

std::wstring AskForFolder(const std::wstring& initialText) {
    tmb::FolderPromptRequest request;
    request.owner = GetActiveWindow();
    request.caption = KvMessages.StrSendToFolder;
    request.prompt = KvMessages.StrEnterSendTo;
    request.text = initialText;
    request.cancelCaption = KvMessages.StrCancel;
    request.browseCaption = KvMessages.StrBrowse;
    switch (tmb::CurrentModalHost().FolderPrompt(request)) {
    case tmb::mrOk:
        return request.text;
    case tmb::mrBrowse: {
        std::wstring picked;
        if (!BrowseForFolder(request.owner, picked))
            return std::wstring();
        return AskForFolder(picked);
    }
    default:
        return std::wstring();
    }
}

} // namespace kv
