// Command-line arguments and messages for whoever started the program.
#include "framework/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include "framework/Dialogs.h"
#include "framework/FileListBox.h"
#include "framework/Handles.h"
#include "framework/Paths.h"

namespace tmb {

std::vector<std::wstring> CommandLineArguments(const std::wstring& commandLine) {
    // An odd run of backslashes before a quote that closes an argument (blank or end after
    // it) gets one more, so the system's rule reads them as backslashes and the quote as the
    // argument's end: "D:\" stays D:\ instead of becoming D:".
    std::wstring line;
    line.reserve(commandLine.size() + 8);
    const size_t n = commandLine.size();
    for (size_t i = 0; i < n;) {
        if (commandLine[i] != L'\\') {
            line += commandLine[i++];
            continue;
        }
        size_t j = i;
        while (j < n && commandLine[j] == L'\\')
            ++j;
        line.append(j - i, L'\\');
        const bool closingQuote = j < n && commandLine[j] == L'"' &&
                                  (j + 1 == n || commandLine[j + 1] == L' ' || commandLine[j + 1] == L'\t');
        if (closingQuote && (j - i) % 2 == 1)
            line += L'\\';
        i = j;
    }
    std::vector<std::wstring> arguments;
    if (line.empty())
        return arguments;  // the system would answer with the program's own path
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
    if (!argv)
        return arguments;
    for (int i = 1; i < count; ++i)  // the first one names the program
        arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

namespace {

bool IsOpenStream(HANDLE h) {
    return h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

void WriteText(HANDLE h, const std::wstring& text) {
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(h, &mode)) {
        // A console takes the text as it is, whatever the code page.
        WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0)
        codePage = GetOEMCP();
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        size, nullptr, nullptr);
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The console of the process that started this one, attached on first use; null when there
// is none (started from the shell, a shortcut or a service).
HANDLE ParentConsole() {
    static FileHandle console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
            return FileHandle();  // ERROR_ACCESS_DENIED: this process has a console already
        return FileHandle(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      0, nullptr));
    }();
    return console.get();
}

} // namespace

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got < path.size()) {
            path.resize(got);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

unsigned long FolderError(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(NormalizeFolder(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_SUCCESS : ERROR_DIRECTORY;
}

void TellUser(const std::wstring& text, UserStream stream, bool orBox) {
    std::wstring lines = text;
    if (lines.size() < 2 || lines.compare(lines.size() - 2, 2, L"\r\n") != 0)
        lines += L"\r\n";
    HANDLE own = GetStdHandle(stream == UserStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (IsOpenStream(own)) {
        WriteText(own, lines);
        return;
    }
    if (HANDLE console = ParentConsole(); IsOpenStream(console)) {
        WriteText(console, lines);
        return;
    }
    if (orBox)
        AppMessageBox(text, MB_OK | (stream == UserStream::Error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace tmb
