// Every reader of the codecs over every truncation and 1,000 seeded mutations of a fixture
// made by our writers: each read ends, with the picture or with an error, never a crash or a
// hang (the sanitized build runs this too).
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "CodecTestSupport.h"
#include "codecs/AniCursor.h"
#include "codecs/GifImage.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/IconList.h"
#include "codecs/RxGif.h"
#include "support/CodecMaker.h"

namespace {

using gs::TBytes;

void readGif(const TBytes& b) {
    gs::TGIFImage gif;
    gif.LoadFromSource(gs::TMemorySource(b));
}
void readRxGif(const TBytes& b) {
    gs::TMemorySource src(b);
    gs::TByteReader in(src);
    gs::TRxGIFImage gif;
    gif.LoadFromStream(in);
    for (int i = 0; i < gif.FrameCount(); ++i) gif.Frame(i).Bitmap();
}
void readCursor(const TBytes& b) {
    gs::TAnimatedCursorImage cursor;
    cursor.LoadFromSource(gs::TMemorySource(b));
    cursor.FramesToBitmap(gs::kWhite, false, true);
}
void readIconList(const TBytes& b) {
    gs::TMemorySource src(b);
    gs::TByteReader in(src);
    gs::TIconList list;
    list.LoadIcons(in);
}

TEST(DamagedInput, TruncationsAndMutationsEndCleanly) {
    struct Fixture {
        const char* name;
        TBytes bytes;
        void (*read)(const TBytes&);
    } fixtures[] = {{"gif", gstest::animatedGif(), readGif},
                    {"rxgif", gstest::animatedGif(), readRxGif},
                    {"ani", gstest::animatedCursor(), readCursor},
                    {"iconlist", gstest::iconListStream(), readIconList}};
    std::mt19937 rng(17);
    for (const Fixture& f : fixtures) {
        ASSERT_NO_THROW(f.read(f.bytes)) << f.name << ": the fixture itself";
        int failures = 0;
        auto attempt = [&](const TBytes& b) {
            try {
                f.read(b);
            } catch (const std::exception&) {
                ++failures;
            }
        };
        for (std::size_t n = 0; n < f.bytes.size(); ++n) attempt(TBytes(f.bytes.begin(), f.bytes.begin() + std::ptrdiff_t(n)));
        for (int m = 0; m < 1000; ++m) {
            TBytes b = f.bytes;
            for (unsigned k = 1 + rng() % 4; k > 0; --k) b[rng() % b.size()] = std::uint8_t(rng());
            attempt(b);
        }
        EXPECT_GT(failures, 0) << f.name << ": no damaged input was refused";
    }
}

}  // namespace

// Each codec's own refusals reach a caller that catches the one codec error, with the
// codec's text unchanged.
TEST(DamagedInput, CodecRefusalsShareOneRootAndKeepTheirTexts) {
    gs::TBytes wrongSignature = gstest::animatedGif();
    wrongSignature[0] = 'X';
    gs::TBytes cut = gstest::animatedGif();
    cut.resize(8);
    const struct {
        const char* text;
        std::function<void()> refuse;
    } cases[] = {
        {gs::rxgifmsg::kUnknownVersion, [&] { readRxGif(wrongSignature); }},
        {gs::graphicmsg::kInvalidBitmap,
         [] { gs::toPixelFormat(gs::TRaster(), gs::PixelFormat::pf8bit, gs::kDefaultColorMapping); }},
        {gs::graphicmsg::kNotImplemented,
         [] { gs::toPixelFormat(gs::TRaster(2, 2), gs::PixelFormat::pf32bit, gs::kDefaultColorMapping); }},
        {gs::gifmsg::kBadFrameSize, [] { gs::TGIFImage().SetWidth(-1); }},
        {gs::gifmsg::kPrematureEnd, [&] { readGif(cut); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            c.refuse();
            ADD_FAILURE() << "not refused";
        } catch (const gs::ECodecError& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
}

// An index a caller gives outside its list is the list's error, naming the index, and
// changes nothing: never a read or a move outside the list.
TEST(DamagedInput, IndexesOutsideTheirListsAreTheListsError) {
    gs::TIconList icons;
    gs::TMemorySource stream(gstest::iconListStream());
    gs::TByteReader in(stream);
    icons.LoadIcons(in);  // three entries, the second empty
    const gs::TQBIcon* first = icons.IconAt(0);
    gs::TGIFImage gif;
    gif.LoadFromSource(gs::TMemorySource(gstest::animatedGif()));
    gs::TAnimatedCursorImage cursor;
    cursor.LoadFromSource(gs::TMemorySource(gstest::animatedCursor()));
    const std::pair<std::function<void()>, long> cases[] = {
        {[&] { icons.MoveIcon(-1, 0); }, -1}, {[&] { icons.MoveIcon(0, -1); }, -1}, {[&] { icons.MoveIcon(0, 3); }, 3},
        {[&] { icons.ExchangeIcons(0, 3); }, 3}, {[&] { icons.SetIconAt(4, *first); }, 4}, {[&] { icons.IconAt(-2); }, -2},
        {[&] { gif.DeleteFrame(2); }, 2}, {[&] { gif.Frame(1).DeleteExtension(5); }, 5}, {[&] { cursor.FrameAt(3); }, 3}};
    for (const auto& [call, index] : cases)
        EXPECT_EQ(gstest::errorOf(call), "List index out of bounds (" + std::to_string(index) + ")");
    icons.MoveIcon(0, 2);
    EXPECT_EQ(icons.IconAt(2), first);
    EXPECT_EQ(icons.IconCount() + gif.FrameCount(), 5);
}
