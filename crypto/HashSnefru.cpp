// Snefru-256 with 8 passes: the 512-bit function E runs over the eight chaining words followed
// by 32 message bytes (eight big-endian words); its output, folded back onto the input, is the
// next chaining value. The last partial block is filled with zeros, then one more block holds
// the bit length in its last 64 bits. The digest is the chaining words, big-endian.
#include <algorithm>
#include <array>
#include <cstring>

#include "crypto/HashFamily.h"

namespace gs::crypto {

namespace {

constexpr int kPasses = 8;
constexpr std::size_t kBlockBytes = 32;
constexpr unsigned kShifts[4] = {16, 8, 16, 24};

class THash_Snefru final : public THash {
public:
    ~THash_Snefru() override { SecureZero(block_), SecureZero(digest_), SecureZero(BytesOf(chain_)); }
    const THashClass& Class() const override { return kHash_Snefru; }
    std::span<std::uint8_t> DigestKey() override { return digest_; }

    void Calc(std::span<const std::uint8_t> data) override {
        std::size_t used = std::size_t(count_ % kBlockBytes);
        count_ += data.size();
        while (!data.empty()) {
            const std::size_t n = std::min(data.size(), kBlockBytes - used);
            std::memcpy(block_.data() + used, data.data(), n);
            data = data.subspan(n);
            used += n;
            if (used == kBlockBytes) transform(), used = 0;
        }
    }

protected:
    void Reset() override {
        std::fill(std::begin(chain_), std::end(chain_), 0u);
        SecureZero(block_), SecureZero(digest_);
        count_ = 0;
    }
    void Finish() override {
        if (const std::size_t used = std::size_t(count_ % kBlockBytes)) {
            std::fill(block_.begin() + std::ptrdiff_t(used), block_.end(), 0);
            transform();
        }
        const std::uint64_t bits = count_ * 8;
        std::fill(block_.begin(), block_.end(), 0);
        StoreBE32(block_.data() + 24, std::uint32_t(bits >> 32));
        StoreBE32(block_.data() + 28, std::uint32_t(bits));
        transform();
        StoreWords(digest_.data(), chain_, true);
        SecureZero(block_);
        count_ = 0;
    }

private:
    void transform() {
        std::uint32_t in[16], w[16];
        std::copy_n(chain_, 8, in);
        for (int i = 0; i < 8; ++i) in[8 + i] = LoadBE32(block_.data() + 4 * i);
        std::copy_n(in, 16, w);
        for (int pass = 0; pass < kPasses; ++pass)
            for (unsigned shift : kShifts) {
                for (int i = 0; i < 16; ++i) {
                    // Words 0, 1 take the pass's first box, 2, 3 its second, and so on in turn.
                    const std::uint32_t e = kSnefruBoxes[2 * pass + (i >> 1 & 1)][w[i] & 0xFF];
                    w[(i + 1) % 16] ^= e;
                    w[(i + 15) % 16] ^= e;
                }
                for (std::uint32_t& v : w) v = RotateRight32(v, shift);
            }
        for (int i = 0; i < 8; ++i) chain_[i] = in[i] ^ w[15 - i];
        SecureZero(BytesOf(in)), SecureZero(BytesOf(w));
    }

    std::uint32_t chain_[8] = {};
    std::array<std::uint8_t, kBlockBytes> block_{};
    std::array<std::uint8_t, 32> digest_{};
    std::uint64_t count_ = 0;
};

}  // namespace

const THashClass kHash_Snefru{{"THash_Snefru", "Snefru-256", "Hash"}, 32, MakeHash<THash_Snefru>};

}  // namespace gs::crypto
