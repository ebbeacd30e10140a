// Registry access the way the program needs it: open a key under a root, read and write
// string values, with the platform's error texts when a value has the wrong type or
// cannot be written.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace tmb {

class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER, REGSAM access = KEY_ALL_ACCESS);

    HKEY RootKey() const { return root_; }
    bool KeyExists(const std::wstring& path) const;
    // Opens `path` (relative to the root), creating it and any missing parent when asked.
    bool OpenKey(const std::wstring& path, bool canCreate);
    bool OpenKeyReadOnly(const std::wstring& path);
    void CloseKey();

    bool ValueExists(const std::wstring& name) const;
    // A missing value reads as the empty string; a value of another type raises
    // "Invalid data type for '<name>'".
    std::wstring ReadString(const std::wstring& name) const;
    // Raises "Failed to set data for '<name>'" when the value cannot be written.
    void WriteString(const std::wstring& name, const std::wstring& value);
    // A 32-bit integer value (REG_DWORD), with the same errors as the strings.
    int ReadInteger(const std::wstring& name) const;
    void WriteInteger(const std::wstring& name, int value);
    bool DeleteValue(const std::wstring& name);
    bool DeleteKey(const std::wstring& path);

private:
    HKEY root_;
    REGSAM access_;
    RegKey current_;
};

} // namespace tmb
