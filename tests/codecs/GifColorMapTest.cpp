// Colour tables: capacity, search, deletion, bits per pixel and sorting by use.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"

#include "codecs/GifImage.h"

namespace {

using gs::TRgb;

using gstest::errorOf;

TRgb grey(int v) { return TRgb{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)}; }

TEST(GifColorMap, HoldsAt256ColoursAndRefusesThe257th) {
    gs::TGIFImage image;
    auto& map = image.GlobalColorMap();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(map.AppendColor(grey(i)), i);
    EXPECT_EQ(errorOf([&] { map.AppendColor(grey(0)); }), "Color table overflow");
    EXPECT_EQ(map.Count(), 256);
}

TEST(GifColorMap, BitsPerPixelByCount) {
    gs::TGIFImage image;
    auto& map = image.GlobalColorMap();
    EXPECT_EQ(map.ColorBits(), 0);
    const std::pair<int, int> cases[] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {17, 5}, {128, 7}, {129, 8}, {256, 8}};
    for (auto [count, bits] : cases) {
        map.Reset();
        for (int i = 0; i < count; ++i) map.AppendColor(grey(i));
        EXPECT_EQ(map.ColorBits(), bits) << count;
    }
}

TEST(GifColorMap, FindDeleteAndOutOfRangeAccess) {
    gs::TGIFImage image;
    std::vector<std::string> warnings;
    image.SetOnWarn([&](const void*, int severity, const std::string& m) {
        EXPECT_EQ(severity, 1);
        warnings.push_back(m);
    });
    auto& map = image.GlobalColorMap();
    EXPECT_EQ(errorOf([&] { map.ColorAt(0); }), "Color table is empty");
    map.AppendColor(grey(10));
    map.AppendColor(grey(20));
    map.AppendColor(grey(10));
    EXPECT_EQ(map.FindColor(grey(10)), 2) << "an unsorted table is searched from the back";
    EXPECT_EQ(map.FindColor(grey(99)), -1);
    EXPECT_EQ(map.FindOrAppendColor(grey(20)), 1);
    EXPECT_EQ(map.ColorAt(7), grey(10)) << "entry 0 stands in";
    EXPECT_EQ(warnings, std::vector<std::string>(2, "Invalid color index")) << "the empty table warned first";
    EXPECT_EQ(errorOf([&] { map.DeleteColor(3); }), "Invalid color index");
    map.DeleteColor(0);
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.ColorAt(0), grey(20));
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
        image.SetOnWarn([&](const void*, int, const std::string& m) { warned += m == "Invalid color index"; });
        for (int i = 0; i < c.global; ++i) image.GlobalColorMap().AppendColor(grey(i));
        gs::TGIFSubImage frame(image);
        for (int i = 0; i < c.local; ++i) frame.ColorMap().AppendColor(grey(i));
        gs::TGIFGraphicControlExtension gce(&frame);
        gce.SetTransparentColorIndex(std::uint8_t(c.index));
        EXPECT_EQ(gce.TransparentColorIndex(), c.stored) << c.local << "/" << c.global << " " << c.index;
        EXPECT_EQ(warned, c.warns ? 1 : 0) << c.local << "/" << c.global << " " << c.index;
    }
}

class SortByUse : public ::testing::Test {
protected:
    gs::TGIFSubImage& frameWith(std::vector<std::uint8_t> pixels, int colours) {
        auto f = std::make_unique<gs::TGIFSubImage>(image);
        f->SetBounds(0, 0, int(pixels.size()), 1);
        std::copy(pixels.begin(), pixels.end(), f->Pixels().begin());
        for (int i = 0; i < colours; ++i) f->ColorMap().AppendColor(grey(i * 10));
        return image.Frame(image.AddFrame(std::move(f)));
    }
    gs::TGIFImage image;
};

TEST_F(SortByUse, ReordersByUseDropsUnusedAndRewritesPixels) {
    auto& f = frameWith({2, 2, 2, 0, 3, 3}, 4);
    auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(&f);
    gce->SetTransparentColorIndex(3);
    f.AddExtension(std::move(gce));
    EXPECT_TRUE(f.ColorMap().SortByUse());
    EXPECT_TRUE(f.ColorMap().Optimized());
    ASSERT_EQ(f.ColorMap().Count(), 3) << "colour 1 is unused";
    EXPECT_EQ(f.ColorMap().ColorAt(0), grey(20));
    EXPECT_EQ(f.ColorMap().ColorAt(1), grey(30));
    EXPECT_EQ(f.ColorMap().ColorAt(2), grey(0));
    EXPECT_EQ(std::vector<std::uint8_t>(f.Pixels().begin(), f.Pixels().end()), (std::vector<std::uint8_t>{0, 0, 0, 2, 1, 1}));
    EXPECT_EQ(f.GraphicControlExtension()->TransparentColorIndex(), 1);
}

TEST_F(SortByUse, TableAlreadyInOrderKeepsUnusedEntries) {
    auto& f = frameWith({0, 0, 1}, 3);
    EXPECT_TRUE(f.ColorMap().SortByUse());
    EXPECT_TRUE(f.ColorMap().Optimized());
    EXPECT_EQ(f.ColorMap().Count(), 3);
}

TEST_F(SortByUse, FewerThanTwoColoursDoNothing) {
    auto& f = frameWith({0, 0}, 1);
    EXPECT_FALSE(f.ColorMap().SortByUse());
    EXPECT_FALSE(f.ColorMap().Optimized());
}

TEST_F(SortByUse, GlobalTableCountsTheFramesItColours) {
    image.GlobalColorMap().AppendColor(grey(1));
    image.GlobalColorMap().AppendColor(grey(2));
    auto& a = frameWith({0, 1, 1}, 0);
    auto& b = frameWith({1, 0, 0, 0}, 2);  // has its own table: not counted, not rewritten
    EXPECT_TRUE(image.GlobalColorMap().SortByUse());
    EXPECT_EQ(image.GlobalColorMap().ColorAt(0), grey(2));
    EXPECT_EQ(a.Pixels()[0], 1);
    EXPECT_EQ(b.Pixels()[0], 1);
}

TEST_F(SortByUse, PixelsOutsideTheTableAreLeftAlone) {
    auto& f = frameWith({5, 1, 1, 0}, 2);
    EXPECT_TRUE(f.ColorMap().SortByUse());
    EXPECT_EQ(f.Pixels()[0], 5);
    EXPECT_EQ(f.Pixels()[1], 0);
}

}  // namespace
