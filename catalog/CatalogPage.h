// The catalogue's page: the template with its style sheet and viewer script, a static header
// and the data block, written in one streaming pass from the compact tree.
#pragma once

#include <string>

#include "catalog/CatalogFormat.h"

namespace catalog {

// The base every link of the page starts from, ending in "/": relative ("./", "../../")
// when the page lies inside the catalogued tree, so the catalogue still works after the
// whole folder is copied elsewhere; else the folder's absolute file: URL.
std::wstring LinkBase(const std::wstring& root, const std::wstring& pageFile);

// `text` percent-encoded as a URL path segment (UTF-8; only unreserved characters stay).
std::wstring PercentEncoded(const std::wstring& text);

// The page of `tree` (a FormatWriter).
void WritePage(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate);

} // namespace catalog
