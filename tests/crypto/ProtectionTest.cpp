// TProtection: chains, the stream loop, files coded to another file and in place, strings.
#include <gtest/gtest.h>

#include <fstream>

#include "CryptoTestSupport.h"
#include "crypto/BitUtils.h"
#include "crypto/CryptoErrors.h"
#include "crypto/Protection.h"
#include "support/TempDir.h"

namespace gs::crypto {
namespace {

// Adds 1 to every byte it encodes, subtracts for decode, and records its calls.
class Counter final : public TProtection {
public:
    using TProtection::TProtection;
    std::string calls;
    void StartCoding(Action a) override { calls += "S" + std::to_string(int(a)); TProtection::StartCoding(a); }
    void EndCoding(Action a) override { calls += "E" + std::to_string(int(a)); TProtection::EndCoding(a); }
    void CodeChunk(std::span<std::uint8_t> b, Action a) override {
        calls += "C" + std::to_string(b.size());
        for (auto& v : b) v = std::uint8_t(v + (a == Action::Decode ? -1 : a == Action::Calculate ? 0 : 1));
        TProtection::CodeChunk(b, a);
    }
};

TEST(Protection, CircularChainsAreRefusedAndTheOldChainKept) {
    auto a = std::make_shared<Counter>(), b = std::make_shared<Counter>(a), c = std::make_shared<Counter>();
    for (auto [object, to] : {std::pair{a, a}, std::pair{a, b}}) {
        try {
            object->SetProtection(to);
            FAIL() << "accepted a circle";
        } catch (const EProtection& e) {
            EXPECT_STREQ(e.what(), "Circular Protection detected, Protection Object is invalid.");
        }
    }
    EXPECT_EQ(a->Protection(), nullptr);
    EXPECT_EQ(b->Protection(), a);
    c->SetProtection(b);
    EXPECT_EQ(c->Protection(), b);
}

TEST(Protection, StreamsAreCodedInChunksAlongTheChain) {
    auto tail = std::make_shared<Counter>();
    Counter head(tail);
    TMemoryStream m(test::pattern(9000));
    head.CodeStream(&m, nullptr, -1, Action::Encode);
    EXPECT_EQ(head.calls, "S0C4096C4096C808E0");
    EXPECT_EQ(tail->calls, head.calls);
    test::TBytes want = test::pattern(9000);
    for (auto& v : want) v = std::uint8_t(v + 2);
    EXPECT_EQ(m.Data(), want);

    head.calls.clear();
    head.CodeStream(&m, nullptr, 0, Action::Decode);  // nothing coded, but started and ended
    EXPECT_EQ(head.calls, "S1E1");
}

TEST(Protection, FilesAreCodedToAnotherFileOrInPlace) {
    gstest::TempDir dir;
    const auto src = dir.path / "plain.bin", dst = dir.path / "coded.bin";
    test::TBytes data = test::pattern(5000);
    std::ofstream(src, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    auto read = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return test::TBytes(std::istreambuf_iterator<char>(in), {});
    };
    std::ofstream(dst) << std::string(9999, 'x');  // a longer file is replaced whole
    Counter p;
    p.CodeFile(src, dst, Action::Encode);
    test::TBytes once = data;
    for (auto& v : once) ++v;
    EXPECT_EQ(read(dst), once);
    EXPECT_EQ(read(src), data);

    p.CodeFile(dst, dir.path / "." / "coded.bin", Action::Decode);  // the same file, spelt otherwise
    EXPECT_EQ(read(dst), data);
    p.CodeFile(dst, "", Action::Encode);
    EXPECT_EQ(read(dst), once);
    p.CodeFile(dst, dir.path / "never", Action::Calculate);  // only the source is read
    EXPECT_FALSE(std::filesystem::exists(dir.path / "never"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // no temporaries left
    EXPECT_THROW(p.CodeFile(dir.path / "missing", dst, Action::Encode), ECodingFile);
    EXPECT_THROW(p.CodeFile(dir.path, dst, Action::Encode), ECodingFile);
}

TEST(Protection, StringsDecodeFromTheFormatAndEncodeIntoIt) {
    Counter p;
    EXPECT_EQ(p.CodeString("", Action::Encode), "");
    EXPECT_EQ(p.calls, "");
    EXPECT_EQ(p.CodeString("Lal", Action::Encode), "TWJt");  // "Mbm"
    EXPECT_EQ(p.CodeString("TWJt", Action::Decode), "Lal");
    EXPECT_EQ(p.CodeString("TWJ", Action::Decode), "La");  // the missing "=" taken as present
    EXPECT_EQ(p.CodeString("Lal", Action::Encode, 16), "4D626D");
}

TEST(BitRoutines, PublishedChecksAndWordOperations) {
    const test::TBytes check = test::bytesOf("123456789");
    EXPECT_EQ(CRC32(0xFFFFFFFF, check) ^ 0xFFFFFFFF, 0xCBF43926u);
    EXPECT_EQ(CRC16(0, check), 0xBB3D);
    EXPECT_EQ(ByteSwapWord(0x12345678), 0x78563412u);
    EXPECT_EQ(ReverseBits32(0x12345678), 0x1E6A2C48u);
    EXPECT_EQ(RotateLeft32(0x80000001, 1), 3u);
    EXPECT_EQ(RotateRight32(3, 1), 0x80000001u);
    const std::uint8_t a[] = {1, 2, 3}, b[] = {1, 2, 4};
    EXPECT_EQ(CompareBytes(a, a, 3), 0);
    EXPECT_LT(CompareBytes(a, b, 3), 0);
    test::TBytes r{0, 0};  // seed 0: 0, then 1 * 134775813 + 1 = 0x08088406
    EXPECT_EQ(XorRandomBytes(r, 0), 0x08088406u);
    EXPECT_EQ(r, (test::TBytes{0x00, 0x08}));
}

}  // namespace
}  // namespace gs::crypto
