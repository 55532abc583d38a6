#pragma once
// TCipher, the base of the block ciphers: key setup from a hash of a password, the initial
// vector and feedback register, the eight modes, and the wiping of key material.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/ClassRegistry.h"
#include "crypto/Hash.h"
#include "crypto/Protection.h"

namespace gs::crypto {

enum class TCipherMode : std::uint8_t { cmCTS, cmCBC, cmCFB, cmOFB, cmECB, cmCTSMAC, cmCBCMAC, cmCFBMAC };

class TCipher;

// One descriptor per cipher class.
struct TCipherClass {
    TClassNames names;
    std::size_t blockSize;
    std::size_t keySize;
    std::size_t contextSize;
    std::unique_ptr<TCipher> (*create)();
};

using InitVector = std::optional<std::span<const std::uint8_t>>;

class TCipher : public TProtection {
public:
    ~TCipher() override;

    const TCipherClass& Class() const { return *class_; }
    std::size_t BlockSize() const { return Class().blockSize; }
    std::size_t KeySize() const { return Class().keySize; }

    TCipherMode Mode() const { return mode_; }
    void SetMode(TCipherMode mode) { mode_ = mode; }  // the key is not touched

    // nullptr: the library's default, RIPEMD-256. A different class drops the hash object.
    void SetHashClass(const THashClass* cls);
    const THashClass& GetHashClass() const { return *hashClass_; }
    // The hash object, created from the hash class on first use.
    THash& Hash();

    // Keys from the hash of the key text; no vector: the vector is the encrypted all-$FF block.
    void InitKey(std::string_view key, InitVector iv = std::nullopt);
    // Keys from raw bytes (cut to KeySize()). An initial vector shorter than the block raises
    // ECipherException code 5.
    void Init(std::span<const std::uint8_t> key, InitVector iv = std::nullopt);
    // Codes in the current mode; source and dest may be the same area, dest holds at least
    // source.size() bytes. Raise ECipherException before coding anything when no key is set
    // (code 3) or, in ECB mode, when the size is not whole blocks (code 4).
    void EncodeBuffer(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest);
    void DecodeBuffer(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest);
    void EncodeBuffer(std::span<std::uint8_t> data) { EncodeBuffer(data, data); }
    void DecodeBuffer(std::span<std::uint8_t> data) { DecodeBuffer(data, data); }

    // Every coding run starts from the vector.
    void ResetFeedback();
    // Clears the key flags and overwrites vector, feedback, buffer and key context.
    void Wipe();

    bool Initialized() const { return flags_ & kInitialized; }
    bool KeyFromInitKey() const { return flags_ & kKeyFromHash; }
    std::span<const std::uint8_t> Feedback() const { return feedback_; }
    std::span<const std::uint8_t> Vector() const { return vector_; }

    void StartCoding(Action action) override;
    void EndCoding(Action action) override;
    void CodeChunk(std::span<std::uint8_t> buffer, Action action) override;

    // The class's block routines, in place on BlockSize() bytes.
    virtual void EncodeBlock(std::uint8_t* block) = 0;
    virtual void DecodeBlock(std::uint8_t* block) = 0;

protected:
    explicit TCipher(const TCipherClass& cls, std::shared_ptr<TProtection> protection = nullptr);
    // Sets up the key context from at most KeySize() bytes.
    virtual void SetupKey(std::span<const std::uint8_t> key) = 0;
    virtual std::span<std::uint8_t> KeyContext() = 0;

private:
    static constexpr std::uint32_t kKeyFromHash = 1, kInitialized = 2;
    void checkInitialized() const;
    std::size_t prepare(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest);
    void coding(Action action);
    void encodeWhole(const std::uint8_t* in, std::uint8_t* out, std::size_t size);
    void decodeWhole(const std::uint8_t* in, std::uint8_t* out, std::size_t size);
    void codeBytes(const std::uint8_t* in, std::uint8_t* out, std::size_t size, bool decode);
    void codeTail(const std::uint8_t* in, std::uint8_t* out, std::size_t size);

    const TCipherClass* class_;
    TCipherMode mode_ = TCipherMode::cmCTS;
    std::shared_ptr<THash> hash_;
    const THashClass* hashClass_;
    std::vector<std::uint8_t> buffer_, vector_, feedback_;
    std::uint32_t flags_ = 0;
};

// A cipher class with its key context of type Context: the context is wiped while it still
// exists, before the base is destroyed.
template <class Context>
class TCipherWith : public TCipher {
public:
    ~TCipherWith() override { Wipe(); }

protected:
    using TCipher::TCipher;
    std::span<std::uint8_t> KeyContext() override { return {reinterpret_cast<std::uint8_t*>(&ctx_), sizeof ctx_}; }
    Context ctx_{};
};

const std::vector<const TCipherClass*>& CipherClasses();
const TCipherClass* FindCipherClass(std::string_view name);
// Raises EUnknownAlgorithm naming the name.
const TCipherClass& CipherClassByName(std::string_view name);
const TCipherClass& DefaultCipherClass();  // Blowfish

}  // namespace gs::crypto
