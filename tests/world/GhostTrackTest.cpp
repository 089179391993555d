// The ghost's track from a key log: the headless replay puts the ghost exactly where the
// game's own race put the car at every step, also when built on another thread; the track is
// bounded; and the lookups the race draws with (the step, the gap) behave at their ends.
#include "world/GhostTrack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "harness/Autopilot.h"
#include "harness/DailyRecording.h"
#include "harness/Harness.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"

namespace {
std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

// A day whose race the autopilot finishes.
constexpr const char* kDrivenDay = "2026-12-09";

struct TDrivenRace {
    TKeyLog Log;
    std::vector<TGhostFrame> Car;  // the player's car after each step, as the track keeps it
    int32_t Hundredths = 0;
    bool Finished = false;
};

// The autopilot drives the day's race through the whole game; the car is noted every step.
TDrivenRace DriveWithTheGame(const TDailyPlan& plan) {
    TDrivenRace out;
    THarness h;
    StartDailyRace(h, plan, &out.Log);
    TAutopilot pilot;
    for (int32_t frame = 0; frame < 20000 && Race.RaceFinished == 0; ++frame) {
        pilot.Drive();
        h.RunFrames(1);
        if (CurrentState != 12 && CurrentState != 27) break;
        const TPlayer* car = Race.PlayerCar;
        TGhostFrame f;
        f.X = static_cast<float>(car->X - Race.Checkpoints[1].X);
        f.Y = static_cast<float>(car->Y - Race.Checkpoints[1].Y);
        f.Angle = car->Angle;
        f.Pattern = static_cast<int16_t>(car->PatternIndex);
        f.Visible = car->Visible ? 1 : 0;
        out.Car.push_back(f);
    }
    pilot.Release();
    out.Finished = Race.RaceFinished != 0;
    out.Hundredths = Race.RaceHundredths;
    EndDailyRace();
    return out;
}

void ExpectSameCar(const std::vector<TGhostFrame>& car, const TGhostTrack& track) {
    ASSERT_EQ(track.Frames.size(), car.size());
    float progress = 0;
    for (size_t i = 0; i < car.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const TGhostFrame& g = track.Frames[i];
        EXPECT_EQ(g.X, car[i].X);
        EXPECT_EQ(g.Y, car[i].Y);
        EXPECT_EQ(g.Angle, car[i].Angle);
        EXPECT_EQ(g.Pattern, car[i].Pattern);
        EXPECT_EQ(g.Visible, car[i].Visible);
        EXPECT_GE(g.Progress, progress);
        progress = g.Progress;
        if (::testing::Test::HasFailure()) return;
    }
}
}  // namespace

TEST(GhostTrack, FollowsTheCarTheGameDroveStepByStep) {
    const TDailyPlan plan = *ParseDailyDate(kDrivenDay);
    const TDrivenRace game = DriveWithTheGame(plan);
    ASSERT_TRUE(game.Finished) << "the autopilot did not finish the day's race";

    const TGhostTrack track = BuildGhostTrack(plan, game.Log, GameDir());
    EXPECT_TRUE(track.Finished) << track.Reason;
    EXPECT_EQ(track.Hundredths, game.Hundredths);
    ExpectSameCar(game.Car, track);
    // The car moved along the road, and the progress ends far from where it began.
    EXPECT_NE(track.Frames.back().Y, track.Frames.front().Y);
    EXPECT_GT(track.Frames.back().Progress, track.Frames.front().Progress);

    // Built on a worker thread, as the game builds it while the preview page shows.
    auto worker =
        std::async(std::launch::async, [&] { return BuildGhostTrack(plan, game.Log, GameDir()); });
    const TGhostTrack fromWorker = worker.get();
    EXPECT_EQ(fromWorker.Hundredths, game.Hundredths);
    ExpectSameCar(game.Car, fromWorker);
}

TEST(GhostTrack, IsBoundedAndStopsWhereTheLogOrTheLimitEnds) {
    static_assert(kMaxGhostFrames * sizeof(TGhostFrame) <= 320 * 1024);
    const TDailyPlan plan = *ParseDailyDate(kDrivenDay);
    TKeyLog idle;
    for (int32_t i = 0; i < 400; ++i) idle.Add(i < 260 ? 0 : keybit::Up);

    const TGhostTrack cut = BuildGhostTrack(plan, idle, GameDir(), 300);
    EXPECT_EQ(cut.Frames.size(), 300u);
    EXPECT_FALSE(cut.Finished);
    EXPECT_EQ(cut.Hundredths, 0);

    const TGhostTrack whole = BuildGhostTrack(plan, idle, GameDir(), kMaxGhostFrames + 1000);
    EXPECT_EQ(whole.Frames.size(), 400u);
    EXPECT_EQ(whole.Reason, "the log ends before the finish");
    // Standing at the lights the car does not move; accelerating after green, it does.
    EXPECT_EQ(whole.Frames[10].Y, whole.Frames[200].Y);
    EXPECT_NE(whole.Frames[399].Y, whole.Frames[260].Y);

    const TGhostTrack nothing = BuildGhostTrack(*ParseDailyDate(kDrivenDay), TKeyLog{}, GameDir());
    EXPECT_TRUE(nothing.Empty());
    EXPECT_EQ(nothing.At(0), nullptr);
    EXPECT_EQ(nothing.StepsAhead(100, 50.0), 0);
}

TEST(GhostTrack, LooksUpStepsAndGapsAtTheEnds) {
    TGhostTrack track;
    // Progress 0, 0, 10, 20, 30 (never falling).
    for (float p : {0.0f, 0.0f, 10.0f, 20.0f, 30.0f}) {
        TGhostFrame f;
        f.Progress = p;
        f.Y = -p;
        track.Frames.push_back(f);
    }
    EXPECT_EQ(track.At(-1), nullptr);
    EXPECT_EQ(track.At(0), &track.Frames[0]);
    EXPECT_EQ(track.At(3), &track.Frames[3]);
    // After its end the ghost waits where it stopped.
    EXPECT_EQ(track.At(99), &track.Frames[4]);

    struct TCase {
        int32_t Frame;
        double Distance;
        int32_t Ahead;
    };
    const TCase cases[] = {
        {3, 20.0, 0},   // level: the ghost was at 20 at step 3 too
        {4, 10.0, 2},   // the ghost got to 10 at step 2, two steps before the player
        {1, 20.0, -2},  // the player is at 20 at step 1; the ghost gets there at step 3
        {2, 15.0, -1},  // between steps: the first step at or past the distance counts
        {4, 99.0, -1},  // never reached: behind by the track's steps past the frame
        {0, 0.0, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(track.StepsAhead(c.Frame, c.Distance), c.Ahead)
            << "frame " << c.Frame << " distance " << c.Distance;
}
