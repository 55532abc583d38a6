#pragma once
// The descriptors of the cipher classes, for the registry; the classes live in their files.
#include <algorithm>
#include <array>

#include "crypto/BitUtils.h"
#include "crypto/Cipher.h"

namespace gs::crypto {

extern const TCipherClass kCipher_3Way, kCipher_Blowfish, kCipher_Gost, kCipher_IDEA, kCipher_SAFER_K64,
    kCipher_SAFER_SK64, kCipher_SAFER_K128, kCipher_SAFER_SK128, kCipher_Shark, kCipher_Square, kCipher_TEA,
    kCipher_TEAN, kCipher_Twofish;

template <class T>
std::unique_ptr<TCipher> MakeCipher() {
    return std::make_unique<T>();
}

// q0[0] << 8 | q1[0] of Twofish, which pin its computed permutations in the tests.
std::uint16_t TwofishQPins();

// The first four bytes of Square's S-box, published values that pin the computed box.
std::uint32_t SquareBoxPin();

// Square's field, GF(2^8) modulo x^8+x^7+x^6+x^5+x^4+x^2+1, and its S-box (inversion in that
// field, then an affine map) with the inverse box. SHARK, by the same authors, shares both.
constexpr unsigned kSquarePoly = 0x1F5;
struct TSquareBoxes {
    std::uint8_t s[256], inverse[256];
};
const TSquareBoxes& SquareSBoxes();

// A SAFER cipher of the class `cls` with another round count (at most 13), for the vectors
// published for other counts.
std::unique_ptr<TCipher> CreateSafer(const TCipherClass& cls, int rounds);

// A key zero-padded to N bytes; the caller wipes it when done.
template <std::size_t N>
std::array<std::uint8_t, N> PaddedKey(std::span<const std::uint8_t> key) {
    std::array<std::uint8_t, N> k{};
    std::copy_n(key.begin(), std::min(N, key.size()), k.begin());
    return k;
}

}  // namespace gs::crypto
