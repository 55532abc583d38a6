#pragma once
// The drawable icon handed to the rest of the program. It is always drawn at its own size
// from the top-left corner of the rectangle it is given, so 16x16 and 48x48 icons keep
// their true size where a plain icon graphic would be drawn at the system size.
#include <memory>

#include "iconlib/IconPicture.h"

namespace gs {

struct TIconRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TQBHiResIcon {
public:
    // The system's standard icon size until a picture says otherwise.
    static constexpr int kStandardIconSize = 32;

    TQBHiResIcon() = default;
    explicit TQBHiResIcon(std::shared_ptr<const TIconPicture> handle) { SetHandle(std::move(handle)); }

    void SetHandle(std::shared_ptr<const TIconPicture> handle);
    const std::shared_ptr<const TIconPicture>& Handle() const { return handle_; }
    bool Empty() const { return !handle_; }

    int GetWidth() const { return RefreshSize(), width_; }
    int GetHeight() const { return RefreshSize(), height_; }
    void Draw(TRaster& canvas, const TIconRect& rect) const;

private:
    void RefreshSize() const;

    std::shared_ptr<const TIconPicture> handle_;
    mutable int width_ = kStandardIconSize;
    mutable int height_ = kStandardIconSize;
    mutable bool dirty_ = false;
};

}  // namespace gs
