#include <gtest/gtest.h>

#include "platform/Text.h"

using namespace gs;

// Every character class of UTF-8 and the malformed sequences that must stand for
// themselves: counted, split, folded and converted alike.
TEST(Text, Utf8CharactersCountSplitAndFoldAlike) {
    struct Case {
        std::string text;
        std::size_t characters;
        std::string folded;
    } cases[] = {
        {"", 0, ""},
        {"ABC.ico", 7, "abc.ico"},
        {"\xC3\x89t\xC3\xA9", 3, "\xC3\xA9t\xC3\xA9"},                    // Été
        {"\xD0\x96\xE2\x82\xAC", 2, "\xD0\xB6\xE2\x82\xAC"},              // Ж€
        {"\xF0\x9F\x98\x80x", 2, "\xF0\x9F\x98\x80x"},                    // a 4-byte character
        {"a\xFF" "B", 3, "a\xFF" "b"},                                    // a stray byte
        {"\xC3", 1, "\xC3"},                                               // cut short
        {"\xE2\x82" "A", 3, "\xE2\x82" "a"},                               // cut short, then a letter
        {"\x80\x80", 2, "\x80\x80"},                                       // lone continuations
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8Length(c.text), c.characters) << c.text;
        std::string joined;
        for (std::string_view ch : utf8Characters(c.text)) joined += ch;
        EXPECT_EQ(joined, c.text);
        EXPECT_EQ(utf8Characters(c.text).size(), c.characters) << c.text;
        EXPECT_EQ(foldCaseUtf8(c.text), c.folded) << c.text;
    }
}

TEST(Text, ConversionsRoundTripAndReplaceWhatTheyCannotCarry) {
    const std::string all = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // 1, 2, 3 and 4 bytes
    EXPECT_EQ(utf8ToUtf16(all), (std::u16string{u'A', 0xE9, 0x20AC, 0xD83D, 0xDE00}));
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(all)), all);
    EXPECT_EQ(utf8ToUtf16("a\xFF"), (std::u16string{u'a', 0xFFFD}));
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");  // a lone surrogate
    EXPECT_EQ(cp1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
    EXPECT_EQ(utf8ToCp1252("\xE2\x82\xAC\xC3\xA9\xD0\x96\xFF"), "\x80\xE9??");
    for (char32_t c : {U'\x7F', U'\x80', U'\x7FF', U'\x800', U'\xFFFF', U'\x10000', U'\x10FFFF'}) {
        std::string s;
        appendUtf8(s, c);
        std::size_t i = 0;
        EXPECT_EQ(decodeUtf8(s, i), c);
        EXPECT_EQ(i, s.size());
    }
}
