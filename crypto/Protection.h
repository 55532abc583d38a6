#pragma once
// TProtection: what hashes and ciphers share. A protection codes data in one of five
// actions and hands every chunk it codes on to a chained protection, so that, for example,
// a cipher can feed a hash with the text it enciphers.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "crypto/Streams.h"

namespace gs::crypto {

enum class Action : std::uint8_t {
    Encode = 0,
    Decode = 1,
    Scramble = 2,   // a further coding: hashes replace the data by digests
    Calculate = 3,  // the source is read, nothing is written back
    Wipe = 4,
};

class TProtection {
public:
    // Size of the work buffer that streams are coded through.
    static constexpr std::size_t kChunkSize = 4096;

    explicit TProtection(std::shared_ptr<TProtection> protection = nullptr);
    virtual ~TProtection();
    TProtection(const TProtection&) = delete;
    TProtection& operator=(const TProtection&) = delete;

    const std::shared_ptr<TProtection>& Protection() const { return protection_; }
    // Raises EProtection, keeping the old chain, when the new chain leads back to this object.
    void SetProtection(std::shared_ptr<TProtection> protection);

    // The actions this object codes for; all five after creation.
    bool HasAction(Action a) const { return actions_ & (1u << unsigned(a)); }
    void SetAction(Action a, bool on);

    virtual void StartCoding(Action action);
    virtual void EndCoding(Action action);
    virtual void CodeChunk(std::span<std::uint8_t> buffer, Action action);

    // Codes `size` bytes (negative: the whole source from its start) from source to dest
    // (nullptr: back into source) in chunks of kChunkSize. A cipher whose block does not
    // divide kChunkSize (3-Way) therefore codes a chained stream differently from one
    // EncodeBuffer over the same bytes; each way decodes what it encoded.
    void CodeStream(IStream* source, IStream* dest, std::int64_t size, Action action);
    // Codes a file into another (an empty or equivalent dest name: in place). The result is
    // written to a temporary file beside the target and renamed over it, so a failure
    // leaves the target as it was.
    void CodeFile(const std::filesystem::path& source, const std::filesystem::path& dest, Action action);
    // Decode takes `source` in the string format and returns bytes; the other actions take
    // bytes and return text in the format. -1 is the default format (MIME base 64).
    std::string CodeString(std::string_view source, Action action, int formatId = -1);
    std::size_t CodeBuffer(std::span<std::uint8_t> buffer, Action action);

private:
    std::shared_ptr<TProtection> protection_;
    std::uint8_t actions_ = 0x1F;
};

}  // namespace gs::crypto
