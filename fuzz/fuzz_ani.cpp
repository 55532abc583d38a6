#include <exception>

#include "codecs/AniCursor.h"
#include "codecs/RxGif.h"

// Reads an animated cursor; small ones are drawn as a strip and taken over by a GIF.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::MemorySource src(gs::Bytes(data, data + size));
    gs::TAnimatedCursorImage cursor;
    try {
        cursor.loadFromSource(src);
        if (cursor.frameCount() <= 16) {
            cursor.framesToBitmap(gs::kWhite, false, true);
            gs::TRxGIFImage gif;
            gif.assign(cursor);
        }
    } catch (const std::exception&) {
    }
    return 0;
}
