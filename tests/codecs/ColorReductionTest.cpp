// Colour reduction: palettes, lookups, the octree and the ditherers' kernels.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"

#include <random>
#include <set>

#include "codecs/ColorLookup.h"
#include "codecs/ColorPalettes.h"
#include "codecs/ColorReduction.h"
#include "codecs/GifTypes.h"

namespace {

using gs::Raster;
using gs::Rgb;
using gs::TColorReduction;
using gs::TDitherMode;

using gstest::errorOf;

Raster flat(int w, int h, Rgb c) {
    Raster r(w, h);
    r.fill(gs::argbOf(c));
    return r;
}

std::vector<int> indices(const Raster& r) {
    std::vector<int> out;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) out.push_back(r.indexAt(x, y));
    return out;
}

Raster reduce(const Raster& r, TColorReduction m, TDitherMode d = TDitherMode::dtNone, int bits = 8) {
    return gs::reduceBitmapColors(r, m, d, bits);
}

TEST(ColorReduction, CubeMapsPrimariesAndGreyAsTheLookupSays) {
    Raster r(4, 1);
    r.setPixel(0, 0, gs::makeArgb(255, 0, 0));
    r.setPixel(1, 0, gs::makeArgb(0, 255, 0));
    r.setPixel(2, 0, gs::makeArgb(0, 0, 255));
    r.setPixel(3, 0, gs::makeArgb(130, 130, 130));
    for (int d = 0; d < gs::kDitherModeCount; ++d) {
        Raster out = reduce(r, TColorReduction::rdWebCube, TDitherMode(d));
        ASSERT_EQ(out.format(), gs::PixelFormat::pf8bit);
        ASSERT_EQ(out.palette().size(), 256u);
        EXPECT_EQ(out.indexAt(0, 0), 180);
        EXPECT_EQ(out.indexAt(1, 0), 30);
        EXPECT_EQ(out.indexAt(2, 0), 5) << "exact cube colours leave no error to spread";
        if (d == 0) {
            EXPECT_EQ(out.indexAt(3, 0), 86);
        }
        EXPECT_EQ(out.palette()[86], (Rgb{102, 102, 102}));
        EXPECT_EQ(out.palette()[230], Rgb{}) << "padding";
    }
}

TEST(ColorReduction, MonochromeThresholdAndGreyLevels) {
    Raster r(2, 1);
    r.setPixel(0, 0, gs::makeArgb(127, 127, 127));
    r.setPixel(1, 0, gs::makeArgb(128, 128, 128));
    EXPECT_EQ(indices(reduce(r, TColorReduction::rdMonochrome)), (std::vector<int>{0, 1}));
    EXPECT_EQ(indices(reduce(r, TColorReduction::rdGray256)), (std::vector<int>{127, 128}));
    EXPECT_EQ(indices(reduce(r, TColorReduction::rdGray4)), (std::vector<int>{1, 1}));
}

TEST(ColorReduction, FixedPalettes) {
    Raster r = flat(1, 1, Rgb{0, 0, 255});
    EXPECT_EQ(reduce(r, TColorReduction::rdSystem20).indexAt(0, 0), 16);
    auto half = gs::halftonePalette();
    ASSERT_EQ(half.size(), 256u);
    EXPECT_EQ(half[9], (Rgb{166, 202, 240}));
    EXPECT_EQ(half[10 + 215], (Rgb{255, 255, 255}));
    EXPECT_EQ(half[226], (Rgb{12, 12, 12}));
    EXPECT_EQ(half[246], (Rgb{255, 251, 240}));
    EXPECT_EQ(reduce(flat(1, 1, Rgb{51, 102, 153}), TColorReduction::rdHalftone).indexAt(0, 0), 10 + 36 + 12 + 3);
}

TEST(ColorReduction, CallersPaletteAndItsAbsence) {
    Raster r = flat(2, 1, Rgb{200, 10, 10});
    std::vector<Rgb> palette{Rgb{0, 0, 0}, Rgb{190, 0, 0}, Rgb{255, 255, 255}};
    Raster out = gs::reduceBitmapColors(r, TColorReduction::rdPalette, TDitherMode::dtNone, 8, palette);
    EXPECT_EQ(indices(out), (std::vector<int>{1, 1}));
    EXPECT_EQ(out.palette()[1], (Rgb{190, 0, 0}));
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction::rdPalette); }), "Color table is empty");
}

TEST(ColorReduction, FastLookupFirstOfEqualsWinsAndCellsAreCached) {
    std::vector<Rgb> palette{Rgb{0, 0, 0}, Rgb{100, 0, 0}, Rgb{0, 100, 0}};
    gs::TFastColorLookup lookup(palette);
    Rgb chosen;
    EXPECT_EQ(lookup.matchColor(50, 50, 0, chosen), 0) << "all three at distance 100: the first";
    EXPECT_EQ(lookup.matchColor(99, 0, 0, chosen), 1);
    EXPECT_EQ(chosen, (Rgb{100, 0, 0}));
    EXPECT_EQ(lookup.matchColor(52, 55, 4, chosen), 0) << "same 5-bit cell as (50, 50, 0)";
}

TEST(ColorReduction, OctreeKeepsFewColoursExactly) {
    // 200 colours, each in its own cell of 5 bits per channel, none in a stock colour's cell.
    Raster r(20, 10);
    std::vector<Rgb> colours;
    for (int i = 0; i < 200; ++i) colours.push_back(Rgb{std::uint8_t(i % 8 * 32 + 3), std::uint8_t(i / 8 % 5 * 40 + 20), std::uint8_t(i / 40 * 48 + 8)});
    for (int i = 0; i < 200; ++i) r.setPixel(i % 20, i / 20, gs::argbOf(colours[std::size_t(i)]));
    for (auto method : {TColorReduction::rdOctree, TColorReduction::rdOctreeSystem}) {
        Raster out = reduce(r, method);
        for (int i = 0; i < 200; ++i) EXPECT_EQ(gs::rgbOf(out.pixel(i % 20, i / 20)), colours[std::size_t(i)]) << i;
    }
    Raster framed = reduce(r, TColorReduction::rdOctreeSystem);
    EXPECT_EQ(framed.palette()[0], Rgb{});
    EXPECT_EQ(framed.palette()[255], (Rgb{255, 255, 255}));
    EXPECT_EQ(framed.palette()[9], (Rgb{166, 202, 240}));
}

TEST(ColorReduction, OctreeHonoursTheBitCount) {
    std::mt19937 rng(1);
    Raster r(50, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) r.setPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
    for (int bits = 1; bits <= 8; ++bits) {
        auto palette = gs::octreePalette(r, 1 << bits, false);
        EXPECT_LE(palette.size(), std::size_t(1) << bits);
        EXPECT_GE(palette.size(), 1u);
        for (int i : indices(reduce(r, TColorReduction::rdOctree, TDitherMode::dtNone, bits))) EXPECT_LT(i, 1 << bits);
    }
}

// A grey of 100 on black and white: the first pixel goes black and its error decides the rest.
TEST(ColorReduction, KernelsSpreadTheErrorAheadAndBelow) {
    Raster row = flat(3, 1, Rgb{100, 100, 100});
    EXPECT_EQ(indices(reduce(row, TColorReduction::rdMonochrome)), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(indices(reduce(row, TColorReduction::rdMonochrome, TDitherMode::dtFloydSteinberg)), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(indices(reduce(row, TColorReduction::rdMonochrome, TDitherMode::dtStucki)), (std::vector<int>{0, 0, 1}));
    // Rows run serpentine: the second row starts at its right end.
    Raster square = flat(2, 2, Rgb{100, 100, 100});
    EXPECT_EQ(indices(reduce(square, TColorReduction::rdMonochrome, TDitherMode::dtFloydSteinberg)),
              (std::vector<int>{0, 1, 1, 0}));
}

TEST(ColorReduction, EveryDitherKeepsTheAverageGrey) {
    Raster r = flat(64, 64, Rgb{128, 128, 128});
    for (int d = 1; d < gs::kDitherModeCount; ++d) {
        auto idx = indices(reduce(r, TColorReduction::rdMonochrome, TDitherMode(d)));
        long white = std::count(idx.begin(), idx.end(), 1);
        EXPECT_NEAR(double(white) / double(idx.size()), 0.5, 0.03) << "dither " << d;
    }
}

TEST(ColorReduction, NarrowAndShortPicturesStayInsideTheKernelMargins) {
    std::mt19937 rng(2);
    for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {2, 5}, {9, 1}, {3, 3}}) {
        Raster r(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) r.setPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
        for (int d = 0; d < gs::kDitherModeCount; ++d) {
            Raster out = reduce(r, TColorReduction::rdSystem20, TDitherMode(d));
            for (int i : indices(out)) EXPECT_LT(i, 20);
        }
    }
}

TEST(ColorReduction, InvalidArgumentsAreRefusedAndTheSourceIsKept) {
    Raster r = flat(2, 2, Rgb{1, 2, 3});
    const Raster before = r;
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction(10)); }), "Invalid reduction method");
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction::rdWebCube, TDitherMode(7)); }), "Invalid dither mode");
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction::rdOctree, TDitherMode::dtNone, 0); }), "Invalid reduction bit count");
    EXPECT_EQ(errorOf([&] { reduce(Raster(), TColorReduction::rdWebCube); }), "Invalid image dimensions");
    Raster copy = reduce(r, TColorReduction::rdNone);
    EXPECT_EQ(copy.format(), gs::PixelFormat::pf24bit);
    EXPECT_EQ(copy.pixel(1, 1), r.pixel(1, 1));
    EXPECT_EQ(r, before);
}

}  // namespace
