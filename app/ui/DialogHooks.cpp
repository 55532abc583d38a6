#include "app/ui/DialogHooks.h"

#include <QKeyEvent>

#include "framework/ui/DialogFrame.h"

namespace gs {

TListDialog::TListDialog(QWidget* parent, TDialogHooks hooks, int helpContext)
    : QDialog(parent, kDialogWindowFlags), hooks_(std::move(hooks)), helpContext_(helpContext) {}

void TListDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        Guard([this] {
            if (hooks_.Help) hooks_.Help(helpContext_);
        });
        return;
    }
    QDialog::keyPressEvent(event);  // Esc closes
}

}  // namespace gs
