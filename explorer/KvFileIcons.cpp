// The parent-folder picture in the shell's image lists, and the icons of file types.
#include "explorer/KvFileIcons.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "explorer/KvFileExplorer28.h"
#include "framework/Exception.h"
#include "framework/Handles.h"
#include "framework/Picture.h"
#include "framework/Registry.h"
#include "framework/TextConv.h"

namespace kv {
namespace {

const wchar_t kRegistryKey[] = L"Software\\Vemrald\\KvFileExplorer";
const wchar_t kParentImgIdx[] = L"ParentImgIdx";

// Draws image `index` of `list` over white into a 32-bit bitmap and returns its pixels.
std::vector<std::uint32_t> ImagePixels(HIMAGELIST list, int index) {
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    std::vector<std::uint32_t> pixels;
    if (w <= 0 || h <= 0)
        return pixels;
    void* bits = nullptr;
    tmb::BitmapHandle bitmap(tmb::CreateDib32(w, h, &bits));
    if (!bitmap || !bits)
        return pixels;
    {
        tmb::MemoryDC dc(CreateCompatibleDC(nullptr));
        tmb::SelectGuard select(dc.get(), bitmap.get());
        const RECT r{0, 0, w, h};
        FillRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(list, index, dc.get(), 0, 0, ILD_NORMAL);
    }
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    pixels.assign(p, p + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    return pixels;
}

// IImageList, the interface the shell hands its per-size icon lists out as.
const GUID kImageListInterface = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

// A copy of `picture` stretched to `width` x `height` (the same size is a plain copy).
tmb::BitmapHandle ScaledPicture(HBITMAP picture, int width, int height) {
    BITMAP info{};
    GetObjectW(picture, sizeof(info), &info);
    tmb::BitmapHandle scaled(tmb::CreateDib32(width, height));
    tmb::MemoryDC source(CreateCompatibleDC(nullptr));
    tmb::MemoryDC target(CreateCompatibleDC(nullptr));
    tmb::SelectGuard selectSource(source.get(), picture);
    tmb::SelectGuard selectTarget(target.get(), scaled.get());
    SetStretchBltMode(target.get(), COLORONCOLOR);
    StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    return scaled;
}

// Adds the picture to every image list of the shell; its index in `largeList`, or -1.
int AppendParentPictures(HIMAGELIST largeList, HIMAGELIST smallList) {
    // The shell keeps one list per icon size and gives every new icon the same index in
    // all of them: the picture goes into each, or the next icon the shell adds would take
    // the parent's index in the two lists shown here and show as the parent folder.
    // Each list the shell hands out carries a reference of ours, given back on the way out
    // (the shell keeps its own).
    struct References {
        std::vector<IUnknown*> held;
        ~References() {
            for (IUnknown* p : held)
                p->Release();
        }
    } references;
    std::vector<HIMAGELIST> lists{largeList, smallList};
    for (int kind = SHIL_LARGE; kind <= SHIL_JUMBO; ++kind) {
        void* list = nullptr;
        if (FAILED(SHGetImageList(kind, kImageListInterface, &list)) || !list)
            continue;
        references.held.push_back(static_cast<IUnknown*>(list));
        if (std::find(lists.begin(), lists.end(), static_cast<HIMAGELIST>(list)) == lists.end())
            lists.push_back(static_cast<HIMAGELIST>(list));
    }
    int index = -1;
    for (HIMAGELIST list : lists) {
        const int added = AddParentPicture(list, list == smallList ? 1 : list == largeList ? 0 : -1);
        if (list == largeList)
            index = added;
    }
    return index >= 0 ? ImageList_GetImageCount(largeList) - 1 : -1;
}

} // namespace

int AddParentPicture(HIMAGELIST list, int small) {
    int w = 0, h = 0;
    if (!list || !ImageList_GetIconSize(list, &w, &h) || w <= 0 || h <= 0)
        return -1;
    const bool useSmall = small > 0 || (small < 0 && w <= 16);
    tmb::BitmapHandle picture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), useSmall ? L"Parent_S282" : L"Parent_L282",
                   IMAGE_BITMAP, 0, 0, 0)));
    return picture ? ImageList_Add(list, ScaledPicture(picture.get(), w, h).get(), nullptr) : -1;
}

bool HoldsParentPicture(HIMAGELIST list, int index) {
    if (!list || index < 0 || index >= ImageList_GetImageCount(list))
        return false;
    // The picture is compared as it was added: scaled to the list's own size.
    const int probe = AddParentPicture(list, 0);
    if (probe < 0)
        return false;
    const bool same = ImagePixels(list, index) == ImagePixels(list, probe);
    ImageList_Remove(list, probe);
    return same;
}

int ParentPictureInSystemLists(HIMAGELIST largeList, HIMAGELIST smallList) {
    if (!largeList || !smallList)
        return -1;
    tmb::Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kRegistryKey, true))
        return AppendParentPictures(largeList, smallList);
    int index = -1;
    if (registry.ValueExists(kParentImgIdx)) {
        try {
            index = registry.ReadInteger(kParentImgIdx);
        } catch (const tmb::Exception&) {
            index = -1;  // a value of another type is rewritten below
        }
        // The system lists are rebuilt in every process: the stored index is only good
        // when the image there is still the parent-folder picture.
        if (HoldsParentPicture(largeList, index))
            return index;
    }
    index = AppendParentPictures(largeList, smallList);
    if (index >= 0)
        registry.WriteInteger(kParentImgIdx, index);
    return index;
}

std::wstring TypeIcons::ExtensionOf(const std::wstring& path) {
    return tmb::UpperCase(ExtractFileExt(ExtractFileName(path)));
}

bool TypeIcons::HasOwnIcon(const std::wstring& upperExtension) {
    static const wchar_t* const kOwnIcons[] = {L".EXE", L".ICO", L".LNK", L".CUR", L".ANI",
                                               L".SCR", L".URL", L".PIF"};
    for (const wchar_t* own : kOwnIcons)
        if (upperExtension == own)
            return true;
    return false;
}

int TypeIcons::IconOf(const std::wstring& upperExtension) {
    auto found = icons_.find(upperExtension);
    if (found != icons_.end())
        return found->second;
    SHFILEINFOW info{};
    const std::wstring name = L"file" + upperExtension;
    SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                   SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    const int icon = info.iIcon >= 0 ? info.iIcon : 0;
    icons_.emplace(upperExtension, icon);
    return icon;
}

} // namespace kv
