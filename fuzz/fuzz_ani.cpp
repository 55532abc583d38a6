#include <cstdlib>
#include <exception>
#include <string>

#include "FuzzCommon.h"
#include "codecs/AniCursor.h"
#include "codecs/RxGif.h"

namespace {

std::string outcome(gs::TAnimatedCursorImage& cursor, const auto& read) {
    return readOutcome(read, [&] {
        return std::to_string(cursor.frameCount()) + " " + std::to_string(cursor.header.steps) + " " + cursor.title +
               "|" + cursor.creator;
    });
}

}  // namespace

// Reads an animated cursor; small ones are drawn as a strip and taken over by a GIF. The
// same bytes read in place from the middle of a larger stream must give the same cursor.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::MemorySource src(gs::Bytes(data, data + size));
    gs::TAnimatedCursorImage cursor;
    const std::string alone = outcome(cursor, [&] { cursor.loadFromSource(src); });
    try {
        if (alone.rfind("error", 0) != 0 && cursor.frameCount() <= 16) {
            cursor.framesToBitmap(gs::kWhite, false, true);
            gs::TRxGIFImage gif;
            gif.assign(cursor);
        }
    } catch (const std::exception&) {
    }
    if (size == 0) return 0;
    gs::Bytes framed(7, 0xA5);
    framed.insert(framed.end(), data, data + size);
    gs::MemorySource around(framed);
    gs::ByteReader in(around, 7);
    gs::TAnimatedCursorImage inPlace;
    if (outcome(inPlace, [&] { inPlace.loadCursorStream(in); }) != alone || in.remaining() != 0) std::abort();
    return 0;
}
