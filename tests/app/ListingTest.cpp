// The listings through the real window: "Gerar html" and the page's exact lines and bytes,
// links that open every listed file, "Salvar" with its questions and the CD-ROM case,
// "Limpar", and "Salvar em texto" with its save dialog.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "tests/app/WindowFixture.h"

#include <iterator>
#include <regex>

#include "app/Listings.h"
#include "app/tombarel.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Locale.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/support/DialogScript.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"
#include "tests/support/WineDrives.h"

namespace {

using app::Tfmtextdir;
using tmbtest::ModalCall;

constexpr DWORD kMaxUrl = 2084;

// Splits at CR LF; the text must end with one.
std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t at; (at = text.find(L"\r\n", start)) != std::wstring::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
    return lines;
}

// True when nothing on disk matches `pattern` (a temporary file left behind, say).
bool NothingMatches(const std::wstring& pattern) {
    WIN32_FIND_DATAW fd;
    return !tmb::FindHandle(FindFirstFileW(pattern.c_str(), &fd));
}

// Lines `first`, `first + 1`, ... of a listing, each as expected.
void ExpectLines(const std::vector<std::wstring>& lines, std::size_t first,
                 std::initializer_list<std::wstring> expected) {
    for (const std::wstring& line : expected) {
        ASSERT_LT(first, lines.size());
        EXPECT_EQ(lines[first], line) << "line " << first;
        ++first;
    }
}

class Listing : public tmbtest::WindowFixture {
protected:
    void Press(xp::TtfXPButton* button) { tmbtest::Click(button->Handle(), 20, 10); }
    // The window opened on the folder, with "Gerar html" pressed.
    Tfmtextdir* OpenWithPage() { Press(Open()->btgerahtm); return form_; }
};

TEST_F(Listing, GerarHtmlPutsThePageLineForLineIntoThePane) {
    folder_.AddFile(L"b file.txt", 2048);
    folder_.AddFile(L"A.doc", 1024);
    Tfmtextdir* f = Open();
    EXPECT_FALSE(f->btsalvar->Enabled());
    Press(f->btgerahtm);
    const std::vector<std::wstring> lines = Lines(f->result->Text());
    ASSERT_EQ(lines.size(), 2u + 16u);
    const std::wstring style = L"<STYLE>BODY {SCROLLBAR-FACE-COLOR: #ffffff;SCROLLBAR-HIGHLIGHT-COLOR:666699;"
                               L"SCROLLBAR-SHADOW-COLOR: #006600;SCROLLBAR-3DLIGHT-COLOR: #000000;";
    ExpectLines(lines, 0, {L"<html>", L"<head><title>Tombarel</title></head>", L"<body>", style, style,
                           L"</STYLE> <STYLE> .linkmenu {COLOR: #666699; TEXT-DECORATION: none} "
                           L".linkmenu:hover { \tCOLOR: #999999; TEXT-DECORATION: none } A {COLOR: "
                           L"#666699; TEXT-DECORATION: none} A:hover {COLOR: #000000} </STYLE>",
                           L"<h3><p align=\"center\"><a href=\"http://" + std::wstring(app::kMakerSite) +
                               L"\"> Tombarel - 1.0</a></h3></p>"});
    // Date and time as the user's short date and long time, joined by " - ".
    EXPECT_TRUE(std::regex_match(tmb::WideToUtf8(lines[7]),
                                 std::regex("<strong>Data: </strong>\\d{1,2}/\\d{1,2}/\\d{4} - "
                                            "\\d{1,2}:\\d{2}:\\d{2}( [AP]M)?<br>")))
        << tmb::WideToUtf8(lines[7]);
    ExpectLines(lines, 8, {L"<strong>Diret\u00f3rio: </strong>" + folder_.Path(), L"<p>",
                           L"Lista de arquivos:<br><br>", L"<a href=\"A.doc\">A.doc<br>",
                           L"<a href=\"b file.txt\">b file.txt<br>", L"</a><p>",
                           L"<strong>Total: </strong>2 arquivos<br>", L"Tamanho total: 3 KB<br>",
                           L"</body>", L"</html>"});
    EXPECT_TRUE(f->btsalvar->Enabled());
}

TEST_F(Listing, AnEmptyFolderGivesNoPageEvenRightAfterAGoodOne) {
    folder_.AddFile(L"x.txt");
    tmbtest::TempFolder empty;
    Tfmtextdir* f = OpenWithPage();
    ASSERT_TRUE(f->btsalvar->Enabled());
    f->dirs->OpenFolder(empty.Path());
    EXPECT_FALSE(f->btsalvar->Enabled());  // the folder change emptied the pane
    f->result->SetText(L"stale");
    Press(f->btgerahtm);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].kind, ModalCall::Kind::MessageBox);
    EXPECT_EQ(script_.Calls()[0].text, L"O diret\u00f3rio selecionado esta vazio.");
    EXPECT_EQ(script_.Calls()[0].caption, L"Tombarel");
    EXPECT_EQ(f->result->Text(), L"");
    EXPECT_FALSE(f->btsalvar->Enabled());
}

TEST_F(Listing, LimparEmptiesThePaneAndDisablesSalvar) {
    folder_.AddFile(L"x.txt");
    Tfmtextdir* f = Open();
    Press(f->tfXPButton1);
    EXPECT_FALSE(f->btsalvar->Enabled());
    Press(f->btgerahtm);
    EXPECT_TRUE(f->btsalvar->Enabled());
    Press(f->tfXPButton1);
    EXPECT_EQ(f->result->Text(), L"");
    EXPECT_FALSE(f->btsalvar->Enabled());
}

TEST_F(Listing, SalvarWritesListaHtmInTheFolderInTheAnsiCodePageAndOffersToShowIt) {
    folder_.AddFile(L"caf\u00e9.txt", 10);
    Tfmtextdir* f = OpenWithPage();
    const std::wstring page = f->result->Text();
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    const std::wstring d = folder_.Path() + L"\\";
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].text, L"Lista de arquivos criada em:\r" + d + L"\rDeseja visualiza-la?");
    EXPECT_EQ(script_.Calls()[0].caption, L"Confirm");
    EXPECT_EQ(script_.Calls()[0].flags, unsigned(tmb::mbYes | tmb::mbNo));

    const std::string bytes = tmbtest::ReadFileBytes(d + L"Lista.htm");
    EXPECT_EQ(bytes, tmb::WideToAnsi(page));
    EXPECT_NE(bytes.find("<strong>Diret\xF3rio: </strong>"), std::string::npos);  // one byte
    EXPECT_NE(bytes.find("caf\xE9.txt"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 9), "</html>\r\n");
    // The list was read again: the page is listed and counted, the pane kept.
    EXPECT_EQ(f->files->Count(), 2);
    EXPECT_EQ(f->Label4->Text(), L"Total: 2 arquivo(s)");
    EXPECT_EQ(f->result->Text(), page);
}

TEST_F(Listing, AnExistingListaHtmIsReplacedOnlyOnYes) {
    folder_.AddFile(L"x.txt");
    const std::wstring lista = folder_ / L"Lista.htm";
    ASSERT_TRUE(tmbtest::WriteFileBytes(lista, "old"));
    Tfmtextdir* f = OpenWithPage();
    // The page lists the old page too, as a link to itself.
    EXPECT_NE(f->result->Text().find(L"<a href=\"Lista.htm\">Lista.htm<br>"), std::wstring::npos);

    const std::wstring question =
        L"J\u00e1 existe um arquivo 'Lista.htm' neste diret\u00f3rio clique em: \r\nYes Para "
        L"sobrescreve-lo;\r\nNo  Para cancelar;\r\nOK Para abrir a pasta e verificar o arquivo.";
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].text, question);
    EXPECT_EQ(script_.Calls()[0].flags, unsigned(tmb::mbYes | tmb::mbNo | tmb::mbOK));
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), "old");

    script_.Clear();
    script_.Answer(tmb::mrYes);
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 2u);
    EXPECT_EQ(script_.Calls()[1].text.substr(0, 28), L"Lista de arquivos criada em:");
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), tmb::WideToAnsi(f->result->Text()));
}

// "Salvar" writes whatever the pane holds, byte for byte as the whole text would be written:
// a page of accented names (one byte a character in the pane), one with a name the code page
// holds above 255 (the euro sign), and a long text the code page cannot hold (UTF-8), with a
// surrogate pair where the pane hands its text out in two pieces.
TEST_F(Listing, SalvarWritesThePanesTextByteForByteWhateverItsCharacters) {
    folder_.AddFile(L"caf\u00e9 cr\u00e8me.txt", 10);
    Tfmtextdir* f = OpenWithPage();
    const std::wstring page = f->result->Text();
    const std::wstring texts[] = {
        page,
        page + L"<a href=\"\u20ac 5.txt\">\u20ac 5.txt<br>\r\n",
        page + std::wstring(65536 - page.size() - 1, L'x') + L"\U0001F600\u00e9\u041f\r\n",
    };
    const std::wstring lista = folder_ / L"Lista.htm";
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(text.size());
        f->result->SetText(text);
        DeleteFileW(lista.c_str());
        script_.Clear();
        script_.Answer(tmb::mrNo);
        Press(f->btsalvar);
        ASSERT_EQ(script_.Calls().size(), 1u);
        EXPECT_EQ(tmbtest::ReadFileBytes(lista), app::ListingBytes(text));
        EXPECT_EQ(f->result->Text(), text);
    }
    EXPECT_EQ(tmbtest::ReadFileBytes(lista).substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(Listing, AFailedWriteReportsThePathAndKeepsTheOldFile) {
    folder_.AddFile(L"x.txt");
    const std::wstring lista = folder_.AddFile(L"Lista.htm", 5, FILE_ATTRIBUTE_READONLY);
    Tfmtextdir* f = OpenWithPage();
    script_.Answer(tmb::mrYes);
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 2u);
    const ModalCall& error = script_.Calls()[1];
    EXPECT_EQ(error.kind, ModalCall::Kind::Error);
    EXPECT_EQ(error.text.substr(0, 21 + lista.size() + 2), L"Cannot create file \"" + lista + L"\". ");
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), std::string(5, '\0'));
    // No temporary file is left behind, and the list was not read again.
    EXPECT_TRUE(NothingMatches(folder_.Path() + L"\\~*"));
}

TEST_F(Listing, AFolderNamedListaHtmIsNoListingToAskAboutAndTheWriteIsRefused) {
    folder_.AddFile(L"x.txt");
    const std::wstring lista = folder_.AddFolder(L"Lista.htm");
    const std::wstring kept = folder_.AddFile(L"Lista.htm\\inner.txt", 7);
    Tfmtextdir* f = OpenWithPage();
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 1u) << tmb::WideToUtf8(script_.Calls()[0].text);
    EXPECT_EQ(script_.Calls()[0].kind, ModalCall::Kind::Error);
    EXPECT_EQ(script_.Calls()[0].text.substr(0, 21 + lista.size() + 2),
              L"Cannot create file \"" + lista + L"\". ");
    EXPECT_TRUE(tmbtest::FolderExists(lista));
    EXPECT_EQ(tmbtest::ReadFileBytes(kept).size(), 7u);
    EXPECT_TRUE(NothingMatches(folder_.Path() + L"\\~*"));
}

// Runs only under a file-size limit of 1 MiB (the registration app_tests_filesizelimit): the
// system refuses the write after its first megabyte, a real failure in the middle of it.
TEST(FileSizeLimit, AWriteFailingHalfwayKeepsTheOldFileByteForByteAndLeavesNoTemporaryFile) {
    tmbtest::TempFolder folder;
    const std::wstring lista = folder / L"Lista.htm";
    const std::string old = "<html>old page</html>\r\n";
    app::WriteFileReplacing(lista, old);
    ASSERT_EQ(tmbtest::ReadFileBytes(lista), old);
    std::string page;
    for (int i = 0; page.size() < (3u << 20); ++i)
        page += "<a href=\"file " + std::to_string(i) + ".txt\">file " + std::to_string(i) + "<br>\r\n";
    try {
        app::WriteFileReplacing(lista, page);
        ADD_FAILURE() << "a 3 MiB write passed a 1 MiB limit: the test runs without the limit";
    } catch (const tmb::EFCreateError& e) {
        EXPECT_EQ(e.Message().substr(0, 21 + lista.size()), L"Cannot create file \"" + lista + L"\"")
            << tmb::WideToUtf8(e.Message());
    }
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), old);
    EXPECT_TRUE(NothingMatches(folder.Path() + L"\\~*"));
}

TEST_F(Listing, ADriveRootIsWrittenWithOneBackslash) {
    StoreFolder(L"c:");
    Tfmtextdir* f = Open();
    ASSERT_TRUE(tmb::SameText(f->files->Directory(), L"C:\\"));
    const std::wstring lista = L"C:\\Lista.htm";
    DeleteFileW(lista.c_str());
    ASSERT_TRUE(tmbtest::WriteFileBytes(L"C:\\root file.txt", ""));
    f->files->Update();
    Press(f->btgerahtm);
    const std::vector<std::wstring> lines = Lines(f->result->Text());
    EXPECT_EQ(lines[8], L"<strong>Diret\u00f3rio: </strong>C:\\");
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    ASSERT_FALSE(script_.Calls().empty());
    EXPECT_EQ(script_.Calls().back().text, L"Lista de arquivos criada em:\rC:\\\rDeseja visualiza-la?");
    EXPECT_TRUE(tmbtest::FileExists(lista));
    DeleteFileW(lista.c_str());
    DeleteFileW(L"C:\\root file.txt");
}

// Every href of a written page, read as a browser reads it (entities decoded) and resolved
// against the page's own location, names the file listed beside it.
TEST_F(Listing, EveryLinkOpensItsFileWhateverItsName) {
    const std::vector<std::wstring> names = {
        L"plain name.txt", L"R&copy.txt",  L"a#b.txt",   L"100%25.txt", L"50% off.txt",
        L"it's.txt",       L"semi;colon.txt", L"a+b=c.txt", L"me@home!.txt", L"~tilde (1).txt",
        L"caf\u00e9 cr\u00e8me.txt", L"\u041f\u0440\u0438\u0432\u0435\u0442.txt",
        L"\u6587\u4ef6.txt", L"smile \U0001F600.txt", L"x&lt;y.txt"};
    for (const std::wstring& n : names)
        folder_.AddFile(n, 1);
    Tfmtextdir* f = OpenWithPage();
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    const std::wstring pagePath = folder_ / L"Lista.htm";
    const std::string bytes = tmbtest::ReadFileBytes(pagePath);
    // Nothing the code page cannot hold was written as a question mark.
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    const std::wstring page = tmb::AnsiToWide(bytes);

    wchar_t base[kMaxUrl];
    DWORD baseLength = kMaxUrl;
    ASSERT_EQ(UrlCreateFromPathW(pagePath.c_str(), base, &baseLength, 0), S_OK);

    const std::wregex link(L"<a href=\"([^\"]*)\">([^<]*)<br>");
    int seen = 0;
    for (auto it = std::wsregex_iterator(page.begin(), page.end(), link); it != std::wsregex_iterator(); ++it) {
        std::wstring href = (*it)[1].str();
        // The browser's part: entities in the attribute, decoded in one pass.
        std::wstring decodedHref;
        for (size_t i = 0; i < href.size();) {
            bool matched = false;
            for (auto [entity, ch] : {std::pair{L"&amp;", L'&'}, std::pair{L"&lt;", L'<'},
                                      std::pair{L"&gt;", L'>'}, std::pair{L"&quot;", L'"'}}) {
                if (href.compare(i, wcslen(entity), entity) == 0) {
                    decodedHref += ch;
                    i += wcslen(entity);
                    matched = true;
                    break;
                }
            }
            if (!matched)
                decodedHref += href[i++];
        }
        href = decodedHref;
        wchar_t url[kMaxUrl];
        DWORD urlLength = kMaxUrl;
        ASSERT_EQ(UrlCombineW(base, href.c_str(), url, &urlLength, 0), S_OK) << tmb::WideToUtf8(href);
        // Percent-escapes are UTF-8 bytes, as a browser makes them.
        std::string raw;
        for (const wchar_t* p = url; *p; ++p) {
            if (*p == L'%' && iswxdigit(p[1]) && iswxdigit(p[2])) {
                raw += static_cast<char>(std::stoi(std::wstring(p + 1, 2), nullptr, 16));
                p += 2;
            } else {
                raw += tmb::WideToUtf8(std::wstring(1, *p));
            }
        }
        const std::wstring decoded = tmb::Utf8ToWide(raw);
        const std::wstring prefix = L"file:///";
        ASSERT_EQ(decoded.substr(0, prefix.size()), prefix) << tmb::WideToUtf8(decoded);
        std::wstring path = decoded.substr(prefix.size());
        for (wchar_t& c : path)
            if (c == L'/') c = L'\\';
        const std::wstring name = path.substr(path.rfind(L'\\') + 1);
        EXPECT_TRUE(tmb::SameText(path, folder_ / name)) << tmb::WideToUtf8(path);
        EXPECT_TRUE(tmbtest::FileExists(path)) << tmb::WideToUtf8(path);
        ++seen;
    }
    EXPECT_EQ(seen, static_cast<int>(names.size()));
    // Ordinary names stay exactly as the window lists them; the others are escaped.
    EXPECT_NE(page.find(L"<a href=\"plain name.txt\">plain name.txt<br>"), std::wstring::npos);
    EXPECT_NE(page.find(L"<a href=\"it's.txt\">it's.txt<br>"), std::wstring::npos);
    EXPECT_NE(page.find(L"<a href=\"R&amp;copy.txt\">R&amp;copy.txt<br>"), std::wstring::npos);
    EXPECT_NE(page.find(L"<a href=\"a%23b.txt\">a#b.txt<br>"), std::wstring::npos);
    EXPECT_NE(page.find(L"<a href=\"100%2525.txt\">100%25.txt<br>"), std::wstring::npos);
    EXPECT_NE(page.find(L"&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;.txt<br>"), std::wstring::npos);
    EXPECT_NE(page.find(L"smile &#128512;.txt<br>"), std::wstring::npos);
}

TEST_F(Listing, AFolderOnACdRomIsListedToTheFallbackPath) {
    tmbtest::WineDrive cd(L'P', DRIVE_CDROM, true);
    ASSERT_TRUE(cd.Defined());
    ASSERT_TRUE(tmbtest::WriteFileBytes(L"P:\\track.cda", ""));
    StoreFolder(L"P:\\");
    DeleteFileW(L"c:\\Lista_cdrom.htm");
    Tfmtextdir* f = Open();
    ASSERT_TRUE(tmb::SameText(f->files->Directory(), L"P:\\"));
    Press(f->btgerahtm);
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].text,
              L"A lista n\u00e3o pode ser criada em uma unidade de CD-ROM\re foi salva em "
              L"c:\\Lista_cdrom.htm\r\rDeseja visualiza-la?\r\rAten\u00e7\u00e3o: Antes de criar "
              L"uma nova lista \rdeste CD, troque o nome da lista atual.");
    EXPECT_EQ(tmbtest::ReadFileBytes(L"c:\\Lista_cdrom.htm"), tmb::WideToAnsi(f->result->Text()));
    EXPECT_FALSE(tmbtest::FileExists(L"P:\\Lista.htm"));

    // Where c:\ refuses the file, the user's Documents folder takes it, and the message
    // names where it went.
    SetFileAttributesW(L"c:\\Lista_cdrom.htm", FILE_ATTRIBUTE_READONLY);
    script_.Clear();
    script_.Answer(tmb::mrNo);
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 1u);
    wchar_t documents[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
    const std::wstring fallback = std::wstring(documents) + L"\\Lista_cdrom.htm";
    EXPECT_NE(script_.Calls()[0].text.find(L"e foi salva em " + fallback + L"\r\r"), std::wstring::npos);
    EXPECT_TRUE(tmbtest::FileExists(fallback));
    SetFileAttributesW(L"c:\\Lista_cdrom.htm", FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(L"c:\\Lista_cdrom.htm");
    DeleteFileW(fallback.c_str());
    DeleteFileW(L"P:\\track.cda");
}

TEST_F(Listing, SalvarEmTextoWritesTheListingWhereTheDialogSays) {
    folder_.AddFile(L"one.txt", 1000);
    folder_.AddFile(L"Two.doc", 48);
    tmbtest::TempFolder elsewhere;
    Tfmtextdir* f = Open();
    const std::wstring target = elsewhere / L"listing.txt";
    script_.AnswerSave(target);
    Press(f->tfXPButton2);
    ASSERT_EQ(script_.Calls().size(), 1u);
    const tmb::SaveDialogRequest& asked = script_.Calls()[0].save;
    EXPECT_EQ(asked.filter, L"Arquivo de texto|*.txt");
    EXPECT_EQ(asked.defaultExt, L"txt");
    EXPECT_EQ(asked.initialDir, folder_.Path());
    EXPECT_EQ(asked.fileName, L"");
    EXPECT_TRUE(asked.flags & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(asked.flags & OFN_HIDEREADONLY);

    const std::string bytes = tmbtest::ReadFileBytes(target);
    const std::vector<std::wstring> lines = Lines(tmb::AnsiToWide(bytes));
    ASSERT_EQ(lines.size(), 2u + 9u);
    EXPECT_EQ(lines[0], L"Tombarel - 1.0");
    EXPECT_EQ(lines[1].substr(0, 6), L"Data: ");
    ExpectLines(lines, 2, {L"Diret\u00f3rio: " + folder_.Path(), L"", L"Lista de arquivos:", L"",
                           L"one.txt", L"Two.doc", L"", L"Total: 2 arquivo(s)", f->Label5->Text()});
    EXPECT_NE(bytes.find("Diret\xF3rio: "), std::string::npos);
    EXPECT_EQ(f->texto->Text(), L"");

    // A second save proposes the name chosen before; a cancel writes nothing anywhere.
    DeleteFileW(target.c_str());
    Press(f->tfXPButton2);
    ASSERT_EQ(script_.Calls().size(), 2u);
    EXPECT_EQ(script_.Calls()[1].save.fileName, target);
    EXPECT_FALSE(tmbtest::FileExists(target));
    EXPECT_EQ(f->texto->Text(), L"");
}

TEST_F(Listing, ATextListingSavedIntoTheListedFolderShowsUpAtOnce) {
    folder_.AddFile(L"a.txt", 100);
    Tfmtextdir* f = Open();
    script_.AnswerSave(folder_ / L"lista.txt");
    Press(f->tfXPButton2);
    EXPECT_EQ(f->files->Count(), 2);
    EXPECT_EQ(f->Label4->Text(), L"Total: 2 arquivo(s)");
    const std::vector<std::wstring> lines = Lines(tmb::AnsiToWide(tmbtest::ReadFileBytes(folder_ / L"lista.txt")));
    EXPECT_EQ(lines.size(), 1u + 9u);  // it does not list itself
}

TEST_F(Listing, NamesTheCodePageCannotHoldMakeAUtf8TextListing) {
    folder_.AddFile(L"\u6587\u4ef6.txt");
    folder_.AddFile(L"caf\u00e9.txt");
    Tfmtextdir* f = Open();
    script_.AnswerSave(folder_ / L"out.txt");
    Press(f->tfXPButton2);
    const std::string bytes = tmbtest::ReadFileBytes(folder_ / L"out.txt");
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(tmb::Utf8ToWide(bytes.substr(3)).find(L"\u6587\u4ef6.txt\r\n"), std::wstring::npos);
    EXPECT_NE(tmb::Utf8ToWide(bytes.substr(3)).find(L"Diret\u00f3rio: "), std::wstring::npos);
}

TEST_F(Listing, SalvarEmTextoOnAnEmptyFolderShowsNoDialog) {
    Tfmtextdir* f = Open();
    Press(f->tfXPButton2);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(script_.Calls()[0].text, L"O diret\u00f3rio selecionado esta vazio.");
}

TEST_F(Listing, ATextFileThatCannotBeCreatedIsReportedAndTheBufferIsEmptied) {
    folder_.AddFile(L"a.txt");
    const std::wstring blocked = folder_.AddFolder(L"taken.txt");  // a folder of that name
    Tfmtextdir* f = Open();
    script_.AnswerSave(blocked);
    Press(f->tfXPButton2);
    ASSERT_EQ(script_.Calls().size(), 2u);
    EXPECT_EQ(script_.Calls()[1].kind, ModalCall::Kind::Error);
    EXPECT_EQ(script_.Calls()[1].text.substr(0, 20 + blocked.size() + 3),
              L"Cannot create file \"" + blocked + L"\". ");
    EXPECT_EQ(f->texto->Text(), L"");
    EXPECT_EQ(f->files->Count(), 1);
}

} // namespace

#include "tests/support/CalendarTime.h"
#include "tests/support/ModalAutoAnswer.h"
#include "tests/support/TestEnvironment.h"

namespace {

// The date and time of both listings follow the user's regional settings: short date and
// long time, joined by " - ".
TEST(ListingLocale, PageAndTextShowTheUsersShortDateAndLongTime) {
    const auto names = std::make_shared<const tmb::NameTable>(std::vector<std::wstring>{L"a.txt"});
    const app::ListingInput input{L"C:\\", names, L"Tamanho total: 1 bytes",
                                  tmb::ListingDateTime(tmbtest::TimeAt(2026, 3, 4, 15, 6, 7))};
    const std::wstring expected = tmbtest::ExpectedLocale() == "pt-BR" ? L"04/03/2026 - 15:06:07"
                                                                       : L"3/4/2026 - 3:06:07 PM";
    const std::vector<std::wstring> page = Lines(app::BuildHtmlPage(input));
    EXPECT_EQ(page[7], L"<strong>Data: </strong>" + expected + L"<br>");
    EXPECT_EQ(page[8], L"<strong>Diret\u00f3rio: </strong>C:\\");
    const std::vector<std::wstring> text = Lines(app::BuildTextListing(input));
    EXPECT_EQ(text[1], L"Data: " + expected);
    EXPECT_EQ(text[2], L"Diret\u00f3rio: C:\\");
    EXPECT_EQ(text.size(), 1u + 9u);
    EXPECT_EQ(page.size(), 1u + 16u);
}

// Written a chunk at a time, both listings are byte for byte what their whole text gives,
// for chunks of every small size (so that names, and surrogate pairs within them, straddle
// chunk ends), in the code page and in UTF-8 when some name does not fit it.
TEST(ListingStreamed, WrittenInChunksEqualsTheWholeTextsBytes) {
    tmbtest::TempFolder folder;
    const std::wstring target = folder / L"out.txt";
    const SYSTEMTIME t = tmbtest::TimeAt(2026, 1, 2);
    const std::vector<std::vector<std::wstring>> tables = {
        {L"a.txt", L"Relat\u00f3rio & contas #1.pdf", L"100% \"certo\".doc", L"<b>.htm"},
        {L"\u00e9t\u00e9.txt", L"\U0001F600\U0001F601.png", L"x\U0001F600y", L"\u03a9mega",
         L"\u65e5\u672c\u8a9e", L"plain"},
    };
    for (const auto& table : tables) {
        const app::ListingInput input{folder.Path(), std::make_shared<const tmb::NameTable>(table),
                                      L"Tamanho total: 1 bytes", tmb::ListingDateTime(t)};
        const app::ListingSource page = [&](const app::TextSink& sink) { app::EmitHtmlPage(input, sink); };
        const app::ListingSource text = [&](const app::TextSink& sink) { app::EmitTextListing(input, sink); };
        const std::string pageBytes = app::ListingBytes(app::BuildHtmlPage(input));
        const std::string textBytes = app::ListingBytes(app::BuildTextListing(input));
        for (size_t chunk : {2u, 3u, 5u, 7u, 64u, 65536u}) {
            app::WriteListingReplacing(target, page, chunk);
            ASSERT_EQ(tmbtest::ReadFileBytes(target), pageBytes) << "page, chunks of " << chunk;
            app::WriteListingReplacing(target, text, chunk);
            ASSERT_EQ(tmbtest::ReadFileBytes(target), textBytes) << "text, chunks of " << chunk;
        }
        app::WriteListingReplacing(target, app::BuildHtmlPage(input));
        EXPECT_EQ(tmbtest::ReadFileBytes(target), pageBytes);
        // Only the second table holds what the code page cannot: its text listing is UTF-8.
        EXPECT_EQ(textBytes.rfind("\xEF\xBB\xBF", 0) == 0, &table == &tables[1]);
    }
}

// A listing whose making fails midway leaves the file it was to replace as it was, and no
// temporary file beside it.
TEST(ListingStreamed, AFailureMidwayLeavesTheOldFileAndNoTemporaryFile) {
    tmbtest::TempFolder folder;
    const std::wstring target = folder.AddFile(L"Lista.htm", 5);
    int run = 0;
    const app::ListingSource failing = [&run](const app::TextSink& sink) {
        sink(std::wstring(100000, L'a'));
        if (++run == 2)  // the second run is the one that writes
            throw tmb::Exception(L"gone");
        sink(L"b");
    };
    EXPECT_THROW(app::WriteListingReplacing(target, failing, 1000), tmb::Exception);
    EXPECT_EQ(tmbtest::ReadFileBytes(target), std::string(5, '\0'));
    EXPECT_TRUE(NothingMatches(folder / L"*.tmp"));
}

// The program's own boxes and the platform's save dialog, shown for real and answered the
// way a user answers them.
TEST(ListingRealDialogs, SalvarAndSalvarEmTextoThroughTheRealBoxes) {
    tmb::App().SetTitle(L"Tombarel");
    tmbtest::TempFolder folder;
    folder.AddFile(L"a.txt", 10);
    ASSERT_TRUE(tmbtest::StoreRegistryString(app::kRegistryKey, app::kRegistryValue, folder.Path()));
    Tfmtextdir* f = tmb::CreateForm<Tfmtextdir>(nullptr);
    f->Show();
    tmbtest::Pump();
    tmbtest::Click(f->btgerahtm->Handle(), 20, 10);
    const std::wstring target = folder / L"by dialog.txt";
    {
        tmbtest::ModalAutoAnswer answers({{IDNO, 0, L""}, {IDNO, 0, L""}, {IDOK, 0x47C, target}});
        tmbtest::Click(f->btsalvar->Handle(), 20, 10);  // writes, then asks to show it: No
        tmbtest::Click(f->btsalvar->Handle(), 20, 10);  // already there: No leaves it
        tmbtest::Click(f->tfXPButton2->Handle(), 20, 10);
        ASSERT_EQ(answers.Count(), 3);
        EXPECT_EQ(answers.Boxes()[0].caption, L"Confirm");
        EXPECT_NE(answers.Boxes()[0].text.find(L"Lista de arquivos criada em:"), std::wstring::npos);
        EXPECT_NE(answers.Boxes()[1].text.find(L"J\u00e1 existe um arquivo 'Lista.htm'"), std::wstring::npos);
    }
    EXPECT_EQ(tmbtest::ReadFileBytes(folder / L"Lista.htm"), tmb::WideToAnsi(f->result->Text()));
    const std::vector<std::wstring> lines = Lines(tmb::AnsiToWide(tmbtest::ReadFileBytes(target)));
    EXPECT_EQ(lines.size(), 2u + 9u);  // a.txt and Lista.htm
    EXPECT_EQ(f->files->Count(), 3);
    tmb::Destroy(f);
    tmb::Registry().DeleteKey(app::kRegistryKey);
}

} // namespace

#include <tlhelp32.h>

#include <set>

namespace {

std::set<DWORD> ExplorerProcesses() {
    std::set<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
        if (lstrcmpiW(pe.szExeFile, L"explorer.exe") == 0)
            pids.insert(pe.th32ProcessID);
    CloseHandle(snap);
    return pids;
}

TEST_F(Listing, OkInTheThreeWayBoxOpensTheFolderInTheFileManagerAndWritesNothing) {
    folder_.AddFile(L"x.txt");
    const std::wstring lista = folder_.AddFile(L"Lista.htm", 3);
    Tfmtextdir* f = OpenWithPage();
    const std::set<DWORD> before = ExplorerProcesses();
    script_.Answer(tmb::mrOk);
    Press(f->btsalvar);
    ASSERT_EQ(script_.Calls().size(), 1u);
    EXPECT_EQ(tmbtest::ReadFileBytes(lista), std::string(3, '\0'));
    // A new file manager process appeared; it is ended again here.
    std::set<DWORD> started;
    for (int i = 0; i < 50 && started.empty(); ++i) {
        tmbtest::PumpFor(100);
        for (DWORD pid : ExplorerProcesses())
            if (!before.count(pid))
                started.insert(pid);
    }
    EXPECT_FALSE(started.empty());
    for (DWORD pid : started)
        if (const tmb::KernelHandle p{OpenProcess(PROCESS_TERMINATE, FALSE, pid)})
            TerminateProcess(p.get(), 0);
}

} // namespace
