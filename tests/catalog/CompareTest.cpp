// A catalogue compared with an earlier one: random changes made to a real tree, checked
// against a model of the files on disk; and earlier catalogues that cannot be read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "catalog/Catalog.h"
#include "catalog/CatalogCompare.h"
#include "catalog/CatalogReader.h"
#include "catalog/CatalogWalk.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"

namespace {

using Model = std::map<std::wstring, std::uint64_t>;  // relative path -> size

// The files under `root` as the model knows them, and its folders, read from the disk.
void ReadModel(const std::wstring& root, Model& model, std::vector<std::wstring>& folders) {
    model.clear();
    folders.clear();
    tmbtest::EachEntry(root, [&](const std::wstring& path, const WIN32_FIND_DATAW& fd) {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(path);
        else
            model[path] = fd.nFileSizeLow;
    });
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
}

// Each folder and file of `tree` by its path relative to the catalogued folder.
struct Paths {
    std::vector<std::wstring> folders, files;
    explicit Paths(const catalog::CatalogTree& tree) : folders(tree.folders.Size()) {
        for (std::size_t i = 0; i < tree.folders.Size(); ++i) {
            if (i > 0)
                folders[i] = Joined(folders[tree.folders[i].parent],
                                    catalog::UnescapedName(tree.names[tree.folders[i].name]));
            for (std::uint32_t k = 0; k < tree.folders[i].fileCount; ++k)
                files.push_back(Joined(folders[i], catalog::UnescapedName(tree.names[tree.files[files.size()].name])));
        }
    }
};

void Write(const std::wstring& path, std::size_t size) {
    std::ofstream(path.c_str(), std::ios::binary) << std::string(size, 'x');
}

TEST(CatalogCompare, RandomChangesToARealTreeAreReportedAsTheDiskHasThem) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        auto pick = [&](auto& container) { return std::next(container.begin(), random() % container.size()); };
        tmbtest::TempFolder root;
        for (const wchar_t* f : {L"a", L"a\\b", L"a\\b\\c", L"d", L"Caixa"})
            root.AddFolder(f);
        for (int i = 0; i < 25; ++i) {
            const wchar_t* folders[] = {L"", L"a\\", L"a\\b\\", L"a\\b\\c\\", L"d\\", L"Caixa\\"};
            Write(root / (std::wstring(folders[i % 6]) + L"f" + std::to_wstring(i) + L" \u00e7#%.txt"), i * 3);
        }
        tmbtest::TempFolder pages;  // beside the tree: a page inside it would be a file added
        const std::wstring before = pages / L"cat1.htm", after = pages / L"cat2.htm";
        catalog::WriteCatalog({root.Path(), before});
        Model old, now;
        std::vector<std::wstring> folders;
        ReadModel(root.Path(), old, folders);
        for (int step = 0; step < 12; ++step) {
            ReadModel(root.Path(), now, folders);
            const std::wstring path = root.Path() + L"\\" + pick(now)->first;
            switch (random() % 6) {
            case 0: Write(root.Path() + L"\\" + *pick(folders) + L"\\novo " + std::to_wstring(step), step); break;
            case 1: DeleteFileW(path.c_str()); break;
            case 2: Write(path, 1000 + step); break;  // another size
            case 3: MoveFileW(path.c_str(), (path + L".renomeado").c_str()); break;
            case 4: {  // the case of the name alone
                std::wstring other = path;
                const std::size_t slash = other.rfind(L'\\');
                other[slash + 1] = static_cast<wchar_t>(towupper(other[slash + 1]));
                MoveFileW(path.c_str(), other.c_str());
                break;
            }
            case 5: tmbtest::RemoveTree(root.Path() + L"\\" + *pick(folders)); break;
            }
        }
        ReadModel(root.Path(), now, folders);
        std::set<std::wstring> added, removed, changed;
        for (const auto& [path, size] : now)
            if (!old.count(path))
                added.insert(path);
            else if (old.at(path) != size)
                changed.insert(path);
        for (const auto& [path, size] : old)
            if (!now.count(path))
                removed.insert(path);

        const catalog::Totals totals = catalog::WriteCatalog({root.Path(), after, true, before});
        EXPECT_EQ(totals.added, added.size()) << "seed " << seed;
        EXPECT_EQ(totals.removed, removed.size()) << "seed " << seed;
        EXPECT_EQ(totals.changed, changed.size()) << "seed " << seed;
        // Which files, read back from the two pages as a script would.
        const catalog::ReadBack first = catalog::ReadCatalogPage(before), second = catalog::ReadCatalogPage(after);
        const catalog::Changes changes = catalog::Compare(second.tree, first.tree);
        const Paths paths(second.tree);
        std::set<std::wstring> gotAdded, gotRemoved, gotChanged;
        for (std::uint32_t j : changes.added)
            gotAdded.insert(paths.files[j]);
        for (const catalog::ChangedFile& c : changes.changed)
            gotChanged.insert(paths.files[c.file]);
        for (const catalog::RemovedFile& r : changes.removed) {
            std::string path;
            changes.AppendPath(path, r);
            gotRemoved.insert(Joined(paths.folders[r.folder], catalog::UnescapedName(path)));
        }
        EXPECT_EQ(gotAdded, added) << "seed " << seed;
        EXPECT_EQ(gotRemoved, removed) << "seed " << seed;
        EXPECT_EQ(gotChanged, changed) << "seed " << seed;
        EXPECT_TRUE(changes.notCompared.empty());

        // A folder that could not be read then is not compared: nothing in or below it is
        // added, removed or changed.
        catalog::ReadBack unreadable = catalog::ReadCatalogPage(before);
        const Paths oldPaths(unreadable.tree);
        for (std::size_t i = 1; i < oldPaths.folders.size(); ++i) {
            const auto still = std::find(paths.folders.begin(), paths.folders.end(), oldPaths.folders[i]);
            if (still == paths.folders.end())
                continue;
            unreadable.tree.folders[i].flags = catalog::ffUnreadable;
            const catalog::Changes partial = catalog::Compare(second.tree, unreadable.tree);
            const std::wstring below = *still + L"\\";
            EXPECT_NE(std::find(partial.notCompared.begin(), partial.notCompared.end(),
                                static_cast<std::uint32_t>(still - paths.folders.begin())),
                      partial.notCompared.end());
            for (std::uint32_t j : partial.added)
                EXPECT_NE(paths.files[j].rfind(below, 0), 0u) << tmb::WideToUtf8(paths.files[j]);
            for (const catalog::RemovedFile& r : partial.removed)
                EXPECT_NE((paths.folders[r.folder] + L"\\").rfind(below, 0), 0u);
            break;
        }

        // The same tree copied elsewhere compares equal with the earlier catalogue of itself.
        tmbtest::TempFolder copy;
        for (const std::wstring& f : folders)
            copy.AddFolder(f);
        for (const auto& [path, size] : now)
            CopyFileW((root.Path() + L"\\" + path).c_str(), (copy.Path() + L"\\" + path).c_str(), FALSE);
        const catalog::Totals moved = catalog::WriteCatalog({copy.Path(), pages / L"cat3.htm", true, after});
        EXPECT_EQ(moved.added + moved.removed + moved.changed, 0u) << "seed " << seed;
    }
}

TEST(CatalogRead, AnEarlierCatalogueThatCannotBeReadIsRefusedWithItsOwnReasonAndNothingWritten) {
    tmbtest::TempFolder root;
    root.AddFile(L"um.txt", 1);
    root.AddFolder(L"sub");
    root.AddFile(L"sub\\dois.txt", 2);
    const std::wstring good = root / L"bom.htm";
    catalog::WriteCatalog({root.Path(), good});
    std::ostringstream bytes;
    bytes << std::ifstream(good.c_str(), std::ios::binary).rdbuf();
    const std::string page = bytes.str();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string edited = page;
        edited.replace(edited.find(from), from.size(), to);
        return edited;
    };
    const struct {
        std::string bytes;
        const wchar_t* says;
    } cases[] = {
        {"<html><body>uma p\xC3\xA1gina qualquer</body></html>", L"n\u00e3o \u00e9 um cat\u00e1logo do Tombarel"},
        {replaced("tombarel-catalogo\t1\n", "tombarel-catalogo\t2\n"), L"vers\u00e3o mais nova"},
        {page.substr(0, page.find("\nF\n") + 5), L"incompleto"},
        {replaced("\narquivos\t2\n", "\narquivos\t3\n"), L"alterado \u00e0 m\u00e3o"},
        // Texts a new page carries (a removed file, the earlier date): a browser ends the data
        // block at "</SCRIPT>" too, and so does the reader.
        {replaced("\num.txt\n", "\num.txt</SCRIPT><img src=x onerror=alert(1)>\n"), L"num \"</script\" antes do fim"},
        {replaced("\ndata\t", "\ndata\t</SCRIPT>"), L"num \"</script\" antes do fim"},
        {replaced("\ndata\t", "\ndata\t2026<"), L"um \"<\""},
        {replaced("\ndata\t", "\ndata\t\"x"), L"a data n\u00e3o est\u00e1 escrita"},
    };
    const std::wstring target = root / L"novo.htm";
    for (const auto& c : cases) {
        const std::wstring old = root / L"velho.htm";
        std::ofstream(old.c_str(), std::ios::binary) << c.bytes;
        try {
            catalog::WriteCatalog({root.Path(), target, true, old});
            ADD_FAILURE() << "read back: " << tmb::WideToUtf8(c.says);
        } catch (const tmb::Exception& e) {
            EXPECT_NE(e.Message().find(c.says), std::wstring::npos) << tmb::WideToUtf8(e.Message());
        }
        EXPECT_FALSE(tmbtest::FileExists(target));
    }
    EXPECT_EQ(catalog::ReadCatalogPage(good).totals.files, 2u);
}

// An earlier catalogue of a chain of `depth` folders "a", each holding a file "f", and the root
// the files "a!" and "a~" (which sort before and after "a\\..."); the new tree has none of them.
std::string Base36(std::uint64_t v) {
    std::string s;
    for (; v; v /= 36)
        s.insert(s.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36]);
    return s;
}

std::string Chain(int depth) {
    const auto times = [](const std::string& text, int n) {
        std::string out;
        while (n--)
            out += text;
        return out;
    };
    return "<script type=\"text/plain\" id=\"tombarel-dados\" data-formato=\"tombarel-catalogo\">tombarel-catalogo\t1\nH\n"
           "raiz\tC:\\\\x\ndata\t2026-01-01T00:00:00Z\npastas\t" + Base36(depth + 1) + "\narquivos\t" + Base36(depth + 2) + "\nbytes\t" + Base36(depth + 2) +
           "\nN\nC:\\\\x\n" + times("a\n", depth) + "a!\na~\n" + times("f\n", depth) + "P\n\t2\t\t\t\n" +
           times("1\t1\t\t\t\n", depth) + "F\n" + times("1\t\t\n", depth + 2) + "E\n.\n</script>";
}

TEST(CatalogCompare, PathsAsLongAsWindowsHoldsAreComparedAndLongerOnesRefused) {
    tmbtest::TempFolder root, pages;
    // A catalogued folder whose own path is long.
    std::wstring deep = L"\\\\?\\" + root.Path();
    while (deep.size() < 2500) {
        deep += L"\\" + std::wstring(120, L'n');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    catalog::WriteCatalog({deep, pages / L"fundo.htm"});
    const catalog::Totals same = catalog::WriteCatalog({deep, pages / L"fundo2.htm", true, pages / L"fundo.htm"});
    EXPECT_EQ(same.added + same.removed + same.changed, 0u);
    // A tree gone whose paths are long: each removed file's path written whole, in path order.
    const std::wstring chain = pages / L"cadeia.htm", now = pages / L"novo.htm";
    ASSERT_TRUE(tmbtest::WriteFileBytes(chain, Chain(2000)));
    EXPECT_EQ(catalog::WriteCatalog({root.Path(), now, true, chain}).removed, 2002u);
    const std::string page = tmbtest::ReadFileBytes(now);
    const std::size_t from = page.find("\nR\n") + 3;
    std::istringstream removed(page.substr(from, page.find("\nX\n") - from));
    std::string line, last;
    std::vector<std::string> paths;
    while (std::getline(removed, line))
        paths.push_back(line.substr(1, line.find('\t', 1) - 1));  // folder 0 is written as nothing
    ASSERT_EQ(paths.size(), 2002u);
    EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end()));
    EXPECT_EQ(paths.front(), "a!");
    EXPECT_EQ(paths.back(), "a~");
    std::string deepest;
    for (int i = 0; i < 2000; ++i)
        deepest += "a\\\\";
    EXPECT_EQ(paths[1], deepest + "f");
    // A chain deeper than any Windows path (100,000 folders in a megabyte) is refused at once.
    ASSERT_TRUE(tmbtest::WriteFileBytes(chain, Chain(100000)));
    try {
        catalog::WriteCatalog({root.Path(), now, true, chain});
        ADD_FAILURE() << "a path past 32,767 characters was read";
    } catch (const tmb::Exception& e) {
        EXPECT_NE(e.Message().find(L"32.767"), std::wstring::npos) << U8(e.Message());
    }
}

} // namespace
