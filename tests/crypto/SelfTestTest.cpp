// Every registered class against its own known answer, asked through the class: a vector of
// the right size for the class, given back by it.
#include <gtest/gtest.h>

#include "crypto/CipherFamily.h"
#include "crypto/CryptoErrors.h"
#include "crypto/HashFamily.h"
#include "crypto/TestVectors.h"

namespace gs::crypto {
namespace {

TEST(SelfTest, EveryHashGivesItsVector) {
    for (const THashClass* cls : HashClasses()) {
        SCOPED_TRACE(cls->names.className);
        const THashTestVector* v = TestVector(*cls);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(SelfTest(*cls), std::optional<bool>(true));
        EXPECT_EQ(v->digest.size(), 2 * cls->digestSize);
    }
}

// Sapphire II as its designer's public-domain reference code hashes (hash_init, encrypt of
// each byte, hash_final), written out here apart from the library: the oracle of its vectors
// and of every digest length over messages of many lengths.
struct TReferenceSapphire {
    unsigned char cards[256], rotor = 1, ratchet = 3, avalanche = 5, lastPlain = 7, lastCipher = 11;
    TReferenceSapphire() {
        for (int i = 0; i < 256; ++i) cards[i] = (unsigned char)(255 - i);
    }
    unsigned char encrypt(unsigned char b) {
        ratchet = (unsigned char)(ratchet + cards[rotor++]);
        const unsigned char swaptemp = cards[lastCipher];
        cards[lastCipher] = cards[ratchet];
        cards[ratchet] = cards[lastPlain];
        cards[lastPlain] = cards[rotor];
        cards[rotor] = swaptemp;
        avalanche = (unsigned char)(avalanche + cards[swaptemp]);
        lastCipher = b ^ cards[(cards[ratchet] + cards[rotor]) & 0xFF] ^
                     cards[cards[(cards[lastPlain] + cards[lastCipher] + cards[avalanche]) & 0xFF]];
        lastPlain = b;
        return lastCipher;
    }
    std::string final(std::size_t length) {
        for (int i = 255; i >= 0; --i) encrypt((unsigned char)i);
        static const char* digits = "0123456789abcdef";
        std::string hex;
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned char v = encrypt(0);
            hex += digits[v >> 4], hex += digits[v & 15];
        }
        return hex;
    }
};

std::string referenceSapphire(std::string_view message, std::size_t length) {
    TReferenceSapphire s;
    for (char c : message) s.encrypt((unsigned char)c);
    return s.final(length);
}

TEST(SelfTest, SapphireDigestsAreTheReferenceCodes) {
    const THashClass* sapphires[] = {&kHash_Sapphire128, &kHash_Sapphire160, &kHash_Sapphire192, &kHash_Sapphire224,
                                     &kHash_Sapphire256, &kHash_Sapphire288, &kHash_Sapphire320};
    std::string message;
    for (int length = 0; length <= 300; ++length) {
        for (const THashClass* cls : sapphires) {
            SCOPED_TRACE(std::string(cls->names.className) + " of " + std::to_string(length) + " bytes");
            if (length == 0) {
                const THashTestVector* v = TestVector(*cls);
                ASSERT_NE(v, nullptr);
                EXPECT_EQ(v->digest, referenceSapphire(v->message, cls->digestSize));
            }
            EXPECT_EQ(THash::HashString(*cls, message, nullptr, 1016), referenceSapphire(message, cls->digestSize));
        }
        message += char(length * 37 + 11);
    }
}

TEST(SelfTest, EveryCipherGivesItsVectorBothWays) {
    for (const TCipherClass* cls : CipherClasses()) {
        SCOPED_TRACE(cls->names.className);
        const TCipherTestVector& v = SelfTestVector(*cls);
        EXPECT_EQ(v.plain.size(), 2 * cls->blockSize);
        EXPECT_EQ(v.cipher.size(), 2 * cls->blockSize);
        EXPECT_LE(v.key.size(), 2 * cls->keySize);
        EXPECT_TRUE(SelfTest(*cls));
    }
    // A class nobody registered has no vector to be asked for.
    const TCipherClass stray{{"TCipher_Stray", "", ""}, 8, 8, 8, nullptr};
    try {
        SelfTestVector(stray);
        FAIL();
    } catch (const EUnknownAlgorithm& e) {
        EXPECT_STREQ(e.what(), "Cipher \"TCipher_Stray\" is not registered.");
    }
}

}  // namespace
}  // namespace gs::crypto
