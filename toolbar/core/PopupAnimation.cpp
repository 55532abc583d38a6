#include "toolbar/core/PopupAnimation.h"

#include <algorithm>
#include <chrono>

namespace tb {

namespace {
constexpr int kFullStep = 255;
constexpr int kStepQuantum = 16;
constexpr int kLastStep = 240;  // beyond this the window is shown whole
constexpr int kFirstFadeStep = 32;
}  // namespace

TPoint SlideOffset(std::uint8_t direction, int width, int height, int step) {
    TPoint p;
    if (direction & tbadDown) p.y = MulDiv(height, step, kFullStep) - height;
    else if (direction & tbadUp) p.y = height - MulDiv(height, step, kFullStep);
    if (direction & tbadRight) p.x = MulDiv(width, step, kFullStep) - width;
    else if (direction & tbadLeft) p.x = width - MulDiv(width, step, kFullStep);
    return p;
}

TPopupAnimator::TPopupAnimator(Clock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
}

void TPopupAnimator::Start(const Params& params) {
    params_ = params;
    start_ = clock_();
    step_ = params.fade ? kFirstFadeStep : 0;
    running_ = true;
    finished_ = false;
    cursorEntered_ = false;
}

bool TPopupAnimator::Stop() {
    const bool ran = running_;
    running_ = false;
    return ran;
}

std::int64_t TPopupAnimator::elapsed() const { return std::max<std::int64_t>(clock_() - start_, 0); }

TPopupAnimator::StepAction TPopupAnimator::Tick() {
    StepAction action;
    if (!running_) return action;
    const int duration = params_.durationMs;
    const std::int64_t now = elapsed();
    if (!finished_ && duration > 0 && now < duration && !cursorEntered_) {
        const int s16 = MulDiv(kFullStep, int(now), duration) & ~(kStepQuantum - 1);
        if (s16 <= kLastStep) {
            if (step_ < s16) {
                step_ = s16;
                action.kind = StepAction::Kind::Draw;
                action.step = step_;
                if (!params_.fade) action.offset = SlideOffset(params_.direction, params_.width, params_.height, step_);
            }
            return action;
        }
    }
    finished_ = true;
    action.kind = StepAction::Kind::Finish;
    return action;
}

int TPopupAnimator::NextTickMs() const {
    const int duration = params_.durationMs;
    if (!running_ || finished_ || duration <= 0 || cursorEntered_) return 1;
    // The moment the step after the present one begins.
    const std::int64_t due = (std::int64_t(step_ + kStepQuantum) * duration + kFullStep - 1) / kFullStep;
    return int(std::clamp<std::int64_t>(due - elapsed(), 1, duration));
}

}  // namespace tb
