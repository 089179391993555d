// TKerbTimer: paces the game. Fires OnTimer TargetFPS times a second on a grid of absolute
// deadlines (each one interval after the previous one), so a late wake-up delays one tick but
// not the ones after it and the rate holds on a busy machine; a loop more than a tenth of a
// second behind drops the backlog instead of bursting. Measures the achieved rate, caps the elapsed
// time of very slow frames and gates very fast ones (MaxFPS). It reads time from an
// injectable TClock; the main loop calls Check() whenever it is idle and sleeps until
// NextDue() in between. Lossy mode is a plain interval timer: it fires on the first check at
// least IntervalMs after the previous tick and never catches up.
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
    // Whether the check is installed (enabled, with a handler), as the loop's idle hook.
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
    // When the next tick is due (TargetFPS > 0).
    int64_t Deadline = 0;
    // How many intervals the loop may fall behind before the missed ticks are dropped: about a
    // tenth of a second at 90 a second, so that a process sharing a busy machine, which the
    // scheduler keeps waiting for tens of milliseconds now and then, catches those ticks up
    // (at the MaxFPS pace) instead of losing them, while a real stall is not replayed.
    static constexpr int64_t MaxBacklogTicks = 9;

private:
    void Rehook();
    void Fire(int64_t elapsed, bool byTarget);
    void CheckNormal(int64_t elapsed);

    const TClock& Clock;
    bool IdleHooked = false;
    bool LossyTimerRunning = false;
    int64_t LossyNext = 0;
};
