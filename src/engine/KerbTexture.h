// A picture on the drawing device, plus the CPU-side copy of its texels that the sprite
// engine's texel collision test reads. Texels are 32-bit ARGB (alpha in the high byte) with
// colour-keyed texels stored as 0. Width/Height are the texture's size (powers of two), which
// may be larger than the picture it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/ModulatedBlend.h"

struct SDL_Texture;

struct TKerbTexture {
    SDL_Texture* Handle = nullptr;  // owned; null while no device exists
    // Tells this device texture from every other one made before or after (never reused, unlike
    // addresses): what the screen keeps about a texture's pictures is filed under it.
    uint64_t Serial = 0;
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Texels;  // Width * Height, row by row
    // The texels with the colour they are drawn in applied, for the screen's own blending on
    // the software renderer: made when first needed, dropped with the device texture.
    mutable TPreparedTexels Prepared;

    TKerbTexture() = default;
    ~TKerbTexture();
    TKerbTexture(const TKerbTexture&) = delete;
    TKerbTexture& operator=(const TKerbTexture&) = delete;

    // The texel at (x, y), or 0 outside the texture.
    uint32_t TexelAt(int32_t x, int32_t y) const {
        if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
        return Texels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
    // Drops the device texture (the texels stay, so it can be made again).
    void ReleaseHandle();
};
