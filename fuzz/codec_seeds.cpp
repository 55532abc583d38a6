// Seeds for the image codecs' fuzz targets, made by our own writers.
#include <filesystem>

#include "codecs/GifImage.h"
#include "support/CodecMaker.h"
#include "support/IconMaker.h"

void writeCodecSeeds(const std::filesystem::path& root) {
    for (const char* d : {"gif", "rxgif", "ani", "iconlist"}) std::filesystem::create_directories(root / d);
    gs::TGIFImage one;
    one.setCompression(gs::TGIFCompression::gcRLE);
    one.assign(gstest::indexedPicture(33, 5, 2));
    for (const char* d : {"gif", "rxgif"}) {
        gstest::writeFile((root / d / "animated.gif").string(), gstest::animatedGif());
        gstest::writeFile((root / d / "rle.gif").string(), one.saveToBytes());
    }
    gstest::writeFile((root / "ani" / "steps.ani").string(), gstest::animatedCursor());
    gstest::writeFile((root / "iconlist" / "three.lst").string(), gstest::iconListStream());
}
