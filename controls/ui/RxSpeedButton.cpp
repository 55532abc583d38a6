#include "controls/ui/RxSpeedButton.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
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

// Without a painter only the rectangle moves in (to know where the content goes).
void frame3D(QPainter* painter, QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (!painter) {
        r.adjust(1, 1, -1, -1);
        return;
    }
    QPainter& p = *painter;
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
    SetGlyph(strip, strip.isNull() ? 0 : strip.pixel(0, strip.height() - 1));
}

void TRxSpeedButton::SetGlyph(const QImage& strip, QRgb transparent) {
    glyph_.SetStrip(strip, transparent);
    update();
}

void TRxSpeedButton::SetNumGlyphs(int n) {
    if (std::clamp(n, 1, kMaxGlyphs) == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(n);
    update();
}

void TRxSpeedButton::SetImages(std::shared_ptr<const QList<QImage>> images, int index) {
    images_ = {std::move(images), index};
    update();
}

QImage TRxSpeedButton::GlyphImage(TButtonState state) const {
    if (images_.Valid()) return glyph_.ImageListImage(images_, state, face().rgb(), highlight().rgb(), shadow().rgb());
    return glyph_.GlyphImage(state, face().rgb(), highlight().rgb(), shadow().rgb());
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

void TRxSpeedButton::Click() {
    if (ModalResult != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(ModalResult);
    if (action_) action_->trigger();
    emit clicked();
}

bool TRxSpeedButton::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        // The caption's accelerator.
        if (isEnabled()) Click();
        return true;
    }
    return QWidget::event(e);
}

void TRxSpeedButton::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (shortcut_) releaseShortcut(shortcut_);
    shortcut_ = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(caption);
    if (!accelerator.isEmpty()) shortcut_ = grabShortcut(accelerator);
    update();
}

int TRxSpeedButton::textFlags() const {
    int flags = Qt::AlignVCenter | Qt::TextShowMnemonic;
    switch (Alignment) {
        case TAlignment::taLeftJustify: flags |= Qt::AlignLeft; break;
        case TAlignment::taRightJustify: flags |= Qt::AlignRight; break;
        case TAlignment::taCenter: flags |= Qt::AlignHCenter; break;
    }
    if (WordWrap) flags |= Qt::TextWordWrap;
    return flags;
}

TRxSpeedButton::TCaptionPlace TRxSpeedButton::placeCaption(const QRect& r, const QImage& glyph, bool mark) const {
    const TFaceSize glyphSize{glyph.width(), glyph.height()};
    const TFaceSize room = CaptionRoom({r.width(), r.height()}, glyphSize, Layout, Margin, Spacing, mark);
    TCaptionPlace place;
    const QFontMetrics metrics = fontMetrics();
    place.text = caption_;
    if (!WordWrap) {
        const TTextWidth width = [&metrics](const std::string& t) {
            return metrics.horizontalAdvance(QString::fromStdString(t).remove('&'));
        };
        place.text = QString::fromStdString(ShortenedCaption(caption_.toStdString(), room.Width, width));
    }
    QRect text;
    if (!place.text.isEmpty()) {
        const int measure = Qt::AlignCenter | Qt::TextShowMnemonic | (WordWrap ? Qt::TextWordWrap : 0);
        text = metrics.boundingRect(QRect(0, 0, room.Width, 0), measure, place.text);
        text = QRect(0, 0, std::clamp(text.width(), 0, room.Width), std::clamp(text.height(), 0, room.Height));
    }
    const TFaceLayout at = LayoutFace(r.left(), r.top(), {r.width(), r.height()}, glyphSize,
                                      {text.width(), text.height()}, Layout, Margin, Spacing, mark);
    place.glyphX = at.GlyphX;
    place.glyphY = at.GlyphY;
    if (!place.text.isEmpty()) place.rect = QRect(at.TextX, at.TextY, at.Text.Width, at.Text.Height);
    return place;
}

QRect TRxSpeedButton::contentRect(QPainter* p) const {
    QRect r = rect();
    const TButtonState drawn = DrawnState();
    if (drawn != TButtonState::bsInactive || state_ == TButtonState::bsExclusive) drawFrame(p, r, Pressed());
    else if (Flat) r.adjust(2, 2, -2, -2);
    if (p && state_ == TButtonState::bsExclusive && !Transparent && (!Flat || drawn == TButtonState::bsInactive))
        p->fillRect(r.adjusted(-1, -1, 1, 1), QBrush(highlight(), Qt::Dense4Pattern));
    if (Pressed()) r.translate(1, 1);
    return r;
}

QString TRxSpeedButton::ShownCaption() const {
    const bool mark = MarkDropDown && DropDownMenu;
    return placeCaption(contentRect(), GlyphImage(state_), mark).text;
}

QRect TRxSpeedButton::CaptionRect() const {
    const bool mark = MarkDropDown && DropDownMenu;
    return placeCaption(contentRect(), GlyphImage(state_), mark).rect;
}

void TRxSpeedButton::drawFrame(QPainter* p, QRect& r, bool pressed) const {
    const bool newStyle = Style != TButtonStyle::bsWin31;
    if (newStyle) {
        if (pressed) {
            frame3D(p, r, frameDark(), highlight());
            if (!Flat) frame3D(p, r, shadow(), face());
        } else if (Flat) {
            frame3D(p, r, highlight(), shadow());
        } else {
            frame3D(p, r, highlight(), frameDark());
            frame3D(p, r, face(), shadow());
        }
    } else if (pressed) {
        if (Flat) {
            frame3D(p, r, frameDark(), highlight());
        } else {
            frame3D(p, r, frameDark(), frameDark());
            if (p) {
                p->setPen(shadow());
                p->drawLine(r.left(), r.bottom(), r.left(), r.top());
                p->drawLine(r.left(), r.top(), r.right(), r.top());
            }
        }
    } else if (Flat) {
        frame3D(p, r, highlight(), frameDark());
    } else {
        frame3D(p, r, frameDark(), frameDark());
        frame3D(p, r, highlight(), shadow());
    }
    r.adjust(1, 1, -1, -1);
}

void TRxSpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!Transparent) p.fillRect(rect(), face());
    const QRect r = contentRect(&p);
    PaintContent(p, r, DrawnState());
}

void TRxSpeedButton::PaintContent(QPainter& p, const QRect& r, TButtonState drawn) {
    const TButtonState glyphState = GrayedInactive && drawn != TButtonState::bsDisabled ? drawn : state_;
    const QImage glyph = GlyphImage(isEnabled() ? glyphState : TButtonState::bsDisabled);
    const bool mark = MarkDropDown && DropDownMenu;
    const TCaptionPlace at = placeCaption(r, glyph, mark);
    if (!glyph.isNull()) p.drawImage(at.glyphX, at.glyphY, glyph);
    if (!at.text.isEmpty()) {
        if (!isEnabled()) {
            p.setPen(highlight());
            p.drawText(at.rect.translated(1, 1), textFlags(), at.text);
            p.setPen(shadow());
        } else {
            p.setPen(palette().color(QPalette::ButtonText));
        }
        p.drawText(at.rect, textFlags(), at.text);
    }
    if (mark) {
        const int centreY = at.text.isEmpty() ? r.center().y() : at.rect.center().y();
        QPoint markAt(at.rect.right() + 3 - 9, centreY);
        if (!glyph.isNull() && Layout != TButtonLayout::blGlyphLeft)
            markAt = {at.glyphX + glyph.width() + 1, at.glyphY + glyph.height() / 2};
        else if (at.text.isEmpty())
            markAt.setX((r.left() + r.right() - kDropDownMarkWidth) / 2);
        if (isEnabled()) {
            drawMark(p, markAt.x(), markAt.y(), palette().color(QPalette::ButtonText));
        } else {
            // Embossed, as the disabled caption.
            drawMark(p, markAt.x() + 1, markAt.y() + 1, highlight());
            drawMark(p, markAt.x(), markAt.y(), shadow());
        }
    }
}

void TRxSpeedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (menuTracking_) return;
    if (down_) emit OnDblClick();
    // The second press of a double click is a press as well.
    mousePressEvent(event);
}

void TRxSpeedButton::SetAction(QAction* action) {
    if (action_ == action) return;
    if (action_) disconnect(action_, nullptr, this, nullptr);
    action_ = action;
    if (!action) return;
    connect(action, &QAction::changed, this, &TRxSpeedButton::actionChanged);
    connect(action, &QObject::destroyed, this, [this] { action_ = nullptr; });
    actionChanged();
}

void TRxSpeedButton::actionChanged() {
    if (!action_) return;
    SetCaption(action_->text());
    setToolTip(action_->toolTip());
    setEnabled(action_->isEnabled());
    setVisible(action_->isVisible());
    if (groupIndex_ != 0 && action_->isCheckable()) SetDown(action_->isChecked());
    if (Glyph().isNull() && !action_->icon().isNull()) {
        // The action's picture on fuchsia, fuchsia its transparent colour.
        const QSize size = action_->icon().availableSizes().value(0, QSize(16, 16));
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(QColor(0xFF, 0x00, 0xFF));
        QPainter painter(&picture);
        action_->icon().paint(&painter, picture.rect());
        painter.end();
        SetGlyph(picture, qRgb(0xFF, 0x00, 0xFF));
    }
}

QPoint TRxSpeedButton::DropDownMenuPoint(int menuWidth) const {
    auto* menu = qobject_cast<const TPopupMenu*>(DropDownMenu.data());
    const TPopupAlignment alignment = menu ? menu->Alignment : TPopupAlignment::paLeft;
    const TFacePoint at = DropDownMenuAt(MenuPosition, alignment, {width(), height()});
    // Qt opens a menu with its top-left corner at the point given.
    const int shift = alignment == TPopupAlignment::paRight    ? menuWidth
                      : alignment == TPopupAlignment::paCenter ? menuWidth / 2
                                                               : 0;
    return mapToGlobal(QPoint(at.X - shift, at.Y));
}

bool TRxSpeedButton::popupMenu() {
    auto* menu = qobject_cast<TPopupMenu*>(DropDownMenu.data());
    if (!DropDownMenu || (menu && !menu->AutoPopup)) return false;
    const QPointer<QMenu> shown = DropDownMenu;
    // A press on this button that closes the menu closes it only: it must not reach the
    // button again and open the menu anew.
    shown->installEventFilter(this);
    shown->exec(DropDownMenuPoint(shown->sizeHint().width()));
    if (shown) {
        shown->removeEventFilter(this);
        shown->setAttribute(Qt::WA_NoMouseReplay, false);
    }
    return true;
}

bool TRxSpeedButton::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == DropDownMenu && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && rect().contains(mapFromGlobal(mouse->globalPosition().toPoint())))
            DropDownMenu->setAttribute(Qt::WA_NoMouseReplay);
    }
    return QWidget::eventFilter(watched, event);
}

void TRxSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (menuTracking_) return;
    if (event->button() == Qt::RightButton) checkMouseIn();
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    setMouseIn(true);
    if (!down_) setState(TButtonState::bsDown);
    dragging_ = true;
    if (DropDownMenu) {
        menuTracking_ = true;
        const bool shown = popupMenu();
        menuTracking_ = false;
        if (shown) {
            // Finished as a release would, without a click.
            dragging_ = false;
            setState(down_ ? TButtonState::bsExclusive : TButtonState::bsUp);
            checkMouseIn();
            return;
        }
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
    if (event->button() == Qt::RightButton) checkMouseIn();
    // The release of the press that opened the menu, or closed it, is no click.
    if (event->button() != Qt::LeftButton || !dragging_ || menuTracking_) return;
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
    checkMouseIn();
}

void TRxSpeedButton::enterEvent(QEnterEvent*) { setMouseIn(isEnabled()); }

void TRxSpeedButton::leaveEvent(QEvent*) { setMouseIn(false); }

void TRxSpeedButton::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    checkMouseIn();
}

void TRxSpeedButton::checkMouseIn() {
    const bool over = isEnabled() && isVisible() && QApplication::widgetAt(QCursor::pos()) == this;
    setMouseIn(over);
}

void TRxSpeedButton::setMouseIn(bool in) {
    if (in == mouseIn_) return;
    mouseIn_ = in;
    if (in) emit OnMouseEnter();
    else emit OnMouseLeave();
    if (Flat) update();
}

void TRxSpeedButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) dragging_ = false;
        else state_ = down_ && groupIndex_ != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
        checkMouseIn();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        glyph_.Invalidate();  // the inactive and disabled pictures follow the system colours
    }
    QWidget::changeEvent(event);
}

}  // namespace gs
