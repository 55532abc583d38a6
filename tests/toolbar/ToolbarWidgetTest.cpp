// The toolbar control on a form with four docks, offscreen: menu-bar mode's defaults,
// the keys of the key-menu router driven as real key events on the form's window (Alt,
// Alt+key, F10, typed characters, shortcuts next to the form's own Qt shortcuts), the
// chevron of a toolbar in a dock too short for it, control items for child widgets, a
// move to another dock and the floating resize.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>
#include <array>
#include <cstdint>
#include <cstring>
#include <set>
#include <sstream>

#include "DockForm.h"
#include "ItemScript.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtKeyMenu.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtPopupWindow.h"
#include "toolbar/ui/QtSystemMenu.h"
#include "toolbar/ui/QtToolbar.h"

using namespace tb;
using namespace tbtest;

namespace {

// File and Favorites share F; Go is the only G.
constexpr const char* kMenuItems = R"(submenu "&File"
  button "&Open"
  button "&Save"
submenu "&Favorites"
  button "&Add"
submenu "&Edit"
  button "&Copy"
button "&Go"
)";
// Find and Filter share F; Help is the only H. Cells: Find, Filter, separator, Help.
constexpr const char* kMainItems = R"(button "&Find"
button "&Filter" shortcut=Ctrl+P
separator
button "&Help"
)";

TTBPopupWindow* openPopup() { return dynamic_cast<TTBPopupWindow*>(QApplication::activePopupWidget()); }

struct Toolbars : Form {
    ItemScript menuItems, mainItems;  // own the items; outlive the toolbars
    QPointer<TTBToolbar> menu, main;
    std::vector<std::string> clicks;
    int beeps = 0;

    Toolbars(const char* menuText = kMenuItems, const char* mainText = kMainItems) {
        InstallQtClickPoster();
        SetKeyMenuBeep([this] { ++beeps; });
        menu = make("tbMenu", menuItems, menuText);
        menu->SetMenuBar(true);
        main = make("tbMain", mainItems, mainText);
        settle();
        QApplication::setActiveWindow(&form);
        form.setFocus();
    }
    ~Toolbars() {
        delete main;
        delete menu;
        SetKeyMenuBeep(nullptr);
        QApplication::setActiveWindow(nullptr);
    }
    TTBToolbar* make(const char* name, ItemScript& script, const char* text) {
        std::istringstream in(text);
        script = ParseItemScript(in);
        auto* t = new TTBToolbar;
        t->setObjectName(name);
        while (script.root->Count() > 0) {
            TTBCustomItem* item = script.root->Items(0);
            script.root->Remove(item);
            t->Items().Add(item);
        }
        record(&t->Items());
        t->SetCurrentDock(top);
        return t;
    }
    void record(TTBCustomItem* parent) {
        for (int i = 0; i < parent->Count(); ++i) {
            TTBCustomItem* item = parent->Items(i);
            if (item->Count() == 0)
                item->SetOnClick([this](TTBCustomItem* sender) { clicks.push_back(sender->Caption()); });
            record(item);
        }
    }
    QWindow* win() { return form.windowHandle(); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(win(), k, mods); }
    // Runs `script` inside the menu loop `start` enters, if it enters one (keys sent on the
    // way may run timers before it does); then lets posted clicks run. True when it did.
    bool inLoop(const std::function<void()>& script, const std::function<void()>& start) {
        bool entered = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (TTBToolbar* t : {menu.data(), main.data()})
                if (t && (t->View().ViewFlags & vsMenuLoop) && !entered) {
                    entered = true;
                    poll.stop();
                    script();
                    return;
                }
        });
        poll.start(0);
        start();
        poll.stop();
        QCoreApplication::processEvents();
        return entered;
    }
    static std::string selected(TTBView& root) {
        TTBView* v = &root;
        while (v->PopupViewOpen()) v = v->PopupViewOpen();
        return v->Selection() ? v->Selection()->Item()->Caption() : "";
    }
    QPoint centreOf(TTBToolbar* t, int cell) {
        const TRect& r = t->View().Cells()[std::size_t(cell)]->BoundsRect;
        return t->ViewWidget().mapTo(&form, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
};

}  // namespace

TEST(Toolbar, MenuBarDefaultsOutsideLoadingOnly) {
    Toolbars t;
    EXPECT_TRUE(t.menu->FullSize());  // the menu bar takes the dock's whole width
    EXPECT_EQ(t.menu->width(), t.top->width());
    EXPECT_FALSE(t.menu->CloseButton());
    EXPECT_EQ(t.menu->ShrinkMode(), TTBShrinkMode::tbsmWrap);
    EXPECT_TRUE(t.menu->ProcessShortCuts());
    EXPECT_TRUE(t.menu->ViewWidget().MenuBar());
    EXPECT_EQ(t.main->ShrinkMode(), TTBShrinkMode::tbsmChevron);
    EXPECT_LT(t.main->width(), t.top->width());

    TTBToolbar loaded;  // a form being read: what was stored stays
    loaded.BeginLoading();
    loaded.SetShrinkMode(TTBShrinkMode::tbsmNone);
    loaded.SetMenuBar(true);
    auto* edit = new QLineEdit(&loaded);
    QCoreApplication::processEvents();
    EXPECT_EQ(loaded.FindControlItem(edit), nullptr);  // wrapped once loading ends
    loaded.EndLoading();
    EXPECT_TRUE(loaded.MenuBar());
    EXPECT_FALSE(loaded.FullSize());
    EXPECT_TRUE(loaded.CloseButton());
    EXPECT_EQ(loaded.ShrinkMode(), TTBShrinkMode::tbsmNone);
    EXPECT_FALSE(loaded.ProcessShortCuts());
    EXPECT_TRUE(loaded.Core().ShortcutsRegistered());  // a menu bar answers its form's keys anyway
    EXPECT_NE(loaded.FindControlItem(edit), nullptr);

    // The settings as the form storage sees them.
    EXPECT_TRUE(t.menu->property("MenuBar").toBool());
    EXPECT_EQ(t.menu->property("ShrinkMode").toInt(), int(TTBShrinkMode::tbsmWrap));
    EXPECT_EQ(t.main->property("ChevronHint").toString(), "More Buttons|");
    EXPECT_FALSE(t.main->Core().ChevronHintStored());  // the default is not written
    t.main->setProperty("ChevronHint", "More|Shows the buttons that do not fit");
    EXPECT_TRUE(t.main->Core().ChevronHintStored());
    EXPECT_EQ(t.main->Chevron().Hint(), "More|Shows the buttons that do not fit");

    t.menu->SetMenuBar(false);  // and back to a toolbar's defaults
    EXPECT_FALSE(t.menu->FullSize());
    EXPECT_TRUE(t.menu->CloseButton());
    EXPECT_EQ(t.menu->ShrinkMode(), TTBShrinkMode::tbsmChevron);
    EXPECT_FALSE(t.menu->Core().ShortcutsRegistered());
}

TEST(ToolbarKeys, AltKeysOnTheMenuBar) {
    Toolbars t;
    auto* edit = new QLineEdit(&t.form);  // a focused widget lets Alt+keys through
    edit->move(200, 200);
    edit->show();
    edit->setFocus();
    QTest::keyClick(t.win(), Qt::Key_A);
    ASSERT_EQ(edit->text(), "a") << "keys do not reach the form: the test proves nothing";

    t.key(Qt::Key_Minus, Qt::AltModifier);  // the window's own menu may have it: no sound
    EXPECT_EQ(t.beeps, 0);
    t.key(Qt::Key_Space, Qt::AltModifier);  // the window manager's
    EXPECT_EQ(t.beeps, 0);
    edit->clear();  // both went on to the edit, as keys nobody took do
    t.key(Qt::Key_Q, Qt::AltModifier);  // nothing has Q
    EXPECT_EQ(t.beeps, 1);
    EXPECT_FALSE(t.menu->View().ViewFlags & vsMenuLoop);

    // G is one plain button: it clicks at once.
    t.key(Qt::Key_G, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.clicks, std::vector<std::string>{"&Go"});
    // F is shared by File and Favorites: the first is selected, nothing opens.
    std::string selected;
    bool popup = true, accels = false;
    const bool entered = t.inLoop(
        [&] {
            selected = Toolbars::selected(t.menu->View());
            popup = openPopup() != nullptr;
            accels = t.menu->View().AcceleratorsShown();
            t.key(Qt::Key_Escape);
        },
        [&] { t.key(Qt::Key_F, Qt::AltModifier); });
    EXPECT_TRUE(entered);
    EXPECT_EQ(selected, "&File");
    EXPECT_FALSE(popup);
    EXPECT_TRUE(accels);
    EXPECT_EQ(t.beeps, 1);
    EXPECT_EQ(edit->text(), "");  // no key of the menu bar's reached the edit
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST(ToolbarKeys, AltTappedAloneOrF10EntersTheMenuBar) {
    Toolbars t;
    for (Qt::Key entry : {Qt::Key_Alt, Qt::Key_F10}) {
        SCOPED_TRACE(entry == Qt::Key_Alt ? "Alt" : "F10");
        std::string first, opened;
        bool popup = false;
        const bool entered = t.inLoop(
            [&] {
                first = Toolbars::selected(t.menu->View());
                t.key(Qt::Key_Return);  // opens the first menu with its first item
                popup = openPopup() != nullptr;
                opened = Toolbars::selected(t.menu->View());
                t.key(Qt::Key_Escape);
                t.key(Qt::Key_Escape);
            },
            [&] { t.key(entry); });
        EXPECT_TRUE(entered);
        EXPECT_EQ(first, "&File");
        EXPECT_TRUE(popup);
        EXPECT_EQ(opened, "&Open");
        EXPECT_FALSE(t.menu->View().ViewFlags & vsMenuLoop);
    }
    // Alt with another key in between is no tap; the accelerators show only while it is down.
    QTest::keyPress(t.win(), Qt::Key_Alt);
    EXPECT_TRUE(t.menu->View().AcceleratorsShown());
    QTest::keyClick(t.win(), Qt::Key_Shift, Qt::AltModifier);
    QTest::keyRelease(t.win(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_FALSE(t.menu->View().AcceleratorsShown() && !KeyboardCuesOn());
    EXPECT_TRUE(t.clicks.empty());
    EXPECT_EQ(t.beeps, 0);
}

TEST(ToolbarKeys, AltThatWentWithAnythingElseIsNoTap) {
    // Whoever took the other key (a Qt shortcut of the form's, a widget, nobody), a mouse
    // press or a switch to another window while Alt was down: its release leaves the menu
    // bar alone, and the next Alt tapped alone still enters it.
    Toolbars t;
    QAction large("Large Icons");
    large.setShortcut(QKeySequence(Qt::ALT | Qt::Key_1));
    t.form.addAction(&large);
    QShortcut small(QKeySequence(Qt::ALT | Qt::Key_2), &t.form);
    int larges = 0, smalls = 0;
    QObject::connect(&large, &QAction::triggered, [&] { ++larges; });
    QObject::connect(&small, &QShortcut::activated, [&] { ++smalls; });
    QWidget other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));  // it comes forward as it shows
    QApplication::setActiveWindow(&t.form);
    t.form.setFocus();
    auto altWith = [&](const std::function<void()>& between) {
        QTest::keyPress(t.win(), Qt::Key_Alt);
        between();
        QTest::keyRelease(t.win(), Qt::Key_Alt, Qt::AltModifier);
    };
    struct Case {
        const char* name;
        std::function<void()> between;  // while Alt is down
        bool entered;
    } cases[] = {
        {"Alt+1, a QAction's", [&] { t.key(Qt::Key_1, Qt::AltModifier); }, false},
        {"Alt+2, a QShortcut's, twice", [&] {
             t.key(Qt::Key_2, Qt::AltModifier);
             t.key(Qt::Key_2, Qt::AltModifier);
         }, false},
        {"Alt+F4 nobody takes", [&] { t.key(Qt::Key_F4, Qt::AltModifier); }, false},
        {"Alt+Tab: another window active and back", [&] {
             QApplication::setActiveWindow(&other);
             QApplication::setActiveWindow(&t.form);
         }, false},
        {"Alt+Tab with no focused widget", [&] {
             t.form.clearFocus();
             QApplication::setActiveWindow(&other);
             QApplication::setActiveWindow(&t.form);
             t.form.setFocus();
         }, false},
        {"Alt+click", [&] {
             QTest::mouseClick(t.win(), Qt::LeftButton, Qt::AltModifier, QPoint(300, 300));
         }, false},
        {"Alt+wheel", [&] {
             QWheelEvent wheel(QPointF(300, 300), QPointF(t.form.mapToGlobal(QPoint(300, 300))), {}, {0, 120},
                               Qt::NoButton, Qt::AltModifier, Qt::NoScrollPhase, false);
             QCoreApplication::sendEvent(t.win(), &wheel);
         }, false},
        {"Alt last went down on another window", [&] {
             QTest::keyPress(other.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
         }, false},
        {"Alt alone", [] {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(QApplication::activeWindow(), &t.form);
        const bool entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] { altWith(c.between); });
        EXPECT_EQ(entered, c.entered);
        EXPECT_FALSE(t.menu->View().ViewFlags & vsMenuLoop);
        EXPECT_EQ(openPopup(), nullptr);
        // Whatever the key after it is, it is no menu bar's: Alt+1 runs its command again.
        const int before = larges;
        const bool next = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] { t.key(Qt::Key_1, Qt::AltModifier); });
        EXPECT_FALSE(next);
        EXPECT_EQ(larges, before + 1);
    }
    EXPECT_EQ(larges, 1 + int(std::size(cases)));
    EXPECT_EQ(smalls, 2);
    EXPECT_TRUE(t.clicks.empty());
    EXPECT_EQ(t.beeps, 0);
}

namespace {

// An X event as the server sends it (32 bytes; the input extension's as its generic
// events), stamped with a server time where its layout keeps one.
std::array<std::uint8_t, 32> XEvent(const std::vector<std::pair<int, std::uint8_t>>& bytes, std::uint32_t time) {
    std::array<std::uint8_t, 32> event{};
    for (auto [offset, value] : bytes) event[offset] = value;
    std::memcpy(event.data() + ((event[0] & 0x7F) == 35 ? 12 : 4), &time, sizeof time);
    return event;
}

// Alt's press and release sent straight to the window with server times of our choosing.
void AltAt(QWindow* window, QEvent::Type type, std::uint32_t time) {
    QKeyEvent key(type, Qt::Key_Alt, type == QEvent::KeyPress ? Qt::AltModifier : Qt::NoModifier);
    key.setTimestamp(time);
    QGuiApplication::sendEvent(window, &key);
}

}  // namespace

TEST(ToolbarKeys, AltWithAMouseTheWindowManagerTookUnderXIsNoTap) {
    // Under X the window manager may take Alt+click for itself: Qt makes no mouse press of
    // it, but the X events the program gets say so. They go through the application's
    // native event filters, stamped with a server time between Alt's press and release.
    Toolbars t;
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::uint8_t>> bytes;  // offset, value
        bool entered;
    } cases[] = {
        {"a core button press", {{0, 4}}, false},
        {"a core button press sent by a client", {{0, 0x84}}, false},
        {"the pointer leaving for a grab", {{0, 8}, {30, 1}}, false},
        {"the pointer leaving normally", {{0, 8}, {30, 0}}, true},
        {"the pointer leaving as a grab ends", {{0, 8}, {30, 2}}, true},
        {"an input extension button press", {{0, 35}, {1, 131}, {8, 4}}, false},
        {"an input extension leave for a grab", {{0, 35}, {1, 131}, {8, 8}, {18, 1}}, false},
        {"an input extension leave for a passive grab", {{0, 35}, {1, 131}, {8, 8}, {18, 4}}, false},
        {"an input extension leave, normal", {{0, 35}, {1, 131}, {8, 8}, {18, 0}}, true},
        {"an input extension motion", {{0, 35}, {1, 131}, {8, 6}}, true},
        {"an input extension button release", {{0, 35}, {1, 131}, {8, 5}}, true},
        {"a property change", {{0, 28}}, true},
    };
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    ASSERT_NE(dispatcher, nullptr);
    std::uint32_t now = 1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        now += 100;
        const bool entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] {
            AltAt(t.win(), QEvent::KeyPress, now);
            auto event = XEvent(c.bytes, now + 5);
            qintptr result = 0;
            EXPECT_FALSE(dispatcher->filterNativeEvent("xcb_generic_event_t", event.data(), &result));  // Qt still has it
            AltAt(t.win(), QEvent::KeyRelease, now + 10);
        });
        EXPECT_EQ(entered, c.entered);
        EXPECT_FALSE(t.menu->View().ViewFlags & vsMenuLoop);
    }
    // A program that falls behind reads the whole gesture at once: its native filters see
    // the click before Qt gives it Alt's press. The server times place the click.
    const struct Batched {
        const char* name;
        std::uint32_t press, click, release;
        bool entered;
    } batched[] = {
        {"a click while Alt was down", 5000, 5005, 5010, false},
        {"a click before Alt went down", 6000, 5990, 6010, true},
        {"a click after Alt came up", 7000, 7020, 7010, true},
        {"a click as the server's clock wraps", 0xFFFFFFF0u, 5, 20, false},
    };
    for (const Batched& b : batched) {
        SCOPED_TRACE(b.name);
        const bool entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] {
            auto click = XEvent({{0, 4}}, b.click);
            qintptr result = 0;
            dispatcher->filterNativeEvent("xcb_generic_event_t", click.data(), &result);
            AltAt(t.win(), QEvent::KeyPress, b.press);
            AltAt(t.win(), QEvent::KeyRelease, b.release);
        });
        EXPECT_EQ(entered, b.entered);
    }
    // Another platform's events are never read as X's.
    std::uint8_t press[32] = {4};
    const bool entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] {
        QTest::keyPress(t.win(), Qt::Key_Alt);
        qintptr result = 0;
        dispatcher->filterNativeEvent("windows_generic_MSG", press, &result);
        QTest::keyRelease(t.win(), Qt::Key_Alt, Qt::AltModifier);
    });
    EXPECT_TRUE(entered);
    EXPECT_TRUE(t.clicks.empty());
}

TEST(ToolbarKeys, HelpAndTheWindowMenuFromInsideTheLoop) {
    // F1 in an open menu asks the program's help for the nearest topic; Alt+Space on the
    // bar asks for the window's menu; Alt tapped in the loop leaves it (and stays out).
    Toolbars t(R"(submenu "&File" help=600
  button "&Open" help=620
  button "&Save"
submenu "&Edit"
  button "&Copy"
)");
    std::vector<int> topics;
    std::vector<std::pair<void*, int>> windowMenus;
    TLoopServices services;
    services.help = [&](int context) { topics.push_back(context); };
    services.systemMenu = [&](void* window, int key) { windowMenus.emplace_back(window, key); };
    SetLoopServices(services);
    struct Restore {
        ~Restore() { SetLoopServices({}); }
    } restore;
    struct Case {
        const char* name;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;  // sent inside the loop
        std::vector<int> topics;
        int windowMenus;
    } cases[] = {
        {"F1 on Open", {{Qt::Key_Return, {}}, {Qt::Key_F1, {}}}, {620}, 0},
        {"F1 on Save: its menu's topic", {{Qt::Key_Return, {}}, {Qt::Key_Down, {}}, {Qt::Key_F1, {}}}, {600}, 0},
        {"F1 on Edit, which has no topic: nothing, the loop goes on until Esc",
         {{Qt::Key_Right, {}}, {Qt::Key_F1, {}}, {Qt::Key_Escape, {}}},
         {},
         0},
        {"Alt+Space on the bar", {{Qt::Key_Space, Qt::AltModifier}}, {}, 1},
        {"Alt tapped", {{Qt::Key_Alt, {}}}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        topics.clear();
        windowMenus.clear();
        const bool entered = t.inLoop(
            [&] {
                for (auto [key, mods] : c.keys) {
                    if (mods & Qt::AltModifier) QTest::keyPress(t.win(), Qt::Key_Alt);
                    QTest::keyClick(t.win(), key, mods);
                    if (mods & Qt::AltModifier) QTest::keyRelease(t.win(), Qt::Key_Alt, mods);
                }
            },
            [&] { t.key(Qt::Key_F10); });
        ASSERT_TRUE(entered);
        QTRY_VERIFY_WITH_TIMEOUT(!(t.menu->View().ViewFlags & vsMenuLoop), 5000);
        EXPECT_EQ(topics, c.topics);
        EXPECT_EQ(int(windowMenus.size()), c.windowMenus);
        if (!windowMenus.empty()) {
            EXPECT_EQ(windowMenus[0].first, static_cast<void*>(&t.form));
            EXPECT_EQ(windowMenus[0].second, ' ');
        }
        EXPECT_EQ(openPopup(), nullptr);
        EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    }
    EXPECT_TRUE(t.clicks.empty());
}

TEST(ToolbarKeys, TheWindowMenuOffersTheWindowsCommands) {
    Form f;
    f.form.show();
    QApplication::setActiveWindow(&f.form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.form));
    TTBPopupMenu& menu = SystemMenuOf(f.form);
    std::vector<std::pair<std::string, bool>> items;
    for (int i = 0; i < menu.Items().Count(); ++i)
        items.emplace_back(menu.Items().Items(i)->Caption(), menu.Items().Items(i)->Enabled());
    const std::vector<std::pair<std::string, bool>> normal{
        {"&Restore", false}, {"&Move", true}, {"&Size", true},         {"Mi&nimize", true},
        {"Ma&ximize", true}, {"", true},      {"&Close\tAlt+F4", true},
    };
    EXPECT_EQ(items, normal);
    EXPECT_EQ(&SystemMenuOf(f.form), &menu);  // one menu a window
    f.form.setFixedSize(f.form.size());  // a window that cannot be sized
    SystemMenuOf(f.form);
    EXPECT_FALSE(menu.Items().Items(2)->Enabled());
    EXPECT_FALSE(menu.Items().Items(4)->Enabled());
    // Chosen by its accelerator, Close closes the window once the loop is over.
    InstallQtClickPoster();
    QTimer typist;
    QObject::connect(&typist, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            typist.stop();
            QTest::keyClick(popup, Qt::Key_C);
        }
    });
    typist.start(0);
    ShowSystemMenu(&f.form);
    QTRY_VERIFY_WITH_TIMEOUT(!f.form.isVisible(), 5000);
}

TEST(ToolbarKeys, TypedCharactersOnAPlainToolbar) {
    Toolbars t;
    bool entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] { t.key(Qt::Key_H); });
    EXPECT_FALSE(entered);  // Help, alone: clicked without a loop
    EXPECT_EQ(t.clicks, std::vector<std::string>{"&Help"});
    // Find and Filter share F: a plain toolbar does nothing, and the menu bar's File is not asked.
    entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] { t.key(Qt::Key_F); });
    EXPECT_FALSE(entered);
    EXPECT_EQ(t.clicks.size(), 1u);
    EXPECT_EQ(t.beeps, 0);
    t.main->setEnabled(false);  // a disabled toolbar takes no characters
    t.key(Qt::Key_H);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.clicks.size(), 1u);
}

TEST(ToolbarKeys, TheFormsQtShortcutsComeFirst) {
    Toolbars t;
    QAction open("&Open");
    open.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    int opened = 0;
    QObject::connect(&open, &QAction::triggered, [&] { ++opened; });
    t.form.addAction(&open);
    t.main->SetProcessShortCuts(true);
    t.main->Items().Items(0)->SetAction(TQtActionSource::For(&open));  // the same command on the toolbar
    ASSERT_EQ(t.main->Items().Items(0)->ShortCut(), FromQKeyCombination(QKeyCombination(Qt::CTRL | Qt::Key_O)));
    t.key(Qt::Key_O, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, 1);  // Qt's shortcut ran it; the routing never saw the key
    std::vector<QAction*> updated;  // the idle update reaches the items' actions
    SetActionUpdater([&](QAction* a) { updated.push_back(a); });
    t.main->InitiateAction();
    t.main->SetUpdateActions(false);
    t.main->InitiateAction();
    SetActionUpdater(nullptr);
    EXPECT_EQ(updated, std::vector<QAction*>{&open});
    // A shortcut only the toolbar knows goes through the routing.
    t.key(Qt::Key_P, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.clicks, std::vector<std::string>{"&Filter"});

    // F10 is the form's command while it is enabled, else the menu bar's.
    QAction saveAs("Save As Icon(s)");
    saveAs.setShortcut(QKeySequence(Qt::Key_F10));
    int saved = 0;
    QObject::connect(&saveAs, &QAction::triggered, [&] { ++saved; });
    t.form.addAction(&saveAs);
    bool entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] { t.key(Qt::Key_F10); });
    EXPECT_FALSE(entered);
    EXPECT_EQ(saved, 1);
    saveAs.setEnabled(false);
    entered = t.inLoop([&] { t.key(Qt::Key_Escape); }, [&] { t.key(Qt::Key_F10); });
    EXPECT_TRUE(entered);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(opened, 1);
}

TEST(ToolbarKeys, NothingRunsBeneathAModalWindow) {
    Toolbars t;
    t.main->SetProcessShortCuts(true);
    KeyMenuRouter().SetMainForm(&t.form);
    auto* go = new QAction("&Go", &t.form);  // a command of the form, as an item runs it
    int gone = 0;
    QObject::connect(go, &QAction::triggered, [&] { ++gone; });
    QDialog box(&t.form);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QApplication::setActiveWindow(&box);
    ASSERT_EQ(QApplication::activeModalWidget(), &box);
    EXPECT_FALSE(BlockedByModal(&box));
    EXPECT_TRUE(BlockedByModal(&t.form));

    // The keys the box leaves: a toolbar shortcut, a menu bar's Alt+key, a plain
    // toolbar's character, F10.
    QWindow* boxWindow = box.windowHandle();
    ASSERT_NE(boxWindow, nullptr);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_P, Qt::ControlModifier}, {Qt::Key_G, Qt::AltModifier}, {Qt::Key_H, {}}, {Qt::Key_F10, {}}};
    for (auto [k, mods] : keys) QTest::keyClick(boxWindow, k, mods);
    // Keys that reach the form's own window while the box is up (a window manager may give
    // them): the form's bars refuse them as well.
    for (auto [k, mods] : keys) t.key(k, mods);
    QCoreApplication::processEvents();
    EXPECT_TRUE(t.clicks.empty());
    EXPECT_FALSE(t.menu->View().ViewFlags & vsMenuLoop);
    // Nor does an item run its command while the box is up, however it is clicked.
    EXPECT_FALSE(TQtActionSource::For(go)->Execute(nullptr));
    EXPECT_EQ(gone, 0);

    box.hide();  // the form is in reach again: the same keys work
    QApplication::setActiveWindow(&t.form);
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
    t.key(Qt::Key_P, Qt::ControlModifier);
    t.key(Qt::Key_H);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.clicks, (std::vector<std::string>{"&Filter", "&Help"}));
    EXPECT_TRUE(TQtActionSource::For(go)->Execute(nullptr));
    EXPECT_EQ(gone, 1);
    KeyMenuRouter().SetMainForm(nullptr);
}

TEST(Toolbar, TheChevronOfAShortDock) {
    Toolbars t;
    t.form.resize(90, 300);  // tbMain in a row of its own under the menu bar
    t.settle();
    TTBView& view = t.main->View();
    std::vector<std::string> hidden;
    for (const auto& c : view.Cells())
        if (c->HiddenByChevron) hidden.push_back(c->Item()->Caption());
    ASSERT_FALSE(hidden.empty());
    EXPECT_TRUE(t.main->Chevron().Enabled());
    EXPECT_LE(t.main->geometry().right(), t.top->contentsRect().right());
    const TTBItemViewer* chevron = view.Cells().back().get();
    ASSERT_EQ(chevron->Item(), &t.main->Chevron());
    ASSERT_TRUE(chevron->IsShown);

    std::vector<std::string> listed;
    const QPoint at = t.centreOf(t.main, int(view.Cells().size()) - 1);
    t.inLoop(
        [&] {
            TTBPopupWindow* popup = openPopup();
            if (popup)
                for (const auto& c : popup->View().Cells())
                    if (c->IsShown && !(c->Item()->ItemStyle() & tbstSeparator)) listed.push_back(c->Item()->Caption());
            QTest::mouseRelease(t.win(), Qt::LeftButton, {}, at);  // the opening press's: it stays open
            QTest::mouseRelease(t.win(), Qt::LeftButton, {}, QPoint(45, 250));  // outside: the loop ends
        },
        [&] { QTest::mousePress(t.win(), Qt::LeftButton, {}, at); });
    EXPECT_EQ(listed, hidden);

    t.form.resize(600, 300);  // room again: everything shows, the chevron goes
    t.settle();
    for (const auto& c : view.Cells()) EXPECT_FALSE(c->HiddenByChevron) << c->Item()->Caption();
    EXPECT_FALSE(view.Cells().back()->IsShown);
}

TEST(Toolbar, MovedToAnotherDockItsItemsStillWork) {
    Toolbars t;
    QWidget* const before = t.main;
    auto click = [&](int cell) {
        const QPoint at = t.centreOf(t.main, cell);
        t.inLoop([&] { QTest::mouseRelease(t.win(), Qt::LeftButton, {}, at); },
                 [&] { QTest::mousePress(t.win(), Qt::LeftButton, {}, at); });
    };
    click(3);
    t.main->SetCurrentDock(t.left);
    t.settle();
    EXPECT_EQ(t.main.data(), before);
    EXPECT_EQ(t.main->CurrentDock(), t.left);
    EXPECT_EQ(t.main->View().Orientation, TTBViewOrientation::Vertical);
    EXPECT_GT(t.main->height(), t.main->width());
    EXPECT_EQ(t.left->width(), t.main->width());
    click(0);
    // The keyboard finds it in its new place too.
    t.key(Qt::Key_H);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.clicks, (std::vector<std::string>{"&Help", "&Find", "&Help"}));
}

TEST(Toolbar, ChildWidgetsBecomeControlItems) {
    Toolbars t;
    const int items = t.main->Items().Count();
    const int widthBefore = t.main->width();
    QPointer<QLineEdit> edit = new QLineEdit(t.main);
    edit->setFixedSize(60, 20);
    QCoreApplication::processEvents();
    t.settle();
    TTBControlItem* item = t.main->FindControlItem(edit);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(t.main->Items().Count(), items + 1);
    const TTBItemViewer* cell = t.main->View().Find(item);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(edit->geometry(), QRect(cell->BoundsRect.left, cell->BoundsRect.top, 60, 20)
                                    .translated(t.main->ViewWidget().pos()));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_GE(t.main->width(), widthBefore + 60);
    // A press on the widget is its own, not a drag.
    EXPECT_TRUE(t.main->IsNonDragArea(edit->geometry().center()));

    edit->setFixedSize(100, 20);  // its cell follows
    QCoreApplication::processEvents();
    EXPECT_EQ(t.main->View().Find(item)->BoundsRect.Width(), 100);

    edit->setParent(nullptr);  // taken away: its item goes, the widget stays
    EXPECT_EQ(t.main->Items().Count(), items);
    ASSERT_FALSE(edit.isNull());
    edit->setParent(t.main);
    QCoreApplication::processEvents();
    ASSERT_NE(t.main->FindControlItem(edit), nullptr);
    delete t.main;  // the toolbar takes its widgets with it
    EXPECT_TRUE(edit.isNull());
}

TEST(Toolbar, FloatingResizeKeepsToListedSizes) {
    Toolbars t;
    SetFloating(*t.main, true);
    ASSERT_TRUE(t.main->Floating());
    TTBFloatingWindowParent* f = t.main->FloatingParent();
    ASSERT_NE(f, nullptr);
    const QRect start = f->geometry();
    const QMargins nc = FloatingNonClient(*t.main);
    EXPECT_EQ(start.size(), t.main->CalcSize(nullptr, true).grownBy(nc));

    t.main->FloatingResizeBegin(1);  // the right edge
    std::set<int> seen;
    for (int w = start.width() - 150; w <= start.width() + 20; ++w) {
        QRect r(start.topLeft(), QSize(w, start.height()));
        t.main->FloatingResizeTrack(r);
        seen.insert(r.width() - nc.left() - nc.right());
        EXPECT_EQ(r.topLeft(), start.topLeft());
    }
    EXPECT_GT(seen.size(), 1u);  // it did wrap
    for (int w : seen)  // each one the width of a wrapped layout, none in between
        EXPECT_EQ(CalcToolbarSize(t.main->View(), {TTBViewOrientation::Floating, 0, w}).size.x, w) << w;
    QRect back(start.topLeft(), QSize(start.width() - 11, start.height()));  // within the snap of the start
    t.main->FloatingResizeTrack(back);
    EXPECT_EQ(back.size(), start.size());
    QRect narrow(start.topLeft(), QSize(start.width() - 150, start.height()));
    t.main->FloatingResizeTrack(narrow);
    t.main->FloatingResizeEnd();
    t.main->FloatingResizeFree();
    EXPECT_GT(t.main->FloatingWidth(), 0);
    int stored = -1;
    t.main->WritePositionData([&](const char* name, int value) {
        if (std::string(name) == "FloatRightX") stored = value;
    });
    EXPECT_EQ(stored, t.main->FloatingWidth());
    t.main->ReadPositionData([](const char*, int def) { return def; });
    EXPECT_EQ(t.main->FloatingWidth(), 0);
}

TEST(Toolbar, APressBesideItsButtonsDragsTheToolbar) {
    Toolbars t;
    t.main->SmoothDrag = false;
    TTBToolbarView& view = t.main->ViewWidget();
    auto pressAt = [&](int cell) {
        const TRect& r = t.main->View().Cells()[std::size_t(cell)]->BoundsRect;
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    EXPECT_FALSE(t.main->IsNonDragArea(pressAt(2) + view.pos()));  // the separator
    EXPECT_TRUE(t.main->IsNonDragArea(pressAt(3) + view.pos()));
    const QPoint target = t.left->mapToGlobal(QPoint(2, 60));
    bool dragging = false;
    QTimer::singleShot(0, [&] {
        QWidget* grabber = QWidget::mouseGrabber();
        dragging = grabber && grabber != &view;  // the drag loop's, not the menu loop's
        if (!grabber) return;
        QMouseEvent move(QEvent::MouseMove, grabber->mapFromGlobal(target), target, Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(grabber, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, grabber->mapFromGlobal(target), target, Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(grabber, &up);
    });
    QTest::mousePress(&view, Qt::LeftButton, {}, pressAt(2));
    QTest::mouseRelease(t.win(), Qt::LeftButton, {}, QPoint(300, 300));  // QTest's button state, too
    t.settle();
    EXPECT_TRUE(dragging);
    EXPECT_EQ(t.main->CurrentDock(), t.left);
    EXPECT_TRUE(t.clicks.empty());
}

// Handlers that raise inside the library's mouse loops: the error goes to the library's
// handler, never out of Qt's event delivery, and the input grabs are given back.
TEST(ToolbarWidget, HandlersRaisingInMouseLoopsAreReportedAndLeaveNoGrab) {
    tbtest::Form f;
    int reported = 0;
    tb::SetExceptionHandler([&](std::exception_ptr) { ++reported; });
    auto* t = new tb::TTBToolbar;
    auto* sub = new tb::TTBSubmenuItem(nullptr);
    sub->SetCaption("&File");
    auto* child = new tb::TTBItem(nullptr);
    child->SetCaption("&Open");
    sub->Add(child);
    t->Items().Add(sub);
    t->SetMenuBar(true);
    t->SetCurrentDock(f.top);
    f.settle();
    sub->OnPopup = [](tb::TTBCustomItem*, bool) { throw std::runtime_error("popup failed"); };
    const tb::TRect& r = t->View().Cells()[0]->BoundsRect;
    QTimer esc;  // ends a loop left running
    QObject::connect(&esc, &QTimer::timeout, [&] { QTest::keyClick(f.form.windowHandle(), Qt::Key_Escape); });
    esc.start(50);
    EXPECT_NO_THROW(QTest::mousePress(&t->ViewWidget(), Qt::LeftButton, {},
                                      QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)));
    esc.stop();
    QCoreApplication::processEvents();
    EXPECT_GE(reported, 1);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    delete t;

    // A dock refusing loudly during a drag.
    reported = 0;
    tbtest::Bar bar(nullptr, 100, 22, "bar");
    bar.SmoothDrag = false;
    bar.SetHideWhenInactive(false);
    bar.SetCurrentDock(f.top);
    f.settle();
    f.left->OnRequestDock = [](tb::TTBDock*, tb::TTBCustomDockableWindow*, bool&) {
        throw std::runtime_error("refused loudly");
    };
    const QPoint target = f.left->mapToGlobal(QPoint(2, 60));
    QTimer::singleShot(0, [&] {
        QWidget* g = QWidget::mouseGrabber();
        if (!g) return;
        QMouseEvent move(QEvent::MouseMove, g->mapFromGlobal(target), target, Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(g, &move);
        QWidget* h = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : g;
        QMouseEvent up(QEvent::MouseButtonRelease, h->mapFromGlobal(target), target, Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(h, &up);
    });
    EXPECT_NO_THROW(QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(4, 10)));
    QCoreApplication::processEvents();
    EXPECT_GE(reported, 1);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    tb::SetExceptionHandler(nullptr);
}
