// IDEA: 64-bit blocks of four big-endian 16-bit words, a 128-bit key, 8.5 rounds mixing
// XOR, addition modulo 2^16 and multiplication modulo 2^16 + 1 (0 standing for 2^16).
#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr int kSubkeys = 52;

struct IDEAContext {
    std::uint16_t encode[kSubkeys], decode[kSubkeys];
};
static_assert(sizeof(IDEAContext) == 208);

std::uint16_t mul(std::uint16_t a, std::uint16_t b) {
    std::uint64_t x = a ? a : 0x10000, y = b ? b : 0x10000;
    return std::uint16_t((x * y) % 0x10001);  // 0x10000 comes back as 0
}

std::uint16_t mulInverse(std::uint16_t a) {  // a^(p-2) mod p, p = 2^16 + 1 prime
    std::uint64_t base = a ? a : 0x10000, r = 1;
    for (std::uint32_t e = 0x10001 - 2; e; e >>= 1, base = base * base % 0x10001)
        if (e & 1) r = r * base % 0x10001;
    return std::uint16_t(r);
}

class TCipher_IDEA final : public TCipherWith<IDEAContext> {
public:
    TCipher_IDEA() : TCipherWith(kCipher_IDEA) {}
    void EncodeBlock(std::uint8_t* block) override { code(block, ctx_.encode); }
    void DecodeBlock(std::uint8_t* block) override { code(block, ctx_.decode); }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        auto k = PaddedKey<16>(key);
        std::uint16_t* z = ctx_.encode;
        for (int i = 0; i < 8; ++i) z[i] = std::uint16_t(k[2 * i] << 8 | k[2 * i + 1]);
        SecureZero(k);
        for (int i = 8; i < kSubkeys; ++i) {  // the 128-bit key rotated left by 25 bits for each eight
            const int base = i / 8 * 8 - 8, j = i % 8;
            z[i] = std::uint16_t(z[base + (j + 1) % 8] << 9 | z[base + (j + 2) % 8] >> 7);
        }
        // Decryption: the rounds' keys reversed, additive and multiplicative inverses.
        std::uint16_t* d = ctx_.decode;
        for (int r = 0; r <= 8; ++r) {
            const std::uint16_t* e = z + 6 * (8 - r);
            const bool outer = r == 0 || r == 8;  // the middle additions swap inside the rounds
            d[6 * r] = mulInverse(e[0]);
            d[6 * r + 1] = std::uint16_t(-e[outer ? 1 : 2]);
            d[6 * r + 2] = std::uint16_t(-e[outer ? 2 : 1]);
            d[6 * r + 3] = mulInverse(e[3]);
            if (r < 8) d[6 * r + 4] = z[6 * (7 - r) + 4], d[6 * r + 5] = z[6 * (7 - r) + 5];
        }
    }

private:
    static void code(std::uint8_t* block, const std::uint16_t* z) {
        std::uint16_t x[4];
        for (int i = 0; i < 4; ++i) x[i] = std::uint16_t(block[2 * i] << 8 | block[2 * i + 1]);
        for (int r = 0; r < 8; ++r, z += 6) {
            std::uint16_t a = mul(x[0], z[0]), b = std::uint16_t(x[1] + z[1]), c = std::uint16_t(x[2] + z[2]),
                          d = mul(x[3], z[3]);
            std::uint16_t t1 = mul(std::uint16_t(a ^ c), z[4]);
            std::uint16_t t2 = mul(std::uint16_t(t1 + (b ^ d)), z[5]);
            t1 = std::uint16_t(t1 + t2);
            x[0] = a ^ t2, x[1] = c ^ t2, x[2] = b ^ t1, x[3] = d ^ t1;
        }
        const std::uint16_t y[4] = {mul(x[0], z[0]), std::uint16_t(x[2] + z[1]), std::uint16_t(x[1] + z[2]),
                                    mul(x[3], z[3])};
        for (int i = 0; i < 4; ++i) block[2 * i] = std::uint8_t(y[i] >> 8), block[2 * i + 1] = std::uint8_t(y[i]);
    }
};

}  // namespace

const TCipherClass kCipher_IDEA{{"TCipher_IDEA", "IDEA", "free for non-commercial"}, 8, 16, 208,
                               MakeCipher<TCipher_IDEA>};

}  // namespace gs::crypto
