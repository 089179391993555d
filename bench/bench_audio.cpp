// Cost of the audio callback: one second of 48 kHz stereo output rendered in the blocks the
// device asks for (1024 frames), with the race song and eight looping effects playing, and
// with each alone for comparison. One iteration is one second of audio, so the time columns
// (in microseconds) are the callback's cost per second of output.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "GameData.h"
#include "engine/KerbSound3D.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace {
constexpr int32_t kRate = 48000;
constexpr int32_t kBlock = 1024;

void Callback(benchmark::State& state, bool music, int effects) {
    TManualClock clock;
    TKerbSound3D sound(clock);
    sound.Mixer().SetRate(kRate);
    sound.AddGameLists();
    sound.InitAudioPaths();
    if (music) sound.PlayModule("gamemusic");
    static const char* const kEffects[] = {"begin", "finish", "exp",     "nitro",
                                           "skid",  "horn",   "timesup", "sweep"};
    for (int i = 0; i < effects; ++i) {
        TSoundListItem* item = sound.SoundList.Find(kEffects[i]);
        item->Loop = true;
        item->Play();
    }
    std::vector<int16_t> out(2 * kBlock);
    for (auto _ : state) {
        for (int32_t done = 0; done < kRate; done += kBlock) {
            sound.Mixer().Render(out.data(), std::min(kBlock, kRate - done));
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetLabel(std::to_string(sound.Mixer().ActiveVoices(0)) + " voices");
}

void MusicAndEightEffects(benchmark::State& state) {
    Callback(state, true, 8);
}
void MusicOnly(benchmark::State& state) {
    Callback(state, true, 0);
}
void EightEffectsOnly(benchmark::State& state) {
    Callback(state, false, 8);
}
}  // namespace

BENCHMARK(MusicAndEightEffects)->Unit(benchmark::kMicrosecond);
BENCHMARK(MusicOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(EightEffectsOnly)->Unit(benchmark::kMicrosecond);
int main(int argc, char** argv) {
    benchdata::UseGameDataOrExit(argc, argv, {"Sounds/1.xm", "Sounds/2.xm", "Sounds/3.xm"});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
