// PNG encoding for the tools: straight (non-premultiplied) 32-bit ARGB pixels in, the bytes
// of an 8-bit RGBA PNG file out. The same pixels always give the same bytes (no time stamp,
// fixed compression settings), so generated data files do not change between builds.
#pragma once

#include <cstdint>
#include <vector>

// argb holds w * h pixels, row by row, alpha in the high byte. Empty on failure.
std::vector<uint8_t> EncodePng(int w, int h, const uint32_t* argb);
