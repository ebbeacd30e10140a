// The whole job of a catalogue: the target opened first (so a refused write fails before a
// long walk), the walk, the page, and the target replaced only when the page is whole.
#include "catalog/Catalog.h"

#include <windows.h>

#include "catalog/CatalogPage.h"
#include "catalog/CatalogWalk.h"
#include "framework/ReplacingFile.h"

namespace catalog {

Cancelled::Cancelled() : tmb::Exception(L"O cat\u00e1logo foi cancelado: nada foi gravado.") {}

Totals WriteCatalog(const Request& request, const ProgressFn& progress) {
    const std::wstring root = CanonicalFolder(request.folder);
    const std::wstring page = CanonicalFolder(request.file);
    tmb::ReplacingFile out(page);
    SYSTEMTIME started{};
    GetSystemTime(&started);
    CatalogTree tree;
    // The page and its temporary file lie inside the tree when it is written there: neither
    // is listed, and the totals are those of the tree without them.
    const WalkOptions options{request.includeHidden, {page, out.TemporaryPath()}};
    const Totals totals = WalkTree(root, options, tree, progress);
    const PageFacts facts{root, LinkBase(root, page), started, request.includeHidden, totals};
    WritePage(tree, facts, [&out](const char* bytes, std::size_t size) { out.Write(bytes, size); },
              progress);
    out.Commit();
    return totals;
}

} // namespace catalog
