// TMainLoop: the game's message loop. Each pass pumps the window's events, runs the race
// clock's due ticks, then lets the frame timer check whether a frame is due; between passes it
// sleeps to the next deadline (a kernel sleep to just before it, then a short spin) instead of
// spinning all along, so an idle game costs little CPU while ticks stay on time.
#pragma once

#include <cstdint>
#include <functional>

class TClock;
class TKerbTimer;
class TSystemTimer;

class TMainLoop {
public:
    TMainLoop(const TClock& clock, TKerbTimer& frameTimer, TSystemTimer* raceTimer);

    // One pass: events, race ticks, frame check.
    void RunOnce();
    // Passes until ShouldQuit() says so, sleeping between them.
    void Run();
    // The clock value at which the next tick (frame or race clock) is due.
    int64_t NextDeadline() const;

    std::function<void()> PumpEvents;
    std::function<bool()> ShouldQuit;
    // How to wait for a clock value; defaults to the precise steady-clock sleep.
    std::function<void(int64_t)> WaitUntil;
    // Longest single wait, so events are still pumped while nothing is due.
    int64_t MaxWait;

private:
    const TClock& Clock;
    TKerbTimer& FrameTimer;
    TSystemTimer* RaceTimer;
};
