// SAFER K-64, SK-64, K-128 and SK-128 (Massey): 64-bit blocks, byte-wise rounds of XOR and
// addition keys, exponentials and logarithms of 45 modulo 257 and three layers of the
// pseudo-Hadamard transform. The round count is fixed per class: K-64 6, SK-64 8, K-128
// and SK-128 10. The strengthened (SK) schedules add a parity byte and take the key bytes
// in a rotating order.
#include <algorithm>
#include <array>

#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr int kBlock = 8;

struct TTables {
    std::uint8_t exp[256], log[256];
    TTables() {
        unsigned e = 1;
        for (int i = 0; i < 256; ++i) {
            exp[i] = std::uint8_t(e & 0xFF);  // 45^128 = 256 is written 0
            log[exp[i]] = std::uint8_t(i);
            e = e * 45 % 257;
        }
    }
};
const TTables& tables() {
    static const TTables t;
    return t;
}

std::uint8_t rol8(std::uint8_t x, int n) { return std::uint8_t(x << n | x >> (8 - n)); }

struct TSaferContext {
    std::uint8_t key[kBlock * (1 + 2 * 13)];  // round keys of up to 13 rounds
    std::uint8_t unused[768 - kBlock * (1 + 2 * 13)];
};
static_assert(sizeof(TSaferContext) == 768);

class TCipher_SAFER : public TCipherWith<TSaferContext> {
public:
    TCipher_SAFER(const TCipherClass& cls, int rounds, bool strengthened)
        : TCipherWith(cls), rounds_(rounds), strengthened_(strengthened) {}

    void EncodeBlock(std::uint8_t* x) override {
        const auto& t = tables();
        const std::uint8_t* k = ctx_.key;
        for (int r = 0; r < rounds_; ++r, k += 2 * kBlock) {
            for (int j = 0; j < kBlock; ++j) {
                const bool xorFirst = j == 0 || j == 3 || j == 4 || j == 7;
                x[j] = xorFirst ? x[j] ^ k[j] : std::uint8_t(x[j] + k[j]);
                x[j] = xorFirst ? std::uint8_t(t.exp[x[j]] + k[kBlock + j]) : t.log[x[j]] ^ k[kBlock + j];
            }
            for (int layer = 0; layer < 3; ++layer) {
                for (int j = 0; j < kBlock; j += 2) {  // PHT(a, b): b += a; a += b
                    x[j + 1] = std::uint8_t(x[j + 1] + x[j]);
                    x[j] = std::uint8_t(x[j] + x[j + 1]);
                }
                if (layer < 2) permute(x);  // the last layer's order is the round's output order
            }
        }
        addOutput(x, k);
    }

    void DecodeBlock(std::uint8_t* x) override {
        const auto& t = tables();
        const std::uint8_t* k = ctx_.key + 2 * kBlock * rounds_;
        for (int j = 0; j < kBlock; ++j) {
            const bool xorFirst = j == 0 || j == 3 || j == 4 || j == 7;
            x[j] = xorFirst ? x[j] ^ k[j] : std::uint8_t(x[j] - k[j]);
        }
        for (int r = rounds_ - 1; r >= 0; --r) {
            k = ctx_.key + 2 * kBlock * r;
            for (int layer = 0; layer < 3; ++layer) {
                for (int j = 0; j < kBlock; j += 2) {  // IPHT(a, b): a -= b; b -= a
                    x[j] = std::uint8_t(x[j] - x[j + 1]);
                    x[j + 1] = std::uint8_t(x[j + 1] - x[j]);
                }
                if (layer < 2) unpermute(x);
            }
            for (int j = 0; j < kBlock; ++j) {
                const bool xorFirst = j == 0 || j == 3 || j == 4 || j == 7;
                x[j] = xorFirst ? t.log[std::uint8_t(x[j] - k[kBlock + j])] : t.exp[x[j] ^ k[kBlock + j]];
                x[j] = xorFirst ? x[j] ^ k[j] : std::uint8_t(x[j] - k[j]);
            }
        }
    }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        const auto& t = tables();
        const bool wide = KeySize() == 16;
        auto user = PaddedKey<16>(key);
        const std::uint8_t* first = user.data();
        const std::uint8_t* second = wide ? user.data() + kBlock : user.data();
        std::uint8_t ka[kBlock + 1] = {}, kb[kBlock + 1] = {};
        std::uint8_t* out = ctx_.key;
        for (int j = 0; j < kBlock; ++j) {
            ka[kBlock] ^= ka[j] = rol8(first[j], 5);
            kb[kBlock] ^= kb[j] = *out++ = second[j];
        }
        for (int i = 1; i <= rounds_; ++i) {
            for (int j = 0; j <= kBlock; ++j) ka[j] = rol8(ka[j], 6), kb[j] = rol8(kb[j], 6);
            for (int j = 0; j < kBlock; ++j)
                *out++ = std::uint8_t((strengthened_ ? ka[(j + 2 * i - 1) % (kBlock + 1)] : ka[j]) +
                                      t.exp[t.exp[18 * i + j + 1]]);
            for (int j = 0; j < kBlock; ++j)
                *out++ = std::uint8_t((strengthened_ ? kb[(j + 2 * i) % (kBlock + 1)] : kb[j]) +
                                      t.exp[t.exp[18 * i + j + 10]]);
        }
        SecureZero(user), SecureZero(BytesOf(ka)), SecureZero(BytesOf(kb));
    }

private:
    // The output keys: XOR on bytes 0, 3, 4, 7, addition on the others.
    static void addOutput(std::uint8_t* x, const std::uint8_t* k) {
        for (int j = 0; j < kBlock; ++j) {
            const bool xorFirst = j == 0 || j == 3 || j == 4 || j == 7;
            x[j] = xorFirst ? x[j] ^ k[j] : std::uint8_t(x[j] + k[j]);
        }
    }
    // Between the layers the bytes (a b c d e f g h) become (a c e g b d f h).
    static void permute(std::uint8_t* x) {
        const std::uint8_t y[kBlock] = {x[0], x[2], x[4], x[6], x[1], x[3], x[5], x[7]};
        std::copy_n(y, kBlock, x);
    }
    static void unpermute(std::uint8_t* x) {
        const std::uint8_t y[kBlock] = {x[0], x[4], x[1], x[5], x[2], x[6], x[3], x[7]};
        std::copy_n(y, kBlock, x);
    }

    int rounds_;
    bool strengthened_;
};

template <const TCipherClass& cls, int rounds, bool strengthened>
std::unique_ptr<TCipher> makeSafer() {
    return std::make_unique<TCipher_SAFER>(cls, rounds, strengthened);
}

}  // namespace

std::unique_ptr<TCipher> CreateSafer(const TCipherClass& cls, int rounds) {
    const bool strengthened = &cls == &kCipher_SAFER_SK64 || &cls == &kCipher_SAFER_SK128;
    return std::make_unique<TCipher_SAFER>(cls, std::min(rounds, 13), strengthened);
}

const TCipherClass kCipher_SAFER_K64{{"TCipher_SAFER_K64", "SAFER-K64", ""}, 8, 8, 768,
                                    makeSafer<kCipher_SAFER_K64, 6, false>};
const TCipherClass kCipher_SAFER_SK64{{"TCipher_SAFER_SK64", "SAFER-SK64", "Keyscheduling"}, 8, 8, 768,
                                     makeSafer<kCipher_SAFER_SK64, 8, true>};
const TCipherClass kCipher_SAFER_K128{{"TCipher_SAFER_K128", "SAFER-K128", ""}, 8, 16, 768,
                                     makeSafer<kCipher_SAFER_K128, 10, false>};
const TCipherClass kCipher_SAFER_SK128{{"TCipher_SAFER_SK128", "SAFER-SK128", "Keyscheduling"}, 8, 16, 768,
                                      makeSafer<kCipher_SAFER_SK128, 10, true>};

}  // namespace gs::crypto
