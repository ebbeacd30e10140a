// What a catalogue has counted, and the one way its progress reaches the caller and a request
// to stop comes back: a callback, called at most every few milliseconds, whose "stop" ends
// the job with Cancelled. The walk includes this without the whole job.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "framework/Exception.h"

namespace catalog {

struct Totals {
    std::uint64_t folders = 0;    // the catalogued folder included
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t unreadable = 0; // folders that could not be read, or only in part
    std::uint64_t leftOut = 0;    // files and folders a name pattern left out (not their contents)
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

// Stands between a job and its callback: the walk and the writers tell it every step, and it
// calls the callback when kInterval has passed since the last call, and at once when the
// walk ends and when writing begins (so a stop is heard in every phase, however short).
class ProgressGate {
public:
    static constexpr ULONGLONG kInterval = 50;  // milliseconds

    explicit ProgressGate(ProgressFn callback) : callback_(std::move(callback)) {}
    ProgressGate(const ProgressGate&) = delete;
    ProgressGate& operator=(const ProgressGate&) = delete;

    // A folder has been read (`folder`: the one being read; `last`: the walk is done).
    void Read(const Totals& counted, const std::wstring* folder, bool last);
    // Writing begins: the totals the writers' progress is counted against.
    void BeginWriting(const Totals& counted);
    // An entry has been written. The clock is looked at every 256 entries only: an entry
    // takes far less than a clock tick.
    void Wrote() {
        if ((++state_.written & 0xFF) == 0 && Due())
            Send();
    }

    // Work that counts no entries (bytes copied): the callback is called when it is due.
    void Check() {
        if (Due())
            Send();
    }

private:
    bool Due() const { return callback_ && GetTickCount64() - last_ >= kInterval; }
    // Calls the callback with state_; raises Cancelled when it says stop.
    void Send();

    const ProgressFn callback_;
    Progress state_;
    ULONGLONG last_ = 0;
};

} // namespace catalog
