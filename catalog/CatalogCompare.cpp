// Comparing two trees folder by folder from their roots: the files and subfolders of each
// pair of matched folders are matched by name (the earlier side sorted once, the new side
// looked up in it), so the work grows with the trees, not with their product.
#include "catalog/CatalogCompare.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
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
bool Hidden(std::uint32_t attributes) { return attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM); }

// An entry of the earlier tree gone from the new one: a file, or a folder and all below it.
struct Gone {
    std::string_view name;
    std::uint32_t index = 0;   // among the earlier tree's files, or folders
    std::uint32_t holder = 0;  // a file's folder
    bool folder = false;
};

// The byte order of the paths written for what is gone, without making them: a folder's name
// sorts as if followed by the escaped separator its paths carry ("\\"). No name holds that
// separator, so the paths below a folder sort together, right where its name does.
bool PathLess(const Gone& a, const Gone& b) {
    const std::size_t an = a.name.size() + (a.folder ? 2 : 0), bn = b.name.size() + (b.folder ? 2 : 0);
    for (std::size_t k = 0; k < an && k < bn; ++k) {
        const unsigned char x = k < a.name.size() ? a.name[k] : '\\', y = k < b.name.size() ? b.name[k] : '\\';
        if (x != y)
            return x < y;
    }
    return an < bn;
}

class Comparer {
public:
    Comparer(const CatalogTree& now, const CatalogTree& before, CompareSides sides)
        : now_(now), before_(before), nowShape_(now), beforeShape_(before),
          onlyNowHidden_(sides.nowIncludesHidden && !sides.beforeIncludesHidden),
          onlyBeforeHidden_(sides.beforeIncludesHidden && !sides.nowIncludesHidden) {}

    Changes Run() {
        changes_.before = &before_;
        Stack stack{{0, 0, false}};
        while (!stack.empty()) {
            const Pending p = stack.back();
            stack.pop_back();
            Pair(p, stack);
        }
        return std::move(changes_);
    }

private:
    // A folder of the new tree and its match in the earlier one (kNone: it is new); `unseen`:
    // it is new, and hidden (or below a hidden folder) where the earlier side left those out.
    struct Pending {
        std::uint32_t now, before;
        bool unseen;
    };
    using Stack = std::vector<Pending>;

    void Pair(const Pending& p, Stack& stack) {
        const std::uint32_t n = p.now, o = p.before;
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
                if (p.unseen || (onlyNowHidden_ && Hidden(file.attributes)))
                    continue;
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
        gone_.clear();
        for (std::size_t k = 0; k < oldFiles_.size(); ++k)
            if (!matched[k])
                AddGone({oldFiles_[k].first, oldFiles_[k].second, o, false});
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
            stack.push_back({c, at == kNone ? kNone : oldFolders[at].second,
                             at == kNone && (p.unseen || (onlyNowHidden_ && Hidden(now_.folders[c].attributes)))});
        }
        std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
        for (std::size_t k = 0; k < oldFolders.size(); ++k)
            if (!folderMatched[k])
                AddGone({oldFolders[k].first, oldFolders[k].second, 0, true});
        RemovedFrom(n, o);
    }

    void AddGone(const Gone& g) {
        const std::uint32_t attributes =
            g.folder ? before_.folders[g.index].attributes : before_.files[g.index].attributes;
        if (!(onlyBeforeHidden_ && Hidden(attributes)))
            gone_.push_back(g);
    }

    // What is in gone_ (below the earlier folder `o`) and everything below its folders, as
    // removed from the new tree's folder `n`, in the order of their paths: a depth-first walk
    // that sorts each folder's entries as it opens it.
    void RemovedFrom(std::uint32_t n, std::uint32_t o) {
        std::sort(gone_.begin(), gone_.end(), PathLess);
        pending_.assign(gone_.rbegin(), gone_.rend());
        while (!pending_.empty()) {
            const Gone g = pending_.back();
            pending_.pop_back();
            if (!g.folder) {
                changes_.removed.push_back({n, o, g.holder, g.index});
                changes_.lost += before_.files[g.index].size;
                continue;
            }
            gone_.clear();
            for (std::uint32_t j = beforeShape_.firstFile[g.index]; j < beforeShape_.firstFile[g.index + 1]; ++j)
                AddGone({before_.names[before_.files[j].name], j, g.index, false});
            for (std::uint32_t c = beforeShape_.firstChild[g.index]; c != kNone; c = beforeShape_.nextSibling[c])
                AddGone({before_.names[before_.folders[c].name], c, 0, true});
            std::sort(gone_.begin(), gone_.end(), PathLess);
            pending_.insert(pending_.end(), gone_.rbegin(), gone_.rend());
        }
    }

    void NotCompared(std::uint32_t n) {
        const std::size_t end = SubtreeEnd(n);
        for (std::size_t i = n; i < end; ++i)
            changes_.notCompared.push_back(static_cast<std::uint32_t>(i));
    }

    // In pre-order the folders below `n` follow it, each with its parent at `n` or after it;
    // the first folder that is not below it has its parent before `n`.
    std::size_t SubtreeEnd(std::uint32_t n) const {
        std::size_t i = n + 1;
        while (i < now_.folders.Size() && now_.folders[i].parent >= n)
            ++i;
        return i;
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
    const bool onlyNowHidden_, onlyBeforeHidden_;
    std::vector<std::pair<std::string_view, std::uint32_t>> oldFiles_;
    std::vector<Gone> gone_, pending_;
    Changes changes_;
};

} // namespace

Changes Compare(const CatalogTree& now, const CatalogTree& before, CompareSides sides) {
    return Comparer(now, before, sides).Run();
}

void Changes::AppendPath(std::string& out, const RemovedFile& r) const {
    // The folders between `from` and the file are met from the deepest up: room is made for
    // the whole path first, then filled from its end.
    const CatalogTree& tree = *before;
    const std::string_view name = tree.names[tree.files[r.file].name];
    std::size_t length = name.size();
    for (std::uint32_t f = r.holder; f != r.from; f = tree.folders[f].parent)
        length += tree.names[tree.folders[f].name].size() + 2;
    std::size_t at = out.size() + length;
    out.resize(at);
    const auto put = [&out, &at](std::string_view piece) {
        at -= piece.size();
        std::memcpy(out.data() + at, piece.data(), piece.size());
    };
    put(name);
    for (std::uint32_t f = r.holder; f != r.from; f = tree.folders[f].parent) {
        put("\\\\");
        put(tree.names[tree.folders[f].name]);
    }
}

} // namespace catalog
