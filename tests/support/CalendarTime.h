// Calendar times for tests that format dates: a SYSTEMTIME from its fields.
#pragma once

#include <windows.h>

namespace tmbtest {

// The weekday is left 0 on purpose: the code under test works it out itself.
inline SYSTEMTIME TimeAt(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0, int milliseconds = 0) {
    auto w = [](int v) { return static_cast<WORD>(v); };
    return SYSTEMTIME{w(year), w(month), 0, w(day), w(hour), w(minute), w(second), w(milliseconds)};
}

} // namespace tmbtest
