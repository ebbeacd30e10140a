// The collection's page: the same template and viewer as a catalogue's, a header that lists
// the volumes, and a data element that holds every volume's block in turn.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalog/CatalogFormat.h"
#include "catalog/CatalogReader.h"

namespace catalog {

struct CollectionVolume {
    const BlockFacts* facts;
    std::wstring linkBase;  // LinkBase(its folder, the collection page)
};

// Writes the page; `block` writes volume i's block into the output when its turn comes.
void WriteCollectionPage(const std::wstring& file, const Totals& totals,
                         const std::vector<CollectionVolume>& volumes, Output& out,
                         const std::function<void(std::size_t i, Output& out)>& block);

} // namespace catalog
