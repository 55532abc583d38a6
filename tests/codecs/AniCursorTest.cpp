// Animated cursors and icon lists on streams made in code: what a damaged container still
// yields, the strip's cells, and the list's change notices.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"
#include "codecs/AniCursor.h"
#include "codecs/IconList.h"
#include "support/CodecMaker.h"
#include "support/IconMaker.h"

namespace {

using gs::Bytes;
using gstest::errorOf;

struct Step {
    int sequence, rate, hotX, hotY;
    bool isIcon;
    friend bool operator==(const Step&, const Step&) = default;
};

std::vector<Step> stepsOf(const Bytes& file) {
    gs::TAnimatedCursorImage cursor;
    cursor.loadFromSource(gs::MemorySource(file));
    std::vector<Step> steps;
    for (int i = 0; i < cursor.frameCount(); ++i) {
        const gs::TIconFrame& f = cursor.frameAt(i);
        steps.push_back({f.sequence, f.rate, f.hotX, f.hotY, f.isIcon});
    }
    return steps;
}

TEST(AniCursor, StepsSurviveADamagedTailAndShortDirectories) {
    const Bytes file = gstest::animatedCursor();
    // The cursor image's hot spot is its directory entry's planes and bit count fields (1, 8
    // as written); an icon's is its middle.
    const std::vector<Step> want = {{1, 5, 1, 8, false}, {0, 7, 8, 8, true}, {1, 9, 1, 8, false}};
    EXPECT_EQ(stepsOf(file), want);

    Bytes pastEnd = file;
    for (std::uint8_t b : Bytes{'J', 'U', 'N', 'K', 0xFF, 0xFF, 0, 0, 1, 2}) pastEnd.push_back(b);
    EXPECT_EQ(stepsOf(pastEnd), want) << "a chunk past the end only stops the parsing";

    // The first icon's directory claims 200 entries: those beyond its chunk are passed over.
    Bytes longDirectory = file;
    const Bytes icon = gstest::makeIcoFile({gstest::dibSpec(16, 4)});
    auto at = std::search(longDirectory.begin(), longDirectory.end(), icon.begin(), icon.end());
    ASSERT_NE(at, longDirectory.end());
    at[4] = 200;
    EXPECT_EQ(stepsOf(longDirectory), want);

    gs::TAnimatedCursorImage cursor;
    cursor.loadFromSource(gs::MemorySource(file));
    EXPECT_EQ(cursor.title, "seed");
    EXPECT_EQ(cursor.header.steps, 3u);
    // Every cell is frame 0's (the 32 x 32 cursor), the 16 x 16 icon's too.
    gs::Raster strip = cursor.framesToBitmap(gs::kWhite, false, false);
    EXPECT_EQ(strip.width(), 96);
    EXPECT_EQ(strip.height(), 32);
    gs::ByteWriter out;
    EXPECT_EQ(errorOf([&] { cursor.saveCursorStream(out); }), "Function not yet implemented");
    gs::TIconList list;
    int notices = 0;
    list.onChange = [&] { ++notices; };
    cursor.assignTo(list);
    EXPECT_EQ(list.iconCount(), 3);
    EXPECT_EQ(notices, 1);
}

// Read from the middle of a stream, a cursor takes the rest of it in place and leaves the
// stream at its end; a last chunk without its pad byte still ends the file cleanly.
TEST(AniCursor, AStreamIsReadInPlaceToItsEnd) {
    const Bytes file = gstest::animatedCursor();
    const std::vector<Step> want = stepsOf(file);
    gs::ByteWriter framed;
    framed.bytes(Bytes(11, 0xAB));
    framed.bytes(file);
    gs::MemorySource src(framed.take());
    gs::ByteReader in(src, 11);
    gs::TAnimatedCursorImage cursor;
    cursor.loadCursorStream(in);
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(cursor.frameCount(), int(want.size()));
    EXPECT_EQ(cursor.title, "seed");

    // An odd-sized chunk at the very end, its pad byte missing.
    Bytes odd = file;
    for (std::uint8_t b : Bytes{'J', 'U', 'N', 'K', 3, 0, 0, 0, 1, 2, 3}) odd.push_back(b);
    EXPECT_EQ(stepsOf(odd), want);
}

// An animated cursor of these chunks; LIST chunks are given as their type and sub-chunks.
Bytes cursorOf(std::initializer_list<Bytes> chunks) {
    Bytes body = {'A', 'C', 'O', 'N'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return gstest::riffChunk("RIFF", body);
}
Bytes header(std::uint32_t frames, std::uint32_t steps) {
    gs::ByteWriter w;
    for (std::uint32_t v : {36u, frames, steps, 0u, 0u, 0u, 0u, 6u, 1u}) w.u32(v);
    return gstest::riffChunk("anih", w.data());
}
Bytes list(const char* type, std::initializer_list<Bytes> subChunks) {
    Bytes b(type, type + 4);
    for (const Bytes& c : subChunks) b.insert(b.end(), c.begin(), c.end());
    return gstest::riffChunk("LIST", b);
}
Bytes words(const char* id, std::initializer_list<std::uint32_t> values) {
    gs::ByteWriter w;
    for (std::uint32_t v : values) w.u32(v);
    return gstest::riffChunk(id, w.data());
}

// Steps no file of this size could give an image are never made; the rest read as ever,
// a "seq " chunk after the images re-pointing the steps but not their pictures.
TEST(AniCursor, StepCountsAreBoundedByTheFileAndImagesFindTheirSteps) {
    const Bytes icon = gstest::riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(16, 4)}));
    const Bytes other = gstest::riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(32, 8)}));
    const struct {
        const char* name;
        Bytes file;
        std::vector<std::pair<int, int>> steps;  // sequence, image width
    } cases[] = {
        {"30,000 steps declared", cursorOf({header(30000, 30000), list("fram", {icon})}), {{0, 16}}},
        {"2^32 - 1 steps declared", cursorOf({header(1, 0xFFFFFFFF), list("fram", {icon})}), {{0, 16}}},
        {"an image no step shows", cursorOf({header(1, 1), words("seq ", {7}), list("fram", {icon, other})}),
         {{-1, 16}, {-1, 32}}},
        {"sequence before the images", cursorOf({header(2, 3), words("seq ", {1, 0, 1}), list("fram", {icon, other})}),
         {{1, 32}, {0, 16}, {1, 32}}},
        {"sequence after the images", cursorOf({header(2, 2), list("fram", {icon, other}), words("seq ", {1, 0})}),
         {{1, 16}, {0, 32}}},
    };
    for (const auto& c : cases) {
        gs::TAnimatedCursorImage cursor;
        cursor.loadFromSource(gs::MemorySource(c.file));
        std::vector<std::pair<int, int>> got;
        for (int i = 0; i < cursor.frameCount(); ++i)
            got.emplace_back(cursor.frameAt(i).sequence, cursor.frameIcon(i)->Images().GetImage(0)->Width());
        EXPECT_EQ(got, c.steps) << c.name;
        EXPECT_EQ(cursor.header.steps, c.steps.size()) << c.name;
    }
}

// A text sub-chunk larger than what is left of its list ends the list: the texts before it
// stay, the cursor reads on. An image sub-chunk that does so still refuses the cursor.
TEST(AniCursor, AnOversizedTextEndsItsListOnly) {
    const Bytes icon = gstest::riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(16, 4)}));
    Bytes oversized = gstest::riffChunk("IART", {'M', 'e', 0, 0});
    oversized[4] = 200;
    gs::TAnimatedCursorImage cursor;
    cursor.loadFromSource(gs::MemorySource(cursorOf(
        {header(1, 1), list("INFO", {gstest::riffChunk("INAM", {'S', 'p', 'i', 'n', 0}), oversized}), list("fram", {icon})})));
    EXPECT_EQ(cursor.title, "Spin");
    EXPECT_EQ(cursor.creator, "");
    EXPECT_EQ(cursor.frameCount(), 1);

    Bytes oversizedIcon = icon;
    oversizedIcon[4] = 0xF0;
    EXPECT_EQ(errorOf([&] { cursor.loadFromSource(gs::MemorySource(cursorOf({header(1, 1), list("fram", {oversizedIcon})}))); }),
              "Stream read error");
}

TEST(IconList, EntriesAreReadInPlaceAndNeverReachIntoTheNext) {
    // Two entries; the first's icon names its second image's data past its own end, where
    // the second entry lies: that image is left out, the second entry reads whole.
    const Bytes two = gstest::makeIcoFile({gstest::dibSpec(16, 4, 1), gstest::dibSpec(32, 4, 2)});
    Bytes first = two;
    first.resize(two.size() - gstest::dibSpec(32, 4, 2).data.size());
    gs::ByteWriter w;
    w.u32(2);
    w.u32(std::uint32_t(first.size()));
    w.bytes(first);
    w.u32(std::uint32_t(two.size()));
    w.bytes(two);
    w.bytes(Bytes{9, 9, 9});  // what follows the list stays for the stream's next reader
    gs::MemorySource src(w.data());
    gs::ByteReader in(src);
    gs::TIconList list;
    list.loadIcons(in);
    ASSERT_EQ(list.iconCount(), 2);
    EXPECT_EQ(list.iconAt(0)->Images().Count(), 1);
    EXPECT_EQ(list.iconAt(1)->Images().Count(), 2);
    EXPECT_EQ(in.remaining(), 3u);
}

TEST(IconList, ChangesInsideAnUpdateAreAnnouncedOnceAtItsEnd) {
    gs::TIconList list;
    int notices = 0;
    list.onChange = [&] { ++notices; };
    gs::TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(gs::MemorySource(gstest::makeIcoFile({gstest::dibSpec(16, 8)}))));
    list.addIcon(icon);
    EXPECT_EQ(notices, 1);
    list.beginIconUpdate();
    list.setIconAt(0, icon);
    list.setIconAt(1, icon);
    list.exchangeIcons(0, 1);
    EXPECT_EQ(notices, 1);
    list.endIconUpdate();
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(list.iconCount(), 2);

    gs::MemorySource stream(gstest::iconListStream());
    gs::ByteReader in(stream);
    list.loadIcons(in);
    EXPECT_EQ(notices, 3);
    ASSERT_EQ(list.iconCount(), 3);
    EXPECT_EQ(list.iconAt(1), nullptr);
    EXPECT_EQ(list.iconAt(2)->Images().Count(), 2);
}

}  // namespace
