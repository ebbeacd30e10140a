// What a catalogue records of the volume its folder lies on, so that a collection knows a
// disc again whatever drive letter it is read in: label, serial number, file system, kind of
// drive, capacity and free space.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace catalog {

struct VolumeFacts {
    std::wstring root;          // the volume's root as the folder reaches it ("D:\", "\\srv\share\")
    std::wstring below;         // the folder below that root, "\" for the root itself ("\Fotos")
    std::wstring label;         // empty when the volume has none
    std::wstring fileSystem;    // "NTFS", "CDFS", ...
    bool hasSerial = false;
    DWORD serial = 0;
    UINT driveType = DRIVE_UNKNOWN;
    std::uint64_t capacity = 0, free = 0;  // bytes; 0 when the volume does not say
};

// The facts of the volume `folder` (a canonical folder) lies on; what the system will not tell
// stays empty, so a folder on a volume that answers nothing is still catalogued.
VolumeFacts VolumeOf(const std::wstring& folder);

// "1A2B3C4D", as the data block keeps it (the page shows it as "1A2B-3C4D").
std::string SerialDigits(DWORD serial);
// The word the page and the data block use for a kind of drive: "fixo", "removivel", "cd",
// "rede", "ram" or "" when unknown.
const char* DriveKindWord(UINT driveType);
// The name a volume gets when none is given: its label when the folder is the root of a
// labelled volume, else the folder's full path.
std::wstring DefaultVolumeName(const VolumeFacts& volume, const std::wstring& folder);

} // namespace catalog
