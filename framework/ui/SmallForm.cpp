#include "framework/ui/SmallForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "framework/ui/DialogFrame.h"
#include "framework/ui/FormDesktop.h"
#include "framework/ui/QtBridge.h"

namespace gs {

TSmallForm::TSmallForm(QWidget* parent, IFormDesktop& desktop, const char* objectName, int clientWidth,
                       int clientHeight)
    : QDialog(parent, kFixedDialogWindowFlags), desktop_(desktop) {
    setObjectName(objectName);
    setFixedSize(clientWidth, clientHeight);
}

void TSmallForm::CenterOnOwner() {
    QRect area;
    if (QWidget* owner = parentWidget()) area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen()) area = screen->availableGeometry();
    if (!area.isEmpty()) move(area.center() - QPoint(width() / 2, height() / 2));
}

void TSmallForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        desktop_.ShowHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ApplyFormFont(QWidget& form, const std::string& fontName) {
    if (fontName.empty()) return;
    QFont font = form.font();
    font.setFamily(qs(fontName));
    form.setFont(font);
}

}  // namespace gs
