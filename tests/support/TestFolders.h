// Temporary folder trees for tests: made under the test run's private temp folder and
// removed again, with helpers to write files of a given size and attributes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/TextConv.h"

// Wide text as UTF-8, for test messages and comparisons gtest prints readably.
inline std::string U8(const std::wstring& s) { return tmb::WideToUtf8(s); }

namespace tmbtest {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's full path, without a trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

    // Creates a file of `size` bytes (sparse when large) and returns its path.
    std::wstring AddFile(const std::wstring& name, std::uint64_t size = 0,
                         DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    std::wstring AddFolder(const std::wstring& name);

private:
    std::wstring path_;
};

// The bytes of a file, read to its end (also while another process still writes it), or
// `missing` when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path, const std::string& missing = "<missing>");

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Deletes a folder and all it holds, read-only files included; true when the folder is gone.
bool RemoveTree(const std::wstring& path);
// The files folder of the recycle bin of the test run's private HOME ($XDG_DATA_HOME/Trash/files,
// seen through drive Z:), where the shell's deletions go; empty when XDG_DATA_HOME is not set.
std::wstring TrashFilesFolder();

// Every entry below `root` ("." and ".." aside), depth first, with its path relative to `root`.
void EachEntry(const std::wstring& root,
               const std::function<void(const std::wstring& rel, const WIN32_FIND_DATAW&)>& visit);

// Makes `path` a file holding exactly `bytes`; false when it cannot be created.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Gives an existing file the length `size` (what is added reads as zeros); false when it
// cannot be opened for writing.
bool ResizeFile(const std::wstring& path, std::uint64_t size);

// A string value under HKEY_CURRENT_USER\`key` (the key made when missing), as a program
// finds it stored at its start; false when the key cannot be opened.
bool StoreRegistryString(const std::wstring& key, const std::wstring& name,
                         const std::wstring& value);
// What a program stored there: the text, or "<no key>" / "<no value>".
std::wstring StoredRegistryString(const std::wstring& key, const std::wstring& name);

} // namespace tmbtest
