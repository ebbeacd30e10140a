// The directory tree combo: a read-only one-line box showing the icon and name of a folder,
// with an arrow button at its right end that drops down a tree of the computer's drives and
// folders. Picking a node shows the folder in the box, reports its path in OnPathChange and
// shows it in a linked file list view. The keys act on the drop-down's selection whether it
// is open or not: the keyboard focus stays in the box while the drop-down is open.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "explorer/KvDirTreeView.h"
#include "explorer/KvSpeedButton.h"
#include "framework/Picture.h"
#include "framework/PopupWindow.h"
#include "framework/StdControls.h"

namespace kv {

class TKvFilelistView28;

using TPathChangeEvent =
    std::function<void(tmb::Component* sender, const std::wstring& selectedPath)>;

class TKvDirTreeCombo28 : public tmb::Edit {
public:
    explicit TKvDirTreeCombo28(tmb::Component* owner);
    ~TKvDirTreeCombo28() override;

    // The arrow button and the drop-down tree.
    TKvSpeedButton* Btn() const { return btn_; }
    TKvDirTreeView* Tree() const { return tree_; }
    // The pop-up window the tree is shown in.
    tmb::PopupWindow* DropDownWindow() const { return popup_; }

    // The path last picked or located: "Drives" for the root, a folder picked with the
    // mouse or Enter without a trailing backslash (drive roots always end with one), a
    // folder reached through LocatePath with one. Setting a path that differs ignoring case
    // stores it; in every case a linked list is shown the stored path. Setting it moves
    // neither the box's text nor the drop-down's selection.
    std::wstring SelectedPath() const { return tree_->PickedPath(); }
    void SetSelectedPath(const std::wstring& path);

    // The linked file list view; linking shows it the picked path, if there is one.
    TKvFilelistView28* FileList() const { return fileList_; }
    void SetFileList(TKvFilelistView28* view);

    // Whether the drop-down's root node opens; setting True opens it now.
    bool ExpandRoot() const { return tree_->ExpandRoot(); }
    void SetExpandRoot(bool value) { tree_->SetExpandRoot(value); }
    bool HideSelection() const { return tree_->HideSelection(); }
    void SetHideSelection(bool value) { tree_->SetHideSelection(value); }
    // The drop-down's height in pixels (its width is the box's).
    int TreeHeight() const { return treeHeight_; }
    void SetTreeHeight(int value) { treeHeight_ = value; }
    // The arrow button's picture; an empty picture leaves it as it is.
    const tmb::Picture& Glyph() const { return btn_->Glyph(); }
    void SetGlyph(const tmb::Picture& glyph);

    // Always "Version 2.8.7.3"; writes are ignored.
    std::wstring About() const { return L"Version 2.8.7.3"; }
    void SetAbout(const std::wstring&) {}

    // Fired when a folder is picked (by the drop-down with the mouse, by the box with
    // Enter) or located.
    TPathChangeEvent OnPathChange;

    // Opens the drop-down under the box (above it when there is no room below), or closes
    // it when it is open. The keyboard focus comes to the box.
    void DropDown();
    bool DroppedDown() const { return popup_->IsOpen(); }
    // Selects an existing folder in the drop-down, shows it in the box and reports it with a
    // trailing backslash. Where the drop-down does not hold a component of the path it stops
    // quietly. The linked list is not told (it is the usual caller).
    void LocatePath(const std::wstring& path);
    // Rebuilds the drop-down from the drives.
    void Reload();

    // The drop-down's image shown in the box; drawn only when it is a valid index.
    int IconIndex() const { return iconIndex_; }
    HIMAGELIST Images() const { return tree_->Images(); }

    // Picks a node of the drop-down, as a click on it (`byMouse`, reported with the
    // drop-down as sender) or Enter does.
    void PickNode(HTREEITEM node, tmb::Component* sender, bool byMouse);

    void SetParent(tmb::WinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    void KeyDown(WORD& key, unsigned shift) override;
    void Notification(tmb::Component* component, tmb::Operation operation) override;

protected:
    void CreateParams(tmb::CreateArgs& args) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOutButton();
    void SetEditRect();
    void SetIconIndex(int index);
    void ShowNode(HTREEITEM node);
    void PaintOverlay();
    void BuildDropDown();
    bool IconValid() const;
    // Shows `directory` in the linked list.
    void TellFileList(const std::wstring& directory, bool reload);

    TKvSpeedButton* btn_;
    tmb::PopupWindow* popup_;
    TKvDirTreeView* tree_;
    TKvFilelistView28* fileList_ = nullptr;
    int iconIndex_ = -1;
    int treeHeight_ = 240;
    bool placed_ = false;
};

} // namespace kv
