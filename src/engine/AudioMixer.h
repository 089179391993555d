// TAudioMixer: the mixer that runs in the audio callback. It owns fixed arrays of audio paths
// (each with up to MaxVoices voices) and a fixed table of songs (module players, not owned),
// and renders them into 16-bit stereo at the output rate. Voices play TPcmSounds (not owned)
// with a gain per side, a playback rate (linear interpolation) and a repeat count. Nothing in
// Render allocates or blocks; every change made from the frame thread happens under the audio
// device's lock (a no-op without a device, when tests call Render directly).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "engine/WavFile.h"

class TAudioDevice;
class TModulePlayer;

// Hundredths of a decibel to a linear gain; -10000 and below is silence.
float GainFromMillibels(int32_t millibels);

// What a new voice plays and how.
struct TVoiceStart {
    const TPcmSound* Sound = nullptr;
    // Whoever started it (a sound item), for stopping and asking later.
    const void* Owner = nullptr;
    float GainLeft = 1.0f;
    float GainRight = 1.0f;
    // Frames a second to play at; 0 = the sound's own rate.
    int32_t Frequency = 0;
    // Times to play again after the first; -1 = forever.
    int32_t Repeats = 0;
    // Mix a stereo sound down to the middle (mono and 3D paths).
    bool Mono = false;
};

class TAudioMixer {
public:
    static constexpr int32_t MaxPaths = 16;
    static constexpr int32_t MaxVoices = 64;
    static constexpr int32_t MaxSongs = 8;
    static constexpr int32_t ChunkFrames = 256;

    explicit TAudioMixer(int32_t rate = 48000);
    TAudioMixer(const TAudioMixer&) = delete;
    TAudioMixer& operator=(const TAudioMixer&) = delete;

    // Keeps the callback out for the guard's lifetime.
    class TGuard {
    public:
        explicit TGuard(TAudioMixer& mixer);
        ~TGuard();
        TGuard(const TGuard&) = delete;
        TGuard& operator=(const TGuard&) = delete;

    private:
        TAudioMixer& Mixer;
    };

    // The device whose lock guards changes (null: no locking, nothing runs concurrently).
    void SetDevice(TAudioDevice* device) { Device = device; }
    void SetRate(int32_t rate);
    int32_t Rate() const { return OutputRate; }

    // A new path mixing up to voices voices (clamped to 1..MaxVoices); -1 when all are taken.
    int32_t AddPath(int32_t voices);
    void RemovePath(int32_t path);
    bool PathExists(int32_t path) const;

    // Starts a voice on path; when all its voices are busy the oldest one gives way.
    bool StartVoice(int32_t path, const TVoiceStart& start);
    // Stops every voice that owner started, on every path.
    void StopOwner(const void* owner);
    // Whether a voice that owner started still sounds on path.
    bool OwnerPlaying(int32_t path, const void* owner);
    // Sets the remaining repeats of owner's sounding voices (-1 = forever).
    void SetOwnerRepeats(const void* owner, int32_t repeats);
    int32_t ActiveVoices(int32_t path);

    // Songs render after the effects; the mixer does not own them.
    bool AddSong(TModulePlayer* song);
    void RemoveSong(TModulePlayer* song);

    // While muted (the window is minimised) the output is silence and nothing advances: voices
    // and songs carry on from where they were when it is lifted.
    void SetMuted(bool muted) { IsMuted = muted; }
    bool Muted() const { return IsMuted; }

    // Fills frames stereo frames at out (the audio callback; tests call it directly).
    void Render(int16_t* out, int32_t frames) noexcept;
    // Adapter for TAudioDevice: user is the mixer.
    static void RenderCallback(void* user, int16_t* out, int32_t frames);

private:
    struct TVoice {
        const TPcmSound* Sound = nullptr;
        const void* Owner = nullptr;
        uint64_t Position = 0;  // frames, 32.32 fixed point
        uint64_t Serial = 0;    // start order, for giving way
        float GainLeft = 0, GainRight = 0;
        int32_t Frequency = 0;
        int32_t Repeats = 0;
        bool Mono = false;
        bool Active = false;
    };
    struct TPath {
        std::array<TVoice, MaxVoices> Voices;
        int32_t VoiceCount = 0;
        bool Used = false;
    };

    void Lock();
    void Unlock();
    void RenderChunk(int32_t frames);
    void MixVoice(TVoice& voice, int32_t frames);

    TAudioDevice* Device = nullptr;
    std::atomic<bool> IsMuted{false};
    int32_t OutputRate;
    uint64_t NextSerial = 1;
    std::array<TPath, MaxPaths> Paths;
    std::array<TModulePlayer*, MaxSongs> Songs{};
    float Mix[2 * ChunkFrames] = {};
};
