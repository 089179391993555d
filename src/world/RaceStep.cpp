#include "world/RaceStep.h"

#include <algorithm>
#include <cmath>

#include "engine/KerbSprite.h"
#include "engine/SystemTimer.h"
#include "world/Bonus.h"
#include "world/DailyReplay.h"
#include "world/EnemyCar.h"
#include "world/GameTables.h"
#include "world/Globals.h"
#include "world/KeyLog.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/Random.h"
#include "world/WorldContext.h"

thread_local TRaceClock RaceClock;

namespace {
template <typename Action>
void ForEachOpponent(Action action) {
    for (int32_t i = 0; i < Race.OpponentsCreated; ++i)
        if (TCar* o = Race.OpponentCars[static_cast<size_t>(i)]) action(*o);
}

// Moves the world so that checkpoint k lies under the player's car. Checkpoint numbers start
// at 1; a lower one would name the unused entry 0 and throw the car off the road.
void PutPlayerOnCheckpoint(int32_t k) {
    TPlayer* p = Race.PlayerCar;
    if (p == nullptr || Race.CheckpointCount < 1) return;
    k = std::clamp(k, 1, Race.CheckpointCount);
    const TCheckpoint& c = Race.Checkpoints[static_cast<size_t>(k)];
    ShiftWorld(p->CentreX() - c.X, p->CentreY() - c.Y);
}

void ResetPlayerMotion(TPlayer& p) {
    p.Heading = p.Direction = -90;
    p.Speed = 0;
}

// The start lights' effect on the race: the opponents wait until green, when the player's
// controls, the clock and the opponents are let go.
void StartLightsStep(int32_t p) {
    if (p < 250) ForEachOpponent([](TCar& o) { o.Speed = 0; });
    if (p == 250) {
        Race.PlayerCar->ControlsOn = true;
        SetRaceClockRunning(true);
        ForEachOpponent([](TCar& o) { o.SetReleased(true); });
    }
}

void RecordKeys() {
    if (RaceClock.Recording == nullptr) return;
    const uint8_t bits = KeyBitsFromTables();
    RaceClock.Recording->Add(bits);
    ApplyKeyBits(bits);
}

// The ticks of a frame-driven clock that fall due in this step; false when time ran out.
bool RunFrameClock() {
    if (!RaceClock.FrameDriven || !RaceClockRunning()) return true;
    ++RaceClock.Steps;
    const int32_t due = DailyClockTicks(RaceClock.Steps) - DailyClockTicks(RaceClock.Steps - 1);
    for (int32_t i = 0; i < due; ++i)
        if (!RaceClockTick()) return false;
    return true;
}

bool WorldFrame(bool lights, int32_t lightsFrame) {
    RecordKeys();
    World.Sprites->Dead();
    World.Sprites->Move(0);
    if (lights && Race.PlayerCar != nullptr) StartLightsStep(lightsFrame);
    ScrollCheckpoints();
    return RunFrameClock();
}
}  // namespace

bool RaceClockRunning() {
    return World.RaceTimer != nullptr ? World.RaceTimer->Enabled() : RaceClock.Running;
}

void SetRaceClockRunning(bool running) {
    RaceClock.Running = running;
    if (World.RaceTimer != nullptr) World.RaceTimer->SetEnabled(running);
}

bool RaceClockTick() {
    if (Race.ClockHundredths > 0) {
        --Race.ClockHundredths;
        ++Race.RaceHundredths;
        return true;
    }
    if (Race.ClockSeconds == 0) {
        if (Race.ClockMinutes == 0) return false;
        --Race.ClockMinutes;
        Race.ClockSeconds = 59;
    } else {
        if (Race.ClockSeconds <= 10 && Race.ClockMinutes == 0) PlayWorldSound("time");
        --Race.ClockSeconds;
    }
    Race.ClockHundredths = 99;
    ++Race.RaceHundredths;
    return true;
}

void PrepareDailyRace(const TDailyPlan& plan) {
    Randomize(plan.Seed);
    Lives = 3;
    Score = 0;
    ResetDifficulty();
    for (int32_t level = 2; level <= plan.Level; ++level) AdvanceDifficulty(level);
    CarIndex = std::clamp(plan.Car, 0, 4);
    Race.CarVariant = Random(3);
    RaceClock.FrameDriven = true;
    RaceClock.Steps = 0;
    RaceClock.Running = false;
}

void EndDailyRace() {
    RaceClock = TRaceClock{};
}

void BeginRace() {
    Race.ResultCount = 1;
    Race.Results = {};
    BuildRace();
    if (Race.PlayerCar == nullptr) return;
    Race.PlayerCar->Health = 100;
    Race.PlayerWrecked = 0;
}

bool RaceWorldFrame(int32_t lightsFrame) {
    return WorldFrame(true, lightsFrame);
}

bool WreckWorldFrame() {
    return WorldFrame(false, 0);
}

void RecoverPlayer() {
    TPlayer* p = Race.PlayerCar;
    // After the finish the controls stay off, however the car rolls on.
    if (p == nullptr || Race.RaceFinished != 0 || p->Backtrack >= -1000) return;
    ResetPlayerMotion(*p);
    p->NextCheckpoint = p->NextCheckpoint < 2 ? 1 : p->NextCheckpoint - 1;
    PutPlayerOnCheckpoint(p->NextCheckpoint - 1);
    Race.PlayerWrecked = 0;
    p->ControlsOn = true;
    p->StartBlinking();
    p->Backtrack = 0;
}

void WreckPlayer() {
    if (Race.PlayerCar == nullptr) return;
    Race.PlayerCar->ControlsOn = false;
    Race.PlayerCar->Health = 1;
    new TExplose(World.Sprites, 396, 430, 0, -1);
}

void RespawnPlayer() {
    TPlayer* p = Race.PlayerCar;
    if (p == nullptr) return;
    int32_t nearest = 1;
    double best = 1e300;
    for (int32_t k = 1; k <= Race.CheckpointCount; ++k) {
        const TCheckpoint& c = Race.Checkpoints[static_cast<size_t>(k)];
        const double d = RaceHypot(c.X - p->CentreX(), c.Y - p->CentreY());
        if (d < best) {
            best = d;
            nearest = k;
        }
    }
    const int32_t d = std::max(nearest + 1, 3);
    ResetPlayerMotion(*p);
    p->Health = 100;
    PutPlayerOnCheckpoint(d - 3);
    --Lives;
    Race.PlayerWrecked = 0;
    p->ControlsOn = true;
    p->StartBlinking();
}
