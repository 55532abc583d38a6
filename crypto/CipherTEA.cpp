// TEA and extended TEA (XTEA): 64-bit blocks and 128-bit keys read as big-endian words,
// 32 cycles (64 Feistel rounds) as published.
#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9;
constexpr int kCycles = 32;

struct TEAContext {
    std::uint32_t key[4];
    std::uint32_t unused[4];  // the context keeps the size the library gives it
};
static_assert(sizeof(TEAContext) == 32);

class TEABase : public TCipherWith<TEAContext> {
public:
    using TCipherWith::TCipherWith;
    void EncodeBlock(std::uint8_t* block) override {
        std::uint32_t v0 = LoadBE32(block), v1 = LoadBE32(block + 4);
        encrypt(v0, v1);
        StoreBE32(block, v0), StoreBE32(block + 4, v1);
    }
    void DecodeBlock(std::uint8_t* block) override {
        std::uint32_t v0 = LoadBE32(block), v1 = LoadBE32(block + 4);
        decrypt(v0, v1);
        StoreBE32(block, v0), StoreBE32(block + 4, v1);
    }

protected:
    virtual void encrypt(std::uint32_t& v0, std::uint32_t& v1) const = 0;
    virtual void decrypt(std::uint32_t& v0, std::uint32_t& v1) const = 0;
    void SetupKey(std::span<const std::uint8_t> key) override {
        auto k = PaddedKey<16>(key);
        for (int i = 0; i < 4; ++i) ctx_.key[i] = LoadBE32(k.data() + 4 * i);
        SecureZero(k);
    }
};

class TCipher_TEA final : public TEABase {
public:
    TCipher_TEA() : TEABase(kCipher_TEA) {}

protected:
    void encrypt(std::uint32_t& v0, std::uint32_t& v1) const override {
        const std::uint32_t* k = ctx_.key;
        std::uint32_t sum = 0;
        for (int i = 0; i < kCycles; ++i) {
            sum += kDelta;
            v0 += ((v1 << 4) + k[0]) ^ (v1 + sum) ^ ((v1 >> 5) + k[1]);
            v1 += ((v0 << 4) + k[2]) ^ (v0 + sum) ^ ((v0 >> 5) + k[3]);
        }
    }
    void decrypt(std::uint32_t& v0, std::uint32_t& v1) const override {
        const std::uint32_t* k = ctx_.key;
        std::uint32_t sum = kDelta * kCycles;
        for (int i = 0; i < kCycles; ++i) {
            v1 -= ((v0 << 4) + k[2]) ^ (v0 + sum) ^ ((v0 >> 5) + k[3]);
            v0 -= ((v1 << 4) + k[0]) ^ (v1 + sum) ^ ((v1 >> 5) + k[1]);
            sum -= kDelta;
        }
    }
};

class TCipher_TEAN final : public TEABase {
public:
    TCipher_TEAN() : TEABase(kCipher_TEAN) {}

protected:
    void encrypt(std::uint32_t& v0, std::uint32_t& v1) const override {
        const std::uint32_t* k = ctx_.key;
        std::uint32_t sum = 0;
        for (int i = 0; i < kCycles; ++i) {
            v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + k[sum & 3]);
            sum += kDelta;
            v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + k[(sum >> 11) & 3]);
        }
    }
    void decrypt(std::uint32_t& v0, std::uint32_t& v1) const override {
        const std::uint32_t* k = ctx_.key;
        std::uint32_t sum = kDelta * kCycles;
        for (int i = 0; i < kCycles; ++i) {
            v1 -= (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + k[(sum >> 11) & 3]);
            sum -= kDelta;
            v0 -= (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + k[sum & 3]);
        }
    }
};

}  // namespace

const TCipherClass kCipher_TEA{{"TCipher_TEA", "TEA", ""}, 8, 16, 32, MakeCipher<TCipher_TEA>};
const TCipherClass kCipher_TEAN{{"TCipher_TEAN", "TEA extended", ""}, 8, 16, 32, MakeCipher<TCipher_TEAN>};

}  // namespace gs::crypto
