#pragma once
// A one-line numeric edit with up and down buttons beside its text. The number's rules live
// in TSpinValue; this widget moves text in and out of it, filters typed characters, steps on
// the buttons and the arrow keys and shows a clamped value when the focus leaves. Its buttons
// are either an up-down pair (TRxUpDown) or one square split along its diagonal into an up
// and a down half (TRxSpinButton, the default).
#include <QImage>
#include <QLineEdit>
#include <QPointer>

#include "controls/core/ButtonFace.h"
#include "controls/core/SpinValue.h"

class QTimer;
class QToolButton;

namespace gs {

enum class TSpinButtonKind { bkStandard, bkDiagonal };
enum class TSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };

// One square button: the half above the diagonal from its bottom-left to its top-right
// corner steps up, the half below it steps down; held, it repeats (after 400 ms, every
// 100 ms).
class TRxSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TRxSpinButton(QWidget* parent = nullptr);

    // None puts the button's own arrow back.
    void SetUpGlyph(const QImage& glyph);
    void SetDownGlyph(const QImage& glyph);
    const QImage& UpGlyph() const { return upGlyph_; }
    const QImage& DownGlyph() const { return downGlyph_; }
    // Takes the focus when the button is pressed.
    QPointer<QWidget> FocusControl;

    TSpinButtonState Down() const { return down_; }
    // The half a point of the button lies in.
    TSpinButtonState HalfAt(QPoint p) const;

signals:
    void OnTopClick();
    void OnBottomClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void clickHalf();
    void setDown(TSpinButtonState s);
    QImage face(TSpinButtonState pressed) const;

    QImage upGlyph_, downGlyph_;
    bool ownUp_ = true, ownDown_ = true;
    TSpinButtonState down_ = TSpinButtonState::sbNotDown;
    TSpinButtonState firstDown_ = TSpinButtonState::sbNotDown;
    bool dragging_ = false;
    QTimer* repeat_ = nullptr;
};

// The up-down pair beside a standard spin edit; each click says its direction.
class TRxUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TRxUpDown(QWidget* parent = nullptr);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    // +1 up, -1 down.
    void Click(int direction);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    bool inClick_ = false;
};

class TRxSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TRxSpinEdit(QWidget* parent = nullptr);

    double Value() const { return spin_.Parse(text().toStdString()); }
    void SetValue(double value);
    double MinValue() const { return spin_.MinValue; }
    double MaxValue() const { return spin_.MaxValue; }
    void SetMinValue(double v) { spin_.MinValue = v; }
    void SetMaxValue(double v) { spin_.MaxValue = v; }
    double Increment() const { return spin_.Increment; }
    void SetIncrement(double v) { spin_.Increment = v; }
    TValueType ValueType() const { return spin_.ValueType(); }
    void SetValueType(TValueType type);
    void SetDecimal(std::uint8_t digits);
    bool EditorEnabled = true;
    bool ArrowKeys = true;
    TSpinButtonKind ButtonKind() const { return kind_; }
    // Rebuilds the buttons when the kind changes.
    void SetButtonKind(TSpinButtonKind kind);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    const TSpinValue& Spin() const { return spin_; }
    // The diagonal button or the up-down pair; the other is none.
    TRxSpinButton* SpinButton() const { return button_; }
    TRxUpDown* UpDown() const { return upDown_; }
    // The lowest the edit may be: its font's height, four thin borders and one.
    int MinimumEditHeight() const;

    virtual void StepUp() { step(+1); }
    virtual void StepDown() { step(-1); }

signals:
    void OnTopClick();
    void OnBottomClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void step(int direction);
    void buildButtons();
    void placeButtons();
    int buttonWidth() const;

    TSpinValue spin_;
    TSpinButtonKind kind_ = TSpinButtonKind::bkDiagonal;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TRxSpinButton* button_ = nullptr;
    QWidget* holder_ = nullptr;
    TRxUpDown* upDown_ = nullptr;
};

}  // namespace gs
