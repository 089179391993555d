// TKerbSound3D: the named lists, path choice, the settings a sound applies to its path, the
// 250 ms rule, repeats, stops and unloads, and the texts of its errors. The mixer is rendered
// by hand at 8 kHz; no audio device is opened.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <string>
#include <vector>

#include "SoundTestFiles.h"
#include "engine/KerbSound3D.h"
#include "platform/Clock.h"

namespace {
constexpr int32_t kRate = 8000;
constexpr int64_t kMs = 1'000'000;

class SoundComponent : public ::testing::Test {
protected:
    SoundComponent() {
        Clock.Set(1000 * kMs);
        Sound.Mixer().SetRate(kRate);
        Short = Files.Constant("short.wav", 10000, 800);  // 100 ms
        Long = Files.Constant("long.wav", 10000, 8000);   // 1 s
    }

    TAudioPathListItem& AddPath(const std::string& name, TAudioPathType type, bool pool,
                                int32_t channels = 8) {
        TAudioPathListItem& p = Sound.AudioPathList.Add();
        p.Name = name;
        p.AudioPathType = type;
        p.Pool = pool;
        p.Channels = channels;
        return p;
    }
    TSoundListItem& AddSound(const std::string& name, const std::string& file) {
        TSoundListItem& s = Sound.SoundList.Add();
        s.Name = name;
        s.FileName = file;
        return s;
    }
    std::vector<int16_t> Render(int32_t frames) {
        std::vector<int16_t> out(static_cast<size_t>(2 * frames));
        Sound.Mixer().Render(out.data(), frames);
        return out;
    }
    static int32_t Sounding(const std::vector<int16_t>& out) {
        int32_t n = 0;
        for (size_t i = 0; i < out.size(); i += 2) n += out[i] != 0;
        return n;
    }

    TSoundTestFiles Files;
    TManualClock Clock;
    TKerbSound3D Sound{Clock};
    std::string Short, Long;
};
}  // namespace

TEST_F(SoundComponent, FindMatchesTheExactNameFirst) {
    TSoundListItem& first = AddSound("check", Short);
    AddSound("check", Long);
    AddSound("Check2", Long);
    EXPECT_EQ(Sound.SoundList.Find("check"), &first);
    EXPECT_EQ(Sound.SoundList.Find("Check"), nullptr);
    EXPECT_EQ(Sound.SoundList.Find("check2"), nullptr);
    EXPECT_EQ(Sound.SoundList.Find(""), nullptr);
    EXPECT_EQ(Sound.ModList.Find("check"), nullptr);
}

TEST_F(SoundComponent, PlayingTwiceQuicklyMixesBothOnTheOnePath) {
    AddPath("path", TAudioPathType::aptStereo, false, 32);
    Sound.InitAudioPaths();
    AddSound("check", Short);
    TAudioPathListItem* first = Sound.PlayEffect("check");
    Render(100);
    TAudioPathListItem* second = Sound.PlayEffect("check");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(Sound.Mixer().ActiveVoices(0), 2);
    const std::vector<int16_t> out = Render(800);
    EXPECT_EQ(out[0], 20000);        // both
    EXPECT_EQ(out[2 * 750], 10000);  // only the second, the first ended at 700
}

TEST_F(SoundComponent, VolumeBecomesHundredthsOfADecibelOnThePath) {
    TAudioPathListItem& path = AddPath("path", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Long);
    struct TCase {
        int32_t Volume, Millibels, Sample;
    };
    const TCase cases[] = {
        {100, 0, 10000},  {95, -500, 5623}, {150, 0, 10000},
        {75, -2500, 562}, {0, -10000, 0},   {-20, -10000, 0},
    };
    for (const TCase& c : cases) {
        s.Volume = c.Volume;
        s.Play();
        EXPECT_EQ(path.Volume, c.Millibels) << c.Volume;
        EXPECT_EQ(Render(1)[0], c.Sample) << c.Volume;
        s.Stop();
    }
}

TEST_F(SoundComponent, FrequencyZeroKeepsTheSoundsOwnRate) {
    TAudioPathListItem& path = AddPath("path", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    EXPECT_EQ(path.AppliedFrequency, 22050);
    TSoundListItem& s = AddSound("s", Short);
    s.Frequency = -5;
    s.Play();
    EXPECT_EQ(path.AppliedFrequency, 0);
    EXPECT_EQ(Sounding(Render(2000)), 800);
    s.Frequency = kRate / 2;
    s.Play();
    EXPECT_EQ(path.AppliedFrequency, kRate / 2);
    EXPECT_EQ(Sounding(Render(2000)), 1600);
}

TEST_F(SoundComponent, PathByIndexAndNoPathMeansNoSound) {
    AddPath("a", TAudioPathType::aptStereo, false);
    TAudioPathListItem& b = AddPath("b", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Short);
    s.AudioPathIndex = 1;
    EXPECT_EQ(s.Play(), &b);
    EXPECT_EQ(s.LastPath(), &b);
    s.Stop();
    for (int32_t index : {-1, 2, 99}) {
        s.AudioPathIndex = index;
        EXPECT_EQ(s.Play(), nullptr) << index;
    }
    EXPECT_EQ(Sounding(Render(100)), 0);
    // A pool type with no pooled path of that type finds nothing either.
    s.AudioPathPool = TAudioPathPool::app3D;
    EXPECT_EQ(s.Play(), nullptr);
}

TEST_F(SoundComponent, PooledPathsAreChosenRoundRobin) {
    TAudioPathListItem& s0 = AddPath("s0", TAudioPathType::aptStereo, true);
    TAudioPathListItem& s1 = AddPath("s1", TAudioPathType::aptStereo, true);
    TAudioPathListItem& mono = AddPath("m", TAudioPathType::aptMono, true);
    AddPath("fixed", TAudioPathType::aptStereo, false);
    TAudioPathListItem& s2 = AddPath("s2", TAudioPathType::aptStereo, true);
    Sound.InitAudioPaths();
    TSoundListItem& a = AddSound("a", Long);
    TSoundListItem& b = AddSound("b", Long);
    TSoundListItem& c = AddSound("c", Long);
    TSoundListItem& d = AddSound("d", Long);
    TSoundListItem& m = AddSound("m", Short);
    for (TSoundListItem* s : {&a, &b, &c, &d}) s->AudioPathPool = TAudioPathPool::appStereo;
    m.AudioPathPool = TAudioPathPool::appMono;

    EXPECT_EQ(a.Play(), &s0);
    EXPECT_EQ(b.Play(), &s1);
    EXPECT_EQ(m.Play(), &mono);
    EXPECT_EQ(c.Play(), &s2);
    // All three busy: the last one the search met takes the new sound.
    EXPECT_EQ(d.Play(), &s2);
    EXPECT_EQ(s2.PlayingItem, &d);

    // Once the sounds have ended and their 250 ms are over, the search goes on after s2.
    Render(kRate * 2);
    Clock.AdvanceMs(300);
    EXPECT_EQ(a.Play(), &s0);
    EXPECT_EQ(b.Play(), &s1);
}

TEST_F(SoundComponent, APathCountsAsPlayingFor250MsAfterAStart) {
    TAudioPathListItem& path = AddPath("path", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Short);
    EXPECT_FALSE(path.IsPlaying());
    s.Play();
    EXPECT_TRUE(path.IsPlaying());
    // The sound is over after 100 ms of output, but the start was less than 250 ms ago.
    Render(kRate / 5);
    Clock.AdvanceMs(249);
    EXPECT_TRUE(path.IsPlaying());
    Clock.AdvanceMs(1);
    EXPECT_FALSE(path.IsPlaying());
    EXPECT_EQ(path.PlayingItem, nullptr);

    // A long sound still sounding keeps the path busy past 250 ms.
    TSoundListItem& l = AddSound("l", Long);
    l.Play();
    Render(kRate / 2);
    Clock.AdvanceMs(500);
    EXPECT_TRUE(path.IsPlaying());
}

TEST_F(SoundComponent, APathIsFreeOnceItsSoundMovedToAnotherPath) {
    TAudioPathListItem& p0 = AddPath("p0", TAudioPathType::aptStereo, false);
    TAudioPathListItem& p1 = AddPath("p1", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Long);
    s.Play();
    s.AudioPathIndex = 1;
    EXPECT_EQ(s.Play(), &p1);
    EXPECT_FALSE(p0.IsPlaying());
    EXPECT_EQ(p0.PlayingItem, nullptr);
    EXPECT_TRUE(p1.IsPlaying());
}

TEST_F(SoundComponent, StopSilencesEveryVoiceAndReleasesThePaths) {
    TAudioPathListItem& p0 = AddPath("p0", TAudioPathType::aptStereo, false);
    TAudioPathListItem& p1 = AddPath("p1", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Long);
    TSoundListItem& other = AddSound("other", Long);
    TSoundListItem& never = AddSound("never", "/nonexistent/never.wav");
    other.AudioPathIndex = 1;
    s.Play();
    s.Play();
    s.AudioPathIndex = 1;
    s.Play();
    other.Play();
    s.Stop();
    EXPECT_EQ(p0.PlayingItem, nullptr);
    EXPECT_EQ(p1.PlayingItem, &other);
    const std::vector<int16_t> out = Render(10);
    EXPECT_EQ(out[0], 10000);  // only the other sound
    never.Stop();              // never loaded: nothing to do, nothing raised
    EXPECT_FALSE(never.Loaded());
}

TEST_F(SoundComponent, RepeatsAndLoopsFollowTheItem) {
    AddPath("path", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Short);
    s.SetRepeatCount(2);
    s.Play();
    EXPECT_EQ(Sounding(Render(4000)), 2400);

    s.SetLoop(true);
    s.Play();
    EXPECT_EQ(Sounding(Render(4000)), 4000);
    // Turning the loop off leaves RepeatCount more passes after the sounding one (4000
    // frames were 5 whole passes, so that one has just ended).
    s.SetLoop(false);
    EXPECT_EQ(Sounding(Render(2000)), 1600);

    // The repeat count applies to later plays only.
    s.SetRepeatCount(0);
    s.Play();
    EXPECT_EQ(Sounding(Render(2000)), 800);
}

TEST_F(SoundComponent, UnloadStopsAndTheNextPlayLoadsAgain) {
    TAudioPathListItem& path = AddPath("path", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Long);
    EXPECT_FALSE(s.Loaded());
    s.Play();
    EXPECT_TRUE(s.Loaded());
    s.Unload();
    EXPECT_FALSE(s.Loaded());
    EXPECT_EQ(path.PlayingItem, nullptr);
    EXPECT_EQ(Sounding(Render(10)), 0);
    s.Play();
    EXPECT_TRUE(s.Loaded());
    EXPECT_EQ(Sounding(Render(10)), 10);
}

TEST_F(SoundComponent, DeletingItemsLeavesNothingBehindInTheMixer) {
    AddPath("p0", TAudioPathType::aptStereo, false);
    TAudioPathListItem& p1 = AddPath("p1", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Long);
    s.Play();
    Sound.SoundList.Delete(0);
    EXPECT_EQ(Sounding(Render(100)), 0);
    EXPECT_EQ(Sound.AudioPathList[0].PlayingItem, nullptr);

    TSoundListItem& t = AddSound("t", Long);
    t.AudioPathIndex = 1;
    EXPECT_EQ(t.Play(), &p1);
    Sound.AudioPathList.Delete(1);
    EXPECT_EQ(t.LastPath(), nullptr);
    EXPECT_EQ(Sounding(Render(100)), 0);
}

TEST_F(SoundComponent, LoadFailuresRaiseTheFixedTexts) {
    AddPath("path", TAudioPathType::aptStereo, false);
    Sound.InitAudioPaths();
    const std::string bad = Files.Write("bad.wav", {'R', 'I', 'F', 'F', 0, 0});
    AddSound("missing", "Sounds\\nope.wav");
    AddSound("bad", bad);
    AddSound("folder", Files.Dir.string());
    struct TCase {
        const char* Name;
        std::string Text;
        std::string Detail;
    };
    std::vector<TCase> cases = {
        {"missing", "Error loading sound: Sounds\\nope.wav", "No such file"},
        {"bad", "Error loading sound: " + bad, "RIFF"},
        {"folder", "Error loading sound: " + Files.Dir.string(), "a folder, not a regular file"}};
#ifndef _WIN32
    // A sound linked to an endless device or made a named pipe is refused at once: reading
    // it would fill the memory or wait forever. (Linux's own kinds of file.)
    const std::string zero = (Files.Dir / "zero.wav").string();
    std::filesystem::create_symlink("/dev/zero", zero);
    const std::string pipe = (Files.Dir / "pipe.wav").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    AddSound("zero", zero);
    AddSound("pipe", pipe);
    cases.push_back(
        {"zero", "Error loading sound: " + zero, "a character device, not a regular file"});
    cases.push_back({"pipe", "Error loading sound: " + pipe, "a named pipe, not a regular file"});
#endif
    for (const TCase& c : cases) {
        try {
            Sound.PlayEffect(c.Name);
            ADD_FAILURE() << c.Name << " played";
        } catch (const ESoundError& e) {
            EXPECT_EQ(std::string(e.what()), c.Text);
            EXPECT_NE(e.Detail.find(c.Detail), std::string::npos) << c.Name << ": " << e.Detail;
        }
        EXPECT_FALSE(Sound.SoundList.Find(c.Name)->Loaded());
    }
}

TEST_F(SoundComponent, PlayingOnAPathNotYetCreatedIsAnError) {
    AddPath("path", TAudioPathType::aptStereo, false);
    AddSound("s", Short);
    EXPECT_THROW(Sound.PlayEffect("s"), ESoundError);
    Sound.InitAudioPaths();
    EXPECT_NE(Sound.PlayEffect("s"), nullptr);
}

TEST_F(SoundComponent, ThreeDPathsPlaceTheSoundAroundTheListener) {
    TAudioPathListItem& path = AddPath("3d", TAudioPathType::apt3D, false);
    Sound.InitAudioPaths();
    TSoundListItem& s = AddSound("s", Long);
    Sound.SetListenerPositionX(10);
    EXPECT_EQ(path.ListenerX, 10);
    s.SoundPositionX = 10.5f;  // half a unit to the right: full level on the right
    s.Play();
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(out[1], 10000);
    EXPECT_EQ(out[0], 0);
    s.Stop();
    s.SoundPositionX = 10;
    s.SoundPositionY = 4;  // straight ahead, four units away: a quarter on both sides
    s.Play();
    out = Render(1);
    EXPECT_EQ(out[0], 2500);
    EXPECT_EQ(out[1], 2500);
}

TEST_F(SoundComponent, TheGameListsAndTheFront) {
    Sound.AddGameLists();
    ASSERT_EQ(Sound.AudioPathList.Count(), 1);
    const TAudioPathListItem& path = Sound.AudioPathList[0];
    EXPECT_EQ(path.Name, "path");
    EXPECT_EQ(path.AudioPathType, TAudioPathType::aptStereo);
    EXPECT_FALSE(path.Pool);
    EXPECT_EQ(path.Channels, 32);
    ASSERT_EQ(Sound.SoundList.Count(), 17);
    EXPECT_EQ(Sound.SoundList.Find("check")->FileName, "Sounds\\check2.wav");
    EXPECT_EQ(Sound.SoundList.Find("check2")->FileName, "Sounds\\check1.wav");
    EXPECT_EQ(Sound.SoundList.Find("begin")->Volume, 95);
    EXPECT_EQ(Sound.SoundList.Find("finish")->Volume, 90);
    ASSERT_EQ(Sound.ModList.Count(), 3);
    EXPECT_EQ(Sound.ModList.Find("gamemusic")->FileName, "Sounds\\2.xm");
    for (int32_t i = 0; i < 3; ++i) EXPECT_TRUE(Sound.ModList[i].Loop);

    struct TCase {
        int32_t Step, Volume;
    };
    for (const TCase& c : {TCase{0, 75}, {1, 80}, {3, 90}, {5, 100}, {-1, 75}, {9, 100}}) {
        Sound.SetEffectVolumeStep(c.Step);
        for (int32_t i = 0; i < Sound.SoundList.Count(); ++i)
            ASSERT_EQ(Sound.SoundList[i].Volume, c.Volume) << c.Step;
    }
    // Unknown names do nothing.
    Sound.InitAudioPaths();
    EXPECT_EQ(Sound.PlayEffect("Check"), nullptr);
    Sound.StopEffect("nothing");
    Sound.PlayModule("nothing");
    Sound.StopModule("nothing");
    Sound.UnloadModule("nothing");
}
