// TWorldSprite: the road and what lies on it (road pieces, backgrounds, paint, walls,
// bonuses, the finish line). These are the sprites the world shift moves; cars, dashboard
// sprites, explosions and skid marks are not.
#pragma once

#include "engine/KerbSprite.h"

class TWorldSprite : public TSprite {
public:
    using TSprite::TSprite;
};
