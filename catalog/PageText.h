// The pieces the catalogue's page and the collection's page are both written with: texts as
// the pages write them, the template with its markers, and a catalogue's data block.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "catalog/CatalogFormat.h"

namespace catalog {

// Text for markup: "&", "<", ">" and quotes as entities.
std::string HtmlText(const std::wstring& text);
// A name as the data block writes it: the inside of a JSON string.
std::string Escaped(const std::wstring& text);
// "1.234.567"
std::string Grouped(std::uint64_t value);
// "1 pasta", "2 pastas"
std::string Plural(std::uint64_t n, const char* one, const char* many);
// An ISO 8601 UTC time as the header shows dates (SizeText and DateText, as the viewer writes
// sizes and dates, are in CatalogPage.h); as it is when it is no such time.
std::string IsoDateText(const std::string& iso);
// "2026-12-07T21:05:09Z"
std::string IsoTime(const SYSTEMTIME& t);

// The template copied into `out`, its style sheet and script in place and every other marker
// ("ATTRS", "FORMAT", "TITLE", "HEADER", "DATA") handed to `fill`.
void WriteShell(Output& out, const std::function<void(std::string_view marker)>& fill);
// A catalogue's data block, from its first line to its last line ".".
void WriteDataBlock(const CatalogTree& tree, const Facts& facts, Output& out, ProgressGate& gate);

} // namespace catalog
