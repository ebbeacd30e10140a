// The two listings of a folder: the HTML page of links shown in the source pane and saved
// as "Lista.htm", and the plain-text listing. Both are made piece by piece, so a listing of
// a million files is written a chunk at a time instead of held whole in two encodings, and
// written so that a failed write never leaves a truncated file behind.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/NameTable.h"

namespace app {

// The maker's home page, without the scheme: the link label shows it, a click opens it
// with "http://" in front, and the about box and the listings name it.
inline constexpr wchar_t kMakerSite[] = L"www.quorvantix.com.br";

// The size text of the labels: bytes up to 1023, then KB, MB and GB in powers of 1024 with
// at most three decimals ("0.###" in the user's regional settings).
std::wstring SizeText(double bytes);
// The total-size label's text, which both listings copy: "Tamanho total: " + SizeText.
std::wstring TotalSizeCaption(double bytes);

// What a listing lists, read from the window at the moment of the click.
struct ListingInput {
    std::wstring folder;        // as the file list reports it
    tmb::SharedNames names;     // the file list's items, in list order
    std::wstring totalSizeText; // the text of the total-size label
    std::wstring dateTime;      // short date + " - " + long time
};

// Takes a listing's text piece by piece, in order.
using TextSink = std::function<void(std::wstring_view)>;
// Gives a listing's whole text to a sink; it may be run more than once and gives the same
// text each time.
using ListingSource = std::function<void(const TextSink&)>;

// The maker's home page as the page's header links it.
std::wstring MakerHomePage();

// The HTML page's text: every line followed by CR LF. Names go into the links so that
// every link opens its file: "%" and "#" percent-encoded in the href, "&", "<", ">" and
// '"' written as entities, and characters the ANSI code page cannot hold as percent-encoded
// UTF-8 in the href and as numeric character references in the text. Ordinary names come
// out exactly as they are.
std::wstring BuildHtmlPage(const ListingInput& input);
void EmitHtmlPage(const ListingInput& input, const TextSink& sink);

// The text listing: every line followed by CR LF.
std::wstring BuildTextListing(const ListingInput& input);
void EmitTextListing(const ListingInput& input, const TextSink& sink);

// A name as it goes into a link's href, and into the page's text.
std::wstring HtmlHref(const std::wstring& name);
std::wstring HtmlText(const std::wstring& text);

// True when every character of `text` has its own byte in the ANSI code page.
bool FitsAnsiCodePage(std::wstring_view text);

// The bytes a listing is written as: the ANSI code page, or UTF-8 with a byte-order mark
// when some character does not fit the code page.
std::string ListingBytes(const std::wstring& text);

// Writes `bytes` to `path` through a temporary file in the same folder that then replaces
// the target, so a write that fails midway (disk full, medium removed) leaves the old file
// as it was. Raises "Cannot create file "<path>". <reason>" on failure.
void WriteFileReplacing(const std::wstring& path, const std::string& bytes);

// Writes a listing's text as ListingBytes would encode it, without holding it whole: the
// encoding is chosen in a first run of `source`, and a second run is converted and written
// `chunkChars` characters at a time. Replaces the file as WriteFileReplacing does.
void WriteListingReplacing(const std::wstring& path, const ListingSource& source,
                           std::size_t chunkChars = std::size_t{1} << 16);
void WriteListingReplacing(const std::wstring& path, const std::wstring& text);

// ---- where the HTML page goes: the window's "Salvar" and the command line both ask here

// True when `folder` lies on a CD-ROM drive, where "Salvar" cannot put its page.
bool OnCdRom(const std::wstring& folder);

// Where "Salvar" puts the page of a folder on a CD-ROM drive, and whether it went there.
struct CdRomListing {
    std::wstring path;
    bool written;
};
// Writes the page to a path (replacing what is there), or raises the platform's error.
using PageWriter = std::function<void(const std::wstring& path)>;
// Writes the page to "c:\Lista_cdrom.htm", or to the Documents folder when the root of c:
// is closed to the user. With `replace` false a file already there is kept and nothing is
// written.
CdRomListing WriteCdRomListing(const PageWriter& writePage, bool replace);

// "Salvar" for the page of `folder` that `writePage` writes: on a CD-ROM drive the page goes
// to the CD-ROM place with its notice and the offer to show it; otherwise `respond` writes it
// as the folder's "Lista.htm" (the window's resposta), after asking when one is already there
// (Yes writes, OK opens the folder in the file manager, No does nothing). True when a page
// was written.
bool SaveHtmlListing(const std::wstring& folder, const PageWriter& writePage,
                     const std::function<void()>& respond);
// resposta's steps: writes the page as "Lista.htm" in `folder`, runs `written` (the window
// re-reads its list there), then offers to show the page.
void WriteListaHtmAndOffer(const std::wstring& folder, const PageWriter& writePage,
                           const std::function<void()>& written);

} // namespace app
