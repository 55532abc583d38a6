#include <exception>

#include "codecs/GifImage.h"
#include "codecs/Metafile.h"

// Reads a placeable metafile and makes a GIF frame of it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    try {
        const gs::TMetafile metafile = gs::TMetafile::FromSource(src);
        gs::TGIFImage gif;
        gif.Assign(metafile);
        gif.SaveToBytes();
    } catch (const std::exception&) {
    }
    return 0;
}
