#include <cstdlib>
#include <exception>
#include <string>

#include "FuzzCommon.h"
#include "codecs/RxGif.h"

namespace {

std::string outcome(gs::TRxGIFImage& gif, const auto& read) {
    return readOutcome(read, [&] {
        return std::to_string(gif.frameCount()) + " " + std::to_string(gif.width()) + "x" + std::to_string(gif.height());
    });
}

}  // namespace

// Reads a GIF the tolerant and the strict way, decodes every frame and writes back the
// pictures of sensible size. The same bytes, counted inside a larger stream, read in place
// to the same picture and leave the stream right after them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::MemorySource src(gs::Bytes(data, data + size));
    for (bool tolerant : {true, false}) {
        gs::TRxGIFImage gif;
        gif.tolerant = tolerant;
        std::string alone;
        try {
            gs::ByteReader in(src);
            alone = outcome(gif, [&] { gif.loadFromStream(in); });
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
        gs::ByteWriter counted;
        counted.bytes(gs::Bytes(3, 0x21));
        counted.u32(std::uint32_t(size));
        counted.bytes(gs::Bytes(data, data + size));
        counted.bytes(gs::Bytes(6, 0x3B));
        gs::MemorySource around(counted.take());
        gs::ByteReader in(around, 3);
        gs::TRxGIFImage inPlace;
        inPlace.tolerant = tolerant;
        if (outcome(inPlace, [&] { inPlace.readData(in); }) != alone) std::abort();
        if (alone.rfind("error", 0) != 0 && in.remaining() != 6) std::abort();
    }
    return 0;
}
