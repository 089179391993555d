// Time sources. Everything in the game that needs time reads it from a TClock: the frame
// timer, the race timer and the sound component's 250 ms rule. The real clock is steady
// (monotonic, nanoseconds); tests drive a TManualClock by hand.
#pragma once

#include <cstdint>

class TClock {
public:
    virtual ~TClock() = default;
    // Counter value now, in ticks of Frequency() per second.
    virtual int64_t Now() const = 0;
    virtual int64_t Frequency() const = 0;
};

// Monotonic wall time in nanoseconds.
class TSteadyClock final : public TClock {
public:
    int64_t Now() const override;
    int64_t Frequency() const override { return 1'000'000'000; }
};

// A clock that moves only when told to.
class TManualClock final : public TClock {
public:
    explicit TManualClock(int64_t frequency = 1'000'000'000) : Freq(frequency) {}
    int64_t Now() const override { return T; }
    int64_t Frequency() const override { return Freq; }
    void Set(int64_t ticks) { T = ticks; }
    void Advance(int64_t ticks) { T += ticks; }
    void AdvanceMs(double ms) {
        T += static_cast<int64_t>(ms * static_cast<double>(Freq) / 1000.0);
    }

private:
    int64_t T = 0;
    int64_t Freq;
};

// Sleeps until the steady clock reaches deadline (in TSteadyClock ticks): a kernel sleep to
// just before it, then a spin until it has passed. Linux oversleeps by up to ~0.15 ms, so the
// kernel sleep stops short by marginNs. The spin does not yield: on a busy machine a yield
// hands the processor to another process, and getting it back can take milliseconds.
void SleepUntil(int64_t deadline, int64_t marginNs = 300'000);
