// The command line: parsing, the listings without a window, the catalogue and its CSV, the
// folder menu's entries.
#include "app/Commands.h"

#include <windows.h>

#include "app/FileActions.h"
#include "app/Listings.h"
#include "catalog/Catalog.h"
#include "framework/CommandLine.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/FileListBox.h"
#include "framework/Handles.h"
#include "framework/Locale.h"
#include "framework/Paths.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"

namespace app {

using tmb::TellUser;
using tmb::UserStream;

namespace {

bool IsSwitch(const std::wstring& argument) { return !argument.empty() && argument[0] == L'/'; }

Command BadUsage(std::wstring problem) {
    Command command;
    command.kind = Command::Kind::BadUsage;
    command.problem = std::move(problem);
    return command;
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The listing facts of `folder` as the window would show them: its files read and ordered
// by the file list's own reading, the total-size label's text, the time of now. `files`
// keeps the names the input points at.
ListingInput ReadListing(const std::wstring& folder, tmb::FolderFiles& files) {
    try {
        files = tmb::ReadFolderFiles(folder);
    } catch (const tmb::Exception& e) {
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel listar a pasta " + Quoted(folder) + L". " +
                             e.Message());
    }
    if (files.names->Empty())
        throw tmb::Exception(L"O diret\u00f3rio " + Quoted(folder) +
                             L" est\u00e1 vazio: nenhuma lista foi gravada.");
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ListingInput{folder, files.names, TotalSizeCaption(tmb::TotalOf(files.sizes)),
                        tmb::ListingDateTime(now)};
}

int TargetExists(const std::wstring& path) {
    TellUser(Quoted(path) + L" j\u00e1 existe: nada foi gravado (/y o substitui).",
             UserStream::Error);
    return exitTargetExists;
}

void TellWritten(const std::wstring& path) {
    // A script that gives the process no stream of its own sees nothing, and waits on nothing.
    TellUser(L"Lista gravada em " + Quoted(path) + L".", UserStream::Output, false);
}

int WriteHtmlListing(const Command& command) {
    const std::wstring folder = tmb::NormalizeFolder(command.folder);
    tmb::FolderFiles files;
    const ListingInput input = ReadListing(folder, files);
    // The page is written as it is made, never held whole.
    const PageWriter writePage = [&input](const std::wstring& path) {
        WriteListingReplacing(path, [&input](const TextSink& sink) { EmitHtmlPage(input, sink); });
    };
    if (command.ask) {
        // From the folder menu: exactly "Salvar", with its questions.
        const bool written = SaveHtmlListing(folder, writePage, [&] {
            WriteListaHtmAndOffer(folder, writePage, nullptr);
        });
        return written ? exitDone : exitTargetExists;
    }
    if (OnCdRom(folder)) {
        const CdRomListing listing = WriteCdRomListing(writePage, command.replace);
        if (!listing.written)
            return TargetExists(listing.path);
        TellWritten(listing.path);
        return exitDone;
    }
    const std::wstring target = tmb::JoinPath(folder, L"Lista.htm");
    if (!command.replace && IsFile(target))
        return TargetExists(target);
    writePage(target);
    TellWritten(target);
    return exitDone;
}

int WriteTextListing(const Command& command) {
    const std::wstring folder = tmb::NormalizeFolder(command.folder);
    const std::wstring target = tmb::FullPath(command.file);
    tmb::FolderFiles files;
    const ListingInput input = ReadListing(folder, files);
    if (!command.replace && IsFile(target))
        return TargetExists(target);
    WriteListingReplacing(target, [&input](const TextSink& sink) { EmitTextListing(input, sink); });
    TellWritten(target);
    return exitDone;
}

// True when files cannot be written in `folder`'s volume: a CD-ROM, a read-only medium.
bool OnReadOnlyVolume(const std::wstring& folder) {
    if (OnCdRom(folder))
        return true;
    wchar_t root[MAX_PATH + 1];
    DWORD flags = 0;
    return GetVolumePathNameW(folder.c_str(), root, MAX_PATH) &&
           GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FILE_READ_ONLY_VOLUME);
}

std::wstring Counted(std::uint64_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// The folder of a catalogue or a CSV, which must be readable as a whole.
std::wstring ReadableFolder(const Command& command) {
    const std::wstring folder = tmb::NormalizeFolder(command.folder);
    if (const DWORD error = tmb::FolderError(folder); error != ERROR_SUCCESS)
        throw tmb::Exception(L"N\u00e3o foi poss\u00edvel ler a pasta " + Quoted(folder) + L". " +
                             tmb::SysErrorMessage(error));
    return folder;
}

catalog::Request CatalogRequest(const Command& command, const std::wstring& folder, const std::wstring& target) {
    return {folder, target, command.includeHidden,
            command.compareWith.empty() ? std::wstring() : tmb::FullPath(command.compareWith), command.exclude};
}

// "12 arquivos, 3 pastas; 1 pasta não pôde ser lida; comparado com "...": 2 adicionados, ..."
std::wstring Summary(const catalog::Totals& totals, const catalog::Request& request) {
    std::wstring summary = Counted(totals.files, L"arquivo", L"arquivos") + L", " +
                           Counted(totals.folders, L"pasta", L"pastas");
    if (totals.unreadable)
        summary += L"; " + Counted(totals.unreadable, L"pasta n\u00e3o p\u00f4de ser lida",
                                   L"pastas n\u00e3o puderam ser lidas");
    if (!request.exclude.empty())
        summary += L"; " + Counted(totals.leftOut, L"item deixado de fora pelo nome",
                                   L"itens deixados de fora pelo nome");
    if (!request.compareWith.empty())
        summary += L"; comparado com " + Quoted(request.compareWith) + L": " +
                   Counted(totals.added, L"adicionado", L"adicionados") + L", " +
                   Counted(totals.removed, L"removido", L"removidos") + L", " +
                   Counted(totals.changed, L"alterado", L"alterados");
    return summary;
}

int WriteCatalogCommand(const Command& command) {
    const std::wstring folder = ReadableFolder(command);
    // Without a FILE the page goes into the folder itself, which a CD-ROM or a read-only
    // share refuses: the user is told to name a FILE instead of finding nothing written.
    const bool inFolder = command.file.empty();
    const std::wstring giveFile = L" Indique onde grav\u00e1-lo: Tombarel /catalogo PASTA ARQUIVO.";
    if (inFolder && OnReadOnlyVolume(folder))
        throw tmb::Exception(L"A pasta " + Quoted(folder) +
                             L" est\u00e1 numa unidade que n\u00e3o pode ser gravada." + giveFile);
    const std::wstring target = inFolder ? tmb::JoinPath(folder, catalog::kDefaultFileName) : tmb::FullPath(command.file);
    if (IsFile(target)) {
        if (command.ask) {
            if (tmb::MessageDlg(L"J\u00e1 existe um cat\u00e1logo em:\r" + target +
                                    L"\r\rDeseja substitu\u00ed-lo?",
                                tmb::MsgDlgType::Confirmation, tmb::mbYes | tmb::mbNo) != tmb::mrYes)
                return exitTargetExists;
        } else if (!command.replace) {
            return TargetExists(target);
        }
    }
    const catalog::Request request = CatalogRequest(command, folder, target);
    catalog::Totals totals;
    try {
        RunCatalogJob(command.ask, L"Catalogando \u2013 Tombarel", folder,
                      [&](const catalog::ProgressFn& progress) { totals = catalog::WriteCatalog(request, progress); });
    } catch (const catalog::Cancelled&) {
        return exitFailed;  // the user stopped it: nothing was written, nothing more to say
    } catch (const tmb::EFCreateError& e) {
        if (!inFolder)
            throw;
        throw tmb::Exception(e.Message() + giveFile);
    }
    const std::wstring summary = Summary(totals, request);
    if (command.ask) {
        if (tmb::MessageDlg(L"Cat\u00e1logo criado em:\r" + target + L"\r(" + summary +
                                L")\r\rDeseja visualiz\u00e1-lo?",
                            tmb::MsgDlgType::Confirmation, tmb::mbYes | tmb::mbNo) == tmb::mrYes)
            ShellOpenReporting(target);
        return exitDone;
    }
    TellUser(L"Cat\u00e1logo gravado em " + Quoted(target) + L" (" + summary + L").",
             UserStream::Output, false);
    return exitDone;
}

int WriteCsvCommand(const Command& command) {
    const std::wstring folder = ReadableFolder(command);
    const std::wstring target = tmb::FullPath(command.file);
    if (!command.replace && IsFile(target))
        return TargetExists(target);
    const catalog::Request request = CatalogRequest(command, folder, target);
    const catalog::Totals totals = catalog::WriteCsv(request);
    TellUser(L"CSV gravado em " + Quoted(target) + L" (" + Summary(totals, request) + L").", UserStream::Output,
             false);
    return exitDone;
}

// /colecao COLECAO PASTA... [/nome NOME] [/semocultos] [/excluir NOME]..., /colecao COLECAO
// /juntar PAGINA..., /colecao COLECAO /remover NOME, or from the folder menu /colecao PASTA /ask
// (the collection asked for).
Command ParseCollection(Command command, const std::vector<std::wstring>& operands, bool joining, bool yes,
                        bool ask, bool withoutHidden, bool compare) {
    command.kind = Command::Kind::Collection;
    if (yes || compare)
        return BadUsage(std::wstring(L"Op\u00e7\u00e3o sem sentido aqui: ") + (yes ? L"/y" : L"/comparar"));
    std::size_t at = 0;
    if (!ask) {
        if (operands.empty())
            return BadUsage(L"Falta a cole\u00e7\u00e3o.");
        command.file = operands[at++];
    }
    command.folders.assign(operands.begin() + static_cast<std::ptrdiff_t>(at), operands.end());
    const bool removing = !command.remove.empty();
    if (joining && command.join.empty())
        return BadUsage(L"Falta o cat\u00e1logo depois de /juntar.");
    // One thing at a time: folders walked, pages joined, or a volume removed.
    if (int(joining) + int(removing) + int(!command.folders.empty()) != 1)
        return BadUsage(command.folders.empty() && !joining && !removing
                            ? L"Falta a pasta (ou /juntar, ou /remover)."
                            : L"/colecao faz uma coisa de cada vez: pastas, /juntar ou /remover.");
    if (ask && command.folders.size() != 1)
        return BadUsage(L"/ask vai com uma pasta s\u00f3.");
    if (!command.volumeName.empty() && command.folders.size() != 1)
        return BadUsage(L"/nome vai com uma pasta s\u00f3.");
    if ((withoutHidden || !command.exclude.empty()) && command.folders.empty())
        return BadUsage(std::wstring(L"Op\u00e7\u00e3o sem sentido aqui: ") +
                        (withoutHidden ? L"/semocultos" : L"/excluir"));
    command.includeHidden = !withoutHidden;
    command.ask = ask;
    return command;
}

} // namespace

void RunCatalogJob(bool shown, const wchar_t* caption, const std::wstring& folder,
                   const std::function<void(const catalog::ProgressFn&)>& job) {
    if (!shown) {
        job({});
        return;
    }
    // From the folder menu there is no console to watch: a long walk shows what it has
    // counted, and can be stopped.
    tmb::ProgressRequest progress;
    progress.caption = caption;
    progress.lines = {L"Pastas: 0   Arquivos: 0", folder};
    progress.cancelCaption = L"Cancelar";
    progress.task = [&](tmb::ProgressTask& task) {
        job([&task](const catalog::Progress& p) {
            task.SetLines({L"Pastas: " + std::to_wstring(p.counted.folders) + L"   Arquivos: " +
                               std::to_wstring(p.counted.files),
                           p.phase == catalog::Progress::Phase::Reading ? p.folder
                                                                        : std::wstring(L"Gravando a p\u00e1gina")});
            return !task.Cancelled();
        });
    };
    tmb::CurrentModalHost().RunProgress(progress);
}

Command ParseCommand(const std::vector<std::wstring>& arguments) {
    Command command;
    if (arguments.empty())
        return command;
    const std::wstring first = tmb::LowerCase(arguments[0]);
    std::vector<std::wstring> operands;
    bool yes = false;
    bool ask = false;
    bool withoutHidden = false;
    bool compare = false;
    bool joining = false;
    // A switch's value: the next argument, whatever it looks like, and never empty.
    auto value = [&](size_t& i, std::wstring& into) {
        if (i + 1 == arguments.size() || arguments[i + 1].empty())
            return false;
        into = arguments[++i];
        return true;
    };
    for (size_t i = IsSwitch(first) ? 1 : 0; i < arguments.size(); ++i) {
        const std::wstring argument = tmb::LowerCase(arguments[i]);
        if (argument == L"/comparar") {
            // An empty value would be no comparison at all, silently.
            if (i + 1 == arguments.size() || arguments[i + 1].empty())
                return BadUsage(L"Falta o cat\u00e1logo anterior depois de /comparar.");
            if (compare)
                return BadUsage(L"/comparar s\u00f3 pode ser dado uma vez.");
            compare = true;
            command.compareWith = arguments[++i];
        } else if (argument == L"/excluir") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty())
                return BadUsage(L"Falta o nome depois de /excluir.");
            // A pattern is matched against one name: a path would never match anything.
            if (arguments[i + 1].find_first_of(L"\\/:") != std::wstring::npos)
                return BadUsage(L"/excluir leva um nome, sem pasta: " + arguments[i + 1]);
            command.exclude.push_back(arguments[++i]);
        } else if (argument == L"/nome") {
            if (!command.volumeName.empty())
                return BadUsage(L"/nome s\u00f3 pode ser dado uma vez.");
            if (!value(i, command.volumeName))
                return BadUsage(L"Falta o nome depois de /nome.");
        } else if (argument == L"/remover") {
            if (!command.remove.empty())
                return BadUsage(L"/remover s\u00f3 pode ser dado uma vez.");
            if (!value(i, command.remove))
                return BadUsage(L"Falta o nome do volume depois de /remover.");
        } else if (argument == L"/juntar") {
            joining = true;
        } else if (argument == L"/y")
            yes = true;
        else if (argument == L"/ask")
            ask = true;
        else if (argument == L"/semocultos")
            withoutHidden = true;
        else if (IsSwitch(argument))
            return BadUsage(L"Op\u00e7\u00e3o desconhecida: " + arguments[i]);
        else if (joining && !operands.empty())
            command.join.push_back(arguments[i]);  // the pages after /juntar
        else
            operands.push_back(arguments[i]);
    }
    size_t wanted = 0;
    size_t optional = 0;  // operands that may follow the wanted ones
    if (first == L"/?") {
        command.kind = Command::Kind::Help;
    } else if (first == L"/html") {
        command.kind = Command::Kind::Html;
        wanted = 1;
    } else if (first == L"/txt") {
        command.kind = Command::Kind::Text;
        wanted = 2;
    } else if (first == L"/catalogo") {
        command.kind = Command::Kind::Catalog;
        wanted = 1;
        optional = 1;
    } else if (first == L"/csv") {
        command.kind = Command::Kind::Csv;
        wanted = 2;
    } else if (first == L"/colecao" || first == L"/cole\u00e7\u00e3o") {
        return ParseCollection(std::move(command), operands, joining, yes, ask, withoutHidden, compare);
    } else if (first == L"/register") {
        command.kind = Command::Kind::Register;
    } else if (first == L"/unregister") {
        command.kind = Command::Kind::Unregister;
    } else if (IsSwitch(first)) {
        return BadUsage(L"Op\u00e7\u00e3o desconhecida: " + arguments[0]);
    } else {
        command.kind = Command::Kind::Window;
        wanted = 1;
    }
    if (operands.size() < wanted)
        return BadUsage(operands.empty() ? L"Falta a pasta." : L"Falta o arquivo.");
    if (operands.size() > wanted + optional)
        return BadUsage(L"Argumento a mais: " + operands[wanted + optional]);
    const bool isCatalog = command.kind == Command::Kind::Catalog;
    const bool ofTree = isCatalog || command.kind == Command::Kind::Csv;
    const bool yesAllowed = command.kind == Command::Kind::Html || command.kind == Command::Kind::Text || ofTree;
    const bool yesWrong = yes && !yesAllowed;
    const bool askWrong = ask && command.kind != Command::Kind::Html && !isCatalog;
    if (!command.volumeName.empty() || !command.remove.empty() || joining)
        return BadUsage(std::wstring(L"Op\u00e7\u00e3o sem sentido aqui: ") +
                        (!command.volumeName.empty() ? L"/nome" : !command.remove.empty() ? L"/remover" : L"/juntar"));
    if (yesWrong || askWrong || ((withoutHidden || compare || !command.exclude.empty()) && !ofTree))
        return BadUsage(std::wstring(L"Op\u00e7\u00e3o sem sentido aqui: ") +
                        (yesWrong          ? L"/y"
                         : askWrong        ? L"/ask"
                         : withoutHidden   ? L"/semocultos"
                         : compare         ? L"/comparar"
                                           : L"/excluir"));
    if (yes && ask)
        return BadUsage(L"/y e /ask n\u00e3o v\u00e3o juntos.");
    if (wanted >= 1)
        command.folder = operands[0];
    if (operands.size() >= 2)
        command.file = operands[1];
    command.includeHidden = !withoutHidden;
    command.replace = yes;
    command.ask = ask;
    return command;
}

std::wstring UsageText() {
    return L"Tombarel 1.5 - listas dos arquivos de uma pasta\r\n"
           L"\r\n"
           L"Tombarel [PASTA]\r\n"
           L"    abre a janela na PASTA.\r\n"
           L"Tombarel /html PASTA [/y | /ask]\r\n"
           L"    grava a lista em html da PASTA como PASTA\\Lista.htm (de um CD-ROM, como\r\n"
           L"    c:\\Lista_cdrom.htm), como fazem \"Gerar html\" e \"Salvar\"; /y substitui uma\r\n"
           L"    lista que j\u00e1 existe, /ask pergunta antes, como \"Salvar\".\r\n"
           L"Tombarel /txt PASTA ARQUIVO [/y]\r\n"
           L"    grava a lista em texto da PASTA em ARQUIVO, como \"Salvar em texto\";\r\n"
           L"    /y substitui um ARQUIVO que j\u00e1 existe.\r\n"
           L"Tombarel /catalogo PASTA [ARQUIVO] [/y | /ask] [/semocultos]\r\n"
           L"         [/comparar ANTERIOR] [/excluir NOME]...\r\n"
           L"    grava o cat\u00e1logo da PASTA e de tudo o que h\u00e1 dentro dela, uma p\u00e1gina\r\n"
           L"    html com a \u00e1rvore das pastas e uma busca, em ARQUIVO (sem ARQUIVO, como\r\n"
           L"    PASTA\\Catalogo.htm); /y substitui um cat\u00e1logo que j\u00e1 existe, /ask\r\n"
           L"    pergunta antes; /semocultos deixa de fora arquivos e pastas ocultos e de\r\n"
           L"    sistema; /comparar mostra o que mudou desde o cat\u00e1logo ANTERIOR (arquivos\r\n"
           L"    adicionados, removidos e alterados); /excluir deixa de fora os arquivos e\r\n"
           L"    as pastas com esse NOME, com tudo o que houver dentro (* e ? valem como\r\n"
           L"    curinga: /excluir node_modules /excluir *.tmp), e pode ser repetido.\r\n"
           L"Tombarel /csv PASTA ARQUIVO [/y] [/semocultos] [/comparar ANTERIOR]\r\n"
           L"         [/excluir NOME]...\r\n"
           L"    grava os dados da PASTA e de tudo o que h\u00e1 dentro dela em ARQUIVO, em CSV\r\n"
           L"    para planilhas (caminho, nome, tipo, tamanho, modificado, atributos); com\r\n"
           L"    /comparar, tamb\u00e9m a coluna mudan\u00e7a.\r\n"
           L"Tombarel /colecao COLECAO PASTA... [/nome NOME] [/semocultos] [/excluir NOME]...\r\n"
           L"Tombarel /colecao COLECAO /juntar PAGINA...\r\n"
           L"Tombarel /colecao COLECAO /remover NOME\r\n"
           L"    guarda v\u00e1rios volumes (discos, unidades, pastas) numa p\u00e1gina s\u00f3, a\r\n"
           L"    COLECAO, criada se n\u00e3o existe: cada PASTA \u00e9 catalogada como um volume\r\n"
           L"    (com o r\u00f3tulo, o n\u00famero de s\u00e9rie e o espa\u00e7o livre da unidade);\r\n"
           L"    o mesmo volume outra vez substitui o anterior e mostra o que mudou. /nome\r\n"
           L"    d\u00e1 o nome do volume (o padr\u00e3o \u00e9 o r\u00f3tulo ou o caminho); /juntar\r\n"
           L"    acrescenta cat\u00e1logos e cole\u00e7\u00f5es gravados antes, como est\u00e3o; /remover\r\n"
           L"    tira o volume com esse NOME.\r\n"
           L"Tombarel /register\r\n"
           L"    p\u00f5e \"Abrir no Tombarel\", \"Criar Lista.htm (Tombarel)\", \"Criar\r\n"
           L"    Catalogo.htm (Tombarel)\" e \"Adicionar \u00e0 cole\u00e7\u00e3o (Tombarel)\" no menu\r\n"
           L"    das pastas do Explorer, s\u00f3 para este usu\u00e1rio.\r\n"
           L"Tombarel /unregister\r\n"
           L"    tira essas entradas.\r\n"
           L"\r\n"
           L"C\u00f3digos de sa\u00edda: 0 gravado; 1 a pasta n\u00e3o p\u00f4de ser listada ou o "
           L"arquivo\r\n"
           L"n\u00e3o p\u00f4de ser gravado; 2 o arquivo j\u00e1 existe (sem /y); 3 uso incorreto.\r\n";
}

namespace {

struct FolderMenuEntry {
    const wchar_t* verb;
    const wchar_t* caption;
    const wchar_t* arguments;  // after the program's quoted path
};

const FolderMenuEntry kEntries[] = {
    {kOpenVerb, L"Abrir no Tombarel", L" \"%1\""},
    {kListVerb, L"Criar Lista.htm (Tombarel)", L" /html \"%1\" /ask"},
    {kCatalogVerb, L"Criar Catalogo.htm (Tombarel)", L" /catalogo \"%1\" /ask"},
    {kCollectionVerb, L"Adicionar \u00e0 cole\u00e7\u00e3o (Tombarel)", L" /colecao \"%1\" /ask"},
};

std::wstring VerbKey(const wchar_t* verb) { return std::wstring(kFolderShellKey) + L"\\" + verb; }

// True when the key holds no value and no sub-key.
bool IsEmptyKey(const std::wstring& path) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return false;
    tmb::RegKey key(raw);
    DWORD subKeys = 0;
    DWORD values = 0;
    return RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                            &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys == 0 && values == 0;
}

} // namespace

void RegisterFolderMenu(const std::wstring& programPath) {
    tmb::Registry registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    for (const FolderMenuEntry& entry : kEntries) {
        const std::wstring key = VerbKey(entry.verb);
        if (!registry.OpenKey(key, true))
            throw tmb::ERegistryException(L"N\u00e3o foi poss\u00edvel criar a chave HKEY_CURRENT_USER\\" + key + L".");
        registry.WriteString(L"", entry.caption);
        registry.WriteString(L"Icon", programPath + L",0");
        if (!registry.OpenKey(key + L"\\command", true))
            throw tmb::ERegistryException(L"N\u00e3o foi poss\u00edvel criar a chave HKEY_CURRENT_USER\\" + key +
                                          L"\\command.");
        registry.WriteString(L"", Quoted(programPath) + entry.arguments);
        registry.CloseKey();
    }
}

void UnregisterFolderMenu() {
    tmb::Registry registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    for (const FolderMenuEntry& entry : kEntries) {
        const std::wstring key = VerbKey(entry.verb);
        if (registry.KeyExists(key) && !registry.DeleteKey(key))
            throw tmb::ERegistryException(L"N\u00e3o foi poss\u00edvel apagar a chave HKEY_CURRENT_USER\\" + key + L".");
    }
    // The keys registering made on the way, when nothing else lives in them.
    for (const wchar_t* parent : {L"Software\\Classes\\Directory\\shell", L"Software\\Classes\\Directory",
                                  L"Software\\Classes"})
        if (IsEmptyKey(parent))
            RegDeleteKeyW(HKEY_CURRENT_USER, parent);
}

int RunCommand(const Command& command) {
    try {
        switch (command.kind) {
        case Command::Kind::Help:
            TellUser(UsageText(), UserStream::Output);
            return exitDone;
        case Command::Kind::BadUsage:
            TellUser(command.problem + L"\r\n\r\n" + UsageText(), UserStream::Error);
            return exitBadUsage;
        case Command::Kind::Html:
            return WriteHtmlListing(command);
        case Command::Kind::Text:
            return WriteTextListing(command);
        case Command::Kind::Catalog:
            return WriteCatalogCommand(command);
        case Command::Kind::Csv:
            return WriteCsvCommand(command);
        case Command::Kind::Collection:
            return WriteCollectionCommand(command);
        case Command::Kind::Register:
            RegisterFolderMenu(tmb::ProgramPath());
            TellUser(L"O menu das pastas do Explorer tem agora \"Abrir no Tombarel\", \"Criar "
                     L"Lista.htm (Tombarel)\", \"Criar Catalogo.htm (Tombarel)\" e \"Adicionar \u00e0 "
                     L"cole\u00e7\u00e3o (Tombarel)\".",
                     UserStream::Output);
            return exitDone;
        case Command::Kind::Unregister:
            UnregisterFolderMenu();
            TellUser(L"O Tombarel saiu do menu das pastas do Explorer.", UserStream::Output);
            return exitDone;
        case Command::Kind::Window:
            break;
        }
        return exitBadUsage;  // a window is not a command
    } catch (const tmb::Exception& e) {
        TellUser(e.Message(), UserStream::Error);
    } catch (const std::exception& e) {
        TellUser(tmb::Utf8ToWide(e.what()), UserStream::Error);
    }
    return exitFailed;
}

} // namespace app
