// The explorer family's shared helpers: path texts, drive questions, shell calls, formatters.
#include "explorer/KvFileExplorer28.h"

#include <shlobj.h>


#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Handles.h"
#include "framework/Locale.h"
#include "framework/Paths.h"
#include "framework/TextConv.h"

namespace kv {

namespace {

std::wstring WithoutTrailingNul(std::wstring s) {
    if (!s.empty() && s.back() == L'\0') {
        s.pop_back();
    }
    return s;
}

wchar_t UpperDriveLetter(wchar_t c) {
    if (c >= L'a' && c <= L'z') {
        c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return (c >= L'A' && c <= L'Z') ? c : L'\0';
}

struct DiskSpace {
    bool ready = false;
    ULARGE_INTEGER total{};
    ULARGE_INTEGER free{};
};

DiskSpace QueryDisk(wchar_t upperLetter) {
    DiskSpace space;
    const wchar_t root[] = {upperLetter, L':', L'\\', L'\0'};
    ULARGE_INTEGER availableToCaller{};
    CriticalErrorsSilenced silenced;
    space.ready = GetDiskFreeSpaceExW(root, &availableToCaller, &space.total, &space.free) != 0;
    return space;
}

std::int64_t DiskKB(const std::wstring& drive, bool total) {
    const wchar_t letter = drive.empty() ? L'\0' : UpperDriveLetter(drive[0]);
    if (letter == L'\0') {
        return 0;
    }
    const DiskSpace space = QueryDisk(letter);
    if (!space.ready) {
        return 0;
    }
    return static_cast<std::int64_t>((total ? space.total : space.free).QuadPart / 1024);
}

int SysIconIndex(const std::wstring& path, UINT extraFlags) {
    SHFILEINFOW info{};
    const DWORD_PTR list = SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info),
                                          SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extraFlags);
    return (list != 0 && info.iIcon >= 0) ? info.iIcon : 0;
}

const wchar_t* NullIfEmpty(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

std::wstring WithoutNul(const std::wstring& s) {
    return (!s.empty() && s.back() == L'\0') ? s.substr(0, s.size() - 1) : s;
}

} // namespace

std::wstring LastComponent(const std::wstring& path) {
    const std::size_t delim = path.find_last_of(L"\\/:");
    return delim == std::wstring::npos ? path : path.substr(delim + 1);
}

namespace {
std::size_t FolderEnd(const std::wstring& path) {
    const std::size_t i = path.find_last_of(L"\\:");
    return i == std::wstring::npos ? 0 : i + 1;
}
} // namespace

std::wstring ExtractFilePath(const std::wstring& path) { return path.substr(0, FolderEnd(path)); }

std::wstring ExtractFileName(const std::wstring& path) { return path.substr(FolderEnd(path)); }

std::wstring ExtractFileExt(const std::wstring& path) {
    const std::wstring name = ExtractFileName(path);
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

bool DirectoryExists(const std::wstring& path) {
    CriticalErrorsSilenced silenced;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring AddSlash(const std::wstring& path) { return tmb::IncludeTrailingBackslash(path); }

std::wstring DelSlash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

std::wstring ConcatPath(const std::wstring& dir, const std::wstring& name) {
    if (dir.empty() || name.empty()) {
        return std::wstring();
    }
    return tmb::JoinPath(dir, name);
}

std::wstring AddNullChar(const std::wstring& s) {
    if (s.empty() || s.back() == L'\0') {
        return s;
    }
    return s + L'\0';
}

bool HasAnyChar(const std::wstring& chars, const std::wstring& s) {
    return !chars.empty() && s.find_first_of(chars) != std::wstring::npos;
}

std::wstring FileNameOnly(const std::wstring& path) {
    std::wstring name = LastComponent(path);
    // The extension is cut where it stands, at the end: removing the first occurrence of its
    // text would maul names such as "report.doc.old.doc".
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.erase(dot);
    }
    return name;
}

std::wstring FullPathOf(const std::wstring& path, const std::wstring& base) {
    if (path.empty())
        return path;
    std::wstring joined = path;
    const bool rooted = path[0] == L'\\' || path[0] == L'/' || (path.size() >= 2 && path[1] == L':');
    if (!rooted && !base.empty())
        joined = AddSlash(base) + path;
    else if ((path[0] == L'\\' || path[0] == L'/') &&
             !(path.size() >= 2 && (path[1] == L'\\' || path[1] == L'/')) && base.size() >= 2 &&
             base[1] == L':')
        joined = base.substr(0, 2) + path;  // "\dir" lies on the base's drive
    const DWORD size = GetFullPathNameW(joined.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return joined;
    std::wstring full(size, L'\0');
    const DWORD written = GetFullPathNameW(joined.c_str(), size, full.data(), nullptr);
    full.resize(written < size ? written : 0);
    return full.empty() ? joined : full;
}

bool IsDriveRoot(const std::wstring& path) {
    const std::wstring p = DelSlash(WithoutNul(path));
    if (p.empty() || (p.size() == 2 && p[1] == L':'))
        return true;
    if (p.size() > 2 && p[0] == L'\\' && p[1] == L'\\') {
        // "\\server\share": two components after the leading backslashes.
        const std::size_t server = p.find(L'\\', 2);
        return server == std::wstring::npos || p.find(L'\\', server + 1) == std::wstring::npos;
    }
    return false;
}

bool IntoItself(const std::wstring& source, const std::wstring& target) {
    const std::wstring from = WithoutNul(source);
    const std::wstring to = WithoutNul(target);
    if (from.empty() || to.empty() || !DirectoryExists(from))
        return false;
    const std::wstring receiver = DirectoryExists(to) ? to : ExtractFilePath(DelSlash(to));
    // Both compared in full and by their long names, so "C:\PROGRA~1" meets "C:\Program Files".
    const auto canonical = [](const std::wstring& path) {
        std::wstring full = FullPathOf(path);
        const DWORD size = GetLongPathNameW(full.c_str(), nullptr, 0);
        if (size > 0) {
            std::wstring longName(size, L'\0');
            const DWORD written = GetLongPathNameW(full.c_str(), longName.data(), size);
            if (written > 0 && written < size) {
                longName.resize(written);
                full = longName;
            }
        }
        return tmb::UpperCase(AddSlash(full));
    };
    const std::wstring folder = canonical(from);
    return canonical(receiver).compare(0, folder.size(), folder) == 0;
}

bool RefusedIntoItself(const std::wstring& source, const std::wstring& target,
                       TLanguage language, bool tell) {
    if (!IntoItself(source, target))
        return false;
    if (tell)
        tmb::MessageDlg(KvTextOf(KvText::StrIntoItself, language) + L"\r\r" + WithoutNul(source),
                        tmb::MsgDlgType::Error, tmb::mbOK);
    return true;
}

bool DoFileOperation(UINT operation, const std::wstring& source, const std::wstring& target) {
    const std::wstring from = AddNullChar(source);
    const std::wstring to = AddNullChar(target);
    if (from.empty()) {
        return false;  // nothing to operate on; the shell would read past an empty list
    }
    // The last guard for every caller: a drive root is never the source of an operation
    // (its "name" is empty, and the shell would take the whole drive), and no folder goes
    // into itself (the shell would copy it into its copy until the disk is full).
    for (std::size_t start = 0; start < from.size();) {
        std::size_t end = from.find(L'\0', start);
        if (end == std::wstring::npos)
            end = from.size();
        const std::wstring one = from.substr(start, end - start);
        const std::wstring last = LastComponent(DelSlash(one));
        if (IsDriveRoot(one) || last == L"." || last == L"..")
            return false;
        if ((operation == FO_COPY || operation == FO_MOVE) && IntoItself(one, target))
            return false;
        // A source gone since it was cut or copied (renamed, moved, deleted) is not done, and
        // the caller says so: the shell may report the move of a missing file as done.
        if ((operation == FO_COPY || operation == FO_MOVE) &&
            GetFileAttributesW(one.c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        start = end + 1;
    }
    SHFILEOPSTRUCTW request{};
    request.hwnd = GetActiveWindow();
    request.wFunc = operation;
    request.pFrom = from.c_str();               // the extra NUL of c_str() ends the list
    request.pTo = to.empty() ? nullptr : to.c_str();
    request.fFlags = FOF_ALLOWUNDO;
    request.lpszProgressTitle = L"";
    const int result = SHFileOperationW(&request);
    return result == 0 && !request.fAnyOperationsAborted;
}

INT_PTR ExecuteFile(const std::wstring& operation, const std::wstring& fileName,
                    const std::wstring& params, const std::wstring& dir, int showCmd) {
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(tmb::App().Handle(), NullIfEmpty(operation), fileName.c_str(),
                      NullIfEmpty(params), NullIfEmpty(dir), showCmd));
    if (result <= 32) {
        tmb::MessageDlg(KvMessages.StrCant + operation + KvMessages.StrFile + fileName,
                        tmb::MsgDlgType::Error, tmb::mbOK);
    }
    return result;
}

void ShowPropertiesDialog(const std::wstring& path) {
    const DWORD error = tmb::CurrentModalHost().PropertiesSheet(nullptr, path);
    if (error != NO_ERROR) {
        const std::wstring text = PropertiesErrorText(error);
        if (!text.empty()) {
            tmb::ShowMessage(text);
        }
    }
}

std::wstring PropertiesErrorText(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return L"The specified file was not found.";
    case ERROR_PATH_NOT_FOUND:
        return L"The specified path was not found.";
    case ERROR_ACCESS_DENIED:
        return L"Access denied";
    case ERROR_NOT_ENOUGH_MEMORY:
        return L"Not enough memory for this operation";
    case ERROR_SHARING_VIOLATION:
        return L"Sharing violation";
    case ERROR_NO_ASSOCIATION:
        return L"There is no application associated with the given filename extension.";
    case ERROR_DDE_FAIL:
        return L"The DDE transaction failed.";
    case ERROR_DLL_NOT_FOUND:
        return L"DLL not found";
    case ERROR_CANCELLED:
        return L"The function prompted the user for the location of the application, but the "
               L"user cancelled the request.";
    default:
        return std::wstring();
    }
}

bool BrowseForFolder(HWND owner, std::wstring& path) {
    tmb::FolderPickerRequest request;
    request.owner = owner;
    request.title = KvMessages.StrSpecifyDir;
    if (!tmb::CurrentModalHost().BrowseForFolder(request) || request.path.empty()) {
        return false;
    }
    path = AddSlash(request.path);
    return true;
}

int GetIconIndex(const std::wstring& path) { return SysIconIndex(path, 0); }

int GetOpenIconIndex(const std::wstring& path) { return SysIconIndex(path, SHGFI_OPENICON); }

HIMAGELIST SystemIcons(bool large) {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
}

bool NameExists(const std::wstring& path) {
    const std::wstring bare = DelSlash(WithoutTrailingNul(path));
    if (bare.empty()) {
        return false;
    }
    // No name holds a wildcard, and searching with one would report any match as "exists".
    if (LastComponent(bare).find_first_of(L"*?") != std::wstring::npos) {
        return false;
    }
    bool found;
    if (bare.size() == 2 && bare[1] == L':') {
        // A drive root: the search finds no entry for "C:\" (nor for "C:"), so ask for its
        // attributes.
        CriticalErrorsSilenced silenced;
        found = GetFileAttributesW(AddSlash(bare).c_str()) != INVALID_FILE_ATTRIBUTES;
    } else {
        // The search needs the name without a trailing "\": with one it finds nothing even
        // where the folder exists.
        WIN32_FIND_DATAW data;
        found = static_cast<bool>(tmb::FindHandle(FindFirstFileW(bare.c_str(), &data)));
    }
    if (!found) {
        return false;
    }
    std::wstring name = LastComponent(bare);
    if (name.empty()) {
        name = bare;  // "C:"
    }
    tmb::MessageDlg(L"\"" + name + L"\" " + KvMessages.StrExists, tmb::MsgDlgType::Error,
                    tmb::mbOK);
    return true;
}

bool DriveReady(wchar_t letter, bool showError) {
    const wchar_t upper = UpperDriveLetter(letter);
    if (upper == L'\0') {
        tmb::MessageDlg(KvMessages.StrBadDrive, tmb::MsgDlgType::Error, tmb::mbOK);
        return false;
    }
    if (QueryDisk(upper).ready) {
        return true;
    }
    if (showError) {
        MessageBeep(MB_ICONHAND);
        tmb::MessageDlg(KvMessages.StrNoDisk, tmb::MsgDlgType::Warning, tmb::mbOK);
    }
    return false;
}

std::int64_t GetDiskSizeKB(const std::wstring& drive) { return DiskKB(drive, true); }

std::int64_t GetDiskFreeKB(const std::wstring& drive) { return DiskKB(drive, false); }

std::wstring DriveCaption(wchar_t letter) {
    const std::wstring root{letter, L':', L'\\'};
    SHFILEINFOW info{};
    {
        CriticalErrorsSilenced silenced;
        SHGetFileInfoW(root.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    }
    const std::wstring display = info.szDisplayName;
    const std::size_t paren = display.find(L'(');
    const std::wstring label =
        paren == std::wstring::npos ? std::wstring() : display.substr(0, paren);
    return std::wstring(L" (") + letter + L":)  " + label;
}

// ---- folders ------------------------------------------------------------------------------

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

double FolderSizeWalk::Run(const std::wstring& path) {
    if (path.empty())
        return 0;
    std::wstring dir = AddSlash(path);
    dir.reserve(MAX_PATH * 2);
    lastLook_ = GetTickCount() - kLookEveryMs;
    return Walk(dir);
}

double FolderSizeWalk::Walk(std::wstring& dir) {
    const std::size_t length = dir.size();
    dir += L"*.*";
    WIN32_FIND_DATAW data;
    tmb::FindHandle search(FindFirstFileW(dir.c_str(), &data));
    dir.resize(length);
    if (!search)
        return 0;
    double total = 0;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsDots(data.cFileName) || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                continue;
            dir += data.cFileName;
            dir += L'\\';
            total += Walk(dir);
            dir.resize(length);
        } else {
            total += static_cast<double>(data.nFileSizeHigh) * 4294967296.0 +
                     static_cast<double>(data.nFileSizeLow);
        }
        if (responsive_ && (sinceLook_++ & 0xFF) == 0)
            LookAround();
    } while (!cancelled_ && FindNextFileW(search.get(), &data));
    return total;
}

// Lets the windows repaint and takes an Escape as the cancel. Other keys pressed during the
// count are dropped: the report box comes next and would take them (an Enter typed ahead
// would close it unread). Mouse input waits: the hourglass says the program is busy, and
// running clicks here would re-enter the tree.
void FolderSizeWalk::LookAround() {
    const DWORD now = GetTickCount();
    if (now - lastLook_ < kLookEveryMs)
        return;
    lastLook_ = now;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
        if (msg.wParam == VK_ESCAPE)
            cancelled_ = true;
    }
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageW(&msg);
}

std::wstring SizeToText(std::int64_t size, const std::wstring& kind) {
    if (CompareStringOrdinal(kind.c_str(), static_cast<int>(kind.size()), L"DIR", 3, TRUE) ==
        CSTR_EQUAL) {
        return L" ";
    }
    if (size > 0 && size < 1024) {
        size = 1024;
    }
    return std::to_wstring(size / 1024) + L" KB";
}

std::wstring FileTimeToText(const FILETIME& fileTime, const std::wstring& dateFormat,
                            const std::wstring& timeFormat, const tmb::FormatSettings& settings,
                            const TIME_ZONE_INFORMATION* zone) {
    // The local time is taken with the time-zone rules of that date, not with today's bias:
    // a January file seen in July would otherwise show one hour off.
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&fileTime, &utc) ||
        !SystemTimeToTzSpecificLocalTime(zone, &utc, &local)) {
        return std::wstring();
    }
    return tmb::FormatDateTime(dateFormat + L" " + timeFormat, local, settings);
}

} // namespace kv
