// Track previews: twelve small top-down maps, each a closed circuit of its own shape on its
// own ground (meadow, desert, forest, coast, snow, night, autumn, canyon, lake, oasis,
// mountains, dusk). Every preview is described by a row of data; the locked slot shows a
// greyed map behind a padlock. No numbers: the game prints the track's name above.
#include <cmath>
#include <vector>

#include "Canvas.h"
#include "Families.h"
#include "Noise.h"
#include "Palette.h"
#include "Scenes.h"
#include "Terrain.h"

namespace {

enum class TGround {
    Meadow,
    Desert,
    Forest,
    Coast,
    Snow,
    Night,
    Autumn,
    Canyon,
    Lake,
    Oasis,
    Mountain,
    Dusk
};

struct TTrackShape {
    TGround Ground;
    uint64_t Seed;
    double Squash;               // vertical scale of the loop
    double Turn;                 // rotation of the loop, radians
    double Wave2, Wave3, Wave4;  // strength of the loop's 2-, 3- and 4-lobed bends
};

// Index = preview number - 1.
const TTrackShape Tracks[12] = {
    {TGround::Meadow, 1, 0.75, 0.0, 0.10, 0.00, 0.05},
    {TGround::Desert, 2, 1.0, 0.3, 0.00, 0.22, 0.00},
    {TGround::Forest, 3, 0.9, 0.8, 0.05, 0.05, 0.16},
    {TGround::Coast, 4, 0.85, 1.2, 0.18, 0.06, 0.00},
    {TGround::Snow, 5, 1.0, 0.0, 0.08, 0.14, 0.06},
    {TGround::Night, 6, 0.8, 0.5, 0.0, 0.0, 0.22},
    {TGround::Autumn, 7, 0.95, 2.0, 0.2, 0.1, 0.05},
    {TGround::Canyon, 8, 0.9, 1.0, 0.05, 0.25, 0.08},
    {TGround::Lake, 9, 0.8, 0.2, 0.0, 0.08, 0.0},
    {TGround::Oasis, 10, 1.0, 2.6, 0.12, 0.0, 0.14},
    {TGround::Mountain, 11, 0.9, 1.6, 0.22, 0.18, 0.0},
    {TGround::Dusk, 12, 0.7, 0.4, 0.06, 0.12, 0.12},
};

std::vector<TPoint> Loop(const TTrackShape& s, double cx, double cy, double r) {
    TRandom rng(s.Seed * 13 + 5);
    double p2 = rng.Range(0, 6.3), p3 = rng.Range(0, 6.3), p4 = rng.Range(0, 6.3);
    std::vector<TPoint> pts;
    const int n = 18;
    for (int i = 0; i < n; ++i) {
        double a = i * 2 * M_PI / n;
        double rr = r * (1 + s.Wave2 * std::sin(2 * a + p2) + s.Wave3 * std::sin(3 * a + p3) +
                         s.Wave4 * std::sin(4 * a + p4));
        double x = rr * std::cos(a), y = rr * std::sin(a) * s.Squash;
        pts.push_back({cx + x * std::cos(s.Turn) - y * std::sin(s.Turn),
                       cy + x * std::sin(s.Turn) + y * std::cos(s.Turn)});
    }
    return pts;
}

TColor Snow(const TTerrain& t, int x, int y) {
    TColor c = Mix(Hex(0xC9D6E2), Hex(0xF4F8FB), t.Field(x, y));
    return PixelHash(x, y, 3) < 0.01 ? Hex(0x9AB0C4) : c;
}

TColor Rock(const TTerrain& t, int x, int y, TColor base) {
    double f = t.Field(x, y);
    TColor c = Mix(Darker(base, 0.3), Lighter(base, 0.15), f);
    // Strata: bands across the rock.
    double band = std::sin(y * 0.25 + f * 12) * 0.5 + 0.5;
    return Darker(c, band * 0.12);
}

void PaintGround(cairo_t* cr, int w, int h, const TTrackShape& s) {
    TTerrain t(s.Seed * 101, w, h);
    PaintPixels(cr, w, h, [&](int x, int y) -> TColor {
        switch (s.Ground) {
            case TGround::Desert:
            case TGround::Oasis:
                return t.Sand(x, y);
            case TGround::Snow:
                return Snow(t, x, y);
            case TGround::Night:
                return Darker(t.Grass(x, y), 0.65);
            case TGround::Autumn:
                return Mix(t.Grass(x, y), Hex(0x8A7A30), 0.35);
            case TGround::Canyon:
                return Rock(t, x, y, Hex(0xB0603A));
            case TGround::Mountain:
                return t.Field(x, y) > 0.68 ? Snow(t, x, y) : Rock(t, x, y, Hex(0x7A7A74));
            case TGround::Dusk:
                return Mix(Darker(t.Grass(x, y), 0.3), Hex(0xC86A3A), 0.18);
            case TGround::Coast: {
                double shore = 60 + 25 * std::sin(y * 0.03 + 1.0);
                if (x < shore) return Mix(Hex(0x1A5A8A), Hex(0x2A8AB0), x / shore);
                if (x < shore + 14) return t.Sand(x, y);
                return t.Grass(x, y);
            }
            default:
                return t.Grass(x, y);
        }
    });
}

void DrawWater(cairo_t* cr, double cx, double cy, double rx, double ry, uint64_t seed) {
    TRandom rng(seed);
    std::vector<TPoint> pts;
    for (int i = 0; i < 10; ++i) {
        double a = i * 2 * M_PI / 10, k = rng.Range(0.8, 1.1);
        pts.push_back({cx + rx * k * std::cos(a), cy + ry * k * std::sin(a)});
    }
    SmoothPath(cr, pts, true);
    FillRadial(cr, cx, cy, 0, std::max(rx, ry), {{0, Hex(0x3A9AC0)}, {1, Hex(0x1A5A86)}}, true);
    SetColor(cr, Hex(0xE8D8A0, 0.8));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

void Decorate(cairo_t* cr, const TTrackShape& s, int w, int h) {
    TRandom rng(s.Seed * 7 + 1);
    switch (s.Ground) {
        case TGround::Lake:
            DrawWater(cr, w / 2.0, h / 2.0, 42, 26, s.Seed);
            break;
        case TGround::Oasis:
            DrawWater(cr, w / 2.0 + 8, h / 2.0 - 6, 22, 16, s.Seed);
            for (int i = 0; i < 4; ++i) {
                DrawTreeCrown(cr, w / 2.0 + rng.Range(-30, 30), h / 2.0 + rng.Range(-26, 26), 7,
                              s.Seed + static_cast<uint64_t>(i), Hex(0x4A8A3A));
            }
            break;
        default:
            break;
    }
    // Scatter: trees, pines, rocks or lamps, by ground.
    int count = s.Ground == TGround::Forest ? 60 : 26;
    for (int i = 0; i < count; ++i) {
        double x = rng.Range(6, w - 6.0), y = rng.Range(6, h - 6.0);
        uint64_t seed = s.Seed * 1000 + static_cast<uint64_t>(i);
        switch (s.Ground) {
            case TGround::Meadow:
            case TGround::Lake:
            case TGround::Forest:
            case TGround::Coast:
                if (s.Ground == TGround::Coast && x < 95) break;
                DrawTreeCrown(cr, x, y, rng.Range(5, 9), seed, Hex(0x2F6A2A));
                break;
            case TGround::Autumn:
                DrawTreeCrown(cr, x, y, rng.Range(5, 9), seed,
                              i % 3 == 0   ? Hex(0xC8682A)
                              : i % 3 == 1 ? Hex(0xD8A03A)
                                           : Hex(0x8A3A1A));
                break;
            case TGround::Snow:
            case TGround::Mountain:
                DrawTreeCrown(cr, x, y, rng.Range(4, 7), seed, Hex(0x2A5A44));
                break;
            case TGround::Night:
                Circle(cr, x, y, 10);
                FillRadial(cr, x, y, 0, 10, {{0, Hex(0xFFE0A0, 0.35)}, {1, Hex(0xFFE0A0, 0)}});
                Circle(cr, x, y, 1.3);
                SetColor(cr, Hex(0xFFF4D0));
                cairo_fill(cr);
                break;
            case TGround::Dusk:
                DrawTreeCrown(cr, x, y, rng.Range(5, 8), seed, Hex(0x3A5A2A));
                break;
            default:
                if (i % 2 == 0) {
                    Circle(cr, x, y, rng.Range(2, 4));
                    SetColor(cr, Hex(0x8A6A4A, 0.8));
                    cairo_fill(cr);
                }
                break;
        }
    }
}

void DrawStartMark(cairo_t* cr, const std::vector<TPoint>& loop) {
    // A chequered band across the road at the first point of the loop.
    TPoint a = loop[0], b = loop[1];
    double angle = std::atan2(b.Y - a.Y, b.X - a.X);
    cairo_save(cr);
    cairo_translate(cr, a.X, a.Y);
    cairo_rotate(cr, angle);
    for (int i = 0; i < 6; ++i) {
        for (int row = 0; row < 2; ++row) {
            cairo_rectangle(cr, -3 + row * 3, -9 + i * 3, 3, 3);
            SetColor(cr, (i + row) % 2 == 0 ? Pal::White : Pal::Ink);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

void DrawPreview(const TTile& t, const TTrackShape& s, bool locked) {
    cairo_t* cr = t.Cr;
    PaintGround(cr, t.W, t.H, s);
    Decorate(cr, s, t.W, t.H);
    std::vector<TPoint> loop = Loop(s, t.W / 2.0, t.H / 2.0, 70);
    bool dark = s.Ground == TGround::Night;
    TSceneRoad road{.Width = 13,
                    .Kerb = 2.2,
                    .Brightness = dark ? 0.7 : 1.0,
                    .CentreLine = false,
                    .Seed = s.Seed};
    DrawSceneRoad(
        cr, [&](cairo_t* c) { SmoothPath(c, loop, true); }, road);
    DrawStartMark(cr, loop);
    Vignette(cr, t.W, t.H, 0.45);
    if (locked) {
        // Greyed and darkened behind the padlock.
        cairo_rectangle(cr, 0, 0, t.W, t.H);
        SetColor(cr, {0.1, 0.12, 0.14, 0.6});
        cairo_set_operator(cr, CAIRO_OPERATOR_HSL_SATURATION);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_rectangle(cr, 0, 0, t.W, t.H);
        SetColor(cr, {0.05, 0.07, 0.09, 0.6});
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 0.5, 0.5, t.W - 1.0, t.H - 1.0);
    SetColor(cr, {0, 0, 0, 0.8});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawPadlock(cairo_t* cr, double cx, double cy) {
    auto body = [&](cairo_t* c) { RoundedRect(c, {cx - 28, cy - 8, 56, 44}, 7); };
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy - 10, 19, M_PI, 2 * M_PI);
    cairo_line_to(cr, cx + 19, cy);
    cairo_move_to(cr, cx - 19, cy);
    cairo_line_to(cr, cx - 19, cy - 10);
    SetColor(cr, Pal::Ink);
    cairo_set_line_width(cr, 11);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 7);
    cairo_pattern_t* steel = cairo_pattern_create_linear(cx - 20, 0, cx + 20, 0);
    cairo_pattern_add_color_stop_rgb(steel, 0, 0.45, 0.5, 0.55);
    cairo_pattern_add_color_stop_rgb(steel, 0.5, 0.9, 0.93, 0.95);
    cairo_pattern_add_color_stop_rgb(steel, 1, 0.35, 0.4, 0.45);
    cairo_set_source(cr, steel);
    cairo_stroke(cr);
    cairo_pattern_destroy(steel);
    SoftShadow(cr, body, 4, 0, 3, {0, 0, 0, 0.7});
    body(cr);
    FillVertical(cr, {cx - 28, cy - 8, 56, 44}, Pal::AccentLight, Pal::AccentDark, true);
    SetColor(cr, Pal::Ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    Circle(cr, cx, cy + 8, 5);
    cairo_rectangle(cr, cx - 2, cy + 8, 4, 12);
    SetColor(cr, Pal::Ink);
    cairo_fill(cr);
}

}  // namespace

TDrawFn TrackPreviewArt(int number) {
    const TTrackShape track = Tracks[(number - 1) % 12];
    return [track](const TTile& t) { DrawPreview(t, track, false); };
}

void DrawLockedPreview(const TTile& t) {
    DrawPreview(t, Tracks[0], true);
    DrawPadlock(t.Cr, t.W / 2.0, t.H / 2.0 - 10);
    TText style{.Size = SizeForCap(12),
                .Color = Pal::Text,
                .Weight = 0.05,
                .Tracking = 3,
                .Align = TAlign::Center};
    DrawTextShadowed(t.Cr, "LOCKED", t.W / 2.0, t.H / 2.0 + 52, style);
    TText hint{.Size = SizeForCap(6),
               .Color = Pal::TextDim,
               .Weight = 0.03,
               .Tracking = 1,
               .Align = TAlign::Center};
    DrawText(t.Cr, "SCORE MORE TO OPEN IT", t.W / 2.0, t.H / 2.0 + 72, hint);
}
