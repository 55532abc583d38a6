#include "crypto/Cipher.h"

#include <algorithm>
#include <cstring>

#include "crypto/BitUtils.h"
#include "crypto/CipherFamily.h"
#include "crypto/CryptoErrors.h"

namespace gs::crypto {

TCipher::TCipher(const TCipherClass& cls, std::shared_ptr<TProtection> protection)
    : TProtection(std::move(protection)),
      class_(&cls),
      hashClass_(&DefaultHashClass()),
      buffer_(cls.blockSize),
      vector_(cls.blockSize),
      feedback_(cls.blockSize) {
    flags_ = 0;
    SecureFill(vector_, 0xFF);
    SecureFill(feedback_, 0xFF);
}

TCipher::~TCipher() {
    SecureZero(buffer_);
    SecureZero(vector_);
    SecureZero(feedback_);
}

void TCipher::SetHashClass(const THashClass* cls) {
    if (!cls) cls = &DefaultHashClass();
    if (cls == hashClass_) return;
    hash_.reset();
    hashClass_ = cls;
}

THash& TCipher::Hash() {
    if (!hash_) hash_ = hashClass_->create();
    return *hash_;
}

void TCipher::Wipe() {
    flags_ &= ~(kKeyFromHash | kInitialized);
    std::span<std::uint8_t> context = KeyContext();
    for (std::uint8_t pattern : {0xAA, 0x55}) {
        SecureFill(vector_, pattern);
        SecureFill(feedback_, pattern);
        SecureFill(buffer_, pattern);
        SecureFill(context, pattern);
    }
    SecureFill(vector_, 0xFF);
    SecureFill(feedback_, 0xFF);
    SecureZero(buffer_);
    SecureZero(context);
}

void TCipher::Init(std::span<const std::uint8_t> key, InitVector iv) {
    if (iv && iv->size() < BlockSize())
        throw ECipherException(ECipherException::kShortVector,
                               std::string(Class().names.className) + " needs an initial vector of " +
                                   std::to_string(BlockSize()) + " bytes.");
    flags_ &= ~kInitialized;
    Wipe();
    SetupKey(key.first(std::min(key.size(), KeySize())));
    if (iv) std::copy_n(iv->begin(), BlockSize(), vector_.begin());
    else EncodeBlock(vector_.data());
    std::copy(vector_.begin(), vector_.end(), feedback_.begin());
    flags_ |= kInitialized;
}

void TCipher::InitKey(std::string_view key, InitVector iv) {
    THash& hash = Hash();
    hash.Init();
    hash.Calc({reinterpret_cast<const std::uint8_t*>(key.data()), key.size()});
    hash.Done();
    std::span<std::uint8_t> digest = hash.DigestKey();
    Init(digest.first(std::min(KeySize(), digest.size())), iv);
    EncodeBuffer(digest);
    SecureZero(digest);  // in the MAC modes the encoding leaves the key bytes as they were
    ResetFeedback();
    flags_ |= kKeyFromHash;
}

void TCipher::ResetFeedback() {
    if (std::equal(feedback_.begin(), feedback_.end(), vector_.begin())) return;
    std::copy(feedback_.begin(), feedback_.end(), buffer_.begin());
    std::copy(vector_.begin(), vector_.end(), feedback_.begin());
}

void TCipher::checkInitialized() const {
    if (!Initialized())
        throw ECipherException(ECipherException::kNotInitialized,
                               std::string(Class().names.className) +
                                   " is not initialized call Init() or InitKey() before.");
}

void TCipher::coding(Action action) {
    if (action == Action::Calculate) return;
    if (action == Action::Wipe) XorRandomBytes(feedback_, ClockSeed());
    else ResetFeedback();
}

void TCipher::StartCoding(Action action) {
    checkInitialized();
    coding(action);
    TProtection::StartCoding(action);
}

void TCipher::EndCoding(Action action) {
    TProtection::EndCoding(action);
    coding(action);
}

void TCipher::CodeChunk(std::span<std::uint8_t> buffer, Action action) {
    if (action == Action::Decode) {
        if (HasAction(action)) DecodeBuffer(buffer);
        TProtection::CodeChunk(buffer, action);
    } else {
        TProtection::CodeChunk(buffer, action);
        if (HasAction(action)) EncodeBuffer(buffer);
    }
}

const std::vector<const TCipherClass*>& CipherClasses() {
    static const std::vector<const TCipherClass*> list{&kCipher_3Way, &kCipher_Blowfish, &kCipher_Gost, &kCipher_IDEA,
                                                      &kCipher_SAFER_K64, &kCipher_SAFER_SK64, &kCipher_SAFER_K128,
                                                      &kCipher_SAFER_SK128, &kCipher_Shark, &kCipher_Square, &kCipher_TEA, &kCipher_TEAN, &kCipher_Twofish};
    return list;
}

const TCipherClass* FindCipherClass(std::string_view name) { return FindRegistered(CipherClasses(), name); }

const TCipherClass& CipherClassByName(std::string_view name) { return RequireRegistered(CipherClasses(), name, "Cipher"); }

const TCipherClass& DefaultCipherClass() { return kCipher_Blowfish; }

}  // namespace gs::crypto
