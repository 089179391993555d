// The daily challenge's check on the service: a recorded autopilot race of about 7,200 frames
// replayed headless, as velkaro-scores verifies a submission (items per second: races verified
// per second on one thread, then on one and two threads at once), and the key log's decoding
// on its own.
//   bench_daily [--data DIR] [benchmark options]
#include <benchmark/benchmark.h>

#include "GameData.h"
#include "harness/DailyRecording.h"
#include "world/DailyReplay.h"

namespace {
constexpr const char* kDay = "2026-12-08";
std::string GameFolder;

const TDailyRecording& Race() {
    static const TDailyRecording recording = RecordDailyRace(*ParseDailyDate(kDay));
    return recording;
}

void BM_VerifyDailyRace(benchmark::State& state) {
    const TDailyPlan plan = *ParseDailyDate(kDay);
    const std::string text = Race().Log.Encode();
    int32_t frames = 0;
    for (auto _ : state) {
        const auto log = TKeyLog::Decode(text, 108000, 16 * 1024);
        const TReplayResult r = ReplayDailyRace(plan, *log, GameFolder, 108000);
        if (!r.Finished || r.RaceHundredths != Race().RaceHundredths) {
            state.SkipWithError("the replay did not reproduce the race");
            return;
        }
        frames = r.Frames;
    }
    state.SetItemsProcessed(state.iterations());
    // Per race, whatever the number of threads.
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgThreads);
    state.counters["log_bytes"] =
        benchmark::Counter(static_cast<double>(text.size()), benchmark::Counter::kAvgThreads);
}
BENCHMARK(BM_VerifyDailyRace)->Unit(benchmark::kMillisecond)->MinTime(3.0);
// The service replays on every core: races verified per second of wall-clock time by one
// and by two threads at once (each replays on a race world of its own).
BENCHMARK(BM_VerifyDailyRace)
    ->Name("BM_VerifyDailyRace/workers")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->UseRealTime()
    ->Threads(1)
    ->Threads(2);

void BM_DecodeKeyLog(benchmark::State& state) {
    const std::string text = Race().Log.Encode();
    for (auto _ : state) benchmark::DoNotOptimize(TKeyLog::Decode(text, 108000, 16 * 1024));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeKeyLog)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
    GameFolder = benchdata::UseGameDataOrExit(argc, argv, {"Data/data2.vil"});
    if (!Race().Finished) {
        std::fprintf(stderr, "bench_daily: the autopilot did not finish the race of %s\n", kDay);
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
