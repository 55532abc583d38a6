// Popup animation timing on a fake clock: quantised steps, the end, the cursor ending it,
// nothing drawn once stopped, and the next tick due when the next step begins.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "toolbar/core/PopupAnimation.h"

using namespace tb;

namespace {

// Time passes only when the test lets it.
struct FakeTime {
    std::int64_t now = 1000;
    TPopupAnimator::Clock clock() {
        return [this] { return now; };
    }
};

using Kind = TPopupAnimator::StepAction::Kind;

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
        TPopupAnimator anim(t.clock());
        anim.Start({150, fade, tbadDown, 100, 200});
        std::vector<int> steps;
        for (int ticks = 0;; ++ticks) {
            ASSERT_LT(ticks, 1000) << "the animation never ends";
            // The timer fires when the next step is due.
            t.now += anim.NextTickMs();
            TPopupAnimator::StepAction a = anim.Tick();
            if (a.kind == Kind::Finish) break;
            ASSERT_EQ(a.kind, Kind::Draw) << "a tick when a step was due draws it";
            steps.push_back(a.step);
            EXPECT_EQ(a.step % 16, 0);
            EXPECT_LE(a.step, 240);
            if (!fade) {
                EXPECT_EQ(a.offset, SlideOffset(tbadDown, 100, 200, a.step));
            }
        }
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
        EXPECT_TRUE(std::adjacent_find(steps.begin(), steps.end()) == steps.end()) << "no step drawn twice";
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.front(), fade ? 48 : 16);  // a fade starts at its first visible step
        EXPECT_TRUE(anim.Stop());
        EXPECT_FALSE(anim.Running());
    }
}

TEST(ToolbarAnimation, EndsAtOnceWhenThereIsNothingToAnimateOrTheCursorEntersAndDrawsNothingOnceStopped) {
    FakeTime t;
    TPopupAnimator anim(t.clock());
    anim.Start({0, false, tbadRight, 10, 10});  // duration 0
    EXPECT_EQ(anim.Tick().kind, Kind::Finish);
    anim.Stop();

    // A tick before the next step is due draws nothing.
    anim.Start({150, false, tbadRight, 10, 10});
    EXPECT_EQ(anim.Tick().kind, Kind::Ignore);
    // The cursor entering the popup ends the animation at the next tick.
    t.now += 20;
    anim.CursorEntered();
    EXPECT_EQ(anim.Tick().kind, Kind::Finish);
    EXPECT_TRUE(anim.Stop());
    t.now += 20;
    EXPECT_EQ(anim.Tick().kind, Kind::Ignore);  // stopped
    EXPECT_FALSE(anim.Stop());

    // Starting again begins at the clock's present, with the cursor outside.
    anim.Start({150, false, tbadRight, 10, 10});
    t.now += 30;
    EXPECT_EQ(anim.Tick().kind, Kind::Draw);
}

TEST(ToolbarAnimation, TheNextTickIsDueWhenTheNextStepBegins) {
    FakeTime t;
    TPopupAnimator anim(t.clock());
    anim.Start({255, false, tbadDown, 10, 10});  // one step a millisecond
    EXPECT_EQ(anim.NextTickMs(), 16);
    t.now += 5;
    EXPECT_EQ(anim.NextTickMs(), 11);
    t.now += 11;
    ASSERT_EQ(anim.Tick().kind, Kind::Draw);
    EXPECT_EQ(anim.NextTickMs(), 16);
    // Late ticks skip the steps they missed.
    t.now += 100;
    const TPopupAnimator::StepAction late = anim.Tick();
    ASSERT_EQ(late.kind, Kind::Draw);
    EXPECT_EQ(late.step, 112);
    EXPECT_GE(anim.NextTickMs(), 1);
}
