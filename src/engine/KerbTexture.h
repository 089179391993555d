// A picture on the drawing device and its texels, which the sprite engine's texel collision
// test and the screen's own blending read. Texels are 32-bit ARGB (alpha in the high byte) with
// colour-keyed texels stored as 0. Width/Height are the texture's size: the picture's own
// (at least 2 each, so that texture coordinates stay those of a texture).
// The texels are kept once: on the software renderer the device texture is itself memory the
// program can read, so they live there (Shared) and the own copy is dropped; elsewhere they
// live in Texels. Releasing the device texture moves them back into Texels first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/ModulatedBlend.h"

struct SDL_Texture;

// How device textures are destroyed. The screen that makes them sets it when it makes its
// renderer; the texture itself knows nothing of SDL, so the image lists build without it.
using TTextureHandleRelease = void (*)(SDL_Texture*);
void SetTextureHandleRelease(TTextureHandleRelease release);

struct TKerbTexture {
    SDL_Texture* Handle = nullptr;  // owned; null while no device exists
    // Tells this device texture from every other one made before or after (never reused, unlike
    // addresses): what the screen keeps about a texture's pictures is filed under it.
    uint64_t Serial = 0;
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Texels;      // Width * Height, row by row; empty while Shared is set
    const uint32_t* Shared = nullptr;  // the device texture's own texels (software renderer)
    // Drawn turned or scaled at least once: filtered linearly from then on. Upright copies at
    // 1:1 on whole pixels sample texel centres, where nearest filtering gives the same pixels
    // for less work.
    mutable bool Linear = false;
    // The texels with the colour they are drawn in applied, for the screen's own blending on
    // the software renderer: made when first needed, dropped with the device texture.
    mutable TPreparedTexels Prepared;

    TKerbTexture() = default;
    ~TKerbTexture();
    TKerbTexture(const TKerbTexture&) = delete;
    TKerbTexture& operator=(const TKerbTexture&) = delete;

    // The texels, row by row (Width * Height of them), or null when there are none.
    const uint32_t* Data() const {
        if (Shared != nullptr) return Shared;
        return Texels.size() == TexelCount() ? Texels.data() : nullptr;
    }
    size_t TexelCount() const {
        return static_cast<size_t>(Width > 0 ? Width : 0) *
               static_cast<size_t>(Height > 0 ? Height : 0);
    }
    bool HasTexels() const { return Data() != nullptr && TexelCount() > 0; }
    // The texel at (x, y), or 0 outside the texture.
    uint32_t TexelAt(int32_t x, int32_t y) const {
        const uint32_t* data = Data();
        if (data == nullptr || x < 0 || y < 0 || x >= Width || y >= Height) return 0;
        return data[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
    // Drops the device texture; the texels stay (moved back into Texels when they lived in
    // it), so it can be made again.
    void ReleaseHandle();
    // Drops the device texture and the texels with it (a picture that rests).
    void DropTexels();
};
