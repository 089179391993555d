#include "Scenes.h"

#include <algorithm>
#include <cmath>

#include "Canvas.h"
#include "Noise.h"
#include "Palette.h"
#include "Terrain.h"

void SmoothPath(cairo_t* cr, const std::vector<TPoint>& p, bool closed) {
    size_t n = p.size();
    if (n < 2) return;
    auto at = [&](long i) -> TPoint {
        if (closed)
            return p[static_cast<size_t>((i % static_cast<long>(n) + static_cast<long>(n)) %
                                         static_cast<long>(n))];
        return p[static_cast<size_t>(std::clamp(i, 0L, static_cast<long>(n) - 1))];
    };
    cairo_move_to(cr, p[0].X, p[0].Y);
    long segments = closed ? static_cast<long>(n) : static_cast<long>(n) - 1;
    for (long i = 0; i < segments; ++i) {
        TPoint p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        cairo_curve_to(cr, p1.X + (p2.X - p0.X) / 6, p1.Y + (p2.Y - p0.Y) / 6,
                       p2.X - (p3.X - p1.X) / 6, p2.Y - (p3.Y - p1.Y) / 6, p2.X, p2.Y);
    }
    if (closed) cairo_close_path(cr);
}

static void StrokePath(cairo_t* cr, const TPathFn& path, double width) {
    cairo_new_path(cr);
    path(cr);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void DrawSceneRoad(cairo_t* cr, const TPathFn& path, const TSceneRoad& road) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    double b = road.Brightness;
    // A soft dark border where the road meets the ground.
    for (int i = 3; i >= 1; --i) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
        StrokePath(cr, path, road.Width + 2 * road.Kerb + i * 3);
    }
    // Kerbs: white, then red dashes on top.
    cairo_set_source_rgb(cr, 0.92 * b, 0.92 * b, 0.9 * b);
    StrokePath(cr, path, road.Width + 2 * road.Kerb);
    double dash[] = {road.Kerb * 1.6, road.Kerb * 1.6};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_source_rgb(cr, 0.8 * b, 0.1 * b, 0.12 * b);
    StrokePath(cr, path, road.Width + 2 * road.Kerb);
    cairo_set_dash(cr, nullptr, 0, 0);
    // Tarmac, a white edge line, and the tarmac again inside it.
    cairo_pattern_t* asphalt = CreateAsphaltPattern(road.Seed, 128, b);
    cairo_set_source(cr, asphalt);
    StrokePath(cr, path, road.Width);
    cairo_set_source_rgba(cr, 0.95 * b, 0.95 * b, 0.95 * b, 0.9);
    StrokePath(cr, path, road.Width - road.Width * 0.08);
    cairo_set_source(cr, asphalt);
    StrokePath(cr, path, road.Width - road.Width * 0.08 - std::max(1.2, road.Width * 0.035) * 2);
    cairo_pattern_destroy(asphalt);
    if (road.CentreLine) {
        double d[] = {road.Width * 0.3, road.Width * 0.3};
        cairo_set_dash(cr, d, 2, 0);
        cairo_set_source_rgba(cr, 0.95 * b, 0.9 * b, 0.7 * b, 0.7);
        StrokePath(cr, path, std::max(1.0, road.Width * 0.04));
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    cairo_restore(cr);
}

void PaintGrassArea(cairo_t* cr, int w, int h, uint64_t seed, double brightness) {
    TTerrain terrain(seed, w, h);
    PaintPixels(cr, w, h,
                [&](int x, int y) { return Darker(terrain.Grass(x, y), 1 - brightness); });
}

void PaintSandArea(cairo_t* cr, int w, int h, uint64_t seed, double brightness) {
    TTerrain terrain(seed, w, h);
    PaintPixels(cr, w, h, [&](int x, int y) { return Darker(terrain.Sand(x, y), 1 - brightness); });
}

void DrawTreeCrown(cairo_t* cr, double cx, double cy, double r, uint64_t seed, TColor leaf) {
    TRandom rng(seed);
    // A halo of shade on the ground all round: the light is overhead, so the crown may be
    // turned to any angle.
    SoftShadow(cr, [&](cairo_t* c) { Circle(c, cx, cy, r * 1.02); }, r * 0.3, 0, 0, {0, 0, 0, 0.5});
    // An irregular round outline: a few waves of different lengths around the circle.
    double p1 = rng.Range(0, 6.3), p2 = rng.Range(0, 6.3), p3 = rng.Range(0, 6.3);
    std::vector<TPoint> outline;
    for (int i = 0; i < 48; ++i) {
        double a = i * 2 * M_PI / 48;
        double rr = r * (0.87 + 0.06 * std::sin(5 * a + p1) + 0.05 * std::sin(9 * a + p2) +
                         0.03 * std::sin(14 * a + p3));
        outline.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
    }
    SmoothPath(cr, outline, true);
    FillRadial(cr, cx, cy, 0, r, {{0, Lighter(leaf, 0.15)}, {0.65, leaf}, {1, Darker(leaf, 0.5)}});
    // Clusters of leaves: each a darker hollow under a lit dome.
    cairo_save(cr);
    SmoothPath(cr, outline, true);
    cairo_clip(cr);
    for (int i = 0; i < 22; ++i) {
        double a = rng.Range(0, 2 * M_PI), d = std::sqrt(rng.Unit()) * 0.8 * r;
        double px = cx + d * std::cos(a), py = cy + d * std::sin(a);
        double pr = r * rng.Range(0.16, 0.28);
        double ox = std::cos(a) * pr * 0.35, oy = std::sin(a) * pr * 0.35;
        Circle(cr, px + ox, py + oy, pr);
        FillRadial(cr, px + ox, py + oy, 0, pr,
                   {{0, WithAlpha(Darker(leaf, 0.45), 0.5)}, {1, WithAlpha(leaf, 0)}});
        Circle(cr, px, py, pr * 0.8);
        FillRadial(cr, px - ox, py - oy, 0, pr * 0.8,
                   {{0, WithAlpha(Lighter(leaf, 0.35), 0.85)}, {1, WithAlpha(leaf, 0)}});
    }
    cairo_restore(cr);
    SmoothPath(cr, outline, true);
    SetColor(cr, WithAlpha(Darker(leaf, 0.6), 0.5));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void Vignette(cairo_t* cr, int w, int h, double strength) {
    cairo_rectangle(cr, 0, 0, w, h);
    double r = std::hypot(w, h) / 2;
    FillRadial(cr, w / 2.0, h / 2.0, r * 0.45, r, {{0, {0, 0, 0, 0}}, {1, {0, 0, 0, strength}}});
}

static void CircuitPath(cairo_t* cr) {
    SmoothPath(cr,
               {{60, 780},
                {190, 640},
                {300, 520},
                {366, 431},
                {450, 300},
                {560, 170},
                {700, 95},
                {860, 70}},
               false);
}

static void SecondRoadPath(cairo_t* cr) {
    SmoothPath(cr, {{-40, 150}, {120, 200}, {250, 170}, {330, 90}, {380, -40}}, false);
}

// The circuit in full light, drawn once and kept: the menus show it four times at
// different brightness, and darkening a copy gives the same picture as darker paint.
static cairo_surface_t* LitCircuit() {
    static cairo_surface_t* surface = [] {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 800, 600);
        cairo_t* cr = cairo_create(s);
        PaintGrassArea(cr, 800, 600, 11, 1.0);
        DrawSceneRoad(cr, SecondRoadPath, {.Width = 90, .Kerb = 6, .Brightness = 0.9, .Seed = 6});
        DrawSceneRoad(cr, CircuitPath, {.Width = 150, .Kerb = 9, .Brightness = 1.0, .Seed = 5});
        const TPoint trees[] = {{60, 330},  {110, 400}, {40, 470}, {520, 470}, {600, 560},
                                {720, 540}, {690, 210}, {470, 80}, {150, 60},  {260, 300}};
        uint64_t seed = 100;
        for (const TPoint& p : trees) {
            DrawTreeCrown(cr, p.X, p.Y, 26.0 + static_cast<double>(seed % 3) * 6, seed,
                          Hex(0x3F7A2C));
            ++seed;
        }
        cairo_destroy(cr);
        return s;
    }();
    return surface;
}

void DrawDuskCircuit(cairo_t* cr, double brightness) {
    cairo_save(cr);
    cairo_set_source_surface(cr, LitCircuit(), 0, 0);
    cairo_paint(cr);
    cairo_rectangle(cr, 0, 0, 800, 600);
    cairo_set_source_rgba(cr, 0, 0, 0, 1 - brightness);
    cairo_fill(cr);
    cairo_restore(cr);
}
