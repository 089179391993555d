// Drawing on the software renderer, off screen: 2,000 turned, tinted sprites of one 64 x 64
// picture; a race-like frame (about 1,500 sprites of which some 500 on screen); and the time
// from creating the screen to its first presented frame. Frames are reported in milliseconds
// and as a share of the 11.1 ms a frame may take at 90 frames per second. Each runs with the
// screen's own blending off (/0: every quad drawn by SDL) and on (/1), the same pixels.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/KerbScreen.h"
#include "engine/KerbSprite.h"
#include "platform/Window.h"

namespace {
constexpr double FrameBudgetMs = 1000.0 / 90.0;

// A picture with a soft alpha edge, like the game's sprites.
TPicture SpritePicture(int32_t w, int32_t h, uint32_t rgb) {
    TPicture p;
    p.Format = TPicture::TFormat::Png;
    p.Width = w;
    p.Height = h;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const bool edge = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
            const uint32_t shade = static_cast<uint32_t>((x * 7 + y * 13) & 0x3F);
            p.Pixels.push_back((edge ? 0x80000000u : 0xFF000000u) | (rgb + shade * 0x010101u));
        }
    return p;
}

TImageListItem& AddItem(TKerbImageList& list, const std::string& name, int32_t w, int32_t h,
                        uint32_t rgb) {
    TImageListItem& item = list.ImageList.Add();
    item.Name = name;
    item.SetPicture(SpritePicture(w, h, rgb));
    return item;
}

void ReportFrames(benchmark::State& state) {
    const double frames = static_cast<double>(state.iterations());
    state.counters["ms_per_frame"] = benchmark::Counter(
        frames / 1000.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["budget_share"] = benchmark::Counter(
        frames * FrameBudgetMs / 1000.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void DrawFrame(TKerbScreen& screen, TKerbSprite& engine) {
    screen.Clear(0, 0, 0, 255);
    screen.BeginScene();
    engine.Draw();
    screen.EndScene();
}

void TurnedTintedSprites(benchmark::State& state) {
    TKerbScreen screen(TOffscreenTarget{800, 600});
    if (!screen.Initialize()) return state.SkipWithError("no software renderer");
    screen.OwnBlending = state.range(0) != 0;
    screen.SetTextureFilter(true);
    TKerbImageList list;
    list.KerbScreen = &screen;
    TImageListItem& item = AddItem(list, "sprite", 64, 64, 0x604020);
    list.Initialize();
    TKerbSprite engine;
    for (int32_t i = 0; i < 2000; ++i) {
        auto* s = new TSprite(&engine);
        s->SetImage(&item);
        s->SetX(static_cast<float>((i * 37) % 780));
        s->SetY(static_cast<float>((i * 53) % 580));
        s->Angle = static_cast<float>((i * 17) % 360) + 0.5f;
        s->RotationCenterX = s->RotationCenterY = 0.5f;
        s->SetRed(200);
        s->SetGreen(180 + i % 50);
        s->SetBlue(120);
    }
    for (auto _ : state) {
        for (TSprite* s : engine.SpriteList) s->Angle += 1.0f;
        DrawFrame(screen, engine);
    }
    ReportFrames(state);
    const auto perFrame = [&state](int64_t n) {
        return static_cast<double>(n) / static_cast<double>(state.iterations());
    };
    state.counters["rotated_copies"] = perFrame(screen.Stats().RotatedCopies);
    // Turned by the screen itself, and blended by it (from a kept picture or a fresh turn).
    state.counters["own_turns"] = perFrame(screen.Stats().OwnTurns);
    state.counters["own_turned_blends"] = perFrame(screen.Stats().OwnTurnedBlends);
}

// What one race frame holds: the world ahead and behind is mostly off screen.
struct TRaceScene {
    TKerbImageList List;
    TKerbSprite Engine;
    int32_t OnScreen = 0;

    void Add(TImageListItem& item, int32_t count, int32_t z, float spreadY, bool turned, float x0,
             float dx, float y0, bool fixed = false) {
        for (int32_t i = 0; i < count; ++i) {
            auto* s = new TSprite(&Engine);
            s->SetImage(&item);
            s->SetZ(z);
            s->SetX(x0 + dx * static_cast<float>(i % 8) + static_cast<float>((i * 29) % 23));
            s->SetY(y0 + spreadY * static_cast<float>(i) / static_cast<float>(count));
            s->ScreenFixed = fixed;
            if (turned) {
                s->Angle = static_cast<float>((i * 31) % 360);
                s->RotationCenterX = 0.5f;
                s->RotationCenterY = 0.5f;
            }
        }
    }
};

void RaceFrame(benchmark::State& state) {
    TKerbScreen screen(TOffscreenTarget{800, 600});
    if (!screen.Initialize()) return state.SkipWithError("no software renderer");
    screen.OwnBlending = state.range(0) != 0;
    screen.SetTextureFilter(true);
    TRaceScene scene;
    TKerbImageList& list = scene.List;
    list.KerbScreen = &screen;
    TImageListItem& back = AddItem(list, "back", 512, 512, 0x204010);
    TImageListItem& road = AddItem(list, "road", 578, 300, 0x303030);
    TImageListItem& wall = AddItem(list, "wall", 16, 40, 0x808080);
    TImageListItem& tree = AddItem(list, "tree", 48, 48, 0x106010);
    TImageListItem& rock = AddItem(list, "rock", 32, 32, 0x605040);
    TImageListItem& car = AddItem(list, "car", 48, 88, 0xA02020);
    TImageListItem& shadow = AddItem(list, "carten", 48, 88, 0x000000);
    TImageListItem& bonus = AddItem(list, "bonus", 32, 32, 0xC0C000);
    TImageListItem& panel = AddItem(list, "velkaro", 259, 600, 0x202020);
    TImageListItem& needle = AddItem(list, "needle", 8, 60, 0xE0E0E0);
    TImageListItem& lamp = AddItem(list, "lamp", 24, 24, 0x00C000);
    list.Initialize();
    // The road runs up from y 600 to y -1200: a third of it is on screen.
    constexpr float Length = 1800;
    scene.Add(back, 26, 0, Length, false, 0, 400, -1200);
    scene.Add(road, 22, 20, Length, false, 110, 0, -1200);
    scene.Add(wall, 700, 30, Length, true, 150, 60, -1200);
    scene.Add(tree, 380, 25, Length, true, 0, 100, -1200);
    scene.Add(rock, 220, 25, Length, false, 40, 90, -1200);
    scene.Add(bonus, 90, 35, Length, false, 250, 40, -1200);
    scene.Add(shadow, 6, 48, 500, true, 300, 30, 50);
    scene.Add(car, 6, 50, 500, true, 298, 30, 48);
    scene.Add(panel, 1, 480, 0, false, 541, 0, 0, true);
    scene.Add(needle, 2, 490, 0, true, 712, 0, 440, true);
    scene.Add(lamp, 20, 500, 0, false, 560, 20, 560, true);
    screen.ResetStats();
    DrawFrame(screen, scene.Engine);
    const TDrawStats first = screen.Stats();
    screen.ResetStats();
    for (auto _ : state) {
        for (TSprite* s : scene.Engine.SpriteList)
            if (s->Image == &car || s->Image == &shadow || s->Image == &needle) s->Angle += 0.7f;
        DrawFrame(screen, scene.Engine);
    }
    ReportFrames(state);
    state.counters["sprites"] = static_cast<double>(scene.Engine.Count());
    state.counters["on_screen"] =
        static_cast<double>(first.Copies + first.RotatedCopies + first.Geometry);
    state.counters["own_blends"] =
        static_cast<double>(screen.Stats().OwnBlends) / static_cast<double>(state.iterations());
}

void StartToFirstFrame(benchmark::State& state) {
    // No display needed: the dummy driver with the software renderer, as in the tests.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    TPlatformWindow window;
    if (!window.Create("Velkaro", 800, 600)) return state.SkipWithError("no window");
    for (auto _ : state) {
        TKerbScreen screen(&window);
        screen.ShowMouseCursor = false;
        screen.OwnBlending = state.range(0) != 0;
        TKerbImageList list;
        list.KerbScreen = &screen;
        TImageListItem& backdrop = AddItem(list, "mainback", 800, 600, 0x203040);
        for (int32_t i = 0; i < 40; ++i) {
            // Appended, not "b" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that.
            std::string name = "b";
            name += std::to_string(i);
            AddItem(list, name, 128, 64, 0x406080);
        }
        if (!screen.Initialize()) return state.SkipWithError("no renderer");
        list.Initialize();
        screen.SetTextureFilter(true);
        screen.Clear(0, 0, 0, 255);
        screen.BeginScene();
        backdrop.Draw(0, 0, -1);
        screen.EndScene();
    }
    state.counters["ms_to_first_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
}  // namespace

BENCHMARK(TurnedTintedSprites)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RaceFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StartToFirstFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
