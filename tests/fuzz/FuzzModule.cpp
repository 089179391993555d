// Fuzz target: the tracker-module player's loading and a little rendering, as the game does on
// the first play of a song. libopenmpt itself is not instrumented; this checks that whatever it
// makes of the bytes, nothing escapes the player as an exception or a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ModulePlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TModulePlayer player;
    std::string error;
    if (!player.Load(std::vector<uint8_t>(data, data + size), error)) return 0;
    player.SetLoop(true);
    player.Start();
    // A few blocks as the audio callback asks for them, before and after a short seek.
    std::vector<float> mix(2 * 512);
    player.MixInto(mix.data(), 512, 22050);
    player.SeekSeconds(0.25);
    player.MixInto(mix.data(), 512, 22050);
    return 0;
}
