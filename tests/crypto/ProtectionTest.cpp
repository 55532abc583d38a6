// TProtection: chains, the stream loop, files coded to another file and in place, strings.
#include <gtest/gtest.h>

#include <fstream>

#include "CryptoTestSupport.h"
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
    test::Bytes want = test::pattern(9000);
    for (auto& v : want) v = std::uint8_t(v + 2);
    EXPECT_EQ(m.Data(), want);

    head.calls.clear();
    head.CodeStream(&m, nullptr, 0, Action::Decode);  // nothing coded, but started and ended
    EXPECT_EQ(head.calls, "S1E1");
}

TEST(Protection, FilesAreCodedToAnotherFileOrInPlace) {
    gstest::TempDir dir;
    const auto src = dir.path / "plain.bin", dst = dir.path / "coded.bin";
    test::Bytes data = test::pattern(5000);
    std::ofstream(src, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    auto read = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return test::Bytes(std::istreambuf_iterator<char>(in), {});
    };
    std::ofstream(dst) << std::string(9999, 'x');  // a longer file is replaced whole
    Counter p;
    p.CodeFile(src, dst, Action::Encode);
    test::Bytes once = data;
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

}  // namespace
}  // namespace gs::crypto
