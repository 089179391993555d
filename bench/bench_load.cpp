// Loading the race pictures: Data/data2.vil read and decoded into an image list (ms), the
// memory the decoded pictures hold, and the process's peak resident size.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "GameData.h"
#include "engine/ImageList.h"

namespace {
long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void LoadRacePictures(benchmark::State& state) {
    const std::string path = GamePath("Data/data2.vil");
    int32_t items = 0;
    size_t pictureBytes = 0;
    for (auto _ : state) {
        TImageListCollection list;
        if (!list.LoadFromFile(path)) {
            state.SkipWithError("Data/data2.vil could not be loaded; build the game first");
            return;
        }
        items = list.Count();
        pictureBytes = 0;
        for (const auto& item : list.List) pictureBytes += item->Picture.Pixels.size() * 4;
        benchmark::DoNotOptimize(list);
    }
    state.counters["items"] = items;
    state.counters["pictures_MiB"] = static_cast<double>(pictureBytes) / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}
}  // namespace

BENCHMARK(LoadRacePictures)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
    benchdata::UseGameDataOrExit(argc, argv, {"Data/data2.vil"});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
