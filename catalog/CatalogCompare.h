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

struct RemovedFile {
    std::uint32_t folder = 0;  // the deepest folder of the new tree on the file's old path
    std::string path;          // the rest of the old path, escaped as names are ("sub\\name")
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::uint32_t attributes = 0;
};

struct Changes {
    std::vector<std::uint32_t> added;       // file indices, ascending
    std::vector<ChangedFile> changed;       // by file index
    std::vector<RemovedFile> removed;       // by folder, then path
    std::vector<std::uint32_t> notCompared; // folders unreadable in either catalogue, ascending
    std::uint64_t gained = 0, lost = 0;     // bytes
};

// What changed from `before` to `now`, each list in the order given above, which is the new
// tree's order: the writers merge them with the tree in one pass. Nothing below a folder that
// is not compared counts as added or removed.
Changes Compare(const CatalogTree& now, const CatalogTree& before);

} // namespace catalog
