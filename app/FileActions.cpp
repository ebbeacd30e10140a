// Opening and recycling files.
#include "app/FileActions.h"

#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Form.h"
#include "framework/Paths.h"

namespace app {

using namespace tmb;

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ShellOpenMessage(INT_PTR result) {
    switch (result) {
    case 2: return L"Arquivo n\u00e3o encontrado.";
    case 3: return L"Diret\u00f3rio n\u00e3o encontrado.";
    case 5: return L"o sistema negou acesso ao arquivo.";
    case 8:
        return L"N\u00e3o h\u00e1 mem\u00f3ria sufici\u00eante para completar a opera\u00e7\u00e3o.\r"
               L"Se voc\u00ea estiver usando Windows 95, 98 ou NT tente abrir o arquivo "
               L"manualmente pelo Windows Explorer.";
    case 11: return L"arquivo corrompido.";
    case 26: return L"Erro de viola\u00e7\u00e3o.";
    case 27: return L"a associa\u00e7\u00e3o ao arquivo esta incompleta ou \u00e9 invalida.";
    case 28:
        return L"The DDE transaction could not be completed because the request timed out.";
    case 29: return L"The DDE transaction failed.";
    case 30:
        return L"The DDE transaction could not be completed because other DDE transactions "
               L"were being processed.";
    case 31: return L"N\u00e3o h\u00e1 aplicativo associado ao arquivo.";
    case 32: return L"Windows 95 only: The specified dynamic-link library was not found.";
    default: return {};
    }
}

void ShellOpen(const std::wstring& path) {
    HWND owner = App().MainForm() ? App().MainForm()->HandleIfAllocated() : nullptr;
    ShellExecuteW(owner, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ShellOpenReporting(const std::wstring& path) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    const std::wstring message = ShellOpenMessage(result);
    if (!message.empty())
        ShowMessage(message);
}

bool RecycleFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring list(n, L'\0');
    const DWORD got = GetFullPathNameW(path.c_str(), n, list.data(), nullptr);
    if (got == 0 || got >= n)
        return false;
    list.resize(got);
    list.push_back(L'\0');  // with the terminator: a one-entry list ended by two NULs
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

} // namespace app
