// The race session: start lights, the race clock, pause and the quit menu, wrecks, the
// race-over count-up, the result screens and the high-score table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "shell/screens/MenuPage.h"
#include "platform/KeyCodes.h"
#include "shell/HighScoreTable.h"
#include "world/EnemyCar.h"
#include "world/GameTables.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
struct TRaceHarness {
    THarness H;
    std::vector<std::string> Sounds;
    explicit TRaceHarness(int32_t level = 1, uint64_t seed = 5) {
        H.Form().OnPlaySound = [this](const std::string& s) { Sounds.push_back(s); };
        H.StartRace(level, seed);
    }
    int Count(const std::string& sound) const {
        return static_cast<int>(std::count(Sounds.begin(), Sounds.end(), sound));
    }
    TPlayer& Player() { return *Race.PlayerCar; }
};
}  // namespace

TEST(RaceSession, StartLightsHandOverAtFrame250) {
    TRaceHarness r;
    ASSERT_EQ(CurrentState, 12);
    EXPECT_FALSE(r.Player().ControlsOn);
    r.H.RunFrames(51);
    EXPECT_EQ(r.Count("svet1"), 1);
    r.H.RunFrames(100);
    EXPECT_EQ(r.Count("svet1"), 2);
    r.H.RunFrames(99);
    EXPECT_FALSE(r.Player().ControlsOn);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());
    r.H.RunFrames(1);
    EXPECT_TRUE(r.Player().ControlsOn);
    EXPECT_TRUE(r.H.Form().RaceTimer.Enabled());
    EXPECT_EQ(r.Count("svet2"), 1);
    r.H.RunFrames(100);
    EXPECT_EQ(StateFrames, 301);
}

TEST(RaceSession, TheClockCountsDownWithMinuteCarryAndWarnings) {
    TRaceHarness r;
    r.H.RunFrames(251);
    Race.ClockMinutes = 1;
    Race.ClockSeconds = 0;
    Race.ClockHundredths = 0;
    r.H.Clock().AdvanceMs(10);
    r.H.RunFrames(0);
    r.H.Form().RaceTimer.RunDue();
    EXPECT_EQ(Race.ClockMinutes, 0);
    EXPECT_EQ(Race.ClockSeconds, 59);
    EXPECT_EQ(Race.ClockHundredths, 99);
    // The last ten second boundaries each sound the warning.
    Race.ClockSeconds = 12;
    Race.ClockHundredths = 0;
    const int before = r.Count("time");
    for (int i = 0; i < 1300; ++i) {
        r.H.Clock().AdvanceMs(10);
        r.H.Form().RaceTimer.RunDue();
        if (CurrentState != 12) break;
    }
    EXPECT_EQ(r.Count("time") - before, 10);
    // A tick at 0:00:00 means time's up.
    EXPECT_EQ(CurrentState, 24);
    EXPECT_EQ(r.Count("timesup"), 1);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());
}

// Laying a road piece in the middle of the move pass used to move every opponent a second time
// in that frame. An opponent's lane counter advances once per move, so it shows the moves.
TEST(RaceSession, EveryOpponentMovesOncePerFrameAlsoWhenTheRoadGrows) {
    TRaceHarness r(5, 7);
    TAutopilot pilot;
    int32_t piecesLaid = 0;
    for (int32_t frame = 0; frame < 2000 && CurrentState == 12; ++frame) {
        pilot.Drive();
        std::vector<int32_t> before;
        for (int32_t i = 0; i < Race.OpponentsCreated; ++i)
            before.push_back(Race.OpponentCars[static_cast<size_t>(i)]->LaneCount);
        const int32_t piece = Race.NextPiece;
        r.H.RunFrames(1);
        piecesLaid += Race.NextPiece - piece;
        for (int32_t i = 0; i < Race.OpponentsCreated; ++i) {
            const int32_t now = Race.OpponentCars[static_cast<size_t>(i)]->LaneCount;
            // A lane change restarts the count at 1 before the step.
            EXPECT_TRUE(now == before[static_cast<size_t>(i)] + 1 || now == 2)
                << "opponent " << i << " at frame " << frame;
        }
    }
    EXPECT_GT(piecesLaid, 3);
}

TEST(RaceSession, EscapeDuringTheLightsKeepsTheClockStopped) {
    TRaceHarness r;
    r.H.RunFrames(100);
    r.H.Tap(vk::Escape);
    EXPECT_EQ(CurrentState, 0);
    r.H.RunFrames(5);
    r.H.Tap(vk::Escape);
    EXPECT_EQ(CurrentState, 12);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());
    const int32_t frames = StateFrames;
    r.H.RunFrames(10);
    EXPECT_EQ(StateFrames, frames + 10);
}

TEST(RaceSession, PauseFreezesTheWorldAndResumesTheClock) {
    TRaceHarness r;
    r.H.RunFrames(260);
    r.H.Tap(vk::KeyP);
    ASSERT_EQ(CurrentState, 20);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());
    const int32_t hundredths = Race.ClockHundredths + 100 * Race.ClockSeconds;
    const float headY = Race.HeadPiece->Y;
    r.H.RunFrames(50);
    EXPECT_EQ(Race.ClockHundredths + 100 * Race.ClockSeconds, hundredths);
    EXPECT_FLOAT_EQ(Race.HeadPiece->Y, headY);
    r.H.Tap(vk::F1);
    EXPECT_EQ(CurrentState, 12);
    EXPECT_TRUE(r.H.Form().RaceTimer.Enabled());
}

// A pedal held through a pause and let go after it must stop pushing the car: the release
// reaches the race, which is what zeroes the thrust.
TEST(RaceSession, APedalHeldThroughAPauseStopsWhenLetGo) {
    TRaceHarness r;
    r.H.RunFrames(300);
    r.H.KeyDown(vk::Up);
    r.H.RunFrames(30);
    ASSERT_GT(r.Player().Thrust, 0);
    r.H.Tap(vk::KeyP);
    ASSERT_EQ(CurrentState, 20);
    r.H.Tap(vk::KeyP);
    ASSERT_EQ(CurrentState, 12);
    r.H.RunFrames(5);
    r.H.KeyUp(vk::Up);
    r.H.RunFrames(2);
    EXPECT_EQ(r.Player().Thrust, 0);
}

TEST(RaceSession, AWreckWithOneLifeEndsTheGameAndWithMoreRespawns) {
    for (int32_t lives : {1, 2}) {
        TRaceHarness r;
        r.H.RunFrames(300);
        Lives = lives;
        Race.PlayerWrecked = 1;
        r.H.RunFrames(1);
        ASSERT_EQ(CurrentState, 27);
        EXPECT_EQ(r.Player().Health, 1);
        r.H.RunFrames(201);
        if (lives == 1) {
            EXPECT_EQ(CurrentState, 13);
        } else {
            EXPECT_EQ(CurrentState, 12);
            EXPECT_EQ(Lives, 1);
            EXPECT_EQ(r.Player().Health, 100);
            EXPECT_TRUE(r.Player().Blinking);
            EXPECT_TRUE(r.Player().ControlsOn);
            EXPECT_EQ(StateFrames, 301);
        }
    }
}

TEST(RaceSession, PausingDuringAWreckKeepsTheClockRunningThroughIt) {
    TRaceHarness r;
    r.H.RunFrames(300);
    Lives = 3;
    Race.PlayerWrecked = 1;
    r.H.RunFrames(10);
    ASSERT_EQ(CurrentState, 27);
    r.H.Tap(vk::KeyP);
    ASSERT_EQ(CurrentState, 20);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());
    r.H.Tap(vk::KeyP);
    EXPECT_EQ(CurrentState, 27);  // back to the burning car, not to a race without controls
    // The clock runs on through the rest of the wreck, as it does through a wreck unpaused.
    EXPECT_TRUE(r.H.Form().RaceTimer.Enabled());
    const int32_t left = Race.ClockSeconds * 100 + Race.ClockHundredths;
    r.H.RunFrames(90);
    EXPECT_LT(Race.ClockSeconds * 100 + Race.ClockHundredths, left - 90);
    r.H.RunFrames(110);
    EXPECT_EQ(CurrentState, 12);
    EXPECT_TRUE(r.H.Form().RaceTimer.Enabled());
}

namespace {
// What the finish line does when the player's car crosses it.
void CrossTheLine(TForm1& form) {
    form.RaceTimer.SetEnabled(false);
    Race.RaceFinished = 1;
    Race.FinishPlace = 2;
    Race.PlayerCar->InRace = false;
    Race.PlayerCar->ControlsOn = false;
    PhaseCounter = 0;
}
}  // namespace

TEST(RaceSession, AWreckedCarOnItsLastLifeThatCrossesTheLineFinishes) {
    for (int32_t crossAt : {10, 60, 190}) {
        TRaceHarness r;
        r.H.RunFrames(300);
        Lives = 1;
        Race.PlayerWrecked = 1;
        r.H.RunFrames(1);
        ASSERT_EQ(CurrentState, 27);
        r.H.RunFrames(crossAt);
        CrossTheLine(r.H.Form());
        r.H.RunFrames(150);
        EXPECT_EQ(CurrentState, 27) << crossAt;  // burning on through the finish delay
        r.H.RunFrames(1);
        EXPECT_EQ(CurrentState, 16) << "wreck frame " << crossAt;
        EXPECT_EQ(Lives, 1);
    }
}

TEST(RaceSession, RecoveryDoesNotHandTheControlsBackAfterTheFinish) {
    TRaceHarness r;
    r.H.RunFrames(300);
    CrossTheLine(r.H.Form());
    r.H.RunFrames(10);
    r.Player().Backtrack = -2000;
    r.H.RunFrames(1);
    EXPECT_FALSE(r.Player().ControlsOn);
    EXPECT_FALSE(r.Player().Blinking);
    r.H.RunFrames(140);
    EXPECT_EQ(CurrentState, 16);
}

TEST(RaceSession, TheQuitMenuDuringTheFinishDelayLeavesTheDelayWhereItWas) {
    TRaceHarness r;
    r.H.RunFrames(300);
    CrossTheLine(r.H.Form());
    r.H.RunFrames(100);
    r.H.Tap(vk::Escape);
    ASSERT_EQ(CurrentState, 0);
    r.H.RunFrames(30);  // the page slides in meanwhile
    EXPECT_FLOAT_EQ(r.H.Form().PageSprite->X, 160);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());
    r.H.Tap(vk::Escape);
    ASSERT_EQ(CurrentState, 12);
    EXPECT_FALSE(r.H.Form().RaceTimer.Enabled());  // stopped by the finish, it stays stopped
    r.H.RunFrames(48);
    EXPECT_EQ(CurrentState, 12);
    r.H.RunFrames(2);
    EXPECT_EQ(CurrentState, 16);
}

TEST(RaceSession, RaceOverDividesThePrizeAndCountsItIntoTheScore) {
    TRaceHarness r;
    r.H.RunFrames(260);
    Prize = 1000;
    Race.FinishPlace = 3;
    Race.RaceFinished = 1;
    Race.PlayerCar->InRace = false;
    PhaseCounter = 0;
    Score = 50;
    r.H.RunFrames(151);
    ASSERT_EQ(CurrentState, 16);
    EXPECT_EQ(Prize, 333);
    r.H.RunFrames(351 + 333 + 110);
    EXPECT_EQ(Score, 50 + 333);
    ASSERT_NE(PageButton(r.H, "bro_next"), nullptr);
    EXPECT_TRUE(PageButton(r.H, "bro_next")->Visible);
    const int32_t opponents = Race.OpponentCount;
    r.H.Tap(vk::Return);
    EXPECT_EQ(CurrentState, 12);
    EXPECT_EQ(Level, 2);
    EXPECT_EQ(Race.OpponentCount, opponents + 1);
}

TEST(RaceSession, CrossingTheThresholdWithThePrizeUnlocks) {
    TRaceHarness r;
    r.H.RunFrames(260);
    Score = 250;
    Prize = 100;
    Race.FinishPlace = 1;
    Race.RaceFinished = 1;
    PhaseCounter = 0;
    r.H.RunFrames(151 + 351 + 100 + 110);
    EXPECT_EQ(r.H.Form().UnlockShown, 2);
    EXPECT_EQ(TracksOpen, 5);
    EXPECT_EQ(UnlockThreshold, 700);
}

TEST(RaceSession, PastTheLaddersEndACrossingShowsNoUnlockMessage) {
    TRaceHarness r;
    r.H.RunFrames(260);
    UnlockStage = 8;
    TracksOpen = 12;
    CarsOpen = 5;
    ApplyOpenCounts();
    UnlockThreshold = 20000;
    Score = 19950;
    Prize = 100;
    Race.FinishPlace = 1;
    Race.RaceFinished = 1;
    PhaseCounter = 0;
    r.H.RunFrames(151 + 351 + 100 + 110);
    EXPECT_TRUE(PageButton(r.H, "bro_next")->Visible);
    EXPECT_EQ(UnlockThreshold, 20000 + 4500);  // the crossing was made
    EXPECT_EQ(r.H.Form().UnlockShown, 0);      // but nothing opened
}

TEST(RaceSession, TheSecondRungOfTheLadderOpensACar) {
    TRaceHarness r;
    r.H.RunFrames(260);
    UnlockStage = 1;
    UnlockThreshold = 700;
    CarsOpen = 2;
    Score = 650;
    Prize = 100;
    Race.FinishPlace = 1;
    Race.RaceFinished = 1;
    PhaseCounter = 0;
    r.H.RunFrames(151 + 351 + 100 + 110);
    EXPECT_EQ(r.H.Form().UnlockShown, 1);
    EXPECT_EQ(CarsOpen, 3);
}

TEST(RaceSession, TimesUpLeadsThroughTheScoreScreensIntoTheTable) {
    TRaceHarness r;
    r.H.RunFrames(260);
    PlayerName = "Ann%%";
    Score = 950;
    Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
    r.H.Clock().AdvanceMs(10);
    r.H.Form().RaceTimer.RunDue();
    ASSERT_EQ(CurrentState, 24);
    EXPECT_EQ(PlayerName, "Ann");
    r.H.RunFrames(200);
    ASSERT_EQ(CurrentState, 25);
    // Too early: the button shows after 201 frames. The release stays flagged until then, as
    // every unread key release does, and takes effect once the button is there.
    r.H.Tap(vk::Return);
    EXPECT_EQ(CurrentState, 25);
    r.H.RunFrames(201);
    ASSERT_EQ(CurrentState, 26);
    r.H.Tap(vk::Escape);
    EXPECT_EQ(HiScores[1].Name, "Ann");  // below the default 1000, above 900
    EXPECT_EQ(HiScores[1].ScoreText, "950");
    EXPECT_EQ(Race.PlayerCar, nullptr);  // the race world is gone
    EXPECT_EQ(CurrentState, 8);
}

TEST(HighScores, AnEqualScoreGoesAboveAndTheTenthCanBeTaken) {
    DefaultHiScores();
    EXPECT_TRUE(EnterHighScore("Ann", 900));
    EXPECT_EQ(HiScores[1].Name, "Ann");
    EXPECT_EQ(HiScores[2].ScoreText, "900");
    EXPECT_EQ(HiScores[1].Position, "2");
    EXPECT_EQ(HiScores[9].ScoreText, "200");
    DefaultHiScores();
    EXPECT_TRUE(EnterHighScore("Bo", 100));
    EXPECT_EQ(HiScores[9].Name, "Bo");
    EXPECT_FALSE(EnterHighScore("Cy", 99));
    // A damaged entry reads as 0 instead of stopping the game.
    HiScores[0].ScoreText = "lots";
    EXPECT_TRUE(EnterHighScore("Di", 5));
    EXPECT_EQ(HiScores[0].Name, "Di");
}
