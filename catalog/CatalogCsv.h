// The tree's data as CSV for spreadsheets: a row per folder and file (and per file removed,
// with a comparison), written in one streaming pass from the compact tree.
#pragma once

#include "catalog/CatalogFormat.h"

namespace catalog {

// The CSV of `tree` (a FormatWriter).
void WriteCsvRows(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate);

} // namespace catalog
