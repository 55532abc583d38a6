// MD4 and MD5.
#include <cmath>

#include "crypto/BitUtils.h"
#include "crypto/HashFamily.h"

namespace gs::crypto {

namespace {

constexpr std::uint32_t kMDInitial[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

class THash_MD4 : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_MD4; }

protected:
    void Initial() override { StoreWords(digest_.data(), kMDInitial, false); }
    void Transform(const std::uint8_t* block) override {
        std::uint32_t x[16], h[4];
        LoadWords(block, x, false);
        LoadWords(digest_.data(), h, false);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        auto F = [](auto x, auto y, auto z) { return (x & y) | (~x & z); };
        auto G = [](auto x, auto y, auto z) { return (x & y) | (x & z) | (y & z); };
        auto H = [](auto x, auto y, auto z) { return x ^ y ^ z; };
        static constexpr int s1[4] = {3, 7, 11, 19}, s2[4] = {3, 5, 9, 13}, s3[4] = {3, 9, 11, 15};
        static constexpr int order3[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
        for (int i = 0; i < 16; ++i) {
            std::uint32_t t = RotateLeft32(a + F(b, c, d) + x[i], s1[i % 4]);
            a = d, d = c, c = b, b = t;
        }
        for (int i = 0; i < 16; ++i) {
            std::uint32_t t = RotateLeft32(a + G(b, c, d) + x[(i % 4) * 4 + i / 4] + 0x5A827999, s2[i % 4]);
            a = d, d = c, c = b, b = t;
        }
        for (int i = 0; i < 16; ++i) {
            std::uint32_t t = RotateLeft32(a + H(b, c, d) + x[order3[i]] + 0x6ED9EBA1, s3[i % 4]);
            a = d, d = c, c = b, b = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d;
        StoreWords(digest_.data(), h, false);
    }
};

// The sines of MD5: floor(|sin(i + 1)| * 2^32), computed once.
struct TMD5Sines {
    std::uint32_t k[64];
    TMD5Sines();
};

class THash_MD5 final : public THash_MD4 {
public:
    const THashClass& Class() const override { return kHash_MD5; }

protected:
    void Transform(const std::uint8_t* block) override {
        static const TMD5Sines sines;
        static constexpr int shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
        std::uint32_t x[16], h[4];
        LoadWords(block, x, false);
        LoadWords(digest_.data(), h, false);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            std::uint32_t f;
            int g;
            switch (i / 16) {
                case 0: f = (b & c) | (~b & d), g = i; break;
                case 1: f = (d & b) | (~d & c), g = (5 * i + 1) % 16; break;
                case 2: f = b ^ c ^ d, g = (3 * i + 5) % 16; break;
                default: f = c ^ (b | ~d), g = (7 * i) % 16; break;
            }
            std::uint32_t t = d;
            d = c, c = b;
            b = b + RotateLeft32(a + f + sines.k[i] + x[g], shifts[i / 16][i % 4]);
            a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d;
        StoreWords(digest_.data(), h, false);
    }
};

TMD5Sines::TMD5Sines() {
    for (int i = 0; i < 64; ++i) k[i] = std::uint32_t(std::floor(std::fabs(std::sin(double(i + 1))) * 4294967296.0));
}

}  // namespace

const THashClass kHash_MD4{{"THash_MD4", "Message Digest 4", "Hash"}, 16, MakeHash<THash_MD4>};
const THashClass kHash_MD5{{"THash_MD5", "Message Digest 5", "Hash"}, 16, MakeHash<THash_MD5>};

}  // namespace gs::crypto
