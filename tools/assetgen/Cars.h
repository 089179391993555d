// The five cars seen from above, shared by the race pictures, the menu pictures and the
// scenes that show a car. In car space the car is centred on the origin, 48 x 88 pixels,
// with its front towards +y (the bottom of an unrotated picture).
#pragma once

#include <cairo.h>

#include "Families.h"

constexpr double CarHalfW = 24, CarHalfL = 44;

// variant 0..2 picks one of the car's three colour schemes.
void DrawCar(cairo_t* cr, TCarType type, int variant);
// The body outline as the current path, for shadows.
void CarOutlinePath(cairo_t* cr, TCarType type);
