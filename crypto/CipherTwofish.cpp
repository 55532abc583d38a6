// Twofish: 128-bit blocks of four little-endian words, keys zero-padded to 16, 24 or 32
// bytes, 16 rounds. The q permutations are built from their published 4-bit tables; the
// MDS and Reed-Solomon products are computed in their fields; the key-dependent S-boxes
// with the MDS columns are computed once per key.
#include <array>

#include "crypto/CipherFamily.h"

namespace gs::crypto {

namespace {

constexpr std::uint8_t kQTables[2][4][16] = {
    {{8, 1, 7, 13, 6, 15, 3, 2, 0, 11, 5, 9, 14, 12, 10, 4},
     {14, 12, 11, 8, 1, 2, 3, 5, 15, 4, 10, 6, 7, 0, 9, 13},
     {11, 10, 5, 14, 6, 13, 9, 0, 12, 8, 15, 3, 2, 4, 7, 1},
     {13, 7, 15, 4, 1, 2, 6, 14, 9, 11, 3, 0, 8, 5, 12, 10}},
    {{2, 8, 11, 13, 15, 7, 6, 14, 3, 1, 9, 4, 0, 10, 12, 5},
     {1, 14, 2, 11, 4, 12, 3, 7, 6, 13, 10, 5, 15, 9, 0, 8},
     {4, 12, 7, 5, 1, 6, 9, 10, 0, 14, 13, 8, 2, 11, 3, 15},
     {11, 9, 5, 1, 12, 3, 13, 14, 6, 4, 7, 15, 2, 0, 8, 10}}};
constexpr std::uint8_t kMDS[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B}, {0x5B, 0xEF, 0xEF, 0x01}, {0xEF, 0x5B, 0x01, 0xEF}, {0xEF, 0x01, 0xEF, 0x5B}};
constexpr std::uint8_t kRS[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                                    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                                    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                                    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};
constexpr unsigned kMDSPoly = 0x169, kRSPoly = 0x14D;

std::uint8_t ror4(std::uint8_t x) { return std::uint8_t(((x >> 1) | (x << 3)) & 15); }

struct TQBoxes {
    std::uint8_t q[2][256];
    TQBoxes() {
        for (int n = 0; n < 2; ++n)
            for (int x = 0; x < 256; ++x) {
                const auto& t = kQTables[n];
                std::uint8_t a = std::uint8_t(x >> 4), b = std::uint8_t(x & 15);
                std::uint8_t a1 = a ^ b, b1 = std::uint8_t(a ^ ror4(b) ^ ((8 * a) & 15));
                std::uint8_t a2 = t[0][a1], b2 = t[1][b1];
                std::uint8_t a3 = a2 ^ b2, b3 = std::uint8_t(a2 ^ ror4(b2) ^ ((8 * a2) & 15));
                q[n][x] = std::uint8_t(t[3][b3] << 4 | t[2][a3]);
            }
    }
};
const TQBoxes& qboxes() {
    static const TQBoxes b;
    return b;
}

// The bytes of `x` through the q chain of h() with the key words `l` (k of them).
std::array<std::uint8_t, 4> qChain(std::uint32_t x, const std::uint32_t* l, int k) {
    const auto& q = qboxes().q;
    std::uint8_t y[4];
    for (int j = 0; j < 4; ++j) y[j] = std::uint8_t(x >> (8 * j));
    auto byte = [](std::uint32_t w, int j) { return std::uint8_t(w >> (8 * j)); };
    if (k == 4) y[0] = q[1][y[0]] ^ byte(l[3], 0), y[1] = q[0][y[1]] ^ byte(l[3], 1), y[2] = q[0][y[2]] ^ byte(l[3], 2),
        y[3] = q[1][y[3]] ^ byte(l[3], 3);
    if (k >= 3) y[0] = q[1][y[0]] ^ byte(l[2], 0), y[1] = q[1][y[1]] ^ byte(l[2], 1), y[2] = q[0][y[2]] ^ byte(l[2], 2),
        y[3] = q[0][y[3]] ^ byte(l[2], 3);
    return {q[1][q[0][q[0][y[0]] ^ byte(l[1], 0)] ^ byte(l[0], 0)], q[0][q[0][q[1][y[1]] ^ byte(l[1], 1)] ^ byte(l[0], 1)],
            q[1][q[1][q[0][y[2]] ^ byte(l[1], 2)] ^ byte(l[0], 2)], q[0][q[1][q[1][y[3]] ^ byte(l[1], 3)] ^ byte(l[0], 3)]};
}

// Column j of the MDS matrix times the byte v, as a little-endian word.
std::uint32_t mdsColumn(int j, std::uint8_t v) {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w |= std::uint32_t(GFMul(kMDS[i][j], v, kMDSPoly)) << (8 * i);
    return w;
}

std::uint32_t h(std::uint32_t x, const std::uint32_t* l, int k) {
    auto y = qChain(x, l, k);
    return mdsColumn(0, y[0]) ^ mdsColumn(1, y[1]) ^ mdsColumn(2, y[2]) ^ mdsColumn(3, y[3]);
}

struct TTwofishContext {
    std::uint32_t subkeys[40];
    std::uint32_t sbox[4][256];  // the key-dependent S-boxes with the MDS columns
};
static_assert(sizeof(TTwofishContext) == 4256);

class TCipher_Twofish final : public TCipherWith<TTwofishContext> {
public:
    TCipher_Twofish() : TCipherWith(kCipher_Twofish) {}

    void EncodeBlock(std::uint8_t* block) override {
        std::uint32_t r[4];
        for (int i = 0; i < 4; ++i) r[i] = LoadLE32(block + 4 * i) ^ ctx_.subkeys[i];
        for (int round = 0; round < 16; ++round) {
            std::uint32_t t0 = g(r[0]), t1 = g(RotateLeft32(r[1], 8));
            r[2] = RotateRight32(r[2] ^ (t0 + t1 + ctx_.subkeys[2 * round + 8]), 1);
            r[3] = RotateLeft32(r[3], 1) ^ (t0 + 2 * t1 + ctx_.subkeys[2 * round + 9]);
            std::swap(r[0], r[2]), std::swap(r[1], r[3]);
        }
        for (int i = 0; i < 4; ++i) StoreLE32(block + 4 * i, r[(i + 2) % 4] ^ ctx_.subkeys[i + 4]);
    }

    void DecodeBlock(std::uint8_t* block) override {
        std::uint32_t r[4];
        for (int i = 0; i < 4; ++i) r[(i + 2) % 4] = LoadLE32(block + 4 * i) ^ ctx_.subkeys[i + 4];
        for (int round = 15; round >= 0; --round) {
            std::swap(r[0], r[2]), std::swap(r[1], r[3]);
            std::uint32_t t0 = g(r[0]), t1 = g(RotateLeft32(r[1], 8));
            r[2] = RotateLeft32(r[2], 1) ^ (t0 + t1 + ctx_.subkeys[2 * round + 8]);
            r[3] = RotateRight32(r[3] ^ (t0 + 2 * t1 + ctx_.subkeys[2 * round + 9]), 1);
        }
        for (int i = 0; i < 4; ++i) StoreLE32(block + 4 * i, r[i] ^ ctx_.subkeys[i]);
    }

protected:
    void SetupKey(std::span<const std::uint8_t> key) override {
        const int k = key.size() <= 16 ? 2 : key.size() <= 24 ? 3 : 4;
        auto m = PaddedKey<32>(key);
        std::uint32_t even[4], odd[4], s[4];
        for (int i = 0; i < k; ++i) {
            even[i] = LoadLE32(m.data() + 8 * i), odd[i] = LoadLE32(m.data() + 8 * i + 4);
            std::uint32_t w = 0;  // the Reed-Solomon product of the key's bytes 8i to 8i + 7
            for (int row = 0; row < 4; ++row) {
                std::uint8_t v = 0;
                for (int col = 0; col < 8; ++col) v ^= GFMul(kRS[row][col], m[std::size_t(8 * i + col)], kRSPoly);
                w |= std::uint32_t(v) << (8 * row);
            }
            s[k - 1 - i] = w;  // the S-box key words are taken in reverse order
        }
        const std::uint32_t rho = 0x01010101;
        for (std::uint32_t i = 0; i < 20; ++i) {
            std::uint32_t a = h(2 * i * rho, even, k), b = RotateLeft32(h((2 * i + 1) * rho, odd, k), 8);
            ctx_.subkeys[2 * i] = a + b;
            ctx_.subkeys[2 * i + 1] = RotateLeft32(a + 2 * b, 9);
        }
        for (std::uint32_t x = 0; x < 256; ++x) {
            auto y = qChain(x * rho, s, k);
            for (int j = 0; j < 4; ++j) ctx_.sbox[j][x] = mdsColumn(j, y[std::size_t(j)]);
        }
        SecureZero(m), SecureZero(BytesOf(even)), SecureZero(BytesOf(odd)), SecureZero(BytesOf(s));
    }

private:
    std::uint32_t g(std::uint32_t x) const {
        return ctx_.sbox[0][x & 0xFF] ^ ctx_.sbox[1][(x >> 8) & 0xFF] ^ ctx_.sbox[2][(x >> 16) & 0xFF] ^
               ctx_.sbox[3][x >> 24];
    }
};

}  // namespace

const TCipherClass kCipher_Twofish{{"TCipher_Twofish", "Twofish", ""}, 16, 32, 4256, MakeCipher<TCipher_Twofish>};

// The first bytes of q0 and q1, published values that pin the tables built here.
std::uint16_t TwofishQPins() { return std::uint16_t(qboxes().q[0][0] << 8 | qboxes().q[1][0]); }

}  // namespace gs::crypto
