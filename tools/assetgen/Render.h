// Turns manifest items into image-list items: draws every pattern into one sheet and
// encodes it as PNG.
#pragma once

#include <string>
#include <vector>

#include "Manifest.h"
#include "VilWriter.h"

class TRenderer {
public:
    // When pngDir is set, every sheet is also written there as NAME.png for review.
    explicit TRenderer(std::string pngDir = "") : PngDir(std::move(pngDir)) {}
    std::vector<TVilItem> RenderList(const std::vector<TArtItem>& items);
    TVilItem RenderItem(const TArtItem& item);
    int Drawn() const { return DrawnCount; }

private:
    std::string PngDir;
    int DrawnCount = 0;
};
