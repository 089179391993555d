#include "Render.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

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

TVilItem TRenderer::RenderItem(const TArtItem& item) const {
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
    return out;
}

std::vector<TVilItem> TRenderer::RenderList(const std::vector<TArtItem>& items) {
    // Pictures are independent, so they are drawn on several threads; each result goes to
    // its own slot, which keeps the list order and the output bytes the same every time.
    std::vector<TVilItem> out(items.size());
    std::vector<double> seconds(items.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < items.size(); i = next++) {
            auto start = std::chrono::steady_clock::now();
            out[i] = RenderItem(items[i]);
            seconds[i] =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    };
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < threads; ++i) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    for (size_t i = 0; i < items.size(); ++i) Times.emplace_back(items[i].Name, seconds[i]);
    DrawnCount += static_cast<int>(items.size());
    return out;
}
