// Every reader of the codecs over every truncation and 1,000 seeded mutations of a fixture
// made by our writers: each read ends, with the picture or with an error, never a crash or a
// hang (the sanitized build runs this too).
#include <gtest/gtest.h>

#include <random>

#include "codecs/AniCursor.h"
#include "codecs/GifImage.h"
#include "codecs/IconList.h"
#include "codecs/RxGif.h"
#include "support/CodecMaker.h"

namespace {

using gs::Bytes;

void readGif(const Bytes& b) {
    gs::TGIFImage gif;
    gif.loadFromSource(gs::MemorySource(b));
}
void readRxGif(const Bytes& b) {
    gs::MemorySource src(b);
    gs::ByteReader in(src);
    gs::TRxGIFImage gif;
    gif.loadFromStream(in);
    for (int i = 0; i < gif.frameCount(); ++i) gif.frame(i).bitmap();
}
void readCursor(const Bytes& b) {
    gs::TAnimatedCursorImage cursor;
    cursor.loadFromSource(gs::MemorySource(b));
    cursor.framesToBitmap(gs::kWhite, false, true);
}
void readIconList(const Bytes& b) {
    gs::MemorySource src(b);
    gs::ByteReader in(src);
    gs::TIconList list;
    list.loadIcons(in);
}

TEST(DamagedInput, TruncationsAndMutationsEndCleanly) {
    struct Fixture {
        const char* name;
        Bytes bytes;
        void (*read)(const Bytes&);
    } fixtures[] = {{"gif", gstest::animatedGif(), readGif},
                    {"rxgif", gstest::animatedGif(), readRxGif},
                    {"ani", gstest::animatedCursor(), readCursor},
                    {"iconlist", gstest::iconListStream(), readIconList}};
    std::mt19937 rng(17);
    for (const Fixture& f : fixtures) {
        ASSERT_NO_THROW(f.read(f.bytes)) << f.name << ": the fixture itself";
        int failures = 0;
        auto attempt = [&](const Bytes& b) {
            try {
                f.read(b);
            } catch (const std::exception&) {
                ++failures;
            }
        };
        for (std::size_t n = 0; n < f.bytes.size(); ++n) attempt(Bytes(f.bytes.begin(), f.bytes.begin() + std::ptrdiff_t(n)));
        for (int m = 0; m < 1000; ++m) {
            Bytes b = f.bytes;
            for (unsigned k = 1 + rng() % 4; k > 0; --k) b[rng() % b.size()] = std::uint8_t(rng());
            attempt(b);
        }
        EXPECT_GT(failures, 0) << f.name << ": no damaged input was refused";
    }
}

}  // namespace
