// Joining folder paths and names: the one place that decides where a backslash goes, so a
// drive root ("C:\") never gets a second one.
#pragma once

#include <string>

namespace tmb {

// `folder` ending in "\"; an empty text stays empty.
std::wstring IncludeTrailingBackslash(const std::wstring& folder);
// `name` inside `folder`: "C:\" + "a.txt" is "C:\a.txt", "C:\dir" + "a.txt" is "C:\dir\a.txt".
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

} // namespace tmb
