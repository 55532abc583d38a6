// String formats: published encodings both ways, the readers' leniency (separators,
// prefixes, missing fill) and their refusals, and the registry.
#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "crypto/CryptoErrors.h"
#include "crypto/StringFormats.h"

namespace gs::crypto {
namespace {

std::string message(int id, std::string_view text) {
    try {
        FormatToBytes(text, id);
    } catch (const EStringFormat& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(StringFormats, WriteAndReadBack) {
    struct Case {
        int id;
        std::string bytes, text;
    } cases[] = {
        {1, std::string("a\0b", 3), std::string("a\0b", 3)},
        {16, std::string("\x00\xff\x10", 3), "00FF10"},
        {1016, "\xab\xcd", "abcd"},
        {4196, "Man", "TWFu"},
        {4196, "Ma", "TWE="},
        {4196, "M", "TQ=="},
        {21845, "Cat", "#0V%T"},
        {22616, "Cat", "1Eq3o"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(BytesToFormat(c.bytes, c.id), c.text) << c.id;
        EXPECT_EQ(FormatToBytes(c.text, c.id), c.bytes) << c.id;
    }
}

TEST(StringFormats, UULinesHoldAtMost45Bytes) {
    std::string text = BytesToFormat(std::string(46, 'x'), 21845);
    EXPECT_EQ(text.size(), 1u + 60 + 1 + 4);
    EXPECT_EQ(text[0], 'M');
    EXPECT_EQ(text[61], '!');
}

TEST(StringFormats, ReadersTakeSeparatorsPrefixesAndMissingFill) {
    struct Case {
        int id;
        std::string text, bytes;
    } cases[] = {
        {16, "0x0a0B", "\x0a\x0b"},     {16, "ff$12", "\x12"},          {16, "12:34-56 78,9a.bc;de/f0", "\x12\x34\x56\x78\x9a\xbc\xde\xf0"},
        {16, "123", "\x12"},            {1016, "0X12x34", "\x12\x34"},   {4196, "TWFu\r\nTWE", "ManMa"},
        {4196, " T W F u ", "Man"},     {4196, "TQ", "M"},               {4196, "TQ\n=\t=", "M"},
        {21845, "#0V%T\n", "Cat"},      {22616, "1Eq3o", "Cat"},
    };
    for (auto& c : cases) EXPECT_EQ(FormatToBytes(c.text, c.id), c.bytes) << c.text;
}

TEST(StringFormats, RefusalsNameTheFormat) {
    const std::string mime = "Input is not an valid MIME Base 64 Format.";
    struct Case {
        int id;
        std::string text, said;
    } cases[] = {
        {4196, "QQ*=", mime},
        {4196, "TWF-", mime},       // base64url is refused, never mis-read
        {4196, "TWF_", mime},
        {4196, "TQ==TQ==", mime},   // data after a group ending in "="
        {4196, "TW=u", mime},
        {4196, "T", mime},          // one character is not a byte
        {16, "zz", "Input is not an valid Hexadecimal Format."},
        {21845, "M0V%T", "Input is not an valid UU Coding Format."},  // 45 bytes claimed, 3 there
        {22616, "1Eq3", "Input is not an valid XX Coding Format."},
        {1234, "00", "String Format \"1234\" not exists."},
    };
    for (auto& c : cases) EXPECT_EQ(message(c.id, c.text), c.said) << c.text;
    EXPECT_THROW(BytesToFormat("x", 77), EStringFormat);
}

TEST(StringFormats, EmptyInputAndIdZeroGiveNothing) {
    EXPECT_EQ(FormatToBytes("", 1234), "");
    EXPECT_EQ(BytesToFormat("abc", 0), "");
    EXPECT_EQ(BytesToFormat("Man", -1), "TWFu");
}

TEST(StringFormats, RandomBytesRoundTripInEveryFormat) {
    for (const TStringFormat* f : StringFormats())
        for (std::size_t n : {1, 2, 3, 44, 45, 46, 90, 1000}) {
            test::TBytes b = test::pattern(n, unsigned(n));
            std::string s(b.begin(), b.end());
            EXPECT_EQ(FormatToBytes(BytesToFormat(s, f->FormatId()), f->FormatId()), s) << f->FormatName() << ' ' << n;
        }
}

class Reversed final : public TStringFormat {
public:
    explicit Reversed(int id) : id_(id) {}
    std::string BytesToText(std::string_view b) const override { return {b.rbegin(), b.rend()}; }
    int FormatId() const override { return id_; }

private:
    int id_;
};

TEST(StringFormats, RegistryReplacesByIdAndSkipsMinusOne) {
    const std::vector<const TStringFormat*> before = StringFormats();
    std::vector<int> ids;
    for (auto* f : before) ids.push_back(f->FormatId());
    EXPECT_EQ(ids, (std::vector<int>{1, 16, 1016, 4196, 21845, 22616}));

    Reversed replaces(16), skipped(-1), added(99);
    RegisterStringFormats({&replaces, &skipped, &added});
    EXPECT_EQ(StringFormatById(16), &replaces);
    EXPECT_EQ(StringFormats().size(), before.size() + 1);
    EXPECT_EQ(BytesToFormat("ab", 99), "ba");
    EXPECT_EQ(StringFormatById(-1)->FormatId(), 4196);
    EXPECT_EQ(StringFormatById(5), nullptr);
    RegisterStringFormats({before[1]});
    EXPECT_EQ(StringFormatById(16), before[1]);
}

}  // namespace
}  // namespace gs::crypto
