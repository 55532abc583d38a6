#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/Bmp.h"
#include "platform/Dib.h"
#include "platform/Errors.h"
#include "platform/Raster.h"

using namespace gs;

namespace {
TRaster randomRaster(int w, int h, PixelFormat pf, unsigned seed) {
    std::mt19937 rng(seed);
    TRaster r(w, h, pf);
    if (isIndexed(pf)) {
        std::vector<TRgb> pal;
        for (int i = 0; i < (1 << bitCountOf(pf)); ++i)
            pal.push_back(TRgb{std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())});
        r.SetPalette(pal);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) r.SetIndexAt(x, y, std::uint8_t(rng() % (1u << bitCountOf(pf))));
    } else {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                r.SetPixel(x, y, pf == PixelFormat::pf24bit ? (rng() | 0xFF000000u) : Argb(rng()));
    }
    return r;
}
}  // namespace

TEST(TRaster, NewTrueColourIsUniformWhiteAndTransparentColourIsBottomLeft) {
    TRaster r(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(r.Pixel(x, y), kWhite);
    r.SetPixel(0, 1, makeArgb(1, 2, 3));
    EXPECT_EQ(r.TransparentColor(), (TRgb{1, 2, 3}));
    r.SetTransparentColor(TRgb{9, 9, 9});
    EXPECT_EQ(r.TransparentColor(), (TRgb{9, 9, 9}));
    EXPECT_FALSE(r.Transparent());
}

TEST(Bmp, RoundTripsEveryDepthWithOddWidths) {
    for (PixelFormat pf : {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit, PixelFormat::pf24bit,
                           PixelFormat::pf32bit}) {
        for (int w : {1, 3, 7, 17, 33}) {
            TRaster r = randomRaster(w, 5, pf, unsigned(w) * 31u + unsigned(bitCountOf(pf)));
            TMemorySource src(encodeBmp(r));
            TRaster back = decodeBmp(src);
            ASSERT_EQ(back.Format(), pf);
            ASSERT_EQ(back.Width(), w);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < w; ++x) ASSERT_EQ(back.Pixel(x, y), r.Pixel(x, y)) << w << "," << x << "," << y;
        }
    }
}

TEST(Bmp, RowsArePaddedAndFileSizeIsExact) {
    TRaster r(5, 3, PixelFormat::pf24bit);
    TBytes b = encodeBmp(r);
    EXPECT_EQ(b.size(), 14u + 40u + 3u * 16u);  // 15 bytes of pixels padded to 16
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[10], 54);
}

TEST(Dib, RefusesDataThatIsNotThere) {
    TRaster r(16, 16, PixelFormat::pf8bit);
    TBytes dib = encodeDib(r);
    for (std::size_t cut : {std::size_t(10), std::size_t(40), std::size_t(40 + 1000), dib.size() - 1}) {
        TMemorySource src(TBytes(dib.begin(), dib.begin() + long(cut)));
        EXPECT_THROW(decodeDib(src, 0), EReadError) << cut;
    }
    // A header claiming a huge image with a few bytes behind it is refused, not allocated.
    TBytes huge = dib;
    huge[4] = 0xFF, huge[5] = 0xFF, huge[6] = 0xFF, huge[7] = 0x0F;
    TMemorySource src(huge);
    EXPECT_THROW(decodeDib(src, 0), EReadError);
}

TEST(Dib, SixteenBitAndTopDownRowsDecode) {
    // 2x2, 16-bit 5-5-5, top-down (negative height).
    TBytes d = {40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 16, 0};
    d.resize(40, 0);
    auto px = [&](std::uint16_t v) { d.push_back(std::uint8_t(v)); d.push_back(std::uint8_t(v >> 8)); };
    px(0x7C00); px(0x03E0);  // top row: red, green
    px(0x001F); px(0x7FFF);  // bottom row: blue, white
    TMemorySource src(d);
    TRaster r = decodeDib(src, 0).colour;
    EXPECT_EQ(r.Pixel(0, 0), makeArgb(255, 0, 0));
    EXPECT_EQ(r.Pixel(1, 0), makeArgb(0, 255, 0));
    EXPECT_EQ(r.Pixel(0, 1), makeArgb(0, 0, 255));
    EXPECT_EQ(r.Pixel(1, 1), makeArgb(255, 255, 255));
}
