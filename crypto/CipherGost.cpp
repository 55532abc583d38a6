// GOST 28147-89: 64-bit blocks, a 256-bit key of eight little-endian words, 32 rounds with
// the S-boxes of the published test parameter set.
#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr std::uint8_t kSBox[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},  {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},  {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},  {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},  {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12}};

struct TGostContext {
    std::uint32_t key[8];
};
static_assert(sizeof(TGostContext) == 32);

// Each nibble through its S-box (the lowest through the first), then rotated by 11.
std::uint32_t f(std::uint32_t x) {
    std::uint32_t y = 0;
    for (int i = 0; i < 8; ++i) y |= std::uint32_t(kSBox[i][(x >> (4 * i)) & 15]) << (4 * i);
    return RotateLeft32(y, 11);
}

class TCipher_Gost final : public TCipherWith<TGostContext> {
public:
    TCipher_Gost() : TCipherWith(kCipher_Gost) {}
    void EncodeBlock(std::uint8_t* block) override { code(block, false); }
    void DecodeBlock(std::uint8_t* block) override { code(block, true); }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        auto k = PaddedKey<32>(key);
        for (int i = 0; i < 8; ++i) ctx_.key[i] = LoadLE32(k.data() + 4 * i);
        SecureZero(k);
    }

private:
    // Encryption takes the key words forwards three times, then backwards; decryption the reverse.
    void code(std::uint8_t* block, bool decode) const {
        std::uint32_t n1 = LoadLE32(block), n2 = LoadLE32(block + 4);
        for (int round = 0; round < 32; ++round) {
            const bool backwards = decode ? round >= 8 : round >= 24;
            const std::uint32_t k = ctx_.key[backwards ? 7 - round % 8 : round % 8];
            if (round % 2 == 0) n2 ^= f(n1 + k);
            else n1 ^= f(n2 + k);
        }
        StoreLE32(block, n2), StoreLE32(block + 4, n1);
    }
};

}  // namespace

const TCipherClass kCipher_Gost{{"TCipher_Gost", "Gost", ""}, 8, 32, 32, MakeCipher<TCipher_Gost>};

}  // namespace gs::crypto
