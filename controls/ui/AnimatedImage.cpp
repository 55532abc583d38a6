#include "controls/ui/AnimatedImage.h"

#include <QPainter>

namespace gs {

TRxTimer::TRxTimer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (enabled_ && onTimer_) onTimer_();
    });
}

void TRxTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    rearm();
}

void TRxTimer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    rearm();
}

void TRxTimer::SetOnTimer(std::function<void()> onTimer) {
    onTimer_ = std::move(onTimer);
    rearm();
}

void TRxTimer::rearm() {
    timer_.stop();
    if (interval_ != 0 && enabled_ && onTimer_) timer_.start(int(interval_));
}

TAnimatedImage::TAnimatedImage(QWidget* parent) : QWidget(parent), timer_(new TRxTimer(this)) {
    timer_->SetEnabled(false);
    timer_->SetInterval(kDefaultInterval);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TAnimatedImage::SetActive(bool active) {
    if (active) {
        timer_->SetOnTimer([this] { FrameStep(); });
        timer_->SetEnabled(true);
        active_ = timer_->Enabled();
        emit Started();
        return;
    }
    timer_->SetEnabled(false);
    timer_->SetOnTimer(nullptr);
    active_ = false;
    applyInactiveFrame();
    emit FrameChanged();
    emit Stopped();
    refresh();
}

void TAnimatedImage::SetGlyph(const QImage& strip) {
    glyph_ = strip;
    makeDrawnGlyph();
    countFrames();
}

void TAnimatedImage::SetTransparentColor(std::optional<QColor> colour) {
    if (colour == transparentColour_) return;
    transparentColour_ = colour;
    makeDrawnGlyph();
    refresh();
}

void TAnimatedImage::makeDrawnGlyph() {
    if (!transparentColour_ || glyph_.isNull()) {
        drawn_ = glyph_;
        return;
    }
    drawn_ = glyph_.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparentColour_->rgb() & RGB_MASK;
    for (int y = 0; y < drawn_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(drawn_.scanLine(y));
        for (int x = 0; x < drawn_.width(); ++x)
            if ((line[x] & RGB_MASK) == key) line[x] = 0;
    }
}

void TAnimatedImage::countFrames() {
    numGlyphs_ = 1;
    glyphNum_ = 0;
    const int w = glyph_.width(), h = glyph_.height();
    if (orientation_ == TGlyphOrientation::goHorizontal && h > 0 && w % h == 0) numGlyphs_ = w / h;
    if (orientation_ == TGlyphOrientation::goVertical && w > 0 && h % w == 0) numGlyphs_ = h / w;
    if (numGlyphs_ < 1) numGlyphs_ = 1;
    computeFrameSize();
    refresh();
}

void TAnimatedImage::computeFrameSize() {
    if (numGlyphs_ < 1) numGlyphs_ = 1;
    if (orientation_ == TGlyphOrientation::goHorizontal)
        frameSize_ = QSize(glyph_.width() / numGlyphs_, glyph_.height());
    else
        frameSize_ = QSize(glyph_.width(), glyph_.height() / numGlyphs_);
}

void TAnimatedImage::applyInactiveFrame() {
    if (!active_ && inactiveGlyph_ >= 0 && inactiveGlyph_ < numGlyphs_ && inactiveGlyph_ != glyphNum_)
        glyphNum_ = inactiveGlyph_;
}

void TAnimatedImage::SetGlyphNum(int n) {
    if (n < 0 || n >= numGlyphs_ || n == glyphNum_) return;
    glyphNum_ = n;
    applyInactiveFrame();
    emit FrameChanged();
    refresh();
}

void TAnimatedImage::SetInactiveGlyph(int n) {
    if (n < 0) n = -1;
    if (n == inactiveGlyph_ || n >= numGlyphs_) return;
    inactiveGlyph_ = n;
    applyInactiveFrame();
    emit FrameChanged();
    refresh();
}

void TAnimatedImage::SetNumGlyphs(int n) {
    numGlyphs_ = n;
    if (inactiveGlyph_ < n) {
        applyInactiveFrame();
    } else {
        inactiveGlyph_ = -1;
        glyphNum_ = 0;
    }
    computeFrameSize();
    emit FrameChanged();
    refresh();
}

void TAnimatedImage::SetOrientation(TGlyphOrientation o) {
    if (o == orientation_) return;
    orientation_ = o;
    countFrames();
}

void TAnimatedImage::SetCenter(bool center) {
    if (center == center_) return;
    center_ = center;
    refresh();
}

void TAnimatedImage::SetStretch(bool stretch) {
    if (stretch == stretch_) return;
    stretch_ = stretch;
    refresh();
}

void TAnimatedImage::SetOpaque(bool opaque) {
    if (opaque == opaque_) return;
    opaque_ = opaque;
    // Qt composes a widget over its parent unless told it paints every pixel itself.
    setAttribute(Qt::WA_TranslucentBackground, !opaque);
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    refresh();
}

void TAnimatedImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    refresh();
}

QSize TAnimatedImage::sizeHint() const { return frameSize_.isValid() ? frameSize_ : QSize(105, 105); }

void TAnimatedImage::FrameStep() {
    if (!isVisible() || numGlyphs_ <= 1) return;
    int next = (glyphNum_ + 1) % numGlyphs_;
    if (next == inactiveGlyph_) next = (next + 1) % numGlyphs_;
    glyphNum_ = next;
    emit FrameChanged();
    update();
}

void TAnimatedImage::refresh() {
    if (autoSize_ && frameSize_.width() > 0 && frameSize_.height() > 0) {
        setMinimumSize(frameSize_);
        updateGeometry();
    }
    update();
}

void TAnimatedImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (opaque_) p.fillRect(rect(), palette().color(backgroundRole()));
    if (drawn_.isNull() || frameSize_.isEmpty()) return;
    int frame = glyphNum_;
    if (!active_ && inactiveGlyph_ >= 0 && inactiveGlyph_ < numGlyphs_) frame = inactiveGlyph_;
    const QRect source = orientation_ == TGlyphOrientation::goHorizontal
                             ? QRect(frame * frameSize_.width(), 0, frameSize_.width(), frameSize_.height())
                             : QRect(0, frame * frameSize_.height(), frameSize_.width(), frameSize_.height());
    QRect target(QPoint(0, 0), frameSize_);
    if (stretch_)
        target = rect();
    else if (center_)
        target.moveTopLeft(QPoint((width() - frameSize_.width()) / 2, (height() - frameSize_.height()) / 2));
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, drawn_, source);
}

}  // namespace gs
