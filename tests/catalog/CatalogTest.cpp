// The catalogue's rules the page test cannot reach from the browser: what the walk lists and
// never follows, the links' base, and a write that stops or fails leaving the old file as it
// was, for the page and the CSV alike.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

#include "catalog/Catalog.h"
#include "catalog/CatalogPage.h"
#include "catalog/CatalogWalk.h"
#include "framework/Handles.h"
#include "framework/ReplacingFile.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"

namespace {

using catalog::CatalogTree;

std::string ReadBytes(const std::wstring& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return bytes.str();
}

bool AnyTemporaryFile(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    return static_cast<bool>(tmb::FindHandle(FindFirstFileW((folder + L"\\~tombarel*").c_str(), &fd)));
}

// Names are kept as the page carries them: the inside of a JSON string.
std::string Escaped(const std::wstring& name) {
    std::string out;
    catalog::AppendEscapedUtf8(out, name);
    return out;
}

std::string FolderName(const CatalogTree& tree, std::size_t i) {
    return std::string(tree.names[tree.folders[i].name]);
}

// A tree with a hidden file, a hidden folder, a system file and a path past 260 characters.
struct Sample {
    tmbtest::TempFolder root;
    std::wstring deep;
    Sample() {
        root.AddFile(L"a.txt", 10);
        root.AddFile(L"oculto.txt", 20, FILE_ATTRIBUTE_HIDDEN);
        root.AddFolder(L"A pasta oculta");
        SetFileAttributesW((root / L"A pasta oculta").c_str(), FILE_ATTRIBUTE_HIDDEN);
        root.AddFile(L"A pasta oculta\\dentro.txt", 30);
        root.AddFile(L"sistema.sys", 40, FILE_ATTRIBUTE_SYSTEM);
        deep = root.Path();
        for (int i = 0; deep.size() < 300; ++i) {
            deep += L"\\n\u00edvel " + std::to_wstring(i) + L" com um nome comprido";
            CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
        }
        tmb::FileHandle f(CreateFileW((L"\\\\?\\" + deep + L"\\fundo.txt").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(f.get(), "12345", 5, &written, nullptr);
    }
};

TEST(CatalogWalk, ListsEverythingOnceInPreOrderAndLeavesOutOnlyWhatItWasAsked) {
    Sample sample;
    const std::wstring root = catalog::CanonicalFolder(sample.root.Path());
    struct Case {
        bool includeHidden;
        std::uint64_t files, bytes;
    };
    // a, hidden, the hidden folder's file, system, the deep file / a and the deep file.
    for (const Case& c : {Case{true, 5, 105}, Case{false, 2, 15}}) {
        CatalogTree tree;
        catalog::WalkOptions options;
        options.includeHidden = c.includeHidden;
        const catalog::Totals totals = catalog::WalkTree(root, options, tree, {});
        EXPECT_EQ(totals.files, c.files);
        EXPECT_EQ(totals.bytes, c.bytes);
        EXPECT_EQ(totals.unreadable, 0u);
        ASSERT_EQ(tree.files.Size(), c.files);
        // Pre-order: every folder after its parent, and the files of each folder add up.
        std::uint64_t files = 0;
        for (std::size_t i = 0; i < tree.folders.Size(); ++i) {
            if (i > 0) {
                EXPECT_LT(tree.folders[i].parent, i);
            }
            files += tree.folders[i].fileCount;
        }
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(FolderName(tree, 0), Escaped(root));
        EXPECT_EQ(tree.names[tree.files[tree.files.Size() - 1].name], "fundo.txt")
            << "the deepest file, past 260 characters, comes last";
    }
}

TEST(CatalogWalk, ALinkToAFolderIsListedAndNeverFollowed) {
    // Made from the Unix side by the test script: sub\up -> .., sub\self -> .
    const std::wstring loop = L"C:\\tombarel-fixtures\\linkloop";
    ASSERT_TRUE(tmbtest::FolderExists(loop + L"\\sub\\up")) << "the fixture is made by scripts/test.sh";
    CatalogTree tree;
    const catalog::Totals totals = catalog::WalkTree(catalog::CanonicalFolder(loop), {}, tree, {});
    EXPECT_EQ(totals.files, 1u);
    EXPECT_EQ(totals.bytes, 500u);
    ASSERT_EQ(tree.folders.Size(), 4u);  // linkloop, sub, self, up
    for (std::size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(tree.folders[i].flags, catalog::ffLink) << FolderName(tree, i);
        EXPECT_EQ(tree.folders[i].fileCount, 0u);
    }
}

TEST(CatalogPage, LinksAreRelativeInsideTheTreeAndAbsoluteOutsideIt) {
    struct Case {
        const wchar_t* root;
        const wchar_t* page;
        const wchar_t* base;
    };
    const Case cases[] = {
        {L"C:\\Fotos", L"C:\\Fotos\\Catalogo.htm", L"./"},
        {L"C:\\Fotos", L"c:\\fotos\\2024\\Dez\\Catalogo.htm", L"../../"},
        {L"C:\\", L"C:\\Catalogo.htm", L"./"},
        {L"C:\\", L"C:\\x\\Catalogo.htm", L"../"},
        {L"C:\\Fotos", L"C:\\Fotos antigas\\Catalogo.htm", L"file:///C:/Fotos/"},
        {L"D:\\M\u00fasica & #1\\50%", L"C:\\c.htm", L"file:///D:/M%C3%BAsica%20%26%20%231/50%25/"},
        {L"\\\\servidor\\parte\\a b", L"C:\\c.htm", L"file://servidor/parte/a%20b/"},
        {L"C:\\", L"D:\\c.htm", L"file:///C:/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(catalog::LinkBase(c.root, c.page), c.base) << tmb::WideToUtf8(c.page);
}

TEST(CatalogWrite, DoesNotListItselfAndAStoppedWriteLeavesTheOldPageAndNoTemporaryFile) {
    Sample sample;
    const std::wstring page = sample.root / L"Catalogo.htm";
    const catalog::Totals first = catalog::WriteCatalog({sample.root.Path(), page});
    EXPECT_EQ(first.files, 5u) << "neither the page nor its temporary file is listed";
    const std::string written = ReadBytes(page);
    EXPECT_NE(written.find("data-files=\"5\""), std::string::npos);
    EXPECT_EQ(written.substr(written.rfind("\n.\n") + 3, 9), "</script>") << "the data block is whole";
    // Again over the page it wrote: the totals stay those of the tree.
    EXPECT_EQ(catalog::WriteCatalog({sample.root.Path(), page}).files, 5u);
    const std::string old = ReadBytes(page);
    // Stopped while reading, and while writing.
    for (const auto phase : {catalog::Progress::Phase::Reading, catalog::Progress::Phase::Writing}) {
        const auto stop = [phase](const catalog::Progress& p) { return p.phase != phase; };
        EXPECT_THROW(catalog::WriteCatalog({sample.root.Path(), page}, stop), catalog::Cancelled);
        EXPECT_EQ(ReadBytes(page), old);
        EXPECT_FALSE(AnyTemporaryFile(sample.root.Path()));
    }
    // A page that may not be replaced is refused before the walk, with the platform's text.
    SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        catalog::WriteCatalog({sample.root.Path(), page});
        ADD_FAILURE() << "a read-only page was replaced";
    } catch (const tmb::EFCreateError& e) {
        EXPECT_EQ(e.Message().rfind(L"Cannot create file \"", 0), 0u);
    }
    SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(page), old);
    EXPECT_FALSE(AnyTemporaryFile(sample.root.Path()));
}

TEST(CatalogPage, TheHeadersDatesAndSizesReadAsTheViewerWritesTheRows) {
    // As the viewer's sizeText writes them (computed with it): its units, one decimal below
    // 100, halves rounded up, "." grouping.
    const std::pair<std::uint64_t, const char*> sizes[] = {
        {0, "0 bytes"}, {1, "1 byte"}, {1023, "1.023 bytes"}, {1024, "1,0 KB"}, {1126, "1,1 KB"},
        {102348, "99,9 KB"}, {102349, "100,0 KB"}, {102912, "101 KB"}, {1048064, "1.024 KB"},
        {1048576, "1,0 MB"}, {5368709121, "5,0 GB"}, {1125350151028736, "1.024 TB"},
        {9007199254740991, "8,0 PB"}};
    for (const auto& [bytes, text] : sizes)
        EXPECT_EQ(catalog::SizeText(bytes), text) << bytes;
    // The test runs in Paris time (scripts/test.sh): summer and winter time, and a UTC
    // evening that is already the next year here.
    EXPECT_EQ(catalog::DateText({2026, 7, 0, 1, 12, 0, 0, 0}), "01/07/2026 14:00:00");
    EXPECT_EQ(catalog::DateText({2026, 12, 0, 31, 23, 30, 5, 0}), "01/01/2027 00:30:05");
    Sample sample;
    catalog::WriteCatalog({sample.root.Path(), sample.root / L"Catalogo.htm"});
    const std::string written = ReadBytes(sample.root / L"Catalogo.htm");
    const std::string summary = written.substr(written.find("Gerado em "), 80);
    EXPECT_TRUE(std::regex_search(summary, std::regex("^Gerado em \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d \xC2\xB7 "
                                                      "5 arquivos \xC2\xB7 \\d+ pastas \xC2\xB7 105 bytes<"))) << summary;
}

TEST(CatalogWrite, TemporaryFilesAreNeverListedAndOnlyOldOnesNoRunHoldsAreRemoved) {
    tmbtest::TempFolder root;
    const auto old = [](const std::wstring& path) {
        const FILETIME longAgo{0, 0x01D00000};  // in 2014
        SetFileTime(tmb::FileHandle(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr)).get(),
                    nullptr, nullptr, &longAgo);
        return path;
    };
    // Names a user may give, old too: listed, and kept.
    root.AddFile(L"a.txt", 1);
    for (const wchar_t* name : {L"~tombarel.tmp", L"~tombarel1-2.tmp.txt", L"~Tombarel1-2.tmp", L"~tombarel-1-2.tmp",
                                L"~tombarel12345678901-2.tmp", L"~tombarel3-4.TMP", L"tombarel1-2.tmp"})
        old(root.AddFile(name, 1));
    const std::wstring killed = old(root.AddFile(tmb::ReplacingFile::TemporaryName(123, 4000000000u), 10));
    const std::wstring held = old(root.AddFile(L"~tombarel7-8.tmp", 10));
    const std::wstring recent = root.AddFile(L"~tombarel9-10.tmp", 10);
    root.AddFolder(L"sub");
    const std::wstring below = old(root.AddFile(L"sub\\~tombarel11-12.tmp", 10));
    // A run still writing holds its file open without sharing.
    tmb::FileHandle running(CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    for (int run = 0; run < 2; ++run) {
        const catalog::Totals totals = catalog::WriteCatalog({root.Path(), root / L"Catalogo.htm"});
        EXPECT_EQ(totals.files, 8u);
        EXPECT_EQ(totals.bytes, 8u);
    }
    EXPECT_FALSE(tmbtest::FileExists(killed));
    EXPECT_TRUE(tmbtest::FileExists(held) && tmbtest::FileExists(recent));
    EXPECT_TRUE(tmbtest::FileExists(below)) << "only the target's folder is cleaned";
}

TEST(CatalogWrite, BothFormatsFailInTheSameOrderAndLeaveTheOldFileAsItWas) {
    tmbtest::TempFolder root, out;
    root.AddFile(L"um.txt", 1);
    root.AddFolder(L"sub");
    root.AddFile(L"sub\\dois.txt", 2);
    const std::wstring notCatalogue = out.AddFile(L"velho.htm", 100);
    using Job = catalog::Totals (*)(const catalog::Request&, const catalog::ProgressFn&);
    const struct {
        Job job;
        const wchar_t* file;
    } formats[] = {{catalog::WriteCatalog, L"Catalogo.htm"}, {catalog::WriteCsv, L"dados.csv"}};
    std::vector<std::wstring> reasons;
    for (const auto& format : formats) {
        SCOPED_TRACE(tmb::WideToUtf8(format.file));
        const std::wstring target = out / format.file;
        format.job({root.Path(), target}, {});
        const std::string old = ReadBytes(target);
        // Stopped while reading, and while writing (however short the writing is).
        for (const auto phase : {catalog::Progress::Phase::Reading, catalog::Progress::Phase::Writing}) {
            const auto stop = [phase](const catalog::Progress& p) { return p.phase != phase; };
            EXPECT_THROW(format.job({root.Path(), target}, stop), catalog::Cancelled);
        }
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
        // A target that may not be replaced is refused before the walk begins.
        int calls = 0;
        const auto count = [&calls](const catalog::Progress&) {
            ++calls;
            return true;
        };
        EXPECT_THROW(format.job({root.Path(), target}, count), tmb::EFCreateError);
        EXPECT_EQ(calls, 0);
        // An earlier catalogue that cannot be read is, before the target: its own reason.
        try {
            format.job({root.Path(), target, true, notCatalogue}, {});
            ADD_FAILURE() << "a page that is no catalogue was compared with";
        } catch (const tmb::Exception& e) {
            reasons.push_back(e.Message());
        }
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_FALSE(AnyTemporaryFile(out.Path()));
    }
    ASSERT_EQ(reasons.size(), 2u);
    EXPECT_EQ(reasons[0], reasons[1]);
    EXPECT_NE(reasons[0].find(L"n\u00e3o \u00e9 um cat\u00e1logo"), std::wstring::npos) << tmb::WideToUtf8(reasons[0]);
}

} // namespace
