// The explorer window: layout, menu, status bar, language and the remembered folder.
#include "explorador/explorador.h"

#include <commdlg.h>

#include "catalog/Catalog.h"
#include "catalog/Collection.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Application.h"
#include "framework/CommandLine.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Locale.h"
#include "framework/MenuTable.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"

namespace explorador {
namespace {

using kv::TLanguage;

const WindowTexts kTexts[] = {
    // lnEnglish
    {L"Tombarel Explorer", L"&File", L"E&xit", L"&View", L"Show &folders",
     L"&Hide file extensions", L"&Refresh\tF5", L"&Date format", L"Regional setting",
     L"&Time format", L"Long", L"Short", L"12-hour clock", L"&Language", L"Mask:", L"object(s)",
     L"Selected:", L"Free space:",
     L"&Catalogue folder\u2026", L"Catalogue folder",
     L"HTML pages (*.htm;*.html)|*.htm;*.html|All files (*.*)|*.*", L"Cataloguing folder",
     L"Folders:", L"Files:", L"Writing the page:", L"Cancel", L"Catalogue written to:",
     L"Folders that could not be read:", L"Open it now?", L"Choose a folder to catalogue.",
     L"Co&mpare with earlier catalogue\u2026", L"Earlier catalogue",
     L"Added: %1   Removed: %2   Changed: %3",
     L"Add to c&ollection\u2026", L"Add to collection", L"Adding to the collection",
     L"Collection written to:", L"Volumes:"},
    // lnFrench
    {L"Explorateur Tombarel", L"&Fichier", L"&Quitter", L"&Affichage", L"Afficher les &dossiers",
     L"&Masquer les extensions", L"A&ctualiser\tF5", L"Format de la &date",
     L"Param\u00e8tre r\u00e9gional", L"Format de l'&heure", L"Long", L"Court",
     L"Horloge de 12 heures", L"&Langue", L"Masque :", L"objet(s)", L"S\u00e9lection :",
     L"Espace libre :",
     L"&Cataloguer le dossier\u2026", L"Cataloguer le dossier",
     L"Pages HTML (*.htm;*.html)|*.htm;*.html|Tous les fichiers (*.*)|*.*",
     L"Catalogage du dossier", L"Dossiers :", L"Fichiers :", L"\u00c9criture de la page :",
     L"Annuler", L"Catalogue \u00e9crit dans :", L"Dossiers illisibles :",
     L"L'ouvrir maintenant ?", L"Choisissez un dossier \u00e0 cataloguer.",
     L"Co&mparer avec un catalogue ant\u00e9rieur\u2026", L"Catalogue ant\u00e9rieur",
     L"Ajout\u00e9s : %1   Supprim\u00e9s : %2   Modifi\u00e9s : %3",
     L"Ajouter \u00e0 la c&ollection\u2026", L"Ajouter \u00e0 la collection", L"Ajout \u00e0 la collection",
     L"Collection \u00e9crite dans :", L"Volumes :"},
    // lnGerman
    {L"Tombarel Explorer", L"&Datei", L"&Beenden", L"&Ansicht", L"&Ordner anzeigen",
     L"Datei&endungen ausblenden", L"A&ktualisieren\tF5", L"&Datumsformat",
     L"Regionaleinstellung", L"&Zeitformat", L"Lang", L"Kurz", L"12-Stunden-Uhr",
     L"&Sprache", L"Maske:", L"Objekt(e)", L"Ausgew\u00e4hlt:", L"Freier Speicher:",
     L"Ordner &katalogisieren\u2026", L"Ordner katalogisieren",
     L"HTML-Seiten (*.htm;*.html)|*.htm;*.html|Alle Dateien (*.*)|*.*",
     L"Ordner wird katalogisiert", L"Ordner:", L"Dateien:", L"Seite wird geschrieben:",
     L"Abbrechen", L"Katalog geschrieben nach:", L"Nicht lesbare Ordner:", L"Jetzt \u00f6ffnen?",
     L"W\u00e4hlen Sie einen Ordner zum Katalogisieren.",
     L"Mit fr\u00fcherem Katalog &vergleichen\u2026", L"Fr\u00fcherer Katalog",
     L"Hinzugef\u00fcgt: %1   Entfernt: %2   Ge\u00e4ndert: %3",
     L"Zur &Sammlung hinzuf\u00fcgen\u2026", L"Zur Sammlung hinzuf\u00fcgen", L"Zur Sammlung hinzuf\u00fcgen",
     L"Sammlung geschrieben nach:", L"Datentr\u00e4ger:"},
    // lnSpanish
    {L"Explorador Tombarel", L"&Archivo", L"&Salir", L"&Ver", L"Mostrar &carpetas",
     L"&Ocultar extensiones", L"A&ctualizar\tF5", L"Formato de &fecha",
     L"Configuraci\u00f3n regional", L"Formato de &hora", L"Largo", L"Corto",
     L"Reloj de 12 horas", L"&Idioma", L"M\u00e1scara:", L"objeto(s)", L"Seleccionado:",
     L"Espacio libre:",
     L"&Catalogar carpeta\u2026", L"Catalogar carpeta",
     L"P\u00e1ginas HTML (*.htm;*.html)|*.htm;*.html|Todos los archivos (*.*)|*.*",
     L"Catalogando carpeta", L"Carpetas:", L"Archivos:", L"Escribiendo la p\u00e1gina:",
     L"Cancelar", L"Cat\u00e1logo escrito en:", L"Carpetas que no se pudieron leer:",
     L"\u00bfDesea abrirlo ahora?", L"Elija una carpeta para catalogar.",
     L"Co&mparar con cat\u00e1logo anterior\u2026", L"Cat\u00e1logo anterior",
     L"A\u00f1adidos: %1   Eliminados: %2   Modificados: %3",
     L"A\u00f1adir a la c&olecci\u00f3n\u2026", L"A\u00f1adir a la colecci\u00f3n", L"A\u00f1adiendo a la colecci\u00f3n",
     L"Colecci\u00f3n escrita en:", L"Vol\u00famenes:"},
    // lnPortuguese
    {L"Explorador Tombarel", L"&Arquivo", L"&Sair", L"E&xibir", L"Mostrar &pastas",
     L"&Ocultar extens\u00f5es", L"A&tualizar\tF5", L"Formato de &data",
     L"Configura\u00e7\u00e3o regional", L"Formato de &hora", L"Longo", L"Curto",
     L"Rel\u00f3gio de 12 horas", L"&Idioma", L"M\u00e1scara:", L"objeto(s)",
     L"Selecionado:", L"Espa\u00e7o livre:",
     L"&Catalogar pasta\u2026", L"Catalogar pasta",
     L"P\u00e1ginas HTML (*.htm;*.html)|*.htm;*.html|Todos os arquivos (*.*)|*.*",
     L"Catalogando pasta", L"Pastas:", L"Arquivos:", L"Gravando a p\u00e1gina:", L"Cancelar",
     L"Cat\u00e1logo criado em:", L"Pastas que n\u00e3o puderam ser lidas:",
     L"Deseja abri-lo?", L"Escolha uma pasta para catalogar.",
     L"Co&mparar com cat\u00e1logo anterior\u2026", L"Cat\u00e1logo anterior",
     L"Adicionados: %1   Removidos: %2   Alterados: %3",
     L"Adicionar \u00e0 c&ole\u00e7\u00e3o\u2026", L"Adicionar \u00e0 cole\u00e7\u00e3o", L"Adicionando \u00e0 cole\u00e7\u00e3o",
     L"Cole\u00e7\u00e3o gravada em:", L"Volumes:"},
};

// Each language is named in itself.
const wchar_t* const kLanguageNames[] = {L"English", L"Fran\u00e7ais", L"Deutsch",
                                         L"Espa\u00f1ol", L"Portugu\u00eas"};

// The date formats as the user reads them (the patterns themselves); the last one follows
// the regional settings.
const wchar_t* const kDateCaptions[] = {L"MM/dd/yyyy", L"MM/dd/yy", L"dd/MM/yyyy",
                                        L"dd/MM/yy",   L"dd.MM.yy", L"dd-MM-yy",
                                        L"yyyy-MM-dd", L"yy-MM-dd"};

// Posted to the window while a status update is pending.
constexpr UINT kUpdateStatusMessage = WM_APP + 1;

constexpr int kTopBarHeight = 30;
constexpr int kComboRoom = 330;  // the folder combo's place, left of the mask

// Whether the tree and the combo already show the same place ("C:\x" and "c:\X\" are one).
// The drives view is left to each of them.
bool SamePlace(const std::wstring& a, const std::wstring& b) {
    return tmb::SameText(a, kv::kDrivesPath) || tmb::SameText(kv::AddSlash(a), kv::AddSlash(b));
}

std::wstring KilobytesText(std::int64_t kb) {
    return tmb::FormatNumber(static_cast<double>(kb), 0) + L" KB";
}

// "Pastas: 1.234   Arquivos: 56.789"
std::wstring CountsText(const WindowTexts& t, const catalog::Totals& counted,
                        const tmb::FormatSettings& numbers) {
    return std::wstring(t.folders) + L" " +
           tmb::FormatNumber(static_cast<double>(counted.folders), 0, numbers) + L"   " +
           t.filesCount + L" " + tmb::FormatNumber(static_cast<double>(counted.files), 0, numbers);
}

using MenuRow = tmb::MenuRow<const wchar_t*, Tfmexplorador, Tfmexplorador>;
using F = Tfmexplorador;

// A catalogue is of a folder: the drives view has none to give.
bool CanCatalog(const F& f, long) { return !f.files->IsDrivesView() && !f.files->Directory().empty(); }

// The file dialog of a catalogue command: HTML pages, proposing Catalogo.htm in the folder
// shown (the whole path: the dialog then opens there, whatever folder it used last).
tmb::SaveDialogRequest CatalogueFileRequest(const F& f, const WindowTexts& t, const wchar_t* title,
                                            DWORD flags) {
    tmb::SaveDialogRequest request;
    request.owner = f.HandleIfAllocated();
    request.title = title;
    request.filter = t.catalogFilter;
    request.initialDir = f.files->Directory();
    request.fileName = kv::AddSlash(f.files->Directory()) + catalog::kDefaultFileName;
    request.flags = flags | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    return request;
}

// The menu bar as rows; the command ids are the tags. The view options list the folder anew.
std::vector<MenuRow> MenuRows(const WindowTexts& t) {
    const auto row = [](const wchar_t* name, long tag, const wchar_t* caption, int depth,
                        void (*action)(F&, long) = nullptr,
                        bool (*checked)(const F&, long) = nullptr, bool radio = false) {
        return MenuRow{name, tag, caption, nullptr, nullptr, action, checked, depth, radio};
    };
    std::vector<MenuRow> rows = {
        row(L"File", 0, t.file, 0),
        MenuRow{L"Catalog", cmCatalog, t.catalog, nullptr, &CanCatalog,
                [](F& f, long) { f.CatalogFolder(); }, nullptr, 1},
        MenuRow{L"Compare", cmCompare, t.compare, nullptr, &CanCatalog,
                [](F& f, long) { f.CompareFolder(); }, nullptr, 1},
        MenuRow{L"AddToCollection", cmAddToCollection, t.addToCollection, nullptr, &CanCatalog,
                [](F& f, long) { f.AddToCollection(); }, nullptr, 1},
        row(nullptr, 0, nullptr, 1),
        row(L"Exit", cmExit, t.exit, 1, [](F& f, long) { f.Close(); }),
        row(L"View", 0, t.view, 0),
        row(L"ShowFolders", cmShowFolders, t.showFolders, 1,
            [](F& f, long) { f.files->SetShowFolders(!f.files->ShowFolders()); },
            [](const F& f, long) { return f.files->ShowFolders(); }),
        row(L"HideFileExt", cmHideFileExt, t.hideFileExt, 1,
            [](F& f, long) {
                f.files->SetHideFileExt(!f.files->HideFileExt());
                f.files->UpdateFileList();
            },
            [](const F& f, long) { return f.files->HideFileExt(); }),
        row(nullptr, 0, nullptr, 1),
        row(L"DateFormat", 0, t.dateFormat, 1),
    };
    for (long i = kv::df_MMddyyyy; i <= kv::df_Customize; ++i)
        rows.push_back(row(
            L"Date", cmDateFormat + i, i == kv::df_Customize ? t.regional : kDateCaptions[i], 2,
            [](F& f, long tag) {
                f.files->SetDateFormat(static_cast<kv::TDtFormat>(tag - cmDateFormat));
                f.files->UpdateFileList();
            },
            [](const F& f, long tag) { return tag == long{cmDateFormat} + f.files->DateFormat(); },
            true));
    rows.push_back(row(L"TimeFormat", 0, t.timeFormat, 1));
    const wchar_t* timeCaptions[] = {t.timeLong, t.timeShort, t.timeCustom};
    for (long i = kv::tfLongFormat; i <= kv::tfCustomize; ++i)
        rows.push_back(row(
            L"Time", cmTimeFormat + i, timeCaptions[i], 2,
            [](F& f, long tag) {
                f.files->SetTimeFormat(static_cast<kv::TTmFormat>(tag - cmTimeFormat));
                f.files->UpdateFileList();
            },
            [](const F& f, long tag) { return tag == long{cmTimeFormat} + f.files->TimeFormat(); },
            true));
    rows.push_back(row(nullptr, 0, nullptr, 1));
    rows.push_back(row(L"Refresh", cmRefresh, t.refresh, 1,
                       [](F& f, long) { f.files->UpdateFileList(); }));
    rows.push_back(row(L"Language", 0, t.language, 0));
    for (long i = kv::lnEnglish; i <= kv::lnPortuguese; ++i)
        rows.push_back(row(
            L"Language", cmLanguage + i, kLanguageNames[i - 1], 1,
            [](F& f, long tag) { f.SetLanguage(static_cast<TLanguage>(tag - cmLanguage)); },
            [](const F& f, long tag) { return tag == long{cmLanguage} + f.Language(); }, true));
    return rows;
}

} // namespace

const WindowTexts& TextsFor(TLanguage language) {
    const int i = language >= kv::lnEnglish && language <= kv::lnPortuguese ? language - 1 : 0;
    return kTexts[i];
}

Tfmexplorador::Tfmexplorador(tmb::Component* owner, std::wstring startFolder)
    : tmb::Form(owner), startFolder_(std::move(startFolder)) {
    SetName(L"fmexplorador");
    SetBorderStyle(tmb::BorderStyle::bsSizeable);
    SetPosition(tmb::FormPosition::poScreenCenter);
    SetColor(tmb::clBtnFace);
    GetFont().SetName(L"Tahoma");
    GetFont().SetHeight(-11);
    SetClientSize(820, 540);

    TopBar = new tmb::WinControl(this);
    TopBar->SetName(L"TopBar");
    TopBar->SetBounds(0, 0, 820, kTopBarHeight);
    TopBar->SetAlign(tmb::Align::alTop);
    TopBar->SetParent(this);

    DirTreeCombo1 = new kv::TKvDirTreeCombo28(this);
    DirTreeCombo1->SetName(L"DirTreeCombo1");
    DirTreeCombo1->SetBounds(4, 4, kComboRoom - 16, 21);
    DirTreeCombo1->SetTreeHeight(320);
    DirTreeCombo1->SetParent(TopBar);

    MaskLabel = new tmb::Label(this);
    MaskLabel->SetName(L"MaskLabel");
    MaskLabel->SetBounds(kComboRoom, 8, 60, 14);
    MaskLabel->SetParent(TopBar);

    MaskEdit = new tmb::Edit(this);
    MaskEdit->SetName(L"MaskEdit");
    MaskEdit->SetBounds(kComboRoom + 70, 4, 160, 21);
    MaskEdit->SetText(L"*.*");
    MaskEdit->SetTabStop(true);
    MaskEdit->SetParent(TopBar);

    StatusBar1 = new tmb::StatusBar(this);
    StatusBar1->SetName(L"StatusBar1");
    StatusBar1->SetBounds(0, 520, 820, 20);
    StatusBar1->SetAlign(tmb::Align::alBottom);
    StatusBar1->SetPanels({140, 200, 200});
    StatusBar1->SetParent(this);

    dirs = new kv::TKvDirTree21(this);
    dirs->SetName(L"dirs");
    dirs->SetBounds(0, kTopBarHeight, 250, 490);
    dirs->SetAlign(tmb::Align::alLeft);
    dirs->SetParent(this);

    files = new kv::TKvFilelistView28(this);
    files->SetName(L"files");
    files->SetBounds(250, kTopBarHeight, 570, 490);
    files->SetAlign(tmb::Align::alClient);
    files->SetRowSelect(true);
    files->SetParent(this);
    files->SetDirTree(dirs);
    files->SetDirTreeCombo(DirTreeCombo1);

    OnCreate = [this](tmb::Component* s) { FormCreate(s); };
    OnDestroy = [this](tmb::Component* s) { FormDestroy(s); };
    // The tree and the combo report a pick before they tell the list: the status bar counts
    // the list once it shows the new folder.
    dirs->OnDirChange = [this](tmb::Component*, const std::wstring& path) {
        // The combo follows the tree; the tree follows the list and the combo through the
        // list's own links.
        if (!SamePlace(path, DirTreeCombo1->SelectedPath()))
            DirTreeCombo1->LocatePath(path);
        QueueStatusUpdate();
    };
    DirTreeCombo1->OnPathChange = [this](tmb::Component*, const std::wstring& path) {
        if (!SamePlace(path, dirs->SelectedPath()))
            dirs->LocatePath(path);
        QueueStatusUpdate();
    };
    files->OnSelectionChange = [this](tmb::Component*) { QueueStatusUpdate(); };
    files->OnItemChange = [this](tmb::Component*, const std::wstring&) { UpdateStatus(); };
    // Backspace, Enter and F5 change the folder from inside the list.
    files->OnKeyUp = [this](tmb::Component*, WORD&, unsigned) { UpdateStatus(); };
    files->OnDblClick = [this](tmb::Component*) { UpdateStatus(); };

    SetLanguage(kv::ResolveViewLanguage(kv::lnSysDefault));
}

void Tfmexplorador::HandleCreated() {
    tmb::Form::HandleCreated();
    BuildMenu();
}

void Tfmexplorador::FormCreate(tmb::Component*) {
    std::wstring last;
    tmb::Registry registry(HKEY_CURRENT_USER, KEY_READ);
    if (registry.OpenKeyReadOnly(kRegistryKey)) {
        try {
            last = registry.ReadString(kRegistryValue);
        } catch (const std::exception& e) {
            tmb::App().HandleException(e);  // then as if nothing were stored
        }
    }
    if (!startFolder_.empty()) {
        // A folder it was started with comes first; one that is not there is said so once,
        // and the window opens as without it.
        const DWORD error = tmb::FolderError(startFolder_);
        if (error == ERROR_SUCCESS)
            last = startFolder_;
        else
            tmb::App().HandleException(
                tmb::Exception(L"\"" + startFolder_ + L"\": " + tmb::SysErrorMessage(error)));
    }
    if (tmb::SameText(last, kv::kDrivesPath)) {
        files->SetDirectory(kv::kDrivesPath);
        files->UpdateFileList();
    } else {
        dirs->OpenFolder(last);
        if (dirs->SelectedPath().empty())
            dirs->OpenFolder(L"c:");
    }
    UpdateStatus();
}

void Tfmexplorador::FormDestroy(tmb::Component*) {
    tmb::Registry registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    if (registry.OpenKey(kRegistryKey, true))
        registry.WriteString(kRegistryValue, files->Directory());
}

void Tfmexplorador::SetLanguage(TLanguage language) {
    // The tree first, the list last: the texts both load follow the last one.
    dirs->SetLanguage(language);
    files->SetLanguage(language);
    language_ = files->Language();
    ApplyTexts();
}

void Tfmexplorador::ApplyTexts() {
    const WindowTexts& t = TextsFor(language_);
    SetText(t.title);
    MaskLabel->SetText(t.mask);
    if (HandleAllocated())
        BuildMenu();
    UpdateStatus();
}

void Tfmexplorador::BuildMenu() {
    const std::vector<MenuRow> rows = MenuRows(TextsFor(language_));
    std::vector<tmb::MenuItem> items;
    tmb::BuildMenuItems(items, rows, [](const wchar_t* caption) { return caption; });
    tmb::ApplyMenuRules(items, rows, *this);
    tmb::MenuHandle bar = tmb::BuildMenuBar(items);
    // The window shows the new bar before the old one goes. A bar set on a window belongs
    // to it and is destroyed with it: only a replaced bar is ours to destroy.
    HMENU old = GetMenu(Handle());
    SetMenu(Handle(), bar.release());
    if (old)
        DestroyMenu(old);
    DrawMenuBar(Handle());
}

void Tfmexplorador::Execute(UINT command) {
    if (!tmb::RunMenuAction(MenuRows(TextsFor(language_)), command, *this))
        return;
    if (command >= cmLanguage)
        return;  // the menu was rebuilt with the texts
    BuildMenu();
    UpdateStatus();
}

bool Tfmexplorador::ReadyToCatalog() {
    if (cataloguing_)
        return false;  // one at a time: the window is disabled, but a command can still be posted
    if (CanCatalog(*this, cmCatalog))
        return true;
    tmb::MessageDlg(TextsFor(language_).chooseFolder, tmb::MsgDlgType::Information, tmb::mbOK);
    return false;
}

void Tfmexplorador::CompareFolder() {
    if (!ReadyToCatalog())
        return;
    // The earlier catalogue is most often the one the folder holds.
    const WindowTexts& t = TextsFor(language_);
    tmb::SaveDialogRequest open = CatalogueFileRequest(*this, t, t.compareTitle, OFN_FILEMUSTEXIST);
    if (tmb::CurrentModalHost().OpenDialog(open))
        CatalogFolder(open.fileName);
}

bool Tfmexplorador::RunCatalogJob(const wchar_t* caption, const std::wstring& folder,
                                  const tmb::FormatSettings& numbers,
                                  const std::function<void(const catalog::ProgressFn&)>& job) {
    const WindowTexts& t = TextsFor(language_);
    tmb::ProgressRequest progress;
    progress.owner = Handle();
    progress.caption = caption;
    progress.lines = {CountsText(t, catalog::Totals{}, numbers), folder};
    progress.cancelCaption = t.cancel;
    progress.task = [&](tmb::ProgressTask& task) {
        job([&](const catalog::Progress& p) {
            const bool reading = p.phase == catalog::Progress::Phase::Reading;
            const std::uint64_t entries = p.counted.folders + p.counted.files;
            task.SetLines({CountsText(t, p.counted, numbers),
                           reading ? p.folder
                                   : std::wstring(t.writingPage) + L" " +
                                         tmb::FormatNumber(static_cast<double>(p.written), 0, numbers) +
                                         L" / " +
                                         tmb::FormatNumber(static_cast<double>(entries), 0, numbers)});
            return !task.Cancelled();
        });
    };
    try {
        struct Busy {
            bool& flag;
            explicit Busy(bool& f) : flag(f) { flag = true; }
            ~Busy() { flag = false; }
        } busy(cataloguing_);
        tmb::CurrentModalHost().RunProgress(progress);
    } catch (const catalog::Cancelled&) {
        return false;  // nothing was written, and the old page is as it was: the user knows why
    } catch (const std::exception& e) {
        tmb::App().HandleException(e);
        return false;
    }
    return true;
}

void Tfmexplorador::RefreshIfWrittenHere(const std::wstring& page, const std::wstring& folder) {
    // The new page shows in the list when it went into the folder shown.
    if (tmb::SameText(kv::AddSlash(kv::ExtractFilePath(page)), kv::AddSlash(folder)) &&
        tmb::SameText(files->Directory(), folder)) {
        files->UpdateFileList();
        UpdateStatus();
    }
}

void Tfmexplorador::OfferToOpen(std::wstring text, const std::wstring& page) {
    text += L"\r\r" + std::wstring(TextsFor(language_).openIt);
    // No working folder for the browser: one would hold the catalogued folder (a USB drive)
    // in use for as long as the browser runs.
    if (tmb::MessageDlg(text, tmb::MsgDlgType::Confirmation, tmb::mbYes | tmb::mbNo) == tmb::mrYes)
        kv::ExecuteFile(L"Open", page, std::wstring(), std::wstring(), SW_SHOWNORMAL);
}

void Tfmexplorador::AddToCollection() {
    if (!ReadyToCatalog())
        return;
    const WindowTexts& t = TextsFor(language_);
    const std::wstring folder = files->Directory();
    tmb::SaveDialogRequest save = CatalogueFileRequest(*this, t, t.collectionTitle, OFN_NOREADONLYRETURN);
    save.defaultExt = L"htm";
    // The collection grows a disc at a time: the one used last is proposed.
    if (const std::wstring last = catalog::LastCollection(); !last.empty()) {
        save.fileName = last;
        save.initialDir = kv::ExtractFilePath(last);
    } else {
        save.fileName = kv::AddSlash(folder) + L"Colecao.htm";
    }
    if (!tmb::CurrentModalHost().SaveDialog(save))
        return;
    catalog::CollectionRequest job;
    job.file = save.fileName;
    job.folders = {folder};
    catalog::CollectionTotals totals;
    const tmb::FormatSettings numbers = tmb::FormatSettings::User();
    if (!RunCatalogJob(t.collectionProgress, folder, numbers, [&](const catalog::ProgressFn& progress) {
            totals = catalog::WriteCollection(job, progress);
        }))
        return;
    catalog::RememberCollection(save.fileName);
    RefreshIfWrittenHere(save.fileName, folder);
    OfferToOpen(std::wstring(t.collectionWritten) + L"\r" + save.fileName + L"\r\r" + t.volumes + L" " +
                    tmb::FormatNumber(static_cast<double>(totals.volumes), 0, numbers) + L"   " +
                    CountsText(t, totals.totals, numbers),
                save.fileName);
}

void Tfmexplorador::CatalogFolder(const std::wstring& earlier) {
    if (!ReadyToCatalog())
        return;
    const WindowTexts& t = TextsFor(language_);
    const std::wstring folder = files->Directory();
    tmb::SaveDialogRequest save =
        CatalogueFileRequest(*this, t, t.catalogTitle, OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN);
    save.defaultExt = L"htm";
    if (!tmb::CurrentModalHost().SaveDialog(save))
        return;

    catalog::Request job;
    job.folder = folder;
    job.file = save.fileName;
    job.compareWith = earlier;
    catalog::Totals totals;
    const tmb::FormatSettings numbers = tmb::FormatSettings::User();
    if (!RunCatalogJob(t.catalogProgress, folder, numbers, [&](const catalog::ProgressFn& progress) {
            totals = catalog::WriteCatalog(job, progress);
        }))
        return;

    RefreshIfWrittenHere(save.fileName, folder);
    std::wstring text = std::wstring(t.catalogWritten) + L"\r" + save.fileName + L"\r\r" +
                        CountsText(t, totals, numbers);
    if (totals.unreadable > 0)
        text += L"\r" + std::wstring(t.unreadable) + L" " +
                tmb::FormatNumber(static_cast<double>(totals.unreadable), 0, numbers);
    if (!earlier.empty()) {
        std::wstring changes = t.changes;
        const std::uint64_t counts[] = {totals.added, totals.removed, totals.changed};
        for (int i = 0; i < 3; ++i)
            changes.replace(changes.find(L"%" + std::to_wstring(i + 1)), 2,
                            tmb::FormatNumber(static_cast<double>(counts[i]), 0, numbers));
        text += L"\r" + changes;
    }
    OfferToOpen(text, save.fileName);
}

void Tfmexplorador::ApplyMask() {
    files->SetMask(MaskEdit->Text());
    UpdateStatus();
}

void Tfmexplorador::UpdateStatus() {
    if (!StatusBar1 || !files)
        return;
    const WindowTexts& t = TextsFor(language_);
    StatusBar1->SetPanelText(0, std::to_wstring(files->SelectedNumber()) + L" " + t.objects);
    const std::int64_t bytes = files->SelectedSize();
    StatusBar1->SetPanelText(1, std::wstring(t.selected) + L" " + KilobytesText((bytes + 1023) / 1024));
    StatusBar1->SetPanelText(2, std::wstring(t.freeSpace) + L" " + KilobytesText(files->DriveFreeSpace()));
}

void Tfmexplorador::QueueStatusUpdate() {
    // A selection can change row by row (Shift+End, Ctrl+A): the sizes are summed once,
    // after the changes, instead of once per row.
    if (!HandleAllocated()) {
        UpdateStatus();
        return;
    }
    if (!statusPending_ && PostMessageW(Handle(), kUpdateStatusMessage, 0, 0))
        statusPending_ = true;
}

LRESULT Tfmexplorador::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kUpdateStatusMessage) {
        statusPending_ = false;
        UpdateStatus();
        return 0;
    }
    if (msg == WM_INITMENUPOPUP && !HIWORD(lParam)) {
        // The list changes folders without the menu being rebuilt: the entries whose rows say
        // when they may run follow it as the menu opens.
        for (const MenuRow& row : MenuRows(TextsFor(language_)))
            if (row.enabled)
                EnableMenuItem(MenuBar(), static_cast<UINT>(row.tag),
                               MF_BYCOMMAND | (row.enabled(*this, row.tag) ? MF_ENABLED : MF_GRAYED));
    }
    if (msg == WM_COMMAND && lParam == 0) {
        // Enter in the mask box comes as the dialog manager's IDOK.
        if (LOWORD(wParam) == IDOK && MaskEdit->Focused()) {
            ApplyMask();
            return 0;
        }
        if (HIWORD(wParam) == 0 && LOWORD(wParam) >= cmExit) {
            Execute(LOWORD(wParam));
            return 0;
        }
    }
    return tmb::Form::WndProc(msg, wParam, lParam);
}

} // namespace explorador
