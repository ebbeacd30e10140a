// /colecao: a folder (a disc, a drive) catalogued into a collection, pages joined into it, a
// volume taken out; from the folder menu with the collection asked for and the progress shown.
#include <windows.h>
#include <commdlg.h>

#include "app/Commands.h"
#include "app/FileActions.h"
#include "catalog/Collection.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Paths.h"
#include "framework/CommandLine.h"
#include "framework/FileListBox.h"
#include "framework/TextConv.h"

namespace app {
namespace {

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring Counted(std::uint64_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// "3 volumes (1 adicionado, 1 substituído); 12 arquivos, 3 pastas"
std::wstring Summary(const catalog::CollectionTotals& t) {
    std::wstring summary = Counted(t.volumes, L"volume", L"volumes");
    std::wstring what;
    auto add = [&what](std::size_t n, const wchar_t* one, const wchar_t* many) {
        if (n)
            what += (what.empty() ? L"" : L", ") + Counted(n, one, many);
    };
    add(t.added, L"adicionado", L"adicionados");
    add(t.replaced, L"substitu\u00eddo", L"substitu\u00eddos");
    add(t.removed, L"removido", L"removidos");
    if (!what.empty())
        summary += L" (" + what + L")";
    summary += L"; " + Counted(t.totals.files, L"arquivo", L"arquivos") + L", " +
               Counted(t.totals.folders, L"pasta", L"pastas");
    return summary;
}

// The collection the folder menu's entry adds to: asked for, the last one proposed.
std::wstring AskCollectionFile() {
    tmb::SaveDialogRequest save;
    save.title = L"Adicionar \u00e0 cole\u00e7\u00e3o";
    save.filter = L"P\u00e1ginas HTML (*.htm;*.html)|*.htm;*.html|Todos os arquivos (*.*)|*.*";
    save.defaultExt = L"htm";
    save.fileName = catalog::LastCollection();
    if (save.fileName.empty())
        save.fileName = L"Colecao.htm";
    save.flags = OFN_NOREADONLYRETURN;  // an existing collection is the point: no overwrite prompt
    return tmb::CurrentModalHost().SaveDialog(save) ? save.fileName : std::wstring();
}

} // namespace

int WriteCollectionCommand(const Command& command) {
    catalog::CollectionRequest request;
    request.file = command.ask ? AskCollectionFile() : tmb::FullPath(command.file);
    if (request.file.empty())
        return exitFailed;  // the user closed the dialog: nothing asked, nothing written
    for (const std::wstring& given : command.folders) {
        const std::wstring folder = tmb::NormalizeFolder(given);
        if (const DWORD error = tmb::FolderError(folder); error != ERROR_SUCCESS)
            throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler a pasta " + Quoted(folder) + L". " +
                                 tmb::SysErrorMessage(error));
        request.folders.push_back(folder);
    }
    for (const std::wstring& page : command.join)
        request.join.push_back(tmb::FullPath(page));
    request.name = command.volumeName;
    request.includeHidden = command.includeHidden;
    request.exclude = command.exclude;
    request.remove = command.remove;
    catalog::CollectionTotals totals;
    try {
        RunCatalogJob(command.ask, L"Adicionando \u00e0 cole\u00e7\u00e3o \u2013 Tombarel",
                      command.ask ? request.folders.front() : std::wstring(),
                      [&](const catalog::ProgressFn& progress) { totals = catalog::WriteCollection(request, progress); });
    } catch (const catalog::Cancelled&) {
        return exitFailed;  // stopped by the user: the collection is as it was
    }
    if (!request.folders.empty())
        catalog::RememberCollection(request.file);
    if (command.ask) {
        if (tmb::MessageDlg(L"Cole\u00e7\u00e3o gravada em:\r" + request.file + L"\r(" + Summary(totals) +
                                L")\r\rDeseja visualiz\u00e1-la?",
                            tmb::MsgDlgType::Confirmation, tmb::mbYes | tmb::mbNo) == tmb::mrYes)
            ShellOpenReporting(request.file);
        return exitDone;
    }
    tmb::TellUser(L"Cole\u00e7\u00e3o gravada em " + Quoted(request.file) + L" (" + Summary(totals) + L").",
                  tmb::UserStream::Output, false);
    return exitDone;
}

} // namespace app
