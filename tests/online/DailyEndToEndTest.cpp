// The daily race end to end: the game drives a day's race with the autopilot through the
// menus, records its keys and keeps the local best; the race goes through libcurl to the score
// service, which replays the log and accepts the exact time, refuses the same keys with a
// doctored time and the race of a day it no longer takes, and the game shows its words as they
// stand; the table page shows the day's table from the service. The service is the real
// velkaro-scores program on a free loopback port, its "today" set to the race's day (whose race
// the autopilot finishes) or left as it is.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "harness/ServiceProcess.h"
#include "harness/TempFolder.h"
#include "online/OnlineTestUtil.h"
#include "platform/KeyCodes.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"
#include "world/RaceStep.h"

namespace {
std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

// A day whose race the autopilot finishes within the clock.
const int64_t kRaceDay = DailyDayNumber(DailyPlanFor(2026, 12, 9)) * 86400 + 9 * 3600;

// A game aimed at baseUrl, its player "Ann", driven through today's (by utc) daily race to the
// page after it.
struct TDailyDriver {
    THarness H;
    TDailyRun& D = H.Form().Daily;
    TDailyDriver(const std::string& baseUrl, int64_t utc) {
        ClearProxies();
        TOnlineSettings online;
        online.ServerUrl = baseUrl;
        // A replay in a sanitizer build of the service takes far longer than in the game's.
        online.RequestTimeout = std::chrono::minutes(3);
        H.Form().Online.Configure(online);
        D.UtcSeconds = [utc] { return utc; };
        EXPECT_TRUE(RunUntilState(H, st::FirstPlayer, 600));
        TypeText(H, "Ann");
        H.Tap(vk::Return);
    }
    void DriveTheRace() {
        ASSERT_TRUE(ClickButton(H, "b_daily"));
        ASSERT_TRUE(ClickButton(H, "bc_race"));
        TAutopilot pilot;
        for (int32_t i = 0; i < 20000 && (CurrentState == st::Race || CurrentState == st::Wreck);
             ++i) {
            pilot.Drive();
            H.RunFrames(1);
        }
        pilot.Release();
        ASSERT_EQ(+CurrentState, +st::DailyResult);
        ASSERT_EQ(D.End, TDailyEnd::Finished) << "the autopilot did not finish the race";
    }
    // Submits from the page (by Enter or the button) and runs frames until the answer is in.
    void Submit(bool byKey) {
        if (byKey) {
            H.Tap(vk::Return);
        } else {
            ASSERT_TRUE(ClickButton(H, "b_dsubmit"));
        }
        ASSERT_EQ(D.Submit, TDailySubmitState::Sending);
        ASSERT_TRUE(WaitFor(
            [&] {
                H.RunFrames(1);
                return D.Submit != TDailySubmitState::Sending;
            },
            std::chrono::minutes(3)));
    }
    std::vector<std::string> PageTexts() {
        std::vector<std::string> out;
        for (const auto& l : DailyResultLines(D, PlayerName)) out.push_back(l.Text);
        return out;
    }
    void OpenTable() {
        ASSERT_TRUE(ClickButton(H, "b_dtable"));
        ASSERT_TRUE(WaitFor([&] {
            H.RunFrames(1);
            return D.Table != TDailyRun::TTableState::Asking;
        }));
    }
};

}  // namespace

TEST(DailyEndToEnd, TheDrivenRaceIsAcceptedWithItsExactTimeAndADoctoredOneRefused) {
    TTempFolder folder;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, folder.File("scores.db"), folder.File("log"),
                              {"--data", GameDir(), "--rate", "0", "--today", "2026-12-09"}));
    TDailyDriver g(service.BaseUrl(), kRaceDay);
    g.DriveTheRace();
    TDailyRun& d = g.D;
    // The normal races' clock is back, and the local best is on disk.
    EXPECT_FALSE(RaceClock.FrameDriven);
    EXPECT_EQ(RaceClock.Recording, nullptr);
    TDailyBest best;
    EXPECT_EQ(best.Load(g.H.ConfigDir()), "");
    EXPECT_EQ(best.Best("2026-12-09", "Ann"), d.Hundredths);
    EXPECT_TRUE(d.NewBest);

    // Enter submits; the service replays the keys to the same time and places it first.
    const int32_t driven = d.Hundredths;
    g.Submit(true);
    ASSERT_EQ(d.Submit, TDailySubmitState::Accepted) << d.SubmitText;
    EXPECT_EQ(d.SubmitText, "Accepted: " + DailyTimeText(driven) + ", place 1");
    EXPECT_FALSE(PageButton(g.H, "b_dsubmit")->Visible);

    // The same keys claiming a second less: refused, and the service's words shown.
    d.Hundredths = driven - 100;
    d.Submit = TDailySubmitState::NotSent;
    PageButton(g.H, "b_dsubmit")->Visible = true;
    g.Submit(false);
    ASSERT_EQ(d.Submit, TDailySubmitState::Refused);
    const std::string said = "The replay of this race finishes in " + std::to_string(driven) +
                             " hundredths, not " + std::to_string(driven - 100) + ".";
    EXPECT_EQ(d.SubmitText, said);
    EXPECT_EQ(g.PageTexts()[3] + " " + g.PageTexts()[4], "Refused: " + said);
    d.Hundredths = driven;

    // The day's table: the player first with the verified time.
    g.OpenTable();
    ASSERT_EQ(d.Table, TDailyRun::TTableState::Shown);
    ASSERT_EQ(d.TableData.Entries.size(), 1u);
    EXPECT_EQ(d.TableData.Entries[0].Name, "Ann");
    EXPECT_EQ(d.TableData.Entries[0].Hundredths, driven);
    ASSERT_TRUE(d.TableData.Own.has_value());
    EXPECT_EQ(d.TableData.Own->Place, 1);
    // Back to the page after the race, and from there to the main menu.
    g.H.Tap(vk::Escape);
    EXPECT_EQ(CurrentState, st::DailyResult);
    g.H.Tap(vk::Escape);
    EXPECT_EQ(CurrentState, st::MainMenu);
    EXPECT_FALSE(d.Active);
}

TEST(DailyEndToEnd, ARaceOfADayTheServiceNoLongerTakesIsRefusedInItsWords) {
    TTempFolder folder;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, folder.File("scores.db"), folder.File("log"),
                              {"--data", GameDir(), "--rate", "0"}));
    // The program lives in the real today; the race is of a day long gone.
    TDailyDriver g(service.BaseUrl(), kRaceDay);
    g.DriveTheRace();
    g.Submit(false);
    ASSERT_EQ(g.D.Submit, TDailySubmitState::Refused) << g.D.SubmitText;
    EXPECT_EQ(g.D.SubmitText, "The race of 2026-12-09 is no longer open.");
    // The offer is gone: a refusal is the service's last word on this race.
    EXPECT_FALSE(DailySubmitOffered(g.D));
    // The table of that day, empty, from the program's JSON.
    g.OpenTable();
    ASSERT_EQ(g.D.Table, TDailyRun::TTableState::Shown);
    EXPECT_TRUE(g.D.TableData.Entries.empty());
    const auto lines = DailyTableLines(g.D, "Ann");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Text, "Daily race 2026-12-09");
    EXPECT_EQ(lines[1].Text, "No times yet today.");
    EXPECT_EQ(lines[2].Text, "You have no time in today's table.");
}
