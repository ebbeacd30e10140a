// Temporary folder trees.
#include "tests/support/TestFolders.h"

#include <winioctl.h>

#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"

namespace tmbtest {

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    // Wine gives its processes small ids and gives them again: a folder an earlier process
    // could not remove (Wine refuses now and then to remove a folder just emptied) must not
    // stop a later one, so a name that is taken is passed over.
    for (unsigned attempt = 0;; ++attempt) {
        wchar_t name[64];
        wsprintfW(name, L"tmbtest-%lu-%u", GetCurrentProcessId(), ++counter);
        path_ = std::wstring(temp) + name;
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt == 1000)
            throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::AddFile(const std::wstring& name, std::uint64_t size, DWORD attributes) {
    const std::wstring path = *this / name;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create a test file");
    if (size > 0) {
        DWORD ignored = 0;
        if (size > (1u << 20))
            DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(size);
        SetFilePointerEx(h, li, nullptr, FILE_BEGIN);
        SetEndOfFile(h);
    }
    CloseHandle(h);
    if (attributes != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesW(path.c_str(), attributes);
    return path;
}

std::wstring TempFolder::AddFolder(const std::wstring& name) {
    const std::wstring path = *this / name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::wstring& path, const std::string& missing) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return missing;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

bool RemoveTree(const std::wstring& path) {
    // A folder comes before what it holds: taken backwards, its contents go first.
    std::vector<std::pair<std::wstring, bool>> entries;
    EachEntry(path, [&](const std::wstring& rel, const WIN32_FIND_DATAW& fd) {
        entries.emplace_back(path + L"\\" + rel, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    });
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        SetFileAttributesW(it->first.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (it->second)
            RemoveDirectoryW(it->first.c_str());
        else
            DeleteFileW(it->first.c_str());
    }
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

std::wstring TrashFilesFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (!data || !*data)
        return {};
    std::wstring path = L"Z:" + tmb::Utf8ToWide(data) + L"/Trash/files";
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

namespace {
void EachEntryBelow(const std::wstring& root, const std::wstring& rel,
                    const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(((rel.empty() ? root : root + L"\\" + rel) + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring child = rel.empty() ? name : rel + L"\\" + name;
        visit(child, fd);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            EachEntryBelow(root, child, visit);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}
} // namespace

void EachEntry(const std::wstring& root,
               const std::function<void(const std::wstring& rel, const WIN32_FIND_DATAW&)>& visit) {
    EachEntryBelow(root, std::wstring(), visit);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    const tmb::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                             nullptr) && written == bytes.size();
}

bool ResizeFile(const std::wstring& path, std::uint64_t size) {
    const tmb::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(size);
    return file && SetFilePointerEx(file.get(), to, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

bool StoreRegistryString(const std::wstring& key, const std::wstring& name,
                         const std::wstring& value) {
    tmb::Registry reg;
    if (!reg.OpenKey(key, true))
        return false;
    reg.WriteString(name, value);
    return true;
}

std::wstring StoredRegistryString(const std::wstring& key, const std::wstring& name) {
    tmb::Registry reg;
    if (!reg.OpenKeyReadOnly(key))
        return L"<no key>";
    return reg.ValueExists(name) ? reg.ReadString(name) : L"<no value>";
}

} // namespace tmbtest
