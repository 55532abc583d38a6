#include "crypto/TestVectors.h"

#include <string>
#include <utility>
#include <vector>

#include "crypto/CipherFamily.h"
#include "crypto/HashFamily.h"
#include "crypto/StringFormats.h"

namespace gs::crypto {

namespace {

constexpr int kHexFormat = 16;      // reads either letter case
constexpr int kLowerHexFormat = 1016;

const std::pair<const THashClass*, THashTestVector> kHashVectors[] = {
    {&kHash_MD4, {"message digest", "d9130a8164549fe818874806e1c7014b"}},
    {&kHash_MD5, {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"}},
    {&kHash_SHA, {"abc", "0164b8a914cd2a5e74c4f7ff082c4d97f1edf880"}},
    {&kHash_SHA1, {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"}},
    {&kHash_RipeMD128, {"abc", "c14a12199c66e4ba84636b0f69144c77"}},
    {&kHash_RipeMD160, {"abc", "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"}},
    {&kHash_RipeMD256, {"abc", "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65"}},
    {&kHash_RipeMD320, {"abc", "de4c01b3054f8930a79d09ae738e92301e5a17085beffdc1b8d116713e74f82fa942d64cdbc4682d"}},
    {&kHash_Haval128, {"abc", "9e40ed883fb63e985d299b40cda2b8f2"}},
    {&kHash_Haval160, {"abc", "b21e876c4d391e2a897661149d83576b5530a089"}},
    {&kHash_Haval192, {"abc", "a7b14c9ef3092319b0e75e3b20b957d180bf20745629e8de"}},
    {&kHash_Haval224, {"abc", "5bc955220ba2346a948d2848eca37bdd5eca6ecca7b594bd32923fab"}},
    {&kHash_Haval256, {"abc", "8699f1e3384d05b2a84b032693e2b6f46df85a13a50d93808d6874bb8fb9e86c"}},
    {&kHash_Snefru, {"abc", "7d033205647a2af3dc8339f6cb25643c33ebc622d32979c4b612b02c4903031b"}},
    {&kHash_Tiger, {"abc", "2aab1484e8c158f2bfb8c5ff41b57a525129131c957b5f93"}},
    // Sapphire II: its designer's public-domain reference (hash_init, encrypt of every byte,
    // hash_final) gives these; the shorter digests are the first bytes of the 40-byte one.
    // The tests recompute them from that reference, written out apart from this library.
    {&kHash_Sapphire128, {"abc", "4acf17d911781571f053ce82e2f70cce"}},
    {&kHash_Sapphire160, {"abc", "4acf17d911781571f053ce82e2f70cce5470f410"}},
    {&kHash_Sapphire192, {"abc", "4acf17d911781571f053ce82e2f70cce5470f410b717b9a6"}},
    {&kHash_Sapphire224, {"abc", "4acf17d911781571f053ce82e2f70cce5470f410b717b9a699063814"}},
    {&kHash_Sapphire256, {"abc", "4acf17d911781571f053ce82e2f70cce5470f410b717b9a699063814b6df1f32"}},
    {&kHash_Sapphire288, {"abc", "4acf17d911781571f053ce82e2f70cce5470f410b717b9a699063814b6df1f327c766773"}},
    {&kHash_Sapphire320,
     {"abc", "4acf17d911781571f053ce82e2f70cce5470f410b717b9a699063814b6df1f327c766773fc59830b"}},
    {&kHash_CRC16_CCITT, {"123456789", "29b1"}},
    {&kHash_CRC16_Standard, {"123456789", "bb3d"}},
    {&kHash_CRC32, {"123456789", "cbf43926"}},
};

const std::pair<const TCipherClass*, TCipherTestVector> kCipherVectors[] = {
    {&kCipher_3Way, {"def01234456789abbcdef012", "234567899abcdef001234567", "0aa55dbb9cdddb6d7cdb76b2"}},
    {&kCipher_Blowfish, {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"}},
    {&kCipher_Gost,
     {"be5ec2006cff9dcf52354959f1ff0cbfe95061b5a648c10387069c25997c0672", "0df82802b741a292", "07f9027df7f7df89"}},
    {&kCipher_IDEA, {"00010002000300040005000600070008", "0000000100020003", "11fbed2b01986de5"}},
    // SAFER K-64 at its 6 rounds: the example of the designer's SAFER toolkit, printed in the
    // Handbook of Applied Cryptography (chapter 7) as well.
    {&kCipher_SAFER_K64, {"0807060504030201", "0102030405060708", "c8f29cdd87783ed9"}},
    // SK-64 at its 8 rounds: the toolkit's SK-64 example key and block, whose published answer
    // is at 6 rounds (5fce9ba2058438c7, checked in the tests); at 8 this is the published
    // schedule's answer, and Crypto++'s.
    {&kCipher_SAFER_SK64, {"0102030405060708", "0102030405060708", "60d04ad7c49b8ded"}},
    // K-128 at its 10 rounds: the K-64 example's key twice (two equal halves give the K-64
    // subkeys, so 6 rounds give the published c8f29cdd87783ed9, checked in the tests); at 10
    // this is the published schedule's answer, and Crypto++'s.
    {&kCipher_SAFER_K128, {"08070605040302010807060504030201", "0102030405060708", "a99829878c98fc31"}},
    // SK-128 at its 10 rounds: the toolkit's SK-128 example.
    {&kCipher_SAFER_SK128, {"01020304050607080000000000000000", "0102030405060708", "ff7811e4b3a72e71"}},
    {&kCipher_Shark, {"000102030405060708090a0b0c0d0e0f", "c76c696289898137", "077a4a59faeeea4d"}},
    {&kCipher_Square, {"000102030405060708090a0b0c0d0e0f", "00000000000000000000000000000000",
                       "ff596fa668bfc3014200ae01e2bba0a0"}},
    {&kCipher_TEA, {"00000000000000000000000041ea3a0a", "94baa94000000000", "4e8e78297d8236d8"}},
    {&kCipher_TEAN, {"00000000000000000000000000000000", "0000000000000000", "dee9d4d8f7131ed9"}},
    {&kCipher_Twofish, {"0123456789abcdeffedcba98765432100011223344556677", "00000000000000000000000000000000",
                        "cfd1d2e5a9be9cdf501f13b892bd2248"}},
};

std::vector<std::uint8_t> bytesOfHex(std::string_view hex) {
    const std::string b = FormatToBytes(hex, kHexFormat);
    return {b.begin(), b.end()};
}

std::string hexOf(std::span<const std::uint8_t> b) {
    return BytesToFormat({reinterpret_cast<const char*>(b.data()), b.size()}, kLowerHexFormat);
}

}  // namespace

const THashTestVector* TestVector(const THashClass& cls) {
    for (const auto& [c, v] : kHashVectors)
        if (c == &cls) return &v;
    return nullptr;
}

std::optional<bool> SelfTest(const THashClass& cls) {
    const THashTestVector* v = TestVector(cls);
    if (!v) return std::nullopt;
    return THash::HashString(cls, v->message, nullptr, kLowerHexFormat) == v->digest;
}

const TCipherTestVector& SelfTestVector(const TCipherClass& cls) {
    for (const auto& [c, v] : kCipherVectors)
        if (c == &cls) return v;
    NotRegistered("Cipher", cls.names.className);
}

bool SelfTest(const TCipherClass& cls) {
    const TCipherTestVector& v = SelfTestVector(cls);
    std::unique_ptr<TCipher> cipher = cls.create();
    cipher->SetMode(TCipherMode::cmECB);
    std::vector<std::uint8_t> key = bytesOfHex(v.key), block = bytesOfHex(v.plain);
    cipher->Init(key);
    cipher->EncodeBuffer(block);
    const bool encodes = hexOf(block) == v.cipher;
    cipher->DecodeBuffer(block);
    return encodes && hexOf(block) == v.plain;
}

}  // namespace gs::crypto
