#pragma once
// The menu loop's decisions over a chain of views (a root view and the popups opened from
// it): keys, typed characters, mouse moves, presses and releases in screen coordinates,
// and the submenu timer. The ui runs the event loop, captures input and feeds this; the
// loop ends when Done() turns true, with a result the caller performs afterwards.
#include <functional>
#include <optional>
#include <string>

#include "toolbar/core/ItemRuntime.h"
#include "toolbar/core/View.h"

namespace tb {

// Where each view's window is: the view hosts answer this for the loop.
class ITBScreenPlacement {
public:
    virtual ~ITBScreenPlacement() = default;
    // The client area of `view`'s window on the screen; empty when not shown.
    virtual TRect ClientOnScreen(const TTBView& view) const = 0;
};

// The loop's state as a viewer's press and release see and change it.
struct TTBLoopState {
    TTBView& root;
    bool mouseDownOnOpen = false;  // the press came on the item whose popup was open
    bool done = false;
    TTBLoopResult result;
};

class TTBMenuLoop {
public:
    struct Services {
        std::function<void(int ms)> ArmTimer;  // (re)starts the one submenu timer
        std::function<void()> DisarmTimer;
        std::function<int()> showDelay;        // the submenu delay in ms
        std::function<void()> beep;
        std::function<void*()> activeWindow;   // for Alt+Space and Alt+-
        std::function<void(const std::string&)> setHint;
        std::function<void(int ms)> armScrollTimer;  // a popup's scroll band is under the mouse
        std::function<void()> disarmScrollTimer;
        std::function<void(TTBCursor)> setCursor;  // the selected viewer's choice
    };
    static constexpr int kScrollIntervalMs = 100;
    static constexpr int kDefaultShowDelayMs = 400;  // when no service says

    TTBMenuLoop(TTBView& root, const ITBScreenPlacement& screen, Services services, bool rightButtonToo = false);
    ~TTBMenuLoop();

    // StartedByMouse: the selection gets the press at `mouse`. PopupMode: the selection's
    // popup opens at once (PickFirst: with its first item selected).
    void Start(bool startedByMouse, bool popupMode, bool pickFirst, TPoint mouse);
    // Also done, with no action, when the root view or its items went (a handler freed them).
    bool RootGone() const { return rootAlive_.expired() || !root_.ShownItem(); }
    bool Done() const { return state_.done || RootGone(); }
    const TTBLoopResult& Result() const { return RootGone() ? kNoResult : state_.result; }
    TTBView& Root() const { return root_; }
    TTBView& Innermost() const;

    // Keys by virtual key code; true when the key was used (else the ui types its text).
    bool KeyDown(int key, bool shift);
    void Char(char32_t c);
    void MouseMove(TPoint screen);
    // False when the press lies outside the chain: the loop ends and the press goes on.
    bool MousePress(TPoint screen, bool right, bool doubleClick);
    void MouseRelease(TPoint screen, bool right);
    void MouseWheel(TPoint screen, int delta);
    void TimerElapsed();
    // Scrolls the popup whose band is under the mouse by one item.
    void ScrollTimerElapsed();
    // Ignore the next release (the one of the press that opened a popup menu).
    void IgnoreFirstRelease() { root_.ViewFlags |= vsIgnoreFirstMouseUp; }
    // Esc that closes a drop-down back to the root toolbar ends the loop as well: a plain
    // toolbar whose button a press opened has no keyboard mode to go back to, and staying
    // in the loop would keep the button framed and swallow the next key (Ctrl+D).
    void EndWhenEscapeReachesRoot() { escapeReachingRootEnds_ = true; }

private:
    static inline const TTBLoopResult kNoResult{};
    struct Hit {
        TTBView* view = nullptr;      // the view the point is over, innermost first
        TTBItemViewer* viewer = nullptr;
    };
    Hit HitTest(TPoint screen) const;
    TPoint ToClient(const TTBView& view, TPoint screen) const;
    bool Over(const TTBView& view, TPoint screen) const;
    void MouseMoved(TPoint screen, bool mayChoose);
    // The point relative to the viewer, kNowhere when not over its view's window.
    TPoint ViewerPoint(const TTBItemViewer& viewer, TPoint screen) const;
    // The viewer that hears the mouse at a point: the one holding a press, else the selection
    // the point is in.
    TTBItemViewer* ViewerFound(TPoint screen) const;
    TTBView* TrackingView() const;
    bool ViewKeyDown(TTBView& view, int key, bool shift);
    void LeftRight(TTBView& view, bool left);
    void MoveOnRoot(TTBView& r, bool forward);
    void ExecuteSelection(TTBView& view);
    void Select(TTBView& view, TTBItemViewer* viewer);
    void End() { state_.done = true; }
    void StopTimer();
    void UpdateHint();

    TTBView& root_;
    std::weak_ptr<const bool> rootAlive_;
    const ITBScreenPlacement& screen_;
    Services services_;
    bool rightButtonToo_;
    bool escapeReachingRootEnds_ = false;
    TTBLoopState state_;
    TTBView* timerView_ = nullptr;  // the popup whose submenu timer runs; none when stopped
    TTBView* scrollView_ = nullptr;  // compared with the chain before use
    bool scrollDown_ = false;
    bool ScrollBands(TTBView& view, TPoint screen);
    TTBView* InChain(const TTBView* view) const;
    std::vector<TTBView*> mouseWasOver_;
    std::optional<TPoint> lastMouse_;
};

}  // namespace tb
