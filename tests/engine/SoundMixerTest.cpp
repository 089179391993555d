// The mixer on its own, rendered straight into a buffer: voices add up, gains and rates are
// applied, repeats and stops are honoured, and a full path gives way to the newest sound.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/AudioMixer.h"

namespace {
constexpr int32_t kRate = 8000;

TPcmSound Constant(int16_t value, int32_t frames, int32_t channels = 1) {
    TPcmSound s;
    s.Channels = channels;
    s.Rate = kRate;
    s.Samples.assign(static_cast<size_t>(frames * channels), value);
    return s;
}

std::vector<int16_t> Render(TAudioMixer& mixer, int32_t frames) {
    std::vector<int16_t> out(static_cast<size_t>(2 * frames), 12345);
    mixer.Render(out.data(), frames);
    return out;
}

// Frames (from the left channel) that are not silent.
int32_t SoundingFrames(const std::vector<int16_t>& out) {
    int32_t n = 0;
    for (size_t i = 0; i < out.size(); i += 2) n += out[i] != 0;
    return n;
}

TVoiceStart Voice(const TPcmSound& s, const void* owner = nullptr) {
    TVoiceStart v;
    v.Sound = &s;
    v.Owner = owner;
    return v;
}
}  // namespace

TEST(AudioMixer, SilenceWithNothingPlaying) {
    TAudioMixer mixer(kRate);
    mixer.AddPath(4);
    for (int16_t x : Render(mixer, 1000)) ASSERT_EQ(x, 0);
}

TEST(AudioMixer, TwoOverlappingVoicesAddUp) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(32);
    const TPcmSound a = Constant(1000, 400);
    const TPcmSound b = Constant(3000, 200);
    ASSERT_TRUE(mixer.StartVoice(path, Voice(a)));
    std::vector<int16_t> first = Render(mixer, 100);
    ASSERT_TRUE(mixer.StartVoice(path, Voice(b)));
    EXPECT_EQ(mixer.ActiveVoices(path), 2);
    std::vector<int16_t> rest = Render(mixer, 400);
    EXPECT_EQ(first[0], 1000);
    EXPECT_EQ(first[1], 1000);
    // Frames 100..299 carry both, 300..399 only the first, then nothing.
    EXPECT_EQ(rest[2 * 10], 4000);
    EXPECT_EQ(rest[2 * 150 + 1], 4000);
    EXPECT_EQ(rest[2 * 250], 1000);
    EXPECT_EQ(rest[2 * 350], 0);
    EXPECT_EQ(mixer.ActiveVoices(path), 0);
}

TEST(AudioMixer, LoudVoicesClipInsteadOfWrappingAround) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(4);
    const TPcmSound loud = Constant(30000, 50);
    const TPcmSound low = Constant(-30000, 50);
    mixer.StartVoice(path, Voice(loud));
    mixer.StartVoice(path, Voice(loud));
    std::vector<int16_t> out = Render(mixer, 10);
    EXPECT_EQ(out[0], 32767);
    mixer.StopOwner(nullptr);
    mixer.StartVoice(path, Voice(low));
    mixer.StartVoice(path, Voice(low));
    out = Render(mixer, 10);
    EXPECT_EQ(out[0], -32768);
}

TEST(AudioMixer, GainFromHundredthsOfADecibel) {
    struct TCase {
        int32_t Millibels;
        float Gain;
    };
    const TCase cases[] = {{0, 1.0f},     {-500, 0.5623413f}, {-600, 0.5011872f},
                           {-2000, 0.1f}, {-10000, 0.0f},     {-12000, 0.0f}};
    for (const TCase& c : cases)
        EXPECT_NEAR(GainFromMillibels(c.Millibels), c.Gain, 1e-6) << c.Millibels;

    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(4);
    const TPcmSound s = Constant(10000, 100);
    TVoiceStart v = Voice(s);
    v.GainLeft = GainFromMillibels(-600);
    v.GainRight = 0.25f;
    mixer.StartVoice(path, v);
    const std::vector<int16_t> out = Render(mixer, 10);
    EXPECT_NEAR(out[0], 5012, 1);
    EXPECT_EQ(out[1], 2500);
}

TEST(AudioMixer, PlaysAtTheRequestedRateWithInterpolation) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(4);
    TPcmSound ramp;
    ramp.Channels = 1;
    ramp.Rate = kRate;
    ramp.Samples = {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000};
    // Half the rate: twice as long, with the in-between values interpolated.
    TVoiceStart slow = Voice(ramp);
    slow.Frequency = kRate / 2;
    mixer.StartVoice(path, slow);
    std::vector<int16_t> out = Render(mixer, 20);
    EXPECT_EQ(out[2 * 1], 500);
    EXPECT_EQ(out[2 * 2], 1000);
    EXPECT_EQ(out[2 * 13], 6500);
    EXPECT_EQ(SoundingFrames(out), 15);  // frame 0 is the ramp's own 0
    // Frequency 0 keeps the sound's own rate: one output frame per sample.
    mixer.StartVoice(path, Voice(ramp));
    out = Render(mixer, 20);
    EXPECT_EQ(out[2 * 3], 3000);
    EXPECT_EQ(SoundingFrames(out), 7);
}

TEST(AudioMixer, ResamplesToTheOutputRate) {
    TAudioMixer mixer(2 * kRate);
    const int32_t path = mixer.AddPath(4);
    const TPcmSound s = Constant(1000, 100);
    mixer.StartVoice(path, Voice(s));
    const std::vector<int16_t> out = Render(mixer, 400);
    // 100 frames at 8 kHz last 200 frames at 16 kHz; the last one fades towards silence.
    EXPECT_EQ(SoundingFrames(out), 200);
}

TEST(AudioMixer, StereoSoundsKeepTheirSidesUnlessMixedDown) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(4);
    TPcmSound s;
    s.Channels = 2;
    s.Rate = kRate;
    s.Samples = {1000, 3000, 1000, 3000, 1000, 3000};
    mixer.StartVoice(path, Voice(s));
    std::vector<int16_t> out = Render(mixer, 2);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[1], 3000);
    TVoiceStart mono = Voice(s);
    mono.Mono = true;
    mixer.StopOwner(nullptr);
    mixer.StartVoice(path, mono);
    out = Render(mixer, 2);
    EXPECT_EQ(out[0], 2000);
    EXPECT_EQ(out[1], 2000);
}

TEST(AudioMixer, RepeatsThenStops) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(4);
    const TPcmSound s = Constant(1000, 50);
    TVoiceStart v = Voice(s);
    v.Repeats = 2;
    mixer.StartVoice(path, v);
    EXPECT_EQ(SoundingFrames(Render(mixer, 400)), 150);
    EXPECT_EQ(mixer.ActiveVoices(path), 0);
}

TEST(AudioMixer, LoopsForeverUntilItsOwnerStops) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(4);
    const TPcmSound s = Constant(1000, 50);
    int owner = 0, other = 0;
    TVoiceStart v = Voice(s, &owner);
    v.Repeats = -1;
    mixer.StartVoice(path, v);
    mixer.StartVoice(path, Voice(s, &other));
    EXPECT_EQ(SoundingFrames(Render(mixer, 1000)), 1000);
    EXPECT_TRUE(mixer.OwnerPlaying(path, &owner));
    EXPECT_FALSE(mixer.OwnerPlaying(path, &other));
    // Ending the loop lets the current pass finish.
    mixer.SetOwnerRepeats(&owner, 0);
    EXPECT_EQ(SoundingFrames(Render(mixer, 100)), 0);  // 1000 frames are 20 whole passes
    EXPECT_FALSE(mixer.OwnerPlaying(path, &owner));

    mixer.StartVoice(path, v);
    Render(mixer, 20);
    mixer.StopOwner(&owner);
    EXPECT_EQ(SoundingFrames(Render(mixer, 10)), 0);
}

TEST(AudioMixer, AFullPathGivesWayToTheNewestSound) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(2);
    const TPcmSound a = Constant(100, 1000), b = Constant(200, 1000), c = Constant(400, 1000);
    int ownerA = 0, ownerB = 0, ownerC = 0;
    mixer.StartVoice(path, Voice(a, &ownerA));
    mixer.StartVoice(path, Voice(b, &ownerB));
    mixer.StartVoice(path, Voice(c, &ownerC));
    EXPECT_EQ(mixer.ActiveVoices(path), 2);
    EXPECT_FALSE(mixer.OwnerPlaying(path, &ownerA));
    EXPECT_EQ(Render(mixer, 1)[0], 600);
}

TEST(AudioMixer, PathsAreFixedAndReusable) {
    TAudioMixer mixer(kRate);
    std::vector<int32_t> paths;
    for (int i = 0; i < TAudioMixer::MaxPaths; ++i) paths.push_back(mixer.AddPath(1));
    EXPECT_EQ(mixer.AddPath(1), -1);
    const TPcmSound s = Constant(100, 10);
    mixer.RemovePath(paths[3]);
    EXPECT_FALSE(mixer.StartVoice(paths[3], Voice(s)));
    EXPECT_FALSE(mixer.StartVoice(-1, Voice(s)));
    EXPECT_FALSE(mixer.StartVoice(TAudioMixer::MaxPaths, Voice(s)));
    EXPECT_EQ(mixer.AddPath(1), paths[3]);
}

TEST(AudioMixer, EmptySoundsEndAtOnce) {
    TAudioMixer mixer(kRate);
    const int32_t path = mixer.AddPath(2);
    TPcmSound empty;
    empty.Channels = 1;
    empty.Rate = kRate;
    TVoiceStart v = Voice(empty);
    v.Repeats = -1;
    mixer.StartVoice(path, v);
    EXPECT_EQ(SoundingFrames(Render(mixer, 10)), 0);
    EXPECT_EQ(mixer.ActiveVoices(path), 0);
}
