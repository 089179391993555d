// Turns manifest items into image-list items: draws every pattern into one sheet and
// encodes it as PNG.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Manifest.h"
#include "VilWriter.h"

class TRenderer {
public:
    // When pngDir is set, every sheet is also written there as NAME.png for review.
    explicit TRenderer(std::string pngDir = "") : PngDir(std::move(pngDir)) {}
    std::vector<TVilItem> RenderList(const std::vector<TArtItem>& items);
    TVilItem RenderItem(const TArtItem& item) const;
    int Drawn() const { return DrawnCount; }
    // Seconds spent on each picture, in drawing order, for finding the slow ones.
    const std::vector<std::pair<std::string, double>>& Timings() const { return Times; }

private:
    std::string PngDir;
    int DrawnCount = 0;
    std::vector<std::pair<std::string, double>> Times;
};
