// TKerbTimer: paces the game. Fires OnTimer at most TargetFPS times a second, measures the
// achieved rate, caps the elapsed time of very slow frames and gates very fast ones. It reads
// time from an injectable TClock; the main loop calls Check() whenever it is idle and sleeps
// until NextDue() in between. Lossy mode stands for the original's window timer: it fires on
// every check that the loop makes at the IntervalMs pace.
#pragma once

#include <cstdint>
#include <functional>

class TClock;

class TKerbTimer {
public:
    explicit TKerbTimer(const TClock& clock);

    void SetEnabled(bool value);
    void SetTargetFPS(int32_t value);
    void SetMinFPS(int32_t value);
    void SetMaxFPS(int32_t value);
    void SetFPSWarningFrames(int32_t value);
    void SetLossyMode(bool value);
    void SetOnTimer(std::function<void(TKerbTimer&)> handler);

    // One pass of the idle check: may fire OnTimer once.
    void Check();
    // Whether the check is installed (enabled, with a handler): the idle hook of the original.
    bool Hooked() const { return IdleHooked || LossyTimerRunning; }
    // Clock value at which the next tick can fire (for the main loop's sleep).
    int64_t NextDue() const;

    bool Enabled = false;
    int32_t TargetFPS = 0;
    int32_t MinFPS = 0;
    int32_t MaxFPS = 0;
    int32_t FPSWarningFrames = 0;
    bool LossyMode = false;
    std::function<void(TKerbTimer&)> OnTimer;

    bool HighResolution = true;
    int64_t Frequency = 0;
    int64_t LastTick = 0;
    int64_t Now = 0;
    float Delta = 0;
    float ElapsedSeconds = 0;
    int64_t SecondStart = 0;
    uint32_t FPS = 0;
    uint32_t FrameCount = 0;
    bool FPSWarning = false;
    int32_t SlowFrames = 0;
    uint32_t TicksPerTarget = 0, TicksPerMin = 0, TicksPerMax = 0;
    int32_t IntervalMs = 0;

private:
    void Rehook();
    void Fire(int64_t elapsed, bool byTarget);
    void CheckNormal(int64_t elapsed);

    const TClock& Clock;
    bool IdleHooked = false;
    bool LossyTimerRunning = false;
    int64_t LossyNext = 0;
};
