// TModulePlayer: one tracker module (XM, MOD, IT, S3M ...) rendered by libopenmpt. The frame
// thread loads, starts, stops, seeks and unloads; the audio callback renders through MixInto.
// Every libopenmpt call on the module happens under the song's own lock; the callback only
// tries that lock and renders silence for the block when the frame thread holds it, so it
// never waits. Depends on libopenmpt (privately).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

class TModulePlayer {
public:
    // Frames rendered per libopenmpt call inside MixInto (the scratch buffer's size).
    static constexpr int32_t BlockFrames = 512;

    TModulePlayer();
    ~TModulePlayer();
    TModulePlayer(const TModulePlayer&) = delete;
    TModulePlayer& operator=(const TModulePlayer&) = delete;

    // Replaces the module with the one in bytes. False (error set) when libopenmpt rejects it.
    bool Load(const std::vector<uint8_t>& bytes, std::string& error);
    void Unload();
    bool Loaded() const { return HasModule.load(); }

    // Loop forever at the end, or stop there.
    void SetLoop(bool loop);
    // Starts rendering where the song stopped; a song that had played to its end starts over.
    void Start();
    void Stop() { IsPlaying.store(false); }
    bool Playing() const { return IsPlaying.load(); }
    // True once a song that does not loop has rendered its last frame.
    bool Ended() const { return HasEnded.load(); }

    double DurationSeconds();
    double PositionSeconds();
    void SeekSeconds(double seconds);

    // Linear gains applied while mixing (volume and pan).
    void SetGains(float left, float right);

    // Audio thread: adds frames stereo frames at rate into mix (interleaved floats, full scale
    // 1.0). Renders nothing when stopped or when the frame thread holds the song's lock.
    void MixInto(float* mix, int32_t frames, int32_t rate) noexcept;

private:
    std::mutex Lock;
    std::unique_ptr<openmpt::module> Module;
    std::atomic<bool> HasModule{false};
    std::atomic<bool> IsPlaying{false};
    std::atomic<bool> HasEnded{false};
    std::atomic<float> GainLeft{1.0f};
    std::atomic<float> GainRight{1.0f};
    float Scratch[2 * BlockFrames] = {};
};
