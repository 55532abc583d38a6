// Sapphire II as a hash: the stream cipher's card deck and five registers from their fixed
// start, each input byte enciphered (the output dropped), then 256 bytes counted down and the
// digest taken as the cipher stream of zero bytes. Digests of 16 to 40 bytes.
#include <array>

#include "crypto/BitUtils.h"
#include "crypto/HashFamily.h"

namespace gs::crypto {

namespace {

class THash_Sapphire320 : public THash {
public:
    ~THash_Sapphire320() override {
        SecureZero(cards_), SecureZero(digest_);
        rotor_ = ratchet_ = avalanche_ = lastPlain_ = lastCipher_ = 0;
    }
    const THashClass& Class() const override { return kHash_Sapphire320; }
    std::span<std::uint8_t> DigestKey() override { return {digest_.data(), DigestKeySize()}; }
    void Calc(std::span<const std::uint8_t> data) override {
        for (std::uint8_t b : data) encrypt(b);
    }

protected:
    void Reset() override {
        rotor_ = 1, ratchet_ = 3, avalanche_ = 5, lastPlain_ = 7, lastCipher_ = 11;
        for (int i = 0; i < 256; ++i) cards_[std::size_t(i)] = std::uint8_t(255 - i);
        SecureZero(digest_);
    }
    void Finish() override {
        for (int i = 255; i >= 0; --i) encrypt(std::uint8_t(i));
        for (std::size_t i = 0; i < DigestKeySize(); ++i) digest_[i] = encrypt(0);
    }

private:
    // One step of the shuffling rotor; returns the cipher byte of `b`.
    std::uint8_t encrypt(std::uint8_t b) {
        auto& c = cards_;
        ratchet_ = std::uint8_t(ratchet_ + c[rotor_++]);
        const std::uint8_t swap = c[lastCipher_];
        c[lastCipher_] = c[ratchet_];
        c[ratchet_] = c[lastPlain_];
        c[lastPlain_] = c[rotor_];
        c[rotor_] = swap;
        avalanche_ = std::uint8_t(avalanche_ + c[swap]);
        lastCipher_ = b ^ c[std::uint8_t(c[ratchet_] + c[rotor_])] ^
                      c[c[std::uint8_t(c[lastPlain_] + c[lastCipher_] + c[avalanche_])]];
        lastPlain_ = b;
        return lastCipher_;
    }

    std::array<std::uint8_t, 256> cards_{};
    std::uint8_t rotor_ = 0, ratchet_ = 0, avalanche_ = 0, lastPlain_ = 0, lastCipher_ = 0;
    std::array<std::uint8_t, 40> digest_{};
};

// The shorter digests differ only in their class (and so their size).
template <const THashClass& cls>
class TSapphire final : public THash_Sapphire320 {
public:
    const THashClass& Class() const override { return cls; }
};

}  // namespace

const THashClass kHash_Sapphire128{
    {"THash_Sapphire128", "Sapphire II-128", "Hash"}, 16, MakeHash<TSapphire<kHash_Sapphire128>>};
const THashClass kHash_Sapphire160{
    {"THash_Sapphire160", "Sapphire II-160", "Hash"}, 20, MakeHash<TSapphire<kHash_Sapphire160>>};
const THashClass kHash_Sapphire192{
    {"THash_Sapphire192", "Sapphire II-192", "Hash"}, 24, MakeHash<TSapphire<kHash_Sapphire192>>};
const THashClass kHash_Sapphire224{
    {"THash_Sapphire224", "Sapphire II-224", "Hash"}, 28, MakeHash<TSapphire<kHash_Sapphire224>>};
const THashClass kHash_Sapphire256{
    {"THash_Sapphire256", "Sapphire II-256", "Hash"}, 32, MakeHash<TSapphire<kHash_Sapphire256>>};
const THashClass kHash_Sapphire288{
    {"THash_Sapphire288", "Sapphire II-288", "Hash"}, 36, MakeHash<TSapphire<kHash_Sapphire288>>};
const THashClass kHash_Sapphire320{{"THash_Sapphire320", "Sapphire II-320", "Hash"}, 40, MakeHash<THash_Sapphire320>};

}  // namespace gs::crypto
