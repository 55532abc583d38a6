// The CRC checksums. The digest area holds the running register, most significant byte
// first, so the finished digest read as hexadecimal is the published check value.
#include <array>

#include "crypto/BitUtils.h"
#include "crypto/HashFamily.h"

namespace gs::crypto {

namespace {

class TChecksum : public THash {
public:
    using THash::THash;
    ~TChecksum() override { SecureZero(digest_); }
    std::span<std::uint8_t> DigestKey() override { return {digest_.data(), DigestKeySize()}; }
    void Calc(std::span<const std::uint8_t> data) override { store(update(load(), data)); }

protected:
    virtual std::uint32_t initial() const = 0;
    virtual std::uint32_t finalXor() const { return 0; }
    virtual std::uint32_t update(std::uint32_t crc, std::span<const std::uint8_t> data) const = 0;
    void Reset() override { store(initial()); }
    void Finish() override { store(load() ^ finalXor()); }

private:
    std::uint32_t load() const {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < DigestKeySize(); ++i) v = v << 8 | digest_[i];
        return v;
    }
    void store(std::uint32_t v) {
        for (std::size_t i = DigestKeySize(); i-- > 0; v >>= 8) digest_[i] = std::uint8_t(v);
    }
    std::array<std::uint8_t, 4> digest_{};
};

// Polynomial 0x1021 from 0xFFFF, most significant bit first (check value 29B1).
class THash_CRC16_CCITT final : public TChecksum {
public:
    const THashClass& Class() const override { return kHash_CRC16_CCITT; }

protected:
    std::uint32_t initial() const override { return 0xFFFF; }
    std::uint32_t update(std::uint32_t crc, std::span<const std::uint8_t> data) const override {
        static const auto table = [] {
            std::array<std::uint16_t, 256> t{};
            for (unsigned i = 0; i < 256; ++i) {
                std::uint16_t c = std::uint16_t(i << 8);
                for (int k = 0; k < 8; ++k) c = (c & 0x8000) ? std::uint16_t((c << 1) ^ 0x1021) : std::uint16_t(c << 1);
                t[i] = c;
            }
            return t;
        }();
        for (std::uint8_t b : data) crc = ((crc << 8) ^ table[((crc >> 8) ^ b) & 0xFF]) & 0xFFFF;
        return crc;
    }
};

// CRC-16 with the reflected polynomial 0xA001 from 0 (check value BB3D).
class Thash_CRC16_Standard final : public TChecksum {
public:
    const THashClass& Class() const override { return kHash_CRC16_Standard; }

protected:
    std::uint32_t initial() const override { return 0; }
    std::uint32_t update(std::uint32_t crc, std::span<const std::uint8_t> data) const override {
        return CRC16(std::uint16_t(crc), data);
    }
};

// The published CRC-32 (check value CBF43926).
class THash_CRC32 final : public TChecksum {
public:
    const THashClass& Class() const override { return kHash_CRC32; }

protected:
    std::uint32_t initial() const override { return 0xFFFFFFFF; }
    std::uint32_t finalXor() const override { return 0xFFFFFFFF; }
    std::uint32_t update(std::uint32_t crc, std::span<const std::uint8_t> data) const override {
        return CRC32(crc, data);
    }
};

}  // namespace

const THashClass kHash_CRC16_CCITT{{"THash_CRC16_CCITT", "CRC-16 CCITT", "Checksum"}, 2, MakeHash<THash_CRC16_CCITT>};
const THashClass kHash_CRC16_Standard{
    {"Thash_CRC16_Standard", "CRC-16 Standard", "Checksum"}, 2, MakeHash<Thash_CRC16_Standard>};
const THashClass kHash_CRC32{{"THash_CRC32", "CRC-32", "Checksum"}, 4, MakeHash<THash_CRC32>};

}  // namespace gs::crypto
