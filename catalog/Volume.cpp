// The volume facts, asked of the system once per catalogue.
#include "catalog/Volume.h"

#include <cstdio>
#include <cwchar>
#include <vector>

#include "catalog/CatalogWalk.h"

namespace catalog {

VolumeFacts VolumeOf(const std::wstring& folder) {
    VolumeFacts facts;
    // The root the folder is reached through (a mounted folder is a volume of its own).
    std::vector<wchar_t> root(folder.size() + 2);
    if (GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())))
        facts.root = root.data();
    else if (folder.size() >= 2 && folder[1] == L':')
        facts.root = folder.substr(0, 2) + L"\\";
    if (facts.root.empty() || facts.root.back() != L'\\')
        facts.root += L'\\';
    // The folder below the root, compared without regard to case ("d:\" and "D:\Fotos").
    facts.below = L"\\";
    const std::wstring canonical = CanonicalFolder(folder);
    if (canonical.size() > facts.root.size() &&
        _wcsnicmp(canonical.c_str(), facts.root.c_str(), facts.root.size()) == 0)
        facts.below += canonical.substr(facts.root.size());
    wchar_t label[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {};
    DWORD serial = 0;
    if (GetVolumeInformationW(facts.root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr, system,
                              MAX_PATH + 1)) {
        facts.label = label;
        facts.fileSystem = system;
        facts.hasSerial = true;
        facts.serial = serial;
    }
    facts.driveType = GetDriveTypeW(facts.root.c_str());
    ULARGE_INTEGER available{}, total{}, free{};
    if (GetDiskFreeSpaceExW(facts.root.c_str(), &available, &total, &free)) {
        facts.capacity = total.QuadPart;
        facts.free = free.QuadPart;
    }
    return facts;
}

std::string SerialDigits(DWORD serial) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(serial));
    return text;
}

const char* DriveKindWord(UINT driveType) {
    switch (driveType) {
    case DRIVE_FIXED: return "fixo";
    case DRIVE_REMOVABLE: return "removivel";
    case DRIVE_CDROM: return "cd";
    case DRIVE_REMOTE: return "rede";
    case DRIVE_RAMDISK: return "ram";
    default: return "";
    }
}

std::wstring DefaultVolumeName(const VolumeFacts& volume, const std::wstring& folder) {
    if (volume.below == L"\\" && !volume.label.empty())
        return volume.label;
    return CanonicalFolder(folder);
}

} // namespace catalog
