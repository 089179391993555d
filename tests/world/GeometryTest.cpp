// Point-in-quadrilateral by angle sum, quadrilateral overlap, and the bounding-box pre-test
// that must never change an answer.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "world/Geometry.h"
#include "world/Random.h"

namespace {
TQuad4 Rect(double cx, double cy, double w, double h, double angleDeg) {
    const double a = angleDeg * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const double xs[4] = {-w / 2, w / 2, w / 2, -w / 2}, ys[4] = {-h / 2, -h / 2, h / 2, h / 2};
    TQuad4 q;
    for (int i = 0; i < 4; ++i)
        q[static_cast<size_t>(i)] = {cx + xs[i] * c - ys[i] * s, cy + xs[i] * s + ys[i] * c};
    return q;
}

bool Inside(const TVec2& p, const TQuad4& q) {
    return PointInQuad(p, q[0], q[1], q[2], q[3]);
}
}  // namespace

TEST(PointInQuad, InsideOutsideAndEdges) {
    const TQuad4 q = Rect(0, 0, 100, 40, 0);
    struct Case {
        TVec2 P;
        bool In;
    };
    const Case cases[] = {
        {{0, 0}, true},
        {{49, 19}, true},
        {{-49, -19}, true},
        {{51, 0}, false},
        {{0, 25}, false},
        {{200, 0}, false},
        // The 355-degree threshold lets a point just beyond a long edge count as inside.
        {{0, 21}, true},
        {{0, -300}, false},
        {{50, 0}, true},
        {{-50, -20}, false},  // a vertex itself: a zero vector, not inside
    };
    for (const Case& c : cases) EXPECT_EQ(Inside(c.P, q), c.In) << c.P.X << "," << c.P.Y;
}

TEST(QuadsOverlap, NeedsAVertexInsideTheOtherShape) {
    const TQuad4 wall = Rect(0, 0, 21, 150, 30);
    EXPECT_TRUE(QuadsOverlap(wall, Rect(5, 5, 20, 20, 0)));
    EXPECT_TRUE(QuadsOverlap(Rect(5, 5, 20, 20, 0), wall));
    EXPECT_FALSE(QuadsOverlap(wall, Rect(200, 0, 20, 20, 0)));
    // A plus sign: the bars cross but no vertex lies inside the other bar.
    EXPECT_FALSE(QuadsOverlap(Rect(0, 0, 100, 10, 0), Rect(0, 0, 10, 100, 0)));
    // One contains the other.
    EXPECT_TRUE(QuadsOverlap(Rect(0, 0, 10, 10, 45), Rect(0, 0, 300, 300, 0)));
}

TEST(PointInQuad, PreTestAgreesWithTheAngleSumEverywhere) {
    TRandom rng;
    rng.Seed(2024);
    int inside = 0, tested = 0;
    for (int quad = 0; quad < 400; ++quad) {
        const double w = 4 + rng.Unit() * 400, h = 4 + rng.Unit() * 400;
        const TQuad4 q = Rect(rng.Unit() * 800, rng.Unit() * 600, w, h, rng.Unit() * 360 - 180);
        const double reach = 2 * std::max(w, h);
        for (int i = 0; i < 500; ++i) {
            // Points spread around the quad, many of them near its box and edges.
            const double scale = (i % 3 == 0) ? 0.6 : 1.3;
            const TVec2 p{q[0].X + (rng.Unit() - 0.5) * reach * scale,
                          q[0].Y + (rng.Unit() - 0.5) * reach * scale};
            const bool fast = PointInQuad(p, q[0], q[1], q[2], q[3]);
            const bool exact = PointInQuadAngleSum(p, q[0], q[1], q[2], q[3]);
            ASSERT_EQ(fast, exact) << "quad " << quad << " point " << p.X << "," << p.Y;
            inside += exact;
            ++tested;
        }
    }
    // The sample must exercise both answers.
    EXPECT_GT(inside, tested / 20);
    EXPECT_LT(inside, tested / 2);
}

// The inside and outside shortcuts must never answer otherwise than the angle sum: points on the
// edges and their lines, a hair inside and outside them, at and next to the vertices, for turned
// rectangles in both windings and for crossed (bow-tie) and thin quads.
TEST(PointInQuad, TheShortcutsAgreeOnEdgesVerticesAndOddShapes) {
    std::vector<TQuad4> quads;
    for (double angle : {0.0, 30.0, -45.0, 90.0, 137.5})
        for (double w : {4.0, 40.0, 300.0}) {
            TQuad4 q = Rect(100, 80, w, 21, angle);
            quads.push_back(q);
            std::swap(q[1], q[3]);  // the other winding
            quads.push_back(q);
            std::swap(q[2], q[3]);  // crossed
            quads.push_back(q);
        }
    quads.push_back({TVec2{0, 0}, TVec2{1e-4, 0}, TVec2{1e-4, 1e-4}, TVec2{0, 1e-4}});
    quads.push_back({TVec2{0, 0}, TVec2{500, 0}, TVec2{500, 1e-9}, TVec2{0, 1e-9}});
    int inside = 0, outside = 0;
    for (const TQuad4& q : quads) {
        std::vector<TVec2> points;
        for (size_t k = 0; k < 4; ++k) {
            const TVec2 a = q[k], b = q[(k + 1) % 4];
            for (double t : {-0.5, 0.0, 1e-12, 0.25, 0.5, 1 - 1e-12, 1.0, 1.5})
                for (double off : {0.0, 1e-13, -1e-13, 1e-7, -1e-7, 0.01, -0.01, 1.0, -1.0}) {
                    const double dx = b.X - a.X, dy = b.Y - a.Y;
                    const double len = std::hypot(dx, dy);
                    const double nx = len > 0 ? -dy / len : 0, ny = len > 0 ? dx / len : 0;
                    points.push_back({a.X + t * dx + off * nx, a.Y + t * dy + off * ny});
                }
        }
        points.push_back({(q[0].X + q[2].X) / 2, (q[0].Y + q[2].Y) / 2});
        for (const TVec2& p : points) {
            const bool exact = PointInQuadAngleSum(p, q[0], q[1], q[2], q[3]);
            ASSERT_EQ(PointInQuad(p, q[0], q[1], q[2], q[3]), exact)
                << p.X << "," << p.Y << " in " << q[0].X << "," << q[0].Y;
            (exact ? inside : outside) += 1;
        }
    }
    // Both answers occur near every edge.
    EXPECT_GT(inside, 1000);
    EXPECT_GT(outside, 1000);
}

// The pair pre-test of QuadsOverlap gives the answer of testing every vertex of each quad
// in the other, near and far, touching and apart.
TEST(QuadsOverlap, PairPreTestAgreesWithTestingEveryVertex) {
    TRandom rng;
    rng.Seed(77);
    int overlapping = 0;
    const int pairs = 40000;
    for (int i = 0; i < pairs; ++i) {
        const TQuad4 a = Rect(rng.Unit() * 800, rng.Unit() * 600, 4 + rng.Unit() * 300,
                              4 + rng.Unit() * 300, rng.Unit() * 360 - 180);
        // The second quad near the first's corner, within a few of its own sizes.
        const double w = 4 + rng.Unit() * 300, h = 4 + rng.Unit() * 300;
        const TQuad4 b = Rect(a[0].X + (rng.Unit() - 0.5) * 3 * w,
                              a[0].Y + (rng.Unit() - 0.5) * 3 * h, w, h, rng.Unit() * 360 - 180);
        bool each = false;
        for (const TVec2& v : b) each = each || Inside(v, a);
        for (const TVec2& v : a) each = each || Inside(v, b);
        ASSERT_EQ(QuadsOverlap(a, b), each) << "pair " << i;
        overlapping += each;
    }
    EXPECT_GT(overlapping, pairs / 10);
    EXPECT_LT(overlapping, pairs * 9 / 10);
}
