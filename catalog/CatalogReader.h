// Reading a catalogue page back: its data block parsed into the compact tree it was written
// from. A page that is not a catalogue, one of a newer version, one cut short or edited so
// that its numbers no longer agree is refused with a message that says which.
#pragma once

#include <string>

#include "catalog/CatalogProgress.h"
#include "catalog/CatalogTree.h"

namespace catalog {

struct ReadBack {
    CatalogTree tree;
    std::wstring root;       // the folder it catalogued, as it was then
    std::string date;        // when it was made, ISO 8601 UTC
    bool includeHidden = true;
    Totals totals;
};

// Raises tmb::Exception ("... não é um catálogo do Tombarel", "... foi feito por uma versão
// mais nova ...", "... está incompleto ...") when the page cannot be read back.
ReadBack ReadCatalogPage(const std::wstring& path);

} // namespace catalog
