// TEnemyCar: a computer-driven car. It moves on the screen by its own velocity plus the
// world's scroll and push steps, follows the checkpoints toward a point shifted by a lane
// offset, chooses thrust from the angle to its target, and reacts to what its five eyes
// report: walls ahead to either side, cars beside it or just ahead. It drives through the
// same four control primitives as the player's keys.
#pragma once

#include <array>

#include "world/Car.h"

struct TEye {
    double X = 0, Y = 0;
    double Reach = 0;
    double Angle = 0;
    bool CarLeft = false, CarRight = false;
    bool Wall = false;
    bool CarAhead = false;
    // The eye's square of the given half size.
    TQuad4 Square(double half) const;
};

class TEnemyCar : public TCar {
public:
    TEnemyCar(TKerbSprite* engine, double x, double y, int32_t carType, const std::string& name,
              int32_t index, double heading, bool menu, int32_t number);

    void Move(float moveCount) override;
    void SetReleased(bool released) override { Released = released; }

    int32_t Index = 0;
    int32_t TargetCheckpoint = 1;
    TArrow* TargetArrow = nullptr;
    bool PlayerContact = false;
    std::array<TEye, 5> Eyes{};
    bool Released = false;
    double LaneOffset = 0;
    int32_t LaneTimer = 500;
    int32_t LaneCount = 1;
    // The checkpoint nearest to the car at its last progress measurement.
    int32_t NearestCheckpoint = 0;

    // The parts of a frame, public for tests.
    void SenseCars();
    void Drive();
    void UpdateEyes();
    void Contacts();
    // The box around the squares the walls test the first three eyes with, with the largest
    // of their margins: a wall whose box is far from it is far from every one of the three.
    const TQuadBox& WallEyesBox() const { return EyesBounds; }
    // The target's bearing from the car centre (degrees), as the driver computes it.
    double Bearing(double tx, double ty) const;

private:
    // The box of the first three eyes' squares, worked out whenever the eyes move: every wall
    // tests it every frame.
    TQuadBox EyesBounds{};
    TTurnedOffsets<5> EyeTurn;
    void UpdateEyesBox();
    void Coast();
    void ChooseSteering(double tx, double ty, bool& left, bool& right) const;
    void ChooseSpeed(double bearing, bool& up, bool& down) const;
    void AvoidWalls(bool& up, bool& down, bool& left, bool& right) const;
    void RespondTo(const TCar& other);
};

// Creates opponent index (number index + 1) at a grid centre and enters it in the record; null
// (no car) when index or the count would pass the opponent tables.
TEnemyCar* CreateOpponentCar(TKerbSprite* engine, int32_t index, double x, double y,
                             int32_t carType);
