#include "engine/SystemTimer.h"

#include "platform/Clock.h"

TSystemTimer::TSystemTimer(const TClock& clock, int32_t intervalMs)
    : Clock(clock), IntervalMs(0), IntervalTicks(1) {
    SetInterval(intervalMs);
}

void TSystemTimer::SetInterval(int32_t intervalMs) {
    IntervalMs = intervalMs > 0 ? intervalMs : 1;
    IntervalTicks = Clock.Frequency() * IntervalMs / 1000;
    if (IntervalTicks <= 0) IntervalTicks = 1;
    Next = Clock.Now() + IntervalTicks;
}

void TSystemTimer::SetEnabled(bool value) {
    if (value == IsEnabled) return;
    IsEnabled = value;
    // A window timer starts a fresh interval whenever it is switched on.
    if (value) Next = Clock.Now() + IntervalTicks;
}

int32_t TSystemTimer::RunDue() {
    if (!IsEnabled) return 0;
    const int64_t now = Clock.Now();
    if (now < Next) return 0;
    const int64_t maxTicks = 1000 / IntervalMs > 0 ? 1000 / IntervalMs : 1;
    int64_t due = (now - Next) / IntervalTicks + 1;
    if (due > maxTicks) {
        // Too far behind: drop the backlog beyond one second.
        Next = now - (maxTicks - 1) * IntervalTicks;
        due = maxTicks;
    }
    int32_t ran = 0;
    for (int64_t i = 0; i < due && IsEnabled; ++i) {
        Next += IntervalTicks;
        ++ran;
        if (OnTimer) OnTimer();
    }
    return ran;
}
