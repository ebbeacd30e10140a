// The explorer language texts: which message texts each loader fills and in which language,
// the language rules of the loaders, how a language identifier picks a language, and a few
// stored texts whose blanks, quotes or accents are easy to get wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explorer/KvConsts.h"
#include "tests/support/TestEnvironment.h"

namespace {

using kv::KvMessageTexts;
using kv::KvText;
using kv::KvTextOf;
using kv::TLanguage;

// The unit's state as it is when the object is made.
struct UnitState {
    TLanguage tree = kv::TreeLanguage;
    TLanguage view = kv::ViewLanguage;
    KvMessageTexts messages = kv::KvMessages;
};
// The state as the program starts with it, taken before main and so before any test (or any
// component) could apply a language.
const UnitState startState;

enum class LoadedBy { Tree, View, Both };

struct MessageField {
    const char* name;
    std::wstring KvMessageTexts::*field;
    KvText key;
    LoadedBy loadedBy;
};

#define KV_FIELD(name, by) {#name, &KvMessageTexts::name, KvText::name, LoadedBy::by}
const MessageField kFields[] = {
    KV_FIELD(StrDrive, Tree),          KV_FIELD(StrFolder, Tree),
    KV_FIELD(StrError, Both),          KV_FIELD(StrFile, Both),
    KV_FIELD(StrFrom, Tree),           KV_FIELD(StrTo, Tree),
    KV_FIELD(StrCant, Both),           KV_FIELD(StrSpecifyDir, Both),
    KV_FIELD(StrBadDrive, Both),       KV_FIELD(StrNoDisk, Both),
    KV_FIELD(StrExists, Both),         KV_FIELD(StrBadDirName, Tree),
    KV_FIELD(StrAskRename, Tree),      KV_FIELD(StrNoAddDrives, Tree),
    KV_FIELD(StrNewFolder, Both),      KV_FIELD(StrBadChars, Tree),
    KV_FIELD(StrNotFound, Tree),       KV_FIELD(StrFilesIn, Tree),
    KV_FIELD(StrOpFailed, Tree),       KV_FIELD(StrTreeSize, Tree),
    KV_FIELD(StrSubFolders, Tree),     KV_FIELD(StrCancel, View),
    KV_FIELD(StrBrowse, View),         KV_FIELD(StrReadOnly, View),
    KV_FIELD(StrArchive, View),        KV_FIELD(StrHidden, View),
    KV_FIELD(StrSystem, View),         KV_FIELD(StrIsReadOnly, View),
    KV_FIELD(StrNoSelection, View),    KV_FIELD(StrSendToFolder, View),
    KV_FIELD(StrEnterSendTo, View),    KV_FIELD(StrShortcutFailed, View),
    KV_FIELD(StrSetAttributes, View),
};
#undef KV_FIELD

// The unit's state is process-wide: each test starts from the start state and leaves the
// state it found for the tests that follow.
class KvConstsTest : public testing::Test {
protected:
    void SetUp() override {
        kv::TreeLanguage = kv::lnSysDefault;
        kv::ViewLanguage = kv::lnSysDefault;
        kv::KvMessages = KvMessageTexts{};
    }
    void TearDown() override {
        kv::TreeLanguage = found_.tree;
        kv::ViewLanguage = found_.view;
        kv::KvMessages = found_.messages;
    }

    static void LoadTree(TLanguage language) {
        kv::TreeLanguage = language;
        kv::LoadTreeTexts();
    }
    static void LoadView(TLanguage language) {
        kv::ViewLanguage = language;
        kv::LoadViewTexts();
    }

    // Every message field holds its text in the language given for its group (lnSysDefault:
    // still empty).
    static void ExpectMessages(TLanguage treeOnly, TLanguage shared, TLanguage viewOnly) {
        for (const MessageField& f : kFields) {
            const TLanguage language = f.loadedBy == LoadedBy::Tree ? treeOnly
                                       : f.loadedBy == LoadedBy::View ? viewOnly
                                                                      : shared;
            EXPECT_EQ(kv::KvMessages.*f.field, KvTextOf(f.key, language))
                << f.name << " should be in language " << language;
        }
    }

private:
    const UnitState found_;  // as the test found it
};

TEST_F(KvConstsTest, NothingIsLoadedBeforeAComponentAppliesALanguage) {
    EXPECT_EQ(startState.tree, kv::lnSysDefault);
    EXPECT_EQ(startState.view, kv::lnSysDefault);
    EXPECT_TRUE(startState.messages == KvMessageTexts{});
}

TEST_F(KvConstsTest, LoadersFillTheirTextsAndTheLastOneDecidesTheSharedTexts) {
    int tree = 0, view = 0;
    for (const MessageField& f : kFields) {
        tree += f.loadedBy != LoadedBy::View;
        view += f.loadedBy != LoadedBy::Tree;
    }
    ASSERT_EQ(tree, 21);
    ASSERT_EQ(view, 20);

    LoadTree(kv::lnGerman);
    ExpectMessages(kv::lnGerman, kv::lnGerman, kv::lnSysDefault);
    EXPECT_EQ(kv::KvMessages.StrDrive, L"Laufwerk ");

    LoadView(kv::lnFrench);
    ExpectMessages(kv::lnGerman, kv::lnFrench, kv::lnFrench);
    EXPECT_EQ(kv::KvMessages.StrNewFolder, L"Nouveau Dossier");
    EXPECT_EQ(kv::KvMessages.StrCancel, L"Annule");

    LoadTree(kv::lnSpanish);
    ExpectMessages(kv::lnSpanish, kv::lnSpanish, kv::lnFrench);

    // A view loaded first, then a tree: each loader touches only its own texts.
    kv::KvMessages = KvMessageTexts{};
    LoadView(kv::lnPortuguese);
    ExpectMessages(kv::lnSysDefault, kv::lnPortuguese, kv::lnPortuguese);
    LoadTree(kv::lnEnglish);
    ExpectMessages(kv::lnEnglish, kv::lnEnglish, kv::lnPortuguese);
}

TEST_F(KvConstsTest, ALanguageOutsideTheStoredOnesLeavesTheTextsAsTheyWere) {
    for (const TLanguage bad : {kv::lnSysDefault, TLanguage(6), TLanguage(-1)}) {
        kv::KvMessages = KvMessageTexts{};
        LoadTree(bad);
        LoadView(bad);
        EXPECT_TRUE(kv::KvMessages == KvMessageTexts{}) << "language " << bad;

        LoadTree(kv::lnGerman);
        LoadView(kv::lnFrench);
        const KvMessageTexts loaded = kv::KvMessages;
        LoadTree(bad);
        EXPECT_TRUE(kv::KvMessages == loaded) << "tree, language " << bad;
        LoadView(bad);
        EXPECT_TRUE(kv::KvMessages == loaded) << "view, language " << bad;
    }
}

TEST_F(KvConstsTest, EveryKeyHasATextInEachStoredLanguageAndNoneInOthers) {
    for (int k = 0; k < static_cast<int>(KvText::Count); ++k) {
        const auto key = static_cast<KvText>(k);
        for (int l = kv::lnEnglish; l <= kv::lnPortuguese; ++l)
            EXPECT_FALSE(KvTextOf(key, TLanguage(l)).empty()) << "key " << k << " language " << l;
        EXPECT_TRUE(KvTextOf(key, kv::lnSysDefault).empty()) << "key " << k;
        EXPECT_TRUE(KvTextOf(key, TLanguage(6)).empty()) << "key " << k;
    }
}

TEST_F(KvConstsTest, TextsAreStoredExactly) {
    const KvText drive = KvText::DrvUnknown;  // drive type names follow the system's codes
    const struct {
        KvText key;
        TLanguage language;
        const wchar_t* text;
    } stored[] = {
        // The columns are in language order.
        {KvText::StrDrive, kv::lnEnglish, L"Drive "}, {KvText::StrDrive, kv::lnFrench, L"Lecteur "},
        {KvText::StrDrive, kv::lnGerman, L"Laufwerk "}, {KvText::StrDrive, kv::lnSpanish, L"Unidad "},
        {KvText::StrDrive, kv::lnPortuguese, L"Unidade "},
        // Blanks inside and at either end.
        {KvText::StrFrom, kv::lnEnglish, L"From  : "}, {KvText::StrTo, kv::lnEnglish, L"To     : "},
        {KvText::StrTo, kv::lnGerman, L"Nach : "}, {KvText::StrFile, kv::lnFrench, L" le fichier  "},
        {KvText::StrNotFound, kv::lnGerman, L" nicht gefunden!"},
        {KvText::CapClipName, kv::lnFrench, L"Nom du fichier  dans le Presse-Papier"},
        // Double quotes that open or close a quoted name.
        {KvText::StrFolder, kv::lnEnglish, L"Folder \""},
        {KvText::StrCant, kv::lnGerman, L"Fehler - Dateioperation \""},
        {KvText::StrFile, kv::lnGerman, L"\" ist fehlgeschlagen mit Datei "},
        {KvText::StrExists, kv::lnSpanish, L"\" ya existe !"},
        // Accented letters, written here as code points so a wrong source encoding shows.
        {KvText::StrTo, kv::lnFrench, L"\u00E0     : "},
        {KvText::StrTreeSize, kv::lnGerman, L"BAUMGR\u00D6\u00DFE"},
        {KvText::StrTreeSize, kv::lnSpanish, L"TAMA\u00D1O DEL \u00C1RBOL"},
        {KvText::CapOpen, kv::lnGerman, L"\u00D6&ffnen"},
        {KvText::CapClipContents, kv::lnPortuguese,
         L"Copiar conte\u00FAdo para \u00E1rea de transfer\u00EAncia"},
        {KvText(int(drive) + DRIVE_CDROM), kv::lnEnglish, L"CD-ROM Disk"},
        {KvText(int(drive) + DRIVE_RAMDISK), kv::lnGerman, L"RAM-Laufwerk"},
        {KvText(int(drive) + DRIVE_NO_ROOT_DIR), kv::lnPortuguese, L"N\u00E3o existe"},
    };
    for (const auto& t : stored)
        EXPECT_EQ(KvTextOf(t.key, t.language), t.text)
            << "key " << int(t.key) << " language " << t.language;
}

TEST(KvLanguageTest, PrimaryLanguagePicksTheLanguage) {
    struct Case {
        LANGID id;
        TLanguage expected;
    };
    const Case cases[] = {
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), kv::lnGerman},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS), kv::lnGerman},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), kv::lnEnglish},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), kv::lnEnglish},
        {MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN), kv::lnSpanish},
        {MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_DOMINICAN_REPUBLIC), kv::lnSpanish},
        {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), kv::lnFrench},
        {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH_CANADIAN), kv::lnFrench},
        {0x0416, kv::lnPortuguese},  // Brazil
        {0x0816, kv::lnPortuguese},  // Portugal
        {0x0413, kv::lnEnglish},     // Dutch
        {0x0411, kv::lnEnglish},     // Japanese
        {0x0410, kv::lnEnglish},     // Italian
        {0x0000, kv::lnEnglish},     // neutral
        {0x0107, kv::lnEnglish},     // primary language 0x107, not German: all 10 bits count
    };
    for (const Case& c : cases)
        EXPECT_EQ(kv::LanguageFromLangId(c.id), c.expected) << std::hex << "LANGID 0x" << c.id;
}

TEST(KvLanguageTest, OnlySysDefaultIsResolved) {
    for (int l = kv::lnEnglish; l <= kv::lnPortuguese; ++l) {
        EXPECT_EQ(kv::ResolveTreeLanguage(TLanguage(l)), TLanguage(l));
        EXPECT_EQ(kv::ResolveViewLanguage(TLanguage(l)), TLanguage(l));
    }
}

// Run once as a US and once as a Brazilian user: the default language follows the regional
// settings the process was started with.
TEST(KvLanguageLocaleTest, SysDefaultFollowsTheDefaultLanguage) {
    const TLanguage expected =
        tmbtest::ExpectedLocale() == "pt-BR" ? kv::lnPortuguese : kv::lnEnglish;
    EXPECT_EQ(kv::ResolveTreeLanguage(kv::lnSysDefault), expected);
    EXPECT_EQ(kv::ResolveViewLanguage(kv::lnSysDefault), expected);
}

} // namespace
