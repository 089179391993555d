// Songs decoded behind (TKerbSound3D::PrepareModule): the worker's module plays exactly as one
// loaded at the first Play, a failure says the same as a load at once, and a song prepared but
// never played unloads cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "SoundTestFiles.h"
#include "engine/KerbSound3D.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace {

// A sound component without a device, its songs read from the game folder.
class MusicPrepareTest : public ::testing::Test {
protected:
    void SetUpSound(TKerbSound3D& sound) {
        sound.AddGameLists();
        const std::string dir = TestGameDir();
        for (int32_t i = 0; i < sound.ModList.Count(); ++i)
            sound.ModList[i].FileName = dir + NormalizeSeparators(sound.ModList[i].FileName);
        sound.InitAudioPaths();
    }

    static void WaitReady(TKerbSound3D& sound, const char* song) {
        for (int i = 0; i < 2000 && !sound.ModuleReady(song); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // About a second of the mix, in chunks of 1024 stereo frames as the device asks for it.
    static std::vector<int16_t> Mixed(TKerbSound3D& sound) {
        constexpr size_t kChunk = 1024;
        std::vector<int16_t> out(2 * kChunk * 47);
        for (size_t at = 0; at + 2 * kChunk <= out.size(); at += 2 * kChunk)
            sound.Mixer().Render(out.data() + at, static_cast<int32_t>(kChunk));
        return out;
    }

    TSteadyClock Clock;
};

TEST_F(MusicPrepareTest, APreparedSongMixesAsOneLoadedAtPlay) {
    for (const char* song : {"menumusic", "gamemusic"}) {
        SCOPED_TRACE(song);
        TKerbSound3D atOnce(Clock), behind(Clock);
        SetUpSound(atOnce);
        SetUpSound(behind);
        behind.PrepareModule(song);
        WaitReady(behind, song);
        ASSERT_TRUE(behind.ModuleReady(song));
        // Ready, but not loaded into the mixer until played.
        EXPECT_FALSE(behind.ModList.Find(song)->Loaded());
        EXPECT_FALSE(atOnce.ModuleReady(song));
        atOnce.PlayModule(song);
        behind.PlayModule(song);
        EXPECT_TRUE(behind.ModList.Find(song)->Loaded());
        const std::vector<int16_t> want = Mixed(atOnce);
        EXPECT_EQ(Mixed(behind), want);
        // Not silence: the comparison compares a song.
        EXPECT_NE(std::count(want.begin(), want.end(), int16_t{0}),
                  static_cast<std::ptrdiff_t>(want.size()));
    }
}

TEST_F(MusicPrepareTest, PreparingTwiceOrPlayingBeforeItIsDoneStillPlaysOnce) {
    TKerbSound3D sound(Clock);
    SetUpSound(sound);
    sound.PrepareModule("menumusic");
    sound.PrepareModule("menumusic");
    // Played at once: waits for the worker rather than loading a second copy.
    sound.PlayModule("menumusic");
    EXPECT_TRUE(sound.ModList.Find("menumusic")->Loaded());
    EXPECT_TRUE(sound.ModuleReady("menumusic"));
    // Loaded: preparing again does nothing.
    sound.PrepareModule("menumusic");
    EXPECT_TRUE(sound.ModList.Find("menumusic")->Loaded());
    EXPECT_FALSE(sound.ModuleReady("no such song"));
}

TEST_F(MusicPrepareTest, AMissingFileFailsAtPlayAsALoadAtOnceDoes) {
    TKerbSound3D sound(Clock);
    SetUpSound(sound);
    TModListItem* song = sound.ModList.Find("losemusic");
    ASSERT_NE(song, nullptr);
    song->FileName = TestGameDir() + "Sounds/no-such-song.xm";
    sound.PrepareModule("losemusic");
    WaitReady(sound, "losemusic");
    try {
        sound.PlayModule("losemusic");
        FAIL() << "played a song with no file";
    } catch (const ESoundError& e) {
        EXPECT_NE(std::string(e.what()).find("Error loading module"), std::string::npos);
    }
    EXPECT_FALSE(song->Loaded());
}

TEST_F(MusicPrepareTest, APreparedSongNeverPlayedUnloads) {
    TKerbSound3D sound(Clock);
    SetUpSound(sound);
    sound.PrepareModule("gamemusic");
    sound.UnloadModule("gamemusic");
    EXPECT_FALSE(sound.ModList.Find("gamemusic")->Loaded());
    EXPECT_FALSE(sound.ModuleReady("gamemusic"));
    // And it can be prepared and played again after that.
    sound.PrepareModule("gamemusic");
    sound.PlayModule("gamemusic");
    EXPECT_TRUE(sound.ModList.Find("gamemusic")->Loaded());
}

}  // namespace
