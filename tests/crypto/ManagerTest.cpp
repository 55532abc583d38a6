// The cipher and hash managers: defaults, names, the hash link, keying and decoding.
#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "crypto/CipherManager.h"
#include "crypto/CryptoErrors.h"

namespace gs::crypto {
namespace {

TEST(CipherManager, DefaultsAndDescriptions) {
    TCipherManager m;
    EXPECT_EQ(m.Algorithm(), "Blowfish");
    EXPECT_EQ(m.Description(), "448bit Key");
    EXPECT_EQ(m.CipherClassName(), "TCipher_Blowfish");
    EXPECT_EQ(m.Mode(), TCipherMode::cmCTS);
    EXPECT_EQ(m.Cipher().Mode(), TCipherMode::cmCTS);
    THashManager h;
    EXPECT_EQ(h.Algorithm(), "Ripe Message Digest 256");
    EXPECT_EQ(h.Description(), "Hash, 256bit Digestsize");
    h.SetAlgorithm("md5");
    EXPECT_EQ(h.Description(), "Hash, 128bit Digestsize");
    EXPECT_EQ(h.CalcString("abc", 1016), "900150983cd24fb0d6963f7d28e17f72");
    h.SetHashClassName("THash_Tiger");
    EXPECT_EQ(h.Algorithm(), "Tiger");
    EXPECT_EQ(h.DigestString(), "");  // dropped with the class
}

TEST(CipherManager, UnknownNamesRaiseAndKeepTheClassAndKey) {
    TCipherManager m;
    m.InitKey("k");
    const std::string coded = m.EncodeString("plain text");
    try {
        m.SetAlgorithm("Twofsh");
        FAIL();
    } catch (const EUnknownAlgorithm& e) {
        EXPECT_STREQ(e.what(), "Cipher \"Twofsh\" is not registered.");
    }
    EXPECT_EQ(m.Algorithm(), "Blowfish");
    EXPECT_EQ(m.DecodeString(coded), "plain text");
    THashManager h;
    EXPECT_THROW(h.SetAlgorithm("RipeMD"), EUnknownAlgorithm);
    EXPECT_EQ(h.Algorithm(), "Ripe Message Digest 256");
}

TEST(CipherManager, DecodingBeforeAKeyOrAfterAChangeOfClassRaises) {
    TCipherManager m;
    EXPECT_THROW(m.DecodeString("AAAAAAAAAAA="), ECipherException);
    m.InitKey("k");
    const std::string coded = m.EncodeString("text");
    m.SetAlgorithm("blowfish");  // the same class: the keyed cipher stays
    EXPECT_EQ(m.DecodeString(coded), "text");
    m.SetAlgorithm("Twofish");
    EXPECT_THROW(m.DecodeString(coded), ECipherException);
    m.InitKey("k");
    EXPECT_EQ(m.DecodeString(m.EncodeString("text")), "text");
}

TEST(CipherManager, DescriptionsCarryTheCommentAndKeyBits) {
    struct Case {
        const char *algorithm, *description;
    } cases[] = {{"IDEA", "free for non-commercial, 128bit Key"},
                 {"SAFER-SK64", "Keyscheduling, 64bit Key"},
                 {"TCipher_Twofish", "256bit Key"},
                 {"3Way", "96bit Key"}};
    for (auto& c : cases) {
        TCipherManager m;
        m.SetAlgorithm(c.algorithm);
        EXPECT_EQ(m.Description(), c.description);
    }
}

TEST(CipherManager, ALinkedHashManagerMakesTheKeyUntilItGoes) {
    TCipherManager m;
    m.SetMode(TCipherMode::cmCBC);
    EXPECT_EQ(m.Cipher().Mode(), TCipherMode::cmCBC);
    auto h = std::make_shared<THashManager>();
    h->SetAlgorithm("Tiger");
    m.SetHashManager(h);
    m.InitKey("k");
    EXPECT_EQ(&m.Cipher().GetHashClass(), &h->GetHashClass());
    const std::string byTiger = m.EncodeString("12345678");

    TCipherManager plain;
    plain.SetMode(TCipherMode::cmCBC);
    plain.InitKey("k");
    EXPECT_NE(plain.EncodeString("12345678"), byTiger);

    h.reset();
    EXPECT_EQ(m.HashManager(), nullptr);
    EXPECT_EQ(m.DecodeString(byTiger), "12345678");
}

}  // namespace
}  // namespace gs::crypto
