// An image list handle that either belongs to its holder (destroyed with it) or is only
// shown by it (a list someone else keeps, such as the system's icon list, which no
// component may ever destroy). Move-only, like every owning handle of the layer.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace tmb {

class ImageList {
public:
    ImageList() = default;
    ~ImageList() { reset(); }
    ImageList(ImageList&& other) noexcept;
    ImageList& operator=(ImageList&& other) noexcept;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // A list this object destroys when it lets go of it.
    static ImageList Owned(HIMAGELIST list) { return ImageList(list, false); }
    // A list kept elsewhere: this object only refers to it.
    static ImageList Shared(HIMAGELIST list) { return ImageList(list, true); }

    HIMAGELIST get() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }
    // True when the list is shown but not owned.
    bool ShareImages() const { return shared_; }
    int Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

    // Lets go of the list (destroying it when owned) and holds nothing.
    void reset();

private:
    ImageList(HIMAGELIST list, bool shared) : list_(list), shared_(shared) {}

    HIMAGELIST list_ = nullptr;
    bool shared_ = false;
};

} // namespace tmb
