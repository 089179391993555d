// Blend modes as the game numbers them (0 to 13, -1 = keep), described as a pair of blend
// factors, and how such a pair maps onto what a renderer offers. Pure data and logic: the
// screen turns the result into SDL blend modes. Depends on nothing.
#pragma once

#include <cstdint>
#include <string_view>

enum class TBlendFactor : uint8_t {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestColor,
    InvDestColor,
};

// Source and destination factors of the colour channels: result = src * Src + dst * Dst.
struct TBlendState {
    TBlendFactor Src = TBlendFactor::SrcAlpha;
    TBlendFactor Dst = TBlendFactor::InvSrcAlpha;
    bool operator==(const TBlendState&) const = default;
};

// The renderer-independent blend modes every SDL renderer has.
enum class TStandardBlend : uint8_t { None, Blend, Add, Mod, Mul };

// The factors of a game blend mode; numbers outside 0..13 blend like mode 0.
TBlendState BlendStateForMode(int32_t mode);

// The standard mode whose colour factors equal state's, if there is one. The back buffer has
// no alpha channel that anybody reads, so only the colour factors have to match.
bool ExactStandardBlend(const TBlendState& state, TStandardBlend& out);

// The standard mode that comes closest to state, for renderers without custom blending.
// False when every standard mode would have the opposite effect (a mode that erases or
// inverts the destination would darken by the picture or copy it): such quads are better left
// out than drawn wrong.
bool NearestStandardBlend(const TBlendState& state, TStandardBlend& out);

std::string_view StandardBlendName(TStandardBlend blend);
