// The settings files in a running game: what start-up reads, when the game writes (a game's
// end, the close box; never during a race), and that restarting keeps everything.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "harness/Harness.h"
#include "harness/TempFolder.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Storage.h"
#include "world/GameTables.h"
#include "world/RaceRecord.h"

namespace fs = std::filesystem;

namespace {

// A settings folder shared by several runs of the game, removed at the end.
struct TSharedFolder {
    TSharedFolder() {
        const std::string dir = MakeUniqueTempFolder("velkaro-runs");
        if (!dir.empty()) Path = dir + "/";
    }
    ~TSharedFolder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    std::string Path;
};

TSettings ReadConfig(const std::string& folder) {
    TSettings s;
    EXPECT_TRUE(DecodeSettings(Slurp(folder + kConfigFileName), s).empty());
    return s;
}

TProgress ReadProgress(const std::string& folder) {
    TProgress p;
    EXPECT_TRUE(DecodeProgress(Slurp(folder + kProgressFileName), p).empty());
    return p;
}

TInputEvent CloseBox() {
    TInputEvent e;
    e.Kind = TInputKind::Quit;
    return e;
}
}  // namespace

TEST(StorageGame, ARestartFindsEverythingTheCloseBoxSaved) {
    TSharedFolder folder;
    {
        THarness h({.ConfigDir = folder.Path});
        TForm1& f = h.Form();
        FirstPlayer(f.Players, "Ann");
        AddPlayer(f.Players, "Bob");
        f.Players.HighlightedPlayer = 0;
        SelectPlayer(f.Players);
        Volume = 2;
        MusicOn = 0;
        ExtraText = "hello";
        HiScores[2].Name = "Cid";
        Score = 4321;
        UnlockStage = 3;
        UnlockThreshold = 2200;
        TracksOpen = 7;
        Tracks[4].BestMinutes = 1;
        Tracks[4].BestSeconds = 2;
        Tracks[4].BestHundredths = 3;
        f.SpareBestTimes[5] = {9, 8, 7};
        h.Event(CloseBox());
        EXPECT_TRUE(f.IsClosing());
    }
    THarness h({.ConfigDir = folder.Path});
    TForm1& f = h.Form();
    EXPECT_EQ(f.Players.PlayerCount, 2);
    EXPECT_EQ(f.Players.CurrentPlayer, 0);
    EXPECT_EQ(PlayerName, "Ann");
    EXPECT_EQ(Volume, 2);
    EXPECT_EQ(MusicOn, 0);
    EXPECT_EQ(ExtraText, "hello");
    EXPECT_EQ(HiScores[2].Name, "Cid");
    EXPECT_EQ(HiScores[2].Position, "3");
    EXPECT_EQ(Score, 4321);
    EXPECT_EQ(UnlockStage, 3);
    EXPECT_EQ(UnlockThreshold, 2200);
    EXPECT_EQ(TracksOpen, 7);
    EXPECT_EQ(Tracks[6].Available, 1);
    EXPECT_EQ(Tracks[7].Available, 0);
    EXPECT_EQ(Tracks[4].BestMinutes, 1);
    EXPECT_EQ(Tracks[4].BestHundredths, 3);
    EXPECT_EQ(f.SpareBestTimes[5].Minutes, 7);
}

TEST(StorageGame, AnOldFileNeverClosesCarsThatStartOpen) {
    TSharedFolder folder;
    TProgress old;
    old.CarsOpen = 3;  // written after the first car rung by a game whose ladder lowered it
    old.TracksOpen = 5;
    std::string error;
    ASSERT_TRUE(SaveProgressFile(folder.Path, old, error));
    THarness h({.ConfigDir = folder.Path});
    EXPECT_EQ(CarsOpen, 5);
    for (const TCarType& c : Cars) EXPECT_EQ(c.Available, 1) << c.Name;
    EXPECT_EQ(TracksOpen, 5);
    // The car rungs of the ladder keep all five.
    UnlockStage = 1;
    UnlockNext();
    EXPECT_EQ(CarsOpen, 5);
}

TEST(StorageGame, DamagedFilesNeitherStopTheGameNorGetLost) {
    TSharedFolder folder;
    const std::string garbage = "\x01\xff not a settings file\r\n\r\n%%%\n";
    std::ofstream(folder.Path + kConfigFileName, std::ios::binary) << garbage;
    fs::create_directory(folder.Path + kProgressFileName);
    testing::internal::CaptureStderr();
    THarness h({.ConfigDir = folder.Path});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(h.Form().IsClosing());
    EXPECT_EQ(h.Form().Players.PlayerCount, 0);
    EXPECT_EQ(TracksOpen, 3);
    EXPECT_EQ(Slurp(folder.Path + "Config.cfg.bad"), garbage);
    EXPECT_TRUE(fs::is_directory(folder.Path + "Configdat.cfg.bad"));
    // Repaired files were written at once.
    EXPECT_EQ(ReadProgress(folder.Path).TracksOpen, 3);
    EXPECT_EQ(ReadConfig(folder.Path).Players.PlayerCount, 0);
    EXPECT_NE(err.find("Config.cfg: damaged lines 1, 2"), std::string::npos) << err;
    EXPECT_NE(err.find("Configdat.cfg: cannot be read"), std::string::npos) << err;
    // With no players the logo leads to the first-player screen.
    h.RunFrames(560);
    EXPECT_EQ(CurrentState, 1);
}

TEST(StorageGame, AGameWritesWhenItEndsAndNeverDuringARace) {
    THarness h;
    const std::string config = h.ConfigDir() + kConfigFileName;
    const std::string data = h.ConfigDir() + kProgressFileName;
    h.StartRace(1, 5);
    h.RunFrames(400);
    EXPECT_FALSE(fs::exists(config));
    EXPECT_FALSE(fs::exists(data));
    // Time runs out; the score screens lead to the high-score table, and then it is saved.
    PlayerName = "Ann";
    Score = 950;
    TracksOpen = 5;
    Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
    h.Clock().AdvanceMs(10);
    h.Form().RaceTimer.RunDue();
    ASSERT_EQ(CurrentState, 24);
    h.RunFrames(200);
    ASSERT_EQ(CurrentState, 25);
    h.RunFrames(202);
    h.Tap(vk::Return);
    ASSERT_EQ(CurrentState, 26);
    EXPECT_FALSE(fs::exists(data));
    h.Tap(vk::Escape);
    const TSettings saved = ReadConfig(h.ConfigDir());
    EXPECT_EQ(saved.HiScores[1].Name, "Ann");
    EXPECT_EQ(saved.HiScores[1].ScoreText, "950");
    EXPECT_EQ(ReadProgress(h.ConfigDir()).TracksOpen, 5);
    EXPECT_EQ(ReadProgress(h.ConfigDir()).Score, 950);
}

TEST(StorageGame, QuittingARaceFromItsMenuSavesTheGame) {
    THarness h;
    h.StartRace(1, 5);
    h.RunFrames(300);
    UnlockStage = 2;
    h.Tap(vk::Escape);
    ASSERT_EQ(CurrentState, 0);
    EXPECT_FALSE(fs::exists(h.ConfigDir() + kProgressFileName));
    h.Tap(vk::Return);
    EXPECT_NE(CurrentState, 12);
    EXPECT_EQ(ReadProgress(h.ConfigDir()).UnlockStage, 2);
}
