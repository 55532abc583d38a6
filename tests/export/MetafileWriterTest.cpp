#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/ImageExport.h"
#include "export/MetafileWriter.h"
#include "platform/ByteReader.h"
#include "platform/Dib.h"
#include "platform/Errors.h"

using namespace gs;
using namespace gs::testing;

namespace {

constexpr std::uint32_t kSrcCopy = 0x00CC0020, kSrcAnd = 0x008800C6, kSrcPaint = 0x00EE0086;

// One drawing of a bitmap found in a metafile: the raster operation, the destination size
// and the embedded DIB.
struct Drawing {
    std::uint32_t rop = 0;
    int width = 0, height = 0;
    TBytes dib;
};

// Walks a placeable WMF, checking its headers, and returns its StretchDIB records.
std::vector<Drawing> wmfDrawings(const TBytes& wmf) {
    TMemorySource src(wmf);
    TByteReader r(src);
    EXPECT_EQ(r.U32(), 0x9AC6CDD7u);
    std::uint16_t sum = 0xCDD7 ^ 0x9AC6;
    for (int i = 0; i < 8; ++i) sum ^= r.U16At(4 + 2 * std::uint64_t(i));
    EXPECT_EQ(r.U16At(20), sum);
    r.Seek(22);
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U16(), 9);
    EXPECT_EQ(r.U16(), 0x0300);
    EXPECT_EQ(std::uint64_t(r.U32()) * 2, wmf.size() - 22);
    r.Skip(2);
    const std::uint32_t largest = r.U32();
    r.Skip(2);
    std::vector<Drawing> out;
    std::uint32_t seenLargest = 0, words = 0;
    std::uint16_t function = 0xFFFF;
    while (r.Remaining() > 0) {
        const std::uint64_t at = r.Pos();
        words = r.U32();
        function = r.U16();
        seenLargest = std::max(seenLargest, words);
        if (function == 0x0F43) {
            Drawing d;
            d.rop = r.U32();
            EXPECT_EQ(r.U16(), 0);  // RGB colour table
            const auto srcH = r.U16(), srcW = r.U16();
            EXPECT_EQ(r.U32(), 0u);  // source origin
            d.height = r.U16();
            d.width = r.U16();
            EXPECT_EQ(r.U32(), 0u);  // drawn at (0, 0)
            EXPECT_EQ(srcW, d.width);
            EXPECT_EQ(srcH, d.height);
            d.dib = r.Bytes(at + std::uint64_t(words) * 2 - r.Pos());
            out.push_back(std::move(d));
        }
        r.Seek(at + std::uint64_t(words) * 2);
    }
    EXPECT_EQ(r.Pos(), wmf.size());
    EXPECT_EQ(function, 0);  // ends with the end-of-file record
    EXPECT_EQ(words, 3u);
    EXPECT_EQ(largest, seenLargest);
    return out;
}

// Walks an EMF, checking its header, and returns its StretchDIBits records.
std::vector<Drawing> emfDrawings(const TBytes& emf) {
    TMemorySource src(emf);
    TByteReader r(src);
    EXPECT_EQ(r.U32At(0), 1u);
    EXPECT_EQ(r.U32At(40), 0x464D4520u);
    EXPECT_EQ(r.U32At(48), emf.size());
    const std::uint32_t records = r.U32At(52);
    std::vector<Drawing> out;
    std::uint32_t count = 0, type = 0;
    for (std::uint64_t at = 0; at < emf.size(); ++count) {
        type = r.U32At(at);
        const std::uint32_t size = r.U32At(at + 4);
        EXPECT_EQ(size % 4, 0u);
        if (type == 81) {
            Drawing d;
            d.rop = r.U32At(at + 68);
            d.width = int(r.U32At(at + 72));
            d.height = int(r.U32At(at + 76));
            d.dib = src.Read(at + r.U32At(at + 48), r.U32At(at + 52));
            TBytes bits = src.Read(at + r.U32At(at + 56), r.U32At(at + 60));
            d.dib.insert(d.dib.end(), bits.begin(), bits.end());
            out.push_back(std::move(d));
        }
        at += size;
    }
    EXPECT_EQ(count, records);
    EXPECT_EQ(type, 14u);
    return out;
}

TRaster pictureOf(const Drawing& d) { return decodeDib(TMemorySource(d.dib), 0).colour; }

// What a device gets when it plays the drawings over a background, as GDI applies the
// raster operations.
Argb played(const std::vector<Drawing>& drawings, int x, int y, Argb background) {
    std::uint32_t dest = background & 0xFFFFFF;
    for (const Drawing& d : drawings) {
        const std::uint32_t src = pictureOf(d).Pixel(x, y) & 0xFFFFFF;
        dest = d.rop == kSrcAnd ? (dest & src) : d.rop == kSrcPaint ? (dest | src) : src;
    }
    return dest | 0xFF000000u;
}

// A picture whose transparent colour (bottom-left) fills a border around varied pixels.
TRaster framedPicture(PixelFormat pf) {
    TRaster r = samplePicture(11, 7, pf, 21);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 11; ++x) {
            if (x > 1 && x < 9 && y > 1 && y < 5) continue;
            if (isIndexed(pf))
                r.SetIndexAt(x, y, 0);
            else
                r.SetPixel(x, y, makeArgb(10, 200, 30));
        }
    return r;
}

}  // namespace

TEST(Metafile, OpaqueBitmapIsOneCopyOfItsOwnDibInBothFormats) {
    for (PixelFormat pf : {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit, PixelFormat::pf24bit,
                           PixelFormat::pf32bit}) {
        const TRaster r = samplePicture(13, 5, pf, 8);
        for (const auto& drawings : {wmfDrawings(encodeWmf(r)), emfDrawings(encodeEmf(r))}) {
            ASSERT_EQ(drawings.size(), 1u);
            EXPECT_EQ(drawings[0].rop, kSrcCopy);
            EXPECT_EQ(drawings[0].width, 13);
            EXPECT_EQ(drawings[0].height, 5);
            EXPECT_EQ(drawings[0].dib, encodeDib(r));
        }
    }
    const TBytes wmf = encodeWmf(samplePicture(13, 5, PixelFormat::pf24bit, 8));
    TMemorySource src(wmf);
    TByteReader r(src);
    EXPECT_EQ(r.U16At(10), 13);  // bounding box right and bottom
    EXPECT_EQ(r.U16At(12), 5);
    EXPECT_EQ(r.U16At(14), 96);  // units per inch
}

TEST(Metafile, TransparentPixelsAreLeftOutByMaskedDrawing) {
    for (PixelFormat pf : {PixelFormat::pf4bit, PixelFormat::pf8bit, PixelFormat::pf24bit, PixelFormat::pf32bit}) {
        TRaster r = framedPicture(pf);
        r.SetTransparent(true);
        const TRgb key = r.TransparentColor();
        for (const auto& drawings : {wmfDrawings(encodeWmf(r)), emfDrawings(encodeEmf(r))}) {
            ASSERT_EQ(drawings.size(), 2u);
            EXPECT_EQ(drawings[0].rop, kSrcAnd);
            EXPECT_EQ(drawings[1].rop, kSrcPaint);
            for (Argb background : {makeArgb(0, 0, 0), makeArgb(255, 255, 255), makeArgb(0x12, 0x9A, 0xC5)})
                for (int y = 0; y < 7; ++y)
                    for (int x = 0; x < 11; ++x) {
                        const bool clear = rgbOf(r.Pixel(x, y)) == key;
                        ASSERT_EQ(played(drawings, x, y, background), clear ? background : r.Pixel(x, y) | 0xFF000000u)
                            << bitCountOf(pf) << " bits at " << x << "," << y;
                    }
        }
    }
}

TEST(Metafile, ExtensionChoosesTheFormatAndOversizeWmfIsRefused) {
    const gstest::TempDir scratch("gs-export-metafile-names-");
    const std::filesystem::path& dir = scratch.path;
    const TRaster r = samplePicture(3, 3, PixelFormat::pf24bit, 2);
    for (const char* name : {"a.wmf", "b.WMF", "c.Wmf"}) {
        SaveBitmapAsMetafile(&r, dir / name);
        EXPECT_EQ(fileBytes(dir / name), encodeWmf(r)) << name;
    }
    for (const char* name : {"d.emf", "e", "f.wmfx", "g.wmf.emf"}) {
        SaveBitmapAsMetafile(&r, dir / name);
        EXPECT_EQ(fileBytes(dir / name), encodeEmf(r)) << name;
    }
    const TRaster wide(40000, 1, PixelFormat::pf1bit);
    EXPECT_THROW(SaveBitmapAsMetafile(&wide, dir / "a.wmf"), EFCreateError);
    EXPECT_EQ(fileBytes(dir / "a.wmf"), encodeWmf(r));
    EXPECT_EQ(emfDrawings(encodeEmf(wide)).size(), 1u);
    SaveBitmapAsMetafile(nullptr, dir / "none.wmf");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.wmf"));
}
