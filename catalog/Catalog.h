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
};

struct Totals {
    std::uint64_t folders = 0;    // the catalogued folder included
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t unreadable = 0; // folders that could not be read, or only in part
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

// Writes the catalogue of `request.folder` to `request.file`: through a temporary file in
// the target's folder, which replaces the target only when it is whole. On any failure
// (the folder cannot be read at all, the file cannot be written, Cancelled) the old target
// is untouched and no temporary file is left; the error says why ("Cannot create file ...").
// Folders inside the tree that cannot be read do not fail it: they are marked in the page.
Totals WriteCatalog(const Request& request, const ProgressFn& progress = {});

} // namespace catalog
