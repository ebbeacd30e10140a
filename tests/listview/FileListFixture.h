// The file list view test fixture: a list on a shown window, with the helpers its tests
// share (captions, the header and its sort arrows, renaming in place, the keys).
#pragma once

#include <gtest/gtest.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "explorer/KvFilelistView28.h"
#include "framework/TextConv.h"
#include "tests/support/ComponentTestHelpers.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestHelpers.h"

namespace listtest {

using kv::TKvFilelistView28;

// Gives a file or folder a last-write time (UTC).
inline void SetTime(const std::wstring& path, const SYSTEMTIME& st) {
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

// Gives a file or folder a last-write time in March 2024 (noon of `day`).
inline void SetTime(const std::wstring& path, int day) {
    SetTime(path, SYSTEMTIME{2024, 3, 0, static_cast<WORD>(day), 12, 0, 0, 0});
}

// The row of `list` captioned `caption`, or -1.
inline int IndexOf(const TKvFilelistView28& list, const std::wstring& caption) {
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.Item(i).caption == caption)
            return i;
    return -1;
}

// Selects the row captioned `caption` alone and gives it the focus mark.
inline void SelectOnly(TKvFilelistView28& list, const std::wstring& caption) {
    list.ClearSelection();
    const int i = IndexOf(list, caption);
    ASSERT_GE(i, 0) << U8(caption);
    list.SetSelected(i, true);
    list.SetFocusedIndex(i);
}

class FileList : public testing::Test {
protected:
    void SetUp() override { list_ = tmbtest::PlaceOn<TKvFilelistView28>(form_.Form(), 0, 0, 580, 380); }
    void TearDown() override { tmb::Destroy(list_); }

    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> result;
        for (int i = 0; i < list_->ItemCount(); ++i)
            result.push_back(list_->Item(i).caption);
        return result;
    }
    static std::vector<std::wstring> Paths(const TKvFilelistView28& list) {
        std::vector<std::wstring> result;
        for (int i = 0; i < list.ItemCount(); ++i)
            result.push_back(list.ItemPath(i));
        return result;
    }
    int IndexOfPath(const std::wstring& path) const {
        for (int i = 0; i < list_->ItemCount(); ++i)
            if (list_->ItemPath(i) == path)
                return i;
        return -1;
    }
    int IndexOf(const std::wstring& caption) const { return listtest::IndexOf(*list_, caption); }
    const tmb::ListItem& ItemNamed(const std::wstring& caption) {
        const int i = IndexOf(caption);
        if (i < 0) {
            ADD_FAILURE() << "no item " << U8(caption);
            static const tmb::ListItem none;
            return none;
        }
        return list_->Item(i);
    }
    std::vector<std::wstring> ColumnCaptions() {
        std::vector<std::wstring> result;
        HWND header = list_->HeaderHandle();
        const int n = Header_GetItemCount(header);
        for (int i = 0; i < n; ++i) {
            wchar_t text[64] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            Header_GetItem(header, i, &item);
            result.push_back(text);
        }
        return result;
    }
    // The pixels of a bitmap, as 32-bit colours.
    static std::vector<std::uint32_t> Pixels(HBITMAP bitmap) {
        BITMAP info{};
        if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
            return {};
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(info.bmWidth * info.bmHeight));
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        return pixels;
    }
    static std::vector<std::uint32_t> ArrowPicture(const wchar_t* name) {
        HBITMAP picture = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0,
                                                          0, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
        std::vector<std::uint32_t> pixels = Pixels(picture);
        DeleteObject(picture);
        return pixels;
    }
    // The header columns showing a sort arrow, and whether the arrow drawn is the down one.
    std::vector<int> ArrowColumns(bool* down = nullptr, kv::TKvFilelistView28* list = nullptr) {
        std::vector<int> result;
        HWND header = (list ? list : list_)->HeaderHandle();
        for (int i = 0; i < Header_GetItemCount(header); ++i) {
            HDITEMW item{};
            item.mask = HDI_FORMAT | HDI_BITMAP;
            Header_GetItem(header, i, &item);
            if (item.fmt & HDF_BITMAP) {
                result.push_back(i);
                if (down) {
                    const std::vector<std::uint32_t> shown = Pixels(item.hbm);
                    *down = shown == ArrowPicture(L"Bmp_Down28");
                    EXPECT_TRUE(*down || shown == ArrowPicture(L"Bmp_Up28")) << "column " << i;
                }
            }
        }
        return result;
    }
    void ClickHeader(int column) {
        HWND header = list_->HeaderHandle();
        RECT r{};
        Header_GetItemRect(header, column, &r);
        tmbtest::Click(header, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        tmbtest::PumpFor(30);
    }
    void SelectOnly(const std::wstring& caption) { listtest::SelectOnly(*list_, caption); }
    // Selects an entry, edits its caption in place to `typed` and confirms with Enter.
    void RenameInPlace(const std::wstring& caption, const std::wstring& typed) {
        SelectOnly(caption);
        HWND edit = list_->EditCaption(IndexOf(caption));
        ASSERT_TRUE(edit) << U8(caption);
        tmbtest::TypeAndPress(edit, typed, VK_RETURN, 100);
    }
    void Key(WORD vk) {
        list_->SetFocus();
        tmbtest::PressKey(list_->Handle(), vk);
        tmbtest::Pump();
    }

    tmbtest::TestForm form_{600, 400};
    TKvFilelistView28* list_ = nullptr;
};

} // namespace listtest
