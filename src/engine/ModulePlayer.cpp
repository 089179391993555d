#include "engine/ModulePlayer.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <ostream>
#include <streambuf>

namespace {
// libopenmpt writes its load warnings to a stream; the game has no log, so they go nowhere.
class TNullBuffer final : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

std::ostream& NullLog() {
    static TNullBuffer buffer;
    static std::ostream stream(&buffer);
    return stream;
}
}  // namespace

TModulePlayer::TModulePlayer() = default;

TModulePlayer::~TModulePlayer() {
    Unload();
}

bool TModulePlayer::Load(const std::vector<uint8_t>& bytes, std::string& error) {
    std::unique_ptr<openmpt::module> loaded;
    try {
        loaded = std::make_unique<openmpt::module>(bytes, NullLog());
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    IsPlaying.store(false);
    HasEnded.store(false);
    std::unique_ptr<openmpt::module> old;
    {
        std::lock_guard<std::mutex> guard(Lock);
        old = std::move(Module);
        Module = std::move(loaded);
        HasModule.store(true);
    }
    return true;
}

void TModulePlayer::Unload() {
    IsPlaying.store(false);
    std::unique_ptr<openmpt::module> old;
    {
        std::lock_guard<std::mutex> guard(Lock);
        old = std::move(Module);
        HasModule.store(false);
        HasEnded.store(false);
    }
}

void TModulePlayer::SetLoop(bool loop) {
    std::lock_guard<std::mutex> guard(Lock);
    if (Module) Module->set_repeat_count(loop ? -1 : 0);
}

void TModulePlayer::Start() {
    std::lock_guard<std::mutex> guard(Lock);
    if (!Module) return;
    if (HasEnded.load()) {
        Module->set_position_seconds(0.0);
        HasEnded.store(false);
    }
    IsPlaying.store(true);
}

double TModulePlayer::DurationSeconds() {
    std::lock_guard<std::mutex> guard(Lock);
    return Module ? Module->get_duration_seconds() : 0.0;
}

double TModulePlayer::PositionSeconds() {
    std::lock_guard<std::mutex> guard(Lock);
    return Module ? Module->get_position_seconds() : 0.0;
}

void TModulePlayer::SeekSeconds(double seconds) {
    std::lock_guard<std::mutex> guard(Lock);
    if (!Module) return;
    Module->set_position_seconds(seconds);
    HasEnded.store(false);
}

void TModulePlayer::SetGains(float left, float right) {
    GainLeft.store(left);
    GainRight.store(right);
}

void TModulePlayer::MixInto(float* mix, int32_t frames, int32_t rate) noexcept {
    if (!IsPlaying.load(std::memory_order_relaxed)) return;
    std::unique_lock<std::mutex> guard(Lock, std::try_to_lock);
    if (!guard.owns_lock() || !Module) return;
    const float gl = GainLeft.load(std::memory_order_relaxed);
    const float gr = GainRight.load(std::memory_order_relaxed);
    int32_t done = 0;
    try {
        while (done < frames) {
            const int32_t want = std::min(BlockFrames, frames - done);
            const auto got = static_cast<int32_t>(
                Module->read_interleaved_stereo(rate, static_cast<size_t>(want), Scratch));
            float* out = mix + 2 * done;
            for (int32_t i = 0; i < got; ++i) {
                out[2 * i] += Scratch[2 * i] * gl;
                out[2 * i + 1] += Scratch[2 * i + 1] * gr;
            }
            done += got;
            // Fewer frames than asked: the song has ended and does not loop.
            if (got < want) {
                HasEnded.store(true);
                IsPlaying.store(false);
                break;
            }
        }
    } catch (...) {
        IsPlaying.store(false);
    }
}
