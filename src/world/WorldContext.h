// What the race world needs from the shell, set once the components exist: the sprite engine
// the race lives in, the two image lists, and a way to play a sound effect by name. Kept as
// one module-level record so that world code stays free of the shell (and of SDL).
#pragma once

#include <functional>
#include <string>

class TKerbSprite;
class TKerbImageList;
class TImageListItem;
class TSystemTimer;

struct TWorldContext {
    TKerbSprite* Sprites = nullptr;
    TKerbImageList* RaceImages = nullptr;  // Data\data2.vil
    TKerbImageList* MenuImages = nullptr;  // Data\data1.vil
    TSystemTimer* RaceTimer = nullptr;
    std::function<void(const std::string&)> PlaySound;
};

extern TWorldContext World;

// A picture of the race list (or of the menu list with menu set), or null.
TImageListItem* RaceImage(const std::string& name);
TImageListItem* MenuImage(const std::string& name);
TImageListItem* ListImage(bool menu, const std::string& name);
// Plays an effect when sound is on.
void PlayWorldSound(const std::string& name);
