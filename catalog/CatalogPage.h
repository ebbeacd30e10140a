// The catalogue's page: the template with its style sheet and viewer script, a static header
// and the data block, written in one streaming pass from the compact tree.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "catalog/Catalog.h"
#include "catalog/CatalogCompare.h"
#include "catalog/CatalogTree.h"

namespace catalog {

// Takes the page's bytes, in order.
using ByteSink = std::function<void(const char* bytes, std::size_t size)>;

struct PageFacts {
    std::wstring root;      // the catalogued folder, canonical
    std::wstring linkBase;  // LinkBase(root, page)
    SYSTEMTIME started{};   // when the walk began, UTC
    bool includeHidden = true;
    Totals totals;
    // With a comparison: what changed, the earlier page and when it was made (ISO 8601 UTC).
    const Changes* changes = nullptr;
    std::wstring comparedWith;
    std::string comparedDate;
};

// The base every link of the page starts from, ending in "/": relative ("./", "../../")
// when the page lies inside the catalogued tree, so the catalogue still works after the
// whole folder is copied elsewhere; else the folder's absolute file: URL.
std::wstring LinkBase(const std::wstring& root, const std::wstring& pageFile);

// `text` percent-encoded as a URL path segment (UTF-8; only unreserved characters stay).
std::wstring PercentEncoded(const std::wstring& text);

void WritePage(const CatalogTree& tree, const PageFacts& facts, const ByteSink& sink,
               const ProgressFn& progress = {});

} // namespace catalog
