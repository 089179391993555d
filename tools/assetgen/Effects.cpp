// Effects drawn at any angle: explosions (eight frames from flash to thinning smoke), skid
// marks that fade in five steps, and the three indicator arrows.
#include <cmath>

#include "Canvas.h"
#include "Families.h"
#include "Noise.h"
#include "Palette.h"

namespace {

// Colour of burning gas by heat 0..1: smoke, dark red, orange, yellow, white.
TColor FireColor(double heat) {
    struct TStop {
        double At;
        TColor C;
    };
    static const TStop ramp[] = {{0.0, Hex(0x2A2624)},
                                 {0.25, Hex(0x7A1E0C)},
                                 {0.5, Hex(0xE0520E)},
                                 {0.75, Hex(0xFFB42A)},
                                 {1.0, Hex(0xFFF6D0)}};
    heat = std::clamp(heat, 0.0, 1.0);
    for (int i = 1; i < 5; ++i) {
        if (heat <= ramp[i].At) {
            double t = (heat - ramp[i - 1].At) / (ramp[i].At - ramp[i - 1].At);
            return Mix(ramp[i - 1].C, ramp[i].C, t);
        }
    }
    return ramp[4].C;
}

void DrawExplosionFrame(const TTile& t, uint64_t seed) {
    const double half = t.W / 2.0;
    const double p = t.Pattern / 7.0;  // 0 = the flash, 1 = the last wisps of smoke
    TFractalNoise noise(seed, t.W, t.H, 3, 3, 4);
    TFractalNoise swirl(seed + 9, t.W, t.H, 6, 6, 4);
    double radius = half * (0.5 + 0.42 * std::sqrt(p));
    double heatAt = 1.5 - 1.2 * std::pow(p, 0.8);
    double fade = p < 0.5 ? 1.0 : 1.0 - (p - 0.5) / 0.5 * 0.75;
    PaintPixels(t.Cr, t.W, t.H, [&](int x, int y) {
        double dx = x + 0.5 - half, dy = y + 0.5 - half;
        double d = std::hypot(dx, dy);
        // A ragged ball: the noise pushes the edge in and out, more so as it grows.
        double n = noise.At(x + p * 40, y - p * 30);
        double edge = radius * (0.8 + 0.7 * (n - 0.5));
        double r = d / std::max(edge, 1.0);
        if (r >= 1.15) return TColor{0, 0, 0, 0};
        double body = std::clamp((1.15 - r) / 0.2, 0.0, 1.0);
        double heat = (1 - r * 0.8) * heatAt + (swirl.At(x, y) - 0.5) * 0.7;
        TColor c = FireColor(heat);
        // Smoke takes over from the edge inwards as the fire burns out.
        double smoke = std::clamp(p * 1.5 - (1 - r) * 0.5 - 0.1, 0.0, 1.0);
        c = Mix(c, Mix(Hex(0x2E2B29), Hex(0x6A655F), swirl.At(x + 50, y)), smoke * 0.9);
        c.A = body * fade * (smoke > 0.5 ? 0.85 : 1.0);
        return c;
    });
    // Sparks flying out in the early frames.
    if (t.Pattern >= 1 && t.Pattern <= 4) {
        TRandom rng(seed * 31 + 7);
        cairo_t* cr = t.Cr;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = 0; i < 14; ++i) {
            double a = rng.Range(0, 2 * M_PI);
            double d0 = radius * rng.Range(0.8, 1.1) * (0.8 + p);
            double len = half * rng.Range(0.06, 0.14);
            if (d0 + len > half * 0.96) d0 = half * 0.96 - len;
            cairo_move_to(cr, half + d0 * std::cos(a), half + d0 * std::sin(a));
            cairo_line_to(cr, half + (d0 + len) * std::cos(a), half + (d0 + len) * std::sin(a));
            SetColor(cr, {1, 0.85, 0.4, 1 - p});
            cairo_set_line_width(cr, std::max(1.0, half * 0.025));
            cairo_stroke(cr);
        }
    }
}

}  // namespace

TDrawFn ExplosionArt(uint64_t seed) {
    return [seed](const TTile& t) { DrawExplosionFrame(t, seed); };
}

void DrawSkidMark(const TTile& t) {
    // Dark rubber that spreads and pales from one pattern to the next.
    double k = t.Pattern / 4.0;
    double cx = t.W / 2.0, cy = t.H / 2.0;
    double r = 3.2 + 1.6 * k;
    Circle(t.Cr, cx, cy, r);
    TColor rubber = Mix(Hex(0x121212), Hex(0x5A5652), k);
    FillRadial(t.Cr, cx, cy, 0, r,
               {{0, WithAlpha(rubber, 0.95 - 0.45 * k)}, {1, WithAlpha(rubber, 0)}});
}

void DrawIndicatorArrows(const TTile& t) {
    // Heading, direction of travel, an opponent's target: each points right from its left
    // middle, the point it turns about.
    const TColor colors[] = {Pal::Go, Pal::Teal, Pal::Racing};
    cairo_t* cr = t.Cr;
    double h = t.H, cy = h / 2;
    cairo_move_to(cr, 0, cy - 1.5);
    cairo_line_to(cr, t.W - 10, cy - 1.5);
    cairo_line_to(cr, t.W - 10, 0.5);
    cairo_line_to(cr, t.W - 0.5, cy);
    cairo_line_to(cr, t.W - 10, h - 0.5);
    cairo_line_to(cr, t.W - 10, cy + 1.5);
    cairo_line_to(cr, 0, cy + 1.5);
    cairo_close_path(cr);
    TColor c = colors[t.Pattern % 3];
    FillVertical(cr, {0, 0, double(t.W), h}, Lighter(c, 0.3), Darker(c, 0.2), true);
    SetColor(cr, {0, 0, 0, 0.6});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void DrawEmptyPanel(const TTile&) {
    // Never drawn by the game: a transparent square.
}
