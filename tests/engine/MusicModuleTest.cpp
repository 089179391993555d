// The generated songs: each loads in libopenmpt, lasts at least a minute before it loops,
// sounds for its whole length without a silent stretch, and never clips.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "SoundTestFiles.h"
#include "engine/FileRead.h"
#include "engine/WavFile.h"

namespace {
std::string SoundsDir() {
    return TestGameDir() + "Sounds/";
}
}  // namespace

class MusicModule : public ::testing::TestWithParam<const char*> {};

TEST_P(MusicModule, LoadsLastsAMinuteAndSoundsThroughout) {
    std::vector<uint8_t> bytes;
    std::string reason;
    ASSERT_TRUE(ReadWholeFile(SoundsDir() + GetParam(), TFileKind::Module, bytes, reason))
        << "run the game_sounds target";
    std::ostringstream log;
    openmpt::module module(bytes, log);
    EXPECT_EQ(module.get_metadata("type"), "xm");
    const double duration = module.get_duration_seconds();
    EXPECT_GE(duration, 60.0);
    EXPECT_GE(module.get_num_orders(), 2);

    // Render the song once through in two-second windows.
    constexpr int32_t kRate = 22050;
    constexpr size_t kWindow = 2 * kRate;
    module.set_repeat_count(0);
    std::vector<float> buffer(2 * kWindow);
    size_t total = 0;
    float peak = 0;
    double quietest = 1.0;
    for (;;) {
        const size_t got = module.read_interleaved_stereo(kRate, kWindow, buffer.data());
        total += got;
        if (got < kWindow / 2) break;  // a short last window says little about the level
        double sum = 0;
        for (size_t i = 0; i < 2 * got; ++i) {
            sum += static_cast<double>(buffer[i]) * buffer[i];
            peak = std::max(peak, std::fabs(buffer[i]));
        }
        quietest = std::min(quietest, std::sqrt(sum / static_cast<double>(2 * got)));
    }
    EXPECT_NEAR(static_cast<double>(total) / kRate, duration, 0.5);
    // No stretch of the song is near silence (-40 dBFS), and nothing reaches full scale.
    EXPECT_GT(quietest, 0.01) << GetParam();
    EXPECT_LT(peak, 0.95f) << GetParam();
    EXPECT_TRUE(log.str().find("rror") == std::string::npos) << log.str();
}

INSTANTIATE_TEST_SUITE_P(Songs, MusicModule, ::testing::Values("1.xm", "2.xm", "3.xm"));
