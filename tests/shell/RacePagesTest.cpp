// The pages shown over a race: the quit menu, race over, your score and send score, answered
// by their buttons or by the keyboard (Enter forward or yes, Escape no).
#include <gtest/gtest.h>

#include <string>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/MenuPage.h"
#include "world/GameTables.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
struct TPageHarness {
    THarness H;
    TPageHarness() {
        H.StartRace(1, 5);
        H.RunFrames(260);
    }
    // The finish line's report of a crossing in the given place; the race-over screen follows.
    void Finish(int32_t place) {
        Race.FinishPlace = place;
        Race.RaceFinished = 1;
        Race.PlayerCar->InRace = false;
        PhaseCounter = 0;
        H.RunFrames(151);
        ASSERT_EQ(CurrentState, st::RaceOver);
    }
    // Time runs out; the score page follows after 200 frames.
    void TimeUp() {
        Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
        H.Clock().AdvanceMs(10);
        H.Form().RaceTimer.RunDue();
        ASSERT_EQ(CurrentState, st::TimesUp);
        H.RunFrames(200);
        ASSERT_EQ(CurrentState, st::YourScore);
    }
};

// How a page is answered: by clicking a button, or by a key.
struct TAnswer {
    const char* Button;
    int32_t Key;
};
}  // namespace

TEST(RacePages, TheQuitMenuSlidesInAndAnswersByButtonOrKey) {
    struct TCase {
        TAnswer Answer;
        uint8_t Expected;
    };
    const TCase cases[] = {{{"b_no1", 0}, st::Race},
                           {{nullptr, vk::Escape}, st::Race},
                           {{"b_yes1", 0}, st::MainMenu},
                           {{nullptr, vk::Return}, st::MainMenu}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Answer.Button != nullptr ? c.Answer.Button : "key");
        TPageHarness p;
        p.H.Tap(vk::Escape);
        ASSERT_EQ(CurrentState, st::QuitRaceMenu);
        EXPECT_FALSE(p.H.Form().RaceTimer.Enabled());
        p.H.RunFrames(25);
        EXPECT_EQ(PageButton(p.H, "b_no1")->X, 420);
        EXPECT_EQ(PageButton(p.H, "b_yes1")->X, 250);
        EXPECT_EQ(p.H.Form().PageSprite->X, 160);
        if (c.Answer.Button != nullptr) {
            ASSERT_TRUE(ClickButton(p.H, c.Answer.Button));
        } else {
            p.H.Tap(c.Answer.Key);
        }
        EXPECT_EQ(CurrentState, c.Expected);
        if (c.Expected == st::Race) {
            EXPECT_NE(Race.PlayerCar, nullptr);
            EXPECT_TRUE(p.H.Form().RaceTimer.Enabled());
            EXPECT_EQ(p.H.Form().Page, nullptr);
        } else {
            EXPECT_EQ(Race.PlayerCar, nullptr);  // the race world is gone
        }
    }
}

TEST(RacePages, RaceOverGoesOnByItsButtonOnceShown) {
    for (const bool click : {true, false}) {
        TPageHarness p;
        p.Finish(1);
        TMenuButton* next = PageButton(p.H, "bro_next");
        ASSERT_NE(next, nullptr);
        EXPECT_FALSE(next->Visible);
        // Hidden, neither a click nor Enter does anything.
        p.H.Click(next->X + 5, next->Y + 5);
        p.H.Tap(vk::Return);
        EXPECT_EQ(CurrentState, st::RaceOver);
        ClearKeyReleased();
        p.H.RunFrames(351 + 500 + 110);
        ASSERT_TRUE(PageButton(p.H, "bro_next")->Visible);
        if (click) {
            ASSERT_TRUE(ClickButton(p.H, "bro_next"));
        } else {
            p.H.Tap(vk::Return);
        }
        EXPECT_EQ(CurrentState, st::Race);
        EXPECT_EQ(Level, 2);
    }
}

TEST(RacePages, TheGameCompletePageShowsOnceWhenTheLastTrackOpens) {
    TPageHarness p;
    // One rung below opening the last tracks.
    while (UnlockStage < 8) UnlockNext();
    ASSERT_EQ(Tracks[static_cast<size_t>(LastTrackIndex)].Available, 0);
    Score = UnlockThreshold - 10;
    p.Finish(1);
    p.H.RunFrames(351 + 500 + 110);
    ASSERT_TRUE(Tracks[static_cast<size_t>(LastTrackIndex)].Available);
    ASSERT_TRUE(ClickButton(p.H, "bro_next"));
    EXPECT_EQ(CurrentState, st::GameComplete);
    EXPECT_NE(Race.PlayerCar, nullptr);  // over the finished race
    p.H.RunFrames(560);
    EXPECT_EQ(CurrentState, st::Race);
    EXPECT_EQ(Level, 2);
    // The next race-over screen opens nothing more, and goes straight on.
    p.H.RunFrames(260);
    p.Finish(2);
    p.H.RunFrames(351 + 1000 + 110);
    p.H.Tap(vk::Return);
    EXPECT_EQ(CurrentState, st::Race);
    EXPECT_EQ(Level, 3);
}

TEST(RacePages, YourScoreAndSendScoreAnswerByButtonsOrKeys) {
    struct TCase {
        TAnswer Next, Send;
        int32_t Score;
        uint8_t Expected;
    };
    const TCase cases[] = {
        {{"bro_next", 0}, {"b_yes1", 0}, 950, st::HighScores},
        {{nullptr, vk::Return}, {nullptr, vk::Return}, 950, st::HighScores},
        {{nullptr, vk::Return}, {"b_no1", 0}, 950, st::HighScores},
        {{nullptr, vk::Return}, {nullptr, vk::Escape}, 50, st::MainMenu},
    };
    for (const TCase& c : cases) {
        TPageHarness p;
        PlayerName = "Ann";
        Score = c.Score;
        p.TimeUp();
        p.H.RunFrames(201);
        if (c.Next.Button != nullptr) {
            ASSERT_TRUE(ClickButton(p.H, c.Next.Button));
        } else {
            p.H.Tap(c.Next.Key);
        }
        ASSERT_EQ(CurrentState, st::SendScore);
        if (c.Send.Button != nullptr) {
            ASSERT_TRUE(ClickButton(p.H, c.Send.Button));
        } else {
            p.H.Tap(c.Send.Key);
        }
        EXPECT_EQ(CurrentState, c.Expected);
        EXPECT_EQ(Race.PlayerCar, nullptr);
        EXPECT_EQ(HiScores[1].Name, c.Score == 950 ? "Ann" : "Anonymous");
    }
}
