#include "controls/ui/WindowHook.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <iostream>
#include <map>

#include "platform/Errors.h"

namespace gs {

namespace {

// The process-wide list: at most one control hook per widget.
std::map<QWidget*, TControlHook*>& hookList() {
    static std::map<QWidget*, TControlHook*> list;
    return list;
}

// Called by Qt before it delivers any event (data: receiver, event, the result to give).
bool notifyCallback(void** data) {
    const QCoreApplication* app = QCoreApplication::instance();
    auto* receiver = static_cast<QObject*>(data[0]);
    // The list is the main thread's; widgets live there only.
    if (!app || !receiver || !receiver->isWidgetType() || QThread::currentThread() != app->thread()) return false;
    const auto it = hookList().find(static_cast<QWidget*>(receiver));
    if (it == hookList().end()) return false;
    return it->second->Deliver(static_cast<QEvent*>(data[1]), *static_cast<bool*>(data[2]));
}

void watchDeliveries(bool on) {
    static bool watching = false;
    if (on == watching) return;
    watching = on;
    if (on) QInternal::registerCallback(QInternal::EventNotifyCallback, notifyCallback);
    else QInternal::unregisterCallback(QInternal::EventNotifyCallback, notifyCallback);
}

}  // namespace

TRxWindowHook::TRxWindowHook(QObject* owner) : QObject(owner) {}

TRxWindowHook::~TRxWindowHook() {
    SetActive(false);
    control_ = nullptr;
}

void TRxWindowHook::SetActive(bool active) {
    if (active) attach();
    else detach();
    active_ = active;
}

void TRxWindowHook::SetWinControl(QWidget* control) {
    if (control == control_) return;
    const bool wasActive = active_;
    detach();
    control_ = control;
    if (wasActive) attach();
}

bool TRxWindowHook::call(const MessageEvent& handler, QEvent* event, bool& handled) {
    if (!handler) return true;
    try {
        handler(*this, event, handled);
        return true;
    } catch (...) {
        if (OnError) {
            try {
                OnError(std::current_exception());
                return false;
            } catch (...) {
                // The handler of errors failed as well: said below, as without one.
            }
        }
        try {
            throw;
        } catch (const std::exception& e) {
            std::cerr << kMessagePrefix << e.what() << '\n';
        } catch (...) {
            std::cerr << kMessagePrefix << "unknown error\n";
        }
        return false;
    }
}

void TRxWindowHook::attach() {
    if (!control_ || registered_) return;
    TControlHook::Of(control_)->Register(this);
}

void TRxWindowHook::detach() {
    if (registered_) registered_->Unregister(this);
}

TControlHook::TControlHook(QWidget* control) : control_(control) {
    watchDeliveries(true);
    // A widget that goes takes its hooks' view of it along.
    connect(control, &QObject::destroyed, this, [this] {
        for (TRxWindowHook* hook : std::vector<TRxWindowHook*>(hooks_)) {
            hook->registered_ = nullptr;
            hook->control_ = nullptr;
        }
        hooks_.clear();
        forget();
        deleteLater();
    });
    hookList()[control] = this;
}

void TControlHook::forget() {
    for (auto it = hookList().begin(); it != hookList().end(); ++it)
        if (it->second == this) {
            hookList().erase(it);
            break;
        }
    if (hookList().empty()) watchDeliveries(false);
}

TControlHook::~TControlHook() {
    forget();
    for (TRxWindowHook* hook : hooks_) hook->registered_ = nullptr;
}

TControlHook* TControlHook::Of(QWidget* control) {
    auto it = hookList().find(control);
    if (it != hookList().end()) return it->second;
    return new TControlHook(control);
}

int TControlHook::Count() { return int(hookList().size()); }

void TControlHook::Register(TRxWindowHook* hook) {
    if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
    hook->registered_ = this;
}

void TControlHook::Unregister(TRxWindowHook* hook) {
    hook->registered_ = nullptr;
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
    if (hooks_.empty()) scheduleRelease();
}

void TControlHook::scheduleRelease() {
    // After the current event: a hook may unregister from inside its own handler.
    QTimer::singleShot(0, this, [this] {
        if (hooks_.empty()) delete this;
    });
}

bool TControlHook::Deliver(QEvent* event, bool& result) {
    if (!control_ || hooks_.empty()) return false;
    const std::vector<TRxWindowHook*> hooks = hooks_;  // handlers may unregister
    bool handled = false;
    // A handler may free a hook that comes after it.
    std::vector<QPointer<TRxWindowHook>> alive(hooks.begin(), hooks.end());
    if (event->type() != QEvent::Quit)
        for (auto it = alive.rbegin(); it != alive.rend() && !handled; ++it)
            if (*it) (*it)->call((*it)->BeforeMessage, event, handled);
    if (handled) {
        result = true;
        return true;
    }
    // Qt's own delivery, whole; the "after" handlers then see what it made of the event,
    // also when the widget's handling raised (which then goes on its way).
    QPointer<QWidget> control(control_);
    std::exception_ptr failed;
    try {
        result = QCoreApplication::instance()->notify(control_, event);
    } catch (...) {
        failed = std::current_exception();
    }
    bool afterHandled = false;
    for (auto it = alive.rbegin(); it != alive.rend() && !afterHandled && control; ++it)
        if (*it) (*it)->call((*it)->AfterMessage, event, afterHandled);
    if (failed) std::rethrow_exception(failed);
    return true;
}

}  // namespace gs
