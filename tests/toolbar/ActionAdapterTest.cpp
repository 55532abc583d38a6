// The Qt glue offscreen: items on QActions, clicks posted to the event loop, shortcut
// conversion, the hook filter and an animated popup.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QWidget>

#include "FakeSources.h"
#include "support/QtTestApp.h"
#include "toolbar/core/Hooks.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtHooks.h"
#include "toolbar/ui/QtPopupAnimation.h"

using namespace tb;
using namespace tbtest;

namespace {


QAction* selectFolder(QObject* parent) {
    auto* a = new QAction("Select F&older...", parent);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    a->setToolTip("Select folder");
    a->setProperty(TQtActionSource::kImageIndexProperty, 2);
    return a;
}

}  // namespace

TEST(ToolbarQt, ItemOnAQAction) {
    gstest::qtTestApp();
    QObject owner;
    QAction* action = selectFolder(&owner);
    TTBRootItem root(nullptr);
    auto* item = new TTBItem(&root);
    root.Add(item);
    item->SetAction(TQtActionSource::For(action));
    EXPECT_EQ(TQtActionSource::For(action), item->Action());  // one adapter per action
    EXPECT_EQ(item->ShortcutDisplayText(), "Ctrl+D");
    EXPECT_EQ(item->HintWithShortCut(), "Select folder (Ctrl+D)");
    EXPECT_EQ(item->ImageIndex(), 2);
    EXPECT_EQ(item->Caption(), "Select F&older...");

    Recorder rec;
    root.AddChangeListener(&rec);
    action->setEnabled(false);
    EXPECT_FALSE(item->Enabled());
    EXPECT_EQ(rec.kinds(), std::vector<TTBChangeKind>{TTBChangeKind::RepaintItem});
    root.RemoveChangeListener(&rec);

    action->setStatusTip("Choose the folder whose icons to list");
    EXPECT_EQ(item->Hint(), "Select folder|Choose the folder whose icons to list");

    delete action;  // the item lets go of an action that goes away
    EXPECT_EQ(item->Action(), nullptr);
}

TEST(ToolbarQt, DeferredClickWaitsForTheLoop) {
    gstest::qtTestApp();
    InstallQtClickPoster();
    QObject owner;
    QAction* action = selectFolder(&owner);
    int triggered = 0, updates = 0;
    QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
    SetActionUpdater([&](QAction*) { ++updates; });
    TTBItem item(nullptr);
    item.SetAction(TQtActionSource::For(action));
    PostClick(&item);
    EXPECT_EQ(triggered, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered, 1);
    EXPECT_EQ(updates, 1);  // the updater ran before the action did

    SetActionUpdater([&](QAction* a) { a->setEnabled(false); });  // the update disables it
    item.Click();
    EXPECT_EQ(triggered, 1);
    SetActionUpdater(nullptr);
    SetClickPoster(nullptr);
}

TEST(ToolbarQt, ShortcutsBothWays) {
    for (TShortCut sc : {TShortCut(16452), TShortCut(57432), TShortCut(0x74), TShortCut(scAlt | '1'),
                         TShortCut(vk::Delete), TShortCut(scShift | vk::Prior), TShortCut(vk::Back)})
        EXPECT_EQ(FromQKeyCombination(ToQKeyCombination(sc)), sc) << ShortCutToText(sc);
    EXPECT_EQ(ToQKeyCombination(16452), QKeyCombination(Qt::ControlModifier, Qt::Key_D));
    EXPECT_EQ(FromQKeyCombination(QKeyCombination(Qt::NoModifier, Qt::Key_Enter)), vk::Return);
    EXPECT_EQ(FromQKeyCombination(QKeyCombination(Qt::ControlModifier, Qt::Key_Eacute)), 0);
}

namespace {
std::vector<std::pair<int, QObject*>> gHookCalls;
bool recordHook(THookCode code, void* window, std::uintptr_t, std::intptr_t) {
    gHookCalls.emplace_back(int(code), static_cast<QObject*>(window));
    return false;
}
bool eatKeys(THookCode, void*, std::uintptr_t, std::intptr_t lParam) {
    return reinterpret_cast<QEvent*>(lParam)->type() == QEvent::KeyPress;
}
}  // namespace

TEST(ToolbarQt, HookFilterTurnsEventsIntoCodes) {
    gstest::qtTestApp();
    InstallQtHooks();
    gHookCalls.clear();
    Hooks().RegisterHookProc(recordHook, HookCodeBit(THookCode::WindowPosChanged));
    QWidget window;
    window.resize(100, 80);
    QWidget child(&window);
    window.show();
    child.move(5, 5);
    QEvent activation(QEvent::ApplicationStateChange);
    QCoreApplication::sendEvent(qApp, &activation);
    ASSERT_FALSE(gHookCalls.empty());
    for (auto& [code, obj] : gHookCalls) {
        EXPECT_EQ(code, 1);  // never the activation: this procedure asked for code 1 only
        EXPECT_EQ(obj, &window);
    }
    Hooks().RegisterHookProc(eatKeys, HookCodeBit(THookCode::GetMessage));
    bool pressed = false;
    struct KeyWatcher : QObject {
        bool* pressed;
        bool eventFilter(QObject*, QEvent* e) override { return *pressed |= e->type() == QEvent::KeyPress, false; }
    } watcher;
    watcher.pressed = &pressed;
    window.installEventFilter(&watcher);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &key);
    EXPECT_FALSE(pressed);  // consumed by the hook before the window saw it
    Hooks().UnregisterHookProc(eatKeys);
    Hooks().UnregisterHookProc(recordHook);
    EXPECT_FALSE(Hooks().Installed(0));
    gHookCalls.clear();
    window.move(30, 30);
    EXPECT_TRUE(gHookCalls.empty());
}

TEST(ToolbarQt, AnimatedPopupEndsWhole) {
    gstest::qtTestApp();
    QWidget popup(nullptr, Qt::Popup);
    popup.setGeometry(400, 300, 120, 90);  // away from the cursor
    // The animation's clock moves only as the test says, so a starved event loop cannot skip
    // every step between the first and the last.
    std::int64_t now = 0;
    TQtPopupAnimation anim([&now] { return now; });
    int finished = 0, draws = 0;
    bool masked = true;
    QObject::connect(&anim, &TQtPopupAnimation::finished, [&](QWidget* w) { finished += w == &popup; });
    QObject::connect(&anim, &TQtPopupAnimation::stepDrawn, [&](int) {
        ++draws;
        masked = masked && !popup.mask().isEmpty();  // only part of it shows while it unrolls
    });
    ASSERT_TRUE(anim.Start(&popup, 150, /*fade=*/!TQtPopupAnimation::CanFade(), tbadDown));
    EXPECT_TRUE(popup.isVisible());
    auto waitFor = [&](int n) {
        QElapsedTimer timer;
        timer.start();
        while (finished < n && timer.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    now = 75;  // half way: a step is drawn, only part of the popup showing
    QElapsedTimer halfWay;
    halfWay.start();
    while (draws == 0 && halfWay.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(finished, 0);
    now = 150;
    waitFor(1);
    EXPECT_EQ(finished, 1);
    EXPECT_GT(draws, 0);
    EXPECT_TRUE(masked);
    EXPECT_TRUE(popup.mask().isEmpty());  // shown whole
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);

    // The cursor entering ends a long animation at the worker's next round.
    ASSERT_TRUE(anim.Start(&popup, 60000, false, tbadRight));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(405, 305));
    QCoreApplication::sendEvent(&popup, &enter);
    waitFor(2);
    EXPECT_EQ(finished, 2);

    ASSERT_TRUE(anim.Start(&popup, 60000, false, tbadRight));
    popup.hide();  // hiding ends it at once
    EXPECT_FALSE(anim.Running());
    EXPECT_EQ(finished, 3);
}
