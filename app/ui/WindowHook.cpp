#include "app/ui/WindowHook.h"

#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <map>

namespace gs {

namespace {

// The process-wide list: at most one control hook per widget.
std::map<QWidget*, TControlHook*>& hookList() {
    static std::map<QWidget*, TControlHook*> list;
    return list;
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

void TRxWindowHook::attach() {
    if (!control_ || registered_) return;
    TControlHook::Of(control_)->Register(this);
}

void TRxWindowHook::detach() {
    if (registered_) registered_->Unregister(this);
}

TControlHook::TControlHook(QWidget* control) : control_(control) {
    control->installEventFilter(this);
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
}

TControlHook::~TControlHook() {
    forget();
    for (TRxWindowHook* hook : hooks_) hook->registered_ = nullptr;
    if (control_) control_->removeEventFilter(this);
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

bool TControlHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_ || hooks_.empty() || inEvent_) return false;
    const std::vector<TRxWindowHook*> hooks = hooks_;  // handlers may unregister
    bool handled = false;
    for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it)
        if ((*it)->BeforeMessage) (*it)->BeforeMessage(**it, event, handled);
    if (handled) return true;
    // The widget's own handling runs here so the "after" handlers see its result.
    inEvent_ = true;
    QPointer<QWidget> alive(control_);
    const bool result = static_cast<QObject*>(control_.data())->event(event);
    inEvent_ = false;
    bool afterHandled = false;
    for (auto it = hooks.rbegin(); it != hooks.rend() && !afterHandled && alive; ++it)
        if ((*it)->AfterMessage) (*it)->AfterMessage(**it, event, afterHandled);
    (void)result;
    return true;
}

}  // namespace gs
