// GIF images shown and optimised, on frames made here: the painter's waits, crops, merges
// and clean-ups that keep what the image shows.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CodecTestSupport.h"
#include "codecs/GifImage.h"
#include "codecs/GifOptimize.h"
#include "codecs/GifRender.h"
#include "codecs/GifFrameMaker.h"

using namespace gs;
using gstest::addFrame;
using gstest::fourColours;

namespace {

std::vector<TRaster> composed(const TGIFImage& gif) {
    TGIFCompositor c(gif, TRgb{0x33, 0x66, 0x99});
    std::vector<TRaster> out;
    for (int i = 0; i < gif.FrameCount(); ++i) out.push_back(c.Show(i));
    return out;
}

}  // namespace

TEST(GifPainter, WaitsCountHundredthsAndTakeOffHalfTheTimeSpent) {
    struct Case {
        int units, speed;
        std::int64_t spent;
        int wait;
    } cases[] = {
        {10, 100, 0, 100}, {3, 100, 0, 30}, {7, 200, 0, 35}, {7, 50, 0, 140},
        {10, 100, 40, 80},  // 20 ms of the 40 spent since the frame was shown
        {3, 100, 100, 0},   // never below nothing
        {10, 0, 0, 10000},  // no speed: the longest wait
    };
    for (const Case& c : cases) EXPECT_EQ(PainterWaitMs(c.units, c.speed, c.spent, false), c.wait) << c.units << "@" << c.speed;

    TGIFImage gif;
    fourColours(gif, 2, 1);
    addFrame(gif, 0, 0, 2, 1, {1, 1}, std::nullopt, 0, 0);
    addFrame(gif, 0, 0, 2, 1, {2, 2}, std::nullopt, 0, 1);
    addFrame(gif, 0, 0, 2, 1, {3, 3}, std::nullopt, 0, 2500);
    gif.SetDrawOptions(gdAnimate);  // no looping: one pass
    const auto steps = PainterSchedule(gif, 100, 5);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].WaitMs, 100);    // delay 0 plays as 10 units
    EXPECT_EQ(steps[1].WaitMs, 30);     // delay 1 as the minimum of 3
    EXPECT_EQ(steps[2].WaitMs, 25000);  // a thread waits as long as asked
    EXPECT_EQ(steps[3].What, TPainterStep::Kind::End);
}

TEST(GifCompositor, DisposalsLeaveTheCanvasAsTheyShould) {
    TGIFImage gif;
    fourColours(gif, 3, 1);
    addFrame(gif, 0, 0, 3, 1, {1, 1, 1}, std::nullopt, 3);  // restored to before it: the background
    addFrame(gif, 1, 0, 1, 1, {2}, std::nullopt, 2);        // restored to the background
    addFrame(gif, 0, 0, 3, 1, {0, 3, 0}, 0);                // transparent around its one pixel
    const auto frames = composed(gif);
    const Argb back = makeArgb(0x33, 0x66, 0x99), red = makeArgb(255, 0, 0), green = makeArgb(0, 255, 0),
               blue = makeArgb(0, 0, 255);
    EXPECT_EQ(frames[0].Pixel(0, 0), red);
    EXPECT_EQ(frames[1].Pixel(0, 0), back);
    EXPECT_EQ(frames[1].Pixel(1, 0), green);
    EXPECT_EQ(frames[2].Pixel(1, 0), blue);
    EXPECT_EQ(frames[2].Pixel(2, 0), back);

    // Indices beyond the table draw black, in a rendering and on the canvas alike.
    TGIFImage short_;
    fourColours(short_, 1, 1);
    addFrame(short_, 0, 0, 1, 1, {200});
    EXPECT_EQ(RenderFrame(short_.Frame(0)).Bitmap.Pixel(0, 0), makeArgb(0, 0, 0));
    EXPECT_EQ(composed(short_)[0].Pixel(0, 0), makeArgb(0, 0, 0));
}

// The canvas's colour by what the image holds: its own colour when set, the window colour for
// a GIF without a global table (whose background index names nothing), else the table's
// entry. Every GIF the writer makes has local tables only, and must compose.
TEST(GifCompositor, TheBackgroundOfAGifWithoutAGlobalTableIsTheWindowColour) {
    const TRgb grey{0xC0, 0xC0, 0xC0};
    TGIFImage global;
    fourColours(global, 2, 1);
    global.Header().backgroundIndex = 2;
    TGIFImage own;
    fourColours(own, 2, 1);
    own.SetBackgroundColorValue(colorOf(TRgb{1, 2, 3}));
    TGIFImage none;
    none.SetWidth(2);
    none.SetHeight(1);
    none.Header().backgroundIndex = 5;
    const struct {
        const TGIFImage& gif;
        TRgb plain, onGrey;
    } rows[] = {{global, {0, 255, 0}, {0, 255, 0}}, {own, {1, 2, 3}, {1, 2, 3}}, {none, kDefaultWindowColor, grey}};
    for (const auto& row : rows) {
        EXPECT_EQ(PainterBackground(row.gif), row.plain);
        EXPECT_EQ(PainterBackground(row.gif, grey), row.onGrey);
    }

    // A picture with transparency written by the writer and read back: no global table, and
    // its transparent pixels show the window colour.
    TRaster picture(3, 2, PixelFormat::pf24bit);
    picture.Fill(makeArgb(255, 0, 0));  // a colour every reduction keeps
    picture.SetPixel(1, 1, makeArgb(0, 0, 0));
    picture.SetTransparent(true);
    picture.SetTransparentColor(TRgb{0, 0, 0});
    TGIFImage written;
    written.SetWidth(3);
    written.SetHeight(2);
    written.Assign(picture);
    const TBytes bytes = written.SaveToBytes();
    TGIFImage read;
    read.LoadFromSource(TMemorySource(bytes));
    ASSERT_TRUE(read.GlobalColorMap().Empty());
    ASSERT_EQ(read.FrameCount(), 1);
    TGIFCompositor compositor(read, PainterBackground(read));
    const TRaster& shown = compositor.Show(0);
    EXPECT_EQ(shown.Pixel(0, 0), makeArgb(255, 0, 0));
    EXPECT_EQ(shown.Pixel(1, 1), argbOf(kDefaultWindowColor));
}

// A screen set beyond 2^26 pixels (65535 x 65535: 17 GB of canvas) is never given a canvas.
TEST(GifCompositor, AScreenBeyondTheCeilingGetsNoCanvas) {
    TGIFImage gif;
    fourColours(gif, 65535, 65535);
    addFrame(gif, 0, 0, 1, 1, {1});
    EXPECT_EQ(gstest::errorOf([&] { gif.RenderedBitmap(); }), gifmsg::kInvalidDimensions);
}

TEST(GifOptimize, CropMergeAndCleanupKeepWhatTheImageShows) {
    TGIFImage gif;
    fourColours(gif, 4, 2);
    addFrame(gif, 0, 0, 4, 2, {1, 1, 2, 2, 1, 1, 2, 2}, std::nullopt, 1, 5);
    addFrame(gif, 0, 0, 4, 2, {1, 1, 3, 2, 1, 1, 2, 2}, std::nullopt, 1, 5);  // one pixel changes
    addFrame(gif, 0, 0, 4, 2, {0, 0, 0, 0, 0, 0, 0, 0}, 0, 1, 7);             // shows nothing
    auto comment = std::make_unique<TGIFCommentExtension>(&gif.Frame(0));
    comment->lines = {"made by hand"};
    gif.Frame(0).AddExtension(std::move(comment));
    const auto before = composed(gif);
    Compact(gif, opCrop | opMerge | opCleanup | opSortColorMaps);
    ASSERT_EQ(gif.FrameCount(), 2);  // the empty last frame went
    EXPECT_EQ(gif.Frame(1).GraphicControlExtension()->Delay(), 12);  // and left its delay
    EXPECT_EQ(gif.Frame(1).Width(), 1);  // the changed pixel alone is left of the second frame
    EXPECT_EQ(gif.Frame(1).Left(), 2);
    for (int e = 0; e < gif.Frame(0).ExtensionCount(); ++e)
        EXPECT_EQ(dynamic_cast<TGIFCommentExtension*>(&gif.Frame(0).Extension(e)), nullptr);
    const auto after = composed(gif);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(after[std::size_t(i)], before[std::size_t(i)]) << i;

    // A frame restored to the background on disposal keeps its whole place.
    TGIFImage keep;
    fourColours(keep, 3, 1);
    addFrame(keep, 0, 0, 3, 1, {1, 1, 1});
    addFrame(keep, 0, 0, 3, 1, {0, 2, 0}, 0, 2);
    addFrame(keep, 0, 0, 3, 1, {0, 0, 0}, 0);
    const auto kept = composed(keep);
    Compact(keep, opCrop);
    EXPECT_EQ(keep.Frame(1).Width(), 3);
    EXPECT_EQ(composed(keep)[1], kept[1]);
}

TEST(GifOptimize, AMergedFrameNeverTakesAnIndexItShows) {
    // The other frame's transparent index is one this frame draws with: a new entry instead.
    TGIFImage gif;
    fourColours(gif, 2, 1);
    addFrame(gif, 0, 0, 2, 1, {1, 2}, 3, 1);
    addFrame(gif, 0, 0, 2, 1, {1, 3}, std::nullopt, 1);
    const auto before = composed(gif);
    ClearRepeatedPixels(gif.Frame(1), gif.Frame(0));
    ASSERT_TRUE(gif.Frame(1).Transparent());
    EXPECT_EQ(gif.Frame(1).GraphicControlExtension()->TransparentColorIndex(), 4);
    EXPECT_EQ(gif.Frame(1).Pixels()[0], 4);
    EXPECT_EQ(composed(gif)[1], before[1]);
}

TEST(GifPainter, TimetableFollowsTheOptionsAndAMovedFrame) {
    TGIFImage gif;
    fourColours(gif, 1, 1);
    for (std::uint8_t c = 1; c <= 3; ++c) addFrame(gif, 0, 0, 1, 1, {c}, std::nullopt, 0, 2);
    const auto frames = [&](TGIFDrawOptions options, int steps, std::function<void(TPainterTimetable&, int)> moved = {}) {
        TPainterTimetable timetable(gif, options, 100);
        std::string out;
        for (int n = 0; n < steps; ++n) {
            const TPainterStep step = timetable.Next();
            out += step.What == TPainterStep::Kind::Frame ? std::to_string(step.FrameIndex)
                   : step.What == TPainterStep::Kind::Loop ? "L" : "E";
            if (moved && step.What == TPainterStep::Kind::Frame) moved(timetable, step.FrameIndex);
        }
        return out;
    };
    EXPECT_EQ(frames(0, 3), "0EE");                       // without gdAnimate the first frame only
    EXPECT_EQ(frames(gdAnimate, 5), "012EE");             // one pass
    EXPECT_EQ(frames(gdAnimate | gdLoop, 5), "012EE");    // no loop extension: one pass
    EXPECT_EQ(frames(gdAnimate | gdLoopContinuously, 9), "012L012L0");
    EXPECT_EQ(frames(gdLoopContinuously, 5), "0L0L0");
    // A handler that moves the active frame back to 0 after frame 1.
    EXPECT_EQ(frames(gdAnimate, 6, [](TPainterTimetable& t, int i) { if (i == 1) t.SeekFrame(0); }), "010101");

    auto loop = std::make_unique<TGIFAppExtNSLoop>(&gif.Frame(1));
    loop->loops = 2;  // two passes, the second from the frame that carries it
    gif.Frame(1).AddExtension(std::move(loop));
    EXPECT_EQ(frames(gdAnimate | gdLoop, 8), "012L12EE");
    EXPECT_EQ(PainterSchedule(gif, 100, 1).back().What, TPainterStep::Kind::End);

    // A pass that shows nothing ends the run instead of looping without a wait.
    TGIFImage empty;
    fourColours(empty, 1, 1);
    empty.AddFrame(std::make_unique<TGIFSubImage>(empty));
    EXPECT_EQ(TPainterTimetable(empty, gdLoopContinuously, 100).Next().What, TPainterStep::Kind::End);
}

// The logical screen is two numbers of the header: 35 bytes may ask for 20000 x 20000. The
// canvas is refused past the largest frame a GIF may hold, rather than 1.6 GB allocated.
