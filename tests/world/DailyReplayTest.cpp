// The day's race built and replayed: the same date gives the same race; a race the game drove
// and recorded replays headless to the very same finish time.
#include "world/DailyReplay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "harness/DailyRecording.h"

namespace {
std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

// A day whose race the autopilot finishes (it wrecks or runs out of time on some days).
constexpr const char* kDrivenDay = "2026-12-09";

const TDailyRecording& Recorded() {
    static const TDailyRecording recording = RecordDailyRace(*ParseDailyDate(kDrivenDay));
    return recording;
}
}  // namespace

TEST(DailyReplay, TheSameDateBuildsTheSameRace) {
    const TDailyPlan day = *ParseDailyDate("2026-12-10");
    const uint64_t first = RecordDailyRace(day, 0).BuiltHash;
    EXPECT_EQ(RecordDailyRace(day, 0).BuiltHash, first);
    EXPECT_NE(RecordDailyRace(*ParseDailyDate("2026-12-11"), 0).BuiltHash, first);
    // Pinned: the road, the car and the opponents of this date on every machine. A change
    // here gives players a new road for a day already played; change it only on purpose.
    EXPECT_EQ(first, 14852055572225850591u);
}

TEST(DailyReplay, TheRecordedRaceReplaysToItsFinishTime) {
    const TDailyRecording& r = Recorded();
    ASSERT_TRUE(r.Finished) << "the autopilot did not finish the day's race";
    const TReplayResult replay =
        ReplayDailyRace(*ParseDailyDate(kDrivenDay), r.Log, GameDir(), 100000);
    EXPECT_TRUE(replay.Finished) << replay.Reason;
    EXPECT_EQ(replay.RaceHundredths, r.RaceHundredths);
    // The race clock follows the frames: 10 ticks every 9 steps from the green light (step
    // 250) up to the step before the crossing, which stops the clock as the car moves.
    EXPECT_EQ(replay.Frames, r.Log.Frames());
    EXPECT_EQ(r.RaceHundredths, DailyClockTicks(replay.Frames - 1 - 250));
}

// The replay ends every race the way the game ended it: a finish after two wrecks and
// respawns, a finish with lives won from bonuses, the last life burnt, the time run out.
TEST(DailyReplay, EndsEveryRaceAsTheGameDid) {
    const struct {
        const char* Day;
        int32_t EndState;  // 12 finished, 13 game over, 24 time's up
        int32_t LivesLeft;
        const char* Reason;
    } cases[] = {
        {"2026-12-05", 12, 1, ""},
        {"2026-12-19", 12, 5, ""},
        {"2026-12-11", 13, 1, "the car was wrecked with no life left"},
        {"2026-12-06", 24, 1, "the time ran out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Day);
        const TDailyPlan day = *ParseDailyDate(c.Day);
        const TDailyRecording game = RecordDailyRace(day);
        // The autopilot's races on these days: if they change, pick days that again cover
        // each ending.
        ASSERT_EQ(game.EndState, c.EndState);
        ASSERT_EQ(game.LivesLeft, c.LivesLeft);
        const TReplayResult replay = ReplayDailyRace(day, game.Log, GameDir(), 100000);
        EXPECT_EQ(replay.Finished, game.Finished);
        EXPECT_EQ(replay.Frames, game.Log.Frames());
        EXPECT_EQ(replay.Reason, c.Reason);
        if (game.Finished) {
            EXPECT_EQ(replay.RaceHundredths, game.RaceHundredths);
        }
    }
}

TEST(DailyReplay, LogsThatDoNotReachTheFinishAreNotFinished) {
    const TDailyRecording& r = Recorded();
    const TDailyPlan day = *ParseDailyDate(kDrivenDay);
    TKeyLog cut;
    for (int32_t i = 0; i + 1 < r.Log.Frames(); ++i) cut.Add(r.Log.At(i));
    const TReplayResult shortLog = ReplayDailyRace(day, cut, GameDir(), 100000);
    EXPECT_FALSE(shortLog.Finished);
    EXPECT_EQ(shortLog.Frames, cut.Frames());
    // The frame limit stops a replay however long the log.
    const TReplayResult limited = ReplayDailyRace(day, r.Log, GameDir(), 500);
    EXPECT_FALSE(limited.Finished);
    EXPECT_EQ(limited.Frames, 500);
    // Another day's road under the same keys is another race.
    const TReplayResult otherDay =
        ReplayDailyRace(*ParseDailyDate("2026-12-07"), r.Log, GameDir(), 100000);
    EXPECT_FALSE(otherDay.Finished && otherDay.RaceHundredths == r.RaceHundredths);
    // No data, no race.
    const TReplayResult noData = ReplayDailyRace(day, r.Log, "/nonexistent", 100000);
    EXPECT_FALSE(noData.Finished);
    EXPECT_FALSE(noData.Reason.empty());
}

// Each thread replays on a race world of its own: replays side by side give what they give
// one after another.
TEST(DailyReplay, ReplaysOnSeveralThreadsAtOnceKeepApart) {
    const TDailyRecording& r = Recorded();
    ASSERT_TRUE(r.Finished);
    const TDailyPlan day = *ParseDailyDate(kDrivenDay);
    const TDailyPlan otherDay = *ParseDailyDate("2026-12-07");
    const TReplayResult alone = ReplayDailyRace(otherDay, r.Log, GameDir(), 100000);
    std::vector<std::future<TReplayResult>> runs;
    for (int i = 0; i < 4; ++i) {
        const TDailyPlan plan = i % 2 == 0 ? day : otherDay;
        runs.push_back(std::async(std::launch::async, [plan, &r] {
            return ReplayDailyRace(plan, r.Log, GameDir(), 100000);
        }));
    }
    for (int i = 0; i < 4; ++i) {
        const TReplayResult got = runs[static_cast<size_t>(i)].get();
        if (i % 2 == 0) {
            EXPECT_TRUE(got.Finished);
            EXPECT_EQ(got.RaceHundredths, r.RaceHundredths);
        } else {
            EXPECT_EQ(got.Finished, alone.Finished);
            EXPECT_EQ(got.RaceHundredths, alone.RaceHundredths);
            EXPECT_EQ(got.Frames, alone.Frames);
        }
    }
}
