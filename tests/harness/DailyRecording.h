// A daily race driven by the autopilot through the whole game (the harness), with the key log
// recorded by the race frame as the game records it: the reference a replay must reproduce.
#pragma once

#include <cstdint>

#include "world/DailyChallenge.h"
#include "world/KeyLog.h"

struct TDailyRecording {
    TKeyLog Log;
    bool Finished = false;
    int32_t RaceHundredths = 0;
    uint64_t BuiltHash = 0;  // the world's hash once the race is built
    int32_t LivesLeft = 0;
    // The state the race ended in: 12 racing (finished or out of frames), 24 time's up, 13
    // game over.
    int32_t EndState = 0;
};

class THarness;

// Builds the day's race in the harness as the game's daily page does (the plan's seed, level
// and car) and enters the race state; the key log goes to `recording` when one is given.
void StartDailyRace(THarness& harness, const TDailyPlan& plan, TKeyLog* recording = nullptr);

// Starts the day's race in a fresh harness, drives until the finish (or maxFrames) and
// returns what the game saw. Leaves the world's globals as a finished game leaves them.
TDailyRecording RecordDailyRace(const TDailyPlan& plan, int32_t maxFrames = 20000);
