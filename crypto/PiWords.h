#pragma once
// The hexadecimal digits of pi, computed once: the fraction of pi as big-endian 32-bit words.
// Blowfish takes its initial P-array and S-boxes from them.
#include <cstdint>
#include <vector>

namespace gs::crypto {

// The first `count` words of the fraction (count at most a few thousand).
std::vector<std::uint32_t> PiFractionWords(std::size_t count);

}  // namespace gs::crypto
