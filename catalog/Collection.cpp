// Writing a collection: the pages it draws on indexed first (each volume's header checked,
// nothing kept but where its block lies and what its header says), then the target opened,
// the folders walked one at a time into blocks of their own, and the page written with the
// volumes it keeps copied from where they lie, every line of them checked as it is copied.
#include "catalog/Collection.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "catalog/CatalogCompare.h"
#include "catalog/CatalogFormat.h"
#include "catalog/CatalogPage.h"
#include "catalog/CatalogReader.h"
#include "catalog/CatalogWalk.h"
#include "catalog/CollectionPage.h"
#include "catalog/PageLines.h"
#include "catalog/PageText.h"
#include "catalog/Volume.h"
#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/Registry.h"
#include "framework/ReplacingFile.h"
#include "framework/TextConv.h"

namespace catalog {
namespace {

// A volume's block as it lies in a page, or as this run wrote it (held until the page is).
struct VolumeBlock {
    std::wstring page;               // the page it lies in (unused when `written` holds it)
    std::uint64_t from = 0, to = 0;  // its bytes: its first line to after its line "."
    std::string written;             // a block walked this run: never empty
    BlockFacts facts;
};

bool SameVolume(const BlockFacts& a, const BlockFacts& b, bool byName) {
    if (!byName && !a.serial.empty() && !b.serial.empty())
        return a.serial == b.serial && tmb::SameText(a.below, b.below);
    return tmb::SameText(a.volumeName, b.volumeName);
}

// The volumes of a catalogue (one) or of a collection: the page's own lines and each block's
// header checked, the rest of each block passed over (its lines are checked when it is
// copied, or read into a tree).
std::vector<VolumeBlock> IndexPage(const std::wstring& path) {
    PageLines lines(path);
    const std::string format = lines.FindData();
    std::vector<VolumeBlock> volumes;
    auto block = [&] {
        VolumeBlock v;
        v.page = path;
        v.from = lines.Offset();
        v.facts = ReadBlockHeader(lines);
        v.to = lines.Offset();
        volumes.push_back(std::move(v));
    };
    std::string_view line;
    if (format == "tombarel-catalogo") {
        block();
    } else if (format == "tombarel-colecao") {
        if (!lines.Next(line))
            lines.CutShort();
        const std::size_t tab = line.find('\t');
        if (line.substr(0, tab) != "tombarel-colecao" || tab == std::string_view::npos)
            lines.NotOurs();
        if (line.substr(tab + 1) != "1")
            throw tmb::Exception(L"A cole\u00e7\u00e3o \"" + path +
                                 L"\" foi feita por uma vers\u00e3o mais nova do Tombarel: atualize o "
                                 L"Tombarel para l\u00ea-la.");
        for (;;) {
            if (!lines.Next(line))
                lines.CutShort();
            if (line == ".")
                break;
            if (line.substr(0, 1) != "V" || (line.size() > 1 && line[1] != '\t'))
                lines.Bad(L"falta o come\u00e7o de um volume");
            block();
        }
    } else {
        lines.NotOurs();
    }
    lines.ExpectEnd();
    return volumes;
}

// The tree of a volume's block, read again from where it lies.
CatalogTree TreeOf(const VolumeBlock& v) {
    PageLines lines(v.page);
    lines.Seek(v.from);
    CatalogTree tree;
    ReadBlock(lines, &tree);
    return tree;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Quorvantix\\Tombarel";
constexpr wchar_t kLastCollectionValue[] = L"UltimaColecao";

} // namespace

std::wstring LastCollection() {
    tmb::Registry registry(HKEY_CURRENT_USER, KEY_READ);
    if (!registry.OpenKeyReadOnly(kSettingsKey) || !registry.ValueExists(kLastCollectionValue))
        return {};
    try {
        return registry.ReadString(kLastCollectionValue);
    } catch (const tmb::Exception&) {
        return {};  // another type of value: as if none were stored
    }
}

void RememberCollection(const std::wstring& path) {
    tmb::Registry registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    if (registry.OpenKey(kSettingsKey, true))
        registry.WriteString(kLastCollectionValue, path);
}

CollectionTotals WriteCollection(const CollectionRequest& request, const ProgressFn& progress) {
    ProgressGate gate(progress);
    const std::wstring target = CanonicalFolder(request.file);
    // Everything read before anything is written: a page that cannot be read fails with its
    // own reason and the collection as it was.
    std::vector<VolumeBlock> volumes;
    if (GetFileAttributesW(tmb::LongPathForm(target).c_str()) != INVALID_FILE_ATTRIBUTES)
        volumes = IndexPage(target);
    CollectionTotals result;
    if (!request.remove.empty()) {
        std::size_t before = volumes.size();
        std::erase_if(volumes, [&](const VolumeBlock& v) { return tmb::SameText(v.facts.volumeName, request.remove); });
        result.removed = before - volumes.size();
        if (result.removed == 0)
            throw tmb::Exception(L"A cole\u00e7\u00e3o " + Quoted(target) + L" n\u00e3o tem um volume chamado " +
                                 Quoted(request.remove) + L".");
    }
    // The same volume again takes the earlier one's place; another is added at the end.
    const bool byName = !request.name.empty();
    auto place = [&](VolumeBlock v) {
        for (VolumeBlock& there : volumes)
            if (SameVolume(there.facts, v.facts, byName)) {
                there = std::move(v);
                ++result.replaced;
                return;
            }
        ++result.added;
        volumes.push_back(std::move(v));
    };
    for (const std::wstring& page : request.join)
        for (VolumeBlock& v : IndexPage(CanonicalFolder(page)))
            place(std::move(v));

    tmb::ReplacingFile file(target);
    for (const std::wstring& folder : request.folders) {
        const std::wstring root = CanonicalFolder(folder);
        Facts facts;
        facts.root = root;
        facts.includeHidden = request.includeHidden;
        facts.volume = VolumeOf(root);
        facts.volumeName = byName ? request.name : DefaultVolumeName(facts.volume, root);
        // What the collection will know of it; its totals and date come with the walk.
        VolumeBlock v;
        BlockFacts& key = v.facts;
        key.root = root;
        key.volumeName = facts.volumeName;
        key.serial = facts.volume.hasSerial ? SerialDigits(facts.volume.serial) : std::string();
        key.below = facts.volume.below;
        key.label = facts.volume.label;
        key.fileSystem = facts.volume.fileSystem;
        key.driveKind = DriveKindWord(facts.volume.driveType);
        key.capacity = facts.volume.capacity;
        key.free = facts.volume.free;
        // The version it replaces, read before the walk: its tree is compared with the new one.
        std::optional<CatalogTree> earlierTree;
        std::optional<Earlier> earlier;
        for (const VolumeBlock& there : volumes)
            if (SameVolume(there.facts, key, byName)) {
                earlierTree.emplace(there.written.empty() ? TreeOf(there) : CatalogTree{});
                earlier = Earlier{&*earlierTree, target, there.facts.date, there.facts.includeHidden};
                break;
            }
        CatalogTree tree;
        Changes changes;
        WalkAndCompare(facts, target, file.TemporaryPath(), request.exclude, tree, earlier ? &*earlier : nullptr,
                       changes, gate);
        {
            Output out([&v](const char* bytes, std::size_t size) { v.written.append(bytes, size); });
            WriteDataBlock(tree, facts, out, gate);
            out.Flush();
        }
        key.totals = facts.totals;
        key.date = IsoTime(facts.started);
        place(std::move(v));
    }

    for (const VolumeBlock& v : volumes) {
        const Totals& t = v.facts.totals;
        result.totals.folders += t.folders;
        result.totals.files += t.files;
        result.totals.bytes += t.bytes;
        result.totals.unreadable += t.unreadable;
    }
    result.volumes = volumes.size();
    std::vector<CollectionVolume> shown;
    for (const VolumeBlock& v : volumes)
        shown.push_back({&v.facts, LinkBase(v.facts.root, target)});
    gate.BeginWriting(result.totals);
    Output out([&file](const char* bytes, std::size_t size) { file.Write(bytes, size); });
    WriteCollectionPage(target, result.totals, shown, out, [&](std::size_t i, Output& data) {
        const VolumeBlock& v = volumes[i];
        if (!v.written.empty()) {
            data.Add(v.written);
            return;
        }
        // A kept volume is read whole as it is copied: one found damaged fails the job, and
        // the temporary file goes with it.
        PageLines lines(v.page);
        lines.Seek(v.from);
        std::uint32_t copied = 0;
        ReadBlock(lines, nullptr, [&](std::string_view line) {
            data.Add(line);
            data.Add('\n');
            if ((++copied & 0xFFF) == 0)
                gate.Check();
        });
        if (lines.Offset() != v.to)
            lines.Bad(L"os dados de um volume n\u00e3o acabam onde deviam");
    });
    out.Flush();
    file.Commit();
    return result;
}

} // namespace catalog
