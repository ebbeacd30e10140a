// The program's command line: a folder to open the window at, the two listings made without
// a window, the catalogue of a whole tree and its data as CSV (either compared with an earlier
// catalogue), and the entries it puts on Explorer's folder menu. A listing made here has the
// bytes the window's buttons write: the same reading of the folder, the same page and text,
// the same place, the same safe write.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalog/CatalogProgress.h"

namespace app {

// What the process tells whoever started it.
enum ExitCode : int {
    exitDone = 0,          // written (or nothing asked that could fail)
    exitFailed = 1,        // the folder could not be listed or the file not written
    exitTargetExists = 2,  // the target exists and /y was not given (or the user kept it)
    exitBadUsage = 3,
};

struct Command {
    enum class Kind { Window, Html, Text, Catalog, Csv, Collection, Register, Unregister, Help, BadUsage };
    Kind kind = Kind::Window;
    std::wstring folder;   // Window (empty: the stored one), Html, Text, Catalog, Csv
    std::wstring file;     // Text: where the listing goes; Catalog: where the page goes
                           // (empty: Catalogo.htm in the folder); Csv: where the CSV goes
    bool replace = false;  // /y: an existing target is replaced
    bool ask = false;      // /ask: an existing Lista.htm or catalogue is asked about, as
                           // "Salvar" asks, and the page is offered to be shown
    bool includeHidden = true;  // Catalog, Csv: false with /semocultos
    std::wstring compareWith;   // Catalog, Csv: /comparar's earlier catalogue, as given
    std::vector<std::wstring> exclude;  // Catalog, Csv, Collection: the name patterns of every /excluir
    // Collection: `file` is the collection (empty with /ask: asked for), `folders` the folders
    // catalogued into it, `volumeName` /nome's name, `join` the pages of /juntar, `remove`
    // /remover's volume.
    std::vector<std::wstring> folders;
    std::wstring volumeName;
    std::vector<std::wstring> join;
    std::wstring remove;
    std::wstring problem;  // BadUsage: what is wrong with the arguments
};

// The command the arguments (without the program's name) ask for. Switches are not case
// sensitive; /comparar and /excluir take the next argument as their value, whatever it looks
// like.
Command ParseCommand(const std::vector<std::wstring>& arguments);

// Runs a catalogue's or a collection's job, behind a progress window with Cancel when `shown`
// (from the folder menu, where there is no console to watch).
void RunCatalogJob(bool shown, const wchar_t* caption, const std::wstring& folder,
                   const std::function<void(const catalog::ProgressFn&)>& job);

// Writes a collection (/colecao); the exit code.
int WriteCollectionCommand(const Command& command);

// Runs a command that needs no window and returns its exit code; messages go to the
// standard error stream, else the parent's console, else a box.
int RunCommand(const Command& command);

// The usage text of "/?".
std::wstring UsageText();

// The keys of the folder menu's entries, under HKEY_CURRENT_USER.
inline constexpr wchar_t kFolderShellKey[] = L"Software\\Classes\\Directory\\shell";
inline constexpr wchar_t kOpenVerb[] = L"Tombarel.Abrir";
inline constexpr wchar_t kListVerb[] = L"Tombarel.Lista";
inline constexpr wchar_t kCatalogVerb[] = L"Tombarel.Catalogo";
inline constexpr wchar_t kCollectionVerb[] = L"Tombarel.Colecao";

// Adds the entries, for the current user only, running `programPath`.
void RegisterFolderMenu(const std::wstring& programPath);
// Removes them and the keys that held nothing else.
void UnregisterFolderMenu();

} // namespace app
