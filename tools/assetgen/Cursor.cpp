// The mouse pointer: an arrow with its tip on the tile's top-left corner (the hot spot) and
// a small spinning wheel beside it; eight frames make one turn of the wheel.
#include <cmath>

#include "Families.h"
#include "Palette.h"

namespace {

void ArrowPath(cairo_t* cr) {
    cairo_move_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5, 18.5);
    cairo_line_to(cr, 5.8, 14.6);
    cairo_line_to(cr, 9.0, 21.5);
    cairo_line_to(cr, 12.0, 20.1);
    cairo_line_to(cr, 8.9, 13.4);
    cairo_line_to(cr, 14.6, 13.4);
    cairo_close_path(cr);
}

void DrawWheel(cairo_t* cr, double cx, double cy, double turn) {
    const double r = 5.2;
    SoftShadow(cr, [&](cairo_t* c) { Circle(c, cx, cy, r); }, 1.5, 0.5, 1, {0, 0, 0, 0.6});
    Circle(cr, cx, cy, r);
    SetColor(cr, Hex(0x15191D));
    cairo_fill(cr);
    Circle(cr, cx, cy, r - 1.7);
    FillRadial(cr, cx - 1, cy - 1, 0, r, {{0, Pal::AccentLight}, {1, Pal::AccentDark}});
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, turn);
    for (int i = 0; i < 5; ++i) {
        cairo_save(cr);
        cairo_rotate(cr, i * 2 * M_PI / 5);
        cairo_rectangle(cr, -0.55, -r + 1.9, 1.1, r - 2.6);
        cairo_restore(cr);
    }
    SetColor(cr, Hex(0x2A1405));
    cairo_fill(cr);
    cairo_restore(cr);
    Circle(cr, cx, cy, 1.1);
    SetColor(cr, Pal::Chrome);
    cairo_fill(cr);
}

}  // namespace

void DrawCursor(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawWheel(cr, 19.5, 19.5, t.Pattern * M_PI / 4);
    SoftShadow(cr, ArrowPath, 1.5, 1, 1.5, {0, 0, 0, 0.55});
    ArrowPath(cr);
    FillLinear(cr, 0, 0, 12, 20, {{0, Pal::White}, {1, Hex(0xC8D3DC)}}, true);
    SetColor(cr, Pal::Ink);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    // An orange edge inside the left side of the arrow, the accent of the menus.
    cairo_move_to(cr, 2.9, 4.5);
    cairo_line_to(cr, 2.9, 15.0);
    SetColor(cr, Pal::Accent);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
}
