// The application-wide hourglass bracket.
#include "framework/ScopedHourglass.h"

#include <windows.h>

#include "framework/Control.h"

namespace tmb {
namespace {

int g_hourglassDepth = 0;
HCURSOR g_cursorBeforeHourglass = nullptr;

} // namespace

ScopedHourglass::ScopedHourglass() {
    if (g_hourglassDepth++ == 0)
        g_cursorBeforeHourglass = ::SetCursor(LoadCursorKind(CursorKind::crHourGlass));
}

ScopedHourglass::~ScopedHourglass() {
    if (--g_hourglassDepth == 0)
        ::SetCursor(g_cursorBeforeHourglass ? g_cursorBeforeHourglass
                                            : LoadCursorKind(CursorKind::crArrow));
}

bool ScopedHourglass::Active() { return g_hourglassDepth > 0; }

} // namespace tmb
