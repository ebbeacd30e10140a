// The explorer window: the directory tree with its own folder menu on the left, the file list
// view on the right, a bar above them with the folder combo and the mask, a status bar with
// the list's selection and the drive's free space, and a menu that catalogues the folder
// shown and switches the family's language and the list's view options. It opens at the
// folder it showed when it was last closed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "catalog/CatalogProgress.h"
#include "explorer/KvDirTree21.h"
#include "explorer/KvDirTreeCombo28.h"
#include "explorer/KvFilelistView28.h"
#include "framework/Bars.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/Locale.h"
#include "framework/StdControls.h"

namespace explorador {

// Where the folder is kept between runs: the program's key, a value of the explorer's own.
inline constexpr wchar_t kRegistryKey[] = L"SOFTWARE\\Quorvantix\\Tombarel";
inline constexpr wchar_t kRegistryValue[] = L"explorerdir";

// Menu commands.
inline constexpr UINT cmExit = 100;
inline constexpr UINT cmCatalog = 101;
inline constexpr UINT cmCompare = 102;
inline constexpr UINT cmAddToCollection = 103;
inline constexpr UINT cmShowFolders = 200;
inline constexpr UINT cmHideFileExt = 201;
inline constexpr UINT cmRefresh = 202;
inline constexpr UINT cmDateFormat = 210;  // + TDtFormat
inline constexpr UINT cmTimeFormat = 230;  // + TTmFormat
inline constexpr UINT cmLanguage = 300;    // + TLanguage

// The window's own texts in the family's five languages.
struct WindowTexts {
    const wchar_t* title;
    const wchar_t* file;
    const wchar_t* exit;
    const wchar_t* view;
    const wchar_t* showFolders;
    const wchar_t* hideFileExt;
    const wchar_t* refresh;
    const wchar_t* dateFormat;
    const wchar_t* regional;
    const wchar_t* timeFormat;
    const wchar_t* timeLong;
    const wchar_t* timeShort;
    const wchar_t* timeCustom;
    const wchar_t* language;
    const wchar_t* mask;
    const wchar_t* objects;
    const wchar_t* selected;
    const wchar_t* freeSpace;
    // The catalogue of the folder shown: the menu entry, the save dialog's title and filter,
    // the progress window, the offer to open the page, and the refusal in the drives view.
    const wchar_t* catalog;
    const wchar_t* catalogTitle;
    const wchar_t* catalogFilter;
    const wchar_t* catalogProgress;
    const wchar_t* folders;
    const wchar_t* filesCount;
    const wchar_t* writingPage;
    const wchar_t* cancel;
    const wchar_t* catalogWritten;
    const wchar_t* unreadable;
    const wchar_t* openIt;
    const wchar_t* chooseFolder;
    // The catalogue compared with an earlier one: the menu entry, the open dialog's title,
    // and the offer's line of changes ("%1" added, "%2" removed, "%3" changed).
    const wchar_t* compare;
    const wchar_t* compareTitle;
    const wchar_t* changes;
    // The folder shown added to a collection: the menu entry, the save dialog's title (the
    // last collection proposed), the progress window, the offer to open it and its count.
    const wchar_t* addToCollection;
    const wchar_t* collectionTitle;
    const wchar_t* collectionProgress;
    const wchar_t* collectionWritten;
    const wchar_t* volumes;
};
const WindowTexts& TextsFor(kv::TLanguage language);

class Tfmexplorador : public tmb::Form {
public:
    // With a `startFolder` the window opens there instead of at the stored folder.
    explicit Tfmexplorador(tmb::Component* owner, std::wstring startFolder = {});

    tmb::WinControl* TopBar = nullptr;
    kv::TKvDirTreeCombo28* DirTreeCombo1 = nullptr;
    tmb::Label* MaskLabel = nullptr;
    tmb::Edit* MaskEdit = nullptr;
    kv::TKvDirTree21* dirs = nullptr;
    kv::TKvFilelistView28* files = nullptr;
    tmb::StatusBar* StatusBar1 = nullptr;

    kv::TLanguage Language() const { return language_; }
    // The family and the window follow `language`.
    void SetLanguage(kv::TLanguage language);
    // Runs a menu command.
    void Execute(UINT command);
    // The status bar from the list's selection and folder.
    void UpdateStatus();
    // "Catalogar pasta...": the catalogue of the folder shown, written where the save dialog
    // says, behind a progress window; then the offer to open it.
    // With `earlier`, the catalogue is compared with that earlier one.
    void CatalogFolder(const std::wstring& earlier = {});
    // "Comparar com catálogo anterior...": the earlier catalogue picked, then as CatalogFolder.
    void CompareFolder();
    // True when a catalogue of the folder shown can be made now; says why not otherwise.
    bool ReadyToCatalog();
    // "Adicionar à coleção...": the folder shown catalogued into the collection the save
    // dialog names (the last one used proposed), behind the progress window.
    void AddToCollection();
    // The menu bar (rebuilt with the language, ticks from the list's options).
    HMENU MenuBar() const {
        HWND h = HandleIfAllocated();
        return h ? GetMenu(h) : nullptr;
    }

    void FormCreate(tmb::Component* sender);
    void FormDestroy(tmb::Component* sender);

protected:
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Runs a catalogue's or a collection's job behind the progress window (counts, the folder
    // being read, the entries written, Cancel); false when it was cancelled or failed (the
    // failure reported).
    bool RunCatalogJob(const wchar_t* caption, const std::wstring& folder, const tmb::FormatSettings& numbers,
                       const std::function<void(const catalog::ProgressFn&)>& job);
    void RefreshIfWrittenHere(const std::wstring& page, const std::wstring& folder);
    // `text`, then "Open it now?": Yes opens the page in the browser.
    void OfferToOpen(std::wstring text, const std::wstring& page);
    void BuildMenu();
    void ApplyTexts();
    void ApplyMask();
    void QueueStatusUpdate();

    std::wstring startFolder_;
    kv::TLanguage language_ = kv::lnEnglish;
    bool statusPending_ = false;
    bool cataloguing_ = false;
};

} // namespace explorador
