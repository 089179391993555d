// Golden races: daily races driven once by the autopilot, kept as their key logs with the end
// their replay reached (finished or not, frames, time, and the world's hash). Any build of the
// race world, on any compiler, flags or processor, must replay every one of them to exactly
// that end; velkaro-golden checks it, and the test command does too.
//
// A golden race file is text, one "key value" pair a line ('#' starts a comment line):
//   date 2026-12-01
//   log <the key log, as the game sends it>
//   finished 1
//   frames 6543
//   hundredths 7012
//   reason -            (why an unfinished replay stopped; "-" when it finished)
//   hash 1234567890     (WorldHash where the replay stopped)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "world/DailyChallenge.h"
#include "world/KeyLog.h"

struct TGoldenRace {
    TDailyPlan Plan;
    TKeyLog Log;
    bool Finished = false;
    int32_t Frames = 0;
    int32_t Hundredths = 0;
    std::string Reason;
    uint64_t EndHash = 0;
};

// The file's text for a race.
std::string GoldenRaceText(const TGoldenRace& race);
// A race read back; nothing (and a reason in error) for a file that is not one.
std::optional<TGoldenRace> ParseGoldenRace(const std::string& text, std::string& error);
std::optional<TGoldenRace> ReadGoldenRace(const std::string& path, std::string& error);
// The *.race files of a folder, by name.
std::vector<std::string> GoldenRaceFiles(const std::string& folder);
// Replays the race from the game's data folder: the golden race with the end this build
// reaches (Finished, Frames, Hundredths, Reason, EndHash from the replay).
TGoldenRace ReplayGoldenRace(const TGoldenRace& race, const std::string& dataDir);
// What differs between the recorded end and a replayed one; empty when nothing does.
std::string GoldenDifference(const TGoldenRace& recorded, const TGoldenRace& replayed);
