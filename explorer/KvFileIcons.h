// The pictures the explorer lists show: the parent-folder picture, which the lists add to
// the shell's own image lists, and the shell's icon of a file type, asked for once per
// extension.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>

namespace kv {

// Adds the parent-folder picture to `list` scaled to the list's icon size: the small picture
// for `small` > 0, the large one for 0, and for < 0 the small one in a list of 16-pixel
// icons. The index it got, or -1.
int AddParentPicture(HIMAGELIST list, int small);
// Whether image `index` of `list` is the parent-folder picture (the large one, at the
// list's size).
bool HoldsParentPicture(HIMAGELIST list, int index);
// The index of the parent-folder picture in the shell's image lists `largeList` and
// `smallList`: the one stored in the user's registry while its image there is still the
// picture, else the picture added anew (and its index stored); -1 when it cannot be added.
int ParentPictureInSystemLists(HIMAGELIST largeList, HIMAGELIST smallList);

// The shell's small icon of each file type, asked for once per extension without opening a
// file: the shell takes a long time per file it looks at.
class TypeIcons {
public:
    // The extension of `path` (".txt"; empty without one) in capitals: the key IconOf takes.
    static std::wstring ExtensionOf(const std::wstring& path);
    // Whether files of this extension (in capitals) carry an icon of their own (programs,
    // shortcuts, icon files), which only a look at the file itself can show.
    static bool HasOwnIcon(const std::wstring& upperExtension);
    // The type's icon index in the system image list (0 when the shell has none).
    int IconOf(const std::wstring& upperExtension);

private:
    std::unordered_map<std::wstring, int> icons_;
};

} // namespace kv
