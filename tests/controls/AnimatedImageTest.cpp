// The timer component and the animated image: frames counted from the strip's shape, the
// inactive frame skipped while animating and shown when stopped, ticks only when armed.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/QtTestApp.h"
#include <QElapsedTimer>

#include "controls/ui/AnimatedImage.h"

using namespace gs;

namespace {

QApplication& qtApp() { return gstest::qtTestApp(); }

QImage strip(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

}  // namespace

TEST(TAnimatedImage, CountsFramesFromTheStripsShape) {
    qtApp();
    struct Case {
        QSize size;
        TGlyphOrientation orientation;
        int frames;
        QSize frame;
    };
    const Case cases[] = {
        {{240, 30}, TGlyphOrientation::goHorizontal, 8, {30, 30}},
        {{250, 30}, TGlyphOrientation::goHorizontal, 1, {250, 30}},
        {{30, 240}, TGlyphOrientation::goVertical, 8, {30, 30}},
        {{240, 30}, TGlyphOrientation::goVertical, 1, {240, 30}},
        {{32 * 30, 32}, TGlyphOrientation::goHorizontal, 30, {32, 32}},
    };
    for (const Case& c : cases) {
        TAnimatedImage image;
        image.SetOrientation(c.orientation);
        image.SetGlyph(strip(c.size.width(), c.size.height()));
        EXPECT_EQ(image.NumGlyphs(), c.frames) << c.size.width() << "x" << c.size.height();
        EXPECT_EQ(image.FrameSize(), c.frame);
    }
}

TEST(TAnimatedImage, StepsSkipTheInactiveFrameWhichShowsWhenStopped) {
    qtApp();
    TAnimatedImage image;
    image.SetGlyph(strip(240, 30));
    image.show();
    image.SetInactiveGlyph(0);
    image.SetActive(true);
    std::vector<int> seen;
    for (int i = 0; i < 9; ++i) {
        image.FrameStep();
        seen.push_back(image.GlyphNum());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 1, 2}));
    image.SetActive(false);
    EXPECT_EQ(image.GlyphNum(), 0);

    TAnimatedImage single;
    single.SetGlyph(strip(250, 30));
    single.show();
    single.SetActive(true);
    single.FrameStep();
    EXPECT_EQ(single.GlyphNum(), 0);
    single.SetInactiveGlyph(-5);
    EXPECT_EQ(single.InactiveGlyph(), -1);
    single.SetTransparentColor(QColor(Qt::red));
    EXPECT_EQ(qAlpha(single.DrawnGlyph().pixel(3, 3)), 0);
    single.SetTransparentColor(std::nullopt);
    EXPECT_EQ(single.DrawnGlyph().pixel(3, 3), QColor(Qt::red).rgb());
}

TEST(TRxTimer, TicksOnlyWithAnIntervalWhileEnabledAndWithAHandler) {
    qtApp();
    TRxTimer timer;
    EXPECT_FALSE(timer.Ticking());  // no handler
    int ticks = 0;
    timer.SetOnTimer([&] { ++ticks; });
    EXPECT_TRUE(timer.Ticking());
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Ticking());
    timer.SetInterval(5);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Ticking());
    timer.SetEnabled(true);
    QElapsedTimer clock;
    clock.start();
    while (ticks < 3 && clock.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(ticks, 3);
}

// Not opaque, the parent shows through the frame's transparent pixels and beside a frame
// that does not fill the control; opaque, the control's own colour does.
TEST(TAnimatedImage, OpaqueFillsWithItsColourElseTheParentShows) {
    qtApp();
    for (const bool opaque : {false, true}) {
        QWidget parent;
        parent.resize(40, 40);
        parent.setAutoFillBackground(true);
        QPalette red;
        red.setColor(QPalette::Window, Qt::red);
        parent.setPalette(red);
        auto* image = new TAnimatedImage(&parent);
        QImage frame = strip(8, 8);
        frame.setPixel(0, 0, qRgb(0, 0, 255));  // drawn transparent below
        image->SetGlyph(frame);
        image->SetTransparentColor(QColor(0, 0, 255));
        image->SetStretch(false);
        image->SetAutoSize(false);
        QPalette green;
        green.setColor(QPalette::Window, Qt::green);
        image->setPalette(green);
        image->setGeometry(0, 0, 20, 20);
        image->SetOpaque(opaque);
        EXPECT_EQ(image->Opaque(), opaque);
        const QImage shown = parent.grab().toImage();
        const QColor behind = opaque ? QColor(Qt::green) : QColor(Qt::red);
        EXPECT_EQ(shown.pixelColor(0, 0), behind) << "transparent pixel, opaque " << opaque;
        EXPECT_EQ(shown.pixelColor(15, 15), behind) << "beside the frame, opaque " << opaque;
        EXPECT_EQ(shown.pixelColor(4, 4), QColor(Qt::red)) << "the frame itself";  // the strip is red
        EXPECT_EQ(shown.pixelColor(30, 30), QColor(Qt::red)) << "the parent";
    }
}
