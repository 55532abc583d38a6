#include "controls/ui/RxSpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>

namespace gs {

namespace {
constexpr int kMaxButtonWidth = 15;
}

TRxSpinEdit::TRxSpinEdit(QWidget* parent) : QLineEdit(parent) {
    setText("0");
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setObjectName("btnUp");
    down_->setObjectName("btnDown");
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::ArrowCursor);
        b->setAutoRaise(false);
    }
    connect(up_, &QToolButton::clicked, this, [this] { StepUp(); });
    connect(down_, &QToolButton::clicked, this, [this] { StepDown(); });
    placeButtons();
}

void TRxSpinEdit::SetValue(double value) { setText(QString::fromStdString(spin_.Format(value))); }

void TRxSpinEdit::SetValueType(TValueType type) {
    if (type == spin_.ValueType()) return;
    const double v = Value();
    spin_.SetValueType(type);
    SetValue(v);
}

void TRxSpinEdit::SetDecimal(std::uint8_t digits) {
    if (digits == spin_.Decimal) return;
    const double v = Value();
    spin_.Decimal = digits;
    SetValue(v);
}

void TRxSpinEdit::step(int direction) {
    if (isReadOnly()) {
        QApplication::beep();
        return;
    }
    const QString before = text();
    const QString after = QString::fromStdString(spin_.Step(before.toStdString(), direction));
    if (after.compare(before, Qt::CaseInsensitive) != 0) {
        setText(after);
        setModified(true);
        emit textEdited(after);
    }
    if (direction > 0) emit OnTopClick();
    else emit OnBottomClick();
}

void TRxSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (ArrowKeys && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        event->key() == Qt::Key_Up ? StepUp() : StepDown();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) {
        if (EditorEnabled && !isReadOnly()) QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter &&
        event->key() != Qt::Key_Escape) {
        const char32_t c = typed.at(0).unicode();
        const bool editing = c == 8 || c >= 32;
        if (editing && !spin_.AcceptsChar(c, text().toStdString(), EditorEnabled)) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    // Enter and Esc go on to the dialog, whose default and cancel buttons act on them.
    QLineEdit::keyPressEvent(event);
}

void TRxSpinEdit::focusOutEvent(QFocusEvent* event) {
    const double v = Value();
    if (spin_.Clamp(v) != v) SetValue(v);
    QLineEdit::focusOutEvent(event);
}

void TRxSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeButtons();
}

void TRxSpinEdit::placeButtons() {
    const int width = std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent), kMaxButtonWidth);
    const int half = height() / 2;
    up_->setGeometry(this->width() - width, 0, width, half);
    down_->setGeometry(this->width() - width, half, width, height() - half);
    setTextMargins(0, 0, width + 2, 0);
}

}  // namespace gs
