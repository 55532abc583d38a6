// Square: 128-bit blocks as a 4 x 4 matrix of bytes (rows of four), 128-bit keys, 8 rounds
// of the S-box (inversion in GF(2^8) modulo x^8+x^7+x^6+x^5+x^4+x^2+1, then an affine map),
// the transposition and the row mixing theta by the circulant matrix (2 1 1 3). theta^4 is
// the identity, so theta^3 undoes it. The round keys are kept with theta applied, which
// lets encryption run theta, transposition and S-box in one order.
#include <algorithm>
#include <array>

#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr int kRounds = 8;
// The affine map after inversion: the image of each bit of the inverse, then the constant.
constexpr std::uint8_t kAffine[8] = {0x7F, 0xDA, 0xBC, 0x78, 0xF0, 0x60, 0xC0, 0x80};
constexpr std::uint8_t kAffineConstant = 0xB1;
constexpr std::uint8_t kMix[4][4] = {{2, 1, 1, 3}, {3, 2, 1, 1}, {1, 3, 2, 1}, {1, 1, 3, 2}};

std::uint8_t gfMul(std::uint8_t a, std::uint8_t b) { return GFMul(a, b, kSquarePoly); }

struct TBoxes : TSquareBoxes {
    TBoxes() {
        for (unsigned x = 0; x < 256; ++x) {
            std::uint8_t inv = 0;
            for (unsigned y = 1; x && y < 256 && !inv; ++y)
                if (gfMul(std::uint8_t(x), std::uint8_t(y)) == 1) inv = std::uint8_t(y);
            std::uint8_t v = kAffineConstant;
            for (int bit = 0; bit < 8; ++bit)
                if (inv >> bit & 1) v ^= kAffine[bit];
            s[x] = v;
            inverse[v] = std::uint8_t(x);
        }
    }
};
const TBoxes& boxes() {
    static const TBoxes b;
    return b;
}

using State = std::array<std::uint8_t, 16>;

void theta(std::uint8_t* a, int times = 1) {
    for (; times > 0; --times)
        for (int i = 0; i < 4; ++i) {
            std::uint8_t* row = a + 4 * i;
            std::uint8_t b[4];
            for (int j = 0; j < 4; ++j)
                b[j] = gfMul(row[0], kMix[0][j]) ^ gfMul(row[1], kMix[1][j]) ^ gfMul(row[2], kMix[2][j]) ^
                       gfMul(row[3], kMix[3][j]);
            std::copy_n(b, 4, row);
        }
}

// The S-box (or its inverse) on every byte, then the transposition.
void gammaPi(std::uint8_t* a, const std::uint8_t* box) {
    State b;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) b[std::size_t(4 * j + i)] = box[a[4 * i + j]];
    std::copy(b.begin(), b.end(), a);
}

void addKey(std::uint8_t* a, const std::uint8_t* k) { XorBytes(a, a, k, 16); }

struct TSquareContext {
    std::uint8_t encode[kRounds + 1][16];  // theta of each round key but the last
    std::uint8_t decode[kRounds + 1][16];  // the same keys with theta undone again, for decryption
};
static_assert(sizeof(TSquareContext) == 288);

class TCipher_Square final : public TCipherWith<TSquareContext> {
public:
    TCipher_Square() : TCipherWith(kCipher_Square) {}

    void EncodeBlock(std::uint8_t* x) override {
        addKey(x, ctx_.encode[0]);
        for (int t = 1; t < kRounds; ++t) {
            gammaPi(x, boxes().s);
            theta(x);
            addKey(x, ctx_.encode[t]);
        }
        gammaPi(x, boxes().s);
        addKey(x, ctx_.encode[kRounds]);
    }

    void DecodeBlock(std::uint8_t* x) override {
        addKey(x, ctx_.decode[kRounds]);
        gammaPi(x, boxes().inverse);
        for (int t = kRounds - 1; t >= 1; --t) {
            theta(x, 3);
            addKey(x, ctx_.decode[t]);
            gammaPi(x, boxes().inverse);
        }
        addKey(x, ctx_.decode[0]);
    }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        auto k = PaddedKey<16>(key);
        std::uint8_t round[16], constant = 1;
        std::copy(k.begin(), k.end(), round);
        for (int t = 0; t <= kRounds; ++t) {
            std::copy_n(round, 16, ctx_.encode[t]);
            std::copy_n(round, 16, ctx_.decode[t]);
            if (t < kRounds) theta(ctx_.encode[t]);
            if (t == 0) std::copy_n(ctx_.encode[0], 16, ctx_.decode[0]);
            // The next key: row 0 takes row 3 rotated by one byte and the constant x^t.
            for (int j = 0; j < 4; ++j) round[j] ^= round[12 + (j + 1) % 4] ^ (j == 0 ? constant : 0);
            for (int i = 4; i < 16; ++i) round[i] ^= round[i - 4];
            constant = gfMul(constant, 2);
        }
        SecureZero(k), SecureZero(BytesOf(round));
    }
};

}  // namespace

const TCipherClass kCipher_Square{{"TCipher_Square", "Square", ""}, 16, 16, 288, MakeCipher<TCipher_Square>};

std::uint32_t SquareBoxPin() { return LoadBE32(boxes().s); }

const TSquareBoxes& SquareSBoxes() { return boxes(); }

}  // namespace gs::crypto
