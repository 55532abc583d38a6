#pragma once
// The sizes a floating toolbar may take (one per number of item rows) and the track that
// keeps its edge on those sizes while the user drags it, with a snap back to the size it
// started from. Sizes are plain integers.
#include <functional>
#include <vector>

#include "toolbar/core/Common.h"

namespace tb {

struct TFloatingSize {
    int width = 0, height = 0;
    friend bool operator==(const TFloatingSize&, const TFloatingSize&) = default;
};

// The toolbar's size and row count when wrapped at `floatingWidth` (0: one row).
struct TWrappedSize {
    TFloatingSize size;
    int rows = 1;
};
using TWrapCalculator = std::function<TWrappedSize(int floatingWidth)>;

// The single-row size first, then, narrowing one pixel at a time down to the view's side
// margins, the narrowest width for every new row count.
std::vector<TFloatingSize> BuildFloatingSizes(const TWrapCalculator& calculate, int sideMargins);

// Size handles of a floating window.
enum class TSizeHandle { Left = 0, Right = 1, Top = 2, Bottom = 5 };

constexpr int kFloatingSnapDistance = 12;

class TFloatingResizeTrack {
public:
    // `sizes` as built above (client sizes); `nonClient` is what the floating window adds
    // (both borders, the caption); `border` the width of one side border; `start` the
    // floating window's rectangle when the drag began.
    TFloatingResizeTrack(TSizeHandle handle, std::vector<TFloatingSize> sizes, TFloatingSize nonClient, int border,
                         const TRect& start, int startFloatingWidth);

    // The cursor moved to `cursor` (screen): answers the floating window's new rectangle,
    // always one of the listed sizes.
    TRect Track(TPoint cursor);
    // The wrap width that goes with the last result (0: one row).
    int FloatingWidth() const { return floatingWidth_; }
    int SnapDistance() const { return snap_; }

private:
    bool horizontal() const { return handle_ == TSizeHandle::Left || handle_ == TSizeHandle::Right; }
    int lengthOf(const TFloatingSize& s) const { return horizontal() ? s.width : s.height; }

    TSizeHandle handle_;
    std::vector<TFloatingSize> sizes_;  // window sizes, longest first along the dragged axis
    TRect start_;
    int border_;
    int floatingWidth_;
    int snap_ = kFloatingSnapDistance;
    bool lastDiffered_ = false;
    bool lastLonger_ = false;
    std::size_t singleRow_ = 0;  // index of the one-row entry
};

}  // namespace tb
