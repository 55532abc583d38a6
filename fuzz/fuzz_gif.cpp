#include "codecs/GifImage.h"
#include "platform/ByteSource.h"

// Reads a GIF with warnings on, then writes back whatever was read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    gs::TGIFImage gif;
    gif.SetOnWarn([](const void*, int, const std::string&) {});
    try {
        gif.LoadFromSource(src);
        // Writing back is checked on pictures of sensible size; coding tens of millions of
        // fill pixels per input would only slow the search down.
        std::size_t pixels = 0;
        for (int i = 0; i < gif.FrameCount(); ++i) pixels += gif.Frame(i).Pixels().size();
        if (pixels <= (1u << 20)) gif.SaveToBytes();
    } catch (const gs::GIFException&) {
    }
    return 0;
}
