// GIF files held against independent decoders: giftopnm (netpbm), giftext (giflib) and
// ImageMagick. Each test skips when its tool is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <unistd.h>

#include "codecs/ColorLookup.h"
#include "codecs/GifImage.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using gs::TRaster;
using gs::TRgb;

constexpr const char* kGiftopnm = "/usr/bin/giftopnm";
constexpr const char* kGiftext = "/usr/bin/giftext";
constexpr const char* kConvert = "/usr/bin/convert";

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class GifOracle : public ::testing::Test {
protected:

    static bool have(const char* tool) { return ::access(tool, X_OK) == 0; }

    ToolRun run(const std::string& tool, const std::string& args) {
        fs::path errFile = dir_ / "stderr.txt";
        std::string cmd = std::string(tool) + " " + args + " 2>" + errFile.string();
        ToolRun r;
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p) return r;
        char buf[65536];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
        r.status = ::pclose(p);
        std::ifstream e(errFile);
        r.err.assign(std::istreambuf_iterator<char>(e), {});
        return r;
    }

    fs::path save(const gs::TGIFImage& gif, const std::string& name) {
        fs::path p = dir_ / name;
        gif.SaveToFile(p);
        return p;
    }

    // The pixels of a binary PPM.
    static std::vector<TRgb> parsePpm(const std::string& ppm, int& w, int& h) {
        std::istringstream in(ppm);
        std::string magic;
        int maxval = 0;
        in >> magic >> w >> h >> maxval;
        in.get();
        EXPECT_EQ(magic, "P6");
        EXPECT_EQ(maxval, 255);
        std::vector<TRgb> px(std::size_t(w) * std::size_t(h));
        for (auto& c : px) c = TRgb{std::uint8_t(in.get()), std::uint8_t(in.get()), std::uint8_t(in.get())};
        EXPECT_TRUE(in.good());
        return px;
    }

    static std::vector<TRgb> parseRgb(const std::string& raw) {
        std::vector<TRgb> px(raw.size() / 3);
        for (std::size_t i = 0; i < px.size(); ++i)
            px[i] = TRgb{std::uint8_t(raw[3 * i]), std::uint8_t(raw[3 * i + 1]), std::uint8_t(raw[3 * i + 2])};
        return px;
    }

    gstest::TempDir folder_{"gs-gif-oracle-"};
    fs::path dir_ = folder_.path;
};

// An indexed picture of distinct random colours, pixels in random runs.
TRaster randomIndexed(std::mt19937& rng, int w, int h, int colours) {
    auto pf = colours <= 2 && rng() % 2 ? gs::PixelFormat::pf1bit
              : colours <= 16 && rng() % 2 ? gs::PixelFormat::pf4bit
                                           : gs::PixelFormat::pf8bit;
    TRaster r(w, h, pf);
    std::vector<TRgb> palette;
    while (int(palette.size()) < colours) {
        TRgb c{std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())};
        if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
    }
    r.SetPalette(palette);
    int maxRun = 1 + int(rng() % 30);
    std::uint8_t v = 0;
    for (int i = 0, left = 0; i < w * h; ++i, --left) {
        if (left <= 0) {
            v = std::uint8_t(rng() % unsigned(colours));
            left = 1 + int(rng() % unsigned(maxRun));
        }
        r.SetIndexAt(i % w, i / w, v);
    }
    return r;
}

TEST_F(GifOracle, RandomIndexedImagesDecodeToTheirIndicesAndColours) {
    if (!have(kGiftopnm) || !have(kGiftext) || !have(kConvert)) GTEST_SKIP() << "giftopnm, giftext or convert missing";
    std::mt19937 rng(2024);
    const int sizes[][2] = {{1, 1}, {300, 200}, {1, 200}, {300, 1}, {2, 3}, {17, 9}};
    const int colourCounts[] = {2, 3, 5, 8, 16, 17, 129, 255, 256};
    for (int n = 0; n < 32; ++n) {
        int w = n < 6 ? sizes[n][0] : 1 + int(rng() % 300);
        int h = n < 6 ? sizes[n][1] : 1 + int(rng() % 200);
        int colours = n < 9 ? colourCounts[n] : 2 + int(rng() % 255);
        bool interlaced = n % 2 == 1;
        bool rle = n % 4 >= 2;
        SCOPED_TRACE(testing::Message() << n << ": " << w << "x" << h << ", " << colours << " colours"
                                        << (interlaced ? ", interlaced" : "") << (rle ? ", RLE" : ", LZW"));
        TRaster picture = randomIndexed(rng, w, h, colours);
        gs::TGIFImage gif;
        gif.SetCompression(rle ? gs::TGIFCompression::gcRLE : gs::TGIFCompression::gcLZW);
        gif.Assign(picture);
        gif.Frame(0).SetInterlaced(interlaced);
        std::string file = save(gif, "random.gif").string();

        ToolRun pnm = run(kGiftopnm, file);
        ASSERT_EQ(pnm.status, 0) << pnm.err;
        EXPECT_EQ(pnm.err, "") << "giftopnm complained";
        int pw = 0, ph = 0;
        std::vector<TRgb> decoded = parsePpm(pnm.out, pw, ph);
        ASSERT_EQ(pw, w);
        ASSERT_EQ(ph, h);

        ToolRun raw = run(kGiftext, "-r " + file);
        ASSERT_EQ(raw.status, 0) << raw.err;
        ASSERT_EQ(raw.out.size(), std::size_t(w) * std::size_t(h));

        ToolRun magick = run(kConvert, file + " -depth 8 rgb:-");
        ASSERT_EQ(magick.status, 0) << magick.err;
        std::vector<TRgb> magickPixels = parseRgb(magick.out);
        ASSERT_EQ(magickPixels.size(), decoded.size());

        // giftext gives the rows as stored: in pass order when interlaced.
        std::vector<int> storedRow;
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
            for (int y = interlaced ? start[pass] : 0; y < h; y += interlaced ? step[pass] : 1) storedRow.push_back(y);
        int mismatches = 0;
        for (int s = 0; s < h; ++s)
            for (int x = 0; x < w; ++x) {
                int y = storedRow[std::size_t(s)];
                std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                TRgb expected = picture.Palette()[picture.IndexAt(x, y)];
                mismatches += std::uint8_t(raw.out[std::size_t(s) * std::size_t(w) + std::size_t(x)]) != picture.IndexAt(x, y);
                mismatches += !(decoded[i] == expected);
                mismatches += !(magickPixels[i] == expected);
            }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(GifOracle, DefaultExportIsTheCubeLookupPerPixel) {
    if (!have(kGiftopnm) || !have(kConvert)) GTEST_SKIP() << "giftopnm or convert missing";
    std::mt19937 rng(5);
    TRaster picture(123, 77);
    for (int y = 0; y < 77; ++y)
        for (int x = 0; x < 123; ++x) picture.SetPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
    gs::TGIFImage gif;
    gif.SetWidth(123);
    gif.SetHeight(77);
    gif.Assign(picture);
    std::string file = save(gif, "cube.gif").string();
    std::string again = save(gif, "again.gif").string();
    EXPECT_EQ(gs::readWholeFile(file), gs::readWholeFile(again));

    ToolRun pnm = run(kGiftopnm, file);
    ASSERT_EQ(pnm.status, 0);
    EXPECT_EQ(pnm.err, "");
    int w = 0, h = 0;
    std::vector<TRgb> decoded = parsePpm(pnm.out, w, h);
    std::vector<TRgb> magick = parseRgb(run(kConvert, file + " -depth 8 rgb:-").out);
    ASSERT_EQ(magick.size(), decoded.size());
    gs::TNetscapeColorLookup cube;
    int mismatches = 0;
    for (int y = 0; y < 77; ++y)
        for (int x = 0; x < 123; ++x) {
            TRgb p = gs::rgbOf(picture.Pixel(x, y)), expected;
            cube.MatchColor(p.r, p.g, p.b, expected);
            std::size_t i = std::size_t(y * 123 + x);
            mismatches += !(decoded[i] == expected) + !(magick[i] == expected);
        }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(GifOracle, TransparentPixelsAreTransparentToImageMagick) {
    if (!have(kConvert)) GTEST_SKIP() << "convert missing";
    TRaster picture(40, 30);
    picture.Fill(gs::makeArgb(0, 255, 0));
    for (int y = 5; y < 25; ++y)
        for (int x = 10; x < 30; ++x) picture.SetPixel(x, y, gs::makeArgb(255, 0, 0));
    picture.SetTransparent(true);  // bottom-left: green
    for (auto rle : {gs::TGIFCompression::gcLZW, gs::TGIFCompression::gcRLE}) {
        gs::TGIFImage gif;
        gif.SetCompression(rle);
        gif.Assign(picture);
        std::string raw = run(kConvert, save(gif, "t.gif").string() + " -depth 8 rgba:-").out;
        ASSERT_EQ(raw.size(), 40u * 30u * 4u);
        int mismatches = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                std::size_t i = std::size_t(y * 40 + x) * 4;
                bool inside = x >= 10 && x < 30 && y >= 5 && y < 25;
                mismatches += inside ? (std::uint8_t(raw[i]) != 255 || std::uint8_t(raw[i + 3]) != 255)
                                     : std::uint8_t(raw[i + 3]) != 0;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

}  // namespace
