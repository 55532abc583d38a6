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
class WmfRecords {
public:
    void point(std::uint16_t function, std::int16_t x, std::int16_t y) {
        begin(5, function);
        w_.u16(std::uint16_t(y));  // parameters are stored last to first
        w_.u16(std::uint16_t(x));
    }
    void stretchDib(const MetafileBlit& b, std::int16_t width, std::int16_t height) {
        begin(kStretchDibFixedWords + std::uint32_t(b.dib.size() / 2), kMetaStretchDib);
        w_.u32(b.rasterOp);
        w_.u16(kDibRgbColours);
        for (std::int16_t v : {height, width, std::int16_t(0), std::int16_t(0), height, width, std::int16_t(0),
                               std::int16_t(0)})
            w_.u16(std::uint16_t(v));  // source size and origin, then destination size and origin
        w_.bytes(b.dib);
    }
    void end() { begin(3, kMetaEof); }
    const Bytes& data() const { return w_.data(); }
    std::uint32_t largest() const { return largest_; }

private:
    void begin(std::uint32_t words, std::uint16_t function) {
        largest_ = std::max(largest_, words);
        w_.u32(words);
        w_.u16(function);
    }
    ByteWriter w_;
    std::uint32_t largest_ = 0;
};

void writePlaceableHeader(ByteWriter& w, std::int16_t width, std::int16_t height) {
    w.u32(kPlaceableKey);
    w.u16(0);  // no handle
    w.u16(0);  // bounding box: left, top, right, bottom
    w.u16(0);
    w.u16(std::uint16_t(width));
    w.u16(std::uint16_t(height));
    w.u16(kMetafileDpi);
    w.u32(0);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < kChecksumWords; ++i)
        sum ^= std::uint16_t(w.data()[2 * i] | (w.data()[2 * i + 1] << 8));
    w.u16(sum);
}

}  // namespace

Bytes encodeWmf(const Raster& bitmap) {
    constexpr int kMaxCoordinate = std::numeric_limits<std::int16_t>::max();
    if (bitmap.width() > kMaxCoordinate || bitmap.height() > kMaxCoordinate)
        throw EFCreateError("The picture is too large for a Windows metafile.");
    const auto width = std::int16_t(bitmap.width()), height = std::int16_t(bitmap.height());
    WmfRecords records;
    records.point(kMetaSetWindowOrg, 0, 0);
    records.point(kMetaSetWindowExt, width, height);
    for (const MetafileBlit& b : metafileBlits(bitmap)) records.stretchDib(b, width, height);
    records.end();

    ByteWriter w;
    writePlaceableHeader(w, width, height);
    w.u16(kMemoryMetafile);
    w.u16(kHeaderWords);
    w.u16(kWindows3Version);
    w.u32(std::uint32_t((kHeaderWords * 2 + records.data().size()) / 2));
    w.u16(0);  // no objects
    w.u32(records.largest());
    w.u16(0);
    w.bytes(records.data());
    return w.take();
}

}  // namespace gs
