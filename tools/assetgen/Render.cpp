#include "Render.h"

#include <cstdio>

#include "Canvas.h"
#include "PngEncode.h"

static void DrawSheet(const TArtItem& item, TCanvas& canvas) {
    cairo_t* cr = canvas.Cr();
    for (int i = 0; i < item.Patterns; ++i) {
        cairo_save(cr);
        cairo_translate(cr, (i % item.Columns) * item.TileW, (i / item.Columns) * item.TileH);
        cairo_rectangle(cr, 0, 0, item.TileW, item.TileH);
        cairo_clip(cr);
        cairo_new_path(cr);
        item.Draw({cr, item.TileW, item.TileH, i});
        cairo_restore(cr);
    }
}

TVilItem TRenderer::RenderItem(const TArtItem& item) {
    TCanvas canvas(item.SheetW(), item.SheetH());
    DrawSheet(item, canvas);
    if (cairo_status(canvas.Cr()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "assetgen: drawing %s failed: %s\n", item.Name.c_str(),
                     cairo_status_to_string(cairo_status(canvas.Cr())));
    }
    std::vector<uint32_t> argb = canvas.StraightArgb();
    TVilItem out;
    out.Name = item.Name;
    out.Png = EncodePng(canvas.Width(), canvas.Height(), argb.data());
    out.TileWidth = item.TileW;
    out.TileHeight = item.TileH;
    if (!PngDir.empty()) {
        std::string path = PngDir + "/" + item.Name + ".png";
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(out.Png.data(), 1, out.Png.size(), f);
            std::fclose(f);
        }
    }
    ++DrawnCount;
    return out;
}

std::vector<TVilItem> TRenderer::RenderList(const std::vector<TArtItem>& items) {
    std::vector<TVilItem> out;
    out.reserve(items.size());
    for (const TArtItem& item : items) out.push_back(RenderItem(item));
    return out;
}
