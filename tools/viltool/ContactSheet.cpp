#include "ContactSheet.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kColumns = 6;
constexpr int kCellSize = 160;  // the picture area of a cell, square
constexpr int kLabelHeight = 30;
constexpr int kMargin = 8;
constexpr int kChecker = 8;

using TSurface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using TContext = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

// The picture as the game shows it: the colour key applied (an opaque texel of the key's
// colour becomes transparent), premultiplied for cairo.
TSurface PictureSurface(const TImageListItem& item) {
    const TPicture& picture = item.Picture;
    TSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.Width, picture.Height),
                     cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return surface;
    cairo_surface_flush(surface.get());
    const uint32_t c = item.TransparentColor;
    const uint32_t key = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < picture.Height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < picture.Width; ++x) {
            uint32_t p = picture.Pixels[static_cast<size_t>(y) * picture.Width + x];
            if (item.Transparent && p == key) p = 0;
            const uint32_t a = p >> 24;
            const auto scale = [a](uint32_t v) { return (v * a + 127) / 255; };
            row[x] = (a << 24) | (scale((p >> 16) & 0xFF) << 16) | (scale((p >> 8) & 0xFF) << 8) |
                     scale(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void DrawChecker(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    for (int cy = 0; cy * kChecker < h; ++cy)
        for (int cx = 0; cx * kChecker < w; ++cx) {
            const double shade = (cx + cy) % 2 == 0 ? 0.80 : 0.62;
            cairo_set_source_rgb(cr, shade, shade, shade);
            cairo_rectangle(cr, x + cx * kChecker, y + cy * kChecker, kChecker, kChecker);
            cairo_fill(cr);
        }
    cairo_restore(cr);
}

// Outlines the tiles, so that a wrong tile size is visible at a glance.
void DrawTileGrid(cairo_t* cr, const TImageListItem& item, double x, double y, double scale) {
    if (item.TileWidth < 1 || item.TileHeight < 1 || item.PatternCount() <= 1) return;
    cairo_save(cr);
    cairo_set_source_rgba(cr, 0.0, 0.6, 1.0, 0.7);
    cairo_set_line_width(cr, 1.0);
    for (int32_t tx = item.TileWidth; tx < item.ImageWidth; tx += item.TileWidth) {
        cairo_move_to(cr, x + tx * scale + 0.5, y);
        cairo_line_to(cr, x + tx * scale + 0.5, y + item.ImageHeight * scale);
    }
    for (int32_t ty = item.TileHeight; ty < item.ImageHeight; ty += item.TileHeight) {
        cairo_move_to(cr, x, y + ty * scale + 0.5);
        cairo_line_to(cr, x + item.ImageWidth * scale, y + ty * scale + 0.5);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawLabel(cairo_t* cr, const TImageListItem& item, double x, double y) {
    char detail[96];
    if (item.Picture.Empty())
        std::snprintf(detail, sizeof detail, "no picture");
    else
        std::snprintf(detail, sizeof detail, "%dx%d  %d pattern%s", item.ImageWidth,
                      item.ImageHeight, item.PatternCount(), item.PatternCount() == 1 ? "" : "s");
    cairo_save(cr);
    cairo_rectangle(cr, x, y, kCellSize, kLabelHeight);
    cairo_clip(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 11);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_move_to(cr, x + 2, y + 12);
    cairo_show_text(cr, item.Name.c_str());
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10);
    cairo_set_source_rgb(cr, 0.7, 0.75, 0.8);
    cairo_move_to(cr, x + 2, y + 25);
    cairo_show_text(cr, detail);
    cairo_restore(cr);
}

void DrawCell(cairo_t* cr, const TImageListItem& item, double x, double y) {
    DrawChecker(cr, x, y, kCellSize, kCellSize);
    if (!item.Picture.Empty()) {
        const double scale = std::min(
            {1.0, double(kCellSize) / item.Picture.Width, double(kCellSize) / item.Picture.Height});
        const double w = item.Picture.Width * scale, h = item.Picture.Height * scale;
        const double px = x + (kCellSize - w) / 2, py = y + (kCellSize - h) / 2;
        TSurface picture = PictureSurface(item);
        cairo_save(cr);
        cairo_translate(cr, px, py);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, picture.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr),
                                 scale < 1.0 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        DrawTileGrid(cr, item, px, py, scale);
    }
    DrawLabel(cr, item, x, y + kCellSize);
}
}  // namespace

bool WriteContactSheet(TImageListCollection& list, const std::string& pngPath) {
    const int count = std::max(list.Count(), 1);
    const int columns = std::min(count, kColumns);
    const int rows = (count + columns - 1) / columns;
    const int width = kMargin + columns * (kCellSize + kMargin);
    const int height = kMargin + rows * (kCellSize + kLabelHeight + kMargin);
    TSurface sheet(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height),
                   cairo_surface_destroy);
    TContext cr(cairo_create(sheet.get()), cairo_destroy);
    cairo_set_source_rgb(cr.get(), 0.16, 0.17, 0.19);
    cairo_paint(cr.get());
    for (int32_t i = 0; i < list.Count(); ++i) {
        const double x = kMargin + (i % columns) * (kCellSize + kMargin);
        const double y = kMargin + (i / columns) * (kCellSize + kLabelHeight + kMargin);
        DrawCell(cr.get(), *list.Items(i), x, y);
    }
    cairo_surface_flush(sheet.get());
    const cairo_status_t status = cairo_surface_write_to_png(sheet.get(), pngPath.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "viltool: cannot write %s: %s\n", pngPath.c_str(),
                     cairo_status_to_string(status));
        return false;
    }
    return true;
}
