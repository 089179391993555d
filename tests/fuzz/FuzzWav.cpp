// Fuzz target: the WAVE decoder on any bytes. A sound it accepts must have one or two
// channels, a rate, and whole frames.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPcmSound sound;
    std::string error;
    if (!DecodeWav(data, size, sound, error)) {
        if (error.empty() || !sound.Samples.empty()) __builtin_trap();
        return 0;
    }
    if (sound.Channels < 1 || sound.Channels > 2 || sound.Rate < 1) __builtin_trap();
    if (sound.Samples.size() % static_cast<size_t>(sound.Channels) != 0) __builtin_trap();
    return 0;
}
