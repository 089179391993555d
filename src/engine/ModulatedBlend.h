// Blending ARGB texels onto a 32-bit picture with a colour, with the arithmetic of SDL's software
// renderer for a texture drawn in the BLEND mode with colour or alpha modulation, to the bit:
// per channel c' = s * m div 255 and a' = a * ma div 255, the colour premultiplied,
// c'' = c' * a' div 255, and out = c'' + (255 - a') * d div 255 (the alpha channel likewise, with
// a' for c''). SDL runs this through a generic per-pixel blitter; doing the same sums here,
// several pixels at a time, draws the same pixels in a fraction of the time. The first half
// depends on the texel and the colour only, so texels drawn often in one colour keep it done
// (TPreparedTexels). Depends on nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The texel with the colour (packed ARGB) applied: a' in the alpha byte and c'' per colour.
uint32_t PrepareModulated(uint32_t texel, uint32_t modulation);
void PrepareModulatedRow(const uint32_t* src, uint32_t* out, int32_t count, uint32_t modulation);

// Blends count prepared texels over dst: out = p + (255 - p.alpha) * d div 255. With targetAlpha
// the target keeps an alpha channel (ARGB8888); without, it is XRGB8888 and the unused byte is
// written as 0, as SDL writes it. A texel that comes out clear (a' = 0) gives the pixel's own
// colour back; the unused byte of a target without alpha may then be left as it was.
void BlendPreparedRow(const uint32_t* prepared, uint32_t* dst, int32_t count, bool targetAlpha);

// Both steps for texels that are not prepared.
void BlendModulatedRow(const uint32_t* src, uint32_t* dst, int32_t count, uint32_t modulation,
                       bool targetAlpha);

// One pixel the plain way: what the row functions must match.
uint32_t BlendModulatedPixel(uint32_t src, uint32_t dst, uint32_t modulation, bool targetAlpha);

// Texels prepared for one colour at a time. A colour is prepared when it comes twice running,
// so that texels drawn in ever new colours are not prepared for nothing.
class TPreparedTexels {
public:
    // The prepared texels (as many as raw) for colour, or null when raw must be blended as it is.
    // frame marks the use, for Stale.
    const uint32_t* For(const uint32_t* raw, size_t count, uint32_t color, int64_t frame = 0);
    // Prepared, and not asked for since frame - keep.
    bool Stale(int64_t frame, int64_t keep) const { return Valid && LastUse + keep < frame; }
    void Clear();
    bool Ready() const { return Valid; }
    size_t Bytes() const { return Texels.capacity() * sizeof(uint32_t); }
    uint32_t Color() const { return PreparedColor; }

private:
    std::vector<uint32_t> Texels;
    uint32_t PreparedColor = 0, LastColor = 0;
    int64_t LastUse = 0;
    bool Valid = false, Seen = false;
};
