// Hashes: published vectors, feeding in parts, the padding boundary, the coding actions,
// TMAC and chains, the registry.
#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "crypto/CryptoErrors.h"
#include "crypto/Hash.h"
#include "crypto/HashFamily.h"

namespace gs::crypto {
namespace {

const std::string k448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";

std::string digestOf(const THashClass& cls, std::string_view data) {
    return THash::HashString(cls, data, nullptr, 1016);
}

TEST(Hash, PublishedVectors) {
    struct Case {
        const char* name;
        std::string input;
        const char* digest;
    } cases[] = {
        {"MD4", "", "31d6cfe0d16ae931b73c59d7e0c089c0"},
        {"MD4", "message digest", "d9130a8164549fe818874806e1c7014b"},
        {"MD5", "", "d41d8cd98f00b204e9800998ecf8427e"},
        {"MD5", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"SHA", "abc", "0164b8a914cd2a5e74c4f7ff082c4d97f1edf880"},
        {"SHA", k448, "d2516ee1acfa5baf33dfc1c471e438449ef134c8"},
        {"SHA1", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"SHA1", k448, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"RipeMD128", "", "cdf26213a150dc3ecb610f18f6b38b46"},
        {"RipeMD128", "abc", "c14a12199c66e4ba84636b0f69144c77"},
        {"RipeMD160", "", "9c1185a5c5e9fc54612808977ee8f548b2258d31"},
        {"RipeMD160", "abc", "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"},
        {"RipeMD256", "", "02ba4c4e5f8ecd1877fc52d64d30e37a2d9774fb1e5d026380ae0168e3c5522d"},
        {"RipeMD256", "abc", "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65"},
        {"RipeMD320", "", "22d65d5661536cdc75c1fdf5c6de7b41b9f27325ebc61e8557177d705a0ec880151c3a32a00899b8"},
        {"RipeMD320", "abc", "de4c01b3054f8930a79d09ae738e92301e5a17085beffdc1b8d116713e74f82fa942d64cdbc4682d"},
        {"Tiger", "", "3293ac630c13f0245f92bbb1766e16167a4e58492dde73f3"},
        {"Tiger", "abc", "2aab1484e8c158f2bfb8c5ff41b57a525129131c957b5f93"},
        {"Haval-256", "abc", "8699f1e3384d05b2a84b032693e2b6f46df85a13a50d93808d6874bb8fb9e86c"},
        {"Snefru-256", "", "8617f366566a011837f4fb4ba5bedea2b892f3ed8b894023d16ae344b2be5881"},
        {"Snefru-256", "abc", "7d033205647a2af3dc8339f6cb25643c33ebc622d32979c4b612b02c4903031b"},
        {"THash_Snefru", "abcdefghijklmnopqrstuvwxyz", "9304bb2f876d9c4f54546cf7ec59e0a006bead745f08c642f25a7c808e0bf86e"},
        {"CRC-16 CCITT", "123456789", "29b1"},
        {"CRC-16 Standard", "123456789", "bb3d"},
        {"CRC-32", "123456789", "cbf43926"},
        {"Thash_CRC16_Standard", "", "0000"},
    };
    for (auto& c : cases) EXPECT_EQ(digestOf(HashClassByName(c.name), c.input), c.digest) << c.name << " " << c.input;
    EXPECT_EQ(TigerFirstBoxWord(), 0x02AAB17CF7E90C5Eull);  // the generated S-boxes
    // Snefru's transcribed table, whole: SHA-1 of its words written big-endian.
    std::string boxes;
    for (const auto& box : kSnefruBoxes)
        for (std::uint32_t w : box)
            for (int shift : {24, 16, 8, 0}) boxes += char(w >> shift);
    EXPECT_EQ(digestOf(kHash_SHA1, boxes), "63543e64e6cf75022dd3f593e2824e3c5efd541f");
}

TEST(Hash, PartsPaddingBoundaryAndDigestSizes) {
    for (const THashClass* cls : HashClasses()) {
        test::TBytes data = test::pattern(200);
        std::unique_ptr<THash> h = cls->create();
        EXPECT_EQ(h->DigestKey().size(), cls->digestSize);
        for (std::size_t n : {55, 56, 63, 64, 119, 120, 200}) {  // 56 in the last block takes one more
            std::string whole = THash::HashString(*cls, {reinterpret_cast<char*>(data.data()), n}, nullptr, 1016);
            h->Init();
            h->Calc({data.data(), std::min<std::size_t>(10, n)});
            h->Calc({data.data() + std::min<std::size_t>(10, n), n - std::min<std::size_t>(10, n)});
            h->Done();
            EXPECT_EQ(test::toHex(h->DigestKey()), whole) << cls->names.className << ' ' << n;
        }
    }
}

TEST(Hash, CalculateTwiceOverAStreamGivesTheSameDigest) {
    std::unique_ptr<THash> h = kHash_RipeMD256.create();
    TMemoryStream m(test::bytesOf("abc"));
    for (int i = 0; i < 2; ++i) {
        h->CodeStream(&m, nullptr, -1, Action::Calculate);
        EXPECT_EQ(test::toHex(h->DigestKey()), "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65");
    }
}

TEST(Hash, EncodeAndDecodeXorTheSameKeyStream) {
    for (const THashClass* cls : HashClasses()) {
        test::TBytes plain = test::pattern(1000), data = plain;
        std::unique_ptr<THash> h = cls->create();
        h->CodeBuffer(data, Action::Encode);
        // A CRC-16 fed its own register comes to 0, so its key stream is zeros (no coding).
        if (cls->digestSize > 2) {
            EXPECT_NE(data, plain) << cls->names.className;
        }
        h->CodeBuffer(data, Action::Decode);
        EXPECT_EQ(data, plain) << cls->names.className;
    }
    test::TBytes plain = test::pattern(1000), data = plain;
    std::unique_ptr<THash> h = kHash_SHA1.create();
    h->CodeBuffer(data, Action::Scramble);  // pieces replaced by their digests
    EXPECT_EQ(test::toHex({data.data(), 20}), digestOf(kHash_SHA1, {reinterpret_cast<char*>(plain.data()), 20}));
    h->SetAction(Action::Encode, false);
    test::TBytes kept = data;
    h->CodeBuffer(data, Action::Encode);
    EXPECT_EQ(data, kept);
}

class RecordingMac final : public TMAC {
public:
    std::string calls;
    void HashInit(THash&) override { calls += "I"; }
    void HashDone(THash& h) override { calls += "D" + std::to_string(h.DigestKey().size()); }
};

class Zeroes final : public TProtection {
public:
    std::vector<Action> seen;
    void CodeChunk(std::span<std::uint8_t> b, Action a) override {
        seen.push_back(a);
        for (auto& v : b) v = 0;
    }
};

TEST(Hash, ChainsTakeTheDigestOrTheMacHandsOver) {
    auto mac = std::make_shared<RecordingMac>();
    THash::HashString(kHash_MD5, "abc", mac);
    EXPECT_EQ(mac->calls, "ID16");

    auto chained = std::make_shared<Zeroes>();
    std::string digest = THash::HashString(kHash_MD5, "abc", chained, 1016);
    EXPECT_EQ(digest, std::string(32, '0'));  // the chain coded the digest in place
    EXPECT_EQ(chained->seen, std::vector<Action>{Action::Scramble});
}

TEST(Hash, RegistryKeepsTheTableOrderAndFindsByEitherName) {
    std::vector<std::string> names;
    for (const THashClass* c : HashClasses()) names.push_back(RegistryEntry(c->names));
    EXPECT_EQ(names, (std::vector<std::string>{"Message Digest 4=Hash", "Message Digest 5=Hash",
                                               "Secure Hash Algorithm=Hash", "Secure Hash Algorithm 1=Hash",
                                               "Ripe Message Digest 128=Hash", "Ripe Message Digest 160=Hash",
                                               "Ripe Message Digest 256=Hash", "Ripe Message Digest 320=Hash",
                                               "Haval-128=Hash", "Haval-160=Hash", "Haval-192=Hash", "Haval-224=Hash",
                                               "Haval-256=Hash", "Sapphire II-128=Hash", "Sapphire II-160=Hash",
                                               "Sapphire II-192=Hash", "Sapphire II-224=Hash", "Sapphire II-256=Hash",
                                               "Sapphire II-288=Hash", "Sapphire II-320=Hash", "Snefru-256=Hash", "Tiger=Hash",
                                               "CRC-16 CCITT=Checksum",
                                               "CRC-16 Standard=Checksum", "CRC-32=Checksum"}));
    for (const char* name : {"THash_RipeMD256", "ripemd256", "Ripe Message Digest 256", "RIPE MESSAGE DIGEST 256",
                             "Anything_RipeMD256"})
        EXPECT_EQ(FindHashClass(name), &kHash_RipeMD256) << name;
    EXPECT_EQ(&DefaultHashClass(), &kHash_RipeMD256);
    EXPECT_EQ(FindHashClass("RipeMD"), nullptr);
    try {
        HashClassByName("Whirl");
        FAIL();
    } catch (const EUnknownAlgorithm& e) {
        EXPECT_STREQ(e.what(), "Hash \"Whirl\" is not registered.");
    }
}

}  // namespace
}  // namespace gs::crypto
