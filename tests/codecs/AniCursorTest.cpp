// Animated cursors and icon lists on streams made in code: what a damaged container still
// yields, the strip's cells, and the list's change notices.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"
#include "codecs/AniCursor.h"
#include "codecs/IconList.h"
#include "support/CodecMaker.h"
#include "support/IconMaker.h"

namespace {

using gs::TBytes;
using gstest::errorOf;

struct Step {
    int sequence, rate, hotX, hotY;
    bool isIcon;
    friend bool operator==(const Step&, const Step&) = default;
};

std::vector<Step> stepsOf(const TBytes& file) {
    gs::TAnimatedCursorImage cursor;
    cursor.LoadFromSource(gs::TMemorySource(file));
    std::vector<Step> steps;
    for (int i = 0; i < cursor.FrameCount(); ++i) {
        const gs::TIconFrame& f = cursor.FrameAt(i);
        steps.push_back({f.sequence, f.rate, f.hotX, f.hotY, f.isIcon});
    }
    return steps;
}

TEST(AniCursor, StepsSurviveADamagedTailAndShortDirectories) {
    const TBytes file = gstest::animatedCursor();
    // The cursor image's hot spot is its directory entry's planes and bit count fields (1, 8
    // as written); an icon's is its middle.
    const std::vector<Step> want = {{1, 5, 1, 8, false}, {0, 7, 8, 8, true}, {1, 9, 1, 8, false}};
    EXPECT_EQ(stepsOf(file), want);

    TBytes pastEnd = file;
    for (std::uint8_t b : TBytes{'J', 'U', 'N', 'K', 0xFF, 0xFF, 0, 0, 1, 2}) pastEnd.push_back(b);
    EXPECT_EQ(stepsOf(pastEnd), want) << "a chunk past the end only stops the parsing";

    // The first icon's directory claims 200 entries: those beyond its chunk are passed over.
    TBytes longDirectory = file;
    const TBytes icon = gstest::makeIcoFile({gstest::dibSpec(16, 4)});
    auto at = std::search(longDirectory.begin(), longDirectory.end(), icon.begin(), icon.end());
    ASSERT_NE(at, longDirectory.end());
    at[4] = 200;
    EXPECT_EQ(stepsOf(longDirectory), want);

    gs::TAnimatedCursorImage cursor;
    cursor.LoadFromSource(gs::TMemorySource(file));
    EXPECT_EQ(cursor.title, "seed");
    EXPECT_EQ(cursor.header.steps, 3u);
    // Every cell is frame 0's (the 32 x 32 cursor), the 16 x 16 icon's too.
    gs::TRaster strip = cursor.FramesToBitmap(gs::kWhite, false, false);
    EXPECT_EQ(strip.Width(), 96);
    EXPECT_EQ(strip.Height(), 32);
    gs::TByteWriter out;
    EXPECT_EQ(errorOf([&] { cursor.SaveCursorStream(out); }), "Function not yet implemented");
    gs::TIconList list;
    int notices = 0;
    list.onChange = [&] { ++notices; };
    cursor.AssignTo(list);
    EXPECT_EQ(list.IconCount(), 3);
    EXPECT_EQ(notices, 1);
}

// Read from the middle of a stream, a cursor takes the rest of it in place and leaves the
// stream at its end; a last chunk without its pad byte still ends the file cleanly.
TEST(AniCursor, AStreamIsReadInPlaceToItsEnd) {
    const TBytes file = gstest::animatedCursor();
    const std::vector<Step> want = stepsOf(file);
    gs::TByteWriter framed;
    framed.Bytes(TBytes(11, 0xAB));
    framed.Bytes(file);
    gs::TMemorySource src(framed.Take());
    gs::TByteReader in(src, 11);
    gs::TAnimatedCursorImage cursor;
    cursor.LoadCursorStream(in);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(cursor.FrameCount(), int(want.size()));
    EXPECT_EQ(cursor.title, "seed");

    // An odd-sized chunk at the very end, its pad byte missing.
    TBytes odd = file;
    for (std::uint8_t b : TBytes{'J', 'U', 'N', 'K', 3, 0, 0, 0, 1, 2, 3}) odd.push_back(b);
    EXPECT_EQ(stepsOf(odd), want);
}

TBytes chunks(const char* id, std::initializer_list<TBytes> parts) {  // a chunk of a type and sub-chunks
    TBytes b(id + 4, id + 8);
    for (const TBytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return gstest::riffChunk(id, b);
}
TBytes words(const char* id, std::initializer_list<std::uint32_t> values) {
    gs::TByteWriter w;
    for (std::uint32_t v : values) w.U32(v);
    return gstest::riffChunk(id, w.Data());
}

// Steps no file of this size could give an image are never made (the rest read as ever, a
// "seq " chunk after the images re-pointing steps, not pictures), and a text larger than what
// is left of its list ends that list only.
TEST(AniCursor, StepCountsAreBoundedByTheFileAndAnOversizedTextEndsItsList) {
    const TBytes icon = gstest::riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(16, 4)}));
    const TBytes other = gstest::riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(32, 8)}));
    TBytes longText = gstest::riffChunk("IART", {'M', 'e', 0, 0});
    longText[4] = 200;
    auto anih = [](std::uint32_t steps) { return words("anih", {36, steps, steps, 0, 0, 0, 0, 6, 1}); };
    const TBytes fram = chunks("LISTfram", {icon, other});
    const struct {
        TBytes file;
        std::vector<std::pair<int, int>> steps;  // sequence, image width
    } cases[] = {
        {chunks("RIFFACON", {anih(30000), fram}), {{0, 16}, {1, 32}}},
        {chunks("RIFFACON", {anih(1), words("seq ", {7}), fram}), {{-1, 16}, {-1, 32}}},
        {chunks("RIFFACON", {anih(2), fram, words("seq ", {1, 0})}), {{1, 16}, {0, 32}}},
        {chunks("RIFFACON", {anih(1), chunks("LISTINFO", {gstest::riffChunk("INAM", {'S', 0}), longText}), fram}),
         {{0, 16}, {-1, 32}}},
    };
    for (const auto& c : cases) {
        gs::TAnimatedCursorImage cursor;
        cursor.LoadFromSource(gs::TMemorySource(c.file));
        std::vector<std::pair<int, int>> got;
        for (int i = 0; i < cursor.FrameCount(); ++i)
            got.emplace_back(cursor.FrameAt(i).sequence, cursor.FrameIcon(i)->Images().GetImage(0)->Width());
        EXPECT_EQ(got, c.steps) << &c - cases;
        EXPECT_EQ(cursor.header.steps, c.steps.size());
        EXPECT_EQ(cursor.title + cursor.creator, &c == cases + 3 ? "S" : "");
    }
}

TEST(IconList, EntriesAreReadInPlaceAndNeverReachIntoTheNext) {
    // Two entries; the first's icon names its second image's data past its own end, where
    // the second entry lies: that image is left out, the second entry reads whole.
    const TBytes two = gstest::makeIcoFile({gstest::dibSpec(16, 4, 1), gstest::dibSpec(32, 4, 2)});
    TBytes first = two;
    first.resize(two.size() - gstest::dibSpec(32, 4, 2).data.size());
    gs::TByteWriter w;
    w.U32(2);
    w.U32(std::uint32_t(first.size()));
    w.Bytes(first);
    w.U32(std::uint32_t(two.size()));
    w.Bytes(two);
    w.Bytes(TBytes{9, 9, 9});  // what follows the list stays for the stream's next reader
    gs::TMemorySource src(w.Data());
    gs::TByteReader in(src);
    gs::TIconList list;
    list.LoadIcons(in);
    ASSERT_EQ(list.IconCount(), 2);
    EXPECT_EQ(list.IconAt(0)->Images().Count(), 1);
    EXPECT_EQ(list.IconAt(1)->Images().Count(), 2);
    EXPECT_EQ(in.Remaining(), 3u);
}

TEST(IconList, ChangesInsideAnUpdateAreAnnouncedOnceAtItsEnd) {
    gs::TIconList list;
    int notices = 0;
    list.onChange = [&] { ++notices; };
    gs::TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(gs::TMemorySource(gstest::makeIcoFile({gstest::dibSpec(16, 8)}))));
    list.AddIcon(icon);
    EXPECT_EQ(notices, 1);
    list.BeginIconUpdate();
    list.SetIconAt(0, icon);
    list.SetIconAt(1, icon);
    list.ExchangeIcons(0, 1);
    EXPECT_EQ(notices, 1);
    list.EndIconUpdate();
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(list.IconCount(), 2);

    gs::TMemorySource stream(gstest::iconListStream());
    gs::TByteReader in(stream);
    list.LoadIcons(in);
    EXPECT_EQ(notices, 3);
    ASSERT_EQ(list.IconCount(), 3);
    EXPECT_EQ(list.IconAt(1), nullptr);
    EXPECT_EQ(list.IconAt(2)->Images().Count(), 2);
}

}  // namespace

namespace {

// An icon file of `entries` directory entries that all name its one image: 16 bytes of file
// for every image object a reader makes of it.
TBytes iconOfOneImageNamed(std::uint16_t entries) {
    const gstest::ImageSpec image = gstest::dibSpec(16, 4);
    gs::TByteWriter w;
    w.U16(0);
    w.U16(1);
    w.U16(entries);
    for (std::uint16_t i = 0; i < entries; ++i) {
        w.U8(16), w.U8(16), w.U8(16), w.U8(0), w.U16(1), w.U16(4);
        w.U32(std::uint32_t(image.data.size()));
        w.U32(6 + 16 * std::uint32_t(entries));
    }
    w.Bytes(image.data);
    return w.Take();
}

// The icons as the frames of a cursor, or as the entries of an icon-list stream.
TBytes containerOf(bool cursor, const std::vector<TBytes>& icons) {
    gs::TByteWriter w;
    if (cursor) w.Bytes(TBytes{'f', 'r', 'a', 'm'});
    else w.U32(std::uint32_t(icons.size()));
    for (const TBytes& icon : icons) {
        if (!cursor) w.U32(std::uint32_t(icon.size()));
        w.Bytes(cursor ? gstest::riffChunk("icon", icon) : icon);
    }
    if (!cursor) return w.Take();
    const auto n = std::uint32_t(icons.size());
    return chunks("RIFFACON", {words("anih", {36, n, n, 0, 0, 0, 0, 6, 1}), gstest::riffChunk("LIST", w.Take())});
}

}  // namespace

// The icons of a cursor or an icon list are read through one budget for the file: icons
// whose entries all name one image make an object for every 16 bytes of the file, 8 times
// what the file holds, and a cursor of them is refused past the file's budget (4 times its
// size) even when each alone fits a budget of its own. A list's entries are icon files of
// their own, each holding at most its own bytes (as the same icon read alone would), so the
// crowded list is trimmed within its budget instead. Sound files of many icons read whole.
TEST(AniCursor, FramesAndIconListEntriesAreReadThroughOneBudgetForTheFile) {
    const TBytes crowded = iconOfOneImageNamed(2000);
    const TBytes sound = gstest::makeIcoFile({gstest::dibSpec(16, 4), gstest::dibSpec(32, 8)});
    const struct {
        std::vector<TBytes> icons;
        bool refusedAsCursor;
    } cases[] = {
        {std::vector<TBytes>(1, crowded), false},    // one icon: within the 1 MiB floor
        {std::vector<TBytes>(40, crowded), true},    // 80,000 image objects in 1.3 MB
        {std::vector<TBytes>(3000, sound), false},   // 6,000 images of their own
    };
    gs::TMemorySource alone(crowded);
    gs::TQBIcon crowdedAlone;
    ASSERT_TRUE(crowdedAlone.LoadFromSource(alone));
    for (bool cursor : {true, false})
        for (const auto& c : cases) {
            gs::TMemorySource src(containerOf(cursor, c.icons));
            gs::TByteReader in(src);
            gs::TAnimatedCursorImage ani;
            gs::TIconList list;
            const std::string at = (cursor ? "cursor, case " : "icon list, case ") + std::to_string(&c - cases);
            const bool refused = cursor && c.refusedAsCursor;
            try {
                cursor ? ani.LoadFromSource(src) : list.LoadIcons(in);
                EXPECT_FALSE(refused) << at;
                EXPECT_EQ(cursor ? ani.FrameCount() : list.IconCount(), int(c.icons.size())) << at;
                if (!cursor && c.icons[0] == crowded) {  // each entry holds what the icon alone holds
                    EXPECT_EQ(list.IconAt(0)->Images().Count(), crowdedAlone.Images().Count()) << at;
                }
            } catch (const gs::EOverBudget& e) {
                EXPECT_TRUE(refused) << at << e.Reason();
                EXPECT_STREQ(e.what(), "Stream read error") << at;
                EXPECT_NE(e.Reason().find("would hold more than"), std::string::npos) << at << e.Reason();
                EXPECT_EQ(ani.FrameCount(), 0) << at;  // a cursor refused is left empty
            }
        }
}

namespace {

// A file of `size` bytes whose first bytes are given and the rest zeros, as a sparse file
// reads: gigabytes at no cost.
class THoleSource final : public gs::IByteSource {
public:
    THoleSource(TBytes head, std::uint64_t size) : head_(std::move(head)), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const override {
        if (!Contains(offset, dst.size())) throw gs::EReadError("past the end");
        for (std::size_t i = 0; i < dst.size(); ++i) dst[i] = offset + i < head_.size() ? head_[offset + i] : 0;
    }

private:
    TBytes head_;
    std::uint64_t size_;
};

}  // namespace

// What a header's step count, a "seq " chunk and a file's size ask for is made only as far as
// images can fill it, and what is made is counted in the file's budget: the steps of a file
// of gigabytes, mostly a hole, are its images' steps, and a sequence asking for a billion steps
// of its one image is refused (it would need tens of gigabytes).
TEST(AniCursor, StepsAreMadeForTheirImagesAndCountedInTheBudget) {
    const TBytes icon = gstest::riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(16, 4)}));
    auto anih = [](std::uint32_t steps, std::uint32_t flags) { return words("anih", {36, 1, steps, 0, 0, 0, 0, 6, flags}); };
    auto header = [](const char* id, std::uint32_t size) {  // a chunk header whose data are the hole
        TBytes h(id, id + 4);
        for (int i = 0; i < 4; ++i) h.push_back(std::uint8_t(size >> (8 * i)));
        return h;
    };
    auto riff = [](std::initializer_list<TBytes> parts) {
        TBytes b = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'A', 'C', 'O', 'N'};
        for (const TBytes& p : parts) b.insert(b.end(), p.begin(), p.end());
        return b;
    };
    const TBytes fram = chunks("LISTfram", {icon});
    constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;
    const struct {
        TBytes head;
        std::uint64_t size;
        int frames;  // -1: refused over the budget
    } cases[] = {
        // 2^32 - 1 steps, one image, 40 GB of one chunk after another.
        {riff({anih(0xFFFFFFFF, 1), fram, header("JUNK", 0xFFFFFFF0)}), 40 * kGiB, 1},
        // The same, the hole read as empty chunks (a billion of them).
        {riff({anih(0xFFFFFFFF, 1), fram}), 8 * kGiB, 1},
        // The hole is one "seq " chunk: a billion steps all showing the one image.
        {riff({anih(0xFFFFFFFF, 3), fram, header("seq ", 0xFFFFFFF0)}), 8 * kGiB, -1},
        // A sequence of 100 steps over the image fits the budget of its small file.
        {riff({anih(100, 3), gstest::riffChunk("seq ", TBytes(400, 0)), fram}), 0, 100},
    };
    for (const auto& c : cases) {
        const std::string at = "case " + std::to_string(&c - cases);
        THoleSource src(c.head, std::max<std::uint64_t>(c.size, c.head.size() + 400));
        gs::TAnimatedCursorImage cursor;
        try {
            cursor.LoadFromSource(src);
            EXPECT_EQ(cursor.FrameCount(), c.frames) << at;
            for (int i = 0; i < cursor.FrameCount(); ++i) EXPECT_EQ(cursor.FrameAt(i).sequence, 0) << at;
        } catch (const gs::EOverBudget& e) {
            EXPECT_EQ(c.frames, -1) << at;
            EXPECT_NE(e.Reason().find("the steps of the animation"), std::string::npos) << at << e.Reason();
            EXPECT_EQ(cursor.FrameCount(), 0) << at;
        }
    }
}
