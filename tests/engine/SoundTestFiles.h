// Small sound files for the sound component's tests, written to a fresh temporary folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/WavFile.h"
#include "platform/Paths.h"

// The game folder with the generated sounds and songs, with a trailing '/': VELKARO_GAME_DIR,
// else the build's game folder beside the tests folder the program runs from.
inline std::string TestGameDir() {
    if (const char* dir = std::getenv("VELKARO_GAME_DIR")) return std::string(dir) + "/";
    return ProgramDir() + "../game/";
}

class TSoundTestFiles {
public:
    TSoundTestFiles() {
        Dir = std::filesystem::temp_directory_path() /
              ("velkaro_sound_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(Dir);
    }
    ~TSoundTestFiles() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    TSoundTestFiles(const TSoundTestFiles&) = delete;
    TSoundTestFiles& operator=(const TSoundTestFiles&) = delete;

    // A mono 16-bit file of frames samples of value at rate; returns its absolute path.
    std::string Constant(const std::string& name, int16_t value, int32_t frames,
                         int32_t rate = 8000) {
        TPcmSound s;
        s.Channels = 1;
        s.Rate = rate;
        s.Samples.assign(static_cast<size_t>(frames), value);
        return Write(name, EncodeWav16(s));
    }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::filesystem::path path = Dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::filesystem::path Dir;
};
