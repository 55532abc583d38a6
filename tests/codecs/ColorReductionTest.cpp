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

using gs::TRaster;
using gs::TRgb;
using gs::TColorReduction;
using gs::TDitherMode;

using gstest::errorOf;

TRaster flat(int w, int h, TRgb c) {
    TRaster r(w, h);
    r.Fill(gs::argbOf(c));
    return r;
}

std::vector<int> indices(const TRaster& r) {
    std::vector<int> out;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) out.push_back(r.IndexAt(x, y));
    return out;
}

TRaster reduce(const TRaster& r, TColorReduction m, TDitherMode d = TDitherMode::dtNone, int bits = 8) {
    return gs::ReduceBitmapColors(r, m, d, bits);
}

TEST(ColorReduction, CubeMapsPrimariesAndGreyAsTheLookupSays) {
    TRaster r(4, 1);
    r.SetPixel(0, 0, gs::makeArgb(255, 0, 0));
    r.SetPixel(1, 0, gs::makeArgb(0, 255, 0));
    r.SetPixel(2, 0, gs::makeArgb(0, 0, 255));
    r.SetPixel(3, 0, gs::makeArgb(130, 130, 130));
    for (int d = 0; d < gs::kDitherModeCount; ++d) {
        TRaster out = reduce(r, TColorReduction::rdWebCube, TDitherMode(d));
        ASSERT_EQ(out.Format(), gs::PixelFormat::pf8bit);
        ASSERT_EQ(out.Palette().size(), 256u);
        EXPECT_EQ(out.IndexAt(0, 0), 180);
        EXPECT_EQ(out.IndexAt(1, 0), 30);
        EXPECT_EQ(out.IndexAt(2, 0), 5) << "exact cube colours leave no error to spread";
        if (d == 0) {
            EXPECT_EQ(out.IndexAt(3, 0), 86);
        }
        EXPECT_EQ(out.Palette()[86], (TRgb{102, 102, 102}));
        EXPECT_EQ(out.Palette()[230], TRgb{}) << "padding";
    }
}

TEST(ColorReduction, MonochromeThresholdAndGreyLevels) {
    TRaster r(2, 1);
    r.SetPixel(0, 0, gs::makeArgb(127, 127, 127));
    r.SetPixel(1, 0, gs::makeArgb(128, 128, 128));
    EXPECT_EQ(indices(reduce(r, TColorReduction::rdMonochrome)), (std::vector<int>{0, 1}));
    EXPECT_EQ(indices(reduce(r, TColorReduction::rdGray256)), (std::vector<int>{127, 128}));
    EXPECT_EQ(indices(reduce(r, TColorReduction::rdGray4)), (std::vector<int>{1, 1}));
}

TEST(ColorReduction, FixedPalettes) {
    TRaster r = flat(1, 1, TRgb{0, 0, 255});
    EXPECT_EQ(reduce(r, TColorReduction::rdSystem20).IndexAt(0, 0), 16);
    auto half = gs::halftonePalette();
    ASSERT_EQ(half.size(), 256u);
    EXPECT_EQ(half[9], (TRgb{166, 202, 240}));
    EXPECT_EQ(half[10 + 215], (TRgb{255, 255, 255}));
    EXPECT_EQ(half[226], (TRgb{12, 12, 12}));
    EXPECT_EQ(half[246], (TRgb{255, 251, 240}));
    EXPECT_EQ(reduce(flat(1, 1, TRgb{51, 102, 153}), TColorReduction::rdHalftone).IndexAt(0, 0), 10 + 36 + 12 + 3);
}

TEST(ColorReduction, CallersPaletteAndItsAbsence) {
    TRaster r = flat(2, 1, TRgb{200, 10, 10});
    std::vector<TRgb> palette{TRgb{0, 0, 0}, TRgb{190, 0, 0}, TRgb{255, 255, 255}};
    TRaster out = gs::ReduceBitmapColors(r, TColorReduction::rdPalette, TDitherMode::dtNone, 8, palette);
    EXPECT_EQ(indices(out), (std::vector<int>{1, 1}));
    EXPECT_EQ(out.Palette()[1], (TRgb{190, 0, 0}));
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction::rdPalette); }), "Color table is empty");
}

TEST(ColorReduction, FastLookupFirstOfEqualsWinsAndCellsAreCached) {
    std::vector<TRgb> palette{TRgb{0, 0, 0}, TRgb{100, 0, 0}, TRgb{0, 100, 0}};
    gs::TFastColorLookup lookup(palette);
    TRgb chosen;
    EXPECT_EQ(lookup.MatchColor(50, 50, 0, chosen), 0) << "all three at distance 100: the first";
    EXPECT_EQ(lookup.MatchColor(99, 0, 0, chosen), 1);
    EXPECT_EQ(chosen, (TRgb{100, 0, 0}));
    EXPECT_EQ(lookup.MatchColor(52, 55, 4, chosen), 0) << "same 5-bit cell as (50, 50, 0)";
}

TEST(ColorReduction, OctreeKeepsFewColoursExactly) {
    // 200 colours, each in its own cell of 5 bits per channel, none in a stock colour's cell.
    TRaster r(20, 10);
    std::vector<TRgb> colours;
    for (int i = 0; i < 200; ++i) colours.push_back(TRgb{std::uint8_t(i % 8 * 32 + 3), std::uint8_t(i / 8 % 5 * 40 + 20), std::uint8_t(i / 40 * 48 + 8)});
    for (int i = 0; i < 200; ++i) r.SetPixel(i % 20, i / 20, gs::argbOf(colours[std::size_t(i)]));
    for (auto method : {TColorReduction::rdOctree, TColorReduction::rdOctreeSystem}) {
        TRaster out = reduce(r, method);
        for (int i = 0; i < 200; ++i) EXPECT_EQ(gs::rgbOf(out.Pixel(i % 20, i / 20)), colours[std::size_t(i)]) << i;
    }
    TRaster framed = reduce(r, TColorReduction::rdOctreeSystem);
    EXPECT_EQ(framed.Palette()[0], TRgb{});
    EXPECT_EQ(framed.Palette()[255], (TRgb{255, 255, 255}));
    EXPECT_EQ(framed.Palette()[9], (TRgb{166, 202, 240}));
}

TEST(ColorReduction, OctreeHonoursTheBitCount) {
    std::mt19937 rng(1);
    TRaster r(50, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) r.SetPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
    for (int bits = 1; bits <= 8; ++bits) {
        auto palette = gs::octreePalette(r, 1 << bits, false);
        EXPECT_LE(palette.size(), std::size_t(1) << bits);
        EXPECT_GE(palette.size(), 1u);
        for (int i : indices(reduce(r, TColorReduction::rdOctree, TDitherMode::dtNone, bits))) EXPECT_LT(i, 1 << bits);
    }
}

// A grey of 100 on black and white: the first pixel goes black and its error decides the rest.
TEST(ColorReduction, KernelsSpreadTheErrorAheadAndBelow) {
    TRaster row = flat(3, 1, TRgb{100, 100, 100});
    EXPECT_EQ(indices(reduce(row, TColorReduction::rdMonochrome)), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(indices(reduce(row, TColorReduction::rdMonochrome, TDitherMode::dtFloydSteinberg)), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(indices(reduce(row, TColorReduction::rdMonochrome, TDitherMode::dtStucki)), (std::vector<int>{0, 0, 1}));
    // Rows run serpentine: the second row starts at its right end.
    TRaster square = flat(2, 2, TRgb{100, 100, 100});
    EXPECT_EQ(indices(reduce(square, TColorReduction::rdMonochrome, TDitherMode::dtFloydSteinberg)),
              (std::vector<int>{0, 1, 1, 0}));
}

TEST(ColorReduction, EveryDitherKeepsTheAverageGrey) {
    TRaster r = flat(64, 64, TRgb{128, 128, 128});
    for (int d = 1; d < gs::kDitherModeCount; ++d) {
        auto idx = indices(reduce(r, TColorReduction::rdMonochrome, TDitherMode(d)));
        long white = std::count(idx.begin(), idx.end(), 1);
        EXPECT_NEAR(double(white) / double(idx.size()), 0.5, 0.03) << "dither " << d;
    }
}

TEST(ColorReduction, NarrowAndShortPicturesStayInsideTheKernelMargins) {
    std::mt19937 rng(2);
    for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {2, 5}, {9, 1}, {3, 3}}) {
        TRaster r(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) r.SetPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
        for (int d = 0; d < gs::kDitherModeCount; ++d) {
            TRaster out = reduce(r, TColorReduction::rdSystem20, TDitherMode(d));
            for (int i : indices(out)) EXPECT_LT(i, 20);
        }
    }
}

TEST(ColorReduction, InvalidArgumentsAreRefusedAndTheSourceIsKept) {
    TRaster r = flat(2, 2, TRgb{1, 2, 3});
    const TRaster before = r;
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction(10)); }), "Invalid reduction method");
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction::rdWebCube, TDitherMode(7)); }), "Invalid dither mode");
    EXPECT_EQ(errorOf([&] { reduce(r, TColorReduction::rdOctree, TDitherMode::dtNone, 0); }), "Invalid reduction bit count");
    EXPECT_EQ(errorOf([&] { reduce(TRaster(), TColorReduction::rdWebCube); }), "Invalid image dimensions");
    TRaster copy = reduce(r, TColorReduction::rdNone);
    EXPECT_EQ(copy.Format(), gs::PixelFormat::pf24bit);
    EXPECT_EQ(copy.Pixel(1, 1), r.Pixel(1, 1));
    EXPECT_EQ(r, before);
}

}  // namespace
