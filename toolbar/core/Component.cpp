#include "toolbar/core/Component.h"

#include <algorithm>

namespace tb {

namespace {
template <class T>
void eraseOne(std::vector<T*>& list, T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) list.erase(it);
}
}  // namespace

Notifier::~Notifier() { NotifyObserversFreed(); }

void Notifier::AddObserver(Observer* observer) { observer->Watch(this); }

void Notifier::RemoveObserver(Observer* observer) { observer->Unwatch(this); }

void Notifier::NotifyObserversChanged() {
    // A copy, because an observer may stop watching (or start) while it is told.
    std::vector<Observer*> snapshot = observers_;
    for (Observer* o : snapshot)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->NotifierChanged(this);
}

void Notifier::NotifyObserversFreed() {
    while (!observers_.empty()) {
        Observer* o = observers_.back();
        observers_.pop_back();
        eraseOne(o->watched_, static_cast<Notifier*>(this));
        o->NotifierFreed(this);
    }
}

Observer::~Observer() {
    for (Notifier* n : watched_) eraseOne(n->observers_, this);
}

void Observer::Watch(Notifier* source) {
    if (!source || std::find(watched_.begin(), watched_.end(), source) != watched_.end()) return;
    watched_.push_back(source);
    source->observers_.push_back(this);
}

void Observer::Unwatch(Notifier* source) {
    if (!source) return;
    auto it = std::find(watched_.begin(), watched_.end(), source);
    if (it == watched_.end()) return;
    watched_.erase(it);
    eraseOne(source->observers_, this);
}

Component::Component(Component* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

Component::~Component() {
    destroying_ = true;
    NotifyObserversFreed();
    while (!components_.empty()) delete components_.back();  // each leaves the list itself
    if (owner_) eraseOne(owner_->components_, this);
}

void Component::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    NameChanged();
}

void Component::EndLoading() {
    if (loading_ > 0 && --loading_ == 0) Loaded();
}

}  // namespace tb
