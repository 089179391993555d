// TRoadRock: the walls that line the road, four per road piece, placed by a fixed table per
// piece kind. Every frame a wall finds the cars touching it, pushes them away, turns them off
// the wall, slows them, and damages the player's car.
#pragma once

#include <array>
#include <optional>

#include "world/WorldSprite.h"
#include "world/Geometry.h"
#include "world/RaceRecord.h"

class TCar;
class TEnemyCar;

class TRoadRock : public TWorldSprite {
public:
    TRoadRock(TKerbSprite* engine, double centreX, double centreY, int32_t kind, double angle);
    void Move(float moveCount) override;
    void UpdateCorners();
    TQuad4 Quad() const;

    std::array<TVec2, 4> Corners{};
    std::array<uint8_t, kMaxOpponents> OpponentContact{};
    uint8_t PlayerContact = 0;
    std::array<double, 4> CornerAngles{};
    int32_t WallKind = 0;
    double WallAngle = 0;

private:
    void SetSeenBy(TEnemyCar& o, const TQuad4& quad, const TQuadBox& box) const;
    struct TOffsetsKey {
        float Angle;
        int32_t Width, Height;
    };
    // The corners' offsets from the centre, and the angle and size they were worked out for.
    std::array<TVec2, 4> Offsets{};
    std::optional<TOffsetsKey> OffsetsFor;
};

void PlaceWalls(int32_t kind, double x, double y);

// The bounce of one car off a wall (exposed for tests). player: the world moves instead of
// the car, and the player takes damage.
void Bounce(TCar& car, const TRoadRock& wall, bool player);

// Corner directions of a width x height rectangle seen from its centre.
std::array<double, 4> RectCornerAngles(double width, double height);
// The rotated corners of a rectangle sprite from its angles: the centre plus each corner's
// offset, so a sprite that keeps its angle may keep the offsets.
std::array<TVec2, 4> RotatedCorners(const TSprite& s, const std::array<double, 4>& angles);
std::array<TVec2, 4> CornerOffsets(const TSprite& s, const std::array<double, 4>& angles);
std::array<TVec2, 4> CornersAt(const TSprite& s, const std::array<TVec2, 4>& offsets);
