#include "toolbar/ui/QtModalMouse.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <exception>

#include "toolbar/ui/QtCommon.h"

namespace tb {

namespace {

bool isInput(QEvent::Type t) {
    switch (t) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

class TLoopFilter : public QObject {
public:
    TLoopFilter(QEventLoop& loop, const std::function<TLoopStep(QEvent*)>& step) : loop_(loop), step_(step) {}
    bool accepted = false;
    std::exception_ptr error;

    bool eventFilter(QObject*, QEvent* event) override {
        if (!done_ && event->type() == QEvent::ApplicationDeactivate) {  // the user went elsewhere
            done_ = true;
            loop_.quit();
            return false;
        }
        if (done_ || !isInput(event->type())) return false;
        TLoopStep s = TLoopStep::Cancel;
        try {
            s = step_(event);
        } catch (...) {
            error = std::current_exception();
        }
        if (s == TLoopStep::Pass) return false;
        if (s == TLoopStep::Accept || s == TLoopStep::Cancel) {
            accepted = s == TLoopStep::Accept;
            done_ = true;
            loop_.quit();
        }
        return true;
    }

private:
    QEventLoop& loop_;
    const std::function<TLoopStep(QEvent*)>& step_;
    bool done_ = false;
};

}  // namespace

bool RunModalMouseLoop(QWidget* grabber, const std::function<TLoopStep(QEvent*)>& step) {
    QEventLoop loop;
    TLoopFilter filter(loop, step);
    qApp->installEventFilter(&filter);
    grabber->grabMouse();
    struct Release {
        QWidget* grabber;
        TLoopFilter* filter;
        ~Release() {
            if (QWidget::mouseGrabber() == grabber) grabber->releaseMouse();
            qApp->removeEventFilter(filter);
        }
    } release{grabber, &filter};
    loop.exec();
    if (filter.error) std::rethrow_exception(filter.error);
    return filter.accepted;
}

std::optional<TLoopStep> ButtonStep(QEvent* event) {
    const QEvent::Type t = event->type();
    if (t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonPress && t != QEvent::MouseButtonDblClick)
        return std::nullopt;
    if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return TLoopStep::Swallow;
    return t == QEvent::MouseButtonRelease ? TLoopStep::Accept : TLoopStep::Cancel;
}

TOutline::TOutline() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName("TBDragOutline");
}

void TOutline::ShowAt(const QRect& rect, int thickness) {
    if (rect.isEmpty()) {
        hide();
        return;
    }
    setGeometry(rect);
    const QRect inner = QRect(QPoint(0, 0), rect.size()).adjusted(thickness, thickness, -thickness, -thickness);
    setMask(QRegion(0, 0, rect.width(), rect.height()).subtracted(QRegion(inner)));
    show();
    update();
}

void TOutline::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.fillRect(rect(), HalftoneBrush(Qt::black));
}

bool TrackButton(QWidget* widget, const QRect& box, bool& pushed) {
    auto setPushed = [&](bool value) {
        if (value == pushed) return;
        pushed = value;
        widget->update();
    };
    setPushed(true);  // pressed on the button
    bool inside = false;
    struct Clear {
        std::function<void(bool)> set;
        ~Clear() { set(false); }
    } clear{setPushed};
    RunModalMouseLoop(widget, [&](QEvent* event) {
        if (event->type() == QEvent::MouseMove) {
            setPushed(box.contains(widget->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint())));
            return TLoopStep::Swallow;
        }
        const std::optional<TLoopStep> end = ButtonStep(event);
        if (end == TLoopStep::Accept)
            inside = box.contains(widget->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()));
        return end.value_or(TLoopStep::Swallow);  // keys and other events
    });
    return inside;
}

}  // namespace tb
