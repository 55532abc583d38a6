// A toolbar view rooted in a plain widget, driven through Qt's own event routing (QTest's
// QWindow overloads): presses on buttons and menus, the menu bar's keys, the capture the
// loop holds and what ends it, chevron popups, hints and the popup sound.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QtTest/QTest>
#include <sstream>

#include "ItemScript.h"
#include "QtTestApp.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtPopupWindow.h"
#include "toolbar/ui/QtToolbarView.h"

using namespace tb;
using namespace tbtest;

namespace {

const char* kMenuBar = R"(view toolbar
submenu "&File"
  button "&Open"
  separator
  button "&Save"
submenu "&Edit"
  button "&Copy"
  button "Cu&t"
button "&Go"
dropdown "&Tools"
  button "&Options"
  button "&Default"
button "Paste"
)";
enum { kFile, kEdit, kGo, kTools, kPaste };

struct Bar {
    bool appMade = (qtApp(), true);  // before the first widget
    ItemScript script;
    QWidget window;
    QLineEdit* edit;
    QPointer<TTBToolbarView> bar;
    std::vector<std::string> clicks;

    explicit Bar(const char* text = kMenuBar) {
        InstallQtClickPoster();
        std::istringstream in(text);
        script = ParseItemScript(in);
        record(script.root.get());
        bar = new TTBToolbarView(script.root.get(), &window);
        edit = new QLineEdit(&window);
        edit->move(0, 80);
        window.resize(500, 200);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ~Bar() { delete bar; }
    void record(TTBCustomItem* parent) {
        for (int i = 0; i < parent->Count(); ++i) {
            TTBCustomItem* item = parent->Items(i);
            if (item->Count() == 0)  // a submenu's click is its popup event
                item->SetOnClick([this](TTBCustomItem* sender) { clicks.push_back(sender->Caption()); });
            record(item);
        }
    }
    QWindow* win() { return window.windowHandle(); }
    QPoint centre(int cell) {
        const TRect& r = bar->View().Cells()[std::size_t(cell)]->BoundsRect;
        return bar->mapTo(&window, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    std::string selected() {
        TTBView* v = &bar->View();
        while (v->PopupViewOpen()) v = v->PopupViewOpen();
        return v->Selection() ? v->Selection()->Item()->Caption() : "";
    }
    // Runs `script` inside the menu loop that `start` enters (start returns when it ends).
    void inLoop(const std::function<void()>& script, const std::function<void()>& start) {
        QTimer::singleShot(0, script);
        start();
        QCoreApplication::processEvents();  // the deferred click
    }
    void key(Qt::Key k) { QTest::keyClick(win(), k); }
};

TTBPopupWindow* openPopup() { return dynamic_cast<TTBPopupWindow*>(QApplication::activePopupWidget()); }

}  // namespace

TEST(ToolbarView, ButtonsClickOnTheReleaseOfTheirOwnPress) {
    Bar b;
    QRgb pressedCorner = 0, leftCorner = 0;
    const TRect go = b.bar->View().Cells()[kGo]->BoundsRect;
    b.inLoop(
        [&] {
            EXPECT_EQ(QWidget::mouseGrabber(), b.bar.data());  // the toolbar holds the capture
            EXPECT_EQ(QWidget::keyboardGrabber(), b.bar.data());
            pressedCorner = b.bar->grab().toImage().pixel(go.left, go.top);
            QTest::mouseMove(b.win(), QPoint(300, 150));  // held outside: no longer pushed
            leftCorner = b.bar->grab().toImage().pixel(go.left, go.top);
            QTest::mouseMove(b.win(), b.centre(kGo));
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, b.centre(kGo));
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kGo)); });
    EXPECT_EQ(pressedCorner, SysColor(TSysColor::BtnShadow).rgb());  // sunken while held over it
    EXPECT_NE(leftCorner, SysColor(TSysColor::BtnShadow).rgb());
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Go"});
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);

    // Released elsewhere (over another button), nothing clicks.
    b.inLoop([&] { QTest::mouseRelease(b.win(), Qt::LeftButton, {}, b.centre(kPaste)); },
             [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kGo)); });
    EXPECT_EQ(b.clicks.size(), 1u);
}

TEST(ToolbarView, MenusOpenOnPressAndCloseOnAReleaseOutside) {
    Bar b;
    bool stayedOnOwnRelease = false, stayedOverEmptyPart = false;
    b.inLoop(
        [&] {
            TTBPopupWindow* popup = openPopup();
            ASSERT_NE(popup, nullptr);
            // Stacked over the window of the toolbar that opened it.
            EXPECT_EQ(popup->windowHandle()->transientParent(), b.win());
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, b.centre(kFile));
            stayedOnOwnRelease = openPopup() == popup;
            const TRect sep = popup->View().Cells()[1]->BoundsRect;  // the separator row
            QPoint onSeparator = popup->contentsRect().topLeft() + QPoint(sep.left + 5, (sep.top + sep.bottom) / 2);
            QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, onSeparator);
            stayedOverEmptyPart = openPopup() == popup;
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, QPoint(450, 150));
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    EXPECT_TRUE(stayedOnOwnRelease);
    EXPECT_TRUE(stayedOverEmptyPart);
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_TRUE(b.clicks.empty());
    EXPECT_EQ(b.bar->View().Selection(), nullptr);

    // A second press on the open menu's title closes it on its release; a press on a row
    // and its release there runs the row.
    b.inLoop(
        [&] {
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, b.centre(kFile));
            QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile));
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, b.centre(kFile));
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    EXPECT_EQ(openPopup(), nullptr);
    b.inLoop(
        [&] {
            TTBPopupWindow* popup = openPopup();
            ASSERT_NE(popup, nullptr);
            const TRect save = popup->View().Cells()[2]->BoundsRect;
            QPoint row = popup->contentsRect().topLeft() + QPoint(save.left + 5, (save.top + save.bottom) / 2);
            QTest::mouseMove(popup->windowHandle(), row);
            QTest::mousePress(popup->windowHandle(), Qt::LeftButton, {}, row);
            QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, row);
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Save"});
}

TEST(ToolbarView, MenuBarKeys) {
    Bar b;
    b.bar->SetMenuBar(true);
    struct Step {
        Qt::Key key;
        const char* selected;
        bool popupOpen;
    } steps[] = {
        {Qt::Key_Right, "&Edit", false},  // walks the bar
        {Qt::Key_Down, "&Copy", true},    // opens the menu with its first item
        {Qt::Key_Down, "Cu&t", true},
        {Qt::Key_Left, "&Open", true},    // the menu beside opens in its place
        {Qt::Key_Right, "&Copy", true},   // no submenu to enter: on along the bar
        {Qt::Key_Right, "&Go", false},    // a button: nothing opens
        {Qt::Key_Right, "&Options", true},
    };
    constexpr std::size_t kSteps = std::size(steps);
    std::vector<std::string> seen;
    std::vector<bool> open;
    bool accelsShown = false;
    b.inLoop(
        [&] {
            accelsShown = b.bar->View().AcceleratorsShown();
            seen.push_back(b.selected());
            for (const Step& s : steps) {
                b.key(s.key);
                seen.push_back(b.selected());
                open.push_back(openPopup() != nullptr);
            }
            b.key(Qt::Key_Escape);  // closes the menu only
            open.push_back(openPopup() != nullptr);
            b.key(Qt::Key_Escape);  // nothing open: the loop ends
        },
        [&] { EXPECT_TRUE(b.bar->OpenByAccelerator(0, false)); });
    EXPECT_TRUE(accelsShown);
    ASSERT_EQ(seen.size(), kSteps + 1);
    EXPECT_EQ(seen[0], "&File");
    ASSERT_EQ(open.size(), kSteps + 1);
    for (std::size_t i = 0; i < kSteps; ++i) {
        EXPECT_EQ(seen[i + 1], steps[i].selected) << i;
        EXPECT_EQ(open[i], steps[i].popupOpen) << i;
    }
    EXPECT_FALSE(open.back());
    EXPECT_EQ(b.bar->View().AcceleratorsShown(), KeyboardCuesOn());  // hidden again unless the desktop shows them
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);

    // Esc in an open menu closes only it; F1 over an item with help ends with kind 3.
    b.script.root->Items(kEdit)->Items(0)->SetHelpContext(77);
    int helped = 0;
    LoopServices services;
    services.help = [&](int context) { helped = context; };
    SetLoopServices(services);
    bool stillInLoop = false;
    b.inLoop(
        [&] {
            b.key(Qt::Key_Escape);
            stillInLoop = (b.bar->View().ViewFlags & vsMenuLoop) && openPopup() == nullptr;
            b.key(Qt::Key_Right);
            b.key(Qt::Key_Down);
            b.key(Qt::Key_F1);
        },
        [&] { EXPECT_TRUE(b.bar->OpenByAccelerator('f', true)); });
    SetLoopServices({});
    EXPECT_TRUE(stillInLoop);
    EXPECT_EQ(helped, 77);
}

TEST(ToolbarView, AcceleratorsOpenClickOrAreRefused) {
    Bar b;
    EXPECT_FALSE(b.bar->OpenByAccelerator('p', true));  // "Paste" has no accelerator: first letters do not count
    EXPECT_TRUE(b.bar->OpenByAccelerator('g', true));   // a plain button clicks at once
    QCoreApplication::processEvents();
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Go"});
    b.script.root->Items(kGo)->SetEnabled(false);
    EXPECT_FALSE(b.bar->OpenByAccelerator('g', true));
}

TEST(ToolbarView, TheEndingKeyTypesNothing) {
    Bar b;
    b.edit->setFocus();
    QTest::keyClick(b.win(), Qt::Key_A);  // the edit has the keyboard outside the loop
    ASSERT_EQ(b.edit->text(), "a") << "keys do not reach the focused edit: the test proves nothing";
    b.edit->clear();
    b.inLoop([&] { b.key(Qt::Key_S); },  // "&Save", alone in the open File menu: runs at once
             [&] { EXPECT_TRUE(b.bar->OpenByAccelerator('f', true)); });
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Save"});
    EXPECT_TRUE(b.edit->text().isEmpty());
    QTest::keyClick(b.win(), Qt::Key_B);  // and the edit has it back
    EXPECT_EQ(b.edit->text(), "b");
}

TEST(ToolbarView, WhatEndsTheLoop) {
    Bar b;
    // The application going inactive takes the capture away.
    b.inLoop(
        [&] {
            QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
            QCoreApplication::sendEvent(qApp, &inactive);
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(b.bar->View().ViewFlags & vsMenuLoop);

    // Another window taking the mouse.
    QWidget other;
    other.show();
    b.inLoop(
        [&] {
            other.grabMouse();
            QTest::mouseMove(b.win(), b.centre(kEdit));
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    other.releaseMouse();
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_FALSE(b.bar->View().ViewFlags & vsMenuLoop);

    // A handler freeing the toolbar while its loop runs: no action, no crash.
    b.inLoop([&] { delete b.bar; }, [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    EXPECT_TRUE(b.bar.isNull());
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(b.clicks.empty());
}

TEST(ToolbarView, APopupHandlerFreeingTheToolbar) {
    Bar b;
    b.script.root->Items(kFile)->OnPopup = [&](TTBCustomItem*, bool) { b.bar->deleteLater(); };
    b.inLoop([&] { QTest::mouseMove(b.win(), b.centre(kEdit)); },
             [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.bar.isNull());
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// Last of the loop tests in this file: QCoreApplication::exit() leaves every event loop.
TEST(ToolbarView, ApplicationExitEndsTheLoop) {
    Bar b;
    b.inLoop([&] { QCoreApplication::exit(0); },
             [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kFile)); });
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_FALSE(b.bar->View().ViewFlags & vsMenuLoop);
    // The exit stays asked for until an application loop ends: run one to clear it.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST(ToolbarView, DoubleClickRunsTheDefaultItem) {
    Bar b;
    b.script.root->Items(kTools)->Items(1)->SetOptions(tboDefault);
    // The first press opens the menu and its release keeps it; the second press comes with
    // a double click.
    b.inLoop(
        [&] {
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, b.centre(kTools));
            QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kTools));
            const QPoint local = b.bar->mapFrom(&b.window, b.centre(kTools));
            QMouseEvent dbl(QEvent::MouseButtonDblClick, local, b.bar->mapToGlobal(local), Qt::LeftButton,
                            Qt::LeftButton, {});
            QCoreApplication::sendEvent(openPopup() ? static_cast<QWidget*>(openPopup()) : b.bar.data(), &dbl);
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, b.centre(kTools)); });
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Default"});
    EXPECT_EQ(openPopup(), nullptr);
}

TEST(ToolbarView, TheChevronListsOnlyTheHiddenButtons) {
    Bar b(R"(view toolbar
button "One"
button "Two"
separator
button "Three"
button "Four"
)");
    TTBView& view = b.bar->View();
    view.ChevronLimit = view.Cells()[0]->BoundsRect.Width() * 2 + 12;
    view.InvalidatePositions();
    view.ValidatePositions();
    std::vector<std::string> hidden, listed;
    for (const auto& c : view.Cells())
        if (c->HiddenByChevron) hidden.push_back(c->Item()->Caption());
    ASSERT_FALSE(hidden.empty());
    const TTBItemViewer& chevron = *view.Cells().back();
    ASSERT_EQ(chevron.Item(), &b.bar->Chevron());
    ASSERT_TRUE(chevron.IsShown);
    EXPECT_TRUE(b.bar->Chevron().Enabled());
    // The double arrow: its first row 0xCC at (left + 2, top + 4).
    QImage img = b.bar->grab().toImage();
    EXPECT_EQ(img.pixel(chevron.BoundsRect.left + 2, chevron.BoundsRect.top + 4), SysColor(TSysColor::BtnText).rgb());
    EXPECT_NE(img.pixel(chevron.BoundsRect.left + 4, chevron.BoundsRect.top + 4), SysColor(TSysColor::BtnText).rgb());

    const QPoint at = b.bar->mapTo(&b.window, QPoint(chevron.BoundsRect.left + 5, chevron.BoundsRect.top + 5));
    b.inLoop(
        [&] {
            TTBPopupWindow* popup = openPopup();
            ASSERT_NE(popup, nullptr);
            EXPECT_TRUE(popup->View().ForToolbar());  // buttons, not menu rows
            for (const auto& c : popup->View().Cells())
                if (c->IsShown) listed.push_back(c->Item()->Caption());
            // The last one runs from there, on the release of its own press.
            const TTBItemViewer* last = nullptr;
            for (const auto& c : popup->View().Cells())
                if (c->IsShown) last = c.get();
            ASSERT_NE(last, nullptr);
            QPoint p = popup->contentsRect().topLeft() +
                       QPoint((last->BoundsRect.left + last->BoundsRect.right) / 2, (last->BoundsRect.top + last->BoundsRect.bottom) / 2);
            QTest::mouseRelease(b.win(), Qt::LeftButton, {}, at);
            QTest::mouseMove(popup->windowHandle(), p);
            QTest::mousePress(popup->windowHandle(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, p);
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, at); });
    EXPECT_EQ(listed, hidden);
    ASSERT_EQ(b.clicks.size(), 1u);
    EXPECT_EQ(b.clicks[0], hidden.back());
    // Used from the chevron, it has priority on the toolbar now: shown there, another hidden.
    const TTBItemViewer* used = nullptr;
    for (const auto& c : view.Cells())
        if (c->Item()->Caption() == hidden.back()) used = c.get();
    ASSERT_NE(used, nullptr);
    EXPECT_TRUE(used->IsShown);
}

TEST(ToolbarView, HintsOverCellsAndInTheApplication) {
    Bar b;
    QAction open("&Open");
    open.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    open.setToolTip("Open a file");
    open.setStatusTip("Opens a file from disk");
    TTBCustomItem* openItem = b.script.root->Items(kFile)->Items(0);
    openItem->SetAction(QtActionSource::For(&open));
    openItem->SetOptions(tboShowHint);
    b.script.root->Items(kGo)->SetHint("Go there|Goes to the place");
    std::vector<std::string> appHints;
    SetApplicationHintSetter([&](const std::string& h) { appHints.push_back(h); });

    b.bar->SetShowHints(true);
    const QPoint go = b.bar->mapFrom(&b.window, b.centre(kGo));
    QTest::mouseMove(b.win(), b.centre(kGo));
    EXPECT_EQ(appHints.back(), "Goes to the place");  // the long hint goes to the status bar
    QHelpEvent overGo(QEvent::ToolTip, go, b.bar->mapToGlobal(go));
    QCoreApplication::sendEvent(b.bar, &overGo);
    EXPECT_EQ(QToolTip::text(), "Go there");

    QString popupTip;
    b.inLoop(
        [&] {
            TTBPopupWindow* popup = openPopup();
            ASSERT_NE(popup, nullptr);
            QPoint p = popup->contentsRect().topLeft() + QPoint(10, 5);
            QHelpEvent overOpen(QEvent::ToolTip, p, popup->mapToGlobal(p));
            QCoreApplication::sendEvent(popup, &overOpen);
            popupTip = QToolTip::text();
            b.key(Qt::Key_Down);
            b.key(Qt::Key_Up);  // back on Open: its long hint
            b.key(Qt::Key_Escape);
            b.key(Qt::Key_Escape);
        },
        [&] { EXPECT_TRUE(b.bar->OpenByAccelerator('f', true)); });
    SetApplicationHintSetter(nullptr);
    EXPECT_EQ(popupTip, "Open a file (Ctrl+O)");
    EXPECT_NE(std::find(appHints.begin(), appHints.end(), "Opens a file from disk"), appHints.end());
    EXPECT_EQ(appHints.back(), "");  // cleared when the loop ends
}

TEST(ToolbarView, ThePopupSound) {
    // Before the window, except the very first time in the process (this test's first).
    Bar b;
    std::vector<bool> visibleAtSound;
    LoopServices services;
    services.soundEnabled = [](std::string_view alias) { return alias == "MenuPopup"; };
    services.playSound = [&](std::string_view alias) {
        if (alias == "MenuPopup") visibleAtSound.push_back(openPopup() && openPopup()->isVisible());
    };
    SetLoopServices(services);
    for (int i = 0; i < 2; ++i)
        b.inLoop([&] { b.key(Qt::Key_Escape), b.key(Qt::Key_Escape); },
                 [&] { EXPECT_TRUE(b.bar->OpenByAccelerator('f', true)); });
    SetLoopServices({});
    EXPECT_EQ(visibleAtSound, (std::vector<bool>{true, false}));
}
