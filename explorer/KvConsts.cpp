// The explorer texts as a compiled table, one row per key, the five columns in the order
// English, French, German, Spanish, Portuguese (lnEnglish..lnPortuguese). Every text is kept
// exactly as the components join it into their messages: blanks at either end, double quotes
// and spelling included.
#include "explorer/KvConsts.h"

#include <array>
#include <cstddef>

namespace kv {

namespace {

using K = KvText;

constexpr int kLanguageCount = 5;
constexpr std::size_t kKeyCount = static_cast<std::size_t>(KvText::Count);

struct TextRow {
    KvText key;
    const wchar_t* text[kLanguageCount];
};

constexpr TextRow kRows[] = {
    {K::StrDrive,          {L"Drive ", L"Lecteur ", L"Laufwerk ", L"Unidad ", L"Unidade "}},
    {K::StrFolder,         {L"Folder \"", L"Dossier \"", L"Ordner \"", L"Carpeta \"", L"Pasta \""}},
    {K::StrError,          {L"ERROR - ", L"ERREUR - ", L"Fehler - ", L"ERROR - ", L"ERRO - "}},
    {K::StrFile,           {L" file ", L" le fichier  ", L"\" ist fehlgeschlagen mit Datei ", L" el fichero  ", L" arquivo  "}},
    {K::StrFrom,           {L"From  : ", L"de  : ", L"Von  : ", L"De  : ", L"De  : "}},
    {K::StrTo,             {L"To     : ", L"à     : ", L"Nach : ", L"A     : ", L"Para     : "}},
    {K::StrCant,           {L"ERROR - Can't ", L"ERREUR - Impossible de ", L"Fehler - Dateioperation \"", L"ERROR - No se puede ", L"ERRO - impossível "}},
    {K::StrSpecifyDir,     {L"Please specify a directory", L"SVP choisissez un répertoire", L"Bitte wählen Sie ein Verzeichnis:", L"Por favor especifique un directorio", L"Por favor especifique uma pasta"}},
    {K::StrBadDrive,       {L"Not a valid Drive ID", L"ID de lecteur non valide", L"Keine gültige Laufwerksbezeichnung!", L"No es una letra de unidad válida", L"Não é uma letra de unidade válida"}},
    {K::StrNoDisk,         {L"There is no disk in Drive or Drive is not ready", L"Il n'y a pas de disque dans le lecteurou le lecteur n'est pas prêt.", L"Kein Datenträger im Laufwerk oder Laufwerk nicht bereit!", L"No hay disco en la unidad o la unidad no está preparada.", L"Não há um disco na unidade ou a unidade não está preparada."}},
    {K::StrExists,         {L"already exists !", L"\" existe déjà !", L" existiert bereits!", L"\" ya existe !", L" já existe !"}},
    {K::StrBadDirName,     {L"Error - Invalid Directory Name", L"Erreur - Nom de répertoire invalide", L"Fehler - Ungültiger Verzeichnisname:", L"Error - nombre de carpeta no válido", L"Erro - Nome da pasta não é válido"}},
    {K::StrAskRename,      {L"Do you want to rename the selected folder", L"Voulez-vous renommer le dossier sélectionné", L"Wollen Sie den markierten Ordner umbenennen", L"Quiere renombrar la carpeta seleccionada", L"Deseja renomear a pasta selecionada"}},
    {K::StrNoAddDrives,    {L"Can't add drives", L"Impossible d'ajouter des lecteurs", L"Hinzufügen von Laufwerken nicht möglich!", L"No se pueden añadir unidades", L"Não é possível adicionar unidades"}},
    {K::StrNewFolder,      {L"New Folder", L"Nouveau Dossier", L"Neuer Ordner", L"Nueva carpeta", L"Nova pasta"}},
    {K::StrBadChars,       {L"Folder Name contains invalid characters", L"Le nom de dossier contient des caractères interdits", L"Ordnername enthält ungültige Zeichen!", L"El nombre de la carpeta contiene caracteres inválidos.", L"o nome da pasta contém caracteres inválidos."}},
    {K::StrNotFound,       {L"not found", L"pas trouvé", L" nicht gefunden!", L"no encontrado", L"não encontrado"}},
    {K::StrFilesIn,        {L"Files in ", L"Fichiers dans ", L"Dateien in ", L"Ficheros en ", L"Arquivos em "}},
    {K::StrOpFailed,       {L"File operation failed", L"L'opération sur le fichier a échoué", L"Dateioperation ist fehlgeschlagen!", L"La operación con el fichero ha fallado", L"Operação com arquivos falhou"}},
    {K::StrTreeSize,       {L"TREE SIZE", L"Taille de l'arbre", L"BAUMGRÖßE", L"TAMAÑO DEL ÁRBOL", L"Tamanho do diretório"}},
    {K::StrSubFolders,     {L"and all its Sub-Folders ", L"et de tous ses sous-dossiers ", L"und alle untergeordneten Ordner ", L"y todas sus subcarpetas ", L"e todas as sub-pastas "}},
    {K::StrCancel,         {L"Cancel", L"Annule", L"&Abbrechen", L"Cancelar", L"Cancelar"}},
    {K::StrBrowse,         {L"Browse", L"Parcourir", L"Ordner &wählen", L"Explorar", L"Explorar"}},
    {K::StrReadOnly,       {L"ReadOnly", L"Lecture Seule", L"Schreibgeschützt", L"Sólo lectura", L"Somente leitura"}},
    {K::StrArchive,        {L"Archive", L"Archive", L"Archiv", L"Archivo", L"Arquivo"}},
    {K::StrHidden,         {L"Hidden", L"Caché", L"Versteckt", L"Oculto", L"Oculto"}},
    {K::StrSystem,         {L"System", L"Système", L"System", L"Sistema", L"Sistema"}},
    {K::StrIsReadOnly,     {L"It's ReadOnly", L"Lecteur en Lecture Seule", L"Die Datei ist schreibgeschützt!", L"Es de sólo lectura", L"Somente para leitura"}},
    {K::StrNoSelection,    {L"No file(s) selected", L"Pas de fichier sélectionné", L"Keine Datei(en) markiert!", L"No hay fichero(s) seleccionado(s)", L"Não há pasta(s) selecionada(s)"}},
    {K::StrSendToFolder,   {L"Send to any folder", L"Copier dans le dossier...", L"An Ordner senden...", L"Enviar a carpeta", L"Enviar para a pasta"}},
    {K::StrEnterSendTo,    {L"Please enter the send_to path", L"Veuillez donner le chemin de destination", L"Bitte geben Sie den Zielpfad ein:", L"Por favor intruduzca la carpeta donde enviar", L"Por favor digite caminho da pasta de destino"}},
    {K::StrShortcutFailed, {L"Error - PersistFile.Save failed", L"Erreur - Fichier protégé.L'enregistrement à échoué", L"Verknüpfung konnte nicht erstellt werden!", L"Error - PersistFile.Save falló", L"Erro - PersistFile.Save falhou"}},
    {K::StrSetAttributes,  {L"Set Attributes", L"Donnez les Attributs", L"Attribute setzen...", L"Poner atributos", L"Setar atributos"}},
    {K::CapNewFolder,      {L"&New Folder", L"&Nouveau Dossier", L"&Neuer Ordner", L"&Nueva carpeta", L"&Nova pasta"}},
    {K::CapRenameFolder,   {L"&Rename Folder", L"&Renommer le Dossier", L"&Ordner umbenennen", L"&Renombrar carpeta", L"&Renomear pasta"}},
    {K::CapDeleteFolder,   {L"&Delete Folder", L"&Effacer le Dossier", L"Ordner &löschen", L"&Borrar carpeta", L"&Apagar pasta"}},
    {K::CapCut,            {L"Cu&t", L"Cou&per", L"&Ausschneiden", L"Cor&tar", L"Cor&tar"}},
    {K::CapCopy,           {L"&Copy", L"&Copier", L"&Kopieren", L"&Copiar", L"&Copiar"}},
    {K::CapPaste,          {L"&Paste", L"Co&ller", L"&Einfügen", L"&Pegar", L"Col&ar"}},
    {K::CapTreeSize,       {L"Tree &Size", L"Taille de l'&arborescence", L"Ordner&größe", L"Ta&maño del árbol", L"Ta&manho do diretório"}},
    {K::CapContents,       {L"&Folder Contents", L"&Contenu du Dossier", L"Ordner&inhalt", L"C&ontenido de la carpeta", L"C&onteúdo da pasta"}},
    {K::CapConnect,        {L"&Map Network Drive ...", L"&Connecter Lecteur Réseau ...", L"Netzlaufwerk &verbinden...", L"Con&ectar unidad de red", L"Con&ectar unidade de rede"}},
    {K::CapDisconnect,     {L"Dis&Connect Network Drive", L"&Déconnecter Lecteur Réseau", L"Netzlaufwerk &trennen...", L"De&sconectar unidad de red", L"De&sconectar unidade de rede"}},
    {K::CapProperty,       {L"&Property", L"&Propriétés", L"Eigen&schaften", L"&Propiedades", L"&Propriedades"}},
    {K::CapOpen,           {L"&Open", L"&Ouvrir", L"Ö&ffnen", L"&Abrir", L"&Abrir"}},
    {K::CapView,           {L"&View", L"&Voir", L"An&zeigen", L"&Ver", L"&Visualizar"}},
    {K::CapSendTo,         {L"Se&nd To", L"Co&pier dans", L"Se&nden an", L"E&nviar a", L"E&nviar para"}},
    {K::CapFileCut,        {L"Cu&t", L"C&ouper", L"&Ausschneiden", L"Cor&tar", L"Cor&tar"}},
    {K::CapFileCopy,       {L"&Copy", L"&Copier", L"&Kopieren", L"&Copiar", L"&Copiar"}},
    {K::CapFilePaste,      {L"&Paste", L"Co&ller", L"&Einfügen", L"&Pegar", L"Col&ar"}},
    {K::CapRename,         {L"&Rename", L"&Renommer", L"&Umbenennen", L"&Renombrar", L"&Renomear"}},
    {K::CapDelete,         {L"&Delete", L"&Supprimer", L"&Löschen", L"&Borrar", L"&Apagar"}},
    {K::CapProperties,     {L"&Properties", L"&Propriétés", L"Eigen&schaften", L"&Propiedades", L"&Propriedades"}},
    {K::CapNewFolderDots,  {L"&New Folder...", L"&Nouveau Dossier ...", L"Neuer &Ordner", L"&Nueva carpeta ...", L"&Nova pasta ..."}},
    {K::CapAnyFolder,      {L"Any Folder ...", L"le Dossier ...", L"Ordne&r...", L"Una carpeta ...", L"Para a pasta ..."}},
    {K::CapClipContents,   {L"Clipboard as Contents", L"Contenu dans le Presse-Papier", L"&Datei(en) an Zwischenablage", L"Copiar contenido al portapapeles", L"Copiar conteúdo para área de transferência"}},
    {K::CapClipName,       {L"Clipboard as FileName", L"Nom du fichier  dans le Presse-Papier", L"Dateiname(n) an Z&wischenablage", L"Copiar nombre del fichero al portapapeles", L"Copiar somente o nome para área de transferência"}},
    {K::CapDesktopShortcut,{L"DeskTop as ShortCut", L"Comme Raccourci sur le Bureau", L"&Verknüpfung auf den Desktop", L"Acceso directo al escritorio", L"Área de Trabalhao como Atalho"}},
    {K::ColName,           {L"Name", L"Nom", L"Dateiname", L"Nombre", L"Nome"}},
    {K::ColSize,           {L"Size", L"Taille", L"Größe", L"Tamaño", L"Tamanho"}},
    {K::ColType,           {L"Type", L"Type", L"Typ", L"Tipo", L"Tipo"}},
    {K::ColModified,       {L"Modified", L"Date", L"Geändert am", L"Modificado", L"Modificado"}},
    {K::ColAttr,           {L"Attr", L"Attributs", L"Attribute", L"Attributos", L"Atributos"}},
    {K::ColDiskSize,       {L"Disk Size", L"Taille Disque", L"Gesamtgröße", L"Tamaño total", L"Tamanho total"}},
    {K::ColFreeSpace,      {L"Free Space", L"Espace libre", L"Freier Speicher", L"Espacio libre", L"Espaço livre"}},
    {K::DrvUnknown,        {L"Unknown", L"Inconnu", L"Unbekannt", L"Desconocido", L"Desconhecido"}},
    {K::DrvNotExist,       {L"Not exist", L"N'existe pas", L"Nicht existent", L"No existe", L"Não existe"}},
    {K::DrvRemovable,      {L"Removable Disk", L"Disque amovible", L"Disketten-Laufwerk", L"Disco extraible", L"Disco removível"}},
    {K::DrvFixed,          {L"Fixed Disk", L"Disque Fixe", L"Lokales Laufwerk", L"Disco fijo", L"Disco fixo"}},
    {K::DrvNetwork,        {L"Network Disk", L"Disque Réseau", L"Netz-Laufwerk", L"Disco de red", L"Disco de rede"}},
    {K::DrvCDROM,          {L"CD-ROM Disk", L"CD-ROM", L"CD-ROM-Laufwerk", L"CD-ROM", L"CD-ROM"}},
    {K::DrvRAM,            {L"RAM Disk", L"RAM Disk", L"RAM-Laufwerk", L"Disco RAM", L"Disco RAM"}},
    {K::StrSizeCancelled,  {L"Cancelled: only what was counted until then", L"Annul\u00e9 : seulement ce qui a \u00e9t\u00e9 compt\u00e9 jusque-l\u00e0", L"Abgebrochen: nur das bis dahin Gez\u00e4hlte", L"Cancelado: solo lo contado hasta entonces", L"Cancelado: somente o que foi contado at\u00e9 ent\u00e3o"}},
    {K::StrIntoItself,     {L"A folder cannot be copied or moved into itself or into one of its own subfolders.", L"Un dossier ne peut pas \u00eatre copi\u00e9 ou d\u00e9plac\u00e9 dans lui-m\u00eame ni dans l'un de ses sous-dossiers.", L"Ein Ordner kann nicht in sich selbst oder in einen seiner Unterordner kopiert oder verschoben werden.", L"Una carpeta no se puede copiar ni mover dentro de s\u00ed misma ni a una de sus subcarpetas.", L"Uma pasta n\u00e3o pode ser copiada nem movida para dentro de si mesma ou de uma de suas subpastas."}},
};

constexpr bool RowsFollowKeyOrder() {
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        if (static_cast<std::size_t>(kRows[i].key) != i) return false;
    }
    return true;
}
static_assert(std::size(kRows) == kKeyCount, "one row per key");
static_assert(RowsFollowKeyOrder(), "rows in the order of KvText");

using TextTable = std::array<std::array<std::wstring, kLanguageCount>, kKeyCount>;

// Built on first use, so components created during static initialisation see the texts too.
const TextTable& Table() {
    static const TextTable table = [] {
        TextTable t;
        for (std::size_t i = 0; i < kKeyCount; ++i) {
            for (int l = 0; l < kLanguageCount; ++l) t[i][l] = kRows[i].text[l];
        }
        return t;
    }();
    return table;
}

bool IsStoredLanguage(TLanguage language) {
    return language >= lnEnglish && language <= lnPortuguese;
}

struct MessageSlot {
    std::wstring KvMessageTexts::*field;
    KvText key;
};

constexpr MessageSlot kTreeMessages[] = {
    {&KvMessageTexts::StrDrive, K::StrDrive},
    {&KvMessageTexts::StrFolder, K::StrFolder},
    {&KvMessageTexts::StrError, K::StrError},
    {&KvMessageTexts::StrFile, K::StrFile},
    {&KvMessageTexts::StrFrom, K::StrFrom},
    {&KvMessageTexts::StrTo, K::StrTo},
    {&KvMessageTexts::StrCant, K::StrCant},
    {&KvMessageTexts::StrSpecifyDir, K::StrSpecifyDir},
    {&KvMessageTexts::StrBadDrive, K::StrBadDrive},
    {&KvMessageTexts::StrNoDisk, K::StrNoDisk},
    {&KvMessageTexts::StrExists, K::StrExists},
    {&KvMessageTexts::StrBadDirName, K::StrBadDirName},
    {&KvMessageTexts::StrAskRename, K::StrAskRename},
    {&KvMessageTexts::StrNoAddDrives, K::StrNoAddDrives},
    {&KvMessageTexts::StrNewFolder, K::StrNewFolder},
    {&KvMessageTexts::StrBadChars, K::StrBadChars},
    {&KvMessageTexts::StrNotFound, K::StrNotFound},
    {&KvMessageTexts::StrFilesIn, K::StrFilesIn},
    {&KvMessageTexts::StrOpFailed, K::StrOpFailed},
    {&KvMessageTexts::StrTreeSize, K::StrTreeSize},
    {&KvMessageTexts::StrSubFolders, K::StrSubFolders},
};
static_assert(std::size(kTreeMessages) == 21);

constexpr MessageSlot kViewMessages[] = {
    // Shared with the tree.
    {&KvMessageTexts::StrError, K::StrError},
    {&KvMessageTexts::StrFile, K::StrFile},
    {&KvMessageTexts::StrCant, K::StrCant},
    {&KvMessageTexts::StrSpecifyDir, K::StrSpecifyDir},
    {&KvMessageTexts::StrBadDrive, K::StrBadDrive},
    {&KvMessageTexts::StrNoDisk, K::StrNoDisk},
    {&KvMessageTexts::StrExists, K::StrExists},
    {&KvMessageTexts::StrNewFolder, K::StrNewFolder},
    // The view's own.
    {&KvMessageTexts::StrCancel, K::StrCancel},
    {&KvMessageTexts::StrBrowse, K::StrBrowse},
    {&KvMessageTexts::StrReadOnly, K::StrReadOnly},
    {&KvMessageTexts::StrArchive, K::StrArchive},
    {&KvMessageTexts::StrHidden, K::StrHidden},
    {&KvMessageTexts::StrSystem, K::StrSystem},
    {&KvMessageTexts::StrIsReadOnly, K::StrIsReadOnly},
    {&KvMessageTexts::StrNoSelection, K::StrNoSelection},
    {&KvMessageTexts::StrSendToFolder, K::StrSendToFolder},
    {&KvMessageTexts::StrEnterSendTo, K::StrEnterSendTo},
    {&KvMessageTexts::StrShortcutFailed, K::StrShortcutFailed},
    {&KvMessageTexts::StrSetAttributes, K::StrSetAttributes},
};
static_assert(std::size(kViewMessages) == 20);

template <std::size_t N>
void LoadMessages(const MessageSlot (&slots)[N], TLanguage language) {
    if (!IsStoredLanguage(language)) return;
    for (const MessageSlot& slot : slots) KvMessages.*slot.field = KvTextOf(slot.key, language);
}

} // namespace

// Constant-initialised, so they already hold their empty state when other units' static
// initialisers run.
constinit KvMessageTexts KvMessages;
constinit TLanguage TreeLanguage = lnSysDefault;
constinit TLanguage ViewLanguage = lnSysDefault;

const std::wstring& KvTextOf(KvText key, TLanguage language) {
    static const std::wstring empty;
    const auto index = static_cast<std::size_t>(key);
    if (index >= kKeyCount || !IsStoredLanguage(language)) return empty;
    return Table()[index][language - lnEnglish];
}

void LoadTreeTexts() { LoadMessages(kTreeMessages, TreeLanguage); }

void LoadViewTexts() { LoadMessages(kViewMessages, ViewLanguage); }

bool TakeLanguage(TLanguage resolved, TLanguage& own, TLanguage& family, void (*loadTexts)()) {
    if (resolved == own)
        return false;
    own = resolved;
    family = resolved;
    loadTexts();
    return true;
}

TLanguage LanguageFromLangId(LANGID id) {
    switch (PRIMARYLANGID(id)) {
    case LANG_GERMAN: return lnGerman;         // 7
    case LANG_ENGLISH: return lnEnglish;       // 9
    case LANG_SPANISH: return lnSpanish;       // 10
    case LANG_FRENCH: return lnFrench;         // 12
    case LANG_PORTUGUESE: return lnPortuguese; // 22
    default: return lnEnglish;
    }
}

TLanguage ResolveTreeLanguage(TLanguage value) {
    return value == lnSysDefault ? LanguageFromLangId(GetUserDefaultLangID()) : value;
}

TLanguage ResolveViewLanguage(TLanguage value) {
    return value == lnSysDefault ? LanguageFromLangId(GetSystemDefaultLangID()) : value;
}

} // namespace kv
