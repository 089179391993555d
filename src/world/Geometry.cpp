#include "world/Geometry.h"
#include "world/RaceMath.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDegrees = 57.29577951308232;

// Angle (degrees) between the directions from p to a and from p to b. A vertex on p gives a
// zero vector whose normalisation yields NaN, and NaN compares false below: not inside.
double AngleAt(const TVec2& p, const TVec2& a, const TVec2& b) {
    const double ax = a.X - p.X, ay = a.Y - p.Y, bx = b.X - p.X, by = b.Y - p.Y;
    const double la = std::sqrt(ax * ax + ay * ay), lb = std::sqrt(bx * bx + by * by);
    double dot = (ax / la) * (bx / lb) + (ay / la) * (by / lb);
    // Rounding can push the dot product of two unit vectors a hair past 1.
    if (dot > 1) dot = 1;
    if (dot < -1) dot = -1;
    return RaceAcos(dot) * kDegrees;
}
}  // namespace

bool PointInQuadAngleSum(const TVec2& p, const TVec2& v1, const TVec2& v2, const TVec2& v3,
                         const TVec2& v4) {
    const double sum =
        AngleAt(p, v1, v2) + AngleAt(p, v2, v3) + AngleAt(p, v3, v4) + AngleAt(p, v4, v1);
    return sum >= 355;
}

// The pre-test. Every quad the game builds is convex with its vertices in order around it
// (rotated rectangles and squares). Seen from a point p outside such a quad, the vertices lie
// within the quad's angular span S < 180 degrees and the four angles add up to exactly 2S, so
// the sum reaches 355 only when S >= 177.5: p must see the quad almost as a half-plane, which
// needs p within 0.022 x D of it (D the box's larger side; each side of the span falls short
// of 90 degrees by at least atan(distance / D)). Points further than 1 + D / 10 outside the
// bounding box are therefore outside, without the four arc cosines. A randomised test
// compares both answers over many points.
namespace {
bool FarOutside(const TVec2& p, const TQuadBox& b) {
    return p.X < b.MinX - b.Margin || p.X > b.MaxX + b.Margin || p.Y < b.MinY - b.Margin ||
           p.Y > b.MaxY + b.Margin;
}

// The inside test. Seen from p, edge (a, b) is passed anticlockwise when the cross product of
// a - p and b - p is positive, and then its unsigned angle equals its signed one. When all
// four edges turn the same way, the signed angles add up to a whole number of turns, at
// least one, so the sum of the unsigned angles is at least 360 and the angle sum answers
// inside, whatever the quad's shape. The cross products must clear a small floor, so that no
// vertex lies within rounding of p (where the angle sum meets a zero vector and answers
// outside), and the places are kept far from overflow. Points on or near an edge fall
// through to the angle sum.
constexpr double kCrossFloor = 1e-6;
constexpr double kPlaceLimit = 1e9;

bool Turns(const TVec2& p, const TVec2& a, const TVec2& b, double sign) {
    return sign * ((a.X - p.X) * (b.Y - p.Y) - (a.Y - p.Y) * (b.X - p.X)) > kCrossFloor;
}

bool SurelyInside(const TVec2& p, const TQuad4& q, const TQuadBox& box) {
    if (!(box.MinX > -kPlaceLimit && box.MaxX < kPlaceLimit && box.MinY > -kPlaceLimit &&
          box.MaxY < kPlaceLimit))
        return false;
    for (const double sign : {1.0, -1.0})
        if (Turns(p, q[0], q[1], sign) && Turns(p, q[1], q[2], sign) &&
            Turns(p, q[2], q[3], sign) && Turns(p, q[3], q[0], sign))
            return true;
    return false;
}

bool InsideQuad(const TVec2& p, const TQuad4& q, const TQuadBox& box) {
    if (FarOutside(p, box)) return false;
    return SurelyInside(p, q, box) || PointInQuadAngleSum(p, q[0], q[1], q[2], q[3]);
}
}  // namespace

bool PointInQuad(const TVec2& p, const TVec2& v1, const TVec2& v2, const TVec2& v3,
                 const TVec2& v4) {
    const TQuad4 q{v1, v2, v3, v4};
    return InsideQuad(p, q, QuadBox(q));
}

bool QuadsOverlap(const TQuad4& a, const TQuad4& b) {
    return QuadsOverlap(a, QuadBox(a), b, QuadBox(b));
}

bool QuadsOverlapNear(const TQuad4& a, const TQuadBox& boxA, const TQuad4& b,
                      const TQuadBox& boxB) {
    for (const TVec2& v : b)
        if (InsideQuad(v, a, boxA)) return true;
    for (const TVec2& v : a)
        if (InsideQuad(v, b, boxB)) return true;
    return false;
}

TVec2 UnitOrOne(double dx, double dy) {
    const double len = RaceHypot(dx, dy);
    if (len == 0) return {1, 1};
    return {dx / len, dy / len};
}
