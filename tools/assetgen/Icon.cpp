// The program's icon for the desktop's menus: the first car seen from above on a square of
// road with its centre line, in the sizes desktops look for. Drawn at each size (not scaled
// down from the largest), so the small ones keep a clear outline.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Cars.h"
#include "Families.h"
#include "Icon.h"
#include "PngEncode.h"

namespace {
void RoundedSquare(cairo_t* cr, double size, double radius) {
    const double r = radius;
    cairo_new_path(cr);
    cairo_arc(cr, size - r, r, r, -M_PI / 2, 0);
    cairo_arc(cr, size - r, size - r, r, 0, M_PI / 2);
    cairo_arc(cr, r, size - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, r, r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void DrawIcon(cairo_t* cr, int size) {
    const double s = size;
    // The road: dark asphalt with a lighter rim.
    RoundedSquare(cr, s, s * 0.18);
    cairo_set_source_rgb(cr, 0.20, 0.21, 0.23);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.80, 0.10, 0.12);
    cairo_set_line_width(cr, std::max(1.0, s / 24));
    cairo_stroke(cr);
    // The centre line in dashes, left out on the smallest sizes where it would only blur.
    if (size >= 32) {
        cairo_set_source_rgb(cr, 0.95, 0.82, 0.20);
        const double w = s / 20;
        for (double y = s * 0.08; y < s * 0.92; y += s * 0.22)
            cairo_rectangle(cr, s / 2 - w / 2, y, w, s * 0.12);
        cairo_fill(cr);
    }
    // The car, nose up, filling most of the height.
    cairo_save(cr);
    cairo_translate(cr, s / 2, s / 2);
    const double scale = s * 0.84 / (2 * CarHalfL);
    cairo_scale(cr, scale, scale);
    cairo_rotate(cr, M_PI);
    DrawCar(cr, TCarType::Velkaro, 0);
    cairo_restore(cr);
}
}  // namespace

const std::vector<int>& IconSizes() {
    static const std::vector<int> sizes = {16, 24, 32, 48, 64, 128, 256};
    return sizes;
}

bool WriteIcons(const std::string& dir) {
    for (int size : IconSizes()) {
        TCanvas canvas(size, size);
        DrawIcon(canvas.Cr(), size);
        const std::vector<uint32_t> pixels = canvas.StraightArgb();
        const std::vector<uint8_t> png = EncodePng(size, size, pixels.data());
        const std::string path = dir + "/velkaro-" + std::to_string(size) + ".png";
        FILE* f = png.empty() ? nullptr : std::fopen(path.c_str(), "wb");
        if (f == nullptr) return false;
        const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
        if (std::fclose(f) != 0 || !ok) return false;
    }
    return true;
}
