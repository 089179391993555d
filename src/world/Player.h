// TPlayer: the player's car. It never moves on the screen: every frame it publishes the step
// by which the rest of the world moves instead (the scroll step) and the shove from bumping
// into opponents (the push step). It drives from the key tables, measures its progress along
// the checkpoints, works out its place, takes damage and repairs, blinks while invulnerable,
// and asks for more road as it advances.
#pragma once

#include "world/Car.h"

class TBar;

class TPlayer : public TCar {
public:
    TPlayer(TKerbSprite* engine, double x, double y, int32_t carType, const std::string& name,
            double heading, bool menu);

    void Move(float moveCount) override;
    void Damage(int32_t amount);
    void Repair(int32_t amount);
    void StartBlinking();

    // The progress along the checkpoint chain and the race distance it gives.
    void UpdateProgress();
    void UpdatePlace();
    void OpponentContacts();

    double PushX = 0, PushY = 0;
    double PushCopyX = 0, PushCopyY = 0;
    double ScrollDX = 0, ScrollDY = 0;
    bool ControlsOn = false;
    double CheckX = 0, NextX = 0, CheckY = 0, NextY = 0;
    int32_t NextCheckpoint = 1;
    bool PlaceOn = true;
    TBar* HealthBar = nullptr;
    bool Blinking = false;
    int32_t BlinkFrames = 0, BlinkCount = 0;
    double Backtrack = 0;
    double TravelStep = 0;
    double RaceDistance = 0;

private:
    bool CanBeHurt() const;
    void Blink();
    void Control();
    void RespondTo(TCar& opponent);
    void AdvanceCheckpoint();
};
