#include <cstdlib>
#include <exception>
#include <string>

#include "FuzzCommon.h"
#include "codecs/RxGif.h"

namespace {

std::string outcome(gs::TRxGIFImage& gif, const auto& read) {
    return readOutcome(read, [&] {
        return std::to_string(gif.FrameCount()) + " " + std::to_string(gif.Width()) + "x" + std::to_string(gif.Height());
    });
}

}  // namespace

// Reads a GIF the tolerant and the strict way, decodes every frame and writes back the
// pictures of sensible size. The same bytes, counted inside a larger stream, read in place
// to the same picture and leave the stream right after them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    for (bool tolerant : {true, false}) {
        gs::TRxGIFImage gif;
        gif.tolerant = tolerant;
        std::string alone;
        try {
            gs::TByteReader in(src);
            alone = outcome(gif, [&] { gif.LoadFromStream(in); });
            std::uint64_t pixels = 0;
            for (int i = 0; i < gif.FrameCount(); ++i) {
                pixels += std::uint64_t(gif.Frame(i).Width()) * std::uint64_t(gif.Frame(i).Height());
                if (pixels > (1u << 22)) break;
                gif.Frame(i).Bitmap();
            }
            gs::TRaster canvas(16, 16);
            gif.Draw(canvas, {0, 0, 16, 16});
            gs::TByteWriter out;
            if (pixels <= (1u << 20)) gif.SaveToStream(out);
        } catch (const std::exception&) {
        }
        gs::TByteWriter counted;
        counted.Bytes(gs::TBytes(3, 0x21));
        counted.U32(std::uint32_t(size));
        counted.Bytes(gs::TBytes(data, data + size));
        counted.Bytes(gs::TBytes(6, 0x3B));
        gs::TMemorySource around(counted.Take());
        gs::TByteReader in(around, 3);
        gs::TRxGIFImage inPlace;
        inPlace.tolerant = tolerant;
        if (outcome(inPlace, [&] { inPlace.ReadData(in); }) != alone) std::abort();
        if (alone.rfind("error", 0) != 0 && in.Remaining() != 6) std::abort();
    }
    return 0;
}
