// Comparing a tree with an earlier catalogue of the same folder (or of a copy of it moved
// elsewhere): files are matched by their path relative to the catalogued folder, names
// compared exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/CatalogTree.h"

namespace catalog {

struct ChangedFile {
    std::uint32_t file = 0;  // index among the new tree's files
    std::uint64_t oldSize = 0;
    std::int64_t oldModified = 0;
};

// A removed file is kept as references into the earlier tree, and its path is made only when
// it is written: a chain of folders gone does not copy its prefix for every file below it.
struct RemovedFile {
    std::uint32_t folder = 0;  // the deepest folder of the new tree on the file's old path
    std::uint32_t from = 0;    // the earlier tree's folder matched with `folder`
    std::uint32_t holder = 0;  // the earlier tree's folder holding the file
    std::uint32_t file = 0;    // the file, among the earlier tree's files
};

struct Changes {
    std::vector<std::uint32_t> added;       // file indices, ascending
    std::vector<ChangedFile> changed;       // by file index
    std::vector<RemovedFile> removed;       // by folder, then path
    std::vector<std::uint32_t> notCompared; // folders unreadable in either catalogue, ascending
    std::uint64_t gained = 0, lost = 0;     // bytes
    const CatalogTree* before = nullptr;    // the earlier tree: it must outlive what is written

    // The removed file's record in the earlier tree.
    const FileRecord& Old(const RemovedFile& r) const { return before->files[r.file]; }
    // Appends the rest of its old path from its folder, escaped as names are: "name", or
    // "sub\\name" when its folder went too.
    void AppendPath(std::string& out, const RemovedFile& r) const;
};

// Which entries each side holds: with hidden and system entries left out of exactly one side,
// those only the other side holds (and all below such a folder) are neither added nor removed.
struct CompareSides {
    bool nowIncludesHidden = true;
    bool beforeIncludesHidden = true;
};

// What changed from `before` to `now`, each list in the order given above, which is the new
// tree's order: the writers merge them with the tree in one pass. Nothing below a folder that
// is not compared counts as added or removed. The result refers to `before`.
Changes Compare(const CatalogTree& now, const CatalogTree& before, CompareSides sides = {});

} // namespace catalog
