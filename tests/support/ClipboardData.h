// What the system clipboard holds, read as another program would.
#pragma once

#include <windows.h>

#include <string>

namespace tmbtest {

// The clipboard's data in `format` as raw bytes; empty when absent.
std::string ClipboardBytes(UINT format);
// The clipboard's Unicode text up to its terminating NUL; empty when it holds none.
std::wstring ClipboardText();

} // namespace tmbtest
