#include "toolbar/core/PopupPlacement.h"

#include <algorithm>

#include "toolbar/core/PopupAnimation.h"

namespace tb {

namespace {

constexpr int kSubmenuOverlap = 3;  // a submenu overlaps its parent's frame

bool intersects(const TRect& a, const TRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

int covered(const std::vector<TRect>& cells, const TRect& popup) {
    return int(std::count_if(cells.begin(), cells.end(), [&](const TRect& c) { return intersects(c, popup); }));
}

TRect at(int x, int y, TPoint size) { return {x, y, x + size.x, y + size.y}; }

}  // namespace

TPopupPlacement PlacePopup(const TPopupRequest& q) {
    const int w = q.size.x, h = q.size.y;
    const TRect& mon = q.monitor;
    // Without a parent view the popup opens from the empty rectangle at the point.
    const TRect item = q.hasParentView ? q.itemRect : TRect{q.point.x, q.point.y, q.point.x, q.point.y};
    const bool verticalParent = q.hasParentView && q.parentOrientation == TTBViewOrientation::Vertical;
    TPopupPlacement out;
    int x, y;
    if (!q.hasParentView) {
        x = q.point.x - (q.alignment == 1 ? w : q.alignment == 2 ? w / 2 : 0);
        y = q.point.y;
    } else if (q.asSubmenu) {
        x = item.right - kSubmenuOverlap;
        y = item.top - kSubmenuOverlap;
    } else if (verticalParent) {
        x = item.left - w;
        y = item.top;
    } else if (q.chevron) {
        x = item.right - w;
        y = item.bottom;
    } else {
        x = q.dropRight ? item.right - w : item.left;
        y = item.bottom;
    }

    // Vertical fit.
    if (y + h > mon.bottom && !verticalParent) {
        int alt = (q.asSubmenu ? item.bottom + kSubmenuOverlap : item.top) - h;
        if (alt >= mon.top) y = alt;
    }
    y = std::max(std::min(y, mon.bottom - h), mon.top);

    if (q.asSubmenu) {
        bool left = q.openLeft || x + w > mon.right;
        if (left) {
            x = item.left + kSubmenuOverlap - w;
            if (q.openLeft && x < mon.left) {  // inherited the left side but it does not fit there
                int right = item.right - kSubmenuOverlap;
                if (right + w <= mon.right) x = right, left = false;
            }
        }
        out.openLeft = left;
        x = std::max(x, mon.left);
    } else {
        if (!q.hasParentView && q.alignment == 1 && x < mon.left) x += w;
        if (x + w > mon.right) x = (q.hasParentView || q.alignment != 0) ? mon.right - w : x - w;
        x = std::max(x, mon.left);
        if (verticalParent) {
            int x2 = item.right;
            if (x2 + w <= mon.right &&
                (covered(q.parentCells, at(x2, y, q.size)) < covered(q.parentCells, at(x, y, q.size)) ||
                 intersects(at(x, y, q.size), item)))
                x = x2;
            if (intersects(at(x, y, q.size), item)) {
                y = (item.bottom + h <= mon.bottom) ? item.bottom : item.top - h;
                y = std::max(y, mon.top);
            }
        } else if (q.hasParentView) {
            int y2 = item.top - h;
            if (y2 >= mon.top &&
                (covered(q.parentCells, at(x, y2, q.size)) < covered(q.parentCells, at(x, y, q.size)) ||
                 intersects(at(x, y, q.size), item)))
                y = y2;
            if (intersects(at(x, y, q.size), item)) {
                x = (x + w <= mon.right) ? item.right : item.left - w;
                x = std::max(x, mon.left);
            }
        }
    }

    if (q.asSubmenu) {
        out.unrollDirection = (x + w / 2 < (item.left + item.right) / 2) ? tbadLeft : tbadRight;
    } else {
        if (y >= item.bottom) out.unrollDirection |= tbadDown;
        else if (item.top >= y + h) out.unrollDirection |= tbadUp;
        if (x >= item.right) out.unrollDirection |= tbadRight;
        else if (item.left >= x + w) out.unrollDirection |= tbadLeft;
    }
    out.topLeft = {x, y};
    return out;
}

}  // namespace tb
