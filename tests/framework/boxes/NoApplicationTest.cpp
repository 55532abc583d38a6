// A run that never made an application object (no display) still gets its boxes: on stderr,
// answered as if closed without a button.
#include <gtest/gtest.h>

#include "framework/ui/QtMessageBoxes.h"

namespace gs {
namespace {

TEST(BoxesWithoutADisplay, PrintOnStderrAndAnswerAsClosed) {
    TQtMessageBoxes boxes;
    testing::internal::CaptureStderr();
    const TQBMessageResult answer = boxes.ShowQBMessage("Replace?", "Glyphscope", 3, 1, 1, 1, "");
    boxes.ShowQBMessageDetails("Stopped.", "read error", "Glyphscope", 0, 1, "", false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glyphscope: Question: Replace?\n  -> No\nglyphscope: Error: Stopped.\n  read error\n");
    EXPECT_EQ(answer, TQBMessageResult::mrNo);
}

}  // namespace
}  // namespace gs
