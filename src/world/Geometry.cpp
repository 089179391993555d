#include "world/Geometry.h"

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
    return std::acos(dot) * kDegrees;
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
bool PointInQuad(const TVec2& p, const TVec2& v1, const TVec2& v2, const TVec2& v3,
                 const TVec2& v4) {
    const double minX = std::min({v1.X, v2.X, v3.X, v4.X}),
                 maxX = std::max({v1.X, v2.X, v3.X, v4.X});
    const double minY = std::min({v1.Y, v2.Y, v3.Y, v4.Y}),
                 maxY = std::max({v1.Y, v2.Y, v3.Y, v4.Y});
    const double margin = 1 + 0.1 * std::max(maxX - minX, maxY - minY);
    if (p.X < minX - margin || p.X > maxX + margin || p.Y < minY - margin || p.Y > maxY + margin)
        return false;
    return PointInQuadAngleSum(p, v1, v2, v3, v4);
}

bool QuadsOverlap(const TQuad4& a, const TQuad4& b) {
    for (const TVec2& v : b)
        if (PointInQuad(v, a[0], a[1], a[2], a[3])) return true;
    for (const TVec2& v : a)
        if (PointInQuad(v, b[0], b[1], b[2], b[3])) return true;
    return false;
}

TVec2 UnitOrOne(double dx, double dy) {
    const double len = std::hypot(dx, dy);
    if (len == 0) return {1, 1};
    return {dx / len, dy / len};
}
