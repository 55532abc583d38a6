#include "controls/ui/RxSpeedButton.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace gs {

namespace {
QColor face() { return QApplication::palette().color(QPalette::Button); }
QColor highlight() { return QApplication::palette().color(QPalette::Light); }
QColor shadow() { return QApplication::palette().color(QPalette::Mid); }
QColor frameDark() { return QApplication::palette().color(QPalette::Shadow); }

void frame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.left(), r.bottom(), r.left(), r.top());
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.setPen(bottomRight);
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
    r.adjust(1, 1, -1, -1);
}

// The downward triangle of a drop-down mark, rows of 7, 5, 3 and 1 pixels.
void drawMark(QPainter& p, int x, int centreY, const QColor& colour) {
    p.setPen(colour);
    for (int row = 0; row < 4; ++row) p.drawLine(x + row, centreY - 1 + row, x + 6 - row, centreY - 1 + row);
}
}  // namespace

TRxSpeedButton::TRxSpeedButton(QWidget* parent) : QWidget(parent) {
    resize(25, 25);
    setAttribute(Qt::WA_Hover);
}

void TRxSpeedButton::SetGlyph(const QImage& strip) {
    strip_ = strip.convertToFormat(QImage::Format_ARGB32);
    numGlyphs_ = GlyphCountOfStrip(strip_.width(), strip_.height(), numGlyphs_);
    cache_ = {};
    update();
}

void TRxSpeedButton::SetNumGlyphs(int n) {
    n = std::clamp(n, 1, kMaxGlyphs);
    if (n == numGlyphs_) return;
    numGlyphs_ = n;
    cache_ = {};
    update();
}

QImage TRxSpeedButton::GlyphImage(TButtonState state) const {
    auto& slot = cache_[std::size_t(state)];
    if (slot) return *slot;
    const TGlyphChoice choice = GlyphForState(state, numGlyphs_, strip_.isNull());
    QImage out;
    if (choice.Source != TGlyphSource::None) {
        const int w = strip_.width() / numGlyphs_;
        QImage slice = strip_.copy(choice.Slice * w, 0, w, strip_.height());
        // The bottom-left pixel's colour is the strip's transparent colour.
        const QRgb transparent = strip_.pixel(0, strip_.height() - 1);
        for (int y = 0; y < slice.height(); ++y)
            for (int x = 0; x < slice.width(); ++x) {
                const QRgb c = slice.pixel(x, y);
                if ((c & 0xFFFFFF) == (transparent & 0xFFFFFF)) {
                    slice.setPixel(x, y, 0);
                    continue;
                }
                if (choice.Source == TGlyphSource::Grey && (c & 0xFFFFFF) != (face().rgb() & 0xFFFFFF))
                    slice.setPixel(x, y, 0xFF000000u | GreyOf(c & 0xFFFFFF));
                else if (choice.Source == TGlyphSource::Disabled)
                    slice.setPixel(x, y, (qGray(c) > 192 ? highlight() : shadow()).rgb());
            }
        out = slice;
    }
    slot = out;
    return out;
}

void TRxSpeedButton::SetGroupIndex(int index) {
    groupIndex_ = index;
    if (index == 0) SetDown(false);
    groupPressed();
}

void TRxSpeedButton::SetAllowAllUp(bool on) {
    allowAllUp_ = on;
    if (!parentWidget()) return;
    for (auto* b : parentWidget()->findChildren<TRxSpeedButton*>(Qt::FindDirectChildrenOnly))
        if (b != this && groupIndex_ != 0 && b->groupIndex_ == groupIndex_) b->allowAllUp_ = on;
}

void TRxSpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0) down = false;  // only grouped buttons stay down
    if (down == down_) return;
    if (down_ && !allowAllUp_) return;  // the one down button of a group cannot be raised
    down_ = down;
    setState(down ? TButtonState::bsExclusive : TButtonState::bsUp);
    if (down) groupPressed();
}

void TRxSpeedButton::groupPressed() {
    if (!down_ || groupIndex_ == 0 || !parentWidget()) return;
    for (auto* b : parentWidget()->findChildren<TRxSpeedButton*>(Qt::FindDirectChildrenOnly)) {
        if (b == this || b->groupIndex_ != groupIndex_ || !b->down_) continue;
        b->down_ = false;
        b->allowAllUp_ = allowAllUp_;
        b->setState(TButtonState::bsUp);
    }
}

void TRxSpeedButton::setState(TButtonState s) {
    if (s == state_) return;
    state_ = s;
    update();
}

TButtonState TRxSpeedButton::DrawnState() const {
    if (!isEnabled()) return TButtonState::bsDisabled;
    if (Flat && !mouseIn_ && state_ != TButtonState::bsDown) return TButtonState::bsInactive;
    return state_;
}

void TRxSpeedButton::Click() { emit clicked(); }

void TRxSpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, face());
    const TButtonState drawn = DrawnState();
    const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive;
    if (drawn != TButtonState::bsInactive || state_ == TButtonState::bsExclusive) {
        if (pressed) {
            frame3D(p, r, frameDark(), highlight());
            if (!Flat) frame3D(p, r, shadow(), face());
        } else if (Flat) {
            frame3D(p, r, highlight(), shadow());
        } else {
            frame3D(p, r, highlight(), frameDark());
            frame3D(p, r, face(), shadow());
        }
    } else if (Flat) {
        r.adjust(2, 2, -2, -2);
    }
    if (state_ == TButtonState::bsExclusive && (!Flat || drawn == TButtonState::bsInactive))
        p.fillRect(r.adjusted(-1, -1, 1, 1), QBrush(highlight(), Qt::Dense4Pattern));
    if (pressed) r.translate(1, 1);

    const TButtonState glyphState = GrayedInactive && drawn != TButtonState::bsDisabled ? drawn : state_;
    const QImage glyph = GlyphImage(isEnabled() ? glyphState : TButtonState::bsDisabled);
    const bool mark = MarkDropDown && DropDownMenu;
    const TFaceSize glyphSize{glyph.width(), glyph.height()};
    const TFaceSize room = CaptionRoom({r.width(), r.height()}, glyphSize, Layout, Margin, Spacing, mark);
    QRect textRect;
    if (!Caption.isEmpty())
        textRect = p.fontMetrics().boundingRect(QRect(0, 0, room.Width, 0), Qt::AlignCenter | Qt::TextShowMnemonic, Caption)
                       .intersected(QRect(0, 0, room.Width, room.Height));
    const TFaceLayout at = LayoutFace(r.left(), r.top(), {r.width(), r.height()}, glyphSize,
                                      {textRect.width(), textRect.height()}, Layout, Margin, Spacing, mark);
    if (!glyph.isNull()) p.drawImage(at.GlyphX, at.GlyphY, glyph);
    const QRect textAt(at.TextX, at.TextY, at.Text.Width, at.Text.Height);
    if (!Caption.isEmpty()) {
        if (!isEnabled()) {
            p.setPen(highlight());
            p.drawText(textAt.translated(1, 1), Qt::AlignCenter | Qt::TextShowMnemonic, Caption);
            p.setPen(shadow());
        } else {
            p.setPen(palette().color(QPalette::ButtonText));
        }
        p.drawText(textAt, Qt::AlignCenter | Qt::TextShowMnemonic, Caption);
    }
    if (mark) {
        const QColor colour = isEnabled() ? palette().color(QPalette::ButtonText) : shadow();
        if (!glyph.isNull() && Layout != TButtonLayout::blGlyphLeft)
            drawMark(p, at.GlyphX + glyph.width() + 1, at.GlyphY + glyph.height() / 2, colour);
        else if (Caption.isEmpty())
            drawMark(p, (r.left() + r.right() - kDropDownMarkWidth) / 2, textAt.center().y(), colour);
        else
            drawMark(p, textAt.right() + 3 - 9, textAt.center().y(), colour);
    }
}

void TRxSpeedButton::popupMenu() {
    if (!DropDownMenu) return;
    QPoint at;
    if (MenuPosition == TDropDownMenuPos::dmpBottom) at = QPoint(-1, height());
    else at = QPoint(width(), -1);
    DropDownMenu->exec(mapToGlobal(at));
}

void TRxSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    if (!down_) setState(TButtonState::bsDown);
    dragging_ = true;
    if (DropDownMenu) {
        popupMenu();
        dragging_ = false;
        setState(down_ ? TButtonState::bsExclusive : TButtonState::bsUp);
        return;
    }
    if (AllowTimer) {
        if (!repeat_) {
            repeat_ = new QTimer(this);
            connect(repeat_, &QTimer::timeout, this, [this] {
                repeat_->setInterval(RepeatInterval);
                if (state_ == TButtonState::bsDown && dragging_) Click();
            });
        }
        repeat_->start(InitPause);
    }
}

void TRxSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const bool inside = rect().contains(event->position().toPoint());
    setState(down_ ? TButtonState::bsExclusive : (inside ? TButtonState::bsDown : TButtonState::bsUp));
}

void TRxSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    if (repeat_) repeat_->stop();
    const bool inside = rect().contains(event->position().toPoint());
    if (groupIndex_ == 0) {
        setState(TButtonState::bsUp);
    } else if (inside) {
        SetDown(!down_);
        setState(down_ ? TButtonState::bsExclusive : TButtonState::bsUp);
    } else {
        setState(down_ ? TButtonState::bsExclusive : TButtonState::bsUp);
    }
    if (inside) Click();
}

void TRxSpeedButton::enterEvent(QEnterEvent*) {
    if (!isEnabled() || mouseIn_) return;
    mouseIn_ = true;
    emit OnMouseEnter();
    if (Flat) update();
}

void TRxSpeedButton::leaveEvent(QEvent*) {
    if (!mouseIn_) return;
    mouseIn_ = false;
    emit OnMouseLeave();
    if (Flat) update();
}

void TRxSpeedButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) dragging_ = false;
        else state_ = down_ && groupIndex_ != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        cache_ = {};  // the inactive and disabled pictures follow the system colours
    }
    QWidget::changeEvent(event);
}

}  // namespace gs
