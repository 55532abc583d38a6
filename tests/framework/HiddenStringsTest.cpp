// The string decoder: the stored texts, the scheme both ways, and what it refuses.
#include <gtest/gtest.h>

#include <set>

#include "crypto/CryptoErrors.h"
#include "framework/core/HiddenStrings.h"

namespace gs {
namespace {

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

TEST(HiddenStrings, EveryStoredTextIsReadableUtf8) {
    std::set<std::string_view> names;
    for (const TStoredText& t : StoredTexts()) {
        std::string plain = DecodeHiddenString(t.stored);
        EXPECT_FALSE(plain.empty()) << t.name;
        EXPECT_TRUE(validUtf8(plain)) << t.name;
        EXPECT_EQ(plain.find('\0'), std::string::npos) << t.name;
        EXPECT_TRUE(names.insert(t.name).second) << t.name;
        EXPECT_EQ(HiddenText(t.name), plain);
    }
    EXPECT_EQ(names.size(), 5u);
    EXPECT_EQ(HiddenText(kTextContactsShow), "&Contacts >>");
    EXPECT_THROW(HiddenText("Nothing"), std::out_of_range);
}

TEST(HiddenStrings, TheSchemeRoundTripsAnyBytes) {
    for (std::size_t n = 0; n <= 40; ++n) {
        std::string plain;
        for (std::size_t i = 0; i < n; ++i) plain += char(i * 37);  // NUL bytes included
        std::string stored = EncipherString(kProgramKey, plain);
        EXPECT_EQ(DecodeHiddenString(stored), plain) << n;
        EXPECT_EQ(DecodeHiddenString(stored), plain) << n;  // each call starts from the vector
        EXPECT_EQ(DecodeWithProgramKey(stored), DecipherString(kProgramKey, stored));
    }
    EXPECT_EQ(DecipherString("no key needed", ""), "");
}

TEST(HiddenStrings, OtherKeysGiveOtherBytesAndBadTextRaises) {
    const std::string stored = EncipherString(kProgramKey, "Version 1.0");
    EXPECT_NE(DecipherString("another key", stored), "Version 1.0");
    try {
        DecodeHiddenString("not*base64");
        FAIL();
    } catch (const crypto::EStringFormat& e) {
        EXPECT_STREQ(e.what(), "Input is not an valid MIME Base 64 Format.");
    }
}

}  // namespace
}  // namespace gs
