// What the race world needs from the shell, set once the components exist: the sprite engine
// the race lives in, the two image lists, and a way to play a sound effect by name. Kept as
// one module-level record so that world code stays free of the shell (and of SDL).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TKerbSprite;
class TKerbImageList;
class TImageListItem;
class TSystemTimer;

// What the world needs to know of the screen the shell shows: the race runs (cars take damage,
// opponents have full grip, the road grows), a wrecked car burns (the road still grows), or
// neither (menus, pause, result screens).
enum class TRacePhase : uint8_t { Idle, Racing, Wreck };

struct TWorldContext {
    TKerbSprite* Sprites = nullptr;
    TKerbImageList* RaceImages = nullptr;  // Data\data2.vil
    TKerbImageList* MenuImages = nullptr;  // Data\data1.vil
    TSystemTimer* RaceTimer = nullptr;
    // Plays an effect; the shell's player honours the sound setting.
    std::function<void(const std::string&)> PlaySound;
    TRacePhase Phase = TRacePhase::Idle;
};

extern thread_local TWorldContext World;

// A picture of the race list (or of the menu list with menu set), or null.
TImageListItem* RaceImage(const std::string& name);
TImageListItem* MenuImage(const std::string& name);
TImageListItem* ListImage(bool menu, const std::string& name);
// Plays an effect (when sound is on).
void PlayWorldSound(const std::string& name);
