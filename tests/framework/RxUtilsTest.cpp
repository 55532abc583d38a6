// Words, tokens, the keyed scrambling, command-line splitting, file-name checks, screen
// rectangles and text cut to a width.
#include <gtest/gtest.h>

#include "framework/core/RxUtils.h"

using namespace gs;

TEST(RxUtils, WordsAndTokens) {
    EXPECT_EQ(NthWord(2, "10, 20", " ,"), "20");
    EXPECT_EQ(NthWord(1, ",, a b", " ,"), "a");
    EXPECT_EQ(NthWordStart(2, ",, a b", " ,"), 6u);
    EXPECT_EQ(NthWord(3, "a b", " "), "");
    EXPECT_EQ(NthWordStart(3, "a b", " "), 0u);
    EXPECT_EQ(CountWordsIn(" a  bb c ", " "), 3);
    EXPECT_EQ(CountWordsIn("", " "), 0);
    std::size_t pos = 1;
    const std::string s = "a;bb;;c";
    std::vector<std::string> tokens;
    while (pos <= s.size()) tokens.push_back(NextDelimitedToken(s, pos, ";"));
    EXPECT_EQ(tokens, (std::vector<std::string>{"a", "bb", "", "c"}));
    EXPECT_EQ(ReplaceSubstring("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceSubstring("Abc abc", "abc", "x"), "Abc x");
    EXPECT_EQ(ReplaceSubstring("abc", "", "x"), "abc");
}

TEST(RxUtils, KeyedScramblingRoundTripsAndDecodesDamagedTextAsBlanks) {
    EXPECT_EQ(XorEncodeString("", "AZ"), "415a");
    const std::string stored = XorEncodeString("key", "secret value");
    EXPECT_EQ(stored.size(), 24u);
    EXPECT_EQ(XorDecodeString("key", stored), "secret value");
    EXPECT_EQ(XorDecodeString("", "41zz5a4"), "A Z");
}

TEST(RxUtils, CommandLinesSplitWithQuotesAndNothingCut) {
    std::string program, params;
    SplitProgramAndParams("\"/opt/my tools/edit\" -a \"b c\" d", program, params);
    EXPECT_EQ(program, "/opt/my tools/edit");
    EXPECT_EQ(params, "-a \"b c\" d");
    SplitProgramAndParams("  ", program, params);
    EXPECT_EQ(program, "");
    EXPECT_EQ(params, "");
    const std::string longPath(600, 'p');
    EXPECT_EQ(CommandLineParams("x " + longPath), (std::vector<std::string>{"x", longPath}));
    EXPECT_EQ(CommandLineParams("a\"\"b \"\" c"), (std::vector<std::string>{"ab", "c"}));
}

TEST(RxUtils, FileNamesAndRectanglesAndWidths) {
    EXPECT_EQ(StripTrailingBackslash("/a/b/"), "/a/b");
    EXPECT_EQ(StripTrailingBackslash("/"), "/");
    EXPECT_EQ(StripTrailingBackslash("/a"), "/a");
    EXPECT_TRUE(IsValidFileNameText("a (1).ico"));
    for (const char* bad : {"", "a|b", "a[1]", "\"q\"", "<x>"}) EXPECT_FALSE(IsValidFileNameText(bad)) << bad;
    EXPECT_EQ(ClampRectToScreen({900, -20, 1100, 80}, 1024, 768), (TScreenRect{824, 0, 1024, 100}));
    EXPECT_EQ(ClampRectToScreen({-5, 0, 2000, 10}, 1024, 768), (TScreenRect{0, 0, 2005, 10}));
    EXPECT_EQ(CenterRectOnScreen({0, 0, 101, 51}, 1024, 768), (TScreenRect{461, 358, 562, 409}));
    auto chars = [](const std::string& t) { return int(t.size()); };
    EXPECT_EQ(ShortenTextToWidth("fits", chars, 4), "fits");
    EXPECT_EQ(ShortenTextToWidth("abcdefgh", chars, 6), "abc...");
    EXPECT_EQ(ShortenTextToWidth("abcdefgh", chars, 1), "...");
    EXPECT_EQ(ShortenTextToWidth("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", chars, 7), "\xC3\xA9\xC3\xA9...");
}
