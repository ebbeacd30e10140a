// The two listings of a folder: the HTML page of links shown in the source pane and saved
// as "Lista.htm", and the plain-text listing. Both are built in memory in one piece, and
// written so that a failed write never leaves a truncated file behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

// What a listing lists, read from the window at the moment of the click.
struct ListingInput {
    std::wstring folder;                    // as the file list reports it
    const std::vector<std::wstring>* names; // the file list's items, in list order
    std::wstring totalSizeText;             // the text of the total-size label
    std::wstring dateTime;                  // short date + " - " + long time
};

// The maker's home page as the page's header links it.
std::wstring MakerHomePage();

// The HTML page's text: every line followed by CR LF. Names go into the links so that
// every link opens its file: "%" and "#" percent-encoded in the href, "&", "<", ">" and
// '"' written as entities, and characters the ANSI code page cannot hold as percent-encoded
// UTF-8 in the href and as numeric character references in the text. Ordinary names come
// out exactly as they are.
std::wstring BuildHtmlPage(const ListingInput& input);

// The text listing: every line followed by CR LF.
std::wstring BuildTextListing(const ListingInput& input);

// A name as it goes into a link's href, and into the page's text.
std::wstring HtmlHref(const std::wstring& name);
std::wstring HtmlText(const std::wstring& text);

// True when every character of `text` has its own byte in the ANSI code page.
bool FitsAnsiCodePage(const std::wstring& text);

// The bytes a listing is written as: the ANSI code page, or UTF-8 with a byte-order mark
// when some character does not fit the code page.
std::string ListingBytes(const std::wstring& text);

// Writes `bytes` to `path` through a temporary file in the same folder that then replaces
// the target, so a write that fails midway (disk full, medium removed) leaves the old file
// as it was. Raises "Cannot create file "<path>". <reason>" on failure.
void WriteFileReplacing(const std::wstring& path, const std::string& bytes);

} // namespace app
