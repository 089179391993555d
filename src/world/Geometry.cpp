#include "world/Geometry.h"
#include "world/RaceMath.h"

#include <algorithm>
#include <array>
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

// Shortcuts for the points near a quad, before the angle sum's four arc cosines. Seen from p,
// the cross product c of a - p and b - p tells which way edge (a, b) is passed, and |c| is
// the edge's length times p's distance from its line.
//
// Inside: when all four edges turn the same way, every unsigned angle equals its signed one
// and the signed angles add up to a whole number of turns, at least one, so the sum reaches
// 360 whatever the quad's shape. The products must clear a small floor, so that no vertex
// lies within rounding of p (where the angle sum meets a zero vector and answers outside).
//
// Outside: for a convex quad (its own corners all turning one way) and p beyond the line of
// one edge by d, every vertex lies on the quad's side of that line, so from p they all lie
// within 180 - 2 asin(d / L) degrees, L the distance of the farthest vertex; the angle sum is
// twice that span. With d > 0.03 L the sum is at most 353.1, well short of 355.
//
// Places are kept within a million, where the products' rounding stays far below the floors
// (a corner's turn must also clear a share of its edges' lengths) and the margins. Anything else
// falls through to the angle sum.
constexpr double kCrossFloor = 1e-6;
constexpr double kPlaceLimit = 1e6;
constexpr double kOutsideShareSquared = 0.03 * 0.03;

enum class TQuickAnswer { Inside, Outside, Unsure };

double Cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

TQuickAnswer QuickAnswer(const TVec2& p, const TQuad4& q, const TQuadBox& box) {
    if (!(box.MinX > -kPlaceLimit && box.MaxX < kPlaceLimit && box.MinY > -kPlaceLimit &&
          box.MaxY < kPlaceLimit && std::fabs(p.X) < kPlaceLimit && std::fabs(p.Y) < kPlaceLimit))
        return TQuickAnswer::Unsure;
    std::array<double, 4> c{}, turn{}, edge2{};
    double far2 = 0;
    for (size_t k = 0; k < 4; ++k) {
        const TVec2& a = q[k];
        const TVec2& b = q[(k + 1) % 4];
        const TVec2& n = q[(k + 2) % 4];
        c[k] = Cross(a.X - p.X, a.Y - p.Y, b.X - p.X, b.Y - p.Y);
        turn[k] = Cross(b.X - a.X, b.Y - a.Y, n.X - b.X, n.Y - b.Y);
        edge2[k] = (b.X - a.X) * (b.X - a.X) + (b.Y - a.Y) * (b.Y - a.Y);
        far2 = std::max(far2, (a.X - p.X) * (a.X - p.X) + (a.Y - p.Y) * (a.Y - p.Y));
    }
    for (const double sign : {1.0, -1.0}) {
        if (sign * c[0] > kCrossFloor && sign * c[1] > kCrossFloor && sign * c[2] > kCrossFloor &&
            sign * c[3] > kCrossFloor)
            return TQuickAnswer::Inside;
    }
    const double sign = turn[0] > 0 ? 1.0 : -1.0;
    for (size_t k = 0; k < 4; ++k)
        if (!(sign * turn[k] > kCrossFloor + 1e-9 * (edge2[k] + edge2[(k + 1) % 4])))
            return TQuickAnswer::Unsure;
    for (size_t k = 0; k < 4; ++k)
        if (sign * c[k] < 0 && c[k] * c[k] > kOutsideShareSquared * edge2[k] * far2)
            return TQuickAnswer::Outside;
    return TQuickAnswer::Unsure;
}

bool InsideQuad(const TVec2& p, const TQuad4& q, const TQuadBox& box) {
    if (FarOutside(p, box)) return false;
    switch (QuickAnswer(p, q, box)) {
        case TQuickAnswer::Inside:
            return true;
        case TQuickAnswer::Outside:
            return false;
        default:
            return PointInQuadAngleSum(p, q[0], q[1], q[2], q[3]);
    }
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
