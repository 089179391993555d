// The bitmap font's glyph sheet: one 12 x 16 tile per character code 32..126, white on
// transparent (the game tints it). The face is wide, so every glyph is narrowed by the same
// factor to fit its cell, and only the widest ones are narrowed a little more.
#include <cmath>

#include "Families.h"
#include "Text.h"

namespace {
constexpr double CapHeight = 9.0;
constexpr double Baseline = 12.5;
constexpr double Narrowing = 0.68;
constexpr double MaxInk = 10.6;  // pixels: leaves a column between neighbouring glyphs
}  // namespace

void DrawGlyph(const TTile& t) {
    char text[2] = {static_cast<char>(32 + t.Pattern), 0};
    if (text[0] == ' ') return;
    cairo_t* cr = t.Cr;
    double size = SizeForCap(CapHeight);
    SelectFont(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    double squeeze = Narrowing;
    if (e.width * squeeze > MaxInk) squeeze = MaxInk / e.width;
    cairo_save(cr);
    // Centre the ink in the cell, so that the monospaced text looks evenly spaced.
    double inkCentre = (e.x_bearing + e.width / 2) * squeeze;
    cairo_translate(cr, t.W / 2.0 - inkCentre, Baseline);
    cairo_scale(cr, squeeze, 1);
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.55);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}
