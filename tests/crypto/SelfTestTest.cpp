// Every registered class against its own known answer, asked through the class: a vector of
// the right size for the class, given back by it.
#include <gtest/gtest.h>

#include "crypto/CipherFamily.h"
#include "crypto/CryptoErrors.h"
#include "crypto/HashFamily.h"
#include "crypto/TestVectors.h"

namespace gs::crypto {
namespace {

TEST(SelfTest, EveryHashGivesItsVectorAndOnlyTheSapphireFamilyHasNone) {
    for (const THashClass* cls : HashClasses()) {
        SCOPED_TRACE(cls->names.className);
        const bool sapphire = std::string_view(cls->names.className).starts_with("THash_Sapphire");
        const THashTestVector* v = TestVector(*cls);
        ASSERT_EQ(v == nullptr, sapphire);
        EXPECT_EQ(SelfTest(*cls), sapphire ? std::nullopt : std::optional<bool>(true));
        if (v) {
            EXPECT_EQ(v->digest.size(), 2 * cls->digestSize);
        }
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
