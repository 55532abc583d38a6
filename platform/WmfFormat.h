#pragma once
// Constants of the placeable Windows metafile, named once for its writer and its player.
#include <cstddef>
#include <cstdint>

namespace gs::wmf {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;  // key, handle, box (4 x 16 bits), inch, reserved, checksum
constexpr std::size_t kChecksumWords = 10;        // the words the checksum covers
constexpr std::uint16_t kMemoryMetafile = 1;
constexpr std::uint16_t kHeaderWords = 9;
constexpr std::uint16_t kWindows3Version = 0x0300;
constexpr std::size_t kRecordHeaderSize = 6;  // size in words (32 bits), function (16 bits)
constexpr std::uint32_t kMinRecordWords = 3;

constexpr std::uint16_t kMetaEof = 0x0000;
constexpr std::uint16_t kMetaSetWindowOrg = 0x020B;
constexpr std::uint16_t kMetaSetWindowExt = 0x020C;
constexpr std::uint16_t kMetaStretchDib = 0x0F43;
constexpr std::uint16_t kMetaDibStretchBlt = 0x0B41;

// Raster operations of the bitmap records.
constexpr std::uint32_t kRopSrcCopy = 0x00CC0020;    // destination = source
constexpr std::uint32_t kRopSrcAnd = 0x008800C6;     // destination = destination AND source
constexpr std::uint32_t kRopSrcPaint = 0x00EE0086;   // destination = destination OR source
constexpr std::uint32_t kRopSrcInvert = 0x00660046;  // destination = destination XOR source

}  // namespace gs::wmf
