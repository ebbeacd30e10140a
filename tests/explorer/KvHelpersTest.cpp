// The explorer family's shared helpers, against the real shell and real Wine drives.
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Dialogs.h"
#include "framework/TextConv.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WineDrives.h"

namespace {

using tmb::MsgDlgType;
using tmbtest::IsMessage;
using tmbtest::ModalCall;

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name no earlier run has used: files deleted to the trash keep their names there.
std::wstring UniqueName(const wchar_t* stem) {
    static int counter = 0;
    return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
}

class KvHelpersTest : public testing::Test {
protected:
    void SetUp() override {
        script_.ShowSystemDialogs();
        previousLanguage_ = kv::TreeLanguage;
        previousTexts_ = kv::KvMessages;
        kv::TreeLanguage = kv::lnEnglish;
        kv::LoadTreeTexts();
    }
    void TearDown() override {
        for (const auto kind : {ModalCall::Kind::SaveDialog, ModalCall::Kind::FolderPrompt})
            EXPECT_TRUE(script_.CallsOf(kind).empty()) << "no helper saves or asks for a folder";
        kv::TreeLanguage = previousLanguage_;
        kv::KvMessages = previousTexts_;
        // A program started in the folder may still have it as its working folder.
        tmbtest::WaitFor([&] { return tmbtest::RemoveTree(dir_.Path()) || !Exists(dir_.Path()); }, 5000);
    }

    // The boxes the helpers raised through the modal seam (each answered with OK).
    const std::vector<ModalCall>& Shown() { return script_.Calls(); }

    tmbtest::DialogScript script_;
    kv::TLanguage previousLanguage_ = kv::lnSysDefault;
    kv::KvMessageTexts previousTexts_;
    tmbtest::TempFolder dir_;  // a fresh folder for each test
};

// --- path texts -----------------------------------------------------------------------------

TEST(KvPathTexts, SlashesAreAddedAndRemovedOnceAtTheEnd) {
    EXPECT_EQ(kv::AddSlash(L""), L"");
    EXPECT_EQ(kv::AddSlash(L"C:"), L"C:\\");
    EXPECT_EQ(kv::AddSlash(L"C:\\"), L"C:\\");
    EXPECT_EQ(kv::AddSlash(L"C:\\Program Files"), L"C:\\Program Files\\");

    EXPECT_EQ(kv::DelSlash(L"C:\\"), L"C:");
    EXPECT_EQ(kv::DelSlash(L"C:\\Data"), L"C:\\Data");
    EXPECT_EQ(kv::DelSlash(L"C:\\Data\\\\"), L"C:\\Data\\");
    EXPECT_EQ(kv::DelSlash(L""), L"");
    EXPECT_EQ(kv::DelSlash(L"\\"), L"");

    EXPECT_EQ(kv::ConcatPath(L"C:\\Data", L"a.txt"), L"C:\\Data\\a.txt");
    EXPECT_EQ(kv::ConcatPath(L"C:\\", L"a.txt"), L"C:\\a.txt");
    EXPECT_EQ(kv::ConcatPath(L"", L"a.txt"), L"");
    EXPECT_EQ(kv::ConcatPath(L"C:\\Data", L""), L"");
}

TEST(KvPathTexts, AddNullCharEndsAOneEntryPathList) {
    EXPECT_EQ(kv::AddNullChar(L""), L"");
    const std::wstring once = kv::AddNullChar(L"C:\\a.txt");
    EXPECT_EQ(once, std::wstring(L"C:\\a.txt\0", 9));
    EXPECT_EQ(kv::AddNullChar(once), once);
    // With the terminator every string carries the list ends in two NULs.
    EXPECT_EQ(once.c_str()[once.size()], L'\0');
}

TEST(KvPathTexts, HasAnyCharFindsTheTreesForbiddenCharacters) {
    const std::wstring forbidden = L"\\*?/=\"<>|:,;+^";
    ASSERT_EQ(forbidden.size(), 14u);
    EXPECT_FALSE(kv::HasAnyChar(forbidden, L"a.b"));
    EXPECT_TRUE(kv::HasAnyChar(forbidden, L"a,b"));
    EXPECT_FALSE(kv::HasAnyChar(forbidden, L"Notes & Ideas #2 (é)"));
    for (wchar_t c : forbidden)
        EXPECT_TRUE(kv::HasAnyChar(forbidden, std::wstring(L"name") + c)) << "char " << int(c);
    EXPECT_FALSE(kv::HasAnyChar(L"", L"a,b"));
    EXPECT_FALSE(kv::HasAnyChar(forbidden, L""));
}

TEST(KvPathTexts, FileNameOnlyDropsFoldersAndTheFinalExtension) {
    EXPECT_EQ(kv::FileNameOnly(L"C:\\Data\\report.txt"), L"report");
    EXPECT_EQ(kv::FileNameOnly(L"C:\\dir.d\\noext"), L"noext");
    EXPECT_EQ(kv::FileNameOnly(L"archive.tar.gz"), L"archive.tar");
    EXPECT_EQ(kv::FileNameOnly(L"D:name.ext"), L"name");
    // The extension's text occurring earlier in the name stays where it is.
    EXPECT_EQ(kv::FileNameOnly(L"C:\\x\\report.doc.old.doc"), L"report.doc.old");
    EXPECT_EQ(kv::FileNameOnly(L"C:\\x\\a.tx.t"), L"a.tx");
}

// --- formatters -----------------------------------------------------------------------------

TEST(KvFormatters, SizeToTextCountsStartedKilobytesAndBlanksFolders) {
    const struct { std::int64_t size; const wchar_t* kind; const wchar_t* text; } cases[] = {
        {0, L"", L"0 KB"}, {1, L"txt", L"1 KB"}, {1023, L"txt", L"1 KB"}, {1536, L"txt", L"1 KB"},
        {2048, L"txt", L"2 KB"}, {5000, L"dir", L" "}, {5000, L"DIR", L" "}, {5000, L"Dir", L" "},
        {5000, L"dirs", L"4 KB"},
        // Beyond 2 GB and beyond 2 TB (a 32-bit count would wrap).
        {std::int64_t(3) << 30, L"iso", L"3145728 KB"}, {std::int64_t(5) << 40, L"img", L"5368709120 KB"}};
    for (const auto& c : cases)
        EXPECT_EQ(kv::SizeToText(c.size, c.kind), c.text) << c.size << " " << U8(c.kind);
}

FILETIME UtcFileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    const SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

// The test run sets TZ=Europe/Paris: UTC+1 in winter, UTC+2 in summer.
TEST(KvFormatters, FileTimeToTextJoinsDateAndTimeFormatsInLocalTime) {
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -60) << "the tests run with TZ=Europe/Paris";
    EXPECT_EQ(kv::FileTimeToText(UtcFileTime(2024, 3, 5, 7, 8, 9), L"yyyy-mm-dd", L"hh:nn:ss"),
              L"2024-03-05 08:08:09");
    const FILETIME unconvertible{0, 0x80000000u};
    EXPECT_EQ(kv::FileTimeToText(unconvertible, L"yyyy-mm-dd", L"hh:nn:ss"), L"");
}

TEST(KvFormatters, FileTimeToTextUsesTheOffsetOfTheFilesOwnDate) {
    // The same UTC hour half a year apart shows the local hour of each date's own offset,
    // whatever the season the test runs in.
    EXPECT_EQ(kv::FileTimeToText(UtcFileTime(2024, 1, 15, 12, 0, 0), L"", L"hh"), L" 13");
    EXPECT_EQ(kv::FileTimeToText(UtcFileTime(2024, 7, 15, 12, 0, 0), L"", L"hh"), L" 14");
}

// --- names on disk --------------------------------------------------------------------------

TEST_F(KvHelpersTest, NameExistsNamesTheFolderEvenWithATrailingSlash) {
    const std::wstring folder = dir_ / L"Sub Folder";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(tmbtest::WriteFileBytes(dir_ / L"note.txt", "x"));

    EXPECT_TRUE(kv::NameExists(folder + L"\\"));
    EXPECT_TRUE(kv::NameExists(dir_ / L"note.txt"));
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_TRUE(IsMessage(Shown()[0], L"\"Sub Folder\" already exists !", MsgDlgType::Error));
    EXPECT_EQ(Shown()[1].text, L"\"note.txt\" already exists !");

    script_.Clear();
    EXPECT_FALSE(kv::NameExists(dir_ / L"missing"));
    EXPECT_FALSE(kv::NameExists(dir_ / L"missing\\"));
    // A pattern matches note.txt, but no name can hold a wildcard.
    EXPECT_FALSE(kv::NameExists(dir_ / L"note*"));
    EXPECT_FALSE(kv::NameExists(L""));
    EXPECT_TRUE(Shown().empty());

    EXPECT_TRUE(kv::NameExists(L"C:\\"));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].text, L"\"C:\" already exists !");
}

// --- shell calls ----------------------------------------------------------------------------

TEST_F(KvHelpersTest, ExecuteFileReportsAFailedVerbWithTheVerbAndTheName) {
    const std::wstring missing = dir_ / L"missing.txt";
    const INT_PTR result = kv::ExecuteFile(L"edit", missing, L"", L"", SW_SHOWNORMAL);
    EXPECT_LE(result, 32);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(Shown()[0], L"ERROR - Can't edit file " + missing, MsgDlgType::Error));

    // Loaded French texts change the message, not the call.
    kv::TreeLanguage = kv::lnFrench;
    kv::LoadTreeTexts();
    kv::ExecuteFile(L"open", missing, L"", L"", SW_SHOWNORMAL);
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_EQ(Shown()[1].text, L"ERREUR - Impossible de open le fichier  " + missing);
}

TEST_F(KvHelpersTest, ExecuteFileRunsAProgramWithParametersAndWorkingFolder) {
    // cmd writes a file into its working folder: parameters and folder both arrive.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    const INT_PTR result = kv::ExecuteFile(L"open", cmd, L"/c echo ran> started.txt", dir_.Path(), SW_HIDE);
    EXPECT_GT(result, 32);
    EXPECT_TRUE(Shown().empty());
    const std::wstring marker = dir_ / L"started.txt";
    EXPECT_TRUE(tmbtest::WaitFor([&] { return Exists(marker); }, 5000));
}

TEST_F(KvHelpersTest, DoFileOperationDeleteAnsweredNoKeepsTheFile) {
    const std::wstring file = dir_ / L"keep me.txt";
    ASSERT_TRUE(tmbtest::WriteFileBytes(file, "data"));
    tmbtest::ModalAutoAnswer answer(IDNO);
    EXPECT_FALSE(kv::DoFileOperation(FO_DELETE, file, L""));
    EXPECT_EQ(answer.Count(), 1) << "the shell confirms a deletion";
    EXPECT_TRUE(Exists(file));
}

// The Windows path of the shell's trash folder, but only when HOME is a private test folder:
// the test script keeps HOME beside its own Wine prefix, a user's HOME is not beside a prefix.
std::wstring PrivateTrashFiles() {
    const auto variable = [](const wchar_t* name) {
        wchar_t value[1024];
        const DWORD length = GetEnvironmentVariableW(name, value, 1024);
        return (length > 0 && length < 1024) ? std::wstring(value) : std::wstring();
    };
    const auto unixOfNtPath = [](std::wstring path) {
        if (path.rfind(L"\\??\\", 0) == 0)
            path.erase(0, 4);
        return path.empty() ? std::string() : tmbtest::UnixPathOf(path);
    };
    const auto parent = [](const std::string& path) {
        const std::size_t slash = path.find_last_of('/');
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    };
    const std::string home = unixOfNtPath(variable(L"WINEHOMEDIR"));
    const std::string prefix = unixOfNtPath(variable(L"WINECONFIGDIR"));
    const std::string data = tmb::WideToUtf8(variable(L"XDG_DATA_HOME"));
    if (home.empty() || prefix.empty() || parent(home).empty() || parent(home) != parent(prefix) ||
        data.rfind(home + "/", 0) != 0)
        return std::wstring();
    return tmbtest::WindowsPathOf(data + "/Trash/files");
}

TEST_F(KvHelpersTest, DoFileOperationDeleteAllowedMovesTheFileToTheTrash) {
    const std::wstring trash = PrivateTrashFiles();
    ASSERT_FALSE(trash.empty()) << "HOME is not a private test folder; nothing may be sent to its trash";
    const std::wstring name = UniqueName(L"trash me") + L".txt";
    const std::wstring file = dir_ / name;
    ASSERT_TRUE(tmbtest::WriteFileBytes(file, "data"));
    tmbtest::ModalAutoAnswer answer(IDYES);
    EXPECT_TRUE(kv::DoFileOperation(kv::FileOpCode[kv::foDelete], file, L""));
    EXPECT_EQ(answer.Count(), 1);
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(Exists(trash + L"\\" + name)) << "restorable from " << tmb::WideToUtf8(trash);
    DeleteFileW((trash + L"\\" + name).c_str());
    EXPECT_TRUE(Shown().empty());
}

TEST_F(KvHelpersTest, DoFileOperationCopiesAndMovesPathLists) {
    const std::wstring target = dir_ / L"target";
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(tmbtest::WriteFileBytes(dir_ / L"one.txt", "1"));
    ASSERT_TRUE(tmbtest::WriteFileBytes(dir_ / L"two & #2.txt", "2"));
    tmbtest::ModalAutoAnswer answer(IDCANCEL);  // no box is expected; none may hang the run

    EXPECT_TRUE(kv::DoFileOperation(kv::FileOpCode[kv::foCopy], dir_ / L"one.txt", target));
    EXPECT_TRUE(Exists(dir_ / L"one.txt"));
    EXPECT_TRUE(Exists(target + L"\\one.txt"));

    // Two sources separated by a NUL: both arrive. (Wine 8 refuses a move of several
    // sources with "cancelled" and no UI, so the list is checked with a copy.)
    const std::wstring both = dir_ / L"one.txt" + L'\0' + dir_ / L"two & #2.txt";
    const std::wstring copies = dir_ / L"copies";
    ASSERT_TRUE(CreateDirectoryW(copies.c_str(), nullptr));
    EXPECT_TRUE(kv::DoFileOperation(kv::FileOpCode[kv::foCopy], both, copies));
    EXPECT_TRUE(Exists(copies + L"\\one.txt"));
    EXPECT_TRUE(Exists(copies + L"\\two & #2.txt"));

    EXPECT_TRUE(kv::DoFileOperation(kv::FileOpCode[kv::foMove], dir_ / L"two & #2.txt", target));
    EXPECT_TRUE(Exists(target + L"\\two & #2.txt"));
    EXPECT_FALSE(Exists(dir_ / L"two & #2.txt"));

    EXPECT_TRUE(kv::DoFileOperation(kv::FileOpCode[kv::foRename], target + L"\\one.txt",
                                    target + L"\\uno.txt"));
    EXPECT_TRUE(Exists(target + L"\\uno.txt"));
    EXPECT_FALSE(Exists(target + L"\\one.txt"));

    EXPECT_FALSE(kv::DoFileOperation(FO_DELETE, L"", L""));  // nothing to do is no success

    // A drive root, or a folder named through its "." or "..", is never a source: each would
    // take a whole drive or folder along.
    tmbtest::WineDrive drive(L'P', DRIVE_FIXED, true);
    ASSERT_TRUE(drive.Defined());
    ASSERT_TRUE(tmbtest::WriteFileBytes(drive.MediumDir() + L"\\on the drive.txt", "d"));
    tmbtest::TempFolder elsewhere;
    for (const std::wstring& source : {drive.Root(), target + L"\\.", target + L"\\..", dir_ / L"copies\\..\\"})
        EXPECT_FALSE(kv::DoFileOperation(kv::FileOpCode[kv::foCopy], source, elsewhere.Path())) << U8(source);
    int copied = 0;
    tmbtest::EachEntry(elsewhere.Path(), [&](const std::wstring&, const WIN32_FIND_DATAW&) { ++copied; });
    EXPECT_EQ(copied, 0);
    EXPECT_EQ(answer.Count(), 0);
}

TEST_F(KvHelpersTest, BrowseForFolderGivesAPickedPathWithSlashOrLeavesItAlone) {
    std::wstring path = L"unchanged";
    {
        tmbtest::ModalAutoAnswer answer(IDCANCEL);
        EXPECT_FALSE(kv::BrowseForFolder(nullptr, path));
        ASSERT_EQ(answer.Count(), 1);
        EXPECT_NE(answer.Boxes()[0].text.find(L"Please specify a directory"), std::wstring::npos)
            << tmb::WideToUtf8(answer.Boxes()[0].text);
    }
    EXPECT_EQ(path, L"unchanged");
    {
        // OK without a choice takes the picker's starting item, the desktop folder.
        tmbtest::ModalAutoAnswer answer(IDOK);
        EXPECT_TRUE(kv::BrowseForFolder(nullptr, path));
        EXPECT_EQ(answer.Count(), 1);
    }
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.back(), L'\\');
    EXPECT_TRUE(tmbtest::FolderExists(path)) << tmb::WideToUtf8(path);
}

TEST_F(KvHelpersTest, PickerAndPropertiesGoThroughTheModalSeam) {
    tmbtest::DialogScript script;
    std::wstring path = L"unchanged";
    script.AnswerFolder(L"D:\\music");
    EXPECT_TRUE(kv::BrowseForFolder(nullptr, path));
    EXPECT_EQ(path, L"D:\\music\\");
    script.AnswerFolder(L"");  // cancelled
    EXPECT_FALSE(kv::BrowseForFolder(nullptr, path));
    EXPECT_EQ(path, L"D:\\music\\");
    const auto pickers = script.CallsOf(tmbtest::ModalCall::Kind::FolderPicker);
    ASSERT_EQ(pickers.size(), 2u);
    EXPECT_EQ(pickers[0].caption, L"Please specify a directory");

    // A sheet that opened says nothing; a failure the system names is told in English in a
    // plain box; any other failure stays silent.
    kv::ShowPropertiesDialog(dir_.Path());
    script.AnswerProperties(ERROR_PATH_NOT_FOUND);
    kv::ShowPropertiesDialog(dir_ / L"gone");
    script.AnswerProperties(ERROR_INVALID_PARAMETER);
    kv::ShowPropertiesDialog(dir_.Path());
    const auto sheets = script.CallsOf(tmbtest::ModalCall::Kind::Properties);
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_EQ(sheets[0].text, dir_.Path());
    EXPECT_EQ(sheets[1].text, dir_ / L"gone");
    const auto boxes = script.CallsOf(tmbtest::ModalCall::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"The specified path was not found.");
}

TEST_F(KvHelpersTest, PropertiesSheetFailuresShowTheSystemsReasonInEnglishAndNothingTwice) {
    kv::TreeLanguage = kv::lnGerman;  // the texts stay English whatever the language
    kv::LoadTreeTexts();
    // The real call. Wine's shell has no properties sheet: it refuses with a box of its own
    // and leaves no reason code, so nothing is shown on top of its box.
    {
        tmbtest::ModalAutoAnswer shell(IDOK);
        kv::ShowPropertiesDialog(dir_ / L"missing.txt");
        EXPECT_LE(shell.Count(), 1);
    }
    EXPECT_TRUE(Shown().empty());
    // What each reason the system names shows; any other shows nothing.
    const std::vector<std::pair<DWORD, std::wstring>> table = {
        {ERROR_FILE_NOT_FOUND, L"The specified file was not found."},
        {ERROR_PATH_NOT_FOUND, L"The specified path was not found."},
        {ERROR_ACCESS_DENIED, L"Access denied"},
        {ERROR_NOT_ENOUGH_MEMORY, L"Not enough memory for this operation"},
        {ERROR_SHARING_VIOLATION, L"Sharing violation"},
        {ERROR_NO_ASSOCIATION,
         L"There is no application associated with the given filename extension."},
        {ERROR_DDE_FAIL, L"The DDE transaction failed."},
        {ERROR_DLL_NOT_FOUND, L"DLL not found"},
        {ERROR_CANCELLED, L"The function prompted the user for the location of the "
                          L"application, but the user cancelled the request."},
        {ERROR_SUCCESS, L""},
        {ERROR_INVALID_HANDLE, L""},
        {ERROR_BAD_FORMAT, L""},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(kv::PropertiesErrorText(code), text) << code;
}

TEST_F(KvHelpersTest, IconIndexesOfAFolderAndOfAnUnknownItem) {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const int closed = kv::GetIconIndex(windows);
    const int open = kv::GetOpenIconIndex(windows);
    EXPECT_GE(closed, 0);
    EXPECT_GE(open, 0);
    EXPECT_NE(closed, open) << "a folder has an open form of its icon";
    // A drive shows the shell's own drive icon, not a folder's, and every index is one of
    // the system small image list.
    SHFILEINFOW info{};
    const auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(list, nullptr);
    const int drive = kv::GetIconIndex(L"C:\\");
    EXPECT_EQ(drive, info.iIcon);
    EXPECT_NE(drive, closed);
    const int count = ImageList_GetImageCount(list);
    for (int index : {closed, open, drive})
        EXPECT_LT(index, count);
    EXPECT_EQ(kv::GetIconIndex(dir_ / L"missing\\x.zzz"), 0);
    EXPECT_EQ(kv::GetOpenIconIndex(dir_ / L"missing\\x.zzz"), 0);
}

// --- drives ---------------------------------------------------------------------------------

TEST_F(KvHelpersTest, DriveReadyOnTheFixedDriveAndOnCharactersThatAreNoDrive) {
    EXPECT_TRUE(kv::DriveReady(L'C', true));
    EXPECT_TRUE(kv::DriveReady(L'c', true));
    EXPECT_TRUE(Shown().empty());

    EXPECT_FALSE(kv::DriveReady(L'1', false));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(Shown()[0], L"Not a valid Drive ID", MsgDlgType::Error));
    EXPECT_FALSE(kv::DriveReady(L'[', true));
    EXPECT_FALSE(kv::DriveReady(L'\u00e9', true));  // lower-case, but no drive letter
    EXPECT_EQ(Shown().size(), 3u);
}

TEST_F(KvHelpersTest, DriveReadyRestoresTheProcessErrorMode) {
    const UINT before = SetErrorMode(SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    kv::DriveReady(L'C', false);
    kv::DriveReady(L'Y', false);  // no such drive
    EXPECT_EQ(GetErrorMode(), UINT(SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX));
    SetErrorMode(before);
}

TEST_F(KvHelpersTest, DiskSizesOfTheFixedDrive) {
    const std::int64_t size = kv::GetDiskSizeKB(L"C:\\");
    const std::int64_t free = kv::GetDiskFreeKB(L"c:\\windows");
    EXPECT_GT(size, 0);
    EXPECT_GT(free, 0);
    EXPECT_LE(free, size);
    ULARGE_INTEGER caller, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &caller, &total, &totalFree));
    EXPECT_EQ(size, static_cast<std::int64_t>(total.QuadPart / 1024));
    EXPECT_EQ(kv::GetDiskSizeKB(L""), 0);
    EXPECT_EQ(kv::GetDiskSizeKB(L"1:\\"), 0);
}

TEST_F(KvHelpersTest, EmptyCdRomAndRemovableDrivesAreNotReady) {
    tmbtest::WineDrive cdrom(L'P', DRIVE_CDROM, false);
    tmbtest::WineDrive removable(L'Q', DRIVE_REMOVABLE, false);
    ASSERT_TRUE(cdrom.Defined() && removable.Defined()) << "Wine's mount manager is needed to define drives";
    ASSERT_EQ(GetDriveTypeW(L"P:\\"), UINT(DRIVE_CDROM));
    ASSERT_EQ(GetDriveTypeW(L"Q:\\"), UINT(DRIVE_REMOVABLE));

    // Silently...
    EXPECT_FALSE(kv::DriveReady(L'P', false));
    EXPECT_FALSE(kv::DriveReady(L'q', false));
    EXPECT_TRUE(Shown().empty());
    // ... or with the not-ready warning.
    EXPECT_FALSE(kv::DriveReady(L'p', true));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_TRUE(IsMessage(Shown()[0], L"There is no disk in Drive or Drive is not ready",
                          MsgDlgType::Warning));

    EXPECT_EQ(kv::GetDiskSizeKB(L"P:\\"), 0);
    EXPECT_EQ(kv::GetDiskFreeKB(L"q"), 0);

    // A medium goes in: the same drive is ready and has a size.
    ASSERT_TRUE(cdrom.InsertMedium());
    EXPECT_TRUE(kv::DriveReady(L'P', true));
    EXPECT_GT(kv::GetDiskSizeKB(L"P:\\"), 0);
    EXPECT_EQ(Shown().size(), 1u);
    ASSERT_TRUE(cdrom.EjectMedium());
    EXPECT_FALSE(kv::DriveReady(L'P', false));
}

TEST_F(KvHelpersTest, GermanTextsForTheNotReadyWarning) {
    tmbtest::WineDrive cdrom(L'P', DRIVE_CDROM, false);
    ASSERT_TRUE(cdrom.Defined()) << "Wine's mount manager is needed to define drives";
    kv::TreeLanguage = kv::lnGerman;
    kv::LoadTreeTexts();
    EXPECT_FALSE(kv::DriveReady(L'P', true));
    EXPECT_FALSE(kv::DriveReady(L'#', true));
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_EQ(Shown()[0].text, L"Kein Datenträger im Laufwerk oder Laufwerk nicht bereit!");
    EXPECT_EQ(Shown()[1].text, L"Keine gültige Laufwerksbezeichnung!");
}

TEST(KvWineDrives, NetworkDriveTypeAndLetterRemoval) {
    {
        tmbtest::WineDrive network(L'R', DRIVE_REMOTE, true);
        ASSERT_TRUE(network.Defined()) << "Wine's mount manager is needed to define drives";
        EXPECT_EQ(GetDriveTypeW(L"R:\\"), UINT(DRIVE_REMOTE));
        EXPECT_TRUE(GetLogicalDrives() & (1u << (L'R' - L'A')));
        ASSERT_TRUE(tmbtest::WriteFileBytes(network.MediumDir() + L"\\shared.txt", "x"));
        EXPECT_TRUE(Exists(L"R:\\shared.txt"));
        EXPECT_TRUE(kv::DriveReady(L'R', false));
        // An existing letter is never taken over.
        tmbtest::WineDrive again(L'R', DRIVE_CDROM, false);
        EXPECT_FALSE(again.Defined());
        EXPECT_EQ(GetDriveTypeW(L"R:\\"), UINT(DRIVE_REMOTE));
    }
    EXPECT_FALSE(GetLogicalDrives() & (1u << (L'R' - L'A')));
    EXPECT_EQ(GetDriveTypeW(L"R:\\"), UINT(DRIVE_NO_ROOT_DIR));
}

} // namespace
