// A catalogue's or a collection's page read back as its data element's lines, a megabyte at a
// time, so a page of any size is read in little memory. Every line is checked on the way: the
// data element Tombarel writes is well-formed UTF-8 and holds no "<" and no control character
// but the tab, so a page that does is not one of its own, and nothing in a line can end the
// element or add markup where the line is copied to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Handles.h"

namespace catalog {

class PageLines {
public:
    // Raises tmb::Exception when the file cannot be opened.
    explicit PageLines(std::wstring path);
    PageLines(const PageLines&) = delete;
    PageLines& operator=(const PageLines&) = delete;

    // Moves to the data element's first line and returns its data-formato
    // ("tombarel-catalogo", "tombarel-colecao"); empty when the file has no such element, or
    // another element before it claims the data's id (a browser would read that one).
    std::string FindData();
    // The next line of the data element, without its line break (CR LF is a line break too);
    // false at the element's end: a line that begins with the end a browser gives it.
    // Raises when the file ends first (cut short) or a line is not one Tombarel writes.
    bool Next(std::string_view& line);
    // Passes over the lines up to and including the next one holding only "." (a block's
    // last line: no name is "."), without checking them; raises as Next does when the file
    // or the element ends first.
    void SkipPastDot();
    // After the data's last line: nothing but blank lines up to the element's end, and no
    // other element with the data's id in the rest of the page.
    void ExpectEnd();
    // Goes back to `offset`, the start of a data line an earlier reading found.
    void Seek(std::uint64_t offset);
    // Where the next line begins, in bytes from the file's start.
    std::uint64_t Offset() const { return consumed_ + at_; }
    // The bytes of the file after Offset().
    std::uint64_t Left() const { return size_ > Offset() ? size_ - Offset() : 0; }
    const std::wstring& Path() const { return path_; }

    // The message of a page that is not a catalogue; of a page cut short; of a line that does
    // not hold to the format (`what` says which).
    [[noreturn]] void NotOurs() const;
    [[noreturn]] void CutShort() const;
    [[noreturn]] void Bad(const std::wstring& what) const;
    // The data element ended (at a "</script") before the block did.
    [[noreturn]] void EndedEarly() const;

private:
    // Another raw line of the file (HTML or data), without its line break; false at its end.
    bool RawLine(std::string_view& line);
    bool Fill();

    std::wstring path_;
    tmb::FileHandle file_;
    std::uint64_t size_ = 0;
    std::string buffer_;
    std::size_t at_ = 0;          // the next line's start in buffer_
    std::uint64_t consumed_ = 0;  // bytes of the file before buffer_
    bool ended_ = false;          // the file has no more bytes
    bool inData_ = false;
    bool broken_ = false;         // the last raw line ended with a line break
};

} // namespace catalog
