// The directory tree's folder-contents window: a framed window inside the tree listing the
// files of one folder (no sub-folders) with their system icons, sorted by name. A double
// click opens a file; OK hands the selected one back to the tree.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/WinControl.h"

namespace tmb {
class Button;
}

namespace kv {

class TKvDirTree21;

class TKvFolderContents : public tmb::WinControl {
public:
    // The window fills the tree's client area; it shows once Open has listed a folder.
    explicit TKvFolderContents(TKvDirTree21* tree);
    ~TKvFolderContents() override;

    // Lists the files of `folder` (with or without a trailing backslash), sorted by name,
    // and shows the window with the first file focused.
    void Open(const std::wstring& folder);

    // The listed files in the order shown (none once OK has freed the list); their full paths.
    std::vector<std::wstring> Names() const;
    std::wstring FullPath(int index) const;
    // The selected file's index, or -1 (also once OK has freed the list).
    int SelectedIndex() const;

    // The list control (null once OK has freed it) and the OK button.
    HWND ListHandle() const;
    tmb::Button* OkButton() const { return ok_; }

    // Opens the selected file with its program: the window hides meanwhile.
    void OpenSelected();
    // The OK button: frees the list, hides the window and hands the selected file (if any)
    // to the tree, which re-opens itself at the folder shown.
    void OkClick();

protected:
    void CreateParams(tmb::CreateArgs& args) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    class FileListView;
    friend class FileListView;

    TKvDirTree21* tree_;
    FileListView* list_ = nullptr;
    tmb::Button* ok_ = nullptr;
    tmb::BitmapHandle okGlyph_;
    std::wstring folder_;  // with a trailing backslash
};

} // namespace kv
