// A whole run as a player plays it, through the menus only: the first player typed in, the
// main menu, the car, a race driven by the autopilot, the result pages and the high-score
// table; then quitting from the exit screen, and a second start in the same settings folder
// that finds the player, the score and the progress again.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "harness/TempFolder.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/MenuPage.h"
#include "world/GameTables.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace fs = std::filesystem;

namespace {
struct TFolder {
    TFolder() {
        const std::string dir = MakeUniqueTempFolder("velkaro-whole-run");
        if (!dir.empty()) Path = dir + "/";
    }
    ~TFolder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    std::string Path;
};

// Drives until the race state is left (or the frames run out).
void DriveRace(THarness& h, int32_t maxFrames) {
    TAutopilot pilot;
    for (int32_t i = 0; i < maxFrames; ++i) {
        if (CurrentState != st::Race && CurrentState != st::Wreck) break;
        pilot.Drive();
        h.RunFrames(1);
    }
    pilot.Release();
}
}  // namespace

TEST(WholeRun, FromTheFirstPlayerThroughARaceToTheTableAndBackAfterARestart) {
    TFolder folder;
    ASSERT_FALSE(folder.Path.empty());
    int32_t score = 0;
    std::string bestTime;
    {
        // A game seed whose first race the autopilot wins, so the win opens two tracks.
        THarness h({.Seed = 4, .ConfigDir = folder.Path});
        ASSERT_TRUE(RunUntilState(h, st::FirstPlayer, 600));
        // Typing works at once; the button is there once the page has slid in.
        TypeText(h, "Vera");
        h.RunFrames(80);
        ASSERT_TRUE(ClickButton(h, "b_add"));
        ASSERT_EQ(CurrentState, st::MainMenu);
        ASSERT_TRUE(ClickButton(h, "b_stgame"));
        ASSERT_EQ(CurrentState, st::ChooseCar);
        h.RunFrames(50);
        ASSERT_TRUE(ClickButton(h, "bc_race"));
        ASSERT_EQ(CurrentState, st::Race);

        // The first race, to the line.
        DriveRace(h, 9000);
        ASSERT_TRUE(RunUntilState(h, st::RaceOver, 300)) << int(CurrentState);
        for (int i = 0; i < 3000 && !PageButton(h, "bro_next")->Visible; ++i) h.RunFrames(1);
        score = Score;
        EXPECT_GT(score, 0);
        ASSERT_TRUE(ClickButton(h, "bro_next"));
        ASSERT_EQ(CurrentState, st::Race);
        bestTime = BestTimeText(Tracks[0]);
        EXPECT_NE(bestTime, "--:--:--");
        EXPECT_EQ(TracksOpen, 5);  // the prize passed the first threshold

        // The second race: the car stands still until the clock runs out.
        ASSERT_TRUE(RunUntilState(h, st::TimesUp, 90 * 100));
        ASSERT_TRUE(RunUntilState(h, st::YourScore, 300));
        h.RunFrames(201);
        ASSERT_TRUE(ClickButton(h, "bro_next"));
        ASSERT_EQ(CurrentState, st::SendScore);
        ASSERT_TRUE(ClickButton(h, "b_no1"));
        ASSERT_EQ(CurrentState, st::HighScores);
        bool listed = false;
        for (const THiScoreEntry& e : HiScores)
            listed = listed || (e.Name == "Vera" && e.ScoreText == std::to_string(score));
        EXPECT_TRUE(listed);

        ASSERT_TRUE(ClickButton(h, "b_back"));
        ASSERT_TRUE(ClickButton(h, "b_exit"));
        h.RunFrames(25);
        ASSERT_TRUE(ClickButton(h, "b_yes"));
        EXPECT_TRUE(h.Form().IsClosing());
        h.Form().FormDestroy();
    }
    EXPECT_TRUE(fs::exists(folder.Path + "Config.cfg"));
    EXPECT_TRUE(fs::exists(folder.Path + "Configdat.cfg"));

    THarness again({.ConfigDir = folder.Path});
    // A known player skips the first-player screen.
    ASSERT_TRUE(RunUntilState(again, st::MainMenu, 600));
    EXPECT_EQ(PlayerName, "Vera");
    EXPECT_EQ(again.Form().Players.PlayerCount, 1);
    EXPECT_EQ(Score, score);
    EXPECT_EQ(TracksOpen, 5);
    EXPECT_EQ(Tracks[4].Available, 1);
    EXPECT_EQ(BestTimeText(Tracks[0]), bestTime);
    bool listed = false;
    for (const THiScoreEntry& e : HiScores)
        listed = listed || (e.Name == "Vera" && e.ScoreText == std::to_string(score));
    EXPECT_TRUE(listed);
}
