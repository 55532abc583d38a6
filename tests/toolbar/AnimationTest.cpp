// Popup animation timing on a fake clock: quantised steps, the end, stale requests, and
// the one-request-in-flight rule between the worker and the GUI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "toolbar/core/PopupAnimation.h"

using namespace tb;

namespace {

// The GUI thread's queue of step requests.
struct Queue {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::uint32_t> q;
    void push(std::uint32_t g) {
        {
            std::lock_guard l(m);
            q.push_back(g);
        }
        cv.notify_one();
    }
    std::uint32_t pop() {
        std::unique_lock l(m);
        cv.wait(l, [&] { return !q.empty(); });
        std::uint32_t g = q.front();
        q.pop_front();
        return g;
    }
};

// Time passes only when the worker sleeps.
struct FakeTime {
    std::atomic<std::int64_t> now{1000};
    PopupAnimator::Clock clock() {
        return [this] { return now.load(); };
    }
    PopupAnimator::Sleeper sleeper() {
        return [this](int ms) { now += ms; };
    }
};

}  // namespace

TEST(ToolbarAnimation, SlideOffsets) {
    struct Case {
        std::uint8_t dir;
        int step;
        TPoint at;
    } cases[] = {
        {tbadDown, 128, {0, -100}}, {tbadUp, 128, {0, 100}},  {tbadRight, 0, {-300, 0}},
        {tbadLeft, 255, {0, 0}},    {tbadDown, 255, {0, 0}},  {0, 64, {0, 0}},
        {tbadRight | tbadDown, 255, {0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(SlideOffset(c.dir, 300, 200, c.step), c.at) << int(c.dir) << ' ' << c.step;
}

TEST(ToolbarAnimation, StepsOfSixteenEndingWhole) {
    for (bool fade : {false, true}) {
        FakeTime t;
        Queue q;
        PopupAnimator anim([&](std::uint32_t g) { q.push(g); }, t.clock(), t.sleeper());
        ASSERT_TRUE(anim.Start({150, fade, tbadDown, 100, 200}));
        std::vector<int> steps;
        for (;;) {
            PopupAnimator::StepAction a = anim.OnStep(q.pop());
            if (a.kind == PopupAnimator::StepAction::Kind::Finish) break;
            ASSERT_EQ(a.kind, PopupAnimator::StepAction::Kind::Draw);
            steps.push_back(a.step);
            EXPECT_EQ(a.step % 16, 0);
            EXPECT_LE(a.step, 240);
            if (!fade) {
                EXPECT_EQ(a.offset, SlideOffset(tbadDown, 100, 200, a.step));
            }
        }
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
        EXPECT_TRUE(anim.Stop());
        EXPECT_FALSE(anim.Running());
    }
}

TEST(ToolbarAnimation, EndsAtOnceAndIgnoresStaleRequests) {
    FakeTime t;
    Queue q;
    std::atomic<bool> held{false};
    PopupAnimator anim([&](std::uint32_t g) { q.push(g); }, t.clock(), [&](int ms) {
        while (held.load()) std::this_thread::yield();
        t.now += ms;
    });
    ASSERT_TRUE(anim.Start({0, false, tbadRight, 10, 10}));  // duration 0
    std::uint32_t first = q.pop();
    EXPECT_EQ(anim.OnStep(first).kind, PopupAnimator::StepAction::Kind::Finish);
    anim.Stop();

    // The cursor entering the popup ends the animation at the worker's next round.
    held = true;
    ASSERT_TRUE(anim.Start({150, false, tbadRight, 10, 10}));
    EXPECT_EQ(anim.OnStep(first).kind, PopupAnimator::StepAction::Kind::Ignore);  // the earlier animation's
    anim.CursorEntered();
    held = false;
    std::uint32_t g = q.pop();
    EXPECT_EQ(g, anim.Generation());
    EXPECT_EQ(anim.OnStep(g).kind, PopupAnimator::StepAction::Kind::Finish);
    anim.Stop();
    EXPECT_EQ(anim.OnStep(g).kind, PopupAnimator::StepAction::Kind::Ignore);  // stopped
}

TEST(ToolbarAnimation, RealClockStopsPromptly) {
    std::atomic<int> requests{0};
    PopupAnimator anim([&](std::uint32_t) { ++requests; });
    ASSERT_TRUE(anim.Start({60000, true, 0, 10, 10}));  // a minute long: Stop must wake the worker
    EXPECT_TRUE(anim.Stop());
    EXPECT_FALSE(anim.Stop());
}
