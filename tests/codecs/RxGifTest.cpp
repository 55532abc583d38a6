// The splash-picture graphic and the graphics routines on hand-made input: the reading
// rules, damaged data, and the mappings' edge cases.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/RxGif.h"
#include "platform/Errors.h"

namespace {

using gs::TBytes;
using gs::TRxGIFImage;
using gstest::errorOf;

// A GIF89a of a 4-colour global table; the body follows.
TBytes gif(int w, int h, const TBytes& body, const char* sig = "GIF89a") {
    TBytes b(sig, sig + 6);
    b.insert(b.end(), {std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8), 0x81, 0, 0});
    for (int i = 0; i < 4; ++i) b.insert(b.end(), {std::uint8_t(10 * i), 0, 0});
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

TBytes control(int flags, int delay, int index) {
    return {'!', 0xF9, 4, std::uint8_t(flags), std::uint8_t(delay), std::uint8_t(delay >> 8), std::uint8_t(index), 0};
}

// A frame of 4 x 1 pixels 1 2 1 2 (codes clear, 1, 2, 6, end at 3 bits), or the given data.
TBytes frame(int w = 4, int h = 1, TBytes data = {2, 2, 0x8C, 0x5C, 0}) {
    TBytes b = {',', 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8), 0};
    for (std::uint8_t d : data) b.push_back(d);
    return b;
}

TBytes operator+(TBytes a, const TBytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string load(TRxGIFImage& image, const TBytes& bytes) {
    gs::TMemorySource src(bytes);
    gs::TByteReader in(src);
    return errorOf([&] { image.LoadFromStream(in); });
}

std::vector<int> indices(const gs::TRaster& r) {
    std::vector<int> v;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) v.push_back(r.IndexAt(x, y));
    return v;
}

TEST(RxGif, ReadingRules) {
    TRxGIFImage a;
    // Two control blocks: the larger delay and the later disposal win; the later block's
    // transparency unless its index is outside the (global) table.
    ASSERT_EQ(load(a, gif(4, 1, control(0x05, 3, 2) + control(0x09, 2, 9) + frame() + TBytes{';'})), "");
    EXPECT_EQ(a.Frame(0).delay, 30);
    EXPECT_EQ(a.Frame(0).disposal, 2);
    EXPECT_EQ(a.Frame(0).transparentColor, gs::colorOf({20, 0, 0}));
    EXPECT_EQ(indices(a.Frame(0).Bitmap()), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_FALSE(a.Frame(0).corrupted);

    // Hundredths of 40,000 make 400,000 ms, more than 16 bits hold.
    ASSERT_EQ(load(a, gif(4, 1, control(0, 40000, 0) + frame())), "");
    EXPECT_EQ(a.Frame(0).delay, 400000);
    ASSERT_EQ(load(a, gif(4, 1, control(0x05, 3, 2) + frame())), "");

    // Drawn stretched, the transparent colour left out unless the image is made opaque.
    gs::TRaster canvas(8, 2);
    a.Draw(canvas, {0, 0, 8, 2});
    EXPECT_EQ(canvas.Pixel(1, 1), gs::makeArgb(10, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 1), gs::kWhite);
    a.SetTransparent(false);
    a.Draw(canvas, {0, 0, 8, 2});
    EXPECT_EQ(canvas.Pixel(3, 0), gs::makeArgb(20, 0, 0));

    // Looping blocks are read by their block size; 40,000 repeats are kept as 30,000.
    TBytes loop = {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0x40, 0x9C, 0};
    ASSERT_EQ(load(a, gif(4, 1, loop + frame() + frame())), "");
    EXPECT_TRUE(a.looping);
    EXPECT_EQ(a.repeatCount, 30000);
    EXPECT_EQ(a.FrameCount(), 2);
    TBytes shortId = {'!', 0xFF, 8, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', 3, 1, 5, 0, 0};
    ASSERT_EQ(load(a, gif(4, 1, shortId + frame())), "");
    EXPECT_FALSE(a.looping);
    EXPECT_EQ(a.FrameCount(), 1);

    // Case of signature and version; unknown versions and labels; a zero size takes the screen's.
    EXPECT_EQ(load(a, gif(4, 1, frame(0, 0), "gIf89A")), "");
    EXPECT_EQ(a.Frame(0).Width(), 4);
    EXPECT_EQ(load(a, gif(4, 1, frame(), "GIF88a")), "Unknown GIF version");
    EXPECT_EQ(load(a, gif(4, 1, {'!', 0x42})), "Unrecognized extension block: 42");
    EXPECT_EQ(load(a, gif(4, 1, frame(8193, 8192))), "GIF encoded data is corrupt");
    // Frames, kept once decoded, share the stream's budget: two of 2^21 pixels, not three.
    EXPECT_EQ(load(a, gif(4, 1, frame(2048, 1024) + frame(2048, 1024) + frame(2048, 1024))), "GIF encoded data is corrupt");
    EXPECT_EQ(load(a, gif(4, 1, {'!', 0xF9, 4, 1})), "Stream read error");
    EXPECT_EQ(errorOf([&] { a.SetWidth(3); }), "Cannot change the Size of a GIF image");
}

TEST(RxGif, DamagedDataMarksTheFrameOrFailsWhenNotTolerant) {
    struct Case {
        const char* name;
        TBytes data;
        std::vector<int> pixels;
        std::string strictError;
    } cases[] = {
        {"code above the next free code", {2, 2, 0xCC, 0x01, 0}, {1, 0, 0, 0}, "GIF encoded data is corrupt"},
        {"code size 1 clamped", {1, 1, 0x0C, 0}, {1, 0, 0, 0}, "GIF code size not in range 2 to 9"},
        {"code size 10 clamped", {10, 1, 0x00, 0}, {0, 0, 0, 0}, "GIF code size not in range 2 to 9"},
        {"sub-block past the end", {2, 9, 0x8C}, {1, 0, 0, 0}, "Stream read error"},
    };
    for (const Case& c : cases) {
        TRxGIFImage a;
        ASSERT_EQ(load(a, gif(4, 1, frame(4, 1, c.data))), "") << c.name;
        EXPECT_EQ(indices(a.Frame(0).Bitmap()), c.pixels) << c.name;
        EXPECT_TRUE(a.Frame(0).corrupted) << c.name;
        TRxGIFImage strict;
        strict.tolerant = false;
        EXPECT_EQ(load(strict, gif(4, 1, frame(4, 1, c.data))), c.strictError) << c.name;
    }
}

TEST(RxGif, CountPrefixAndWriting) {
    TRxGIFImage a;
    TBytes body = gif(4, 1, frame() + TBytes{';'});
    TBytes counted = TBytes{std::uint8_t(body.size()), 0, 0, 0} + body;
    gs::TMemorySource src(counted);
    gs::TByteReader in(src);
    a.ReadData(in);
    EXPECT_EQ(a.Width(), 4);
    TBytes pastEnd = TBytes{0xF0, 0xFF, 0xFF, 0xFF} + body;
    gs::TMemorySource bad(pastEnd);
    gs::TByteReader badIn(bad);
    EXPECT_EQ(errorOf([&] { a.ReadData(badIn); }), "Stream read error");
    // Counted pictures back to back are each read in place, up to their count and no further:
    // a second picture follows the first, and a count cut short stops its picture there.
    const TBytes second = gif(2, 1, frame(2, 1, {2, 2, 0x4C, 0x01, 0}) + TBytes{';'});
    TBytes both = counted + TBytes{std::uint8_t(second.size()), 0, 0, 0} + second + TBytes{7};
    gs::TMemorySource pair(both);
    gs::TByteReader pairIn(pair);
    a.ReadData(pairIn);
    EXPECT_EQ(a.Width(), 4);
    EXPECT_EQ(pairIn.Pos(), counted.size());
    a.ReadData(pairIn);
    EXPECT_EQ(a.Width(), 2);
    EXPECT_EQ(pairIn.Remaining(), 1u);
    TBytes shortCount = TBytes{std::uint8_t(body.size() - 8), 0, 0, 0} + body;  // the table's end cut off
    gs::TMemorySource cutSrc(shortCount);
    gs::TByteReader cutIn(cutSrc);
    EXPECT_EQ(errorOf([&] { a.ReadData(cutIn); }), "Stream read error");

    // One frame from a true-colour picture: 87a and a global table padded to 2^bits; a
    // second frame takes a local table and makes 89a.
    gs::TRaster picture(3, 2);
    picture.SetPixel(0, 0, gs::makeArgb(1, 2, 3));
    picture.SetPixel(1, 1, gs::makeArgb(200, 0, 0));
    TRxGIFImage w;
    w.Assign(picture);
    gs::TByteWriter out;
    w.SaveToStream(out);
    TBytes one = out.Take();
    EXPECT_EQ(std::string(one.begin(), one.begin() + 6), "GIF87a");
    EXPECT_EQ(one[10], 0xF7);  // the histogram's palette: 256 entries
    TRxGIFImage back;
    ASSERT_EQ(load(back, one), "");
    EXPECT_EQ(back.Frame(0).Bitmap().Pixel(1, 1), gs::makeArgb(200, 0, 0));
    w.AppendFrame(picture);
    w.SaveToStream(out);
    TBytes two = out.Take();
    EXPECT_EQ(std::string(two.begin(), two.begin() + 6), "GIF89a");
    EXPECT_TRUE(w.Frame(1).localColors);
    TRxGIFImage none;
    EXPECT_EQ(errorOf([&] { none.SaveToStream(out); }), "No GIF Data to write");
}

TEST(GraphicRoutines, MappingEdgeCases) {
    gs::TRaster one(5, 3);
    one.Fill(gs::makeArgb(15, 15, 15));
    gs::TRaster cut = gs::mapColors(one, gs::TColorMapping::mapMedianCut);
    ASSERT_EQ(cut.Palette().size(), 1u);  // one colour, one entry
    EXPECT_EQ(cut.Palette()[0], (gs::TRgb{0, 0, 0}));  // a mean of at most 16 per channel is black
    gs::TRaster hist = gs::mapColors(one, gs::TColorMapping::mapHistogram);
    EXPECT_EQ(hist.Palette()[0], (gs::TRgb{15, 15, 15}));
    EXPECT_EQ(hist.Palette()[1], (gs::TRgb{128, 128, 128}));
    one.Fill(gs::makeArgb(17, 0, 0));
    EXPECT_EQ(gs::mapColors(one, gs::TColorMapping::mapMedianCut).Palette()[0], (gs::TRgb{31, 15, 15}));

    // 42 lies nearer 43 than 0 on the 7-level ramp; 21 nearer 0.
    gs::TRaster ramp(2, 1);
    ramp.SetPixel(0, 0, gs::makeArgb(42, 0, 0));
    ramp.SetPixel(1, 0, gs::makeArgb(21, 0, 0));
    gs::TRaster t = gs::mapColors(ramp, gs::TColorMapping::mapTrunc784);
    EXPECT_EQ(t.IndexAt(0, 0), 32);
    EXPECT_EQ(t.IndexAt(1, 0), 0);

    // More than 2,049 colours: counted again with one bit of blue less first.
    gs::TRaster many(64, 64);
    for (int i = 0; i < 64 * 64; ++i) many.SetPixel(i % 64, i / 64, gs::makeArgb(std::uint8_t(i), std::uint8_t(i >> 4), 7));
    gs::TRaster m = gs::mapColors(many, gs::TColorMapping::mapHistogram);
    EXPECT_EQ(m.Palette()[0], (gs::TRgb{0, 0, 6}));
    EXPECT_EQ(m.Palette()[255].b, 6);
    EXPECT_EQ(errorOf([] { gs::toPixelFormat(gs::TRaster(), gs::PixelFormat::pf8bit, gs::TColorMapping::mapGrey); }),
              "Bitmap image is not valid");
}

}  // namespace
