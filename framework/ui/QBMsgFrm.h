#pragma once
// The message box: a picture, a word-wrapped message and one of five button sets. The
// default button has the focus and answers Enter; Esc and the close box give the set's
// closed-without-button answer.
#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "framework/core/MessageBoxRules.h"
#include "framework/ui/BoxParts.h"

class QLabel;
class QPushButton;

namespace gs {

class TQBMessage : public QDialog {
    Q_OBJECT
public:
    explicit TQBMessage(QWidget* parent = nullptr);

    // Raises std::runtime_error with the box's message for a bad language, type or set,
    // before anything is shown.
    void Setup(const std::string& msg, const std::string& caption, std::uint8_t messageType, std::uint8_t buttonSet,
               std::uint16_t defaultButton, std::uint8_t languageId, const std::string& fontName);

    int PressedButton() const { return pressed_; }  // 0 = closed without a button
    TQBMessageResult MessageResult() const { return MessageResultFor(layout_, pressed_); }
    int DefaultButton() const { return defaultButton_; }
    QPushButton* Button(int number) const { return buttons_.at(number - 1); }

private:
    void buildWidgets();
    void showPicture(TQBMessageType type);
    void placeButtons();
    void focusDefaultButton();
    void fitToMessage();
    void buttonClicked(int number);

    QWidget* pBottom_ = nullptr;
    QWidget* pLeft_ = nullptr;
    std::array<QLabel*, 4> pictures_{};  // in TQBMessageType order
    TQBWrappedText message_;
    std::array<QPushButton*, kQBMaxButtons> buttons_{};
    TQBButtonLayout layout_;
    int defaultButton_ = 1;
    int pressed_ = 0;
};

}  // namespace gs
