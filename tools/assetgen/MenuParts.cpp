// Small menu sprites: the pulsing highlight of the player list, the car statistics bar and
// the fill of the volume slider.
#include "Families.h"
#include "Palette.h"

void DrawChooseLine(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Soft at both ends, so the pulsing bar blends into the list box.
    // A cool blue, so that both the white names and the current player's red one read on it.
    const TColor body = Hex(0x2F6F98);
    cairo_rectangle(cr, 0, 1, t.W, t.H - 2.0);
    FillLinear(cr, 0, 0, t.W, 0,
               {{0, WithAlpha(body, 0)},
                {0.12, WithAlpha(body, 0.9)},
                {0.88, WithAlpha(body, 0.9)},
                {1, WithAlpha(body, 0)}});
    cairo_rectangle(cr, 0, 1, t.W, t.H - 2.0);
    FillLinear(cr, 0, 1, 0, t.H - 1.0,
               {{0, {0.7, 0.9, 1, 0.3}}, {0.5, {0.5, 0.8, 1, 0.05}}, {1, {0, 0, 0, 0.25}}});
    for (double y : {0.5, t.H - 0.5}) {
        cairo_rectangle(cr, 0, y - 0.5, t.W, 1);
        FillLinear(cr, 0, 0, t.W, 0,
                   {{0, WithAlpha(Pal::AccentLight, 0)},
                    {0.2, Pal::AccentLight},
                    {0.8, Pal::AccentLight},
                    {1, WithAlpha(Pal::AccentLight, 0)}});
    }
}

void DrawStatBar(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Stretched from its left edge by the car's value, so it is drawn at full length.
    TBox bar{0, 1, double(t.W), t.H - 2.0};
    RoundedRect(cr, bar, 3);
    FillVertical(cr, bar, Pal::AccentLight, Pal::AccentDark);
    cairo_save(cr);
    RoundedRect(cr, bar, 3);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, bar.Y, t.W, bar.H * 0.45);
    SetColor(cr, {1, 1, 1, 0.3});
    cairo_fill(cr);
    for (double x = 10; x < t.W; x += 10) cairo_rectangle(cr, x, bar.Y, 1.5, bar.H);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
    cairo_restore(cr);
    RoundedRect(cr, bar.Inset(0.5), 2.5);
    SetColor(cr, {0.2, 0.08, 0, 0.8});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawVolumeFill(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Cut from the left as the volume rises; the number is printed in white over it.
    TBox fill{0, 2, double(t.W), t.H - 4.0};
    cairo_rectangle(cr, fill.X, fill.Y, fill.W, fill.H);
    FillVertical(cr, fill, Pal::Accent, Pal::AccentDark);
    cairo_rectangle(cr, fill.X, fill.Y, fill.W, fill.H * 0.4);
    SetColor(cr, {1, 1, 1, 0.25});
    cairo_fill(cr);
    for (int i = 1; i < 5; ++i) cairo_rectangle(cr, i * t.W / 5.0 - 0.5, fill.Y, 1, fill.H);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
}
