// 3-Way: 96-bit blocks and keys read as three big-endian words, 11 rounds of theta, pi and
// gamma with round constants from a 16-bit shift register.
#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr int kRounds = 11;
constexpr std::uint32_t kStartEncode = 0x0B0B, kStartDecode = 0xB1B1;

struct TThreeWayContext {
    std::uint32_t key[3], decodeKey[3];
    std::uint32_t encodeConstants[12], decodeConstants[12];
};
static_assert(sizeof(TThreeWayContext) == 120);

using Words = std::uint32_t[3];

void mu(Words a) {  // reverses the order of all 96 bits
    std::uint32_t b0 = ReverseBits32(a[2]), b1 = ReverseBits32(a[1]), b2 = ReverseBits32(a[0]);
    a[0] = b0, a[1] = b1, a[2] = b2;
}

void gamma(Words a) {
    std::uint32_t b0 = a[0] ^ (a[1] | ~a[2]), b1 = a[1] ^ (a[2] | ~a[0]), b2 = a[2] ^ (a[0] | ~a[1]);
    a[0] = b0, a[1] = b1, a[2] = b2;
}

void theta(Words a) {
    std::uint32_t b[3];
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t x = a[i], y = a[(i + 1) % 3], z = a[(i + 2) % 3];
        b[i] = x ^ (x >> 16) ^ (y << 16) ^ (y >> 16) ^ (z << 16) ^ (y >> 24) ^ (z << 8) ^ (z >> 8) ^ (x << 24) ^
               (z >> 16) ^ (x << 16) ^ (z >> 24) ^ (x << 8);
    }
    a[0] = b[0], a[1] = b[1], a[2] = b[2];
}

void rho(Words a) {
    theta(a);
    a[0] = RotateRight32(a[0], 10), a[2] = RotateLeft32(a[2], 1);  // pi 1
    gamma(a);
    a[0] = RotateLeft32(a[0], 1), a[2] = RotateRight32(a[2], 10);  // pi 2
}

void constants(std::uint32_t start, std::uint32_t* table) {
    for (int i = 0; i <= kRounds; ++i) {
        table[i] = start;
        start <<= 1;
        if (start & 0x10000) start ^= 0x11011;
    }
}

void rounds(Words a, const Words k, const std::uint32_t* rc) {
    for (int i = 0; i <= kRounds; ++i) {
        a[0] ^= k[0] ^ (rc[i] << 16);
        a[1] ^= k[1];
        a[2] ^= k[2] ^ rc[i];
        if (i < kRounds) rho(a);
        else theta(a);
    }
}

class TCipher_3Way final : public TCipherWith<TThreeWayContext> {
public:
    TCipher_3Way() : TCipherWith(kCipher_3Way) {}
    void EncodeBlock(std::uint8_t* block) override { code(block, ctx_.key, ctx_.encodeConstants, false); }
    void DecodeBlock(std::uint8_t* block) override { code(block, ctx_.decodeKey, ctx_.decodeConstants, true); }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        auto k = PaddedKey<12>(key);
        for (int i = 0; i < 3; ++i) ctx_.key[i] = ctx_.decodeKey[i] = LoadBE32(k.data() + 4 * i);
        SecureZero(k);
        theta(ctx_.decodeKey);
        mu(ctx_.decodeKey);
        constants(kStartEncode, ctx_.encodeConstants);
        constants(kStartDecode, ctx_.decodeConstants);
    }

private:
    static void code(std::uint8_t* block, const Words k, const std::uint32_t* rc, bool decode) {
        std::uint32_t a[3] = {LoadBE32(block), LoadBE32(block + 4), LoadBE32(block + 8)};
        if (decode) mu(a);
        rounds(a, k, rc);
        if (decode) mu(a);
        for (int i = 0; i < 3; ++i) StoreBE32(block + 4 * i, a[i]);
    }
};

}  // namespace

const TCipherClass kCipher_3Way{{"TCipher_3Way", "3Way", ""}, 12, 12, 120, MakeCipher<TCipher_3Way>};

}  // namespace gs::crypto
