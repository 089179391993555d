// The draw operations of an image-list item. All of them end in DrawQuad, which works out the
// four corners of the quad (texture coordinates, flips, the half-pixel offset, rotation and
// scale about the rotation centre) and hands them to the list's renderer.
#include <cmath>
#include <numbers>

#include "engine/ImageList.h"

namespace {
struct TQuadParams {
    float Left, Top, Width, Height;  // the unrotated quad in screen pixels
    float CenterX, CenterY;          // rotation centre in screen pixels
    float ULeft, VTop, URight, VBottom;
    float Angle, ScaleX, ScaleY;
    uint32_t Colors[4];  // TL, TR, BR, BL
    bool MirrorY, MirrorX;
};

uint32_t PackArgb(int32_t a, int32_t r, int32_t g, int32_t b) {
    return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
           (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
}

TQuad BuildQuad(const TQuadParams& p) {
    float uL = p.ULeft, uR = p.URight, vT = p.VTop, vB = p.VBottom;
    if (p.MirrorX) std::swap(uL, uR);
    if (p.MirrorY) std::swap(vT, vB);
    const float xs[4] = {p.Left, p.Left + p.Width, p.Left + p.Width, p.Left};
    const float ys[4] = {p.Top, p.Top, p.Top + p.Height, p.Top + p.Height};
    const float us[4] = {uL, uR, uR, uL};
    const float vs[4] = {vT, vT, vB, vB};
    const double rad = static_cast<double>(p.Angle) * std::numbers::pi / 180.0;
    const double c = std::cos(rad), s = std::sin(rad);
    TQuad quad;
    for (int i = 0; i < 4; ++i) {
        const double dx = static_cast<double>(xs[i] - 0.5f) - p.CenterX;
        const double dy = static_cast<double>(ys[i] - 0.5f) - p.CenterY;
        quad[i].X = static_cast<float>(p.CenterX + dx * p.ScaleX * c - dy * p.ScaleY * s);
        quad[i].Y = static_cast<float>(p.CenterY + dx * p.ScaleX * s + dy * p.ScaleY * c);
        quad[i].U = us[i];
        quad[i].V = vs[i];
        quad[i].Color = p.Colors[i];
    }
    return quad;
}
}  // namespace

class TImageListItemDrawer {
public:
    // Texture coordinates of a pattern (clamped to the last one), or of the whole picture
    // for -1; also gives the quad's size.
    static void PatternCoords(const TImageListItem& item, int32_t patternIndex, TQuadParams& p) {
        const float tw = static_cast<float>(item.TextureWidth);
        const float th = static_cast<float>(item.TextureHeight);
        if (patternIndex == -1) {
            p.ULeft = 0;
            p.VTop = 0;
            p.URight = static_cast<float>(item.ImageWidth) / tw;
            p.VBottom = static_cast<float>(item.ImageHeight) / th;
            p.Width = static_cast<float>(item.ImageWidth);
            p.Height = static_cast<float>(item.ImageHeight);
            return;
        }
        const int32_t columns = item.PatternColumns > 0 ? item.PatternColumns : 1;
        const int32_t last = item.PatternRows * columns - 1;
        if (patternIndex > last) patternIndex = last;
        if (patternIndex < 0) patternIndex = 0;
        const float left = static_cast<float>((patternIndex % columns) * item.TileWidth);
        const float top = static_cast<float>((patternIndex / columns) * item.TileHeight);
        p.ULeft = left / tw;
        p.URight = (left + static_cast<float>(item.TileWidth)) / tw;
        p.VTop = top / th;
        p.VBottom = (top + static_cast<float>(item.TileHeight)) / th;
        p.Width = static_cast<float>(item.TileWidth);
        p.Height = static_cast<float>(item.TileHeight);
    }

    static void Render(TImageListItem& item, TQuadParams& p, int32_t blendMode) {
        if (item.Renderer == nullptr || !item.Texture || !item.Use()) return;
        if (p.ScaleX == 0.0f) p.ScaleX = 1.0f;
        if (p.ScaleY == 0.0f) p.ScaleY = 1.0f;
        if (blendMode != -1) item.Renderer->SetBlendMode(blendMode);
        item.Renderer->RenderQuad(*item.Texture, BuildQuad(p));
    }
};

void TImageListItem::Draw(int32_t x, int32_t y, int32_t patternIndex) {
    DrawEx(x, y, 0, 0, 0, 1, 1, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, false, false,
           patternIndex, 0);
}

void TImageListItem::DrawColor(int32_t x, int32_t y, float angle, float centerX, float centerY,
                               float scaleX, float scaleY, uint32_t color, bool mirrorY,
                               bool mirrorX, int32_t patternIndex, int32_t blendMode) {
    DrawEx(x, y, angle, centerX, centerY, scaleX, scaleY, color, color, color, color, mirrorY,
           mirrorX, patternIndex, blendMode);
}

void TImageListItem::DrawAdd(int32_t x, int32_t y, float angle, float centerX, float centerY,
                             float scaleX, float scaleY, int32_t red, int32_t green, int32_t blue,
                             int32_t alpha, bool additive, int32_t patternIndex,
                             int32_t blendMode) {
    if (Renderer != nullptr) Renderer->SetAdditive(additive);
    const uint32_t color = PackArgb(alpha, red, green, blue);
    DrawEx(x, y, angle, centerX, centerY, scaleX, scaleY, color, color, color, color, false, false,
           patternIndex, blendMode);
}

void TImageListItem::DrawEx(int32_t x, int32_t y, float angle, float centerX, float centerY,
                            float scaleX, float scaleY, uint32_t colorTL, uint32_t colorTR,
                            uint32_t colorBR, uint32_t colorBL, bool mirrorY, bool mirrorX,
                            int32_t patternIndex, int32_t blendMode) {
    TQuadParams p{};
    TImageListItemDrawer::PatternCoords(*this, patternIndex, p);
    p.Left = static_cast<float>(x);
    p.Top = static_cast<float>(y);
    p.CenterX = p.Left + centerX * p.Width;
    p.CenterY = p.Top + centerY * p.Height;
    p.Angle = angle;
    p.ScaleX = scaleX;
    p.ScaleY = scaleY;
    p.Colors[0] = colorTL;
    p.Colors[1] = colorTR;
    p.Colors[2] = colorBR;
    p.Colors[3] = colorBL;
    p.MirrorY = mirrorY;
    p.MirrorX = mirrorX;
    TImageListItemDrawer::Render(*this, p, blendMode);
}

void TImageListItem::DrawStretch(const TRect& rect, int32_t offsetX, int32_t offsetY, float angle,
                                 float centerX, float centerY, float scaleX, float scaleY,
                                 int32_t red, int32_t green, int32_t blue, int32_t alpha,
                                 bool mirrorY, bool mirrorX, int32_t patternIndex,
                                 int32_t blendMode) {
    TQuadParams p{};
    TImageListItemDrawer::PatternCoords(*this, patternIndex, p);
    // The rotation centre is a fraction of the tile (or picture) size, not of the rectangle.
    const float tileW = p.Width, tileH = p.Height;
    p.Left = static_cast<float>(rect.Left + offsetX);
    p.Top = static_cast<float>(rect.Top + offsetY);
    p.Width = static_cast<float>(rect.Right - rect.Left);
    p.Height = static_cast<float>(rect.Bottom - rect.Top);
    p.CenterX = p.Left + centerX * tileW;
    p.CenterY = p.Top + centerY * tileH;
    p.Angle = angle;
    p.ScaleX = scaleX;
    p.ScaleY = scaleY;
    const uint32_t color = PackArgb(alpha, red, green, blue);
    for (uint32_t& c : p.Colors) c = color;
    p.MirrorY = mirrorY;
    p.MirrorX = mirrorX;
    TImageListItemDrawer::Render(*this, p, blendMode);
}

void TImageListItem::DrawPart(const TRect& source, int32_t x, int32_t y, float angle, float centerX,
                              float centerY, float scaleX, float scaleY, int32_t red, int32_t green,
                              int32_t blue, int32_t alpha, bool mirrorY, bool mirrorX,
                              int32_t blendMode) {
    TQuadParams p{};
    const float tw = static_cast<float>(TextureWidth), th = static_cast<float>(TextureHeight);
    p.ULeft = static_cast<float>(source.Left) / tw;
    p.URight = static_cast<float>(source.Right) / tw;
    p.VTop = static_cast<float>(source.Top) / th;
    p.VBottom = static_cast<float>(source.Bottom) / th;
    p.Left = static_cast<float>(x);
    p.Top = static_cast<float>(y);
    p.Width = static_cast<float>(source.Right - source.Left);
    p.Height = static_cast<float>(source.Bottom - source.Top);
    p.CenterX = p.Left + centerX * p.Width;
    p.CenterY = p.Top + centerY * p.Height;
    p.Angle = angle;
    p.ScaleX = scaleX;
    p.ScaleY = scaleY;
    const uint32_t color = PackArgb(alpha, red, green, blue);
    for (uint32_t& c : p.Colors) c = color;
    p.MirrorY = mirrorY;
    p.MirrorX = mirrorX;
    TImageListItemDrawer::Render(*this, p, blendMode);
}
