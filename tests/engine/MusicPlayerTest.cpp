// Songs through the sound component and the music component: play, stop and resume where it
// stopped, a song that does not loop ends by itself, unloading, load errors, and the volume
// and pan conversions of the music component.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "SoundTestFiles.h"
#include "engine/KerbMusic.h"
#include "engine/KerbSound3D.h"
#include "platform/Clock.h"

namespace {
constexpr int32_t kRate = 22050;

std::string SongPath(const char* name) {
    return TestGameDir() + "Sounds/" + name;
}

class MusicPlayer : public ::testing::Test {
protected:
    MusicPlayer() {
        Sound.Mixer().SetRate(kRate);
        Song = &Sound.ModList.Add();
        Song->Name = "losemusic";
        Song->FileName = SongPath("3.xm");
        Song->Loop = true;
    }
    // Renders seconds of output; returns the peak sample.
    int32_t Render(double seconds) {
        const auto frames = static_cast<int32_t>(seconds * kRate);
        std::vector<int16_t> out(static_cast<size_t>(2 * frames));
        Sound.Mixer().Render(out.data(), frames);
        int32_t peak = 0;
        for (int16_t s : out) peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
        return peak;
    }
    double Position() { return Song->ModulePlayer().PositionSeconds(); }

    TManualClock Clock;
    TKerbSound3D Sound{Clock};
    TModListItem* Song = nullptr;
};
}  // namespace

TEST_F(MusicPlayer, StopKeepsThePlaceAndPlayResumesThere) {
    Sound.PlayModule("losemusic");
    ASSERT_TRUE(Song->Loaded());
    EXPECT_TRUE(Song->IsPlaying());
    EXPECT_GT(Render(20.0), 1000);
    const double at = Position();
    EXPECT_NEAR(at, 20.0, 0.1);
    Sound.StopModule("losemusic");
    EXPECT_EQ(Render(1.0), 0);
    EXPECT_DOUBLE_EQ(Position(), at);
    Sound.PlayModule("losemusic");
    Render(1.0);
    EXPECT_NEAR(Position(), at + 1.0, 0.1);
}

TEST_F(MusicPlayer, StopAndUnloadBeforeAnyPlayDoNothing) {
    Song->Stop();
    Song->Unload();
    EXPECT_FALSE(Song->Loaded());
    EXPECT_FALSE(Song->IsPlaying());
}

TEST_F(MusicPlayer, ASongThatDoesNotLoopStopsAtItsEnd) {
    Song->Loop = false;
    Song->Play();
    const double duration = Song->ModulePlayer().DurationSeconds();
    Song->ModulePlayer().SeekSeconds(duration - 0.5);
    Render(1.0);
    EXPECT_FALSE(Song->IsPlaying());
    EXPECT_EQ(Render(0.5), 0);
    // Played again, it starts over.
    Song->Play();
    EXPECT_TRUE(Song->IsPlaying());
    Render(0.5);
    EXPECT_NEAR(Position(), 0.5, 0.1);
}

TEST_F(MusicPlayer, ALoopingSongGoesOnPastItsEnd) {
    Song->Play();
    const double duration = Song->ModulePlayer().DurationSeconds();
    Song->ModulePlayer().SeekSeconds(duration - 0.5);
    Render(1.0);
    EXPECT_TRUE(Song->IsPlaying());
    EXPECT_GT(Render(1.0), 0);
}

TEST_F(MusicPlayer, UnloadSilencesAndTheNextPlayLoadsAgain) {
    Song->Play();
    Render(0.5);
    Sound.UnloadModules();
    EXPECT_FALSE(Song->Loaded());
    EXPECT_EQ(Render(0.5), 0);
    Song->Play();
    EXPECT_TRUE(Song->Loaded());
    EXPECT_GT(Render(2.0), 0);
}

TEST_F(MusicPlayer, LoadFailuresRaiseTheFixedText) {
    TSoundTestFiles files;
    TModListItem& missing = Sound.ModList.Add();
    missing.Name = "missing";
    missing.FileName = "Sounds\\nothere.xm";
    TModListItem& bad = Sound.ModList.Add();
    bad.Name = "bad";
    bad.FileName = files.Write("bad.xm", std::vector<uint8_t>(300, 0x41));
    for (TModListItem* item : {&missing, &bad}) {
        try {
            item->Play();
            ADD_FAILURE() << item->Name << " played";
        } catch (const ESoundError& e) {
            EXPECT_EQ(std::string(e.what()), "Error loading module: " + item->FileName);
        }
        EXPECT_FALSE(item->Loaded());
    }
}

TEST(KerbMusic, VolumeAndPanInHundredthsOfADecibel) {
    struct TCase {
        int32_t In, Millibels;
    };
    for (const TCase& c : {TCase{100, 0},
                           {50, -301},
                           {75, -125},
                           {10, -1000},
                           {1, -2000},
                           {0, -10000},
                           {-5, -10000}}) {
        EXPECT_EQ(TKerbMusic::VolumeToMillibels(c.In), c.Millibels) << c.In;
    }
    for (const TCase& c : {TCase{0, 0},
                           {-50, -301},
                           {50, 301},
                           {-1, -4},
                           {1, 4},
                           {99, 2000},
                           {-99, -2000},
                           {-100, -10000},
                           {-150, -10000},
                           {100, 10000},
                           {150, 10000}}) {
        EXPECT_EQ(TKerbMusic::PanToMillibels(c.In), c.Millibels) << c.In;
    }
    float left = 0, right = 0;
    TKerbMusic::Gains(100, 0, left, right);
    EXPECT_FLOAT_EQ(left, 1.0f);
    EXPECT_FLOAT_EQ(right, 1.0f);
    TKerbMusic::Gains(100, -100, left, right);
    EXPECT_FLOAT_EQ(left, 1.0f);
    EXPECT_FLOAT_EQ(right, 0.0f);
    TKerbMusic::Gains(50, 50, left, right);
    EXPECT_NEAR(left, GainFromMillibels(-301 - 301), 1e-6);
    EXPECT_NEAR(right, GainFromMillibels(-301), 1e-6);
}

TEST(KerbMusic, PollSendsALoopingSongBackToItsStart) {
    TAudioMixer mixer(kRate);
    TKerbMusic music(mixer);
    music.Poll();  // the game's empty list: nothing to do
    TSongListItem& song = music.AddSong();
    song.Name = "song";
    song.FileName = SongPath("3.xm");
    song.Loop = true;
    EXPECT_EQ(music.Find("song"), &song);
    EXPECT_EQ(music.Find("Song"), nullptr);
    ASSERT_TRUE(song.Play());
    const double duration = song.ModulePlayer().DurationSeconds();
    song.ModulePlayer().SeekSeconds(duration - 0.2);
    std::vector<int16_t> out(2 * kRate);
    mixer.Render(out.data(), kRate / 2);
    EXPECT_FALSE(song.IsPlaying());
    music.Poll();
    EXPECT_TRUE(song.IsPlaying());
    EXPECT_LT(song.ModulePlayer().PositionSeconds(), 0.1);

    // A song without Loop stays at its end.
    song.Loop = false;
    song.ModulePlayer().SeekSeconds(duration - 0.2);
    mixer.Render(out.data(), kRate / 2);
    music.Poll();
    EXPECT_FALSE(song.IsPlaying());

    TSongListItem& missing = music.AddSong();
    missing.FileName = "Sounds\\nothere.xm";
    EXPECT_FALSE(missing.Play());
}
