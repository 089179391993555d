// The bonus pictures as shapes of any size, so the help pages can show the same icons.
#pragma once

#include <cairo.h>

// Draws bonus kind 0..9 centred at (cx, cy) in a square of side size.
void DrawBonusIcon(cairo_t* cr, int kind, double cx, double cy, double size);
// The extra-time stopwatch with another label on its face.
void DrawStopwatch(cairo_t* cr, double cx, double cy, double size, const char* label);
