// Joining folder paths and names.
#include "framework/Paths.h"

namespace tmb {

std::wstring IncludeTrailingBackslash(const std::wstring& folder) {
    if (folder.empty() || folder.back() == L'\\')
        return folder;
    return folder + L'\\';
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return IncludeTrailingBackslash(folder) + name;
}

} // namespace tmb
