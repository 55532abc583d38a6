// Docks and dockable windows on a form, offscreen: thickness, bound lines, membership,
// moving a window between docks as the same widget, closing, toggling and floating.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QScreen>
#include <QImage>
#include <QTimer>
#include <QtTest/QTest>

#include "DockForm.h"
#include "toolbar/core/Hooks.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtDockableWindow.h"
#include "toolbar/ui/QtFloatingWindow.h"
#include "toolbar/ui/QtMenuLoop.h"

using namespace tb;
using namespace tbtest;


TEST(Dock, ThicknessFollowsRowsAndBoundLines) {
    Form f;
    EXPECT_EQ(f.top->height(), 0);
    f.top->SetFixAlign(true);
    f.settle();
    EXPECT_EQ(f.top->height(), 1);

    Bar bar(nullptr, 100, 22, "bar");
    bar.SetCurrentDock(f.top);
    f.settle();
    EXPECT_EQ(f.top->height(), 26);
    EXPECT_EQ(bar.geometry(), QRect(0, 0, 100 + 6 + 4, 26));  // handle 6, frame 2 on each side
    EXPECT_EQ(bar.contentsMargins(), QMargins(8, 2, 2, 2));
    EXPECT_EQ(bar.layout()->geometry(), bar.contentsRect());  // the content sits inside the frame

    f.top->SetBoundLines(blTop | blBottom);
    f.settle();
    EXPECT_EQ(f.top->height(), 28);
    EXPECT_EQ(bar.geometry().top(), 1);
    const QImage shot = f.top->grab().toImage();
    EXPECT_EQ(shot.pixel(300, 0), SysColor(TSysColor::BtnShadow).rgb());
    EXPECT_EQ(shot.pixel(300, 27), SysColor(TSysColor::BtnHighlight).rgb());

    // A second bar after it that does not fit wraps to a row of its own.
    Bar second(nullptr, 520, 22, "second");
    second.SetDockPos(200);
    second.SetCurrentDock(f.top);
    f.settle();
    EXPECT_EQ(second.EffectiveRow(), 1);
    EXPECT_EQ(second.geometry(), QRect(70, 27, 530, 26));
    EXPECT_EQ(f.top->height(), 2 * 26 + 2);
}

TEST(Dock, PositionAndParentRules) {
    Form f;
    f.top->SetPosition(TTBDockPosition::dpLeft);  // empty: allowed, becomes a side dock
    EXPECT_TRUE(f.top->Vertical());
    EXPECT_EQ(f.top->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    f.top->SetPosition(TTBDockPosition::dpTop);

    Bar bar(nullptr, 50, 22, "bar");
    bar.SetCurrentDock(f.top);
    try {
        f.top->SetPosition(TTBDockPosition::dpBottom);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot change Position of a TTBDock if it already contains controls");
    }
    EXPECT_EQ(f.top->Position(), TTBDockPosition::dpTop);
    EXPECT_THROW(TTBDock inBar(&bar), EInvalidOperation);
    EXPECT_THROW(TTBDock inDock(f.left), EInvalidOperation);
    TTBDock loose(nullptr);
    EXPECT_THROW(loose.SetParentWidget(f.right), EInvalidOperation);
    // The library's one root catches the docking refusals too, text unchanged.
    try {
        TTBDock inDock(f.left);
        FAIL() << "no error";
    } catch (const ETBError& e) {
        EXPECT_STREQ(e.what(), kDockMisplaced);
    }
}

TEST(Dock, MembershipBackgroundAndRequests) {
    Form f;
    std::vector<std::pair<bool, QString>> changes;
    f.top->OnInsertRemoveBar = [&](TTBDock*, bool inserting, TTBCustomDockableWindow* w) {
        changes.emplace_back(inserting, w->objectName());
    };
    Bar bar(nullptr, 50, 22, "bar");
    bar.SetCurrentDock(f.top);
    bar.setVisible(false);
    bar.setVisible(true);
    bar.SetCurrentDock(f.left);
    EXPECT_EQ(changes, (std::vector<std::pair<bool, QString>>{{true, "bar"}, {false, "bar"}, {true, "bar"},
                                                              {false, "bar"}}));
    // It remembers the top dock as its last one.
    EXPECT_EQ(bar.LastDock(), f.left);

    struct Picture : TTBBasicBackground {
        std::vector<QPoint> origins;
        bool used = true;
        void Draw(QPainter& p, const QRect& clip, QPoint origin) override {
            origins.push_back(origin);
            p.fillRect(clip, Qt::green);
        }
        QPalette Palette() const override { return {}; }
        void RegisterChanged(QObject*, std::function<void()>) override {}
        void SysColorChanged() override {}
        void UnregisterChanged(QObject*) override {}
        bool InUse() const override { return used; }
    } picture;
    f.left->SetBackground(&picture);
    const QImage withPicture = bar.grab().toImage();
    EXPECT_EQ(withPicture.pixelColor(bar.contentsRect().center()), QColor(Qt::green));
    ASSERT_FALSE(picture.origins.empty());
    EXPECT_EQ(picture.origins.back(), -(bar.pos() + f.left->pos()));  // one picture across dock and bar
    picture.used = false;
    picture.origins.clear();
    bar.grab();
    EXPECT_TRUE(picture.origins.empty());
}

TEST(DockableWindow, MovesBetweenDocksAsTheSameWidget) {
    Form f;
    Bar bar(nullptr, 100, 22, "bar");
    bar.SetCurrentDock(f.top);
    QWidget* const before = &bar;
    std::vector<std::string> events;
    bar.OnDockChanging = [&](TTBCustomDockableWindow*, bool floating, TTBDock* to) {
        events.push_back(std::string("DockChanging ") + (floating ? "floating " : "") +
                         to->objectName().toStdString());
    };
    bar.OnRecreating = [&](TTBCustomDockableWindow*) { events.push_back("Recreating"); };
    bar.OnDockChangingHidden = [&](TTBCustomDockableWindow* w, bool, TTBDock*) {
        events.push_back(std::string("DockChangingHidden") + (w->isHidden() ? " hidden" : ""));
    };
    bar.OnRecreated = [&](TTBCustomDockableWindow*) { events.push_back("Recreated"); };
    bar.OnDockChanged = [&](TTBCustomDockableWindow* w) {
        events.push_back("DockChanged " + w->CurrentDockName().toStdString());
    };
    bar.setProperty("CurrentDock", "DockLeft");
    f.settle();
    EXPECT_EQ(events, (std::vector<std::string>{"DockChanging DockLeft", "Recreating", "DockChangingHidden hidden",
                                                "Recreated", "DockChanged DockLeft"}));
    EXPECT_EQ(f.form.findChild<TTBCustomDockableWindow*>("bar"), before);
    EXPECT_EQ(bar.parentWidget(), f.left);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(f.top->height(), 0);
    EXPECT_EQ(f.left->width(), 100 + 4);
    EXPECT_EQ(bar.contentsMargins(), QMargins(2, 8, 2, 2));  // the handle leads downwards

    // A name that no dock has leaves it; the stored place is a property too.
    events.clear();
    bar.setProperty("CurrentDock", "DockNowhere");
    EXPECT_EQ(bar.CurrentDock(), f.left);
    EXPECT_TRUE(events.empty());
    bar.setProperty("DockRow", 3);
    EXPECT_EQ(bar.DockRow(), 3);
    EXPECT_EQ(bar.EffectiveRow(), 0);
    bar.setProperty("Visible", false);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(f.left->width(), 0);
}

TEST(DockableWindow, LocksAreReleasedWhenAHandlerThrows) {
    Form f;
    Bar bar(nullptr, 100, 22, "bar");
    bar.SetCurrentDock(f.top);
    bar.OnDockChangingHidden = [](TTBCustomDockableWindow*, bool, TTBDock*) { throw std::runtime_error("refused"); };
    EXPECT_THROW(bar.SetCurrentDock(f.bottom), std::runtime_error);
    EXPECT_EQ(bar.CurrentDock(), f.top);
    EXPECT_TRUE(bar.isVisible());  // hidden only while moving
    // Both docks lay out again at once.
    Bar other(nullptr, 100, 30, "other");
    other.SetCurrentDock(f.bottom);
    f.settle();
    EXPECT_EQ(f.bottom->height(), 34);
    bar.SetFullSize(true);
    EXPECT_EQ(bar.width(), f.top->width());
}

TEST(DockableWindow, ToggleCloseAndFloat) {
    Form f;
    Bar bar(&f.form, 100, 22, "bar");
    bar.SetDefaultDock(f.bottom);
    bar.ToggleDock();  // never docked: the default dock, row 0, position -8
    EXPECT_EQ(bar.CurrentDock(), f.bottom);
    EXPECT_EQ(bar.DockRow(), 0);
    EXPECT_EQ(bar.DockPos(), -8);
    EXPECT_EQ(bar.EffectivePos(), 0);

    bool closed = false;
    bar.OnClose = [&](TTBCustomDockableWindow*) { closed = true; };
    bar.OnCloseQuery = [](TTBCustomDockableWindow*, bool& canClose) { canClose = false; };
    bar.CloseBar();
    EXPECT_TRUE(bar.Visible());
    EXPECT_TRUE(bar.isVisible());
    EXPECT_FALSE(closed);

    // The docked close button: hit-tested in the handle, a click closes.
    bar.SetCloseButtonWhenDocked(true);
    f.settle();
    EXPECT_EQ(bar.contentsMargins().left(), 2 + 14);
    const QRect box = bar.DockedCloseButtonRect();
    EXPECT_EQ(box, QRect(3, 2, 11, 11));
    EXPECT_EQ(bar.HitTest(box.center()), TTBDockedHit::CloseButton);
    EXPECT_EQ(bar.HitTest(QPoint(8, 20)), TTBDockedHit::Handle);
    EXPECT_EQ(bar.HitTest(bar.contentsRect().center()), TTBDockedHit::Client);
    bar.OnCloseQuery = nullptr;
    QTimer::singleShot(0, [&] { QTest::mouseRelease(&bar, Qt::LeftButton, {}, box.center()); });
    QTest::mousePress(&bar, Qt::LeftButton, {}, box.center());  // held until released
    EXPECT_TRUE(closed);
    EXPECT_FALSE(bar.Visible());
    EXPECT_EQ(f.bottom->height(), 0);

    // Floating: a frameless tool window of the form that never takes the focus; the
    // window manager's close closes the form; toggling docks it back where it was.
    bar.setVisible(true);
    bar.SetHideWhenInactive(false);
    bar.ToggleDock();
    ASSERT_TRUE(bar.Floating());
    TTBFloatingWindowParent* floating = bar.FloatingParent();
    ASSERT_EQ(bar.parentWidget(), floating);
    EXPECT_EQ(floating->parentWidget(), &f.form);
    EXPECT_TRUE(floating->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(floating->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(floating->isVisible());
    EXPECT_EQ(bar.geometry(), floating->contentsRect());
    EXPECT_EQ(bar.size(), QSize(100, 22));
    EXPECT_EQ(floating->HitTest(floating->CaptionRect().center()), TTBFloatingWindowParent::htCaption);
    EXPECT_EQ(floating->HitTest(floating->CloseButtonRect().center()), TTBFloatingWindowParent::htCloseButton);
    EXPECT_EQ(floating->HitTest(QPoint(1, floating->height() / 2)), TTBFloatingWindowParent::htLeft);
    QCloseEvent close;
    QCoreApplication::sendEvent(floating, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_FALSE(f.form.isVisible());
    f.form.show();
    bar.ToggleDock();
    EXPECT_EQ(bar.CurrentDock(), f.bottom);
    EXPECT_EQ(bar.FloatingParent(), nullptr);
    bar.SetFloatingMode(TTBFloatingMode::fmOnTopOfAllForms);
    SetFloating(bar, true);
    EXPECT_TRUE(bar.FloatingParent()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(DockableWindow, ContentSitsInsideTheFrameWhenDockedBeforeShowing) {
    AppFirst app;
    QWidget form;
    auto* v = new QVBoxLayout(&form);
    auto* dock = new TTBDock(&form);
    v->addWidget(dock);
    v->addStretch();
    Bar bar(nullptr, 100, 22, "bar");
    bar.SetCurrentDock(dock);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.layout()->geometry(), bar.contentsRect());
}

TEST(DockableWindow, FloatingWindowFollowsFormApplicationAndScreen) {
    Form f;
    Bar bar(&f.form, 100, 22, "bar");
    SetFloating(bar, true);
    TTBFloatingWindowParent* floating = bar.FloatingParent();
    // Hidden while another program is active, shown on return. Qt tells of the new state
    // first and changes the active window after it, as another program takes the keyboard.
    const auto switchTo = [&](bool active) {
        QApplicationStateChangeEvent state(active ? Qt::ApplicationActive : Qt::ApplicationInactive);
        QCoreApplication::sendEvent(qApp, &state);
        QApplication::setActiveWindow(active ? &f.form : nullptr);
    };
    switchTo(true);
    switchTo(false);
    EXPECT_FALSE(floating->isVisible());
    EXPECT_TRUE(bar.Visible());
    switchTo(true);
    EXPECT_TRUE(floating->isVisible());
    bar.SetHideWhenInactive(false);
    switchTo(false);
    EXPECT_TRUE(floating->isVisible());
    // On top of its form: gone with it, back with it.
    f.form.hide();
    EXPECT_FALSE(floating->isVisible());
    f.form.show();
    EXPECT_TRUE(floating->isVisible());

    const int withCaption = floating->height();
    bar.SetShowCaption(false);
    EXPECT_EQ(floating->height(), withCaption - SmallCaptionHeight(bar));
    EXPECT_EQ(floating->HitTest(QPoint(floating->width() / 2, 1)), TTBFloatingWindowParent::htTop);
    bar.SetResizable(false);
    EXPECT_EQ(floating->HitTest(QPoint(floating->width() / 2, 1)), TTBFloatingWindowParent::htNowhere);
    EXPECT_EQ(floating->size(), QSize(100 + 6, 22 + 6));
    bar.resize(150, 40);  // a size asked for from outside: the floating window follows
    EXPECT_EQ(floating->size(), QSize(150 + 6, 40 + 6));
    EXPECT_EQ(bar.geometry(), floating->contentsRect());

    const QRect work = floating->screen()->availableGeometry();
    floating->move(work.right() - 10, work.top() + 50);  // partly on the screen: left alone
    bar.KeepOnScreen(true);
    EXPECT_EQ(floating->x(), work.right() - 10);
    bar.KeepOnScreen(false);
    EXPECT_EQ(floating->geometry().right(), work.right());
    floating->move(work.left() - 500, work.bottom() + 500);
    bar.KeepOnScreen(true);
    EXPECT_EQ(floating->geometry().bottomLeft(), work.bottomLeft());
    EXPECT_EQ(bar.FloatingPosition, floating->pos());
}

// A floating window stored partly or wholly off the screen (dropped near an edge, or stored
// under other screens) comes back wholly inside the available area of the screen nearest to
// it, moved no further than that takes. ctest runs this with one screen and with two side by
// side (data/two-screens.json), where beyond either outer edge is nearest that edge's screen.
TEST(ToolbarScreens, AStoredFloatingWindowComesBackWhollyOnTheNearestScreen) {
    Form f;
    Bar bar(&f.form, 100, 22, "bar");
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_FALSE(screens.isEmpty());
    const QRect first = screens.front()->availableGeometry(), last = screens.back()->availableGeometry();
    struct Case {
        QPoint place;
        QRect work;   // where it must come back
        QPoint back;  // its top-left there; -1 for a coordinate that the frame's size decides
    } cases[] = {
        {{first.center().x(), first.top() - 15}, first, {first.center().x(), first.top()}},
        {{first.left() - 40, first.center().y()}, first, {first.left(), first.center().y()}},
        {{first.left() - 900, first.bottom() + 900}, first, {first.left(), -1}},
        {{last.right() - 10, last.center().y()}, last, {-1, last.center().y()}},
        {{last.right() + 700, last.top() - 500}, last, {-1, last.top()}},
    };
    for (const Case& c : cases) {
        FloatAtStoredPlace(bar, c.place);
        TTBFloatingWindowParent* floating = bar.FloatingParent();
        ASSERT_NE(floating, nullptr);
        const QRect frame = floating->frameGeometry();
        EXPECT_TRUE(c.work.contains(frame)) << c.place.x() << "," << c.place.y();
        EXPECT_EQ(frame.left(), c.back.x() < 0 ? c.work.right() + 1 - frame.width() : c.back.x()) << c.place.x();
        EXPECT_EQ(frame.top(), c.back.y() < 0 ? c.work.bottom() + 1 - frame.height() : c.back.y()) << c.place.y();
        EXPECT_EQ(bar.FloatingPosition, floating->pos());
    }
}

TEST(Dock, WindowsAndDocksGoInEitherOrder) {
    auto* f = new Form;
    auto* a = new Bar(nullptr, 100, 22, "a");
    auto* b = new Bar(nullptr, 100, 30, "b");
    a->SetCurrentDock(f->top);
    b->SetDockRow(1);
    b->SetCurrentDock(f->top);
    b->SetLastDock(f->left);  // taken as the current dock while docked
    auto* c = new Bar(&f->form, 50, 22, "c");
    c->SetDefaultDock(f->top);
    f->settle();
    EXPECT_EQ(f->top->height(), 26 + 34);
    delete b;
    QCoreApplication::processEvents();
    EXPECT_EQ(f->top->height(), 26);
    SetFloating(*c, true);
    delete c;  // its floating window goes too
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f->form.findChildren<TTBFloatingWindowParent*>().isEmpty());
    auto* d = new Bar(&f->form, 50, 22, "d");
    SetFloating(*d, true);
    delete f;  // the docks go with their windows inside, the floating window with its form
    SUCCEED();
}

// A window docked while its form is still hidden shows with the form, docked where it was
// put, and one hidden before the form shows stays hidden.
TEST(DockableWindow, DockedBeforeTheFormShowsAndShowsWithIt) {
    gstest::qtTestApp();
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* top = new tb::TTBDock(&form, tb::TTBDockPosition::dpTop);
    top->setObjectName("DockTop");
    layout->addWidget(top);
    layout->addWidget(new QWidget, 1);
    auto* shown = new tbtest::Bar(nullptr, 40, 20, "shown");
    auto* hidden = new tbtest::Bar(nullptr, 40, 20, "hidden");
    shown->SetCurrentDock(top);
    hidden->SetCurrentDock(top);
    hidden->setVisible(false);
    EXPECT_FALSE(shown->isVisible());
    form.resize(300, 200);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->parentWidget(), top);
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_GT(top->height(), 0);
}

// The frame's context request: a handler may take it, else the window's popup menu opens
// where the click was, or at the client origin for the menu key.
TEST(DockableWindow, ContextMenuOfTheFrame) {
    Form f;
    Bar bar(nullptr, 100, 22, "tbMain");
    bar.SetCurrentDock(f.top);
    f.settle();
    TTBPopupMenu menu;
    menu.Items().Add(new TTBItem(&menu.Items()));
    bar.PopupMenu = &menu;
    const QPoint handle = bar.mapToGlobal(QPoint(3, 5)), origin = bar.mapToGlobal(bar.contentsRect().topLeft());
    using Reason = QContextMenuEvent::Reason;
    // Reason, the handler takes it, the menu pops up by itself, where it showed.
    const std::tuple<Reason, bool, bool, std::optional<QPoint>> cases[] = {
        {Reason::Mouse, false, true, handle}, {Reason::Keyboard, false, true, origin},
        {Reason::Mouse, true, true, std::nullopt}, {Reason::Mouse, false, false, std::nullopt}};
    for (auto [reason, takes, autoPopup, expected] : cases) {
        std::vector<QPoint> asked;
        bar.OnContextPopup = [&](TTBCustomDockableWindow*, QPoint at, bool& handled) { asked.push_back(at), handled = takes; };
        menu.AutoPopup = autoPopup;
        std::optional<QPoint> shownAt;
        QTimer::singleShot(0, [&] {
            if (QWidget* w = QApplication::activePopupWidget()) shownAt = w->pos(), QTest::keyClick(w, Qt::Key_Escape);
        });
        QContextMenuEvent event(reason, bar.mapFromGlobal(handle), handle);
        QCoreApplication::sendEvent(&bar, &event);
        EXPECT_EQ(asked, std::vector<QPoint>{reason == Reason::Mouse ? handle : origin});
        EXPECT_EQ(shownAt, expected);
        EXPECT_EQ(event.isAccepted(), expected || takes);
    }
}
