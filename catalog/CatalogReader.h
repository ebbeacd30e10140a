// Reading a catalogue page back: its data block parsed into the compact tree it was written
// from. A page that is not a catalogue, one of a newer version, one cut short or edited so
// that its numbers no longer agree is refused with a message that says which.
#pragma once

#include <string>

#include "catalog/CatalogProgress.h"
#include "catalog/CatalogTree.h"
#include "catalog/PageLines.h"

namespace catalog {

struct ReadBack {
    CatalogTree tree;
    std::wstring root;       // the folder it catalogued, as it was then
    std::string date;        // when it was made, ISO 8601 UTC
    bool includeHidden = true;
    Totals totals;
};

// What a catalogue's data block says of itself besides its tree.
struct BlockFacts {
    std::wstring root;        // the folder it catalogued
    std::string date;         // when, ISO 8601 UTC
    bool includeHidden = true;
    Totals totals;            // folders, files, bytes, unreadable: counted, and as the block says
    // The volume (empty in a catalogue written before volumes were recorded).
    std::wstring volumeName, label, fileSystem, below;
    std::string serial;       // eight hexadecimal digits, or empty
    std::string driveKind;    // "fixo", "removivel", "cd", "rede", "ram" or empty
    std::uint64_t capacity = 0, free = 0;
};

// Reads one catalogue block from `lines` (its first line next) through its last line ".",
// checking every line and every count; fills `tree` when one is given, else keeps nothing of
// the block but its facts. Raises as ReadCatalogPage does.
BlockFacts ReadBlock(PageLines& lines, CatalogTree* tree);

// Raises tmb::Exception ("... não é um catálogo do Tombarel", "... foi feito por uma versão
// mais nova ...", "... está incompleto ...") when the page cannot be read back.
ReadBack ReadCatalogPage(const std::wstring& path);

} // namespace catalog
