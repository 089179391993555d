// The overlap tests the race world uses: a point inside a quadrilateral by the sum of the
// angles it sees the four edges under, and two quadrilaterals overlapping when a vertex of
// one lies inside the other. A cheap bounding-box pre-test answers the far cases without the
// four arc cosines; it is exact (see PointInQuad).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <numbers>

struct TVec2 {
    double X = 0, Y = 0;
};

using TQuad4 = std::array<TVec2, 4>;

// Degrees per radian.
constexpr double kDeg = 180.0 / std::numbers::pi;

// The angle-sum test itself: true when the angles between the unit vectors from p to the
// consecutive vertices add up to at least 355 degrees.
bool PointInQuadAngleSum(const TVec2& p, const TVec2& v1, const TVec2& v2, const TVec2& v3,
                         const TVec2& v4);
bool PointInQuad(const TVec2& p, const TVec2& v1, const TVec2& v2, const TVec2& v3,
                 const TVec2& v4);
bool QuadsOverlap(const TQuad4& a, const TQuad4& b);

// A quad's bounding box with the margin of the pre-test (see Geometry.cpp).
struct TQuadBox {
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, Margin = 0;
};
// The box and far-apart tests run for every pair of things in a frame, most of them far
// apart, so they are inline: a far pair costs a few comparisons and no call.
inline TQuadBox QuadBox(const TQuad4& q) {
    TQuadBox b{};
    b.MinX = std::min(std::min(q[0].X, q[1].X), std::min(q[2].X, q[3].X));
    b.MaxX = std::max(std::max(q[0].X, q[1].X), std::max(q[2].X, q[3].X));
    b.MinY = std::min(std::min(q[0].Y, q[1].Y), std::min(q[2].Y, q[3].Y));
    b.MaxY = std::max(std::max(q[0].Y, q[1].Y), std::max(q[2].Y, q[3].Y));
    b.Margin = 1 + 0.1 * std::max(b.MaxX - b.MinX, b.MaxY - b.MinY);
    return b;
}
// Widens hull to hold box b, keeping the larger margin: a box far from the hull (BoxesFarApart)
// is then far from b too.
inline void Enclose(TQuadBox& hull, const TQuadBox& b) {
    hull.MinX = std::min(hull.MinX, b.MinX);
    hull.MaxX = std::max(hull.MaxX, b.MaxX);
    hull.MinY = std::min(hull.MinY, b.MinY);
    hull.MaxY = std::max(hull.MaxY, b.MaxY);
    hull.Margin = std::max(hull.Margin, b.Margin);
}
// The box of the axis-aligned square of half size `half` around (x, y): the same numbers as
// QuadBox of that square, without building it.
inline TQuadBox SquareBox(double x, double y, double half) {
    TQuadBox b{x - half, x + half, y - half, y + half, 0};
    const double w = b.MaxX - b.MinX, h = b.MaxY - b.MinY;
    b.Margin = 1 + 0.1 * (w < h ? h : w);
    return b;
}
// Whether every point of box `points` is far outside the quad of box `quad`: then none of the
// quad's pre-tests on those points can pass (the same sums as testing them one by one).
inline bool BoxFarOutside(const TQuadBox& points, const TQuadBox& quad) {
    return points.MaxX < quad.MinX - quad.Margin || points.MinX > quad.MaxX + quad.Margin ||
           points.MaxY < quad.MinY - quad.Margin || points.MinY > quad.MaxY + quad.Margin;
}
// True when the pre-test alone says two quads with these boxes cannot overlap. A box that
// holds a quad's box, with a margin at least the quad's, answers for that quad too.
inline bool BoxesFarApart(const TQuadBox& a, const TQuadBox& b) {
    return BoxFarOutside(b, a) && BoxFarOutside(a, b);
}
// The vertex tests of QuadsOverlap, for boxes that are not far apart.
bool QuadsOverlapNear(const TQuad4& a, const TQuadBox& boxA, const TQuad4& b, const TQuadBox& boxB);
// QuadsOverlap with the boxes already worked out, for a quad tested against many others in a
// frame (a wall against every car and every eye): the same answer.
inline bool QuadsOverlap(const TQuad4& a, const TQuadBox& boxA, const TQuad4& b,
                         const TQuadBox& boxB) {
    return !BoxesFarApart(boxA, boxB) && QuadsOverlapNear(a, boxA, b, boxB);
}
// Offsets from a sprite's pivot (its corners, its eyes) worked out for one angle: a car often
// keeps its angle from one frame to the next, and the lengths and directions they are made
// from never change after construction, so the sines and cosines are worked out again only
// for a new angle.
template <size_t N>
struct TTurnedOffsets {
    float Angle = 0;
    bool Valid = false;
    std::array<TVec2, N> Offsets{};
    bool HoldFor(float angle) const { return Valid && Angle == angle; }
    void Keep(float angle) {
        Angle = angle;
        Valid = true;
    }
};

// (dx, dy) scaled to length 1; (1, 1) when it has no length, as the car and wall responses
// expect for two shapes whose centres coincide.
TVec2 UnitOrOne(double dx, double dy);
