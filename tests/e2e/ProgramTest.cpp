// The built program as its own process, driven from outside: it opens the stored folder,
// shows its window, ends on "Sair" or when closed, and stores the folder on the way out.
// Its manifest resource is checked byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Quorvantix\\Tombarel";

// The program's path as Windows sees it (CTest passes the build's path).
std::wstring ProgramPath() {
    const char* exe = std::getenv("TOMBAREL_EXE");
    if (!exe || !*exe)
        return {};
    std::wstring path = tmb::Utf8ToWide(exe);
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path)
            if (c == L'/') c = L'\\';
        path = L"Z:" + path;  // Wine's drive for the Unix root
    }
    return path;
}

void StoreFolder(const std::wstring& value) {
    tmb::Registry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteString(L"lastdir", value);
}

std::wstring StoredFolder() {
    tmb::Registry reg;
    if (!reg.OpenKeyReadOnly(kKey))
        return L"<no key>";
    return reg.ReadString(L"lastdir");
}

struct FoundChild {
    const wchar_t* text;
    HWND hwnd;
};

BOOL CALLBACK FindChildByText(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<FoundChild*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (lstrcmpW(text, found->text) == 0) {
        found->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND ChildWithText(HWND parent, const wchar_t* text) {
    FoundChild found{text, nullptr};
    EnumChildWindows(parent, &FindChildByText, reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
}

// The program, started for one test and ended by force if the test leaves it running.
class Program {
public:
    Program() {
        std::wstring cmd = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi_) != FALSE;
    }
    ~Program() {
        if (started_) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(pi_.hProcess, 99);
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
        }
    }
    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }

    // The main window once it is visible, or null after `ms`.
    HWND WaitForWindow(DWORD ms = 15000) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            HWND h = FindWindowW(nullptr, L"Tombarel 1.5");
            DWORD pid = 0;
            if (h)
                GetWindowThreadProcessId(h, &pid);
            if (h && pid == pi_.dwProcessId && IsWindowVisible(h))
                return h;
            Sleep(50);
        }
        return nullptr;
    }
    // True when the process ended within `ms`; its exit code goes to `code`.
    bool WaitForExit(DWORD ms, DWORD* code) {
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(pi_.hProcess, code);
        return true;
    }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

void ClickAt(HWND hwnd, int x, int y) {
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
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
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();
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

    HWND sair = ChildWithText(window, L"Sair");
    ASSERT_NE(sair, nullptr);
    ClickAt(sair, 20, 10);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(StoredFolder(), folder.Path() + L"\\");
}

TEST_F(ProgramRun, FirstRunOpensDriveCAndClosingTheWindowStillStoresIt) {
    Program program;
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();
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
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();
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

struct ProcessBox {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindBoxOfProcess(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<ProcessBox*>(param);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        found->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The texts of a box's static controls, joined.
std::wstring BoxText(HWND box) {
    std::wstring text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        wchar_t buffer[512] = {};
        if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(c, buffer, 512) > 0)
            text += buffer;
    }
    return text;
}

// Waits for the program's next message box, records its caption and text and presses OK.
// False when none came within `ms`.
bool AnswerBox(const Program& program, std::vector<std::wstring>& seen, DWORD ms = 15000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        ProcessBox found{program.Pid(), nullptr};
        EnumWindows(&FindBoxOfProcess, reinterpret_cast<LPARAM>(&found));
        if (found.box) {
            wchar_t caption[128] = {};
            GetWindowTextW(found.box, caption, 128);
            seen.push_back(std::wstring(caption) + L": " + BoxText(found.box));
            PostMessageW(found.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            // Gone before the next look.
            while (IsWindow(found.box) && GetTickCount() - start < ms)
                Sleep(20);
            return true;
        }
        Sleep(50);
    }
    return false;
}

// No message box of the program shows up within `ms`.
bool NoBoxFor(const Program& program, DWORD ms) {
    std::vector<std::wstring> unexpected;
    return !AnswerBox(program, unexpected, ms);
}

void EndWithSair(Program& program, HWND window) {
    HWND sair = ChildWithText(window, L"Sair");
    ASSERT_NE(sair, nullptr);
    ClickAt(sair, 20, 10);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
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
    void StartReportedOnceThenSair(const std::wstring& expectStored) {
        Program program;
        ASSERT_TRUE(program.Started());
        std::vector<std::wstring> boxes;
        ASSERT_TRUE(AnswerBox(program, boxes)) << "no error report";
        EXPECT_EQ(boxes[0].substr(0, 10), L"Tombarel: ") << tmb::WideToUtf8(boxes[0]);
        EXPECT_NE(boxes[0].find(L"denied"), std::wstring::npos) << tmb::WideToUtf8(boxes[0]);
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
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForWindow();
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

} // namespace
