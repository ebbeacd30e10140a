// The directory tree as the main window uses it: a tree of the computer's drives and the
// folders leading to the chosen one. It reports every picked folder through OnDirChange
// with its SelectedPath ("Drives" for the root). This is the window's interim tree; the
// full explorer tree (lazy loading of every folder, icons, renaming, menus) replaces the
// body of this class behind the same interface.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "explorer/KvConsts.h"
#include "framework/WinControl.h"

namespace kv {

class TKvDirTree21 : public tmb::WinControl {
public:
    explicit TKvDirTree21(tmb::Component* owner);

    // The folder the tree reports: "Drives" for the root, a folder picked by mouse without
    // a trailing backslash, one reached through OpenFolder with it.
    const std::wstring& SelectedPath() const { return selectedPath_; }

    // Expands down to an existing folder, selects it and raises OnDirChange. An empty path,
    // the folder last opened this way (ignoring case) or a missing folder do nothing.
    void OpenFolder(const std::wstring& path);

    TLanguage Language() const { return language_; }
    void SetLanguage(TLanguage language);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value) { hideSelection_ = value; }
    int Indent() const { return indent_; }
    void SetIndent(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    std::function<void(tmb::Component* sender, const std::wstring& selectedPath)> OnDirChange;

protected:
    void CreateParams(tmb::CreateArgs& args) override;
    void HandleCreated() override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HTREEITEM AddNode(HTREEITEM parent, const std::wstring& caption);
    HTREEITEM FindChild(HTREEITEM parent, const std::wstring& caption) const;
    std::wstring NodePath(HTREEITEM node) const;
    void Pick(HTREEITEM node, bool trailingSlash);
    void BuildRoot();

    std::wstring selectedPath_;
    std::wstring lastOpened_;
    TLanguage language_ = lnEnglish;
    bool hideSelection_ = true;
    bool readOnly_ = false;
    bool picking_ = false;
    int indent_ = 19;
    HTREEITEM root_ = nullptr;
};

} // namespace kv
