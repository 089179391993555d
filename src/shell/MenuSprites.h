// The sprites of the menu screens: the animated mouse cursor and the full-screen pages
// (TMenuScreen from the menu pictures, TGameMenuScreen from the race pictures).
#pragma once

#include <string>

#include "engine/KerbSprite.h"

class TCursor : public TSprite {
public:
    TCursor(TKerbSprite* engine, TImageListItem* picture, const int32_t* mouseX,
            const int32_t* mouseY);
    void Move(float moveCount) override;
    int32_t AnimationCount = 0;

private:
    const int32_t* MouseX;
    const int32_t* MouseY;
};

class TMenuScreen : public TSprite {
public:
    TMenuScreen(TKerbSprite* engine, TImageListItem* picture, float x, float y, int32_t z,
                const std::string& name, int32_t alpha, bool visible);
};

using TGameMenuScreen = TMenuScreen;
