#include "world/WorldContext.h"

#include "engine/ImageList.h"

thread_local TWorldContext World;

TImageListItem* RaceImage(const std::string& name) {
    return World.RaceImages != nullptr ? World.RaceImages->Find(name) : nullptr;
}

TImageListItem* MenuImage(const std::string& name) {
    return World.MenuImages != nullptr ? World.MenuImages->Find(name) : nullptr;
}

TImageListItem* ListImage(bool menu, const std::string& name) {
    return menu ? MenuImage(name) : RaceImage(name);
}

void PlayWorldSound(const std::string& name) {
    if (World.PlaySound) World.PlaySound(name);
}
