#pragma once
// Where a new popup window goes on its screen: beside its submenu item, below or above a
// toolbar button, or at a point, kept inside the monitor and off the items of the view it
// was opened from. Pure arithmetic over rectangles in screen coordinates.
#include <cstdint>
#include <vector>

#include "toolbar/core/Common.h"
#include "toolbar/core/ViewerMetrics.h"

namespace tb {

struct TPopupRequest {
    TPoint size;              // W by H, after layout
    TRect monitor;            // the full rectangle of the monitor
    bool hasParentView = false;
    TTBViewOrientation parentOrientation = TTBViewOrientation::Horizontal;
    TRect itemRect;           // the opener's cell (with a parent view)
    std::vector<TRect> parentCells;  // the parent view's shown cells (with a parent view)
    bool asSubmenu = false;
    bool chevron = false;     // a chevron's popup: ends at the chevron's right edge (vertical parent: left of it)
    bool openLeft = false;    // the parent view's popups open to the left
    bool dropRight = false;   // the desktop drops menus right-aligned
    TPoint point;             // without a parent view
    int alignment = 0;        // without a parent view: 0 left edge, 1 right edge, 2 centred on the point
};

struct TPopupPlacement {
    TPoint topLeft;
    bool openLeft = false;        // the new popup's own submenus prefer the left
    std::uint8_t unrollDirection = 0;  // TTBAnimationDirection bits
};

TPopupPlacement PlacePopup(const TPopupRequest& request);

}  // namespace tb
