// The list's context menu as a real platform menu: its entries in every language, the
// pictures with the 3-D colours, the Send To submenu read from a real SendTo folder, and the
// enabling table for the states of the list.
#include "explorer/KvFilelistView28PopUp.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvSendTo.h"
#include "framework/TextConv.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace {

using kv::TKvFilelistView28PopUp;
using tmbtest::TempFolder;
using Menu = TKvFilelistView28PopUp;

struct ShownItem {
    std::string caption;  // "-" for a separator
    bool hasBitmap = false;
    HMENU submenu = nullptr;
};

std::vector<ShownItem> ShownItems(HMENU menu) {
    std::vector<ShownItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        ShownItem item;
        item.caption = (info.fType & MFT_SEPARATOR) ? "-" : U8(text);
        item.hasBitmap = info.hbmpItem != nullptr;
        item.submenu = info.hSubMenu;
        items.push_back(item);
    }
    return items;
}

class ListMenu : public testing::Test {
protected:
    void SetUp() override {
        kv::ViewLanguage = kv::lnEnglish;
        menu_ = new Menu(nullptr);
    }
    void TearDown() override { delete menu_; }
    Menu* menu_ = nullptr;
};

TEST_F(ListMenu, EntriesNamesTagsAndCaptionsInEveryLanguage) {
    menu_->BuildMenuFrom({});
    const auto& items = menu_->Items();
    ASSERT_EQ(items.size(), 15u);
    const std::vector<std::pair<std::string, long>> layout = {
        {"ItemOpen", 1},     {"ItemView", 2},   {"", 0},           {"SubMenuSend", 3},
        {"", 0},             {"ItemOpCut", 4},  {"ItemOpCopy", 5}, {"ItemOpPaste", 6},
        {"", 0},             {"ItemRename", 7}, {"ItemDelete", 8}, {"", 0},
        {"ItemProperty", 9}, {"", 0},           {"ItemFolder", 10},
    };
    for (std::size_t i = 0; i < layout.size(); ++i) {
        EXPECT_EQ(U8(items[i].name), layout[i].first) << i;
        EXPECT_EQ(items[i].tag, layout[i].second) << i;
        EXPECT_EQ(items[i].bitmap != nullptr, !layout[i].first.empty()) << i;
    }
    const auto& send = items[Menu::SubMenuSend].items;
    ASSERT_EQ(send.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(U8(send[i].name), "Send_To" + std::to_string(i));
        EXPECT_EQ(send[i].tag, 30 + i);
        EXPECT_NE(send[i].bitmap, nullptr);
    }
    // The two clipboard entries share their picture; the other twelve are distinct.
    EXPECT_EQ(send[1].bitmap, send[2].bitmap);
    EXPECT_NE(send[0].bitmap, send[3].bitmap);

    struct Language {
        kv::TLanguage language;
        std::vector<std::string> top;   // the ten commands, in order
        std::vector<std::string> send;  // the four fixed Send To entries
    };
    const std::vector<Language> languages = {
        {kv::lnEnglish,
         {"&Open", "&View", "Se&nd To", "Cu&t", "&Copy", "&Paste", "&Rename", "&Delete",
          "&Properties", "&New Folder..."},
         {"Any Folder ...", "Clipboard as Contents", "Clipboard as FileName",
          "DeskTop as ShortCut"}},
        {kv::lnFrench,
         {"&Ouvrir", "&Voir", "Co&pier dans", "C&ouper", "&Copier", "Co&ller", "&Renommer",
          "&Supprimer", "&Propriétés", "&Nouveau Dossier ..."},
         {"le Dossier ...", "Contenu dans le Presse-Papier",
          "Nom du fichier  dans le Presse-Papier", "Comme Raccourci sur le Bureau"}},
        {kv::lnGerman,
         {"Ö&ffnen", "An&zeigen", "Se&nden an", "&Ausschneiden", "&Kopieren", "&Einfügen",
          "&Umbenennen", "&Löschen", "Eigen&schaften", "Neuer &Ordner"},
         {"Ordne&r...", "&Datei(en) an Zwischenablage", "Dateiname(n) an Z&wischenablage",
          "&Verknüpfung auf den Desktop"}},
        {kv::lnSpanish,
         {"&Abrir", "&Ver", "E&nviar a", "Cor&tar", "&Copiar", "&Pegar", "&Renombrar",
          "&Borrar", "&Propiedades", "&Nueva carpeta ..."},
         {"Una carpeta ...", "Copiar contenido al portapapeles",
          "Copiar nombre del fichero al portapapeles", "Acceso directo al escritorio"}},
        {kv::lnPortuguese,
         {"&Abrir", "&Visualizar", "E&nviar para", "Cor&tar", "&Copiar", "Col&ar",
          "&Renomear", "&Apagar", "&Propriedades", "&Nova pasta ..."},
         {"Para a pasta ...", "Copiar conteúdo para área de transferência",
          "Copiar somente o nome para área de transferência", "Área de Trabalhao como Atalho"}},
    };
    for (const Language& l : languages) {
        kv::ViewLanguage = l.language;
        menu_->BuildMenuFrom({});
        const tmb::MenuHandle handle = menu_->BuildHandle();
        const auto shown = ShownItems(handle.get());
        ASSERT_EQ(shown.size(), 15u);
        std::vector<std::string> top;
        for (const ShownItem& item : shown) {
            if (item.caption != "-") {
                top.push_back(item.caption);
                EXPECT_TRUE(item.hasBitmap) << item.caption;
            }
        }
        EXPECT_EQ(top, l.top);
        ASSERT_NE(shown[Menu::SubMenuSend].submenu, nullptr);
        std::vector<std::string> send;
        for (const ShownItem& item : ShownItems(shown[Menu::SubMenuSend].submenu)) {
            send.push_back(item.caption);
            EXPECT_TRUE(item.hasBitmap) << item.caption;
        }
        EXPECT_EQ(send, l.send);
    }
}

TEST_F(ListMenu, PicturesFollowTheThreeDColours) {
    // Loaded with the 3-D colour mapping: the drawn face grey becomes the system's face
    // colour, so the pictures sit on the menu as the theme paints it.
    const COLORREF face = RGB(0xD4, 0xD0, 0xC8);
    tmbtest::ScopedFaceColour faceColour(face);
    delete menu_;  // the pictures are loaded when the menu is made
    menu_ = new Menu(nullptr);
    menu_->BuildMenuFrom({});
    HDC dc = CreateCompatibleDC(nullptr);
    for (const tmb::MenuItem& item : menu_->Items()) {
        if (!item.bitmap)
            continue;
        BITMAP info{};
        ASSERT_TRUE(GetObjectW(item.bitmap, sizeof(info), &info));
        EXPECT_EQ(info.bmWidth, 16);
        EXPECT_EQ(info.bmHeight, 16);
        HGDIOBJ old = SelectObject(dc, item.bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 15), face) << U8(item.name);
        SelectObject(dc, old);
    }
    DeleteDC(dc);
}

// While the menu is up: highlights its first entry, then reads the screen where the entry's
// picture stands.
struct HighlightProbe {
    int ticks = 0;
    int backgroundPixels = -1;  // pixels of the picture's area in its own background colours
    int highlightPixels = 0;
    COLORREF face = 0;
    tmbtest::OpenMenuWatch watch{[this](HWND menuWindow) {
        if (++ticks == 1) {
            keybd_event(VK_DOWN, 0, 0, 0);
            keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
            return false;
        }
        RECT item{};
        GetMenuItemRect(nullptr, tmbtest::MenuOfWindow(menuWindow), 0, &item);
        const COLORREF inverse = (~face) & 0xFFFFFF;
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        HDC screen = GetDC(nullptr);
        backgroundPixels = 0;
        for (int x = item.left; x < item.left + 24; ++x)
            for (int y = item.top; y < item.bottom; ++y) {
                const COLORREF c = GetPixel(screen, x, y);
                backgroundPixels += (c == face || c == inverse);
                highlightPixels += c == highlight;
            }
        ReleaseDC(nullptr, screen);
        EndMenu();
        return true;
    }, 60};
};

TEST_F(ListMenu, AHighlightedEntryShowsItsPictureOnTheHighlightNotOnItsOwnBackground) {
    menu_->BuildMenuFrom({});
    menu_->UpdateItems({1, L"C:\\a.txt", false, false});
    tmbtest::TestForm form(300, 200);
    SetForegroundWindow(form.Handle());
    HighlightProbe probe;
    probe.face = GetSysColor(COLOR_3DFACE);
    const POINT at = tmbtest::ToScreen(form.Handle(), 20, 20);
    menu_->tmb::PopupMenu::Popup(at.x, at.y, form.Handle());
    ASSERT_GE(probe.backgroundPixels, 0) << "the menu was not seen";
    EXPECT_EQ(probe.backgroundPixels, 0);
    EXPECT_GT(probe.highlightPixels, 100);
}

TEST_F(ListMenu, SendToShortcutsFromTheUsersSendToFolder) {
    std::wstring sendTo;
    ASSERT_TRUE(kv::GetSpecialFolderPath(CSIDL_SENDTO, sendTo));
    TempFolder targets;
    const std::wstring folder = targets.AddFolder(L"Backup");
    const std::vector<std::wstring> links = {sendTo + L"\\Backup.lnk", sendTo + L"\\Cópia.lnk",
                                             sendTo + L"\\Notepad.lnk"};
    ASSERT_TRUE(kv::CreateShortcut(links[0], folder, targets.Path(), L"Backup"));
    ASSERT_TRUE(kv::CreateShortcut(links[1], folder, targets.Path(), L"Cópia"));
    ASSERT_TRUE(kv::CreateShortcut(links[2], L"C:\\windows\\notepad.exe", L"C:\\windows", L""));
    const std::wstring notLink = sendTo + L"\\readme.txt";
    CloseHandle(CreateFileW(notLink.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    menu_->BuildMenu();
    for (const std::wstring& link : links)
        DeleteFileW(link.c_str());
    DeleteFileW(notLink.c_str());

    const auto& send = menu_->Items()[Menu::SubMenuSend].items;
    ASSERT_EQ(send.size(), 7u);
    ASSERT_EQ(menu_->SendToPaths().size(), 3u);
    std::vector<std::string> captions;
    for (std::size_t i = 4; i < send.size(); ++i) {
        EXPECT_EQ(U8(send[i].name), "Send_To" + std::to_string(i));
        EXPECT_EQ(send[i].tag, static_cast<long>(30 + i));
        EXPECT_NE(send[i].bitmap, nullptr);
        // Each entry's path is the shortcut it was made from.
        const std::wstring& path = menu_->SendToPaths()[i - 4];
        EXPECT_EQ(U8(kv::FileNameOnly(path)), U8(send[i].caption));
        captions.push_back(U8(send[i].caption));
    }
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ(captions, (std::vector<std::string>{"Backup", "Cópia", "Notepad"}));

    // The submenu is read once per build: the folder's later changes wait for the next.
    menu_->BuildMenu();
    EXPECT_EQ(menu_->Items()[Menu::SubMenuSend].items.size(), 4u);
    EXPECT_TRUE(menu_->SendToPaths().empty());
}

TEST_F(ListMenu, EnablingFollowsTheSelectionTheClipboardListAndTheDrivesView) {
    kv::SendToShortcut shortcut{L"C:\\x\\Backup.lnk", L"Backup", 0};
    menu_->BuildMenuFrom({shortcut});
    struct Case {
        const char* what;
        kv::ListMenuState state;
        const char* top;   // the 15 entries
        const char* send;  // the submenu's 5
    };
    // Positions: Open View - SendTo - Cut Copy Paste - Rename Delete - Properties - NewFolder
    const std::vector<Case> cases = {
        {"nothing selected", {0, L"", false, false}, "00-0-000-00-0-1", "00001"},
        {"nothing selected, a copy waiting", {0, L"", true, false}, "00-0-001-00-0-1", "00001"},
        {"one text file", {1, L"C:\\a\\read me.txt", false, false}, "11-1-110-11-1-1", "11111"},
        {"one text file in capitals", {1, L"C:\\a\\README.TXT", true, false}, "11-1-111-11-1-1",
         "11111"},
        {"two files", {2, L"C:\\a\\notes.txt", false, false}, "11-1-110-01-1-1", "10111"},
        {"one program", {1, L"C:\\a\\tool.exe", false, false}, "10-1-110-11-1-1", "10111"},
        {"one picture", {1, L"C:\\a\\photo.gif", false, false}, "11-1-110-11-1-1", "10111"},
        {"one bitmap", {1, L"C:\\a\\photo.Bmp", false, false}, "11-1-110-11-1-1", "11111"},
        {"one metafile", {1, L"C:\\a\\shape.wmf", false, false}, "10-1-110-11-1-1", "11111"},
        // Nothing acts on a drive but Open and Properties, also with a copy waiting.
        {"a drive", {1, L"C:\\", false, true}, "10-0-000-00-1-0", "00000"},
        {"a drive, a copy waiting", {1, L"C:\\", true, true}, "10-0-000-00-1-0", "00000"},
        {"the drives view, nothing selected", {0, L"", false, true}, "00-0-000-00-0-0", "00000"},
    };
    for (const Case& c : cases) {
        menu_->UpdateItems(c.state);
        const tmb::MenuHandle handle = menu_->BuildHandle();
        EXPECT_EQ(tmbtest::MenuStates(handle.get()), c.top) << c.what;
        EXPECT_EQ(tmbtest::MenuStates(GetSubMenu(handle.get(), Menu::SubMenuSend)), c.send) << c.what;
    }
}

} // namespace
