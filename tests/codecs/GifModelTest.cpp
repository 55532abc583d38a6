// The GIF image as a caller meets it beyond reading and writing: Compact's reduction
// parameters, a frame's own palette, frames rendered once until they change, rendering on
// load and optimising on the way to a stream, and the picture registry that reads a ".gif"
// file as a GIF image.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "CodecTestSupport.h"
#include "codecs/ColorPalettes.h"
#include "codecs/GifFrameMaker.h"
#include "codecs/GifImage.h"
#include "codecs/GifOptimize.h"
#include "codecs/GifRender.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/PictureFormats.h"
#include "codecs/RxGif.h"
#include "support/TempDir.h"

using namespace gs;
using gstest::addFrame;
using gstest::errorOf;
using gstest::fourColours;
using gstest::ProgressLog;

namespace {

// Two 3 x 1 frames, the second repeating the first but for its last pixel, a comment on the
// first: what every optimisation has something to do with.
void repeatingFrames(TGIFImage& gif) {
    fourColours(gif, 3, 1);
    addFrame(gif, 0, 0, 3, 1, {1, 2, 3}, std::nullopt, 0, 5);
    addFrame(gif, 0, 0, 3, 1, {1, 2, 1}, std::nullopt, 0, 5);
    auto comment = std::make_unique<TGIFCommentExtension>(&gif.Frame(0));
    comment->lines = {"made by a test"};
    gif.Frame(0).AddExtension(std::move(comment));
}

TRgb firstPixel(const TGIFSubImage& frame, bool dither = false) {
    const TRenderedFrame& r = frame.RenderedBitmap(dither);
    return r.Bitmap.Palette()[r.Bitmap.IndexRow(0)[0]];
}

}  // namespace

TEST(GifCompact, ReductionParametersAreCheckedBeforeAnythingChanges) {
    using enum TColorReduction;
    using enum TDitherMode;
    struct Case {
        const char* name;
        TGIFOptimizeOptions options;
        TColorReduction reduction;
        int bits;
        TDitherMode dither;
        std::string error;
    } cases[] = {
        {"a caller's palette to reduce to", opReduceColors | opCrop, rdPalette, 8, dtNone, "Invalid reduction method"},
        {"a method beyond the table", opCrop, TColorReduction(10), 8, dtNone, "Invalid reduction method"},
        {"a dither beyond the table", opCrop, rdNone, 8, TDitherMode(7), "Invalid dither mode"},
        {"no bits", opCrop, rdOctree, 0, dtNone, "Invalid reduction bit count"},
        {"a caller's palette with cleanup", opReduceColors | opCleanup, rdPalette, 8, dtNone, ""},
        {"octree, dithered", opReduceColors | opMerge, rdOctree, 4, dtFloydSteinberg, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage gif;
        repeatingFrames(gif);
        const TBytes before = gif.SaveToBytes();
        ProgressLog log;
        gif.SetOnProgress(log.handler());
        int stops = 0;
        gif.SetOnStopDrawing([&] { ++stops; });
        EXPECT_EQ(errorOf([&] { Compact(gif, c.options, c.reduction, c.bits, c.dither); }), c.error);
        if (!c.error.empty()) {
            EXPECT_TRUE(log.events.empty());
            EXPECT_EQ(stops, 0);
            EXPECT_EQ(gif.SaveToBytes(), before);
            continue;
        }
        EXPECT_EQ(log.events.size(), 2u + 2 * 6) << "six steps a frame";
        // Nothing is reduced: the same as without the parameters.
        TGIFImage plain;
        repeatingFrames(plain);
        Compact(plain, c.options);
        EXPECT_EQ(gif.SaveToBytes(), plain.SaveToBytes());
    }
}

TEST(GifFramePalette, AFramesOwnTableIsReadAndSetApartFromTheImages) {
    TGIFImage gif;
    fourColours(gif, 2, 1);
    TGIFSubImage& frame = addFrame(gif, 0, 0, 2, 1, {1, 2});
    gif.SetDrawOptions(0);
    const std::vector<TRgb> global = gif.GetPalette();
    EXPECT_EQ(frame.GetPalette(), global);
    int changes = 0;
    gif.SetOnChange([&] { ++changes; });

    const std::vector<TRgb> table{{9, 9, 9}, {1, 2, 3}, {4, 5, 6}};
    frame.ColorMap().LoadFromPalette(table);
    EXPECT_EQ(frame.GetPalette(), table);
    EXPECT_EQ(gif.GetPalette(), global);
    gif.SetDrawOptions(gdDither | gdAutoDither);
    EXPECT_EQ(frame.GetPalette(8), webCubePalette());
    EXPECT_EQ(frame.GetPalette(24), table);

    // A palette set on the frame comes first and is no table: the frame writes as before.
    const TBytes written = gif.SaveToBytes();
    const std::vector<TRgb> own{{7, 7, 7}};
    frame.SetPalette(own);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(gif.PaletteModified()) << "no rendering to drop";
    frame.RenderedBitmap();
    frame.SetPalette(table);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(gif.PaletteModified()) << "the rendering of other colours went";
    frame.SetPalette(table);
    EXPECT_EQ(changes, 2) << "the same palette again changes nothing";
    EXPECT_EQ(frame.GetPalette(8), table);
    EXPECT_EQ(frame.ColorMap().Count(), 3);
    EXPECT_EQ(gif.SaveToBytes(), written);
    EXPECT_EQ(errorOf([&] { frame.SetPalette(std::vector<TRgb>(257)); }), "Color table overflow");
}

TEST(GifFrameRendering, AFrameIsRenderedOnceUntilItOrATableItShowsChanges) {
    TGIFImage gif;
    fourColours(gif, 2, 1);
    TGIFSubImage& frame = addFrame(gif, 0, 0, 2, 1, {1, 2});
    TGIFSubImage& other = addFrame(gif, 0, 0, 2, 1, {2, 2});
    ProgressLog log;
    gif.SetOnProgress(log.handler());
    const auto renders = [&] { return log.count("Rendering... start 0"); };
    firstPixel(frame);
    EXPECT_EQ(firstPixel(frame), (TRgb{255, 0, 0}));
    EXPECT_EQ(renders(), 1);

    struct Case {
        const char* name;
        std::function<void()> change;
        TRgb shown;
    } cases[] = {
        {"a pixel written", [&] { frame.PixelAt(0, 0) = 3; }, {0, 0, 255}},
        {"the global table loaded", [&] { gif.GlobalColorMap().LoadFromPalette(std::vector<TRgb>{{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}); }, {3, 3, 3}},
        {"its own table", [&] { frame.ColorMap().LoadFromPalette(std::vector<TRgb>{{7, 7, 7}, {8, 8, 8}, {9, 9, 9}, {6, 6, 6}}); }, {6, 6, 6}},
        {"a palette set on it", [&] { frame.SetPalette(std::vector<TRgb>{{1, 1, 1}}); }, {6, 6, 6}},
        {"an edit announced", [&] { gif.Changed(); }, {6, 6, 6}},
        {"made transparent", [&] { frame.ApplyTransparency({2, 1, {1, 0}}, TRgb{5, 5, 5}); }, {5, 5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = renders();
        c.change();
        EXPECT_EQ(firstPixel(frame), c.shown);
        EXPECT_EQ(renders(), before + 1);
    }
    EXPECT_TRUE(frame.RenderedBitmap().Mask);
    // Another frame's own table leaves this one's rendering alone; dithered is a rendering of its own.
    const int before = renders();
    other.ColorMap().LoadFromPalette(std::vector<TRgb>{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    firstPixel(frame);
    EXPECT_EQ(renders(), before);
    EXPECT_EQ(frame.RenderedBitmap(true).Bitmap.Palette(), webCubePalette());
    EXPECT_EQ(renders(), before + 1);
}

TEST(GifImageSettings, FramesRenderAsTheyAreReadAndTheStoredDataIsOptimised) {
    TGIFImage source;
    repeatingFrames(source);
    const TBytes bytes = source.SaveToBytes();

    TGIFSettings settings;
    settings.renderOnLoad = true;
    TGIFImage rendering(settings), plain;
    ProgressLog log, plainLog;
    rendering.SetOnProgress(log.handler());
    plain.SetOnProgress(plainLog.handler());
    rendering.LoadFromSource(TMemorySource(bytes));
    plain.LoadFromSource(TMemorySource(bytes));
    EXPECT_EQ(log.count("Rendering... start 0"), 2);
    EXPECT_EQ(plainLog.count("Rendering... start 0"), 0);
    rendering.Frame(0).RenderedBitmap();
    rendering.Frame(1).RenderedBitmap();
    EXPECT_EQ(log.count("Rendering... start 0"), 2) << "the renderings made while reading are kept";

    TByteWriter unchanged;
    plain.WriteData(unchanged);
    EXPECT_EQ(unchanged.Data(), bytes);

    settings = {};
    settings.optimizeOnStream = true;
    TGIFImage optimising(settings), expected;
    optimising.LoadFromSource(TMemorySource(bytes));
    expected.LoadFromSource(TMemorySource(bytes));
    Compact(expected, opCrop | opMerge | opCleanup | opSortColorMaps | opReduceColors);
    TByteWriter optimised;
    optimising.WriteData(optimised);
    EXPECT_EQ(optimised.Data(), expected.SaveToBytes());
    EXPECT_LT(optimised.Data().size(), bytes.size());
}

TEST(PictureFormats, AGifFileLoadsThroughTheClassRegisteredForItsExtension) {
    // Both GIF classes are registered; the splash-picture graphic, registered later, is found.
    const TFileFormat* format = PictureFileFormats().Find(".GIF");
    ASSERT_TRUE(format);
    EXPECT_EQ(format->description, "CompuServe GIF Image");
    EXPECT_EQ(format->graphicClass, std::type_index(typeid(TRxGIFImage)));
    ASSERT_EQ(PictureFileFormats().Formats().size(), 2u);
    EXPECT_EQ(PictureFileFormats().Formats()[0].description, "GIF Image");
    EXPECT_EQ(PictureFileFormats().Formats()[0].graphicClass, std::type_index(typeid(TGIFImage)));

    gstest::TempDir dir;
    TGIFImage source;
    repeatingFrames(source);
    source.SaveToFile(dir.path / "anim.Gif");
    std::ofstream(dir.path / "bad.gif") << "GIF89a";
    std::ofstream(dir.path / "picture.xyz") << "GIF89a";

    TPicture picture;
    picture.LoadFromFile(dir.path / "anim.Gif");
    const auto* gif = dynamic_cast<const TRxGIFImage*>(picture.Graphic());
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->FrameCount(), 2);
    TRaster shown;
    picture.Graphic()->AssignTo(shown);
    EXPECT_EQ(shown.Width(), 3);

    EXPECT_EQ(errorOf([&] { picture.LoadFromFile(dir.path / "bad.gif"); }), "Stream read error");
    EXPECT_EQ(picture.Graphic(), gif) << "a file that fails to load leaves the picture as it was";
    EXPECT_THROW(picture.LoadFromFile(dir.path / "picture.xyz"), EInvalidGraphic);
    EXPECT_EQ(errorOf([&] { picture.LoadFromFile(dir.path / "picture.xyz"); }), "Unknown picture file extension (.xyz)");

    // A later registration of the same extension is the one found, until it is taken back.
    TFileFormats formats;
    formats.Add<TGIFImage>("gif", "first");
    formats.Add<TGIFImage>("GIF", "second");
    EXPECT_EQ(formats.Find("gif")->description, "second");
    formats.Remove<TGIFImage>();
    EXPECT_EQ(formats.Find("gif"), nullptr);
}

TEST(GifColorMapQuads, BitmapQuadsAreBlueGreenRedAndCutAt256) {
    TGIFImage gif;
    std::vector<std::array<std::uint8_t, 4>> quads{{3, 2, 1, 0}, {0, 0, 255, 9}, {10, 20, 30, 40}};
    gif.GlobalColorMap().LoadFromQuads(quads);
    EXPECT_EQ(gif.GetPalette(), (std::vector<TRgb>{{1, 2, 3}, {255, 0, 0}, {30, 20, 10}}));
    quads.resize(300, {7, 8, 9, 0});
    gif.GlobalColorMap().LoadFromQuads(quads);
    EXPECT_EQ(gif.GlobalColorMap().Count(), 256);
    EXPECT_EQ(gif.GlobalColorMap().ColorAt(255), (TRgb{9, 8, 7}));
}

TEST(GifDetach, AFrameOrAnExtensionLeavesItsListWithoutBeingFreed) {
    TGIFImage gif;
    fourColours(gif, 2, 1);
    TGIFSubImage& first = addFrame(gif, 0, 0, 2, 1, {1, 2}, 3, 2, 7);
    addFrame(gif, 0, 0, 2, 1, {3, 3});
    int stops = 0;
    gif.SetOnStopDrawing([&] { ++stops; });
    const TGIFExtension& gce = first.Extension(0);
    std::unique_ptr<TGIFExtension> ext = first.Detach(gce);
    ASSERT_EQ(ext.get(), &gce);
    EXPECT_EQ(first.ExtensionCount(), 0);
    EXPECT_EQ(first.GraphicControlExtension(), nullptr);
    EXPECT_EQ(first.Detach(*ext), nullptr) << "no longer listed";
    EXPECT_EQ(static_cast<TGIFGraphicControlExtension&>(*ext).Delay(), 7) << "still whole";

    std::unique_ptr<TGIFSubImage> frame = gif.Detach(first);
    ASSERT_EQ(frame.get(), &first);
    EXPECT_EQ(gif.FrameCount(), 1);
    EXPECT_EQ(gif.Detach(*frame), nullptr);
    EXPECT_EQ(stops, 2);
    EXPECT_EQ(gif.AddFrame(std::move(frame)), 1) << "and may be listed again";
    EXPECT_EQ(gif.Frame(1).PixelAt(1, 0), 2);
}

TEST(GifNamedFiles, AHeaderAFrameAndAnExtensionEachGoToAFileOfTheirOwnAndBack) {
    gstest::TempDir dir;
    TGIFImage gif;
    fourColours(gif, 3, 1);
    TGIFSubImage& frame = addFrame(gif, 0, 0, 3, 1, {1, 2, 3}, 2, 1, 9);
    TByteWriter expected;
    frame.SaveToStream(expected);
    const TBytes frameBytes = expected.Take();

    struct Case {
        const char* name;
        std::function<void(const std::string&)> save, load;
        std::function<TBytes()> written;
        std::function<bool()> readBack;
    };
    TGIFImage back;
    TGIFSubImage frameBack(back);
    TGIFGraphicControlExtension gceBack(&frameBack);
    const auto bytesOf = [](const auto& item) {
        TByteWriter out;
        item.SaveToStream(out);
        return out.Take();
    };
    const Case cases[] = {
        {"header", [&](const std::string& f) { gif.Header().SaveToNamedFile(f); },
         [&](const std::string& f) { back.Header().LoadFromNamedFile(f); }, [&] { return bytesOf(gif.Header()); },
         [&] { return back.Header().width == 3 && back.GlobalColorMap().Count() == 4; }},
        {"frame", [&](const std::string& f) { frame.SaveToNamedFile(f); },
         [&](const std::string& f) { frameBack.LoadFromNamedFile(f); }, [&] { return frameBytes; },
         [&] { return bytesOf(frameBack) == frameBytes; }},
        {"extension", [&](const std::string& f) { frame.Extension(0).SaveToNamedFile(f); },
         [&](const std::string& f) { gceBack.LoadFromNamedFile(f); }, [&] { return bytesOf(frame.Extension(0)); },
         [&] { return gceBack.Delay() == 9 && gceBack.TransparentColorIndex() == 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir / c.name;
        c.save(file);
        std::ifstream in(file, std::ios::binary);
        EXPECT_EQ(TBytes(std::istreambuf_iterator<char>(in), {}), c.written());
        c.load(file);
        EXPECT_TRUE(c.readBack());
    }

    // A file cut inside its fixed part, and one that is not there.
    std::ofstream(dir / "cut", std::ios::binary).write(reinterpret_cast<const char*>(frameBytes.data()), 12);
    EXPECT_EQ(errorOf([&] { frameBack.LoadFromNamedFile(dir / "cut"); }), "Premature end of data");
    EXPECT_NE(errorOf([&] { frameBack.LoadFromNamedFile(dir / "none"); }), "");
}
