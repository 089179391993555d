// The world's part of a frame of the race and wreck states, shared by the game's race screen
// and the headless replay of a daily race: moving every sprite, the start lights' effect on
// the cars, the checkpoints, recovery after driving the wrong way, the wreck and the respawn,
// and the race clock. The shell draws around these calls and switches screens on what they
// report; the replay calls them alone, so a daily race runs the same code in both.
//
// The game runs the day's race as: PrepareDailyRace(plan); its level counter = plan.Level;
// RaceClock.Recording = &log; enter the race state (12). The race and wreck frames then record
// one byte per step; Race.RaceHundredths at the finish is the time to submit with the log.
// Afterwards EndDailyRace() (and the player's own CarIndex back).
#pragma once

#include <cstdint>

#include "world/DailyChallenge.h"

class TKeyLog;

// The race clock's state beyond the record's minutes, seconds and hundredths. In a normal race
// the clock runs on the wall-clock timer World.RaceTimer; in a daily race it is frame-driven:
// each race step runs the ticks DailyClockTicks (DailyReplay.h) makes due.
struct TRaceClock {
    bool FrameDriven = false;
    // Steps run with the clock running (frame-driven only).
    int32_t Steps = 0;
    // Whether the clock runs when there is no World.RaceTimer (the replay has none).
    bool Running = false;
    // When set, each race step first records the key tables into this log and writes the
    // recorded byte back (ApplyKeyBits), exactly what a replay does with the log's bytes.
    TKeyLog* Recording = nullptr;
};
extern thread_local TRaceClock RaceClock;

bool RaceClockRunning();
// Starts or stops the clock (World.RaceTimer when there is one).
void SetRaceClockRunning(bool running);
// One 10 ms tick of the race clock; false when the time has run out (the clock then stands at
// zero and the shell shows "time's up").
bool RaceClockTick();

// The day's race before it is built: the seed, the difficulty of the day's level, lives and
// score of a new game, the day's car (CarIndex) and its colour, and the frame-driven clock.
// The caller sets its own level counter to plan.Level and, if the player's chosen car lives in
// CarIndex, puts it back after the race.
void PrepareDailyRace(const TDailyPlan& plan);
// Back to the wall-clock race clock of normal races, recording nothing.
void EndDailyRace();

// The world's part of entering the race state: the results cleared, the race built, the
// player's car whole. Nothing happens when the race could not be built (no player's car).
void BeginRace();

// Frame `lightsFrame` (0 at the race's start; the lights act up to 300) of the race state:
// records the keys when recording, moves every sprite, runs the lights' effect, scrolls the
// checkpoints and runs a frame-driven clock. False when the clock ran out of time.
bool RaceWorldFrame(int32_t lightsFrame);
// A frame of the wreck state: the same without the lights.
bool WreckWorldFrame();

// Puts the car back on the road at the checkpoint before the one it was heading for, when it
// has gone far the wrong way (not after the finish).
void RecoverPlayer();
// The wreck begins: controls off, one point of health, the explosion.
void WreckPlayer();
// The burnt-out car back on the road two checkpoints behind where it burnt, one life less.
void RespawnPlayer();
