// Small sprites that show the race's state and decorate cars and menus: dashboard panels,
// the health bar, the speedometer needle, the reverse light, radar markers, car shadows, skid
// marks, the start arrows, the cars' indicator arrows, and the menu's glowing lights and
// highlight bar. They read the player's car but never change it.
#pragma once

#include "engine/KerbSprite.h"

class TPanel : public TSprite {
public:
    TPanel(TKerbSprite* engine, float x, float y, int32_t kind);
    int32_t Kind = 0;
};

class TBar : public TSprite {
public:
    TBar(TKerbSprite* engine, float x, float y);
    void Move(float moveCount) override;
    // Sets the bar's tile height from a health value 0..100.
    void ShowHealth(int32_t health);
    double FullHeight = 0;
};

class TDim : public TSprite {
public:
    TDim(TKerbSprite* engine, float x, float y, bool menu);
    void Move(float moveCount) override;
    int32_t Counter = 1;
};

class TArrow : public TSprite {
public:
    TArrow(TKerbSprite* engine, float x, float y, int32_t kind, bool menu);
};

class TSpeedArrow : public TSprite {
public:
    TSpeedArrow(TKerbSprite* engine, float x, float y, double forwardScale, double reverseScale);
    void Move(float moveCount) override;
    // The needle's angle for a speed.
    double AngleForSpeed(double speed) const;
    double ForwardScale = 0, ReverseScale = 0;
    double Deflection = 0;
};

class TRadarArrow : public TSprite {
public:
    TRadarArrow(TKerbSprite* engine, float x, float y);
    void Move(float moveCount) override;
};

class TRadarCar : public TSprite {
public:
    TRadarCar(TKerbSprite* engine, float x, float y, int32_t kind);
};

class TCarTen : public TSprite {
public:
    TCarTen(TKerbSprite* engine, float x, float y, int32_t shadowNumber);
};

class TBegArrows : public TSprite {
public:
    TBegArrows(TKerbSprite* engine, float x, float y);
    void Move(float moveCount) override;
};

class TLight : public TSprite {
public:
    TLight(TKerbSprite* engine, float x, float y, int32_t kind);
    void Move(float moveCount) override;
    int32_t Counter = 1;
    int32_t WaitLength = 200;
    int32_t Direction = 1;
};

class TChooseLine : public TSprite {
public:
    TChooseLine(TKerbSprite* engine, float x, float y);
    void Move(float moveCount) override;
    int32_t Step = 5;
    // Which player row is highlighted (set by the change-player screen).
    int32_t Index = 0;
};

// Places a sprite with its centre on (x, y).
void CentreOn(TSprite& sprite, double x, double y);
