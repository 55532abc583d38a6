#include "toolbar/core/Layout.h"

#include <algorithm>
#include <climits>

namespace tb {

namespace {

using Kind = TLayoutCell::Kind;

struct TAxes {
    bool vertical;
    int along(TPoint p) const { return vertical ? p.y : p.x; }
    int across(TPoint p) const { return vertical ? p.x : p.y; }
    // A rectangle from along/across coordinates.
    TRect rect(int along0, int across0, int alongLen, int acrossLen) const {
        return vertical ? TRect{across0, along0, across0 + acrossLen, along0 + alongLen}
                        : TRect{along0, across0, along0 + alongLen, across0 + acrossLen};
    }
    int alongStart(const TRect& r) const { return vertical ? r.top : r.left; }
    int alongEnd(const TRect& r) const { return vertical ? r.bottom : r.right; }
    int acrossStart(const TRect& r) const { return vertical ? r.left : r.top; }
    void moveAlong(TRect& r, int by) const { (vertical ? r.top : r.left) += by, (vertical ? r.bottom : r.right) += by; }
    void setAcross(TRect& r, int from, int len) const {
        (vertical ? r.left : r.top) = from;
        (vertical ? r.right : r.bottom) = from + len;
    }
};

// The separators that would show at a line start or after another separator are hidden;
// `dropped` marks cells taken out on the way (trailing separators of the chevron step).
void collapseSeparators(std::vector<TLayoutCell>& cells, const TLayoutParams& p, const std::vector<bool>& dropped) {
    bool afterSeparator = true;  // nothing shown yet
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TLayoutCell& c = cells[i];
        if (c.kind == Kind::Chevron) continue;
        c.shown = c.visible && !c.hiddenByChevron && !dropped[i] && !(c.embedded && !p.designLook);
        if (!c.shown) continue;
        if (c.kind == Kind::Separator) {
            if (afterSeparator) c.shown = false;
            afterSeparator = true;
        } else {
            afterSeparator = false;
        }
    }
}

void hideTrailingSeparators(std::vector<TLayoutCell>& cells) {
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
        if (it->kind == Kind::Chevron || !it->shown) continue;
        if (it->kind != Kind::Separator) break;
        it->shown = false;
    }
}

int shownAlong(const std::vector<TLayoutCell>& cells, const TAxes& ax) {
    int sum = 0;
    for (const auto& c : cells)
        if (c.shown && c.kind != Kind::Chevron) sum += ax.along(c.size);
    return sum;
}

// Hides items from the end of the priority order until what shows fits the limit; true
// when some item other than a control was clipped.
bool applyChevron(std::vector<TLayoutCell>& cells, const TLayoutParams& p, const TAxes& ax, int limit, int sum) {
    std::vector<bool> dropped(cells.size(), false);
    bool clipped = false;
    while (limit < sum) {
        int last = -1, victim = -1, items = 0, worst = -1;
        for (int i = 0; i < int(cells.size()); ++i) {
            const TLayoutCell& c = cells[std::size_t(i)];
            if (!c.shown || c.kind == Kind::Chevron) continue;
            last = i;
            if (c.kind == Kind::Separator) continue;
            ++items;
            int rank = c.priority < 0 ? INT_MAX : c.priority;  // never used: least recent
            if (rank >= worst) worst = rank, victim = i;
        }
        if (items < 2) break;
        TLayoutCell& out = cells[std::size_t(cells[std::size_t(last)].kind == Kind::Separator ? last : victim)];
        if (out.kind == Kind::Separator) {
            dropped[std::size_t(&out - cells.data())] = true;
        } else {
            out.hiddenByChevron = true;
            clipped = clipped || out.kind != Kind::Control;
        }
        sum -= ax.along(out.size);
        collapseSeparators(cells, p, dropped);
    }
    return clipped;
}

struct TLine {
    std::vector<std::size_t> cells;
    int across = 0, thickness = 0;
};

}  // namespace

TRect EdgeMargins(TTBViewOrientation orientation) {
    return orientation == TTBViewOrientation::Floating ? TRect{4, 2, 4, 1} : TRect{};
}

namespace {

struct TPlacement {
    std::vector<TLine> lines;
    TPoint extent;  // the largest right and bottom edges reached
    int lineCount = 1;
    int wrap = 0;   // the wrap length less the right margin
};

// Toolbar-size cells run along lines (wrapping when a wrap length is set), menu rows stack
// downwards.
TPlacement placeCells(std::vector<TLayoutCell>& cells, const TLayoutParams& p, const TAxes& ax, const TRect& m) {
    TPlacement pl;
    pl.wrap = p.wrapLength > 0 ? std::max(1, p.wrapLength - m.right) : 0;
    const int alongStart = ax.vertical ? m.top : m.left;
    pl.lines.resize(1);
    pl.lines[0].across = ax.vertical ? m.left : m.top;
    int alongPos = alongStart, rowY = m.top;
    bool inLine = false, wrapped = false;
    auto grow = [&](const TRect& rc) { pl.extent = {std::max(pl.extent.x, rc.right), std::max(pl.extent.y, rc.bottom)}; };
    auto newLine = [&](int gap) {
        TLine next;
        next.across = pl.lines.back().across + pl.lines.back().thickness + gap;
        pl.lines.push_back(next);
        alongPos = alongStart;
        ++pl.lineCount;
        wrapped = true;
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TLayoutCell& c = cells[i];
        if (!c.shown || c.kind == Kind::Chevron) continue;
        if (!(p.toolbarView || c.toolbarSize)) {
            if (inLine) rowY = pl.extent.y, inLine = false;  // a menu row below everything so far
            c.rect = {m.left, rowY, m.left + c.size.x, rowY + c.size.y};
            rowY = c.rect.bottom;
            grow(c.rect);
            continue;
        }
        const int len = ax.along(c.size);
        if (pl.wrap > 0 && !pl.lines.back().cells.empty()) {
            if (c.kind == Kind::Separator) {
                int group = 0;  // the items up to the next separator
                for (std::size_t j = i + 1; j < cells.size(); ++j) {
                    if (!cells[j].shown || cells[j].kind == Kind::Chevron) continue;
                    if (cells[j].kind == Kind::Separator) break;
                    group += ax.along(cells[j].size);
                }
                if ((wrapped && !c.noLineBreak) || pl.wrap < alongPos + len + group) {
                    c.lineBreak = true;
                    c.rect = ax.rect(alongStart, pl.lines.back().across + pl.lines.back().thickness, 0, kLineBreakGap);
                    grow(c.rect);
                    newLine(kLineBreakGap);
                    continue;
                }
            } else if (alongPos + len > pl.wrap) {
                newLine(0);
            }
        }
        c.rect = ax.rect(alongPos, pl.lines.back().across, len, ax.across(c.size));
        alongPos += len;
        pl.lines.back().cells.push_back(i);
        pl.lines.back().thickness = std::max(pl.lines.back().thickness, ax.across(c.size));
        inLine = true;
        grow(c.rect);
    }
    return pl;
}

// Cross sizes of toolbar lines (separators stretch, items centre), right alignment, and
// menu rows as wide as the widest.
void finishLines(std::vector<TLayoutCell>& cells, const TLayoutParams& p, const TAxes& ax, const TPlacement& pl,
                 TPoint newSize) {
    const int lineEndLimit = std::min(pl.wrap > 0 ? pl.wrap : INT_MAX, ax.along(newSize));
    for (const TLine& line : pl.lines) {
        if (line.cells.empty()) continue;
        int thick = line.thickness;
        if (p.toolbarView && pl.lineCount == 1 && p.orientation != TTBViewOrientation::Floating)
            thick = ax.across(newSize) - line.across;
        int end = 0;
        for (std::size_t i : line.cells) {
            TLayoutCell& c = cells[i];
            end = std::max(end, ax.alongEnd(c.rect));
            if (!p.toolbarView) continue;
            if (c.kind == Kind::Separator) ax.setAcross(c.rect, line.across, thick);
            else ax.setAcross(c.rect, line.across + (thick - ax.across(c.size)) / 2, ax.across(c.size));
        }
        auto first = std::find_if(line.cells.begin(), line.cells.end(), [&](std::size_t i) { return cells[i].rightAlign; });
        const int space = lineEndLimit - end;
        if (space > 0)
            for (auto it = first; it != line.cells.end(); ++it) ax.moveAlong(cells[*it].rect, space);
    }
    if (p.toolbarView) return;
    int widest = 0;
    for (const auto& c : cells)
        if (c.shown && c.kind != Kind::Chevron && !c.toolbarSize) widest = std::max(widest, c.rect.Width());
    for (auto& c : cells)
        if (c.shown && c.kind != Kind::Chevron && !c.toolbarSize) c.rect.right = c.rect.left + widest;
}

// A popup taller than its limit scrolls: rows touching a shown band are hidden.
void scrollPopup(std::vector<TLayoutCell>& cells, const TLayoutParams& p, TLayoutResult& r) {
    if (p.heightLimit <= 0 || p.heightLimit >= r.newSize.y) return;
    const int maxScroll = r.newSize.y - p.heightLimit;
    r.scrollPos = std::clamp(p.scrollPos, 0, maxScroll);
    r.upBandShown = r.scrollPos > 0;
    r.downBandShown = r.scrollPos < maxScroll;
    for (auto& c : cells) {
        if (c.kind == Kind::Chevron) continue;
        c.rect.top -= r.scrollPos;
        c.rect.bottom -= r.scrollPos;
        if (c.shown && ((r.upBandShown && c.rect.top < kScrollBandHeight) ||
                        (r.downBandShown && c.rect.bottom > p.heightLimit - kScrollBandHeight))) {
            c.shown = false;
            c.outsideScroll = true;
        }
    }
    r.newSize.y = p.heightLimit;
}

}  // namespace

TLayoutResult ComputeLayout(std::vector<TLayoutCell>& cells, const TLayoutParams& p) {
    TLayoutResult r;
    const TAxes ax{p.orientation == TTBViewOrientation::Vertical};
    for (auto& c : cells) c.hiddenByChevron = c.lineBreak = c.outsideScroll = false, c.rect = {};
    collapseSeparators(cells, p, std::vector<bool>(cells.size(), false));
    hideTrailingSeparators(cells);
    const int sum = shownAlong(cells, ax);

    TLayoutCell* chevron = (!cells.empty() && cells.back().kind == Kind::Chevron) ? &cells.back() : nullptr;
    const bool chevronApplied = chevron && p.chevronLimit > 0 && p.chevronLimit < sum;
    const int chevronAt = p.chevronLimit - p.chevronLength;
    if (chevronApplied) r.chevronEnabled = applyChevron(cells, p, ax, chevronAt, sum);
    hideTrailingSeparators(cells);
    int thickest = 0;
    for (const auto& c : cells)
        if (c.shown && c.kind != Kind::Chevron) thickest = std::max(thickest, ax.across(c.size));
    r.singleLineSize = ax.vertical ? TPoint{thickest, sum} : TPoint{sum, thickest};

    const TRect m = EdgeMargins(p.orientation);
    TPlacement pl = placeCells(cells, p, ax, m);
    r.lineCount = pl.lineCount;
    r.newSize = {pl.extent.x + m.right, pl.extent.y + m.bottom};
    if (r.lineCount > 1 && p.orientation != TTBViewOrientation::Floating && !p.chevronPopup)
        (ax.vertical ? r.newSize.y : r.newSize.x) = std::max(ax.along(r.newSize), p.wrapLength);
    finishLines(cells, p, ax, pl, r.newSize);
    if (ax.vertical)  // the first line on the right
        for (auto& c : cells) {
            if (!c.shown && !c.lineBreak) continue;
            int left = c.rect.left;
            c.rect.left = r.newSize.x - c.rect.right;
            c.rect.right = r.newSize.x - left;
        }
    scrollPopup(cells, p, r);
    if (p.toolbarView)  // a line break spans the whole view
        for (auto& c : cells)
            if (c.lineBreak) {
                if (ax.vertical) c.rect.top = 0, c.rect.bottom = r.newSize.y;
                else c.rect.left = 0, c.rect.right = r.newSize.x;
            }
    if (chevron) {
        chevron->shown = chevronApplied;
        if (chevronApplied)
            chevron->rect = ax.rect(std::max(chevronAt, ax.along(pl.extent)), 0, p.chevronLength, ax.across(r.newSize));
    }
    if (r.singleLineSize.x == 0 || r.singleLineSize.y == 0) {
        r.singleLineSize = kEmptyViewSize;
        r.newSize = {std::max(r.newSize.x, kEmptyViewSize.x), std::max(r.newSize.y, kEmptyViewSize.y)};
    }
    return r;
}

}  // namespace tb
