// Names left out of a catalogue by pattern: the match itself over a table (with the patterns
// that make naive matchers take exponential time), and a walk that leaves out a folder with
// everything below it while the page and the CSV say what was left out.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "catalog/Catalog.h"
#include "catalog/CatalogReader.h"
#include "catalog/NamePattern.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"

namespace {

std::string FileBytes(const std::wstring& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return bytes.str();
}

TEST(CatalogExclude, APatternMatchesTheWholeNameIgnoringCaseWhateverItHolds) {
    const std::wstring longA(255, L'a');
    struct Case {
        const wchar_t* pattern;
        std::wstring name;
        bool matches;
    } cases[] = {
        {L"node_modules", L"node_modules", true},
        {L"node_modules", L"NODE_MODULES", true},
        {L"node_modules", L"node_modules2", false},   // the whole name, not a part
        {L"node_modules", L"my_node_modules", false},
        {L"*.tmp", L"x.TMP", true},
        {L"*.tmp", L".tmp", true},
        {L"*.tmp", L"x.tmp.txt", false},
        {L"$RECYCLE.BIN", L"$Recycle.Bin", true},
        {L"?", L"", false},
        {L"?", L"\u00e9", true},
        {L"?", L"\U0001F600", true},                  // a pair of surrogates is one character
        {L"??", L"\U0001F600", false},
        {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},
        {L"**", L"", true},
        {L"*", L"qualquer coisa", true},
        {L"*b*", L"abc", true},
        {L"\u00c9*", L"\u00e9cole", true},             // accented capitals fold too
        {L"*a*a*a*a*a*a*a*a*b", longA, false},       // a backtracking matcher never ends here
        {L"*a*a*a*a*a*a*a*a*a", longA, true},
        {L"a*a*a*a*a*a*a*a*?*b", longA + L"b", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(catalog::NamePattern(c.pattern).Matches(c.name), c.matches)
            << tmb::WideToUtf8(c.pattern) << " on " << tmb::WideToUtf8(c.name);
}

TEST(CatalogExclude, AWalkLeavesOutWhatMatchesWithEverythingBelowAndThePageAndCsvSaySo) {
    tmbtest::TempFolder root;
    for (const wchar_t* folder : {L"node_modules", L"node_modules\\sub", L"src", L"src\\node_modules", L"$RECYCLE.BIN"})
        root.AddFolder(folder);
    root.AddFile(L"fica.txt", 10);
    root.AddFile(L"rascunho.TMP", 20);
    root.AddFile(L"node_modules\\a.js", 30);
    root.AddFile(L"node_modules\\sub\\b.js", 40);
    root.AddFile(L"src\\main.c", 50);
    root.AddFile(L"src\\node_modules\\c.js", 60);
    root.AddFile(L"$RECYCLE.BIN\\d.bin", 70);
    tmbtest::TempFolder out;
    catalog::Request request{root.Path(), out / L"c.htm"};
    request.exclude = {L"node_modules", L"*.tmp", L"$recycle.bin"};
    const catalog::Totals totals = catalog::WriteCatalog(request);
    EXPECT_EQ(totals.files, 2u);       // fica.txt, src\main.c
    EXPECT_EQ(totals.folders, 2u);     // the root, src
    EXPECT_EQ(totals.bytes, 60u);
    EXPECT_EQ(totals.leftOut, 4u);     // the .TMP file and three folders, not what they hold

    const std::string page = FileBytes(out / L"c.htm");
    EXPECT_NE(page.find("\nexcluir\tnode_modules\nexcluir\t*.tmp\nexcluir\t$recycle.bin\nexcluidos\t4\n"),
              std::string::npos);
    EXPECT_NE(page.find("Deixados de fora pelo nome: <code>node_modules</code>, <code>*.tmp</code>, "
                        "<code>$recycle.bin</code> (4 itens"),
              std::string::npos);
    // Still a catalogue Tombarel reads back (an earlier one to compare with), its counts whole.
    const catalog::ReadBack back = catalog::ReadCatalogPage(out / L"c.htm");
    EXPECT_EQ(back.totals.files, 2u);
    EXPECT_EQ(back.totals.folders, 2u);

    request.file = out / L"c.csv";
    catalog::WriteCsv(request);
    const std::string csv = FileBytes(out / L"c.csv");
    EXPECT_NE(csv.find("fica.txt"), std::string::npos);
    for (const char* gone : {"node_modules", "rascunho", "RECYCLE", "a.js", "c.js"})
        EXPECT_EQ(csv.find(gone), std::string::npos) << gone;
}

} // namespace
