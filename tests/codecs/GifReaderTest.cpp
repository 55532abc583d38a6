// The GIF reader on hand-made streams: what it accepts, what it warns about and what it
// refuses, and that what the writer writes reads back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "CodecTestSupport.h"
#include "codecs/GifImage.h"

namespace {

using gs::TBytes;
using gs::TGIFImage;
using gstest::errorOf;

// Codes packed least significant bit first, `width` bits each.
TBytes packCodes(std::initializer_list<int> codes, int width) {
    TBytes out;
    std::uint32_t bucket = 0;
    int bits = 0;
    for (int c : codes) {
        bucket |= std::uint32_t(c) << bits;
        for (bits += width; bits >= 8; bits -= 8, bucket >>= 8) out.push_back(std::uint8_t(bucket));
    }
    if (bits > 0) out.push_back(std::uint8_t(bucket));
    return out;
}

struct Gif {
    TBytes b;
    explicit Gif(int w = 4, int h = 2, int colours = 4, const char* sig = "GIF89a") {
        b.assign(sig, sig + 6);
        u16(w);
        u16(h);
        int bits = 1;
        while ((1 << bits) < colours) ++bits;
        b.insert(b.end(), {std::uint8_t(0x80 | (bits - 1)), 0, 0});
        for (int i = 0; i < (1 << bits); ++i) b.insert(b.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    }
    void u16(int v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
    Gif& raw(TBytes more) {
        b.insert(b.end(), more.begin(), more.end());
        return *this;
    }
    Gif& control(int packed, int delay, int index) {
        return raw({0x21, 0xF9, 4, std::uint8_t(packed), std::uint8_t(delay), std::uint8_t(delay >> 8),
                    std::uint8_t(index), 0});
    }
    // An image descriptor without local table, minimum code size, the data in one sub-block
    // and (unless cut) the zero block.
    Gif& frame(int l, int t, int w, int h, int minSize, const TBytes& data, bool terminate = true, int packed = 0) {
        b.push_back(0x2C);
        u16(l), u16(t), u16(w), u16(h);
        b.insert(b.end(), {std::uint8_t(packed), std::uint8_t(minSize), std::uint8_t(data.size())});
        raw(data);
        if (terminate) b.push_back(0);
        return *this;
    }
    Gif& trailer() { return raw({0x3B}); }
};

struct Loaded {
    TGIFImage gif;
    std::vector<std::string> warnings;
    std::string error;
};

std::unique_ptr<Loaded> load(const TBytes& bytes) {
    auto l = std::make_unique<Loaded>();
    l->gif.SetOnWarn([w = &l->warnings](const void*, int, const std::string& m) { w->push_back(m); });
    gs::TMemorySource src(bytes);
    l->error = errorOf([&] { l->gif.LoadFromSource(src); });
    return l;
}

TBytes pixelsOf(const Loaded& l, int frame) {
    auto p = l.gif.Frame(frame).Pixels();
    return TBytes(p.begin(), p.end());
}

using Warnings = std::vector<std::string>;
const std::string kInvalid = "Invalid GIF data";
// clear 4, end 5; the table's first free code is 6.
const TBytes kFourPixels = packCodes({4, 1, 2, 6, 5}, 3);  // 1 2 1 2

TEST(GifReader, SignaturePrefixCaseAndVersion) {
    TBytes body = Gif(4, 1).frame(0, 0, 4, 1, 2, kFourPixels).trailer().b;
    struct Case {
        TBytes prefix;
        const char* sig;
        std::string error;
    } cases[] = {{{}, "GIF89a", ""},           {{1, 2, 3, 4}, "GIF89a", ""}, {{1, 2, 3}, "GIF89a", "Invalid GIF signature"},
                 {{1, 2, 3, 4, 5}, "GIF89a", "Invalid GIF signature"}, {{}, "gif87a", ""}, {{}, "GiFxyz", ""},
                 {{}, "PNG89a", "Invalid GIF signature"},            {{}, "GIF", "Premature end of data"}};
    for (const Case& c : cases) {
        TBytes bytes = c.prefix;
        bytes.insert(bytes.end(), c.sig, c.sig + std::strlen(c.sig));
        if (std::strlen(c.sig) == 6) bytes.insert(bytes.end(), body.begin() + 6, body.end());
        auto l = load(bytes);
        EXPECT_EQ(l->error, c.error) << c.sig << " after " << c.prefix.size();
        if (c.error.empty()) {
            EXPECT_EQ(pixelsOf(*l, 0), (TBytes{1, 2, 1, 2}));
        }
    }
}

TEST(GifReader, DamagedDataEndsTheFrameKeepingWhatWasDecoded) {
    struct Case {
        const char* name;
        TBytes stream;
        TBytes pixels;  // of the first frame; the second frame (when there is one) is checked too
        Warnings warnings;
    } cases[] = {
        {"well formed, no trailer", Gif(4, 1).frame(0, 0, 4, 1, 2, kFourPixels).b, {1, 2, 1, 2}, {}},
        {"code above the next free code", Gif(4, 1).frame(0, 0, 4, 1, 2, packCodes({4, 1, 7, 5}, 3)).trailer().b,
         {1, 0, 0, 0}, {kInvalid}},
        {"first code after a clear is a table code",
         Gif(4, 1).frame(0, 0, 4, 1, 2, packCodes({4, 6, 5}, 3)).trailer().b, {0, 0, 0, 0}, {kInvalid}},
        {"repeated clears, then the end code", Gif(4, 1).frame(0, 0, 4, 1, 2, packCodes({4, 4, 5}, 3)).trailer().b,
         {0, 0, 0, 0}, {}},
        {"cut short, transparent fill", Gif(4, 1).control(1, 0, 3).raw({0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0, 2, 2, 0x8C}).b,
         {1, 3, 3, 3}, {"Premature end of data"}},
        {"minimum code size 0", Gif(4, 1).frame(0, 0, 4, 1, 0, {1, 2, 3}).frame(0, 0, 4, 1, 2, kFourPixels).trailer().b,
         {0, 0, 0, 0}, {kInvalid}},
        {"minimum code size 9", Gif(4, 1).frame(0, 0, 4, 1, 9, {1, 2, 3}).frame(0, 0, 4, 1, 2, kFourPixels).trailer().b,
         {0, 0, 0, 0}, {kInvalid}},
        {"codes beyond the pixels", Gif(4, 1).frame(0, 0, 2, 1, 2, kFourPixels).frame(0, 0, 4, 1, 2, kFourPixels).trailer().b,
         {1, 2}, {}},
        {"minimum code size 1", Gif(3, 1, 2).frame(0, 0, 3, 1, 1, packCodes({2, 1, 0, 3}, 2)).trailer().b,
         {1, 0, 0}, {}},
        {"bad trailer", Gif(4, 1).frame(0, 0, 4, 1, 2, kFourPixels).raw({0x99}).b, {1, 2, 1, 2},
         {"Unknown GIF block type", "Invalid Image trailer"}},
    };
    for (const Case& c : cases) {
        auto l = load(c.stream);
        ASSERT_EQ(l->error, "") << c.name;
        ASSERT_GE(l->gif.FrameCount(), 1) << c.name;
        EXPECT_EQ(pixelsOf(*l, 0), c.pixels) << c.name;
        EXPECT_EQ(l->warnings, c.warnings) << c.name;
        if (l->gif.FrameCount() > 1) {
            EXPECT_EQ(pixelsOf(*l, 1), (TBytes{1, 2, 1, 2})) << c.name;
        }
    }
}

TEST(GifReader, FrameSizes) {
    // A zero size takes the screen's; a frame beyond the screen widens it with warnings.
    auto zero = load(Gif(2, 2).frame(0, 0, 0, 0, 2, packCodes({4, 1, 6, 6, 5}, 3)).trailer().b);
    EXPECT_EQ(zero->error, "");
    EXPECT_EQ(zero->gif.Frame(0).Width(), 2);
    EXPECT_EQ(pixelsOf(*zero, 0), (TBytes{1, 1, 1, 1}));
    EXPECT_EQ(zero->warnings, Warnings{"Image exceeds Logical Screen size"});

    auto wide = load(Gif(2, 2).frame(3, 1, 4, 1, 2, kFourPixels).trailer().b);
    EXPECT_EQ(wide->gif.Width(), 7);
    EXPECT_EQ(wide->gif.Height(), 2);
    EXPECT_EQ(wide->warnings, (Warnings{"Image width too small for contained frames", "Image exceeds Logical Screen size"}));

}

// Screen and frames are held to a budget before anything is allocated: 2^22 pixels for any
// stream, 2,048 more per byte of it, and never more than 2^26 for the screen or for one frame.
TEST(GifReader, ScreenAndFramesStayWithinTheStreamsPixelBudget) {
    TBytes comment = {0x21, 0xFE};  // 33,000 bytes: room for an 8192 x 8192 picture
    for (int i = 0; i < 132; ++i) comment.push_back(250), comment.insert(comment.end(), 250, 'x');
    Gif many(8192, 8192);
    for (int i = 0; i < 3; ++i) many.frame(0, 0, 8192, 8192, 2, kFourPixels);
    const std::pair<TBytes, std::string> cases[] = {  // the 35-byte GIFs of a 1 x 1 frame first
        {Gif(20000, 20000, 2).frame(0, 0, 1, 1, 2, {0x44, 0x01}).trailer().b, "Invalid image dimensions"},
        {Gif(65535, 65535, 2).frame(0, 0, 1, 1, 2, {0x44, 0x01}).trailer().b, "Invalid image dimensions"},
        {Gif(2048, 2048, 2).frame(0, 0, 1, 1, 2, {0x44, 0x01}).trailer().b, ""},
        {Gif(1, 1).frame(60000, 60000, 1, 1, 2, kFourPixels).b, "Invalid image dimensions"},  // widens the screen
        {Gif(65535, 65535).frame(0, 0, 0, 0, 2, kFourPixels).b, "Invalid image dimensions"},  // takes the screen
        {Gif(4, 1).frame(0, 0, 8193, 8192, 2, kFourPixels).b, "Invalid image dimensions"},
        {Gif(8192, 8192).frame(0, 0, 8192, 8192, 2, kFourPixels).b, "Invalid image dimensions"},
        {Gif(8192, 8192).raw(comment).raw({0}).frame(0, 0, 8192, 8192, 2, kFourPixels).b, ""},
        {many.b, "Invalid image dimensions"}};
    for (const auto& [stream, error] : cases) EXPECT_EQ(load(stream)->error, error) << stream.size();
    EXPECT_EQ(cases[0].first.size(), 35u);
}

TEST(GifReader, InterlacedRowsOfEveryHeightAreWhereTheWriterPutThem) {
    for (int h = 1; h <= 9; ++h) {
        gs::TRaster r(3, h, gs::PixelFormat::pf8bit);
        std::vector<gs::TRgb> palette;
        for (int i = 0; i < 16; ++i) palette.push_back({std::uint8_t(i * 9), 0, 0});
        r.SetPalette(palette);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 3; ++x) r.SetIndexAt(x, y, std::uint8_t((y + x) % 16));
        TGIFImage out;
        out.Assign(r);
        out.Frame(0).SetInterlaced(true);
        auto l = load(out.SaveToBytes());
        ASSERT_EQ(l->error, "") << h;
        EXPECT_TRUE(l->gif.Frame(0).Interlaced());
        for (int y = 0; y < h; ++y) EXPECT_EQ(l->gif.Frame(0).PixelAt(0, y), y % 16) << h;
    }
}

TEST(GifReader, ExtensionsAreKeptAndWrittenBackAlike) {
    TBytes unknown = {0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 2, 7, 8, 1, 9, 0};
    TBytes loop = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    TBytes comment = {0x21, 0xFE, 3, 'a', 'b', 'c', 0};
    TBytes stream = Gif(4, 1).raw(loop).raw(unknown).raw(comment).control(0x09, 7, 200).frame(0, 0, 4, 1, 2, kFourPixels).trailer().b;
    auto l = load(stream);
    ASSERT_EQ(l->error, "");
    EXPECT_EQ(l->warnings, Warnings{});
    const gs::TGIFSubImage& f = l->gif.Frame(0);
    ASSERT_EQ(f.ExtensionCount(), 4);
    EXPECT_EQ(dynamic_cast<const gs::TGIFAppExtNSLoop&>(f.Extension(0)).loops, 0);
    EXPECT_EQ(dynamic_cast<const gs::TGIFUnknownAppExtension&>(f.Extension(1)).blocks.size(), 2u);
    // The transparent index is kept as read, beyond the 4-entry table as it is.
    EXPECT_EQ(f.GraphicControlExtension()->TransparentColorIndex(), 200);
    EXPECT_EQ(f.GraphicControlExtension()->Disposal(), 2);
    TBytes again = l->gif.SaveToBytes();
    for (const TBytes* block : {&loop, &unknown, &comment})
        EXPECT_NE(std::search(again.begin(), again.end(), block->begin(), block->end()), again.end());

    // A block size above 11 keeps the identifier and the sub-blocks, raw; below 10 it is refused.
    TBytes big = {0x21, 0xFF, 13, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2', '3', 'x', 'y', 1, 5, 0};
    auto b = load(Gif(4, 1).raw(big).frame(0, 0, 4, 1, 2, kFourPixels).b);
    ASSERT_EQ(b->error, "");
    auto& app = dynamic_cast<const gs::TGIFUnknownAppExtension&>(b->gif.Frame(0).Extension(0));
    EXPECT_EQ(std::string(app.identifier.data(), 8), "ABCDEFGH");
    EXPECT_EQ(app.blocks, (std::vector<TBytes>{{5}}));
    EXPECT_EQ(load(Gif(4, 1).raw({0x21, 0xFF, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}).b)->error,
              "Unsupported Application Extension block size");
    EXPECT_EQ(load(Gif(4, 1).raw({0x21, 0x77, 0}).b)->error, "Unknown extension type");
    EXPECT_EQ(load(Gif(4, 1).raw(TBytes(loop.begin(), loop.begin() + 14)).raw({2, 1, 0, 0}).b)->error, kInvalid);
}

TEST(GifReader, TablesOfEverySizeAndAFailedReadLeavesThePosition) {
    // A global table smaller than a local one is written with its own size field.
    TGIFImage two;
    gs::TRaster a(2, 1, gs::PixelFormat::pf8bit);
    a.SetPalette(std::vector<gs::TRgb>(200, gs::TRgb{1, 2, 3}));
    two.Assign(a);
    two.GlobalColorMap().LoadFromPalette(std::vector<gs::TRgb>{{9, 9, 9}, {8, 8, 8}});
    auto l = load(two.SaveToBytes());
    ASSERT_EQ(l->error, "");
    EXPECT_EQ(l->gif.GlobalColorMap().Count(), 2);
    EXPECT_EQ(l->gif.Frame(0).ColorMap().Count(), 256);

    TBytes cut = Gif(4, 1).raw({0x21, 0xFE, 9, 'a'}).b;
    gs::TMemorySource src(cut);
    gs::TByteReader in(src, 0);
    TGIFImage gif;
    EXPECT_EQ(errorOf([&] { gif.LoadFromStream(in); }), "Premature end of data");
    EXPECT_EQ(in.Pos(), 0u);
}

}  // namespace
