// The tree the directory tree combo drops down: the computer, its drives and their folders,
// read from disk the first time a node opens, as the directory tree reads them (network
// drives are looked into like any other here). It lives in the combo's pop-up window and
// never takes the keyboard focus: the combo's keys act on its selection. With the pointer
// over it the selection follows the pointer, and a click on a node's icon or caption picks
// the node (OnPick).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "explorer/KvFolderTree.h"
#include "framework/PopupWindow.h"

namespace kv {

class TKvDirTreeView : public TKvFolderTree {
public:
    // Shown in `popup`.
    TKvDirTreeView(tmb::Component* owner, tmb::PopupWindow* popup);
    ~TKvDirTreeView() override;

    // A click on a node's icon or caption inside the open drop-down.
    tmb::TreeNodeEvent OnPick;

    // The pointer is over the open drop-down.
    bool MouseInside() const { return popup_->PointerInside(); }

    // The last picked or located path: what the combo's SelectedPath reads.
    const std::wstring& PickedPath() const { return pickedPath_; }
    void SetPickedPath(const std::wstring& path) { pickedPath_ = path; }

    // Setting True opens the root node (not its children) if there is one.
    bool ExpandRoot() const { return expandRoot_; }
    void SetExpandRoot(bool value);

    // Clears the tree and adds the root (the computer) with one node per logical drive
    // under it; without a root the drives are top nodes.
    void AddDrives();
    // The node's image index, worked out now for a folder whose icon the tree has not yet
    // asked for (those are given when first drawn).
    int NodeImage(HTREEITEM node);
    // The visible node before and after `node` (collapsed nodes' children are skipped).
    HTREEITEM PrevVisible(HTREEITEM node);
    HTREEITEM NextVisible(HTREEITEM node);

    void MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) override;
    void MouseMove(unsigned shift, int x, int y) override;

protected:
    void CreateParams(tmb::CreateArgs& args) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    tmb::PopupWindow* popup_;
    std::wstring pickedPath_;
    bool expandRoot_ = true;
};

} // namespace kv
