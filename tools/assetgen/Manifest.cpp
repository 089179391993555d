#include "Manifest.h"

#include "ControlsArt.h"
#include "Families.h"

namespace {

TArtItem Button(const std::string& name, int w, int h, TButton button) {
    return {name, w, h, 3, 1, ButtonArt(std::move(button))};
}

TArtItem Plain(const std::string& name, int w, int h, TButton button) {
    return Button(name, w, h, std::move(button));
}

TArtItem Primary(const std::string& name, int w, int h, const std::string& label) {
    return Button(name, w, h, {label, TButtonKind::Primary});
}

TArtItem Icon(const std::string& name, int w, int h, TIcon icon) {
    return Button(name, w, h, {"", TButtonKind::Plain, icon});
}

// The race cars follow the game's picture mapping: car1 Velkaro, car2 Viper, car3 Beast,
// car4 Turbo, car5 Volcano. The menu list's cars follow the table order instead.
constexpr TCarType RaceCarTypes[5] = {TCarType::Velkaro, TCarType::Viper, TCarType::Beast,
                                      TCarType::Turbo, TCarType::Volcano};
constexpr TCarType TableCarTypes[5] = {TCarType::Velkaro, TCarType::Turbo, TCarType::Volcano,
                                       TCarType::Viper, TCarType::Beast};

void AddRaceCars(std::vector<TArtItem>& items, const TCarType (&types)[5]) {
    for (int i = 0; i < 5; ++i) {
        items.push_back({"car" + std::to_string(i + 1), 48, 88, 3, 3, CarArt(types[i])});
    }
}

// Buttons of the race pages, shipped in both lists.
void AddRaceButtons(std::vector<TArtItem>& items) {
    items.push_back(Primary("b_yes1", 130, 28, "YES"));
    items.push_back(Plain("b_no1", 130, 28, {"NO"}));
    items.push_back(Primary("bro_next", 120, 28, "NEXT"));
}

void AddMenuPictures(std::vector<TArtItem>& items) {
    items.push_back({"mousecursor", 26, 26, 8, 8, DrawCursor});
    items.push_back({"mainback", 800, 600, 2, 1, DrawMainBack});
    items.push_back({"loading", 800, 600, 1, 1, DrawLoading});
    items.push_back({"logo", 320, 220, 1, 1, DrawLogo});
    items.push_back({"light1", 128, 64, 1, 1, LightArt(false)});
    items.push_back({"light2", 128, 64, 1, 1, LightArt(true)});
    items.push_back({"chooseline", 314, 16, 1, 1, DrawChooseLine});
    items.push_back({"bar", 200, 14, 1, 1, DrawStatBar});
    items.push_back({"opt_bar", 120, 20, 1, 1, DrawVolumeFill});
}

void AddMenuPages(std::vector<TArtItem>& items) {
    items.push_back({"scr_add", 440, 280, 1, 1, DrawAddPage});
    const char* help[] = {"scr_help", "scr_help2", "scr_help3", "scr_help4"};
    for (int i = 0; i < 4; ++i) items.push_back({help[i], 440, 320, 1, 1, HelpPageArt(i)});
    // The options page reaches under the volume "+" button, which ends at x 625.
    items.push_back({"scr_opt", 448, 320, 1, 1, DrawOptionsPage});
    items.push_back({"scr_hiscr", 440, 320, 1, 1, DrawHiScorePage});
    items.push_back({"scr_clearhiscr", 440, 280, 1, 1, DrawClearHiScorePage});
    items.push_back({"scr_ExitTheGame", 440, 280, 1, 1, DrawExitGamePage});
    items.push_back({"scr_choose", 800, 600, 1, 1, DrawChooseTrackPage});
    items.push_back({"scr_choosecar", 440, 340, 1, 1, DrawChooseCarPage});
    // The player page carries its bottom row of buttons, which ends at x 632.
    items.push_back({"scr_change", 452, 320, 1, 1, DrawChangePage});
    items.push_back({"scr_delete", 440, 280, 1, 1, DrawDeletePage});
    items.push_back({"scr_dailycar", 440, 380, 1, 1, DrawDailyCarPage});
    items.push_back({"scr_dailyres", 440, 320, 1, 1, DrawDailyResultPage});
    items.push_back({"scr_daily", 440, 320, 1, 1, DrawDailyTablePage});
}

void AddMenuButtons(std::vector<TArtItem>& items) {
    items.push_back(Primary("b_stgame", 200, 28, "START GAME"));
    items.push_back(Plain("b_opt", 200, 28, {"OPTIONS"}));
    items.push_back(Plain("b_hiscr", 200, 28, {"HIGH SCORES"}));
    items.push_back(Plain("b_help", 200, 28, {"HELP"}));
    items.push_back(Plain("b_visit", 200, 28, {"WEB SITE"}));
    items.push_back(Plain("b_exit", 200, 28, {"EXIT"}));
    // The free slot below "Exit", at (552, 444).
    items.push_back(Plain("b_daily", 200, 28, {"DAILY RACE"}));
    items.push_back({"b_logo", 150, 100, 3, 1, DrawLogoButton});
    items.push_back(Plain("b_presshere", 240, 24, {"CHANGE PLAYER", TButtonKind::Link}));
    items.push_back(Primary("b_apply", 105, 28, "APPLY"));
    items.push_back(Plain("b_cancel", 105, 28, {"CANCEL"}));
    items.push_back({"b_on", 48, 24, 3, 1, ToggleArt(true)});
    items.push_back({"b_off", 48, 24, 3, 1, ToggleArt(false)});
    items.push_back(Icon("b_menuleft", 19, 20, TIcon::Minus));
    items.push_back(Icon("b_menuright", 19, 20, TIcon::Plus));
    items.push_back(Plain("b_back", 92, 28, {"BACK"}));
    items.push_back(Plain("b_next", 92, 28, {"NEXT"}));
    items.push_back(Plain("b_prev", 92, 28, {"PREV"}));
    items.push_back(Plain("b_clrhiscr", 120, 24, {"CLEAR"}));
    items.push_back(Plain("b_viewwhiscr", 160, 16, {"WORLD TABLE", TButtonKind::Link}));
    items.push_back(Primary("b_yes", 100, 28, "YES"));
    items.push_back(Plain("b_no", 100, 28, {"NO"}));
    items.push_back(Primary("b_add", 100, 28, "ADD"));
    items.push_back(Icon("b_up", 32, 32, TIcon::Up));
    items.push_back(Icon("b_down", 32, 32, TIcon::Down));
    items.push_back(Plain("b_delete", 100, 28, {"DELETE"}));
    items.push_back(Plain("b_back2", 100, 28, {"BACK"}));
    items.push_back(Primary("b_select", 100, 28, "SELECT"));
    items.push_back(Plain("bc_next", 70, 24, {"NEXT"}));
    items.push_back(Plain("bc_prev", 70, 24, {"PREV"}));
    items.push_back(Primary("bc_race", 94, 28, "RACE"));
    // The page after a daily race.
    items.push_back(Primary("b_dsubmit", 92, 28, "SUBMIT"));
    items.push_back(Plain("b_dagain", 92, 28, {"AGAIN"}));
    items.push_back(Plain("b_dtable", 92, 28, {"TABLE"}));
}

void AddChoicePictures(std::vector<TArtItem>& items) {
    for (int i = 1; i <= 12; ++i) {
        items.push_back({"tr_track" + std::to_string(i), 214, 214, 1, 1, TrackPreviewArt(i)});
    }
    items.push_back({"tr_notav", 214, 214, 1, 1, DrawLockedPreview});
    for (int i = 0; i < 5; ++i) {
        items.push_back(
            {"c_car" + std::to_string(i + 1), 60, 100, 1, 1, MenuCarArt(TableCarTypes[i])});
    }
}

void AddRoad(std::vector<TArtItem>& items) {
    const char* names[] = {"r_str",      "r_left",      "r_right",   "r_str_right",
                           "r_str_left", "r_right_str", "r_left_str"};
    const int widths[] = {300, 578, 578, 405, 405, 405, 405};
    for (int kind = 0; kind < 7; ++kind) {
        items.push_back({names[kind], widths[kind], 300, 1, 1, RoadArt(kind)});
    }
    for (int kind = 0; kind < 4; ++kind) {
        items.push_back({"back" + std::to_string(kind + 1), 800, 300, 1, 1, GroundArt(kind)});
    }
    items.push_back({"inplace", 100, 140, 1, 1, DrawGridBox});
    items.push_back({"startline", 300, 24, 1, 1, DrawStartLine});
    items.push_back({"trees", 64, 64, 8, 8, SceneryArt(false)});
    items.push_back({"desert", 64, 64, 8, 8, SceneryArt(true)});
    items.push_back({"groundpoint", 4, 4, 1, 1, DrawGroundPoint});
    items.push_back({"wall1", 32, 150, 1, 1, DrawWall});
    items.push_back({"wall2", 32, 183, 1, 1, DrawWall});
    items.push_back({"fline", 480, 48, 1, 1, DrawFinishLine});
}

void AddCarsAndCompanions(std::vector<TArtItem>& items) {
    AddRaceCars(items, RaceCarTypes);
    for (int i = 0; i < 5; ++i) {
        items.push_back(
            {"carten" + std::to_string(i + 1), 48, 88, 1, 1, CarShadowArt(RaceCarTypes[i])});
    }
    items.push_back({"arrows", 40, 10, 3, 3, DrawIndicatorArrows});
    items.push_back({"dim", 10, 10, 5, 5, DrawSkidMark});
}

void AddBonuses(std::vector<TArtItem>& items) {
    const char* names[] = {"bonus1", "bonus2", "bonus3", "luga",  "bomb",
                           "repair", "life",   "time",   "shipi", "speedup"};
    for (int kind = 0; kind < 10; ++kind) {
        int size = kind == 3 ? 48 : 32;
        items.push_back({names[kind], size, size, 1, 1, BonusArt(kind)});
    }
    items.push_back({"exploid", 160, 160, 8, 4, ExplosionArt(1)});
    items.push_back({"exploid2", 96, 96, 8, 4, ExplosionArt(2)});
}

void AddDashboard(std::vector<TArtItem>& items) {
    items.push_back({"velkaro", 259, 600, 1, 1, DrawSpeedoPanel});
    items.push_back({"radar", 56, 280, 1, 1, DrawRadarPanel});
    items.push_back({"healthbar", 14, 101, 1, 1, DrawHealthBar});
    items.push_back({"speedarrow", 72, 72, 1, 1, DrawNeedle});
    items.push_back({"backlight", 20, 20, 1, 1, DrawReverseLamp});
    items.push_back({"radarcar1", 12, 12, 1, 1, RadarMarkerArt(true)});
    items.push_back({"radarcar2", 12, 12, 1, 1, RadarMarkerArt(false)});
    items.push_back({"begarrows", 160, 160, 1, 1, DrawStartArrows});
    items.push_back({"svetophor", 200, 54, 1, 1, DrawLightHousing});
    items.push_back({"redlight", 80, 80, 1, 1, LampArt(TLamp::Red)});
    items.push_back({"yellowlight", 80, 80, 1, 1, LampArt(TLamp::Yellow)});
    items.push_back({"greenlight", 80, 80, 1, 1, LampArt(TLamp::Green)});
}

void AddRacePages(std::vector<TArtItem>& items) {
    items.push_back({"scr_exitgame", 480, 282, 1, 1, RacePageArt(TRacePage::QuitRace)});
    items.push_back({"scr_gameover", 480, 282, 1, 1, RacePageArt(TRacePage::GameOver)});
    items.push_back({"scr_timesup", 480, 282, 1, 1, RacePageArt(TRacePage::TimesUp)});
    items.push_back({"scr_raceover", 480, 282, 1, 1, RacePageArt(TRacePage::RaceOver)});
    items.push_back({"scr_yourscore", 480, 282, 1, 1, RacePageArt(TRacePage::YourScore)});
    items.push_back({"scr_send", 480, 282, 1, 1, RacePageArt(TRacePage::SendScore)});
    AddRaceButtons(items);
}

}  // namespace

std::vector<TArtItem> MenuListItems() {
    std::vector<TArtItem> items;
    // The bitmap font's glyphs: 95 tiles for the codes 32..126, 19 x 5.
    items.push_back({"MicrogrammaDBolExt", 12, 16, 95, 19, DrawGlyph});
    AddMenuPictures(items);
    AddMenuPages(items);
    AddMenuButtons(items);
    AddControlsPictures(items);
    AddChoicePictures(items);
    // Pictures that only code paths that never run ask this list for; cheap insurance.
    AddRaceCars(items, TableCarTypes);
    items.push_back({"arrows", 40, 10, 3, 3, DrawIndicatorArrows});
    items.push_back({"dim", 10, 10, 5, 5, DrawSkidMark});
    items.push_back({"groundpoint", 4, 4, 1, 1, DrawGroundPoint});
    AddRaceButtons(items);
    return items;
}

std::vector<TArtItem> RaceListItems() {
    std::vector<TArtItem> items;
    AddRoad(items);
    AddCarsAndCompanions(items);
    AddBonuses(items);
    AddDashboard(items);
    AddRacePages(items);
    // Never asked for by running code, shipped so that no lookup comes back empty.
    items.push_back({"panel", 16, 16, 1, 1, DrawEmptyPanel});
    items.push_back({"exploid3", 96, 96, 8, 4, ExplosionArt(3)});
    items.push_back({"gamecompl", 480, 282, 1, 1, RacePageArt(TRacePage::Complete)});
    return items;
}
