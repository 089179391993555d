// Own blending on the software renderer. Every quad reaches SDL with a colour (the tint turns
// even white into 254), which sends SDL's software renderer to a generic per-pixel blitter.
// The screen does that blitter's sums itself (ModulatedBlend.h), straight into the surface SDL
// draws on, after letting SDL finish the calls it has queued so that the order of drawing
// stays. Turned pictures are what SDL's turn makes of the texels, before the colour, placed
// by whole pixels from the destination's position: the screen turns them itself with SDL's
// arithmetic (TurnTexels.h) and keeps those it sees again (TTurnCache). A copy stretched before
// the turn, and a stretched copy that reaches past the picture's edges, SDL makes once into a
// render target with no blending and no colour, and the screen keeps that.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "engine/KerbScreen.h"
#include "engine/KerbTexture.h"
#include "engine/ModulatedBlend.h"
#include "engine/TurnTexels.h"
#include "platform/Window.h"

namespace {
// Larger turned or stretched pictures are left to SDL: none of the game's sprites comes near.
constexpr int32_t MaxTurnTargetSize = 1024;

// What a kept picture of part src of t, drawn w x h, is filed under (turns and flips added
// by the caller).
TTurnKey KeptKey(const TKerbTexture& t, const SDL_Rect& src, float w, float h, bool linearFilter) {
    TTurnKey key;
    key.Texture = t.Serial;
    key.SrcX = src.x;
    key.SrcY = src.y;
    key.SrcW = src.w;
    key.SrcH = src.h;
    key.Width = w;
    key.Height = h;
    key.Linear = linearFilter && t.Linear;
    return key;
}
}  // namespace

SDL_Surface* TKerbScreen::BlendTarget(int blendMode, uint32_t color) const {
    // White with full alpha takes SDL's own fast blitter, whose sums differ from these.
    if (!OwnBlending || !Software || Renderer == nullptr || color == 0xFFFFFFFFu ||
        blendMode != SDL_BLENDMODE_BLEND)
        return nullptr;
    if (SDL_GetRenderTarget(Renderer) != nullptr || SDL_RenderIsClipEnabled(Renderer))
        return nullptr;
    SDL_Surface* surface = OffscreenSurface;
    if (surface == nullptr && Window != nullptr && Window->Handle() != nullptr)
        surface = SDL_GetWindowSurface(Window->Handle());
    if (surface == nullptr || surface->pixels == nullptr) return nullptr;
    const Uint32 format = surface->format->format;
    if (format != SDL_PIXELFORMAT_ARGB8888 && format != SDL_PIXELFORMAT_RGB888) return nullptr;
    // Only where a drawing coordinate is a pixel of the surface: no scaling, no letterbox.
    float sx = 0, sy = 0;
    SDL_RenderGetScale(Renderer, &sx, &sy);
    if (sx != 1.0f || sy != 1.0f) return nullptr;
    SDL_Rect viewport;
    SDL_RenderGetViewport(Renderer, &viewport);
    if (viewport.x != 0 || viewport.y != 0 || viewport.w != surface->w || viewport.h != surface->h)
        return nullptr;
    return surface;
}

void TKerbScreen::BlendOnto(SDL_Surface* target, const uint32_t* pixels, bool prepared,
                            int32_t pitch, int32_t width, int32_t height, const int32_t* spans,
                            int32_t x, int32_t y, uint32_t color) {
    // What SDL has queued goes first.
    SDL_RenderFlush(Renderer);
    const bool locked = SDL_MUSTLOCK(target);
    if (locked && SDL_LockSurface(target) != 0) return;
    const bool targetAlpha = target->format->format == SDL_PIXELFORMAT_ARGB8888;
    const int32_t firstRow = std::max(0, -y), endRow = std::min(height, target->h - y);
    for (int32_t r = firstRow; r < endRow; ++r) {
        int32_t from = 0, to = width;
        if (spans != nullptr) {
            from = spans[static_cast<size_t>(r) * 2];
            to = spans[static_cast<size_t>(r) * 2 + 1];
        }
        from = std::max(from, -x);
        to = std::min(to, target->w - x);
        if (from >= to) continue;
        if (spans != nullptr) {
            // Outside its span a row is clear, which changes no pixel: a span grown to whole
            // eights (within the picture and the target) is blended without a slower tail.
            const int32_t grown = (to - from + 7) / 8 * 8;
            const int32_t lowest = std::max(0, -x), highest = std::min(width, target->w - x);
            if (from + grown <= highest)
                to = from + grown;
            else if (to - grown >= lowest)
                from = to - grown;
        }
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                                static_cast<ptrdiff_t>(y + r) * target->pitch);
        const uint32_t* texels = pixels + static_cast<ptrdiff_t>(r) * pitch + from;
        if (prepared)
            BlendPreparedRow(texels, row + x + from, to - from, targetAlpha);
        else
            BlendModulatedRow(texels, row + x + from, to - from, color, targetAlpha);
    }
    if (locked) SDL_UnlockSurface(target);
}

bool TKerbScreen::BlendUpright(const TKerbTexture& t, const SDL_Rect& src, const SDL_Rect& dst,
                               uint32_t color, int blendMode) {
    SDL_Surface* target = BlendTarget(blendMode, color);
    if (target == nullptr || dst.w != src.w || dst.h != src.h) return false;
    if (!t.HasTexels()) return false;
    const uint32_t* prepared = t.Prepared.For(t.Data(), t.TexelCount(), color, FrameCount);
    const uint32_t* texels = prepared != nullptr ? prepared : t.Data();
    const uint32_t* first = texels + static_cast<ptrdiff_t>(src.y) * t.Width + src.x;
    BlendOnto(target, first, prepared != nullptr, t.Width, src.w, src.h, nullptr, dst.x, dst.y,
              color);
    ++DrawStats.OwnBlends;
    return true;
}

bool TKerbScreen::BlendTurned(SDL_Texture* texture, const TKerbTexture& t, const SDL_Rect& src,
                              const SDL_FRect& dst, double angle, const SDL_FPoint* center,
                              int flip, uint32_t color, int blendMode) {
    SDL_Surface* target = BlendTarget(blendMode, color);
    if (target == nullptr || t.Serial == 0) return false;
    TTurnKey key = KeptKey(t, src, dst.w, dst.h, LinearFilter);
    // SDL's default centre is the middle of the destination.
    key.CenterX = center != nullptr ? center->x : dst.w / 2.0f;
    key.CenterY = center != nullptr ? center->y : dst.h / 2.0f;
    key.Angle = angle;
    key.Flip = flip;
    TTurnedPicture& picture = Turns.Sight(key, FrameCount);
    // SDL places the turned picture by the destination's position cut to whole pixels.
    const auto x = static_cast<int32_t>(dst.x), y = static_cast<int32_t>(dst.y);
    if (!picture.Ready) {
        // SDL turns a copy of the texels as they are (no stretch: the destination's size cut to
        // whole pixels is the source's): that turn is done here, and kept on the picture's
        // second sighting. A picture seen once may never come again (a sprite that turns every
        // frame): it is blended straight from the turn.
        const bool own = static_cast<int32_t>(dst.w) == src.w &&
                         static_cast<int32_t>(dst.h) == src.h && t.HasTexels() && src.x >= 0 &&
                         src.y >= 0 && src.x + src.w <= t.Width && src.y + src.h <= t.Height;
        if (own) {
            const uint32_t* first =
                t.Data() + static_cast<ptrdiff_t>(src.y) * t.Width + static_cast<ptrdiff_t>(src.x);
            if (!TurnTexels(first, t.Width, src.w, src.h, angle, key.CenterX, key.CenterY,
                            (flip & SDL_FLIP_HORIZONTAL) != 0, (flip & SDL_FLIP_VERTICAL) != 0,
                            key.Linear, MaxTurnTargetSize, TurnScratch))
                return false;
            ++DrawStats.OwnTurns;
            const TTurnedTexels& turned = TurnScratch;
            if (picture.Sightings < 2 || !Turns.Keep(picture, turned.Pixels, turned.Width,
                                                     turned.Height, turned.Left, turned.Top)) {
                BlendOnto(target, turned.Pixels.data(), false, turned.Width, turned.Width,
                          turned.Height, nullptr, x + turned.Left, y + turned.Top, color);
                ++DrawStats.OwnBlends;
                ++DrawStats.OwnTurnedBlends;
                return true;
            }
            ++DrawStats.TurnsMade;
        } else if (picture.Sightings < 2 ||
                   !MakeTurned(texture, src, dst, angle, center, flip, picture)) {
            // Stretched before the turn: SDL draws it the first time and turns it for keeping
            // the second.
            return false;
        }
    }
    if (!BlendKept(target, picture, x + picture.Left, y + picture.Top, color)) return false;
    ++DrawStats.OwnTurnedBlends;
    return true;
}

bool TKerbScreen::BlendKept(SDL_Surface* target, TTurnedPicture& picture, int32_t x, int32_t y,
                            uint32_t color) {
    bool prepared = false;
    const uint32_t* texels = Turns.TexelsFor(picture, color, prepared);
    if (texels == nullptr) return false;
    BlendOnto(target, texels, prepared, picture.Width, picture.Width, picture.Height,
              picture.Spans.data(), x, y, color);
    ++DrawStats.OwnBlends;
    return true;
}

bool TKerbScreen::MakeTurned(SDL_Texture* texture, const SDL_Rect& src, const SDL_FRect& dst,
                             double angle, const SDL_FPoint* center, int flip,
                             TTurnedPicture& picture) {
    // The turned picture lies within the farthest corner's distance of the centre.
    const float cx = center != nullptr ? center->x : dst.w / 2.0f;
    const float cy = center != nullptr ? center->y : dst.h / 2.0f;
    float radius = 0;
    for (float px : {0.0f, dst.w})
        for (float py : {0.0f, dst.h}) radius = std::max(radius, std::hypot(px - cx, py - cy));
    if (!std::isfinite(radius)) return false;
    const int32_t half = static_cast<int32_t>(std::ceil(radius)) + 4;
    const int32_t size = 2 * half;
    // The centre goes to the middle of the target, at a whole-pixel position that is not
    // negative (SDL cuts negative positions towards zero, which would move the picture).
    const float atX = static_cast<float>(half) - std::trunc(cx);
    const float atY = static_cast<float>(half) - std::trunc(cy);
    if (atX < 0 || atY < 0 || atX >= static_cast<float>(size) || atY >= static_cast<float>(size))
        return false;
    std::vector<uint32_t> raw;
    const SDL_FRect at{atX, atY, dst.w, dst.h};
    const auto draw = [&] {
        return SDL_RenderCopyExF(Renderer, texture, &src, &at, angle, center,
                                 static_cast<SDL_RendererFlip>(flip));
    };
    if (!DrawIntoTurnTarget(texture, size, size, draw, raw)) return false;
    const auto left = -static_cast<int32_t>(atX), top = -static_cast<int32_t>(atY);
    if (!Turns.Keep(picture, raw, size, size, left, top)) return false;
    ++DrawStats.TurnsMade;
    return true;
}

bool TKerbScreen::BlendStretched(SDL_Texture* texture, const TKerbTexture& t, const SDL_Rect& src,
                                 const SDL_Rect& dst, uint32_t color, int blendMode) {
    if ((dst.w == src.w && dst.h == src.h) || dst.w <= 0 || dst.h <= 0 || t.Serial == 0)
        return false;
    SDL_Surface* target = BlendTarget(blendMode, color);
    if (target == nullptr) return false;
    // SDL stretches a copy that reaches past the picture's edges into a picture of its own, with
    // the texture's filter and no colour, and blends that in the colour: the same stretch, kept,
    // and blended here gives its very pixels. A copy inside the edges it stretches and blends in
    // one go, which samples the texels otherwise: that one stays with SDL.
    if (dst.x >= 0 && dst.y >= 0 && dst.x + dst.w <= target->w && dst.y + dst.h <= target->h)
        return false;
    TTurnKey key =
        KeptKey(t, src, static_cast<float>(dst.w), static_cast<float>(dst.h), LinearFilter);
    key.Stretched = true;
    TTurnedPicture& picture = Turns.Sight(key, FrameCount);
    if (!picture.Ready && (picture.Sightings < 2 || !MakeStretched(texture, src, dst, picture)))
        return false;
    if (!BlendKept(target, picture, dst.x + picture.Left, dst.y + picture.Top, color)) return false;
    ++DrawStats.OwnStretchedBlends;
    return true;
}

bool TKerbScreen::MakeStretched(SDL_Texture* texture, const SDL_Rect& src, const SDL_Rect& dst,
                                TTurnedPicture& picture) {
    std::vector<uint32_t> raw;
    const SDL_Rect at{0, 0, dst.w, dst.h};
    const auto draw = [&] { return SDL_RenderCopy(Renderer, texture, &src, &at); };
    if (!DrawIntoTurnTarget(texture, dst.w, dst.h, draw, raw)) return false;
    if (!Turns.Keep(picture, raw, dst.w, dst.h, 0, 0)) return false;
    ++DrawStats.TurnsMade;
    return true;
}

bool TKerbScreen::DrawIntoTurnTarget(SDL_Texture* texture, int32_t width, int32_t height,
                                     const std::function<int()>& draw, std::vector<uint32_t>& raw) {
    if (width <= 0 || height <= 0 || width > MaxTurnTargetSize || height > MaxTurnTargetSize ||
        !Turns.Fits(static_cast<size_t>(width) * static_cast<size_t>(height)))
        return false;
    if (width > TurnTargetWidth || height > TurnTargetHeight) {
        // In steps of 64 per side: a stretched ground row is wide and flat, turned sprites square.
        const auto grown = [](int32_t have, int32_t need) {
            return std::max(have, (need + 63) / 64 * 64);
        };
        const int32_t w = grown(TurnTargetWidth, width), h = grown(TurnTargetHeight, height);
        if (TurnTarget != nullptr) SDL_DestroyTexture(TurnTarget);
        TurnTarget =
            SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
        TurnTargetWidth = TurnTarget != nullptr ? w : 0;
        TurnTargetHeight = TurnTarget != nullptr ? h : 0;
        if (TurnTarget == nullptr) return false;
    }
    if (SDL_SetRenderTarget(Renderer, TurnTarget) != 0) return false;
    SDL_BlendMode drawMode;
    Uint8 r, g, b, a;
    SDL_GetRenderDrawBlendMode(Renderer, &drawMode);
    SDL_GetRenderDrawColor(Renderer, &r, &g, &b, &a);
    SDL_SetRenderDrawBlendMode(Renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 0);
    const SDL_Rect area{0, 0, width, height};
    SDL_RenderFillRect(Renderer, &area);
    // No blending and no colour: the target receives the texels as they are.
    SDL_BlendMode textureMode;
    SDL_GetTextureBlendMode(texture, &textureMode);
    Uint8 mr, mg, mb, ma;
    SDL_GetTextureColorMod(texture, &mr, &mg, &mb);
    SDL_GetTextureAlphaMod(texture, &ma);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureColorMod(texture, 255, 255, 255);
    SDL_SetTextureAlphaMod(texture, 255);
    const int drawn = draw();
    raw.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const int read = drawn == 0 ? SDL_RenderReadPixels(Renderer, &area, SDL_PIXELFORMAT_ARGB8888,
                                                       raw.data(), width * 4)
                                : -1;
    SDL_SetRenderTarget(Renderer, nullptr);
    SDL_SetRenderDrawBlendMode(Renderer, drawMode);
    SDL_SetRenderDrawColor(Renderer, r, g, b, a);
    SDL_SetTextureBlendMode(texture, textureMode);
    SDL_SetTextureColorMod(texture, mr, mg, mb);
    SDL_SetTextureAlphaMod(texture, ma);
    return read == 0;
}

void TKerbScreen::DropTurned() {
    Turns.Clear();
    if (TurnTarget != nullptr) SDL_DestroyTexture(TurnTarget);
    TurnTarget = nullptr;
    TurnTargetWidth = TurnTargetHeight = 0;
}
