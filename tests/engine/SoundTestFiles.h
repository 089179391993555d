// Small sound files for the sound component's tests, written to a fresh temporary folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
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
    // The folder must be this object's alone: CTest runs tests as concurrent processes, and
    // AddressSanitizer's allocator gives every process the same heap addresses, so a name
    // made from the fixture's address is shared and one test deletes another's files. A
    // random name is kept only when create_directory reports that it made the folder itself.
    TSoundTestFiles() {
        std::random_device random;
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const uint64_t tag = (static_cast<uint64_t>(random()) << 32) | random();
            Dir = temp / ("velkaro_sound_" + std::to_string(tag));
            if (std::filesystem::create_directory(Dir)) return;
        }
        throw std::runtime_error("no fresh temporary folder under " + temp.string());
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
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        // A file that did not reach the disk would only show later as a puzzling load error.
        if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
        return path.string();
    }

    std::filesystem::path Dir;
};
