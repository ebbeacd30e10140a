// Reading a whole tree: one FindFirstFileEx pass per folder, depth first with a stack of its
// own (a tree may be thousands of folders deep), each folder's entries sorted by name.
#include "catalog/CatalogWalk.h"

#include <windows.h>

#include <algorithm>
#include <numeric>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/ReplacingFile.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::uint64_t Ticks(const FILETIME& t) {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}

bool SameName(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength) {
    return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) ==
           CSTR_EQUAL;
}

// A folder waiting to be read: what its parent's listing said of it.
struct Pending {
    std::wstring path;  // canonical
    std::uint32_t parent = 0;
    std::uint32_t attributes = 0;
    std::int64_t modified = 0;
    std::wstring name;
};

// One entry of the folder being read; its name lies in the listing's character buffer.
struct Entry {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};

// The entries of one folder, kept between folders so their room is used again.
struct Listing {
    std::wstring chars;
    std::vector<Entry> files;
    std::vector<Entry> folders;
    std::vector<std::uint32_t> order;

    void Clear() {
        chars.clear();
        files.clear();
        folders.clear();
    }
    std::wstring_view Name(const Entry& e) const { return std::wstring_view(chars).substr(e.offset, e.length); }
    // The entries' indices in name order, ignoring case as the system compares names.
    const std::vector<std::uint32_t>& Sorted(const std::vector<Entry>& entries) {
        order.resize(entries.size());
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const Entry& x = entries[a];
            const Entry& y = entries[b];
            const int c = CompareStringOrdinal(chars.data() + x.offset, static_cast<int>(x.length),
                                               chars.data() + y.offset, static_cast<int>(y.length), TRUE);
            if (c != CSTR_EQUAL)
                return c == CSTR_LESS_THAN;
            // Names that differ only in case (a case-sensitive folder): a fixed order still.
            return Name(x) < Name(y);
        });
        return order;
    }
};

tmb::EInOutError Unreadable(const std::wstring& folder, DWORD error) {
    return tmb::EInOutError(L"N\u00e3o foi poss\u00edvel ler a pasta \"" + folder + L"\". " +
                                tmb::SysErrorMessage(error),
                            error);
}

class Walker {
public:
    Walker(const WalkOptions& options, CatalogTree& tree, ProgressGate& gate)
        : options_(options), tree_(tree), gate_(gate) {
        for (const std::wstring& path : options.excluded) {
            const std::wstring full = CanonicalFolder(path);
            const std::size_t slash = full.find_last_of(L'\\');
            if (slash == std::wstring::npos)
                continue;
            excluded_.push_back({CanonicalFolder(full.substr(0, slash + 1)), full.substr(slash + 1)});
        }
    }

    Totals Run(const std::wstring& root) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(ExtendedPath(root).c_str(), GetFileExInfoStandard, &data))
            throw Unreadable(root, GetLastError());
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Unreadable(root, ERROR_DIRECTORY);
        // The catalogued folder is read even when it is itself a link: it is what was asked.
        stack_.push_back({root, 0, data.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_REPARSE_POINT},
                          UnixSeconds(Ticks(data.ftLastWriteTime)), root});
        while (!stack_.empty()) {
            Pending folder = std::move(stack_.back());
            stack_.pop_back();
            Visit(folder);
        }
        gate_.Read(totals_, nullptr, true);
        if (tree_.folders[0].flags & ffUnreadable)
            throw Unreadable(root, tree_.errors.front().code);
        return totals_;
    }

private:
    void Visit(const Pending& pending) {
        const std::uint32_t index = static_cast<std::uint32_t>(tree_.folders.Size());
        FolderRecord record;
        scratch_.clear();
        AppendEscapedUtf8(scratch_, pending.name);
        record.name = tree_.names.Add(scratch_);
        record.parent = index == 0 ? 0 : pending.parent;
        record.attributes = pending.attributes;
        record.modified = pending.modified;
        ++totals_.folders;
        if (index != 0 && (pending.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // Any folder with a reparse point is a link, whatever its tag (Wine shows a
            // Unix link to a folder with a tag of 0): following it could loop.
            record.flags = ffLink;
            tree_.folders.Append(record);
            return;
        }
        const DWORD error = Read(pending.path);
        if (error != ERROR_SUCCESS) {
            record.flags = listing_.files.empty() && listing_.folders.empty() ? ffUnreadable : ffPartial;
            tree_.errors.push_back({index, error});
            ++totals_.unreadable;
        }
        record.fileCount = static_cast<std::uint32_t>(listing_.files.size());
        tree_.folders.Append(record);
        for (std::uint32_t i : listing_.Sorted(listing_.files)) {
            const Entry& e = listing_.files[i];
            FileRecord file;
            scratch_.clear();
            AppendEscapedUtf8(scratch_, listing_.Name(e));
            file.name = tree_.names.Add(scratch_);
            file.attributes = e.attributes;
            file.size = e.size;
            file.modified = e.modified;
            tree_.files.Append(file);
            totals_.bytes += e.size;
        }
        totals_.files += listing_.files.size();
        tree_.bytes = totals_.bytes;
        // Pushed last first, so the first one is read next: folders come out in pre-order.
        const std::vector<std::uint32_t>& order = listing_.Sorted(listing_.folders);
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            const Entry& e = listing_.folders[*it];
            std::wstring name(listing_.Name(e));
            std::wstring path = pending.path;
            if (path.back() != L'\\')
                path += L'\\';
            path += name;
            stack_.push_back({std::move(path), index, e.attributes, e.modified, std::move(name)});
        }
        gate_.Read(totals_, &pending.path, false);
    }

    // Lists `folder` into listing_; returns the error that stopped it, if any.
    DWORD Read(const std::wstring& folder) {
        listing_.Clear();
        excludedHere_.clear();
        for (const auto& [excludedFolder, excludedName] : excluded_)
            if (tmb::SameText(excludedFolder, folder))
                excludedHere_.push_back(&excludedName);
        std::wstring pattern = ExtendedPath(folder);
        if (pattern.back() != L'\\')
            pattern += L'\\';
        pattern += L'*';
        WIN32_FIND_DATAW data;
        tmb::FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr,
                                              FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            const DWORD error = GetLastError();
            // An empty drive root has not even "." to list.
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
        }
        do {
            const wchar_t* name = data.cFileName;
            if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
                continue;
            if (!options_.includeHidden && (data.dwFileAttributes & kHiddenOrSystem))
                continue;
            const std::size_t length = wcslen(name);
            const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            // A target's temporary file, this run's or one a killed run left, is never data.
            if (!isFolder && (IsExcluded(name, length) || tmb::ReplacingFile::IsTemporaryName({name, length})))
                continue;
            if (!options_.patterns.empty() && AnyMatches(options_.patterns, name, length)) {
                ++totals_.leftOut;
                continue;
            }
            Entry e;
            e.offset = static_cast<std::uint32_t>(listing_.chars.size());
            e.length = static_cast<std::uint32_t>(length);
            e.attributes = data.dwFileAttributes;
            e.modified = UnixSeconds(Ticks(data.ftLastWriteTime));
            listing_.chars.append(name, length);
            if (isFolder) {
                listing_.folders.push_back(e);
            } else {
                e.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
                listing_.files.push_back(e);
            }
        } while (FindNextFileW(find.get(), &data));
        const DWORD error = GetLastError();
        return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
    }

    bool IsExcluded(const wchar_t* name, std::size_t length) const {
        for (const std::wstring* excluded : excludedHere_)
            if (SameName(name, length, excluded->data(), excluded->size()))
                return true;
        return false;
    }

    const WalkOptions& options_;
    CatalogTree& tree_;
    ProgressGate& gate_;
    std::vector<std::pair<std::wstring, std::wstring>> excluded_;  // folder, name
    std::vector<const std::wstring*> excludedHere_;                // names left out of this folder
    std::vector<Pending> stack_;
    Listing listing_;
    std::string scratch_;
    Totals totals_;
};

} // namespace

std::wstring ExtendedPath(const std::wstring& canonical) {
    if (canonical.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + canonical.substr(2);
    return L"\\\\?\\" + canonical;
}

std::wstring CanonicalFolder(const std::wstring& folder) {
    std::wstring path = tmb::FullPath(tmb::WithoutLongPathPrefix(folder));
    // Long names instead of short ones and the case the disk has, so a folder is compared
    // and shown as the system names it.
    const DWORD n = GetLongPathNameW(ExtendedPath(path).c_str(), nullptr, 0);
    if (n > 0) {
        std::wstring longPath(n, L'\0');
        const DWORD got = GetLongPathNameW(ExtendedPath(path).c_str(), longPath.data(), n);
        if (got > 0 && got < n) {
            longPath.resize(got);
            path = tmb::WithoutLongPathPrefix(longPath);
        }
    }
    const bool driveRoot = path.size() == 3 && path[1] == L':';
    while (!driveRoot && path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

Totals WalkTree(const std::wstring& root, const WalkOptions& options, CatalogTree& tree, ProgressGate& gate) {
    return Walker(options, tree, gate).Run(root);
}

Totals WalkTree(const std::wstring& root, const WalkOptions& options, CatalogTree& tree,
                const ProgressFn& progress) {
    ProgressGate gate(progress);
    return WalkTree(root, options, tree, gate);
}

} // namespace catalog
