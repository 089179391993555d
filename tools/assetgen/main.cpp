// assetgen: draws the game's pictures and writes Data/data1.vil and Data/data2.vil.
//   assetgen --out DIR [--font FILE] [--fallback-font FILE] [--png DIR] [--only NAME]
//            [--timings]
//   assetgen --icons DIR
// --icons writes only the program's desktop icons (velkaro-SIZE.png) into DIR.
// --png also writes every sheet as a PNG file for review; --only draws the named pictures
// (comma-separated) into the PNG folder and writes no image lists; --timings lists the
// slowest pictures.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <set>
#include <string>

#include "Icon.h"
#include "Manifest.h"
#include "Render.h"
#include "Text.h"
#include "VilWriter.h"

namespace {

struct TOptions {
    std::string Out, Font, Fallback, PngDir, IconDir;
    std::set<std::string> Only;
    bool Timings = false;
};

bool ParseArgs(int argc, char** argv, TOptions& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--timings") {
            o.Timings = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (arg == "--out") {
            o.Out = value;
        } else if (arg == "--font") {
            o.Font = value;
        } else if (arg == "--fallback-font") {
            o.Fallback = value;
        } else if (arg == "--icons") {
            o.IconDir = value;
        } else if (arg == "--png") {
            o.PngDir = value;
        } else if (arg == "--only") {
            std::stringstream names(value);
            for (std::string n; std::getline(names, n, ',');) o.Only.insert(n);
        } else {
            return false;
        }
    }
    return !o.Out.empty() || !o.IconDir.empty() || (!o.Only.empty() && !o.PngDir.empty());
}

int DrawSelected(const TOptions& o) {
    TRenderer renderer(o.PngDir);
    std::vector<TArtItem> selected;
    for (const auto& list : {MenuListItems(), RaceListItems()}) {
        for (const TArtItem& item : list) {
            if (o.Only.count(item.Name)) selected.push_back(item);
        }
    }
    renderer.RenderList(selected);
    std::printf("assetgen: drew %d pictures into %s\n", renderer.Drawn(), o.PngDir.c_str());
    return 0;
}

void PrintSlowest(const TRenderer& renderer) {
    auto times = renderer.Timings();
    std::sort(times.begin(), times.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    for (size_t i = 0; i < times.size() && i < 12; ++i) {
        std::printf("  %-20s %6.1f ms\n", times[i].first.c_str(), times[i].second * 1000);
    }
}

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseArgs(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: assetgen --out DIR [--font FILE] [--fallback-font FILE] "
                     "[--png DIR] [--only NAME,...]\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    // The icons carry no lettering: they need no font, and asking for none keeps the build
    // from warning about a font it was never given.
    if (!options.IconDir.empty()) {
        if (WriteIcons(options.IconDir)) return 0;
        std::fprintf(stderr, "assetgen: cannot write the icons into %s\n", options.IconDir.c_str());
        return 1;
    }
    if (!LoadFont(options.Font, options.Fallback)) {
        std::fprintf(stderr, "assetgen: no font could be read; using cairo's own\n");
    }
    if (!options.Only.empty()) return DrawSelected(options);

    TRenderer renderer(options.PngDir);
    std::vector<TVilItem> menu = renderer.RenderList(MenuListItems());
    std::vector<TVilItem> race = renderer.RenderList(RaceListItems());
    bool ok = WriteVilFile(options.Out + "/data1.vil", menu) &&
              WriteVilFile(options.Out + "/data2.vil", race);
    if (!ok) {
        std::fprintf(stderr, "assetgen: cannot write the image lists into %s\n",
                     options.Out.c_str());
        return 1;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("assetgen: %zu + %zu pictures (%d drawn) with %s in %.2f s\n", menu.size(),
                race.size(), renderer.Drawn(), LoadedFontPath().c_str(), seconds);
    if (options.Timings) PrintSlowest(renderer);
    return 0;
}
