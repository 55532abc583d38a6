#include "toolbar/core/DockLayout.h"

#include <algorithm>
#include <map>

namespace tb {

namespace {

// One window of a row while the row is placed. Gaps and positions are 64-bit: stored
// positions near the integer limit plus pushes must not wrap.
struct TCell {
    std::size_t index = 0;
    std::int64_t gap = 0;
    std::int64_t overlap = 0;
    std::int64_t current = 0;
    std::int64_t full = 0;
    std::int64_t min = 0;
    std::int64_t wanted = 0;
    std::int64_t pos = 0;
};

using Rows = std::vector<std::vector<std::size_t>>;

int rowKey(const TDockedWindow& w) { return std::max(w.dockRow, 0); }

// The visible windows grouped by their distinct stored rows, in work order.
Rows groupRows(const std::vector<TDockedWindow>& windows, const std::vector<int>& order) {
    std::map<int, std::vector<std::size_t>> byRow;
    for (int i : order)
        if (windows[std::size_t(i)].visible) byRow[rowKey(windows[std::size_t(i)])].push_back(std::size_t(i));
    Rows rows;
    for (auto& [key, members] : byRow) rows.push_back(std::move(members));
    return rows;
}

// A window meeting `wants` that shares its row keeps the row; the others of the row move
// to a new row right after it (every later row moving down by one).
template <class Pred>
void openRows(Rows& rows, Pred wants) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() < 2) continue;
        auto it = std::find_if(rows[r].begin(), rows[r].end(), wants);
        if (it == rows[r].end()) continue;
        std::size_t own = *it;
        rows[r].erase(it);
        rows.insert(rows.begin() + std::ptrdiff_t(r) + 1, std::move(rows[r]));
        rows[r] = {own};
    }
}

// Moves the windows that no longer fit in their row to a new row below it.
void wrapRows(Rows& rows, const std::vector<TDockedWindow>& windows, const TDockLayoutParams& params) {
    if (params.limitToOneRow) return;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::int64_t needed = 0;
        for (std::size_t k = 0; k < rows[r].size(); ++k) {
            const TDockedWindow& w = windows[rows[r][k]];
            const std::int64_t full = w.fullLength;
            needed += w.shrinkMode == TTBShrinkMode::tbsmChevron ? std::min<std::int64_t>(w.minLength, full) : full;
            if (needed > params.availableLength && k > 0) {
                std::vector<std::size_t> rest(rows[r].begin() + std::ptrdiff_t(k), rows[r].end());
                rows[r].resize(k);
                rows.insert(rows.begin() + std::ptrdiff_t(r) + 1, std::move(rest));
                break;
            }
        }
    }
}

// Takes up to `amount` from the gaps of cells [0, end), last first; answers what is left.
std::int64_t reduceGaps(std::vector<TCell>& cells, std::size_t end, std::int64_t amount) {
    for (std::size_t j = end; j-- > 0 && amount > 0;) {
        const std::int64_t take = std::min(cells[j].gap, amount);
        cells[j].gap -= take;
        amount -= take;
    }
    return amount;
}

std::int64_t shrink(TCell& c, std::int64_t amount) {
    const std::int64_t take = std::max<std::int64_t>(0, std::min(amount, c.current - c.min));
    c.current -= take;
    return amount - take;
}

// Places one row: wanted positions, gaps and overlaps, then room made as the row needs it.
// Answers whether the dragged window may split the row (it shares a row that is too long).
bool placeRow(std::vector<TCell>& cells, const std::vector<TDockedWindow>& windows, const TDockLayoutParams& params) {
    const std::int64_t avail = params.availableLength;
    std::int64_t total = 0;
    for (const TCell& c : cells) total += c.current;
    const bool tooLong = total > avail;
    std::size_t dragged = cells.size();
    for (std::size_t k = 0; k < cells.size(); ++k)
        if (params.dragged >= 0 && cells[k].index == std::size_t(params.dragged)) dragged = k;

    std::int64_t push = 0, end = 0, minSum = 0;
    for (TCell& c : cells) {
        const TDockedWindow& w = windows[c.index];
        std::int64_t wanted = std::int64_t(w.dockPos) + push;
        if ((w.fullSize || w.stretch) && end == 0) wanted = 0;
        c.wanted = wanted = std::max(wanted, minSum);
        if (wanted >= end) {
            if (tooLong) push += wanted - end;
            else c.gap = wanted - end;
        } else {
            c.overlap = end - wanted;
        }
        end += c.gap + c.current;
        minSum += c.min;
    }

    if (!tooLong && dragged < cells.size()) {
        std::int64_t before = 0;
        for (std::size_t j = 0; j < dragged; ++j) before += cells[j].gap + cells[j].current;
        if (before > cells[dragged].wanted) reduceGaps(cells, dragged, before - cells[dragged].wanted);
    }
    std::int64_t length = 0;
    for (const TCell& c : cells) length += c.gap + c.current;
    if (length > avail) reduceGaps(cells, cells.size(), length - avail);

    bool canSplit = false;
    if (tooLong) {
        for (std::size_t k = 0; k < cells.size(); ++k) {
            std::int64_t need = cells[k].overlap;
            for (std::size_t j = k; j-- > 0 && need > 0 && j != dragged;) {
                if (windows[cells[j].index].shrinkMode != TTBShrinkMode::tbsmChevron) continue;
                const std::int64_t left = shrink(cells[j], need);
                total -= need - left;
                need = left;
            }
        }
        if (cells.size() > 1 && dragged < cells.size()) canSplit = true;
        std::int64_t excess = total - avail;
        for (std::size_t j = cells.size(); j-- > 0 && excess > 0;) {
            const TTBShrinkMode mode = windows[cells[j].index].shrinkMode;
            if (mode == TTBShrinkMode::tbsmNone || (mode == TTBShrinkMode::tbsmWrap && cells.size() > 1)) continue;
            excess = shrink(cells[j], excess);
        }
    }

    std::int64_t pos = 0;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        TCell& c = cells[k];
        const TDockedWindow& w = windows[c.index];
        if (w.fullSize || w.stretch) {
            c.current += c.gap;
            c.gap = 0;
        }
        if (w.fullSize) c.current = std::max(c.current, avail);
        if (w.stretch) {
            if (k + 1 < cells.size()) {
                c.current += cells[k + 1].gap;
                cells[k + 1].gap = 0;
            } else {
                c.current = std::max(c.current, avail - pos);
            }
        }
        pos += c.gap;
        c.pos = pos;
        pos += c.current;
    }
    return canSplit;
}

}  // namespace

TDockLayoutResult LayoutRows(std::vector<TDockedWindow>& windows, const TDockLayoutParams& params,
                             const TDockThicknessOf& thicknessOf) {
    TDockLayoutResult result;
    if (params.limitToOneRow)
        for (TDockedWindow& w : windows) w.dockRow = 0;

    std::vector<int> order(windows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    SortList(order, [&](int a, int b) {
        const TDockedWindow &wa = windows[std::size_t(a)], &wb = windows[std::size_t(b)];
        if (rowKey(wa) != rowKey(wb)) return rowKey(wa) < rowKey(wb) ? -1 : 1;
        return wa.dockPos < wb.dockPos ? -1 : wa.dockPos > wb.dockPos ? 1 : 0;
    });
    if (params.splitting && params.dragged >= 0 && std::size_t(params.dragged) < order.size()) {
        order.erase(std::find(order.begin(), order.end(), params.dragged));
        order.insert(order.begin() + params.dragged, params.dragged);
    }
    result.order = order;

    for (TDockedWindow& w : windows) w.effectiveRow = -1;
    Rows rows = groupRows(windows, order);
    if (!params.limitToOneRow) openRows(rows, [&](std::size_t i) { return windows[i].insertRowBefore; });
    openRows(rows, [&](std::size_t i) { return windows[i].fullSize; });
    wrapRows(rows, windows, params);

    const std::int64_t avail = std::max(params.availableLength, 0);
    std::int64_t offset = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<TCell> cells;
        for (std::size_t i : rows[r]) {
            const TDockedWindow& w = windows[i];
            TCell c;
            c.index = i;
            c.full = c.current = std::max(w.fullLength, 0);
            c.min = std::clamp<std::int64_t>(w.minLength, 0, c.full);
            cells.push_back(c);
        }
        if (placeRow(cells, windows, params)) result.canSplit = true;

        int thickness = 0;
        for (const TCell& c : cells) {
            TDockedWindow& w = windows[c.index];
            w.effectiveRow = int(r);
            w.effectivePos = int(std::clamp<std::int64_t>(c.pos, 0, avail));
            w.length = int(std::min<std::int64_t>(c.current, INT32_MAX));
            w.allotted = c.current < c.full ? w.length : 0;
            w.rowThickness = thicknessOf ? thicknessOf(c.index, w.allotted) : 0;
            thickness = std::max(thickness, w.rowThickness);
            if (params.commit) {
                w.dockRow = w.effectiveRow;
                w.dockPos = w.effectivePos;
            }
        }
        if (thickness != 0) thickness += 4;
        for (const TCell& c : cells) {
            TDockedWindow& w = windows[c.index];
            const int at = int(std::min<std::int64_t>(offset, INT32_MAX - thickness));
            const int end = int(std::min<std::int64_t>(std::int64_t(w.effectivePos) + w.length, INT32_MAX));
            w.bounds = params.vertical ? TRect{at, w.effectivePos, at + thickness, end}
                                       : TRect{w.effectivePos, at, end, at + thickness};
        }
        result.rows.push_back({thickness, !cells.empty() && windows[cells.back().index].fullSize});
        offset += thickness;
    }
    result.thickness = int(std::min<std::int64_t>(offset, INT32_MAX));
    return result;
}

int RowAtDistance(const std::vector<TDockRowInfo>& rows, int distance) {
    std::int64_t total = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        total += rows[r].thickness;
        if (total > distance) return int(r);
    }
    return int(rows.size());
}

}  // namespace tb
