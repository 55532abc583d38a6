#pragma once
// The frame the framework's dialogs share: a fixed client area, a caption, the program's
// font, Esc closing the window and F1 opening the help.
#include <QDialog>
#include <string>

namespace gs {

class IFormDesktop;

class TSmallForm : public QDialog {
    Q_OBJECT
public:
    TSmallForm(QWidget* parent, IFormDesktop& desktop, const char* objectName, int clientWidth, int clientHeight);

    // Before showing: the middle of the owner window, or of the screen without one.
    void CenterOnOwner();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    IFormDesktop& desktop_;
};

// The descriptor's font for a window (kDefaultFontName where the desktop has it).
void ApplyFormFont(QWidget& form, const std::string& fontName);

}  // namespace gs
