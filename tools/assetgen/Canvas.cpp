#include "Canvas.h"

#include <algorithm>
#include <cmath>

TCanvas::TCanvas(int width, int height)
    : W(width),
      H(height),
      Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      Context(cairo_create(Surface)) {}

TCanvas::~TCanvas() {
    cairo_destroy(Context);
    cairo_surface_destroy(Surface);
}

std::vector<uint32_t> TCanvas::StraightArgb() const {
    cairo_surface_flush(Surface);
    const uint8_t* data = cairo_image_surface_get_data(Surface);
    int stride = cairo_image_surface_get_stride(Surface);
    std::vector<uint32_t> out(static_cast<size_t>(W) * static_cast<size_t>(H));
    for (int y = 0; y < H; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < W; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            uint32_t straight = 0;
            // Cairo keeps colours multiplied by alpha; the picture format wants them whole.
            if (a == 255) {
                straight = p;
            } else if (a > 0) {
                auto un = [a](uint32_t c) {
                    return std::min<uint32_t>(255, (c * 255 + a / 2) / a);
                };
                straight = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) |
                           un(p & 0xFF);
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(W) + static_cast<size_t>(x)] =
                straight;
        }
    }
    return out;
}

static uint32_t Premultiplied(TColor c) {
    auto clamp01 = [](double v) { return std::clamp(v, 0.0, 1.0); };
    double a = clamp01(c.A);
    auto ch = [&](double v) { return static_cast<uint32_t>(std::lround(clamp01(v) * a * 255)); };
    return (static_cast<uint32_t>(std::lround(a * 255)) << 24) | (ch(c.R) << 16) | (ch(c.G) << 8) |
           ch(c.B);
}

void PaintPixels(cairo_t* cr, int w, int h, const TPixelFn& pixel) {
    cairo_surface_t* tex = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(tex);
    uint8_t* data = cairo_image_surface_get_data(tex);
    int stride = cairo_image_surface_get_stride(tex);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) row[x] = Premultiplied(pixel(x, y));
    }
    cairo_surface_mark_dirty(tex);
    cairo_save(cr);
    cairo_set_source_surface(cr, tex, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(tex);
}
