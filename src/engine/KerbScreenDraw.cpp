// How a quad reaches SDL. The result must be the pixels of a textured, coloured quad whose
// pixel centres sit on integer coordinates; SDL puts them at +0.5, so every position gets the
// half pixel back. The cheapest SDL call that draws the same pixels is chosen: a plain copy
// for an upright quad of one colour, a rotated copy for a turned one, and triangles only when
// the corners differ in colour (or the quad is skewed). SDL batches the calls. On the software
// renderer, plain and turned copies in a colour are blended by the screen itself instead, to
// the same pixels (KerbScreenBlend.cpp).
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "engine/KerbScreen.h"
#include "engine/KerbTexture.h"

namespace {
constexpr float Epsilon = 1e-3f;

bool Near(float a, float b) {
    return std::fabs(a - b) < Epsilon;
}

SDL_BlendFactor SdlFactor(TBlendFactor f) {
    switch (f) {
        case TBlendFactor::Zero:
            return SDL_BLENDFACTOR_ZERO;
        case TBlendFactor::One:
            return SDL_BLENDFACTOR_ONE;
        case TBlendFactor::SrcColor:
            return SDL_BLENDFACTOR_SRC_COLOR;
        case TBlendFactor::InvSrcColor:
            return SDL_BLENDFACTOR_ONE_MINUS_SRC_COLOR;
        case TBlendFactor::SrcAlpha:
            return SDL_BLENDFACTOR_SRC_ALPHA;
        case TBlendFactor::InvSrcAlpha:
            return SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA;
        case TBlendFactor::DestColor:
            return SDL_BLENDFACTOR_DST_COLOR;
        case TBlendFactor::InvDestColor:
            return SDL_BLENDFACTOR_ONE_MINUS_DST_COLOR;
    }
    return SDL_BLENDFACTOR_ONE;
}

SDL_BlendMode SdlStandard(TStandardBlend blend) {
    switch (blend) {
        case TStandardBlend::None:
            return SDL_BLENDMODE_NONE;
        case TStandardBlend::Blend:
            return SDL_BLENDMODE_BLEND;
        case TStandardBlend::Add:
            return SDL_BLENDMODE_ADD;
        case TStandardBlend::Mod:
            return SDL_BLENDMODE_MOD;
        case TStandardBlend::Mul:
            return SDL_BLENDMODE_MUL;
    }
    return SDL_BLENDMODE_BLEND;
}

void SetModulation(SDL_Texture* texture, uint32_t argb) {
    SDL_SetTextureColorMod(texture, static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                           static_cast<Uint8>(argb));
    SDL_SetTextureAlphaMod(texture, static_cast<Uint8>(argb >> 24));
}

// The texel rectangle a quad's texture coordinates cover, when it is a whole-texel rectangle
// inside the texture (anything else is left to the triangle path). flipU/flipV tell whether
// the coordinates run backwards across the quad.
bool SourceRect(const TKerbTexture& t, const TQuad& q, SDL_Rect& src, bool& flipU, bool& flipV) {
    if (!Near(q[0].U, q[3].U) || !Near(q[1].U, q[2].U) || !Near(q[0].V, q[1].V) ||
        !Near(q[3].V, q[2].V))
        return false;
    const float tw = static_cast<float>(t.Width), th = static_cast<float>(t.Height);
    const float u0 = q[0].U * tw, u1 = q[1].U * tw, v0 = q[0].V * th, v1 = q[3].V * th;
    const float r[4] = {std::round(u0), std::round(u1), std::round(v0), std::round(v1)};
    if (!Near(u0, r[0]) || !Near(u1, r[1]) || !Near(v0, r[2]) || !Near(v1, r[3])) return false;
    const int left = static_cast<int>(std::min(r[0], r[1]));
    const int right = static_cast<int>(std::max(r[0], r[1]));
    const int top = static_cast<int>(std::min(r[2], r[3]));
    const int bottom = static_cast<int>(std::max(r[2], r[3]));
    if (left < 0 || top < 0 || right > t.Width || bottom > t.Height) return false;
    if (right == left || bottom == top) return false;
    src = {left, top, right - left, bottom - top};
    flipU = r[1] < r[0];
    flipV = r[3] < r[2];
    return true;
}

// The first pixel whose centre (at +0.5) lies at or after edge: pixels are covered from
// the top-left edge inclusive to the bottom-right edge exclusive.
float FirstCovered(float edge) {
    return std::ceil(edge - 0.5f);
}
}  // namespace

void TKerbScreen::SetBlendMode(int32_t mode) {
    if (mode == -1 || mode == CurrentMode) return;
    CurrentMode = mode;
    ModeBlend = BlendStateForMode(mode);
    Blend = ModeBlend;
    AdditiveOverride = false;
    ++BlendChangeCount;
}

void TKerbScreen::SetAdditive(bool additive) {
    Blend.Dst = additive ? TBlendFactor::One : TBlendFactor::InvSrcAlpha;
    AdditiveOverride = true;
}

int TKerbScreen::ResolveBlend(SDL_Texture* probe) {
    const size_t key = static_cast<size_t>(Blend.Src) * 8 + static_cast<size_t>(Blend.Dst);
    if (ResolvedBlend[key] >= 0) return ResolvedBlend[key];
    TStandardBlend standard;
    SDL_BlendMode mode;
    if (ExactStandardBlend(Blend, standard)) {
        mode = SdlStandard(standard);
    } else {
        mode = SDL_ComposeCustomBlendMode(SdlFactor(Blend.Src), SdlFactor(Blend.Dst),
                                          SDL_BLENDOPERATION_ADD, SdlFactor(Blend.Src),
                                          SdlFactor(Blend.Dst), SDL_BLENDOPERATION_ADD);
        if (SDL_SetTextureBlendMode(probe, mode) != 0) {
            const bool standIn = NearestStandardBlend(Blend, standard);
            mode = SdlStandard(standard);
            BlendUnavailable[key] = !standIn;
            if (!FallbackReported[key]) {
                FallbackReported[key] = true;
                const int src = static_cast<int>(Blend.Src), dst = static_cast<int>(Blend.Dst);
                if (standIn) {
                    std::fprintf(stderr,
                                 "Velkaro: this renderer has no blend mode with factors %d/%d; "
                                 "drawing with %s instead.\n",
                                 src, dst, std::string(StandardBlendName(standard)).c_str());
                } else {
                    std::fprintf(stderr,
                                 "Velkaro: this renderer has no blend mode with factors %d/%d; "
                                 "what is drawn with it is left out.\n",
                                 src, dst);
                }
            }
        }
    }
    ResolvedBlend[key] = static_cast<int>(mode);
    return ResolvedBlend[key];
}

bool TKerbScreen::OutsideTarget(const TQuad& q) const {
    float minX = q[0].X, maxX = q[0].X, minY = q[0].Y, maxY = q[0].Y;
    for (const TQuadCorner& c : q) {
        minX = std::min(minX, c.X);
        maxX = std::max(maxX, c.X);
        minY = std::min(minY, c.Y);
        maxY = std::max(maxY, c.Y);
    }
    // Corners are in pixel-centre coordinates: pixel i spans i - 0.5 .. i + 0.5.
    return maxX <= -0.5f || maxY <= -0.5f || minX >= static_cast<float>(TargetWidth) - 0.5f ||
           minY >= static_cast<float>(TargetHeight) - 0.5f;
}

void TKerbScreen::DrawQuad(const TKerbTexture& texture, const TQuad& q) {
    SDL_Texture* handle = texture.Handle;
    if (Renderer == nullptr || handle == nullptr) return EndQuad();
    if (OutsideTarget(q)) {
        ++DrawStats.Culled;
        return EndQuad();
    }
    const int mode = ResolveBlend(handle);
    // Better nothing than the opposite of what the mode does.
    if (BlendUnavailable[static_cast<size_t>(Blend.Src) * 8 + static_cast<size_t>(Blend.Dst)]) {
        ++DrawStats.Skipped;
        return EndQuad();
    }
    SDL_SetTextureBlendMode(handle, static_cast<SDL_BlendMode>(mode));
    const uint32_t color = q[0].Color;
    if (q[1].Color == color && q[2].Color == color && q[3].Color == color) {
        SetModulation(handle, color);
        if (!CopyUpright(handle, texture, q, mode) && !CopyRotated(handle, texture, q, mode)) {
            UseLinearFilter(texture);
            DrawGeometry(handle, q);
        }
    } else {
        SetModulation(handle, 0xFFFFFFFFu);
        UseLinearFilter(texture);
        DrawGeometry(handle, q);
    }
    EndQuad();
}

void TKerbScreen::EndQuad() {
    // DrawAdd's destination factor holds for its own quad only.
    if (!AdditiveOverride) return;
    AdditiveOverride = false;
    Blend = ModeBlend;
}

bool TKerbScreen::CopyUpright(SDL_Texture* texture, const TKerbTexture& t, const TQuad& q,
                              int blendMode) {
    if (!Near(q[0].Y, q[1].Y) || !Near(q[3].Y, q[2].Y) || !Near(q[0].X, q[3].X) ||
        !Near(q[1].X, q[2].X))
        return false;
    SDL_Rect src;
    bool flipU, flipV;
    if (!SourceRect(t, q, src, flipU, flipV)) return false;
    const float x0 = q[0].X + 0.5f, x1 = q[1].X + 0.5f;
    const float y0 = q[0].Y + 0.5f, y1 = q[3].Y + 0.5f;
    const float left = FirstCovered(std::min(x0, x1)), right = FirstCovered(std::max(x0, x1));
    const float top = FirstCovered(std::min(y0, y1)), bottom = FirstCovered(std::max(y0, y1));
    ++DrawStats.Copies;
    if (right <= left || bottom <= top) return true;  // covers no pixel centre
    // Scaled, or off whole pixels: texels are sampled between their centres.
    if (!Near(std::fabs(x1 - x0), static_cast<float>(src.w)) ||
        !Near(std::fabs(y1 - y0), static_cast<float>(src.h)) || !Near(x0, std::round(x0)) ||
        !Near(y0, std::round(y0)))
        UseLinearFilter(t);
    SDL_FRect dst{left, top, right - left, bottom - top};
    // Accelerated renderers cover pixels by their centres as we do and sample the texture
    // at them: give them the exact rectangle. The software renderer cuts coordinates down to
    // whole pixels, so it gets the covered pixels instead.
    if (!Software)
        dst = {std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0)};
    int flip = SDL_FLIP_NONE;
    if (flipU != (x1 < x0)) flip |= SDL_FLIP_HORIZONTAL;
    if (flipV != (y1 < y0)) flip |= SDL_FLIP_VERTICAL;
    if (flip == SDL_FLIP_NONE) {
        const SDL_Rect covered{static_cast<int>(dst.x), static_cast<int>(dst.y),
                               static_cast<int>(dst.w), static_cast<int>(dst.h)};
        if (!Software || !(BlendUpright(t, src, covered, q[0].Color, blendMode) ||
                           BlendStretched(texture, t, src, covered, q[0].Color, blendMode)))
            SDL_RenderCopyF(Renderer, texture, &src, &dst);
    } else if (!Software ||
               !BlendTurned(texture, t, src, dst, 0.0, nullptr, flip, q[0].Color, blendMode)) {
        SDL_RenderCopyExF(Renderer, texture, &src, &dst, 0.0, nullptr,
                          static_cast<SDL_RendererFlip>(flip));
    }
    return true;
}

bool TKerbScreen::CopyRotated(SDL_Texture* texture, const TKerbTexture& t, const TQuad& q,
                              int blendMode) {
    // A rotated rectangle: opposite corners share a midpoint and the edges are perpendicular.
    const float e1x = q[1].X - q[0].X, e1y = q[1].Y - q[0].Y;
    const float e2x = q[3].X - q[0].X, e2y = q[3].Y - q[0].Y;
    if (!Near(q[0].X + q[2].X, q[1].X + q[3].X) || !Near(q[0].Y + q[2].Y, q[1].Y + q[3].Y))
        return false;
    float w = std::hypot(e1x, e1y), h = std::hypot(e2x, e2y);
    if (w < Epsilon || h < Epsilon) return false;
    if (std::fabs(e1x * e2x + e1y * e2y) > Epsilon * w * h) return false;
    SDL_Rect src;
    bool flipU, flipV;
    if (!SourceRect(t, q, src, flipU, flipV)) return false;
    UseLinearFilter(t);
    // SDL turns the picture clockwise about the centre; a mirrored quad (left-handed corners)
    // is the same turn with the picture flipped top to bottom.
    const bool mirrored = e1x * e2y - e1y * e2x < 0;
    int flip = SDL_FLIP_NONE;
    if (flipU) flip |= SDL_FLIP_HORIZONTAL;
    if (flipV != mirrored) flip |= SDL_FLIP_VERTICAL;
    double angle = std::atan2(e1y, e1x) * 180.0 / std::numbers::pi;
    // Quarter turns are exact moves of whole texels; SDL has a path for them that it only takes
    // when the angle is exactly a multiple of 90.
    const double quarter = std::round(angle / 90.0) * 90.0;
    if (std::fabs(angle - quarter) < 1e-3) angle = quarter;
    if (Software) {
        // The corners are floats: a turned side of 64 texels comes out 63.99998 long, which the
        // software renderer cuts to 63 and so stretches the picture before turning it, and the
        // angle comes back a few millionths of a degree off. Sides within a thousandth of the
        // source's are taken as the source's, and the angle to the nearest 1/64 degree (moving
        // the corners of a 64-pixel picture by less than a hundredth of a pixel): sprites drawn
        // at one angle then turn alike, and their turned picture is kept.
        if (Near(w, static_cast<float>(src.w))) w = static_cast<float>(src.w);
        if (Near(h, static_cast<float>(src.h))) h = static_cast<float>(src.h);
        angle = std::round(angle * 64.0) / 64.0;
    }
    const float cx = (q[0].X + q[2].X) * 0.5f + 0.5f, cy = (q[0].Y + q[2].Y) * 0.5f + 0.5f;
    SDL_FRect dst{cx - w * 0.5f, cy - h * 0.5f, w, h};
    // The software renderer cuts the position to whole pixels: 83.99999 would lose a pixel.
    if (Software && Near(dst.x, std::round(dst.x))) dst.x = std::round(dst.x);
    if (Software && Near(dst.y, std::round(dst.y))) dst.y = std::round(dst.y);
    const SDL_FPoint center{w * 0.5f, h * 0.5f};
    ++DrawStats.RotatedCopies;
    if (Software && BlendTurned(texture, t, src, dst, angle, &center, flip, q[0].Color, blendMode))
        return true;
    SDL_RenderCopyExF(Renderer, texture, &src, &dst, angle, &center,
                      static_cast<SDL_RendererFlip>(flip));
    return true;
}

void TKerbScreen::UseLinearFilter(const TKerbTexture& t) {
    if (t.Linear) return;
    t.Linear = true;
    // Quads already queued with this texture are upright copies at 1:1 on whole pixels, which
    // both filters draw alike, so the switch may come in the middle of a frame.
    if (LinearFilter && t.Handle != nullptr) SDL_SetTextureScaleMode(t.Handle, SDL_ScaleModeLinear);
}

void TKerbScreen::DrawGeometry(SDL_Texture* texture, const TQuad& q) {
    SDL_Vertex v[4];
    for (size_t i = 0; i < 4; ++i) {
        const uint32_t c = q[i].Color;
        v[i].position = {q[i].X + 0.5f, q[i].Y + 0.5f};
        v[i].color = {static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8),
                      static_cast<Uint8>(c), static_cast<Uint8>(c >> 24)};
        v[i].tex_coord = {q[i].U, q[i].V};
    }
    static constexpr int Indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(Renderer, texture, v, 4, Indices, 6);
    ++DrawStats.Geometry;
}

void TKerbScreen::DrawTextureAt(SDL_Texture* texture, int32_t x, int32_t y, int32_t w, int32_t h,
                                uint32_t color) {
    if (Renderer == nullptr || texture == nullptr) return;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SetModulation(texture, color);
    const SDL_Rect dst{x, y, w, h};
    SDL_RenderCopy(Renderer, texture, nullptr, &dst);
}

namespace {
// On the software renderer a streaming texture is a surface whose pixels stay where locking
// found them for as long as the texture lives: the texels are written there once and the own
// copy goes. Returns false (the texture untouched) when the pixels are not laid out as texels.
bool ShareTexels(SDL_Texture* handle, TKerbTexture& texture) {
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(handle, nullptr, &pixels, &pitch) != 0) return false;
    const bool packed = pixels != nullptr && pitch == texture.Width * 4;
    if (packed) std::memcpy(pixels, texture.Texels.data(), texture.TexelCount() * 4);
    SDL_UnlockTexture(handle);
    if (!packed) return false;
    texture.Shared = static_cast<const uint32_t*>(pixels);
    std::vector<uint32_t>().swap(texture.Texels);
    return true;
}
}  // namespace

bool TKerbScreen::CreateTextureHandle(TKerbTexture& texture) {
    texture.ReleaseHandle();
    if (Renderer == nullptr || texture.Width <= 0 || texture.Height <= 0) return false;
    if (texture.Texels.size() != texture.TexelCount()) return false;
    SDL_Texture* handle =
        SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888,
                          Software ? SDL_TEXTUREACCESS_STREAMING : SDL_TEXTUREACCESS_STATIC,
                          texture.Width, texture.Height);
    if (handle == nullptr) return false;
    if (!(Software && ShareTexels(handle, texture)) &&
        SDL_UpdateTexture(handle, nullptr, texture.Texels.data(), texture.Width * 4) != 0) {
        SDL_DestroyTexture(handle);
        return false;
    }
    SDL_SetTextureBlendMode(handle, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(
        handle, LinearFilter && texture.Linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    texture.Handle = handle;
    static std::atomic<uint64_t> serials{0};
    texture.Serial = ++serials;
    return true;
}

void TKerbScreen::FrameRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t thickness,
                            uint32_t color) {
    if (Renderer == nullptr || w <= 0 || h <= 0 || thickness <= 0) return;
    const int32_t t = std::min({thickness, w, h});
    const SDL_Rect sides[4] = {{x, y, w, t},
                               {x, y + h - t, w, t},
                               {x, y + t, t, h - 2 * t},
                               {x + w - t, y + t, t, h - 2 * t}};
    SDL_SetRenderDrawBlendMode(Renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(Renderer, static_cast<Uint8>(color >> 16),
                           static_cast<Uint8>(color >> 8), static_cast<Uint8>(color),
                           static_cast<Uint8>(color >> 24));
    SDL_RenderFillRects(Renderer, sides, 4);
}
