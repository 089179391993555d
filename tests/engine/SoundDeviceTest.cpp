// The audio device: it opens on SDL's dummy driver, and when no device can be opened the
// component reports one line and carries on silently with a working mixer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "SoundTestFiles.h"
#include "engine/KerbSound3D.h"
#include "harness/TestEnvironment.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace {
// Sets an environment variable for the test's lifetime.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : Name(name) {
        if (const char* old = std::getenv(name)) {
            HadOld = true;
            Old = old;
        }
        SetEnvironment(name, value);
    }
    ~TScopedEnv() {
        if (HadOld) {
            SetEnvironment(Name, Old.c_str());
        } else {
            UnsetEnvironment(Name);
        }
    }

private:
    const char* Name;
    bool HadOld = false;
    std::string Old;
};
}  // namespace

TEST(SoundDevice, OpensOnTheDummyDriverAtAMixingRate) {
    TScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    TManualClock clock;
    TKerbSound3D sound(clock);
    ASSERT_TRUE(sound.OpenDevice()) << sound.Device().Error();
    EXPECT_TRUE(sound.Device().IsOpen());
    EXPECT_TRUE(sound.Device().Rate() == 44100 || sound.Device().Rate() == 48000);
    EXPECT_EQ(sound.Mixer().Rate(), sound.Device().Rate());
    // Changes made while the callback runs go through the device's lock.
    sound.AddGameLists();
    sound.InitAudioPaths();
    sound.CloseDevice();
    EXPECT_FALSE(sound.Device().IsOpen());
}

TEST(SoundDevice, NoDeviceMeansSilenceWithOneLineOnStderr) {
    TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    TManualClock clock;
    TKerbSound3D sound(clock);
    testing::internal::CaptureStderr();
    const bool opened = sound.OpenDevice();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(opened);
    EXPECT_FALSE(sound.Device().IsOpen());
    EXPECT_FALSE(sound.Device().Error().empty());
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;

    // Everything else still works; the mixer is simply not heard.
    TSoundTestFiles files;
    TAudioPathListItem& path = sound.AudioPathList.Add();
    path.AudioPathType = TAudioPathType::aptStereo;
    sound.InitAudioPaths();
    TSoundListItem& s = sound.SoundList.Add();
    s.Name = "s";
    s.FileName = files.Constant("s.wav", 1000, 100);
    EXPECT_EQ(sound.PlayEffect("s"), &path);
    EXPECT_EQ(sound.Mixer().ActiveVoices(0), 1);
}

TEST(SoundDevice, TheGameCanPlayStopAndUnloadWhileTheCallbackRuns) {
    TScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    const std::string dir = TestGameDir();
    TSteadyClock clock;
    TKerbSound3D sound(clock);
    ASSERT_TRUE(sound.OpenDevice());
    sound.AddGameLists();
    for (int32_t i = 0; i < sound.SoundList.Count(); ++i)
        sound.SoundList[i].FileName = dir + NormalizeSeparators(sound.SoundList[i].FileName);
    for (int32_t i = 0; i < sound.ModList.Count(); ++i)
        sound.ModList[i].FileName = dir + NormalizeSeparators(sound.ModList[i].FileName);
    sound.InitAudioPaths();

    // The device renders the song by itself: its position moves on.
    sound.PlayModule("menumusic");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GT(sound.ModList.Find("menumusic")->ModulePlayer().PositionSeconds(), 0.05);

    static const char* const kNames[] = {"check", "coin", "skid", "exp", "horn"};
    static const char* const kSongs[] = {"menumusic", "gamemusic", "losemusic"};
    for (int i = 0; i < 100; ++i) {
        sound.PlayEffect(kNames[i % 5]);
        if (i % 7 == 0) sound.StopEffect(kNames[(i / 7) % 5]);
        if (i % 11 == 0) sound.SoundList.Find(kNames[(i / 11) % 5])->Unload();
        const char* song = kSongs[i % 3];
        if (i % 3 == 0) sound.StopModule(song);
        if (i % 5 == 0) sound.UnloadModule(song);
        sound.PlayModule(song);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sound.UnloadModules();
    for (int32_t i = 0; i < sound.ModList.Count(); ++i) EXPECT_FALSE(sound.ModList[i].Loaded());
}
