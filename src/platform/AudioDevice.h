// The game's one audio output: an SDL audio device, stereo, signed 16-bit, at 48,000 or
// 44,100 frames a second, whose callback asks a render function for every block. When no
// device can be opened the object stays a null device: Open reports one line on standard
// error and returns false, Lock and Unlock do nothing, and nothing is ever output. The render
// function runs on SDL's audio thread; structural changes to what it reads are made between
// Lock and Unlock.
#pragma once

#include <cstdint>
#include <string>

class TAudioDevice {
public:
    // Fills frames stereo frames (2 * frames samples) at out. Must not block or allocate.
    using TRenderFunction = void (*)(void* user, int16_t* out, int32_t frames);

    static constexpr int32_t DefaultRate = 48000;

    TAudioDevice() = default;
    ~TAudioDevice();
    TAudioDevice(const TAudioDevice&) = delete;
    TAudioDevice& operator=(const TAudioDevice&) = delete;

    // Starts SDL's audio subsystem and opens the default device, paused. False (with Error()
    // set and one line on stderr) when there is no device.
    bool Open(TRenderFunction render, void* user);
    // Lets the callback run (after the render function's data knows the device's rate).
    void Start();
    void Close();

    bool IsOpen() const { return DeviceId != 0; }
    // Frames a second of the open device; DefaultRate for the null device.
    int32_t Rate() const { return FrameRate; }
    const std::string& Error() const { return LastError; }

    // Keep the callback out while the render function's data changes. No-ops when closed.
    void Lock();
    void Unlock();

private:
    static void Callback(void* self, uint8_t* stream, int len);
    bool OpenWith(int allowedChanges);

    uint32_t DeviceId = 0;
    int32_t FrameRate = DefaultRate;
    bool AudioStarted = false;
    TRenderFunction Render = nullptr;
    void* User = nullptr;
    std::string LastError;
};
