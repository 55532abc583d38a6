#pragma once
// Bit and buffer routines shared by the hashes and ciphers.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace gs::crypto {

inline std::uint32_t RotateLeft32(std::uint32_t v, unsigned n) { return std::rotl(v, static_cast<int>(n & 31)); }
inline std::uint32_t RotateRight32(std::uint32_t v, unsigned n) { return std::rotr(v, static_cast<int>(n & 31)); }
std::uint32_t ByteSwapWord(std::uint32_t v);
void ByteSwapWords(const std::uint32_t* source, std::uint32_t* dest, std::size_t count);
std::uint32_t ReverseBits32(std::uint32_t v);

// 0 when the areas are equal; otherwise the sign of the first differing byte's difference.
int CompareBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t size);
// dest := a xor b for size bytes; dest may be either source.
void XorBytes(std::uint8_t* dest, const std::uint8_t* a, const std::uint8_t* b, std::size_t size);
// Mixes a linear congruential stream into the bytes; returns the seed that follows.
std::uint32_t XorRandomBytes(std::span<std::uint8_t> buffer, std::uint32_t seed);
// A seed from the time of day and a high-resolution counter, for the wipe action.
std::uint32_t ClockSeed();

// Table-driven CRCs from a start value: CRC16 with the reflected polynomial 0xA001 (the
// "standard" CRC-16), CRC32 the published reflected polynomial 0xEDB88320. Neither
// inverts its start value or result: callers pass 0xFFFFFFFF and invert for the usual CRC-32.
std::uint16_t CRC16(std::uint16_t crc, std::span<const std::uint8_t> data);
std::uint32_t CRC32(std::uint32_t crc, std::span<const std::uint8_t> data);

// The product in GF(2^8) modulo the polynomial `poly` (its x^8 bit included).
inline std::uint8_t GFMul(std::uint8_t a, std::uint8_t b, unsigned poly) {
    unsigned r = 0, x = a;
    for (; b; b >>= 1, x = (x & 0x80) ? (x << 1) ^ poly : x << 1)
        if (b & 1) r ^= x;
    return std::uint8_t(r);
}

// Fills or zeroes key material so that no compiler may drop the stores as dead.
void SecureFill(std::span<std::uint8_t> bytes, std::uint8_t value);
inline void SecureZero(std::span<std::uint8_t> bytes) { SecureFill(bytes, 0); }
template <class T>
std::span<std::uint8_t> BytesOf(T& object) {
    return {reinterpret_cast<std::uint8_t*>(&object), sizeof object};
}

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[0]) << 24;
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
inline void StoreBE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[3 - i] = std::uint8_t(v >> (8 * i));
}
inline std::uint64_t LoadBE64(const std::uint8_t* p) { return std::uint64_t(LoadBE32(p)) << 32 | LoadBE32(p + 4); }
inline void StoreBE64(std::uint8_t* p, std::uint64_t v) {
    StoreBE32(p, std::uint32_t(v >> 32));
    StoreBE32(p + 4, std::uint32_t(v));
}
inline std::uint64_t LoadLE64(const std::uint8_t* p) { return LoadLE32(p) | std::uint64_t(LoadLE32(p + 4)) << 32; }
inline void StoreLE64(std::uint8_t* p, std::uint64_t v) {
    StoreLE32(p, std::uint32_t(v));
    StoreLE32(p + 4, std::uint32_t(v >> 32));
}

}  // namespace gs::crypto
