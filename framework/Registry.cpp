// Registry keys and string values.
#include "framework/Registry.h"

#include <vector>

#include "framework/Exception.h"

namespace tmb {

Registry::Registry(HKEY root, REGSAM access) : root_(root), access_(access) {}

bool Registry::KeyExists(const std::wstring& path) const {
    HKEY raw = nullptr;
    const LONG r = RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &raw);
    const RegKey key(raw);
    return r == ERROR_SUCCESS;
}

bool Registry::OpenKey(const std::wstring& path, bool canCreate) {
    HKEY key = nullptr;
    LONG r;
    if (canCreate)
        r = RegCreateKeyExW(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                            nullptr, &key, nullptr);
    else
        r = RegOpenKeyExW(root_, path.c_str(), 0, access_, &key);
    if (r != ERROR_SUCCESS)
        return false;
    current_.reset(key);
    return true;
}

bool Registry::OpenKeyReadOnly(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    current_.reset(key);
    return true;
}

void Registry::CloseKey() { current_.reset(); }

bool Registry::ValueExists(const std::wstring& name) const {
    return current_ && RegQueryValueExW(current_.get(), name.c_str(), nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
}

std::wstring Registry::ReadString(const std::wstring& name) const {
    if (!current_)
        return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(current_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(current_.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        return {};
    // Stored strings may or may not carry their terminator.
    std::wstring value(buffer.data(), got / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return value;
}

void Registry::WriteString(const std::wstring& name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    if (!current_ ||
        RegSetValueExW(current_.get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()), bytes) != ERROR_SUCCESS)
        throw ERegistryException(L"Failed to set data for '" + name + L"'");
}

int Registry::ReadInteger(const std::wstring& name) const {
    DWORD type = 0, value = 0, size = sizeof(value);
    if (!current_ || RegQueryValueExW(current_.get(), name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    return static_cast<int>(value);
}

void Registry::WriteInteger(const std::wstring& name, int value) {
    const auto data = static_cast<DWORD>(value);
    if (!current_ ||
        RegSetValueExW(current_.get(), name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof(data)) != ERROR_SUCCESS)
        throw ERegistryException(L"Failed to set data for '" + name + L"'");
}

bool Registry::DeleteValue(const std::wstring& name) {
    return current_ && RegDeleteValueW(current_.get(), name.c_str()) == ERROR_SUCCESS;
}

bool Registry::DeleteKey(const std::wstring& path) {
    // RegDeleteTree empties the key; the key itself may or may not go with it.
    const bool emptied = RegDeleteTreeW(root_, path.c_str()) == ERROR_SUCCESS;
    RegDeleteKeyW(root_, path.c_str());
    return emptied && !KeyExists(path);
}

} // namespace tmb
