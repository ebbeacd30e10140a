// The main window: its layout, the wiring of its controls to its handlers, and the last
// folder kept in the registry between runs.
#include "app/tombarel.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Registry.h"

namespace app {

using namespace tmb;

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

Tfmtextdir::Tfmtextdir(Component* owner) : Form(owner) {
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
    myaSuperLabel1->SetCursor(CursorKind::crHandPoint);

    Label4 = MakeLabel(L"Label4", 12, 337, L"Total:");
    Label5 = MakeLabel(L"Label5", 12, 355, L"Tamanho total:");
    Label6 = MakeLabel(L"Label6", 12, 412, L"");
    Label7 = MakeLabel(L"Label7", 60, 372, L"Arquivo:");

    files = new FileListBox(this);
    files->SetName(L"files");
    files->GetFont().SetName(L"Times New Roman");
    files->GetFont().SetHeight(-13);
    files->SetItemHeight(16);
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

    result = new Memo(this);
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

    texto = new Memo(this);
    texto->SetName(L"texto");
    texto->SetVisible(false);
    texto->SetBounds(192, 336, 37, 25);
    texto->SetParent(this);

    tfXPButton1 = MakeXPButton(L"tfXPButton1", this, 536, 340, 105, 22, L"Limpar");
    tfXPButton2 = MakeXPButton(L"tfXPButton2", this, 268, 340, 105, 22, L"Salvar em texto");

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
    files->SetEnabled(true);
    if (!path.empty())
        files->SetDirectory(path);
}

// ---- folder and file panel -------------------------------------------------------------

void Tfmtextdir::dirsDirChange(Component*, const std::wstring&) {
    PointFilesAt(dirs->SelectedPath());
}

void Tfmtextdir::filesChange(Component*) {}
void Tfmtextdir::filesClick(Component*) {}
void Tfmtextdir::Edit1Change(Component*) {}

// ---- listings ---------------------------------------------------------------------------

void Tfmtextdir::resultChange(Component*) {}
void Tfmtextdir::btgerahtmClick(Component*) {}
void Tfmtextdir::tfXPButton3Click(Component*) {}
void Tfmtextdir::resposta() {}
void Tfmtextdir::tfXPButton2Click(Component*) {}
void Tfmtextdir::tfXPButton1Click(Component*) {}

// ---- file actions -----------------------------------------------------------------------

void Tfmtextdir::filesDblClick(Component*) {}
void Tfmtextdir::btabrirClick(Component*) {}
void Tfmtextdir::btdeletarClick(Component*) {}
void Tfmtextdir::btsobreClick(Component*) {}

void Tfmtextdir::btsairClick(Component*) { App().Terminate(); }

} // namespace app
