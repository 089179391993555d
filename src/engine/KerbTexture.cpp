#include "engine/KerbTexture.h"

namespace {
TTextureHandleRelease HandleRelease = nullptr;
}  // namespace

void SetTextureHandleRelease(TTextureHandleRelease release) {
    HandleRelease = release;
}

TKerbTexture::~TKerbTexture() {
    // Nothing will make the texture again: the shared texels go with it.
    Shared = nullptr;
    ReleaseHandle();
}

void TKerbTexture::ReleaseHandle() {
    if (Shared != nullptr) Texels.assign(Shared, Shared + TexelCount());
    Shared = nullptr;
    // A handle exists only once a screen made one, and that screen set the release first.
    if (Handle != nullptr && HandleRelease != nullptr) HandleRelease(Handle);
    Handle = nullptr;
    Serial = 0;
    Prepared.Clear();
}

void TKerbTexture::DropTexels() {
    // Not copied back out of the device texture first: they are not wanted.
    Shared = nullptr;
    ReleaseHandle();
    std::vector<uint32_t>().swap(Texels);
}
