// A list box showing the files of one folder (no sub-folders, no volume label; hidden and
// system files included), ordered by name ignoring case as the user's locale orders them.
// After every read nothing is selected and OnChange runs; a user selection runs OnClick,
// then OnChange when the selected item differs from the one at the last OnChange.
#pragma once

#include <string>
#include <vector>

#include "framework/ListBox.h"

namespace tmb {

class FileListBox : public ListBox {
public:
    explicit FileListBox(Component* owner);

    // The folder shown: a full path without a trailing backslash except for a drive root.
    const std::wstring& Directory() const { return directory_; }
    // Points the list at a folder and reads it; the folder already shown is not re-read.
    // A folder that cannot be read raises EInOutError and leaves the list as it was.
    void SetDirectory(const std::wstring& path);
    // Reads the current folder again.
    void Update();

    // The selected file's full path, or empty when nothing is selected.
    std::wstring FileName() const;

    NotifyEvent OnChange;

protected:
    void SelectionChanged() override;

private:
    void Read(const std::wstring& folder);
    void Change();

    std::wstring directory_;
    int lastChangeIndex_ = -1;
};

// The folder part of a full path as the list reports folders.
std::wstring NormalizeFolder(const std::wstring& path);

} // namespace tmb
