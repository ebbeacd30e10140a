// File list boxes: one pass over the folder, then the names sorted with precomputed locale
// sort keys and put into the list in one piece.
#include "framework/FileListBox.h"

#include <algorithm>

#include "framework/Exception.h"
#include "framework/Handles.h"

namespace tmb {
namespace {

struct SortEntry {
    std::wstring key;  // the locale's case-insensitive sort key, as bytes in wchar_t units
    std::wstring name;
};

std::wstring SortKey(const std::wstring& name) {
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int n = LCMapStringW(LOCALE_USER_DEFAULT, flags, name.c_str(),
                               static_cast<int>(name.size()), nullptr, 0);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        LCMapStringW(LOCALE_USER_DEFAULT, flags, name.c_str(), static_cast<int>(name.size()),
                     reinterpret_cast<wchar_t*>(bytes.data()), n);
    // Compare as unsigned bytes: widen each byte to one wchar_t.
    std::wstring key(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        key[i] = static_cast<unsigned char>(bytes[i]);
    return key;
}

} // namespace

std::wstring NormalizeFolder(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    std::wstring full = path;
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    if (n > 0 && n < MAX_PATH * 4)
        full.assign(buffer, n);
    // "C:" means the root here, not the drive's current folder.
    if (full.size() == 2 && full[1] == L':')
        full += L'\\';
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

FileListBox::FileListBox(Component* owner) : ListBox(owner) {}

void FileListBox::SetDirectory(const std::wstring& path) {
    const std::wstring folder = NormalizeFolder(path);
    if (!directory_.empty() &&
        CompareStringOrdinal(folder.c_str(), -1, directory_.c_str(), -1, TRUE) == CSTR_EQUAL)
        return;
    Read(folder);
}

void FileListBox::Update() {
    if (!directory_.empty())
        Read(directory_);
}

void FileListBox::Read(const std::wstring& folder) {
    std::wstring pattern = folder;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L"*.*";
    WIN32_FIND_DATAW fd;
    FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    std::vector<SortEntry> entries;
    if (!find) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            throw EInOutError(SysErrorMessage(error), error);
    } else {
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            entries.push_back(SortEntry{SortKey(fd.cFileName), fd.cFileName});
        } while (FindNextFileW(find.get(), &fd));
        const DWORD error = GetLastError();
        if (error != ERROR_NO_MORE_FILES)
            throw EInOutError(SysErrorMessage(error), error);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SortEntry& a, const SortEntry& b) { return a.key < b.key; });
    std::vector<std::wstring> names;
    names.reserve(entries.size());
    for (SortEntry& e : entries)
        names.push_back(std::move(e.name));
    directory_ = folder;
    SetItems(names);
    Change();
}

std::wstring FileListBox::FileName() const {
    const int i = ItemIndex();
    if (i < 0)
        return {};
    std::wstring path = directory_;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + Item(i);
}

void FileListBox::SelectionChanged() {
    ListBox::SelectionChanged();  // the click notification first
    if (ItemIndex() != lastChangeIndex_)
        Change();
}

void FileListBox::Change() {
    lastChangeIndex_ = ItemIndex();
    if (OnChange)
        OnChange(this);
}

} // namespace tmb
