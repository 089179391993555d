// The ground beside the road (four 800 x 300 textures that repeat sideways and fade in and out
// at the top and bottom, where neighbouring pieces overlap), the scenery that stands on it,
// and the paint on the road: grid boxes and the chequered line.
#include <algorithm>
#include <cmath>

#include "Canvas.h"
#include "Families.h"
#include "Noise.h"
#include "Palette.h"
#include "Scenes.h"
#include "Terrain.h"

namespace {

constexpr int BackW = 800, BackH = 300;
// A race lays each piece's ground at the piece's own entry X, stretched to 1.1 of its height,
// so it overlaps the ground of the piece above by 30 pixels: 27 rows of either picture. Pieces
// laid as the road grows are drawn over the piece above; the start area is laid from the top
// down and drawn the other way round. So both edges fade: the top rows fade in and the bottom
// rows fade out, each over half the overlap, and wherever one picture fades the other one is
// opaque, so nothing under the ground shows and neither edge (nor the filtering past it) does.
// The broad patches stay faint: the pictures meeting there come from different rows and are
// offset sideways.
constexpr int FadeRows = 13;
constexpr double Broad = 0.3;

// Opacity of a row: rising smoothly from 0 at the top edge and falling back to 0 at the bottom.
double EdgeFade(int y) {
    auto ramp = [](double t) { return t >= 1 ? 1.0 : t * t * (3 - 2 * t); };
    return std::min(ramp((y + 0.5) / FadeRows), ramp((BackH - y - 0.5) / FadeRows));
}

// Where sand gives way to grass in the transition rows: a ragged line across the middle
// band (y 95..205), so that both outer bands match the plain textures above and below.
double Border(const TTerrain& t, double x) {
    return 150 + (t.Field(x, 40) - 0.5) * 110 + (t.Field(x * 7, 200) - 0.5) * 16;
}

TColor Transition(const TTerrain& t, int x, int y, bool grassBelow) {
    double edge = Border(t, x);
    // Distance into the lower material; a narrow soft blend with tufts of grass in sand.
    double d = y - edge;
    double blend = std::clamp(0.5 + d / 10, 0.0, 1.0);
    if (blend > 0 && blend < 1 && PixelHash(x, y, 77) < 0.3) blend = blend > 0.5 ? 1 : 0;
    TColor lower = grassBelow ? t.Grass(x, y, Broad) : t.Sand(x, y, Broad);
    TColor upper = grassBelow ? t.Sand(x, y, Broad) : t.Grass(x, y, Broad);
    TColor c = Mix(upper, lower, blend);
    // The grass edge throws a little shade onto the sand.
    double shade = std::exp(-std::fabs(d) / 6) * 0.12;
    return Darker(c, shade);
}

void DrawBack(const TTile& tile, int kind) {
    TTerrain terrain(31, BackW, BackH);
    auto ground = [&](int x, int y) {
        switch (kind) {
            case 0:
                return terrain.Grass(x, y, Broad);
            case 1:
                return terrain.Sand(x, y, Broad);
            case 2:
                return Transition(terrain, x, y, false);  // desert below, grass above
            default:
                return Transition(terrain, x, y, true);  // grass below, desert above
        }
    };
    PaintPixels(tile.Cr, tile.W, tile.H,
                [&](int x, int y) { return WithAlpha(ground(x, y), EdgeFade(y)); });
}

// A soft round shade on the ground under an object lit from straight above.
void GroundShade(cairo_t* cr, double cx, double cy, double r, double alpha) {
    SoftShadow(cr, [&](cairo_t* c) { Circle(c, cx, cy, r); }, r * 0.25, 0, 0, {0, 0, 0, alpha});
}

void DrawPine(cairo_t* cr, double cx, double cy, double r, uint64_t seed) {
    TRandom rng(seed);
    GroundShade(cr, cx, cy, r, 0.5);
    // Layers of needle stars, darker below and lighter on top.
    for (int layer = 0; layer < 3; ++layer) {
        double lr = r * (1 - layer * 0.28);
        int points = 11 - layer * 2;
        double turn = rng.Range(0, M_PI);
        cairo_new_path(cr);
        for (int i = 0; i < points * 2; ++i) {
            double a = turn + i * M_PI / points;
            double rr = i % 2 == 0 ? lr : lr * 0.6;
            cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        }
        cairo_close_path(cr);
        TColor c = Mix(Hex(0x1E4A2A), Hex(0x4C8A48), layer / 2.0);
        FillRadial(cr, cx, cy, 0, lr, {{0, Lighter(c, 0.15)}, {1, Darker(c, 0.3)}});
    }
    Circle(cr, cx, cy, r * 0.08);
    SetColor(cr, Hex(0x4A3420));
    cairo_fill(cr);
}

void DrawFlowerBed(cairo_t* cr, double cx, double cy, uint64_t seed) {
    TRandom rng(seed);
    DrawTreeCrown(cr, cx, cy, 20, seed, Hex(0x3F7F34));
    const TColor petals[] = {Hex(0xF2D23A), Hex(0xE8E4F0), Hex(0xE05A8A)};
    for (int i = 0; i < 14; ++i) {
        double a = rng.Range(0, 2 * M_PI), d = rng.Range(0, 16);
        double x = cx + d * std::cos(a), y = cy + d * std::sin(a);
        Circle(cr, x, y, 2.2);
        SetColor(cr, petals[i % 3]);
        cairo_fill(cr);
        Circle(cr, x, y, 0.8);
        SetColor(cr, Hex(0xB86A10));
        cairo_fill(cr);
    }
}

void DrawRock(cairo_t* cr, double cx, double cy, double r, uint64_t seed, TColor stone, bool moss) {
    TRandom rng(seed);
    GroundShade(cr, cx, cy, r, 0.55);
    std::vector<TPoint> pts;
    int n = 7;
    for (int i = 0; i < n; ++i) {
        double a = i * 2 * M_PI / n + rng.Range(-0.2, 0.2);
        double rr = r * rng.Range(0.75, 1.0);
        pts.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
    }
    SmoothPath(cr, pts, true);
    FillRadial(cr, cx - r * 0.2, cy - r * 0.2, 0, r * 1.3,
               {{0, Lighter(stone, 0.35)}, {0.6, stone}, {1, Darker(stone, 0.45)}}, true);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // A crack or two.
    cairo_move_to(cr, cx - r * 0.4, cy + r * rng.Range(-0.3, 0.3));
    cairo_line_to(cr, cx + r * 0.1, cy + r * rng.Range(-0.2, 0.2));
    cairo_line_to(cr, cx + r * 0.5, cy + r * rng.Range(-0.4, 0.4));
    SetColor(cr, {0, 0, 0, 0.3});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    if (moss) {
        Circle(cr, cx + r * 0.2, cy - r * 0.25, r * 0.35);
        FillRadial(cr, cx + r * 0.2, cy - r * 0.25, 0, r * 0.35,
                   {{0, Hex(0x6A9A40, 0.8)}, {1, Hex(0x4A7A30, 0)}});
    }
}

void DrawCactus(cairo_t* cr, double cx, double cy, double r, int ribs, TColor body) {
    GroundShade(cr, cx, cy, r, 0.5);
    Circle(cr, cx, cy, r);
    FillRadial(cr, cx, cy, 0, r, {{0, Lighter(body, 0.3)}, {0.7, body}, {1, Darker(body, 0.4)}});
    // Ribs running out from the crown, with pale spines along them.
    for (int i = 0; i < ribs; ++i) {
        double a = i * 2 * M_PI / ribs;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        SetColor(cr, Darker(body, 0.35));
        cairo_set_line_width(cr, 1.1);
        cairo_stroke(cr);
        for (double d = r * 0.35; d < r; d += r * 0.22) {
            Circle(cr, cx + d * std::cos(a + 0.12), cy + d * std::sin(a + 0.12), 0.7);
        }
        SetColor(cr, Hex(0xF0E8C8));
        cairo_fill(cr);
    }
    Circle(cr, cx, cy, r * 0.18);
    SetColor(cr, Hex(0xE86A8A));
    cairo_fill(cr);
}

void DrawAgave(cairo_t* cr, double cx, double cy, double r, uint64_t seed) {
    TRandom rng(seed);
    GroundShade(cr, cx, cy, r * 0.8, 0.45);
    for (int layer = 0; layer < 2; ++layer) {
        int leaves = 9;
        double turn = layer * M_PI / leaves + rng.Range(0, 0.3);
        double lr = r * (layer == 0 ? 1 : 0.65);
        for (int i = 0; i < leaves; ++i) {
            double a = turn + i * 2 * M_PI / leaves;
            double ca = std::cos(a), sa = std::sin(a);
            cairo_move_to(cr, cx + lr * ca, cy + lr * sa);
            cairo_line_to(cr, cx - 3.5 * sa, cy + 3.5 * ca);
            cairo_line_to(cr, cx + 3.5 * sa, cy - 3.5 * ca);
            cairo_close_path(cr);
            TColor c = layer == 0 ? Hex(0x6E9A7A) : Hex(0x8FBA96);
            SetColor(cr, c);
            cairo_fill_preserve(cr);
            SetColor(cr, {0, 0, 0, 0.25});
            cairo_set_line_width(cr, 0.6);
            cairo_stroke(cr);
        }
    }
}

void DrawDryShrub(cairo_t* cr, double cx, double cy, double r, uint64_t seed) {
    TRandom rng(seed);
    GroundShade(cr, cx, cy, r * 0.7, 0.35);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 26; ++i) {
        double a = rng.Range(0, 2 * M_PI), len = r * rng.Range(0.5, 1.0);
        double bend = rng.Range(-0.4, 0.4);
        cairo_move_to(cr, cx, cy);
        cairo_curve_to(cr, cx + len * 0.5 * std::cos(a + bend), cy + len * 0.5 * std::sin(a + bend),
                       cx + len * 0.8 * std::cos(a), cy + len * 0.8 * std::sin(a),
                       cx + len * std::cos(a - bend), cy + len * std::sin(a - bend));
        SetColor(cr, Mix(Hex(0x6A4A2A), Hex(0xA88A5A), rng.Unit()));
        cairo_set_line_width(cr, rng.Range(0.8, 1.6));
        cairo_stroke(cr);
    }
}

void DrawTreesVariant(cairo_t* cr, int pattern, double c) {
    uint64_t seed = 500 + static_cast<uint64_t>(pattern);
    switch (pattern) {
        case 0:
            DrawTreeCrown(cr, c, c, 26, seed, Hex(0x2F6A2A));
            break;
        case 1:
            DrawTreeCrown(cr, c, c, 22, seed, Hex(0x4A8A34));
            break;
        case 2:
            DrawPine(cr, c, c, 27, seed);
            break;
        case 3:
            DrawTreeCrown(cr, c, c, 24, seed, Hex(0xB86A24));  // an autumn maple
            break;
        case 4:
            DrawTreeCrown(cr, c - 9, c + 6, 13, seed, Hex(0x3A7A30));
            DrawTreeCrown(cr, c + 10, c - 4, 15, seed + 50, Hex(0x2E6628));
            DrawTreeCrown(cr, c - 2, c - 13, 10, seed + 60, Hex(0x4A8A3A));
            break;
        case 5:
            DrawFlowerBed(cr, c, c, seed);
            break;
        case 6:
            DrawRock(cr, c, c, 18, seed, Hex(0x8A8A86), true);
            break;
        default:
            DrawPine(cr, c - 8, c + 6, 17, seed);
            DrawPine(cr, c + 9, c - 7, 14, seed + 9);
            break;
    }
}

void DrawDesertVariant(cairo_t* cr, int pattern, double c) {
    uint64_t seed = 700 + static_cast<uint64_t>(pattern);
    switch (pattern) {
        case 0:
            DrawCactus(cr, c, c, 16, 10, Hex(0x4E8A4A));
            break;
        case 1:
            DrawCactus(cr, c - 9, c + 5, 11, 8, Hex(0x5E9A50));
            DrawCactus(cr, c + 10, c - 6, 9, 8, Hex(0x4A7E46));
            break;
        case 2:
            DrawRock(cr, c, c, 20, seed, Hex(0xA8825A), false);
            break;
        case 3:
            DrawRock(cr, c - 8, c + 5, 13, seed, Hex(0x9A7A5A), false);
            DrawRock(cr, c + 11, c - 7, 9, seed + 3, Hex(0xB89068), false);
            break;
        case 4:
            DrawAgave(cr, c, c, 24, seed);
            break;
        case 5:
            DrawDryShrub(cr, c, c, 24, seed);
            break;
        case 6:
            DrawCactus(cr, c, c, 20, 14, Hex(0x6A9A5A));  // a big barrel cactus
            break;
        default:
            DrawDryShrub(cr, c + 6, c + 4, 16, seed);
            DrawRock(cr, c - 10, c - 8, 9, seed + 5, Hex(0x8A7458), false);
            break;
    }
}

}  // namespace

TDrawFn GroundArt(int kind) {
    return [kind](const TTile& t) { DrawBack(t, kind); };
}

TDrawFn SceneryArt(bool desert) {
    return [desert](const TTile& t) {
        double c = t.W / 2.0;
        if (desert) {
            DrawDesertVariant(t.Cr, t.Pattern, c);
        } else {
            DrawTreesVariant(t.Cr, t.Pattern, c);
        }
    };
}

void DrawGridBox(const TTile& t) {
    cairo_t* cr = t.Cr;
    // A bracket ahead of the car's nose with legs along its sides, and an arrow up the road.
    cairo_move_to(cr, 12, t.H);
    cairo_line_to(cr, 12, 62);
    cairo_line_to(cr, 88, 62);
    cairo_line_to(cr, 88, t.H);
    cairo_set_line_width(cr, 5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    SetColor(cr, {0.96, 0.96, 0.94, 0.9});
    cairo_stroke(cr);
    cairo_move_to(cr, 50, 14);
    cairo_line_to(cr, 66, 36);
    cairo_line_to(cr, 56, 36);
    cairo_line_to(cr, 56, 50);
    cairo_line_to(cr, 44, 50);
    cairo_line_to(cr, 44, 36);
    cairo_line_to(cr, 34, 36);
    cairo_close_path(cr);
    SetColor(cr, {0.96, 0.96, 0.94, 0.55});
    cairo_fill(cr);
}

static void Chequer(cairo_t* cr, int w, int h, int square, double alpha) {
    cairo_rectangle(cr, 0, 0, w, h);
    SetColor(cr, {0.08, 0.08, 0.09, alpha});
    cairo_fill(cr);
    for (int y = 0; y < h; y += square) {
        for (int x = 0; x < w; x += square) {
            if ((x / square + y / square) % 2 == 0) cairo_rectangle(cr, x, y, square, square);
        }
    }
    SetColor(cr, {0.96, 0.96, 0.94, alpha});
    cairo_fill(cr);
}

void DrawStartLine(const TTile& t) {
    Chequer(t.Cr, t.W, t.H, 12, 1.0);
}

// The finish line's collision rectangle is never drawn; it gets the same chequer faintly so
// that it is recognisable when a debug view shows it.
void DrawFinishLine(const TTile& t) {
    Chequer(t.Cr, t.W, t.H, 24, 0.5);
}

void DrawGroundPoint(const TTile& t) {
    cairo_rectangle(t.Cr, 0, 0, t.W, t.H);
    SetColor(t.Cr, Pal::Racing);
    cairo_fill(t.Cr);
}
