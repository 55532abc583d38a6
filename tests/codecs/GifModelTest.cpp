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
    auto comment = std::make_unique<TGIFCommentExtension>(&gif.frame(0));
    comment->lines = {"made by a test"};
    gif.frame(0).addExtension(std::move(comment));
}

Rgb firstPixel(const TGIFSubImage& frame, bool dither = false) {
    const TRenderedFrame& r = frame.renderedBitmap(dither);
    return r.Bitmap.palette()[r.Bitmap.indexRow(0)[0]];
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
        const Bytes before = gif.saveToBytes();
        ProgressLog log;
        gif.setOnProgress(log.handler());
        int stops = 0;
        gif.setOnStopDrawing([&] { ++stops; });
        EXPECT_EQ(errorOf([&] { Compact(gif, c.options, c.reduction, c.bits, c.dither); }), c.error);
        if (!c.error.empty()) {
            EXPECT_TRUE(log.events.empty());
            EXPECT_EQ(stops, 0);
            EXPECT_EQ(gif.saveToBytes(), before);
            continue;
        }
        EXPECT_EQ(log.events.size(), 2u + 2 * 6) << "six steps a frame";
        // Nothing is reduced: the same as without the parameters.
        TGIFImage plain;
        repeatingFrames(plain);
        Compact(plain, c.options);
        EXPECT_EQ(gif.saveToBytes(), plain.saveToBytes());
    }
}

TEST(GifFramePalette, AFramesOwnTableIsReadAndSetApartFromTheImages) {
    TGIFImage gif;
    fourColours(gif, 2, 1);
    TGIFSubImage& frame = addFrame(gif, 0, 0, 2, 1, {1, 2});
    gif.setDrawOptions(0);
    const std::vector<Rgb> global = gif.getPalette();
    EXPECT_EQ(frame.getPalette(), global);
    int changes = 0;
    gif.setOnChange([&] { ++changes; });

    const std::vector<Rgb> table{{9, 9, 9}, {1, 2, 3}, {4, 5, 6}};
    frame.colorMap().loadFromPalette(table);
    EXPECT_EQ(frame.getPalette(), table);
    EXPECT_EQ(gif.getPalette(), global);
    gif.setDrawOptions(gdDither | gdAutoDither);
    EXPECT_EQ(frame.getPalette(8), webCubePalette());
    EXPECT_EQ(frame.getPalette(24), table);

    // A palette set on the frame comes first and is no table: the frame writes as before.
    const Bytes written = gif.saveToBytes();
    const std::vector<Rgb> own{{7, 7, 7}};
    frame.setPalette(own);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(gif.paletteModified()) << "no rendering to drop";
    frame.renderedBitmap();
    frame.setPalette(table);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(gif.paletteModified()) << "the rendering of other colours went";
    frame.setPalette(table);
    EXPECT_EQ(changes, 2) << "the same palette again changes nothing";
    EXPECT_EQ(frame.getPalette(8), table);
    EXPECT_EQ(frame.colorMap().count(), 3);
    EXPECT_EQ(gif.saveToBytes(), written);
    EXPECT_EQ(errorOf([&] { frame.setPalette(std::vector<Rgb>(257)); }), "Color table overflow");
}

TEST(GifFrameRendering, AFrameIsRenderedOnceUntilItOrATableItShowsChanges) {
    TGIFImage gif;
    fourColours(gif, 2, 1);
    TGIFSubImage& frame = addFrame(gif, 0, 0, 2, 1, {1, 2});
    TGIFSubImage& other = addFrame(gif, 0, 0, 2, 1, {2, 2});
    ProgressLog log;
    gif.setOnProgress(log.handler());
    const auto renders = [&] { return log.count("Rendering... start 0"); };
    firstPixel(frame);
    EXPECT_EQ(firstPixel(frame), (Rgb{255, 0, 0}));
    EXPECT_EQ(renders(), 1);

    struct Case {
        const char* name;
        std::function<void()> change;
        Rgb shown;
    } cases[] = {
        {"a pixel written", [&] { frame.pixelAt(0, 0) = 3; }, {0, 0, 255}},
        {"the global table loaded", [&] { gif.globalColorMap().loadFromPalette(std::vector<Rgb>{{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}); }, {3, 3, 3}},
        {"its own table", [&] { frame.colorMap().loadFromPalette(std::vector<Rgb>{{7, 7, 7}, {8, 8, 8}, {9, 9, 9}, {6, 6, 6}}); }, {6, 6, 6}},
        {"a palette set on it", [&] { frame.setPalette(std::vector<Rgb>{{1, 1, 1}}); }, {6, 6, 6}},
        {"an edit announced", [&] { gif.changed(); }, {6, 6, 6}},
        {"made transparent", [&] { frame.applyTransparency({2, 1, {1, 0}}, Rgb{5, 5, 5}); }, {5, 5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = renders();
        c.change();
        EXPECT_EQ(firstPixel(frame), c.shown);
        EXPECT_EQ(renders(), before + 1);
    }
    EXPECT_TRUE(frame.renderedBitmap().Mask);
    // Another frame's own table leaves this one's rendering alone; dithered is a rendering of its own.
    const int before = renders();
    other.colorMap().loadFromPalette(std::vector<Rgb>{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    firstPixel(frame);
    EXPECT_EQ(renders(), before);
    EXPECT_EQ(frame.renderedBitmap(true).Bitmap.palette(), webCubePalette());
    EXPECT_EQ(renders(), before + 1);
}

TEST(GifImageSettings, FramesRenderAsTheyAreReadAndTheStoredDataIsOptimised) {
    TGIFImage source;
    repeatingFrames(source);
    const Bytes bytes = source.saveToBytes();

    TGIFSettings settings;
    settings.renderOnLoad = true;
    TGIFImage rendering(settings), plain;
    ProgressLog log, plainLog;
    rendering.setOnProgress(log.handler());
    plain.setOnProgress(plainLog.handler());
    rendering.loadFromSource(MemorySource(bytes));
    plain.loadFromSource(MemorySource(bytes));
    EXPECT_EQ(log.count("Rendering... start 0"), 2);
    EXPECT_EQ(plainLog.count("Rendering... start 0"), 0);
    rendering.frame(0).renderedBitmap();
    rendering.frame(1).renderedBitmap();
    EXPECT_EQ(log.count("Rendering... start 0"), 2) << "the renderings made while reading are kept";

    ByteWriter unchanged;
    plain.writeData(unchanged);
    EXPECT_EQ(unchanged.data(), bytes);

    settings = {};
    settings.optimizeOnStream = true;
    TGIFImage optimising(settings), expected;
    optimising.loadFromSource(MemorySource(bytes));
    expected.loadFromSource(MemorySource(bytes));
    Compact(expected, opCrop | opMerge | opCleanup | opSortColorMaps | opReduceColors);
    ByteWriter optimised;
    optimising.writeData(optimised);
    EXPECT_EQ(optimised.data(), expected.saveToBytes());
    EXPECT_LT(optimised.data().size(), bytes.size());
}

TEST(PictureFormats, AGifFileLoadsThroughTheClassRegisteredForItsExtension) {
    // Both GIF classes are registered; the splash-picture graphic, registered later, is found.
    const TFileFormat* format = PictureFileFormats().find(".GIF");
    ASSERT_TRUE(format);
    EXPECT_EQ(format->description, "CompuServe GIF Image");
    EXPECT_EQ(format->graphicClass, std::type_index(typeid(TRxGIFImage)));
    ASSERT_EQ(PictureFileFormats().formats().size(), 2u);
    EXPECT_EQ(PictureFileFormats().formats()[0].description, "GIF Image");
    EXPECT_EQ(PictureFileFormats().formats()[0].graphicClass, std::type_index(typeid(TGIFImage)));

    gstest::TempDir dir;
    TGIFImage source;
    repeatingFrames(source);
    source.saveToFile(dir.path / "anim.Gif");
    std::ofstream(dir.path / "bad.gif") << "GIF89a";
    std::ofstream(dir.path / "picture.xyz") << "GIF89a";

    TPicture picture;
    picture.loadFromFile(dir.path / "anim.Gif");
    const auto* gif = dynamic_cast<const TRxGIFImage*>(picture.graphic());
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->frameCount(), 2);
    Raster shown;
    picture.graphic()->assignTo(shown);
    EXPECT_EQ(shown.width(), 3);

    EXPECT_EQ(errorOf([&] { picture.loadFromFile(dir.path / "bad.gif"); }), "Stream read error");
    EXPECT_EQ(picture.graphic(), gif) << "a file that fails to load leaves the picture as it was";
    EXPECT_THROW(picture.loadFromFile(dir.path / "picture.xyz"), EInvalidGraphic);
    EXPECT_EQ(errorOf([&] { picture.loadFromFile(dir.path / "picture.xyz"); }), "Unknown picture file extension (.xyz)");

    // A later registration of the same extension is the one found, until it is taken back.
    TFileFormats formats;
    formats.add<TGIFImage>("gif", "first");
    formats.add<TGIFImage>("GIF", "second");
    EXPECT_EQ(formats.find("gif")->description, "second");
    formats.remove<TGIFImage>();
    EXPECT_EQ(formats.find("gif"), nullptr);
}

TEST(GifColorMapQuads, BitmapQuadsAreBlueGreenRedAndCutAt256) {
    TGIFImage gif;
    std::vector<std::array<std::uint8_t, 4>> quads{{3, 2, 1, 0}, {0, 0, 255, 9}, {10, 20, 30, 40}};
    gif.globalColorMap().loadFromQuads(quads);
    EXPECT_EQ(gif.getPalette(), (std::vector<Rgb>{{1, 2, 3}, {255, 0, 0}, {30, 20, 10}}));
    quads.resize(300, {7, 8, 9, 0});
    gif.globalColorMap().loadFromQuads(quads);
    EXPECT_EQ(gif.globalColorMap().count(), 256);
    EXPECT_EQ(gif.globalColorMap().colorAt(255), (Rgb{9, 8, 7}));
}

TEST(GifDetach, AFrameOrAnExtensionLeavesItsListWithoutBeingFreed) {
    TGIFImage gif;
    fourColours(gif, 2, 1);
    TGIFSubImage& first = addFrame(gif, 0, 0, 2, 1, {1, 2}, 3, 2, 7);
    addFrame(gif, 0, 0, 2, 1, {3, 3});
    int stops = 0;
    gif.setOnStopDrawing([&] { ++stops; });
    const TGIFExtension& gce = first.extension(0);
    std::unique_ptr<TGIFExtension> ext = first.detach(gce);
    ASSERT_EQ(ext.get(), &gce);
    EXPECT_EQ(first.extensionCount(), 0);
    EXPECT_EQ(first.graphicControlExtension(), nullptr);
    EXPECT_EQ(first.detach(*ext), nullptr) << "no longer listed";
    EXPECT_EQ(static_cast<TGIFGraphicControlExtension&>(*ext).delay(), 7) << "still whole";

    std::unique_ptr<TGIFSubImage> frame = gif.detach(first);
    ASSERT_EQ(frame.get(), &first);
    EXPECT_EQ(gif.frameCount(), 1);
    EXPECT_EQ(gif.detach(*frame), nullptr);
    EXPECT_EQ(stops, 2);
    EXPECT_EQ(gif.addFrame(std::move(frame)), 1) << "and may be listed again";
    EXPECT_EQ(gif.frame(1).pixelAt(1, 0), 2);
}

TEST(GifNamedFiles, AHeaderAFrameAndAnExtensionEachGoToAFileOfTheirOwnAndBack) {
    gstest::TempDir dir;
    TGIFImage gif;
    fourColours(gif, 3, 1);
    TGIFSubImage& frame = addFrame(gif, 0, 0, 3, 1, {1, 2, 3}, 2, 1, 9);
    ByteWriter expected;
    frame.saveToStream(expected);
    const Bytes frameBytes = expected.take();

    struct Case {
        const char* name;
        std::function<void(const std::string&)> save, load;
        std::function<Bytes()> written;
        std::function<bool()> readBack;
    };
    TGIFImage back;
    TGIFSubImage frameBack(back);
    TGIFGraphicControlExtension gceBack(&frameBack);
    const auto bytesOf = [](const auto& item) {
        ByteWriter out;
        item.saveToStream(out);
        return out.take();
    };
    const Case cases[] = {
        {"header", [&](const std::string& f) { gif.header().saveToNamedFile(f); },
         [&](const std::string& f) { back.header().loadFromNamedFile(f); }, [&] { return bytesOf(gif.header()); },
         [&] { return back.header().width == 3 && back.globalColorMap().count() == 4; }},
        {"frame", [&](const std::string& f) { frame.saveToNamedFile(f); },
         [&](const std::string& f) { frameBack.loadFromNamedFile(f); }, [&] { return frameBytes; },
         [&] { return bytesOf(frameBack) == frameBytes; }},
        {"extension", [&](const std::string& f) { frame.extension(0).saveToNamedFile(f); },
         [&](const std::string& f) { gceBack.loadFromNamedFile(f); }, [&] { return bytesOf(frame.extension(0)); },
         [&] { return gceBack.delay() == 9 && gceBack.transparentColorIndex() == 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir / c.name;
        c.save(file);
        std::ifstream in(file, std::ios::binary);
        EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), c.written());
        c.load(file);
        EXPECT_TRUE(c.readBack());
    }

    // A file cut inside its fixed part, and one that is not there.
    std::ofstream(dir / "cut", std::ios::binary).write(reinterpret_cast<const char*>(frameBytes.data()), 12);
    EXPECT_EQ(errorOf([&] { frameBack.loadFromNamedFile(dir / "cut"); }), "Premature end of data");
    EXPECT_NE(errorOf([&] { frameBack.loadFromNamedFile(dir / "none"); }), "");
}
