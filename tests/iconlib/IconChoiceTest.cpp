// Image choice by size and colour class, re-rendering, and the exact, scaled and preview
// bitmaps of an icon.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>

#include "iconlib/IconChoice.h"
#include "iconlib/Resample.h"
#include "platform/ByteWriter.h"
#include "support/TempDir.h"

using namespace gs;

namespace {

using PixelFn = std::function<Argb(int x, int y)>;

// A 32-bit icon image with AND mask written field by field: pixels whose alpha is 0 are
// masked and stored black, every other pixel is stored opaque (no alpha channel in use).
std::unique_ptr<TQBIconImage> makeImage(int w, int h, const PixelFn& px, std::uint8_t colorCount = 0) {
    TByteWriter d;
    for (std::uint32_t v : {40u, std::uint32_t(w), std::uint32_t(2 * h)}) d.U32(v);
    d.U16(1);
    d.U16(32);
    for (int i = 0; i < 6; ++i) d.U32(0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) d.U32(alphaOf(px(x, y)) ? (px(x, y) & 0x00FFFFFFu) : 0);
    const int stride = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        TBytes row(std::size_t(stride), 0);
        for (int x = 0; x < w; ++x)
            if (!alphaOf(px(x, y))) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        d.Bytes(row);
    }
    TIconImageHead head;
    head.Width = w;
    head.Height = h;
    head.ColorCount = colorCount;
    head.Planes = 1;
    head.BitCount = 32;
    return std::make_unique<TQBIconImage>(head, d.Take());
}

PixelFn solid(Argb c) {
    return [c](int, int) { return c; };
}

// A pattern that tells images apart, with a transparent corner.
PixelFn pattern(unsigned seed) {
    return [seed](int x, int y) -> Argb {
        if (x < 3 && y < 3) return 0;
        return makeArgb(std::uint8_t(x * 5 + seed * 40), std::uint8_t(y * 7 + seed), std::uint8_t((x ^ y) * 3 + seed));
    };
}

// Squares of the given sizes, each one solid colour keyed by its size.
Argb colourOfSize(int size) { return makeArgb(std::uint8_t(size), std::uint8_t(255 - size), 40); }

std::unique_ptr<TQBIcon> iconOfSizes(std::initializer_list<int> sizes) {
    auto icon = std::make_unique<TQBIcon>();
    for (int s : sizes) icon->Images().Add(makeImage(s, s, solid(colourOfSize(s))));
    return icon;
}

int sizeOf(const TQBHiResIcon& icon) { return icon.GetWidth(); }
Argb centreOf(const TQBHiResIcon& icon) {
    const TIconPicture& p = *icon.Handle();
    return p.rgbaAt(p.width / 2, p.height / 2);
}

void paste(TRaster& canvas, const TRaster& part, int x0, int y0) {
    for (int y = 0; y < part.Height(); ++y)
        for (int x = 0; x < part.Width(); ++x) canvas.SetPixel(x0 + x, y0 + y, part.Pixel(x, y));
}

}  // namespace

TEST(IconChoice, FallbackOrdersPickTheNearestSizeThenTheFirstImage) {
    struct Case {
        std::initializer_list<int> sizes;
        int wanted;
        int source;
    };
    const Case cases[] = {
        {{16, 32}, 48, 32}, {{16}, 48, 16},     {{24, 16}, 48, 16}, {{24}, 48, 24},
        {{16, 48}, 32, 48}, {{16}, 32, 16},     {{20, 24}, 32, 20}, {{48, 32}, 16, 32},
        {{48}, 16, 48},     {{64, 48}, 16, 48}, {{64, 40}, 16, 64},
    };
    using Getter = std::unique_ptr<TQBHiResIcon> (*)(const TQBIcon&);
    auto getter = [](int size) -> Getter { return size == 48 ? GetIcon48 : size == 32 ? GetIcon32 : GetIcon16; };
    for (const Case& c : cases) {
        auto icon = iconOfSizes(c.sizes);
        auto got = getter(c.wanted)(*icon);
        ASSERT_TRUE(got) << c.wanted << " from " << c.source;
        EXPECT_EQ(sizeOf(*got), c.wanted);
        EXPECT_EQ(got->Handle()->height, c.wanted);
        EXPECT_EQ(centreOf(*got), colourOfSize(c.source)) << c.wanted << " from " << c.source;
    }
}

TEST(IconChoice, ExactImageIsReturnedUnchanged) {
    auto icon = iconOfSizes({16, 32, 48});
    using Getter = std::unique_ptr<TQBHiResIcon> (*)(const TQBIcon&);
    const std::pair<Getter, int> getters[] = {{GetIcon16, 0}, {GetIcon32, 1}, {GetIcon48, 2}};
    for (auto [get, index] : getters) {
        auto got = get(*icon);
        ASSERT_TRUE(got);
        EXPECT_EQ(got->Handle()->colour, icon->Images().GetImage(std::uint16_t(index))->GetHandle()->colour);
    }
}

TEST(IconChoice, BestExactImagePrefersDeeperColourClassesThenListOrder) {
    // 16-colour before 256-colour, and the reverse: the 256-colour image wins both ways.
    for (bool deepFirst : {false, true}) {
        TQBIcon icon;
        auto shallow = makeImage(32, 32, solid(makeArgb(1, 1, 1)), 16);
        auto deep = makeImage(32, 32, solid(makeArgb(2, 2, 2)), 0);
        icon.Images().Add(deepFirst ? std::move(deep) : std::move(shallow));
        icon.Images().Add(deepFirst ? std::move(shallow) : std::move(deep));
        EXPECT_EQ(centreOf(*GetBest32Icon(icon)), makeArgb(2, 2, 2));
    }
    TQBIcon icon;
    icon.Images().Add(makeImage(16, 16, solid(makeArgb(1, 0, 0)), 2));
    icon.Images().Add(makeImage(16, 16, solid(makeArgb(2, 0, 0)), 16));
    icon.Images().Add(makeImage(16, 16, solid(makeArgb(3, 0, 0)), 8));
    EXPECT_EQ(centreOf(*GetBest16Icon(icon)), makeArgb(2, 0, 0));
    EXPECT_EQ(centreOf(*FindExactIcon(icon, 16, 2)), makeArgb(1, 0, 0));
    EXPECT_EQ(FindExactIcon(icon, 16, 256), nullptr);
    EXPECT_EQ(FindExactIcon(icon, 32, 16), nullptr);
    EXPECT_EQ(GetBest48Icon(icon), nullptr);
}

TEST(IconChoice, IconWithoutImagesGivesNothing) {
    TQBIcon icon;
    EXPECT_EQ(GetFirstIcon(icon), nullptr);
    EXPECT_EQ(GetIcon48(icon), nullptr);
    EXPECT_EQ(GetIcon32(icon), nullptr);
    EXPECT_EQ(GetIcon16(icon), nullptr);
    EXPECT_FALSE(GetBitmap32(icon));
    EXPECT_FALSE(GetScaledBitmap48(icon));
    EXPECT_FALSE(GetScaledBitmap16(icon));
    EXPECT_FALSE(GetPreviewBitmap(icon));
}

// A 24 x 24 image, and a 16 x 32 one, count for no standard size: only the scaled
// operations give something.
TEST(IconChoice, ImagesOfNoStandardSize) {
    for (auto [w, h] : {std::pair{24, 24}, {16, 32}}) {
        TQBIcon icon;
        icon.Images().Add(makeImage(w, h, solid(colourOfSize(24))));
        EXPECT_FALSE(GetBest48Icon(icon) || GetBest32Icon(icon) || GetBest16Icon(icon));
        EXPECT_FALSE(GetBitmap48(icon) || GetBitmap32(icon) || GetBitmap16(icon));
        EXPECT_FALSE(GetPreviewBitmap(icon));
        auto scaled = GetScaledBitmap32(icon);
        ASSERT_TRUE(scaled);
        EXPECT_EQ(scaled->Format(), kIconBitmapFormat);
        EXPECT_EQ(*scaled, [] {
            TRaster r(32, 32, kIconBitmapFormat);
            r.Fill(colourOfSize(24));
            return r;
        }());
    }
}

// The preview is the exact bitmaps at their places on white, and nothing else: each exact
// bitmap equals its crop of the preview and the margins are white.
TEST(IconChoice, PreviewGeometryAndExactBitmapsAreItsCrops) {
    struct Case {
        std::vector<int> sizes;
        int width, height;
        std::vector<std::array<int, 3>> placed;  // x, y, size
    };
    const Case cases[] = {
        {{48, 16, 32}, 102, 50, {{1, 33, 16}, {19, 17, 32}, {53, 1, 48}}},
        {{16, 48}, 68, 50, {{1, 33, 16}, {19, 1, 48}}},
        {{32}, 34, 34, {{1, 1, 32}}},
        {{16, 32}, 52, 34, {{1, 17, 16}, {19, 1, 32}}},
    };
    for (const Case& c : cases) {
        TQBIcon icon;
        for (int s : c.sizes) icon.Images().Add(makeImage(s, s, pattern(unsigned(s))));
        auto preview = GetPreviewBitmap(icon);
        ASSERT_TRUE(preview);
        TRaster expected(c.width, c.height, kIconBitmapFormat);
        for (auto [x, y, s] : c.placed) {
            auto exact = s == 16 ? GetBitmap16(icon) : s == 32 ? GetBitmap32(icon) : GetBitmap48(icon);
            ASSERT_TRUE(exact);
            // The transparent corner shows the white background; the rest is the image.
            EXPECT_EQ(exact->Pixel(0, 0), kWhite);
            EXPECT_EQ(exact->Pixel(s - 1, s - 1), pattern(unsigned(s))(s - 1, s - 1));
            paste(expected, *exact, x, y);
        }
        EXPECT_EQ(*preview, expected);
    }
}

// Whole factors repeat and average exactly; colours are weighted by alpha, so pixels the
// mask hides never tint visible ones; alpha is the plain mean.
TEST(Resample, AreaAveragingOnPremultipliedAlpha) {
    TIconPicture src;
    src.width = src.height = 2;
    src.colour = {makeArgb(255, 0, 0), makeArgb(0, 255, 0), makeArgb(0, 0, 255), makeArgb(255, 255, 255)};
    src.mask.assign(4, 0);
    TIconPicture big = resamplePicture(src, 6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(big.rgbaAt(x, y), src.rgbaAt(x / 3, y / 3));
    TIconPicture one = resamplePicture(big, 1, 1);
    EXPECT_EQ(one.rgbaAt(0, 0), makeArgb(128, 128, 128));

    // Opaque blue, a wholly transparent red, a half-transparent green.
    src = TIconPicture{};
    src.width = 3;
    src.height = 1;
    src.hasAlpha = true;
    src.colour = {makeArgb(0, 0, 255), makeArgb(255, 0, 0, 0), makeArgb(0, 255, 0, 128)};
    src.mask.assign(3, 0);
    EXPECT_EQ(resamplePicture(src, 1, 1).rgbaAt(0, 0), makeArgb(0, 85, 170, 128));
    TIconPicture masked;
    masked.width = 2;
    masked.height = 1;
    masked.colour = {makeArgb(255, 0, 0), makeArgb(0, 0, 200)};
    masked.mask = {1, 0};
    EXPECT_EQ(resamplePicture(masked, 1, 1).rgbaAt(0, 0), makeArgb(0, 0, 200, 128));
    // 3 to 2 splits the middle pixel between both halves.
    TIconPicture row = resamplePicture(src, 2, 1);
    EXPECT_EQ(row.rgbaAt(0, 0), makeArgb(0, 0, 255, 170));
    EXPECT_EQ(row.rgbaAt(1, 0), makeArgb(0, 255, 0, 85));
    EXPECT_THROW(resamplePicture(src, 0, 4), std::invalid_argument);
}

// Nothing to scale, or no valid size: the input comes back as it was.
TEST(RenderIcon, GivesBackItsInputWhenItCannotRender) {
    auto empty = std::make_unique<TQBHiResIcon>();
    const TQBHiResIcon* before = empty.get();
    EXPECT_EQ(RenderIcon(std::move(empty), 32).get(), before);
    EXPECT_EQ(RenderIcon(nullptr, 32), nullptr);
    auto icon = iconOfSizes({16});
    auto first = GetFirstIcon(*icon);
    before = first.get();
    auto same = RenderIcon(std::move(first), 0);
    EXPECT_EQ(same.get(), before);
    EXPECT_EQ(sizeOf(*same), 16);

    // An image that cannot be decoded is handed out unchanged and draws nothing.
    TQBIcon bad;
    TIconImageHead head;
    head.Width = head.Height = 24;
    bad.Images().Add(std::make_unique<TQBIconImage>(head, TBytes{1, 2, 3}));
    auto got = GetIcon32(bad);
    ASSERT_TRUE(got);
    EXPECT_TRUE(got->Empty());
    auto bitmap = GetScaledBitmap32(bad);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(*bitmap, TRaster(32, 32, kIconBitmapFormat));
}

TEST(RenderIcon, RenderedIconSavesAsAnIconFileOfItsPicture) {
    TQBIcon icon;
    icon.Images().Add(makeImage(16, 16, pattern(5)));
    auto rendered = GetIcon48(icon);
    ASSERT_TRUE(rendered);
    auto file = IconOfPicture(*rendered);
    ASSERT_TRUE(file);
    TByteWriter w;
    file->SaveToStream(w);
    TQBIcon back;
    ASSERT_TRUE(back.LoadFromSource(TMemorySource(w.Data())));
    ASSERT_EQ(back.Images().Count(), 1);
    const TQBIconImage& image = *back.Images().GetImage(0);
    EXPECT_EQ(image.Width(), 48);
    EXPECT_EQ(image.Height(), 48);
    EXPECT_EQ(image.BitCount(), 32);
    const TIconPicture& want = *rendered->Handle();
    const auto decoded = image.GetHandle();
    const TIconPicture& got = *decoded;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) ASSERT_EQ(got.rgbaAt(x, y), want.rgbaAt(x, y)) << x << ',' << y;
    // Growing by three repeats each pixel: the transparent corner stays transparent.
    EXPECT_EQ(alphaOf(want.rgbaAt(8, 8)), 0);
    EXPECT_EQ(want.rgbaAt(47, 47), pattern(5)(15, 15));
    EXPECT_EQ(IconOfPicture(TQBHiResIcon()), nullptr);
}

TEST(RenderIcon, EncodedImageKeepsMaskAndInvertedPixels) {
    TIconPicture pic;
    pic.width = pic.height = 2;
    pic.colour = {makeArgb(10, 20, 30), makeArgb(0, 0, 0), makeArgb(255, 255, 255), makeArgb(1, 2, 3)};
    pic.mask = {0, 1, 1, 0};  // transparent and screen-inverting pixels
    auto image = EncodeIconImage(pic);
    const auto decoded = image->GetHandle();
    const TIconPicture& back = *decoded;
    EXPECT_FALSE(back.hasAlpha);
    EXPECT_EQ(back.mask, pic.mask);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back.colour[std::size_t(i)] | 0xFF000000u, pic.colour[std::size_t(i)]);
    TRaster canvas(2, 2, kIconBitmapFormat);
    canvas.Fill(makeArgb(0, 0, 0));
    image->Draw(canvas, 0, 0);
    EXPECT_EQ(canvas.Pixel(1, 1), makeArgb(1, 2, 3));
    EXPECT_EQ(canvas.Pixel(1, 0), makeArgb(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(0, 1), makeArgb(255, 255, 255));  // black inverted
}

// icotool reads what the re-rendering writes, to the same pixels.
TEST(RenderIcon, IndependentReaderAgreesWithTheRenderedImage) {
    if (std::system("command -v icotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "icotool not installed";
    namespace fs = std::filesystem;
    const gstest::TempDir folder("iconchoice-");
    const fs::path& dir = folder.path;
    TQBIcon icon;
    icon.Images().Add(makeImage(48, 48, pattern(7)));
    auto rendered = GetIcon16(icon);
    ASSERT_TRUE(rendered);
    IconOfPicture(*rendered)->SaveToFile(dir / "r.ico");
    const std::string cmd = "icotool -x -o '" + (dir / "r.png").string() + "' '" + (dir / "r.ico").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream in(dir / "r.png", std::ios::binary);
    TBytes png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TIconPicture theirs = decodeIconImage(png);
    ASSERT_EQ(theirs.width, 16);
    ASSERT_EQ(theirs.height, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(theirs.rgbaAt(x, y), rendered->Handle()->rgbaAt(x, y)) << x << ',' << y;
}
