// The catalogue of a folder and everything under it, written as one self-contained HTML
// page. It knows no window: what it has read so far and the request to stop reach it through
// a callback, which runs on the thread that writes the catalogue.
#pragma once

#include <string>
#include <vector>

#include "catalog/CatalogProgress.h"

namespace catalog {

// The file name a catalogue gets when none is given.
inline constexpr wchar_t kDefaultFileName[] = L"Catalogo.htm";

struct Request {
    std::wstring folder;       // the folder to catalogue (any form: relative, long, UNC)
    std::wstring file;         // where the page goes (full path); it is replaced when whole
    bool includeHidden = true; // false: hidden and system files and folders are left out
    std::wstring compareWith = {};  // an earlier catalogue page to compare with; empty: none
    // Names left out wherever they are met, a folder with everything below it ("*" and "?"
    // as wildcards, case ignored): "node_modules", "*.tmp".
    std::vector<std::wstring> exclude = {};
};

// Both formats are made the same way, in this order:
//  1. with `compareWith`, the earlier catalogue is read whole: a page that is not a catalogue,
//     or of a newer version, or cut short, fails before anything is written or touched (and
//     it may be the very file `request.file` replaces);
//  2. the target is opened, as a temporary file in its folder: a refused write fails before
//     a long walk;
//  3. the walk of `request.folder`, then the comparison and the totals;
//  4. the format written, and the temporary file put in the target's place only when whole.
// On any failure (the folder cannot be read at all, the file cannot be written, Cancelled)
// the old target is untouched and no temporary file is left; the error says why ("Cannot
// create file ..."). Folders inside the tree that cannot be read do not fail it: they are
// marked in what is written.

// Writes the catalogue of `request.folder` to `request.file` as one self-contained page.
Totals WriteCatalog(const Request& request, const ProgressFn& progress = {});

// Writes the tree's data as CSV for spreadsheets to `request.file` (UTF-8 with a byte-order
// mark; a row per file and folder; with `compareWith`, a column of what changed).
Totals WriteCsv(const Request& request, const ProgressFn& progress = {});

} // namespace catalog
