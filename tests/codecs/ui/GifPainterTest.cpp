// GIF images drawn and played offscreen, made by our own writer and read back: frames
// stretched, tiled and masked on pictures; painters stepped by the event loop on the UI
// thread, stopped without waiting, their errors given back by an explicit wait.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/CodecTestSupport.h"
#include "codecs/GifFrameMaker.h"
#include "codecs/ui/GifDraw.h"
#include "codecs/ui/GifPainter.h"
#include "codecs/GifOptimize.h"
#include "support/QtTestApp.h"

namespace {

using gs::ui::TGIFGraphic;
using gs::ui::TGIFPainter;
using gstest::addFrame;
using gstest::fourColours;

constexpr QRgb kGrey = 0xFF808080, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

// `build` makes the image; it reaches `into` through our GIF writer and reader.
void made(gs::TGIFImage& into, const std::function<void(gs::TGIFImage&)>& build) {
    gs::TGIFImage gif;
    build(gif);
    into.LoadFromSource(gs::TMemorySource(gif.SaveToBytes()));
    ASSERT_EQ(into.FrameCount(), gif.FrameCount());
}

// Red, green and blue frames of 3 x 1, each played for the shortest delay; `loops` passes
// asked by a loop extension (none when negative).
void rgbAnimation(gs::TGIFImage& into, int loops) {
    made(into, [&](gs::TGIFImage& gif) {
        fourColours(gif, 3, 1);
        for (std::uint8_t c = 1; c <= 3; ++c) addFrame(gif, 0, 0, 3, 1, {c, c, c}, std::nullopt, 1, 1);
        if (loops >= 0) {
            auto loop = std::make_unique<gs::TGIFAppExtNSLoop>(&gif.Frame(0));
            loop->loops = std::uint16_t(loops);
            gif.Frame(0).AddExtension(std::move(loop));
        }
    });
}

QImage greyPicture(int w, int h) {
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(kGrey);
    return picture;
}

QString colourName(QRgb c) { return QString::number(c & 0xFFFFFF, 16); }

// Every event of every painter, with the colour the canvas shows after each frame; each
// must come on the UI thread.
struct EventLog {
    std::vector<std::string> lines;
    bool offThread = false;
    void attach(TGIFGraphic& graphic) {
        auto note = [this](const std::string& what) {
            return [this, what](TGIFPainter& p) {
                offThread = offThread || QThread::currentThread() != qApp->thread();
                std::string line = what;
                if (what == "paint") line += " " + std::to_string(p.ActiveFrame());
                if (what == "after") line += " " + colourName(p.Canvas().pixel(0, 0)).toStdString();
                lines.push_back(line);
            };
        };
        graphic.Events = {note("start"), note("paint"), note("after"), note("loop"), note("end")};
    }
    int count(const std::string& prefix) const {
        return int(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
    }
};

// Runs the event loop until `done`, for at most a generous while.
bool waitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 1000 && !done(); ++i) QTest::qWait(10);
    return done();
}

int threadCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++n;
    return n;
}

TEST(GifDraw, FramesStretchTileAndMaskOnAPicture) {
    TGIFGraphic graphic;
    made(graphic.Image(), [](gs::TGIFImage& gif) {
        fourColours(gif, 4, 2);
        addFrame(gif, 0, 0, 2, 2, {1, 1, 1, 1});
        addFrame(gif, 2, 0, 2, 2, {1, 0, 0, 3}, 0);  // the right half, transparent at index 0
    });
    const gs::TGIFSubImage& frame = graphic.Image().Frame(1);
    struct Case {
        bool tile, transparent;
        QRect rect;
        std::vector<std::pair<QPoint, QRgb>> expect;
    } cases[] = {
        // Stretched twice: the frame takes the right half of the rectangle.
        {false, true, {0, 0, 8, 4}, {{{4, 0}, kRed}, {{5, 1}, kRed}, {{6, 0}, kGrey}, {{7, 3}, kBlue}, {{3, 0}, kGrey}}},
        {false, false, {0, 0, 8, 4}, {{{6, 0}, kBlack}, {{6, 2}, kBlue}, {{3, 3}, kGrey}}},
        // Moved with the rectangle, at the logical screen's scale.
        {false, true, {2, 1, 4, 2}, {{{4, 1}, kRed}, {{5, 1}, kGrey}, {{5, 2}, kBlue}, {{3, 1}, kGrey}}},
        // Tiled at its own size from the rectangle's corner, clipped to it.
        {true, true, {1, 1, 5, 3}, {{{1, 1}, kRed}, {{2, 1}, kGrey}, {{3, 1}, kRed}, {{2, 2}, kBlue}, {{1, 3}, kRed},
                                    {{5, 1}, kRed}, {{6, 1}, kGrey}, {{1, 4}, kGrey}, {{0, 0}, kGrey}}},
        {true, false, {0, 0, 4, 2}, {{{1, 0}, kBlack}, {{3, 1}, kBlue}}},
    };
    for (const Case& c : cases) {
        QImage picture = greyPicture(8, 5);
        {
            QPainter canvas(&picture);
            gs::ui::DrawFrame(frame, canvas, c.rect, c.tile, c.transparent);
        }
        for (const auto& [at, colour] : c.expect)
            EXPECT_EQ(colourName(picture.pixel(at)), colourName(colour))
                << "tile " << c.tile << " transparent " << c.transparent << " at " << at.x() << "," << at.y();
    }
}

TEST(GifPainter, OneFrameDrawsAtOnceEvenWhenAsynchronous) {
    TGIFGraphic graphic;
    made(graphic.Image(), [](gs::TGIFImage& gif) {
        fourColours(gif, 2, 1);
        addFrame(gif, 0, 0, 2, 1, {1, 0}, 0);
    });
    graphic.Image().SetDrawOptions(gs::gdAsync | gs::gdAnimate | gs::gdTransparent | gs::gdLoop);
    EventLog log;
    log.attach(graphic);
    QImage picture = greyPicture(4, 2);
    {
        QPainter canvas(&picture);
        graphic.Draw(canvas, picture.rect());
    }
    EXPECT_EQ(picture.pixel(1, 1), kRed);
    EXPECT_EQ(picture.pixel(2, 0), kGrey);
    EXPECT_TRUE(graphic.Painters().empty());

    QWidget target;
    const auto painter = graphic.Paint(&target, QRect(0, 0, 2, 1), gs::gdAsync | gs::gdAnimate | gs::gdLoop);
    ASSERT_TRUE(painter);
    EXPECT_FALSE(painter->Async());
    EXPECT_TRUE(painter->Finished());  // before any event loop ran
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "paint 0", "after ff0000", "end"}));
    EXPECT_TRUE(graphic.Painters().empty());
}

TEST(GifPainter, AnimationShowsItsFramesInOrderOnTheTimer) {
    TGIFGraphic graphic;
    rgbAnimation(graphic.Image(), 2);
    EventLog log;
    log.attach(graphic);
    const int threadsBefore = threadCount();
    QWidget target;
    const auto painter = graphic.Paint(&target, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate | gs::gdLoop);
    ASSERT_TRUE(painter);
    EXPECT_TRUE(painter->Async());
    EXPECT_TRUE(log.lines.empty());  // the first frame comes from the event loop
    ASSERT_EQ(graphic.Painters().size(), 1u);
    QSignalSpy ended(painter.get(), &TGIFPainter::finished);
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "paint 0", "after ff0000", "paint 1", "after ff00",
                                                   "paint 2", "after ff", "loop", "paint 0", "after ff0000",
                                                   "paint 1", "after ff00", "paint 2", "after ff", "end"}));
    EXPECT_FALSE(log.offThread);
    EXPECT_EQ(threadCount(), threadsBefore);
    EXPECT_TRUE(graphic.Painters().empty());
    EXPECT_NO_THROW(painter->Wait());
}

TEST(GifPainter, StoppingEndsThePainterAtTheNextTurnOfTheEventLoop) {
    TGIFGraphic graphic;
    rgbAnimation(graphic.Image(), 0);  // for ever
    graphic.Image().SetDrawOptions(gs::gdAsync | gs::gdAnimate | gs::gdLoop);
    EventLog log;
    log.attach(graphic);
    const int threadsBefore = threadCount();
    // The view's paint starts the draw painter; its canvas is what the view shows.
    gs::ui::TGIFView view(graphic);
    view.resize(30, 10);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return log.count("loop") >= 1 && log.count("after") >= 5; }));
    const auto painter = graphic.DrawPainter();
    ASSERT_TRUE(painter);
    const QRgb shown = painter->Canvas().pixel(0, 0);
    const QImage grabbed = view.grab().toImage();
    EXPECT_EQ(colourName(grabbed.pixel(29, 9)), colourName(shown));

    graphic.StopDraw();
    EXPECT_TRUE(painter->Terminated());
    EXPECT_FALSE(painter->Finished());  // nothing waited for it
    EXPECT_FALSE(graphic.DrawPainter());
    QCoreApplication::processEvents();
    EXPECT_TRUE(painter->Finished());
    EXPECT_EQ(log.lines.back(), "end");
    EXPECT_TRUE(graphic.Painters().empty());
    const auto seen = log.lines.size();
    QTest::qWait(100);
    EXPECT_EQ(log.lines.size(), seen);
    EXPECT_EQ(threadCount(), threadsBefore);

    // At speed 0 a painter shows its first frame and waits until it is woken by a stop.
    graphic.Image().SetAnimationSpeed(0);
    QWidget target;
    const auto waiting = graphic.Paint(&target, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate | gs::gdLoop);
    ASSERT_TRUE(waitUntil([&] { return waiting->Started(); }));
    QTest::qWait(100);
    EXPECT_EQ(waiting->Canvas().pixel(0, 0), kRed);
    graphic.HaltPainters();
    ASSERT_TRUE(waitUntil([&] { return waiting->Finished(); }));
    waiting->Wait();
    EXPECT_TRUE(graphic.Painters().empty());

    // A graphic that goes while its painter plays lets it end without calling its events.
    auto doomed = std::make_unique<TGIFGraphic>();
    rgbAnimation(doomed->Image(), 0);
    log.lines.clear();
    log.attach(*doomed);
    const auto orphan = doomed->Paint(&target, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate | gs::gdLoop);
    ASSERT_TRUE(waitUntil([&] { return orphan->Started(); }));
    doomed.reset();
    ASSERT_TRUE(waitUntil([&] { return orphan->Finished(); }));
    EXPECT_EQ(log.count("end"), 0);
    EXPECT_NO_THROW(orphan->Wait());
}

TEST(GifPainter, DrawDuringDrawDoesNothing) {
    TGIFGraphic graphic;
    rgbAnimation(graphic.Image(), -1);
    graphic.Image().SetDrawOptions(gs::gdAnimate);  // no gdAsync: one pass inside Draw
    EventLog log;
    log.attach(graphic);
    QImage inner = greyPicture(3, 1);
    graphic.Events.OnPaint = [&](TGIFPainter&) {
        QPainter canvas(&inner);
        graphic.Draw(canvas, inner.rect());
    };
    QImage outer = greyPicture(6, 2);
    {
        QPainter canvas(&outer);
        graphic.Draw(canvas, outer.rect());
    }
    EXPECT_EQ(inner.pixel(0, 0), kGrey);
    EXPECT_EQ(outer.pixel(5, 1), kBlue);  // the pass composed, its last frame shown
    EXPECT_EQ(log.count("start"), 1);
    EXPECT_EQ(log.count("after"), 3);
    // Drawn again, the composed canvas shows without a second pass.
    QImage again = greyPicture(3, 1);
    {
        QPainter canvas(&again);
        graphic.Draw(canvas, again.rect());
    }
    EXPECT_EQ(again.pixel(0, 0), kBlue);
    EXPECT_EQ(log.count("start"), 1);
}

TEST(GifPainter, AnEventHandlersErrorComesBackFromTheWait) {
    TGIFGraphic graphic;
    rgbAnimation(graphic.Image(), -1);
    EventLog log;
    log.attach(graphic);
    graphic.Events.OnAfterPaint = [](TGIFPainter& p) {
        if (p.ActiveFrame() == 1) throw std::runtime_error("handler failed");
    };
    QWidget target;
    auto painter = graphic.Paint(&target, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate);
    ASSERT_TRUE(waitUntil([&] { return painter->Finished(); }));
    EXPECT_EQ(gstest::errorOf([&] { painter->Wait(); }), "handler failed");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "paint 0", "paint 1", "end"}));
    EXPECT_EQ(gstest::errorOf([&] { painter->Wait(); }), "");  // raised once
    EXPECT_TRUE(graphic.Painters().empty());

    // Never waited for, the error goes with the painter.
    painter = graphic.Paint(&target, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate);
    ASSERT_TRUE(waitUntil([&] { return painter->Finished(); }));
    painter.reset();
    QCoreApplication::processEvents();

    // A synchronous painter raises from the call that ran it, and Draw stays usable.
    graphic.Image().SetDrawOptions(gs::gdAnimate);
    QImage picture = greyPicture(3, 1);
    QPainter canvas(&picture);
    EXPECT_EQ(gstest::errorOf([&] { graphic.Draw(canvas, picture.rect()); }), "handler failed");
    EXPECT_TRUE(graphic.Painters().empty());
    graphic.Events.OnAfterPaint = nullptr;
    graphic.StopDraw();
    graphic.Draw(canvas, picture.rect());
    EXPECT_EQ(picture.pixel(0, 0), kBlue);
}

TEST(GifPainter, EditingAPlayingImageHaltsItsPaintersFirst) {
    struct Case {
        const char* name;
        std::function<void(gs::TGIFImage&)> edit;
    } cases[] = {
        {"delete a frame", [](gs::TGIFImage& g) { g.DeleteFrame(2); }},
        {"set the palette", [](gs::TGIFImage& g) { g.SetPalette(std::vector<gs::TRgb>{{9, 9, 9}, {1, 1, 1}}); }},
        {"Compact", [](gs::TGIFImage& g) { gs::Compact(g, gs::opCrop | gs::opMerge | gs::opCleanup | gs::opSortColorMaps); }},
        {"assign a picture", [](gs::TGIFImage& g) { g.Assign(gs::TRaster(2, 2)); }},
        {"move a frame", [](gs::TGIFImage& g) { g.Frame(1).SetBounds(0, 0, 2, 1); }},
        {"widen the screen", [](gs::TGIFImage& g) { g.SetWidth(5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFGraphic graphic;
        rgbAnimation(graphic.Image(), 0);  // for ever
        EventLog log;
        log.attach(graphic);
        QWidget target;
        const auto painter = graphic.Paint(&target, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate | gs::gdLoop);
        ASSERT_TRUE(waitUntil([&] { return log.count("after") >= 2; }));
        ASSERT_EQ(graphic.Painters().size(), 1u);
        // Whatever the edit reports, it reports to a painter that has been told to stop.
        bool haltedFirst = true;
        int reports = 0;
        const auto check = [&] {
            ++reports;
            haltedFirst = haltedFirst && painter->Terminated();
        };
        graphic.Image().SetOnChange(check);
        graphic.Image().SetOnProgress([&](gs::TProgressStage, int, const std::string&) { check(); });
        const int paintsBefore = log.count("paint");
        c.edit(graphic.Image());
        EXPECT_GT(reports, 0);
        EXPECT_TRUE(haltedFirst);
        EXPECT_TRUE(painter->Terminated());
        ASSERT_TRUE(waitUntil([&] { return painter->Finished(); }));
        EXPECT_EQ(log.count("paint"), paintsBefore);  // no frame shown after the edit began
        EXPECT_EQ(log.lines.back(), "end");
        EXPECT_TRUE(graphic.Painters().empty());
        EXPECT_NO_THROW(painter->Wait());
    }
}

TEST(GifPainter, DrawShowsFrameZeroBeforeItReturnsAndTheEventLoopPlaysOn) {
    TGIFGraphic graphic;
    rgbAnimation(graphic.Image(), 0);  // for ever
    graphic.Image().SetDrawOptions(gs::gdAsync | gs::gdAnimate | gs::gdLoop);
    EventLog log;
    log.attach(graphic);
    gs::ui::TGIFView view(graphic);
    view.resize(3, 1);
    // The view paints once here; no event loop runs until the wait below.
    const QImage first = view.grab().toImage();
    EXPECT_EQ(colourName(first.pixel(0, 0)), colourName(kRed));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "paint 0", "after ff0000"}));
    const auto painter = graphic.DrawPainter();
    ASSERT_TRUE(painter);
    EXPECT_TRUE(painter->Async());
    ASSERT_TRUE(waitUntil([&] { return log.count("after") >= 2; }));
    EXPECT_EQ(log.lines[3], "paint 1");
    graphic.StopDraw();
    ASSERT_TRUE(waitUntil([&] { return painter->Finished(); }));
}

TEST(GifPainter, AnimationsAreDitheredAsSingleFramesAre) {
    TGIFGraphic graphic;
    made(graphic.Image(), [](gs::TGIFImage& gif) {
        gif.SetWidth(2);
        gif.SetHeight(1);
        gif.GlobalColorMap().LoadFromPalette(std::vector<gs::TRgb>{{130, 130, 130}, {0, 0, 0}});
        addFrame(gif, 0, 0, 2, 1, {1, 1}, std::nullopt, 1, 1);
        addFrame(gif, 0, 0, 2, 1, {0, 0}, std::nullopt, 1, 1);
    });
    // Through the colour cube (130, 130, 130) is (102, 102, 102); the grey of frame 1 shows
    // last in an animation, first in a single frame's place.
    struct Case {
        gs::TGIFDrawOptions options;
        QRgb shown;
    } cases[] = {
        {gs::gdAnimate, 0xFF828282},
        {gs::gdAnimate | gs::gdDither, 0xFF666666},
        {gs::gdAnimate | gs::gdDither | gs::gdAutoDither, 0xFF828282},  // the offscreen display has 32 bits
    };
    for (const Case& c : cases) {
        graphic.Image().SetDrawOptions(c.options);
        graphic.StopDraw();
        QImage picture = greyPicture(2, 1);
        {
            QPainter canvas(&picture);
            graphic.Draw(canvas, picture.rect());
        }
        EXPECT_EQ(colourName(picture.pixel(0, 0)), colourName(c.shown)) << c.options;
        const QImage single = gs::ui::FrameImage(graphic.Image().Frame(1), false);
        EXPECT_EQ(colourName(single.pixel(0, 0)), colourName(c.shown)) << c.options;
    }
}

TEST(GifPainter, ARestartedPainterPlaysFromFrameZeroAgainRenderingNoFrameTwice) {
    for (const bool async : {true, false}) {
        SCOPED_TRACE(async ? "asynchronous" : "synchronous");
        TGIFGraphic graphic;
        rgbAnimation(graphic.Image(), -1);
        gstest::ProgressLog rendering;
        graphic.Image().SetOnProgress(rendering.handler());
        EventLog log;
        log.attach(graphic);
        bool restarted = false;
        graphic.Events.OnAfterPaint = [&, after = graphic.Events.OnAfterPaint](TGIFPainter& p) {
            after(p);
            if (p.ActiveFrame() == 1 && !restarted) {
                restarted = true;
                p.Restart();
                EXPECT_TRUE(p.Restarting());
            }
        };
        QWidget target;
        const auto painter = graphic.Paint(async ? &target : nullptr, QRect(0, 0, 3, 1), gs::gdAsync | gs::gdAnimate);
        ASSERT_TRUE(waitUntil([&] { return painter->Finished(); }));
        EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "paint 0", "after ff0000", "paint 1", "after ff00", "start",
                                                       "paint 0", "after ff0000", "paint 1", "after ff00", "paint 2",
                                                       "after ff", "end"}));
        EXPECT_EQ(rendering.count("Rendering... start 0"), 3);
        painter->Restart();
        EXPECT_FALSE(painter->Restarting()) << "a painter that has finished stays so";
    }
}

}  // namespace

int main(int argc, char** argv) {
    gstest::qtTestApp();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
