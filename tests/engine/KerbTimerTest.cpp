// The frame timer and the race clock's interval timer, driven by a manual clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/KerbTimer.h"
#include "engine/SystemTimer.h"
#include "platform/Clock.h"

namespace {
constexpr int64_t kMs = 1'000'000;  // manual clock ticks (ns) per millisecond

struct TTimerFixture {
    TManualClock Clock;
    TKerbTimer Timer{Clock};
    int Ticks = 0;
    explicit TTimerFixture(int32_t target = 90) {
        Clock.Set(5000 * kMs);
        Timer.SetTargetFPS(target);
        Timer.SetOnTimer([this](TKerbTimer&) { ++Ticks; });
        Timer.SetEnabled(true);
    }
    // Checks every 0.1 ms for the given time, as a spinning idle loop would.
    void Spin(double ms) {
        for (int64_t t = 0; t < static_cast<int64_t>(ms * 10); ++t) {
            Clock.Advance(kMs / 10);
            Timer.Check();
        }
    }
};
}  // namespace

TEST(KerbTimer, DefaultsAndDerivedTickCounts) {
    TManualClock clock;
    TKerbTimer timer(clock);
    EXPECT_FALSE(timer.Enabled);
    EXPECT_EQ(timer.MinFPS, 10);
    EXPECT_EQ(timer.MaxFPS, 120);
    EXPECT_EQ(timer.FPSWarningFrames, 10);
    EXPECT_EQ(timer.TicksPerMin, 100'000'000u);
    EXPECT_EQ(timer.TicksPerMax, 8'333'333u);
    timer.SetTargetFPS(90);
    EXPECT_EQ(timer.TicksPerTarget, 11'111'111u);
    EXPECT_EQ(timer.IntervalMs, 11);
}

TEST(KerbTimer, TicksAtTheTargetRateAndMeasuresIt) {
    TTimerFixture f;
    f.Spin(3000);
    // Each tick fires at the first check at or past its due time: 0.1 ms resolution.
    EXPECT_NEAR(f.Ticks, 270, 3);
    EXPECT_NEAR(static_cast<int>(f.Timer.FPS), 90, 1);
    EXPECT_NEAR(f.Timer.Delta, 1.0f, 0.01f);
}

// A loop that sleeps until the timer's next due time and wakes up late (a busy machine) used
// to start each interval at its late wake-up and lose the lateness for good: with 2 ms late
// wake-ups, 229 ticks in 3 s instead of 270.
TEST(KerbTimer, LateWakeUpsDoNotSlowTheRate) {
    for (const double lateMs : {0.0, 0.5, 2.0}) {
        TTimerFixture f;
        const int64_t end = f.Clock.Now() + 3000 * kMs;
        while (true) {
            const int64_t wake =
                std::max(f.Clock.Now(), f.Timer.NextDue()) + static_cast<int64_t>(lateMs * kMs);
            if (wake > end) break;
            f.Clock.Set(wake);
            f.Timer.Check();
        }
        EXPECT_NEAR(f.Ticks, 270, 1) << "waking " << lateMs << " ms late";
    }
}

TEST(KerbTimer, AShortDelayIsCaughtUpAtTheMaxFpsPace) {
    TTimerFixture f;
    f.Spin(100);
    const int before = f.Ticks;
    f.Clock.Advance(25 * kMs);  // a frame that took 25 ms: two ticks late
    f.Timer.Check();
    EXPECT_EQ(f.Ticks, before + 1);
    // The two missed ticks follow at most 120 a second, then the grid goes on.
    f.Spin(8);
    EXPECT_EQ(f.Ticks, before + 1);
    f.Spin(0.5);
    EXPECT_EQ(f.Ticks, before + 2);
    f.Spin(875);
    EXPECT_NEAR(f.Ticks, 90, 1);
}

TEST(KerbTimer, AWaitOfTensOfMillisecondsIsCaughtUpAndAStallIsNot) {
    const struct {
        int64_t StallMs;
        bool CaughtUp;
    } cases[] = {
        {60, true},    // five ticks behind: a busy machine's scheduler now and then
        {95, true},    // eight
        {150, false},  // thirteen: dropped
        {1000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.StallMs);
        TTimerFixture f;
        f.Spin(100);
        const int before = f.Ticks;
        f.Clock.Advance(c.StallMs * kMs);
        f.Timer.Check();
        EXPECT_EQ(f.Ticks, before + 1);
        if (c.CaughtUp) {
            // Every tick of the grid comes, the missed ones at most 120 a second.
            f.Spin(1000);
            EXPECT_NEAR(f.Ticks - before, static_cast<double>(c.StallMs + 1000) * 0.09, 1.5);
        } else {
            // Resumes one interval after the late tick instead of bursting through the backlog.
            f.Spin(11);
            EXPECT_EQ(f.Ticks, before + 1);
            f.Spin(1000);
            EXPECT_NEAR(f.Ticks, before + 1 + 90, 1);
        }
    }
}

TEST(KerbTimer, NoTickBeforeTheTargetTime) {
    TTimerFixture f;
    f.Clock.Advance(11 * kMs);
    f.Timer.Check();
    EXPECT_EQ(f.Ticks, 0);
    f.Clock.Advance(kMs / 5);
    f.Timer.Check();
    EXPECT_EQ(f.Ticks, 1);
}

TEST(KerbTimer, AStallFiresOnceWithElapsedCappedByMinFps) {
    TTimerFixture f;
    f.Clock.Advance(250 * kMs);
    f.Timer.Check();
    EXPECT_EQ(f.Ticks, 1);
    EXPECT_NEAR(f.Timer.ElapsedSeconds, 0.1f, 1e-6f);
    EXPECT_NEAR(f.Timer.Delta, 9.0f, 0.01f);
    // Far behind: the missed ticks are dropped, the next one is one interval on.
    f.Clock.Advance(5 * kMs);
    f.Timer.Check();
    EXPECT_EQ(f.Ticks, 1);
}

TEST(KerbTimer, TenSlowFramesRaiseTheWarningAndOneNormalFrameClearsIt) {
    TTimerFixture f;
    for (int i = 0; i < 9; ++i) {
        f.Clock.Advance(150 * kMs);
        f.Timer.Check();
        EXPECT_FALSE(f.Timer.FPSWarning) << i;
    }
    f.Clock.Advance(150 * kMs);
    f.Timer.Check();
    EXPECT_TRUE(f.Timer.FPSWarning);
    EXPECT_EQ(f.Timer.SlowFrames, 9);
    f.Clock.Advance(150 * kMs);
    f.Timer.Check();
    EXPECT_TRUE(f.Timer.FPSWarning);
    EXPECT_EQ(f.Timer.SlowFrames, 9);
    f.Clock.Advance(12 * kMs);
    f.Timer.Check();
    EXPECT_FALSE(f.Timer.FPSWarning);
    EXPECT_EQ(f.Timer.SlowFrames, 0);
}

TEST(KerbTimer, ZeroTargetTicksAtMostAtMaxFps) {
    TTimerFixture f(0);
    f.Spin(2000);
    EXPECT_NEAR(f.Ticks, 240, 3);
    EXPECT_GT(f.Timer.ElapsedSeconds, 0.008f);
}

TEST(KerbTimer, ZeroMaxFpsRemovesTheGate) {
    TTimerFixture f(0);
    f.Timer.SetMaxFPS(0);
    f.Spin(10);
    EXPECT_EQ(f.Ticks, 100);  // every check ticks
}

TEST(KerbTimer, DisablingUnhooksAndEnablingRestartsTheMeasurement) {
    TTimerFixture f;
    f.Spin(100);
    const int before = f.Ticks;
    f.Timer.SetEnabled(false);
    EXPECT_FALSE(f.Timer.Hooked());
    f.Spin(100);
    EXPECT_EQ(f.Ticks, before);
    f.Clock.Advance(500 * kMs);
    f.Timer.SetEnabled(true);
    EXPECT_EQ(f.Timer.LastTick, f.Clock.Now());
    EXPECT_EQ(f.Timer.SecondStart, f.Clock.Now());
    EXPECT_EQ(f.Timer.FPS, 0u);
    f.Clock.Advance(12 * kMs);
    f.Timer.Check();
    EXPECT_NEAR(f.Timer.Delta, 12.0 / 11.111, 0.01);
}

TEST(KerbTimer, WithoutAHandlerEnablingDoesNotHook) {
    TManualClock clock;
    TKerbTimer timer(clock);
    timer.SetTargetFPS(90);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Hooked());
    timer.SetOnTimer([](TKerbTimer&) {});
    EXPECT_TRUE(timer.Hooked());
}

TEST(KerbTimer, SettersIgnoreUnchangedValuesAndWarningFramesResetTheCount) {
    TTimerFixture f;
    f.Timer.SlowFrames = 4;
    f.Timer.FPSWarning = true;
    f.Timer.SetFPSWarningFrames(10);  // unchanged: nothing
    EXPECT_EQ(f.Timer.SlowFrames, 4);
    f.Timer.SetFPSWarningFrames(5);
    EXPECT_EQ(f.Timer.SlowFrames, 0);
    EXPECT_FALSE(f.Timer.FPSWarning);
}

TEST(KerbTimer, LossyModeFiresEveryIntervalWithoutGates) {
    TTimerFixture f;
    f.Timer.SetLossyMode(true);
    f.Spin(1100);
    // 11 ms intervals.
    EXPECT_NEAR(f.Ticks, 100, 2);
    f.Timer.SetTargetFPS(0);  // no interval timer without a target
    const int before = f.Ticks;
    f.Spin(100);
    EXPECT_EQ(f.Ticks, before);
}

TEST(KerbTimer, NextDueIsTheLaterOfTargetAndMaxGate) {
    TTimerFixture f;
    EXPECT_EQ(f.Timer.NextDue(), f.Timer.LastTick + 11'111'111);
    f.Timer.SetTargetFPS(200);
    EXPECT_EQ(f.Timer.NextDue(), f.Timer.LastTick + 8'333'333);
    // A tick that ran late leaves the next deadline on the grid, earlier than one interval on.
    f.Timer.SetTargetFPS(90);
    f.Clock.Advance(14 * kMs);
    f.Timer.Check();
    EXPECT_EQ(f.Timer.NextDue(), f.Timer.LastTick + 8'333'333);
    f.Clock.Advance(10 * kMs);
    f.Timer.Check();
    EXPECT_EQ(f.Timer.NextDue(), f.Timer.LastTick + (33'333'333 - 24'000'000));
}

TEST(SystemTimer, RunsMissedIntervalsButAtMostOneSecondsWorth) {
    TManualClock clock;
    TSystemTimer timer(clock, 10);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    EXPECT_EQ(timer.RunDue(), 0);  // disabled
    timer.SetEnabled(true);
    clock.Advance(9 * kMs);
    EXPECT_EQ(timer.RunDue(), 0);
    clock.Advance(26 * kMs);  // 35 ms since enabling: three intervals
    EXPECT_EQ(timer.RunDue(), 3);
    clock.Advance(5 * kMs);  // 40 ms
    EXPECT_EQ(timer.RunDue(), 1);
    clock.Advance(60'000 * kMs);  // a minute's stall
    EXPECT_EQ(timer.RunDue(), 100);
    EXPECT_EQ(ticks, 104);
    clock.Advance(10 * kMs);
    EXPECT_EQ(timer.RunDue(), 1);
}

TEST(SystemTimer, AHandlerThatDisablesTheTimerStopsTheCatchUp) {
    TManualClock clock;
    TSystemTimer timer(clock, 10);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 2) timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    clock.Advance(100 * kMs);
    EXPECT_EQ(timer.RunDue(), 2);
}
