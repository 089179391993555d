// Walls: concrete barriers seen from above, long side vertical. The left edge faces the road
// and carries a red and white band; the blocks and the band repeat a whole number of times
// per wall, so walls laid end to end continue the pattern. Fully opaque, since the whole
// rectangle is what a car collides with.
#include <cmath>

#include "Canvas.h"
#include "Families.h"
#include "Palette.h"
#include "Terrain.h"

void DrawWall(const TTile& t) {
    cairo_t* cr = t.Cr;
    const double w = t.W, h = t.H;
    // Concrete with a faint grain, lit from the road side.
    TTerrain grain(41, t.W, t.H);
    PaintPixels(cr, t.W, t.H, [&](int x, int y) {
        double n = grain.Field(x * 4.0, y) * 0.5 + PixelHash(x, y, 41) * 0.5;
        return Mix(Hex(0x9A9C9A), Hex(0xB8BAB6), n);
    });
    cairo_rectangle(cr, 0, 0, w, h);
    FillLinear(cr, 0, 0, w, 0,
               {{0, {1, 1, 1, 0.0}},
                {0.35, {1, 1, 1, 0.12}},
                {0.75, {0, 0, 0, 0.05}},
                {1, {0, 0, 0, 0.35}}});
    // The band on the road side.
    const double band = 9;
    int stripes = 6;
    double len = h / stripes;
    for (int i = 0; i < stripes; ++i) {
        cairo_rectangle(cr, 0, i * len, band, len);
        SetColor(cr, i % 2 == 0 ? Hex(0xC8232C) : Hex(0xEDEBE4));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 0, 0, band, h);
    FillLinear(cr, 0, 0, band, 0,
               {{0, {0, 0, 0, 0.25}}, {0.4, {1, 1, 1, 0.15}}, {1, {0, 0, 0, 0.2}}});
    cairo_rectangle(cr, band, 0, 1.5, h);
    SetColor(cr, {0, 0, 0, 0.3});
    cairo_fill(cr);
    // Three blocks per wall: dark joints with a lit edge below each.
    for (int i = 1; i < 3; ++i) {
        double y = std::round(h * i / 3);
        cairo_rectangle(cr, band + 1.5, y - 1, w - band - 1.5, 2);
        SetColor(cr, {0, 0, 0, 0.45});
        cairo_fill(cr);
        cairo_rectangle(cr, band + 1.5, y + 1, w - band - 1.5, 1);
        SetColor(cr, {1, 1, 1, 0.25});
        cairo_fill(cr);
    }
    // A ridge along the top of the barrier.
    cairo_rectangle(cr, w * 0.55, 0, 3, h);
    SetColor(cr, {1, 1, 1, 0.18});
    cairo_fill(cr);
    cairo_rectangle(cr, w * 0.55 + 3, 0, 1.5, h);
    SetColor(cr, {0, 0, 0, 0.15});
    cairo_fill(cr);
    cairo_rectangle(cr, w - 2, 0, 2, h);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
}
