// A file written beside its target and put in its place only when it is whole: a write that
// fails midway (disk full, medium removed, cancelled) leaves the old target as it was and no
// temporary file behind.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "framework/Handles.h"

namespace tmb {

class ReplacingFile {
public:
    // Creates the temporary file in the target's folder, so the final rename stays on one
    // volume. Raises "Cannot create file "<path>". <reason>" when the target could not be
    // replaced (a read-only file or a folder of that name) or the folder refuses the file.
    explicit ReplacingFile(std::wstring path);
    // Removes the temporary file unless Commit ran.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Appends bytes; a failure removes the temporary file and raises the creation error.
    void Write(const char* bytes, std::size_t size);
    // Flushes, closes and moves the temporary file over the target.
    void Commit();

    const std::wstring& Path() const { return path_; }
    // The temporary file's full path, in the long form the file functions are given.
    const std::wstring& TemporaryPath() const { return temp_; }

private:
    [[noreturn]] void Fail(DWORD error);

    std::wstring path_;
    std::wstring target_;  // path_ in its long form
    std::wstring temp_;
    FileHandle file_;
    bool committed_ = false;
};

} // namespace tmb
