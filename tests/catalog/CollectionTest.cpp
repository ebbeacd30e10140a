// A collection built as a user builds one: discs put into a drive one after the other and
// added, one of them again after it changed, a catalogue joined, a volume removed; every step
// read back volume by volume. And what is not a collection, or is damaged, left as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/Catalog.h"
#include "catalog/CatalogReader.h"
#include "catalog/Collection.h"
#include "catalog/PageLines.h"
#include "framework/Exception.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WineDrives.h"

namespace {

std::string FileBytes(const std::wstring& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return bytes.str();
}

void WriteText(const std::wstring& path, const std::string& text) {
    std::ofstream(path.c_str(), std::ios::binary) << text;
}

// A disc: its label and serial number as Wine reads them from the medium's root, and files.
void BurnDisc(tmbtest::WineDrive& drive, const char* label, const char* serial,
              const std::vector<std::pair<std::wstring, std::string>>& files) {
    drive.EjectMedium();
    ASSERT_TRUE(drive.InsertMedium());
    WriteText(drive.MediumDir() + L"\\.windows-label", label);
    WriteText(drive.MediumDir() + L"\\.windows-serial", serial);
    for (const auto& [name, content] : files) {
        const std::size_t slash = name.rfind(L'\\');
        if (slash != std::wstring::npos)
            CreateDirectoryW((drive.MediumDir() + L"\\" + name.substr(0, slash)).c_str(), nullptr);
        WriteText(drive.MediumDir() + L"\\" + name, content);
    }
    ASSERT_TRUE(drive.Redefine());
}

// The volumes of a collection page as Tombarel reads them back, every line checked.
std::vector<catalog::BlockFacts> Volumes(const std::wstring& page) {
    catalog::PageLines lines(page);
    EXPECT_EQ(lines.FindData(), "tombarel-colecao");
    std::vector<catalog::BlockFacts> volumes;
    std::string_view line;
    EXPECT_TRUE(lines.Next(line));
    EXPECT_EQ(line, "tombarel-colecao\t1");
    while (lines.Next(line) && line != ".") {
        EXPECT_EQ(line.substr(0, 2), "V\t");
        volumes.push_back(catalog::ReadBlock(lines, nullptr));
    }
    EXPECT_FALSE(lines.Next(line));  // the element ends after the last "."
    return volumes;
}

std::vector<std::string> Names(const std::vector<catalog::BlockFacts>& volumes) {
    std::vector<std::string> names;
    for (const catalog::BlockFacts& v : volumes)
        names.push_back(tmb::WideToUtf8(v.volumeName));
    return names;
}

TEST(Collection, DiscsAddedReplacedJoinedAndRemovedAreReadBackInTheirPlaces) {
    tmbtest::WineDrive drive(L'P', DRIVE_REMOVABLE, false);
    ASSERT_TRUE(drive.Defined()) << "the mount manager refused drive P:";
    tmbtest::TempFolder out;
    const std::wstring page = out / L"Colecao.htm";
    auto add = [&](const std::wstring& name = {}) {
        catalog::CollectionRequest request;
        request.file = page;
        request.folders = {drive.Root()};
        request.name = name;
        return catalog::WriteCollection(request);
    };

    BurnDisc(drive, "FERIAS", "1a2b3c4d", {{L"praia.jpg", "12345"}, {L"fotos\\mar.jpg", "1234567"}});
    catalog::CollectionTotals t = add();
    EXPECT_EQ(t.added, 1u);
    BurnDisc(drive, "TRABALHO", "55667788", {{L"relatorio.pdf", "abc"}});
    t = add();
    EXPECT_EQ(t.volumes, 2u);
    // The first disc again, in the same drive, one file more: it replaces its earlier version.
    BurnDisc(drive, "FERIAS", "1a2b3c4d",
             {{L"praia.jpg", "12345"}, {L"fotos\\mar.jpg", "1234567"}, {L"fotos\\sol.jpg", "12"}});
    t = add();
    EXPECT_EQ(t.replaced, 1u);
    EXPECT_EQ(t.volumes, 2u);
    std::vector<catalog::BlockFacts> volumes = Volumes(page);
    ASSERT_EQ(Names(volumes), (std::vector<std::string>{"FERIAS", "TRABALHO"}));
    EXPECT_EQ(volumes[0].serial, "1A2B3C4D");
    EXPECT_EQ(volumes[0].below, L"\\");
    EXPECT_EQ(volumes[1].label, L"TRABALHO");
    const std::string bytes = FileBytes(page);
    EXPECT_NE(bytes.find("data-volumes=\"2\""), std::string::npos);
    // The replaced volume tells what changed since the version it replaced.
    EXPECT_NE(bytes.find("adicionados\t1\n"), std::string::npos);

    // A catalogue written earlier joins as it was written; another /nome is another volume.
    tmbtest::TempFolder folder;
    folder.AddFile(L"nota.txt", 7);
    folder.AddFile(L"X", 1);  // a name that looks like a section's line
    catalog::WriteCatalog({folder.Path(), out / L"c.htm"});
    catalog::CollectionRequest join;
    join.file = page;
    join.join = {out / L"c.htm"};
    t = catalog::WriteCollection(join);
    EXPECT_EQ(t.added, 1u);
    t = add(L"Sem r\u00f3tulo");
    volumes = Volumes(page);
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[2].root, folder.Path());
    EXPECT_EQ(volumes[3].volumeName, L"Sem r\u00f3tulo");

    catalog::CollectionRequest remove;
    remove.file = page;
    remove.remove = L"trabalho";  // a name ignoring case
    t = catalog::WriteCollection(remove);
    EXPECT_EQ(t.removed, 1u);
    EXPECT_EQ(Names(Volumes(page)), (std::vector<std::string>{"FERIAS", tmb::WideToUtf8(folder.Path()),
                                                              "Sem r\xC3\xB3tulo"}));
    // The last disc in the drive is FERIAS again, under another name; the files Wine reads the
    // label and serial number from are files of the disc too.
    EXPECT_EQ(t.totals.files, 5u + 2u + 5u);
}

TEST(Collection, APageThatIsNoCollectionOrIsDamagedIsLeftAsItWas) {
    tmbtest::TempFolder out;
    tmbtest::TempFolder folder;
    folder.AddFile(L"a.txt", 3);
    catalog::CollectionRequest request;
    request.file = out / L"Colecao.htm";
    request.folders = {folder.Path()};
    catalog::WriteCollection(request);
    const std::string good = FileBytes(request.file);
    auto damaged = [&](const std::string& from, const std::string& to) {
        std::string bytes = good;
        const std::size_t at = bytes.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? bytes : bytes.replace(at, from.size(), to);
    };
    const std::string cases[] = {
        "<html><body>a page of someone else's</body></html>",
        damaged("tombarel-colecao\t1\n", "tombarel-colecao\t2\n"),          // a newer version
        damaged("\nN\n", "\nN\nx</SCRIPT><script>alert(1)</script>\n"),     // markup in a name
        damaged("\n.\n.\n", "\n.\n"),                                       // cut short
        damaged("a.txt\n", "a\tb.txt\n"),                                   // a tab in a name
        good.substr(0, good.find("\nF\n") + 3),                            // cut inside the data
    };
    for (const std::string& bytes : cases) {
        WriteText(request.file, bytes);
        EXPECT_THROW(catalog::WriteCollection(request), tmb::Exception) << "case " << (&bytes - cases);
        EXPECT_EQ(FileBytes(request.file), bytes);
    }
}

} // namespace
