#pragma once
// Lifetime rules shared by the toolbar library's objects:
// - a Notifier tells the Observers watching it when it goes away (and, for sources such
//   as actions and image lists, when it changed), and an Observer that goes away first
//   stops watching, so neither side is ever left holding a dangling pointer;
// - a Component may have an owner, which frees it (an item's parent is separate: it only
//   links the item into a tree).
#include <string>
#include <vector>

namespace tb {

class Observer;

class Notifier {
public:
    Notifier() = default;
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;
    virtual ~Notifier();

    void AddObserver(Observer* observer);
    void RemoveObserver(Observer* observer);

protected:
    // Tells every observer that this changed. Observers may stop watching meanwhile.
    void NotifyObserversChanged();
    // Tells every observer that this is going away and forgets them. Derived classes call
    // it first thing in their destructors, so observers see a whole object.
    void NotifyObserversFreed();

private:
    friend class Observer;
    std::vector<Observer*> observers_;
};

class Observer {
public:
    Observer() = default;
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;
    virtual ~Observer();

    // `source` is being destroyed: forget it; it may be compared, never used.
    virtual void NotifierFreed(Notifier* source) = 0;
    virtual void NotifierChanged(Notifier* source) {}

protected:
    void Watch(Notifier* source);
    void Unwatch(Notifier* source);

private:
    friend class Notifier;
    std::vector<Notifier*> watched_;
};

class Component : public Notifier, public Observer {
public:
    explicit Component(Component* owner);
    // Frees the owned components, newest first, then leaves the owner.
    ~Component() override;

    Component* Owner() const { return owner_; }
    const std::vector<Component*>& Components() const { return components_; }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);

    bool Destroying() const { return destroying_; }
    bool Loading() const { return loading_ > 0; }
    // Brackets the setting of many properties at once (what streaming from a form would
    // do); the last EndLoading calls Loaded.
    void BeginLoading() { ++loading_; }
    void EndLoading();
    // Asks to be told (NotifierFreed) when `other` goes away.
    void FreeNotification(Component* other) { Watch(other); }

protected:
    virtual void Loaded() {}
    virtual void NameChanged() {}
    void MarkDestroying() { destroying_ = true; }
    void NotifierFreed(Notifier*) override {}

private:
    Component* owner_;
    std::vector<Component*> components_;
    std::string name_;
    int loading_ = 0;
    bool destroying_ = false;
};

}  // namespace tb
