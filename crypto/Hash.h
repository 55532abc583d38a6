#pragma once
// THash, the base of the hash and checksum classes, the message-digest frame they share,
// TMAC, and the hash registry.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/ClassRegistry.h"
#include "crypto/Protection.h"

namespace gs::crypto {

class THash;

// One descriptor per hash class.
struct THashClass {
    TClassNames names;
    std::size_t digestSize;
    std::unique_ptr<THash> (*create)();
};

// A protection that, chained to a hash, is handed the hash's start and end in place of the
// hash's own handling of its chain.
class TMAC : public TProtection {
public:
    using TProtection::TProtection;
    virtual void HashInit(THash& hash) = 0;
    virtual void HashDone(THash& hash) = 0;
};

class THash : public TProtection {
public:
    using TProtection::TProtection;

    virtual const THashClass& Class() const = 0;
    // Back to the initial state; a chained TMAC is told.
    void Init();
    virtual void Calc(std::span<const std::uint8_t> data) = 0;
    // Finishes the digest; a chained TMAC is told, any other chained protection codes the
    // digest in place with the action Scramble.
    void Done();
    virtual std::span<std::uint8_t> DigestKey() = 0;
    std::size_t DigestKeySize() const { return Class().digestSize; }

    void StartCoding(Action action) override;
    void EndCoding(Action action) override;
    void CodeChunk(std::span<std::uint8_t> buffer, Action action) override;

    // The digest of `data` in the string format (-1: MIME base 64).
    static std::string HashString(const THashClass& cls, std::string_view data,
                                  std::shared_ptr<TProtection> protection = nullptr, int formatId = -1);

protected:
    virtual void Reset() = 0;
    virtual void Finish() = 0;

private:
    TMAC* mac() const;
};

// The message-digest family: blocks of 64 bytes (HAVAL: 128), a 64-bit byte counter, the
// digest area holding the chaining words in their output byte order.
class TMDHash : public THash {
public:
    using THash::THash;
    ~TMDHash() override;
    void Calc(std::span<const std::uint8_t> data) override;
    std::span<std::uint8_t> DigestKey() override { return {digest_.data(), DigestKeySize()}; }

protected:
    virtual void Transform(const std::uint8_t* block) = 0;
    // Writes the algorithm's initial words into the digest area.
    virtual void Initial() = 0;
    virtual std::uint8_t PadByte() const { return 0x80; }
    virtual bool BigEndian() const { return false; }
    virtual std::size_t BlockBytes() const { return 64; }
    // The end of the last block: the bit length (8 bytes, in the family's byte order).
    virtual std::size_t TrailerBytes() const { return 8; }
    virtual void WriteTrailer(std::uint8_t* at, std::uint64_t bits) const;
    void Reset() override;
    void Finish() override;

    std::array<std::uint8_t, 64> digest_{};

private:
    std::array<std::uint8_t, 128> block_{};
    std::uint64_t count_ = 0;
};

// Registration order: the order of the library's table.
const std::vector<const THashClass*>& HashClasses();
const THashClass* FindHashClass(std::string_view name);
// Raises EUnknownAlgorithm naming the name.
const THashClass& HashClassByName(std::string_view name);
const THashClass& DefaultHashClass();  // RIPEMD-256

}  // namespace gs::crypto
