#include "engine/KerbTexture.h"

#include <SDL.h>

TKerbTexture::~TKerbTexture() {
    ReleaseHandle();
}

void TKerbTexture::ReleaseHandle() {
    if (Handle != nullptr) SDL_DestroyTexture(Handle);
    Handle = nullptr;
    Serial = 0;
    Prepared.Clear();
}
