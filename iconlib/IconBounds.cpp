#include "iconlib/IconBounds.h"

#include <cstring>
#include <limits>

#include "iconlib/IconPicture.h"

namespace gs::bounds {

namespace {
std::uint32_t be32(std::span<const std::uint8_t> d, std::size_t o) {
    return (std::uint32_t(d[o]) << 24) | (std::uint32_t(d[o + 1]) << 16) | (std::uint32_t(d[o + 2]) << 8) | d[o + 3];
}
std::uint32_t le32(std::span<const std::uint8_t> d, std::size_t o) {
    return std::uint32_t(d[o]) | (std::uint32_t(d[o + 1]) << 8) | (std::uint32_t(d[o + 2]) << 16) |
           (std::uint32_t(d[o + 3]) << 24);
}
// Sides past an int are clamped: they are refused all the same.
int side(std::int64_t v) { return int(std::min<std::int64_t>(v, std::numeric_limits<int>::max())); }

constexpr std::size_t kDibWidthField = 4;
constexpr std::size_t kDibHeightField = 8;
constexpr std::size_t kDibSizesEnd = 12;
}  // namespace

std::optional<TIconSide> declaredSide(std::span<const std::uint8_t> data) {
    if (isPngData(data)) {
        if (data.size() < kPngIhdrEnd || std::memcmp(data.data() + 12, "IHDR", 4) != 0) return std::nullopt;
        return TIconSide{side(be32(data, kPngWidthField)), side(be32(data, kPngHeightField))};
    }
    if (data.size() < kDibSizesEnd) return std::nullopt;
    const auto w = std::int32_t(le32(data, kDibWidthField));
    const auto h = std::int32_t(le32(data, kDibHeightField)) / 2;  // colour rows, then the mask's
    return TIconSide{side(w), side(h)};
}

}  // namespace gs::bounds
