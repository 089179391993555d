// The daily race as a player meets it, headless: the main-menu button (by mouse, keys and
// pad focus), the preview of the day's car and date, the day's race built from the date
// alone, the page after the race with the local best, and the day's table page offline.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "harness/ServiceProcess.h"
#include "world/WorldHash.h"
#include "platform/KeyCodes.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"
#include "shell/Storage.h"
#include "shell/screens/MenuPage.h"
#include "world/GameTables.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"
#include "world/Random.h"

namespace {
// Noon UTC of a day.
int64_t NoonOf(int32_t year, int32_t month, int32_t day) {
    return DailyDayNumber(DailyPlanFor(year, month, day)) * 86400 + 12 * 3600;
}

// A game at the main menu on a given day, its service address a loopback port where nothing
// listens (so the service "cannot be reached" at once).
struct TDailyGame {
    THarness H;
    explicit TDailyGame(int64_t utc = NoonOf(2026, 12, 10), const std::string& name = "Ann") {
        H.Form().Daily.UtcSeconds = [this] { return Utc; };
        Utc = utc;
        TOnlineSettings online;
        online.ServerUrl = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort());
        online.ConfigDir = H.ConfigDir();
        H.Form().Online.Configure(online);
        EXPECT_TRUE(RunUntilState(H, st::FirstPlayer, 600));
        TypeText(H, name);
        H.Tap(vk::Return);
        EXPECT_EQ(CurrentState, st::MainMenu);
    }
    TDailyRun& Daily() { return H.Form().Daily; }
    // Main menu -> preview -> the day's race, with the start lights played out.
    void StartRace() {
        ASSERT_TRUE(ClickButton(H, "b_daily"));
        ASSERT_EQ(CurrentState, st::DailyPreview);
        ASSERT_TRUE(ClickButton(H, "bc_race"));
        ASSERT_EQ(CurrentState, st::Race);
        H.RunFrames(310);
    }
    // The race clock runs out (a daily race's clock ticks with the race steps): time's up,
    // and after its 200 frames the daily page.
    void TimeUp() {
        Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
        H.RunFrames(1);
        ASSERT_EQ(CurrentState, st::TimesUp);
        H.RunFrames(200);
    }
    int64_t Utc = 0;
};

std::string PictureOf(const TSprite* s) {
    return s != nullptr && s->Image != nullptr ? s->Image->Name : std::string();
}

std::vector<std::string> Texts(const std::vector<TDailyResultLine>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(l.Text);
    return out;
}
}  // namespace

TEST(DailyScreens, TheMainMenuButtonSitsBelowExitAndOpensThePreview) {
    TDailyGame g;
    const TMenuButton* b = PageButton(g.H, "b_daily");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->X, 552);
    EXPECT_EQ(b->Y, 444);
    EXPECT_GT(b->Width, 0);  // its picture is in the menu list
    ASSERT_TRUE(ClickButton(g.H, "b_daily"));
    EXPECT_EQ(CurrentState, st::DailyPreview);
    // Back, and the keyboard's focus: down the column past "Exit" to the daily race.
    ASSERT_TRUE(ClickButton(g.H, "b_back"));
    ASSERT_EQ(CurrentState, st::MainMenu);
    g.H.MouseMove(0, 0);
    g.H.RunFrames(1);
    for (int i = 0; i < 7; ++i) g.H.Tap(vk::Down);
    ASSERT_NE(g.H.Form().KerbGUI1.Focused(), nullptr);
    EXPECT_EQ(g.H.Form().KerbGUI1.Focused()->Name, "b_daily");
    g.H.Tap(vk::Return);
    g.H.RunFrames(1);
    EXPECT_EQ(CurrentState, st::DailyPreview);
}

TEST(DailyScreens, ThePreviewShowsTheDaysCarAndDate) {
    struct TCase {
        int32_t Year, Month, Day;
        const char* Line;
    };
    const TCase cases[] = {{2026, 12, 10, "Today's challenge: 2026-12-10"},
                           {2027, 1, 1, "Today's challenge: 2027-01-01"},
                           {2028, 2, 29, "Today's challenge: 2028-02-29"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Line);
        TDailyGame g(NoonOf(c.Year, c.Month, c.Day));
        ASSERT_TRUE(ClickButton(g.H, "b_daily"));
        const TDailyPlan plan = DailyPlanFor(c.Year, c.Month, c.Day);
        EXPECT_EQ(DailyDateText(g.Daily().Plan), DailyDateText(plan));
        EXPECT_EQ(DailyChallengeLine(g.Daily().Plan), c.Line);
        const TCarType& car = Cars[static_cast<size_t>(plan.Car)];
        EXPECT_EQ(PictureOf(g.H.Form().CarImage), car.ImageName);
        ASSERT_NE(g.H.Form().Bars[0], nullptr);
        EXPECT_FLOAT_EQ(g.H.Form().Bars[0]->ScaleX, static_cast<float>(car.MaxSpeed / 15));
        EXPECT_FLOAT_EQ(g.H.Form().Bars[3]->ScaleX, static_cast<float>(car.Grip));
        // Escape leaves it, with the car's picture and bars gone.
        g.H.Tap(vk::Escape);
        EXPECT_EQ(CurrentState, st::MainMenu);
        EXPECT_EQ(g.H.Form().CarImage, nullptr);
        EXPECT_EQ(g.H.Form().Bars[0], nullptr);
    }
}

TEST(DailyScreens, TheDaysRaceDependsOnTheDateAloneAndLeavesTheNormalGameAsItWas) {
    auto raceHash = [](int64_t utc, uint64_t formSeed) {
        TDailyGame g(utc);
        CarIndex = 3;
        Score = 777;
        Random(static_cast<int32_t>(formSeed % 7 + 1));  // the generator moved on
        g.StartRace();
        EXPECT_EQ(Level, 5);
        EXPECT_EQ(CarIndex, g.Daily().Plan.Car);
        EXPECT_TRUE(g.Daily().Active);
        const uint64_t hash = WorldHash(g.H.Form().KerbSprite1);
        // The quit menu's yes ends the race: the normal game's car and score come back.
        g.H.Tap(vk::Escape);
        EXPECT_EQ(CurrentState, st::QuitRaceMenu);
        g.H.RunFrames(25);
        EXPECT_TRUE(ClickButton(g.H, "b_yes1"));
        EXPECT_EQ(CurrentState, st::MainMenu);
        EXPECT_EQ(CarIndex, 3);
        EXPECT_EQ(Score, 777);
        EXPECT_FALSE(g.Daily().Active);
        return hash;
    };
    const uint64_t first = raceHash(NoonOf(2026, 12, 10), 1);
    // Another hour of the same day, another state of the generator: the same race.
    EXPECT_EQ(raceHash(NoonOf(2026, 12, 10) + 11 * 3600, 5), first);
    EXPECT_NE(raceHash(NoonOf(2026, 12, 11), 1), first);
}

TEST(DailyScreens, TimeUpEndsOnTheDailyPageWithNothingToSubmit) {
    TDailyGame g;
    g.StartRace();
    g.TimeUp();
    ASSERT_EQ(CurrentState, st::DailyResult);
    EXPECT_EQ(g.Daily().End, TDailyEnd::TimesUp);
    EXPECT_EQ(Race.PlayerCar, nullptr);  // the race world is gone
    EXPECT_FALSE(DailySubmitOffered(g.Daily()));
    EXPECT_FALSE(PageButton(g.H, "b_dsubmit")->Visible);
    const auto texts = Texts(DailyResultLines(g.Daily(), PlayerName));
    EXPECT_EQ(texts[0], "Today's challenge: 2026-12-10");
    EXPECT_EQ(texts[1], "Time's up!");
    EXPECT_EQ(texts[2], "Your best today: none yet");
    // Enter does not submit what did not finish; "again" goes back to the preview.
    g.H.Tap(vk::Return);
    EXPECT_EQ(g.Daily().Submit, TDailySubmitState::NotSent);
    ASSERT_TRUE(ClickButton(g.H, "b_dagain"));
    EXPECT_EQ(CurrentState, st::DailyPreview);
}

TEST(DailyScreens, TheTablePageSaysWhenTheServiceCannotBeReached) {
    TDailyGame g;
    ASSERT_TRUE(ClickButton(g.H, "b_daily"));
    ASSERT_TRUE(ClickButton(g.H, "b_dtable"));
    ASSERT_EQ(CurrentState, st::DailyTable);
    // Nothing listens there: the answer comes from the worker while frames go on. (The limit
    // only keeps a broken test from hanging.)
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (g.Daily().Table == TDailyRun::TTableState::Asking &&
           std::chrono::steady_clock::now() < limit) {
        g.H.RunFrames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(g.Daily().Table, TDailyRun::TTableState::Unreachable);
    const auto lines = DailyTableLines(g.Daily(), PlayerName);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, "The service cannot be reached.");
    EXPECT_EQ(lines[1].Text, "Your best today: none yet");
    // Back returns to the preview it was opened from.
    g.H.Tap(vk::Escape);
    EXPECT_EQ(CurrentState, st::DailyPreview);
}

TEST(DailyScreens, ClosingTheWindowInADailyRaceKeepsTheRunsScore) {
    TDailyGame g;
    Score = 1234;
    g.StartRace();
    Score += 50;  // a coin of the daily race
    TInputEvent quit;
    quit.Kind = TInputKind::Quit;
    g.H.Event(quit);
    EXPECT_TRUE(g.H.Form().IsClosing());
    TProgress progress;
    const TLoadReport report = LoadProgressFile(g.H.ConfigDir(), "", progress);
    ASSERT_TRUE(report.Found);
    EXPECT_EQ(progress.Score, 1234);
}

TEST(DailyScreens, AGameThatGoesDuringADailyRaceLeavesNoRecordingBehind) {
    {
        TDailyGame g;
        g.StartRace();
        ASSERT_EQ(RaceClock.Recording, &g.Daily().Log);
    }
    // The world's clock no longer records into the log of a game that is gone.
    EXPECT_EQ(RaceClock.Recording, nullptr);
    EXPECT_FALSE(RaceClock.FrameDriven);
}
