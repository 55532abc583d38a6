#include "toolbar/core/DragTarget.h"

namespace tb {

namespace {

// `grab` of `startLess1` scaled to `lengthLess1`; a one-pixel start keeps the grab.
int scaled(int lengthLess1, int grab, int startLess1) {
    if (startLess1 <= 0) return grab;
    const int v = MulDiv(lengthLess1, grab, startLess1);
    return v < 0 && lengthLess1 >= 0 && grab >= 0 ? grab : v;
}

// The part of the band beyond the dock's far edge: the share of the window before the grab
// point lies on the near side.
int farBand(int grab, int startLess1) {
    if (startLess1 <= 0) return 0;
    return std::clamp(MulDiv(kDockHitBand, grab, startLess1), 0, kDockHitBand);
}

TRect offsetRect(TRect r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool intersects(const TRect& a, const TRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

TRect PlaceUnderCursor(TPoint cursor, const TDragGrab& grab, TPoint size) {
    const int left = cursor.x - scaled(size.x - 1, grab.grab.x, grab.startSizeLess1.x);
    const int top = cursor.y - scaled(size.y - 1, grab.grab.y, grab.startSizeLess1.y);
    return {left, top, left + size.x, top + size.y};
}

bool DockHit(const TRect& dock, bool vertical, TPoint cursor, const TDragGrab& grab, TPoint sizeInDock) {
    const TRect wide{dock.left - kDockHitWidening, dock.top - kDockHitWidening, dock.right + kDockHitWidening,
                     dock.bottom + kDockHitWidening};
    TRect hit = wide;
    const int bx = farBand(grab.grab.x, grab.startSizeLess1.x);
    hit.left -= kDockHitBand - bx;
    hit.right += bx;
    if (!vertical) {
        const int by = farBand(grab.grab.y, grab.startSizeLess1.y);
        hit.top -= kDockHitBand - by;
        hit.bottom += by;
    }
    if (!hit.Contains(cursor)) return false;
    return intersects(PlaceUnderCursor(cursor, grab, sizeInDock), wide);
}

TRowChoice ChooseRow(const std::vector<TDockRowInfo>& rows, int centre, bool draggedFullSize) {
    std::int64_t start = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int thickness = rows[r].thickness;
        const bool halves = rows[r].fullSizeEnd || draggedFullSize;
        const int part = halves ? thickness / 2 : thickness / 4;
        if (centre < start + part) return {int(r), true, true};
        if (!halves && centre < start + thickness - part) return {int(r), false, false};
        start += thickness;
    }
    return {int(rows.size()), false, true};
}

TRect KeepReachable(TRect rect, const TRect& workArea, int border, int topNonClient) {
    const int inset = border + 4;
    const TRect inner{workArea.left + inset, workArea.top + inset, workArea.right - inset, workArea.bottom - inset};
    if (rect.right < inner.left) rect = offsetRect(rect, inner.left - rect.right, 0);
    else if (rect.left > inner.right) rect = offsetRect(rect, inner.right - rect.left, 0);
    if (rect.bottom < inner.top) rect = offsetRect(rect, 0, inner.top - rect.bottom);
    else if (rect.top > inner.bottom) rect = offsetRect(rect, 0, inner.bottom - rect.top);
    const int highest = workArea.top - topNonClient + 4;
    if (rect.top < highest) rect = offsetRect(rect, 0, highest - rect.top);
    return rect;
}

}  // namespace tb
