#include "Shading.h"

#include <algorithm>
#include <cmath>
#include <vector>

TColor Hex(uint32_t rgb, double alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

TColor Mix(TColor a, TColor b, double t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t,
            a.A + (b.A - a.A) * t};
}

TColor Lighter(TColor c, double t) {
    return Mix(c, {1, 1, 1, c.A}, t);
}
TColor Darker(TColor c, double t) {
    return Mix(c, {0, 0, 0, c.A}, t);
}
TColor WithAlpha(TColor c, double alpha) {
    return {c.R, c.G, c.B, alpha};
}

TColor Grey(TColor c) {
    double y = 0.3 * c.R + 0.59 * c.G + 0.11 * c.B;
    return {y, y, y, c.A};
}

void SetColor(cairo_t* cr, TColor c) {
    cairo_set_source_rgba(cr, c.R, c.G, c.B, c.A);
}

void RoundedRect(cairo_t* cr, TBox b, double radius) {
    double r = std::min({radius, b.W / 2, b.H / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, b.Right() - r, b.Y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, b.Right() - r, b.Bottom() - r, r, 0, M_PI / 2);
    cairo_arc(cr, b.X + r, b.Bottom() - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, b.X + r, b.Y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void ChamferRect(cairo_t* cr, TBox b, double cut) {
    double c = std::min({cut, b.W / 2, b.H / 2});
    cairo_new_sub_path(cr);
    cairo_move_to(cr, b.X + c, b.Y);
    cairo_line_to(cr, b.Right() - c, b.Y);
    cairo_line_to(cr, b.Right(), b.Y + c);
    cairo_line_to(cr, b.Right(), b.Bottom() - c);
    cairo_line_to(cr, b.Right() - c, b.Bottom());
    cairo_line_to(cr, b.X + c, b.Bottom());
    cairo_line_to(cr, b.X, b.Bottom() - c);
    cairo_line_to(cr, b.X, b.Y + c);
    cairo_close_path(cr);
}

void Circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_close_path(cr);
}

static void AddStops(cairo_pattern_t* p, TStops stops) {
    for (const auto& [offset, c] : stops) {
        cairo_pattern_add_color_stop_rgba(p, offset, c.R, c.G, c.B, c.A);
    }
}

static void FillWith(cairo_t* cr, cairo_pattern_t* p, bool preserve) {
    cairo_set_source(cr, p);
    if (preserve) {
        cairo_fill_preserve(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(p);
}

void FillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, TStops stops,
                bool preserve) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    AddStops(p, stops);
    FillWith(cr, p, preserve);
}

void FillRadial(cairo_t* cr, double cx, double cy, double r0, double r1, TStops stops,
                bool preserve) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
    AddStops(p, stops);
    FillWith(cr, p, preserve);
}

void FillVertical(cairo_t* cr, TBox b, TColor top, TColor bottom, bool preserve) {
    FillLinear(cr, 0, b.Y, 0, b.Bottom(), {{0, top}, {1, bottom}}, preserve);
}

// One horizontal and one vertical running-sum pass over a single byte channel.
static void BoxPass(uint8_t* data, int w, int h, int stride, int step, int r) {
    std::vector<uint8_t> line(static_cast<size_t>(std::max(w, h)));
    auto run = [&](uint8_t* base, int count, int pitch) {
        for (int i = 0; i < count; ++i) line[static_cast<size_t>(i)] = base[i * pitch];
        int sum = 0;
        int window = 2 * r + 1;
        for (int i = -r; i <= r; ++i) sum += line[static_cast<size_t>(std::clamp(i, 0, count - 1))];
        for (int i = 0; i < count; ++i) {
            base[i * pitch] = static_cast<uint8_t>((sum + window / 2) / window);
            int out = std::clamp(i - r, 0, count - 1);
            int in = std::clamp(i + r + 1, 0, count - 1);
            sum += line[static_cast<size_t>(in)] - line[static_cast<size_t>(out)];
        }
    };
    for (int y = 0; y < h; ++y) run(data + y * stride, w, step);
    for (int x = 0; x < w; ++x) run(data + x * step, h, stride);
}

void BlurSurface(cairo_surface_t* surface, double radius) {
    int r = static_cast<int>(std::lround(radius / 1.7));
    if (r < 1) return;
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    bool argb = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    int channels = argb ? 4 : 1;
    for (int c = 0; c < channels; ++c) {
        for (int pass = 0; pass < 3; ++pass) BoxPass(data + c, w, h, stride, channels, r);
    }
    cairo_surface_mark_dirty(surface);
}

// The device-space rectangle that path covers, grown by margin and kept on the target.
struct TMaskArea {
    int X = 0, Y = 0, W = 0, H = 0;
};

static TMaskArea PathArea(cairo_t* cr, const TPathFn& path, int margin) {
    cairo_save(cr);
    cairo_new_path(cr);
    path(cr);
    double x0, y0, x1, y1;
    cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    cairo_new_path(cr);
    double xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr, &xs[i], &ys[i]);
        minX = std::min(minX, xs[i]);
        maxX = std::max(maxX, xs[i]);
        minY = std::min(minY, ys[i]);
        maxY = std::max(maxY, ys[i]);
    }
    cairo_restore(cr);
    cairo_surface_t* target = cairo_get_target(cr);
    int tw = cairo_image_surface_get_width(target);
    int th = cairo_image_surface_get_height(target);
    TMaskArea a;
    a.X = std::clamp(static_cast<int>(std::floor(minX)) - margin, 0, tw);
    a.Y = std::clamp(static_cast<int>(std::floor(minY)) - margin, 0, th);
    a.W = std::clamp(static_cast<int>(std::ceil(maxX)) + margin, 0, tw) - a.X;
    a.H = std::clamp(static_cast<int>(std::ceil(maxY)) + margin, 0, th) - a.Y;
    return a;
}

// Renders path (moved by dx, dy device pixels) into an A8 mask over area and blurs it. An
// inverted mask covers everything but the shape.
static cairo_surface_t* BlurredMask(cairo_t* cr, const TMaskArea& a, const TPathFn& path,
                                    double radius, double dx, double dy, bool invert) {
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, a.W, a.H);
    cairo_t* m = cairo_create(mask);
    if (invert) {
        cairo_set_source_rgba(m, 0, 0, 0, 1);
        cairo_paint(m);
        cairo_set_operator(m, CAIRO_OPERATOR_CLEAR);
    }
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    ctm.x0 += dx - a.X;
    ctm.y0 += dy - a.Y;
    cairo_set_matrix(m, &ctm);
    path(m);
    cairo_set_source_rgba(m, 0, 0, 0, 1);
    cairo_fill(m);
    cairo_destroy(m);
    BlurSurface(mask, radius);
    return mask;
}

static void PaintMask(cairo_t* cr, cairo_surface_t* mask, const TMaskArea& a, TColor color) {
    cairo_identity_matrix(cr);
    SetColor(cr, color);
    cairo_mask_surface(cr, mask, a.X, a.Y);
    cairo_surface_destroy(mask);
}

static int BlurMargin(double radius, double dx, double dy) {
    return static_cast<int>(std::ceil(radius * 2 + std::max(std::fabs(dx), std::fabs(dy)) + 2));
}

void SoftShadow(cairo_t* cr, const TPathFn& path, double radius, double dx, double dy,
                TColor color) {
    TMaskArea a = PathArea(cr, path, BlurMargin(radius, dx, dy));
    if (a.W <= 0 || a.H <= 0) return;
    cairo_surface_t* mask = BlurredMask(cr, a, path, radius, dx, dy, false);
    cairo_save(cr);
    PaintMask(cr, mask, a, color);
    cairo_restore(cr);
}

void InnerShadow(cairo_t* cr, const TPathFn& path, double radius, double dx, double dy,
                 TColor color) {
    TMaskArea a = PathArea(cr, path, BlurMargin(radius, dx, dy));
    if (a.W <= 0 || a.H <= 0) return;
    cairo_surface_t* mask = BlurredMask(cr, a, path, radius, dx, dy, true);
    cairo_save(cr);
    path(cr);
    cairo_clip(cr);
    PaintMask(cr, mask, a, color);
    cairo_restore(cr);
}
