// The main window: the folder tree, the folder's files, the source pane and the buttons
// that list, save and open. Its handlers are named after the control and the event.
#pragma once

#include <functional>
#include <string>

#include "app/FileActions.h"
#include "app/Listings.h"
#include "explorer/KvDirTree21.h"
#include "framework/Bars.h"
#include "framework/FileListBox.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/PopupMenu.h"
#include "framework/SaveDialog.h"
#include "framework/SourceView.h"
#include "framework/StdControls.h"
#include "widgets/SuperLabel.h"
#include "widgets/WinXP.h"
#include "widgets/XP_Button.h"

namespace app {

// Where the last folder is kept between runs.
inline constexpr wchar_t kRegistryKey[] = L"SOFTWARE\\Quorvantix\\Tombarel";
inline constexpr wchar_t kRegistryValue[] = L"lastdir";

// The text of the about box.
std::wstring AboutText();

class Tfmtextdir : public tmb::Form {
public:
    // With a `startFolder` the window opens there instead of at the stored folder.
    explicit Tfmtextdir(tmb::Component* owner, std::wstring startFolder = {});

    // Writes the pane to "Lista.htm" in the current folder and offers to show it.
    void resposta();

    // The file list's folder, items and totals with the time of now, for a listing.
    ListingInput ListingOfFiles() const;

    // The controls, in the order the layout creates them, with their role and caption.
    tmb::Label* Label1;                 // heading over the tree: "Selecione o diretório"
    tmb::Label* Label2;                 // heading over the file list: "Lista de arquivos"
    tmb::Label* Label3;                 // heading over the source pane: "Código fonte"
    xp::TmyaSuperLabel* myaSuperLabel1; // link to the maker's home page (kMakerSite)
    tmb::Label* Label4;                 // file count: "Total: N arquivo(s)"
    tmb::Label* Label5;                 // total size: "Tamanho total: ..."; copied into listings
    tmb::Label* Label6;                 // size of the selected file: "Tamanho: ..."
    tmb::Label* Label7;                 // caption of Edit1: "Arquivo:"
    tmb::FileListBox* files;            // the files of the folder picked in the tree
    kv::TKvDirTree21* dirs;             // the folder chooser
    tmb::SourceView* result;            // source pane: the generated HTML page
    tmb::ToolBar* ToolBar1;             // holds the four main buttons
    xp::TtfXPButton* btgerahtm;         // "Gerar html": builds the page in `result`
    xp::TtfXPButton* btsalvar;          // "Salvar": writes "Lista.htm" (tfXPButton3Click)
    xp::TtfXPButton* btsobre;           // "Sobre": the about box
    xp::TtfXPButton* btsair;            // "Sair": ends the program
    tmb::SourceView* texto;             // invisible box of the layout; the text listing is
                                        // written straight to its file and leaves it empty
    xp::TtfXPButton* tfXPButton1;       // "Limpar": empties the source pane
    xp::TtfXPButton* tfXPButton2;       // "Salvar em texto": writes a text listing
    tmb::StatusBar* StatusBar1;         // "Diretório:" and the folder listed
    tmb::Edit* Edit1;                   // name of the selected file
    tmb::Button* btabrir;               // "Abrir": opens the selected file
    tmb::Button* btdeletar;             // "Deletar": sends the selected file to the recycle bin
    tmb::PopupMenu* PopupMenu1;         // empty menu replacing the tree's own
    xp::TWinXP* WinXP1;                 // the common-controls visual style
    tmb::SaveDialog* salvar;            // asks where the text listing goes

    // Handlers.
    void FormCreate(tmb::Component* sender);
    void FormDestroy(tmb::Component* sender);
    void dirsDirChange(tmb::Component* sender, const std::wstring& selectedPath);
    void filesChange(tmb::Component* sender);
    void filesClick(tmb::Component* sender);
    void filesDblClick(tmb::Component* sender);
    void Edit1Change(tmb::Component* sender);
    void resultChange(tmb::Component* sender);
    void btgerahtmClick(tmb::Component* sender);
    void tfXPButton3Click(tmb::Component* sender);
    void tfXPButton2Click(tmb::Component* sender);
    void tfXPButton1Click(tmb::Component* sender);
    void btabrirClick(tmb::Component* sender);
    void btdeletarClick(tmb::Component* sender);
    void btsobreClick(tmb::Component* sender);
    void btsairClick(tmb::Component* sender);

private:
    tmb::Label* MakeLabel(const wchar_t* name, int left, int top, const wchar_t* caption);
    xp::TtfXPButton* MakeXPButton(const wchar_t* name, tmb::WinControl* parent, int left,
                                  int top, int width, int height, const wchar_t* caption);
    // FormCreate's steps: the folder the program was started with, else the stored
    // folder, or "c:".
    void OpenStartFolder();
    // Opens the folder the program was started with; false, after saying why, when it
    // cannot be opened.
    bool OpenGivenFolder();
    // Points the file list at a folder as the tree reports it.
    void PointFilesAt(const std::wstring& path);
    // Empties the selected file's name and size and the source pane, and disables what
    // needs a selected file or a page: the state after every folder change.
    void ShowNoFileSelected();
    // Opens the selected file: web pages silently, anything else reporting failures.
    void OpenSelectedFile();
    // Writes the source pane's page to a file.
    void WritePane(const std::wstring& path) const;

    std::wstring startFolder_;
};

} // namespace app
