// Writing a file through a temporary one that replaces it when whole.
#include "framework/ReplacingFile.h"

#include <algorithm>
#include <cstdint>

#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Paths.h"

namespace tmb {
namespace {

constexpr std::wstring_view kTemporaryPrefix = L"~tombarel";
constexpr std::wstring_view kTemporarySuffix = L".tmp";

// One to ten decimal digits at `at`; moves `at` past them.
bool SkipNumber(std::wstring_view name, std::size_t& at) {
    const std::size_t start = at;
    while (at < name.size() && at - start < 11 && name[at] >= L'0' && name[at] <= L'9')
        ++at;
    return at > start && at - start <= 10;
}

std::uint64_t Ticks(const FILETIME& t) {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}

// A leftover younger than this may still be a run's file between its close and its rename.
constexpr std::uint64_t kLeftoverAge = 24ull * 3600 * 10'000'000;  // a day, in FILETIME ticks

// Removes from `folder` the temporary files killed runs left there long ago. Read-only,
// hidden or system ones are left alone: someone touched them since.
void RemoveOldLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const std::wstring mask = std::wstring(kTemporaryPrefix) + L"*" + std::wstring(kTemporarySuffix);
    FindHandle find(FindFirstFileExW(JoinPath(folder, mask).c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    constexpr DWORD kTouched = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    do {
        if ((data.dwFileAttributes & kTouched) || !ReplacingFile::IsTemporaryName(data.cFileName) ||
            Ticks(data.ftLastWriteTime) + kLeftoverAge > Ticks(now))
            continue;
        // Refused while a live run holds it open (without sharing): then it is kept.
        DeleteFileW(LongPathForm(JoinPath(folder, data.cFileName)).c_str());
    } while (FindNextFileW(find.get(), &data));
}

} // namespace

std::wstring ReplacingFile::TemporaryName(DWORD process, DWORD n) {
    return std::wstring(kTemporaryPrefix) + std::to_wstring(process) + L"-" + std::to_wstring(n) +
           std::wstring(kTemporarySuffix);
}

bool ReplacingFile::IsTemporaryName(std::wstring_view name) {
    if (name.size() < kTemporaryPrefix.size() + kTemporarySuffix.size() + 3 ||
        name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix)
        return false;
    std::size_t at = kTemporaryPrefix.size();
    if (!SkipNumber(name, at) || at == name.size() || name[at++] != L'-' || !SkipNumber(name, at))
        return false;
    return name.substr(at) == kTemporarySuffix;
}

ReplacingFile::ReplacingFile(std::wstring path) : path_(std::move(path)), target_(LongPathForm(path_)) {
    // What creating the file over the old one would refuse, replacing it must refuse too
    // (Wine's rename replaces even a read-only file).
    const DWORD existing = GetFileAttributesW(target_.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        throw EFCreateError(path_, ERROR_ACCESS_DENIED);
    const size_t slash = target_.find_last_of(L"\\/");
    folder_ = slash == std::wstring::npos ? std::wstring(L".") : target_.substr(0, slash);
    for (unsigned attempt = 0; attempt < 100 && !file_; ++attempt) {
        temp_ = LongPathForm(JoinPath(folder_, TemporaryName(GetCurrentProcessId(), GetTickCount() + attempt)));
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
    RemoveOldLeftovers(folder_);
}

} // namespace tmb
