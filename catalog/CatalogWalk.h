// The walk of a catalogue: a folder and everything under it, read into the compact tree.
// Paths of any length are read (extended-length paths); a junction or symbolic link to a
// folder is listed as a link and never followed, so a link back to a parent cannot loop; a
// folder that cannot be read is kept, marked, with its reason. A folder that changes while
// it is read gives what was read.
#pragma once

#include <string>
#include <vector>

#include "catalog/CatalogProgress.h"
#include "catalog/CatalogTree.h"
#include "catalog/NamePattern.h"

namespace catalog {

struct WalkOptions {
    bool includeHidden = true;
    // Files left out wherever they are met (the page itself), as full paths in any form.
    // Temporary files of a ReplacingFile are left out wherever they are, by their name.
    std::vector<std::wstring> excluded;
    // Names left out wherever they are met, a folder with everything below it.
    std::vector<NamePattern> patterns = {};
};

// The form a folder is shown in and compared by: full, without a trailing backslash except
// at a drive root, without the "\\?\" prefix, long names instead of short ones.
std::wstring CanonicalFolder(const std::wstring& folder);

// The form the file functions are given a path in, whatever its length: "\\?\C:\..." or
// "\\?\UNC\server\share\...".
std::wstring ExtendedPath(const std::wstring& canonical);

// Reads `root` (a canonical folder) into `tree`, whose folder 0 it becomes, telling `gate`
// of every folder read. Raises EInOutError when the root itself cannot be read, Cancelled
// when the gate's callback says stop.
Totals WalkTree(const std::wstring& root, const WalkOptions& options, CatalogTree& tree, ProgressGate& gate);
// The same, with a gate of its own on `progress`.
Totals WalkTree(const std::wstring& root, const WalkOptions& options, CatalogTree& tree,
                const ProgressFn& progress);

} // namespace catalog
