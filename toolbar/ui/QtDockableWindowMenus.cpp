// A dockable window's ties beyond its own form: the further forms it may dock into and
// the context menu of its frame.
#include <QContextMenuEvent>
#include <vector>

#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtDockableWindow.h"
#include "toolbar/ui/QtMenuLoop.h"

namespace tb {

void TTBCustomDockableWindow::AddDockForm(QWidget* form) {
    if (!form) return;
    for (const QPointer<QWidget>& f : dockForms_)
        if (f == form) return;
    dockForms_.emplace_back(form);
}

void TTBCustomDockableWindow::RemoveDockForm(QWidget* form) {
    std::erase_if(dockForms_, [form](const QPointer<QWidget>& f) { return !f || f == form; });
}

std::vector<QWidget*> TTBCustomDockableWindow::DockForms() const {
    std::vector<QWidget*> forms;
    for (const QPointer<QWidget>& f : dockForms_)
        if (f) forms.push_back(f);  // a freed form has left the list
    return forms;
}

void TTBCustomDockableWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The menu key asks at the window's client origin; a click, where it was.
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(contentsRect().topLeft())
                                                                      : event->globalPos();
    bool handled = false;
    if (OnContextPopup) Guarded([&] { OnContextPopup(this, at, handled); });
    if (!handled && PopupMenu && PopupMenu->AutoPopup) {
        const QPointer<TTBPopupMenu> menu = PopupMenu;
        Guarded([&] { menu->Popup(at.x(), at.y()); });
        handled = true;
    }
    event->setAccepted(handled);
}

}  // namespace tb
