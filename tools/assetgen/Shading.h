// Colours, paths and shading shared by every picture family: gradients, soft shadows and
// glows (a blurred alpha mask), highlights and bevels. Everything draws through a cairo
// context in the caller's coordinates.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

struct TColor {
    double R = 0, G = 0, B = 0, A = 1;
};

// 0xRRGGBB with an optional alpha.
TColor Hex(uint32_t rgb, double alpha = 1.0);
TColor Mix(TColor a, TColor b, double t);
TColor Lighter(TColor c, double t);
TColor Darker(TColor c, double t);
TColor WithAlpha(TColor c, double alpha);
TColor Grey(TColor c);  // the same brightness without its hue

void SetColor(cairo_t* cr, TColor c);

struct TBox {
    double X = 0, Y = 0, W = 0, H = 0;
    double Right() const { return X + W; }
    double Bottom() const { return Y + H; }
    double CX() const { return X + W / 2; }
    double CY() const { return Y + H / 2; }
    TBox Inset(double d) const { return {X + d, Y + d, W - 2 * d, H - 2 * d}; }
    TBox Moved(double dx, double dy) const { return {X + dx, Y + dy, W, H}; }
};

using TStops = std::initializer_list<std::pair<double, TColor>>;
using TPathFn = std::function<void(cairo_t*)>;

void RoundedRect(cairo_t* cr, TBox b, double radius);
// A rectangle whose corners are cut at 45 degrees, the machined look of the panels.
void ChamferRect(cairo_t* cr, TBox b, double cut);
void Circle(cairo_t* cr, double cx, double cy, double r);

// Fill the current path with a gradient from (x0, y0) to (x1, y1); the path is kept when
// preserve is set, so that it can be stroked afterwards.
void FillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, TStops stops,
                bool preserve = false);
void FillRadial(cairo_t* cr, double cx, double cy, double r0, double r1, TStops stops,
                bool preserve = false);
void FillVertical(cairo_t* cr, TBox b, TColor top, TColor bottom, bool preserve = false);

// A shadow or glow: the shape that path builds, blurred by radius (pixels) and painted in
// color, moved by (dx, dy) device pixels. Works under any transformation of cr.
void SoftShadow(cairo_t* cr, const TPathFn& path, double radius, double dx, double dy,
                TColor color);
// Darkens the inside of path near its edges, as if it were sunk into the surface; (dx, dy)
// moves the light so that one edge casts more shadow than the other.
void InnerShadow(cairo_t* cr, const TPathFn& path, double radius, double dx, double dy,
                 TColor color);

// Blurs an A8 or ARGB32 image surface in place (three box passes, close to a gaussian).
void BlurSurface(cairo_surface_t* surface, double radius);
