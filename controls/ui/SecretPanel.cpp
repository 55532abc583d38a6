#include "controls/ui/SecretPanel.h"

#include <QPainter>
#include <QTimer>

namespace gs {

namespace {
constexpr int kDefaultInterval = 30;
constexpr int kTextInset = 3;
}  // namespace

TSecretPanel::TSecretPanel(QWidget* parent) : QFrame(parent), timer_(new QTimer(this)) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    timer_->setInterval(kDefaultInterval);
    connect(timer_, &QTimer::timeout, this, &TSecretPanel::Tick);
}

int TSecretPanel::Interval() const { return timer_->interval(); }
void TSecretPanel::SetInterval(int ms) { timer_->setInterval(ms); }

int TSecretPanel::firstLine() const {
    for (int i = 0; i < Lines.size(); ++i)
        if (!Lines[i].trimmed().isEmpty()) return i;
    return int(Lines.size());
}

QRect TSecretPanel::textRect() const {
    QRect r = contentsRect().adjusted(kTextInset, kTextInset, -kTextInset, -kTextInset);
    if (!Glyph.isNull()) {
        switch (GlyphLayout) {
            case TGlyphLayout::glGlyphLeft: r.setLeft(r.left() + Glyph.width() + 2 * kTextInset); break;
            case TGlyphLayout::glGlyphRight: r.setRight(r.right() - Glyph.width() - 2 * kTextInset); break;
            case TGlyphLayout::glGlyphTop: r.setTop(r.top() + Glyph.height() + 2 * kTextInset); break;
            case TGlyphLayout::glGlyphBottom: r.setBottom(r.bottom() - Glyph.height() - 2 * kTextInset); break;
        }
    }
    return r.isValid() ? r : QRect();
}

void TSecretPanel::recalculate() {
    const QFontMetrics fm(font());
    lineHeight_ = fm.height() + fm.leading() + (TextStyle != TTextStyle::bvNone ? 1 : 0);
    const QRect text = textRect();
    const int first = firstLine();
    if (ScrollDirection == TScrollDirection::sdHorizontal) {
        int widest = 0;
        for (int i = first; i < Lines.size(); ++i) widest = std::max(widest, fm.horizontalAdvance(Lines[i]));
        total_ = widest + text.width();
    } else {
        total_ = text.height() + int(Lines.size() - first) * lineHeight_;
    }
}

void TSecretPanel::SetActive(bool on) {
    if (on == active_) return;
    active_ = on;
    position_ = 0;
    if (on) {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisible()) {
                hidden_ << child;
                child->hide();
            }
        recalculate();
        timer_->start();
        emit OnStartPlay();
    } else {
        timer_->stop();
        for (const QPointer<QWidget>& child : hidden_)
            if (child) child->show();
        hidden_.clear();
        emit OnStopPlay();
    }
    update();
}

void TSecretPanel::Tick() {
    if (!active_) return;
    if (position_ < total_) {
        ++position_;
    } else if (Cycled) {
        position_ = 0;
    } else {
        // Not from inside the timer's own notification: after it has returned.
        QTimer::singleShot(0, this, [this] { SetActive(false); });
        return;
    }
    update(textRect());
}

void TSecretPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (active_) recalculate();
}

void TSecretPanel::PaintClient(QPainter& canvas, const QRect& rect) {
    if (OnPaintClient) OnPaintClient(canvas, rect);
    else canvas.fillRect(rect, palette().color(backgroundRole()));
}

void TSecretPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setClipRect(contentsRect());
    PaintClient(p, contentsRect());
    if (!active_) return;
    const QRect text = textRect();
    if (!Glyph.isNull()) {
        QPoint at;
        switch (GlyphLayout) {
            case TGlyphLayout::glGlyphLeft: at = {text.left() - Glyph.width() - kTextInset, text.center().y() - Glyph.height() / 2}; break;
            case TGlyphLayout::glGlyphRight: at = {text.right() + kTextInset, text.center().y() - Glyph.height() / 2}; break;
            case TGlyphLayout::glGlyphTop: at = {text.center().x() - Glyph.width() / 2, text.top() - Glyph.height() - kTextInset}; break;
            case TGlyphLayout::glGlyphBottom: at = {text.center().x() - Glyph.width() / 2, text.bottom() + kTextInset}; break;
        }
        p.drawImage(at, Glyph);
    }
    if (Lines.isEmpty() || text.isEmpty()) return;
    p.setClipRect(text);
    const int first = firstLine();
    const auto drawLine = [&](const QRect& r, const QString& line) {
        const int flags = int(Alignment) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextExpandTabs;
        if (TextStyle == TTextStyle::bvLowered || TextStyle == TTextStyle::bvRaised) {
            const int d = TextStyle == TTextStyle::bvLowered ? 1 : -1;
            p.setPen(palette().color(QPalette::Light));
            p.drawText(r.translated(d, d), flags, line);
        }
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, flags, line);
    };
    if (ScrollDirection == TScrollDirection::sdVertical) {
        int y = text.top() + text.height() - position_;
        for (int i = first; i <= Lines.size() && y < text.bottom(); ++i, y += lineHeight_) {
            if (y + lineHeight_ < text.top()) continue;
            drawLine(QRect(text.left(), y, text.width(), lineHeight_), i < Lines.size() ? Lines[i] : QString(" "));
        }
    } else {
        // Right-to-left lines come in from the left.
        const int width = total_ - text.width();
        const int x = layoutDirection() == Qt::RightToLeft ? text.left() + position_ - width
                                                           : text.left() + text.width() - position_;
        int y = text.top() + (text.height() - int(Lines.size() - first) * lineHeight_) / 2;
        for (int i = first; i < Lines.size(); ++i, y += lineHeight_)
            drawLine(QRect(x, y, width, lineHeight_), Lines[i]);
    }
}

}  // namespace gs
