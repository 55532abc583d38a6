// A GIF image taken as one picture: its palette in and out (the written table read back by
// giftext), identity, the rendered bitmap, frames made from icon files, the progress of
// rendering and optimising, and the stop that comes before every change.
#include <gtest/gtest.h>

#include <fstream>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "CodecTestSupport.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"
#include "codecs/ColorPalettes.h"
#include "codecs/GifFrameMaker.h"
#include "codecs/GifImage.h"
#include "codecs/GifOptimize.h"
#include "codecs/GifRender.h"
#include "codecs/Metafile.h"
#include "export/MetafileWriter.h"
#include "iconlib/Icon.h"
#include "iconlib/IconPicture.h"
#include "platform/Errors.h"

using namespace gs;
using gstest::addFrame;
using gstest::errorOf;
using gstest::fourColours;
using gstest::ProgressLog;

namespace {

// 6 x 4 in three colours; with `transparent`, the colour (0, 0, 255) is transparent.
TRaster threeColours(bool transparent) {
    TRaster r(6, 4, PixelFormat::pf24bit);
    const Argb colours[] = {makeArgb(200, 10, 10), makeArgb(10, 200, 10), makeArgb(0, 0, 255)};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) r.SetPixel(x, y, colours[(x + 2 * y) % 3]);
    if (transparent) {
        r.SetTransparent(true);
        r.SetTransparentColor(TRgb{0, 0, 255});
    }
    return r;
}

// giftext's lines "  i: rrh ggh bbh" of the global colour map, as colours.
std::vector<TRgb> globalTableByGiftext(const std::string& file) {
    std::vector<TRgb> table;
    FILE* pipe = popen(("/usr/bin/giftext -c '" + file + "' 2>&1").c_str(), "r");
    if (!pipe) return table;
    std::string text;
    char buf[4096];
    while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) text.append(buf, n);
    pclose(pipe);
    const std::size_t at = text.find("Global Color Map:");
    if (at == std::string::npos) return table;
    std::istringstream in(text.substr(at, text.find("\n\n", at) - at));
    std::string word;
    while (in >> word) {
        if (word.empty() || word.back() != ':' || word.find_first_not_of("0123456789:") != std::string::npos) continue;
        unsigned r = 0, g = 0, b = 0;
        std::string rs, green, bs;
        in >> rs >> green >> bs;
        std::sscanf(rs.c_str(), "%xh", &r);
        std::sscanf(green.c_str(), "%xh", &g);
        std::sscanf(bs.c_str(), "%xh", &b);
        table.push_back(TRgb{std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    }
    return table;
}

std::unique_ptr<TQBIcon> iconOf(const std::vector<gstest::ImageSpec>& images) {
    auto icon = std::make_unique<TQBIcon>();
    EXPECT_TRUE(icon->LoadFromSource(TMemorySource(gstest::makeIcoFile(images))));
    return icon;
}

}  // namespace

TEST(GifPicture, SetPaletteIsWhatGetPaletteGivesAndLeavesTheFileAsItWas) {
    gstest::TempDir dir;
    TGIFImage gif;
    fourColours(gif, 2, 2);
    addFrame(gif, 0, 0, 2, 2, {0, 1, 2, 2});
    gif.SaveToFile(dir / "before.gif");
    int changes = 0;
    gif.SetOnChange([&] { ++changes; });
    const std::vector<TRgb> palette{{0x12, 0x34, 0x56}, {0xFE, 0xDC, 0xBA}, {0, 0x80, 0xFF}};
    gif.SetPalette(palette);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(gif.PaletteModified()) << "no rendered bitmap to drop";
    EXPECT_EQ(gif.GetPalette(), palette);
    gif.RenderedBitmap();
    gif.SetPalette(std::vector<TRgb>{{1, 1, 1}});
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(gif.PaletteModified());
    gif.SetPalette(std::vector<TRgb>{{1, 1, 1}});  // the palette already
    EXPECT_EQ(changes, 2);

    gif.SaveToFile(dir / "after.gif");
    const auto bytesOf = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(bytesOf(dir / "after.gif"), bytesOf(dir / "before.gif"));
    if (access("/usr/bin/giftext", X_OK) == 0) {
        EXPECT_EQ(globalTableByGiftext(dir / "after.gif"), (std::vector<TRgb>{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}));
    }
    gif.Reset();
    EXPECT_TRUE(gif.GetPalette().empty()) << "reset drops the palette";
}

TEST(GifPicture, GetPaletteTakesTheCubeTheGlobalTableOrFrameZerosTable) {
    const std::vector<TRgb> local{{1, 2, 3}, {4, 5, 6}};
    struct Case {
        const char* name;
        TGIFDrawOptions options;
        int displayBits;
        bool global, frame;
        std::vector<TRgb> expected;
    } cases[] = {
        {"dither asked", gdDither, 24, true, true, webCubePalette()},
        {"auto dither on 8 bits", gdDither | gdAutoDither, 8, true, true, webCubePalette()},
        {"auto dither on 24 bits", gdDither | gdAutoDither, 24, true, true, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}},
        {"no global table", 0, 24, false, true, local},
        {"no frames, no table", 0, 24, false, false, {}},
    };
    for (const Case& c : cases) {
        TGIFImage gif;
        gif.SetDrawOptions(c.options);
        if (c.global) fourColours(gif, 2, 1);
        if (c.frame) {
            TGIFSubImage& f = addFrame(gif, 0, 0, 2, 1, {0, 1});
            f.ColorMap().LoadFromPalette(local);
        }
        EXPECT_EQ(gif.GetPalette(c.displayBits), c.expected) << c.name;
    }
    TGIFImage gif;
    EXPECT_EQ(errorOf([&] { gif.SetPalette(std::vector<TRgb>(257)); }), "Color table overflow");
    EXPECT_TRUE(gif.GlobalColorMap().Empty());
}

TEST(GifPicture, EqualsIsIdentity) {
    TGIFImage a, b, copy;
    fourColours(a, 1, 1);
    addFrame(a, 0, 0, 1, 1, {1});
    copy.Assign(a);
    struct Case {
        const TGIFImage *x, *y;
        bool equal;
    } cases[] = {{&a, &a, true}, {&a, &copy, false}, {&copy, &a, false}, {&b, &b, true}, {&b, &copy, false}};
    for (const Case& c : cases) EXPECT_EQ(c.x->Equals(*c.y), c.equal);
    TGIFImage empty1, empty2;
    EXPECT_FALSE(empty1.Equals(empty2));  // both empty, still two images
}

TEST(GifPicture, RenderedBitmapIsFrameZeroOrTheScreenWithIt) {
    TGIFImage gif;
    EXPECT_EQ(gif.RenderedBitmap(), nullptr);
    TRaster dest(3, 3);
    gif.AssignTo(dest);
    EXPECT_TRUE(dest.Empty());

    // Frame 0 covering the screen: its own rendering, indices beyond the table black.
    fourColours(gif, 3, 1);
    TGIFSubImage& f = addFrame(gif, 0, 0, 3, 1, {1, 9, 3});
    const TRaster* whole = gif.RenderedBitmap();
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(*whole, RenderFrame(f).Bitmap);
    EXPECT_EQ(whole->Pixel(1, 0), makeArgb(0, 0, 0));
    EXPECT_EQ(gif.RenderedBitmap(), whole);  // kept
    gif.AssignTo(dest);
    EXPECT_EQ(dest, *whole);

    // A new palette makes it again, its pixels still from the tables.
    gif.SetPalette(std::vector<TRgb>{{9, 9, 9}, {10, 20, 30}, {0, 0, 0}, {7, 7, 7}});
    EXPECT_TRUE(gif.PaletteModified());
    EXPECT_EQ(gif.RenderedBitmap()->Pixel(0, 0), makeArgb(255, 0, 0));
    EXPECT_FALSE(gif.PaletteModified());  // made again since

    // A frame inside the screen: the background around it and under its transparent pixels.
    TGIFImage small;
    fourColours(small, 4, 3);
    small.SetBackgroundColorValue(colorOf(TRgb{0x20, 0x40, 0x60}));
    addFrame(small, 1, 1, 2, 1, {2, 0}, 0);
    const TRaster* screen = small.RenderedBitmap();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->Width(), 4);
    ASSERT_EQ(screen->Height(), 3);
    const Argb bg = makeArgb(0x20, 0x40, 0x60);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(screen->Pixel(x, y), x == 1 && y == 1 ? makeArgb(0, 255, 0) : bg) << x << "," << y;
}

TEST(GifPicture, AFrameMadeFromAnIconFileIsTheIconDecodersComposite) {
    // 16 x 16 pictures have at most 256 colours, so without reduction every one is kept.
    const gstest::ImageSpec specs[] = {gstest::dibSpec(16, 4, 3), gstest::dibSpec(16, 8, 4), gstest::dibSpec(16, 24, 5),
                                       gstest::dibSpec(16, 32, 6), gstest::pngSpec(16, 16, 7)};
    for (const gstest::ImageSpec& spec : specs) {
        SCOPED_TRACE(spec.bitCount);
        const auto icon = iconOf({spec});
        TGIFImage gif;
        gif.SetColorReduction(TColorReduction::rdNone);
        gif.Assign(*icon);
        ASSERT_EQ(gif.FrameCount(), 1);
        const TGIFSubImage& frame = gif.Frame(0);
        ASSERT_EQ(frame.Width(), 16);
        ASSERT_EQ(frame.Height(), 16);
        EXPECT_EQ(gif.Width(), 16);
        const TRenderedFrame shown = RenderFrame(frame);
        const TIconPicture decoded = decodeIconImage(spec.data);
        int transparent = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const Argb want = decoded.rgbaAt(x, y);
                const bool masked = shown.Mask && shown.Mask->bits[std::size_t(y * 16 + x)];
                ASSERT_EQ(masked, alphaOf(want) == 0) << x << "," << y;
                if (masked) ++transparent;
                else ASSERT_EQ(rgbOf(shown.Bitmap.Pixel(x, y)), rgbOf(want)) << x << "," << y;
            }
        EXPECT_GT(transparent, 0);
        EXPECT_TRUE(frame.Transparent());
    }
}

TEST(GifPicture, AnIconGivesItsThirtyTwoPixelImageAndAnEmptyIconAnEmptyFrame) {
    TGIFImage gif;
    gif.AddFrame(*iconOf({gstest::dibSpec(16, 8, 1), gstest::dibSpec(32, 8, 2), gstest::dibSpec(48, 8, 3)}));
    EXPECT_EQ(gif.Frame(0).Width(), 32);
    gif.AddFrame(*iconOf({gstest::dibSpec(48, 4, 1)}));  // no 32: the first
    EXPECT_EQ(gif.Frame(1).Width(), 48);
    EXPECT_EQ(gif.Width(), 48);

    TGIFImage none;
    none.Assign(TQBIcon());
    ASSERT_EQ(none.FrameCount(), 1);
    EXPECT_TRUE(none.Frame(0).Empty());
    EXPECT_EQ(none.SaveToBytes().size(), 14u);
}

TEST(GifPicture, RenderingAndOptimisingReportTheirProgressInOrder) {
    TGIFImage gif;
    fourColours(gif, 1, 70);
    addFrame(gif, 0, 0, 1, 70, std::vector<std::uint8_t>(70, 1));
    ProgressLog log;
    gif.SetOnProgress(log.handler());
    RenderFrame(gif.Frame(0));
    EXPECT_EQ(log.events, (std::vector<std::string>{"Rendering... start 0", "Rendering... step 0", "Rendering... step 45",
                                                     "Rendering... step 91", "Rendering... end 100"}));
    log.events.clear();
    Compact(gif, opCrop | opMerge | opCleanup | opSortColorMaps);
    // Six steps for the one frame, one a pass.
    EXPECT_EQ(log.events, (std::vector<std::string>{"Optimizing... start 0", "Optimizing... step 16", "Optimizing... step 33",
                                                     "Optimizing... step 50", "Optimizing... step 66",
                                                     "Optimizing... step 83", "Optimizing... step 100",
                                                     "Optimizing... end 100"}));
    log.events.clear();
    gif.RenderedBitmap();
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.front(), "Rendering... start 0");
    EXPECT_EQ(log.events.back(), "Rendering... end 100");
}

TEST(GifPicture, EveryChangeStopsDrawingBeforeItChangesAnything) {
    struct Case {
        const char* name;
        std::function<void(TGIFImage&)> change;
    } cases[] = {
        {"reset", [](TGIFImage& g) { g.Reset(); }},
        {"setWidth", [](TGIFImage& g) { g.SetWidth(9); }},
        {"setHeight", [](TGIFImage& g) { g.SetHeight(9); }},
        {"addFrame", [](TGIFImage& g) { g.AddFrame(TRaster(1, 1)); }},
        {"deleteFrame", [](TGIFImage& g) { g.DeleteFrame(1); }},
        {"setPalette", [](TGIFImage& g) { g.SetPalette(std::vector<TRgb>{{1, 1, 1}}); }},
        {"assign picture", [](TGIFImage& g) { g.Assign(TRaster(1, 1)); }},
        {"assign icon", [](TGIFImage& g) { g.Assign(*iconOf({gstest::dibSpec(16, 4, 1)})); }},
        {"load", [](TGIFImage& g) {
             TGIFImage other;
             other.Assign(TRaster(1, 1));
             g.LoadFromSource(TMemorySource(other.SaveToBytes()));
         }},
        {"frame bounds", [](TGIFImage& g) { g.Frame(0).SetBounds(0, 0, 1, 1); }},
        {"frame extension", [](TGIFImage& g) { g.Frame(0).DeleteExtension(0); }},
        {"Compact", [](TGIFImage& g) { Compact(g, opCrop | opCleanup); }},
    };
    for (const Case& c : cases) {
        TGIFImage gif;
        fourColours(gif, 3, 2);
        addFrame(gif, 0, 0, 3, 2, {0, 1, 2, 3, 0, 1}, 3, 0, 5);
        addFrame(gif, 1, 0, 2, 2, {0, 0, 0, 0}, 0);
        const TBytes before = gif.SaveToBytes();
        int stops = 0;
        bool untouched = true;
        gif.SetOnStopDrawing([&] {
            if (stops++ == 0) untouched = gif.SaveToBytes() == before && gif.FrameCount() == 2;
        });
        c.change(gif);
        EXPECT_GE(stops, 1) << c.name;
        EXPECT_TRUE(untouched) << c.name;
    }
}

TEST(GifPicture, AFrameMadeFromOurMetafileIsItsBitmapWithItsTransparency) {
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "opaque");
        const TRaster bitmap = threeColours(transparent);
        const TMetafile metafile = TMetafile::FromSource(TMemorySource(encodeWmf(bitmap)));
        EXPECT_EQ(metafile.Width(), 6);
        EXPECT_EQ(metafile.Height(), 4);
        TGIFImage gif;
        gif.SetColorReduction(TColorReduction::rdNone);
        gif.Assign(metafile);
        ASSERT_EQ(gif.FrameCount(), 1);
        const TGIFSubImage& frame = gif.Frame(0);
        ASSERT_EQ(frame.Width(), 6);
        EXPECT_EQ(frame.Transparent(), transparent);
        const TRenderedFrame shown = RenderFrame(frame);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool clear = transparent && rgbOf(bitmap.Pixel(x, y)) == TRgb{0, 0, 255};
                const bool masked = shown.Mask && shown.Mask->bits[std::size_t(y * 6 + x)];
                EXPECT_EQ(masked, clear) << x << "," << y;
                if (!clear) {
                    EXPECT_EQ(rgbOf(shown.Bitmap.Pixel(x, y)), rgbOf(bitmap.Pixel(x, y))) << x << "," << y;
                }
            }
    }
}

TEST(GifPicture, DamagedMetafilesAreRefusedWithAReason) {
    const TBytes good = encodeWmf(threeColours(true));
    ASSERT_NO_THROW(TMetafile::FromSource(TMemorySource(good)));
    // Every cut is refused or, cut after its last drawing record, still reads.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const TBytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        try {
            TMetafile::FromSource(TMemorySource(cut));
        } catch (const EReadError& e) {
            EXPECT_TRUE(std::string(e.what()).find("metafile") != std::string::npos ||
                        std::string(e.what()).find("offset") != std::string::npos)
                << n << ": " << e.what();
        }
    }
    const auto patched = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        TBytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    const std::size_t firstRecord = 22 + 18;
    struct Case {
        const char* name;
        TBytes data;
    } cases[] = {
        {"no placeable key", patched(0, {0, 0, 0, 0})},
        {"a box of 32767 x 32767", patched(10, {0xFF, 0x7F, 0xFF, 0x7F})},
        {"1000 x 1000 pixels in a few hundred bytes", patched(10, {0xE8, 0x03, 0xE8, 0x03})},
        {"no units per inch", patched(14, {0, 0})},
        {"a record of no words", patched(firstRecord, {0, 0, 0, 0})},
        {"a record past the end", patched(firstRecord, {0xFF, 0xFF, 0, 0})},
        {"a window extent of nothing", patched(firstRecord + 10 + 6, {0, 0})},
    };
    for (const Case& c : cases) EXPECT_THROW(TMetafile::FromSource(TMemorySource(c.data)), EReadError) << c.name;

    // Drawing the picture over and over is refused, not played for ever.
    const std::size_t stretchAt = firstRecord + 20;
    const std::size_t stretchSize = std::size_t(good[stretchAt] | good[stretchAt + 1] << 8) * 2;
    TBytes many(good.begin(), good.begin() + std::ptrdiff_t(stretchAt));
    for (int i = 0; i < 40; ++i)
        many.insert(many.end(), good.begin() + std::ptrdiff_t(stretchAt), good.begin() + std::ptrdiff_t(stretchAt + stretchSize));
    many.insert(many.end(), good.end() - 6, good.end());
    EXPECT_EQ(errorOf([&] { TMetafile::FromSource(TMemorySource(many)); }),
              "Invalid metafile: it draws more than its picture holds many times over");
}
