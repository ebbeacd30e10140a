// A file written beside its target and put in its place only when it is whole: a write that
// fails midway (disk full, medium removed, cancelled) leaves the old target as it was and no
// temporary file behind.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

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
    // Flushes, closes and moves the temporary file over the target; then removes from the
    // target's folder the temporary files that killed runs left there a day or more ago (one
    // still open for writing cannot be removed, and is not).
    void Commit();

    // The temporary files' names: "~tombarel" PID "-" N ".tmp", PID and N decimal numbers of
    // one to ten digits, all in lower case. Only this class makes such names, so a walk of a
    // folder leaves out every file named so (also one a killed run left behind) and nothing
    // a user named otherwise.
    static std::wstring TemporaryName(DWORD process, DWORD n);
    static bool IsTemporaryName(std::wstring_view name);

    const std::wstring& Path() const { return path_; }
    // The temporary file's full path, in the long form the file functions are given.
    const std::wstring& TemporaryPath() const { return temp_; }

private:
    [[noreturn]] void Fail(DWORD error);

    std::wstring path_;
    std::wstring target_;  // path_ in its long form
    std::wstring folder_;  // the target's folder, where the temporary file lies
    std::wstring temp_;
    FileHandle file_;
    bool committed_ = false;
};

} // namespace tmb
