#include <gtest/gtest.h>

#include <map>

#include "ExportTestSupport.h"
#include "export/ImageExport.h"
#include "export/TiffWriter.h"
#include "platform/ByteReader.h"
#include "platform/Dib.h"
#include "platform/Errors.h"

using namespace gs;
using namespace gs::testing;

namespace {

struct Field {
    std::uint16_t type;
    std::uint32_t count, value;
};

// The first directory of a little-endian TIFF, by tag, checking the entries ascend.
std::map<std::uint16_t, Field> directoryOf(const TBytes& tiff) {
    TMemorySource src(tiff);
    TByteReader r(src);
    EXPECT_EQ(r.Chars(2), "II");
    EXPECT_EQ(r.U16(), 42);
    r.Seek(r.U32());
    std::map<std::uint16_t, Field> fields;
    const std::uint16_t n = r.U16();
    std::uint16_t last = 0;
    for (int i = 0; i < n; ++i) {
        std::uint16_t tag = r.U16();
        EXPECT_GT(tag, last);
        last = tag;
        Field f{r.U16(), r.U32(), r.U32()};
        fields[tag] = f;
    }
    EXPECT_EQ(r.U32(), 0u);
    EXPECT_EQ(r.Pos(), tiff.size());  // the directory ends the file
    return fields;
}

TBytes tiffOf(const TRaster& r) {
    TByteWriter w;
    WriteTIFF(w, r);
    return w.Take();
}

std::string textAt(const TBytes& b, std::size_t at, std::size_t n) { return std::string(b.begin() + long(at), b.begin() + long(at + n)); }

TRaster blackAndWhite(int w, int h, bool whiteFirst) {
    TRaster r(w, h, PixelFormat::pf1bit);
    const TRgb black{0, 0, 0}, white{255, 255, 255};
    r.SetPalette(whiteFirst ? std::vector<TRgb>{white, black} : std::vector<TRgb>{black, white});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool isWhite = (x * 7 + y * 3) % 5 < 2;
            r.SetIndexAt(x, y, std::uint8_t(isWhite == whiteFirst ? 0 : 1));
        }
    return r;
}


}  // namespace

// The Software text ends in a NUL its count includes, and every value and the directory
// begin on a word boundary, so the pixels start two bytes further than ten characters
// without a NUL would put them.
TEST(TiffLayout, RgbPictureOf50x50IsThe7728ByteLayoutForBoth24And32Bits) {
    TRaster r = samplePicture(50, 50, PixelFormat::pf24bit, 5);
    const TBytes tiff = tiffOf(r);
    ASSERT_EQ(tiff.size(), 7728u);
    EXPECT_EQ(tiff[4] | tiff[5] << 8 | tiff[6] << 16 | tiff[7] << 24, 7542);
    auto d = directoryOf(tiff);
    ASSERT_EQ(d.size(), 15u);
    EXPECT_EQ(d[256].value, 50u);
    EXPECT_EQ(d[257].value, 50u);
    EXPECT_EQ(d[258].count, 3u);
    EXPECT_EQ(d[258].value, 24u);
    EXPECT_EQ(d[262].value, 2u);
    EXPECT_EQ(d[273].value, 42u);
    EXPECT_EQ(d[279].value, 7500u);
    EXPECT_EQ(d[282].value, 8u);
    EXPECT_EQ(d[283].value, 16u);
    EXPECT_EQ(d[284].value, 1u);
    EXPECT_EQ(d[305].type, 2);
    EXPECT_EQ(d[305].count, 11u);
    EXPECT_EQ(d[305].value, 30u);
    EXPECT_EQ(textAt(tiff, d[305].value, 11), std::string("Tavorn lab", 11));
    const TBytes rational = {0x6D, 0x03, 0, 0, 10, 0, 0, 0};  // 877 / 10
    EXPECT_EQ(TBytes(tiff.begin() + 8, tiff.begin() + 16), rational);
    EXPECT_EQ(TBytes(tiff.begin() + 16, tiff.begin() + 24), rational);
    const TBytes rgb = rgbBytes(r);
    EXPECT_EQ(TBytes(tiff.begin() + 42, tiff.begin() + 7542), rgb);  // top row first, red first

    TRaster withAlpha = samplePicture(50, 50, PixelFormat::pf32bit, 5);  // same colours, random alpha
    EXPECT_EQ(tiffOf(withAlpha), tiffOf(r.ToArgb32()));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) ASSERT_EQ(rgbOf(withAlpha.Pixel(x, y)), rgbOf(r.Pixel(x, y)));
}

TEST(TiffLayout, FourBitPictureKeepsItsFullWidthAndPaletteLayoutOffsets) {
    TRaster r = samplePicture(18, 18, PixelFormat::pf4bit, 9);
    const TBytes tiff = tiffOf(r);
    auto d = directoryOf(tiff);
    ASSERT_EQ(d.size(), 15u);
    EXPECT_EQ(d[256].value, 18u);
    EXPECT_EQ(d[258].value, 4u);
    EXPECT_EQ(d[262].value, 3u);
    EXPECT_EQ(d[320].count, 48u);
    EXPECT_EQ(d[320].value, 8u);
    EXPECT_EQ(d[282].value, 8u + 96u);
    EXPECT_EQ(d[283].value, 16u + 96u);
    EXPECT_EQ(d[305].value, 24u + 96u);
    EXPECT_EQ(textAt(tiff, 24 + 96, 11), std::string("Tavorn lab", 11));
    EXPECT_EQ(d[273].value, 132u);
    EXPECT_EQ(d[279].value, 9u * 18u);  // (18 + 1) / 2 bytes a row
    // Colour map: all reds, then greens, then blues; 255 is full scale.
    for (int i = 0; i < 16; ++i) {
        const TRgb c = r.Palette()[std::size_t(i)];
        EXPECT_EQ(tiff[8 + 2 * i] | tiff[9 + 2 * i] << 8, c.r * 257);
        EXPECT_EQ(tiff[40 + 2 * i] | tiff[41 + 2 * i] << 8, c.g * 257);
        EXPECT_EQ(tiff[72 + 2 * i] | tiff[73 + 2 * i] << 8, c.b * 257);
    }
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            std::uint8_t byte = tiff[132 + std::size_t(y) * 9 + std::size_t(x / 2)];
            ASSERT_EQ(x % 2 ? byte & 15 : byte >> 4, r.IndexAt(x, y)) << x << "," << y;
        }
}

TEST(TiffLayout, BilevelPictureIsTheSameWhicheverPaletteEntryIsWhite) {
    for (int w : {1, 8, 13}) {
        const TBytes blackFirst = tiffOf(blackAndWhite(w, 5, false));
        const TBytes whiteFirst = tiffOf(blackAndWhite(w, 5, true));
        EXPECT_EQ(whiteFirst, blackFirst) << w;
        auto d = directoryOf(blackFirst);
        ASSERT_EQ(d.size(), 14u);
        EXPECT_EQ(d[262].value, 1u);  // black is zero
        EXPECT_EQ(d[273].value, 8u);
        const std::uint32_t rowBytes = std::uint32_t(w + 7) / 8;
        EXPECT_EQ(d[279].value, rowBytes * 5);
        EXPECT_EQ(d[282].value, (8 + rowBytes * 5 + 1) / 2 * 2);  // on a word boundary
        EXPECT_EQ(textAt(blackFirst, d[305].value, 11), std::string("Tavorn lab", 11));
        for (std::uint16_t tag : {282, 283, 305}) EXPECT_EQ(d[tag].value % 2, 0u) << "tag " << tag;
        EXPECT_EQ((blackFirst[4] | blackFirst[5] << 8) % 2, 0) << "the directory starts on a word boundary";
    }
    // First row of the 13-wide picture: pixel x is white when (7x) % 5 < 2.
    const TBytes t = tiffOf(blackAndWhite(13, 5, true));
    for (int x = 0; x < 13; ++x) EXPECT_EQ((t[8 + std::size_t(x / 8)] >> (7 - x % 8)) & 1, (x * 7) % 5 < 2 ? 1 : 0) << x;
}

TEST(TiffLayout, TwoColourPaletteThatIsNotBlackAndWhiteKeepsItsColours) {
    TRaster r = samplePicture(9, 4, PixelFormat::pf1bit, 3);
    auto d = directoryOf(tiffOf(r));
    EXPECT_EQ(d[262].value, 2u);
    EXPECT_EQ(d[277].value, 3u);
}

TEST(TiffLayout, SizesBeyondAShortAreWrittenAsLongs) {
    auto d = directoryOf(tiffOf(blackAndWhite(70000, 2, false)));
    EXPECT_EQ(d[256].type, 4);
    EXPECT_EQ(d[256].value, 70000u);
    EXPECT_EQ(d[257].type, 3);
    EXPECT_EQ(d[279].value, 2u * 8750u);
}

TEST(TiffFromDib, RowsAreFoundByComputedStridesWhateverTheHeaderClaims) {
    TRaster r = samplePicture(13, 7, PixelFormat::pf8bit, 4);
    TBytes dib = encodeDib(r);
    const TBytes expected = tiffOf(r);
    for (std::uint32_t claimed : {0u, 1u, 0x7FFFFFFFu}) {
        TBytes lying = dib;
        for (int i = 0; i < 4; ++i) lying[20 + std::size_t(i)] = std::uint8_t(claimed >> (8 * i));
        EXPECT_EQ(encodeTiffFromDib(TMemorySource(lying)), expected) << claimed;
    }
    dib.pop_back();
    EXPECT_THROW(encodeTiffFromDib(TMemorySource(dib)), EReadError);
}

TEST(TiffFromDib, DepthsWithoutTheirOwnLayoutAreWrittenAsRgb) {
    // 3 x 2, 16-bit 5-5-5, bottom-up: rows of 6 bytes padded to 8.
    TBytes d = {40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 16, 0};
    d.resize(40, 0);
    for (std::uint16_t v : {0x7C00, 0x03E0, 0x001F, 0, 0x7FFF, 0x0000, 0x0000, 0x7C1F})
        d.insert(d.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    const TBytes tiff = encodeTiffFromDib(TMemorySource(d));
    auto f = directoryOf(tiff);
    EXPECT_EQ(f[262].value, 2u);
    const TBytes rows = {255, 255, 255, 0, 0, 0, 0, 0, 0,   // top row: white, black, black (magenta padding dropped)
                        255, 0, 0, 0, 255, 0, 0, 0, 255};  // bottom row: red, green, blue
    EXPECT_EQ(TBytes(tiff.begin() + 42, tiff.begin() + 60), rows);
}

TEST(TiffFiles, EmptyOrMissingBitmapWritesNothing) {
    const gstest::TempDir scratch("gs-export-tiff-empty-");
    const std::filesystem::path& dir = scratch.path;
    TByteWriter w;
    WriteTIFF(w, TRaster());
    EXPECT_TRUE(w.Empty());
    SaveBitmapAsTIFF(nullptr, dir / "a.tif");
    TRaster empty;
    SaveBitmapAsTIFF(&empty, dir / "b.tif");
    SaveTIFFToFile(dir / "c.tif", empty);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

// The oracles: libtiff's checker and ImageMagick's decoder see the picture's own pixels.
TEST(TiffFiles, IndependentReadersSeeTheBitmapsPixelsAtEveryDepth) {
    if (!haveTool("/usr/bin/tiffinfo") || !haveTool("/usr/bin/convert")) GTEST_SKIP() << "tiffinfo or convert missing";
    const gstest::TempDir scratch("gs-export-tiff-oracles-");
    const std::filesystem::path& dir = scratch.path;
    struct Case {
        TRaster r;
        const char* name;
    } cases[] = {{blackAndWhite(13, 9, true), "bilevel"},
                 {samplePicture(13, 9, PixelFormat::pf1bit, 1), "two-colour"},
                 {samplePicture(17, 9, PixelFormat::pf4bit, 2), "4bit"},
                 {samplePicture(31, 7, PixelFormat::pf8bit, 3), "8bit"},
                 {samplePicture(33, 5, PixelFormat::pf24bit, 4), "24bit"},
                 {samplePicture(1, 1, PixelFormat::pf32bit, 5), "32bit"}};
    for (const Case& c : cases) {
        auto file = dir / (std::string(c.name) + ".tif");
        SaveBitmapAsTIFF(&c.r, file);
        ToolRun info = runTool("/usr/bin/tiffinfo " + quoted(file));
        EXPECT_EQ(info.status, 0) << c.name << info.err;
        // Not a warning: every ASCII value ends in its NUL.
        EXPECT_EQ(info.err, "") << c.name;
        EXPECT_NE(info.out.find("Tavorn lab"), std::string::npos) << c.name;
        ToolRun pixels = runTool("/usr/bin/convert " + quoted(file) + " -depth 8 rgb:-");
        ASSERT_EQ(pixels.status, 0) << c.name << pixels.err;
        const TBytes expected = rgbBytes(c.r);
        EXPECT_EQ(TBytes(pixels.out.begin(), pixels.out.end()), expected) << c.name;
    }
}
