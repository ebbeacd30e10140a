// Reading a catalogue page back: its data block parsed into the compact tree it was written
// from. A page that is not a catalogue, one of a newer version, one cut short or edited so
// that its numbers no longer agree is refused with a message that says which.
#pragma once

#include <functional>
#include <string>
#include <string_view>

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

// Receives each line of a block as it is read, without its line break (the sink adds "\n").
using LineSink = std::function<void(std::string_view line)>;

// Reads one catalogue block from `lines` (its first line next) through its last line ".",
// checking every line and every count the same whether or not a tree is filled; fills
// `tree` when one is given (names in the writer's form), else keeps nothing of the block but
// its facts; hands every line to `sink` when one is given. Raises as ReadCatalogPage does.
BlockFacts ReadBlock(PageLines& lines, CatalogTree* tree, const LineSink& sink = {});
// Reads a block's first line and H section, checked as ReadBlock checks them, and passes over
// the rest up to its last line "." unchecked: for a block that is read whole later.
BlockFacts ReadBlockHeader(PageLines& lines);

// Reads the catalogue page at `path` (its data element, a line at a time) into a tree.
// Raises tmb::Exception ("... não é um catálogo do Tombarel", "... foi feito por uma versão
// mais nova ...", "... está incompleto ...", "... não pode ser lido: ...") when the page
// cannot be read back.
ReadBack ReadCatalogPage(const std::wstring& path);

} // namespace catalog
