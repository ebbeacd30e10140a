// The shell chores behind the file list view's Send To.
#include "explorer/KvSendTo.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Application.h"
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
