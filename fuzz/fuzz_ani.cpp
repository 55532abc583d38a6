#include <cstdlib>
#include <exception>
#include <string>

#include "FuzzCommon.h"
#include "codecs/AniCursor.h"
#include "codecs/RxGif.h"

namespace {

std::string outcome(gs::TAnimatedCursorImage& cursor, const auto& read) {
    return readOutcome(read, [&] {
        return std::to_string(cursor.FrameCount()) + " " + std::to_string(cursor.header.steps) + " " + cursor.title +
               "|" + cursor.creator;
    });
}

}  // namespace

// Reads an animated cursor; small ones are drawn as a strip and taken over by a GIF. The
// same bytes read in place from the middle of a larger stream must give the same cursor.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    gs::TAnimatedCursorImage cursor;
    const std::string alone = outcome(cursor, [&] { cursor.LoadFromSource(src); });
    try {
        if (alone.rfind("error", 0) != 0 && cursor.FrameCount() <= 16) {
            cursor.FramesToBitmap(gs::kWhite, false, true);
            gs::TRxGIFImage gif;
            gif.Assign(cursor);
        }
    } catch (const std::exception&) {
    }
    if (size == 0) return 0;
    gs::TBytes framed(7, 0xA5);
    framed.insert(framed.end(), data, data + size);
    gs::TMemorySource around(framed);
    gs::TByteReader in(around, 7);
    gs::TAnimatedCursorImage inPlace;
    if (outcome(inPlace, [&] { inPlace.LoadCursorStream(in); }) != alone || in.Remaining() != 0) std::abort();
    return 0;
}
