// File list boxes: one pass over the folder, the names sorted with precomputed locale sort
// keys, and the list filled in one piece.
#include "framework/FileListBox.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>

#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/ScopedHourglass.h"
#include "framework/TextConv.h"
#include "framework/WinControl.h"

namespace tmb {
namespace {

constexpr COLORREF kKey = RGB(0, 128, 128);  // the transparent colour of both glyphs

} // namespace

const Picture& FileListBox::FileGlyph() {
    static const Picture glyph = Picture::FromArt(
        {
            "...kkkkkkkk.....",
            "...kwwwwwwkk....",
            "...kwwwwwwkwk...",
            "...kwwwwwwkwwk..",
            "...kwggggwkkkkk.",
            "...kwwwwwwwwwwk.",
            "...kwgggggggwwk.",
            "...kwwwwwwwwwwk.",
            "...kwgggggggwwk.",
            "...kwwwwwwwwwwk.",
            "...kwgggggggwwk.",
            "...kwwwwwwwwwwk.",
            "...kwggggggwwwk.",
            "...kwwwwwwwwwwk.",
            "...kkkkkkkkkkkk.",
        },
        {{'.', kKey}, {'k', RGB(0, 0, 0)}, {'w', RGB(255, 255, 255)}, {'g', RGB(128, 128, 128)}});
    return glyph;
}

const Picture& FileListBox::ExecutableGlyph() {
    static const Picture glyph = Picture::FromArt(
        {
            "................",
            "kkkkkkkkkkkkkkk.",
            "kbbbbbbbbbbbbbk.",
            "kbwwbbbbbbcckck.",
            "kbbbbbbbbbbbbbk.",
            "kkkkkkkkkkkkkkk.",
            "kwwwwwwwwwwwwwkg",
            "kwccccwwwwwwwwkg",
            "kwwwwwwwwwwwwwkg",
            "kwccccccccwwwwkg",
            "kwwwwwwwwwwwwwkg",
            "kwccccccwwwwwwkg",
            "kwwwwwwwwwwwwwkg",
            "kkkkkkkkkkkkkkkg",
            ".gggggggggggggg.",
        },
        {{'.', kKey}, {'k', RGB(0, 0, 0)}, {'w', RGB(255, 255, 255)}, {'b', RGB(0, 0, 128)},
         {'c', RGB(192, 192, 192)}, {'g', RGB(128, 128, 128)}});
    return glyph;
}

bool FileListBox::IsExecutableName(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    const std::wstring ext = LowerCase(name.substr(dot));
    return ext == L".exe" || ext == L".com" || ext == L".bat" || ext == L".pif";
}

std::wstring NormalizeFolder(const std::wstring& path) {
    std::wstring full = path;
    if (full.size() == 2 && full[1] == L':')  // "C:" means the root here, not C:'s current folder
        full += L'\\';
    const DWORD n = GetFullPathNameW(full.c_str(), 0, nullptr, nullptr);
    if (n > 0) {
        std::wstring buffer(n, L'\0');
        const DWORD got = GetFullPathNameW(full.c_str(), n, buffer.data(), nullptr);
        if (got > 0 && got < n) {
            buffer.resize(got);
            full = buffer;
        }
    }
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    if (full.size() >= 2 && full[1] == L':')
        full[0] = static_cast<wchar_t>(towupper(full[0]));
    return full;
}

FileListBox::FileListBox(Component* owner) : ListBox(owner) {}

void FileListBox::HandleCreated() {
    ListBox::HandleCreated();
    ResetItemHeight();
}

void FileListBox::FontChanged() {
    ListBox::FontChanged();
    ResetItemHeight();
}

void FileListBox::ResetItemHeight() {
    // A row is as high as a line of the font, and at least one pixel higher than a glyph.
    TEXTMETRICW tm{};
    {
        const WindowDC screen(nullptr);
        SelectGuard sel(screen.get(), GetFont().Handle());
        GetTextMetricsW(screen.get(), &tm);
    }
    SetItemHeight(std::max<int>(tm.tmHeight, RowGlyph(false).Height() + Scaled(1)));
}

const Picture& FileListBox::RowGlyph(bool executable) {
    const Picture& glyph = executable ? ExecutableGlyph() : FileGlyph();
    if (Dpi() == 96)
        return glyph;
    if (scaledGlyphsDpi_ != Dpi()) {
        scaledGlyphsDpi_ = Dpi();
        for (int i = 0; i < 2; ++i) {
            const Picture& source = i ? ExecutableGlyph() : FileGlyph();
            scaledGlyphs_[i] = source.ScaledTo(Scaled(source.Width()), Scaled(source.Height()));
        }
    }
    return scaledGlyphs_[executable ? 1 : 0];
}

void FileListBox::SetDirectory(const std::wstring& path) {
    const std::wstring folder = NormalizeFolder(path);
    if (!directory_.empty() && SameText(folder, directory_))
        return;
    Read(folder);
}

void FileListBox::Update() {
    if (!directory_.empty())
        Read(directory_);
}

namespace {

// Watches a folder's files (not its sub-folders) for what changes their count or sizes.
ChangeNotificationHandle WatchFolder(const std::wstring& folder) {
    return ChangeNotificationHandle(FindFirstChangeNotificationW(
        folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
}

// File names compare ignoring case, as the file system finds them: `upper` receives the
// name in upper case, and the result is a hash of that.
std::uint32_t NameHash(std::wstring_view name, std::wstring& upper) {
    upper.assign(name);
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    std::uint32_t hash = 2166136261u;
    for (wchar_t c : upper)
        hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
    return hash;
}

// Under Wine the listing a find handle read (some 85 bytes a file) outlives the handle until
// the process next asks any folder for its files; one name asked by itself (a lookup, not a
// listing) lets it go at once. Elsewhere this is one cheap lookup.
void LetGoOfListing(FindHandle& find, const std::wstring& folder, const std::wstring& someFile) {
    find.reset();
    if (someFile.empty())
        return;
    WIN32_FIND_DATAW fd;
    FindHandle(FindFirstFileW(LongPathForm(JoinPath(folder, someFile)).c_str(), &fd));
}

std::uint64_t SizeOf(const WIN32_FIND_DATAW& fd) {
    return (static_cast<std::uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

} // namespace

namespace {

// The sort keys of a folder's names, packed like the names: each key behind its 2-byte
// length, so a million keys are not a million heap strings.
class PackedKeys {
public:
    void Add(const wchar_t* name, int length) {
        // The key is written behind room for its length: in the buffer, or for a key too
        // long for it, in a string of its own.
        unsigned char buffer[1024];
        unsigned char* run = buffer;
        int n = SortKeyInto(name, length, true, buffer + 2, sizeof(buffer) - 2);
        std::string longer;
        if (n == 0) {
            longer.assign(2, '\0');
            longer += SortKey(std::wstring(name, static_cast<size_t>(length)), true);
            longer.resize(std::min<size_t>(longer.size(), 2 + 0xFFFF));
            run = reinterpret_cast<unsigned char*>(longer.data());
            n = static_cast<int>(longer.size() - 2);
        }
        run[0] = static_cast<unsigned char>(n & 0xFF);
        run[1] = static_cast<unsigned char>(n >> 8);
        starts_.push_back(bytes_.Append(run, 2 + static_cast<size_t>(n)));
    }
    // As std::string's operator< orders the keys: bytes unsigned, a prefix first.
    bool Less(std::uint32_t a, std::uint32_t b) const {
        const unsigned char* ka = bytes_.At(starts_[a]);
        const unsigned char* kb = bytes_.At(starts_[b]);
        const size_t na = ka[0] | (ka[1] << 8);
        const size_t nb = kb[0] | (kb[1] << 8);
        const int c = std::memcmp(ka + 2, kb + 2, std::min(na, nb));
        return c < 0 || (c == 0 && na < nb);
    }

private:
    PackedBlocks<unsigned char> bytes_;
    std::vector<std::uint32_t> starts_;
};

} // namespace

FolderFiles ReadFolderFiles(const std::wstring& folder) {
    const std::wstring pattern = LongPathForm(JoinPath(folder, L"*.*"));
    WIN32_FIND_DATAW fd;
    FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    // Names and sizes in the order of the enumeration (only an index is sorted), in blocks that
    // never move, so nothing is held twice while they grow.
    auto names = std::make_shared<NameTable>();
    PackedBlocks<std::uint64_t> sizes;
    std::size_t count = 0;
    // From the 101st name on, reading shows the hourglass.
    std::optional<ScopedHourglass> busy;
    if (!find) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            throw EInOutError(SysErrorMessage(error), error);
    } else {
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            names->Add(fd.cFileName);
            const std::uint64_t size = SizeOf(fd);
            sizes.Append(&size, 1);  // the i-th size is run i: every run is one element
            if (++count == 101)
                busy.emplace();
        } while (FindNextFileW(find.get(), &fd));
        const DWORD error = GetLastError();
        LetGoOfListing(find, folder, count ? std::wstring((*names)[0]) : std::wstring());
        if (error != ERROR_NO_MORE_FILES)
            throw EInOutError(SysErrorMessage(error), error);
    }
    // The keys are made once the platform has let go of its listing, so the two are never
    // held together. The order is that of the platform's sorted list box: the locale's,
    // ignoring case.
    PackedKeys keys;
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring_view name = (*names)[i];
        keys.Add(name.data(), static_cast<int>(name.size()));
    }
    std::vector<std::uint32_t> order(count);
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::uint32_t a, std::uint32_t b) { return keys.Less(a, b); });
    keys = PackedKeys();
    names->Reorder(order);
    names->Shrink();
    FolderFiles files;
    files.sizes.resize(count);
    for (size_t i = 0; i < order.size(); ++i)
        files.sizes[i] = *sizes.At(order[i]);
    files.names = std::move(names);
    return files;
}

double TotalOf(const std::vector<std::uint64_t>& sizes) {
    double total = 0;
    for (std::uint64_t s : sizes)
        total += static_cast<double>(s);
    return total;
}

void FileListBox::Read(const std::wstring& folder) {
    // Watched from before the enumeration, so nothing that happens during it goes unseen.
    ChangeNotificationHandle watch = WatchFolder(folder);
    FolderFiles files = ReadFolderFiles(folder);
    // A long folder keeps the hourglass until the list is filled too.
    std::optional<ScopedHourglass> busy;
    if (files.names->Size() > 100)
        busy.emplace();
    sizes_ = std::move(files.sizes);
    directory_ = folder;
    watch_ = std::move(watch);
    SetItems(std::move(files.names));
    busy.reset();
    Change();
}

std::wstring FileListBox::PathOf(int index) const { return JoinPath(directory_, Item(index)); }

std::wstring FileListBox::FileName() const {
    const int i = ItemIndex();
    return i < 0 ? std::wstring() : PathOf(i);
}

std::uint64_t FileListBox::ItemSize(int index) const {
    return index >= 0 && index < static_cast<int>(sizes_.size()) ? sizes_[static_cast<size_t>(index)] : 0;
}

void FileListBox::SetItemSize(int index, std::uint64_t size) {
    if (index >= 0 && index < static_cast<int>(sizes_.size()))
        sizes_[static_cast<size_t>(index)] = size;
}

double FileListBox::TotalSize() const { return TotalOf(sizes_); }

bool FileListBox::RefreshSizes() {
    if (directory_.empty())
        return false;
    if (watch_ && WaitForSingleObject(watch_.get(), 0) != WAIT_OBJECT_0)
        return false;  // nothing changed since the sizes were taken
    // Re-armed before the pass, so a change during it is seen next time.
    if (!watch_ || !FindNextChangeNotification(watch_.get()))
        watch_ = WatchFolder(directory_);
    // The items by the hash of their upper-case names, 8 bytes each instead of a map of a
    // million strings; a file on disk is looked up by its own hash and checked by its name.
    struct Hashed {
        std::uint32_t hash;
        std::uint32_t index;
        bool operator<(const Hashed& other) const { return hash < other.hash; }
    };
    std::vector<Hashed> byHash(sizes_.size());
    std::wstring upper;
    for (std::size_t i = 0; i < sizes_.size(); ++i)
        byHash[i] = Hashed{NameHash(ItemView(static_cast<int>(i)), upper), static_cast<std::uint32_t>(i)};
    std::sort(byHash.begin(), byHash.end());
    std::vector<bool> found(sizes_.size(), false);
    WIN32_FIND_DATAW fd;
    FindHandle find(FindFirstFileExW(JoinPath(directory_, L"*.*").c_str(), FindExInfoBasic, &fd,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find) {
        std::wstring diskUpper, itemUpper, someFile;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if (someFile.empty())
                someFile = fd.cFileName;
            const Hashed key{NameHash(fd.cFileName, diskUpper), 0};
            // Every item of that name takes the size of the first file of that name found.
            for (auto it = std::lower_bound(byHash.begin(), byHash.end(), key);
                 it != byHash.end() && it->hash == key.hash; ++it) {
                if (found[it->index])
                    continue;
                NameHash(ItemView(static_cast<int>(it->index)), itemUpper);
                if (itemUpper == diskUpper) {
                    sizes_[it->index] = SizeOf(fd);
                    found[it->index] = true;
                }
            }
        } while (FindNextFileW(find.get(), &fd));
        LetGoOfListing(find, directory_, someFile);
    }
    // A folder that went away leaves every name unfound.
    for (std::size_t i = 0; i < sizes_.size(); ++i)
        if (!found[i])
            sizes_[i] = 0;
    return true;
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

void FileListBox::DrawItem(HDC dc, int index, const RECT& rect, UINT state) {
    const COLORREF textColor = FillRow(dc, rect, state);
    const std::wstring name = Item(index);
    const Picture& glyph = RowGlyph(IsExecutableName(name));
    const int rowHeight = rect.bottom - rect.top;
    glyph.Draw(dc, rect.left + Scaled(2), rect.top + (rowHeight - glyph.Height()) / 2);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    SelectGuard font(dc, GetFont().Handle());
    RECT r = rect;
    r.left += glyph.Width() + Scaled(6);
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace tmb
