// Blowfish: 64-bit blocks, 16 rounds, keys of up to 56 bytes. The initial P-array and
// S-boxes are the fraction of pi; blocks are read and written as two big-endian halves.
#include <algorithm>

#include "crypto/BitUtils.h"
#include "crypto/Cipher.h"
#include "crypto/CipherFamily.h"
#include "crypto/PiWords.h"

namespace gs::crypto {

namespace {

struct TBlowfishContext {
    std::uint32_t S[4][256];  // S-boxes first, then the P-array, as the key context is laid out
    std::uint32_t P[18];
};
static_assert(sizeof(TBlowfishContext) == 4168);

const TBlowfishContext& initialContext() {
    static const TBlowfishContext pi = [] {
        TBlowfishContext c{};
        std::vector<std::uint32_t> w = PiFractionWords(18 + 4 * 256);
        std::copy_n(w.begin(), 18, c.P);
        for (int box = 0; box < 4; ++box) std::copy_n(w.begin() + 18 + 256 * box, 256, c.S[box]);
        return c;
    }();
    return pi;
}

class TCipher_Blowfish final : public TCipherWith<TBlowfishContext> {
public:
    TCipher_Blowfish() : TCipherWith(kCipher_Blowfish) {}

    void EncodeBlock(std::uint8_t* block) override {
        std::uint32_t l = LoadBE32(block), r = LoadBE32(block + 4);
        encrypt(l, r);
        StoreBE32(block, l), StoreBE32(block + 4, r);
    }

    void DecodeBlock(std::uint8_t* block) override {
        std::uint32_t l = LoadBE32(block), r = LoadBE32(block + 4);
        for (int i = 17; i > 1; --i) {
            l ^= ctx_.P[i];
            r ^= f(l);
            std::swap(l, r);
        }
        std::swap(l, r);
        r ^= ctx_.P[1];
        l ^= ctx_.P[0];
        StoreBE32(block, l), StoreBE32(block + 4, r);
    }

protected:
    // An empty key mixes nothing into the P-array, as a key of zero bytes would.
    void SetupKey(std::span<const std::uint8_t> key) override {
        ctx_ = initialContext();
        for (std::size_t i = 0, j = 0; i < 18 && !key.empty(); ++i) {
            std::uint32_t data = 0;
            for (int k = 0; k < 4; ++k, j = (j + 1) % key.size()) data = data << 8 | key[j];
            ctx_.P[i] ^= data;
        }
        std::uint32_t l = 0, r = 0;
        for (int i = 0; i < 18; i += 2) {
            encrypt(l, r);
            ctx_.P[i] = l, ctx_.P[i + 1] = r;
        }
        for (auto& box : ctx_.S)
            for (int i = 0; i < 256; i += 2) {
                encrypt(l, r);
                box[i] = l, box[i + 1] = r;
            }
    }

private:
    std::uint32_t f(std::uint32_t x) const {
        return ((ctx_.S[0][x >> 24] + ctx_.S[1][(x >> 16) & 0xFF]) ^ ctx_.S[2][(x >> 8) & 0xFF]) + ctx_.S[3][x & 0xFF];
    }
    void encrypt(std::uint32_t& l, std::uint32_t& r) const {
        for (int i = 0; i < 16; ++i) {
            l ^= ctx_.P[i];
            r ^= f(l);
            std::swap(l, r);
        }
        std::swap(l, r);
        r ^= ctx_.P[16];
        l ^= ctx_.P[17];
    }
};

}  // namespace

const TCipherClass kCipher_Blowfish{{"TCipher_Blowfish", "Blowfish", ""}, 8, 56, 4168, MakeCipher<TCipher_Blowfish>};

}  // namespace gs::crypto
