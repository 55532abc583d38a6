#include "app/ui/BusyIndicator.h"

#include <QPainter>
#include <cmath>
#include <numbers>

namespace gs {

namespace {
constexpr int kDotRadius = 3;
const QColor kDotOff(192, 192, 192);
const QColor kDotOn(58, 110, 165);
}  // namespace

TBusyIndicator::TBusyIndicator(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSide, kSide);
    timer_.setInterval(kFrameIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFrameCount;
        update();
    });
}

void TBusyIndicator::SetActive(bool active) {
    if (active == timer_.isActive()) return;
    if (active)
        timer_.start();
    else
        timer_.stop();
}

void TBusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double orbit = kSide / 2.0 - kDotRadius - 1;
    for (int i = 0; i < kFrameCount; ++i) {
        const double angle = 2 * std::numbers::pi * i / kFrameCount;
        const QPointF centre(kSide / 2.0 + orbit * std::sin(angle), kSide / 2.0 - orbit * std::cos(angle));
        painter.setBrush(i == frame_ ? kDotOn : kDotOff);
        painter.drawEllipse(centre, kDotRadius, kDotRadius);
    }
}

}  // namespace gs
