// velkaro-sim: runs one race headless with the autopilot and prints one line of key=value
// pairs: level, seed, frames simulated, whether the player finished, its place, the clock
// left, the sprites alive at the end and the mean simulation cost per frame.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "world/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
struct TArgs {
    int32_t Level = 1;
    uint64_t Seed = 1;
    int32_t Frames = 20000;
};

bool Parse(int argc, char** argv, TArgs& args) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const long long value = std::strtoll(argv[i + 1], nullptr, 10);
        if (key == "--level") {
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

std::string TwoDigits(int32_t v) { return (v <= 9 ? "0" : "") + std::to_string(v); }
}  // namespace

int main(int argc, char** argv) {
    TArgs args;
    if (!Parse(argc, argv, args)) {
        std::fprintf(stderr, "usage: velkaro-sim --level N --seed S --frames F\n");
        return 2;
    }
    THarness harness;
    harness.StartRace(args.Level, args.Seed);
    TAutopilot pilot;
    int32_t frames = 0;
    bool finished = false;
    const auto start = std::chrono::steady_clock::now();
    for (; frames < args.Frames; ++frames) {
        if (CurrentState != 12 && CurrentState != 27) break;
        pilot.Drive();
        harness.RunFrames(1);
        if (Race.RaceFinished != 0) finished = true;
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ns = std::chrono::duration<double, std::nano>(elapsed).count();
    const TPlayer* p = Race.PlayerCar;
    std::printf(
        "level=%d seed=%llu frames=%d finished=%s place=%d time_left=%d:%s:%s sprites=%d "
        "ns_per_frame=%.0f\n",
        args.Level, static_cast<unsigned long long>(args.Seed), frames, finished ? "yes" : "no",
        finished ? Race.FinishPlace : (p != nullptr ? p->Place : 0), Race.ClockMinutes,
        TwoDigits(Race.ClockSeconds).c_str(), TwoDigits(Race.ClockHundredths).c_str(),
        harness.Form().KerbSprite1.Count(), frames > 0 ? ns / frames : 0.0);
    return 0;
}
