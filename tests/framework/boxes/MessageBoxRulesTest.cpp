#include "framework/core/MessageBoxRules.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace gs {
namespace {

std::string checkMessageError(std::uint8_t type, std::uint8_t set, std::uint8_t language) {
    try {
        CheckMessageArgs(type, set, language);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

std::string checkDetailsError(std::uint8_t type, std::uint8_t language) {
    try {
        CheckDetailsArgs(type, language);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

TEST(NormalizeLineBreaks, LoneLineFeedsBecomePairsAndAFinalOneIsDropped) {
    EXPECT_EQ(NormalizeLineBreaks("one\ntwo"), "one\r\ntwo");
    EXPECT_EQ(NormalizeLineBreaks("one\r\ntwo"), "one\r\ntwo");
    EXPECT_EQ(NormalizeLineBreaks("one\n"), "one");
    EXPECT_EQ(NormalizeLineBreaks("\n"), "");
    EXPECT_EQ(NormalizeLineBreaks("\none"), "\r\none");
    EXPECT_EQ(NormalizeLineBreaks("a\n\nb"), "a\r\n\r\nb");
    EXPECT_EQ(NormalizeLineBreaks("a\n\n"), "a\r\n");
    EXPECT_EQ(NormalizeLineBreaks("a\r\n"), "a\r\n");
    EXPECT_EQ(NormalizeLineBreaks("a\rb"), "a\rb");
    EXPECT_EQ(NormalizeLineBreaks(""), "");
    EXPECT_EQ(NormalizeLineBreaks("Não\nsim"), "Não\r\nsim");
}

TEST(DisplayLineBreaks, EveryBreakBecomesOneLineFeed) {
    EXPECT_EQ(DisplayLineBreaks("a\r\nb\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(DisplayLineBreaks("a\r\r\nb"), "a\n\nb");
    EXPECT_EQ(DisplayLineBreaks(NormalizeLineBreaks("x\ny\n")), "x\ny");
}

TEST(MessageBoxArgs, MessageBoxChecksLanguageThenTypeThenButtonSet) {
    EXPECT_EQ(checkMessageError(3, 4, 1), "");
    EXPECT_EQ(checkMessageError(0, 0, 0), "");
    EXPECT_EQ(checkMessageError(9, 9, 2), "Invalid language id. in call to QBMessage.");
    EXPECT_EQ(checkMessageError(4, 9, 1), "Invalid message type in call to QBMessage.");
    EXPECT_EQ(checkMessageError(3, 5, 0), "Invalid button definition in call to QBMessage.");
    EXPECT_EQ(checkMessageError(0, 255, 255), "Invalid language id. in call to QBMessage.");
}

TEST(MessageBoxArgs, DetailsBoxKnowsThreeTypes) {
    EXPECT_EQ(checkDetailsError(2, 1), "");
    EXPECT_EQ(checkDetailsError(3, 2), "Invalid language id. in call to QBMessageDetails.");
    EXPECT_EQ(checkDetailsError(3, 0), "Invalid message type in call to QBMessageDetails.");
}

}  // namespace
}  // namespace gs
