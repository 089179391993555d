// soundgen: synthesises the game's sound effects into Sounds/*.wav and writes its three
// songs as XM modules (1.xm, 2.xm, 3.xm). Usage: soundgen --out <Sounds folder>. The output
// depends only on this code, so every build writes the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Effects.h"
#include "Songs.h"
#include "XmWriter.h"
#include "engine/WavFile.h"

namespace {
// Writes through a temporary file renamed over the target, so a failed run leaves no
// half-written file for the game or the build to pick up.
bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

bool WriteEffects(const std::filesystem::path& dir) {
    for (const TEffectFile& e : EffectFiles()) {
        TPcmSound sound;
        sound.Channels = 1;
        sound.Rate = static_cast<int32_t>(kEffectRate);
        sound.Samples = ToPcm16(e.Make());
        if (!WriteFile(dir / e.FileName, EncodeWav16(sound))) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", e.FileName.c_str());
            return false;
        }
    }
    return true;
}

bool WriteSongs(const std::filesystem::path& dir) {
    const std::pair<const char*, TXmModule (*)()> songs[] = {
        {"1.xm", &MakeMenuSong}, {"2.xm", &MakeRaceSong}, {"3.xm", &MakeLoseSong}};
    for (const auto& [name, make] : songs) {
        if (!WriteFile(dir / name, WriteXm(make()))) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", name);
            return false;
        }
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path out = "Sounds";
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--out") out = argv[i + 1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    try {
        if (!WriteEffects(out) || !WriteSongs(out)) return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
