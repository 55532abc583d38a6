// A dock's rows, a floating toolbar's sizes and resize track, and the aims of a drag,
// on plain numbers.
#include <gtest/gtest.h>

#include <set>

#include "toolbar/core/DockLayout.h"
#include "toolbar/core/DragTarget.h"
#include "toolbar/core/FloatingSizes.h"

using namespace tb;

namespace {

TDockedWindow window(int row, int pos, int length, int min = 0, TTBShrinkMode mode = TTBShrinkMode::tbsmNone) {
    TDockedWindow w;
    w.dockRow = row;
    w.dockPos = pos;
    w.fullLength = length;
    w.minLength = min;
    w.shrinkMode = mode;
    return w;
}

struct Placed {
    int row, pos, length;
    friend bool operator==(const Placed&, const Placed&) = default;
};
std::ostream& operator<<(std::ostream& os, const Placed& p) {
    return os << "{row " << p.row << ", pos " << p.pos << ", length " << p.length << "}";
}

// Lays out a 22-pixel-thick set of windows and answers (row, position, length) of each.
std::vector<Placed> lay(std::vector<TDockedWindow>& windows, int length, TDockLayoutParams params = {},
                        TDockLayoutResult* out = nullptr) {
    params.availableLength = length;
    TDockLayoutResult r = LayoutRows(windows, params, [](std::size_t, int) { return 22; });
    if (out) *out = r;
    std::vector<Placed> placed;
    for (const TDockedWindow& w : windows) placed.push_back({w.effectiveRow, w.effectivePos, w.length});
    return placed;
}

constexpr auto chevron = TTBShrinkMode::tbsmChevron;

}  // namespace

TEST(DockRows, ThreeToolbarsWrapOrShrinkInOneRow) {
    std::vector<TDockedWindow> w{window(0, 0, 200, 60, chevron), window(0, 200, 200, 60, chevron),
                                 window(0, 400, 200, 60, chevron)};
    // Needed lengths are the minimums: 180 fit in 300, so nothing wraps and the row
    // shrinks from the last window backwards.
    auto one = w;
    EXPECT_EQ(lay(one, 300), (std::vector<Placed>{{0, 0, 180}, {0, 180, 60}, {0, 240, 60}}));
    // A window that wants to start inside its neighbour makes the chevron windows before
    // it pay for the overlap first, nearest first.
    std::vector<TDockedWindow> over{window(0, 0, 200, 60, chevron), window(0, 10, 200, 60, chevron),
                                    window(0, 20, 200, 60, chevron)};
    EXPECT_EQ(lay(over, 300), (std::vector<Placed>{{0, 0, 60}, {0, 60, 60}, {0, 120, 180}}));

    for (auto& x : w) x.shrinkMode = TTBShrinkMode::tbsmNone;
    auto wrapped = w;
    TDockLayoutResult r;
    EXPECT_EQ(lay(wrapped, 300, {}, &r), (std::vector<Placed>{{0, 0, 200}, {1, 100, 200}, {2, 100, 200}}));
    EXPECT_EQ(r.rows, (std::vector<TDockRowInfo>{{26, false}, {26, false}, {26, false}}));
    EXPECT_EQ(r.thickness, 78);
    EXPECT_EQ(wrapped[1].bounds, (TRect{100, 26, 300, 52}));

    TDockLayoutParams limit;
    limit.limitToOneRow = true;
    auto limited = w;
    limited[2].dockRow = 5;
    for (auto& x : limited) x.shrinkMode = chevron;
    EXPECT_EQ(lay(limited, 300, limit), (std::vector<Placed>{{0, 0, 180}, {0, 180, 60}, {0, 240, 60}}));
    EXPECT_EQ(limited[2].dockRow, 0);
    EXPECT_EQ(limited[2].allotted, 60);
    EXPECT_EQ(limited[0].allotted, 180);
}

TEST(DockRows, FullSizeAndStretchAndRowOpening) {
    std::vector<TDockedWindow> w{window(0, 0, 100), window(0, 200, 150)};
    w[1].fullSize = true;
    TDockLayoutResult r;
    EXPECT_EQ(lay(w, 500, {}, &r), (std::vector<Placed>{{1, 0, 100}, {0, 0, 500}}));
    EXPECT_TRUE(r.rows[0].fullSizeEnd);
    EXPECT_FALSE(r.rows[1].fullSizeEnd);

    std::vector<TDockedWindow> s{window(0, 0, 100), window(0, 150, 100)};
    s[1].stretch = true;  // absorbs its gap and grows to the end
    EXPECT_EQ(lay(s, 500), (std::vector<Placed>{{0, 0, 100}, {0, 100, 400}}));
    s[0].stretch = true;  // a stretch window before another takes that one's gap
    s[1].stretch = false;
    s[1].dockPos = 300;
    EXPECT_EQ(lay(s, 500), (std::vector<Placed>{{0, 0, 300}, {0, 300, 100}}));

    std::vector<TDockedWindow> ins{window(0, 0, 100), window(0, 150, 100)};
    ins[1].insertRowBefore = true;
    EXPECT_EQ(lay(ins, 500), (std::vector<Placed>{{1, 0, 100}, {0, 150, 100}}));
}

TEST(DockRows, RowsRenumberedAndExtremesStayInTheDock) {
    std::vector<TDockedWindow> w{window(7, 0, 100), window(0, 0, 100), window(3, 0, 100)};
    TDockLayoutParams commit;
    commit.commit = true;
    TDockLayoutResult r;
    EXPECT_EQ(lay(w, 500, commit, &r), (std::vector<Placed>{{2, 0, 100}, {0, 0, 100}, {1, 0, 100}}));
    EXPECT_EQ(w[0].dockRow, 2);
    EXPECT_EQ(w[2].dockRow, 1);
    EXPECT_EQ(r.order, (std::vector<int>{1, 2, 0}));

    // The highest row lays out at once; a negative one is row 0; a far position stays in.
    std::vector<TDockedWindow> x{window(2147483647, 2147483647, 400), window(-5, 0, 300)};
    EXPECT_EQ(lay(x, 800), (std::vector<Placed>{{1, 400, 400}, {0, 0, 300}}));
    std::vector<TDockedWindow> y{window(0, 2147483647, 300), window(0, 2147483647, 300)};
    for (const Placed& p : lay(y, 800)) EXPECT_LE(p.pos + p.length, 800);

    // Hidden windows keep their place and take none.
    std::vector<TDockedWindow> h{window(0, 0, 100), window(0, 0, 100)};
    h[0].visible = false;
    EXPECT_EQ(lay(h, 500), (std::vector<Placed>{{-1, 0, 0}, {0, 0, 100}}));

    std::vector<TDockedWindow> none;
    EXPECT_EQ(LayoutRows(none, {}, {}).thickness, 0);
}

TEST(DockRows, DraggedWindowInCrowdedRowMaySplit) {
    std::vector<TDockedWindow> w{window(0, 0, 200, 60, chevron), window(0, 100, 200, 60, chevron)};
    TDockLayoutParams drag;
    drag.dragged = 1;
    TDockLayoutResult r;
    lay(w, 300, drag, &r);
    EXPECT_TRUE(r.canSplit);
    lay(w, 500, drag, &r);
    EXPECT_FALSE(r.canSplit);
    // With room, the windows before the dragged one give up their gaps so it sits where
    // it is dropped.
    std::vector<TDockedWindow> g{window(0, 50, 100), window(0, 100, 100)};
    EXPECT_EQ(lay(g, 500, drag), (std::vector<Placed>{{0, 0, 100}, {0, 100, 100}}));
}

TEST(DockRows, RowAtDistance) {
    std::vector<TDockRowInfo> rows{{26, false}, {30, false}};
    EXPECT_EQ(RowAtDistance(rows, 0), 0);
    EXPECT_EQ(RowAtDistance(rows, 25), 0);
    EXPECT_EQ(RowAtDistance(rows, 26), 1);
    EXPECT_EQ(RowAtDistance(rows, 56), 2);
}

TEST(DockDrag, WideningAndBandAroundADock) {
    struct Case {
        TRect dock;
        bool vertical;
        TPoint grab, cursor;
        bool hit;
    } cases[] = {
        // Grabbed at the left end: the whole 25-pixel band lies before the dock.
        {{0, 100, 30, 500}, true, {0, 0}, {32, 200}, true},
        {{0, 100, 30, 500}, true, {0, 0}, {33, 200}, false},
        {{0, 100, 30, 500}, true, {0, 0}, {-28, 200}, true},
        {{0, 100, 30, 500}, true, {0, 0}, {-29, 200}, false},
        {{0, 100, 30, 500}, true, {0, 0}, {10, 96}, false},  // along a side dock: 3 pixels only
        {{0, 100, 30, 500}, true, {0, 0}, {10, 97}, true},
        {{0, 100, 30, 500}, true, {0, 0}, {10, 502}, true},
        {{0, 100, 30, 500}, true, {0, 0}, {10, 503}, false},
        // Grabbed at the right end: the band lies beyond the dock.
        {{0, 100, 30, 500}, true, {99, 0}, {57, 200}, true},
        {{0, 100, 30, 500}, true, {99, 0}, {58, 200}, false},
        {{0, 100, 30, 500}, true, {99, 0}, {-3, 200}, true},
        {{0, 100, 30, 500}, true, {99, 0}, {-4, 200}, false},
        // A top dock: across it the window must still touch the widened dock.
        {{0, 0, 800, 30}, false, {0, 21}, {400, 57}, true},
        {{0, 0, 800, 30}, false, {0, 21}, {400, 58}, false},
        {{0, 0, 800, 30}, false, {0, 0}, {400, -28}, true},
        {{0, 0, 800, 30}, false, {0, 0}, {400, -29}, false},
        {{0, 0, 800, 30}, false, {0, 0}, {400, -3}, true},
        {{0, 0, 800, 30}, false, {0, 0}, {400, 33}, false},
    };
    for (const Case& c : cases) {
        TDragGrab grab{c.grab, {99, 21}};
        const TPoint size = c.vertical ? TPoint{100, 26} : TPoint{26 + 100, 26};
        EXPECT_EQ(DockHit(c.dock, c.vertical, c.cursor, grab, c.vertical ? TPoint{26, 100} : size), c.hit)
            << "cursor " << c.cursor.x << "," << c.cursor.y << " grab " << c.grab.x;
    }
    // The grab point scales with the window's size in the dock.
    EXPECT_EQ(PlaceUnderCursor({500, 500}, {{99, 21}, {99, 21}}, {51, 11}), (TRect{450, 490, 501, 501}));
}

TEST(DockDrag, QuartersHalvesAndSplitting) {
    std::vector<TDockRowInfo> rows{{26, false}, {26, true}};
    struct Case {
        int centre;
        bool fullSize;
        TRowChoice choice;
    } cases[] = {
        {0, false, {0, true, true}},   {5, false, {0, true, true}},   {6, false, {0, false, false}},
        {19, false, {0, false, false}}, {20, false, {1, true, true}}, {38, false, {1, true, true}},
        {39, false, {2, false, true}},  {12, true, {0, true, true}},  {13, true, {1, true, true}},
        {-4, false, {0, true, true}},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseRow(rows, c.centre, c.fullSize), c.choice) << c.centre;
    EXPECT_EQ(ChooseRow({}, 10, false), (TRowChoice{0, false, true}));

    EXPECT_FALSE(StartsSplitting(true, true, 9));
    EXPECT_FALSE(StartsSplitting(true, true, -9));
    EXPECT_TRUE(StartsSplitting(true, true, 10));
    EXPECT_TRUE(StartsSplitting(true, true, -10));
    EXPECT_FALSE(StartsSplitting(true, false, 50));
    EXPECT_FALSE(StartsSplitting(false, true, 50));
}

TEST(DockDrag, FloatingWindowStaysReachable) {
    const TRect work{0, 0, 1000, 700};
    const int border = 4, topNonClient = 19;  // reachable area 8..992 x 8..692, top not above -15
    struct Case {
        TRect in, out;
    } cases[] = {
        {{-300, 100, -200, 140}, {-92, 100, 8, 140}},
        {{1200, 100, 1300, 140}, {992, 100, 1092, 140}},
        {{100, 900, 200, 940}, {100, 692, 200, 732}},
        {{100, -60, 200, -20}, {100, -15, 200, 25}},
        {{100, -16, 200, 24}, {100, -15, 200, 25}},
        {{100, -10, 200, 30}, {100, -10, 200, 30}},
        {{-95, 100, 5, 140}, {-92, 100, 8, 140}},
        {{-92, 100, 8, 140}, {-92, 100, 8, 140}},
    };
    for (const Case& c : cases) EXPECT_EQ(KeepReachable(c.in, work, border, topNonClient), c.out) << c.in.left;
}

namespace {

// Six 23 by 22 buttons wrapped at a width.
TWrappedSize sixButtons(int width) {
    const int perRow = width == 0 ? 6 : std::clamp(width / 23, 1, 6);
    const int rows = (6 + perRow - 1) / perRow;
    return {{perRow * 23, rows * 22}, rows};
}

}  // namespace

TEST(FloatingSizes, NarrowestWidthForEveryRowCount) {
    EXPECT_EQ(BuildFloatingSizes(sixButtons, 0),
              (std::vector<TFloatingSize>{{138, 22}, {69, 44}, {46, 66}, {23, 132}}));
    int calls = 0;  // a calculator that never narrows ends at once
    EXPECT_EQ(BuildFloatingSizes([&](int) { ++calls; return TWrappedSize{{50, 20}, 1}; }, 0).size(), 1u);
    EXPECT_EQ(calls, 2);
}

TEST(FloatingSizes, ResizeTakesOnlyListedSizesAndSnapsBack) {
    const auto sizes = BuildFloatingSizes(sixButtons, 0);
    const TFloatingSize nonClient{8, 23};  // window sizes 146x45, 77x67, 54x89, 31x155
    const TRect start{100, 100, 177, 167};
    std::set<int> listed{146, 77, 54, 31};
    {
        TFloatingResizeTrack track(TSizeHandle::Right, sizes, nonClient, 4, start, 69);
        EXPECT_EQ(track.SnapDistance(), 12);
        for (int x = 90; x < 400; ++x) {
            TRect r = track.Track({x, 130});
            EXPECT_TRUE(listed.count(r.Width())) << x << ": " << r.Width();
            EXPECT_EQ(r.left, 100);
        }
    }
    TFloatingResizeTrack track(TSizeHandle::Right, sizes, nonClient, 4, start, 69);
    EXPECT_EQ(track.Track({170, 130}), start);  // within 12 of the start: held
    EXPECT_EQ(track.Track({200, 130}).Width(), 146);
    EXPECT_EQ(track.FloatingWidth(), 0);
    EXPECT_EQ(track.Track({166, 130}), start);  // back across the start, within 12: snapped
    EXPECT_EQ(track.FloatingWidth(), 69);
    EXPECT_EQ(track.Track({164, 130}).Width(), 54);
    EXPECT_EQ(track.FloatingWidth(), 46);
    EXPECT_EQ(track.Track({170, 130}).Width(), 54);  // same side, no snap: the longest not longer

    TFloatingResizeTrack left(TSizeHandle::Left, sizes, nonClient, 4, start, 69);
    EXPECT_EQ(left.Track({20, 130}), (TRect{31, 100, 177, 145}));
    TFloatingResizeTrack top(TSizeHandle::Top, sizes, nonClient, 4, start, 69);
    EXPECT_EQ(top.Track({130, 80}), (TRect{100, 78, 154, 167}));
}
