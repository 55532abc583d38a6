// Colour tables: capacity, search, deletion, bits per pixel and sorting by use.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"

#include "codecs/GifImage.h"

namespace {

using gs::Rgb;

using gstest::errorOf;

Rgb grey(int v) { return Rgb{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)}; }

TEST(GifColorMap, HoldsAt256ColoursAndRefusesThe257th) {
    gs::TGIFImage image;
    auto& map = image.globalColorMap();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(map.appendColor(grey(i)), i);
    EXPECT_EQ(errorOf([&] { map.appendColor(grey(0)); }), "Color table overflow");
    EXPECT_EQ(map.count(), 256);
}

TEST(GifColorMap, BitsPerPixelByCount) {
    gs::TGIFImage image;
    auto& map = image.globalColorMap();
    EXPECT_EQ(map.colorBits(), 0);
    const std::pair<int, int> cases[] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {17, 5}, {128, 7}, {129, 8}, {256, 8}};
    for (auto [count, bits] : cases) {
        map.reset();
        for (int i = 0; i < count; ++i) map.appendColor(grey(i));
        EXPECT_EQ(map.colorBits(), bits) << count;
    }
}

TEST(GifColorMap, FindDeleteAndOutOfRangeAccess) {
    gs::TGIFImage image;
    std::vector<std::string> warnings;
    image.setOnWarn([&](const void*, int severity, const std::string& m) {
        EXPECT_EQ(severity, 1);
        warnings.push_back(m);
    });
    auto& map = image.globalColorMap();
    EXPECT_EQ(errorOf([&] { map.colorAt(0); }), "Color table is empty");
    map.appendColor(grey(10));
    map.appendColor(grey(20));
    map.appendColor(grey(10));
    EXPECT_EQ(map.findColor(grey(10)), 2) << "an unsorted table is searched from the back";
    EXPECT_EQ(map.findColor(grey(99)), -1);
    EXPECT_EQ(map.findOrAppendColor(grey(20)), 1);
    EXPECT_EQ(map.colorAt(7), grey(10)) << "entry 0 stands in";
    EXPECT_EQ(warnings, std::vector<std::string>(2, "Invalid color index")) << "the empty table warned first";
    EXPECT_EQ(errorOf([&] { map.deleteColor(3); }), "Invalid color index");
    map.deleteColor(0);
    EXPECT_EQ(map.count(), 2);
    EXPECT_EQ(map.colorAt(0), grey(20));
}

TEST(GifColorMap, ATransparentIndexIsCheckedAgainstTheFramesActiveTable) {
    struct Case {
        int local, global, index, stored;
        bool warns;
    };
    const Case cases[] = {
        {4, 0, 3, 3, false},   {4, 0, 4, 0, true},     {4, 16, 9, 0, true}, {0, 2, 1, 1, false},
        {0, 2, 2, 0, true},    {0, 0, 200, 200, false}, {0, 256, 255, 255, false},
    };
    for (const Case& c : cases) {
        gs::TGIFImage image;
        int warned = 0;
        image.setOnWarn([&](const void*, int, const std::string& m) { warned += m == "Invalid color index"; });
        for (int i = 0; i < c.global; ++i) image.globalColorMap().appendColor(grey(i));
        gs::TGIFSubImage frame(image);
        for (int i = 0; i < c.local; ++i) frame.colorMap().appendColor(grey(i));
        gs::TGIFGraphicControlExtension gce(&frame);
        gce.setTransparentColorIndex(std::uint8_t(c.index));
        EXPECT_EQ(gce.transparentColorIndex(), c.stored) << c.local << "/" << c.global << " " << c.index;
        EXPECT_EQ(warned, c.warns ? 1 : 0) << c.local << "/" << c.global << " " << c.index;
    }
}

class SortByUse : public ::testing::Test {
protected:
    gs::TGIFSubImage& frameWith(std::vector<std::uint8_t> pixels, int colours) {
        auto f = std::make_unique<gs::TGIFSubImage>(image);
        f->setBounds(0, 0, int(pixels.size()), 1);
        std::copy(pixels.begin(), pixels.end(), f->pixels().begin());
        for (int i = 0; i < colours; ++i) f->colorMap().appendColor(grey(i * 10));
        return image.frame(image.addFrame(std::move(f)));
    }
    gs::TGIFImage image;
};

TEST_F(SortByUse, ReordersByUseDropsUnusedAndRewritesPixels) {
    auto& f = frameWith({2, 2, 2, 0, 3, 3}, 4);
    auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(&f);
    gce->setTransparentColorIndex(3);
    f.addExtension(std::move(gce));
    EXPECT_TRUE(f.colorMap().sortByUse());
    EXPECT_TRUE(f.colorMap().optimized());
    ASSERT_EQ(f.colorMap().count(), 3) << "colour 1 is unused";
    EXPECT_EQ(f.colorMap().colorAt(0), grey(20));
    EXPECT_EQ(f.colorMap().colorAt(1), grey(30));
    EXPECT_EQ(f.colorMap().colorAt(2), grey(0));
    EXPECT_EQ(std::vector<std::uint8_t>(f.pixels().begin(), f.pixels().end()), (std::vector<std::uint8_t>{0, 0, 0, 2, 1, 1}));
    EXPECT_EQ(f.graphicControlExtension()->transparentColorIndex(), 1);
}

TEST_F(SortByUse, TableAlreadyInOrderKeepsUnusedEntries) {
    auto& f = frameWith({0, 0, 1}, 3);
    EXPECT_TRUE(f.colorMap().sortByUse());
    EXPECT_TRUE(f.colorMap().optimized());
    EXPECT_EQ(f.colorMap().count(), 3);
}

TEST_F(SortByUse, FewerThanTwoColoursDoNothing) {
    auto& f = frameWith({0, 0}, 1);
    EXPECT_FALSE(f.colorMap().sortByUse());
    EXPECT_FALSE(f.colorMap().optimized());
}

TEST_F(SortByUse, GlobalTableCountsTheFramesItColours) {
    image.globalColorMap().appendColor(grey(1));
    image.globalColorMap().appendColor(grey(2));
    auto& a = frameWith({0, 1, 1}, 0);
    auto& b = frameWith({1, 0, 0, 0}, 2);  // has its own table: not counted, not rewritten
    EXPECT_TRUE(image.globalColorMap().sortByUse());
    EXPECT_EQ(image.globalColorMap().colorAt(0), grey(2));
    EXPECT_EQ(a.pixels()[0], 1);
    EXPECT_EQ(b.pixels()[0], 1);
}

TEST_F(SortByUse, PixelsOutsideTheTableAreLeftAlone) {
    auto& f = frameWith({5, 1, 1, 0}, 2);
    EXPECT_TRUE(f.colorMap().sortByUse());
    EXPECT_EQ(f.pixels()[0], 5);
    EXPECT_EQ(f.pixels()[1], 0);
}

}  // namespace
