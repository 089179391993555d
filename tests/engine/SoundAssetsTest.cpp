// The generated sound effects: every file the game's sound list names exists, decodes as
// 16-bit PCM, is short and clean, and is not silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "SoundTestFiles.h"
#include "engine/FileRead.h"
#include "engine/KerbSound3D.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

TEST(SoundAssets, EveryEffectDecodesAndIsHeard) {
    TManualClock clock;
    TKerbSound3D sound(clock);
    sound.AddGameLists();
    std::set<std::string> files;
    for (int32_t i = 0; i < sound.SoundList.Count(); ++i) {
        const TSoundListItem& item = sound.SoundList[i];
        files.insert(item.FileName);
        const std::string path = TestGameDir() + NormalizeSeparators(item.FileName);
        std::vector<uint8_t> bytes;
        std::string reason;
        ASSERT_TRUE(ReadWholeFile(path, TFileKind::Sound, bytes, reason))
            << path << ": run the game_sounds target";
        // 16-bit samples, as the format field of the header says.
        ASSERT_GE(bytes.size(), 44u);
        EXPECT_EQ(bytes[34] | (bytes[35] << 8), 16) << item.Name;
        TPcmSound pcm;
        std::string error;
        ASSERT_TRUE(DecodeWav(bytes, pcm, error)) << item.Name << ": " << error;
        const double seconds = static_cast<double>(pcm.Frames()) / pcm.Rate;
        EXPECT_GT(seconds, 0.03) << item.Name;
        EXPECT_LT(seconds, 3.0) << item.Name;
        int32_t peak = 0;
        double sum = 0;
        for (int16_t s : pcm.Samples) {
            peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
            sum += static_cast<double>(s) * s;
        }
        const double rms = std::sqrt(sum / static_cast<double>(pcm.Samples.size())) / 32768.0;
        EXPECT_GT(peak, 3000) << item.Name << " is nearly silent";
        EXPECT_LT(peak, 32767) << item.Name << " clips";
        EXPECT_GT(rms, 0.01) << item.Name;
        // Clean ends: no click at the start or the end.
        EXPECT_LT(std::abs(pcm.Samples.front()), 200) << item.Name;
        EXPECT_LT(std::abs(pcm.Samples.back()), 200) << item.Name;
    }
    EXPECT_EQ(files.size(), 17u);
}
