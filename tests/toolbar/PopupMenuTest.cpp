// A popup menu end to end, offscreen: it opens at a point, keys and the mouse drive it, and
// its result is performed after the loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "support/QtTestApp.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtGeometry.h"
#include "toolbar/ui/QtPopupAnimation.h"
#include "toolbar/ui/QtPopupWindow.h"

using namespace tb;

namespace {


struct Menu {
    TTBPopupMenu menu;
    std::vector<std::string> clicks;
    bool shownBeforePopupEvent = true;
    int popups = 0;
    Menu() {
        gstest::qtTestApp();
        InstallQtClickPoster();
        for (const char* caption : {"&Open", "&Save", "E&xit"}) {
            auto* item = new TTBItem(&menu.Items());
            item->SetCaption(caption);
            item->SetOnClick([this, caption](TTBCustomItem*) { clicks.push_back(caption); });
            menu.Items().Add(item);
        }
        auto* sub = new TTBSubmenuItem(&menu.Items());
        sub->SetCaption("&Recent");
        menu.Items().Add(sub);
        auto* recent = new TTBItem(&menu.Items());
        recent->SetCaption("&1 a.ico");
        recent->SetOnClick([this](TTBCustomItem*) { clicks.push_back("recent"); });
        sub->Add(recent);
        menu.OnPopup = [this](TTBPopupMenu*) {
            ++popups;
            shownBeforePopupEvent = QApplication::activePopupWidget() != nullptr;
        };
    }
    // Runs `script` on the open popup, then pops the menu up at `at`.
    QPoint at{200, 150};
    TTBLoopResult popup(std::function<void(QWidget*)> script) {
        QTimer::singleShot(0, [script] {
            QWidget* w = QApplication::activePopupWidget();
            if (w) script(w);
        });
        TTBLoopResult r = menu.Popup(at.x(), at.y());
        QCoreApplication::processEvents();  // the deferred click
        return r;
    }
};

}  // namespace

TEST(ToolbarPopupMenu, KeysSelectAndExecute) {
    Menu m;
    TTBLoopResult r = m.popup([](QWidget* w) {
        EXPECT_EQ(w->pos(), QPoint(200, 150));
        QTest::keyClick(w->windowHandle(), Qt::Key_Down);
        QTest::keyClick(w->windowHandle(), Qt::Key_Down);
        QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    });
    EXPECT_EQ(r.kind, TTBLoopResult::Kind::ClickItem);
    EXPECT_EQ(m.clicks, std::vector<std::string>{"&Save"});
    EXPECT_EQ(m.popups, 1);
    EXPECT_FALSE(m.shownBeforePopupEvent);  // the popup event runs before the window shows
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST(ToolbarPopupMenu, SubmenusAndEscape) {
    Menu m;
    TTBLoopResult r = m.popup([](QWidget* w) {
        QTest::keyClick(w->windowHandle(), Qt::Key_R);  // opens Recent with its first item
        QWidget* sub = QApplication::activePopupWidget();
        ASSERT_NE(sub, w);
        QTest::keyClick(sub->windowHandle(), Qt::Key_Escape);  // closes only the submenu
        EXPECT_EQ(QApplication::activePopupWidget(), w);
        QTest::keyClick(w->windowHandle(), Qt::Key_R);
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Return);
    });
    EXPECT_EQ(m.clicks, std::vector<std::string>{"recent"});
    r = m.popup([](QWidget* w) { QTest::keyClick(w->windowHandle(), Qt::Key_Escape); });
    EXPECT_EQ(r.kind, TTBLoopResult::Kind::None);
    EXPECT_EQ(m.popups, 2);  // once per opening of the menu
}

TEST(ToolbarPopupMenu, MouseClicksAndOutside) {
    Menu m;
    TTBLoopResult r = m.popup([](QWidget* w) {
        // The release of the press that opened the menu keeps it open.
        QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, QPoint(-50, -50));
        QPoint exitRow(20, 3 + 19 * 2 + 8);
        QTest::mouseMove(w->windowHandle(), exitRow);
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, exitRow);
    });
    EXPECT_EQ(m.clicks, std::vector<std::string>{"E&xit"});
    r = m.popup([](QWidget* w) { QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, QPoint(-30, -30)); });
    EXPECT_EQ(r.kind, TTBLoopResult::Kind::None);
    EXPECT_EQ(m.clicks.size(), 1u);
}

// A letter beyond ASCII, as Qt types it, reaches its item in either case.
TEST(ToolbarPopupMenu, TypedLettersBeyondAscii) {
    for (const char* typed : {"\u00c9", "\u00e9"}) {
        Menu m;
        m.menu.Items().Items(1)->SetCaption("&\u00c9t\u00e9");  // was "&Save"
        m.popup([typed](QWidget* w) {
            QTest::sendKeyEvent(QTest::Click, w->windowHandle(), Qt::Key_Eacute, QString::fromUtf8(typed), Qt::NoModifier);
        });
        EXPECT_EQ(m.clicks, std::vector<std::string>{"&Save"}) << typed;  // its handler's name
    }
}

TEST(ToolbarPopupMenu, SelectedRowIsHighlighted) {
    Menu m;
    QColor highlight = SysColor(TSysColor::Highlight), row0, row1;
    m.popup([&](QWidget* w) {
        QTest::keyClick(w->windowHandle(), Qt::Key_Down);
        QImage img = w->grab().toImage();
        row0 = img.pixelColor(w->width() - 20, 3 + 9);
        row1 = img.pixelColor(w->width() - 20, 3 + 19 + 9);
        QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    });
    EXPECT_EQ(row0, highlight);
    EXPECT_NE(row1, highlight);
}

TEST(ToolbarPopupMenu, SubmenusUnrollWhenOpenedByMouse) {
    Menu m;
    QApplication::setEffectEnabled(Qt::UI_General, true);
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, true);
    QApplication::setEffectEnabled(Qt::UI_FadeMenu, false);
    std::vector<std::pair<int, QRect>> steps;  // of the submenu
    QWidget* sub = nullptr;
    int subWidth = 0;  // the submenu is gone when the steps are checked
    bool keyboardAnimated = true;
    QObject listening;  // disconnects when the test ends
    QObject::connect(&MenuAnimation(), &TQtPopupAnimation::stepDrawn, &listening, [&](int step) {
        QWidget* w = QApplication::activePopupWidget();
        if (w && w == sub) steps.emplace_back(step, w->mask().boundingRect());
    });
    m.popup([&](QWidget* w) {
        QTRY_VERIFY_WITH_TIMEOUT(!MenuAnimation().Running(), 5000);  // the menu itself first
        QPoint recentRow(20, 3 + 19 * 3 + 8);
        QTest::mouseMove(w->windowHandle(), recentRow);
        QTest::mouseMove(w->windowHandle(), recentRow + QPoint(1, 0));
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() != w, 5000);
        sub = QApplication::activePopupWidget();
        subWidth = sub->width();
        QTRY_VERIFY_WITH_TIMEOUT(!MenuAnimation().Running(), 5000);
        QTest::keyClick(sub->windowHandle(), Qt::Key_Escape);
        QTest::keyClick(w->windowHandle(), Qt::Key_R);  // opened by keyboard: shown at once
        keyboardAnimated = MenuAnimation().Running();
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
        QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    });
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    EXPECT_FALSE(keyboardAnimated);
    ASSERT_FALSE(steps.empty());
    for (auto& [step, shown] : steps) {  // unrolled from its left edge, step by step
        EXPECT_EQ(step % 16, 0);
        EXPECT_EQ(shown.left(), 0);
        EXPECT_EQ(shown.width(), MulDiv(subWidth, step, 255)) << step;
    }
}

TEST(ToolbarPopupMenu, AnimationEndsOnTheViewsOwnChangesOnly) {
    Menu m;
    std::vector<bool> running;
    m.popup([&](QWidget* w) {
        ASSERT_TRUE(MenuAnimation().Start(w, 60000, false, tbadDown));  // long enough never to end by itself
        w->repaint();  // a paint of the window: every step is one, it goes on
        running.push_back(MenuAnimation().Running());
        QTest::keyClick(w->windowHandle(), Qt::Key_Down);  // the view repaints a cell: it ends
        running.push_back(MenuAnimation().Running());
        ASSERT_TRUE(MenuAnimation().Start(w, 60000, false, tbadDown));
        QTest::keyClick(w->windowHandle(), Qt::Key_Escape);  // hidden: it ends
    });
    running.push_back(MenuAnimation().Running());
    EXPECT_EQ(running, (std::vector<bool>{true, false, false}));
}

TEST(ToolbarPopupMenu, TheEndingKeyTypesNothing) {
    Menu m;
    QWidget window;
    auto* edit = new QLineEdit(&window);
    window.show();
    edit->setFocus();
    // The key reaches the focused edit (as without a keyboard grab): the loop takes it first.
    m.popup([edit](QWidget*) { QTest::keyClick(edit, Qt::Key_S); });  // "&Save" executes at once
    EXPECT_EQ(m.clicks, std::vector<std::string>{"&Save"});
    EXPECT_TRUE(edit->text().isEmpty());
}

// Run by ctest with the two screens of data/two-screens.json (side by side, 1024 wide).
TEST(ToolbarPopupScreens, MenusStayOnTheirScreen) {
    Menu m;
    if (QGuiApplication::screens().size() < 2) {
        // The ctest entry that sets the two screens up says so: there, one screen is a failure.
        ASSERT_TRUE(qEnvironmentVariableIsEmpty("GS_TWO_SCREENS")) << "the two-screen configuration did not load";
        GTEST_SKIP() << "needs the two-screen offscreen configuration";
    }
    m.at = {2040, 10};
    QRect placed;
    std::vector<TRect> areas;  // the menu's and its submenu's: the second screen both
    m.popup([&](QWidget* w) {
        placed = w->geometry();
        areas.push_back(static_cast<TTBPopupWindow*>(w)->View().ScreenArea);
        QTest::keyClick(w, Qt::Key_R);
        if (auto* sub = dynamic_cast<TTBPopupWindow*>(QApplication::activePopupWidget()); sub && sub != w)
            areas.push_back(sub->View().ScreenArea);
        QTest::keyClick(w, Qt::Key_Escape);  // the submenu, then the menu
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(placed.right() + 1, 2040);  // flipped to end at the point, on the second screen
    EXPECT_GE(placed.left(), 1024);
    const TRect second = toRect(QGuiApplication::screenAt(QPoint(2040, 10))->geometry());
    EXPECT_EQ(areas, (std::vector<TRect>{second, second}));
}
