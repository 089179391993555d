// Race pictures drawn off screen on the software renderer with the game's texture filter, for
// tests that look at how the race's pieces meet: a screen, some of the race's pictures, and a
// frame drawn as the race draws it (cleared to black, the sprites in the engine's order).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ImageList.h"
#include "engine/KerbScreen.h"
#include "engine/KerbSprite.h"
#include "world/WorldContext.h"

class TRaceDrawing {
public:
    static constexpr int32_t ScreenW = 800, ScreenH = 600;

    // Loads the race's pictures whose names `keep` accepts; Ready() tells whether all went well.
    explicit TRaceDrawing(const std::function<bool(const std::string&)>& keep) {
        Screen = std::make_unique<TKerbScreen>(TOffscreenTarget{ScreenW, ScreenH});
        if (!Screen->Initialize() || !Screen->IsSoftware()) return;
        Images = std::make_unique<TKerbImageList>();
        Images->KerbScreen = Screen.get();
        const char* dir = std::getenv("VELKARO_GAME_DIR");
        if (dir == nullptr || !Images->ImageList.LoadFromFile(std::string(dir) + "/Data/data2.vil"))
            return;
        std::erase_if(Images->ImageList.List, [&](const auto& item) { return !keep(item->Name); });
        Images->Initialize();
        Screen->SetTextureFilter(true);  // as the game draws
        Loaded = true;
    }
    ~TRaceDrawing() {
        Images.reset();
        Screen.reset();
    }
    TRaceDrawing(const TRaceDrawing&) = delete;
    TRaceDrawing& operator=(const TRaceDrawing&) = delete;

    bool Ready() const { return Loaded; }
    TKerbImageList& Pictures() { return *Images; }

    // Points the world at these pictures and at `sprites`.
    void Use(TKerbSprite& sprites) {
        World = TWorldContext{};
        World.Sprites = &sprites;
        World.RaceImages = Images.get();
    }

    std::vector<uint32_t> DrawFrame(TKerbSprite& sprites) {
        Screen->Clear(0, 0, 0, 0);
        EXPECT_TRUE(Screen->BeginScene());
        sprites.Draw();
        std::vector<uint32_t> pixels;
        int32_t w = 0, h = 0;
        EXPECT_TRUE(Screen->ReadPixels(pixels, w, h));
        Screen->EndScene();
        EXPECT_EQ(w, ScreenW);
        EXPECT_EQ(h, ScreenH);
        return pixels;
    }

private:
    std::unique_ptr<TKerbScreen> Screen;
    std::unique_ptr<TKerbImageList> Images;
    bool Loaded = false;
};
