#pragma once
// What both metafile writers record: device-independent bitmaps stretched over the picture's
// frame, each with a raster operation.
#include <cstdint>
#include <vector>

#include "platform/ByteSource.h"
#include "platform/Raster.h"
#include "platform/WmfFormat.h"

namespace gs {

constexpr int kMetafileDpi = 96;

using wmf::kRopSrcAnd;
using wmf::kRopSrcCopy;
using wmf::kRopSrcPaint;
constexpr std::uint16_t kDibRgbColours = 0;         // the colour table holds RGB values

struct TMetafileBlit {
    TBytes dib;                  // BITMAPINFOHEADER, colour table, rows
    std::uint32_t infoSize = 0;  // header and colour table
    std::uint32_t rasterOp = kRopSrcCopy;
    std::uint32_t bitsSize() const { return std::uint32_t(dib.size()) - infoSize; }
};

// An opaque bitmap is one copy in its own depth. A transparent one is masked drawing in two
// steps: a mask (white where transparent) ANDed onto the background clears the opaque pixels,
// then the colours (black where transparent) are ORed in.
std::vector<TMetafileBlit> metafileBlits(const TRaster& bitmap);

}  // namespace gs
