// The main window: its layout, the wiring of its controls to its handlers, and the last
// folder kept in the registry between runs.
#include "app/tombarel.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>

#include "app/ButtonGlyphs.h"
#include "app/FileActions.h"
#include "app/Listings.h"
#include "explorer/KvFileExplorer28.h"
#include "framework/Application.h"
#include "framework/CommandLine.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Locale.h"
#include "framework/Paths.h"
#include "framework/Registry.h"

namespace app {

using namespace tmb;

namespace {

const wchar_t kEmptyFolderMessage[] = L"O diret\u00f3rio selecionado esta vazio.";

} // namespace

tmb::Label* Tfmtextdir::MakeLabel(const wchar_t* name, int left, int top, const wchar_t* caption) {
    auto* label = new tmb::Label(this);
    label->SetName(name);
    label->SetParent(this);
    label->SetBounds(left, top, 0, 0);
    label->SetText(caption);
    return label;
}

xp::TtfXPButton* Tfmtextdir::MakeXPButton(const wchar_t* name, WinControl* parent, int left,
                                          int top, int width, int height, const wchar_t* caption) {
    auto* button = new xp::TtfXPButton(this);
    button->SetName(name);
    button->SetBounds(left, top, width, height);
    button->SetText(caption);
    button->SetParent(parent);
    return button;
}

Tfmtextdir::Tfmtextdir(Component* owner, std::wstring startFolder)
    : Form(owner), startFolder_(std::move(startFolder)) {
    SetName(L"fmtextdir");
    SetText(L"Tombarel 1.5");
    SetBorderStyle(BorderStyle::bsToolWindow);
    SetBorderIcons(0);
    SetPosition(FormPosition::poScreenCenter);
    SetColor(clBtnFace);
    GetFont().SetName(L"MS Sans Serif");
    GetFont().SetHeight(-11);
    SetClientSize(692, 449);

    Label1 = MakeLabel(L"Label1", 52, 48, L"Selecione o diret\u00f3rio");
    Label1->GetFont().SetColor(clBlack);
    Label2 = MakeLabel(L"Label2", 272, 48, L"Lista de arquivos");
    Label2->GetFont().SetColor(clBlack);
    Label3 = MakeLabel(L"Label3", 524, 48, L"C\u00f3digo fonte");
    Label3->GetFont().SetColor(clBlack);

    myaSuperLabel1 = new xp::TmyaSuperLabel(this);
    myaSuperLabel1->SetName(L"myaSuperLabel1");
    myaSuperLabel1->SetAutoSize(false);
    myaSuperLabel1->SetParent(this);
    myaSuperLabel1->SetBounds(516, 416, 177, 15);
    myaSuperLabel1->SetText(kMakerSite);
    myaSuperLabel1->SetColor(clWindow);
    myaSuperLabel1->SetTransparent(true);
    myaSuperLabel1->GetFont().SetColor(clNavy);
    myaSuperLabel1->GetFont().SetStyle(fsUnderline);
    myaSuperLabel1->SetAFitType(xp::ftBestFitBoth);
    myaSuperLabel1->SetAShadeLTSet(false);
    myaSuperLabel1->SetEndColor(clGradientActiveCaption);
    myaSuperLabel1->SetLabelType(xp::ltHttp);
    myaSuperLabel1->SetColorSelected(clNavy);

    Label4 = MakeLabel(L"Label4", 12, 337, L"Total:");
    Label5 = MakeLabel(L"Label5", 12, 355, L"Tamanho total:");
    Label6 = MakeLabel(L"Label6", 12, 412, L"");
    Label7 = MakeLabel(L"Label7", 60, 372, L"Arquivo:");

    files = new FileListBox(this);
    files->SetName(L"files");
    files->GetFont().SetName(L"Times New Roman");
    files->GetFont().SetHeight(-13);
    files->SetBounds(192, 68, 245, 260);
    files->SetParent(this);

    dirs = new kv::TKvDirTree21(this);
    dirs->SetName(L"dirs");
    dirs->SetLanguage(kv::lnPortuguese);
    dirs->SetHideSelection(false);
    dirs->SetIndent(19);
    dirs->SetReadOnly(true);
    dirs->SetBounds(8, 68, 180, 261);
    dirs->SetParent(this);

    result = new SourceView(this);
    result->SetName(L"result");
    result->SetReadOnly(true);
    result->SetScrollBars(true, true);
    result->SetBounds(444, 68, 241, 261);
    result->SetParent(this);

    ToolBar1 = new ToolBar(this);
    ToolBar1->SetName(L"ToolBar1");
    ToolBar1->SetButtonHeight(30);
    ToolBar1->SetBounds(0, 0, 692, 40);
    ToolBar1->SetAlign(Align::alTop);
    ToolBar1->SetParent(this);
    const int gerahtmLeft = ToolBar1->AddControlRoom(105);
    ToolBar1->AddSeparator(20);
    const int salvarLeft = ToolBar1->AddControlRoom(105);
    ToolBar1->AddSeparator(20);
    const int sobreLeft = ToolBar1->AddControlRoom(105);
    ToolBar1->AddSeparator(20);
    const int sairLeft = ToolBar1->AddControlRoom(105);
    btgerahtm = MakeXPButton(L"btgerahtm", ToolBar1, gerahtmLeft, 2, 105, 30, L"Gerar html");
    btsalvar = MakeXPButton(L"btsalvar", ToolBar1, salvarLeft, 2, 105, 30, L"Salvar");
    btsalvar->SetEnabled(false);
    btsobre = MakeXPButton(L"btsobre", ToolBar1, sobreLeft, 2, 105, 30, L"Sobre");
    btsair = MakeXPButton(L"btsair", ToolBar1, sairLeft, 2, 105, 30, L"Sair");

    texto = new SourceView(this);
    texto->SetName(L"texto");
    texto->SetVisible(false);
    texto->SetBounds(192, 336, 37, 25);
    texto->SetParent(this);

    tfXPButton1 = MakeXPButton(L"tfXPButton1", this, 536, 340, 105, 22, L"Limpar");
    tfXPButton2 = MakeXPButton(L"tfXPButton2", this, 268, 340, 105, 22, L"Salvar em texto");
    DressXPButton(*btgerahtm, ButtonGlyph::GerarHtml);
    DressXPButton(*btsalvar, ButtonGlyph::Salvar);
    DressXPButton(*btsobre, ButtonGlyph::Sobre);
    DressXPButton(*btsair, ButtonGlyph::Sair);
    DressXPButton(*tfXPButton1, ButtonGlyph::Limpar);
    DressXPButton(*tfXPButton2, ButtonGlyph::SalvarTexto);

    StatusBar1 = new StatusBar(this);
    StatusBar1->SetName(L"StatusBar1");
    StatusBar1->SetBounds(0, 429, 692, 20);
    StatusBar1->SetAlign(Align::alBottom);
    StatusBar1->SetPanels({60, 100});
    StatusBar1->SetParent(this);

    Edit1 = new Edit(this);
    Edit1->SetName(L"Edit1");
    Edit1->SetReadOnly(true);
    Edit1->SetColor(clWhite);
    Edit1->SetBounds(12, 388, 129, 21);
    Edit1->SetParent(this);

    btabrir = new Button(this);
    btabrir->SetName(L"btabrir");
    btabrir->SetText(L"Abrir");
    btabrir->SetBounds(144, 380, 45, 21);
    btabrir->SetParent(this);

    btdeletar = new Button(this);
    btdeletar->SetName(L"btdeletar");
    btdeletar->SetText(L"Deletar");
    btdeletar->SetEnabled(false);
    btdeletar->SetBounds(144, 404, 45, 21);
    btdeletar->SetParent(this);

    PopupMenu1 = new PopupMenu(this);
    PopupMenu1->SetName(L"PopupMenu1");
    WinXP1 = new xp::TWinXP(this);
    WinXP1->SetName(L"WinXP1");

    salvar = new SaveDialog(this);
    salvar->SetName(L"salvar");
    salvar->DefaultExt = L"txt";
    salvar->Filter = L"Arquivo de texto|*.txt";
    salvar->Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;

    // References to other components are resolved once everything exists: the window's
    // empty menu replaces the tree's own.
    dirs->SetPopupMenu(PopupMenu1);

    OnCreate = [this](Component* s) { FormCreate(s); };
    OnDestroy = [this](Component* s) { FormDestroy(s); };
    dirs->OnDirChange = [this](Component* s, const std::wstring& p) { dirsDirChange(s, p); };
    files->OnChange = [this](Component* s) { filesChange(s); };
    files->OnClick = [this](Component* s) { filesClick(s); };
    files->OnDblClick = [this](Component* s) { filesDblClick(s); };
    Edit1->OnChange = [this](Component* s) { Edit1Change(s); };
    result->OnChange = [this](Component* s) { resultChange(s); };
    btgerahtm->OnClick = [this](Component* s) { btgerahtmClick(s); };
    btsalvar->OnClick = [this](Component* s) { tfXPButton3Click(s); };
    tfXPButton2->OnClick = [this](Component* s) { tfXPButton2Click(s); };
    tfXPButton1->OnClick = [this](Component* s) { tfXPButton1Click(s); };
    btabrir->OnClick = [this](Component* s) { btabrirClick(s); };
    btdeletar->OnClick = [this](Component* s) { btdeletarClick(s); };
    btsobre->OnClick = [this](Component* s) { btsobreClick(s); };
    btsair->OnClick = [this](Component* s) { btsairClick(s); };
}

// ---- start and end ----------------------------------------------------------------------

void Tfmtextdir::FormCreate(Component*) {
    // Whatever "lastdir" holds, the window opens: a folder that cannot be read is reported
    // once, the tree stays where it got, the list stays empty and the selected-file controls
    // are off, as after any folder change.
    try {
        OpenStartFolder();
    } catch (...) {
        App().HandleException(std::current_exception());
    }
    ShowNoFileSelected();
}

bool Tfmtextdir::OpenGivenFolder() {
    // A folder that is not there is said so once; the window then opens as without one.
    const DWORD error = FolderError(startFolder_);
    if (error == ERROR_SUCCESS)
        dirs->OpenFolder(startFolder_);
    if (error != ERROR_SUCCESS || dirs->SelectedPath().empty()) {
        App().HandleException(Exception(L"N\u00e3o foi poss\u00edvel abrir a pasta \"" + startFolder_ +
                                        L"\". " + SysErrorMessage(error ? error : ERROR_PATH_NOT_FOUND)));
        return false;
    }
    // One the user may not read is reported by FormCreate, as a stored one is.
    PointFilesAt(dirs->SelectedPath());
    return true;
}

void Tfmtextdir::OpenStartFolder() {
    if (!startFolder_.empty() && OpenGivenFolder())
        return;
    Registry reg(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    if (reg.KeyExists(kRegistryKey)) {
        reg.OpenKey(kRegistryKey, false);
        std::wstring last;
        try {
            last = reg.ReadString(kRegistryValue);
        } catch (const std::exception& e) {
            // A value of the wrong type is reported and then treated as no stored folder.
            App().HandleException(e);
        }
        dirs->OpenFolder(last);
        PointFilesAt(dirs->SelectedPath());
        reg.CloseKey();
        if (dirs->SelectedPath().empty())
            dirs->OpenFolder(L"c:");
    } else {
        dirs->OpenFolder(L"c:");
        PointFilesAt(dirs->SelectedPath());
    }
}

void Tfmtextdir::FormDestroy(Component*) {
    Registry reg(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    reg.OpenKey(kRegistryKey, true);
    // Written every time, whatever the tree holds; fails with the platform's text when the
    // key could not be opened.
    reg.WriteString(kRegistryValue, dirs->SelectedPath());
}

void Tfmtextdir::PointFilesAt(const std::wstring& path) {
    if (path == L"Drives") {
        files->SetEnabled(false);
        return;
    }
    // Enabled once the folder is read: one that cannot be read leaves the list as it was,
    // greyed out too when it was.
    if (!path.empty())
        files->SetDirectory(path);
    files->SetEnabled(true);
}

// ---- folder and file panel -------------------------------------------------------------

void Tfmtextdir::dirsDirChange(Component*, const std::wstring&) {
    // Reading the new folder raises the list's change notification: the totals are shown
    // before the selected-file controls are reset. A folder that cannot be read stops here,
    // with nothing changed.
    PointFilesAt(dirs->SelectedPath());
    ShowNoFileSelected();
}

void Tfmtextdir::ShowNoFileSelected() {
    Label6->SetText(L"");
    Edit1->SetText(L"");
    result->SetText(L"");
    Edit1->SetEnabled(false);
    Label7->SetEnabled(false);
    btabrir->SetEnabled(false);
    btsalvar->SetEnabled(false);
}

void Tfmtextdir::filesChange(Component*) {
    // The sizes were taken in the same pass that read the names and are taken again, in one
    // pass, only when another program changed the folder since; the selected file's size is
    // measured by the click that comes before this notification.
    files->RefreshSizes();
    const double total = files->TotalSize();
    StatusBar1->SetPanelText(0, L"Diret\u00f3rio:");
    StatusBar1->SetPanelText(1, files->Directory());
    Label4->SetText(L"Total: " + std::to_wstring(files->Count()) + L" arquivo(s)");
    Label5->SetText(TotalSizeCaption(total));
}

void Tfmtextdir::filesClick(Component*) {
    const std::wstring path = files->FileName();
    if (path.empty())
        return;
    // The size comes from the directory entry: a file another program holds open (without
    // sharing) is selected like any other. A file that vanished does nothing.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    files->SetItemSize(files->ItemIndex(), size);
    Edit1->SetEnabled(true);
    Label7->SetEnabled(true);
    btabrir->SetEnabled(true);
    Edit1->SetText(files->Item(files->ItemIndex()));
    Label6->SetText(L"Tamanho: " + SizeText(static_cast<double>(size)));
}

void Tfmtextdir::Edit1Change(Component*) {
    const bool any = !Edit1->Text().empty();
    btdeletar->SetEnabled(any);
    btabrir->SetEnabled(any);
}

// ---- listings ---------------------------------------------------------------------------

void Tfmtextdir::resultChange(Component*) { btsalvar->SetEnabled(result->TextLength() != 0); }

void Tfmtextdir::tfXPButton1Click(Component*) {
    result->SetText(L"");
    btsalvar->SetEnabled(false);
}

ListingInput Tfmtextdir::ListingOfFiles() const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ListingInput{files->Directory(), files->Names(), Label5->Text(), ListingDateTime(now)};
}

void Tfmtextdir::btgerahtmClick(Component*) {
    result->SetText(L"");
    if (files->Count() == 0) {
        ShowMessage(kEmptyFolderMessage);
        return;
    }
    // The whole page goes into the pane at once.
    result->SetText(BuildHtmlPage(ListingOfFiles()));
}

void Tfmtextdir::WritePane(const std::wstring& path) const {
    // Written from the pane's own text, a chunk at a time: the page is never held twice.
    WriteListingReplacing(path, [this](const TextSink& sink) { result->ReadText(sink); });
}

void Tfmtextdir::tfXPButton3Click(Component*) {
    const std::wstring folder = files->Directory();
    if (!folder.empty())
        SaveHtmlListing(folder, [this](const std::wstring& path) { WritePane(path); },
                        [this] { resposta(); });
}

void Tfmtextdir::resposta() {
    WriteListaHtmAndOffer(files->Directory(), [this](const std::wstring& path) { WritePane(path); },
                          [this] { files->Update(); });
}

void Tfmtextdir::tfXPButton2Click(Component*) {
    if (files->Count() == 0) {
        ShowMessage(kEmptyFolderMessage);
        return;
    }
    salvar->InitialDir = files->Directory();
    texto->SetText(L"");
    // The listing's facts are taken at the click; the names are shared with the list, so
    // the listing keeps them even if the list is read again meanwhile, and it is written a
    // chunk at a time instead of being held whole as text and again as bytes.
    const ListingInput input = ListingOfFiles();
    if (!salvar->Execute(Handle()))
        return;
    WriteListingReplacing(salvar->FileName,
                          [&input](const TextSink& sink) { EmitTextListing(input, sink); });
    files->Update();
}

// ---- file actions -----------------------------------------------------------------------

std::wstring AboutText() {
    return L"Tombarel - 1.5 \r"
           L"      By Henrique Vasconcelos Amaral\r"
           L"\r"
           L"       henrique.amaral@quorvantix.com.br\r"
           L"\r"
           L"http://" + std::wstring(kMakerSite);
}

void Tfmtextdir::OpenSelectedFile() {
    const std::wstring path = files->FileName();
    if (path.empty())
        return;
    // The extension after the last dot of the name, compared as written: ".HTM" is not a
    // web page here and goes the reporting way.
    const size_t slash = path.find_last_of(L"\\/:");
    const size_t dot = path.rfind(L'.');
    const std::wstring ext =
        (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
            ? path.substr(dot)
            : std::wstring();
    if (ext == L".htm" || ext == L".html" || ext == L".mht")
        ShellOpen(path);
    else
        ShellOpenReporting(path);
}

void Tfmtextdir::btabrirClick(Component*) { OpenSelectedFile(); }
void Tfmtextdir::filesDblClick(Component*) { OpenSelectedFile(); }

void Tfmtextdir::btdeletarClick(Component*) {
    const std::wstring path = files->FileName();
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (MessageDlg(L"Deseja Excluir o arquivo Selecionado?", MsgDlgType::Confirmation,
                       mbYes | mbNo) == mrYes)
            RecycleFile(path);
    }
    // Whatever happened: the list is read again and nothing is selected.
    files->Update();
    Edit1->SetText(L"");
}

void Tfmtextdir::btsobreClick(Component*) { ShowMessage(AboutText()); }

void Tfmtextdir::btsairClick(Component*) { App().Terminate(); }

} // namespace app
