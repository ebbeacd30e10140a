// Owned and shared image lists.
#include "framework/ImageList.h"

#include <utility>

namespace tmb {

ImageList::ImageList(ImageList&& other) noexcept
    : list_(std::exchange(other.list_, nullptr)), shared_(other.shared_) {}

ImageList& ImageList::operator=(ImageList&& other) noexcept {
    if (this != &other) {
        reset();
        list_ = std::exchange(other.list_, nullptr);
        shared_ = other.shared_;
    }
    return *this;
}

void ImageList::reset() {
    if (list_ && !shared_)
        ImageList_Destroy(list_);
    list_ = nullptr;
    shared_ = false;
}

} // namespace tmb
