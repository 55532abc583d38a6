#pragma once
// The timing half of a popup menu's fade or unroll: steps 0..255 in steps of 16, worked out
// from a clock each time the window's timer ticks. No thread of its own: the GUI thread
// asks for the step of the moment and for when the next one is due. The cursor entering
// the popup ends the animation at the next tick.
#include <cstdint>
#include <functional>

#include "toolbar/core/Common.h"

namespace tb {

// Which side a popup unrolls from.
enum TTBAnimationDirection : std::uint8_t { tbadLeft = 1, tbadRight = 2, tbadDown = 4, tbadUp = 8 };

constexpr int kPopupAnimationMs = 150;

// Where the snapshot is drawn for a slide step: the window's top-left moves from fully
// outside (step 0) to its place (step 255) along the direction.
TPoint SlideOffset(std::uint8_t direction, int width, int height, int step);

class TPopupAnimator {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, steady

    struct Params {
        int durationMs = kPopupAnimationMs;
        bool fade = false;
        std::uint8_t direction = 0;
        int width = 0, height = 0;
    };

    // Without a clock the steady clock is used.
    explicit TPopupAnimator(Clock clock = {});

    // Ends any running animation and starts one at the clock's present.
    void Start(const Params& params);
    // Ends the running animation; false when none ran.
    bool Stop();
    bool Running() const { return running_; }

    struct StepAction {
        enum class Kind { Ignore, Finish, Draw } kind = Kind::Ignore;
        int step = 0;   // Draw: alpha or unrolled fraction
        TPoint offset;  // Draw, slide: where the snapshot goes
    };
    // At the clock's present: Finish when the animation is over (the caller then Stops and
    // shows the window whole), Draw when a new step is due, Ignore when none is yet (or
    // nothing runs).
    StepAction Tick();
    // Milliseconds from now until the next step is due, at least 1.
    int NextTickMs() const;

    // The cursor entered the popup's client area; the next tick finishes.
    void CursorEntered() { cursorEntered_ = true; }

    const Params& Current() const { return params_; }

private:
    std::int64_t elapsed() const;

    Clock clock_;
    Params params_;
    std::int64_t start_ = 0;
    int step_ = 0;
    bool running_ = false;
    bool finished_ = false;
    bool cursorEntered_ = false;
};

}  // namespace tb
