// TSystemTimer: a plain interval timer on the frame thread (the race clock's 10 ms timer).
// The main loop calls RunDue() between frames; it runs every interval that has passed since
// the last one, so the race clock keeps real time even when a frame takes longer than the
// interval, but never more than one second's worth at once (a stalled machine must not replay
// a minute of ticks). Ticks never overlap a frame action because both run on one thread.
#pragma once

#include <cstdint>
#include <functional>

class TClock;

class TSystemTimer {
public:
    explicit TSystemTimer(const TClock& clock, int32_t intervalMs = 10);

    void SetEnabled(bool value);
    bool Enabled() const { return IsEnabled; }
    void SetInterval(int32_t intervalMs);
    int32_t Interval() const { return IntervalMs; }

    // Runs the due ticks; returns how many ran.
    int32_t RunDue();
    // Clock value of the next tick (meaningless while disabled).
    int64_t NextDue() const { return Next; }

    std::function<void()> OnTimer;

private:
    const TClock& Clock;
    int32_t IntervalMs;
    int64_t IntervalTicks;
    int64_t Next = 0;
    bool IsEnabled = false;
};
