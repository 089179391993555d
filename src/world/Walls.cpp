#include "world/Walls.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "world/Car.h"
#include "world/EnemyCar.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/WorldContext.h"

namespace {
struct TWallSpot {
    double Dx, Dy;
    int32_t Kind;
    double Angle;
};

// Four walls per piece kind: offsets from the centre line at the piece's bottom.
constexpr TWallSpot kWalls[7][4] = {
    {{250, -75, 0, 0}, {250, -225, 0, 0}, {-250, -75, 0, 180}, {-250, -225, 0, 180}},
    {{250, -81, 1, -35}, {144, -230, 1, -35}, {-355, -81, 1, 145}, {-461, -230, 1, 145}},
    {{355, -81, 1, 35}, {461, -230, 1, 35}, {-250, -81, 1, 215}, {-144, -230, 1, 215}},
    {{-250, -75, 0, 180}, {-243, -225, 0, 186}, {263, -75, 0, 10}, {321, -229, 1, 30}},
    {{250, -75, 0, 0}, {243, -225, 0, -6}, {-263, -75, 0, 170}, {-321, -229, 1, 150}},
    {{321, -225, 0, 0}, {312, -75, 0, 6}, {-192, -229, 0, 190}, {-255, -77, 1, 212}},
    {{-321, -225, 0, 180}, {-312, -75, 0, 174}, {192, -229, 0, -10}, {255, -77, 1, -32}},
};

}  // namespace

std::array<double, 4> RectCornerAngles(double width, double height) {
    const double phi = RaceAtan((height / 2) / (width / 2)) * kDeg;
    return {180 - phi, phi - 180, -phi, phi};
}

std::array<TVec2, 4> CornerOffsets(const TSprite& s, const std::array<double, 4>& angles) {
    const double w = s.Width, h = s.Height;
    const double r = std::sqrt((h / 2) * (h / 2) + (w / 2) * (w / 2));
    std::array<TVec2, 4> out{};
    for (size_t k = 0; k < 4; ++k) {
        const double t = Rad(s.Angle + angles[k]);
        out[k] = {r * RaceCos(t), r * RaceSin(t)};
    }
    return out;
}

std::array<TVec2, 4> CornersAt(const TSprite& s, const std::array<TVec2, 4>& offsets) {
    const double cx = s.X + s.Width / 2.0, cy = s.Y + s.Height / 2.0;
    std::array<TVec2, 4> out{};
    for (size_t k = 0; k < 4; ++k) out[k] = {cx + offsets[k].X, cy + offsets[k].Y};
    return out;
}

std::array<TVec2, 4> RotatedCorners(const TSprite& s, const std::array<double, 4>& angles) {
    return CornersAt(s, CornerOffsets(s, angles));
}

TRoadRock::TRoadRock(TKerbSprite* engine, double centreX, double centreY, int32_t kind,
                     double angle)
    : TWorldSprite(engine), WallKind(kind), WallAngle(angle) {
    SetImage(RaceImage(kind == 0 ? "wall1" : "wall2"));
    Angle = static_cast<float>(angle);
    SetX(static_cast<float>(centreX - Width / 2.0));
    SetY(static_cast<float>(centreY - Height / 2.0));
    CornerAngles = RectCornerAngles(Width, Height);
    SetZ(28);
    SetName("roadrock");
    SetPatternIndex(0);
    RotationCenterX = RotationCenterY = 0.5f;
    UpdateCorners();
}

// A wall never turns, so its corners keep their offsets from its centre: the sines and
// cosines are worked out again only if its angle or size has changed.
void TRoadRock::UpdateCorners() {
    if (!OffsetsFor || OffsetsFor->Angle != Angle || OffsetsFor->Width != Width ||
        OffsetsFor->Height != Height) {
        Offsets = CornerOffsets(*this, CornerAngles);
        OffsetsFor = TOffsetsKey{Angle, Width, Height};
    }
    Corners = CornersAt(*this, Offsets);
}

TQuad4 TRoadRock::Quad() const {
    return {Corners[0], Corners[1], Corners[2], Corners[3]};
}

void Bounce(TCar& car, const TRoadRock& wall, bool player) {
    const double v0 = car.Speed;
    double wx = 1, wy = 1;
    if (v0 != 0) {
        wx = RaceCos(Rad(car.Direction));
        wy = RaceSin(Rad(car.Direction));
    }
    const double vx = v0 * wx, vy = v0 * wy;
    const TVec2 u = UnitOrOne((wall.X + wall.Width / 2.0) - car.CentreX(),
                              (wall.Y + wall.Height / 2.0) - car.CentreY());
    const double ux = u.X, uy = u.Y;
    const double px = ux * (std::fabs(wx) + 1), py = uy * (std::fabs(wy) + 1);
    if (player) {
        ShiftWorld(px, py);
    } else {
        car.MoveBy(-px, -py);
    }
    const double turn = 4 - 4 * (ux * wy - uy * wx);
    const double wallRad = Rad(wall.WallAngle);
    if (vx * RaceSin(wallRad) + vy * RaceCos(wallRad) >= 0) {
        car.Direction += turn;
        car.Heading += turn;
    } else {
        car.Direction -= turn;
        car.Heading -= turn;
    }
    double speed = v0 * (0.95 - (ux * wx + uy * wy) / 2);
    // A wall never speeds a car up; a reversing car keeps its speed.
    if (speed > v0) speed = v0;
    if (v0 < 0 && speed < v0) speed = v0;
    car.Speed = speed;
    ++car.WallBounces;
    if (player)
        static_cast<TPlayer&>(car).Damage(
            static_cast<int32_t>(std::clamp<int64_t>(RaceRound(3 * v0), 0, 1000)));
}

namespace {
bool PlayerTouches(const TQuad4& quad, const TQuadBox& box, const TPlayer& p) {
    return QuadsOverlap(quad, box, p.Body(), p.BodyBox());
}
}  // namespace

// One pass over the opponents finds the cars touching this wall and the eyes that see it.
// The eyes' flags may be set before the bounces: a bounce moves cars and the world, never an
// eye, and this wall's quad was taken before it.
void TRoadRock::Move(float) {
    FollowWorld(*this);
    UpdateCorners();
    const TQuad4 quad = Quad();
    const TQuadBox box = QuadBox(quad);
    const int32_t count = Race.OpponentsCreated;
    bool anyContact = false;
    for (int32_t i = 0; i < count; ++i) {
        OpponentContact[static_cast<size_t>(i)] = 0;
        TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (o == nullptr) continue;
        if (!BoxesFarApart(o->WallEyesBox(), box)) SetSeenBy(*o, quad, box);
        const double dx = X - o->X + o->Width / 2.0, dy = Y - o->Y + o->Height / 2.0;
        // A length is never shorter than either of its sides: most cars are ruled out before
        // the root is taken.
        if (std::fabs(dx) >= 150 || std::fabs(dy) >= 150 || RaceHypot(dx, dy) >= 150) continue;
        if (QuadsOverlap(quad, box, o->Body(), o->BodyBox())) {
            OpponentContact[static_cast<size_t>(i)] = 1;
            anyContact = true;
        }
    }
    if (anyContact)
        for (int32_t i = 0; i < count; ++i)
            if (OpponentContact[static_cast<size_t>(i)] != 0)
                Bounce(*Race.OpponentCars[static_cast<size_t>(i)], *this, false);
    if (TPlayer* p = Race.PlayerCar; p != nullptr && PlayerTouches(quad, box, *p)) {
        PlayerContact = 1;
        Bounce(*p, *this, true);
    } else {
        PlayerContact = 0;
    }
    if (Y > 3000) Dead();
}

// Sets the wall flag of each of the opponent's first three eyes whose square this wall
// overlaps (for an opponent whose eyes' box is near the wall's). Walls only ever set the flags: the
// opponent's frame clears them once it has read them, so a flag tells whether any wall lies at the
// eye.
void TRoadRock::SetSeenBy(TEnemyCar& o, const TQuad4& quad, const TQuadBox& box) const {
    for (size_t e = 0; e < 3; ++e) {
        TEye& eye = o.Eyes[e];
        if (eye.Wall) continue;  // already seen: a flag is only ever set here
        if (QuadsOverlap(eye.Square(40), SquareBox(eye.X, eye.Y, 40), quad, box)) eye.Wall = true;
    }
}

void PlaceWalls(int32_t kind, double x, double y) {
    if (kind < 0 || kind > 6 || World.Sprites == nullptr) return;
    for (const TWallSpot& w : kWalls[kind])
        new TRoadRock(World.Sprites, x + w.Dx, y + w.Dy, w.Kind, w.Angle);
}
