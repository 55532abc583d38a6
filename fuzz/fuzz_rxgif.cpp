#include <exception>

#include "codecs/RxGif.h"

// Reads a GIF the tolerant and the strict way, decodes every frame and writes back the
// pictures of sensible size.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::MemorySource src(gs::Bytes(data, data + size));
    for (bool tolerant : {true, false}) {
        gs::TRxGIFImage gif;
        gif.tolerant = tolerant;
        try {
            gs::ByteReader in(src);
            gif.loadFromStream(in);
            std::uint64_t pixels = 0;
            for (int i = 0; i < gif.frameCount(); ++i) {
                pixels += std::uint64_t(gif.frame(i).width()) * std::uint64_t(gif.frame(i).height());
                if (pixels > (1u << 22)) break;
                gif.frame(i).bitmap();
            }
            gs::Raster canvas(16, 16);
            gif.draw(canvas, {0, 0, 16, 16});
            gs::ByteWriter out;
            if (pixels <= (1u << 20)) gif.saveToStream(out);
        } catch (const std::exception&) {
        }
    }
    return 0;
}
