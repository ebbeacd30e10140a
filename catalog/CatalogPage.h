// The catalogue's page: the template with its style sheet and viewer script, a static header
// and the data block, written in one streaming pass from the compact tree.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "catalog/CatalogFormat.h"

namespace catalog {

// The base every link of the page starts from, ending in "/": relative ("./", "../../")
// when the page lies inside the catalogued tree, so the catalogue still works after the
// whole folder is copied elsewhere; else the folder's absolute file: URL.
std::wstring LinkBase(const std::wstring& root, const std::wstring& pageFile);

// `text` percent-encoded as a URL path segment (UTF-8; only unreserved characters stay).
std::wstring PercentEncoded(const std::wstring& text);

// The static header's texts, written as the viewer writes its rows' (its dateText and
// sizeText), so the header reads like the table below it: "07/12/2026 22:05:09", the UTC
// time given in this machine's local time; "1.023 bytes", "99,9 KB", "100 KB", "1.024 KB".
std::string DateText(const SYSTEMTIME& utc);
std::string SizeText(std::uint64_t bytes);

// The page of `tree` (a FormatWriter).
void WritePage(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate);

} // namespace catalog
