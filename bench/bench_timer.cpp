// Pacing of the real main loop at 90 ticks a second with a frame action that does nothing:
// achieved rate, lateness of each tick against its deadline, interval jitter, and the CPU
// time the loop burns (it sleeps between ticks rather than spinning). Measured on a quiet
// machine and with two busy processes beside it, which the benchmark starts and stops itself
// (the game must keep its pace when other programs load the processor).
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "engine/KerbTimer.h"
#include "engine/MainLoop.h"
#include "engine/SystemTimer.h"
#include "platform/Clock.h"

namespace {
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Processes that spin until killed; stopped (and reaped) when this goes out of scope.
class TBusyProcesses {
public:
    explicit TBusyProcesses(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned long spin = 0;
                for (;;) spin = spin + 1;
            }
            if (pid > 0) Pids.push_back(pid);
        }
    }
    ~TBusyProcesses() {
        for (pid_t pid : Pids) kill(pid, SIGKILL);
        for (pid_t pid : Pids) waitpid(pid, nullptr, 0);
    }
    TBusyProcesses(const TBusyProcesses&) = delete;
    TBusyProcesses& operator=(const TBusyProcesses&) = delete;
    int Count() const { return static_cast<int>(Pids.size()); }

private:
    std::vector<pid_t> Pids;
};

// range(0): seconds measured; range(1): busy processes running beside the loop.
void Pacing(benchmark::State& state) {
    const double seconds = static_cast<double>(state.range(0));
    for (auto _ : state) {
        TBusyProcesses busy(static_cast<int>(state.range(1)));
        if (busy.Count() != state.range(1)) {
            state.SkipWithError("could not start the busy processes");
            return;
        }
        TSteadyClock clock;
        TKerbTimer timer(clock);
        TSystemTimer raceTimer(clock, 10);
        timer.SetTargetFPS(90);
        std::vector<int64_t> ticks;
        std::vector<int64_t> lateness;
        ticks.reserve(static_cast<size_t>(seconds * 100));
        lateness.reserve(static_cast<size_t>(seconds * 100));
        timer.SetOnTimer([&](TKerbTimer& t) {
            ticks.push_back(t.Now);
            // The deadline this tick answers (it moves on after the handler).
            lateness.push_back(t.Now - t.Deadline);
        });
        raceTimer.OnTimer = [] {};
        raceTimer.SetEnabled(true);
        timer.SetEnabled(true);
        TMainLoop loop(clock, timer, &raceTimer);
        const int64_t end = clock.Now() + static_cast<int64_t>(seconds * 1e9);
        loop.ShouldQuit = [&] { return clock.Now() >= end; };
        const double cpu0 = CpuSeconds();
        loop.Run();
        const double cpu = CpuSeconds() - cpu0;

        const double span = static_cast<double>(ticks.back() - ticks.front()) * 1e-9;
        const double rate = static_cast<double>(ticks.size() - 1) / span;
        std::vector<double> intervals;
        for (size_t i = 1; i < ticks.size(); ++i)
            intervals.push_back(static_cast<double>(ticks[i] - ticks[i - 1]) * 1e-6);
        double mean = 0;
        for (double v : intervals) mean += v;
        mean /= static_cast<double>(intervals.size());
        double var = 0;
        for (double v : intervals) var += (v - mean) * (v - mean);
        std::sort(lateness.begin(), lateness.end());
        const auto percentile = [&](size_t p) {
            return static_cast<double>(lateness[lateness.size() * p / 100]) * 1e-6;
        };
        state.counters["ticks_per_s"] = rate;
        state.counters["rate_error_pct"] = std::abs(rate - 90.0) / 90.0 * 100.0;
        state.counters["interval_jitter_ms"] =
            std::sqrt(var / static_cast<double>(intervals.size()));
        state.counters["lateness_p50_ms"] = percentile(50);
        state.counters["lateness_p99_ms"] = percentile(99);
        state.counters["cpu_pct_of_core"] = cpu / seconds * 100.0;
        state.counters["cpu_us_per_tick"] = cpu / static_cast<double>(ticks.size()) * 1e6;
    }
}
}  // namespace

BENCHMARK(Pacing)
    ->ArgNames({"seconds", "busy"})
    ->Args({10, 0})
    ->Args({10, 2})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
