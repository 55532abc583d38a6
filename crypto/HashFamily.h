#pragma once
// The descriptors of the hash classes, for the registry; the classes live in their files.
#include "crypto/BitUtils.h"
#include "crypto/Hash.h"

namespace gs::crypto {

extern const THashClass kHash_MD4, kHash_MD5, kHash_SHA, kHash_SHA1, kHash_RipeMD128, kHash_RipeMD160,
    kHash_RipeMD256, kHash_RipeMD320, kHash_Haval128, kHash_Haval160, kHash_Haval192, kHash_Haval224,
    kHash_Haval256, kHash_Sapphire128, kHash_Sapphire160, kHash_Sapphire192, kHash_Sapphire224, kHash_Sapphire256,
    kHash_Sapphire288, kHash_Sapphire320, kHash_Snefru, kHash_Tiger, kHash_CRC16_CCITT, kHash_CRC16_Standard, kHash_CRC32;

// Merkle's standard S-boxes of Snefru, 16 of 256 words.
extern const std::uint32_t kSnefruBoxes[16][256];

// The first word of Tiger's first S-box, which pins the generated tables in the tests.
std::uint64_t TigerFirstBoxWord();

// Creates a hash of class T as the descriptor's factory.
template <class T>
std::unique_ptr<THash> MakeHash() {
    return std::make_unique<T>();
}

// The chaining words of the digest area, in the family's byte order.
template <std::size_t N>
void LoadWords(const std::uint8_t* p, std::uint32_t (&w)[N], bool bigEndian) {
    for (std::size_t i = 0; i < N; ++i) w[i] = bigEndian ? LoadBE32(p + 4 * i) : LoadLE32(p + 4 * i);
}
inline void StoreWords(std::uint8_t* p, const std::uint32_t* w, std::size_t n, bool bigEndian) {
    for (std::size_t i = 0; i < n; ++i) bigEndian ? StoreBE32(p + 4 * i, w[i]) : StoreLE32(p + 4 * i, w[i]);
}
template <std::size_t N>
void StoreWords(std::uint8_t* p, const std::uint32_t (&w)[N], bool bigEndian) {
    for (std::size_t i = 0; i < N; ++i) bigEndian ? StoreBE32(p + 4 * i, w[i]) : StoreLE32(p + 4 * i, w[i]);
}

}  // namespace gs::crypto
