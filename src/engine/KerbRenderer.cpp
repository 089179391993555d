#include "engine/KerbRenderer.h"

#include <cmath>
#include <numbers>

#include "engine/ScreenDevice.h"

namespace {
uint32_t Tint(uint32_t color, uint32_t tint) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t c = (color >> shift) & 0xFFu, t = (tint >> shift) & 0xFFu;
        out |= ((c * t) >> 8) << shift;
    }
    return out;
}
}  // namespace

TQuad ApplyScreenTransform(const TScreenDevice& device, const TQuad& quad) {
    TQuad out = quad;
    const uint32_t tint = device.Color();
    const TScreenTransform screen = device.Transform();
    for (TQuadCorner& c : out) c.Color = Tint(c.Color, tint);
    const bool identity = screen.ScaleX == 1.0f && screen.ScaleY == 1.0f &&
                          screen.Rotation == 0.0f && screen.OffsetX == 0 && screen.OffsetY == 0;
    // With the usual settings the positions stay exactly as they came.
    if (identity) return out;
    const double rad = static_cast<double>(screen.Rotation) * std::numbers::pi / 180.0;
    const double cs = std::cos(rad), sn = std::sin(rad);
    const double cx = screen.CenterX, cy = screen.CenterY;
    for (TQuadCorner& c : out) {
        const double dx = (static_cast<double>(c.X) - cx) * screen.ScaleX;
        const double dy = (static_cast<double>(c.Y) - cy) * screen.ScaleY;
        c.X = static_cast<float>(cx + dx * cs - dy * sn + screen.OffsetX);
        c.Y = static_cast<float>(cy + dx * sn + dy * cs + screen.OffsetY);
    }
    return out;
}

void TKerbRenderer::SetBlendMode(int32_t mode) {
    if (Screen != nullptr) Screen->SetBlendMode(mode);
}

void TKerbRenderer::SetAdditive(bool additive) {
    if (Screen != nullptr) Screen->SetAdditive(additive);
}

void TKerbRenderer::RenderQuad(const TKerbTexture& texture, const TQuad& quad) {
    if (Screen == nullptr) return;
    Screen->DrawQuad(texture, ApplyScreenTransform(*Screen, quad));
}
