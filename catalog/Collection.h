// A collection: several volumes (discs, drives, folders) in one page, searched together. A
// volume is added by walking its folder, or joined from a catalogue or collection written
// earlier as it was written; the same volume again replaces its earlier version, and what is
// not replaced is carried over byte for byte, so adding a disc reads the others once and holds
// none of their trees.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "catalog/CatalogProgress.h"

namespace catalog {

struct CollectionRequest {
    std::wstring file;                  // the collection page (full path); made when missing
    std::vector<std::wstring> folders;  // each catalogued as a volume
    std::wstring name;                  // with one folder: the volume's name (else its default)
    bool includeHidden = true;
    std::vector<std::wstring> exclude = {};  // name patterns left out of the folders walked
    std::vector<std::wstring> join = {};     // catalogues and collections whose volumes are added
    std::wstring remove = {};                // the name of a volume to take out
};

struct CollectionTotals {
    Totals totals;                // over every volume of the new collection
    std::size_t volumes = 0;      // in the new collection
    std::size_t added = 0;        // volumes that were not there
    std::size_t replaced = 0;     // volumes that took an earlier version's place
    std::size_t removed = 0;
};

// Writes the collection `request.file` through a temporary file that replaces it only when
// whole. A file there that is not a catalogue or collection Tombarel wrote (or one of a newer
// version, or damaged) is refused before anything is walked, and left as it was; so is a
// `join` page of that kind, and a `remove` name the collection does not have.
CollectionTotals WriteCollection(const CollectionRequest& request, const ProgressFn& progress = {});

// The collection last written from a window or the folder menu, proposed the next time
// (HKEY_CURRENT_USER\SOFTWARE\Quorvantix\Tombarel, value "UltimaColecao"); empty when none.
std::wstring LastCollection();
void RememberCollection(const std::wstring& path);

} // namespace catalog
