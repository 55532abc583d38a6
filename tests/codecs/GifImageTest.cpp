// The image model and the stream written from pictures.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"

#include <filesystem>
#include <random>

#include <unistd.h>

#include "GifTestDecoder.h"
#include "codecs/ColorLookup.h"
#include "codecs/GifImage.h"
#include "support/TempDir.h"

namespace {

using gs::Bytes;
using gs::Raster;
using gs::Rgb;

using gstest::errorOf;

Raster randomTrueColour(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    Raster r(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) r.setPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
    return r;
}

Bytes exportDefault(const Raster& bitmap) {
    gs::TGIFImage gif;
    gif.setWidth(bitmap.width());
    gif.setHeight(bitmap.height());
    gif.assign(bitmap);
    return gif.saveToBytes();
}

TEST(GifImage, NewImageIsEmptyAndCannotBeSaved) {
    gs::TGIFImage gif;
    EXPECT_TRUE(gif.empty());
    EXPECT_EQ(gif.imageVersion(), 0);
    EXPECT_EQ(errorOf([&] { gif.saveToBytes(); }), "Unsupported GIF version");
}

TEST(GifImage, EmptyBitmapGivesTheFourteenByteFile) {
    EXPECT_EQ(exportDefault(Raster()),
              (Bytes{'G', 'I', 'F', '8', '7', 'a', 0, 0, 0, 0, 0x77, 0, 0, 0x3B}));
}

TEST(GifImage, OpaqueTrueColourExportIsTheCubeLookupPerPixel) {
    Raster bitmap = randomTrueColour(37, 23, 1);
    gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
    EXPECT_EQ(gif.version, "GIF87a");
    EXPECT_EQ(gif.width, 37);
    EXPECT_EQ(gif.height, 23);
    ASSERT_EQ(gif.frames.size(), 1u);
    const auto& f = gif.frames[0];
    EXPECT_EQ(f.minCodeSize, 8);
    EXPECT_FALSE(f.hasControl);
    ASSERT_EQ(f.localTable.size(), 256u);
    gs::TNetscapeColorLookup cube;
    for (int i = 0; i < 216; ++i) {
        Rgb c{std::uint8_t(i / 36 * 51), std::uint8_t(i / 6 % 6 * 51), std::uint8_t(i % 6 * 51)};
        EXPECT_EQ(f.localTable[std::size_t(i)], c) << i;
    }
    for (int i = 216; i < 256; ++i) EXPECT_EQ(f.localTable[std::size_t(i)], Rgb{}) << i;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            Rgb p = gs::rgbOf(bitmap.pixel(x, y)), chosen;
            EXPECT_EQ(f.indices[std::size_t(y * 37 + x)], cube.matchColor(p.r, p.g, p.b, chosen));
        }
}

TEST(GifImage, SameBitmapTwiceGivesTheSameBytes) {
    Raster bitmap = randomTrueColour(64, 40, 2);
    EXPECT_EQ(exportDefault(bitmap), exportDefault(bitmap));
    bitmap.setTransparent(true);
    EXPECT_EQ(exportDefault(bitmap), exportDefault(bitmap));
}

TEST(GifImage, TransparentBitmapGetsAnEntryAndAControlExtension) {
    Raster bitmap(4, 3);
    bitmap.fill(gs::makeArgb(255, 0, 0));
    bitmap.setPixel(0, 2, gs::makeArgb(0, 0, 255));  // bottom-left: the transparent colour
    bitmap.setPixel(3, 0, gs::makeArgb(0, 0, 255));
    bitmap.setPixel(1, 1, gs::makeArgb(0, 255, 0));
    bitmap.setTransparent(true);
    Bytes bytes = exportDefault(bitmap);
    gstest::DecodedGif gif = gstest::decodeGif(bytes);
    EXPECT_EQ(gif.version, "GIF89a");
    const auto& f = gif.frames.at(0);
    EXPECT_TRUE(f.hasControl);
    EXPECT_EQ(f.packed & 0xA0, 0x80) << "local table, no longer sorted once the transparent entry is appended";
    // Sorted by use: red 8 pixels, blue 2, green 1; then the transparent entry.
    EXPECT_EQ(f.localTable[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(f.localTable[1], (Rgb{0, 0, 255}));
    EXPECT_EQ(f.localTable[2], (Rgb{0, 255, 0}));
    EXPECT_EQ(f.localTable[3], (Rgb{0, 0, 255}));
    EXPECT_EQ(f.transparentIndex, 3);
    EXPECT_EQ(f.indices, (std::vector<std::uint8_t>{0, 0, 0, 3, 0, 2, 0, 0, 3, 0, 0, 0}));
    const Bytes control{0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2C};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), control.begin(), control.end()), bytes.end())
        << "the extension stands right in front of the image descriptor";
}

TEST(GifImage, TransparentBitmapUsingAll256EntriesStaysOpaque) {
    Raster bitmap(256, 1, gs::PixelFormat::pf8bit);
    std::vector<Rgb> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[std::size_t(i)] = Rgb{std::uint8_t(i), 0, 0};
        bitmap.setIndexAt(i, 0, std::uint8_t(i));
    }
    bitmap.setPalette(palette);
    bitmap.setTransparent(true);
    gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
    EXPECT_FALSE(gif.frames.at(0).hasControl);
    EXPECT_EQ(gif.frames[0].localTable.size(), 256u);
}

TEST(GifImage, IndexedBitmapsKeepIndicesAndPalette) {
    for (auto pf : {gs::PixelFormat::pf1bit, gs::PixelFormat::pf4bit, gs::PixelFormat::pf8bit}) {
        int colours = 1 << gs::bitCountOf(pf);
        Raster bitmap(9, 5, pf);
        std::vector<Rgb> palette;
        for (int i = 0; i < colours; ++i) palette.push_back(Rgb{std::uint8_t(i), std::uint8_t(255 - i), 7});
        bitmap.setPalette(palette);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) bitmap.setIndexAt(x, y, std::uint8_t((x * 7 + y * 3) % colours));
        gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
        const auto& f = gif.frames.at(0);
        EXPECT_EQ(gif.version, "GIF87a");
        EXPECT_EQ(f.localTable, palette);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) EXPECT_EQ(f.indices[std::size_t(y * 9 + x)], bitmap.indexAt(x, y));
    }
}

TEST(GifImage, IndicesBeyondThePaletteGetBlackEntries) {
    Raster bitmap(3, 1, gs::PixelFormat::pf8bit);
    bitmap.setPalette({Rgb{1, 2, 3}, Rgb{4, 5, 6}});
    bitmap.setIndexAt(1, 0, 1);
    bitmap.setIndexAt(2, 0, 4);
    gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
    const auto& f = gif.frames.at(0);
    ASSERT_EQ(f.localTable.size(), 8u);
    EXPECT_EQ(f.localTable[1], (Rgb{4, 5, 6}));
    EXPECT_EQ(f.localTable[4], Rgb{});
    EXPECT_EQ(f.indices, (std::vector<std::uint8_t>{0, 1, 4}));
}

TEST(GifImage, OneColourTableIsWrittenAsTwoEntriesWithCodeSizeTwo) {
    Raster bitmap(5, 2, gs::PixelFormat::pf8bit);
    bitmap.setPalette({Rgb{9, 8, 7}});
    Bytes b = exportDefault(bitmap);
    gstest::DecodedGif gif = gstest::decodeGif(b);
    const auto& f = gif.frames.at(0);
    EXPECT_EQ(f.packed, 0x80);
    EXPECT_EQ(f.localTable, (std::vector<Rgb>{Rgb{9, 8, 7}, Rgb{}}));
    EXPECT_EQ(f.minCodeSize, 2);
    EXPECT_EQ(gif.packed, 0x00) << "no global table, resolution and size of one bit";
}

TEST(GifImage, NoReductionKeepsUpTo256ColoursExactly) {
    Raster bitmap(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) bitmap.setPixel(x, y, gs::makeArgb(std::uint8_t((x * 20 + y) % 256), 3, 9));
    gs::TGIFImage gif;
    gif.setColorReduction(gs::TColorReduction::rdNone);
    gif.assign(bitmap);
    gstest::DecodedGif d = gstest::decodeGif(gif.saveToBytes());
    const auto& f = d.frames.at(0);
    for (int i = 0; i < 400; ++i) EXPECT_EQ(f.localTable[f.indices[std::size_t(i)]], gs::rgbOf(bitmap.pixel(i % 20, i / 20)));
    bitmap.setPixel(0, 0, gs::makeArgb(1, 1, 1));  // a 257th colour
    EXPECT_EQ(errorOf([&] { gif.assign(bitmap); }), "Color table overflow");
    EXPECT_TRUE(gif.empty());
    EXPECT_EQ(gif.width(), 0) << "a failed assignment leaves no screen behind";
}

TEST(GifImage, ReductionLeavesTheCallersBitmapAlone) {
    for (int method = 0; method <= 8; ++method) {
        Raster bitmap = method == 0 ? Raster(16, 16) : randomTrueColour(16, 16, 3);
        bitmap.setTransparent(true);
        const Raster before = bitmap;
        gs::TGIFImage gif;
        gif.setColorReduction(gs::TColorReduction(method));
        gif.setDitherMode(gs::TDitherMode::dtFloydSteinberg);
        gif.assign(bitmap);
        EXPECT_EQ(bitmap, before) << method;
        EXPECT_EQ(bitmap.format(), gs::PixelFormat::pf32bit);
    }
}

TEST(GifImage, InvalidSettingsAreRefusedAtOnce) {
    gs::TGIFImage gif;
    EXPECT_EQ(errorOf([&] { gif.setColorReduction(gs::TColorReduction(10)); }), "Invalid reduction method");
    EXPECT_EQ(errorOf([&] { gif.setDitherMode(gs::TDitherMode(7)); }), "Invalid dither mode");
    EXPECT_EQ(errorOf([&] { gif.setReductionBits(0); }), "Invalid reduction bit count");
    EXPECT_EQ(errorOf([&] { gif.setReductionBits(9); }), "Invalid reduction bit count");
    EXPECT_EQ(gif.colorReduction(), gs::TColorReduction::rdWebCube);
    EXPECT_EQ(gif.ditherMode(), gs::TDitherMode::dtNone);
    EXPECT_EQ(gif.reductionBits(), 8);
}

TEST(GifImage, ScreenSizeFollowsTheFrames) {
    gs::TGIFImage gif;
    gif.setWidth(500);
    gif.setHeight(500);
    gif.assign(Raster(30, 20));
    EXPECT_EQ(gif.width(), 30) << "size set before the assignment does not survive";
    EXPECT_EQ(gif.height(), 20);
    EXPECT_EQ(errorOf([&] { gif.setWidth(29); }), "Image width too small for contained frames");
    EXPECT_EQ(errorOf([&] { gif.setHeight(19); }), "Image height too small for contained frames");
    gif.setWidth(30);
    gif.setWidth(40);
    EXPECT_EQ(gif.width(), 40);

    std::vector<std::string> warnings;
    gif.setOnWarn([&](const void*, int, const std::string& m) { warnings.push_back(m); });
    gif.frame(0).setBounds(35, 0, 10, 25);
    EXPECT_EQ(gif.width(), 45);
    EXPECT_EQ(gif.height(), 25);
    EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                  "Image height too small for contained frames",
                                                  "Image exceeds Logical Screen size"}));
}

TEST(GifImage, FrameBoundsBeyond65535AreRefused) {
    gs::TGIFImage gif;
    auto frame = std::make_unique<gs::TGIFSubImage>(gif);
    EXPECT_EQ(errorOf([&] { frame->setBounds(65000, 0, 536, 1); }), "Image exceeds Logical Screen size");
    EXPECT_EQ(errorOf([&] { frame->setBounds(0, 1, 1, 65535); }), "Image exceeds Logical Screen size");
    frame->setBounds(0, 0, 65535, 1);
    EXPECT_EQ(gif.width(), 65535);
    EXPECT_EQ(errorOf([&] { gif.assign(Raster(65536, 1, gs::PixelFormat::pf8bit)); }), "Image exceeds Logical Screen size");
    EXPECT_EQ(errorOf([&] { gif.setWidth(70000); }), "Image exceeds Logical Screen size");
}

TEST(GifImage, FramesOfAnotherImageAreNotTaken) {
    gs::TGIFImage a, b;
    EXPECT_EQ(errorOf([&] { a.addFrame(std::make_unique<gs::TGIFSubImage>(b)); }), "Object type not supported for operation");
    EXPECT_EQ(errorOf([&] { a.addFrame(std::unique_ptr<gs::TGIFSubImage>()); }), "Object type not supported for operation");
    EXPECT_EQ(a.addFrame(Raster(2, 2, gs::PixelFormat::pf4bit)), 0);
    EXPECT_EQ(a.addFrame(Raster(3, 1, gs::PixelFormat::pf4bit)), 1);
    EXPECT_EQ(a.width(), 3);
    EXPECT_EQ(a.height(), 2);
}

TEST(GifImage, PixelAccessIsBoundsChecked) {
    gs::TGIFImage gif;
    gif.assign(Raster(3, 2, gs::PixelFormat::pf8bit));
    auto& f = gif.frame(0);
    f.pixelAt(2, 1) = 1;
    EXPECT_EQ(f.pixelRow(1)[2], 1);
    EXPECT_EQ(errorOf([&] { f.pixelAt(3, 0); }), "Invalid pixel coordinates");
    EXPECT_EQ(errorOf([&] { f.pixelRow(2); }), "Invalid pixel coordinates");
    EXPECT_EQ(errorOf([&] { f.pixelAt(0, -1); }), "Invalid pixel coordinates");
}

TEST(GifImage, CopyKeepsTheDestinationsHandlers) {
    gs::TGIFImage source, dest;
    int sourceWarnings = 0, destWarnings = 0, destProgress = 0;
    std::vector<int> sourceCopying;
    source.setOnWarn([&](const void*, int, const std::string&) { ++sourceWarnings; });
    source.setOnProgress([&](gs::TProgressStage, int percent, const std::string& m) {
        if (m == "Copying...") sourceCopying.push_back(percent);
    });
    dest.setOnWarn([&](const void*, int, const std::string&) { ++destWarnings; });
    dest.setOnProgress([&](gs::TProgressStage, int, const std::string&) { ++destProgress; });
    source.setDitherMode(gs::TDitherMode::dtBurkes);
    source.setReductionBits(3);
    source.assign(randomTrueColour(5, 4, 4));
    dest.assign(source);
    EXPECT_TRUE(dest.onWarn() && dest.onProgress());
    EXPECT_TRUE(source.onWarn() && source.onProgress());
    // The copy reports through the source's handlers: start, one step a frame, end.
    EXPECT_EQ(sourceCopying, (std::vector<int>{0, 100, 100}));
    EXPECT_EQ(destProgress, 0);
    dest.globalColorMap().appendColor(Rgb{});
    dest.globalColorMap().colorAt(9);
    EXPECT_EQ(destWarnings, 1);
    EXPECT_EQ(sourceWarnings, 0);
    EXPECT_EQ(dest.ditherMode(), gs::TDitherMode::dtBurkes);
    EXPECT_EQ(dest.reductionBits(), 8) << "reduction bits are not copied";
    dest.globalColorMap().reset();
    EXPECT_EQ(dest.saveToBytes(), source.saveToBytes());
}

TEST(GifImage, ExtensionsAreWrittenBeforeTheDescriptorAndMake89a) {
    gs::TGIFImage gif;
    gif.assign(Raster(1, 1, gs::PixelFormat::pf1bit));
    auto& f = gif.frame(0);
    auto loop = std::make_unique<gs::TGIFAppExtNSLoop>(&f);
    loop->loops = 3;
    f.addExtension(std::move(loop));
    auto comment = std::make_unique<gs::TGIFCommentExtension>(&f);
    comment->lines = {"hi", "", std::string(300, 'x')};
    f.addExtension(std::move(comment));
    Bytes b = gif.saveToBytes();
    EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
    std::size_t at = 13;
    const Bytes loopBytes{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 3, 0, 0};
    EXPECT_TRUE(std::equal(loopBytes.begin(), loopBytes.end(), b.begin() + std::ptrdiff_t(at)));
    at += loopBytes.size();
    EXPECT_EQ(b[at], 0x21);
    EXPECT_EQ(b[at + 1], 0xFE);
    EXPECT_EQ(b[at + 2], 2);
    EXPECT_EQ(b[at + 5], 255);
    EXPECT_EQ(b[at + 5 + 256], 45);
    EXPECT_EQ(b[at + 5 + 256 + 46], 0);
    EXPECT_EQ(b[at + 5 + 256 + 47], 0x2C);
    EXPECT_NO_THROW(gstest::decodeGif(b));
}

TEST(GifImage, SaveToFileWritesTheStreamWhole) {
    const gstest::TempDir folder("gs-gif-");
    const std::filesystem::path& dir = folder.path;
    gs::TGIFImage gif;
    gif.assign(randomTrueColour(8, 8, 5));
    gif.saveToFile(dir / "a.gif");
    EXPECT_EQ(gs::readWholeFile(dir / "a.gif"), gif.saveToBytes());
    gs::TGIFImage empty;
    EXPECT_THROW(empty.saveToFile(dir / "a.gif"), gs::GIFException);
    EXPECT_EQ(gs::readWholeFile(dir / "a.gif"), gif.saveToBytes()) << "a failed save keeps the old file";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST(GifImage, ProgressEndsAtZeroWhenSavingFails) {
    gs::TGIFImage gif;
    std::vector<std::pair<gs::TProgressStage, int>> steps;
    gif.setOnProgress([&](gs::TProgressStage s, int p, const std::string& m) {
        if (m == "Saving...") steps.emplace_back(s, p);
    });
    EXPECT_THROW(gif.saveToBytes(), gs::GIFException);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1], std::make_pair(gs::TProgressStage::psEnding, 0));
}

}  // namespace
