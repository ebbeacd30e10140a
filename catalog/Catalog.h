// The catalogue of a folder and everything under it, written as one self-contained HTML
// page. It knows no window: what it has read so far and the request to stop reach it through
// a callback, which runs on the thread that writes the catalogue.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Exception.h"

namespace catalog {

// The file name a catalogue gets when none is given.
inline constexpr wchar_t kDefaultFileName[] = L"Catalogo.htm";

struct Request {
    std::wstring folder;       // the folder to catalogue (any form: relative, long, UNC)
    std::wstring file;         // where the page goes (full path); it is replaced when whole
    bool includeHidden = true; // false: hidden and system files and folders are left out
    std::wstring compareWith = {};  // an earlier catalogue page to compare with; empty: none
};

struct Totals {
    std::uint64_t folders = 0;    // the catalogued folder included
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t unreadable = 0; // folders that could not be read, or only in part
    // With a comparison: files added, removed and changed since the earlier catalogue, and
    // the bytes gained (added files, files that grew) and lost (removed, shrunk).
    std::uint64_t added = 0, removed = 0, changed = 0;
    std::uint64_t gained = 0, lost = 0;
};

struct Progress {
    enum class Phase { Reading, Writing };
    Phase phase = Phase::Reading;
    Totals counted;            // what has been read so far
    std::wstring folder;       // Reading: the folder being read (a full path)
    std::uint64_t written = 0; // Writing: entries written so far, of counted.folders + files
};

// Called now and then while a catalogue is made (at most every few milliseconds); returns
// false to stop: the job then ends with Cancelled, and nothing is left behind.
using ProgressFn = std::function<bool(const Progress&)>;

// Raised when the progress callback asked to stop.
class Cancelled : public tmb::Exception {
public:
    Cancelled();
};

// Writes the catalogue of `request.folder` to `request.file` (with `compareWith`, compared
// with that earlier catalogue, which is read first: a page that is not a catalogue, or of a
// newer version, or cut short, fails before anything is written): through a temporary file in
// the target's folder, which replaces the target only when it is whole. On any failure
// (the folder cannot be read at all, the file cannot be written, Cancelled) the old target
// is untouched and no temporary file is left; the error says why ("Cannot create file ...").
// Folders inside the tree that cannot be read do not fail it: they are marked in the page.
Totals WriteCatalog(const Request& request, const ProgressFn& progress = {});

// Writes the tree's data as CSV for spreadsheets to `request.file` (UTF-8 with a byte-order
// mark; a row per file and folder; with `compareWith`, a column of what changed), safely as
// WriteCatalog writes the page.
Totals WriteCsv(const Request& request, const ProgressFn& progress = {});

} // namespace catalog
