#include "toolbar/ui/QtPopupAnimation.h"

#include <utility>

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>

#include "toolbar/ui/QtGeometry.h"

namespace tb {

namespace {

// Covers the popup while it slides and draws the snapshot at the step's offset.
class TSnapshotOverlay : public QWidget {
public:
    TSnapshotOverlay(QWidget* parent, const QPixmap& pixmap) : QWidget(parent), pixmap_(pixmap) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(parent->rect());
    }
    void SetOffset(QPoint p) {
        offset_ = p;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(offset_, pixmap_); }

private:
    QPixmap pixmap_;
    QPoint offset_;
};

}  // namespace

TQtPopupAnimation::TQtPopupAnimation(TPopupAnimator::Clock clock) : animator_(std::move(clock)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TQtPopupAnimation::tick);
}

TQtPopupAnimation::~TQtPopupAnimation() { Stop(); }

bool TQtPopupAnimation::CanFade() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

bool TQtPopupAnimation::Start(QWidget* popup, int durationMs, bool fade, std::uint8_t direction) {
    Stop();
    if (!popup) return false;
    popup_ = popup;
    snapshot_ = popup->grab();
    fading_ = fade && CanFade();
    TPopupAnimator::Params p{durationMs, fading_, direction, popup->width(), popup->height()};
    if (!fading_ && direction == 0) p.direction = tbadDown;  // a fade that cannot fade slides
    if (fading_) {
        popup->setWindowOpacity(32 / 255.0);
    } else {
        popup->setMask(QRegion(0, 0, 0, 0));
        auto* overlay = new TSnapshotOverlay(popup, snapshot_);
        TPoint start = SlideOffset(p.direction, p.width, p.height, 0);
        overlay->SetOffset(toQPoint(start));
        overlay->show();
        overlay_ = overlay;
    }
    popup->installEventFilter(this);
    popup->show();
    animator_.Start(p);
    timer_.start(animator_.NextTickMs());
    return true;
}

void TQtPopupAnimation::Stop(QWidget* popup) {
    if (popup && popup != popup_) return;
    animator_.Stop();
    timer_.stop();
    QWidget* shown = popup_;
    popup_ = nullptr;
    if (overlay_) delete overlay_.data();
    if (shown) {
        shown->removeEventFilter(this);
        shown->clearMask();
        if (fading_) shown->setWindowOpacity(1.0);
        shown->update();
        emit finished(shown);
    }
    snapshot_ = QPixmap();
}

void TQtPopupAnimation::tick() {
    const TPopupAnimator::StepAction step = animator_.Tick();
    if (step.kind == TPopupAnimator::StepAction::Kind::Finish) return Stop();
    if (step.kind == TPopupAnimator::StepAction::Kind::Draw) Draw(step);
    if (animator_.Running()) timer_.start(animator_.NextTickMs());
}

void TQtPopupAnimation::Draw(const TPopupAnimator::StepAction& step) {
    if (!popup_) return;
    if (fading_) {
        popup_->setWindowOpacity(step.step / 255.0);
    } else {
        const QRect whole = popup_->rect();
        const QPoint at(step.offset.x, step.offset.y);
        popup_->setMask(QRegion(QRect(at, whole.size()).intersected(whole)));
        if (overlay_) static_cast<TSnapshotOverlay*>(overlay_.data())->SetOffset(at);
    }
    emit stepDrawn(step.step);
}

bool TQtPopupAnimation::eventFilter(QObject* watched, QEvent* e) {
    if (watched == popup_) {
        switch (e->type()) {
        case QEvent::Enter:
            animator_.CursorEntered();  // shown whole at the next tick, after this event
            timer_.start(0);
            break;
        case QEvent::Hide:
        case QEvent::Destroy:
            Stop(popup_);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace tb
