#pragma once
// What a drag of a dockable window aims at, decided at every mouse move: which dock the
// cursor is close enough to, which row of it a drop joins or opens, when a drag along its
// own row turns into resizing the neighbours, and where a floating window stays reachable.
#include <vector>

#include "toolbar/core/Common.h"
#include "toolbar/core/DockLayout.h"

namespace tb {

constexpr int kDockHitWidening = 3;
constexpr int kDockHitBand = 25;
constexpr int kSplitStartDistance = 9;

// Where the mouse holds the window: the grab point relative to the window's rectangle and
// the window's starting size less one in each direction.
struct TDragGrab {
    TPoint grab;
    TPoint startSizeLess1;
};

// The rectangle of a window of `size` placed so that the grab point, scaled to that size,
// stays under the cursor.
TRect PlaceUnderCursor(TPoint cursor, const TDragGrab& grab, TPoint size);

// The cursor is close enough to the dock (its window rectangle `dock`, on the screen) and
// the window, at its size for that dock, would touch the dock.
bool DockHit(const TRect& dock, bool vertical, TPoint cursor, const TDragGrab& grab, TPoint sizeInDock);

struct TRowChoice {
    int row = 0;
    bool insertBefore = false;  // a new row opens before `row`
    bool newRow = false;        // a row opens (before `row`, or after the last)
    friend bool operator==(const TRowChoice&, const TRowChoice&) = default;
};
// The row a drop with its centre at `centre` (across the dock, from its client's start)
// goes to: rows ending with a FullSize window (or any row when the dragged window is
// FullSize) are cut in halves, others in quarters; the first part opens a row before it,
// the middle joins it.
TRowChoice ChooseRow(const std::vector<TDockRowInfo>& rows, int centre, bool draggedFullSize);

// A drag that stays in its starting dock and row turns into splitting once the cursor has
// moved more than kSplitStartDistance pixels along the dock.
inline bool StartsSplitting(bool canSplit, bool sameDockAndRow, int movedAlong) {
    return canSplit && sameDockAndRow && (movedAlong > kSplitStartDistance || movedAlong < -kSplitStartDistance);
}

// Keeps a floating window's rectangle reachable: it reaches at least to the work area
// shrunk by the border + 4 on every side, and its top lies no higher than the work area's
// top less the top non-client height plus 4.
TRect KeepReachable(TRect rect, const TRect& workArea, int border, int topNonClient);

}  // namespace tb
