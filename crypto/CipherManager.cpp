#include "crypto/CipherManager.h"

#include "crypto/CryptoErrors.h"
#include "crypto/StringFormats.h"

namespace gs::crypto {

namespace {
// The class whose class name this is, for a class stored with its component.
template <class C>
const C* byClassName(const std::vector<const C*>& list, std::string_view className) {
    for (const C* c : list)
        if (SameText(c->names.className, className)) return c;
    return nullptr;
}
}  // namespace

THashManager::~THashManager() = default;

std::string THashManager::Algorithm() const { return std::string(RegisteredName(class_->names)); }

void THashManager::SetAlgorithm(std::string_view name) { setClass(HashClassByName(name)); }

void THashManager::SetHashClassName(std::string_view className) {
    const THashClass* c = byClassName(HashClasses(), className);
    if (!c) NotRegistered("Hash", className);
    setClass(*c);
}

void THashManager::setClass(const THashClass& cls) {
    if (&cls == class_) return;
    hash_.reset();
    digest_.clear();
    class_ = &cls;
}

std::string THashManager::Description() const {
    return std::string(class_->names.comment) + ", " + std::to_string(class_->digestSize * 8) + "bit Digestsize";
}

const std::string& THashManager::CalcString(std::string_view data, int formatId) {
    if (!hash_) hash_ = class_->create();
    hash_->Init();
    hash_->Calc({reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
    hash_->Done();
    std::span<std::uint8_t> d = hash_->DigestKey();
    digest_ = BytesToFormat({reinterpret_cast<const char*>(d.data()), d.size()}, formatId);
    return digest_;
}

TCipherManager::~TCipherManager() = default;

std::string TCipherManager::Algorithm() const { return std::string(RegisteredName(class_->names)); }

void TCipherManager::SetAlgorithm(std::string_view name) { setClass(CipherClassByName(name)); }

void TCipherManager::SetCipherClassName(std::string_view className) {
    const TCipherClass* c = byClassName(CipherClasses(), className);
    if (!c) NotRegistered("Cipher", className);
    setClass(*c);
}

void TCipherManager::setClass(const TCipherClass& cls) {
    if (&cls == class_) return;
    cipher_.reset();
    class_ = &cls;
}

std::string TCipherManager::Description() const {
    std::string comment(class_->names.comment);
    while (!comment.empty() && comment.back() == ' ') comment.pop_back();
    while (!comment.empty() && comment.front() == ' ') comment.erase(0, 1);
    return (comment.empty() ? "" : comment + ", ") + std::to_string(class_->keySize * 8) + "bit Key";
}

void TCipherManager::SetMode(TCipherMode mode) {
    mode_ = mode;
    if (cipher_) cipher_->SetMode(mode);
}

TCipher& TCipherManager::Cipher() {
    if (!cipher_) {
        cipher_ = class_->create();
        cipher_->SetMode(mode_);
    }
    return *cipher_;
}

void TCipherManager::InitKey(std::string_view key, InitVector iv) {
    if (auto hm = HashManager()) Cipher().SetHashClass(&hm->GetHashClass());
    Cipher().InitKey(key, iv);
}

std::string TCipherManager::DecodeString(std::string_view source) {
    return Cipher().CodeString(source, Action::Decode, -1);
}

std::string TCipherManager::EncodeString(std::string_view source) {
    return Cipher().CodeString(source, Action::Encode, -1);
}

}  // namespace gs::crypto
