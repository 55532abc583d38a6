// HAVAL with 3 passes: 128-byte blocks, eight chaining words and round constants from the
// fraction of pi, digests of 128 to 256 bits folded from the eight words.
#include <algorithm>

#include "crypto/BitUtils.h"
#include "crypto/HashFamily.h"
#include "crypto/PiWords.h"

namespace gs::crypto {

namespace {

using W = std::uint32_t;

W f1(W x6, W x5, W x4, W x3, W x2, W x1, W x0) { return (x1 & (x0 ^ x4)) ^ (x2 & x5) ^ (x3 & x6) ^ x0; }
W f2(W x6, W x5, W x4, W x3, W x2, W x1, W x0) {
    return (x2 & ((x1 & ~x3) ^ (x4 & x5) ^ x6 ^ x0)) ^ (x4 & (x1 ^ x5)) ^ (x3 & x5) ^ x0;
}
W f3(W x6, W x5, W x4, W x3, W x2, W x1, W x0) { return (x3 & ((x1 & x2) ^ x6 ^ x0)) ^ (x1 & x4) ^ (x2 & x5) ^ x0; }

// The three passes' functions with their argument permutations for 3 passes.
W phi(int pass, W x6, W x5, W x4, W x3, W x2, W x1, W x0) {
    switch (pass) {
        case 0: return f1(x1, x0, x3, x5, x6, x2, x4);
        case 1: return f2(x4, x2, x1, x0, x5, x3, x6);
        default: return f3(x6, x1, x2, x3, x4, x5, x0);
    }
}

constexpr std::uint8_t kOrder[3][32] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31},
    {5, 14, 26, 18, 11, 28, 7, 16, 0, 23, 20, 22, 1, 10, 4, 8, 30, 3, 21, 9, 17, 24, 29, 6, 19, 12, 15, 13, 2, 25, 31, 27},
    {19, 9, 4, 20, 28, 17, 8, 22, 29, 14, 25, 12, 24, 30, 16, 26, 31, 15, 7, 3, 1, 0, 18, 27, 13, 6, 21, 10, 23, 11, 5, 2}};

// Words 0-7 of pi's fraction start the state; words 8-71 are the constants of passes 2 and 3.
const std::vector<W>& piWords() {
    static const std::vector<W> w = PiFractionWords(8 + 64);
    return w;
}

class THash_Haval256 : public TMDHash {
public:
    const THashClass& Class() const override { return kHash_Haval256; }

protected:
    std::uint8_t PadByte() const override { return 0x01; }
    std::size_t BlockBytes() const override { return 128; }
    std::size_t TrailerBytes() const override { return 10; }
    void WriteTrailer(std::uint8_t* at, std::uint64_t bits) const override {
        const unsigned bitsOut = unsigned(DigestKeySize() * 8), version = 1, passes = 3;
        at[0] = std::uint8_t((bitsOut & 3) << 6 | passes << 3 | version);
        at[1] = std::uint8_t(bitsOut >> 2);
        TMDHash::WriteTrailer(at + 2, bits);
    }
    void Initial() override { StoreWords(digest_.data(), piWords().data(), 8, false); }
    void Transform(const std::uint8_t* block) override {
        W x[32], d[8], t[8];
        LoadWords(block, x, false);
        LoadWords(digest_.data(), d, false);
        std::copy_n(d, 8, t);
        for (int pass = 0; pass < 3; ++pass)
            for (int i = 0; i < 32; ++i) {
                auto r = [&](int j) -> W& { return t[((j - i) % 8 + 8) % 8]; };
                const W k = pass ? piWords()[std::size_t(8 + 32 * (pass - 1) + i)] : 0;
                const W temp = phi(pass, r(6), r(5), r(4), r(3), r(2), r(1), r(0));
                r(7) = RotateRight32(temp, 7) + RotateRight32(r(7), 11) + x[kOrder[pass][i]] + k;
            }
        for (int i = 0; i < 8; ++i) d[i] += t[i];
        StoreWords(digest_.data(), d, false);
    }
    void Finish() override {
        TMDHash::Finish();
        W d[8];
        LoadWords(digest_.data(), d, false);
        fold(d);
        StoreWords(digest_.data(), d, false);
    }
    // Shorter digests fold the last words into the first ones.
    virtual void fold(W (&)[8]) const {}
};

class THash_Haval128 final : public THash_Haval256 {
public:
    const THashClass& Class() const override { return kHash_Haval128; }

protected:
    void fold(W (&d)[8]) const override {
        d[0] += RotateRight32((d[7] & 0x000000FF) | (d[6] & 0xFF000000) | (d[5] & 0x00FF0000) | (d[4] & 0x0000FF00), 8);
        d[1] += RotateRight32((d[7] & 0x0000FF00) | (d[6] & 0x000000FF) | (d[5] & 0xFF000000) | (d[4] & 0x00FF0000), 16);
        d[2] += RotateRight32((d[7] & 0x00FF0000) | (d[6] & 0x0000FF00) | (d[5] & 0x000000FF) | (d[4] & 0xFF000000), 24);
        d[3] += (d[7] & 0xFF000000) | (d[6] & 0x00FF0000) | (d[5] & 0x0000FF00) | (d[4] & 0x000000FF);
    }
};

class THash_Haval160 final : public THash_Haval256 {
public:
    const THashClass& Class() const override { return kHash_Haval160; }

protected:
    void fold(W (&d)[8]) const override {
        d[0] += RotateRight32((d[7] & 0x3F) | (d[6] & (0x7Fu << 25)) | (d[5] & (0x3Fu << 19)), 19);
        d[1] += RotateRight32((d[7] & (0x3Fu << 6)) | (d[6] & 0x3F) | (d[5] & (0x7Fu << 25)), 25);
        d[2] += (d[7] & (0x7Fu << 12)) | (d[6] & (0x3Fu << 6)) | (d[5] & 0x3F);
        d[3] += ((d[7] & (0x3Fu << 19)) | (d[6] & (0x7Fu << 12)) | (d[5] & (0x3Fu << 6))) >> 6;
        d[4] += ((d[7] & (0x7Fu << 25)) | (d[6] & (0x3Fu << 19)) | (d[5] & (0x7Fu << 12))) >> 12;
    }
};

class THash_Haval192 final : public THash_Haval256 {
public:
    const THashClass& Class() const override { return kHash_Haval192; }

protected:
    void fold(W (&d)[8]) const override {
        d[0] += RotateRight32((d[7] & 0x1F) | (d[6] & (0x3Fu << 26)), 26);
        d[1] += (d[7] & (0x1Fu << 5)) | (d[6] & 0x1F);
        d[2] += ((d[7] & (0x3Fu << 10)) | (d[6] & (0x1Fu << 5))) >> 5;
        d[3] += ((d[7] & (0x1Fu << 16)) | (d[6] & (0x3Fu << 10))) >> 10;
        d[4] += ((d[7] & (0x1Fu << 21)) | (d[6] & (0x1Fu << 16))) >> 16;
        d[5] += ((d[7] & (0x3Fu << 26)) | (d[6] & (0x1Fu << 21))) >> 21;
    }
};

class THash_Haval224 final : public THash_Haval256 {
public:
    const THashClass& Class() const override { return kHash_Haval224; }

protected:
    void fold(W (&d)[8]) const override {
        d[0] += (d[7] >> 27) & 0x1F;
        d[1] += (d[7] >> 22) & 0x1F;
        d[2] += (d[7] >> 18) & 0x0F;
        d[3] += (d[7] >> 13) & 0x1F;
        d[4] += (d[7] >> 9) & 0x0F;
        d[5] += (d[7] >> 4) & 0x1F;
        d[6] += d[7] & 0x0F;
    }
};

}  // namespace

const THashClass kHash_Haval128{{"THash_Haval128", "Haval-128", "Hash"}, 16, MakeHash<THash_Haval128>};
const THashClass kHash_Haval160{{"THash_Haval160", "Haval-160", "Hash"}, 20, MakeHash<THash_Haval160>};
const THashClass kHash_Haval192{{"THash_Haval192", "Haval-192", "Hash"}, 24, MakeHash<THash_Haval192>};
const THashClass kHash_Haval224{{"THash_Haval224", "Haval-224", "Hash"}, 28, MakeHash<THash_Haval224>};
const THashClass kHash_Haval256{{"THash_Haval256", "Haval-256", "Hash"}, 32, MakeHash<THash_Haval256>};

}  // namespace gs::crypto
