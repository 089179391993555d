#include "world/EnemyCar.h"

#include <algorithm>
#include <cmath>

#include "world/Dashboard.h"
#include "world/FollowWorld.h"
#include "world/Globals.h"
#include "world/Player.h"
#include "world/RaceBuild.h"
#include "world/RaceMath.h"
#include "world/RaceRecord.h"
#include "world/Random.h"
#include "world/WorldContext.h"

namespace {
constexpr TMotionRules kOpponentRules{1.2, true, false};

// The Pascal-style remainder: the sign follows the dividend.
int64_t Mod360(double degrees) {
    return RaceRound(degrees) % 360;
}

int64_t RoundI(double v) {
    return RaceRound(v);
}

TVec2 MeanCorner(const TCar& car) {
    TVec2 m;
    for (const TCarCorner& c : car.Corners) {
        m.X += c.X / 4;
        m.Y += c.Y / 4;
    }
    return m;
}
}  // namespace

TQuad4 TEye::Square(double half) const {
    return {TVec2{X - half, Y - half}, TVec2{X + half, Y - half}, TVec2{X + half, Y + half},
            TVec2{X - half, Y + half}};
}

TEnemyCar::TEnemyCar(TKerbSprite* engine, double x, double y, int32_t carType,
                     const std::string& name, int32_t index, double heading, bool menu,
                     int32_t number)
    : TCar(engine, x, y, carType, name, heading, menu, Random(3)), Index(index) {
    SetName("enemycar");
    // The count stays within the opponent tables (see kMaxOpponents).
    if (Race.OpponentsCreated < kMaxOpponents) ++Race.OpponentsCreated;
    TargetCheckpoint = 1;
    const int32_t tileW = TileWidth(), tileH = TileHeight();
    TargetArrow = new TArrow(engine, X + static_cast<float>(tileW / 2 - 35),
                             Y + static_cast<float>(tileH / 2 - 5), 2, menu);
    const double c = X + Width / 2.0, f = RotationCenterY, h = Height;
    Eyes[0] = {c, Y - 60.0, (1 - f) * h + 40, 75};
    Eyes[1] = {c, Y - 60.0, (1 - f) * h + 40, 105};
    Eyes[2] = {c, Y - 50.0, (1 - f) * h + 70, 90};
    Eyes[3] = {c - 20, Y + h / 2, (1 - f) * h + 20, 90};
    Eyes[4] = {c + 20, Y + h / 2, (1 - f) * h, 0};
    UpdateEyesBox();
    Released = false;
    LaneOffset = number % 2 == 1 ? -Random(100) : Random(100);
    LaneTimer = Random(400) + 500;
    LaneCount = 1;
    Spinning = false;
    SpinDecay = 0.06;
    RadarMark = new TRadarCar(engine, static_cast<float>(25 + Random(4)), 500, 1);
}

TEnemyCar* CreateOpponentCar(TKerbSprite* engine, int32_t index, double x, double y,
                             int32_t carType) {
    if (index < 0 || index >= kMaxOpponents || Race.OpponentsCreated >= kMaxOpponents)
        return nullptr;
    auto* car = new TEnemyCar(engine, x, y, carType, "enemy", index, -90, false, index + 1);
    Race.OpponentCars[static_cast<size_t>(index)] = car;
    return car;
}

void TEnemyCar::UpdateEyesBox() {
    TQuadBox all = SquareBox(Eyes[0].X, Eyes[0].Y, 40);
    for (size_t e = 1; e < 3; ++e) Enclose(all, SquareBox(Eyes[e].X, Eyes[e].Y, 40));
    EyesBounds = all;
}

void TEnemyCar::SenseCars() {
    Eyes[2].CarLeft = Eyes[2].CarRight = false;
    Eyes[3].CarAhead = false;
    const TQuad4 ahead = Eyes[3].Square(20);
    const TQuad4 beside = Eyes[2].Square(40);
    const TQuadBox aheadBox = SquareBox(Eyes[3].X, Eyes[3].Y, 20);
    const TQuadBox besideBox = SquareBox(Eyes[2].X, Eyes[2].Y, 40);
    const auto sense = [&](const TCar& other) {
        // Most cars are far from both eyes: their boxes say so before the body is copied.
        const TQuadBox& bodyBox = other.BodyBox();
        const bool nearAhead = !BoxesFarApart(bodyBox, aheadBox);
        const bool nearBeside = !BoxesFarApart(bodyBox, besideBox);
        if (!nearAhead && !nearBeside) return;
        const TQuad4 body = other.Body();
        if (nearAhead && QuadsOverlapNear(body, bodyBox, ahead, aheadBox)) Eyes[3].CarAhead = true;
        if (!nearBeside || !QuadsOverlapNear(body, bodyBox, beside, besideBox)) return;
        const TVec2 own = MeanCorner(*this);
        const TVec2 m = MeanCorner(other);
        const TVec2 n = UnitOrOne(m.X - own.X, m.Y - own.Y);
        const TSinCos d = RaceSinCos(Rad(Direction));
        const double k = d.Cos * n.Y - d.Sin * n.X;
        if (k > 0) {
            Eyes[2].CarRight = true;
            Eyes[2].CarLeft = false;
        } else if (k < 0) {
            Eyes[2].CarLeft = true;
            Eyes[2].CarRight = false;
        }
    };
    if (Race.OpponentsCreated > 1) {
        for (int32_t i = 0; i < Race.OpponentsCreated; ++i) {
            const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
            if (o != nullptr && o != this) sense(*o);
        }
    }
    if (Race.PlayerCar != nullptr) sense(*Race.PlayerCar);
}

double TEnemyCar::Bearing(double tx, double ty) const {
    const double cx = CentreX(), cy = CentreY();
    const TVec2 u = UnitOrOne(cx - tx, cy - ty);
    // A target straight above or below: answering 90 (down) for both would send
    // a car aimed exactly at a target ahead of it braking as if the target were behind.
    if (tx == cx) return ty < cy ? -90 : 90;
    const double a = RaceAtan(u.Y / u.X) * kDeg;
    if (tx > cx) return a;
    return ty >= cy ? a + 180 : a - 180;
}

void TEnemyCar::ChooseSteering(double tx, double ty, bool& left, bool& right) const {
    const double cx = CentreX(), cy = CentreY();
    const int64_t rtx = RoundI(tx), rty = RoundI(ty);
    if (rtx == RoundI(cx) || rtx == RoundI(cx + 1) || rtx == RoundI(cx - 1)) return;
    if (rty == RoundI(cy + 1) || rty == RoundI(cy - 1) || rty == RoundI(cy)) return;
    double g = static_cast<double>(Mod360(Heading));
    if (g < 0) g = Heading + 360;
    const TVec2 u = UnitOrOne(cx - tx, cy - ty);
    const double s = u.X * RaceSin(Rad(g)) - RaceCos(Rad(g)) * u.Y;
    if (s > 0.01) {
        right = true;
    } else if (s < -0.01) {
        left = true;
    }
}

void TEnemyCar::ChooseSpeed(double bearing, bool& up, bool& down) const {
    const int64_t a = Mod360(HeadingArrow != nullptr ? HeadingArrow->Angle : Heading);
    const int64_t b = Mod360(bearing);
    const double d = std::fabs(static_cast<double>(b - a));
    const int64_t gaps[3] = {std::llabs(b - a), std::llabs(b + 360 - a), std::llabs(b - 360 - a)};
    const bool ahead = gaps[0] <= 90 || gaps[1] <= 90 || gaps[2] <= 90;
    const bool wide = gaps[0] > 10 && gaps[1] > 10 && gaps[2] > 10;
    if (!ahead) {
        (Speed > 2 ? down : up) = true;
    } else if (wide) {
        (6 - 2 * RaceCos(Rad(d)) < Speed ? down : up) = true;
    } else {
        up = true;
    }
}

// The two front eyes look 15 degrees to either side of the nose, and their squares overlap
// across it. One eye alone sees a wall that runs beside the car's path: the car turns away
// from it at full speed (slowing there only drops the car to a crawl along every wall it
// passes, and a crawling car grinds along the wall). Both eyes see a wall that lies across
// the path, such as the outer wall of a bend ahead: turning away from both sides is no
// answer (the right eye, read last, used to win and steered every such car left, into the
// walls on its left), so the car keeps the target's steering, which leads round the bend,
// and slows for the turn.
void TEnemyCar::AvoidWalls(bool& up, bool& down, bool& left, bool& right) const {
    const bool wallLeft = Eyes[0].Wall, wallRight = Eyes[1].Wall;
    if (wallLeft != wallRight) {
        right = wallLeft;
        left = wallRight;
    }
    if (wallLeft && wallRight && Speed > 2) {
        down = true;
        up = false;
    }
}

void TEnemyCar::Drive() {
    bool up = false, down = false, left = false, right = false;
    const int32_t tileW = TileWidth(), tileH = TileHeight();
    TargetArrow->SetX(X + static_cast<float>(tileW / 2));
    TargetArrow->SetY(Y + static_cast<float>(tileH / 2 - 5));
    const int32_t k = std::clamp(TargetCheckpoint, 1, std::max(Race.CheckpointCount, 1));
    const TCheckpoint& cp = Race.Checkpoints[static_cast<size_t>(k)];
    const double tx = cp.X + LaneOffset, ty = cp.Y;
    ChooseSteering(tx, ty, left, right);
    // A car turning at speed 2 or more circles with a radius above 200 pixels, so a target
    // approached at an angle can be orbited for ever without entering its 200-pixel box. A
    // target the car has already drawn level with (its nearest checkpoint) counts as reached
    // too, which sends an orbiting car on along the road.
    const bool inBox = std::fabs(tx - CentreX()) < 200 && std::fabs(ty - CentreY()) < 200;
    if (inBox || (NearestCheckpoint >= TargetCheckpoint && TargetCheckpoint > 1))
        TargetCheckpoint = TargetCheckpoint >= Race.CheckpointCount ? 1 : TargetCheckpoint + 1;
    const double bearing = Bearing(tx, ty);
    TargetArrow->Angle = static_cast<float>(bearing);
    ChooseSpeed(bearing, up, down);
    AvoidWalls(up, down, left, right);
    // The eyes' car flags are this frame's: Move sensed the cars just before driving, and
    // nothing since has moved a car, an eye or this car's direction.
    if (Eyes[2].CarLeft) right = true, left = false;
    if (Eyes[2].CarRight) left = true, right = false;
    Eyes[2].CarLeft = Eyes[2].CarRight = false;
    if (Eyes[3].CarAhead && Speed > 2) down = true, up = false;
    if (up) Accelerate();
    if (down) Brake();
    if (left) SteerLeft();
    if (right) SteerRight();
}

void TEnemyCar::Coast() {
    const TCheckpoint& first = Race.Checkpoints[1];
    if (RaceHypot(X - first.X, Y - first.Y) > 100) {
        if (Speed > CoastDecel / 2) {
            Thrust = -CoastDecel / 2;
        } else if (Speed < -CoastDecel / 2) {
            Thrust = CoastDecel / 2;
        }
    } else {
        Thrust = 0.01;
    }
}

void TEnemyCar::UpdateEyes() {
    const double px = X + 0.5 * Width, py = Y + static_cast<double>(RotationCenterY) * Height;
    if (!EyeTurn.HoldFor(Angle)) {
        for (size_t e = 0; e < Eyes.size(); ++e) {
            const TSinCos t = RaceSinCos(Rad(Angle + Eyes[e].Angle));
            EyeTurn.Offsets[e] = {Eyes[e].Reach * t.Cos, Eyes[e].Reach * t.Sin};
        }
        EyeTurn.Keep(Angle);
    }
    for (size_t e = 0; e < Eyes.size(); ++e) {
        Eyes[e].X = px + EyeTurn.Offsets[e].X;
        Eyes[e].Y = py + EyeTurn.Offsets[e].Y;
    }
    UpdateEyesBox();
}

void TEnemyCar::RespondTo(const TCar& other) {
    const TVec2 shove =
        ContactShove(UnitOrOne(CentreX() - other.CentreX(), CentreY() - other.CentreY()));
    SetX(static_cast<float>(X + shove.X));
    SetY(static_cast<float>(Y + shove.Y));
    TurnFromContact(Velocity(), other.Velocity());
}

void TEnemyCar::Contacts() {
    const int32_t count = Race.OpponentsCreated;
    if (count > 1) {
        const TQuad4 body = Body();
        const TQuadBox& box = BodyBox();
        for (int32_t j = 0; j < count; ++j) Touching[static_cast<size_t>(j)] = false;
        for (int32_t j = 0; j < count; ++j) {
            const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(j)];
            if (o == nullptr || o == this) continue;
            if (QuadsOverlap(body, box, o->Body(), o->BodyBox())) {
                Touching[static_cast<size_t>(j)] = true;
            } else {
                Touching[static_cast<size_t>(j)] = WasTouching[static_cast<size_t>(j)] = false;
            }
        }
        for (int32_t j = 0; j < count; ++j) {
            if (!Touching[static_cast<size_t>(j)]) continue;
            RespondTo(*Race.OpponentCars[static_cast<size_t>(j)]);
            WasTouching[static_cast<size_t>(j)] = true;
        }
    }
    const TPlayer* p = Race.PlayerCar;
    PlayerContact = p != nullptr && QuadsOverlap(Body(), BodyBox(), p->Body(), p->BodyBox());
    if (PlayerContact && !p->Blinking) RespondTo(*p);
}

void TEnemyCar::Move(float) {
    // The heading winds up past +-360 as a car circles; "pointing down" is judged on the
    // heading brought into -180..180, or a wound-up car far below would never recover.
    const double pointing = std::remainder(Heading, 360.0);
    if (Y > 4000 && pointing > 70 && pointing < 120) {
        Heading = Direction = -90;
        ++TargetCheckpoint;
    }
    if (LaneCount == LaneTimer) {
        LaneOffset = Random(100) - 50;
        LaneTimer = Random(1400) + 900;
        LaneCount = 1;
    }
    ++LaneCount;
    FollowWorld(*this);
    SenseCars();
    if (Released) {
        if (!Spinning) Drive();
    } else {
        Coast();
    }
    // The walls (moved before the cars) have set these for this frame; they start clear for
    // the next one.
    for (TEye& eye : Eyes) eye.Wall = false;
    NearestCheckpoint = MeasureProgress();
    if (Index >= 0 && Index < kMaxOpponents)
        Race.OpponentDistance[static_cast<size_t>(Index)] =
            (Laps + 1) * Race.CheckpointDistance[static_cast<size_t>(
                             std::clamp(Race.CheckpointCount, 0, kCheckpointCapacity - 1))] +
            Progress;
    if (World.Phase == TRacePhase::Racing) {
        if (FrontPoint->OnRoad || Y < 0) Traction = 1.0;
    } else {
        Traction = 0.5;
    }
    const TSinCos heading = RaceSinCos(Rad(Direction));
    MoveBy(heading.Cos * Speed, heading.Sin * Speed);
    MotionStep(kOpponentRules);
    UpdateCorners();
    UpdateEyes();
    Contacts();
    FrontPoint->OnRoad = CentrePoint->OnRoad = false;
    if (Shadow != nullptr) {
        Shadow->SetX(X + 2);
        Shadow->SetY(Y + 2);
        Shadow->Angle = Angle;
    }
    UpdateRadar();
}
