#include "engine/KerbTimer.h"

#include "platform/Clock.h"

TKerbTimer::TKerbTimer(const TClock& clock) : Clock(clock) {
    Frequency = clock.Frequency();
    HighResolution = Frequency > 1000;
    SetMinFPS(10);
    SetMaxFPS(120);
    SetFPSWarningFrames(10);
}

void TKerbTimer::SetEnabled(bool value) {
    if (value == Enabled) return;
    Enabled = value;
    if (value) {
        LastTick = SecondStart = Clock.Now();
        Deadline = LastTick + TicksPerTarget;
        FrameCount = FPS = 0;
    }
    Rehook();
}

void TKerbTimer::SetTargetFPS(int32_t value) {
    if (value == TargetFPS) return;
    TargetFPS = value;
    if (value > 0) {
        TicksPerTarget = static_cast<uint32_t>(Frequency / value);
        IntervalMs = 1000 / value;
        Deadline = LastTick + TicksPerTarget;
    }
    Rehook();
}

void TKerbTimer::SetMinFPS(int32_t value) {
    if (value == MinFPS) return;
    MinFPS = value;
    if (value > 0) TicksPerMin = static_cast<uint32_t>(Frequency / value);
}

void TKerbTimer::SetMaxFPS(int32_t value) {
    if (value == MaxFPS) return;
    MaxFPS = value;
    if (value > 0) TicksPerMax = static_cast<uint32_t>(Frequency / value);
}

void TKerbTimer::SetFPSWarningFrames(int32_t value) {
    if (value == FPSWarningFrames) return;
    FPSWarningFrames = value;
    SlowFrames = 0;
    FPSWarning = false;
}

void TKerbTimer::SetLossyMode(bool value) {
    LossyMode = value;
    Rehook();
}

void TKerbTimer::SetOnTimer(std::function<void(TKerbTimer&)> handler) {
    OnTimer = std::move(handler);
    Rehook();
}

// Installs the check either as the idle hook or (lossy) as a repeating interval timer.
void TKerbTimer::Rehook() {
    LossyTimerRunning = false;
    if (LossyMode) {
        if (TargetFPS > 0 && Enabled && OnTimer) {
            LossyTimerRunning = true;
            LossyNext = Clock.Now() + IntervalMs * Frequency / 1000;
        }
        IdleHooked = false;
    } else {
        IdleHooked = Enabled && static_cast<bool>(OnTimer);
    }
}

int64_t TKerbTimer::NextDue() const {
    if (LossyTimerRunning) return LossyNext;
    const int64_t gate = MaxFPS != 0 ? LastTick + TicksPerMax : LastTick;
    if (TargetFPS <= 0) return gate;
    return Deadline > gate ? Deadline : gate;
}

void TKerbTimer::Fire(int64_t elapsed, bool byTarget) {
    const double e = static_cast<double>(elapsed);
    ElapsedSeconds = static_cast<float>(e / static_cast<double>(Frequency));
    Delta =
        byTarget && TicksPerTarget > 0 ? static_cast<float>(e / TicksPerTarget) : ElapsedSeconds;
    if (OnTimer) OnTimer(*this);
    LastTick = Now;
    ++FrameCount;
}

void TKerbTimer::Check() {
    if (!Enabled || !Hooked()) return;
    Now = Clock.Now();
    if (LossyTimerRunning) {
        if (Now < LossyNext) return;
        // A window timer does not queue up missed intervals: the next one is one interval on.
        LossyNext = Now + IntervalMs * Frequency / 1000;
    }
    if (Now - SecondStart >= Frequency) {
        FPS = FrameCount;
        FrameCount = 0;
        SecondStart = Now;
    }
    const int64_t elapsed = Now - LastTick;
    if (LossyMode) {
        Fire(elapsed, true);
        return;
    }
    CheckNormal(elapsed);
}

void TKerbTimer::CheckNormal(int64_t elapsed) {
    if (MinFPS > 0 && elapsed > static_cast<int64_t>(TicksPerMin)) {
        elapsed = TicksPerMin;
        const int32_t previous = SlowFrames;
        ++SlowFrames;
        // While frames stay slow the count rests one below the threshold, so the warning
        // stays raised and the count cannot overflow.
        if (SlowFrames >= FPSWarningFrames) {
            FPSWarning = true;
            SlowFrames = previous;
        }
    } else {
        FPSWarning = false;
        SlowFrames = 0;
    }
    if (MaxFPS != 0 && elapsed < static_cast<int64_t>(TicksPerMax)) return;
    if (TargetFPS <= 0) {
        Fire(elapsed, false);
    } else if (Now >= Deadline) {
        Fire(elapsed, true);
        // The next deadline follows from this one, not from when the tick ran, so a late
        // wake-up costs no time; MaxFPS spaces the ticks that catch up.
        Deadline += TicksPerTarget;
        if (Now - Deadline >= MaxBacklogTicks * static_cast<int64_t>(TicksPerTarget))
            Deadline = Now + TicksPerTarget;
    }
}
