#pragma once
// The timing half of a popup menu's fade or unroll: a worker thread measures time and
// asks the GUI thread (through an injected sink) to draw steps 0..255 in steps of 16.
// At most one step request is in flight; every request carries the generation of the
// animation it belongs to, so requests of an earlier animation are ignored. The worker
// never looks at the cursor: the GUI thread tells it when the cursor entered the popup.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "toolbar/core/Common.h"

namespace tb {

// Which side a popup unrolls from.
enum TTBAnimationDirection : std::uint8_t { tbadLeft = 1, tbadRight = 2, tbadDown = 4, tbadUp = 8 };

constexpr int kPopupAnimationMs = 150;

// Where the snapshot is drawn for a slide step: the window's top-left moves from fully
// outside (step 0) to its place (step 255) along the direction.
TPoint SlideOffset(std::uint8_t direction, int width, int height, int step);

class PopupAnimator {
public:
    using Clock = std::function<std::int64_t()>;        // milliseconds, steady
    using Sleeper = std::function<void(int ms)>;         // may return early
    using StepSink = std::function<void(std::uint32_t generation)>;  // asks the GUI thread for a step

    struct Params {
        int durationMs = kPopupAnimationMs;
        bool fade = false;
        std::uint8_t direction = 0;
        int width = 0, height = 0;
    };

    // Without a clock or sleeper the steady clock and an interruptible wait are used.
    explicit PopupAnimator(StepSink sink, Clock clock = {}, Sleeper sleeper = {});
    ~PopupAnimator();  // stops a running animation
    PopupAnimator(const PopupAnimator&) = delete;
    PopupAnimator& operator=(const PopupAnimator&) = delete;

    // GUI thread. Ends any running animation, then starts a worker. False when the worker
    // could not be made: the caller shows the window whole at once.
    bool Start(const Params& params);
    // GUI thread. Ends the running animation (waiting for the worker); false when none ran.
    bool Stop();
    bool Running() const { return running_.load(); }

    // GUI thread, for a step request of `generation`.
    struct StepAction {
        enum class Kind { Ignore, Finish, Draw } kind = Kind::Ignore;
        int step = 0;   // Draw: alpha or unrolled fraction
        TPoint offset;  // Draw, slide: where the snapshot goes
    };
    // Ignore a stale generation; Finish when the worker ended (the caller then Stops and
    // shows the window whole); else what to draw. Lets the worker send the next request.
    StepAction OnStep(std::uint32_t generation);

    // GUI thread: the cursor entered the popup's client area; the worker ends at its next round.
    void CursorEntered() { cursorEntered_.store(true); }

    std::uint32_t Generation() const { return generation_.load(); }
    const Params& Current() const { return params_; }

private:
    void Run(std::uint32_t generation);
    void Sleep(int ms);

    StepSink sink_;
    Clock clock_;
    Sleeper sleeper_;
    Params params_;  // written only while no worker runs
    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<int> step_{0};
    std::atomic<bool> terminate_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> stepPending_{false};
    std::atomic<bool> cursorEntered_{false};
    std::atomic<std::uint32_t> generation_{0};
    std::mutex sleepMutex_;
    std::condition_variable wake_;
};

}  // namespace tb
