#include <algorithm>
#include <limits>

#include "export/MetafileBlits.h"
#include "export/MetafileWriter.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"
#include "platform/WmfFormat.h"

namespace gs {

namespace {

using namespace wmf;

constexpr std::uint32_t kStretchDibFixedWords = 14;  // size, function and parameters before the DIB

// Sizes in the metafile header and records count 16-bit words.
class TWmfRecords {
public:
    void point(std::uint16_t function, std::int16_t x, std::int16_t y) {
        begin(5, function);
        w_.U16(std::uint16_t(y));  // parameters are stored last to first
        w_.U16(std::uint16_t(x));
    }
    void stretchDib(const TMetafileBlit& b, std::int16_t width, std::int16_t height) {
        begin(kStretchDibFixedWords + std::uint32_t(b.dib.size() / 2), kMetaStretchDib);
        w_.U32(b.rasterOp);
        w_.U16(kDibRgbColours);
        for (std::int16_t v : {height, width, std::int16_t(0), std::int16_t(0), height, width, std::int16_t(0),
                               std::int16_t(0)})
            w_.U16(std::uint16_t(v));  // source size and origin, then destination size and origin
        w_.Bytes(b.dib);
    }
    void end() { begin(3, kMetaEof); }
    const TBytes& data() const { return w_.Data(); }
    std::uint32_t largest() const { return largest_; }

private:
    void begin(std::uint32_t words, std::uint16_t function) {
        largest_ = std::max(largest_, words);
        w_.U32(words);
        w_.U16(function);
    }
    TByteWriter w_;
    std::uint32_t largest_ = 0;
};

void writePlaceableHeader(TByteWriter& w, std::int16_t width, std::int16_t height) {
    w.U32(kPlaceableKey);
    w.U16(0);  // no handle
    w.U16(0);  // bounding box: left, top, right, bottom
    w.U16(0);
    w.U16(std::uint16_t(width));
    w.U16(std::uint16_t(height));
    w.U16(kMetafileDpi);
    w.U32(0);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < kChecksumWords; ++i)
        sum ^= std::uint16_t(w.Data()[2 * i] | (w.Data()[2 * i + 1] << 8));
    w.U16(sum);
}

}  // namespace

TBytes encodeWmf(const TRaster& bitmap) {
    constexpr int kMaxCoordinate = std::numeric_limits<std::int16_t>::max();
    if (bitmap.Width() > kMaxCoordinate || bitmap.Height() > kMaxCoordinate)
        throw EFCreateError("The picture is too large for a Windows metafile.");
    const auto width = std::int16_t(bitmap.Width()), height = std::int16_t(bitmap.Height());
    TWmfRecords records;
    records.point(kMetaSetWindowOrg, 0, 0);
    records.point(kMetaSetWindowExt, width, height);
    for (const TMetafileBlit& b : metafileBlits(bitmap)) records.stretchDib(b, width, height);
    records.end();

    TByteWriter w;
    writePlaceableHeader(w, width, height);
    w.U16(kMemoryMetafile);
    w.U16(kHeaderWords);
    w.U16(kWindows3Version);
    w.U32(std::uint32_t((kHeaderWords * 2 + records.data().size()) / 2));
    w.U16(0);  // no objects
    w.U32(records.largest());
    w.U16(0);
    w.Bytes(records.data());
    return w.Take();
}

}  // namespace gs
