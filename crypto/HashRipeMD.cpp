// RIPEMD-128, -160, -256 and -320: two parallel lines of 4 or 5 rounds over each block; the
// 256- and 320-bit variants keep the lines apart and exchange one register after each round.
#include <algorithm>

#include "crypto/BitUtils.h"
#include "crypto/HashFamily.h"

namespace gs::crypto {

namespace {

constexpr std::uint8_t kWordLeft[80] = {
    0, 1, 2,  3,  4,  5,  6,  7,  8, 9, 10, 11, 12, 13, 14, 15, 7,  4,  13, 1,  10, 6,  15, 3,  12, 0, 9,
    5, 2, 14, 11, 8,  3,  10, 14, 4, 9, 15, 8,  1,  2,  7,  0,  6, 13, 11, 5,  12, 1,  9,  11, 10, 0, 8,
    12, 4, 13, 3, 7, 15, 14, 5, 6, 2, 4, 0, 5, 9, 7, 12, 2, 10, 14, 1, 3, 8, 11, 6, 15, 13};
constexpr std::uint8_t kWordRight[80] = {
    5,  14, 7,  0, 9, 2,  11, 4,  13, 6,  15, 8,  1, 10, 3, 12, 6,  11, 3, 7,  0,  13, 5,  10, 14, 15, 8,
    12, 4,  9,  1, 2, 15, 5,  1,  3,  7,  14, 6,  9, 11, 8, 12, 2,  10, 0, 4,  13, 8,  6,  4,  1,  3,  11,
    15, 0,  5,  12, 2, 13, 9,  7,  10, 14, 12, 15, 10, 4, 1, 5, 8, 7, 6, 2, 13, 14, 0, 3, 9, 11};
constexpr std::uint8_t kShiftLeft[80] = {
    11, 14, 15, 12, 5,  8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,  7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15,
    9,  11, 7,  13, 12, 11, 13, 6,  7,  14, 9,  13, 15, 14, 8,  13, 6,  5,  12, 7,  5,  11, 12, 14, 15, 14, 15,
    9,  8,  9,  14, 5,  6,  8,  6,  5,  12, 9,  15, 5,  11, 6,  8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6};
constexpr std::uint8_t kShiftRight[80] = {
    8,  9,  9,  11, 13, 15, 15, 5,  7,  7,  8,  11, 14, 14, 12, 6,  9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12,
    7,  6,  15, 13, 11, 9,  7,  15, 11, 8,  6,  6,  14, 12, 13, 5,  14, 13, 13, 7,  5,  15, 5,  8,  11, 14, 14,
    6,  14, 6,  9,  12, 9,  12, 5,  15, 8,  8,  5,  12, 9,  12, 5,  14, 6,  8,  13, 6,  5,  15, 13, 11, 11};
constexpr std::uint32_t kAddLeft[5] = {0, 0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xA953FD4E};
constexpr std::uint32_t kAddRight5[5] = {0x50A28BE6, 0x5C4DD124, 0x6D703EF3, 0x7A6D76E9, 0};
constexpr std::uint32_t kAddRight4[4] = {0x50A28BE6, 0x5C4DD124, 0x6D703EF3, 0};

std::uint32_t f(int j, std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    switch (j) {
        case 0: return x ^ y ^ z;
        case 1: return (x & y) | (~x & z);
        case 2: return (x | ~y) ^ z;
        case 3: return (x & z) | (y & ~z);
        default: return x ^ (y | ~z);
    }
}

// One line of N registers (4: the 128-bit step, 5: the 160-bit step) over the round `j`.
// The registers stay in place and the roles move by one register each step.
template <int N>
void lineRound(std::uint32_t (&v)[N], const std::uint32_t* x, int j, const std::uint8_t* words,
               const std::uint8_t* shifts, int fun, std::uint32_t add) {
    for (int i = 0; i < 16; ++i) {
        const int k = 16 * j + i;
        auto at = [&](int role) -> std::uint32_t& { return v[((role - k) % N + N) % N]; };
        std::uint32_t t = at(0) + f(fun, at(1), at(2), at(3)) + x[words[k]] + add;
        if constexpr (N == 4) {
            at(0) = RotateLeft32(t, shifts[k]);
        } else {
            at(0) = RotateLeft32(t, shifts[k]) + at(4);
            at(2) = RotateLeft32(at(2), 10);
        }
    }
}

// Runs both lines; `exchange[j]` names the register swapped between them after round j (-1: none).
template <int N>
void lines(std::uint32_t (&l)[N], std::uint32_t (&r)[N], const std::uint8_t* block, const int* exchange) {
    std::uint32_t x[16];
    LoadWords(block, x, false);
    for (int j = 0; j < N; ++j) {
        lineRound(l, x, j, kWordLeft, kShiftLeft, j, kAddLeft[j]);
        lineRound(r, x, j, kWordRight, kShiftRight, N - 1 - j, N == 4 ? kAddRight4[j] : kAddRight5[j]);
        if (exchange[j] >= 0) std::swap(l[exchange[j]], r[exchange[j]]);
    }
}

constexpr std::uint32_t kInitial[10] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0,
                                        0x76543210, 0xFEDCBA98, 0x89ABCDEF, 0x01234567, 0x3C2D1E0F};
constexpr int kNoExchange[5] = {-1, -1, -1, -1, -1};

class THash_RipeMD128 final : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_RipeMD128; }

protected:
    void Initial() override { StoreWords(digest_.data(), kInitial, 4, false); }
    void Transform(const std::uint8_t* block) override {
        std::uint32_t h[4], l[4], r[4];
        LoadWords(digest_.data(), h, false);
        std::copy_n(h, 4, l), std::copy_n(h, 4, r);
        lines(l, r, block, kNoExchange);
        std::uint32_t t = h[1] + l[2] + r[3];
        h[1] = h[2] + l[3] + r[0], h[2] = h[3] + l[0] + r[1], h[3] = h[0] + l[1] + r[2], h[0] = t;
        StoreWords(digest_.data(), h, false);
    }
};

class THash_RipeMD160 : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_RipeMD160; }

protected:
    void Initial() override { StoreWords(digest_.data(), kInitial, 5, false); }
    void Transform(const std::uint8_t* block) override {
        std::uint32_t h[5], l[5], r[5];
        LoadWords(digest_.data(), h, false);
        std::copy_n(h, 5, l), std::copy_n(h, 5, r);
        lines(l, r, block, kNoExchange);
        std::uint32_t t = h[1] + l[2] + r[3];
        h[1] = h[2] + l[3] + r[4], h[2] = h[3] + l[4] + r[0], h[3] = h[4] + l[0] + r[1], h[4] = h[0] + l[1] + r[2];
        h[0] = t;
        StoreWords(digest_.data(), h, false);
    }
};

// The doubled variants: each line keeps its own chaining words.
template <int N>
void doubledTransform(std::uint8_t* digest, const std::uint8_t* block, const int* exchange) {
    std::uint32_t h[2 * N], l[N], r[N];
    LoadWords(digest, h, false);
    std::copy_n(h, N, l), std::copy_n(h + N, N, r);
    lines(l, r, block, exchange);
    for (int i = 0; i < N; ++i) h[i] += l[i], h[N + i] += r[i];
    StoreWords(digest, h, false);
}

class THash_RipeMD256 final : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_RipeMD256; }

protected:
    void Initial() override {
        const std::uint32_t w[8] = {kInitial[0], kInitial[1], kInitial[2], kInitial[3],
                                    kInitial[5], kInitial[6], kInitial[7], kInitial[8]};
        StoreWords(digest_.data(), w, false);
    }
    void Transform(const std::uint8_t* block) override {
        static constexpr int exchange[4] = {0, 1, 2, 3};  // a, b, c, d
        doubledTransform<4>(digest_.data(), block, exchange);
    }
};

class THash_RipeMD320 final : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_RipeMD320; }

protected:
    void Initial() override { StoreWords(digest_.data(), kInitial, false); }
    void Transform(const std::uint8_t* block) override {
        // The published B, D, A, C, E name the roles at each round's end, which with the
        // roles moving one register a round are the registers a, b, c, d, e.
        static constexpr int exchange[5] = {0, 1, 2, 3, 4};
        doubledTransform<5>(digest_.data(), block, exchange);
    }
};

}  // namespace

const THashClass kHash_RipeMD128{{"THash_RipeMD128", "Ripe Message Digest 128", "Hash"}, 16, MakeHash<THash_RipeMD128>};
const THashClass kHash_RipeMD160{{"THash_RipeMD160", "Ripe Message Digest 160", "Hash"}, 20, MakeHash<THash_RipeMD160>};
const THashClass kHash_RipeMD256{{"THash_RipeMD256", "Ripe Message Digest 256", "Hash"}, 32, MakeHash<THash_RipeMD256>};
const THashClass kHash_RipeMD320{{"THash_RipeMD320", "Ripe Message Digest 320", "Hash"}, 40, MakeHash<THash_RipeMD320>};

}  // namespace gs::crypto
