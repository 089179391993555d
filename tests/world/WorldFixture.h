// A race world without a window: a sprite engine, a race image list whose pictures have the
// game's tile sizes (no pixels, no textures), the tables filled and the race record reset.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ImageList.h"
#include "engine/KerbSprite.h"
#include "world/GameTables.h"
#include "world/Globals.h"
#include "world/RaceRecord.h"
#include "world/Random.h"
#include "world/WorldContext.h"

class TWorldFixture {
public:
    explicit TWorldFixture(uint64_t seed = 1) {
        ResetWorldGlobals();
        ResetGameTables();
        ResetRaceRecord();
        FillTrackTable();
        FillCarTable();
        Randomize(seed);
        struct Size {
            const char* Name;
            int W, H, Patterns;
        };
        const Size sizes[] = {
            {"r_str", 300, 300, 1},       {"r_left", 578, 300, 1},     {"r_right", 578, 300, 1},
            {"r_str_right", 405, 300, 1}, {"r_str_left", 405, 300, 1}, {"r_right_str", 405, 300, 1},
            {"r_left_str", 405, 300, 1},  {"back1", 800, 300, 1},      {"back2", 800, 300, 1},
            {"back3", 800, 300, 1},       {"back4", 800, 300, 1},      {"inplace", 100, 140, 1},
            {"startline", 300, 24, 1},    {"trees", 96, 96, 8},        {"desert", 96, 96, 8},
            {"groundpoint", 4, 4, 1},     {"wall1", 32, 150, 1},       {"wall2", 32, 183, 1},
            {"fline", 480, 40, 1},        {"car1", 48, 88, 3},         {"car2", 48, 88, 3},
            {"car3", 48, 88, 3},          {"car4", 48, 88, 3},         {"car5", 48, 88, 3},
            {"carten1", 48, 88, 1},       {"carten2", 48, 88, 1},      {"carten3", 48, 88, 1},
            {"carten4", 48, 88, 1},       {"carten5", 48, 88, 1},      {"arrows", 40, 10, 3},
            {"dim", 10, 10, 5},           {"radarcar1", 12, 12, 1},    {"radarcar2", 12, 12, 1},
            {"velkaro", 259, 600, 1},     {"radar", 56, 280, 1},       {"healthbar", 14, 101, 1},
            {"speedarrow", 80, 80, 1},    {"backlight", 20, 20, 1},    {"begarrows", 120, 120, 1},
        };
        for (const Size& s : sizes) {
            TImageListItem& item = Images.ImageList.Add();
            item.Name = s.Name;
            TPicture p;
            p.Format = TPicture::TFormat::Png;
            p.Width = s.W * s.Patterns;
            p.Height = s.H;
            item.SetPicture(p);
            item.SetTileWidth(s.W);
        }
        World.Sprites = &Sprites;
        World.RaceImages = &Images;
        World.MenuImages = &Images;
        World.PlaySound = [this](const std::string& name) { Sounds.push_back(name); };
    }
    ~TWorldFixture() {
        Race.PlayerCar = nullptr;
        Race.HeadPiece = nullptr;
        Race.OpponentCars.fill(nullptr);
        Sprites.Clear();
        World = TWorldContext{};
    }

    template <class T>
    int Count() const {
        int n = 0;
        for (const TSprite* s : Sprites.SpriteList) n += dynamic_cast<const T*>(s) != nullptr;
        return n;
    }

    TKerbImageList Images;
    TKerbSprite Sprites;
    std::vector<std::string> Sounds;
};
