// Pop-up menus built afresh from their items each time they are shown.
#include "framework/PopupMenu.h"

#include <commctrl.h>

#include <cstdlib>

#include "framework/Control.h"
#include "framework/Dpi.h"
#include "framework/Picture.h"
#include "framework/WinControl.h"

namespace tmb {
namespace {

// The item numbered `command` when every item is numbered depth first, visible or not, as
// Fill numbers them; so a command names one item for good.
MenuItem* Find(std::vector<MenuItem>& items, int& number, int command) {
    for (MenuItem& item : items) {
        if (++number == command)
            return &item;
        if (MenuItem* found = Find(item.items, number, command))
            return found;
    }
    return nullptr;
}

// Command ids number the items depth first, or are their tags (a menu bar).
int Fill(HMENU menu, const std::vector<MenuItem>& items, int number, bool tagIds) {
    for (const MenuItem& item : items) {
        const int command = tagIds ? static_cast<int>(item.tag) : ++number;
        HMENU sub = nullptr;
        if (!item.items.empty()) {
            sub = CreatePopupMenu();
            number = Fill(sub, item.items, number, tagIds);
        }
        if (!item.visible) {
            if (sub)
                DestroyMenu(sub);
            continue;
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        if (item.caption == L"-") {
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE |
                         (sub ? MIIM_SUBMENU : 0u) | (item.bitmap ? MIIM_BITMAP | MIIM_DATA : 0u);
            info.fType = item.radio ? MFT_RADIOCHECK : 0u;
            info.dwTypeData = const_cast<wchar_t*>(item.caption.c_str());
            info.wID = static_cast<UINT>(command);
            info.fState = (item.enabled ? MFS_ENABLED : MFS_DISABLED) |
                          (item.checked ? MFS_CHECKED : 0u);
            info.hSubMenu = sub;
            // The picture is drawn by the menu's owner (see PictureDrawer): a bitmap the
            // system draws itself comes out inverted or on a square of its own background
            // when the entry is highlighted.
            info.hbmpItem = item.bitmap ? HBMMENU_CALLBACK : nullptr;
            info.dwItemData = reinterpret_cast<ULONG_PTR>(item.bitmap);
        }
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    }
    return number;
}

// While a menu is up, its owner window measures and draws the entries' pictures: each is
// drawn without its background colour (the colour of its bottom-left pixel), so it sits on
// the menu as it is painted, highlighted or not. The pictures are drawn for 96 DPI and
// shown at the DPI of the owner's layout.
class PictureDrawer {
public:
    PictureDrawer(HWND owner, int dpi) : owner_(owner) {
        if (owner_)
            SetWindowSubclass(owner_, &Proc, kId, static_cast<DWORD_PTR>(dpi));
    }
    ~PictureDrawer() {
        if (owner_)
            RemoveWindowSubclass(owner_, &Proc, kId);
    }
    PictureDrawer(const PictureDrawer&) = delete;
    PictureDrawer& operator=(const PictureDrawer&) = delete;

private:
    static constexpr UINT_PTR kId = 0x4D505443;  // "MPTC"

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR ref) {
        const int dpi = static_cast<int>(ref);
        if (msg == WM_MEASUREITEM) {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            BITMAP bm{};
            if (m->CtlType == ODT_MENU && m->itemData &&
                GetObjectW(reinterpret_cast<HBITMAP>(m->itemData), sizeof(bm), &bm)) {
                m->itemWidth = static_cast<UINT>(ScaleLength(bm.bmWidth, dpi));
                m->itemHeight = static_cast<UINT>(ScaleLength(std::abs(bm.bmHeight), dpi));
                return TRUE;
            }
        } else if (msg == WM_DRAWITEM) {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            BITMAP bm{};
            if (d->CtlType == ODT_MENU && d->itemData &&
                GetObjectW(reinterpret_cast<HBITMAP>(d->itemData), sizeof(bm), &bm)) {
                Draw(d->hDC, d->rcItem, reinterpret_cast<HBITMAP>(d->itemData), bm, dpi);
                return TRUE;
            }
        }
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }

    static void Draw(HDC dc, const RECT& area, HBITMAP bitmap, const BITMAP& bm, int dpi) {
        if (dpi != kDesignDpi) {
            const Picture scaled = Picture::FromBitmap(bitmap).ScaledTo(
                ScaleLength(bm.bmWidth, dpi), ScaleLength(std::abs(bm.bmHeight), dpi));
            scaled.Draw(dc, area.left + (area.right - area.left - scaled.Width()) / 2,
                        area.top + (area.bottom - area.top - scaled.Height()) / 2);
            return;
        }
        MemoryDC source(CreateCompatibleDC(dc));
        SelectGuard select(source.get(), bitmap);
        const COLORREF background = GetPixel(source.get(), 0, bm.bmHeight - 1);
        const int x = area.left + (area.right - area.left - bm.bmWidth) / 2;
        const int y = area.top + (area.bottom - area.top - bm.bmHeight) / 2;
        GdiTransparentBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, bm.bmWidth,
                          bm.bmHeight, background);
    }

    HWND owner_;
};

} // namespace

MenuHandle BuildMenuBar(const std::vector<MenuItem>& items) {
    MenuHandle bar(CreateMenu());
    Fill(bar.get(), items, 0, true);
    return bar;
}

HBITMAP MenuPictures::Get(const wchar_t* name) {
    if (!name)
        return nullptr;
    for (const auto& [loadedName, bitmap] : loaded_)
        if (loadedName == name)
            return bitmap.get();
    loaded_.emplace_back(name, BitmapHandle(static_cast<HBITMAP>(LoadImageW(
                                   GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0,
                                   LR_LOADMAP3DCOLORS))));
    return loaded_.back().second.get();
}

HBITMAP MenuPictures::FromIcon(HIMAGELIST images, int index) {
    int cx = 16, cy = 16;
    if (!images || !ImageList_GetIconSize(images, &cx, &cy))
        return nullptr;
    WindowDC screen(nullptr);
    BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
    MemoryDC dc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc)
        return nullptr;
    {
        SelectGuard select(dc.get(), bitmap.get());
        RECT all{0, 0, cx, cy};
        FillRect(dc.get(), &all, GetSysColorBrush(COLOR_MENU));
        ImageList_Draw(images, index, dc.get(), 0, 0, ILD_TRANSPARENT);
    }
    icons_.push_back(std::move(bitmap));
    return icons_.back().get();
}

PopupMenu::PopupMenu(Component* owner) : Component(owner) {}

int PopupMenu::Add(MenuItem item) {
    items_.push_back(std::move(item));
    return static_cast<int>(items_.size()) - 1;
}

MenuHandle PopupMenu::BuildHandle() const {
    MenuHandle menu(CreatePopupMenu());
    Fill(menu.get(), items_, 0, false);
    return menu;
}

MenuItem* PopupMenu::Item(int command) {
    int number = 0;
    return command > 0 ? Find(items_, number, command) : nullptr;
}

void PopupMenu::ItemClicked(MenuItem& item) {
    if (item.onClick)
        item.onClick(this);
}

int PopupMenu::Popup(int screenX, int screenY, HWND owner) {
    if (OnPopup)
        OnPopup(this);
    MenuHandle menu = BuildHandle();
    if (GetMenuItemCount(menu.get()) <= 0)
        return -1;
    int cmd = 0;
    const std::shared_ptr<bool> alive = alive_;
    {
        const WinControl* control = WinControl::FromHandle(owner);
        PictureDrawer pictures(owner, control ? control->Dpi() : WindowDpi(owner));
        cmd = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                             screenX, screenY, 0, owner, nullptr);
    }
    if (!*alive || (owner && !IsWindow(owner)))
        return -1;
    MenuItem* item = Item(cmd);
    if (!item)
        return -1;
    ItemClicked(*item);
    return cmd - 1;
}

} // namespace tmb
