#include "crypto/Hash.h"

#include <algorithm>
#include <cstring>

#include "crypto/BitUtils.h"
#include "crypto/CryptoErrors.h"
#include "crypto/HashFamily.h"
#include "crypto/StringFormats.h"

namespace gs::crypto {

TMAC* THash::mac() const { return dynamic_cast<TMAC*>(Protection().get()); }

void THash::Init() {
    Reset();
    if (TMAC* m = mac()) m->HashInit(*this);
}

void THash::Done() {
    Finish();
    if (TMAC* m = mac()) {
        m->HashDone(*this);
    } else if (Protection()) {
        Protection()->CodeBuffer(DigestKey(), Action::Scramble);
    }
}

void THash::StartCoding(Action action) {
    TProtection::StartCoding(action);
    Init();
    if (action == Action::Wipe) XorRandomBytes(DigestKey(), ClockSeed());
}

void THash::EndCoding(Action action) {
    TProtection::EndCoding(action);
    if (action == Action::Calculate) Done();
    else Init();
}

void THash::CodeChunk(std::span<std::uint8_t> buffer, Action action) {
    if (action != Action::Decode) TProtection::CodeChunk(buffer, action);
    if (HasAction(action)) {
        if (action == Action::Calculate) {
            Calc(buffer);
        } else {
            const std::size_t piece = DigestKeySize();
            std::array<std::uint8_t, 64> previous{};
            for (std::size_t at = 0; at < buffer.size(); at += piece) {
                std::span<std::uint8_t> part = buffer.subspan(at, std::min(piece, buffer.size() - at));
                if (action == Action::Scramble || action == Action::Wipe) {
                    Calc(part);
                    Done();
                    std::copy_n(DigestKey().begin(), part.size(), part.begin());
                } else {  // a key stream: each digest hashed again, XORed onto the data
                    std::copy_n(DigestKey().begin(), piece, previous.begin());
                    Calc({previous.data(), piece});
                    Done();
                    XorBytes(part.data(), part.data(), DigestKey().data(), part.size());
                }
            }
            SecureZero(previous);
        }
    }
    if (action == Action::Decode) TProtection::CodeChunk(buffer, action);
}

std::string THash::HashString(const THashClass& cls, std::string_view data, std::shared_ptr<TProtection> protection,
                              int formatId) {
    std::unique_ptr<THash> hash = cls.create();
    hash->SetProtection(std::move(protection));
    hash->Init();
    hash->Calc({reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
    hash->Done();
    std::span<std::uint8_t> digest = hash->DigestKey();
    return BytesToFormat({reinterpret_cast<const char*>(digest.data()), digest.size()}, formatId);
}

TMDHash::~TMDHash() {
    SecureZero(block_);
    SecureZero(digest_);
}

void TMDHash::Reset() {
    SecureZero(block_);
    SecureZero(digest_);
    count_ = 0;
    Initial();
}

void TMDHash::Calc(std::span<const std::uint8_t> data) {
    const std::size_t size = BlockBytes();
    std::size_t used = std::size_t(count_ % size);
    count_ += data.size();
    if (used) {
        std::size_t n = std::min(data.size(), size - used);
        std::memcpy(block_.data() + used, data.data(), n);
        data = data.subspan(n);
        if (used + n < size) return;
        Transform(block_.data());
    }
    while (data.size() >= size) {  // whole blocks straight from the input
        Transform(data.data());
        data = data.subspan(size);
    }
    if (!data.empty()) std::memcpy(block_.data(), data.data(), data.size());
}

void TMDHash::WriteTrailer(std::uint8_t* at, std::uint64_t bits) const {
    for (int i = 0; i < 8; ++i) at[i] = std::uint8_t(bits >> (BigEndian() ? 56 - 8 * i : 8 * i));
}

void TMDHash::Finish() {
    const std::size_t size = BlockBytes(), room = size - TrailerBytes();
    std::size_t used = std::size_t(count_ % size);
    block_[used++] = PadByte();
    if (used > room) {  // no room for the trailer: one more block
        std::fill(block_.begin() + std::ptrdiff_t(used), block_.begin() + std::ptrdiff_t(size), 0);
        Transform(block_.data());
        used = 0;
    }
    std::fill(block_.begin() + std::ptrdiff_t(used), block_.begin() + std::ptrdiff_t(room), 0);
    WriteTrailer(block_.data() + room, count_ * 8);
    Transform(block_.data());
    SecureZero(block_);
    count_ = 0;
}

const std::vector<const THashClass*>& HashClasses() {
    static const std::vector<const THashClass*> list{&kHash_MD4,       &kHash_MD5,       &kHash_SHA,
                                                    &kHash_SHA1,      &kHash_RipeMD128, &kHash_RipeMD160,
                                                    &kHash_RipeMD256, &kHash_RipeMD320, &kHash_Haval128,
                                                    &kHash_Haval160,  &kHash_Haval192,  &kHash_Haval224,
                                                    &kHash_Haval256,  &kHash_Sapphire128, &kHash_Sapphire160,
                                                    &kHash_Sapphire192, &kHash_Sapphire224, &kHash_Sapphire256,
                                                    &kHash_Sapphire288, &kHash_Sapphire320, &kHash_Snefru, &kHash_Tiger,
                                                    &kHash_CRC16_CCITT, &kHash_CRC16_Standard, &kHash_CRC32};
    return list;
}

const THashClass* FindHashClass(std::string_view name) { return FindRegistered(HashClasses(), name); }

const THashClass& HashClassByName(std::string_view name) { return RequireRegistered(HashClasses(), name, "Hash"); }

const THashClass& DefaultHashClass() { return kHash_RipeMD256; }

}  // namespace gs::crypto
