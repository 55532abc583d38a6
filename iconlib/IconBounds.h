#pragma once
// The largest icon image the library reads, from what the formats can hold. Checked before
// anything is allocated: an entry claiming more bytes is left out of its icon, a picture
// claiming a larger side is not decoded. The same figures are tabled in docs/bounds.md.
#include <cstdint>
#include <optional>
#include <span>

namespace gs::bounds {

// The one-byte size fields of icon directories stop at 256; PNG-compressed images, which
// take their size from their own header, are made up to 1024 for dense screens. Nothing
// larger is an icon, so nothing larger is decoded.
constexpr int kMaxIconSide = 1024;

// The largest bitmap header an icon image carries (BITMAPV5HEADER) and the largest palette.
constexpr std::uint64_t kMaxDibHeaderSize = 124;
constexpr std::uint64_t kMaxPaletteBytes = 256 * 4;

// The data of the largest icon image: a 32-bit bitmap of the largest side with its AND mask,
// its header and a palette. An 8-bit RGBA PNG of that side, stored uncompressed, fits too.
constexpr std::uint64_t kMaxIconImageBytes =
    kMaxDibHeaderSize + kMaxPaletteBytes + 4 * std::uint64_t(kMaxIconSide) * kMaxIconSide +
    std::uint64_t(kMaxIconSide) / 8 * kMaxIconSide;

// A PNG stream's IHDR: width, height and the 24 bytes that hold them.
constexpr std::size_t kPngIhdrEnd = 24;
constexpr std::size_t kPngWidthField = 16;
constexpr std::size_t kPngHeightField = 20;

struct TIconSide {
    int width = 0;
    int height = 0;
};

// The size an icon image's own header declares (PNG IHDR, or a bitmap header whose height
// counts the mask rows too); nothing when the header is cut short or says nothing usable.
// Sizes beyond kMaxIconSide are returned as they are, for the caller to refuse.
std::optional<TIconSide> declaredSide(std::span<const std::uint8_t> data);

constexpr bool sideFits(const TIconSide& s) {
    return s.width > 0 && s.height > 0 && s.width <= kMaxIconSide && s.height <= kMaxIconSide;
}

}  // namespace gs::bounds
