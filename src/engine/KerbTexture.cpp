#include "engine/KerbTexture.h"

#include <SDL.h>

TKerbTexture::~TKerbTexture() {
    // Nothing will make the texture again: the shared texels go with it.
    Shared = nullptr;
    ReleaseHandle();
}

void TKerbTexture::ReleaseHandle() {
    if (Shared != nullptr) Texels.assign(Shared, Shared + TexelCount());
    Shared = nullptr;
    if (Handle != nullptr) SDL_DestroyTexture(Handle);
    Handle = nullptr;
    Serial = 0;
    Prepared.Clear();
}
