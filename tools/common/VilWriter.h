// Writes image-list (.vil) files: the resource-entry header, then the "TPF0" object stream
// with one "List" collection of items. Used by the asset generator, viltool and the tests
// that build small files by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TVilItem {
    std::string Name;
    std::vector<uint8_t> Png;  // a whole PNG file; empty = no picture
    int32_t TileWidth = 0;     // 0 = the picture's width
    int32_t TileHeight = 0;
    uint32_t TransparentColor = 0;  // 0x00BBGGRR
    bool Transparent = false;
};

// The bytes of a .vil file holding items in order.
std::vector<uint8_t> WriteVil(const std::vector<TVilItem>& items);
// Writes the file atomically (a temporary file renamed over the target). False on failure.
bool WriteVilFile(const std::string& path, const std::vector<TVilItem>& items);
