#pragma once
// The links an item keeps to its action and its image lists (used by Item*.cpp only).
#include <functional>

#include "toolbar/core/Item.h"

namespace tb {

// Follows an action: a value of the action that the item still shows as the action had it
// is "linked", and a change of the action is copied to the item only for linked values.
class TTBCustomItemActionLink : public TObserver {
public:
    explicit TTBCustomItemActionLink(TTBCustomItem& client) : client_(client) {}
    ~TTBCustomItemActionLink() override { SetAction(nullptr); }

    IActionSource* Action() const { return action_; }
    void SetAction(IActionSource* action);
    // Snapshot of the action's values as the item last took them.
    const TActionValues& Seen() const { return seen_; }
    void Remember() { seen_ = action_ ? action_->Values() : TActionValues{}; }

    bool IsAutoCheckLinked() const;
    bool Execute(TComponent* component) { return action_ && action_->Execute(component); }
    void Update() {
        if (action_) action_->Update();
    }

    void NotifierChanged(TNotifier* source) override;
    void NotifierFreed(TNotifier* source) override;

private:
    TTBCustomItem& client_;
    IActionSource* action_ = nullptr;
    TActionValues seen_;
};

// Registered with an image list; remembers the list's image size so that a change can tell
// whether the size changed.
class TTBImageChangeLink : public TObserver {
public:
    using Handler = std::function<void(TTBImageChangeLink*, bool sizeChanged)>;
    explicit TTBImageChangeLink(Handler onChange, std::function<void()> onFreed)
        : onChange_(std::move(onChange)), onFreed_(std::move(onFreed)) {}
    ~TTBImageChangeLink() override { Register(nullptr); }

    // Moves the link to `list` (nullptr: none); true when the image size is not the one of
    // the list it was registered with before (or there was none).
    bool Register(IImageSource* list);
    IImageSource* List() const { return list_; }

    void NotifierChanged(TNotifier* source) override;
    void NotifierFreed(TNotifier* source) override;

private:
    Handler onChange_;
    std::function<void()> onFreed_;
    IImageSource* list_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace tb
