// TKerbRenderer: the quad renderer that one image list shares among its items. An item's draw
// operation works out the four corners (position after its own rotation and scale, texture
// coordinates, colour) and hands the quad to the renderer, which applies the screen's global
// transform and sends it to the screen. Depends on the TScreenDevice interface for the actual
// drawing; with no screen linked, quads go nowhere. Tests derive from it to record quads.
#pragma once

#include <array>
#include <cstdint>

class TScreenDevice;
struct TKerbTexture;

// One corner of a quad: screen position, texture coordinate (0..1 of the texture) and packed
// ARGB colour.
struct TQuadCorner {
    float X = 0, Y = 0;
    float U = 0, V = 0;
    uint32_t Color = 0xFFFFFFFFu;
};

// Corners in the order top-left, top-right, bottom-right, bottom-left.
using TQuad = std::array<TQuadCorner, 4>;

class TKerbRenderer {
public:
    virtual ~TKerbRenderer() = default;

    TScreenDevice* Screen = nullptr;

    // Sets the screen's blend mode (-1 keeps the current one).
    virtual void SetBlendMode(int32_t mode);
    // Sets the destination blend factor for DrawAdd without touching the remembered mode.
    virtual void SetAdditive(bool additive);
    // Draws one textured quad; texture coordinates already carry any flips.
    virtual void RenderQuad(const TKerbTexture& texture, const TQuad& quad);
};

// The screen's global transform of a quad: every colour channel c becomes c * t div 256 (t the
// matching channel of the screen's tint), and positions are scaled by ScaleX/ScaleY and turned
// by Rotation degrees about (CenterX, CenterY), then moved by (OffsetX, OffsetY).
TQuad ApplyScreenTransform(const TScreenDevice& screen, const TQuad& quad);
