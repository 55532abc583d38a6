#pragma once
// What an item links to without knowing the window system: the action whose values it
// shows and runs, the image lists it takes pictures from, and the control a control item
// places on a toolbar. The ui layer implements them over QAction, image lists and
// widgets; tests implement them directly.
#include <string>

#include "toolbar/core/Component.h"
#include "toolbar/core/ShortCut.h"

namespace tb {

// The values an action supplies to the items linked to it.
struct TActionValues {
    bool autoCheck = false;
    std::string caption;
    bool checked = false;
    bool enabled = true;
    int helpContext = 0;
    std::string hint;  // short hint, a bar, long hint
    int imageIndex = -1;
    TShortCut shortCut = 0;
    bool visible = true;
    bool hasOnExecute = false;  // the action has its own execute handler
    friend bool operator==(const TActionValues&, const TActionValues&) = default;
};

class IActionSource : public TNotifier {
public:
    virtual TActionValues Values() const = 0;
    // While the action itself is being set up, an item takes its values only where the
    // item still has its defaults.
    virtual bool IsLoading() const { return false; }
    // The action's update handler (what the idle update runs for it).
    virtual void Update() = 0;
    // Updates the action, then runs it for `component` when it is still enabled.
    virtual bool Execute(TComponent* component) = 0;
    // The action's hint handler: may change the hint; False keeps it from being shown.
    virtual bool DoHint(std::string& hint) { return true; }

protected:
    // Implementations call this after any of Values() changed.
    void Changed() { NotifyObserversChanged(); }
};

class IImageSource : public TNotifier {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;

protected:
    // After the images or their size changed.
    void Changed() { NotifyObserversChanged(); }
};

// A control shown in a toolbar cell. Deleting it removes the control from the window.
class TItemControl : public TNotifier {
public:
    // The control's size, and whether it shows in the toolbar's window.
    virtual int Width() const { return 0; }
    virtual int Height() const { return 0; }
    virtual bool ShownInHost() const { return true; }
    // A control that comes from an ancestor form is never freed by the item holding it.
    virtual bool InheritedFromAncestor() const { return false; }
};

}  // namespace tb
