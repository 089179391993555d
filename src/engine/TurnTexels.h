// Turning a picture the way SDL's software renderer turns it for a turned copy, to the bit: the
// size and place of the turned picture from the four corner texels' centres turned about the
// centre, then every pixel of it sampled back in 16.16 fixed point, the nearest texel or the
// four around it weighed per channel (which leaves the picture's last row and column out), and
// quarter turns as plain moves of texels. Pixels that take no texel stay clear (0). The colour is
// applied afterwards, when the picture is blended (ModulatedBlend.h). Depends on nothing.
#pragma once

#include <cstdint>
#include <vector>

struct TTurnedTexels {
    // The top-left corner of the turned picture from the destination's whole-pixel position,
    // and its size; Pixels row by row.
    int32_t Left = 0, Top = 0;
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
};

// Turns width x height texels (rows pitch texels apart) clockwise by angle degrees about
// (centerX, centerY) of the picture, mirrored first where asked, with linear filtering or the
// nearest texel. False, and out unchanged, for an empty picture or a turned one larger than
// maxSide on a side.
bool TurnTexels(const uint32_t* texels, int32_t pitch, int32_t width, int32_t height, double angle,
                float centerX, float centerY, bool flipX, bool flipY, bool linear, int32_t maxSide,
                TTurnedTexels& out);
