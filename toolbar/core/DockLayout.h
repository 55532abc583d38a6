#pragma once
// How a dock arranges its windows: rows opened for a window that asked for its own, wraps
// when a row runs out of room, positions pushed and gaps closed, shrinking of windows that
// may shrink, and the thickness of every row. Pure arithmetic over one record per window,
// so the dock's layout is computed and tested without a window.
#include <cstdint>
#include <functional>
#include <vector>

#include "toolbar/core/Common.h"
#include "toolbar/core/Errors.h"

namespace tb {

enum class TTBDockPosition : std::uint8_t { dpTop, dpBottom, dpLeft, dpRight };
enum class TTBShrinkMode : std::uint8_t { tbsmNone, tbsmWrap, tbsmChevron };

constexpr bool IsVerticalDock(TTBDockPosition p) {
    return p == TTBDockPosition::dpLeft || p == TTBDockPosition::dpRight;
}

// One window of the dock list, in list order.
struct TDockedWindow {
    // Stored place; LayoutRows writes them back when committing.
    int dockRow = 0;
    int dockPos = -1;
    bool visible = true;  // a visible child of this dock (others only keep their place)
    bool fullSize = false;
    bool stretch = false;
    bool insertRowBefore = false;  // set by a drop that opens a row above
    TTBShrinkMode shrinkMode = TTBShrinkMode::tbsmNone;
    int fullLength = 0;  // along the dock, the docked frame and handle included
    int minLength = 0;   // the shortest the window can show itself (chevron minimum)

    // Results.
    int effectiveRow = -1;
    int effectivePos = 0;
    int length = 0;   // the length the dock gives it
    int allotted = 0; // `length` when below `fullLength`, else 0 (unconstrained)
    int rowThickness = 0;  // its own thickness in its row
    TRect bounds;          // in the dock's client coordinates
};

struct TDockLayoutParams {
    bool vertical = false;
    int availableLength = 0;  // the inner length of the dock
    bool limitToOneRow = false;
    bool splitting = false;   // the dragged window resizes its neighbours instead of moving
    int dragged = -1;         // index of the window being dragged, -1 none
    bool commit = false;      // write effective places back and reorder the list
};

struct TDockRowInfo {
    int thickness = 0;
    bool fullSizeEnd = false;  // the row's last window is FullSize
    friend bool operator==(const TDockRowInfo&, const TDockRowInfo&) = default;
};

struct TDockLayoutResult {
    std::vector<TDockRowInfo> rows;
    int thickness = 0;         // sum of the rows
    bool canSplit = false;     // the dragged window shares a row that is too long
    std::vector<int> order;    // the list in work order (the new list order when committing)
};

// A window's thickness across the dock when given `allotted` length (0: its full length);
// the ui recalculates a shrunk window's layout for it.
using TDockThicknessOf = std::function<int(std::size_t index, int allotted)>;

// Lays out `windows` (the dock list) in place. A committing layout reorders nothing itself:
// `order` holds the indices in the new order.
TDockLayoutResult LayoutRows(std::vector<TDockedWindow>& windows, const TDockLayoutParams& params,
                             const TDockThicknessOf& thicknessOf);

// The row at `distance` from the dock's start: the first whose running total of
// thickness passes it; past every row, the row after the last.
int RowAtDistance(const std::vector<TDockRowInfo>& rows, int distance);

}  // namespace tb

namespace tb {

// Docking refused an operation (the class library's invalid-operation error).
class EInvalidOperation : public ETBError {
public:
    using ETBError::ETBError;
};

inline constexpr const char* kDockPositionLocked = "Cannot change Position of a TTBDock if it already contains controls";
inline constexpr const char* kDockMisplaced = "A TTBDock control cannot be placed inside a tool window or another TTBDock";

}  // namespace tb
