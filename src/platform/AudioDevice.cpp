#include "platform/AudioDevice.h"

#include <SDL.h>

#include <cstdio>

TAudioDevice::~TAudioDevice() {
    Close();
}

bool TAudioDevice::Open(TRenderFunction render, void* user) {
    Close();
    Render = render;
    User = user;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LastError = SDL_GetError();
    } else {
        AudioStarted = true;
        // Take the device's own rate when it is one we mix at; otherwise let SDL convert from
        // our default rate.
        if (OpenWith(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) || OpenWith(0)) return true;
    }
    std::fprintf(stderr, "Velkaro: no sound device (%s); playing silently\n", LastError.c_str());
    Close();
    return false;
}

bool TAudioDevice::OpenWith(int allowedChanges) {
    SDL_AudioSpec want{};
    want.freq = DefaultRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &TAudioDevice::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    DeviceId = SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowedChanges);
    if (DeviceId == 0) {
        LastError = SDL_GetError();
        return false;
    }
    if (have.freq != 48000 && have.freq != 44100) {
        SDL_CloseAudioDevice(DeviceId);
        DeviceId = 0;
        LastError = "unsupported rate";
        return false;
    }
    FrameRate = have.freq;
    return true;
}

void TAudioDevice::Start() {
    if (DeviceId != 0) SDL_PauseAudioDevice(DeviceId, 0);
}

void TAudioDevice::Close() {
    if (DeviceId != 0) SDL_CloseAudioDevice(DeviceId);
    DeviceId = 0;
    FrameRate = DefaultRate;
    if (AudioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioStarted = false;
}

void TAudioDevice::Lock() {
    if (DeviceId != 0) SDL_LockAudioDevice(DeviceId);
}

void TAudioDevice::Unlock() {
    if (DeviceId != 0) SDL_UnlockAudioDevice(DeviceId);
}

void TAudioDevice::Callback(void* self, uint8_t* stream, int len) {
    auto* device = static_cast<TAudioDevice*>(self);
    auto* out = reinterpret_cast<int16_t*>(stream);
    const int32_t frames = len / 4;
    if (device->Render != nullptr) {
        device->Render(device->User, out, frames);
    } else {
        SDL_memset(stream, 0, static_cast<size_t>(len));
    }
}
