#pragma once
// How a toolbar tells its view which way to run and how far it may go before the chevron
// hides items or the items wrap to another line. Pure decisions over the toolbar's
// placement (docked, floating, or placed on a form), so the dock's row layout, the drag
// loop's size previews and the toolbar's own layout all ask the same questions.
#include <cstdint>

#include "toolbar/core/Common.h"
#include "toolbar/core/DockLayout.h"
#include "toolbar/core/ViewerMetrics.h"

namespace tb {

class TTBView;

// Where a toolbar is, as its layout sees it. The values are those the size calculation
// passes around as "the previous dock type".
enum class TTBDockType : std::uint8_t { NotDocked = 0, Floating = 1, TopBottom = 2, LeftRight = 3 };

// The chevron button's length along the toolbar.
constexpr int kChevronSize = 12;

// Floating wins over a dock (a floating toolbar still remembers its last dock).
TTBDockType DockTypeOf(bool hasDock, bool dockIsLeftOrRight, bool floating);
TTBViewOrientation OrientationOf(TTBDockType type);

// The length of `size` along a view of that orientation (floating views run across).
inline int AlongOrientation(TPoint size, TTBViewOrientation orientation) {
    return orientation == TTBViewOrientation::Vertical ? size.y : size.x;
}

// Everything the limits depend on. A candidate dock (the drag loop previewing a move) is
// docked but not `inCurrentDock`; the dock's numbers then describe the candidate.
struct TToolbarPlacement {
    TTBDockType dockType = TTBDockType::NotDocked;
    bool inCurrentDock = false;
    TTBShrinkMode shrinkMode = TTBShrinkMode::tbsmChevron;
    int allottedSize = 0;        // the length the dock gave the toolbar; 0 = unconstrained
    TPoint dockedNonClient;      // the toolbar's frame and handle while docked
    int dockInnerLength = 0;     // the dock's length inside its bound lines
    int floatingWidth = 0;       // the wrap width while floating; 0 = one row
    // Placed on a form:
    bool autoResize = true;
    bool anchoredLeftAndRight = false;
    int width = 0;               // the control's width
    int nonClientWidth = 0;      // what of it is not client area
};

struct TViewLimits {
    TTBViewOrientation orientation = TTBViewOrientation::Horizontal;
    int chevronLimit = 0;  // 0: no limit
    int wrapLength = 0;    // 0: one line
};

TViewLimits ViewLimitsFor(const TToolbarPlacement& placement);

// What the view would measure for a placement, without moving or changing anything: the
// dock's row layout and the drag loop's previews ask this. The chevron button is counted
// kChevronSize long.
struct TToolbarSize {
    TPoint size;
    int rowCount = 1;
    bool chevronEnabled = false;
};
TToolbarSize CalcToolbarSize(const TTBView& view, const TViewLimits& limits);

// The shortest a tbsmChevron toolbar can get in a dock: its most important shown item
// (the first in the view's priority order that is not a separator; 0 without one), its
// docked frame along the view, and the chevron button.
int ChevronMinimumSize(const TTBView& view, TPoint dockedNonClient);

}  // namespace tb
