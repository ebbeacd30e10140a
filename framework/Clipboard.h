// The clipboard for one scope: opened for `owner` and closed on every path. A writer empties
// it as it opens, so this program owns what is put on it: make one only once what goes on it
// is ready, and the user's clipboard is never emptied for something that then fails.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace tmb {

class Clipboard {
public:
    enum Purpose { toRead, toWrite };

    Clipboard(HWND owner, Purpose purpose) : open_(OpenClipboard(owner) != FALSE) {
        if (open_ && purpose == toWrite)
            EmptyClipboard();
    }
    ~Clipboard() {
        if (open_)
            CloseClipboard();
    }
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;
    bool Open() const { return open_; }

    // Hands `size` bytes to the clipboard in `format`; the clipboard owns them afterwards.
    bool Put(UINT format, const void* data, std::size_t size) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        if (!memory)
            return false;
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, data, size);
            GlobalUnlock(memory);
            if (SetClipboardData(format, memory))
                return true;
        }
        GlobalFree(memory);
        return false;
    }
    // Hands a handle the clipboard takes over when it accepts it.
    bool PutHandle(UINT format, HANDLE handle) { return SetClipboardData(format, handle) != nullptr; }
    bool PutText(const std::wstring& text) {
        return Put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }

private:
    bool open_;
};

} // namespace tmb
