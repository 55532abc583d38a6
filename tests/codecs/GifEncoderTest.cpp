// The pixel encoders and the sub-block packer, checked through an independent decoder.
#include <gtest/gtest.h>

#include <random>

#include "GifTestDecoder.h"
#include "codecs/GifEncoder.h"
#include "codecs/GifTypes.h"

namespace {

using gs::TBytes;

struct Encoded {
    int minCodeSize;
    std::vector<int> blockSizes;
    std::vector<std::uint8_t> data;
    std::size_t totalSize;
};

Encoded encode(gs::TGIFEncoder&& encoder, const std::vector<std::uint8_t>& pixels, int width, int height, int bits,
               bool interlaced = false) {
    gs::TByteWriter out;
    encoder.Encode(out, gs::TGIFPixels{pixels.data(), width, height, interlaced}, bits, 1 << bits);
    const TBytes& b = out.Data();
    Encoded e{b.at(0), {}, {}, b.size()};
    std::size_t pos = 1;
    while (b.at(pos) != 0) {
        int n = b[pos];
        e.blockSizes.push_back(n);
        e.data.insert(e.data.end(), b.begin() + std::ptrdiff_t(pos + 1), b.begin() + std::ptrdiff_t(pos + 1 + std::size_t(n)));
        pos += 1 + std::size_t(n);
    }
    EXPECT_EQ(pos + 1, b.size()) << "terminator is the last byte";
    return e;
}

std::vector<std::uint8_t> roundTrip(bool rle, const std::vector<std::uint8_t>& pixels, int width, int height, int bits,
                                    bool interlaced = false, gstest::LzwStats* stats = nullptr) {
    Encoded e = rle ? encode(gs::TRLEEncoder{}, pixels, width, height, bits, interlaced)
                    : encode(gs::TLZWEncoder{}, pixels, width, height, bits, interlaced);
    EXPECT_EQ(e.minCodeSize, std::max(bits, 2));
    for (int n : e.blockSizes) EXPECT_TRUE(n >= 1 && n <= 255);
    std::vector<std::uint8_t> stored = gstest::decodeLzw(e.data, e.minCodeSize, pixels.size(), stats);
    return interlaced ? gstest::deinterlace(stored, width, height) : stored;
}

// Pixels of random runs: lengths up to maxRun, values below colours.
std::vector<std::uint8_t> runs(std::size_t n, int colours, int maxRun, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> p;
    while (p.size() < n) {
        std::uint8_t v = std::uint8_t(rng() % unsigned(colours));
        std::size_t len = 1 + rng() % unsigned(maxRun);
        for (std::size_t i = 0; i < len && p.size() < n; ++i) p.push_back(v);
    }
    return p;
}

TEST(GifEncoder, OnePixelIsClearPixelEndInThreeBitCodes) {
    std::vector<std::uint8_t> px{1};
    for (bool rle : {false, true}) {
        gs::TByteWriter out;
        std::unique_ptr<gs::TGIFEncoder> enc;
        if (rle) enc = std::make_unique<gs::TRLEEncoder>(); else enc = std::make_unique<gs::TLZWEncoder>();
        enc->Encode(out, gs::TGIFPixels{px.data(), 1, 1, false}, 1, 2);
        // clear 4, pixel 1, end 5, each 3 bits, least significant first
        EXPECT_EQ(out.Data(), (TBytes{0x02, 0x02, 0x4C, 0x01, 0x00})) << (rle ? "RLE" : "LZW");
    }
}

TEST(GifEncoder, BothEncodersRoundTripEveryCodeSize) {
    for (bool rle : {false, true}) {
        for (int bits = 1; bits <= 8; ++bits) {
            int colours = 1 << bits;
            for (int maxRun : {1, 3, 40, 5000}) {
                auto px = runs(30011, colours, maxRun, unsigned(bits * 100 + maxRun));
                EXPECT_EQ(roundTrip(rle, px, 30011, 1, bits), px) << "rle " << rle << " bits " << bits << " run " << maxRun;
            }
        }
    }
}

TEST(GifEncoder, LongRunsOfOneColour) {
    for (bool rle : {false, true}) {
        for (std::size_t n : {2u, 3u, 4096u, 4097u, 100000u, 1000003u}) {
            std::vector<std::uint8_t> px(n, 3);
            EXPECT_EQ(roundTrip(rle, px, int(n), 1, 2), px) << rle << ' ' << n;
        }
    }
}

TEST(GifEncoder, LzwClearsWhenTheTableFillsAndStaysAtTwelveBits) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> noise(200000);
    for (auto& p : noise) p = std::uint8_t(rng());
    gstest::LzwStats stats;
    EXPECT_EQ(roundTrip(false, noise, 500, 400, 8, false, &stats), noise);
    EXPECT_GT(stats.clears, 2);
    EXPECT_EQ(stats.maxWidth, 12);
}

TEST(GifEncoder, InterlacedFramesCodeEveryRowOnce) {
    for (bool rle : {false, true}) {
        for (int height = 1; height <= 17; ++height) {
            auto px = runs(std::size_t(3 * height), 16, 2, unsigned(height));
            EXPECT_EQ(roundTrip(rle, px, 3, height, 4, true), px) << "height " << height;
        }
    }
}

TEST(GifEncoder, PixelOutsideTheColourCountIsRefused) {
    std::vector<std::uint8_t> px{0, 1, 5};
    for (bool rle : {false, true}) {
        gs::TByteWriter out;
        std::unique_ptr<gs::TGIFEncoder> enc;
        if (rle) enc = std::make_unique<gs::TRLEEncoder>(); else enc = std::make_unique<gs::TLZWEncoder>();
        try {
            enc->Encode(out, gs::TGIFPixels{px.data(), 3, 1, false}, 3, 5);
            FAIL() << "no error";
        } catch (const gs::GIFException& e) {
            EXPECT_STREQ(e.what(), "Color not in color table");
        }
    }
}

TEST(GifEncoder, SubBlocksAreFullThenOneShortAndNeverEmpty) {
    for (int n : {0, 1, 254, 255, 256, 510, 511}) {
        gs::TByteWriter out;
        gs::TGIFWriter writer(out);
        for (int i = 0; i < n; ++i) writer.Write(std::uint8_t(i));
        writer.Release();
        std::size_t expected = std::size_t(n) + std::size_t((n + 254) / 255);
        ASSERT_EQ(out.Data().size(), expected) << n;
        if (n >= 255) {
            EXPECT_EQ(out.Data()[0], 255);
        }
        if (n == 510) {
            EXPECT_EQ(out.Data()[256], 255);
        }
    }
}

}  // namespace
