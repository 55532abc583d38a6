#include "iconlib/HiResIcon.h"

namespace gs {

void TQBHiResIcon::SetHandle(std::shared_ptr<const TIconPicture> handle) {
    handle_ = std::move(handle);
    dirty_ = true;
}

void TQBHiResIcon::RefreshSize() const {
    if (!dirty_) return;
    dirty_ = false;
    // Square, from the colour bitmap's width, as the sizes always were taken.
    if (handle_) width_ = height_ = handle_->width;
}

void TQBHiResIcon::Draw(TRaster& canvas, const TIconRect& rect) const {
    RefreshSize();
    if (handle_) handle_->drawOn(canvas, rect.Left, rect.Top);
}

}  // namespace gs
