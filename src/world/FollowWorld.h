// How everything on the road follows the world while the player's car stays put. Inline: some
// hundred and fifty sprites follow it every frame.
#pragma once

#include "engine/KerbSprite.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

// Moves s by the player's scroll step and push step (the push step of the frame before with
// pushCopy).
inline void FollowWorld(TSprite& s, bool pushCopy = false) {
    const TPlayer* p = Race.PlayerCar;
    if (p == nullptr) return;
    const double px = pushCopy ? p->PushCopyX : p->PushX;
    const double py = pushCopy ? p->PushCopyY : p->PushY;
    s.SetX(static_cast<float>(s.X + p->ScrollDX + px));
    s.SetY(static_cast<float>(s.Y + p->ScrollDY + py));
}
