// The whole job of a catalogue: the target opened first (so a refused write fails before a
// long walk), the walk, the page, and the target replaced only when the page is whole.
#include "catalog/Catalog.h"

#include <windows.h>

#include "catalog/CatalogCompare.h"
#include "catalog/CatalogPage.h"
#include "catalog/CatalogReader.h"
#include "catalog/CatalogWalk.h"
#include "framework/ReplacingFile.h"

namespace catalog {

Cancelled::Cancelled() : tmb::Exception(L"O cat\u00e1logo foi cancelado: nada foi gravado.") {}

Totals WriteCatalog(const Request& request, const ProgressFn& progress) {
    const std::wstring root = CanonicalFolder(request.folder);
    const std::wstring page = CanonicalFolder(request.file);
    // An earlier catalogue that cannot be read fails before anything is written.
    ReadBack before;
    const bool comparing = !request.compareWith.empty();
    if (comparing)
        before = ReadCatalogPage(request.compareWith);
    tmb::ReplacingFile out(page);
    SYSTEMTIME started{};
    GetSystemTime(&started);
    CatalogTree tree;
    // The page and its temporary file lie inside the tree when it is written there: neither
    // is listed, and the totals are those of the tree without them.
    const WalkOptions options{request.includeHidden, {page, out.TemporaryPath()}};
    Totals totals = WalkTree(root, options, tree, progress);
    PageFacts facts;
    facts.root = root;
    facts.linkBase = LinkBase(root, page);
    facts.started = started;
    facts.includeHidden = request.includeHidden;
    Changes changes;
    if (comparing) {
        changes = Compare(tree, before.tree);
        facts.comparedWith = CanonicalFolder(request.compareWith);
        facts.comparedDate = before.date;
        before = ReadBack{};  // the earlier tree is not needed for writing
        totals.added = changes.added.size();
        totals.removed = changes.removed.size();
        totals.changed = changes.changed.size();
        totals.gained = changes.gained;
        totals.lost = changes.lost;
        facts.changes = &changes;
    }
    facts.totals = totals;
    WritePage(tree, facts, [&out](const char* bytes, std::size_t size) { out.Write(bytes, size); },
              progress);
    out.Commit();
    return totals;
}

} // namespace catalog
