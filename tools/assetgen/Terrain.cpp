#include "Terrain.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "Canvas.h"
#include "Palette.h"

namespace {
int Cells(int size, int target) {
    // Cells of about target pixels, but at least three across even a small picture, so that
    // the broad features never collapse into one flat value.
    return std::max(3, size / target);
}
}  // namespace

TTerrain::TTerrain(uint64_t seed, int width, int height)
    : Seed(seed),
      Coarse(seed + 1, width, height, Cells(width, 160), Cells(height, 150), 3),
      Medium(seed + 2, width, height, Cells(width, 40), Cells(height, 40), 2),
      Fine(seed + 3, width, height, Cells(width, 8), Cells(height, 8), 2) {}

double PixelHash(int x, int y, uint64_t seed) {
    uint64_t h = seed * 0x9E3779B97F4A7C15ull ^ (static_cast<uint64_t>(x) * 0xC2B2AE3D27D4EB4Full) ^
                 (static_cast<uint64_t>(y) * 0x165667B19E3779F9ull);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

TColor TTerrain::Grass(double x, double y, double broad) const {
    double c = Coarse.At(x, y), m = Medium.At(x, y), f = Fine.At(x, y);
    TColor base = Mix(Hex(0x3E7230), Hex(0x66993F), 0.5 + (c - 0.5) * broad);
    base = Mix(base, Hex(0x2F5A26), std::max(0.0, 0.55 - m) * 0.9 * broad);
    base = Lighter(base, (f - 0.5) * 0.22);
    double h = PixelHash(static_cast<int>(x), static_cast<int>(y), Seed);
    if (h < 0.004) return Mix(base, Hex(0xF2E6A0), 0.7);  // tiny flowers
    if (h > 0.985) return Darker(base, 0.25);             // blades in shade
    return base;
}

TColor TTerrain::Sand(double x, double y, double broad) const {
    double c = Coarse.At(x, y), m = Medium.At(x, y), f = Fine.At(x, y);
    TColor base = Mix(Hex(0xC9A464), Hex(0xE3C88E), 0.5 + (c - 0.5) * broad);
    // Wind ripples: a wavy band pattern bent by the medium noise.
    double ripple = std::sin(y * 0.16 + x * 0.02 + m * 6.0) * 0.5 + 0.5;
    base = Darker(base, ripple * 0.035);
    base = Lighter(base, (f - 0.5) * 0.18);
    double h = PixelHash(static_cast<int>(x), static_cast<int>(y), Seed + 7);
    if (h < 0.006) return Mix(base, Hex(0x7A6A52), 0.6);  // pebbles
    return base;
}

TColor TTerrain::Asphalt(double x, double y) const {
    double m = Medium.At(x, y), f = Fine.At(x, y);
    TColor base = Mix(Hex(0x474A4F), Hex(0x525559), m);
    base = Lighter(base, (f - 0.5) * 0.12);
    double h = PixelHash(static_cast<int>(x), static_cast<int>(y), Seed + 13);
    if (h < 0.05) return Lighter(base, 0.10 + h);  // light grit
    if (h > 0.95) return Darker(base, 0.18);
    return base;
}

cairo_pattern_t* CreateAsphaltPattern(uint64_t seed, int size, double brightness) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    TTerrain terrain(seed, size, size);
    PaintPixels(cr, size, size, [&](int x, int y) {
        TColor c = terrain.Asphalt(x, y);
        return brightness < 1 ? Darker(c, 1 - brightness) : Lighter(c, brightness - 1);
    });
    cairo_destroy(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_surface_destroy(surface);
    return pattern;
}
