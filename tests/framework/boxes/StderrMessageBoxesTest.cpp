#include "framework/core/StderrMessageBoxes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <utility>

#include "framework/core/Exceptions.h"

namespace gs {
namespace {

using R = TQBMessageResult;

TEST(StderrMessageBoxes, AnswersAsABoxClosedWithoutAButton) {
    const R expected[] = {R::mrOK, R::mrNo, R::mrCancel, R::mrCancel, R::mrCancel};
    for (std::uint8_t set = 0; set <= 4; ++set) {
        std::ostringstream out;
        TStderrMessageBoxes boxes(out);
        EXPECT_EQ(boxes.ShowQBMessage("Replace?", "Glyphscope", 3, set, 1, 1, ""), expected[set]) << int(set);
    }
}

TEST(StderrMessageBoxes, PrintsPrefixKindMessageAndTheAnswerTaken) {
    std::ostringstream out;
    TStderrMessageBoxes boxes(out);
    boxes.ShowQBMessage("Overwrite the file?\rIt exists.", "Glyphscope", 3, 1, 1, 0, "");
    EXPECT_EQ(out.str(), "glyphscope: Pergunta: Overwrite the file?\n  It exists.\n  -> Não\n");

    std::ostringstream ok;
    TStderrMessageBoxes(ok).ShowQBMessage("Done.", "", 2, 0, 1, 1, "");
    EXPECT_EQ(ok.str(), "glyphscope: Information: Done.\n");
}

TEST(StderrMessageBoxes, TypedCallsShowWhatTheRawBytesShow) {
    std::ostringstream raw, typed;
    EXPECT_EQ(TStderrMessageBoxes(raw).ShowQBMessage("Replace?", "", 3, 4, 2, 1, ""),
              TStderrMessageBoxes(typed).ShowQBMessage("Replace?", "", TQBMessageType::mtQuestion,
                                                       TQBButtonSet::bsYesYesToAllNoNoToAllCancel, 2, 1, ""));
    EXPECT_EQ(typed.str(), raw.str());
    std::ostringstream rawDetails, typedDetails;
    TStderrMessageBoxes(rawDetails).ShowQBMessageDetails("Could not save.", "disk full", "", 1, 1, "", false);
    IMessageBoxes&& boxes = TStderrMessageBoxes(typedDetails);
    boxes.ShowQBMessageDetails("Could not save.", "disk full", "", TQBMessageType::mtWarning, 1, "", false);
    EXPECT_EQ(typedDetails.str(), rawDetails.str());
    EXPECT_NE(typedDetails.str().find("Warning"), std::string::npos);
}

TEST(StderrMessageBoxes, AnErrorIsShownInTheBoxOfItsSeverity) {
    const std::pair<TQBSeverity, const char*> cases[] = {
        {TQBSeverity::Critical, "Error"}, {TQBSeverity::Warning, "Warning"}, {TQBSeverity::Information, "Information"}};
    for (const auto& [severity, kind] : cases) {
        std::ostringstream out;
        TStderrMessageBoxes(out).ShowQBMessageDetails("m", "", "", BoxTypeOf(severity), 1, "", false);
        EXPECT_EQ(out.str(), std::string("glyphscope: ") + kind + ": m\n");
    }
}

TEST(StderrMessageBoxes, DetailsFollowTheMessageIndented) {
    std::ostringstream out;
    TStderrMessageBoxes boxes(out);
    boxes.ShowQBMessageDetails("Could not save.\n", "disk full\r\nat /tmp/x.ico\n", "Glyphscope", 0, 1, "", true);
    EXPECT_EQ(out.str(), "glyphscope: Error: Could not save.\n  disk full\n  at /tmp/x.ico\n");
}

TEST(StderrMessageBoxes, BadArgumentsRaiseTheBoxMessagesAndPrintNothing) {
    std::ostringstream out;
    TStderrMessageBoxes boxes(out);
    try {
        boxes.ShowQBMessage("m", "c", 0, 0, 1, 2, "");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid language id. in call to QBMessage.");
    }
    try {
        boxes.ShowQBMessageDetails("m", "d", "c", 3, 1, "", false);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid message type in call to QBMessageDetails.");
    }
    EXPECT_EQ(out.str(), "");
}

TEST(StderrMessageBoxes, OutputGoesToStderr) {
    testing::internal::CaptureStderr();
    TStderrMessageBoxes().ShowQBMessage("Stopped.", "", 1, 2, 1, 1, "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glyphscope: Warning: Stopped.\n  -> Cancel\n");
}

}  // namespace
}  // namespace gs
