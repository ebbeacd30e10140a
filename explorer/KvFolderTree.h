// The folder tree the directory tree and the combo's drop-down are both made of: a node for
// the computer, one per drive under it, and under a drive its folders, read from disk the
// first time a node opens; a folder's icons are asked for when it is first drawn. The two
// trees differ only in the parameters given here.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/TextConv.h"
#include "framework/TreeView.h"

namespace kv {

// The logical drives of the last drive enumeration of any folder tree (bit 0 = A:).
extern DWORD DriveMask;

// The small icon (or its open form) a folder node shows: the shell's generic folder icon
// for a plain folder, the folder's own for one that can be customised.
int FolderIconIndex(const std::wstring& path, bool open);

// The key a path component ("C:\", "Windows\") is matched against: a drive node's caption
// " (C:)  Label" gives "C:\", a folder node's caption its name and a backslash.
std::wstring NodeKey(const std::wstring& caption, bool drive);

// The path of `node`: "C:\" for a drive, "C:\Windows\System" for a folder, empty for the
// computer's node or none. With `rootNode` the drives hang under one top node, otherwise
// they are the top nodes. Any tree that names a node's parent and caption will do.
template <class Tree, class Node>
std::wstring FolderNodePath(Tree& tree, Node node, bool rootNode) {
    // From the node up to its drive; a root above the drive adds nothing.
    std::vector<Node> chain;
    for (Node n = node; n; n = tree.ParentOf(n))
        chain.push_back(n);
    const std::size_t above = rootNode ? 2 : 1;
    if (chain.size() < above)
        return std::wstring();
    const std::size_t driveAt = chain.size() - above;
    std::wstring path = NodeKey(tree.NodeText(chain[driveAt]), true);
    for (std::size_t i = driveAt; i-- > 0;) {
        path += tree.NodeText(chain[i]);
        if (i > 0)
            path += L'\\';
    }
    return path;
}

// Walks down the tree along `target` (a folder ending in "\"), from `root` (null when the
// drives are the top nodes): each component is looked for among the current node's own
// children only (a folder of the same name elsewhere is another folder), and the node that
// holds it is selected and opened, which loads its folders for the next step. The node of
// the last component, or null where a component has no node (a folder made on disk after
// its parent was read).
template <class Tree, class Node>
Node WalkToFolder(Tree& tree, Node root, const std::wstring& target) {
    Node current = root;
    Node last{};
    std::wstring rest = target;
    for (std::size_t slash = rest.find(L'\\'); slash != std::wstring::npos;
         slash = rest.find(L'\\')) {
        const std::wstring component = rest.substr(0, slash + 1);
        rest.erase(0, slash + 1);
        const bool drives = current == root;
        Node match{};
        for (Node n = current ? tree.FirstChild(current) : tree.TopNode(); n && !match;
             n = tree.NextSibling(n))
            if (tmb::SameText(NodeKey(tree.NodeText(n), drives), component))
                match = n;
        if (!match)
            return Node{};
        tree.Select(match);
        tree.Expand(match, false);
        current = last = match;
    }
    return last;
}

class TKvFolderTree : public tmb::TreeView {
public:
    // The path of a node (see FolderNodePath).
    std::wstring GetNodePath(HTREEITEM node);
    // The computer's node, or null when the tree has none.
    HTREEITEM RootNode();
    bool IsDriveNode(HTREEITEM node);
    // Whether the drive of `letter` was a network drive when the drives were last added.
    bool IsNetworkDrive(wchar_t letter) const;

    // Adds a child per sub-folder of `path` to `node`, in the order the file system gives.
    void AddSubFolders(const std::wstring& path, HTREEITEM node);
    // True when `path` holds at least one folder.
    static bool HasSubFolders(const std::wstring& path);
    // The lazy loading, kept in the OnExpanding slot: a node without children reads its
    // folders and sorts them by caption.
    void LoadFolders(HTREEITEM node);
    // WalkToFolder from the computer's node.
    HTREEITEM WalkTo(const std::wstring& target) { return WalkToFolder(*this, RootNode(), target); }

protected:
    // `rootRequired`: drives are shown only under the computer's node (otherwise, when the
    // shell names no computer, they become the top nodes). `probeNetwork`: a folder on a
    // network drive is looked into for sub-folders like any other, instead of showing an
    // expand button until it is opened.
    TKvFolderTree(tmb::Component* owner, bool rootRequired, bool probeNetwork);

    // Clears the tree and adds the computer's node; null when the shell names none.
    HTREEITEM AddComputerNode();
    // Adds a node per present drive under the computer's node; the count added.
    int AddDriveNodes();

    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool rootRequired_;
    bool probeNetwork_;
    bool hasRoot_ = false;
    bool networkDrives_[26] = {};
};

} // namespace kv
