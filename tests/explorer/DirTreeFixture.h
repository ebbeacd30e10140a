// The directory tree on a shown form, as the tree's tests start it, and the entries its own
// menu is expected to hold.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "explorer/KvDirTree21.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/DialogScript.h"
#include "tests/support/WindowTestHelpers.h"

namespace treetest {

// The tree's menu entry by entry: name and tag ("" and 0 for a separator), the English and
// the Portuguese caption.
struct MenuEntry {
    const char* name;
    long tag;
    const char* english;
    const char* portuguese;
};
inline const MenuEntry kMenuEntries[] = {
    {"AddNode", 1, "&New Folder", "&Nova pasta"},
    {"EditNode", 2, "&Rename Folder", "&Renomear pasta"},
    {"DelNode", 3, "&Delete Folder", "&Apagar pasta"},
    {"", 0, "-", "-"},
    {"CutNode", 4, "Cu&t", "Cor&tar"},
    {"CopyNode", 5, "&Copy", "&Copiar"},
    {"PasteNode", 6, "&Paste", "Col&ar"},
    {"", 0, "-", "-"},
    {"GetTreeSize", 7, "Tree &Size", "Ta&manho do diret\u00f3rio"},
    {"ShowFolderContents", 8, "&Folder Contents", "C&onte\u00fado da pasta"},
    {"", 0, "-", "-"},
    {"ConnectNetResource", 9, "&Map Network Drive ...", "Con&ectar unidade de rede"},
    {"DisConnectNetResource", 10, "Dis&Connect Network Drive", "De&sconectar unidade de rede"},
    {"", 0, "-", "-"},
    {"ItemProperty", 11, "&Property", "&Propriedades"}};

// Expects a tree menu's entries to be those above, captioned in `language`: in English and
// Portuguese as written there, in the other languages not in English.
inline void ExpectMenuEntries(const std::vector<tmb::MenuItem>& items, kv::TLanguage language) {
    ASSERT_EQ(items.size(), std::size(kMenuEntries));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuEntry& entry = kMenuEntries[i];
        const std::string caption = U8(items[i].caption);
        if (language == kv::lnEnglish || language == kv::lnPortuguese || !*entry.name)
            EXPECT_EQ(caption, language == kv::lnPortuguese ? entry.portuguese : entry.english) << i;
        else
            EXPECT_NE(caption, entry.english) << i << " in language " << language;
        EXPECT_EQ(U8(items[i].name), entry.name) << i;
        EXPECT_EQ(items[i].tag, entry.tag) << i;
    }
}

// A tree on a shown form that records the paths it reports; a script answers and records
// the boxes it raises (a test that drops the script sees the real boxes).
class TreeOnForm : public testing::Test {
protected:
    void SetUp() override { tree_ = MakeTree(); }
    void TearDown() override {
        tmb::Destroy(tree_);
        tree_ = nullptr;
    }

    // A tree on the form whose reports go to events_.
    kv::TKvDirTree21* MakeTree() {
        auto* tree = tmbtest::PlaceOn<kv::TKvDirTree21>(form_.Form(), 0, 0, 380, 480);
        tree->OnDirChange = [this, tree](tmb::Component* sender, const std::wstring& path) {
            EXPECT_EQ(sender, tree);
            events_.push_back(path);
        };
        return tree;
    }
    HTREEITEM Child(HTREEITEM parent, const std::wstring& caption) {
        return tmbtest::ChildNode(*tree_, parent, caption);
    }
    HTREEITEM Drive(wchar_t letter) { return tmbtest::DriveNode(*tree_, tree_->TopNode(), letter); }
    POINT CaptionPoint(HTREEITEM node) { return tmbtest::NodeCentre(*tree_, node); }
    // Puts the pointer on a node's caption and posts a right press and release there, for
    // the next pump to run; returns the point.
    POINT PostRightClick(HTREEITEM node) {
        const POINT p = CaptionPoint(node);
        tmbtest::MouseMove(tree_->Handle(), p.x, p.y);
        PostMessageW(tree_->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageW(tree_->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        return p;
    }

    tmbtest::TestForm form_{400, 500};
    std::unique_ptr<tmbtest::DialogScript> script_ = std::make_unique<tmbtest::DialogScript>();
    kv::TKvDirTree21* tree_ = nullptr;
    std::vector<std::wstring> events_;
};

} // namespace treetest
