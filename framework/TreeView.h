// A tree view control: nodes with a caption, images and a has-children flag, the look
// (buttons, lines, indent, selection shown when unfocused, captions editable in place) and
// the events of expanding, collapsing and in-place editing. Nodes are the control's own
// items (HTREEITEM) and live as long as its window; a component that must survive a
// re-creation of the window rebuilds its nodes in HandleCreated.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace tmb {

using TreeNodeEvent = std::function<void(Component* sender, HTREEITEM node)>;
using TreeNodeAllowEvent = std::function<void(Component* sender, HTREEITEM node, bool& allow)>;
using TreeEditedEvent =
    std::function<void(Component* sender, HTREEITEM node, std::wstring& text)>;

class TreeView : public WinControl {
public:
    explicit TreeView(Component* owner);

    // --- the look ---------------------------------------------------------------------
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    // No caption can be edited in place while set.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool value);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool value);
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool value);
    int Indent() const { return indent_; }
    void SetIndent(int value);
    // The image list the nodes' image indexes refer to; the tree only shows it, whoever
    // holds the list keeps it alive.
    HIMAGELIST Images() const { return images_; }
    void SetImages(HIMAGELIST list);

    // --- nodes (they exist while the window does; these create it when needed) ----------
    // Adds a node as the last child of `parent` (null: a top node); a parent gets its
    // has-children flag.
    HTREEITEM AddChild(HTREEITEM parent, const std::wstring& text, int image = 0,
                       int selectedImage = 0, bool hasChildren = false);
    void Delete(HTREEITEM node);
    void Clear();
    int Count();

    HTREEITEM TopNode();
    HTREEITEM ParentOf(HTREEITEM node);
    HTREEITEM FirstChild(HTREEITEM node);
    HTREEITEM NextSibling(HTREEITEM node);
    std::vector<HTREEITEM> Children(HTREEITEM node);
    // 0 for a top node, -1 for none.
    int Level(HTREEITEM node);

    std::wstring NodeText(HTREEITEM node);
    void SetNodeText(HTREEITEM node, const std::wstring& text);
    bool HasChildren(HTREEITEM node);
    void SetHasChildren(HTREEITEM node, bool value);
    int ImageIndex(HTREEITEM node);
    int SelectedIndex(HTREEITEM node);
    bool Expanded(HTREEITEM node);
    void Expand(HTREEITEM node, bool recursive);
    void Collapse(HTREEITEM node, bool recursive);

    HTREEITEM Selected();
    void Select(HTREEITEM node);

    // The node at client point (x, y) and where on it the point lies (TVHT_* flags).
    HTREEITEM NodeAt(int x, int y, UINT* where = nullptr);
    // The node's rectangle: the whole row, or its caption only.
    RECT NodeRect(HTREEITEM node, bool captionOnly);

    // Starts in-place editing of a node's caption; the edit box, or null when refused.
    HWND EditCaption(HTREEITEM node);
    bool IsEditing();

    // Puts the children of `parent` in the order given (every child exactly once). The
    // nodes' item data is the tree's own scratch for this.
    void ArrangeChildren(HTREEITEM parent, const std::vector<HTREEITEM>& order);
    // Puts the children of `parent` in the locale's order of their captions, case-sensitive
    // as lstrcmp compares (equal captions keep their order).
    void SortChildrenByCaption(HTREEITEM parent);

    // --- events -----------------------------------------------------------------------
    TreeNodeAllowEvent OnExpanding;
    TreeNodeEvent OnExpanded;
    TreeNodeAllowEvent OnCollapsing;
    TreeNodeEvent OnCollapsed;
    TreeNodeAllowEvent OnEditing;
    // Fired with the typed caption before it becomes the node's; the handler may change it.
    TreeEditedEvent OnEdited;

protected:
    void CreateParams(CreateArgs& args) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool SelectedItemRect(RECT& item) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void ColorChanged() override;
    void ChangeScale(int to, int from) override;

    // Asked before a node opens or closes, and before its caption may be edited; the
    // defaults ask the events.
    virtual bool CanExpand(HTREEITEM node);
    virtual bool CanCollapse(HTREEITEM node);
    virtual bool CanEdit(HTREEITEM node);
    virtual void NodeExpanded(HTREEITEM node);
    virtual void NodeCollapsed(HTREEITEM node);
    // The end of in-place editing: `text` is the typed caption, or null when the edit was
    // cancelled. The default fires OnEdited and takes the caption into the node.
    virtual void Edit(HTREEITEM node, const std::wstring* text);

private:
    bool ItemFlags(HTREEITEM node, UINT mask, TVITEMW& item);

    bool hideSelection_ = true;
    bool readOnly_ = false;
    bool showButtons_ = true;
    bool showLines_ = true;
    bool showRoot_ = true;
    int indent_ = 19;
    HIMAGELIST images_ = nullptr;
    bool inRightPress_ = false;
    bool rightClicked_ = false;
    bool endingEdit_ = false;
};

} // namespace tmb
