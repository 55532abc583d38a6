#include "toolbar/ui/QtMenuLoop.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"

namespace tb {

namespace {

std::function<void(const std::string&)> gHintSetter;

int virtualKeyOf(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Alt) return 0x12;
    return FromQKeyCombination(QKeyCombination(Qt::NoModifier, Qt::Key(e->key()))) & 0xFF;
}

class LoopFilter : public QObject {
public:
    LoopFilter(TTBMenuLoop& loop, QEventLoop& events, QWidget* rootWindow)
        : loop_(loop), events_(events), rootWindow_(rootWindow) {}

    bool eventFilter(QObject* obj, QEvent* e) override {
        if (obj == rootWindow_ && e->type() == QEvent::Hide) return finish(false);  // the capture is gone
        if (obj == qApp && e->type() == QEvent::ApplicationStateChange &&
            QGuiApplication::applicationState() != Qt::ApplicationActive)
            return finish(false);
        if (!obj->isWidgetType()) return false;  // each input event is handled once, at its widget
        bool used = Guarded([&] { handle(e); });
        if (loop_.Done()) events_.quit();
        return used && consumed_;
    }

private:
    void handle(QEvent* e) {
        consumed_ = true;
        switch (e->type()) {
        case QEvent::MouseMove:
            loop_.MouseMove(at(e));
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* m = static_cast<QMouseEvent*>(e);
            loop_.MousePress(at(e), m->button() == Qt::RightButton, e->type() == QEvent::MouseButtonDblClick);
            break;
        }
        case QEvent::MouseButtonRelease:
            loop_.MouseRelease(at(e), static_cast<QMouseEvent*>(e)->button() == Qt::RightButton);
            break;
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            int key = virtualKeyOf(k);
            bool used = key && loop_.KeyDown(key, k->modifiers() & Qt::ShiftModifier);
            if (!used && !k->text().isEmpty() && !loop_.Done()) loop_.Char(k->text().at(0).toLatin1());
            break;
        }
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
            break;
        default:
            consumed_ = false;
        }
    }
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
    bool consumed_ = false;
};

}  // namespace

void SetApplicationHintSetter(std::function<void(const std::string&)> setter) { gHintSetter = std::move(setter); }

TTBLoopResult RunMenuLoop(TTBView& root, bool startedByMouse, bool popupMode, bool pickFirst, bool rightButtonToo,
                          bool ignoreFirstRelease) {
    QtScreenPlacement screen;
    QEventLoop events;
    QTimer timer;
    timer.setSingleShot(true);
    QTimer scrollTimer;
    TTBMenuLoop::Services s;
    s.armScrollTimer = [&scrollTimer](int ms) { scrollTimer.start(ms); };
    s.disarmScrollTimer = [&scrollTimer] { scrollTimer.stop(); };
    s.armTimer = [&timer](int ms) { timer.start(ms); };
    s.disarmTimer = [&timer] { timer.stop(); };
    s.showDelay = [] { return MenuShowDelay(); };
    s.beep = [] { QApplication::beep(); };
    s.activeWindow = []() -> void* { return QApplication::activeWindow(); };
    s.setHint = [](const std::string& hint) {
        if (gHintSetter) gHintSetter(hint);
    };
    TTBMenuLoop loop(root, screen, s, rightButtonToo);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        Guarded([&] { loop.TimerElapsed(); });
        if (loop.Done()) events.quit();
    });
    QObject::connect(&scrollTimer, &QTimer::timeout, [&] { Guarded([&] { loop.ScrollTimerElapsed(); }); });
    if (ignoreFirstRelease) loop.IgnoreFirstRelease();
    QPoint cursor = QCursor::pos();
    loop.Start(startedByMouse, popupMode, pickFirst, {cursor.x(), cursor.y()});
    if (!loop.Done()) {
        LoopFilter filter(loop, events, dynamic_cast<QWidget*>(&root.Host()));
        qApp->installEventFilter(&filter);
        events.exec();
        qApp->removeEventFilter(&filter);
    }
    root.CloseSubmenus();
    return loop.Result();
}

TTBLoopResult PopupItem(TTBCustomItem& item, QPoint point, int alignment, bool rightButtonToo) {
    std::unique_ptr<TTBPopupWindow> window = TTBPopupWindow::Open(&item, nullptr, nullptr, point, alignment, false, false);
    TTBLoopResult result = RunMenuLoop(window->View(), false, false, false, rightButtonToo, true);
    window.reset();
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
