// The folder tree's path rules without a window: a node's path and the walk down a path, on
// a tree of captions with and without the computer's node above the drives; and the icons
// a folder node is given.
#include "explorer/KvFolderTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explorer/KvFileExplorer28.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"

namespace {

// Nodes are numbered from 1 (0 is none); children keep the order they were added in. The
// walk's selections and expansions are recorded.
class CaptionTree {
public:
    int Add(int parent, const std::wstring& caption) {
        nodes_.push_back({parent, caption});
        return static_cast<int>(nodes_.size());
    }
    int TopNode() { return After(0, 0); }
    int ParentOf(int n) { return nodes_[n - 1].parent; }
    int FirstChild(int n) { return After(n, 0); }
    int NextSibling(int n) { return After(ParentOf(n), n); }
    std::wstring NodeText(int n) { return nodes_[n - 1].caption; }
    void Select(int n) { selected = n; }
    void Expand(int n, bool) { opened.push_back(n); }

    int selected = 0;
    std::vector<int> opened;

private:
    // The first child of `parent` numbered above `from`.
    int After(int parent, int from) {
        for (int i = from; i < static_cast<int>(nodes_.size()); ++i)
            if (nodes_[i].parent == parent)
                return i + 1;
        return 0;
    }
    struct Node {
        int parent;
        std::wstring caption;
    };
    std::vector<Node> nodes_;
};

// The same drives and folders, under the computer's node or as top nodes.
struct Sample {
    explicit Sample(bool rootNode) : rootNode(rootNode) {
        root = rootNode ? tree.Add(0, L"My Computer") : 0;
        c = tree.Add(root, L" (C:)  Local Disk ");
        windows = tree.Add(c, L"Windows");
        system = tree.Add(windows, L"System");
        d = tree.Add(root, L" (D:)  Old (1998) ");
        data = tree.Add(d, L"Data");
        dataWindows = tree.Add(data, L"Windows");
    }
    CaptionTree tree;
    bool rootNode;
    int root, c, windows, system, d, data, dataWindows;
};

TEST(FolderTreePaths, ANodesPathIsItsDriveThenItsFoldersWhereverTheDrivesHang) {
    for (bool rootNode : {true, false}) {
        SCOPED_TRACE(rootNode ? "drives under the computer" : "drives as top nodes");
        Sample s(rootNode);
        const struct {
            int node;
            const wchar_t* path;
        } cases[] = {{s.c, L"C:\\"},
                     {s.windows, L"C:\\Windows"},
                     {s.system, L"C:\\Windows\\System"},
                     {s.d, L"D:\\"},
                     {s.dataWindows, L"D:\\Data\\Windows"},
                     {s.root, L""}};
        for (const auto& c : cases)
            EXPECT_EQ(tmb::WideToUtf8(kv::FolderNodePath(s.tree, c.node, rootNode)),
                      tmb::WideToUtf8(c.path));
    }
}

TEST(FolderTreePaths, TheWalkOpensEachComponentAmongTheCurrentNodesOwnChildrenOnly) {
    for (bool rootNode : {true, false}) {
        SCOPED_TRACE(rootNode ? "drives under the computer" : "drives as top nodes");
        Sample s(rootNode);
        const struct {
            const wchar_t* target;
            int found;
            std::vector<int> opened;
        } cases[] = {
            {L"C:\\Windows\\System\\", s.system, {s.c, s.windows, s.system}},
            {L"c:\\WINDOWS\\", s.windows, {s.c, s.windows}},  // case does not matter
            {L"D:\\", s.d, {s.d}},
            {L"D:\\Data\\Windows\\", s.dataWindows, {s.d, s.data, s.dataWindows}},
            // The walk stops where the tree lacks a component, the opened nodes stay open.
            {L"C:\\Windows\\Fonts\\", 0, {s.c, s.windows}},
            // "System" is a folder of C:\Windows, not of D:\.
            {L"D:\\System\\", 0, {s.d}},
            // A folder's name is no drive, nor a drive's label a folder.
            {L"Windows\\", 0, {}},
            {L"E:\\", 0, {}},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(tmb::WideToUtf8(c.target));
            s.tree.opened.clear();
            s.tree.selected = 0;
            EXPECT_EQ(kv::WalkToFolder(s.tree, s.root, c.target), c.found);
            EXPECT_EQ(s.tree.opened, c.opened);
            EXPECT_EQ(s.tree.selected, c.opened.empty() ? 0 : c.opened.back());
        }
    }
}

TEST(KvDirTreeIcons, APlainFolderShowsTheSameIconsAsTheShellGivesForItsPath) {
    tmbtest::TempFolder folder;
    const std::wstring plain = folder.AddFolder(L"plain");
    EXPECT_EQ(kv::FolderIconIndex(plain, false), kv::GetIconIndex(plain));
    EXPECT_EQ(kv::FolderIconIndex(plain, true), kv::GetOpenIconIndex(plain));
    const std::wstring marked = folder.AddFolder(L"marked");
    SetFileAttributesW(marked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(kv::FolderIconIndex(marked, false), kv::GetIconIndex(marked));
    SetFileAttributesW(marked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
