#pragma once
// The error-details box: a picture, a message, OK, and a Details button that unfolds a
// read-only text of details below them.
#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "framework/core/MessageBoxRules.h"
#include "framework/ui/BoxParts.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gs {

class TQBMessageDetails : public QDialog {
    Q_OBJECT
public:
    explicit TQBMessageDetails(QWidget* parent = nullptr);

    // Raises std::runtime_error with the box's message for a bad language or type, before
    // anything is shown. Sounds a beep.
    void Setup(const std::string& msg, const std::string& details, const std::string& caption,
               std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName, bool expand);

    bool DetailsShown() const { return detailsShown_; }  // the Details button's tag
    int FoldedHeight() const;
    int UnfoldedHeight() const;

private:
    void buildWidgets();
    void fitToMessage();
    void cmdDetailsClick();
    void showFolded(bool folded);

    std::array<QLabel*, 3> pictures_{};  // critical, warning, information
    TQBWrappedText message_;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdDetails_ = nullptr;
    QPlainTextEdit* txtErrorDetails_ = nullptr;
    QString okCaption_, unfoldedCaption_, foldedCaption_;
    bool detailsShown_ = false;
    int extraHeight_ = 0;  // what a long message added
};

}  // namespace gs
