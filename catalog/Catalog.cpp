// The one job behind both formats: the earlier catalogue read, the target opened, the walk,
// the comparison and the totals, then the format's writer into the one buffered output, and
// the target replaced only when what was written is whole.
#include "catalog/Catalog.h"

#include <windows.h>

#include <optional>

#include "catalog/CatalogCompare.h"
#include "catalog/CatalogCsv.h"
#include "catalog/CatalogFormat.h"
#include "catalog/CatalogPage.h"
#include "catalog/CatalogReader.h"
#include "catalog/CatalogWalk.h"
#include "framework/ReplacingFile.h"

namespace catalog {
namespace {

Totals WriteFormat(const Request& request, const ProgressFn& progress, FormatWriter writer) {
    ProgressGate gate(progress);
    const std::wstring root = CanonicalFolder(request.folder);
    const std::wstring target = CanonicalFolder(request.file);
    // Read before the target is opened: an earlier catalogue that cannot be read fails with
    // its own reason and nothing written, and one that is the target itself is read whole
    // before it is replaced.
    std::optional<ReadBack> before;
    if (!request.compareWith.empty())
        before.emplace(ReadCatalogPage(request.compareWith));
    tmb::ReplacingFile file(target);
    Facts facts;
    facts.root = root;
    facts.includeHidden = request.includeHidden;
    facts.volume = VolumeOf(root);
    facts.volumeName = DefaultVolumeName(facts.volume, root);
    CatalogTree tree;
    Changes changes;
    std::optional<Earlier> earlier;
    if (before)
        earlier = Earlier{&before->tree, CanonicalFolder(request.compareWith), before->date, before->includeHidden};
    WalkAndCompare(facts, target, file.TemporaryPath(), request.exclude, tree, earlier ? &*earlier : nullptr,
                   changes, gate);
    const Totals totals = facts.totals;
    gate.BeginWriting(totals);
    Output out([&file](const char* bytes, std::size_t size) { file.Write(bytes, size); });
    writer(tree, facts, out, gate);
    out.Flush();
    file.Commit();
    return totals;
}

} // namespace

void WalkAndCompare(Facts& facts, const std::wstring& target, const std::wstring& temporary,
                    const std::vector<std::wstring>& exclude, CatalogTree& tree, const Earlier* earlier,
                    Changes& changes, ProgressGate& gate) {
    facts.linkBase = LinkBase(facts.root, target);
    GetSystemTime(&facts.started);
    facts.exclude = exclude;
    // The target and its temporary file lie inside the tree when it is written there:
    // neither is listed, and the totals are those of the tree without them.
    WalkOptions options{facts.includeHidden, {target, temporary}};
    for (const std::wstring& pattern : exclude)
        options.patterns.emplace_back(pattern);
    Totals totals = WalkTree(facts.root, options, tree, gate);
    if (earlier) {
        changes = Compare(tree, *earlier->tree, {facts.includeHidden, earlier->includeHidden});
        facts.comparedWith = earlier->page;
        facts.comparedDate = earlier->date;
        facts.comparedIncludeHidden = earlier->includeHidden;
        totals.added = changes.added.size();
        totals.removed = changes.removed.size();
        totals.changed = changes.changed.size();
        totals.gained = changes.gained;
        totals.lost = changes.lost;
        facts.changes = &changes;
    }
    facts.totals = totals;
}

Totals WriteCatalog(const Request& request, const ProgressFn& progress) {
    return WriteFormat(request, progress, WritePage);
}

Totals WriteCsv(const Request& request, const ProgressFn& progress) {
    return WriteFormat(request, progress, WriteCsvRows);
}

} // namespace catalog
