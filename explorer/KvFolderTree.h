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

// What sets one folder tree apart from the other: the directory tree and the combo's
// drop-down each state theirs once, at construction.
struct FolderTreeRules {
    // Drives are shown only under the computer's node (otherwise, when the shell names no
    // computer, they become the top nodes).
    bool rootRequired;
    // A folder on a network drive is looked into for sub-folders like any other, instead of
    // showing an expand button until it is opened.
    bool probeNetwork;
    // Locate first adds the drives under a computer's node that has none.
    bool locateLoadsDrives;
    // A pick of a CD-ROM drive checks its medium as a pick of a removable drive does.
    bool cdromNeedsMedium;
};

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
    // The program itself changed the sub-folders of `folder` (made, copied, moved or
    // removed one): where the tree has read that folder's node, the node now holds the
    // folders on disk; where it has not, its expand button says whether there is any.
    // Nothing else moves: neither the selection nor what is open.
    void FolderChanged(const std::wstring& folder);

    // The lazy loading, run by the expanding hook before OnExpanding: a node without
    // children reads its folders and sorts them by caption.
    void LoadFolders(HTREEITEM node);

    // Opens the tree down to an existing folder and selects it: an empty or one-character
    // path, or no existing folder, does nothing. The path with a trailing backslash goes to
    // `target`; every top node is collapsed with all under it, then WalkToFolder. The node
    // of the folder, or null where the tree does not hold a component of the path.
    HTREEITEM Locate(const std::wstring& path, std::wstring& target);
    // The path a pick of `node` stands for: kDrivesPath for the computer's node, else the
    // node's path (a drive's root ends in a backslash, a folder's path does not).
    std::wstring PickPath(HTREEITEM node);
    // False when `node` is a drive whose medium is checked on a pick (removable ones, and
    // CD-ROMs where the rules say so) and has none: DriveReady has told the user.
    bool MediumReady(HTREEITEM node, const std::wstring& path);

protected:
    TKvFolderTree(tmb::Component* owner, const FolderTreeRules& rules);

    // Clears the tree and adds the computer's node; null when the shell names none.
    HTREEITEM AddComputerNode();
    // Adds a node per present drive under the computer's node; the count added.
    int AddDriveNodes();

    // Adds the drive nodes and shows the expand buttons when there are any.
    void LoadDriveNodes();

    bool CanExpand(HTREEITEM node) override;
    bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    FolderTreeRules rules_;
    bool hasRoot_ = false;
    bool networkDrives_[26] = {};
};

} // namespace kv
