// TScreenDevice: what the image lists and their quad renderer need from the screen they draw
// on. The sprite engine, the image lists and the race world depend on this interface only, so
// they build and run without SDL: with no screen linked, quads go nowhere and no texture is
// made (a headless replay draws nothing). TKerbScreen, the SDL screen, implements it.
#pragma once

#include <cstdint>

#include "engine/KerbRenderer.h"

struct TKerbTexture;
class TKerbImageList;

// The screen's global transform of every quad (see ApplyScreenTransform).
struct TScreenTransform {
    float ScaleX = 1, ScaleY = 1;
    int32_t CenterX = 0, CenterY = 0;
    int32_t OffsetX = 0, OffsetY = 0;
    float Rotation = 0;
};

class TScreenDevice {
public:
    virtual ~TScreenDevice() = default;

    // The tint every quad's colours are multiplied by (ARGB).
    virtual uint32_t Color() const = 0;
    virtual TScreenTransform Transform() const = 0;
    virtual void SetBlendMode(int32_t mode) = 0;
    virtual void SetAdditive(bool additive) = 0;
    // Draws one quad whose corners are already in screen space.
    virtual void DrawQuad(const TKerbTexture& texture, const TQuad& quad) = 0;

    // Whether device textures can be made now.
    virtual bool HasDevice() const = 0;
    virtual bool CreateTextureHandle(TKerbTexture& texture) = 0;
    virtual void RegisterImageList(TKerbImageList* list) = 0;
    virtual void UnregisterImageList(TKerbImageList* list) = 0;
    // A failure the user has been shown: the program is to end.
    virtual void RequestTerminate() = 0;
    // The number of frames presented so far (pictures not used for a while may rest).
    virtual int64_t FrameNumber() const { return 0; }
};
