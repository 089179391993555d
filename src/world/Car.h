// TCar: the car model shared by the player's car and the opponents. Built from a car type of
// the car table; turns the four control primitives into thrust and steering; keeps the four
// body corners the collision tests read; carries its companion sprites (indicator arrows,
// ground probes, shadow, radar marker). The per-frame motion step is run by the subclasses,
// which differ in a few rules (TMotionRules).
#pragma once

#include <array>

#include "engine/KerbSprite.h"
#include "world/Geometry.h"
#include "world/RaceRecord.h"

class TArrow;
class TCarTen;
class TRadarCar;

// A ground probe: a road piece sets OnRoad when the probe's 4 x 4 square lies on its tarmac.
class TGroundPoint : public TSprite {
public:
    TGroundPoint(TKerbSprite* engine, double centreX, double centreY, double angleOffset,
                 bool menu);
    bool OnRoad = false;
    double AngleOffset = 0;
    // The probe's 4 x 4 square in screen coordinates.
    TQuad4 Square() const;
};

struct TCarCorner {
    double X = 0, Y = 0;
    int32_t Number = 0;
    double Radius = 0;
};

// Where the player's and the opponents' motion steps differ.
struct TMotionRules {
    double ThrustFactor = 0;
    bool SkidMarksNeedSkidding = false;  // opponents: Skidding; player: a heading/direction gap
    bool Player = false;
};

class TCar : public TSprite {
public:
    TCar(TKerbSprite* engine, double x, double y, int32_t carType, const std::string& name,
         double heading, bool menu, int32_t pattern);

    void OnCollision(TSprite&, int32_t, int32_t) override {}
    // Lets an opponent race (true) or stops it (false); the player ignores it.
    virtual void SetReleased(bool) {}

    void LoadDriving();
    void ApplyKeys();
    void Accelerate();
    void Brake();
    void SteerLeft();
    void SteerRight();
    void UpdateCorners();
    void MoveBy(double dx, double dy);
    // The body as a quad for the overlap tests, and its box (kept with the corners: every
    // car is tested against every wall, eye and car each frame).
    TQuad4 Body() const {
        return {TVec2{Corners[0].X, Corners[0].Y}, TVec2{Corners[1].X, Corners[1].Y},
                TVec2{Corners[2].X, Corners[2].Y}, TVec2{Corners[3].X, Corners[3].Y}};
    }
    const TQuadBox& BodyBox() const { return BodyBounds; }
    double CentreX() const { return X + Width / 2.0; }
    // (cos, sin)(Direction) * Speed.
    TVec2 Velocity() const;
    // How far a contact shoves this car along away (a unit vector): more when it moves
    // across that line, 1.5 px when it stands still.
    TVec2 ContactShove(const TVec2& away) const;
    // A contact turns body and travel 1.5 degrees toward the side the other car comes from.
    void TurnFromContact(const TVec2& own, const TVec2& other);
    double CentreY() const { return Y + Height / 2.0; }
    // The picture's tile size (the sprite's size when it has no picture); the arrows sit by it.
    int32_t TileWidth() const { return Image != nullptr ? Image->TileWidth : Width; }
    int32_t TileHeight() const { return Image != nullptr ? Image->TileHeight : Height; }

    int32_t Health = 100;
    double Steering = 0, Grip = 0, SlideTurnFactor = 0.5, CoastDecel = 0.011;
    double Speed = 0, MaxSpeed = 0, MaxReverse = -2.0, Accel = 0, BrakeDecel = 0.08;
    double Thrust = 0;
    double Heading = 0, Direction = 0;
    double RollFriction = 0.003, SkidFriction = 0.008;
    bool Skidding = false;
    TArrow* HeadingArrow = nullptr;
    TArrow* DirectionArrow = nullptr;
    int32_t SkidCounter = 0;
    std::array<TCarCorner, 4> Corners{};
    std::array<double, 4> CornerAngles{};
    std::array<bool, kMaxOpponents> Touching{};
    std::array<bool, kMaxOpponents> WasTouching{};
    double SpinRate = 0, SpinDecay = 1.0;
    TGroundPoint* FrontPoint = nullptr;
    TGroundPoint* CentrePoint = nullptr;
    double Traction = 1.0;
    int32_t Laps = 0;
    double Progress = 0;
    int32_t Place = 0;
    int32_t CarType = 0;
    bool InRace = true;
    double SkidRadius = 0;
    std::array<double, 2> SkidAngles{};
    bool MenuImages = false;
    TCarTen* Shadow = nullptr;
    bool Spinning = false;
    bool Slowed = false;
    int32_t SlowTimer = 0;
    bool Boosted = false;
    int32_t BoostTimer = 0;
    TRadarCar* RadarMark = nullptr;
    // Bounces off walls so far; velkaro-sim counts the car's wall hits from it.
    int32_t WallBounces = 0;

protected:
    // Steps 3 to 11 of the motion step (thrust, friction, skid marks, angle, direction,
    // spin-out, effect timers, arrows).
    void MotionStep(const TMotionRules& rules);
    // Step 14: the radar marker follows Progress.
    void UpdateRadar();
    // Progress along the checkpoint chain from the car's centre; returns the nearest
    // checkpoint and the two checkpoints of the stretch measured along.
    int32_t MeasureProgress(TVec2* from = nullptr, TVec2* to = nullptr);

private:
    TQuadBox BodyBounds{};
    // The four corners' offsets from the pivot, then the front point's.
    TTurnedOffsets<5> Turned;
    void DriftDirection(const TMotionRules& rules);
    void UnwindDirection();
    void DropSkidMarks(const TMotionRules& rules);
};

// The checkpoint (1..n of the race record) nearest to (cx, cy), the lowest number winning a
// tie; 1 when none lies nearer than 6,000,000.
int32_t NearestCheckpoint(double cx, double cy, int32_t n);

// Turns degrees into radians.
double Rad(double degrees);
