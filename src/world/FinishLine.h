// The finish line: an invisible rotated rectangle with the chequered picture drawn on top.
// An opponent that crosses it is entered in the results once; the player crossing ends the
// race, freezing the place and the time left on the clock.
#pragma once

#include <array>

#include "world/Geometry.h"
#include "world/WorldSprite.h"

class TFLineImage : public TSprite {
public:
    TFLineImage(TKerbSprite* engine, double centreX, double centreY);
};

class TFinishLine : public TWorldSprite {
public:
    TFinishLine(TKerbSprite* engine, double centreX, double centreY, double angle);
    void Move(float moveCount) override;
    TQuad4 Quad() const { return {Corners[0], Corners[1], Corners[2], Corners[3]}; }

    double LineAngle = 0;
    std::array<TVec2, 4> Corners{};
    std::array<double, 4> CornerAngles{};
    TFLineImage* LineImage = nullptr;

private:
    void RecordOpponents();
    void CheckPlayer();
};
