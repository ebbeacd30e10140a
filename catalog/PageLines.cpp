// Reading a page back in pieces: the data element found as the page writer writes it, its
// lines checked as they are given out.
#include "catalog/PageLines.h"

#include <windows.h>

#include <algorithm>

#include "framework/Exception.h"
#include "framework/Paths.h"

namespace catalog {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;
// No line Tombarel writes is longer: a name is at most a whole path, escaped.
constexpr std::size_t kLongestLine = std::size_t{1} << 20;
constexpr std::string_view kDataTag = "<script type=\"text/plain\" id=\"tombarel-dados\" data-formato=\"";
constexpr std::string_view kDataEnd = "</script>";

} // namespace

PageLines::PageLines(std::wstring path) : path_(std::move(path)) {
    file_.reset(CreateFileW(tmb::LongPathForm(path_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_)
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel abrir o arquivo \"" + path_ + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
}

bool PageLines::Fill() {
    if (ended_)
        return false;
    // What is left of the buffer moves to its front; a new chunk follows it.
    buffer_.erase(0, at_);
    consumed_ += at_;
    at_ = 0;
    const std::size_t had = buffer_.size();
    buffer_.resize(had + kChunk);
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer_.data() + had, static_cast<DWORD>(kChunk), &got, nullptr))
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o arquivo \"" + path_ + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    buffer_.resize(had + got);
    if (got == 0)
        ended_ = true;
    return got != 0;
}

bool PageLines::RawLine(std::string_view& line) {
    for (;;) {
        const std::size_t end = buffer_.find('\n', at_);
        if (end != std::string::npos) {
            line = std::string_view(buffer_).substr(at_, end - at_);
            at_ = end + 1;
            return true;
        }
        if (buffer_.size() - at_ > kLongestLine) {
            if (inData_)
                Bad(L"uma linha \u00e9 comprida demais");
            // An HTML line this long is no line of the template: skipped in pieces.
            at_ = buffer_.size();
        }
        if (!Fill()) {
            if (at_ == buffer_.size())
                return false;
            line = std::string_view(buffer_).substr(at_);  // a last line without a break
            at_ = buffer_.size();
            return true;
        }
    }
}

std::string PageLines::FindData() {
    std::string_view line;
    while (RawLine(line)) {
        if (line.substr(0, kDataTag.size()) != kDataTag)
            continue;
        const std::size_t quote = line.find('"', kDataTag.size());
        const std::size_t close = line.find('>', kDataTag.size());
        if (quote == std::string_view::npos || close == std::string_view::npos || close < quote)
            return {};
        std::string format(line.substr(kDataTag.size(), quote - kDataTag.size()));
        // The data's first line follows the tag on the same line: the next call gives it.
        const std::size_t lineStart = static_cast<std::size_t>(line.data() - buffer_.data());
        at_ = lineStart + close + 1;
        inData_ = true;
        return format;
    }
    return {};
}

bool PageLines::Next(std::string_view& line) {
    if (!RawLine(line))
        CutShort();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == '<') {
            // The one "<" the element holds is its end, at the start of a line of its own.
            if (i == 0 && line.substr(0, kDataEnd.size()) == kDataEnd) {
                inData_ = false;
                return false;
            }
            Bad(L"h\u00e1 marca\u00e7\u00e3o dentro dos dados");
        }
        if (c < 0x20 && c != '\t')
            Bad(L"h\u00e1 um caractere de controle dentro dos dados");
    }
    return true;
}

void PageLines::Seek(std::uint64_t offset) {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN))
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o arquivo \"" + path_ + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    buffer_.clear();
    at_ = 0;
    consumed_ = offset;
    ended_ = false;
    inData_ = true;
}

void PageLines::NotOurs() const {
    throw tmb::Exception(L"O arquivo \"" + path_ + L"\" n\u00e3o \u00e9 um cat\u00e1logo do Tombarel.");
}

void PageLines::CutShort() const {
    throw tmb::Exception(L"O cat\u00e1logo \"" + path_ +
                         L"\" est\u00e1 incompleto: o arquivo termina no meio dos dados.");
}

void PageLines::Bad(const std::wstring& what) const {
    throw tmb::Exception(L"O cat\u00e1logo \"" + path_ + L"\" n\u00e3o pode ser lido: " + what +
                         L". Foi alterado \u00e0 m\u00e3o?");
}

void PageLines::CopyRange(std::uint64_t from, std::uint64_t to,
                          const std::function<void(const char*, std::size_t)>& sink) const {
    // A handle of its own: the reading position of the lines is left where it is.
    tmb::FileHandle copy(CreateFileW(tmb::LongPathForm(path_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(from);
    if (!copy || !SetFilePointerEx(copy.get(), start, nullptr, FILE_BEGIN))
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o arquivo \"" + path_ + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    std::string chunk(kChunk, '\0');
    for (std::uint64_t left = to - from; left > 0;) {
        const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(left, kChunk));
        DWORD got = 0;
        if (!ReadFile(copy.get(), chunk.data(), want, &got, nullptr) || got == 0)
            throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler o arquivo \"" + path_ + L"\". " +
                                 tmb::SysErrorMessage(got == 0 ? ERROR_HANDLE_EOF : GetLastError()));
        sink(chunk.data(), got);
        left -= got;
    }
}

} // namespace catalog
