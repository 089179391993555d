#include "world/Car.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/KeyCodes.h"
#include "world/Bonus.h"
#include "world/Dashboard.h"
#include "world/GameTables.h"
#include "world/Globals.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/WorldContext.h"

namespace {
// Race cars use their own picture order: type 1 looks like picture 4, and so on.
const char* const kRaceCarImages[5] = {"car1", "car4", "car5", "car2", "car3"};
const char* const kMenuCarImages[5] = {"car1", "car2", "car3", "car4", "car5"};
constexpr double kPivotFraction = 0.3;
}  // namespace

double Rad(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

TGroundPoint::TGroundPoint(TKerbSprite* engine, double centreX, double centreY, double angleOffset,
                           bool menu)
    : TSprite(engine), AngleOffset(angleOffset) {
    SetImage(ListImage(menu, "groundpoint"));
    SetName("groundpoint");
    SetPatternIndex(0);
    RotationCenterX = RotationCenterY = 0.5f;
    SetX(static_cast<float>(centreX - Width / 2.0));
    SetY(static_cast<float>(centreY - Height / 2.0));
    SetZ(52);
    Visible = false;
}

TQuad4 TGroundPoint::Square() const {
    return {TVec2{X - 2.0, Y - 2.0}, TVec2{X + 2.0, Y - 2.0}, TVec2{X + 2.0, Y + 2.0},
            TVec2{X - 2.0, Y + 2.0}};
}

TCar::TCar(TKerbSprite* engine, double x, double y, int32_t carType, const std::string& name,
           double heading, bool menu, int32_t pattern)
    : TSprite(engine), CarType(carType), MenuImages(menu) {
    Health = 100;
    if (carType >= 0 && carType <= 4) {
        const size_t k = static_cast<size_t>(carType);
        SetImage(ListImage(menu, menu ? kMenuCarImages[k] : kRaceCarImages[k]));
    }
    const double w = Width, h = Height;
    SkidRadius = std::sqrt((0.3 * h) * (0.3 * h) + (0.5 * w) * (0.5 * w)) * 2.0 / 3.0 - 5;
    const double theta = RaceAtan(0.37 * h / w * 0.5) * kDeg;
    SkidAngles = {360 - theta, theta + 180};
    SetName(name);
    SetPatternIndex(pattern);
    SetX(static_cast<float>(x - w / 2));
    SetY(static_cast<float>(y - h / 2));
    SpinRate = 0;
    SpinDecay = 1.0;
    RotationCenterX = 0.5f;
    RotationCenterY = static_cast<float>(kPivotFraction);

    const double f = kPivotFraction;
    Corners[0] = {X + 2.0, Y + 2.0, 0, 0};
    Corners[1] = {X + 2.0, Y + h - 2, 1, 0};
    Corners[2] = {X + w - 2, Y + h - 2, 2, 0};
    Corners[3] = {X + w - 2, Y + 2.0, 3, 0};
    const double front = RaceHypot(w / 2 - 3, f * h - 3);
    const double rear = RaceHypot(w / 2 - 3, (1 - f) * h - 3);
    Corners[0].Radius = Corners[3].Radius = front;
    Corners[1].Radius = Corners[2].Radius = rear;
    const double a = RaceAtan(0.5 * w / (f * h)) * kDeg;
    const double b = RaceAtan(0.5 * w / ((1 - f) * h)) * kDeg;
    CornerAngles = {270 - a, b + 90, 90 - b, a + 270};
    BodyBounds = QuadBox(Body());

    SetZ(50);
    LoadDriving();
    Skidding = false;
    const int32_t tileW = TileWidth(), tileH = TileHeight();
    const float ax = X + static_cast<float>(tileW / 2 - 35);
    const float ay = Y + static_cast<float>(tileH / 2 - 5);
    HeadingArrow = new TArrow(engine, ax, ay, 0, menu);
    DirectionArrow = new TArrow(engine, ax, ay, 1, menu);
    Touching.fill(false);
    WasTouching.fill(false);
    Heading = Direction = heading;
    Angle = static_cast<float>(heading - 90);
    FrontPoint = new TGroundPoint(engine, x, y - 10, 90, menu);
    CentrePoint = new TGroundPoint(engine, x, y + 10, -90, menu);
    Shadow = new TCarTen(engine, static_cast<float>(x), static_cast<float>(y), CarType + 1);
}

void TCar::LoadDriving() {
    Speed = 0;
    if (CarType >= 0 && CarType <= 4) {
        const TCarType& type = Cars[static_cast<size_t>(CarType)];
        Steering = type.Steering;
        Accel = type.Accel;
        MaxSpeed = type.MaxSpeed;
        Grip = type.Grip;
    }
    SlideTurnFactor = 0.5;
    CoastDecel = 0.011;
    BrakeDecel = 0.08;
    Thrust = 0;
    RollFriction = 0.003;
    SkidFriction = 0.008;
    MaxReverse = -2.0;
}

void TCar::Accelerate() {
    if (Speed < MaxSpeed) Thrust = Accel;
    if (Speed > MaxSpeed) Speed = MaxSpeed;
}

void TCar::Brake() {
    if (Speed > MaxReverse) Thrust = -BrakeDecel;
    if (Speed < MaxReverse) Speed = MaxReverse;
}

// Turning the body pulls the direction of travel along once the gap grows: fully past 70
// degrees, partly (sliding) past 25.
void TCar::SteerLeft() {
    UnwindDirection();
    if (Speed < 0) {
        Heading += Steering;
        const double g = Direction - Heading;
        if (g > 70) {
            Direction += Steering;
        } else if (g > 25) {
            Direction += Steering * SlideTurnFactor;
            Skidding = true;
        }
    } else if (Speed > 0.2) {
        Heading -= Steering;
        const double g = Direction - Heading;
        if (g > 70) {
            Direction -= Steering;
        } else if (g > 25) {
            Direction -= Steering * SlideTurnFactor;
            Skidding = true;
        }
    }
}

void TCar::SteerRight() {
    UnwindDirection();
    const double sign = Speed > 0 ? 1 : -1;
    Heading += sign * Steering;
    const double g = Heading - Direction;
    if (g > 70) {
        Direction += sign * Steering;
    } else if (g > 25) {
        Direction += sign * Steering * SlideTurnFactor;
        Skidding = true;
    }
}

void TCar::ApplyKeys() {
    if (KeyTables.Held[vk::Up] != 0) {
        Accelerate();
    } else if (KeyTables.Held[vk::Down] != 0) {
        Brake();
    }
    if (KeyTables.Held[vk::Right] != 0 && std::fabs(Speed) > 0.1) {
        SteerRight();
    } else if (KeyTables.Held[vk::Left] != 0 && std::fabs(Speed) > 0.1) {
        SteerLeft();
    }
    if (KeyTables.Held[vk::Space] != 0 || KeyTables.Held[vk::Control] != 0) {
        Skidding = true;
        if (Speed > CoastDecel) {
            Thrust = -CoastDecel;
        } else if (Speed < -CoastDecel) {
            Thrust = CoastDecel;
        }
    }
    for (int key : {vk::Up, vk::Down}) {
        if (KeyTables.Released[key] != 0) {
            KeyTables.Released[key] = KeyTables.Held[key] = 0;
            Thrust = 0;
        }
    }
    for (int key : {vk::Right, vk::Left, vk::Space, vk::Control}) {
        if (KeyTables.Released[key] != 0) KeyTables.Released[key] = KeyTables.Held[key] = 0;
    }
}

void TCar::UpdateCorners() {
    const double px = X + 0.5 * Width, py = Y + static_cast<double>(RotationCenterY) * Height;
    if (!Turned.HoldFor(Angle)) {
        const double a = Angle;
        for (size_t k = 0; k < 4; ++k) {
            const TSinCos t = RaceSinCos(Rad(a + CornerAngles[k]));
            Turned.Offsets[k] = {Corners[k].Radius * t.Cos, Corners[k].Radius * t.Sin};
        }
        const TSinCos ahead = RaceSinCos(Rad(a + 90));
        Turned.Offsets[4] = {40 * ahead.Cos, 40 * ahead.Sin};
        Turned.Keep(Angle);
    }
    for (size_t k = 0; k < 4; ++k) {
        Corners[k].X = px + Turned.Offsets[k].X;
        Corners[k].Y = py + Turned.Offsets[k].Y;
    }
    BodyBounds = QuadBox(Body());
    FrontPoint->SetX(static_cast<float>(px + Turned.Offsets[4].X));
    FrontPoint->SetY(static_cast<float>(py + Turned.Offsets[4].Y));
    CentrePoint->SetX(static_cast<float>(px));
    CentrePoint->SetY(static_cast<float>(py));
}

void TCar::MoveBy(double dx, double dy) {
    SetX(static_cast<float>(X + dx));
    SetY(static_cast<float>(Y + dy));
}

void TCar::DropSkidMarks(const TMotionRules& rules) {
    const bool skid = rules.SkidMarksNeedSkidding ? Skidding && Speed > 2
                                                  : std::fabs(Direction - Heading) > 7 && Speed > 2;
    if (!skid) return;
    if (SkidCounter % 5 == 0) {
        const double cx = CentreX(), cy = CentreY();
        for (double offset : SkidAngles) {
            const double t = Rad(Angle + offset);
            new TDim(KerbSprite, static_cast<float>(cx + SkidRadius * RaceCos(t)),
                     static_cast<float>(cy + SkidRadius * RaceSin(t)), MenuImages);
        }
    }
    ++SkidCounter;
}

// Heading and direction are compared as plain numbers, so a heading that has wound a full
// turn further than the direction (a car circling while it reverses, or after a spin) would
// drag the direction round whole turns. Bringing the direction to within half a turn of the
// heading first changes nothing in the normal case and removes that.
void TCar::UnwindDirection() {
    const double turns = std::nearbyint((Direction - Heading) / 360.0);
    if (turns != 0) Direction -= 360.0 * turns;
}

void TCar::DriftDirection(const TMotionRules& rules) {
    UnwindDirection();
    const double gap = std::fabs(Direction - Heading);
    double amount = 0;
    if (rules.Player) {
        amount = gap > 10 ? Steering * Grip + Steering * (1 - Grip) * 0.2 : Steering * Grip;
    } else {
        amount = gap > 5 ? Steering * Grip : 1.1;
    }
    if (Direction > Heading) {
        Direction -= amount;
    } else if (Direction < Heading) {
        Direction += amount;
    }
}

void TCar::MotionStep(const TMotionRules& rules) {
    Speed += Thrust * rules.ThrustFactor * Traction;
    if (Speed != 0) Speed -= Speed * RollFriction;
    if (Skidding) {
        const double v = Speed - Speed * SkidFriction;
        Speed = v > 0 ? v : 0;
    }
    DropSkidMarks(rules);
    Angle = static_cast<float>(Heading - 90);
    if (!Spinning) {
        if (!Skidding) DriftDirection(rules);
        Skidding = false;
    }
    if (Spinning) {
        Heading += SpinRate;
        Speed *= 0.9;
        if (SpinRate > 0) {
            SpinRate = SpinRate > SpinDecay ? SpinRate - SpinDecay : 0;
        } else if (SpinRate < 0) {
            SpinRate = SpinRate < -SpinDecay ? SpinRate + SpinDecay : 0;
        }
        if (std::fabs(SpinRate) < 1) {
            Spinning = false;
            RotationCenterX = 0.5f;
            RotationCenterY = static_cast<float>(kPivotFraction);
            if (Shadow != nullptr) {
                Shadow->RotationCenterX = 0.5f;
                Shadow->RotationCenterY = static_cast<float>(kPivotFraction);
            }
            Direction = Heading;
        }
    }
    if (Slowed) {
        if (SlowTimer <= 1) {
            EndSlowDown(*this, rules.Player);
        } else {
            --SlowTimer;
        }
    }
    if (Boosted) {
        if (BoostTimer <= 1) {
            EndSpeedUp(*this);
        } else {
            --BoostTimer;
        }
    }
    const int32_t tileW = TileWidth(), tileH = TileHeight();
    for (TArrow* arrow : {HeadingArrow, DirectionArrow}) {
        arrow->SetX(X + static_cast<float>(tileW / 2));
        arrow->SetY(Y + static_cast<float>(tileH / 2 - 5));
    }
    HeadingArrow->Angle = static_cast<float>(Heading);
    DirectionArrow->Angle = static_cast<float>(Direction);
}

void TCar::UpdateRadar() {
    if (RadarMark == nullptr || RadarMark->Y <= 250) return;
    const int32_t index = Race.CheckpointCount - 10;
    if (index < 1 || index >= kCheckpointCapacity) return;
    const double length = Race.CheckpointDistance[static_cast<size_t>(index)];
    if (length <= 0) return;
    RadarMark->SetY(static_cast<float>(415 - Progress / length * 170));
}

// The checkpoint nearest to (cx, cy) among 1..n by RaceHypot, the lowest number winning ties,
// and 1 when none is nearer than 6,000,000. RaceHypot is the square root of the squared
// distance, and a root per checkpoint per car per frame was the replay's largest cost. The
// least root is the root of the least square, so one pass over the squares finds it; two
// squares can still round to the same root, so the checkpoints before the least square's
// whose squares lie next to it are asked for their roots, to break the tie as a pass over
// every root would.
namespace {
double SquareTo(int32_t k, double cx, double cy) {
    const TCheckpoint& p = Race.Checkpoints[static_cast<size_t>(k)];
    const double dx = p.X - cx, dy = p.Y - cy;
    return dx * dx + dy * dy;
}

// Among checkpoints lo..hi (which hold every one whose square could tie with `least`, the
// least square, first reached at `first`), the lowest number whose length equals the least
// length; 1 when none lies nearer than 6,000,000.
int32_t FirstOfTheNearest(double cx, double cy, int32_t lo, int32_t hi, double least,
                          int32_t first) {
    const double best = std::sqrt(least);
    if (first == 0 || !(best < 6'000'000)) return 1;
    // A square more than a few parts in 1e16 above the least has a larger root.
    const double near = least * (1 + 1e-15);
    for (int32_t k = lo; k < first && k <= hi; ++k) {
        const double square = SquareTo(k, cx, cy);
        if (square <= near && std::sqrt(square) == best) return k;
    }
    return first;
}

// Every checkpoint compared: for places that are not numbers.
int32_t NearestByEveryCheckpoint(double cx, double cy, int32_t n) {
    double least = 0;
    int32_t first = 0;
    for (int32_t k = 1; k <= n; ++k) {
        const double square = SquareTo(k, cx, cy);
        // A length that is not a number is never nearer than anything.
        if (std::isnan(square)) continue;
        if (first == 0 || square < least) {
            least = square;
            first = k;
        }
    }
    return FirstOfTheNearest(cx, cy, 1, n, least, first);
}
}  // namespace

int32_t NearestCheckpoint(double cx, double cy, int32_t n) {
    // The checkpoints climb the road, so their Y never grows with their number; the world's
    // scrolling moves them all alike, which keeps that order. A checkpoint's square is at least
    // its dy squared, so the search starts at the row of (cx, cy) and walks outwards, each
    // way only while dy squared could still reach the least square found (or tie with it). The
    // answer is the one every checkpoint compared would give; places that are not finite
    // (a car or the checkpoints thrown out of range) compare every checkpoint.
    if (n < 1) return 1;
    const TCheckpoint& top = Race.Checkpoints[static_cast<size_t>(n)];
    const TCheckpoint& bottom = Race.Checkpoints[1];
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(top.X) ||
        !std::isfinite(top.Y) || !std::isfinite(bottom.X) || !std::isfinite(bottom.Y))
        return NearestByEveryCheckpoint(cx, cy, n);
    // The first checkpoint at or above cy.
    int32_t lo = 1, hi = n + 1;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (Race.Checkpoints[static_cast<size_t>(mid)].Y <= cy)
            hi = mid;
        else
            lo = mid + 1;
    }
    double least = 0;
    int32_t first = 0;
    int32_t down = lo - 1, up = lo;
    bool downOpen = down >= 1, upOpen = up <= n;
    const auto visit = [&](int32_t k) {
        const double square = SquareTo(k, cx, cy);
        if (first == 0 || square < least || (square == least && k < first)) {
            least = square;
            first = k;
        }
    };
    const auto reachable = [&](int32_t k) {
        const double dy = Race.Checkpoints[static_cast<size_t>(k)].Y - cy;
        return first == 0 || dy * dy <= least * (1 + 1e-15);
    };
    while (downOpen || upOpen) {
        if (downOpen) {
            if (reachable(down)) {
                visit(down);
                downOpen = --down >= 1;
            } else {
                downOpen = false;
            }
        }
        if (upOpen) {
            if (reachable(up)) {
                visit(up);
                upOpen = ++up <= n;
            } else {
                upOpen = false;
            }
        }
    }
    return FirstOfTheNearest(cx, cy, down + 1, up - 1, least, first);
}

int32_t TCar::MeasureProgress(TVec2* from, TVec2* to) {
    const int32_t n = std::min(Race.CheckpointCount, kCheckpointCapacity - 1);
    if (n < 1) return 0;
    const double cx = CentreX(), cy = CentreY();
    const int32_t c = NearestCheckpoint(cx, cy, n);
    const TCheckpoint& p1 = Race.Checkpoints[static_cast<size_t>(c)];
    const TCheckpoint& p2 = Race.Checkpoints[static_cast<size_t>(c == n ? 1 : c + 1)];
    double qx = 0, qy = 0;
    if (std::fabs(p2.X - p1.X) < 0.01) {
        qx = p1.X;
        qy = cy;
    } else if (std::fabs(p2.Y - p1.Y) < 0.01) {
        qx = cx;
        qy = p1.Y;
    } else {
        const double dx = p2.X - p1.X, dy = p2.Y - p1.Y;
        const double t = ((cx - p1.X) * dx + (cy - p1.Y) * dy) / (dx * dx + dy * dy);
        qx = p1.X + t * dx;
        qy = p1.Y + t * dy;
    }
    const bool between = qx >= std::min(p1.X, p2.X) && qx <= std::max(p1.X, p2.X) &&
                         qy >= std::min(p1.Y, p2.Y) && qy <= std::max(p1.Y, p2.Y);
    Progress = RaceHypot(qx - p1.X, qy - p1.Y) * (between ? 1 : -1) / 10 +
               Race.CheckpointDistance[static_cast<size_t>(c)];
    if (from != nullptr) *from = {p1.X, p1.Y};
    if (to != nullptr) *to = {p2.X, p2.Y};
    return c;
}

TVec2 TCar::Velocity() const {
    const TSinCos d = RaceSinCos(Rad(Direction));
    return {d.Cos * Speed, d.Sin * Speed};
}

TVec2 TCar::ContactShove(const TVec2& away) const {
    const double wx = Speed != 0 ? RaceCos(Rad(Direction)) : 0;
    const double wy = Speed != 0 ? RaceSin(Rad(Direction)) : 0;
    return {(std::fabs(wx / 2) + 0.5) * 3 * away.X, (std::fabs(wy / 2) + 0.5) * 3 * away.Y};
}

void TCar::TurnFromContact(const TVec2& own, const TVec2& other) {
    const double k = own.X * other.Y - own.Y * other.X;
    const double turn = k > 0 ? 1.5 : (k < 0 ? -1.5 : 0);
    Direction += turn;
    Heading += turn;
}
