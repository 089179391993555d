// Road pieces, 300 pixels tall, entered at the bottom. The visible tarmac of each kind runs
// exactly between the spans its neighbours expect on its bottom and top rows: 300 wide on a
// straight end, 368 wide on a diagonal end (the same width measured across a 35 degree
// road). Edges are curves whose ends follow the neighbour's direction, so kerbs, the centre
// line and the edge of the tarmac run on without a kink from piece to piece.
#include <cmath>
#include <vector>

#include "Canvas.h"
#include "Families.h"
#include "Palette.h"
#include "Terrain.h"

namespace {

constexpr double PieceH = 300;
constexpr double Diagonal = 210.0 / 300.0;  // sideways pixels per pixel up a diagonal run
constexpr double KerbWidth = 12;

// One edge: x on the bottom and top rows and its slope (x per pixel upwards) at each end.
struct TEdge {
    double Bottom, BottomSlope, Top, TopSlope;
};

struct TPieceShape {
    TEdge Left, Right;
};

const TPieceShape& Shape(int kind) {
    static const TPieceShape shapes[7] = {
        {{0, 0, 0, 0}, {300, 0, 300, 0}},                                    // straight
        {{210, -Diagonal, 0, -Diagonal}, {578, -Diagonal, 368, -Diagonal}},  // left run
        {{0, Diagonal, 210, Diagonal}, {368, Diagonal, 578, Diagonal}},      // right run
        {{0, 0, 37, Diagonal}, {300, 0, 405, Diagonal}},                     // into right
        {{104, 0, 0, -Diagonal}, {404, 0, 368, -Diagonal}},                  // into left
        {{0, Diagonal, 104, 0}, {368, Diagonal, 404, 0}},                    // out of right
        {{37, -Diagonal, 0, 0}, {405, -Diagonal, 300, 0}},                   // out of left
    };
    return shapes[kind];
}

struct TVec {
    double X, Y;
};

// The edge as a cubic curve from the bottom row to the top row, leaving and reaching the
// rows in the neighbours' directions. Its handles point at the corner where the two end
// tangents meet, but reach only part of the way there: the edge then stays close to the
// straight line between its ends, which is the edge the on-road test uses.
constexpr double Handle = 0.3;

struct TCurve {
    TVec P0, P1, P2, P3;
    TVec At(double t) const {
        double u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        return {a * P0.X + b * P1.X + c * P2.X + d * P3.X,
                a * P0.Y + b * P1.Y + c * P2.Y + d * P3.Y};
    }
    TVec Slope(double t) const {
        double u = 1 - t;
        return {3 * u * u * (P1.X - P0.X) + 6 * u * t * (P2.X - P1.X) + 3 * t * t * (P3.X - P2.X),
                3 * u * u * (P1.Y - P0.Y) + 6 * u * t * (P2.Y - P1.Y) + 3 * t * t * (P3.Y - P2.Y)};
    }
};

TCurve CurveOf(const TEdge& e) {
    TVec p0{e.Bottom, PieceH}, p3{e.Top, 0};
    TVec corner{(p0.X + p3.X) / 2, PieceH / 2};
    if (std::fabs(e.BottomSlope - e.TopSlope) > 1e-9) {
        // Height above the bottom row where x = Bottom + BottomSlope * u meets the top tangent.
        double u = (e.Top - e.Bottom - PieceH * e.TopSlope) / (e.BottomSlope - e.TopSlope);
        corner = {e.Bottom + e.BottomSlope * u, PieceH - u};
    }
    auto toward = [](TVec from, TVec to, double k) {
        return TVec{from.X + (to.X - from.X) * k, from.Y + (to.Y - from.Y) * k};
    };
    return {p0, toward(p0, corner, Handle), toward(p3, corner, Handle), p3};
}

TCurve Middle(const TCurve& a, const TCurve& b) {
    auto mid = [](TVec p, TVec q) { return TVec{(p.X + q.X) / 2, (p.Y + q.Y) / 2}; };
    return {mid(a.P0, b.P0), mid(a.P1, b.P1), mid(a.P2, b.P2), mid(a.P3, b.P3)};
}

void CurvePath(cairo_t* cr, const TCurve& c, bool reverse) {
    if (reverse) {
        cairo_line_to(cr, c.P3.X, c.P3.Y);
        cairo_curve_to(cr, c.P2.X, c.P2.Y, c.P1.X, c.P1.Y, c.P0.X, c.P0.Y);
    } else {
        cairo_line_to(cr, c.P0.X, c.P0.Y);
        cairo_curve_to(cr, c.P1.X, c.P1.Y, c.P2.X, c.P2.Y, c.P3.X, c.P3.Y);
    }
}

// Points along a curve with their running length, for marks spaced along it.
struct TSample {
    TVec P, Normal;  // Normal: unit, to the right of the direction of travel (up the road)
    double S;
};

std::vector<TSample> Sample(const TCurve& c) {
    const int n = 600;
    std::vector<TSample> out;
    double s = 0;
    TVec prev = c.At(0);
    for (int i = 0; i <= n; ++i) {
        double t = static_cast<double>(i) / n;
        TVec p = c.At(t);
        TVec d = c.Slope(t);
        double len = std::hypot(d.X, d.Y);
        s += std::hypot(p.X - prev.X, p.Y - prev.Y);
        out.push_back({p, {-d.Y / len, d.X / len}, s});
        prev = p;
    }
    return out;
}

void TarmacPath(cairo_t* cr, const TCurve& left, const TCurve& right) {
    cairo_new_path(cr);
    CurvePath(cr, left, false);
    CurvePath(cr, right, true);
    cairo_close_path(cr);
}

// Marks of a given width laid along a curve, count of them per piece, each covering the
// share `fill` of its slot. side +1 puts the band to the right of the curve, -1 to the left,
// 0 centres it. Whole slots per piece keep the pattern in step across joins.
void MarksAlong(cairo_t* cr, const std::vector<TSample>& line, int count, double fill, double width,
                int side, int firstSlot, int slotStep) {
    double total = line.back().S;
    for (int k = firstSlot; k < count; k += slotStep) {
        double s0 = total * k / count, s1 = total * (k + fill) / count;
        std::vector<TVec> near, far;
        for (const TSample& p : line) {
            if (p.S < s0 || p.S > s1) continue;
            double a = side == 0 ? -width / 2 : 0, b = side == 0 ? width / 2 : side * width;
            near.push_back({p.P.X + p.Normal.X * a, p.P.Y + p.Normal.Y * a});
            far.push_back({p.P.X + p.Normal.X * b, p.P.Y + p.Normal.Y * b});
        }
        if (near.size() < 2) continue;
        cairo_move_to(cr, near[0].X, near[0].Y);
        for (const TVec& v : near) cairo_line_to(cr, v.X, v.Y);
        for (auto it = far.rbegin(); it != far.rend(); ++it) cairo_line_to(cr, it->X, it->Y);
        cairo_close_path(cr);
    }
}

int EvenCount(double length, double slot) {
    int n = 2 * static_cast<int>(std::lround(length / (2 * slot)));
    return n < 2 ? 2 : n;
}

void DrawAsphalt(cairo_t* cr, int w, int kind) {
    TTerrain terrain(21, 600, 300);
    // The texture runs along the road: across, it is measured from the road's centre, which
    // moves from the piece's entry on its bottom row to its exit on its top row. Where two
    // pieces meet, the lower one's exit is the upper one's entry, and the texture tiles every
    // 300 rows, so the surface carries on across the join whatever the pieces' kinds and
    // sideways positions.
    const TPieceShape& shape = Shape(kind);
    const double entry = (shape.Left.Bottom + shape.Right.Bottom) / 2;
    const double exit = (shape.Left.Top + shape.Right.Top) / 2;
    PaintPixels(cr, w, static_cast<int>(PieceH), [&](int x, int y) {
        const double centre = exit + (entry - exit) * y / PieceH;
        return terrain.Asphalt(x - centre + 600, y);
    });
}

// The curve carried on past both ends along its end directions by `reach` pixels.
void ExtendedCurvePath(cairo_t* cr, const TCurve& c, double reach) {
    const auto unit = [](TVec d) {
        const double len = std::hypot(d.X, d.Y);
        return TVec{d.X / len, d.Y / len};
    };
    const TVec in = unit(c.Slope(0)), out = unit(c.Slope(1));
    cairo_move_to(cr, c.P0.X - in.X * reach, c.P0.Y - in.Y * reach);
    CurvePath(cr, c, false);
    cairo_line_to(cr, c.P3.X + out.X * reach, c.P3.Y + out.Y * reach);
}

void DrawRubber(cairo_t* cr, const TCurve& centre) {
    // Darker bands where the tyres run, soft at their sides. A band stroked only along the
    // piece would end square to the road, which on a diagonal piece leaves a wedge between
    // its end and the picture's edge that neither neighbour covers: the bands run on past the
    // ends and the tarmac's outline cuts them along the picture's rows.
    for (double width : {170.0, 110.0, 60.0}) {
        cairo_new_path(cr);
        ExtendedCurvePath(cr, centre, 200);
        cairo_set_line_width(cr, width);
        SetColor(cr, {0.05, 0.05, 0.06, 0.05});
        cairo_stroke(cr);
    }
}

void DrawKerbs(cairo_t* cr, const std::vector<TSample>& edge, int inward) {
    int count = EvenCount(edge.back().S, 24);
    MarksAlong(cr, edge, count, 1.0, KerbWidth, inward, 0, 1);
    SetColor(cr, Hex(0xE9E6DE));
    cairo_fill(cr);
    MarksAlong(cr, edge, count, 1.0, KerbWidth, inward, 0, 2);
    SetColor(cr, Hex(0xC42129));
    cairo_fill(cr);
    // A thin dark line where kerb meets tarmac, and a light lip on the outer edge.
    MarksAlong(cr, edge, 1, 1.0, 1.2, inward, 0, 1);
    SetColor(cr, {1, 1, 1, 0.35});
    cairo_fill(cr);
    std::vector<TSample> inner = edge;
    for (TSample& p : inner) {
        p.P.X += p.Normal.X * inward * KerbWidth;
        p.P.Y += p.Normal.Y * inward * KerbWidth;
    }
    MarksAlong(cr, inner, 1, 1.0, 1.5, inward, 0, 1);
    SetColor(cr, {0, 0, 0, 0.45});
    cairo_fill(cr);
    // A white line a little inside the kerb.
    for (TSample& p : inner) {
        p.P.X += p.Normal.X * inward * 6;
        p.P.Y += p.Normal.Y * inward * 6;
    }
    MarksAlong(cr, inner, 1, 1.0, 3, inward, 0, 1);
    SetColor(cr, {0.95, 0.95, 0.93, 0.85});
    cairo_fill(cr);
}

void DrawPiece(const TTile& t, int kind) {
    cairo_t* cr = t.Cr;
    const TPieceShape& shape = Shape(kind);
    TCurve left = CurveOf(shape.Left), right = CurveOf(shape.Right);
    TarmacPath(cr, left, right);
    cairo_clip(cr);
    DrawAsphalt(cr, t.W, kind);
    TCurve centre = Middle(left, right);
    DrawRubber(cr, centre);
    std::vector<TSample> mid = Sample(centre);
    MarksAlong(cr, mid, EvenCount(mid.back().S, 75), 0.5, 5, 0, 0, 1);
    SetColor(cr, {0.96, 0.96, 0.92, 0.8});
    cairo_fill(cr);
    // Right of the direction of travel is inwards for the left edge, outwards for the right.
    DrawKerbs(cr, Sample(left), +1);
    DrawKerbs(cr, Sample(right), -1);
}

}  // namespace

TDrawFn RoadArt(int kind) {
    return [kind](const TTile& t) { DrawPiece(t, kind); };
}
