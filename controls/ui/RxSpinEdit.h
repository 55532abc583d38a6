#pragma once
// A one-line numeric edit with up and down buttons beside its text. The number's rules live
// in TSpinValue; this widget moves text in and out of it, filters typed characters, steps on
// the buttons and the arrow keys and shows a clamped value when the focus leaves.
#include <QLineEdit>

#include "controls/core/SpinValue.h"

class QToolButton;

namespace gs {

enum class TSpinButtonKind { bkStandard, bkDiagonal };

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
    TSpinButtonKind ButtonKind = TSpinButtonKind::bkStandard;
    const TSpinValue& Spin() const { return spin_; }

    virtual void StepUp() { step(+1); }
    virtual void StepDown() { step(-1); }

signals:
    void OnTopClick();
    void OnBottomClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int direction);
    void placeButtons();

    TSpinValue spin_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace gs
