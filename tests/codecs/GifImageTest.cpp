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

using gs::TBytes;
using gs::TRaster;
using gs::TRgb;

using gstest::errorOf;

TRaster randomTrueColour(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    TRaster r(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) r.SetPixel(x, y, gs::makeArgb(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
    return r;
}

TBytes exportDefault(const TRaster& bitmap) {
    gs::TGIFImage gif;
    gif.SetWidth(bitmap.Width());
    gif.SetHeight(bitmap.Height());
    gif.Assign(bitmap);
    return gif.SaveToBytes();
}

TEST(GifImage, NewImageIsEmptyAndCannotBeSaved) {
    gs::TGIFImage gif;
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(gif.ImageVersion(), 0);
    EXPECT_EQ(errorOf([&] { gif.SaveToBytes(); }), "Unsupported GIF version");
}

TEST(GifImage, EmptyBitmapGivesTheFourteenByteFile) {
    EXPECT_EQ(exportDefault(TRaster()),
              (TBytes{'G', 'I', 'F', '8', '7', 'a', 0, 0, 0, 0, 0x77, 0, 0, 0x3B}));
}

TEST(GifImage, OpaqueTrueColourExportIsTheCubeLookupPerPixel) {
    TRaster bitmap = randomTrueColour(37, 23, 1);
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
        TRgb c{std::uint8_t(i / 36 * 51), std::uint8_t(i / 6 % 6 * 51), std::uint8_t(i % 6 * 51)};
        EXPECT_EQ(f.localTable[std::size_t(i)], c) << i;
    }
    for (int i = 216; i < 256; ++i) EXPECT_EQ(f.localTable[std::size_t(i)], TRgb{}) << i;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            TRgb p = gs::rgbOf(bitmap.Pixel(x, y)), chosen;
            EXPECT_EQ(f.indices[std::size_t(y * 37 + x)], cube.MatchColor(p.r, p.g, p.b, chosen));
        }
}

TEST(GifImage, SameBitmapTwiceGivesTheSameBytes) {
    TRaster bitmap = randomTrueColour(64, 40, 2);
    EXPECT_EQ(exportDefault(bitmap), exportDefault(bitmap));
    bitmap.SetTransparent(true);
    EXPECT_EQ(exportDefault(bitmap), exportDefault(bitmap));
}

TEST(GifImage, TransparentBitmapGetsAnEntryAndAControlExtension) {
    TRaster bitmap(4, 3);
    bitmap.Fill(gs::makeArgb(255, 0, 0));
    bitmap.SetPixel(0, 2, gs::makeArgb(0, 0, 255));  // bottom-left: the transparent colour
    bitmap.SetPixel(3, 0, gs::makeArgb(0, 0, 255));
    bitmap.SetPixel(1, 1, gs::makeArgb(0, 255, 0));
    bitmap.SetTransparent(true);
    TBytes bytes = exportDefault(bitmap);
    gstest::DecodedGif gif = gstest::decodeGif(bytes);
    EXPECT_EQ(gif.version, "GIF89a");
    const auto& f = gif.frames.at(0);
    EXPECT_TRUE(f.hasControl);
    EXPECT_EQ(f.packed & 0xA0, 0x80) << "local table, no longer sorted once the transparent entry is appended";
    // Sorted by use: red 8 pixels, blue 2, green 1; then the transparent entry.
    EXPECT_EQ(f.localTable[0], (TRgb{255, 0, 0}));
    EXPECT_EQ(f.localTable[1], (TRgb{0, 0, 255}));
    EXPECT_EQ(f.localTable[2], (TRgb{0, 255, 0}));
    EXPECT_EQ(f.localTable[3], (TRgb{0, 0, 255}));
    EXPECT_EQ(f.transparentIndex, 3);
    EXPECT_EQ(f.indices, (std::vector<std::uint8_t>{0, 0, 0, 3, 0, 2, 0, 0, 3, 0, 0, 0}));
    const TBytes control{0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2C};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), control.begin(), control.end()), bytes.end())
        << "the extension stands right in front of the image descriptor";
}

TEST(GifImage, TransparentBitmapUsingAll256EntriesStaysOpaque) {
    TRaster bitmap(256, 1, gs::PixelFormat::pf8bit);
    std::vector<TRgb> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[std::size_t(i)] = TRgb{std::uint8_t(i), 0, 0};
        bitmap.SetIndexAt(i, 0, std::uint8_t(i));
    }
    bitmap.SetPalette(palette);
    bitmap.SetTransparent(true);
    gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
    EXPECT_FALSE(gif.frames.at(0).hasControl);
    EXPECT_EQ(gif.frames[0].localTable.size(), 256u);
}

TEST(GifImage, IndexedBitmapsKeepIndicesAndPalette) {
    for (auto pf : {gs::PixelFormat::pf1bit, gs::PixelFormat::pf4bit, gs::PixelFormat::pf8bit}) {
        int colours = 1 << gs::bitCountOf(pf);
        TRaster bitmap(9, 5, pf);
        std::vector<TRgb> palette;
        for (int i = 0; i < colours; ++i) palette.push_back(TRgb{std::uint8_t(i), std::uint8_t(255 - i), 7});
        bitmap.SetPalette(palette);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) bitmap.SetIndexAt(x, y, std::uint8_t((x * 7 + y * 3) % colours));
        gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
        const auto& f = gif.frames.at(0);
        EXPECT_EQ(gif.version, "GIF87a");
        EXPECT_EQ(f.localTable, palette);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) EXPECT_EQ(f.indices[std::size_t(y * 9 + x)], bitmap.IndexAt(x, y));
    }
}

TEST(GifImage, IndicesBeyondThePaletteGetBlackEntries) {
    TRaster bitmap(3, 1, gs::PixelFormat::pf8bit);
    bitmap.SetPalette({TRgb{1, 2, 3}, TRgb{4, 5, 6}});
    bitmap.SetIndexAt(1, 0, 1);
    bitmap.SetIndexAt(2, 0, 4);
    gstest::DecodedGif gif = gstest::decodeGif(exportDefault(bitmap));
    const auto& f = gif.frames.at(0);
    ASSERT_EQ(f.localTable.size(), 8u);
    EXPECT_EQ(f.localTable[1], (TRgb{4, 5, 6}));
    EXPECT_EQ(f.localTable[4], TRgb{});
    EXPECT_EQ(f.indices, (std::vector<std::uint8_t>{0, 1, 4}));
}

TEST(GifImage, OneColourTableIsWrittenAsTwoEntriesWithCodeSizeTwo) {
    TRaster bitmap(5, 2, gs::PixelFormat::pf8bit);
    bitmap.SetPalette({TRgb{9, 8, 7}});
    TBytes b = exportDefault(bitmap);
    gstest::DecodedGif gif = gstest::decodeGif(b);
    const auto& f = gif.frames.at(0);
    EXPECT_EQ(f.packed, 0x80);
    EXPECT_EQ(f.localTable, (std::vector<TRgb>{TRgb{9, 8, 7}, TRgb{}}));
    EXPECT_EQ(f.minCodeSize, 2);
    EXPECT_EQ(gif.packed, 0x00) << "no global table, resolution and size of one bit";
}

TEST(GifImage, NoReductionKeepsUpTo256ColoursExactly) {
    TRaster bitmap(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) bitmap.SetPixel(x, y, gs::makeArgb(std::uint8_t((x * 20 + y) % 256), 3, 9));
    gs::TGIFImage gif;
    gif.SetColorReduction(gs::TColorReduction::rdNone);
    gif.Assign(bitmap);
    gstest::DecodedGif d = gstest::decodeGif(gif.SaveToBytes());
    const auto& f = d.frames.at(0);
    for (int i = 0; i < 400; ++i) EXPECT_EQ(f.localTable[f.indices[std::size_t(i)]], gs::rgbOf(bitmap.Pixel(i % 20, i / 20)));
    bitmap.SetPixel(0, 0, gs::makeArgb(1, 1, 1));  // a 257th colour
    EXPECT_EQ(errorOf([&] { gif.Assign(bitmap); }), "Color table overflow");
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(gif.Width(), 0) << "a failed assignment leaves no screen behind";
}

TEST(GifImage, ReductionLeavesTheCallersBitmapAlone) {
    for (int method = 0; method <= 8; ++method) {
        TRaster bitmap = method == 0 ? TRaster(16, 16) : randomTrueColour(16, 16, 3);
        bitmap.SetTransparent(true);
        const TRaster before = bitmap;
        gs::TGIFImage gif;
        gif.SetColorReduction(gs::TColorReduction(method));
        gif.SetDitherMode(gs::TDitherMode::dtFloydSteinberg);
        gif.Assign(bitmap);
        EXPECT_EQ(bitmap, before) << method;
        EXPECT_EQ(bitmap.Format(), gs::PixelFormat::pf32bit);
    }
}

TEST(GifImage, InvalidSettingsAreRefusedAtOnce) {
    gs::TGIFImage gif;
    EXPECT_EQ(errorOf([&] { gif.SetColorReduction(gs::TColorReduction(10)); }), "Invalid reduction method");
    EXPECT_EQ(errorOf([&] { gif.SetDitherMode(gs::TDitherMode(7)); }), "Invalid dither mode");
    EXPECT_EQ(errorOf([&] { gif.SetReductionBits(0); }), "Invalid reduction bit count");
    EXPECT_EQ(errorOf([&] { gif.SetReductionBits(9); }), "Invalid reduction bit count");
    EXPECT_EQ(gif.ColorReduction(), gs::TColorReduction::rdWebCube);
    EXPECT_EQ(gif.DitherMode(), gs::TDitherMode::dtNone);
    EXPECT_EQ(gif.ReductionBits(), 8);
}

TEST(GifImage, ScreenSizeFollowsTheFrames) {
    gs::TGIFImage gif;
    gif.SetWidth(500);
    gif.SetHeight(500);
    gif.Assign(TRaster(30, 20));
    EXPECT_EQ(gif.Width(), 30) << "size set before the assignment does not survive";
    EXPECT_EQ(gif.Height(), 20);
    EXPECT_EQ(errorOf([&] { gif.SetWidth(29); }), "Image width too small for contained frames");
    EXPECT_EQ(errorOf([&] { gif.SetHeight(19); }), "Image height too small for contained frames");
    gif.SetWidth(30);
    gif.SetWidth(40);
    EXPECT_EQ(gif.Width(), 40);

    std::vector<std::string> warnings;
    gif.SetOnWarn([&](const void*, int, const std::string& m) { warnings.push_back(m); });
    gif.Frame(0).SetBounds(35, 0, 10, 25);
    EXPECT_EQ(gif.Width(), 45);
    EXPECT_EQ(gif.Height(), 25);
    EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                  "Image height too small for contained frames",
                                                  "Image exceeds Logical Screen size"}));
}

TEST(GifImage, FrameBoundsBeyond65535AreRefused) {
    gs::TGIFImage gif;
    auto frame = std::make_unique<gs::TGIFSubImage>(gif);
    EXPECT_EQ(errorOf([&] { frame->SetBounds(65000, 0, 536, 1); }), "Image exceeds Logical Screen size");
    EXPECT_EQ(errorOf([&] { frame->SetBounds(0, 1, 1, 65535); }), "Image exceeds Logical Screen size");
    frame->SetBounds(0, 0, 65535, 1);
    EXPECT_EQ(gif.Width(), 65535);
    EXPECT_EQ(errorOf([&] { gif.Assign(TRaster(65536, 1, gs::PixelFormat::pf8bit)); }), "Image exceeds Logical Screen size");
    EXPECT_EQ(errorOf([&] { gif.SetWidth(70000); }), "Image exceeds Logical Screen size");
}

TEST(GifImage, FramesOfAnotherImageAreNotTaken) {
    gs::TGIFImage a, b;
    EXPECT_EQ(errorOf([&] { a.AddFrame(std::make_unique<gs::TGIFSubImage>(b)); }), "Object type not supported for operation");
    EXPECT_EQ(errorOf([&] { a.AddFrame(std::unique_ptr<gs::TGIFSubImage>()); }), "Object type not supported for operation");
    EXPECT_EQ(a.AddFrame(TRaster(2, 2, gs::PixelFormat::pf4bit)), 0);
    EXPECT_EQ(a.AddFrame(TRaster(3, 1, gs::PixelFormat::pf4bit)), 1);
    EXPECT_EQ(a.Width(), 3);
    EXPECT_EQ(a.Height(), 2);
}

TEST(GifImage, PixelAccessIsBoundsChecked) {
    gs::TGIFImage gif;
    gif.Assign(TRaster(3, 2, gs::PixelFormat::pf8bit));
    auto& f = gif.Frame(0);
    f.PixelAt(2, 1) = 1;
    EXPECT_EQ(f.PixelRow(1)[2], 1);
    EXPECT_EQ(errorOf([&] { f.PixelAt(3, 0); }), "Invalid pixel coordinates");
    EXPECT_EQ(errorOf([&] { f.PixelRow(2); }), "Invalid pixel coordinates");
    EXPECT_EQ(errorOf([&] { f.PixelAt(0, -1); }), "Invalid pixel coordinates");
}

TEST(GifImage, CopyKeepsTheDestinationsHandlers) {
    gs::TGIFImage source, dest;
    int sourceWarnings = 0, destWarnings = 0, destProgress = 0;
    std::vector<int> sourceCopying;
    source.SetOnWarn([&](const void*, int, const std::string&) { ++sourceWarnings; });
    source.SetOnProgress([&](gs::TProgressStage, int percent, const std::string& m) {
        if (m == "Copying...") sourceCopying.push_back(percent);
    });
    dest.SetOnWarn([&](const void*, int, const std::string&) { ++destWarnings; });
    dest.SetOnProgress([&](gs::TProgressStage, int, const std::string&) { ++destProgress; });
    source.SetDitherMode(gs::TDitherMode::dtBurkes);
    source.SetReductionBits(3);
    source.Assign(randomTrueColour(5, 4, 4));
    dest.Assign(source);
    EXPECT_TRUE(dest.OnWarn() && dest.OnProgress());
    EXPECT_TRUE(source.OnWarn() && source.OnProgress());
    // The copy reports through the source's handlers: start, one step a frame, end.
    EXPECT_EQ(sourceCopying, (std::vector<int>{0, 100, 100}));
    EXPECT_EQ(destProgress, 0);
    dest.GlobalColorMap().AppendColor(TRgb{});
    dest.GlobalColorMap().ColorAt(9);
    EXPECT_EQ(destWarnings, 1);
    EXPECT_EQ(sourceWarnings, 0);
    EXPECT_EQ(dest.DitherMode(), gs::TDitherMode::dtBurkes);
    EXPECT_EQ(dest.ReductionBits(), 8) << "reduction bits are not copied";
    dest.GlobalColorMap().Reset();
    EXPECT_EQ(dest.SaveToBytes(), source.SaveToBytes());
}

TEST(GifImage, ExtensionsAreWrittenBeforeTheDescriptorAndMake89a) {
    gs::TGIFImage gif;
    gif.Assign(TRaster(1, 1, gs::PixelFormat::pf1bit));
    auto& f = gif.Frame(0);
    auto loop = std::make_unique<gs::TGIFAppExtNSLoop>(&f);
    loop->loops = 3;
    f.AddExtension(std::move(loop));
    auto comment = std::make_unique<gs::TGIFCommentExtension>(&f);
    comment->lines = {"hi", "", std::string(300, 'x')};
    f.AddExtension(std::move(comment));
    TBytes b = gif.SaveToBytes();
    EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
    std::size_t at = 13;
    const TBytes loopBytes{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 3, 0, 0};
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
    gif.Assign(randomTrueColour(8, 8, 5));
    gif.SaveToFile(dir / "a.gif");
    EXPECT_EQ(gs::readWholeFile(dir / "a.gif"), gif.SaveToBytes());
    gs::TGIFImage empty;
    EXPECT_THROW(empty.SaveToFile(dir / "a.gif"), gs::GIFException);
    EXPECT_EQ(gs::readWholeFile(dir / "a.gif"), gif.SaveToBytes()) << "a failed save keeps the old file";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST(GifImage, ProgressEndsAtZeroWhenSavingFails) {
    gs::TGIFImage gif;
    std::vector<std::pair<gs::TProgressStage, int>> steps;
    gif.SetOnProgress([&](gs::TProgressStage s, int p, const std::string& m) {
        if (m == "Saving...") steps.emplace_back(s, p);
    });
    EXPECT_THROW(gif.SaveToBytes(), gs::GIFException);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1], std::make_pair(gs::TProgressStage::psEnding, 0));
}

}  // namespace
