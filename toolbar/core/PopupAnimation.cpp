#include "toolbar/core/PopupAnimation.h"

#include <algorithm>
#include <chrono>
#include <system_error>

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

PopupAnimator::PopupAnimator(StepSink sink, Clock clock, Sleeper sleeper)
    : sink_(std::move(sink)), clock_(std::move(clock)), sleeper_(std::move(sleeper)) {
    if (!clock_)
        clock_ = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
}

PopupAnimator::~PopupAnimator() { Stop(); }

bool PopupAnimator::Start(const Params& params) {
    Stop();
    params_ = params;
    terminate_.store(false);
    finished_.store(false);
    stepPending_.store(false);
    cursorEntered_.store(false);
    step_.store(params.fade ? kFirstFadeStep : 0);
    // Published before the worker exists, so its first request is never taken as stale.
    std::uint32_t generation = generation_.load() + 1;
    generation_.store(generation);
    running_.store(true);
    try {
        worker_ = std::thread([this, generation] { Run(generation); });
    } catch (const std::system_error&) {
        running_.store(false);
        return false;
    }
    return true;
}

bool PopupAnimator::Stop() {
    if (!worker_.joinable()) return false;
    {
        std::lock_guard lock(sleepMutex_);
        terminate_.store(true);
    }
    wake_.notify_all();
    worker_.join();
    running_.store(false);
    return true;
}

void PopupAnimator::Sleep(int ms) {
    if (sleeper_) {
        sleeper_(ms);
        return;
    }
    std::unique_lock lock(sleepMutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return terminate_.load(); });
}

void PopupAnimator::Run(std::uint32_t generation) {
    const int duration = params_.durationMs;
    const std::int64_t start = clock_();
    while (!terminate_.load()) {
        if (duration <= 0) break;  // nothing to animate: end at once
        std::int64_t elapsed = std::max<std::int64_t>(clock_() - start, 0);
        if (elapsed >= duration) break;
        int s = MulDiv(kFullStep, int(elapsed), duration);
        if (s < 0) break;
        int s16 = s & ~(kStepQuantum - 1);
        if (s16 > kLastStep) break;
        if (cursorEntered_.load()) break;
        if (step_.load() < s16) {
            step_.store(s16);
            if (!stepPending_.exchange(true)) sink_(generation);
            continue;
        }
        Sleep(std::max(1, MulDiv(step_.load() - s + kStepQuantum, duration, kFullStep)));
    }
    finished_.store(true);
    sink_(generation);
}

PopupAnimator::StepAction PopupAnimator::OnStep(std::uint32_t generation) {
    StepAction action;
    if (generation != generation_.load() || !running_.load()) return action;
    if (finished_.load()) {
        action.kind = StepAction::Kind::Finish;
        return action;
    }
    action.kind = StepAction::Kind::Draw;
    action.step = step_.load();
    if (!params_.fade) action.offset = SlideOffset(params_.direction, params_.width, params_.height, action.step);
    stepPending_.store(false);
    return action;
}

}  // namespace tb
