// The core's rectangles end before their right and bottom edges; Qt's right() is the last
// pixel inside. A conversion through right() would be one pixel off on every placement.
#include <gtest/gtest.h>

#include "toolbar/ui/QtGeometry.h"

namespace {

TEST(QtGeometry, RectanglesKeepTheirPixelsBothWays) {
    struct Case {
        tb::TRect core;
        QRect qt;
    };
    const Case cases[] = {
        {{0, 0, 10, 5}, QRect(0, 0, 10, 5)},
        {{-20, 7, -4, 8}, QRect(-20, 7, 16, 1)},
        {{3, 3, 3, 3}, QRect(3, 3, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.core.left);
        EXPECT_EQ(tb::toQRect(c.core), c.qt);
        EXPECT_EQ(tb::toRect(c.qt), c.core);
        EXPECT_EQ(tb::toQRect(c.core).right(), c.core.right - 1);
        EXPECT_EQ(tb::toQRect(c.core).isEmpty(), c.core.IsEmpty());
    }
    EXPECT_EQ(tb::toPoint(QPoint(-3, 9)), (tb::TPoint{-3, 9}));
    EXPECT_EQ(tb::toQPoint({12, -1}), QPoint(12, -1));
    // A point on the core's right edge is outside, as it is outside the Qt rectangle.
    EXPECT_FALSE(tb::TRect({0, 0, 10, 5}).Contains(tb::toPoint(QPoint(10, 0))));
    EXPECT_FALSE(QRect(0, 0, 10, 5).contains(QPoint(10, 0)));
}

}  // namespace
