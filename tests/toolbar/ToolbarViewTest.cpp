// A toolbar view rooted in a plain widget, driven through Qt's own event routing (QTest's
// QWindow overloads): presses on buttons and menus, the menu bar's keys, the capture the
// loop holds and what ends it, chevron popups, hints and the popup sound.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QtTest/QTest>
#include <fstream>
#include <sstream>
#include <utility>

#include "ItemScript.h"
#include "support/QtTestApp.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtPopupWindow.h"
#include "toolbar/ui/QtToolbarView.h"

using namespace tb;
using namespace tbtest;

namespace {

// File (Open, a separator, Save), Edit (Copy, Cut), Go, Tools (a drop-down), Paste.
const std::string kMenuBar = std::string(GS_TEST_TOOLS_DIR) + "/../toolbar/data/menu-bar.txt";
enum { kFile, kEdit, kGo, kTools, kPaste };

struct Bar {
    bool appMade = (gstest::qtTestApp(), true);  // before the first widget
    ItemScript script;
    QWidget window;
    QLineEdit* edit;
    QPointer<TTBToolbarView> bar;
    std::vector<std::string> clicks;

    // A tree from `text`, or from the menu bar's file.
    explicit Bar(const char* text = nullptr) {
        InstallQtClickPoster();
        std::ifstream file(kMenuBar);
        std::istringstream given(text ? text : "");
        if (!text && !file) throw std::runtime_error("missing test material " + kMenuBar);
        script = ParseItemScript(text ? static_cast<std::istream&>(given) : file);
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
    void press(int cell) { QTest::mousePress(win(), Qt::LeftButton, {}, centre(cell)); }
    void release(QPoint at) { QTest::mouseRelease(win(), Qt::LeftButton, {}, at); }
    void pressed(int cell, const std::function<void()>& script) { inLoop(script, [&] { press(cell); }); }
    void byKey(char c, const std::function<void()>& script) {
        inLoop(script, [&] { EXPECT_TRUE(bar->OpenByAccelerator(c, true)); });
    }
};

TTBPopupWindow* openPopup() { return dynamic_cast<TTBPopupWindow*>(QApplication::activePopupWidget()); }

}  // namespace

TEST(ToolbarView, ButtonsClickOnTheReleaseOfTheirOwnPress) {
    Bar b;
    const TRect go = b.bar->View().Cells()[kGo]->BoundsRect;
    auto corner = [&] { return b.bar->grab().toImage().pixel(go.left, go.top); };
    QRgb held = 0, heldOutside = 0;
    b.pressed(kGo, [&] {
        EXPECT_EQ(QWidget::mouseGrabber(), b.bar.data());  // the toolbar holds the capture
        EXPECT_EQ(QWidget::keyboardGrabber(), b.bar.data());
        held = corner();
        QTest::mouseMove(b.win(), QPoint(300, 150));
        heldOutside = corner();
        QTest::mouseMove(b.win(), b.centre(kGo));
        b.release(b.centre(kGo));
    });
    EXPECT_EQ(held, SysColor(TSysColor::BtnShadow).rgb());  // sunken while held over it
    EXPECT_NE(heldOutside, SysColor(TSysColor::BtnShadow).rgb());
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Go"});
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    b.pressed(kGo, [&] { b.release(b.centre(kPaste)); });  // released over another: nothing
    EXPECT_EQ(b.clicks.size(), 1u);
}

TEST(ToolbarView, MenusOpenOnPressAndCloseOnAReleaseOutside) {
    Bar b;
    std::vector<bool> open;
    b.pressed(kFile, [&] {
        TTBPopupWindow* popup = openPopup();
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->windowHandle()->transientParent(), b.win());  // over the toolbar's window
        const TRect file = b.bar->View().Cells()[kFile]->BoundsRect;  // pushed while its menu is open
        EXPECT_EQ(b.bar->grab().toImage().pixel(file.left, file.top), SysColor(TSysColor::BtnShadow).rgb());
        b.release(b.centre(kFile));  // the opening press's release
        open.push_back(openPopup() == popup);
        const TRect sep = popup->View().Cells()[1]->BoundsRect;  // a popup's empty part
        QPoint onSeparator = popup->contentsRect().topLeft() + QPoint(sep.left + 5, (sep.top + sep.bottom) / 2);
        QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, onSeparator);
        open.push_back(openPopup() == popup);
        b.release(QPoint(450, 150));  // outside: the loop ends
    });
    EXPECT_EQ(open, (std::vector<bool>{true, true}));
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_TRUE(b.clicks.empty());
    b.pressed(kFile, [&] {  // a second press on the title closes the menu on its release
        b.release(b.centre(kFile));
        b.press(kFile);
        b.release(b.centre(kFile));
    });
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_FALSE(b.bar->View().ViewFlags & vsMenuLoop);
}

// A press outside the menus ends the loop and reaches what it landed on as one ordinary click
// with its own release, and the focus: with a menu open (Qt's popup has the mouse) and on the
// bar's own loop (the bar has it); the release coming after the loop has ended, or with the
// press, while the loop still holds the mouse. A second toolbar pressed so runs its own loop
// and clicks its button; no grab is left.
TEST(ToolbarView, ThePressThatEndsTheLoopIsOneClickOfItsWidget) {
    Bar b;
    auto* button = new QPushButton("Push", &b.window);
    button->move(200, 80);
    button->show();
    int pushed = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++pushed; });
    std::istringstream otherText("view toolbar\nbutton \"Other\"\n");
    ItemScript other = ParseItemScript(otherText);
    std::vector<std::string> otherClicks;
    other.root->Items(0)->SetOnClick([&](TTBCustomItem* i) { otherClicks.push_back(i->Caption()); });
    auto* otherBar = new TTBToolbarView(other.root.get(), &b.window);
    otherBar->move(0, 140);
    otherBar->show();
    const TRect& o = otherBar->View().Cells()[0]->BoundsRect;
    struct Target {
        const char* name;
        QWidget* widget;
        QPoint at;
        std::function<int()> clicks;
    } targets[] = {
        {"edit", b.edit, b.edit->geometry().topLeft() + QPoint(5, 4), [&] { return int(b.edit->hasFocus()); }},
        {"button", button, button->geometry().center(), [&] { return pushed; }},
        {"toolbar", otherBar, otherBar->mapTo(&b.window, QPoint((o.left + o.right) / 2, (o.top + o.bottom) / 2)),
         [&] { return int(otherClicks.size()); }},
    };
    // Releases the button once the widget has had the press (a toolbar is in its loop then).
    struct ReleaseAfterPress : QObject {
        std::function<void()> release;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress && release) QTimer::singleShot(0, std::exchange(release, nullptr));
            return false;
        }
    } releaseAfter;
    for (const Target& t : targets)
        for (bool menuOpen : {true, false})
            for (bool together : {true, false}) {
                const std::string what = std::string(t.name) + (menuOpen ? " menu open" : " bar loop") +
                                         (together ? " together" : " apart");
                pushed = 0;
                otherClicks.clear();
                b.bar->setFocus();
                t.widget->installEventFilter(&releaseAfter);
                if (!together) releaseAfter.release = [&] { b.release(t.at); };
                b.inLoop(
                    [&] {
                        if (menuOpen) b.release(b.centre(kFile));
                        QTest::mousePress(b.win(), Qt::LeftButton, {}, t.at);
                        if (together) b.release(t.at);
                    },
                    [&] { menuOpen ? b.press(kFile) : void(b.bar->StartToolbarLoop(tbloPickFirst)); });
                for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();  // the press, its release, a click
                t.widget->removeEventFilter(&releaseAfter);
                EXPECT_EQ(t.clicks(), 1) << what;
                EXPECT_FALSE(button->isDown()) << what;
                EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << what;
                EXPECT_EQ(QWidget::keyboardGrabber(), nullptr) << what;
                EXPECT_FALSE(otherBar->View().ViewFlags & vsMenuLoop) << what;
                EXPECT_EQ(openPopup(), nullptr) << what;
            }
    EXPECT_TRUE(b.clicks.empty());
}

TEST(ToolbarView, MenuBarKeys) {
    Bar b;
    b.bar->SetMenuBar(true);
    struct Step {
        Qt::Key key;
        const char* selected;
        bool popupOpen;
    } steps[] = {
        {Qt::Key_Right, "&Edit", false},    // walks the bar
        {Qt::Key_Down, "&Copy", true},      // opens the menu with its first item
        {Qt::Key_Down, "Cu&t", true},
        {Qt::Key_Left, "&Open", true},      // the menu beside opens in its place
        {Qt::Key_Right, "&Copy", true},     // no submenu to enter: on along the bar
        {Qt::Key_Right, "&Go", false},      // a button: nothing opens
        {Qt::Key_Right, "&Options", true},
        {Qt::Key_Escape, "&Tools", false},  // closes the menu only
    };
    std::vector<std::string> seen;
    std::vector<bool> open;
    bool accelsShown = false;
    b.inLoop(
        [&] {
            accelsShown = b.bar->View().AcceleratorsShown();
            for (const Step& s : steps) {
                b.key(s.key);
                seen.push_back(b.selected());
                open.push_back(openPopup() != nullptr);
            }
            b.key(Qt::Key_Escape);  // nothing open: the loop ends
        },
        [&] { EXPECT_TRUE(b.bar->OpenByAccelerator(0, false)); });  // the first item, nothing open
    EXPECT_TRUE(accelsShown);
    ASSERT_EQ(seen.size(), std::size(steps));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], steps[i].selected) << i;
        EXPECT_EQ(open[i], steps[i].popupOpen) << i;
    }
    EXPECT_FALSE(b.bar->View().ViewFlags & vsMenuLoop);
    EXPECT_EQ(b.bar->View().AcceleratorsShown(), KeyboardCuesOn());  // hidden again unless the desktop shows them
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST(ToolbarView, AcceleratorsAndTheEndingKey) {
    Bar b;
    EXPECT_FALSE(b.bar->OpenByAccelerator('p', true));  // "Paste" has no accelerator; first letters do not count
    EXPECT_TRUE(b.bar->OpenByAccelerator('g', true));   // a plain button clicks at once
    QCoreApplication::processEvents();
    EXPECT_EQ(b.clicks, std::vector<std::string>{"&Go"});
    b.edit->setFocus();
    QTest::keyClick(b.win(), Qt::Key_A);  // the edit has the keyboard outside the loop
    ASSERT_EQ(b.edit->text(), "a") << "keys do not reach the focused edit: the test proves nothing";
    b.edit->clear();
    b.byKey('f', [&] { b.key(Qt::Key_S); });  // "&Save", alone in the open File menu: runs at once
    EXPECT_EQ(b.clicks.back(), "&Save");
    EXPECT_TRUE(b.edit->text().isEmpty());
}

TEST(ToolbarView, WhatEndsTheLoop) {
    Bar b;
    QWidget other;
    other.show();
    const std::pair<const char*, std::function<void()>> enders[] = {
        {"the application goes inactive",
         [] {
             QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
             QCoreApplication::sendEvent(qApp, &inactive);
         }},
        {"another window takes the mouse",
         [&] {
             other.grabMouse();
             QTest::mouseMove(b.win(), b.centre(kEdit));
             other.releaseMouse();
         }},
        {"QCoreApplication::exit()", [] { QCoreApplication::exit(0); }},
        {"a handler frees the toolbar", [&] { delete b.bar; }},
    };
    for (const auto& [name, ender] : enders) {
        b.pressed(kFile, ender);
        EXPECT_EQ(openPopup(), nullptr) << name;
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << name;
        EXPECT_TRUE(!b.bar || !(b.bar->View().ViewFlags & vsMenuLoop)) << name;
        // An exit stays asked for until an application loop ends: run one to clear it.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    EXPECT_TRUE(b.bar.isNull());
    EXPECT_TRUE(b.clicks.empty());
}

TEST(ToolbarView, APopupHandlerFreeingTheToolbar) {
    Bar b;
    b.script.root->Items(kFile)->OnPopup = [&](TTBCustomItem*, bool) { b.bar->deleteLater(); };
    b.pressed(kFile, [&] { QTest::mouseMove(b.win(), b.centre(kEdit)); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.bar.isNull());
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(ToolbarView, TheChevronListsOnlyTheHiddenButtons) {
    Bar b("view toolbar\nbutton \"One\"\nbutton \"Two\"\nseparator\nbutton \"Three\"\nbutton \"Four\"\n");
    TTBView& view = b.bar->View();
    view.ChevronLimit = view.Cells()[0]->BoundsRect.Width() * 2 + TTBChevronItem::kChevronLength;
    view.InvalidatePositions();
    view.ValidatePositions();
    std::vector<std::string> hidden, listed;
    for (const auto& c : view.Cells())
        if (c->HiddenByChevron) hidden.push_back(c->Item()->Caption());
    ASSERT_EQ(hidden, (std::vector<std::string>{"Three", "Four"}));  // the least recently used
    const TRect chevron = view.Cells().back()->BoundsRect;
    ASSERT_TRUE(view.Cells().back()->IsShown);
    QImage img = b.bar->grab().toImage();  // the double arrow's first row, 0xCC
    EXPECT_EQ(img.pixel(chevron.left + 2, chevron.top + 4), SysColor(TSysColor::BtnText).rgb());
    EXPECT_NE(img.pixel(chevron.left + 4, chevron.top + 4), SysColor(TSysColor::BtnText).rgb());

    const QPoint at = b.bar->mapTo(&b.window, QPoint(chevron.left + 5, chevron.top + 5));
    b.inLoop(
        [&] {
            TTBPopupWindow* popup = openPopup();
            ASSERT_NE(popup, nullptr);
            EXPECT_TRUE(popup->View().ForToolbar());  // buttons, not menu rows
            for (const auto& c : popup->View().Cells())
                if (c->IsShown) listed.push_back(c->Item()->Caption());
            const TRect four = popup->View().Cells()[4]->BoundsRect;
            QPoint p = popup->contentsRect().topLeft() + QPoint(four.left + 4, four.top + 4);
            b.release(at);
            QTest::mouseMove(popup->windowHandle(), p);
            QTest::mousePress(popup->windowHandle(), Qt::LeftButton, {}, p);
            QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, p);
        },
        [&] { QTest::mousePress(b.win(), Qt::LeftButton, {}, at); });
    EXPECT_EQ(listed, hidden);
    EXPECT_EQ(b.clicks, std::vector<std::string>{"Four"});
    EXPECT_TRUE(view.Cells()[4]->IsShown);  // used from the chevron: it has priority on the toolbar now
}

TEST(ToolbarView, HintsOverCellsAndInTheApplication) {
    Bar b;
    QAction open("&Open");  // the hint with the shortcut of the item's action
    open.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    open.setToolTip("Open a file");
    open.setStatusTip("Opens a file from disk");
    TTBCustomItem* openItem = b.script.root->Items(kFile)->Items(0);
    openItem->SetAction(TQtActionSource::For(&open));
    openItem->SetOptions(tboShowHint);
    b.script.root->Items(kGo)->SetHint("Go there|Goes to the place");
    std::vector<std::string> appHints;
    SetApplicationHintSetter([&](const std::string& h) { appHints.push_back(h); });
    auto tipAt = [](QWidget* w, QPoint p) {
        QHelpEvent help(QEvent::ToolTip, p, w->mapToGlobal(p));
        QCoreApplication::sendEvent(w, &help);
        return QToolTip::text();
    };
    b.bar->SetShowHints(true);
    QTest::mouseMove(b.win(), b.centre(kGo));
    EXPECT_EQ(appHints.back(), "Goes to the place");  // the long hint, for the status bar
    EXPECT_EQ(tipAt(b.bar, b.bar->mapFrom(&b.window, b.centre(kGo))), "Go there");
    QString popupTip;
    b.byKey('f', [&] {
        popupTip = tipAt(openPopup(), openPopup()->contentsRect().topLeft() + QPoint(10, 5));
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Escape, Qt::Key_Escape}) b.key(k);
    });
    SetApplicationHintSetter(nullptr);
    EXPECT_EQ(popupTip, "Open a file (Ctrl+O)");
    EXPECT_NE(std::find(appHints.begin(), appHints.end(), "Opens a file from disk"), appHints.end());
    EXPECT_EQ(appHints.back(), "");  // cleared when the loop ends
}

TEST(ToolbarView, ThePopupSound) {
    // Before the window, except the very first time in the process (ctest runs each test alone).
    Bar b;
    std::vector<bool> visibleAtSound;
    TLoopServices services;
    services.soundEnabled = [](std::string_view alias) { return alias == "MenuPopup"; };
    services.playSound = [&](std::string_view) { visibleAtSound.push_back(openPopup() && openPopup()->isVisible()); };
    SetLoopServices(services);
    for (int i = 0; i < 2; ++i) b.byKey('f', [&] { b.key(Qt::Key_Escape), b.key(Qt::Key_Escape); });
    SetLoopServices({});
    EXPECT_EQ(visibleAtSound, (std::vector<bool>{true, false}));
}
