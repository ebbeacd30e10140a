// Image lists as components.
#include "framework/ImageListComponent.h"

namespace tmb {

ImageListComponent::ImageListComponent(Component* owner) : Component(owner) {}

int ImageListComponent::Width() const {
    int cx = 0, cy = 0;
    if (list_)
        ImageList_GetIconSize(list_.get(), &cx, &cy);
    return cx;
}

int ImageListComponent::Height() const {
    int cx = 0, cy = 0;
    if (list_)
        ImageList_GetIconSize(list_.get(), &cx, &cy);
    return cy;
}

Picture ImageListComponent::GetBitmap(int index) const {
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return Picture();
    BitmapHandle bmp(CreateDib32(w, h));
    {
        MemoryDC dc(CreateCompatibleDC(nullptr));
        SelectGuard sel(dc.get(), bmp.get());
        // A brush, not WHITENESS, which would set the alpha byte too (see Picture).
        const RECT r{0, 0, w, h};
        FillRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(list_.get(), index, dc.get(), 0, 0, ILD_NORMAL);
    }
    return Picture::FromBitmap(bmp.get());
}

} // namespace tmb
