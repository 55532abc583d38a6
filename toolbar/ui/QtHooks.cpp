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

class HookFilter : public QObject {
public:
    unsigned kinds = 0;  // installed hook kinds, bit per kind

    bool eventFilter(QObject* obj, QEvent* ev) override {
        HookRegistry& hooks = Hooks();
        switch (ev->type()) {
        case QEvent::ApplicationStateChange:
            if (obj == QCoreApplication::instance())
                hooks.Dispatch(THookCode::ActivateApp, obj,
                               QGuiApplication::applicationState() == Qt::ApplicationActive ? 1 : 0, 0);
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

QPointer<HookFilter> gFilter;

bool install(int kind) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;  // tried again on the next registration
    if (!gFilter) {
        gFilter = new HookFilter;
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
