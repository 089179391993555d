// velkaro-sim: runs one race headless with the autopilot and prints one line of key=value
// pairs: level, seed, frames simulated, whether the player finished, its place, the clock
// left, the sprites alive at the end, the mean simulation cost per frame, and how the
// opponents did: how many raced, how many crossed the finish before the race clock would have
// run out, and the median frame of those crossings; the frame of the player's finish and the
// frame at which the clock would have run out; and the wall hits (a hit is a run of frames in
// which a car bounces off walls): the player's, and the opponents' in total. After the
// player's finish the race keeps running (the race-over screen is held back) so that the
// opponents can finish too. With --daily YYYY-MM-DD it drives that day's race instead of a
// level and seed. The game's data is found as the benchmarks find it (GameData.h).
#include <algorithm>
#include <array>
#include <chrono>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "GameData.h"
#include "harness/Autopilot.h"
#include "harness/DailyRecording.h"
#include "harness/Harness.h"
#include "world/DailyChallenge.h"
#include "world/Globals.h"
#include "world/EnemyCar.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "world/TimeText.h"

namespace {
struct TArgs {
    int32_t Level = 1;
    uint64_t Seed = 1;
    int32_t Frames = 20000;
    std::optional<TDailyPlan> Daily;
};

bool Parse(int argc, char** argv, TArgs& args) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const long long value = std::strtoll(argv[i + 1], nullptr, 10);
        if (key == "--daily") {
            args.Daily = ParseDailyDate(argv[i + 1]);
            if (!args.Daily) return false;
        } else if (key == "--level") {
            args.Level = static_cast<int32_t>(value);
        } else if (key == "--seed") {
            args.Seed = static_cast<uint64_t>(value);
        } else if (key == "--frames") {
            args.Frames = static_cast<int32_t>(value);
        } else {
            return false;
        }
    }
    return (argc % 2) == 1 && args.Level >= 1 && args.Frames > 0;
}

// Counts one car's wall hits: a frame with bounces that follows a frame without any. Only
// while the car races: an opponent past the line lets go of the wheel and coasts, and where it
// rolls says nothing of its driving.
struct TWallHits {
    int32_t Hits = 0;
    int32_t LastBounces = 0;
    bool OnWall = false;
    void Frame(const TCar* car, bool racing = true) {
        if (car == nullptr) return;
        const bool bounced = car->WallBounces != LastBounces;
        if (bounced && !OnWall && racing) ++Hits;
        OnWall = bounced;
        LastBounces = car->WallBounces;
    }
};
}  // namespace

int main(int argc, char** argv) {
    TArgs args;
    const std::string usage =
        "usage: velkaro-sim (--level N --seed S | --daily YYYY-MM-DD) --frames F [--data DIR]\n";
    benchdata::UseGameDataOrExit(argc, argv, {"Data/data1.vil", "Data/data2.vil"});
    if (!Parse(argc, argv, args)) {
        std::fputs(usage.c_str(), stderr);
        return 2;
    }
    THarness harness;
    if (args.Daily) {
        StartDailyRace(harness, *args.Daily);
        args.Level = args.Daily->Level;
        args.Seed = args.Daily->Seed;
    } else {
        harness.StartRace(args.Level, args.Seed);
    }
    TAutopilot pilot;
    int32_t frames = 0;
    bool finished = false;
    int32_t place = 0;
    std::string timeLeft;
    std::vector<int32_t> crossings;
    // The frame at which the race clock would run out: followed while the clock counts (extra
    // time included), then kept from the player's finish, when the clock stops.
    int32_t clockFrames = 0;
    int32_t finishFrame = 0;
    int32_t livesLeft = 0;
    double simulatedNs = 0;
    int32_t timedFrames = 0;
    TWallHits playerHits;
    std::array<TWallHits, kMaxOpponents> opponentHits{};
    for (; frames < args.Frames; ++frames) {
        if (CurrentState != 12 && CurrentState != 27) break;
        const int32_t results = Race.ResultCount;
        pilot.Drive();
        const auto start = std::chrono::steady_clock::now();
        harness.RunFrames(1);
        simulatedNs +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count();
        ++timedFrames;
        playerHits.Frame(Race.PlayerCar, Race.RaceFinished == 0);
        for (size_t i = 0; i < opponentHits.size(); ++i)
            opponentHits[i].Frame(Race.OpponentCars[i], Race.OpponentCars[i] != nullptr &&
                                                            Race.OpponentCars[i]->Released);
        for (int32_t r = results; r < Race.ResultCount; ++r) crossings.push_back(frames + 1);
        if (!finished) {
            const int32_t hundredths =
                Race.ClockMinutes * 6000 + Race.ClockSeconds * 100 + Race.ClockHundredths;
            clockFrames =
                frames + 1 + hundredths * 9 / 10 + (StateFrames < 250 ? 250 - StateFrames : 0);
        }
        if (Race.RaceFinished != 0 && !finished) {
            finished = true;
            finishFrame = frames + 1;
            livesLeft = Lives;
            place = Race.FinishPlace;
            timeLeft = ClockText(Race.FinishMinutes, Race.FinishSeconds, Race.FinishHundredths);
        }
        // Keep the race going for the opponents instead of showing the race-over screen.
        if (finished) PhaseCounter = 0;
        if (finished && (Race.ResultCount - 1 >= Race.OpponentsCreated || frames > clockFrames))
            break;
    }
    const TPlayer* p = Race.PlayerCar;
    if (!finished) {
        livesLeft = Lives;
        place = p != nullptr ? p->Place : 0;
        timeLeft = ClockText(Race.ClockMinutes, Race.ClockSeconds, Race.ClockHundredths);
    }
    std::vector<int32_t> inTime;
    for (int32_t f : crossings)
        if (f <= clockFrames) inTime.push_back(f);
    std::sort(inTime.begin(), inTime.end());
    const int32_t median = inTime.empty() ? 0 : inTime[inTime.size() / 2];
    int32_t opponentWallHits = 0;
    for (const TWallHits& h : opponentHits) opponentWallHits += h.Hits;
    if (args.Daily) std::printf("daily=%s ", DailyDateText(*args.Daily).c_str());
    std::printf(
        "level=%d seed=%llu frames=%d finished=%s place=%d time_left=%s sprites=%d "
        "ns_per_frame=%.0f opponents=%d opponents_finished=%zu opponent_median_frames=%d "
        "player_wall_hits=%d opponent_wall_hits=%d finish_frame=%d clock_frames=%d end_state=%d "
        "lives=%d\n",
        args.Level, static_cast<unsigned long long>(args.Seed), frames, finished ? "yes" : "no",
        place, timeLeft.c_str(), harness.Form().KerbSprite1.Count(),
        timedFrames > 0 ? simulatedNs / timedFrames : 0.0, Race.OpponentsCreated, inTime.size(),
        median, playerHits.Hits, opponentWallHits, finishFrame, clockFrames,
        static_cast<int>(CurrentState), livesLeft);
    return 0;
}
