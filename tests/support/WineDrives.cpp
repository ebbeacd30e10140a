// Drive letters defined through Wine's mount manager while a test runs.
#include "tests/support/WineDrives.h"

#include <winioctl.h>

#include <cstring>
#include <cwctype>
#include <vector>

#include "tests/support/TestFolders.h"

namespace tmbtest {

namespace {

// Wine 8's request to define a drive letter (dlls/mountmgr.sys), 32 bytes followed by the
// strings the offsets point at. MinGW's header declares an older, different layout.
struct MountMgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;  // the Unix folder, in the Unix encoding; 0 = none
    USHORT device_offset;
    USHORT label_offset;
};
static_assert(sizeof(MountMgrUnixDrive) == 32, "Wine 8 expects 32 bytes");

constexpr DWORD kMountMgrDefineUnixDrive =
    CTL_CODE(0x6d /* 'm' */, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// Defines (mountPoint non-empty) or removes (DRIVE_NO_ROOT_DIR, no mount point) a letter.
bool DefineUnixDrive(wchar_t letter, UINT type, const std::string& mountPoint) {
    std::vector<char> request(sizeof(MountMgrUnixDrive) +
                              (mountPoint.empty() ? 0 : mountPoint.size() + 1));
    auto* drive = reinterpret_cast<MountMgrUnixDrive*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->type = type;
    drive->letter = static_cast<WCHAR>(towlower(letter));
    if (!mountPoint.empty()) {
        drive->mount_point_offset = sizeof(MountMgrUnixDrive);
        std::memcpy(request.data() + sizeof(MountMgrUnixDrive), mountPoint.c_str(),
                    mountPoint.size() + 1);
    }
    const HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kMountMgrDefineUnixDrive, request.data(),
                                    static_cast<DWORD>(request.size()), nullptr, 0, &returned,
                                    nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

using WineUnixFileName = char*(CDECL*)(const WCHAR*);
using WineDosFileName = WCHAR*(CDECL*)(const char*);

FARPROC Kernel32Export(const char* name) {
    return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
}

// A path converted by Wine's function `name` of kernel32, which allocates what it returns;
// empty where there is no such function or no such path.
template <class Result, class Convert, class Path>
Result WineConverted(const char* name, Path path) {
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(Kernel32Export(name)));
    auto* converted = convert ? convert(path) : nullptr;
    if (!converted)
        return Result();
    Result result = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

} // namespace

bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string UnixPathOf(const std::wstring& winPath) {
    return WineConverted<std::string, WineUnixFileName>("wine_get_unix_file_name", winPath.c_str());
}

std::wstring WindowsPathOf(const std::string& unixPath) {
    return WineConverted<std::wstring, WineDosFileName>("wine_get_dos_file_name", unixPath.c_str());
}

WineDrive::WineDrive(wchar_t letter, UINT driveType, bool withMedium)
    : letter_(static_cast<wchar_t>(towupper(letter))), driveType_(driveType) {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH || letter_ < L'A' || letter_ > L'Z') {
        return;
    }
    // Never take over a letter that is already there (C:, Z:, another test's drive).
    if (GetLogicalDrives() & (1u << (letter_ - L'A'))) {
        return;
    }
    mediumDir_ = std::wstring(temp) + L"tombarel-drive-" + letter_ + L"-" +
                 std::to_wstring(GetCurrentProcessId());
    RemoveTree(mediumDir_);  // a leftover of an earlier run with the same process id
    const std::string unixDir = UnixPathOf(mediumDir_);
    if (unixDir.empty()) {
        return;
    }
    defined_ = DefineUnixDrive(letter_, driveType, unixDir);
    if (defined_ && withMedium) {
        InsertMedium();
    }
}

WineDrive::~WineDrive() {
    if (defined_) {
        DefineUnixDrive(letter_, DRIVE_NO_ROOT_DIR, std::string());
    }
    if (!mediumDir_.empty()) {
        RemoveTree(mediumDir_);
    }
}

std::wstring WineDrive::Root() const { return std::wstring{letter_, L':', L'\\'}; }

bool WineDrive::InsertMedium() {
    return !mediumDir_.empty() && CreateDirectoryW(mediumDir_.c_str(), nullptr) != FALSE;
}

bool WineDrive::EjectMedium() { return !mediumDir_.empty() && RemoveTree(mediumDir_); }

bool WineDrive::Redefine() {
    return defined_ && DefineUnixDrive(letter_, DRIVE_NO_ROOT_DIR, std::string()) &&
           DefineUnixDrive(letter_, driveType_, UnixPathOf(mediumDir_));
}

} // namespace tmbtest
