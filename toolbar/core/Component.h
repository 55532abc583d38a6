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

class TObserver;

class TNotifier {
public:
    TNotifier() = default;
    TNotifier(const TNotifier&) = delete;
    TNotifier& operator=(const TNotifier&) = delete;
    virtual ~TNotifier();

    void AddObserver(TObserver* observer);
    void RemoveObserver(TObserver* observer);

protected:
    // Tells every observer that this changed. Observers may stop watching meanwhile.
    void NotifyObserversChanged();
    // Tells every observer that this is going away and forgets them. Derived classes call
    // it first thing in their destructors, so observers see a whole object.
    void NotifyObserversFreed();

private:
    friend class TObserver;
    std::vector<TObserver*> observers_;
};

class TObserver {
public:
    TObserver() = default;
    TObserver(const TObserver&) = delete;
    TObserver& operator=(const TObserver&) = delete;
    virtual ~TObserver();

    // `source` is being destroyed: forget it; it may be compared, never used.
    virtual void NotifierFreed(TNotifier* source) = 0;
    virtual void NotifierChanged(TNotifier* source) {}

protected:
    void Watch(TNotifier* source);
    void Unwatch(TNotifier* source);

private:
    friend class TNotifier;
    std::vector<TNotifier*> watched_;
};

class TComponent : public TNotifier, public TObserver {
public:
    explicit TComponent(TComponent* owner);
    // Frees the owned components, newest first, then leaves the owner.
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);

    bool Destroying() const { return destroying_; }
    bool Loading() const { return loading_ > 0; }
    // Brackets the setting of many properties at once (what streaming from a form would
    // do); the last EndLoading calls Loaded.
    void BeginLoading() { ++loading_; }
    void EndLoading();
    // Asks to be told (NotifierFreed) when `other` goes away.
    void FreeNotification(TComponent* other) { Watch(other); }

protected:
    virtual void Loaded() {}
    virtual void NameChanged() {}
    void MarkDestroying() { destroying_ = true; }
    void NotifierFreed(TNotifier*) override {}

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    std::string name_;
    int loading_ = 0;
    bool destroying_ = false;
};

}  // namespace tb
