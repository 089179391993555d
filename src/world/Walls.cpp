#include "world/Walls.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "world/Car.h"
#include "world/EnemyCar.h"
#include "world/FollowWorld.h"
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
        const TSinCos t = RaceSinCos(Rad(s.Angle + angles[k]));
        out[k] = {r * t.Cos, r * t.Sin};
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

// A car is tested against a wall when the wall's top-left corner lies within 150 pixels of the
// car's place less half its width (and height), each way. The span keeps a pixel more, so
// that it never rules out a car the test itself would take.
constexpr double kContactReach = 150;
constexpr double kSpanSlack = 1;

// What a run of walls needs to rule opponents out with a few comparisons: each opponent's eyes'
// box and the spans its contact test can pass in, and the hull of them all. The walls move one
// after another in each pass, and in between only a wall's bounce moves a car; so the copies
// hold from one wall to the next until a bounce, and they are taken again when the previous
// sprite moved was not a wall of the run. Comparisons with a place that is not a number say
// nothing, so such places (never seen in a race) go through the full tests unfiltered.
struct TSpan {
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
    bool Holds(double x, double y) const { return x > MinX && x < MaxX && y > MinY && y < MaxY; }
    bool Meets(const TSpan& o) const {
        return MinX <= o.MaxX && o.MinX <= MaxX && MinY <= o.MaxY && o.MinY <= MaxY;
    }
    void Take(const TSpan& o) {
        MinX = std::min(MinX, o.MinX), MaxX = std::max(MaxX, o.MaxX);
        MinY = std::min(MinY, o.MinY), MaxY = std::max(MaxY, o.MaxY);
    }
};

// Around: the eyes' box widened by its margin, together with the contact span. A wall whose
// box, with the wall's place and widened by the wall's margin, misses it passes neither the
// eyes' test (that needs the boxes within both margins) nor the contact span.
struct TOpponentReach {
    bool Present = false;
    TQuadBox Eyes{};
    TSpan Contact, Around;
};

struct TWallRun {
    bool Valid = false;
    bool Finite = true;
    uint64_t Mark = 0;
    int32_t Count = 0;
    std::array<TOpponentReach, kMaxOpponents> Reach{};
    bool Any = false;
    TSpan Around;  // every opponent's
};

thread_local TWallRun Run;

// Checked on the numbers themselves (a hull's min and max would drop a NaN), through their
// sum: a NaN or an infinity in it makes it one. A sum that overflows only turns the shortcut off.
bool FiniteBox(const TQuadBox& b, double x, double y) {
    return std::isfinite(b.MinX + b.MaxX + b.MinY + b.MaxY + b.Margin + x + y);
}

TOpponentReach ReachOf(const TEnemyCar& o) {
    TOpponentReach r;
    r.Present = true;
    r.Eyes = o.WallEyesBox();
    const double cx = static_cast<double>(o.X) - o.Width / 2.0;
    const double cy = static_cast<double>(o.Y) - o.Height / 2.0;
    const double reach = kContactReach + kSpanSlack;
    r.Contact = {cx - reach, cx + reach, cy - reach, cy + reach};
    const double m = r.Eyes.Margin;
    r.Around = {r.Eyes.MinX - m, r.Eyes.MaxX + m, r.Eyes.MinY - m, r.Eyes.MaxY + m};
    r.Around.Take(r.Contact);
    return r;
}

void TakeRun(TWallRun& run) {
    const uint64_t mark = run.Mark;
    run = TWallRun{};
    run.Mark = mark;
    run.Valid = true;
    run.Count = std::clamp(Race.OpponentsCreated, 0, kMaxOpponents);
    for (int32_t i = 0; i < run.Count; ++i) {
        const TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (o == nullptr) continue;
        const TOpponentReach& r = run.Reach[static_cast<size_t>(i)] = ReachOf(*o);
        run.Finite = run.Finite && FiniteBox(r.Eyes, r.Contact.MinX, r.Contact.MinY);
        if (run.Any) {
            run.Around.Take(r.Around);
        } else {
            run.Around = r.Around;
            run.Any = true;
        }
    }
}

// The wall's box and its place, widened by the box's margin.
TSpan WallReach(const TQuadBox& box, double x, double y) {
    TSpan w{box.MinX, box.MaxX, box.MinY, box.MaxY};
    w.Take({x, x, y, y});
    const double m = box.Margin;
    return {w.MinX - m, w.MaxX + m, w.MinY - m, w.MaxY + m};
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
    if (!ContinuesRun(Run.Mark) || !Run.Valid || Run.Count != count) TakeRun(Run);
    OpponentContact.fill(0);  // entries past the opponents made are never set
    const double x = X, y = Y;
    const TSpan wall = WallReach(box, x, y);
    const bool filter = Run.Finite && FiniteBox(box, x, y);
    bool anyContact = false;
    const bool nearAny = Run.Any && (!filter || wall.Meets(Run.Around));
    for (int32_t i = 0; nearAny && i < Run.Count; ++i) {
        const TOpponentReach& r = Run.Reach[static_cast<size_t>(i)];
        if (!r.Present || (filter && !wall.Meets(r.Around))) continue;
        TEnemyCar* o = Race.OpponentCars[static_cast<size_t>(i)];
        if (!BoxesFarApart(r.Eyes, box)) SetSeenBy(*o, quad, box);
        if (filter && !r.Contact.Holds(x, y)) continue;
        const double dx = X - o->X + o->Width / 2.0, dy = Y - o->Y + o->Height / 2.0;
        // A length is never shorter than either of its sides: most cars are ruled out before
        // the root is taken.
        if (std::fabs(dx) >= kContactReach || std::fabs(dy) >= kContactReach ||
            RaceHypot(dx, dy) >= kContactReach)
            continue;
        if (QuadsOverlap(quad, box, o->Body(), o->BodyBox())) {
            OpponentContact[static_cast<size_t>(i)] = 1;
            anyContact = true;
        }
    }
    if (anyContact) {
        Run.Valid = false;  // the bounces move cars
        for (int32_t i = 0; i < count; ++i)
            if (OpponentContact[static_cast<size_t>(i)] != 0)
                Bounce(*Race.OpponentCars[static_cast<size_t>(i)], *this, false);
    }
    if (TPlayer* p = Race.PlayerCar; p != nullptr && PlayerTouches(quad, box, *p)) {
        PlayerContact = 1;
        Run.Valid = false;  // the world moves, and the opponents with it
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
