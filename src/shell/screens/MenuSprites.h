// The sprites of the menu screens: the animated mouse cursor and the pages shown at a fixed
// place (TMenuScreen from the menu pictures, TGameMenuScreen from the race pictures).
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

// A picture at a fixed place: x, y, depth, picture name, sprite name, alpha, visible.
class TMenuScreen : public TSprite {
public:
    TMenuScreen(TKerbSprite* engine, float x, float y, int32_t z, const std::string& picture,
                const std::string& name, int32_t alpha, bool visible);

protected:
    TMenuScreen(TKerbSprite* engine, TImageListItem* image, float x, float y, int32_t z,
                const std::string& name, int32_t alpha, bool visible);
};

class TGameMenuScreen : public TMenuScreen {
public:
    TGameMenuScreen(TKerbSprite* engine, float x, float y, int32_t z, const std::string& picture,
                    const std::string& name, int32_t alpha, bool visible);
};
