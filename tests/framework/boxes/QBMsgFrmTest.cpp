#include "framework/ui/QBMsgFrm.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <stdexcept>
#include <vector>

#include "BoxDriver.h"
#include "framework/core/Application.h"
#include "framework/ui/QtMessageBoxes.h"
#include "support/DialogFrame.h"

namespace gs {
namespace {

using gs::testing::button;
using gs::testing::press;
using gs::testing::whenShown;

// Each button set as a person sees it: places, captions in both languages, answers.
struct ButtonSetCase {
    std::uint8_t set;
    std::vector<int> lefts;
    std::vector<const char*> portuguese;
    std::vector<const char*> english;
    std::vector<int> answers;
    int closedAnswer;
};

const ButtonSetCase kSets[] = {
    {0, {168}, {"&OK"}, {"&OK"}, {0}, 0},
    {1, {120, 208}, {"&Sim", "&Não"}, {"&Yes", "&No"}, {1, 3}, 3},
    {2, {88, 168, 248}, {"&Sim", "&Não", "&Cancelar"}, {"&Yes", "&No", "&Cancel"}, {1, 3, 5}, 5},
    {3,
     {48, 128, 208, 288},
     {"&Sim", "&Não", "&Cancelar", "&Todos"},
     {"&Yes", "&No", "&Cancel", "&All"},
     {1, 3, 5, 6},
     5},
    {4,
     {8, 88, 168, 248, 328},
     {"&Sim", "S&im a Todos", "&Não", "Não &a Todos", "&Cancelar"},
     {"&Yes", "Y&es to All", "&No", "No &to All", "&Cancel"},
     {1, 2, 3, 4, 5},
     5},
};

void PrintTo(const ButtonSetCase& expected, std::ostream* os) { *os << "button set " << int(expected.set); }

const char* buttonName(int k) {
    static const char* names[] = {"cmdBtn01", "cmdBtn02", "cmdBtn03", "cmdBtn04", "cmdBtn05"};
    return names[k - 1];
}

int ask(const ButtonSetCase& expected, int defaultButton, std::uint8_t language, std::function<void(TQBMessage&)> steps) {
    whenShown<TQBMessage>(std::move(steps));
    TQtMessageBoxes boxes;
    return static_cast<int>(boxes.ShowQBMessage("Replace the icon?", "Glyphscope", 3, expected.set,
                                                static_cast<std::uint16_t>(defaultButton), language, ""));
}

class MessageBoxSet : public ::testing::TestWithParam<ButtonSetCase> {};

TEST_P(MessageBoxSet, ButtonsSitInTheirPlacesWithTheCaptionsOfTheLanguage) {
    const ButtonSetCase& expected = GetParam();
    for (std::uint8_t language : {0, 1}) {
        TQBMessage box;
        box.Setup("m", "c", 0, expected.set, 1, language, "");
        const auto& captions = language == 0 ? expected.portuguese : expected.english;
        for (int k = 1; k <= 5; ++k) {
            QPushButton* b = button(box, buttonName(k));
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->parentWidget()->objectName(), "pBottom");
            const bool shown = k <= static_cast<int>(expected.lefts.size());
            EXPECT_EQ(b->isVisibleTo(&box), shown) << k;
            if (!shown) continue;
            EXPECT_EQ(b->geometry().left(), expected.lefts[k - 1]) << k;
            EXPECT_EQ(b->width(), 75);
            EXPECT_EQ(b->text(), QString::fromUtf8(captions[k - 1])) << k;
        }
    }
}

TEST_P(MessageBoxSet, EveryButtonGivesItsAnswer) {
    const ButtonSetCase& expected = GetParam();
    for (int k = 1; k <= static_cast<int>(expected.answers.size()); ++k) {
        const int answer = ask(expected, 1, 1, [k](TQBMessage& box) {
            QTest::mouseClick(button(box, buttonName(k)), Qt::LeftButton);
        });
        EXPECT_EQ(answer, expected.answers[k - 1]) << "button " << k;
    }
}

TEST_P(MessageBoxSet, EscAndTheCloseBoxGiveTheClosedAnswer) {
    const ButtonSetCase& expected = GetParam();
    EXPECT_EQ(ask(expected, 1, 0, [](TQBMessage& box) { press(box, Qt::Key_Escape); }), expected.closedAnswer);
    EXPECT_EQ(ask(expected, 2, 1, [](TQBMessage& box) { box.close(); }), expected.closedAnswer);
}

// Focus, default and tab order start at the chosen button; Enter presses it.
TEST_P(MessageBoxSet, EnterPressesTheChosenDefault) {
    const ButtonSetCase& expected = GetParam();
    const int count = static_cast<int>(expected.answers.size());
    for (int chosen = 0; chosen <= 6; ++chosen) {
        const int effective = chosen >= 1 && chosen <= count ? chosen : 1;
        const int answer = ask(expected, chosen, 0, [&](TQBMessage& box) {
            QPushButton* chosenButton = button(box, buttonName(effective));
            EXPECT_EQ(QApplication::focusWidget(), chosenButton) << "default " << chosen;
            EXPECT_TRUE(chosenButton->isDefault());
            QWidget* next = chosenButton;
            for (int step = 1; step < count; ++step) {
                do next = next->nextInFocusChain();
                while (!next->isVisible() || !(next->focusPolicy() & Qt::TabFocus));
                EXPECT_EQ(next, button(box, buttonName((effective - 1 + step) % count + 1))) << step;
            }
            press(box, Qt::Key_Return);
        });
        EXPECT_EQ(answer, expected.answers[effective - 1]) << "default " << chosen;
    }
}

INSTANTIATE_TEST_SUITE_P(AllSets, MessageBoxSet, ::testing::ValuesIn(kSets),
                         [](const auto& info) { return "Set" + std::to_string(info.param.set); });

TEST(MessageBox, OnePictureOfTheTypeAtItsPlace) {
    const char* names[] = {"imgError", "imgWarning", "imgInformation", "imgQuestion"};
    for (std::uint8_t type = 0; type <= 3; ++type) {
        TQBMessage box;
        box.Setup("m", "c", type, 0, 1, 1, "");
        for (std::uint8_t other = 0; other <= 3; ++other) {
            auto* picture = box.findChild<QLabel*>(names[other]);
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->isVisibleTo(&box), other == type) << names[other];
            EXPECT_EQ(picture->parentWidget()->objectName(), "pLeft");
            EXPECT_EQ(picture->geometry(), QRect(8, 8, 32, 32));
            EXPECT_FALSE(picture->pixmap().isNull());
        }
    }
}

TEST(MessageBox, BadArgumentsRaiseTheirMessagesWithoutShowingABox) {
    TQtMessageBoxes boxes;
    const auto raised = [&](std::uint8_t type, std::uint8_t set, std::uint8_t language) -> std::string {
        try {
            boxes.ShowQBMessage("m", "c", type, set, 1, language, "");
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "nothing";
    };
    EXPECT_EQ(raised(0, 0, 2), "Invalid language id. in call to QBMessage.");
    EXPECT_EQ(raised(4, 0, 1), "Invalid message type in call to QBMessage.");
    EXPECT_EQ(raised(0, 5, 0), "Invalid button definition in call to QBMessage.");
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST(MessageBox, ShortTextKeepsTheClientSizeAndLongTextMakesTheBoxTaller) {
    TQBMessage box;
    box.Setup("Short.", "c", 2, 0, 1, 1, "");
    EXPECT_EQ(box.size(), QSize(410, 83));
    auto* bottom = box.findChild<QWidget*>("pBottom");
    EXPECT_EQ(bottom->geometry().bottom(), box.height() - 1);

    QString words;
    for (int i = 0; i < 60; ++i) words += QStringLiteral("several words of a message ");
    box.Setup(words.toStdString(), "c", 2, 0, 1, 1, "");
    box.show();
    auto* label = box.findChild<QLabel*>("lblMessage");
    EXPECT_EQ(box.width(), 410);
    EXPECT_GT(box.height(), 83);
    EXPECT_EQ(bottom->geometry().bottom(), box.height() - 1);
    EXPECT_LE(label->heightForWidth(label->width()), label->parentWidget()->height());
    EXPECT_LE(label->mapTo(&box, QPoint(0, label->height())).y(), bottom->y());
    box.close();
}

TEST(MessageBox, TextTallerThanTheScreenScrollsInsideAScreenHighBox) {
    std::string lines;
    for (int i = 0; i < 400; ++i) lines += "line " + std::to_string(i) + "\r";
    TQBMessage box;
    box.Setup(lines, "c", 0, 1, 1, 0, "");
    box.show();
    const int screenHeight = QGuiApplication::primaryScreen()->availableGeometry().height();
    EXPECT_LE(box.height(), screenHeight);
    EXPECT_GT(box.height(), screenHeight / 2);
    auto* area = box.findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    box.close();
}

TEST(MessageBox, MessageShowsPlainTextWithItsLineBreaks) {
    TQBMessage box;
    box.Setup("<b>a.ico</b>\rsecond\r\nthird\nfourth", "c", 0, 0, 1, 1, "");
    EXPECT_EQ(box.findChild<QLabel*>("lblMessage")->text(), "<b>a.ico</b>\nsecond\nthird\nfourth");
    EXPECT_EQ(box.findChild<QLabel*>("lblMessage")->textFormat(), Qt::PlainText);
}

// Each kind of box shows its picture, in the box and as the window's icon (the title bar
// and the task list show it), in a dialog frame without minimise or maximise boxes.
TEST(MessageBox, TheKindsPictureIsAlsoTheWindowIcon) {
    const struct {
        std::uint8_t type;
        const char* picture;
    } cases[] = {{0, "imgError"}, {1, "imgWarning"}, {2, "imgInformation"}, {3, "imgQuestion"}};
    for (const auto& c : cases) {
        TQBMessage box;
        box.Setup("You cannot create multiple instances of Veltrazone Glyphscope.", "c", c.type, 0, 1, 1, "");
        EXPECT_TRUE(gstest::HasDialogFrame(box));
        const QLabel* picture = box.findChild<QLabel*>(c.picture);
        ASSERT_NE(picture, nullptr) << c.picture;
        EXPECT_FALSE(picture->isHidden()) << c.picture;
        ASSERT_FALSE(picture->pixmap().isNull()) << c.picture << ": the style drew no picture";
        ASSERT_FALSE(box.windowIcon().isNull()) << c.picture;
        EXPECT_EQ(box.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
                  picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32))
            << c.picture;
    }
}

TEST(MessageBox, FontIsTahomaUnlessTheNamedOneIsInstalled) {
    TQBMessage box;
    box.Setup("m", "c", 0, 0, 1, 1, "No Such Font Family 42");
    EXPECT_EQ(box.font().family(), "Tahoma");
    EXPECT_EQ(box.font().pointSize(), 8);
    const QStringList installed = QFontDatabase::families();
    if (installed.isEmpty()) GTEST_SKIP() << "no fonts installed";
    box.Setup("m", "c", 0, 0, 1, 1, installed.first().toUpper().toStdString());
    EXPECT_EQ(box.font().family().toLower(), installed.first().toLower());
    EXPECT_EQ(box.findChild<QLabel*>("lblMessage")->font().family().toLower(), installed.first().toLower());
}

TEST(MessageBox, EmptyCaptionIsTheProgramTitle) {
    TQBMessage box;
    box.Setup("m", "Given", 0, 0, 1, 1, "");
    EXPECT_EQ(box.windowTitle(), "Given");
    box.Setup("m", "", 0, 0, 1, 1, "");
    EXPECT_EQ(box.windowTitle(), "BoxTests");
    auto app = std::make_unique<TQBApplication>();
    app->Title = "Glyphscope Título";
    installApplication(std::move(app));
    box.Setup("m", "", 0, 0, 1, 1, "");
    uninstallApplication();
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Glyphscope Título"));
}

}  // namespace
}  // namespace gs
