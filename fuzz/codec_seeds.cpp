// Seeds for the image codecs' fuzz targets, made by our own writers.
#include <filesystem>

#include "codecs/GifImage.h"
#include "support/IconMaker.h"

namespace {

gs::Raster indexedPicture(int w, int h, int colours) {
    gs::Raster r(w, h, gs::PixelFormat::pf8bit);
    std::vector<gs::Rgb> palette;
    for (int i = 0; i < colours; ++i) palette.push_back({std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3)});
    r.setPalette(palette);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) r.setIndexAt(x, y, std::uint8_t((x * y + x) % colours));
    return r;
}

// Two frames, the first with a loop block, a comment and a transparent colour, the second
// interlaced.
gs::Bytes animatedGif() {
    gs::TGIFImage gif;
    gif.assign(indexedPicture(19, 11, 5));
    gif.addFrame(indexedPicture(7, 13, 40));
    gif.frame(1).setInterlaced(true);
    auto loop = std::make_unique<gs::TGIFAppExtNSLoop>(&gif.frame(0));
    loop->loops = 3;
    gif.frame(0).addExtension(std::move(loop));
    auto comment = std::make_unique<gs::TGIFCommentExtension>(&gif.frame(0));
    comment->lines = {"seed"};
    gif.frame(0).addExtension(std::move(comment));
    auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(&gif.frame(1));
    gce->setTransparent(true);
    gce->setDelay(9);
    gif.frame(1).addExtension(std::move(gce));
    return gif.saveToBytes();
}

}  // namespace

void writeCodecSeeds(const std::filesystem::path& root) {
    std::filesystem::create_directories(root / "gif");
    gs::Bytes animated = animatedGif();
    gstest::writeFile((root / "gif" / "animated.gif").string(), animated);
    gs::TGIFImage one;
    one.setCompression(gs::TGIFCompression::gcRLE);
    one.assign(indexedPicture(33, 5, 2));
    gstest::writeFile((root / "gif" / "rle.gif").string(), one.saveToBytes());
}
