#include "engine/BlendModes.h"

#include <array>

namespace {
using F = TBlendFactor;

constexpr std::array<TBlendState, 14> ModeTable{{
    {F::SrcAlpha, F::InvSrcAlpha},       // 0 normal alpha blending
    {F::One, F::One},                    // 1
    {F::SrcAlpha, F::One},               // 2
    {F::SrcColor, F::InvSrcColor},       // 3
    {F::SrcColor, F::One},               // 4
    {F::Zero, F::SrcColor},              // 5
    {F::Zero, F::SrcAlpha},              // 6
    {F::Zero, F::InvSrcColor},           // 7
    {F::Zero, F::InvSrcAlpha},           // 8
    {F::InvDestColor, F::Zero},          // 9
    {F::SrcColor, F::SrcColor},          // 10
    {F::DestColor, F::DestColor},        // 11
    {F::InvSrcColor, F::InvSrcColor},    // 12
    {F::InvDestColor, F::InvDestColor},  // 13
}};
}  // namespace

TBlendState BlendStateForMode(int32_t mode) {
    if (mode < 0 || mode >= static_cast<int32_t>(ModeTable.size())) return ModeTable[0];
    return ModeTable[static_cast<size_t>(mode)];
}

bool ExactStandardBlend(const TBlendState& state, TStandardBlend& out) {
    if (state == TBlendState{F::SrcAlpha, F::InvSrcAlpha}) {
        out = TStandardBlend::Blend;
    } else if (state == TBlendState{F::SrcAlpha, F::One}) {
        out = TStandardBlend::Add;
    } else if (state == TBlendState{F::Zero, F::SrcColor}) {
        out = TStandardBlend::Mod;
    } else if (state == TBlendState{F::DestColor, F::InvSrcAlpha}) {
        out = TStandardBlend::Mul;
    } else if (state == TBlendState{F::One, F::Zero}) {
        out = TStandardBlend::None;
    } else {
        return false;
    }
    return true;
}

bool NearestStandardBlend(const TBlendState& state, TStandardBlend& out) {
    if (ExactStandardBlend(state, out)) return true;
    // Erasing (the destination scaled by the picture's inverse) and inverting (a source
    // scaled by the inverse destination) have no standard mode of the same kind.
    const bool erases =
        state.Src == F::Zero && (state.Dst == F::InvSrcColor || state.Dst == F::InvSrcAlpha);
    if (erases || state.Src == F::InvDestColor) return false;
    // Whatever adds onto the destination stays additive; whatever ignores the source colour
    // only darkens (modulate); a source scaled by the destination multiplies; a destination
    // thrown away is a plain copy; everything else mixes like ordinary alpha blending.
    if (state.Dst == F::One) {
        out = TStandardBlend::Add;
    } else if (state.Src == F::Zero) {
        out = TStandardBlend::Mod;
    } else if (state.Src == F::DestColor) {
        out = TStandardBlend::Mul;
    } else if (state.Dst == F::Zero) {
        out = TStandardBlend::None;
    } else {
        out = TStandardBlend::Blend;
    }
    return true;
}

std::string_view StandardBlendName(TStandardBlend blend) {
    switch (blend) {
        case TStandardBlend::None:
            return "copy";
        case TStandardBlend::Blend:
            return "alpha blending";
        case TStandardBlend::Add:
            return "additive";
        case TStandardBlend::Mod:
            return "modulate";
        case TStandardBlend::Mul:
            return "multiply";
    }
    return "alpha blending";
}
