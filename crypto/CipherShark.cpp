// SHARK: 64-bit blocks read as one big-endian word, 128-bit keys, 6 rounds. A round adds its
// key, passes every byte through Square's S-box and mixes the eight bytes by the MDS matrix G,
// the redundancy part of the systematic (16, 8) Reed-Solomon code over Square's field whose
// generator has the roots x^1 .. x^8. The last round adds a final key in place of the mixing;
// that key is kept with G's inverse applied, so decryption has the same shape: inverse box,
// inverse matrix, the keys in reverse order with the inner ones mixed by G's inverse.
// The round keys come from the cipher itself: the key, repeated to 56 bytes, is encrypted in
// 64-bit CFB mode from a zero vector under fixed keys taken from the first mixing table.
#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr int kRounds = 6;
using Matrix = std::uint8_t[8][8];
using MixTable = std::uint64_t[8][256];

std::uint8_t mul(std::uint8_t a, std::uint8_t b) { return GFMul(a, b, kSquarePoly); }

// m[n - 8][k]: the coefficient of z^k in z^n modulo prod (z + alpha^r) for r = 1 .. 8, n = 8 .. 15.
void codeMatrix(std::uint8_t alpha, Matrix& m) {
    std::uint8_t g[9] = {1}, root = 1;
    for (int r = 1; r <= 8; ++r) {
        root = mul(root, alpha);
        for (int k = r; k >= 0; --k) g[k] = std::uint8_t((k ? g[k - 1] : 0) ^ mul(g[k], root));
    }
    std::uint8_t rem[8];
    std::copy_n(g, 8, rem);  // z^8 = the lower terms of the monic generator
    for (int n = 0; n < 8; ++n) {
        std::copy_n(rem, 8, m[n]);
        const std::uint8_t top = rem[7];
        for (int k = 7; k >= 0; --k) rem[k] = std::uint8_t((k ? rem[k - 1] : 0) ^ mul(top, g[k]));
    }
}

// Byte i of a word counts from its most significant end.
std::uint8_t byteAt(std::uint64_t w, int i) { return std::uint8_t(w >> (56 - 8 * i)); }

std::uint64_t mix(const Matrix& m, std::uint64_t a) {
    std::uint64_t out = 0;
    for (int i = 0; i < 8; ++i) {
        std::uint8_t v = 0;
        for (int j = 0; j < 8; ++j) v ^= mul(m[i][j], byteAt(a, j));
        out |= std::uint64_t(v) << (56 - 8 * i);
    }
    return out;
}

struct TTables {
    Matrix g, inverse;
    // Column j of the matrix times the box's image of x: one lookup per byte and round.
    MixTable encode, decode;
    TTables() {
        Matrix m;
        codeMatrix(2, m);
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 8; ++j) g[i][j] = m[7 - i][7 - j];
        // G's inverse is the same construction for x^-1, which is (poly ^ 1) >> 1, read in the
        // natural order; the round trips of the tests hold it to that.
        codeMatrix(std::uint8_t((kSquarePoly ^ 1) >> 1), inverse);
        const TSquareBoxes& box = SquareSBoxes();
        for (int j = 0; j < 8; ++j)
            for (int x = 0; x < 256; ++x) {
                std::uint64_t e = 0, d = 0;
                for (int i = 0; i < 8; ++i) {
                    e |= std::uint64_t(mul(g[i][j], box.s[x])) << (56 - 8 * i);
                    d |= std::uint64_t(mul(inverse[i][j], box.inverse[x])) << (56 - 8 * i);
                }
                encode[j][x] = e, decode[j][x] = d;
            }
    }
};
const TTables& tables() {
    static const TTables t;
    return t;
}

using RoundKeys = std::uint64_t[kRounds + 1];

std::uint64_t run(const RoundKeys& k, const MixTable& table, const std::uint8_t* box, std::uint64_t t) {
    t ^= k[0];
    for (int r = 1; r < kRounds; ++r) {
        std::uint64_t next = k[r];
        for (int j = 0; j < 8; ++j) next ^= table[j][byteAt(t, j)];
        t = next;
    }
    std::uint64_t out = 0;
    for (int j = 0; j < 8; ++j) out |= std::uint64_t(box[byteAt(t, j)]) << (56 - 8 * j);
    return out ^ k[kRounds];
}

struct TSharkContext {
    RoundKeys encode, decode;
};
static_assert(sizeof(TSharkContext) == 112);

class TCipher_Shark final : public TCipherWith<TSharkContext> {
public:
    TCipher_Shark() : TCipherWith(kCipher_Shark) {}

    void EncodeBlock(std::uint8_t* x) override {
        StoreBE64(x, run(ctx_.encode, tables().encode, SquareSBoxes().s, LoadBE64(x)));
    }
    void DecodeBlock(std::uint8_t* x) override {
        StoreBE64(x, run(ctx_.decode, tables().decode, SquareSBoxes().inverse, LoadBE64(x)));
    }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        const TTables& t = tables();
        auto k = PaddedKey<16>(key);
        RoundKeys fixed;
        for (int r = 0; r < kRounds; ++r) fixed[r] = t.encode[0][r];
        fixed[kRounds] = mix(t.inverse, t.encode[0][kRounds]);
        std::uint64_t feedback = 0;
        for (int r = 0; r <= kRounds; ++r)
            ctx_.encode[r] = feedback = LoadBE64(k.data() + 8 * (r % 2)) ^ run(fixed, t.encode, SquareSBoxes().s, feedback);
        ctx_.encode[kRounds] = mix(t.inverse, ctx_.encode[kRounds]);
        for (int r = 0; r <= kRounds; ++r) {
            ctx_.decode[r] = ctx_.encode[kRounds - r];
            if (r > 0 && r < kRounds) ctx_.decode[r] = mix(t.inverse, ctx_.decode[r]);
        }
        SecureZero(k), SecureZero(BytesOf(feedback));
    }
};

}  // namespace

const TCipherClass kCipher_Shark{{"TCipher_Shark", "Shark", ""}, 8, 16, 112, MakeCipher<TCipher_Shark>};

}  // namespace gs::crypto
