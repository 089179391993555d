#include "engine/KerbRenderer.h"

// The screen-backed behaviour arrives with TKerbScreen; until a screen is linked, quads
// have nowhere to go.
void TKerbRenderer::SetBlendMode(int32_t) {}
void TKerbRenderer::SetAdditive(bool) {}
void TKerbRenderer::RenderQuad(const TKerbTexture&, const TQuad&) {}
