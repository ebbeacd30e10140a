// Comparing two trees folder by folder from their roots: the files and subfolders of each
// pair of matched folders are matched by name (the earlier side sorted once, the new side
// looked up in it), so the work grows with the trees, not with their product.
#include "catalog/CatalogCompare.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace catalog {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// Each folder's first file and its children, in the order the tree holds them.
struct Shape {
    std::vector<std::uint32_t> firstFile, firstChild, nextSibling;

    explicit Shape(const CatalogTree& tree) {
        const std::size_t m = tree.folders.Size();
        firstFile.resize(m + 1);
        firstChild.assign(m, kNone);
        nextSibling.assign(m, kNone);
        std::vector<std::uint32_t> lastChild(m, kNone);
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < m; ++i) {
            firstFile[i] = sum;
            sum += tree.folders[i].fileCount;
            if (i == 0)
                continue;
            const std::uint32_t parent = tree.folders[i].parent;
            if (lastChild[parent] == kNone)
                firstChild[parent] = static_cast<std::uint32_t>(i);
            else
                nextSibling[lastChild[parent]] = static_cast<std::uint32_t>(i);
            lastChild[parent] = static_cast<std::uint32_t>(i);
        }
        firstFile[m] = sum;
    }
};

bool NotRead(const FolderRecord& f) { return f.flags & (ffUnreadable | ffPartial); }

class Comparer {
public:
    Comparer(const CatalogTree& now, const CatalogTree& before)
        : now_(now), before_(before), nowShape_(now), beforeShape_(before) {}

    Changes Run() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> stack{{0, 0}};
        while (!stack.empty()) {
            const auto [n, o] = stack.back();
            stack.pop_back();
            Pair(n, o, stack);
        }
        std::sort(changes_.removed.begin(), changes_.removed.end(),
                  [](const RemovedFile& a, const RemovedFile& b) {
                      return a.folder != b.folder ? a.folder < b.folder : a.path < b.path;
                  });
        return std::move(changes_);
    }

private:
    using Stack = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

    // Folder `n` of the new tree against folder `o` of the earlier one (kNone: it is new).
    void Pair(std::uint32_t n, std::uint32_t o, Stack& stack) {
        if (NotRead(now_.folders[n]) || (o != kNone && NotRead(before_.folders[o]))) {
            // What could not be read on either side is not compared, nor anything below it.
            NotCompared(n);
            return;
        }
        // Files.
        Sorted(before_.files, o == kNone ? 0 : beforeShape_.firstFile[o],
               o == kNone ? 0 : beforeShape_.firstFile[o + 1], oldFiles_);
        std::vector<bool> matched(oldFiles_.size(), false);
        for (std::uint32_t j = nowShape_.firstFile[n]; j < nowShape_.firstFile[n + 1]; ++j) {
            const FileRecord& file = now_.files[j];
            const std::size_t at = Find(oldFiles_, now_.names[file.name]);
            if (at == kNone) {
                changes_.added.push_back(j);
                changes_.gained += file.size;
                continue;
            }
            matched[at] = true;
            const FileRecord& old = before_.files[oldFiles_[at].second];
            if (old.size != file.size || old.modified != file.modified) {
                changes_.changed.push_back({j, old.size, old.modified});
                if (file.size > old.size)
                    changes_.gained += file.size - old.size;
                else
                    changes_.lost += old.size - file.size;
            }
        }
        for (std::size_t k = 0; k < oldFiles_.size(); ++k)
            if (!matched[k])
                Removed(n, std::string(oldFiles_[k].first), before_.files[oldFiles_[k].second]);
        // Subfolders: pushed last first, so the folders are met in the new tree's order.
        std::vector<std::pair<std::string_view, std::uint32_t>> oldFolders;
        if (o != kNone)
            for (std::uint32_t c = beforeShape_.firstChild[o]; c != kNone; c = beforeShape_.nextSibling[c])
                oldFolders.emplace_back(before_.names[before_.folders[c].name], c);
        std::sort(oldFolders.begin(), oldFolders.end());
        std::vector<bool> folderMatched(oldFolders.size(), false);
        const std::size_t first = stack.size();
        for (std::uint32_t c = nowShape_.firstChild[n]; c != kNone; c = nowShape_.nextSibling[c]) {
            const std::size_t at = Find(oldFolders, now_.names[now_.folders[c].name]);
            if (at != kNone)
                folderMatched[at] = true;
            stack.emplace_back(c, at == kNone ? kNone : oldFolders[at].second);
        }
        std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
        for (std::size_t k = 0; k < oldFolders.size(); ++k)
            if (!folderMatched[k])
                RemovedFolder(n, std::string(oldFolders[k].first), oldFolders[k].second);
    }

    void NotCompared(std::uint32_t n) {
        // The folder and everything below it: in pre-order they follow it until a folder that
        // is not below it.
        const std::size_t end = SubtreeEnd(n);
        for (std::size_t i = n; i < end; ++i)
            changes_.notCompared.push_back(static_cast<std::uint32_t>(i));
    }

    std::size_t SubtreeEnd(std::uint32_t n) const {
        std::size_t i = n + 1;
        while (i < now_.folders.Size() && IsBelow(static_cast<std::uint32_t>(i), n))
            ++i;
        return i;
    }

    bool IsBelow(std::uint32_t i, std::uint32_t n) const {
        while (i > n)
            i = now_.folders[i].parent;
        return i == n;
    }

    // Every file of the earlier tree's folder `o` (gone from the new tree) and below it, as
    // removed from folder `n`, with paths from `n`.
    void RemovedFolder(std::uint32_t n, const std::string& path, std::uint32_t o) {
        std::vector<std::pair<std::uint32_t, std::string>> pending{{o, path}};
        while (!pending.empty()) {
            auto [folder, prefix] = std::move(pending.back());
            pending.pop_back();
            for (std::uint32_t j = beforeShape_.firstFile[folder]; j < beforeShape_.firstFile[folder + 1]; ++j) {
                const FileRecord& file = before_.files[j];
                Removed(n, prefix + "\\\\" + std::string(before_.names[file.name]), file);
            }
            for (std::uint32_t c = beforeShape_.firstChild[folder]; c != kNone; c = beforeShape_.nextSibling[c])
                pending.emplace_back(c, prefix + "\\\\" + std::string(before_.names[before_.folders[c].name]));
        }
    }

    void Removed(std::uint32_t n, std::string path, const FileRecord& file) {
        changes_.removed.push_back({n, std::move(path), file.size, file.modified, file.attributes});
        changes_.lost += file.size;
    }

    void Sorted(const BlockArray<FileRecord>& files, std::uint32_t from, std::uint32_t to,
                std::vector<std::pair<std::string_view, std::uint32_t>>& out) const {
        out.clear();
        for (std::uint32_t j = from; j < to; ++j)
            out.emplace_back(before_.names[files[j].name], j);
        std::sort(out.begin(), out.end());
    }

    static std::size_t Find(const std::vector<std::pair<std::string_view, std::uint32_t>>& sorted,
                            std::string_view name) {
        const auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                                         [](const auto& entry, std::string_view n) { return entry.first < n; });
        return it != sorted.end() && it->first == name ? static_cast<std::size_t>(it - sorted.begin()) : kNone;
    }

    const CatalogTree& now_;
    const CatalogTree& before_;
    Shape nowShape_, beforeShape_;
    std::vector<std::pair<std::string_view, std::uint32_t>> oldFiles_;
    Changes changes_;
};

} // namespace

Changes Compare(const CatalogTree& now, const CatalogTree& before) { return Comparer(now, before).Run(); }

} // namespace catalog
