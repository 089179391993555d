#include "engine/AudioMixer.h"

#include <algorithm>
#include <cmath>

#include "engine/ModulePlayer.h"
#include "platform/AudioDevice.h"

float GainFromMillibels(int32_t millibels) {
    if (millibels <= -10000) return 0.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(millibels) / 2000.0));
}

TAudioMixer::TAudioMixer(int32_t rate) : OutputRate(rate > 0 ? rate : 48000) {}

TAudioMixer::TGuard::TGuard(TAudioMixer& mixer) : Mixer(mixer) {
    Mixer.Lock();
}
TAudioMixer::TGuard::~TGuard() {
    Mixer.Unlock();
}

void TAudioMixer::Lock() {
    if (Device != nullptr) Device->Lock();
}

void TAudioMixer::Unlock() {
    if (Device != nullptr) Device->Unlock();
}

void TAudioMixer::SetRate(int32_t rate) {
    if (rate <= 0) return;
    TGuard guard(*this);
    OutputRate = rate;
}

int32_t TAudioMixer::AddPath(int32_t voices) {
    TGuard guard(*this);
    for (int32_t i = 0; i < MaxPaths; ++i) {
        TPath& path = Paths[static_cast<size_t>(i)];
        if (path.Used) continue;
        path = TPath{};
        path.VoiceCount = std::clamp(voices, 1, MaxVoices);
        path.Used = true;
        return i;
    }
    return -1;
}

void TAudioMixer::RemovePath(int32_t path) {
    if (!PathExists(path)) return;
    TGuard guard(*this);
    Paths[static_cast<size_t>(path)] = TPath{};
}

bool TAudioMixer::PathExists(int32_t path) const {
    return path >= 0 && path < MaxPaths && Paths[static_cast<size_t>(path)].Used;
}

bool TAudioMixer::StartVoice(int32_t path, const TVoiceStart& start) {
    if (!PathExists(path) || start.Sound == nullptr) return false;
    TGuard guard(*this);
    TPath& p = Paths[static_cast<size_t>(path)];
    TVoice* slot = nullptr;
    for (int32_t i = 0; i < p.VoiceCount; ++i) {
        TVoice& v = p.Voices[static_cast<size_t>(i)];
        if (!v.Active) {
            slot = &v;
            break;
        }
        if (slot == nullptr || v.Serial < slot->Serial) slot = &v;
    }
    slot->Sound = start.Sound;
    slot->Owner = start.Owner;
    slot->Position = 0;
    slot->Serial = NextSerial++;
    slot->GainLeft = start.GainLeft;
    slot->GainRight = start.GainRight;
    slot->Frequency = std::max(0, start.Frequency);
    slot->Repeats = start.Repeats;
    slot->Mono = start.Mono || start.Sound->Channels == 1;
    slot->Active = true;
    return true;
}

void TAudioMixer::StopOwner(const void* owner) {
    TGuard guard(*this);
    for (TPath& p : Paths)
        for (TVoice& v : p.Voices)
            if (v.Active && v.Owner == owner) v.Active = false;
}

bool TAudioMixer::OwnerPlaying(int32_t path, const void* owner) {
    if (!PathExists(path)) return false;
    TGuard guard(*this);
    for (const TVoice& v : Paths[static_cast<size_t>(path)].Voices)
        if (v.Active && v.Owner == owner) return true;
    return false;
}

void TAudioMixer::SetOwnerRepeats(const void* owner, int32_t repeats) {
    TGuard guard(*this);
    for (TPath& p : Paths)
        for (TVoice& v : p.Voices)
            if (v.Active && v.Owner == owner) v.Repeats = repeats;
}

int32_t TAudioMixer::ActiveVoices(int32_t path) {
    if (!PathExists(path)) return 0;
    TGuard guard(*this);
    const auto& voices = Paths[static_cast<size_t>(path)].Voices;
    return static_cast<int32_t>(
        std::count_if(voices.begin(), voices.end(), [](const TVoice& v) { return v.Active; }));
}

bool TAudioMixer::AddSong(TModulePlayer* song) {
    TGuard guard(*this);
    for (TModulePlayer* s : Songs)
        if (s == song) return true;
    for (TModulePlayer*& s : Songs) {
        if (s == nullptr) {
            s = song;
            return true;
        }
    }
    return false;
}

void TAudioMixer::RemoveSong(TModulePlayer* song) {
    TGuard guard(*this);
    for (TModulePlayer*& s : Songs)
        if (s == song) s = nullptr;
}

void TAudioMixer::RenderCallback(void* user, int16_t* out, int32_t frames) {
    static_cast<TAudioMixer*>(user)->Render(out, frames);
}

void TAudioMixer::Render(int16_t* out, int32_t frames) noexcept {
    if (IsMuted) {
        std::fill(out, out + 2 * static_cast<ptrdiff_t>(std::max(frames, 0)), int16_t{0});
        return;
    }
    while (frames > 0) {
        const int32_t n = std::min(frames, ChunkFrames);
        RenderChunk(n);
        for (int32_t i = 0; i < 2 * n; ++i) {
            const float s = std::clamp(Mix[i] * 32768.0f, -32768.0f, 32767.0f);
            out[i] = static_cast<int16_t>(std::lrint(s));
        }
        out += 2 * n;
        frames -= n;
    }
}

void TAudioMixer::RenderChunk(int32_t frames) {
    std::fill(Mix, Mix + 2 * frames, 0.0f);
    for (TPath& p : Paths) {
        if (!p.Used) continue;
        for (int32_t i = 0; i < p.VoiceCount; ++i) {
            TVoice& v = p.Voices[static_cast<size_t>(i)];
            if (v.Active) MixVoice(v, frames);
        }
    }
    for (TModulePlayer* song : Songs)
        if (song != nullptr) song->MixInto(Mix, frames, OutputRate);
}

void TAudioMixer::MixVoice(TVoice& v, int32_t frames) {
    const TPcmSound& s = *v.Sound;
    const int64_t total = s.Frames();
    const int32_t rate = v.Frequency > 0 ? v.Frequency : s.Rate;
    if (total <= 0 || rate <= 0) {
        v.Active = false;
        return;
    }
    constexpr float kSampleScale = 1.0f / 32768.0f;
    constexpr float kFractionScale = 1.0f / 4294967296.0f;
    const uint64_t step = (static_cast<uint64_t>(rate) << 32) / static_cast<uint64_t>(OutputRate);
    const uint64_t end = static_cast<uint64_t>(total) << 32;
    const int16_t* data = s.Samples.data();
    const float gl = v.GainLeft * kSampleScale;
    const float gr = v.GainRight * kSampleScale;
    for (int32_t i = 0; i < frames; ++i) {
        if (v.Position >= end) {
            if (v.Repeats == 0) {
                v.Active = false;
                return;
            }
            if (v.Repeats > 0) --v.Repeats;
            v.Position %= end;
        }
        const auto at = static_cast<int64_t>(v.Position >> 32);
        const float frac = static_cast<float>(v.Position & 0xFFFFFFFFu) * kFractionScale;
        // The frame after the last one is the first again while the sound repeats, else silence.
        const int64_t next = at + 1 < total ? at + 1 : (v.Repeats != 0 ? 0 : -1);
        float left, right;
        if (s.Channels == 1) {
            const float a = data[at];
            const float b = next >= 0 ? data[next] : 0.0f;
            left = right = a + (b - a) * frac;
        } else {
            const float al = data[2 * at], ar = data[2 * at + 1];
            const float bl = next >= 0 ? data[2 * next] : 0.0f;
            const float br = next >= 0 ? data[2 * next + 1] : 0.0f;
            left = al + (bl - al) * frac;
            right = ar + (br - ar) * frac;
            if (v.Mono) left = right = 0.5f * (left + right);
        }
        Mix[2 * i] += left * gl;
        Mix[2 * i + 1] += right * gr;
        v.Position += step;
    }
}
