// The daily race end to end: the game drives a day's race with the autopilot through the
// menus, records its keys and keeps the local best; the race goes through libcurl to the score
// service, which replays the log and accepts the exact time, refuses the same keys with a
// doctored time and the race of a day it no longer takes, and the game shows its words as they
// stand; the table page shows the day's table from the service. The real velkaro-scores
// program runs on today's date, so for the accepted race the service runs in this process
// with its clock on the race's day (the autopilot finishes that day's race).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "harness/ServiceProcess.h"
#include "online/OnlineTestUtil.h"
#include "platform/KeyCodes.h"
#include "server/DailyService.h"
#include "server/ScoreServer.h"
#include "server/ScoreService.h"
#include "server/SqliteScoreStore.h"
#include "shell/DailyRace.h"
#include "shell/Globals.h"
#include "world/RaceStep.h"
#include "world/WorldContext.h"

namespace {
class TTempFolder {
public:
    TTempFolder() {
        std::random_device rd;
        Path = std::filesystem::temp_directory_path() /
               ("velkaro-daily-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Path);
    }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string File(const std::string& name) const { return (Path / name).string(); }

private:
    std::filesystem::path Path;
};

std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

// A day whose race the autopilot finishes within the clock.
const int64_t kRaceDay = DailyDayNumber(DailySpecFor(2026, 12, 8)) * 86400 + 9 * 3600;

// A game aimed at baseUrl, its player "Ann", driven through today's (by utc) daily race to the
// page after it.
struct TDailyDriver {
    THarness H;
    TDailyRun& D = H.Form().Daily;
    TDailyDriver(const std::string& baseUrl, int64_t utc) {
        ClearProxies();
        TOnlineSettings online;
        online.ServerUrl = baseUrl;
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
    // Submits from the page and waits for the answer. The service may replay in this process,
    // on the race world's globals: no frame runs until it has answered, and the world's context
    // is put back afterwards.
    void Submit(bool byKey) {
        const TWorldContext world = World;
        if (byKey) {
            H.Tap(vk::Return);
        } else {
            ASSERT_TRUE(ClickButton(H, "b_dsubmit"));
        }
        ASSERT_EQ(D.Submit, TDailySubmitState::Sending);
        ASSERT_TRUE(WaitFor([&] { return !D.Online.SubmitRunning(); }));
        World = world;
        H.RunFrames(1);
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

// The service in this process, its clock on the race's day.
class TServiceOnRaceDay {
public:
    explicit TServiceOnRaceDay(const std::string& db)
        : Store(db),
          Scores(Store, TServiceConfig{}, Now, [] { return std::string("token"); }),
          Daily(Store, GameDir(), Now, [](const std::string&) {}),
          Server(
              Scores, Limits(), [](const std::string&) {}, &Daily) {
        Bound = Server.Bind("127.0.0.1", 0);
        if (Bound) Thread = std::thread([this] { Server.Run(); });
        WaitFor([this] { return !Bound || Server.Running(); });
    }
    ~TServiceOnRaceDay() {
        if (!Bound) return;
        Server.Stop();
        Thread.join();
    }
    bool Ok() const { return Bound && Store.Ok(); }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(Server.Port()); }

private:
    static int64_t Now() { return kRaceDay; }
    static TServerLimits Limits() {
        TServerLimits l;
        l.RatePerSecond = 0;
        return l;
    }
    TSqliteScoreStore Store;
    TScoreService Scores;
    TDailyService Daily;
    TScoreServer Server;
    bool Bound = false;
    std::thread Thread;
};
}  // namespace

TEST(DailyEndToEnd, TheDrivenRaceIsAcceptedWithItsExactTimeAndADoctoredOneRefused) {
    TTempFolder folder;
    TServiceOnRaceDay service(folder.File("scores.db"));
    ASSERT_TRUE(service.Ok());
    TDailyDriver g(service.Base(), kRaceDay);
    g.DriveTheRace();
    TDailyRun& d = g.D;
    // The normal races' clock is back, and the local best is on disk.
    EXPECT_FALSE(RaceClock.FrameDriven);
    EXPECT_EQ(RaceClock.Recording, nullptr);
    TDailyBest best;
    EXPECT_EQ(best.Load(g.H.ConfigDir()), "");
    EXPECT_EQ(best.Best("2026-12-08", "Ann"), d.Hundredths);
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
    ASSERT_FALSE(d.SubmitText.empty());
    EXPECT_EQ(g.PageTexts()[3].rfind("Refused: ", 0), 0u);
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

TEST(DailyEndToEnd, TheServiceProgramsRefusalAndTableReachTheGame) {
    TTempFolder folder;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, folder.File("scores.db"), folder.File("log"),
                              {"--data", GameDir(), "--rate", "0"}));
    // The program lives today; the race is of a day long gone.
    TDailyDriver g(service.BaseUrl(), kRaceDay);
    g.DriveTheRace();
    g.Submit(false);
    ASSERT_EQ(g.D.Submit, TDailySubmitState::Refused) << g.D.SubmitText;
    EXPECT_FALSE(g.D.SubmitText.empty());
    // The offer is gone: a refusal is the service's last word on this race.
    EXPECT_FALSE(DailySubmitOffered(g.D));
    // The table of that day, empty, from the program's JSON.
    g.OpenTable();
    ASSERT_EQ(g.D.Table, TDailyRun::TTableState::Shown);
    EXPECT_TRUE(g.D.TableData.Entries.empty());
    const auto lines = DailyTableLines(g.D, "Ann");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Text, "Daily race 2026-12-08");
    EXPECT_EQ(lines[1].Text, "No times yet today.");
    EXPECT_EQ(lines[2].Text, "You have no time in today's table.");
}
