// The drawing surface of one picture (a cairo ARGB32 image) and its conversion to the
// straight-alpha pixels the PNG encoder takes; also per-pixel texture painting.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Shading.h"

class TCanvas {
public:
    TCanvas(int width, int height);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    cairo_t* Cr() const { return Context; }
    int Width() const { return W; }
    int Height() const { return H; }
    // Row-major 0xAARRGGBB with straight (not premultiplied) alpha.
    std::vector<uint32_t> StraightArgb() const;

private:
    int W, H;
    cairo_surface_t* Surface;
    cairo_t* Context;
};

using TPixelFn = std::function<TColor(int x, int y)>;

// Paints a w x h texture computed pixel by pixel at the current origin, through the current
// clip and transformation.
void PaintPixels(cairo_t* cr, int w, int h, const TPixelFn& pixel);
