// SHA (the first version, without the rotation in its message schedule) and SHA-1. Both
// read and write big-endian words and take a big-endian bit length, as published.
#include "crypto/BitUtils.h"
#include "crypto/HashFamily.h"

namespace gs::crypto {

namespace {

constexpr std::uint32_t kInitial[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};

class THash_SHA : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_SHA; }

protected:
    virtual bool Rotates() const { return false; }
    bool BigEndian() const override { return true; }
    void Initial() override { StoreWords(digest_.data(), kInitial, true); }
    void Transform(const std::uint8_t* block) override {
        std::uint32_t w[80], h[5];
        for (int i = 0; i < 16; ++i) w[i] = LoadBE32(block + 4 * i);
        for (int i = 16; i < 80; ++i) {
            std::uint32_t t = w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16];
            w[i] = Rotates() ? RotateLeft32(t, 1) : t;
        }
        LoadWords(digest_.data(), h, true);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) f = (b & c) | (~b & d), k = 0x5A827999;
            else if (i < 40) f = b ^ c ^ d, k = 0x6ED9EBA1;
            else if (i < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
            else f = b ^ c ^ d, k = 0xCA62C1D6;
            std::uint32_t t = RotateLeft32(a, 5) + f + e + k + w[i];
            e = d, d = c, c = RotateLeft32(b, 30), b = a, a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
        StoreWords(digest_.data(), h, true);
        SecureZero(BytesOf(w));
    }
};

class THash_SHA1 final : public THash_SHA {
public:
    const THashClass& Class() const override { return kHash_SHA1; }

protected:
    bool Rotates() const override { return true; }
};

}  // namespace

const THashClass kHash_SHA{{"THash_SHA", "Secure Hash Algorithm", "Hash"}, 20, MakeHash<THash_SHA>};
const THashClass kHash_SHA1{{"THash_SHA1", "Secure Hash Algorithm 1", "Hash"}, 20, MakeHash<THash_SHA1>};

}  // namespace gs::crypto
