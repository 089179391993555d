#include "shell/screens/MenuSprites.h"

#include "world/WorldContext.h"

TCursor::TCursor(TKerbSprite* engine, TImageListItem* picture, const int32_t* mouseX,
                 const int32_t* mouseY)
    : TSprite(engine), MouseX(mouseX), MouseY(mouseY) {
    SetImage(picture);
    SetName("cursor");
    SetPatternIndex(0);
    SetZ(90000);
    ScreenFixed = true;
    SetX(static_cast<float>(*MouseX));
    SetY(static_cast<float>(*MouseY));
}

void TCursor::Move(float) {
    if (++AnimationCount >= 10) {
        AnimationCount = 0;
        SetPatternIndex(PatternIndex >= 7 ? 0 : PatternIndex + 1);
    }
    // Mouse positions arrive in the 800 x 600 client space, so the hotspot (the picture's
    // top-left) sits on the mouse in a window and in full screen alike.
    SetX(static_cast<float>(*MouseX));
    SetY(static_cast<float>(*MouseY));
}

TMenuScreen::TMenuScreen(TKerbSprite* engine, float x, float y, int32_t z,
                         const std::string& picture, const std::string& name, int32_t alpha,
                         bool visible)
    : TMenuScreen(engine, MenuImage(picture), x, y, z, name, alpha, visible) {}

TMenuScreen::TMenuScreen(TKerbSprite* engine, TImageListItem* image, float x, float y, int32_t z,
                         const std::string& name, int32_t alpha, bool visible)
    : TSprite(engine) {
    SetImage(image);
    SetName(name);
    SetX(x);
    SetY(y);
    SetZ(z);
    SetAlpha(alpha);
    ScreenFixed = true;
    Visible = visible;
}

TGameMenuScreen::TGameMenuScreen(TKerbSprite* engine, float x, float y, int32_t z,
                                 const std::string& picture, const std::string& name, int32_t alpha,
                                 bool visible)
    : TMenuScreen(engine, RaceImage(picture), x, y, z, name, alpha, visible) {}
