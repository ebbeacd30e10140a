// The hourglass as a scoped object: shown over the whole application while a bracket is
// open, and the cursor that was there before put back when the last one closes.
#pragma once

namespace tmb {

// Shows the hourglass for a scope (the whole application's cursor) and puts back what
// was there before; brackets nest.
class ScopedHourglass {
public:
    ScopedHourglass();
    ~ScopedHourglass();
    ScopedHourglass(const ScopedHourglass&) = delete;
    ScopedHourglass& operator=(const ScopedHourglass&) = delete;
    // True while any hourglass bracket is open.
    static bool Active();
};

} // namespace tmb
