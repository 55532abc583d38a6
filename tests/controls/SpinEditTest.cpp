// The spin edit's buttons offscreen: the diagonal button by default, the halves of its
// diagonal, repeating while held, the up-down pair, the least height and the alignment.
#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

#include "support/QtTestApp.h"
#include "controls/ui/RxSpinEdit.h"

using namespace gs;

TEST(RxSpinButton, TheDiagonalPartsTheHalves) {
    gstest::qtTestApp();
    TRxSpinButton button;
    button.resize(20, 20);
    using S = TSpinButtonState;
    struct Case {
        QPoint at;
        S half;
    } square[] = {
        {{2, 2}, S::sbTopDown},  {{18, 18}, S::sbBottomDown}, {{10, 9}, S::sbTopDown}, {{10, 11}, S::sbBottomDown},
        {{19, 0}, S::sbTopDown}, {{1, 19}, S::sbTopDown},     {{2, 19}, S::sbBottomDown},
    };
    for (const Case& c : square) EXPECT_EQ(button.HalfAt(c.at), c.half) << c.at.x() << "," << c.at.y();
    // A wide button: the diagonal runs from (0, 10) to (40, 0).
    button.resize(40, 10);
    EXPECT_EQ(button.HalfAt({20, 4}), S::sbTopDown);
    EXPECT_EQ(button.HalfAt({20, 6}), S::sbBottomDown);
    EXPECT_EQ(button.HalfAt({36, 2}), S::sbBottomDown);

    // The diagonal line is drawn in the frame's colour.
    button.resize(20, 20);
    const QImage face = button.grab().toImage();
    const QRgb frame = button.palette().color(QPalette::Shadow).rgb();
    for (int x : {3, 10, 16}) EXPECT_EQ(face.pixel(x, 19 - x), frame) << x;
}

TEST(RxSpinEdit, DiagonalButtonStepsAndRepeatsWhileHeld) {
    gstest::qtTestApp();
    QWidget form;
    TRxSpinEdit edit(&form);
    QLineEdit other(&form);
    other.move(0, 40);
    edit.resize(80, 24);
    form.show();
    EXPECT_EQ(edit.ButtonKind(), TSpinButtonKind::bkDiagonal);
    ASSERT_NE(edit.SpinButton(), nullptr);
    EXPECT_EQ(edit.UpDown(), nullptr);
    TRxSpinButton* button = edit.SpinButton();
    EXPECT_EQ(button->width(), button->height());
    EXPECT_LE(button->mapTo(&edit, QPoint(button->width(), 0)).x(), edit.width());

    edit.SetMaxValue(100);
    edit.SetValue(10);
    other.setFocus();
    int tops = 0, bottoms = 0;
    QObject::connect(&edit, &TRxSpinEdit::OnTopClick, [&] { ++tops; });
    QObject::connect(&edit, &TRxSpinEdit::OnBottomClick, [&] { ++bottoms; });
    const QPoint top(2, 2), bottom(button->width() - 2, button->height() - 2);
    QTest::mouseClick(button, Qt::LeftButton, {}, top);
    EXPECT_EQ(edit.text(), "11");
    EXPECT_TRUE(edit.hasFocus() || !form.isActiveWindow());  // the press gives its edit the focus
    QTest::mouseClick(button, Qt::LeftButton, {}, bottom);
    QTest::mouseClick(button, Qt::LeftButton, {}, bottom);
    EXPECT_EQ(edit.text(), "9");
    EXPECT_EQ(tops, 1);
    EXPECT_EQ(bottoms, 2);

    // Held, the half steps again and again until it is let go.
    QTest::mousePress(button, Qt::LeftButton, {}, top);
    EXPECT_EQ(button->Down(), TSpinButtonState::sbTopDown);
    QTRY_VERIFY_WITH_TIMEOUT(edit.Value() >= 12, 10000);
    QTest::mouseRelease(button, Qt::LeftButton, {}, top);
    EXPECT_EQ(button->Down(), TSpinButtonState::sbNotDown);
    const double after = edit.Value();
    QCoreApplication::processEvents();
    EXPECT_EQ(edit.Value(), after);  // no more steps once released

    edit.setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
}

TEST(RxSpinEdit, StandardButtonsLeastHeightAndAlignment) {
    gstest::qtTestApp();
    TRxSpinEdit edit;
    edit.SetButtonKind(TSpinButtonKind::bkDiagonal);  // the same kind: the button stays
    TRxSpinButton* before = edit.SpinButton();
    edit.SetButtonKind(TSpinButtonKind::bkDiagonal);
    EXPECT_EQ(edit.SpinButton(), before);
    edit.SetButtonKind(TSpinButtonKind::bkStandard);
    EXPECT_EQ(edit.SpinButton(), nullptr);
    ASSERT_NE(edit.UpDown(), nullptr);
    edit.resize(80, 24);
    edit.show();
    EXPECT_LE(edit.UpDown()->width(), 15);
    edit.UpDown()->UpButton()->click();
    edit.UpDown()->UpButton()->click();
    edit.UpDown()->DownButton()->click();
    EXPECT_EQ(edit.text(), "1");

    // Never lower than its font's height, four borders and one.
    EXPECT_EQ(edit.MinimumEditHeight(), edit.fontMetrics().height() + 5);
    edit.resize(80, 3);
    EXPECT_EQ(edit.height(), edit.MinimumEditHeight());
    QFont big = edit.font();
    big.setPixelSize(40);
    edit.setFont(big);
    EXPECT_GE(edit.MinimumEditHeight(), 45);
    EXPECT_GE(edit.height(), edit.MinimumEditHeight());

    struct Case {
        TAlignment alignment;
        Qt::Alignment horizontal;
    } cases[] = {
        {TAlignment::taLeftJustify, Qt::AlignLeft},
        {TAlignment::taRightJustify, Qt::AlignRight},
        {TAlignment::taCenter, Qt::AlignHCenter},
    };
    for (const Case& c : cases) {
        edit.SetAlignment(c.alignment);
        EXPECT_EQ(edit.Alignment(), c.alignment);
        EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, c.horizontal) << int(c.alignment);
    }
}
