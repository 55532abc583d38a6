#include "controls/ui/RxSpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

namespace gs {

namespace {
constexpr int kMaxButtonWidth = 15;
}

TRxSpinEdit::TRxSpinEdit(QWidget* parent) : QLineEdit(parent) {
    setText("0");
    buildButtons();
    setMinimumHeight(MinimumEditHeight());
}

void TRxSpinEdit::SetButtonKind(TSpinButtonKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    buildButtons();
}

void TRxSpinEdit::buildButtons() {
    delete upDown_;
    delete holder_;  // and the spin button in it
    upDown_ = nullptr;
    holder_ = nullptr;
    button_ = nullptr;
    if (kind_ == TSpinButtonKind::bkStandard) {
        upDown_ = new TRxUpDown(this);
        upDown_->setObjectName("UpDown");
        connect(upDown_, &TRxUpDown::Click, this, [this](int direction) {
            if (focusPolicy() != Qt::NoFocus && isEnabled()) setFocus(Qt::MouseFocusReason);
            direction > 0 ? StepUp() : StepDown();
        });
        upDown_->setEnabled(isEnabled());
        upDown_->show();
    } else {
        holder_ = new QWidget(this);
        button_ = new TRxSpinButton(holder_);
        button_->setObjectName("SpinButton");
        button_->FocusControl = this;
        button_->setCursor(Qt::ArrowCursor);
        connect(button_, &TRxSpinButton::OnTopClick, this, [this] { StepUp(); });
        connect(button_, &TRxSpinButton::OnBottomClick, this, [this] { StepDown(); });
        button_->setEnabled(isEnabled());
        holder_->show();
    }
    placeButtons();
}

void TRxSpinEdit::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    switch (alignment) {
        case TAlignment::taLeftJustify: setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
        case TAlignment::taRightJustify: setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
        case TAlignment::taCenter: setAlignment(Qt::AlignHCenter | Qt::AlignVCenter); break;
    }
}

int TRxSpinEdit::MinimumEditHeight() const {
    constexpr int kThinBorder = 1;
    return fontMetrics().height() + 4 * kThinBorder + 1;
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
    if (height() < MinimumEditHeight()) return resize(width(), MinimumEditHeight());
    placeButtons();
}

void TRxSpinEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (button_) button_->setEnabled(isEnabled());
        if (upDown_) upDown_->setEnabled(isEnabled());
    } else if (event->type() == QEvent::FontChange) {
        setMinimumHeight(MinimumEditHeight());
        placeButtons();
    }
    QLineEdit::changeEvent(event);
}

int TRxSpinEdit::buttonWidth() const {
    if (upDown_) return upDown_->width();
    if (button_) return button_->width();
    return std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent), kMaxButtonWidth);
}

void TRxSpinEdit::placeButtons() {
    const int standard = std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent), kMaxButtonWidth);
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    if (upDown_) upDown_->setGeometry(rtl ? 0 : width() - standard, 0, standard, height());
    if (holder_) {
        // A square inside the frame at the right edge, as high as the text area.
        const int side = std::max(height() - 3, 1);
        holder_->setGeometry(rtl ? 1 : width() - side - 2, 1, side, side);
        button_->setGeometry(0, 0, side, side);
    }
    const int w = buttonWidth();
    if (rtl) setTextMargins(w + 1, 0, 0, 0);
    else setTextMargins(0, 0, w + 2, 0);
}

}  // namespace gs
