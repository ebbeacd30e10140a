// Writing a file through a temporary one that replaces it when whole.
#include "framework/ReplacingFile.h"

#include <algorithm>

#include "framework/Exception.h"
#include "framework/Paths.h"

namespace tmb {

ReplacingFile::ReplacingFile(std::wstring path) : path_(std::move(path)), target_(LongPathForm(path_)) {
    // What creating the file over the old one would refuse, replacing it must refuse too
    // (Wine's rename replaces even a read-only file).
    const DWORD existing = GetFileAttributesW(target_.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        throw EFCreateError(path_, ERROR_ACCESS_DENIED);
    const size_t slash = target_.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : target_.substr(0, slash);
    for (unsigned attempt = 0; attempt < 100 && !file_; ++attempt) {
        temp_ = LongPathForm(JoinPath(folder, L"~tombarel" + std::to_wstring(GetCurrentProcessId()) +
                                                  L"-" + std::to_wstring(GetTickCount() + attempt) +
                                                  L".tmp"));
        file_.reset(CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_ && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (!file_)
        throw EFCreateError(path_, GetLastError());
}

ReplacingFile::~ReplacingFile() {
    if (!committed_ && !temp_.empty()) {
        file_.reset();
        DeleteFileW(temp_.c_str());
    }
}

void ReplacingFile::Fail(DWORD error) {
    file_.reset();
    DeleteFileW(temp_.c_str());
    temp_.clear();
    throw EFCreateError(path_, error);
}

void ReplacingFile::Write(const char* bytes, std::size_t size) {
    if (!file_)
        Fail(ERROR_INVALID_HANDLE);
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file_.get(), bytes + done, chunk, &written, nullptr) || written == 0)
            Fail(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
        done += written;
    }
}

void ReplacingFile::Commit() {
    if (!file_)
        Fail(ERROR_INVALID_HANDLE);
    if (!FlushFileBuffers(file_.get()))
        Fail(GetLastError());
    file_.reset();
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(GetLastError());
    committed_ = true;
}

} // namespace tmb
