// Bonuses on the road (coins, puddle, bomb, repair kit, extra life, extra time, spikes,
// speed-up pad) and the explosion animation. A bonus scrolls with the world and acts on any
// car whose body touches it: the player (every kind) or an opponent (puddle, bomb, spikes and
// speed-up only).
#pragma once

#include <array>

#include "world/Geometry.h"
#include "world/RaceRecord.h"
#include "world/WorldSprite.h"

class TCar;

class TBonus : public TWorldSprite {
public:
    TBonus(TKerbSprite* engine, double centreX, double centreY, int32_t kind);
    void Move(float moveCount) override;
    TQuad4 Square() const { return {Corners[0], Corners[1], Corners[2], Corners[3]}; }

    std::array<TVec2, 4> Corners{};
    std::array<bool, kMaxOpponents> OpponentContact{};
    bool PlayerTouching = false;
    bool PlayerTouched = false;
    int32_t Kind = 0;

private:
    void UpdateCorners();
    void PlayerEffect();
    void OpponentEffect(TCar& car, int32_t index);
    // The effects both kinds of car share; returns whether the bonus is used up.
    bool CommonEffect(TCar& car, bool player, int32_t carIndex);
};

class TExplose : public TSprite {
public:
    // car: -1 for the player, else the opponent's index.
    TExplose(TKerbSprite* engine, double centreX, double centreY, int32_t kind, int32_t car);
    void Move(float moveCount) override;

    int32_t LastPattern = 7;
    int32_t Counter = 1;
    int32_t Car = 0;
    double CentreX = 0, CentreY = 0;
};

// Slow-down and speed-up effects of spikes and speed-up pads, shared with the car model.
void StartSlowDown(TCar& car, bool player);
void EndSlowDown(TCar& car, bool player);
void StartSpeedUp(TCar& car);
void EndSpeedUp(TCar& car);
