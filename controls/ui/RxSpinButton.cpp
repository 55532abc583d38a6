// The two kinds of buttons of a spin edit (declared with it).
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

#include "controls/ui/RxSpinEdit.h"

namespace gs {

namespace {

constexpr int kSpinButtonSize = 20;
constexpr int kInitialRepeat = 400;
constexpr int kRepeatInterval = 100;
constexpr QRgb kGlyphTransparent = 0xFFFF00FF;

// The arrows of the two halves: black triangles 5 wide and 3 high on fuchsia.
QImage arrow(bool up) {
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(kGlyphTransparent);
    for (int row = 0; row < 3; ++row) {
        const int y = up ? 2 - row : row;
        for (int x = row; x < 5 - row; ++x) image.setPixel(x, y, qRgb(0, 0, 0));
    }
    return image;
}

// A glyph's transparent colour is its bottom-left pixel's, as a bitmap's is; the button's
// own arrows are on fuchsia.
void drawGlyph(QPainter& p, const QImage& glyph, bool own, int centreX, int centreY) {
    if (glyph.isNull()) return;
    QImage shown = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = own ? kGlyphTransparent : shown.pixel(0, shown.height() - 1);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) == transparent) shown.setPixel(x, y, 0);
    p.drawImage(centreX - shown.width() / 2, centreY - shown.height() / 2, shown);
}

}  // namespace

TRxSpinButton::TRxSpinButton(QWidget* parent) : QWidget(parent), upGlyph_(arrow(true)), downGlyph_(arrow(false)) {
    resize(kSpinButtonSize, kSpinButtonSize);
}

void TRxSpinButton::SetUpGlyph(const QImage& glyph) {
    ownUp_ = glyph.isNull();
    upGlyph_ = ownUp_ ? arrow(true) : glyph;
    update();
}

void TRxSpinButton::SetDownGlyph(const QImage& glyph) {
    ownDown_ = glyph.isNull();
    downGlyph_ = ownDown_ ? arrow(false) : glyph;
    update();
}

TSpinButtonState TRxSpinButton::HalfAt(QPoint p) const {
    // Below the diagonal from the bottom-left to the top-right corner is the bottom half.
    const double slope = double(height()) / std::max(width(), 1);
    return p.y() > height() - slope * p.x() ? TSpinButtonState::sbBottomDown : TSpinButtonState::sbTopDown;
}

void TRxSpinButton::setDown(TSpinButtonState s) {
    if (s == down_) return;
    down_ = s;
    update();
}

void TRxSpinButton::clickHalf() {
    if (down_ == TSpinButtonState::sbTopDown) emit OnTopClick();
    else if (down_ == TSpinButtonState::sbBottomDown) emit OnBottomClick();
    if (!(QApplication::mouseButtons() & Qt::LeftButton) && !dragging_) setDown(TSpinButtonState::sbNotDown);
}

void TRxSpinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    if (FocusControl && (FocusControl->focusPolicy() & Qt::TabFocus) && !FocusControl->hasFocus())
        FocusControl->setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    if (down_ != TSpinButtonState::sbNotDown) return;
    firstDown_ = HalfAt(event->position().toPoint());
    setDown(firstDown_);
    clickHalf();
    if (!repeat_) {
        repeat_ = new QTimer(this);
        connect(repeat_, &QTimer::timeout, this, [this] {
            repeat_->setInterval(kRepeatInterval);
            if (down_ != TSpinButtonState::sbNotDown && dragging_) clickHalf();
        });
    }
    repeat_->start(kInitialRepeat);
}

void TRxSpinButton::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const QPoint p = event->position().toPoint();
    // Only the half first pressed shows pressed again.
    if (rect().contains(p)) setDown(HalfAt(p) == firstDown_ ? firstDown_ : TSpinButtonState::sbNotDown);
    else setDown(TSpinButtonState::sbNotDown);
}

void TRxSpinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    if (repeat_) repeat_->stop();
    if (rect().contains(event->position().toPoint())) firstDown_ = TSpinButtonState::sbNotDown;
    setDown(TSpinButtonState::sbNotDown);
}

QImage TRxSpinButton::face(TSpinButtonState pressed) const {
    const QPalette& pal = palette();
    const int w = width(), h = height();
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32);
    image.fill(pal.color(QPalette::Button));
    QPainter p(&image);
    const QColor light = pal.color(QPalette::Light), shadow = pal.color(QPalette::Mid);
    const bool top = pressed == TSpinButtonState::sbTopDown, bottom = pressed == TSpinButtonState::sbBottomDown;
    // Bevels: the top half's edges are the left and top, the bottom half's the bottom and
    // right; a pressed half has its light and shadow swapped.
    p.setPen(top ? shadow : light);
    p.drawLine(1, 1, 1, h - 3);
    p.drawLine(1, 1, w - 3, 1);
    p.setPen(bottom ? light : shadow);
    p.drawLine(w - 2, 2, w - 2, h - 2);
    p.drawLine(2, h - 2, w - 2, h - 2);
    p.setPen(pal.color(QPalette::Shadow));
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(0, h - 1, w - 1, 0);
    const int shiftTop = top ? 1 : 0, shiftBottom = bottom ? -1 : 0;
    drawGlyph(p, upGlyph_, ownUp_, w / 4 + shiftTop, h / 4 + shiftTop);
    drawGlyph(p, downGlyph_, ownDown_, 3 * w / 4 + shiftBottom, 3 * h / 4 + shiftBottom);
    return image;
}

void TRxSpinButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, face(isEnabled() ? down_ : TSpinButtonState::sbNotDown));
}

TRxUpDown::TRxUpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setObjectName("btnUp");
    down_->setObjectName("btnDown");
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(kInitialRepeat);
        b->setAutoRepeatInterval(kRepeatInterval);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::ArrowCursor);
        connect(b, &QToolButton::clicked, this, [this, b] {
            if (inClick_) return;  // a click raised while one is handled
            inClick_ = true;
            emit Click(b == up_ ? +1 : -1);
            inClick_ = false;
        });
    }
}

void TRxUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace gs
