#include "toolbar/core/ToolbarSizing.h"

#include <algorithm>

#include "toolbar/core/ItemCells.h"
#include "toolbar/core/View.h"

namespace tb {

TTBDockType DockTypeOf(bool hasDock, bool dockIsLeftOrRight, bool floating) {
    if (floating) return TTBDockType::Floating;
    if (!hasDock) return TTBDockType::NotDocked;
    return dockIsLeftOrRight ? TTBDockType::LeftRight : TTBDockType::TopBottom;
}

TTBViewOrientation OrientationOf(TTBDockType type) {
    switch (type) {
    case TTBDockType::Floating:
        return TTBViewOrientation::Floating;
    case TTBDockType::LeftRight:
        return TTBViewOrientation::Vertical;
    case TTBDockType::NotDocked:
    case TTBDockType::TopBottom:
        break;
    }
    return TTBViewOrientation::Horizontal;
}

TViewLimits ViewLimitsFor(const TToolbarPlacement& p) {
    TViewLimits limits;
    limits.orientation = OrientationOf(p.dockType);
    const bool docked = p.dockType == TTBDockType::TopBottom || p.dockType == TTBDockType::LeftRight;
    if (docked || p.dockType == TTBDockType::Floating) {
        const int frame = AlongOrientation(p.dockedNonClient, limits.orientation);
        if (docked && p.inCurrentDock && p.shrinkMode == TTBShrinkMode::tbsmChevron)
            limits.chevronLimit = std::max(0, p.allottedSize - frame);
        if (!docked)
            limits.wrapLength = std::max(0, p.floatingWidth);
        else if (p.shrinkMode == TTBShrinkMode::tbsmWrap)
            limits.wrapLength = std::max(0, p.dockInnerLength - frame);
        return limits;
    }
    // On a form: a toolbar that sizes itself to its items has no limit, unless its anchors
    // hold its width.
    if (p.autoResize && !p.anchoredLeftAndRight) return limits;
    const int inner = std::max(0, p.width - p.nonClientWidth);
    if (p.shrinkMode == TTBShrinkMode::tbsmChevron) limits.chevronLimit = inner;
    if (p.shrinkMode == TTBShrinkMode::tbsmWrap) limits.wrapLength = inner;
    return limits;
}

TToolbarSize CalcToolbarSize(const TTBView& view, const TViewLimits& limits) {
    const TViewerPlace place{view.ForToolbar(), limits.orientation};
    const TTextMetrics metrics = view.Host().Metrics();
    const auto& recent = view.RecentUse();
    std::vector<TLayoutCell> cells;
    for (const auto& v : view.Cells()) {
        cells.push_back(MeasureCell(*v, place, metrics, view.Host().ImageSizeFor(*v)));
        auto at = std::find(recent.begin(), recent.end(), v.get());
        cells.back().priority = at == recent.end() ? -1 : int(at - recent.begin());
    }
    TLayoutCell chevron;
    chevron.kind = TLayoutCell::Kind::Chevron;
    chevron.size = limits.orientation == TTBViewOrientation::Vertical ? TPoint{0, kChevronSize} : TPoint{kChevronSize, 0};
    cells.push_back(chevron);
    TLayoutParams params;
    params.toolbarView = view.ForToolbar();
    params.orientation = limits.orientation;
    params.wrapLength = limits.wrapLength;
    params.chevronLength = kChevronSize;
    params.chevronLimit = limits.chevronLimit;
    const TLayoutResult r = ComputeLayout(cells, params);
    return {r.newSize, r.lineCount, r.chevronEnabled};
}

int ChevronMinimumSize(const TTBView& view, TPoint dockedNonClient) {
    // Priority order: the recently used list (most recent first), then viewers it does not
    // hold in their own order; the chevron hides from the other end.
    std::vector<const TTBItemViewer*> order(view.RecentUse().begin(), view.RecentUse().end());
    for (const auto& c : view.Cells())
        if (std::find(order.begin(), order.end(), c.get()) == order.end()) order.push_back(c.get());
    int first = 0;
    for (const TTBItemViewer* v : order)
        if (v->IsShown && !(v->Item()->ItemStyle() & tbstSeparator)) {
            first = AlongOrientation({v->BoundsRect.Width(), v->BoundsRect.Height()}, view.Orientation);
            break;
        }
    return first + AlongOrientation(dockedNonClient, view.Orientation) + kChevronSize;
}

}  // namespace tb
