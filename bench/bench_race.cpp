// Simulation cost of race frames at levels 1, 5 and 10 (3, 7 and 9 opponents), headless,
// with the autopilot driving: nanoseconds per frame and the sprites alive, and the share of
// the 11.1 ms frame budget the simulation takes.
#include <benchmark/benchmark.h>

#include "GameData.h"

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "shell/Globals.h"
#include "world/RaceRecord.h"

namespace {
void RaceFrames(benchmark::State& state) {
    const int32_t level = static_cast<int32_t>(state.range(0));
    THarness harness;
    TAutopilot pilot;
    uint64_t seed = 1;
    harness.StartRace(level, seed);
    harness.RunFrames(300);  // past the start lights: everyone is racing
    int64_t frames = 0;
    int64_t sprites = 0;
    for (auto _ : state) {
        if (CurrentState != 12 && CurrentState != 27) {
            state.PauseTiming();
            harness.StartRace(level, ++seed);
            harness.RunFrames(300);
            state.ResumeTiming();
        }
        pilot.Drive();
        harness.RunFrames(1);
        sprites += harness.Form().KerbSprite1.Count();
        ++frames;
    }
    state.counters["sprites"] = static_cast<double>(sprites) / static_cast<double>(frames);
    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
}  // namespace

BENCHMARK(RaceFrames)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
int main(int argc, char** argv) {
    benchdata::UseGameDataOrExit(argc, argv, {"Data/data1.vil", "Data/data2.vil"});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
