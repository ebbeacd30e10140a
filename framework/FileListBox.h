// A list box showing the files of one folder (no sub-folders, no volume label; hidden and
// system files included), ordered by name ignoring case as the user's locale orders them,
// each row with a glyph for executables or other files. After every read nothing is
// selected and OnChange runs; a user selection runs OnClick, then OnChange when the
// selected item differs from the one at the last OnChange.
//
// The folder is read in one pass: names and sizes together, so the totals of a folder of
// 100,000 files need no second look at the disk. The folder is watched from then on: when
// another program adds, deletes or resizes a file, RefreshSizes takes the sizes again in one
// pass (the items stay as read until the list is read again).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Picture.h"
#include "framework/ListBox.h"

namespace tmb {

class FileListBox : public ListBox {
public:
    explicit FileListBox(Component* owner);

    // The folder shown: a full path without a trailing backslash except for a drive root.
    const std::wstring& Directory() const { return directory_; }
    // Points the list at a folder and reads it; the folder already shown (compared
    // ignoring case) is not re-read. A folder that cannot be read raises EInOutError and
    // leaves the list as it was.
    void SetDirectory(const std::wstring& path);
    // Reads the current folder again.
    void Update();

    // The selected file's full path, or empty when nothing is selected.
    std::wstring FileName() const;
    // The folder joined with an item's name.
    std::wstring PathOf(int index) const;

    // The size in bytes each file had when the folder was read (or last refreshed).
    std::uint64_t ItemSize(int index) const;
    void SetItemSize(int index, std::uint64_t size);
    // The sum of the item sizes in list order.
    double TotalSize() const;
    // Takes every item's size from the disk again, in one pass, when the folder changed since
    // the sizes were taken; a name that can no longer be found counts 0. True when it did.
    bool RefreshSizes();

    // The two row pictures: executables (.exe, .com, .bat, .pif) and every other file.
    static const Picture& ExecutableGlyph();
    static const Picture& FileGlyph();
    static bool IsExecutableName(const std::wstring& name);

    NotifyEvent OnChange;

protected:
    void SelectionChanged() override;
    void DrawItem(HDC dc, int index, const RECT& rect, UINT state) override;
    void HandleCreated() override;
    void FontChanged() override;

private:
    void Read(const std::wstring& folder);
    void Change();
    void ResetItemHeight();
    // The row picture at the list's DPI (the glyphs are drawn for 96).
    const Picture& RowGlyph(bool executable);

    std::wstring directory_;
    std::vector<std::uint64_t> sizes_;
    // Signalled when a file of the folder was added, removed, renamed or written since the
    // sizes were taken; invalid when the folder cannot be watched (its sizes are then
    // always taken again).
    ChangeNotificationHandle watch_;
    int lastChangeIndex_ = -1;
    Picture scaledGlyphs_[2];
    int scaledGlyphsDpi_ = 0;
};

// A folder path as the list reports folders: full, no trailing backslash but at a root.
std::wstring NormalizeFolder(const std::wstring& path);

// The files of a folder as the list shows them: the names in the list's order, each with the
// size it had when read. This is what the list reads, and what a listing made without a
// window lists. A folder that cannot be read raises EInOutError.
struct FolderFiles {
    SharedNames names = std::make_shared<const NameTable>();
    std::vector<std::uint64_t> sizes;
};
FolderFiles ReadFolderFiles(const std::wstring& folder);

// The sum of `sizes` in their order, as the list's total.
double TotalOf(const std::vector<std::uint64_t>& sizes);

} // namespace tmb
