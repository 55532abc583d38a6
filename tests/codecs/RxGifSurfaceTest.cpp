// The splash-picture graphic's own coder held against the tests' strict decoder, and the rest
// of its surface as a graphic: what it gives to a bitmap, its palette, frames made from images
// and other picture classes, frames given away, and the progress of coding and decoding.
#include <gtest/gtest.h>

#include "CodecTestSupport.h"
#include "GifTestDecoder.h"
#include "codecs/AniCursor.h"
#include "codecs/GifImage.h"
#include "codecs/RxGif.h"
#include "codecs/RxGifEncoder.h"

namespace {

using namespace gs;
using gstest::errorOf;

// Data sub-blocks joined, and their sizes.
std::vector<std::uint8_t> joined(const TBytes& encoded, std::vector<int>* sizes) {
    std::vector<std::uint8_t> data;
    for (std::size_t at = 1; at < encoded.size() && encoded[at] != 0; at += encoded[at] + 1u) {
        sizes->push_back(encoded[at]);
        data.insert(data.end(), encoded.begin() + long(at) + 1, encoded.begin() + long(at) + 1 + encoded[at]);
    }
    return data;
}

TRaster indexed(int w, int h, int bits, unsigned seed, bool runs) {
    const PixelFormat pf = bits == 1 ? PixelFormat::pf1bit : bits <= 4 ? PixelFormat::pf4bit : PixelFormat::pf8bit;
    TRaster r(w, h, pf);
    std::uint32_t x = seed;
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w; ++i) {
            x = x * 1103515245u + 12345u;
            r.SetIndexAt(i, y, std::uint8_t(runs ? (y / 7) % (1 << bits) : (x >> 16) % (1u << bits)));
        }
    return r;
}

TEST(RxGifEncoder, EveryPictureComesBackFromTheStrictDecoder) {
    struct Case {
        int w, h, bits;
        bool runs, interlaced;
        int minCodeSize, clears;  // clears: at least
    } cases[] = {
        {1, 1, 1, false, false, 2, 0},      {37, 13, 1, false, false, 2, 0}, {64, 40, 4, false, true, 4, 0},
        {100, 70, 8, false, false, 8, 1},   {300, 300, 8, true, false, 8, 0}, {255, 255, 2, false, true, 2, 1},
        {5, 3, 3, false, false, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " + std::to_string(c.bits) + " bits");
        const TRaster picture = indexed(c.w, c.h, c.bits, 7, c.runs);
        TByteWriter out;
        EncodeRxLZW(out, picture, c.bits, c.interlaced, TGifProgress(TGIFProgressEvent(), ""));
        const TBytes encoded = out.Take();
        ASSERT_GE(encoded.size(), 3u);
        EXPECT_EQ(encoded[0], c.minCodeSize);
        EXPECT_EQ(encoded.back(), 0);
        std::vector<int> sizes;
        gstest::LzwStats stats;
        const std::vector<std::uint8_t> stored =
            gstest::decodeLzw(joined(encoded, &sizes), encoded[0], std::size_t(c.w) * std::size_t(c.h), &stats);
        for (std::size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 255);
        EXPECT_LE(stats.maxWidth, 12);
        EXPECT_GE(stats.clears, c.clears + 1);  // the opening clear code and any restarts
        const std::vector<std::uint8_t> shown = c.interlaced ? gstest::deinterlace(stored, c.w, c.h) : stored;
        std::vector<std::uint8_t> expected;
        for (int y = 0; y < c.h; ++y) expected.insert(expected.end(), picture.IndexRow(y), picture.IndexRow(y) + c.w);
        EXPECT_EQ(shown, expected);
    }
    // One pixel of a 1-bit picture: clear, the pixel and the end code, 3 bits each.
    TByteWriter one;
    TRaster dot(1, 1, PixelFormat::pf1bit);
    dot.SetIndexAt(0, 0, 1);
    EncodeRxLZW(one, dot, 1, false, TGifProgress(TGIFProgressEvent(), ""));
    EXPECT_EQ(one.Take(), (TBytes{2, 2, 0x4C, 0x01, 0}));
}

// A picture class that cannot give a bitmap.
struct Unreadable final : TGraphic {
    int w = 3, h = 2;
    bool Empty() const override { return false; }
    int Width() const override { return w; }
    int Height() const override { return h; }
    void LoadFromSource(const IByteSource&) override {}
    void AssignTo(TRaster&) const override { throw std::runtime_error("no bitmap"); }
};

TEST(RxGifSurface, BitmapsPalettesAndFramesFromAndToOtherPictures) {
    TRaster picture(4, 3);
    picture.Fill(makeArgb(10, 20, 30));
    picture.SetPixel(1, 1, makeArgb(250, 0, 0));
    picture.SetTransparent(true);
    picture.SetTransparentColor(TRgb{10, 20, 30});
    TRxGIFImage image;
    TRaster dest(9, 9);
    image.AssignTo(dest);
    EXPECT_TRUE(dest.Empty()) << "an empty image gives an empty bitmap";
    EXPECT_TRUE(image.GetPalette().empty());

    TByteWriter out;
    image.Assign(picture);
    image.SaveToStream(out);
    TRxGIFImage read;
    read.LoadFromSource(TMemorySource(out.Take()));
    read.SetFrameIndex(-1);
    read.AssignTo(dest);  // no current frame: frame 0
    EXPECT_EQ(dest.Width(), 4);
    EXPECT_EQ(dest.Pixel(1, 1), makeArgb(250, 0, 0));
    EXPECT_TRUE(dest.Transparent());
    EXPECT_EQ(dest.TransparentColor(), (TRgb{10, 20, 30}));
    read.SetFrameIndex(0);
    const std::vector<TRgb> palette = read.GetPalette();
    EXPECT_EQ(palette, read.CurrentBitmap().Palette());
    EXPECT_NE(std::find(palette.begin(), palette.end(), TRgb{250, 0, 0}), palette.end());

    TRxGIFImage copy;
    read.AssignTo(copy);
    EXPECT_TRUE(copy.Equals(read));

    // Frames made from an image (its current frame, none), from the other GIF class, from a
    // picture class that gives no bitmap, and given to a bitmap and an image.
    TRxGIFImage owner;
    TGIFFrame frame(owner);
    frame.Assign(read);
    EXPECT_EQ(frame.Width(), 4);
    EXPECT_EQ(frame.transparentColor, colorOf(TRgb{10, 20, 30}));
    frame.Assign(TRxGIFImage());
    EXPECT_EQ(frame.Width(), 0);
    TGIFImage other;
    other.Assign(picture);
    frame.Assign(static_cast<const TGraphic&>(other));
    EXPECT_EQ(frame.Bitmap().Width(), 4);
    frame.Assign(Unreadable());
    EXPECT_EQ(frame.Bitmap().Width(), 3);
    EXPECT_EQ(frame.Bitmap().Pixel(2, 1), makeArgb(255, 0, 255));
    EXPECT_EQ(owner.AppendFrame(Unreadable()), 0);
    EXPECT_EQ(owner.ScreenWidth(), 3);
    TRaster given;
    read.Frame(0).AssignTo(given);
    EXPECT_TRUE(given.Transparent());
    TRxGIFImage single;
    read.Frame(0).AssignTo(single);
    EXPECT_EQ(single.FrameCount(), 1);
    EXPECT_EQ(single.Width(), 4);
}

// An index is checked where a call takes one; with no frame current each call answers as for
// a missing frame (its size 0, frame 0 standing for the image, nothing drawn). A frame made from
// a picture that gives no bitmap is no larger than a frame read from a stream may be.
TEST(RxGifSurface, FrameIndexesAreCheckedAndUncopiedPicturesBounded) {
    TRaster picture(4, 3);
    picture.Fill(makeArgb(250, 0, 0));
    TByteWriter out;
    TRxGIFImage written;
    written.Assign(picture);
    written.SaveToStream(out);
    TRxGIFImage image;
    image.LoadFromSource(TMemorySource(out.Take()));
    const std::string listError = "List index out of bounds";
    for (int bad : {1, 5, -2, 1 << 30}) {
        const std::string at = "index " + std::to_string(bad);
        const std::string want = listError + " (" + std::to_string(bad) + ")";
        EXPECT_EQ(errorOf([&] { image.SetFrameIndex(bad); }), want) << at;
        EXPECT_EQ(image.FrameIndex(), 0) << at;
        EXPECT_EQ(errorOf([&] { image.Frame(bad); }), want) << at;
        TAnimatedCursorImage ani;  // the steps of a cursor are checked the same way
        EXPECT_EQ(errorOf([&] { ani.FrameAt(bad); }), want) << at;
        EXPECT_EQ(errorOf([&] { ani.FrameIcon(bad); }), want) << at;
    }
    image.SetFrameIndex(-1);
    TRaster canvas(4, 3);
    canvas.Fill(kWhite);
    TRaster given;
    TRxGIFImage owner;
    TGIFFrame frame(owner);
    const struct {
        const char* call;
        std::function<long()> answer;
        long want;
    } calls[] = {
        {"Empty", [&] { return long(image.Empty()); }, 0},
        {"Width", [&] { return long(image.Width()); }, 0},
        {"Height", [&] { return long(image.Height()); }, 0},
        {"AssignTo", [&] { image.AssignTo(given); return long(given.Width()); }, 4},
        {"frame Assign", [&] { frame.Assign(image); return long(frame.Width()); }, 4},
        {"CurrentBitmap", [&] { return long(image.CurrentBitmap().Height()); }, 3},
        {"Draw", [&] { image.Draw(canvas, {0, 0, 4, 3}); return long(canvas.Pixel(1, 1) == kWhite); }, 1},
    };
    for (const auto& c : calls) EXPECT_EQ(c.answer(), c.want) << c.call;

    // 60000 x 60000 would be 3.6 billion pixels; the largest frame a stream may hold passes.
    const struct {
        int w, h;
        bool made;
    } sizes[] = {{60000, 60000, false}, {8193, 8192, false}, {-1, 5, false}, {300, 200, true}, {0, 7, true}};
    for (const auto& c : sizes) {
        TRxGIFImage gif;
        Unreadable source;
        source.w = c.w, source.h = c.h;
        const std::string error = errorOf([&] { gif.AppendFrame(source); });
        EXPECT_EQ(error, c.made ? "" : "Bitmap image is not valid") << c.w << " x " << c.h;
        EXPECT_EQ(gif.ScreenWidth(), c.made ? c.w : 0) << c.w << " x " << c.h;
    }
}

TEST(RxGifSurface, CodingAndDecodingReportTheirProgress) {
    std::vector<std::pair<int, int>> steps;  // stage, percent
    TRxGIFImage image;
    image.onProgress = [&](TProgressStage stage, int percent, const std::string&) { steps.push_back({int(stage), percent}); };
    TRaster picture(5, 4);
    picture.SetPixel(2, 2, makeArgb(1, 2, 3));
    image.Assign(picture);
    TByteWriter out;
    image.SaveToStream(out);
    const std::vector<std::pair<int, int>> coded{{0, 0}, {1, 25}, {1, 50}, {1, 75}, {1, 100}, {2, 100}};
    EXPECT_EQ(steps, coded);

    TRxGIFImage read;
    read.onProgress = image.onProgress;
    steps.clear();
    read.LoadFromSource(TMemorySource(out.Take()));
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front(), std::make_pair(0, 0));
    EXPECT_EQ(steps.back(), std::make_pair(2, 100));
    for (std::size_t i = 1; i + 1 < steps.size(); ++i) EXPECT_LE(steps[i - 1].second, steps[i].second);

    // Damaged data that is not tolerated ends the progress at 0 %.
    TRxGIFImage strict;
    strict.tolerant = false;
    strict.onProgress = image.onProgress;
    const TBytes cut{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 9, 9, 9,
                    ',', 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 1, 0x04, 0, ';'};  // 2 x 2, data for 1 pixel
    steps.clear();
    EXPECT_ANY_THROW(strict.LoadFromSource(TMemorySource(cut)));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), std::make_pair(2, 0));
}

}  // namespace
