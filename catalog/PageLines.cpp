// Reading a page back in pieces: the data element found as the page writer writes it, its
// lines checked as they are given out.
#include "catalog/PageLines.h"

#include <windows.h>

#include "framework/Exception.h"
#include "framework/Paths.h"

namespace catalog {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;
// No line Tombarel writes is longer: a name is at most a whole path, escaped.
constexpr std::size_t kLongestLine = std::size_t{1} << 20;
constexpr std::string_view kDataTag = "<script type=\"text/plain\" id=\"tombarel-dados\" data-formato=\"";
constexpr std::string_view kDataId = "id=\"tombarel-dados\"";

// Whether `rest` (which begins with "<") ends a script element for a browser: "</script" in any
// letter case, then white space, "/" or ">". A page cut inside the end tag ends there too: its
// data then tells whether it is whole.
bool IsScriptEnd(std::string_view rest) {
    static constexpr std::string_view kEnd = "</script";
    for (std::size_t i = 0; i < kEnd.size(); ++i) {
        if (i == rest.size())
            return true;
        const char c = rest[i];
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != kEnd[i])
            return false;
    }
    return rest.size() == kEnd.size() || std::string_view("\t\n\f\r />").find(rest[kEnd.size()]) != std::string_view::npos;
}

// The length of the UTF-8 sequence at `text[i]` when it is well formed (no overlong form, no
// surrogate, nothing past U+10FFFF), else 0.
std::size_t Utf8Sequence(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    const unsigned c = at(i);
    const auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) { return at(k) >= lo && at(k) <= hi; };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF)
        return cont(i + 1, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF) && cont(i + 2) ? 3 : 0;
    if (c >= 0xF0 && c <= 0xF4)
        return cont(i + 1, c == 0xF0 ? 0x90 : 0x80, c == 0xF4 ? 0x8F : 0xBF) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    return 0;
}

} // namespace

PageLines::PageLines(std::wstring path) : path_(std::move(path)) {
    file_.reset(CreateFileW(tmb::LongPathForm(path_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.get(), &size))
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel abrir o arquivo \"" + path_ + L"\". " +
                             tmb::SysErrorMessage(GetLastError()));
    size_ = static_cast<std::uint64_t>(size.QuadPart);
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
            broken_ = true;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);  // CR LF; a CR alone is no line break
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
            broken_ = false;
            return true;
        }
    }
}

std::string PageLines::FindData() {
    std::string_view line;
    while (RawLine(line)) {
        if (line.substr(0, kDataTag.size()) != kDataTag) {
            if (line.find(kDataId) != std::string_view::npos)
                return {};
            continue;
        }
        const std::size_t quote = line.find('"', kDataTag.size());
        const std::size_t close = line.find('>', kDataTag.size());
        if (quote == std::string_view::npos || close == std::string_view::npos || close < quote ||
            line.substr(0, close).find('<', 1) != std::string_view::npos ||
            line.substr(0, close).find(kDataId, kDataTag.size()) != std::string_view::npos)
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
    // A data line the file ends in is cut short, unless it is (the start of) the element's end.
    if (!RawLine(line) || (!broken_ && line.substr(0, 1) != "<"))
        CutShort();
    bool quote = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c >= 0x20 && c < 0x80 && c != '<' && c != '"')
            continue;
        if (c >= 0x80) {
            const std::size_t n = Utf8Sequence(line, i);
            if (n == 0)
                Bad(L"os dados n\u00e3o est\u00e3o em UTF-8");
            i += n - 1;
        } else if (c == '<') {
            // The one "<" the element holds is its end, where a browser ends it.
            if (!IsScriptEnd(line.substr(i)))
                Bad(L"os dados t\u00eam um \"<\", que o Tombarel nunca escreve neles");
            inData_ = false;
            if (i > 0)
                EndedEarly();
            return false;
        } else if (c == '"') {
            quote = true;
        } else if (c != '\t') {
            Bad(L"os dados t\u00eam um caractere de controle");
        }
    }
    // A browser would take the first element with the data's id; there is only one.
    if (quote && line.find(kDataId) != std::string_view::npos)
        NotOurs();
    return true;
}

void PageLines::SkipPastDot() {
    std::string_view line;
    do {
        if (!RawLine(line))
            CutShort();
        if (!line.empty() && line[0] == '<' && IsScriptEnd(line)) {
            inData_ = false;
            EndedEarly();
        }
    } while (line != ".");
}

void PageLines::ExpectEnd() {
    std::string_view line;
    while (Next(line))
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            Bad(L"h\u00e1 dados depois do fim");
    while (RawLine(line))
        if (line.find(kDataId) != std::string_view::npos)
            NotOurs();
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

void PageLines::EndedEarly() const { Bad(L"os dados acabam num \"</script\" antes do fim"); }

} // namespace catalog
