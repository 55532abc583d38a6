#include "framework/ui/QBMsgDetailsFrm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <stdexcept>

#include "BoxDriver.h"
#include "framework/ui/QtMessageBoxes.h"
#include "support/DialogFrame.h"

namespace gs {
namespace {

using gs::testing::button;
using gs::testing::press;
using gs::testing::whenShown;

constexpr int kFolded = 75;     // 102 with the frame
constexpr int kUnfolded = 185;  // 212 with the frame

QPlainTextEdit* detailsText(QDialog& box) { return box.findChild<QPlainTextEdit*>("txtErrorDetails"); }
QLabel* messageLabel(QDialog& box) { return box.findChild<QLabel*>("lblErrorMsg"); }

TEST(DetailsBox, PartsSitInTheirPlaces) {
    TQBMessageDetails box;
    box.Setup("Could not save.", "disk full", "c", 0, 1, "", false);
    EXPECT_TRUE(gstest::HasDialogFrame(box));
    EXPECT_EQ(box.size(), QSize(409, kFolded));
    EXPECT_EQ(messageLabel(box)->parentWidget()->parentWidget()->geometry(), QRect(48, 8, 257, 65));
    EXPECT_EQ(button(box, "cmdOK")->geometry(), QRect(326, 8, 75, 25));
    EXPECT_EQ(button(box, "cmdDetails")->geometry(), QRect(326, 40, 75, 25));
    EXPECT_EQ(detailsText(box)->geometry(), QRect(8, 80, 393, 100));
    EXPECT_TRUE(detailsText(box)->isReadOnly());
    EXPECT_TRUE(button(box, "cmdOK")->isDefault());
    const char* names[] = {"imgCritical", "imgWarning", "imgInformation"};
    for (std::uint8_t type = 0; type <= 2; ++type) {
        box.Setup("m", "d", "c", type, 1, "", false);
        for (std::uint8_t other = 0; other <= 2; ++other) {
            auto* picture = box.findChild<QLabel*>(names[other]);
            EXPECT_EQ(picture->isVisibleTo(&box), other == type) << names[other];
            EXPECT_EQ(picture->geometry(), QRect(8, 8, 32, 32));
        }
    }
}

TEST(DetailsBox, DetailsButtonFoldsAndUnfoldsInBothLanguages) {
    const char* folded[] = {"&Detalhes >>", "&Details >>"};
    const char* unfolded[] = {"&Detalhes <<", "&Details <<"};
    for (std::uint8_t language : {0, 1}) {
        TQBMessageDetails box;
        box.Setup("m", "d", "c", 1, language, "", false);
        QPushButton* details = button(box, "cmdDetails");
        EXPECT_EQ(button(box, "cmdOK")->text(), "&OK");
        EXPECT_EQ(details->text(), QString::fromUtf8(folded[language]));
        EXPECT_FALSE(box.DetailsShown());
        details->click();
        EXPECT_EQ(details->text(), QString::fromUtf8(unfolded[language]));
        EXPECT_TRUE(box.DetailsShown());
        EXPECT_EQ(box.height(), kUnfolded);
        EXPECT_TRUE(detailsText(box)->isVisibleTo(&box));
        details->click();
        EXPECT_EQ(details->text(), QString::fromUtf8(folded[language]));
        EXPECT_EQ(box.height(), kFolded);
        EXPECT_FALSE(detailsText(box)->isVisibleTo(&box));
    }
}

TEST(DetailsBox, ExpandUnfoldsOnlyWhenThereAreDetails) {
    TQBMessageDetails box;
    box.Setup("m", "d", "c", 0, 1, "", true);
    EXPECT_TRUE(box.DetailsShown());
    EXPECT_EQ(box.height(), kUnfolded);
    box.Setup("m", "", "c", 0, 1, "", true);
    EXPECT_FALSE(button(box, "cmdDetails")->isVisibleTo(&box));
    EXPECT_FALSE(box.DetailsShown());
    EXPECT_EQ(box.height(), kFolded);
}

TEST(DetailsBox, LineFeedsBreakLinesWithoutATrailingEmptyLine) {
    TQBMessageDetails box;
    box.Setup("first\nsecond\n", "one\r\ntwo\nthree\n", "c", 0, 1, "", false);
    EXPECT_EQ(messageLabel(box)->text(), "first\nsecond");
    EXPECT_EQ(detailsText(box)->toPlainText(), "one\ntwo\nthree");
    EXPECT_EQ(detailsText(box)->document()->blockCount(), 3);
}

TEST(DetailsBox, LongMessageMakesBothStatesTallerAndMovesTheDetailsDown) {
    std::string words;
    for (int i = 0; i < 40; ++i) words += "a long explanation of what failed ";
    TQBMessageDetails box;
    box.Setup(words, "d", "c", 0, 1, "", false);
    const int extra = box.height() - kFolded;
    EXPECT_GT(extra, 0);
    EXPECT_EQ(box.width(), 409);
    QLabel* label = messageLabel(box);
    EXPECT_LE(label->heightForWidth(257), 65 + extra);
    button(box, "cmdDetails")->click();
    EXPECT_EQ(box.height(), kUnfolded + extra);
    EXPECT_EQ(detailsText(box)->geometry(), QRect(8, 80 + extra, 393, 100));
}

TEST(DetailsBox, BadArgumentsRaiseTheirMessagesWithoutShowingABox) {
    TQtMessageBoxes boxes;
    const auto raised = [&](std::uint8_t type, std::uint8_t language) -> std::string {
        try {
            boxes.ShowQBMessageDetails("m", "d", "c", type, language, "", false);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "nothing";
    };
    EXPECT_EQ(raised(0, 2), "Invalid language id. in call to QBMessageDetails.");
    EXPECT_EQ(raised(3, 1), "Invalid message type in call to QBMessageDetails.");
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible());
}

TEST(DetailsBox, ShownModallyItClosesOnEscEnterAndOK) {
    TQtMessageBoxes boxes;
    whenShown<TQBMessageDetails>([](TQBMessageDetails& box) {
        EXPECT_EQ(QApplication::focusWidget(), button(box, "cmdOK"));
        press(box, Qt::Key_Escape);
    });
    boxes.ShowQBMessageDetails("m", "d", "c", 0, 0, "", false);
    whenShown<TQBMessageDetails>([](TQBMessageDetails& box) {
        EXPECT_TRUE(box.DetailsShown());
        press(box, Qt::Key_Return);
    });
    boxes.ShowQBMessageDetails("m", "d", "c", 1, 1, "", true);
    whenShown<TQBMessageDetails>([](TQBMessageDetails& box) {
        QTest::mouseClick(button(box, "cmdDetails"), Qt::LeftButton);
        EXPECT_EQ(box.height(), kUnfolded);
        QTest::mouseClick(button(box, "cmdOK"), Qt::LeftButton);
    });
    boxes.ShowQBMessageDetails("m", "d", "c", 2, 1, "", false);
}

}  // namespace
}  // namespace gs
