// The daily race replayed without a window: the service builds the day's race from the game's
// data folder, feeds the key log into the race step frame by frame and reads the finish time.
//
// The race clock of a daily race is a function of the simulation frames, not of wall time, so
// the key log alone decides the time. The clock starts at the green light; after the n-th race
// step with the clock running it has run DailyClockTicks(n) = floor(n * 10 / 9) of its 10 ms
// ticks (100 ticks a second at the nominal 90 frames a second). Each step runs the ticks that
// fall due in it after the world has moved, exactly as the game's race frame does for a daily
// race. Normal races keep their wall-clock race timer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "world/DailyChallenge.h"
#include "world/KeyLog.h"

// The race clock's ticks after `steps` race steps with the clock running.
constexpr int32_t DailyClockTicks(int32_t steps) {
    return static_cast<int32_t>(static_cast<int64_t>(steps) * 10 / 9);
}

struct TReplayResult {
    bool Finished = false;
    int32_t RaceHundredths = 0;  // the finish time, when Finished
    int32_t Frames = 0;          // the race steps replayed
    std::string Reason;          // why it did not finish (for the service's log)
    uint64_t EndHash = 0;        // the world's state where the replay stopped (WorldHash)
};

// Called after each race step a replay runs with the step's number (0 for the first), while the
// replay's world (its globals on the calling thread) is as the step left it. It only reads.
using TReplayStepWatch = std::function<void(int32_t frame)>;

// Builds the day's race headless from dataDir (the folder holding Data\data2.vil) and replays
// the log, at most maxFrames steps.
TReplayResult ReplayDailyRace(const TDailyPlan& plan, const TKeyLog& log,
                              const std::string& dataDir, int32_t maxFrames,
                              const TReplayStepWatch& watch = {});
