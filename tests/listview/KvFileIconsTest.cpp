// The parent-folder picture: found again by its pixels in a list of any icon size, and kept
// in step across the shell's image lists.
#include "explorer/KvFileIcons.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "framework/Registry.h"
#include "framework/TextConv.h"
#include "tests/listview/FileListFixture.h"

namespace {

using kv::TKvFilelistView28;
using listtest::FileList;

TEST_F(FileList, TheParentPictureIsFoundAgainInAListOfAnyIconSize) {
    for (const int size : {24, 32, 48}) {
        HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, 4, 4);
        HBITMAP black = CreateBitmap(size, size, 1, 32, nullptr);
        const int other = ImageList_Add(images, black, nullptr);
        DeleteObject(black);
        const int parent = kv::AddParentPicture(images, 0);
        ASSERT_GE(parent, 0) << size;
        EXPECT_TRUE(kv::HoldsParentPicture(images, parent)) << size;
        EXPECT_FALSE(kv::HoldsParentPicture(images, other)) << size;
        EXPECT_EQ(ImageList_GetImageCount(images), parent + 1) << "the probe is taken out again";
        ImageList_Destroy(images);
    }
}

TEST_F(FileList, TheParentImageKeepsTheShellsIconListsInStepAndIsFoundAgainByItsPixels) {
    // Every list of the shell holds as many images as the others, so the next icon the
    // shell adds gets one index in all of them, never the parent's.
    const GUID imageList = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    std::vector<int> counts;
    for (int kind = SHIL_LARGE; kind <= SHIL_JUMBO; ++kind) {
        void* list = nullptr;
        if (SUCCEEDED(SHGetImageList(kind, imageList, &list)) && list)
            counts.push_back(ImageList_GetImageCount(static_cast<HIMAGELIST>(list)));
    }
    ASSERT_GE(counts.size(), 2u);
    EXPECT_EQ(std::count(counts.begin(), counts.end(), counts[0]),
              static_cast<std::ptrdiff_t>(counts.size()));
    const int parent = list_->ParentImageIndex();
    ASSERT_GE(parent, 0);
    SHFILEINFOW info{};
    SHGetFileInfoW(L"C:\\windows\\notepad.exe", 0, &info, sizeof(info),
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    EXPECT_NE(info.iIcon, parent);

    // The index is stored, and a second list finds the picture there instead of adding it.
    tmb::Registry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(L"Software\\Vemrald\\KvFileExplorer", false));
    EXPECT_EQ(registry.ReadInteger(L"ParentImgIdx"), parent);
    auto* second = new TKvFilelistView28(&form_.Form());
    EXPECT_EQ(second->ParentImageIndex(), parent);
    tmb::Destroy(second);

    // A stored index whose image is another one is replaced.
    registry.WriteInteger(L"ParentImgIdx", 0);
    auto* third = new TKvFilelistView28(&form_.Form());
    EXPECT_GT(third->ParentImageIndex(), parent);
    EXPECT_EQ(registry.ReadInteger(L"ParentImgIdx"), third->ParentImageIndex());
    tmb::Destroy(third);
}

// The one icon-by-type piece of the list and the contents window: the key is the last
// extension of the name only (a dot in a folder name is no extension), in capitals, and a
// type's icon is the shell's, whatever the letter case it was asked with.
TEST(TypeIcons, KeysByTheNamesLastExtensionAndAnswersAsTheShellDoes) {
    using kv::TypeIcons;
    EXPECT_EQ(TypeIcons::ExtensionOf(L"C:\\a.dir\\readme"), L"");
    EXPECT_EQ(TypeIcons::ExtensionOf(L"C:\\a.dir\\Notes.TxT"), L".TXT");
    EXPECT_EQ(TypeIcons::ExtensionOf(L"archive.tar.gz"), L".GZ");
    for (const wchar_t* own : {L".EXE", L".LNK", L".ICO", L".URL"})
        EXPECT_TRUE(TypeIcons::HasOwnIcon(own)) << tmb::WideToUtf8(own);
    for (const wchar_t* plain : {L".TXT", L"", L".exe", L".EXEX"})
        EXPECT_FALSE(TypeIcons::HasOwnIcon(plain)) << tmb::WideToUtf8(plain);
    TypeIcons icons;
    SHFILEINFOW info{};
    SHGetFileInfoW(L"x.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                   SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    EXPECT_EQ(icons.IconOf(L".TXT"), info.iIcon);
    EXPECT_EQ(icons.IconOf(L".TXT"), info.iIcon) << "the same from the cache";
    EXPECT_GE(icons.IconOf(L".NO-SUCH-TYPE-HERE"), 0);
}

} // namespace
