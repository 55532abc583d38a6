#pragma once
// Helpers of the cipher and hash tests: hexadecimal in and out, and bytes of a string.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/StringFormats.h"

namespace gs::crypto::test {

using TBytes = std::vector<std::uint8_t>;

inline TBytes fromHex(std::string_view hex) {
    std::string b = FormatToBytes(hex, 16);
    return {b.begin(), b.end()};
}
inline std::string toHex(std::span<const std::uint8_t> b) {
    return BytesToFormat({reinterpret_cast<const char*>(b.data()), b.size()}, 1016);
}
inline TBytes bytesOf(std::string_view s) { return {s.begin(), s.end()}; }
// Deterministic filler: byte i is a function of i and the seed.
inline TBytes pattern(std::size_t n, unsigned seed = 1) {
    TBytes b(n);
    std::uint32_t x = seed;
    for (auto& v : b) v = std::uint8_t((x = x * 1103515245u + 12345u) >> 16);
    return b;
}

}  // namespace gs::crypto::test
