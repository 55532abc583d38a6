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

TNotifier::~TNotifier() { NotifyObserversFreed(); }

void TNotifier::AddObserver(TObserver* observer) { observer->Watch(this); }

void TNotifier::RemoveObserver(TObserver* observer) { observer->Unwatch(this); }

void TNotifier::NotifyObserversChanged() {
    // A copy, because an observer may stop watching (or start) while it is told.
    std::vector<TObserver*> snapshot = observers_;
    for (TObserver* o : snapshot)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->NotifierChanged(this);
}

void TNotifier::NotifyObserversFreed() {
    while (!observers_.empty()) {
        TObserver* o = observers_.back();
        observers_.pop_back();
        eraseOne(o->watched_, static_cast<TNotifier*>(this));
        o->NotifierFreed(this);
    }
}

TObserver::~TObserver() {
    for (TNotifier* n : watched_) eraseOne(n->observers_, this);
}

void TObserver::Watch(TNotifier* source) {
    if (!source || std::find(watched_.begin(), watched_.end(), source) != watched_.end()) return;
    watched_.push_back(source);
    source->observers_.push_back(this);
}

void TObserver::Unwatch(TNotifier* source) {
    if (!source) return;
    auto it = std::find(watched_.begin(), watched_.end(), source);
    if (it == watched_.end()) return;
    watched_.erase(it);
    eraseOne(source->observers_, this);
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    NotifyObserversFreed();
    while (!components_.empty()) delete components_.back();  // each leaves the list itself
    if (owner_) eraseOne(owner_->components_, this);
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    NameChanged();
}

void TComponent::EndLoading() {
    if (loading_ > 0 && --loading_ == 0) Loaded();
}

}  // namespace tb
