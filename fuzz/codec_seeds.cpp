// Seeds for the image codecs' fuzz targets, made by our own writers.
#include <filesystem>

#include "codecs/GifImage.h"
#include "export/MetafileWriter.h"
#include "support/CodecMaker.h"
#include "support/IconMaker.h"

void writeCodecSeeds(const std::filesystem::path& root) {
    for (const char* d : {"gif", "rxgif", "ani", "iconlist", "wmf"}) std::filesystem::create_directories(root / d);
    gs::TGIFImage one;
    one.SetCompression(gs::TGIFCompression::gcRLE);
    one.Assign(gstest::indexedPicture(33, 5, 2));
    for (const char* d : {"gif", "rxgif"}) {
        gstest::writeFile((root / d / "animated.gif").string(), gstest::animatedGif());
        gstest::writeFile((root / d / "rle.gif").string(), one.SaveToBytes());
    }
    gstest::writeFile((root / "ani" / "steps.ani").string(), gstest::animatedCursor());
    // Cut inside its last image, and a header asking for 2^30 steps of two images.
    gs::TBytes cut = gstest::animatedCursor();
    cut.resize(cut.size() - 20);
    gstest::writeFile((root / "ani" / "cut.ani").string(), cut);
    gs::TBytes many = gstest::longAnimatedCursor(2);
    constexpr std::size_t kAnihSteps = 12 + 8 + 8;  // RIFF header, chunk header, two fields
    many[kAnihSteps + 3] = 0x40;
    gstest::writeFile((root / "ani" / "many-steps.ani").string(), many);
    gstest::writeFile((root / "iconlist" / "three.lst").string(), gstest::iconListStream());
    gs::TRaster masked = gstest::indexedPicture(9, 4, 3).ToArgb32();
    masked.SetTransparent(true);
    masked.SetTransparentColor(gs::rgbOf(masked.Pixel(0, 0)));
    gstest::writeFile((root / "wmf" / "masked.wmf").string(), gs::encodeWmf(masked));
}
