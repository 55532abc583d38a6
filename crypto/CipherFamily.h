#pragma once
// The descriptors of the cipher classes, for the registry; the classes live in their files.
#include "crypto/Cipher.h"

namespace gs::crypto {

extern const CipherClass kCipher_Blowfish;

template <class T>
std::unique_ptr<TCipher> MakeCipher() {
    return std::make_unique<T>();
}

}  // namespace gs::crypto
