#include "toolbar/ui/QtHooks.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "toolbar/core/Hooks.h"

namespace tb {

namespace {

class THookFilter : public QObject {
public:
    unsigned kinds = 0;  // installed hook kinds, bit per kind
    int activeState = QApplication::activeWindow() ? 1 : 0;  // the last one told

    bool eventFilter(QObject* obj, QEvent* ev) override {
        THookRegistry& hooks = Hooks();
        switch (ev->type()) {
        // Not at ApplicationStateChange (nor ApplicationActivate): Qt sends those before it
        // changes the active window, so the window that just lost the keyboard would still be
        // the active one and a returning application would have none. A top-level window's
        // activation change comes after it; the application's state is whether any is active.
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (obj->isWidgetType() && static_cast<QWidget*>(obj)->isWindow()) {
                const int active = QApplication::activeWindow() ? 1 : 0;
                if (active != activeState) {
                    activeState = active;
                    hooks.Dispatch(THookCode::ActivateApp, QCoreApplication::instance(), active, 0);
                }
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            if (obj->isWidgetType() && static_cast<QWidget*>(obj)->isWindow())
                hooks.Dispatch(THookCode::WindowPosChanged, obj, 0, 0);
            break;
        case QEvent::PlatformSurface:
            if (obj->isWindowType() &&
                static_cast<QPlatformSurfaceEvent*>(ev)->surfaceEventType() ==
                    QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
                hooks.Dispatch(THookCode::DestroyWindow, widgetOf(static_cast<QWindow*>(obj)), 0, 0);
            break;
        default:
            break;
        }
        return hooks.Dispatch(THookCode::GetMessage, obj, 0, reinterpret_cast<std::intptr_t>(ev));
    }

    static QObject* widgetOf(QWindow* window) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowHandle() == window) return w;
        return window;
    }
};

QPointer<THookFilter> gFilter;

bool install(int kind) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;  // tried again on the next registration
    if (!gFilter) {
        gFilter = new THookFilter;
        gFilter->setParent(app);
        app->installEventFilter(gFilter);
    }
    gFilter->kinds |= 1u << kind;
    return true;
}

void uninstall(int kind) {
    if (!gFilter) return;
    gFilter->kinds &= ~(1u << kind);
    if (gFilter->kinds == 0) delete gFilter.data();  // leaves the application's filters itself
}

}  // namespace

void InstallQtHooks() { SetHookInstaller(install, uninstall); }

}  // namespace tb
