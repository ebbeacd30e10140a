// Joining folder paths and names: the one place that decides where a backslash goes, so a
// drive root ("C:\") never gets a second one.
#pragma once

#include <string>

namespace tmb {

// `folder` ending in "\"; an empty text stays empty.
std::wstring IncludeTrailingBackslash(const std::wstring& folder);
// `name` inside `folder`: "C:\" + "a.txt" is "C:\a.txt", "C:\dir" + "a.txt" is "C:\dir\a.txt".
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// `path` made full as the system makes it (relative to the current folder, "." and ".."
// resolved); as it is when the system cannot.
std::wstring FullPath(const std::wstring& path);
// `path` without the extended-length prefix: "\\?\C:\x" is "C:\x", "\\?\UNC\srv\x" is
// "\\srv\x"; anything else as it is.
std::wstring WithoutLongPathPrefix(const std::wstring& path);
// `path` as the file functions take it whatever its length: a full, normalised path long
// enough to reach the MAX_PATH limit gets the "\\?\" prefix ("\\?\UNC\" for a network path), which lifts
// the limit; anything else is returned as it is.
std::wstring LongPathForm(const std::wstring& path);

} // namespace tmb
