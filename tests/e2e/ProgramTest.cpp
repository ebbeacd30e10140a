// The built program as its own process, driven from outside: it opens the stored folder,
// shows its window, ends on "Sair" or when closed, and stores the folder on the way out.
// Its manifest resource is checked byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WineDrives.h"

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Quorvantix\\Tombarel";

std::wstring ProgramPath() { return tmbtest::BuiltProgramPath("TOMBAREL_EXE"); }

void StoreFolder(const std::wstring& value) {
    ASSERT_TRUE(tmbtest::StoreRegistryString(kKey, L"lastdir", value));
}

std::wstring StoredFolder() { return tmbtest::StoredRegistryString(kKey, L"lastdir"); }

using tmbtest::ChildOfClass;
using tmbtest::ChildWithText;

// The program, started for one test and ended by force if the test leaves it running.
class Program : public tmbtest::ProgramProcess {
public:
    explicit Program(const std::wstring& arguments = {}, HANDLE output = nullptr)
        : ProgramProcess(ProgramPath(), L"Tombarel 1.5", arguments, output) {}
};

void ClickAt(HWND hwnd, int x, int y) {
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void EndWithSair(Program& program, HWND window) {
    HWND sair = ChildWithText(window, L"Sair");
    ASSERT_NE(sair, nullptr);
    ClickAt(sair, 20, 10);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

class ProgramRun : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ProgramPath().empty()) << "TOMBAREL_EXE is not set";
        tmb::Registry().DeleteKey(kKey);
    }
    void TearDown() override { tmb::Registry().DeleteKey(kKey); }
};

TEST_F(ProgramRun, OpensTheStoredFolderAndSairEndsItStoringTheFolder) {
    tmbtest::TempFolder folder;
    folder.AddFile(L"b.txt", 10);
    folder.AddFile(L"A.txt", 20);
    folder.AddFile(L"c.exe", 30);
    folder.AddFolder(L"sub");
    StoreFolder(folder.Path());

    Program program;
    HWND window = program.StartedWindow();
    ASSERT_NE(window, nullptr);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 692);
    EXPECT_EQ(client.bottom, 449);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_SYSMENU);

    // The stored folder's three files are listed; the sub-folder is not.
    HWND list = ChildOfClass(window, L"ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);

    HWND abrir = ChildWithText(window, L"Abrir");
    HWND deletar = ChildWithText(window, L"Deletar");
    HWND salvar = ChildWithText(window, L"Salvar");
    ASSERT_TRUE(abrir && deletar && salvar);
    EXPECT_FALSE(IsWindowEnabled(deletar));
    EXPECT_FALSE(IsWindowEnabled(salvar));
    for (const wchar_t* caption : {L"Gerar html", L"Sobre", L"Limpar", L"Salvar em texto"})
        EXPECT_NE(ChildWithText(window, caption), nullptr) << tmb::WideToUtf8(caption);

    EndWithSair(program, window);
    EXPECT_EQ(StoredFolder(), folder.Path() + L"\\");
}

TEST_F(ProgramRun, FirstRunOpensDriveCAndClosingTheWindowStillStoresIt) {
    Program program;
    HWND window = program.StartedWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(StoredFolder(), L"c:\\");
}

TEST_F(ProgramRun, EndOfSessionStoresTheFolderBeforeTheProcessIsEnded) {
    tmbtest::TempFolder folder;
    StoreFolder(folder.Path());
    Program program;
    HWND window = program.StartedWindow();
    ASSERT_NE(window, nullptr);
    tmb::Registry().DeleteKey(kKey);
    // What the system does at log-off: ask, announce, then end the process.
    EXPECT_TRUE(SendMessageW(window, WM_QUERYENDSESSION, 0, 0));
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StoredFolder(), folder.Path() + L"\\");
}

// ---- as an ordinary user ------------------------------------------------------------------
// These run only as an ordinary user, in a prefix of that user's own (the registration
// e2e_tests_unprivileged sets it up): as root every folder can be read. TOMBAREL_LOCKED names
// a folder holding one file and one sub-folder, "Fechada", that this user may not list.

std::wstring LockedParent() {
    const char* value = std::getenv("TOMBAREL_LOCKED");
    return value ? tmb::Utf8ToWide(value) : std::wstring();
}

// Waits for the program's next message box, records its caption and text and presses
// `button` (OK unless told). False when none came within `ms`. A save dialog gets
// `fileName` in its name box first.
bool AnswerBox(const Program& program, std::vector<std::wstring>& seen, DWORD ms = 15000,
               int button = IDOK, const wchar_t* fileName = nullptr) {
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    if (!tmbtest::WaitFor([&] { return (box = tmbtest::VisibleDialogOf(program.Pid())) != nullptr; }, ms))
        return false;
    wchar_t caption[128] = {};
    GetWindowTextW(box, caption, 128);
    seen.push_back(std::wstring(caption) + L": " + tmbtest::StaticTexts(box));
    if (fileName)
        SetDlgItemTextW(box, 0x47C, fileName);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    // Gone before the next look.
    const DWORD used = GetTickCount() - start;
    tmbtest::WaitFor([&] { return !IsWindow(box); }, used < ms ? ms - used : 0);
    return true;
}

// The program's next box is its error report, captioned with the program's name and naming
// `what`.
void ExpectReport(const Program& program, const std::wstring& what) {
    std::vector<std::wstring> boxes;
    ASSERT_TRUE(AnswerBox(program, boxes)) << "no error report";
    EXPECT_EQ(boxes[0].substr(0, 10), L"Tombarel: ") << tmb::WideToUtf8(boxes[0]);
    EXPECT_NE(boxes[0].find(what), std::wstring::npos) << tmb::WideToUtf8(boxes[0]);
}

// No message box of the program shows up within `ms`.
bool NoBoxFor(const Program& program, DWORD ms) {
    std::vector<std::wstring> unexpected;
    return !AnswerBox(program, unexpected, ms);
}

class Unprivileged : public ProgramRun {
protected:
    void SetUp() override {
        ProgramRun::SetUp();
        parent_ = LockedParent();
        ASSERT_FALSE(parent_.empty()) << "TOMBAREL_LOCKED is not set: run e2e_tests_unprivileged";
        locked_ = parent_ + L"\\Fechada";
        // The case only means something when this process really cannot list the folder.
        WIN32_FIND_DATAW fd;
        tmb::FindHandle probe(FindFirstFileW((locked_ + L"\\*").c_str(), &fd));
        ASSERT_FALSE(probe) << "the folder can be listed: the test does not run as an ordinary user";
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    // One start: the error report comes once, then the window opens and Sair ends it.
    void StartReportedOnceThenSair(const std::wstring& expectStored,
                                   const std::wstring& arguments = {}) {
        Program program(arguments);
        ASSERT_TRUE(program.Started());
        ASSERT_NO_FATAL_FAILURE(ExpectReport(program, L"denied"));
        HWND window = program.WaitForWindow();
        ASSERT_NE(window, nullptr) << "the window did not open";
        EXPECT_TRUE(NoBoxFor(program, 500)) << "reported twice";
        // The list is empty, the selected-file controls off.
        HWND list = ChildOfClass(window, L"ListBox");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_FALSE(IsWindowEnabled(ChildWithText(window, L"Abrir")));
        EXPECT_FALSE(IsWindowEnabled(ChildWithText(window, L"Deletar")));
        EndWithSair(program, window);
        EXPECT_EQ(StoredFolder(), expectStored);
    }

    std::wstring parent_;
    std::wstring locked_;
};

TEST_F(Unprivileged, AStoredFolderTheUserMayNotReadIsReportedAndTheWindowOpensAtEveryStart) {
    StoreFolder(locked_);
    StartReportedOnceThenSair(locked_ + L"\\");
    StartReportedOnceThenSair(locked_ + L"\\");
}

TEST_F(Unprivileged, PickingAFolderTheUserMayNotReadThenSairLeavesTheNextStartWorking) {
    StoreFolder(parent_);
    {
        Program program;
        HWND window = program.StartedWindow();
        ASSERT_NE(window, nullptr);
        HWND list = ChildOfClass(window, L"ListBox");
        ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
        // The tree opened at the parent with its one sub-folder shown: the arrow key picks it.
        HWND tree = ChildOfClass(window, L"SysTreeView32");
        ASSERT_NE(tree, nullptr);
        PostMessageW(tree, WM_KEYDOWN, VK_DOWN, 0x00500001);
        PostMessageW(tree, WM_KEYUP, VK_DOWN, 0xC0500001);
        std::vector<std::wstring> boxes;
        ASSERT_TRUE(AnswerBox(program, boxes)) << "the pick was not reported";
        EXPECT_NE(boxes[0].find(L"denied"), std::wstring::npos) << tmb::WideToUtf8(boxes[0]);
        EXPECT_TRUE(NoBoxFor(program, 500)) << "reported twice";
        // Still running, still listing the parent's file.
        ASSERT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
        EXPECT_TRUE(IsWindowEnabled(list));
        EndWithSair(program, window);
    }
    // The tree reports a folder picked by key without a trailing backslash, one it opened
    // with one.
    EXPECT_EQ(StoredFolder(), locked_);
    StartReportedOnceThenSair(locked_ + L"\\");
}

TEST(ProgramResources, ManifestAsksForCommonControlsVersion6ByteForByte) {
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"X86\" "
        "name=\"CompanyName.ProductName.YourApp\" type=\"win32\" />"
        "<description>Your application description here.</description>"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"X86\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\" />"
        "</dependentAssembly></dependency></assembly>";
    ASSERT_EQ(expected.size(), 549u);

    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC res = FindResourceExW(module, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(res, nullptr);
    const DWORD size = SizeofResource(module, res);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, res)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, size), expected);
    FreeLibrary(module);
}

// ---- the command line -----------------------------------------------------------------------

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// A listing's lines without its date line, which tells when it was made.
std::vector<std::string> LinesWithoutDate(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = bytes.substr(start, end - start);
        if (line.find("Data: ") == std::string::npos)
            lines.push_back(line);
    }
    lines.push_back(bytes.substr(start));  // what follows the last line break: nothing
    return lines;
}

struct Finished {
    DWORD code;
    std::wstring output;  // the standard output and error streams, in the console's code page
};

// Runs the program with `arguments` and its two output streams in a file, to its end.
Finished RunCommand(const std::wstring& arguments) {
    tmbtest::TempFolder where;
    const std::wstring path = where / L"output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherit, CREATE_ALWAYS, 0, nullptr);
    Finished finished{999, L""};
    {
        Program program(arguments, output);
        if (!program.Started() || !program.WaitForExit(30000, &finished.code))
            finished.code = 998;  // not started, or still running (ended by force)
    }
    CloseHandle(output);
    const std::string bytes = tmbtest::ReadFileBytes(path);
    finished.output.resize(bytes.size());
    finished.output.resize(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                               finished.output.data(),
                                               static_cast<int>(finished.output.size())));
    return finished;
}

TEST_F(ProgramRun, HtmlAndTxtWriteTheBytesTheWindowWritesAndTheFolderArgumentOpensTheWindowThere) {
    tmbtest::TempFolder stored;
    StoreFolder(stored.Path());  // the argument wins over the stored folder
    // Names the listings carry unchanged or encode, a hidden file, a sub-folder.
    tmbtest::TempFolder folder;
    folder.AddFile(L"a & b.txt", 10);
    folder.AddFile(L"#1 100%.txt", 1500);
    folder.AddFile(L"a\u00e7\u00e3o.txt", 3);
    folder.AddFile(L"\u0416\u0443\u043a.txt", 70000);  // no byte of its own in the code page
    folder.AddFile(L"oculto.sys", 5, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder.AddFolder(L"sub pasta");
    tmbtest::TempFolder elsewhere;
    const std::wstring lista = folder / L"Lista.htm";

    // A quoted folder ending in a backslash is that folder.
    Finished html = RunCommand(L"/html " + Quoted(folder.Path() + L"\\"));
    ASSERT_EQ(html.code, 0u) << tmb::WideToUtf8(html.output);
    const std::string commandPage = tmbtest::ReadFileBytes(lista);
    ASSERT_TRUE(MoveFileW(lista.c_str(), (elsewhere / L"command.htm").c_str()));
    Finished txt = RunCommand(L"/TXT " + Quoted(folder.Path()) + L" " + Quoted(elsewhere / L"command.txt"));
    ASSERT_EQ(txt.code, 0u) << tmb::WideToUtf8(txt.output);
    const std::string commandText = tmbtest::ReadFileBytes(elsewhere / L"command.txt");

    // The window, started at the folder: "Salvar em texto", then "Gerar html" and "Salvar".
    Program program(Quoted(folder.Path()));
    HWND window = program.StartedWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(ChildOfClass(window, L"ListBox"), LB_GETCOUNT, 0, 0), 5);
    std::vector<std::wstring> boxes;
    const std::wstring windowTextPath = elsewhere / L"window.txt";
    ClickAt(ChildWithText(window, L"Salvar em texto"), 20, 10);
    ASSERT_TRUE(AnswerBox(program, boxes, 15000, IDOK, windowTextPath.c_str()));
    HWND salvar = ChildWithText(window, L"Salvar");
    ClickAt(ChildWithText(window, L"Gerar html"), 20, 10);
    tmbtest::WaitFor([&] { return IsWindowEnabled(salvar); });
    ClickAt(salvar, 20, 10);
    ASSERT_TRUE(AnswerBox(program, boxes, 15000, IDNO));  // "Lista de arquivos criada em ..."
    const std::string windowPage = tmbtest::ReadFileBytes(lista);
    EXPECT_EQ(LinesWithoutDate(commandPage), LinesWithoutDate(windowPage));
    EXPECT_EQ(LinesWithoutDate(commandText), LinesWithoutDate(tmbtest::ReadFileBytes(windowTextPath)));
    // Both made: the page with the name's references, the text as UTF-8.
    EXPECT_NE(commandPage.find("&#1046;&#1091;&#1082;.txt"), std::string::npos);
    EXPECT_EQ(commandText.substr(0, 3), "\xEF\xBB\xBF");
    // N + 16 lines less the date, and the nothing after the last line break.
    EXPECT_EQ(LinesWithoutDate(commandPage).size(), 5u + 16u);

    // The window's Lista.htm is there now: kept without /y, replaced with it.
    Finished kept = RunCommand(L"/html " + Quoted(folder.Path()));
    EXPECT_EQ(kept.code, 2u);
    EXPECT_NE(kept.output.find(L"Lista.htm"), std::wstring::npos) << tmb::WideToUtf8(kept.output);
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), windowPage);
    Finished replaced = RunCommand(L"/html " + Quoted(folder.Path()) + L" /y");
    EXPECT_EQ(replaced.code, 0u) << tmb::WideToUtf8(replaced.output);
    EXPECT_NE(tmbtest::ReadFileBytes(lista).find("<a href=\"Lista.htm\">Lista.htm<br>"), std::string::npos);

    EndWithSair(program, window);
    EXPECT_EQ(StoredFolder(), folder.Path() + L"\\");  // still written at the end
}

TEST_F(ProgramRun, CommandsThatCannotDoTheirWorkSaySoWithTheirExitCodes) {
    tmbtest::TempFolder folder;
    folder.AddFile(L"a.txt", 4);
    const std::wstring lista = folder.AddFile(L"Lista.htm", 7, FILE_ATTRIBUTE_READONLY);
    const std::string old = tmbtest::ReadFileBytes(lista);
    const std::wstring file = folder / L"a.txt";
    tmbtest::TempFolder empty;
    const std::wstring missing = folder / L"n\u00e3o existe";
    // A folder deeper than MAX_PATH, listed and written as any other.
    std::wstring deep = folder.Path();
    while (deep.size() < 300) {
        deep += L"\\pasta com um nome comprido";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    auto touch = [](const std::wstring& path) {
        tmb::FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    };
    touch(L"\\\\?\\" + deep + L"\\z.txt");
    // A CD-ROM's listing goes where "Salvar" puts it.
    tmbtest::WineDrive cd(L'P', DRIVE_CDROM, true);
    ASSERT_TRUE(cd.Defined());
    touch(L"P:\\track.cda");
    const std::wstring cdListing = L"c:\\Lista_cdrom.htm";
    DeleteFileW(cdListing.c_str());

    struct Case {
        std::wstring arguments;
        DWORD code;
        const wchar_t* says;  // in the output
    };
    const Case cases[] = {
        {L"/html " + Quoted(missing), 1, L"Path not found"},
        {L"/html " + Quoted(file), 1, L"a.txt"},
        {L"/html " + Quoted(empty.Path()), 1, L"vazio"},
        {L"/txt " + Quoted(missing) + L" " + Quoted(empty / L"x.txt"), 1, L"Path not found"},
        // A refused write: the read-only listing stays as it was.
        {L"/html " + Quoted(folder.Path()) + L" /y", 1, L"Cannot create file"},
        {L"/txt " + Quoted(folder.Path()) + L" " + Quoted(empty.Path()) + L" /y", 1, L"Cannot create file"},
        {L"/txt " + Quoted(folder.Path()) + L" " + Quoted(file), 2, L"a.txt"},
        {L"/html " + Quoted(deep), 0, L"Lista.htm"},
        {L"/html P:\\", 0, cdListing.c_str()},
        {L"/html \"P:\\\"", 2, cdListing.c_str()},  // a quoted root, not a quote
        {L"/html", 3, L"Falta a pasta"},
        {L"/txt " + Quoted(folder.Path()), 3, L"Falta o arquivo"},
        {L"/html a b", 3, L"Argumento a mais: b"},
        {L"/html " + Quoted(folder.Path()) + L" /x", 3, L"/x"},
        {L"/register /y", 3, L"/y"},
        {L"/?", 0, L"Tombarel /html PASTA"},
        // A collection: one thing at a time, and a file there that is none is left as it is.
        // (The console's code page has no room for every accent: the texts looked for are plain.)
        {L"/colecao", 3, L"Falta a cole"},
        {L"/colecao c.htm", 3, L"Falta a pasta (ou /juntar, ou /remover)"},
        {L"/colecao c.htm a /remover v", 3, L"uma coisa de cada vez"},
        {L"/colecao c.htm a b /nome n", 3, L"/nome vai com uma pasta"},
        {L"/colecao c.htm /juntar", 3, L"depois de /juntar"},
        {L"/catalogo a /nome n", 3, L"/nome"},
        {L"/html a /excluir x", 3, L"/excluir"},
        {L"/catalogo a /excluir x\\y", 3, L"sem pasta"},
        {L"/colecao " + Quoted(file) + L" " + Quoted(folder.Path()), 1, L"a.txt"},
        {L"/colecao " + Quoted(empty / L"c.htm") + L" " + Quoted(folder.Path()) + L" /excluir *.htm", 0,
         L"1 volume (1 adicionado); 2 arquivos"},
    };
    for (const Case& c : cases) {
        const Finished finished = RunCommand(c.arguments);
        EXPECT_EQ(finished.code, c.code) << tmb::WideToUtf8(c.arguments);
        EXPECT_NE(finished.output.find(c.says), std::wstring::npos)
            << tmb::WideToUtf8(c.arguments) << "\n" << tmb::WideToUtf8(finished.output);
    }
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), old);
    EXPECT_EQ(tmbtest::ReadFileBytes(file), std::string(4, '\0'));

    // With neither a stream nor a console to say it on, the program says it in a box.
    Program alone(L"/html " + Quoted(missing));
    ASSERT_NO_FATAL_FAILURE(ExpectReport(alone, missing));
    DWORD code = 0;
    ASSERT_TRUE(alone.WaitForExit(10000, &code));
    EXPECT_EQ(code, 1u);
    EXPECT_NE(tmbtest::ReadFileBytes(L"\\\\?\\" + deep + L"\\Lista.htm").find("<a href=\"z.txt\">z.txt<br>"),
              std::string::npos);
    EXPECT_NE(tmbtest::ReadFileBytes(cdListing).find("<strong>Diret\xf3rio: </strong>P:\\\r\n<p>"), std::string::npos);
    EXPECT_FALSE(tmbtest::FileExists(L"P:\\Lista.htm"));
    DeleteFileW(cdListing.c_str());
    DeleteFileW(L"P:\\track.cda");
    tmbtest::RemoveTree(L"\\\\?\\" + folder.Path() + L"\\pasta com um nome comprido");
}

// Every key and value under `path` of the current user's hive, as "key" and "key|value=data".
void DumpKey(const std::wstring& path, std::map<std::wstring, std::wstring>& out) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return;
    tmb::RegKey key(raw);
    out[path] = L"";
    wchar_t name[512];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 512, dataSize = sizeof(data), type = 0;
        if (RegEnumValueW(key.get(), i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        out[path + L"|" + name] = std::to_wstring(type) + L":" +
            std::wstring(reinterpret_cast<wchar_t*>(data), dataSize / sizeof(wchar_t));
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 512;
        if (RegEnumKeyExW(key.get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subKeys.emplace_back(name);
    }
    for (const std::wstring& sub : subKeys)
        DumpKey(path.empty() ? sub : path + L"\\" + sub, out);
}

std::map<std::wstring, std::wstring> CurrentUserHive() {
    std::map<std::wstring, std::wstring> all;
    DumpKey(L"", all);
    return all;
}

// What one hive snapshot has that the other has not, or has otherwise: empty when equal.
std::string HiveDifference(const std::map<std::wstring, std::wstring>& a,
                           const std::map<std::wstring, std::wstring>& b) {
    std::string differences;
    for (const auto& [name, data] : a) {
        const auto other = b.find(name);
        if (other == b.end() || other->second != data)
            differences += "  " + tmb::WideToUtf8(name) + "\n";
    }
    for (const auto& [name, data] : b)
        if (!a.count(name))
            differences += "  " + tmb::WideToUtf8(name) + " (only in the second)\n";
    return differences;
}

std::wstring StringData(const std::wstring& text) {
    return std::to_wstring(REG_SZ) + L":" + text + std::wstring(1, L'\0');
}

TEST_F(ProgramRun, RegisterAddsTheFolderMenuEntriesAndUnregisterLeavesNoTrace) {
    const auto before = CurrentUserHive();
    Finished registered = RunCommand(L"/register");
    ASSERT_EQ(registered.code, 0u) << tmb::WideToUtf8(registered.output);
    const auto after = CurrentUserHive();

    const std::wstring exe = Quoted(ProgramPath());
    const std::wstring shell = L"Software\\Classes\\Directory\\shell";
    auto expected = before;
    for (const wchar_t* parent : {L"Software\\Classes", L"Software\\Classes\\Directory", shell.c_str()})
        expected.emplace(parent, L"");
    const std::wstring open = shell + L"\\Tombarel.Abrir", list = shell + L"\\Tombarel.Lista";
    const std::wstring catalogue = shell + L"\\Tombarel.Catalogo";
    const std::wstring collection = shell + L"\\Tombarel.Colecao";
    for (const std::wstring& verb : {open, list, catalogue, collection}) {
        expected[verb] = L"";
        expected[verb + L"|Icon"] = StringData(ProgramPath() + L",0");
        expected[verb + L"\\command"] = L"";
    }
    expected[open + L"|"] = StringData(L"Abrir no Tombarel");
    expected[open + L"\\command|"] = StringData(exe + L" \"%1\"");
    expected[list + L"|"] = StringData(L"Criar Lista.htm (Tombarel)");
    expected[list + L"\\command|"] = StringData(exe + L" /html \"%1\" /ask");
    expected[catalogue + L"|"] = StringData(L"Criar Catalogo.htm (Tombarel)");
    expected[catalogue + L"\\command|"] = StringData(exe + L" /catalogo \"%1\" /ask");
    expected[collection + L"|"] = StringData(L"Adicionar \u00e0 cole\u00e7\u00e3o (Tombarel)");
    expected[collection + L"\\command|"] = StringData(exe + L" /colecao \"%1\" /ask");
    EXPECT_EQ(HiveDifference(after, expected), "");

    // What the entries run, as Explorer runs them for a folder: the list entry asks as
    // "Salvar" does, in boxes (nothing else to tell), and the open entry opens the window.
    tmbtest::TempFolder folder;
    folder.AddFile(L"a.txt", 1);
    const std::wstring lista = folder.AddFile(L"Lista.htm", 3);
    auto argumentsOf = [&](const std::wstring& verb) {
        std::wstring command = after.at(verb + L"\\command|").substr(2);
        command.pop_back();  // the terminating null
        command = command.substr(exe.size() + 1);
        command.replace(command.find(L"%1"), 2, folder.Path());
        return command;
    };
    // No keeps the listing that is there; Yes replaces it, and the offer to show it follows.
    for (const bool yes : {false, true}) {
        Program listing(argumentsOf(list));
        std::vector<std::wstring> boxes;
        ASSERT_TRUE(AnswerBox(listing, boxes, 15000, yes ? IDYES : IDNO));
        EXPECT_NE(boxes[0].find(L"J\u00e1 existe um arquivo 'Lista.htm'"), std::wstring::npos)
            << tmb::WideToUtf8(boxes[0]);
        if (yes) {
            ASSERT_TRUE(AnswerBox(listing, boxes, 15000, IDNO));
            EXPECT_NE(boxes[1].find(L"Lista de arquivos criada em"), std::wstring::npos)
                << tmb::WideToUtf8(boxes[1]);
        }
        DWORD code = 9;
        ASSERT_TRUE(listing.WaitForExit(10000, &code));
        EXPECT_EQ(code, yes ? 0u : 2u);
        const std::string bytes = tmbtest::ReadFileBytes(lista);
        EXPECT_TRUE(yes ? bytes.find("<a href=\"a.txt\">a.txt<br>") != std::string::npos
                        : bytes == std::string(3, '\0'));
    }
    {
        Program opened(argumentsOf(open));
        HWND window = opened.WaitForWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(SendMessageW(ChildOfClass(window, L"ListBox"), LB_GETCOUNT, 0, 0), 2);
        EndWithSair(opened, window);
    }

    Finished unregistered = RunCommand(L"/unregister");
    EXPECT_EQ(unregistered.code, 0u) << tmb::WideToUtf8(unregistered.output);
    tmb::Registry().DeleteKey(kKey);  // the window's own folder, stored when it ended
    EXPECT_EQ(HiveDifference(CurrentUserHive(), before), "");
}

TEST_F(ProgramRun, AFolderArgumentThatCannotBeOpenedIsReportedOnceAndTheWindowOpensAtTheStoredOne) {
    tmbtest::TempFolder stored;
    stored.AddFile(L"um.txt");
    stored.AddFile(L"dois.txt");
    StoreFolder(stored.Path());
    Program program(Quoted(stored / L"sumiu"));
    ASSERT_NO_FATAL_FAILURE(ExpectReport(program, L"sumiu"));
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(NoBoxFor(program, 500)) << "reported twice";
    EXPECT_EQ(SendMessageW(ChildOfClass(window, L"ListBox"), LB_GETCOUNT, 0, 0), 2);
    EndWithSair(program, window);
}

TEST_F(Unprivileged, ListingsOfAFolderTheUserMayNotReadOrWriteFailAndItsWindowStillOpens) {
    tmbtest::TempFolder mine;
    // The folder cannot be read; its parent can be read, not written.
    for (const auto& [arguments, says] :
         {std::pair{L"/html " + Quoted(locked_), L"denied"},
          {L"/txt " + Quoted(locked_) + L" " + Quoted(mine / L"t.txt"), L"denied"},
          {L"/html " + Quoted(parent_), L"Cannot create file"}}) {
        const Finished finished = RunCommand(arguments);
        EXPECT_EQ(finished.code, 1u);
        EXPECT_NE(finished.output.find(says), std::wstring::npos) << tmb::WideToUtf8(finished.output);
    }
    EXPECT_FALSE(tmbtest::FileExists(mine / L"t.txt"));
    EXPECT_FALSE(tmbtest::FileExists(parent_ + L"\\Lista.htm"));
    StartReportedOnceThenSair(locked_ + L"\\", Quoted(locked_));
}

} // namespace
