#include "toolbar/ui/QtMenuLoop.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <QToolTip>
#include <cctype>

#include "toolbar/core/Toolbar.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"

namespace tb {

namespace {

std::function<void(const std::string&)> gHintSetter;

int virtualKeyOf(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Alt) return kAltVirtualKey;
    return FromQKeyCombination(QKeyCombination(Qt::NoModifier, Qt::Key(e->key()))) & 0xFF;
}

Qt::CursorShape shapeOf(TTBCursor cursor) {
    switch (cursor) {
    case TTBCursor::IBeam: return Qt::IBeamCursor;
    case TTBCursor::PointingHand: return Qt::PointingHandCursor;
    case TTBCursor::Cross: return Qt::CrossCursor;
    case TTBCursor::SizeHorizontal: return Qt::SizeHorCursor;
    case TTBCursor::SizeVertical: return Qt::SizeVerCursor;
    case TTBCursor::Arrow: break;
    }
    return Qt::ArrowCursor;
}

// The pointer a viewer chose, over every window of the loop, until the loop ends.
class TLoopCursor {
public:
    ~TLoopCursor() { Set(TTBCursor::Arrow); }
    void Set(TTBCursor cursor) {
        if (cursor == shown_) return;
        if (shown_ != TTBCursor::Arrow) QApplication::restoreOverrideCursor();
        if (cursor != TTBCursor::Arrow) QApplication::setOverrideCursor(QCursor(shapeOf(cursor)));
        shown_ = cursor;
    }

private:
    TTBCursor shown_ = TTBCursor::Arrow;
};

bool isKey(const QEvent* e) {
    return e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease || e->type() == QEvent::ShortcutOverride;
}

// The press that ended a loop, handed on to the widget under it as one ordinary click with
// the release that follows. It goes through that widget's window, as a press from the window
// system does, once the loop's popups and grabs are gone: Qt then routes the release to the
// same widget (a press given to the widget alone leaves the release with no receiver) and
// gives the focus as a click does. The release may come first (press and release can come
// together) or later, and at the window that held the mouse when it was made, a popup kept
// for it meanwhile: either way it goes on to the press's window after the press, through the
// queue (a toolbar the press starts a loop on gets it there). A window-system move without
// the button tells that the release happened where it could not be seen.
class TPassedOnPress : public QObject {
public:
    TPassedOnPress(QWidget* target, const QMouseEvent& press)
        : QObject(qApp), target_(target), global_(press.globalPosition().toPoint()), button_(press.button()),
          buttons_(press.buttons() | press.button()), modifiers_(press.modifiers()) {
        qApp->installEventFilter(this);
        TTBPopupWindow::KeepDismissedUntilGone(this);
    }

    // Once the loop has let go of the mouse and the keyboard.
    void Deliver() {
        QWidget* target = target_;
        window_ = target && target->isVisible() ? target->window()->windowHandle() : nullptr;
        if (!window_) return finish();
        // The grab kept the press from the window manager, which would have activated a
        // window that takes the focus.
        QWidget* form = target->window();
        if (!form->isActiveWindow() && !(form->windowFlags() & Qt::WindowDoesNotAcceptFocus)) form->activateWindow();
        delivered_ = true;
        if (release_) postRelease(*release_);
        const QPointer<TPassedOnPress> self(this);
        QMouseEvent press(QEvent::MouseButtonPress, local(global_), local(global_), QPointF(global_), button_, buttons_,
                          modifiers_);
        QCoreApplication::sendEvent(window_, &press);  // may run a toolbar's loop, which ends with the release
        if (self && release_) finish();
    }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        // Looked at where it reaches a window, before Qt looks for a widget to take it.
        if (!obj->isWindowType() || release_) return false;
        auto* m = static_cast<QMouseEvent*>(e);
        if (e->type() == QEvent::MouseMove && !(m->buttons() & button_) && e->spontaneous()) {
            release_ = Release{m->globalPosition().toPoint(), m->modifiers()};  // the move goes on
            if (delivered_) postRelease(*release_), finish();
            return false;
        }
        if (e->type() != QEvent::MouseButtonRelease || m->button() != button_) return false;
        release_ = Release{m->globalPosition().toPoint(), m->modifiers()};
        if (!delivered_) return true;
        finish();
        if (obj == window_) return false;  // Qt routes it to the press's widget
        postRelease(*release_);
        return true;
    }

private:
    struct Release {
        QPoint global;
        Qt::KeyboardModifiers modifiers;
    };
    QPointF local(QPoint global) const { return window_->mapFromGlobal(QPointF(global)); }
    void postRelease(const Release& r) {
        if (!window_) return;
        QCoreApplication::postEvent(window_, new QMouseEvent(QEvent::MouseButtonRelease, local(r.global), local(r.global),
                                                             QPointF(r.global), button_, buttons_ & ~button_, r.modifiers));
    }
    void finish() {
        if (finished_) return;
        finished_ = true;
        qApp->removeEventFilter(this);
        TTBPopupWindow::EndKeeping(this);
        deleteLater();  // and the popups kept
    }

    QPointer<QWidget> target_;
    QPointer<QWindow> window_;
    QPoint global_;
    Qt::MouseButton button_;
    Qt::MouseButtons buttons_;
    Qt::KeyboardModifiers modifiers_;
    std::optional<Release> release_;
    bool delivered_ = false;
    bool finished_ = false;
};

class TLoopFilter : public QObject {
public:
    TLoopFilter(TTBMenuLoop& loop, QEventLoop& events, QWidget* rootWindow, bool grabbing)
        : loop_(loop), events_(events), rootWindow_(rootWindow), grabbing_(grabbing) {}

    bool eventFilter(QObject* obj, QEvent* e) override {
        if (obj == rootWindow_ && e->type() == QEvent::Hide) return finish(false);  // the capture is gone
        if (obj == qApp && e->type() == QEvent::ApplicationStateChange) {
            auto* state = dynamic_cast<QApplicationStateChangeEvent*>(e);
            if (state && state->applicationState() != Qt::ApplicationActive) return finish(false);
        }
        if (!obj->isWidgetType()) return false;  // each input event is handled once, at its widget
        if (loop_.Done() || !rootWindow_) return finish(false);
        if (grabbing_ && QWidget::mouseGrabber() != rootWindow_) return finish(false);  // another took the capture
        if (grabbing_ && isKey(e) && obj != rootWindow_ && static_cast<QWidget*>(obj)->windowType() != Qt::Popup) {
            // With the keyboard grabbed a key is the grabber's (or a popup's): Qt may offer
            // the same key again to the top-level window once a popup has opened.
            e->accept();
            return true;
        }
        // Opening a popup delivers other events to this filter before handle() returns: what
        // it says of this event is its own.
        bool consumed = false;
        bool used = Guarded([&] { consumed = handle(static_cast<QWidget*>(obj), e); });
        if (loop_.Done()) events_.quit();
        if (!used || !consumed) return false;
        e->accept();  // else Qt offers the key or mouse event to the parent widgets as well
        return true;
    }

private:
    // Whether the event is the loop's (to be kept from the widgets).
    bool handle(QWidget* receiver, QEvent* e) {
        bool consumed = true;
        const QEvent::Type t = e->type();
        if (t == QEvent::KeyPress || t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick)
            QToolTip::hideText();  // a key or a press takes the hint away
        switch (t) {
        case QEvent::MouseMove:
            loop_.MouseMove(at(e));
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            altAlone_ = false;  // Alt held for a click is no tap
            auto* m = static_cast<QMouseEvent*>(e);
            // Outside the loop's views the press ends the loop; a toolbar's own window
            // then gets it (popups are Qt's: their press outside stays with the loop).
            if (!loop_.MousePress(at(e), m->button() == Qt::RightButton, e->type() == QEvent::MouseButtonDblClick))
                consumed = pressGoesOn(receiver, *m) || !grabbing_;
            break;
        }
        case QEvent::MouseButtonRelease:
            loop_.MouseRelease(at(e), static_cast<QMouseEvent*>(e)->button() == Qt::RightButton);
            break;
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            // Alt ends the loop when tapped alone; held, it goes with the next key (Alt+Space
            // asks for the window's menu, Alt+letter is the letter).
            if (k->key() == Qt::Key_Alt) {
                if (!k->isAutoRepeat()) altAlone_ = true;
                break;
            }
            altAlone_ = false;
            int key = virtualKeyOf(k);
            // While a button is held only F1 goes to the menus.
            if ((QGuiApplication::mouseButtons() & Qt::LeftButton) && k->key() != Qt::Key_F1) break;
            bool used = key && loop_.KeyDown(key, k->modifiers() & Qt::ShiftModifier);
            if (const char32_t c = typed(*k); !used && c && !loop_.Done()) loop_.Char(c);
            break;
        }
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Alt && !k->isAutoRepeat() && altAlone_) {
                altAlone_ = false;
                loop_.KeyDown(kAltVirtualKey, false);
            }
            break;
        }
        case QEvent::Wheel: {
            auto* w = static_cast<QWheelEvent*>(e);
            const QPoint p = w->globalPosition().toPoint();
            loop_.MouseWheel({p.x(), p.y()}, w->angleDelta().y());
            break;
        }
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
            break;
        default:
            consumed = false;
        }
        return consumed;
    }
    // The character a key types; with Alt held the text may be gone, the key code says it.
    static char32_t typed(const QKeyEvent& k) {
        if (const QList<uint> text = k.text().toUcs4(); !text.isEmpty()) return text.front();
        if (k.key() >= Qt::Key_Space && k.key() <= Qt::Key_AsciiTilde) return char32_t(std::tolower(k.key()));
        // Alt may take the text away from a letter beyond ASCII too: Qt's key is its upper case.
        if (k.key() >= 0xA0 && k.key() <= 0x10FFFF && k.key() < Qt::Key_Escape) return FoldCase(char32_t(k.key()));
        return 0;
    }
    // A press outside the loop's views ends the loop and belongs to what it landed on; the
    // grab delivered it to the grabber, so that widget gets it once the popups are gone.
    // Whether it was taken away from the receiver for that.
    bool pressGoesOn(QWidget* receiver, const QMouseEvent& m) {
        const QPoint global = m.globalPosition().toPoint();
        QWidget* target = QApplication::widgetAt(global);
        if (!target || target == receiver || target->window()->windowType() == Qt::Popup) return false;
        if (!passedOn_) passedOn_ = new TPassedOnPress(target, m);
        return true;
    }

public:
    QPointer<TPassedOnPress> passedOn_;

private:
    static TPoint at(QEvent* e) {
        QPoint p = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        return {p.x(), p.y()};
    }
    bool finish(bool consume) {
        events_.quit();
        return consume;
    }

    TTBMenuLoop& loop_;
    QEventLoop& events_;
    QPointer<QWidget> rootWindow_;
    bool grabbing_;
    bool altAlone_ = false;  // Alt is down and no other key came since
};

}  // namespace

void SetApplicationHintSetter(std::function<void(const std::string&)> setter) { gHintSetter = std::move(setter); }

void SetApplicationHint(const std::string& hint) {
    if (gHintSetter) gHintSetter(hint);
}

TTBLoopResult RunMenuLoop(TTBView& root, bool startedByMouse, bool popupMode, bool pickFirst, bool rightButtonToo,
                          bool ignoreFirstRelease, std::optional<QPoint> pressAt, bool escapeLeaves) {
    TQtScreenPlacement screen;
    QEventLoop events;
    QTimer timer;
    timer.setSingleShot(true);
    QTimer scrollTimer;
    TTBMenuLoop::Services s;
    s.armScrollTimer = [&scrollTimer](int ms) { scrollTimer.start(ms); };
    s.disarmScrollTimer = [&scrollTimer] { scrollTimer.stop(); };
    s.ArmTimer = [&timer](int ms) { timer.start(ms); };
    s.DisarmTimer = [&timer] { timer.stop(); };
    s.showDelay = [] { return MenuShowDelay(); };
    s.beep = [] { QApplication::beep(); };
    s.activeWindow = []() -> void* { return QApplication::activeWindow(); };
    s.setHint = SetApplicationHint;
    TLoopCursor cursor;
    s.setCursor = [&cursor](TTBCursor c) { cursor.Set(c); };
    TTBMenuLoop loop(root, screen, s, rightButtonToo);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        Guarded([&] { loop.TimerElapsed(); });
        if (loop.Done()) events.quit();
    });
    QObject::connect(&scrollTimer, &QTimer::timeout, [&] { Guarded([&] { loop.ScrollTimerElapsed(); }); });
    if (ignoreFirstRelease) loop.IgnoreFirstRelease();
    if (escapeLeaves) loop.EndWhenEscapeReachesRoot();
    // A toolbar view (not a popup) captures mouse and keyboard itself for the loop; popups
    // have Qt's popup grab, which hands back to this one when the last popup closes.
    QPointer<QWidget> host = dynamic_cast<QWidget*>(&root.Host());
    const bool grabbing = host && root.ForToolbar() && host->windowType() != Qt::Popup && host->isVisible();
    if (grabbing) {
        host->grabMouse();
        host->grabKeyboard();
    }
    // Given back however the loop ends: a handler raising in Start would keep the whole
    // application's input otherwise.
    struct Ungrab {
        QPointer<QWidget> host;
        bool grabbing;
        ~Ungrab() { release(); }
        void release() {
            if (grabbing && host) {
                host->releaseKeyboard();
                host->releaseMouse();
            }
            grabbing = false;
        }
    } ungrab{host, grabbing};
    const std::weak_ptr<const bool> alive = root.Alive();
    QPointer<TPassedOnPress> passedOn;
    const QPoint mouse = pressAt.value_or(QCursor::pos());
    // The first mouse-down handling may already have ended the loop.
    if (host) loop.Start(startedByMouse, popupMode, pickFirst, {mouse.x(), mouse.y()});
    if (host && !loop.Done()) {
        TLoopFilter filter(loop, events, host, grabbing);
        QMetaObject::Connection gone = QObject::connect(host, &QObject::destroyed, &events, &QEventLoop::quit);
        qApp->installEventFilter(&filter);
        events.exec();
        qApp->removeEventFilter(&filter);
        QObject::disconnect(gone);
        passedOn = filter.passedOn_;
    }
    if (!alive.expired()) root.CloseSubmenus();
    ungrab.release();
    // The press that ended the loop goes on, after the loop's own result, to what it was on.
    if (passedOn) QMetaObject::invokeMethod(passedOn, [passedOn] { passedOn->Deliver(); }, Qt::QueuedConnection);
    return loop.Result();
}

TTBLoopResult PopupItem(TTBCustomItem& item, QPoint point, int alignment, bool rightButtonToo) {
    std::unique_ptr<TTBPopupWindow> window = TTBPopupWindow::Open(&item, nullptr, nullptr, point, alignment, false, false);
    TTBLoopResult result = RunMenuLoop(window->View(), false, false, false, rightButtonToo, true);
    window.release()->Dismiss();  // kept while a release on its way may still come to it
    PerformLoopResult(result);
    return result;
}

TTBPopupMenu::TTBPopupMenu(QObject* parent) : QObject(parent), root_(std::make_unique<TTBRootItem>(nullptr)) {
    // The root item is "clicked" each time its menu opens: that is the menu's popup event.
    root_->SetOnClick([this](TTBCustomItem*) {
        if (OnPopup) OnPopup(this);
    });
}

TTBPopupMenu::~TTBPopupMenu() = default;

TTBLoopResult TTBPopupMenu::Popup(int x, int y) { return PopupItem(*root_, QPoint(x, y), Alignment, TrackRightButton); }

}  // namespace tb
