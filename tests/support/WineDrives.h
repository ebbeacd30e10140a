// Drive letters of any type (CD-ROM, removable, network, ...) defined while a test runs, by
// asking Wine's mount manager; a drive's medium is a folder of the test's own prefix.
#pragma once

#include <windows.h>

#include <string>

namespace tmbtest {

// True when the process runs under Wine (the mount manager requests below need it).
bool RunningOnWine();

// The Unix path of a Windows path (the folder need not exist, its parent must); empty when
// there is none or the process does not run under Wine.
std::string UnixPathOf(const std::wstring& winPath);
// The Windows path of a Unix path; empty when there is none.
std::wstring WindowsPathOf(const std::string& unixPath);

// Defines `letter` as a drive of `driveType` (DRIVE_CDROM, DRIVE_REMOVABLE, DRIVE_REMOTE, ...)
// for the object's lifetime; the destructor removes the letter and the medium folder.
//
// The drive's medium is a folder: while it exists the drive is ready and shows its files;
// while it is missing the drive has no medium (a size query fails, the type stays). Under
// Wine 8 a DRIVE_REMOTE letter without its folder reads as DRIVE_NO_ROOT_DIR.
class WineDrive {
public:
    // The medium is a fresh folder under the temporary folder, inserted when `withMedium`.
    WineDrive(wchar_t letter, UINT driveType, bool withMedium);
    ~WineDrive();
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    // False when the mount manager refused (or there is no Wine); tests then skip.
    bool Defined() const { return defined_; }
    wchar_t Letter() const { return letter_; }
    // "P:\"
    std::wstring Root() const;
    // The Windows path of the medium folder (the drive's content while inserted).
    const std::wstring& MediumDir() const { return mediumDir_; }

    // Creates the medium folder (empty); the drive becomes ready.
    bool InsertMedium();
    // Deletes the medium folder with everything in it; the drive has no medium.
    bool EjectMedium();
    // Defines the letter again over the medium as it now is: the mount manager reads a
    // volume's label and serial number (the medium's ".windows-label" and ".windows-serial")
    // only as the drive is defined, so a test that swaps discs defines it again.
    bool Redefine();

private:
    wchar_t letter_;
    UINT driveType_;
    std::wstring mediumDir_;
    bool defined_ = false;
};

} // namespace tmbtest
