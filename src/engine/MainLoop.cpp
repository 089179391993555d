#include "engine/MainLoop.h"

#include <algorithm>

#include "engine/KerbTimer.h"
#include "engine/SystemTimer.h"
#include "platform/Clock.h"

TMainLoop::TMainLoop(const TClock& clock, TKerbTimer& frameTimer, TSystemTimer* raceTimer)
    : WaitUntil([](int64_t deadline) { SleepUntil(deadline); }),
      MaxWait(clock.Frequency() / 50),
      Clock(clock),
      FrameTimer(frameTimer),
      RaceTimer(raceTimer) {}

void TMainLoop::RunOnce() {
    if (PumpEvents) PumpEvents();
    if (RaceTimer != nullptr) RaceTimer->RunDue();
    FrameTimer.Check();
}

int64_t TMainLoop::NextDeadline() const {
    const int64_t now = Clock.Now();
    int64_t deadline = now + MaxWait;
    if (FrameTimer.Hooked()) deadline = std::min(deadline, FrameTimer.NextDue());
    if (RaceTimer != nullptr && RaceTimer->Enabled())
        deadline = std::min(deadline, RaceTimer->NextDue());
    return deadline;
}

void TMainLoop::Run() {
    while (!(ShouldQuit && ShouldQuit())) {
        RunOnce();
        if (ShouldQuit && ShouldQuit()) break;
        const int64_t deadline = NextDeadline();
        if (deadline > Clock.Now() && WaitUntil) WaitUntil(deadline);
    }
}
