#pragma once
// Each registered class's known answer, and the check that the class still gives it: a
// build whose tables or rounds went wrong is caught by asking the class itself.
//
//     if (SelfTest(kHash_RipeMD256) != true) ...   // nullopt: the class has no vector
//     const TCipherTestVector& v = SelfTestVector(kCipher_Blowfish);
#include <optional>
#include <string_view>

#include "crypto/Cipher.h"
#include "crypto/Hash.h"

namespace gs::crypto {

// A message and its digest in lower-case hexadecimal.
struct THashTestVector {
    std::string_view message;
    std::string_view digest;
};

// One block (ECB) under a key, all in lower-case hexadecimal; the key may be shorter than the
// class's key size (zero-padded, as every key is).
struct TCipherTestVector {
    std::string_view key;
    std::string_view plain;
    std::string_view cipher;
};

// The published digest of the class; for the HAVAL lengths below 256 libmhash's (the
// three-pass forms, which the published HAVAL-128 value confirms); for the Sapphire II hashes
// the digest of their designer's public-domain reference code. None for a class without one.
const THashTestVector* TestVector(const THashClass& cls);
// True when the class gives its vector's digest, false when another; none without a vector.
std::optional<bool> SelfTest(const THashClass& cls);

// Every registered cipher class has one: a published vector; for SAFER SK-64 and K-128, whose
// published examples are at other round counts, the published example's key and block at the
// class's own count (see TestVectors.cpp).
const TCipherTestVector& SelfTestVector(const TCipherClass& cls);
// True when the class encodes the vector's block to its cipher block and decodes it back.
bool SelfTest(const TCipherClass& cls);

}  // namespace gs::crypto
