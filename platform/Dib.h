#pragma once
// Device-independent bitmaps: the BITMAPINFOHEADER, colour table and padded rows shared by
// BMP files, icon images and clipboard pictures.
#include <cstdint>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kInfoHeaderSize = 40;  // a BITMAPINFOHEADER's own size field

struct TDibHeader {
    std::uint32_t headerSize = kInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: rows stored top-down
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
};

// Bytes of one row of `width` pixels at `bitCount` bits, padded to 4 bytes.
std::uint64_t dibStride(std::uint64_t width, unsigned bitCount);

// Reads the header at `offset`; EReadError when it is cut short or not a header we know.
TDibHeader ReadDIBHeader(const IByteSource& src, std::uint64_t offset);

struct TDecodedDib {
    TDibHeader header;
    TRaster colour;                 // the colour bits, in the DIB's own depth (16-bit becomes 24)
    std::uint64_t bitsEnd = 0;     // offset just past the colour bits
};

// Decodes the colour bits of the DIB at `offset`. `rows` is how many rows the colour bits
// hold (an icon's header counts the AND mask's rows too); 0 means the header's height.
// Every count and size is checked against the source; EReadError when something is missing
// or the format is one we do not read.
TDecodedDib decodeDib(const IByteSource& src, std::uint64_t offset, std::int32_t rows = 0);

// BITMAPINFOHEADER, colour table (indexed rasters) and bottom-up rows in the raster's own depth.
TBytes encodeDib(const TRaster& raster);

}  // namespace gs
