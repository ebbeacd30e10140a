// An image list as a component, so that controls can refer to it and hear when it goes away
// (a button's Images). It holds an owned or a shared list.
#pragma once

#include <windows.h>

#include <utility>

#include "framework/Component.h"
#include "framework/ImageList.h"
#include "framework/Picture.h"

namespace tmb {

class ImageListComponent : public Component {
public:
    explicit ImageListComponent(Component* owner);

    // Takes over `list` (destroyed with the component when owned).
    void SetList(ImageList list) { list_ = std::move(list); }
    HIMAGELIST Handle() const { return list_.get(); }

    int Width() const;
    int Height() const;
    int Count() const { return list_.Count(); }

    // The image at `index` drawn over a white bitmap of the list's image size.
    Picture GetBitmap(int index) const;

private:
    ImageList list_;
};

} // namespace tmb
