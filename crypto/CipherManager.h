#pragma once
// TCipherManager puts a cipher of a chosen class and mode behind a few properties and codes
// strings with it; THashManager does the same for a hash class.
#include <memory>
#include <string>
#include <string_view>

#include "crypto/Cipher.h"
#include "crypto/Hash.h"

namespace gs::crypto {

class THashManager {
public:
    THashManager() = default;
    ~THashManager();
    THashManager(const THashManager&) = delete;
    THashManager& operator=(const THashManager&) = delete;

    // The registered name of the current class.
    std::string Algorithm() const;
    // Raises EUnknownAlgorithm naming the name and keeps the current class.
    void SetAlgorithm(std::string_view name);
    // "COMMENT, BITSbit Digestsize".
    std::string Description() const;
    const THashClass& GetHashClass() const { return *class_; }
    // The class as it is stored with the component: its class name.
    std::string_view HashClassName() const { return class_->names.className; }
    void SetHashClassName(std::string_view className);

    // The digest of `data` in the string format (-1: MIME base 64), kept until the next call.
    const std::string& CalcString(std::string_view data, int formatId = -1);
    const std::string& DigestString() const { return digest_; }

private:
    void setClass(const THashClass& cls);
    const THashClass* class_ = &DefaultHashClass();
    std::unique_ptr<THash> hash_;
    std::string digest_;
};

class TCipherManager {
public:
    TCipherManager() = default;
    ~TCipherManager();
    TCipherManager(const TCipherManager&) = delete;
    TCipherManager& operator=(const TCipherManager&) = delete;

    // The registered name of the current class.
    std::string Algorithm() const;
    // Raises EUnknownAlgorithm naming the name and keeps the current class (and its key), so
    // a misspelt name never enciphers with another cipher. A different class drops the cipher.
    void SetAlgorithm(std::string_view name);
    // "COMMENT, " when the class has a comment, then "BITSbit Key" (Blowfish: "448bit Key").
    std::string Description() const;
    const TCipherClass& GetCipherClass() const { return *class_; }
    // The class as it is stored with the component: its class name.
    std::string_view CipherClassName() const { return class_->names.className; }
    void SetCipherClassName(std::string_view className);

    TCipherMode Mode() const { return mode_; }
    void SetMode(TCipherMode mode);

    // When set, its hash class makes the cipher's key. The link lapses with the manager.
    std::shared_ptr<THashManager> HashManager() const { return hashManager_.lock(); }
    void SetHashManager(const std::shared_ptr<THashManager>& manager) { hashManager_ = manager; }

    // The cipher object, created on first use with no key and the manager's mode.
    TCipher& Cipher();
    void InitKey(std::string_view key, InitVector iv = std::nullopt);
    // MIME base-64 text to bytes, deciphered; and the reverse.
    std::string DecodeString(std::string_view source);
    std::string EncodeString(std::string_view source);

private:
    void setClass(const TCipherClass& cls);
    const TCipherClass* class_ = &DefaultCipherClass();
    std::unique_ptr<TCipher> cipher_;
    TCipherMode mode_ = TCipherMode::cmCTS;
    std::weak_ptr<THashManager> hashManager_;
};

}  // namespace gs::crypto
