// menu_shots: plays through every screen of the game headless (SDL's dummy video driver and
// software renderer) and writes a picture of each, plus one contact sheet of them all, so the
// screens can be reviewed at a glance. Usage: menu_shots GAME_DIR OUT_DIR
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/PngEncode.h"
#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "world/GameTables.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
struct TShot {
    std::string Name;
    std::vector<uint32_t> Pixels;
    int32_t Width = 0, Height = 0;
};

class TShooter {
public:
    TShooter(THarness& h, std::string out) : H(h), Out(std::move(out)) {}

    void Take(const std::string& name) {
        TShot s;
        s.Name = name;
        if (!H.Form().KerbScreen1.ReadPixels(s.Pixels, s.Width, s.Height)) {
            std::fprintf(stderr, "menu_shots: could not read the screen for %s\n", name.c_str());
            Failed = true;
            return;
        }
        Write(Out + "/" + name + ".png", s.Width, s.Height, s.Pixels);
        Shots.push_back(std::move(s));
    }

    // Half-size copies of every shot, four to a row.
    void Sheet() {
        constexpr int32_t Columns = 4, TileW = 400, TileH = 300, Gap = 8;
        const int32_t rows = (static_cast<int32_t>(Shots.size()) + Columns - 1) / Columns;
        const int32_t w = Columns * (TileW + Gap) + Gap, h = rows * (TileH + Gap) + Gap;
        std::vector<uint32_t> sheet(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF303030u);
        for (size_t i = 0; i < Shots.size(); ++i) {
            const TShot& s = Shots[i];
            const int32_t ox = Gap + static_cast<int32_t>(i % Columns) * (TileW + Gap);
            const int32_t oy = Gap + static_cast<int32_t>(i / Columns) * (TileH + Gap);
            for (int32_t y = 0; y < TileH && 2 * y + 1 < s.Height; ++y)
                for (int32_t x = 0; x < TileW && 2 * x + 1 < s.Width; ++x)
                    sheet[static_cast<size_t>(oy + y) * w + (ox + x)] = Average(s, 2 * x, 2 * y);
        }
        Write(Out + "/menus.png", w, h, sheet);
    }

    bool Failed = false;

private:
    static uint32_t Average(const TShot& s, int32_t x, int32_t y) {
        uint32_t sum[4] = {0, 0, 0, 0};
        for (int32_t dy = 0; dy < 2; ++dy)
            for (int32_t dx = 0; dx < 2; ++dx) {
                const uint32_t p = s.Pixels[static_cast<size_t>(y + dy) * s.Width + (x + dx)];
                for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
            }
        uint32_t out = 0xFF000000u;
        for (int c = 0; c < 3; ++c) out |= (sum[c] / 4) << (8 * c);
        return out;
    }

    void Write(const std::string& path, int32_t w, int32_t h, const std::vector<uint32_t>& argb) {
        // The screen's alpha channel carries nothing worth keeping: write it opaque.
        std::vector<uint32_t> opaque(argb);
        for (uint32_t& p : opaque) p |= 0xFF000000u;
        const std::vector<uint8_t> png = EncodePng(w, h, opaque.data());
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(png.data()),
                static_cast<std::streamsize>(png.size()));
        if (!f) {
            std::fprintf(stderr, "menu_shots: could not write %s\n", path.c_str());
            Failed = true;
        }
    }

    THarness& H;
    std::string Out;
    std::vector<TShot> Shots;
};

// Moves from screen to screen by the same buttons and keys a player uses.
void Tour(THarness& h, TShooter& shot) {
    h.RunFrames(300);
    shot.Take("03_logo");
    RunUntilState(h, st::FirstPlayer, 400);
    h.RunFrames(90);
    TypeText(h, "Driver");
    shot.Take("01_first_player");
    h.Tap(vk::Return);
    h.RunFrames(20);
    shot.Take("04_main_menu");
    // The headlamp glows wait 200 to 399 frames, then brighten over 255.
    h.RunFrames(560);
    shot.Take("04_main_menu_glows");
    ClickButton(h, "b_opt");
    h.RunFrames(40);
    shot.Take("07_options");
    ClickButton(h, "b_controls");
    h.MouseMove(420, 200);
    h.RunFrames(2);
    shot.Take("28_controls");
    ClickButton(h, "horn");
    shot.Take("28_controls_waiting");
    h.PressKey("Escape");
    h.Tap(vk::Escape);
    h.Tap(vk::Escape);
    ClickButton(h, "b_help");
    h.RunFrames(20);
    shot.Take("06_help_1");
    for (int page = 2; page <= 4; ++page) {
        ClickButton(h, "b_next");
        shot.Take("06_help_" + std::to_string(page));
    }
    h.Tap(vk::Escape);
    ClickButton(h, "b_hiscr");
    shot.Take("08_high_scores");
    ClickButton(h, "b_clrhiscr");
    shot.Take("09_clear_high_scores");
    ClickButton(h, "b_no");
    ClickButton(h, "b_back");
    ClickButton(h, "b_exit");
    h.RunFrames(25);
    shot.Take("10_exit_game");
    ClickButton(h, "b_no");
    ClickButton(h, "b_presshere");
    shot.Take("22_change_player");
    ClickButton(h, "b_add");
    TypeText(h, "Second");
    shot.Take("21_add_player");
    ClickButton(h, "b_add");
    ClickButton(h, "b_delete");
    shot.Take("23_delete_player");
    ClickButton(h, "b_no");
    ClickButton(h, "b_back2");
    ClickButton(h, "b_stgame");
    h.RunFrames(50);
    shot.Take("15_choose_car");
    h.Tap(vk::Escape);
    h.RunFrames(30);
    shot.Take("14_choose_track");
    for (int i = 0; i < 3; ++i) h.Tap(vk::Right);
    shot.Take("14_choose_track_locked");
    h.Tap(vk::Left);
    h.Tap(vk::Left);
    h.Tap(vk::Left);
    h.Tap(vk::Return);
    h.RunFrames(50);
    ClickButton(h, "bc_race");
    h.RunFrames(100);
    shot.Take("12_race_lights");
    h.Tap(vk::Escape);
    h.RunFrames(25);
    shot.Take("00_quit_race");
    h.Tap(vk::Escape);
    h.Tap(vk::KeyP);
    shot.Take("20_pause");
    h.Tap(vk::KeyP);
    h.RunFrames(200);
    // A finish in second place, as the finish line reports it.
    Race.FinishPlace = 2;
    Race.RaceFinished = 1;
    if (Race.PlayerCar != nullptr) Race.PlayerCar->InRace = false;
    PhaseCounter = 0;
    RunUntilState(h, st::RaceOver, 400);
    h.RunFrames(1000);
    shot.Take("16_race_over");
    h.Form().LeaveState(st::RaceOver);
    h.Form().EnterState(st::GameComplete);
    h.RunFrames(30);
    shot.Take("19_game_complete");
    h.Tap(vk::Return);
    h.RunFrames(260);
    Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
    RunUntilState(h, st::TimesUp, 10);
    h.RunFrames(100);
    shot.Take("24_times_up");
    RunUntilState(h, st::YourScore, 300);
    h.RunFrames(210);
    shot.Take("25_your_score");
    h.Tap(vk::Return);
    h.RunFrames(10);
    shot.Take("26_send_score");
    h.Tap(vk::Escape);
    h.RunFrames(10);
    shot.Take("after_game");
    // The daily race: its preview, the day's table (no service: it cannot be reached) and the
    // page after a race whose clock ran out.
    if (CurrentState == st::HighScores) h.Tap(vk::Escape);
    ClickButton(h, "b_daily");
    h.RunFrames(5);
    shot.Take("28_daily_preview");
    ClickButton(h, "b_dtable");
    for (int i = 0; i < 500 && h.Form().Daily.Table == TDailyRun::TTableState::Asking; ++i)
        h.RunFrames(1);
    shot.Take("30_daily_table");
    h.Tap(vk::Escape);
    ClickButton(h, "bc_race");
    h.RunFrames(320);
    Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
    RunUntilState(h, st::TimesUp, 10);
    RunUntilState(h, st::DailyResult, 300);
    h.RunFrames(5);
    shot.Take("29_daily_result");
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: menu_shots GAME_DIR OUT_DIR\n");
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VELKARO_GAME_DIR", argv[1], 1);
    const std::string out = argv[2];
    std::filesystem::create_directories(out);
    // Settings go to a folder of their own, never the user's.
    const std::string config = out + "/config";
    std::filesystem::remove_all(config);
    std::filesystem::create_directories(config);
    setenv("VELKARO_CONFIG_DIR", config.c_str(), 1);
    THarness h({.WithWindow = true});
    TShooter shot(h, out);
    Tour(h, shot);
    shot.Sheet();
    std::printf("menu_shots: wrote the screens and menus.png into %s\n", out.c_str());
    return shot.Failed ? 1 : 0;
}
