#pragma once
// Where every viewer of a view goes: visibility and separator collapsing, the chevron
// hiding the least recently used items, line wrapping, right alignment, vertical mirroring
// and popup scrolling. Pure arithmetic over one record per viewer, so that a toolbar's or
// menu's layout is computed and tested without a window.
#include <vector>

#include "toolbar/core/Common.h"
#include "toolbar/core/ViewerMetrics.h"

namespace tb {

struct TLayoutCell {
    enum class Kind : std::uint8_t { Item, Separator, Control, Chevron } kind = Kind::Item;
    TPoint size;               // measured (a control: its own size)
    bool visible = true;       // the item's Visible; a control: shown in the host and visible
    bool embedded = false;     // shown by its subitems instead (hidden unless designing)
    bool toolbarSize = false;  // ButtonSized: advances along the line; else a menu row
    bool noLineBreak = false;  // tbstNoLineBreak
    bool rightAlign = false;   // tbstRightAlign
    int priority = -1;         // place in the recently-used list, 0 the most recent; -1 none

    // Results.
    TRect rect;
    bool shown = false;
    bool hiddenByChevron = false;
    bool lineBreak = false;  // a separator turned into the gap between two lines
    bool outsideScroll = false;
};

struct TLayoutParams {
    bool toolbarView = false;
    bool designLook = false;
    TTBViewOrientation orientation = TTBViewOrientation::Horizontal;
    int wrapLength = 0;      // 0: no wrapping
    int chevronLength = 0;   // the chevron cell (last record, Kind::Chevron)
    int chevronLimit = 0;    // 0: no limit
    int heightLimit = 0;     // popups: the highest the view may be; 0: none
    int scrollPos = 0;       // popups: in pixels, clamped on the way
    bool chevronPopup = false;  // lines wrap without stretching to the wrap length
};

struct TLayoutResult {
    TPoint newSize;
    TPoint singleLineSize;
    int lineCount = 1;
    int scrollPos = 0;
    bool upBandShown = false, downBandShown = false;
    bool chevronEnabled = false;  // some item other than a control was clipped
};

constexpr int kScrollBandHeight = 19;
constexpr int kLineBreakGap = 6;
constexpr TPoint kEmptyViewSize{23, 22};

// Margins of a view's edges: left, top, right, bottom.
TRect EdgeMargins(TTBViewOrientation orientation);

// Lays out `cells` in place (rect and the flags after it) and answers the view's size.
TLayoutResult ComputeLayout(std::vector<TLayoutCell>& cells, const TLayoutParams& params);

}  // namespace tb
